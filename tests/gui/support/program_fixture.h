#pragma once
// The whole program in a window test: a courseware folder of its own, a settings folder of its own, scripted
// messages, a fixed clock (5 March 2005, 09:07) and the program's windows made the way the program makes them, from
// inside the courseware folder. Tests derive from it and add what they drive.
#include "app/TfrmMain.h"
#include "app/qt_program.h"
#include "platform/prompts.h"
#include "platform/seams.h"
#include "platform/settings_store.h"
#include "support/gui_helpers.h"

#include <QMdiSubWindow>
#include <QPoint>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>

namespace tavola::test {

// Copies a folder and everything below it; the target is made when it is missing.
void copyFolder(const QString& from, const QString& to);

struct ProgramFixture {
    QTemporaryDir courseware;
    QTemporaryDir config;
    ScriptedPrompts prompts;
    std::unique_ptr<SettingsStore> settings;
    FixedClock clock{{2005, 3, 5, 9, 7, 0}};
    std::unique_ptr<ProgramWindows> windows;
    TfrmMain* main = nullptr;

    ProgramFixture();

    // The fixed test courseware (tests/data/sample) copied into the courseware folder; false (nothing copied)
    // when it has no Main.ind.
    bool copySample() const;

    QString dir() const { return courseware.path(); }
    // The courseware folder as a system path ending in a separator.
    std::string systemDir() const;

    // Makes the program's windows with the courseware folder as the current directory, as the program starts.
    void createWindows();
    // The windows made and the main window shown, its show sequence run; false when it did not come up.
    bool showWindows();
    // The sample courseware copied, then showWindows.
    void startOnSample();

    template <class T> T* child(const char* name) const
    {
        T* found = main->findChild<T*>(name);
        if (found == nullptr) qWarning("no child %s", name);
        return found;
    }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }

    // Opens unit (1, section, unit) the way the menu's OK does; the lesson must have been read.
    TfrmPrint* open(int section, int unit) const;
    // The document area's child window that holds a worksheet window.
    static QMdiSubWindow* frame(TfrmPrint* sheet);
};

// A left-button drag on a worksheet's page picture, in page coordinates, through a point half way.
void drag(TfrmPrint* sheet, QPoint from, QPoint to);

} // namespace tavola::test

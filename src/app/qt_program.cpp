#include "app/qt_program.h"

#include "app/TfrmInputName.h"
#include "app/TfrmJuku.h"
#include "app/TfrmMain.h"
#include "app/TfrmPassword.h"
#include "app/TfrmVersion.h"
#include "app/qt_practice_host.h"
#include "app/shell_state.h"
#include "authoring/TfrmEditIndex.h"
#include "authoring/TfrmEditQues.h"
#include "authoring/TfrmEditSource.h"
#include "authoring/TfrmInputText.h"
#include "authoring/TfrmReadUnit.h"
#include "courseware/TfrmMenu.h"
#include "courseware/TfrmOpenPRP.h"
#include "practice/TfrmKiroku.h"
#include "practice/TfrmRenshu.h"
#include "practice/TfrmZenSeikai.h"
#include "worksheet/TfrmBMP.h"
#include "worksheet/TfrmPrintMode.h"
#include "worksheet/TfrmPrintOk.h"
#include "worksheet/TfrmSetPaper.h"
#include "worksheet/TfrmSettei.h"

#include <QApplication>
#include <QIcon>

namespace tavola {

void setUpApplication()
{
    QApplication::setApplicationName("tavola");
    QApplication::setWindowIcon(QIcon(":/main/app_icon.png"));
}

ProgramWindows::ProgramWindows() = default;
ProgramWindows::~ProgramWindows() = default;

std::unique_ptr<ProgramWindows> createProgramWindows(Prompts& prompts, SettingsStore& settings, const Clock& clock)
{
    auto w = std::make_unique<ProgramWindows>();
    // Each window is made after the windows it is attached to or given. The main window first: the first one
    // created is the application's main window (the title window is its child, the all-units list the unit
    // selection's).
    w->frmMain = std::make_unique<TfrmMain>(prompts, settings, clock);
    TfrmMain& main = *w->frmMain;
    // TfrmMenu, the unit selection window.
    w->frmMenu = std::make_unique<TfrmMenu>(main.menuContext());
    main.attachMenuWindow(w->frmMenu.get());
    // The version window.
    w->frmVersion = std::make_unique<TfrmVersion>();
    main.attachVersionWindow(w->frmVersion.get());
    // TfrmSettei, the answer-box settings.
    w->frmSettei = std::make_unique<TfrmSettei>(main);
    main.attachSetteiWindow(w->frmSettei.get());
    // TfrmEditIndex, the index editor.
    auto help = [&main](int topic) { main.openHelp(topic); };
    w->frmEditIndex = std::make_unique<TfrmEditIndex>(
        main.shellState().coursewareDir, main.shellState().indexChanged,
        [&main](int lesson) { return main.recordFileOf(lesson); }, prompts, help);
    // TfrmEditQues, the master file editor.
    w->frmEditQues = std::make_unique<TfrmEditQues>(main.index(), defaultBlockLines(), prompts,
                                                    [&main] { main.masterFileChanged(); });
    main.attachEditorWindows(w->frmEditQues.get(), w->frmEditIndex.get());
    // TfrmEditSource, TfrmInputText, the editor's dialogs.
    w->frmEditSource = std::make_unique<TfrmEditSource>(prompts, help);
    w->frmInputText = std::make_unique<TfrmInputText>(prompts);
    w->frmEditQues->attachSourceWindow(w->frmEditSource.get());
    w->frmEditIndex->attachSourceWindow(w->frmEditSource.get());
    w->frmEditIndex->attachInputWindow(w->frmInputText.get());
    // TfrmOpenPRP, the copy-file browser.
    w->frmOpenPRP = std::make_unique<TfrmOpenPRP>(main.shellState().coursewareDir, prompts);
    main.attachOpenPRPWindow(w->frmOpenPRP.get());
    // TfrmPrintMode, TfrmSetPaper, the print-mode and paper dialogs.
    w->frmPrintMode = std::make_unique<TfrmPrintMode>(main, settings, prompts);
    w->frmSetPaper = std::make_unique<TfrmSetPaper>(main, settings, prompts);
    // TfrmBMP, the enlarged picture.
    w->frmBMP = std::make_unique<TfrmBMP>();
    w->frmEditQues->attachBmpWindow(w->frmBMP.get());
    // TfrmPrintOk, the print dialog.
    w->frmPrintOk = std::make_unique<TfrmPrintOk>(main, *w->frmPrintMode, prompts);
    main.attachPrintWindows(w->frmPrintMode.get(), w->frmSetPaper.get(), w->frmPrintOk.get());
    // TfrmReadUnit, the copy edit dialog.
    w->frmReadUnit = std::make_unique<TfrmReadUnit>(main, prompts);
    main.attachReadUnitWindow(w->frmReadUnit.get());
    // TfrmKiroku, the records viewer, also shown by 記録表示 of the unit selection window.
    w->frmKiroku = std::make_unique<TfrmKiroku>(main.index(), prompts);
    w->frmMenu->setShowRecords([&main] { return main.showRecordsFromMenu(); });
    w->frmMenu->setFollowupCheck([&main](int lesson) { return main.hasFollowupSheet(lesson); });
    // TfrmRenshu, the practice window.
    w->practiceHost = std::make_unique<PracticeHost>(main, w->frmPrintOk.get());
    w->frmRenshu = std::make_unique<TfrmRenshu>(*w->practiceHost, prompts, systemRandom());
    main.attachRenshuWindow(w->frmRenshu.get());
    // TfrmInputName, the learner registration (its password window follows).
    w->frmInputName = std::make_unique<TfrmInputName>(main.inputNameContext());
    // TfrmZenSeikai, the all-correct window.
    w->frmZenSeikai = std::make_unique<TfrmZenSeikai>();
    // TfrmPassword, the learner password.
    w->frmPassword = std::make_unique<TfrmPassword>(prompts);
    w->frmInputName->setPasswordWindow(w->frmPassword.get());
    main.attachLearnerWindows(w->frmInputName.get(), w->frmKiroku.get(), w->frmZenSeikai.get());
    // The school-name dialog.
    w->frmJuku = std::make_unique<TfrmJuku>(main.shellState(), settings, prompts);
    main.attachJukuWindow(w->frmJuku.get());
    return w;
}

} // namespace tavola

// The program: the application object, the fonts, the title, the windows in their order, and the message loop.
// The courseware folder is the current directory; the program takes no arguments.
//
// For the smoke test and for looking at the window: TAVOLA_QUIT_AFTER_MS=n quits after n milliseconds, and
// TAVOLA_SCREENSHOT=file.png saves a picture of the main window just before quitting, and
// TAVOLA_OPEN_UNIT="lesson section unit [similar]" opens that unit once the window is up.
#include "app/TfrmMain.h"
#include "app/app_texts.h"
#include "app/qt_program.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_prompts.h"
#include "platform/qt/qt_resources.h"
#include "platform/qt/qt_translations.h"
#include "platform/seams.h"
#include "platform/settings_store.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

int main(int argc, char** argv)
{
    tavola::useJapaneseLocale();
    QApplication app(argc, argv);
    tavola::installFontSubstitutions();
    tavola::installQtTranslations();
    tavola::loadResources();
    tavola::setUpApplication();

    tavola::QtPrompts prompts(QString::fromUtf8(tavola::kApplicationTitle));
    tavola::SettingsStore settings;
    auto windows = tavola::createProgramWindows(prompts, settings, tavola::systemClock());
    tavola::TfrmMain& frmMain = *windows->frmMain;
    prompts.setParent(&frmMain);
    QObject::connect(&frmMain, &tavola::TfrmMain::startupAborted, &app, [] { QCoreApplication::exit(1); });

    if (QByteArray ms = qgetenv("TAVOLA_QUIT_AFTER_MS"); !ms.isEmpty()) {
        QString screenshot = qEnvironmentVariable("TAVOLA_SCREENSHOT");
        QTimer::singleShot(ms.toInt(), &app, [&frmMain, screenshot] {
            if (!screenshot.isEmpty()) frmMain.grab().save(screenshot);
            QCoreApplication::quit();
        });
    }
    // Shown from inside the message loop, so that quitting works even while a start-up message is open.
    QTimer::singleShot(0, &frmMain, [&frmMain] { frmMain.show(); });
    if (QStringList unit = qEnvironmentVariable("TAVOLA_OPEN_UNIT").split(' ', Qt::SkipEmptyParts); unit.size() >= 3) {
        tavola::UnitPosition p{unit[0].toInt(), unit[1].toInt(), unit[2].toInt(), unit.value(3).toInt()};
        QTimer::singleShot(0, &frmMain, [&frmMain, p] {
            if (frmMain.showOutcome() != tavola::ShowOutcome::Completed) return;
            if (frmMain.index().currentLesson() != p.lesson) (void)frmMain.index().readLesson(p.lesson);
            frmMain.openUnit(p, false);
        });
    }
    return app.exec();
}

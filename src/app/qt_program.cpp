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
#include "courseware/TfrmMenu.h"
#include "courseware/TfrmOpenPRP.h"
#include "practice/TfrmKiroku.h"
#include "practice/TfrmRenshu.h"
#include "practice/TfrmZenSeikai.h"
#include "authoring/TfrmReadUnit.h"
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
    // 1. The main window; the first one created is the application's main window.
    w->frmMain = std::make_unique<TfrmMain>(prompts, settings, clock);
    TfrmMain& main = *w->frmMain;
    // 2. TfrmMenu, the unit selection window.
    w->frmMenu = std::make_unique<TfrmMenu>(main.menuContext());
    main.attachMenuWindow(w->frmMenu.get());
    // 3. The version window.
    w->frmVersion = std::make_unique<TfrmVersion>();
    main.attachVersionWindow(w->frmVersion.get());
    // 4. TfrmMath, the expression renderer's images.
    // 5. TfrmSettei, the answer-box settings.
    w->frmSettei = std::make_unique<TfrmSettei>(main);
    main.attachSetteiWindow(w->frmSettei.get());
    // 6. TfrmEditIndex, the index editor.
    auto help = [&main](int topic) { main.openHelp(topic); };
    w->frmEditIndex = std::make_unique<TfrmEditIndex>(
        main.shellState().coursewareDir, main.shellState().indexChanged,
        [&main](int lesson) { return main.recordFileOf(lesson); }, prompts, help);
    // 7. TfrmEditQues, the master file editor.
    w->frmEditQues = std::make_unique<TfrmEditQues>(main.index(), defaultBlockLines(), prompts,
                                                    [&main] { main.masterFileChanged(); });
    main.attachEditorWindows(w->frmEditQues.get(), w->frmEditIndex.get());
    // 8. TfrmEditSource, TfrmInputText, the editor's dialogs.
    w->frmEditSource = std::make_unique<TfrmEditSource>(prompts, help);
    w->frmInputText = std::make_unique<TfrmInputText>(prompts);
    w->frmEditQues->attachSourceWindow(w->frmEditSource.get());
    w->frmEditIndex->attachSourceWindow(w->frmEditSource.get());
    w->frmEditIndex->attachInputWindow(w->frmInputText.get());
    // 9. TfrmOpenPRP, the copy-file browser.
    w->frmOpenPRP = std::make_unique<TfrmOpenPRP>(main.shellState().coursewareDir, prompts);
    main.attachOpenPRPWindow(w->frmOpenPRP.get());
    // 10. TfrmPrintMode, TfrmSetPaper, the print-mode and paper dialogs.
    w->frmPrintMode = std::make_unique<TfrmPrintMode>(main, settings, prompts);
    w->frmSetPaper = std::make_unique<TfrmSetPaper>(main, settings, prompts);
    // 11. TfrmBMP, the enlarged picture.
    w->frmBMP = std::make_unique<TfrmBMP>();
    w->frmEditQues->attachBmpWindow(w->frmBMP.get());
    // 12. TfrmPrintOk, the print dialog.
    w->frmPrintOk = std::make_unique<TfrmPrintOk>(main, *w->frmPrintMode, prompts);
    main.attachPrintWindows(w->frmPrintMode.get(), w->frmSetPaper.get(), w->frmPrintOk.get());
    // 13. TfrmReadUnit, the unit reader's copy edit dialog.
    w->frmReadUnit = std::make_unique<TfrmReadUnit>(main, prompts);
    main.attachReadUnitWindow(w->frmReadUnit.get());
    // 14. The title window: a child of the main window, made with it.
    // 15. TfrmZenTangen, the all-units list.
    // 16. TfrmKiroku, the records viewer, also shown by 記録表示 of the unit selection window.
    w->frmKiroku = std::make_unique<TfrmKiroku>(main.index(), prompts);
    w->frmMenu->setShowRecords([&main] { return main.showRecordsFromMenu(); });
    // 17. TfrmRenshu, the practice window.
    w->practiceHost = std::make_unique<PracticeHost>(main, w->frmPrintOk.get());
    w->frmRenshu = std::make_unique<TfrmRenshu>(*w->practiceHost, prompts, systemRandom());
    main.attachRenshuWindow(w->frmRenshu.get());
    // 18. TfrmInputName, the learner registration (its password window follows).
    w->frmInputName = std::make_unique<TfrmInputName>(main.inputNameContext());
    // 19. TfrmZenSeikai, the all-correct window.
    w->frmZenSeikai = std::make_unique<TfrmZenSeikai>();
    // 20. TfrmPassword, the learner password.
    w->frmPassword = std::make_unique<TfrmPassword>(prompts);
    w->frmInputName->setPasswordWindow(w->frmPassword.get());
    main.attachLearnerWindows(w->frmInputName.get(), w->frmKiroku.get(), w->frmZenSeikai.get());
    // 21. The school-name dialog.
    w->frmJuku = std::make_unique<TfrmJuku>(main.shellState(), settings, prompts);
    main.attachJukuWindow(w->frmJuku.get());
    return w;
}

} // namespace tavola

#pragma once
// The windows of the program, created once at start-up in a fixed order and kept for the whole run (only the
// worksheet windows come and go). main() creates them here; the window tests create them the same way.
#include <memory>

namespace tavola {
class TfrmMain;
class TfrmVersion;
class TfrmJuku;
class TfrmInputName;
class TfrmPassword;
class TfrmBMP;
class TfrmMenu;
class TfrmSettei;
class TfrmEditIndex;
class TfrmEditQues;
class TfrmEditSource;
class TfrmInputText;
class TfrmOpenPRP;
class TfrmReadUnit;
class TfrmPrintMode;
class TfrmSetPaper;
class TfrmPrintOk;
class TfrmKiroku;
class TfrmZenSeikai;
class TfrmRenshu;
class PracticeHost;
class Clock;
class Prompts;
class SettingsStore;

struct ProgramWindows {
    // Declared in creation order, so they are destroyed in the reverse order: the main window last.
    std::unique_ptr<TfrmMain> frmMain;
    std::unique_ptr<TfrmMenu> frmMenu;
    std::unique_ptr<TfrmVersion> frmVersion;
    std::unique_ptr<TfrmSettei> frmSettei;
    std::unique_ptr<TfrmEditIndex> frmEditIndex;
    std::unique_ptr<TfrmEditQues> frmEditQues;
    std::unique_ptr<TfrmEditSource> frmEditSource;
    std::unique_ptr<TfrmInputText> frmInputText;
    std::unique_ptr<TfrmOpenPRP> frmOpenPRP;
    std::unique_ptr<TfrmPrintMode> frmPrintMode;
    std::unique_ptr<TfrmSetPaper> frmSetPaper;
    std::unique_ptr<TfrmBMP> frmBMP;
    std::unique_ptr<TfrmPrintOk> frmPrintOk;
    std::unique_ptr<TfrmReadUnit> frmReadUnit;
    std::unique_ptr<TfrmJuku> frmJuku;
    std::unique_ptr<TfrmKiroku> frmKiroku;
    std::unique_ptr<PracticeHost> practiceHost;
    std::unique_ptr<TfrmRenshu> frmRenshu;
    std::unique_ptr<TfrmInputName> frmInputName;
    std::unique_ptr<TfrmZenSeikai> frmZenSeikai;
    std::unique_ptr<TfrmPassword> frmPassword;

    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;
};

// The application's name and icon. No display name is set: the platform would add it to every window's caption,
// and each caption is to be the window's own text exactly ("Tavola++ 算数問題集２／分数の計算" for the main window).
void setUpApplication();

// Creates the windows; nothing is shown yet. Showing the main window runs its show sequence.
std::unique_ptr<ProgramWindows> createProgramWindows(Prompts& prompts, SettingsStore& settings, const Clock& clock);

} // namespace tavola

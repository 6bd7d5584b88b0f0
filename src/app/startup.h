#pragma once
// The start-up of the main window as logic: where the courseware is, which help page it has, where the learner
// folder lives, the modes, and the show sequence that runs once when the main window first appears. The window
// supplies what only a window can do (pictures, controls, focus) through ShowSequenceWindow, so that the order of
// the steps, the settings they read and write and the way a failure stops them are tested without a window.
#include "app/shell_state.h"
#include "platform/canvas.h"
#include "platform/result.h"

#include <string>

namespace tavola {

class CoursewareIndex;
class Prompts;
class SettingsStore;

// The courseware folder is the current directory at start-up, not the folder of the program file. On this
// platform folders are separated by "/", so the folder gets a trailing "/" when it has none; the folder texts of
// the index ("Lesson1\") are appended as the index spells them and become real paths at the file system call.
std::string withTrailingSeparator(std::string folder);
// Fails with a message when the current directory cannot be read or its name cannot be written in CP932.
Result<std::string> coursewareDirFromCurrentDirectory();

// The help of a courseware is HTML: the pages live in coursewareDir + "help/", and the help page is the first
// "*.htm" or "*.html" file there in name order without regard to case (the order in which the system's own file
// system listed the "*.hlp" files it looked for). Without one the name stays kDefaultHelpFile. Context numbers
// are anchors of that page ("#902").
inline constexpr const char* kDefaultHelpFile = "Sheetpak.htm";
std::string helpFolder(const std::string& coursewareDir);
std::string chooseHelpFile(const std::string& coursewareDir);
std::string helpFilePath(const ShellState& state);
// "補足": coursewareDir + "hosoku.htm".
std::string supplementPath(const ShellState& state);

// The windows folder of the system is the user's data folder here: its system path + "/".
std::string windowsFolder();

// recordDrive + "Tavola" and then logOnDir = recordDrive + "Tavola\LogOn", each created when missing. Fails with
// the message of the folder that could not be created; logOnDir is set only on success.
Status prepareRecordFolders(ShellState& state);
// On a read-only courseware folder every lesson gets a folder windowsDir + stem; failures are ignored.
void createLessonFoldersForReadOnlyCourseware(const ShellState& state, const CoursewareIndex& index);

// The title button: glyph size + (10, 20), centred in the free area as the main window always placed it
// (div truncates toward zero, so a glyph larger than the screen gives a negative offset).
Rect titleButtonRect(int screenWidth, int mainHeight, int panelWidth, int glyphWidth, int glyphHeight);
// The tips panel's top-left: centred over the free area, 80 pixels above the middle.
Point tipsPanelPosition(int mainWidth, int mainHeight, int panelWidth, int tipsWidth, int tipsHeight);
// The save pop-up's top-left beside 保存 (btnSave's rectangle in main window coordinates).
Point savePopupPosition(const Rect& saveButton);

// Writes "KeyLock" and sets the mode in the state; the window shows it.
Status setKeyLock(ShellState& state, SettingsStore& settings, bool keyLock);

// The steps of the show sequence that only the main window can do.
class ShowSequenceWindow {
public:
    virtual ~ShowSequenceWindow() = default;
    // The title picture at this path (it exists), or an empty button when the path is empty; sized and placed.
    virtual void showTitlePicture(const std::string& path) = 0;
    virtual void setShowTipsNextTime(bool show) = 0;
    // The main index has been read into the index: the unit selection window shows its title and lessons.
    virtual void mainIndexRead() = 0;
    // The 解答表示 button shows that the answers can be used now (state.answersEnabled).
    virtual void enableAnswerButton() = 0;
    // The print-mode dialog starts on the stored mode: "プリンタの解像度で印刷する" when printerMode, otherwise
    // "画面に忠実に印刷する".
    virtual void selectPrintMode(bool printerMode) = 0;
    // Apply paper with the stored width.
    virtual void applyPaper(int width) = 0;
    // The 解答表示 toggle, once.
    virtual void toggleAnswers() = 0;
    virtual void placeTipsPanel() = 0;
    virtual void bringTitleToFront() = 0;
    // The index editor reads the main index into its own lists.
    virtual void indexEditorReadMainIndex() = 0;
    // Focuses the tips panel's close button when the panel is visible.
    virtual void focusTipsClose() = 0;
    virtual void showLearnerName() = 0;
    // Shows teacher mode or student mode (the setting is already written).
    virtual void showMode(bool keyLock) = 0;
    virtual void focusStudyButton() = 0;
};

enum class ShowOutcome {
    Completed,
    Stopped, // a settings error or a folder that could not be created; the window stays usable
    Quit,    // Main.ind is missing: the main window closes and the program ends
};

// The show sequence, every step in its order. Messages go through prompts: a missing Title.BMP or Main.ind with
// the existence check's message, a settings or folder error in the error box.
ShowOutcome runShowSequence(ShellState& state, CoursewareIndex& index, SettingsStore& settings, Prompts& prompts,
                            ShowSequenceWindow& window);

} // namespace tavola

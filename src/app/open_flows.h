#pragma once
// The main window's flows that turn a choice into an open worksheet window: opening a unit through the unit
// selection window, opening a unit by its position, reading a unit into a worksheet document ready for its
// window, the bookkeeping of the list of open worksheets, the closing question with its save as copy, and the
// small geometry rules of the worksheet commands (the copied rectangle, the scroll command, the reduced view).
// What only windows can do (the unit selection window, activating, closing and creating worksheet windows) the
// main window supplies through OpenFlowWindows, so the order of the steps and their messages are tested without a
// window.
#include "app/shell_state.h"
#include "courseware/index_file.h"
#include "platform/canvas.h"
#include "platform/prompts.h"
#include "platform/result.h"
#include "question/copy_file.h"
#include "question/unit_reader.h"
#include "worksheet/figures.h"
#include "worksheet/worksheet.h"

#include <array>
#include <optional>
#include <string>

namespace tavola {

// Open a unit: 1 opened, 2 already open (nothing new opened), 4 failed (master file or unit record missing, or
// the unit could not be read).
enum class OpenResult { Opened = 1, AlreadyOpen = 2, Failed = 4 };

// A worksheet ready for its window: the document, its figure pictures and the class flag picture.
struct WorksheetDocument {
    Worksheet sheet;
    FigurePictures figures;
    PictureRef classFlag; // null: no class flag shown
};

// "すでに読み込まれています".
std::string alreadyOpenMessage();
// "単元がありません" + CR LF + "新規作成しますか?".
std::string missingUnitQuestion();
// window title + "を保存しますか？".
std::string saveQuestion(const std::string& windowTitle);

// A path a file dialog gave back, written the way the courseware's own paths are built: below the courseware
// folder its folders are separated by "\" (as in a unit's window key), so that a copy file's caption reads like a
// unit's and finding a window by its name matches either way. Paths elsewhere stay as they are.
std::string coursewareStylePath(const std::string& coursewareDir, const std::string& path);

// What the flows ask of the main window.
class OpenFlowWindows {
public:
    virtual ~OpenFlowWindows() = default;
    // Shows the unit selection window in "Open" mode, modally. On OK true, with lastPosition and the chosen
    // lesson, section and unit texts stored in the shell state.
    virtual bool chooseUnit() = 0;
    // Activate window (index into openWindowList).
    virtual void activateWindow(int index) = 0;
    // Closes the current worksheet window without asking (its changed flag is cleared first).
    virtual void closeCurrentWorksheet() = 0;
    // Creates the worksheet window for the document, captioned with the worksheet's window key, and focuses it;
    // the window is counted and listed with worksheetWindowOpened.
    virtual void createWorksheetWindow(WorksheetDocument document) = 0;
    // Shows the master file editor on a new unit at the position; true when it ended with OK (the unit was saved).
    virtual bool editNewUnit(const UnitPosition& /*position*/) { return false; }
    // The paper radio action for A4.
    virtual void choosePaperA4() {}
};

struct OpenFlowContext {
    ShellState& state;
    CoursewareIndex& index;
    UnitReader& reader;
    Prompts& prompts;
    OpenFlowWindows& windows;
};

// Reads the unit or copy file of the request into a worksheet document: the reader (its message on failure,
// none when the file or record is missing), the worksheet with the answers as the main window shows them, the
// figure pictures from the figure folder of the lesson (with their messages) and classFlag.bmp of the courseware
// folder. No window is involved; the benchmark of opening a unit measures this.
Result<WorksheetDocument> readWorksheetDocument(UnitReader& reader, const ReadRequest& request, bool showAnswers,
                                                const CoursewareIndex& index, Prompts& prompts);

// Open a unit (unit position, reopen). Builds the window key and short key of the worksheet, returns Failed when
// the master file does not exist (without a message); an open window with the same key is activated after
// "すでに読み込まれています" (AlreadyOpen), or with reopen the current worksheet is closed and the unit read anew.
// A unit that cannot be read shows the reader's message, if any, and fails.
OpenResult openUnit(OpenFlowContext& ctx, const UnitPosition& position, bool reopen);

// Open a unit through the menu: Main.ind must exist (the existence check's message), the answers are switched on,
// the unit selection window chooses, and the chosen unit is opened. A unit that cannot be found asks
// missingUnitQuestion(); Yes shows the master file editor on the new unit, and when that saved it the unit is opened
// and A4 chosen. Returns whether a worksheet was opened.
bool openUnitThroughMenu(OpenFlowContext& ctx);

// Open a copy file (the path the copy-file browser returned, its extension checked) as a worksheet of the lesson:
// the existence check's message when it is missing, "すでに読み込まれています" and its window activated when it is
// open already; otherwise the reader reads its "[[unitX" record and the worksheet window comes up with the path as
// caption and key. Returns whether a worksheet was opened.
bool openCopyFile(OpenFlowContext& ctx, const std::string& path, int lesson);

// The list of open worksheets: a window adds its caption when built and removes it when it closes (the first
// entry equal to it), and the count follows.
void worksheetWindowOpened(ShellState& state, const std::string& caption);
void worksheetWindowClosed(ShellState& state, const std::string& caption);

// Save as copy of a worksheet (名前を付けて保存): the save dialog offers the worksheet's own copy file when it is
// one, else its short key's name in the copy-file folder of its lesson (lesson 1 without one). On success the
// worksheet's entry in the list of open worksheets, its window key and its path become the new path, its changed flag
// is cleared, and it no longer counts as a master unit (its path is a copy file now, so writing it back into a master
// file is no longer offered). Returns the new path.
std::optional<std::string> saveWorksheetAsCopy(Worksheet& sheet, ShellState& state, const CoursewareIndex& index,
                                               Prompts& prompts, SaveCopyOutcome* outcome = nullptr);

// The closing question of a worksheet window: an unchanged worksheet closes without a question; a changed one asks
// saveQuestion(title). Cancel keeps the window; No closes; Yes writes a worksheet that still holds its master unit
// back into the master file (a failed write keeps the window open), and otherwise runs save as copy and closes, also
// when the save dialog was cancelled or an existing file was not overwritten, but keeps the window open (and changed)
// when the file could not be written, so that nothing is lost. newCaption receives the path a save wrote.
bool closeWorksheetQuery(Worksheet& sheet, const std::string& title, ShellState& state, const CoursewareIndex& index,
                         Prompts& prompts, std::optional<std::string>& newCaption);

// Copy rectangle: the dragged rectangle normalised (x1 ≤ x2, y1 ≤ y2), the part of the page picture inside the
// dragged frame, from (x1 + 1, y1 + 1) to (x2, y2), and the size of the picture it is stretched into,
// |x2 − x1 − 2| × |y2 − y1 − 2| (a 2-pixel-wide rectangle gives 0, a 0-pixel-wide one 2).
struct RectangleCopy {
    std::array<int, 4> normalised{};
    Rect source;
    int width = 0;
    int height = 0;
};
RectangleCopy rectangleCopy(const std::array<int, 4>& selection);

// The scroll command: at the top (position ≤ 0) to the end of the page, picture height − window height + 32;
// anywhere else back to the top.
int scrollTarget(int position, int pictureHeight, int windowHeight);

// The reduced view's picture area: height = command panel height − 36, width = height / √2 rounded.
struct ReducedViewSize {
    int width = 0;
    int height = 0;
};
ReducedViewSize reducedViewSize(int panelHeight);

// The current learner's data file of lesson n (learnerDataFile); empty without a learner name.
std::string learnerRecordFile(const ShellState& state, const CoursewareIndex& index, int lesson);

} // namespace tavola

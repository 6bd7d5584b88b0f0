#pragma once
// The shell state: the application-wide values the main window owns and the other windows and the flows read
// (courseware folder, learner and school names, the modes, the paper, the list of open worksheets), with the
// paper table and the small rules that work on them.
#include "courseware/unit_position.h"
#include "platform/line_file.h"

#include <array>
#include <string>
#include <vector>

namespace tavola {

// Paper sizes in layout units of 1/3 mm (3 units = 1 mm).
struct PaperSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PaperSize&, const PaperSize&) = default;
};

// The order of the paper radio buttons radB5, radA4, radB4, radA3.
enum class PaperChoice { B5 = 0, A4 = 1, B4 = 2, A3 = 3 };
inline constexpr int kPaperCount = 4;

// B5, A4, B4, A3: the millimetre sizes 182 × 257, 210 × 297, 257 × 364, 297 × 420, each × 3.
inline constexpr std::array<PaperSize, kPaperCount> kPaperTable{{{546, 771}, {630, 891}, {771, 1092}, {891, 1260}}};

inline constexpr int kA4Width = 630;

// What Apply paper makes of a width: the paper of that width; a width that is none of the four chooses A4.
PaperChoice applyPaperRule(int width);

struct ShellState {
    std::string coursewareDir; // system path ending in a separator
    bool onCdRom = false;      // the courseware folder cannot be written
    std::string schoolName;
    std::string learnerName; // "共通", the common learner, until the setting is read
    std::string recordDrive;
    std::string windowsDir;
    std::string logOnDir; // recordDrive + "Tavola\LogOn", no trailing separator
    bool keyLock = false; // student mode
    bool showAnswers = false;
    bool answersEnabled = false;    // 解答表示 can be used (the show sequence enables it)
    bool alternativeAnswers = true; // 別解表示: the screen pages show the alternative answers
    // The paper chosen with the paper buttons, as the print dialog names it; the show sequence applies the stored one.
    PaperChoice paper = PaperChoice::B5;

    int worksheetCount = 0;
    std::vector<std::string> openWindowList; // captions of the open worksheet windows, in opening order

    bool indexChanged = false; // the index editor rewrote an index: the unit selection reloads Main.ind
    bool marksStale = false;   // the unit selection rescans its similar-problem marks

    UnitPosition lastPosition; // last confirmed in the unit selection window
    std::string lastLessonText;
    std::string lastSectionText;
    std::string lastUnitText;

    std::string helpFile; // bare file name of the help page inside coursewareDir + "help/"

    ShellState();
};

// Find window: the index in openWindowList of the first entry equal to name, or -1.
int findWindow(const ShellState& state, const std::string& name);

// The layout blocks the master file editor gives a new unit (thirty lines, in the master file format).
const Lines& defaultBlockLines();

} // namespace tavola

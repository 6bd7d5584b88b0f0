#include "app/shell_state.h"

#include "platform/sjis.h"

namespace tavola {

PaperChoice applyPaperRule(int width)
{
    PaperChoice choice = PaperChoice::A4;
    for (int i = 0; i < kPaperCount; ++i) {
        if (kPaperTable[static_cast<std::size_t>(i)].width == width) choice = static_cast<PaperChoice>(i);
    }
    return choice;
}

ShellState::ShellState() : learnerName("共通"_sj) {}

int findWindow(const ShellState& state, const std::string& name)
{
    for (std::size_t i = 0; i < state.openWindowList.size(); ++i) {
        if (state.openWindowList[i] == name) return static_cast<int>(i);
    }
    return -1;
}

const Lines& defaultBlockLines()
{
    // The values the sample courseware's units use, which fit a fraction drill: a stacked fraction at 14 points
    // needs the main line spacing 80, and square boxes 20 high hold it. The old template (spacing 40, rounded boxes
    // 2 high) made stacked fractions overlap and answers stick out of their boxes. Boxes 20 wide (125 units) hold
    // an alternative answer typed as "1 7/12"; 15 cut it off. Units read from files keep their own values.
    static const Lines lines = [] {
        Lines l{"<<value", "630", "False", "80",    "5",     "5",     "1",  "7",  ">>",     "<<font",
                "14",      "",    "False", "False", "False", "False", "0",  ">>", "<<kran", "1",
                "20",      "20",  "0",     "0",     "0",     "15",    "10", "0",  "0",      ">>"};
        l[11] = "MS 明朝"_sj; // the half-width "MS" is what new units have always carried
        return l;
    }();
    return lines;
}

} // namespace tavola

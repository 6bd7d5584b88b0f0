#pragma once
// The worksheet document: one unit (or several added units) laid out on one page. It holds what the unit reader
// gave (caption lines, problem lines, figures, choices), the layout settings (unit_settings.h: paper, answers
// shown, line spacing, margins, start number, option bits, character size, text face, secondary font, the ten
// answer-box items). How it lies on a page is not kept here: the page layout (worksheet/drawing_pass.h) is
// made from it by whoever shows or prints it.
#include "courseware/unit_position.h"
#include "platform/canvas.h"
#include "platform/line_file.h"
#include "question/master_file.h"
#include "question/unit_data.h"
#include "question/unit_settings.h"
#include "worksheet/answer_boxes.h"

#include <string>
#include <vector>

namespace tavola {

// Segment positions and text x values recorded per page.
inline constexpr int kMaxSegments = 240;

struct Worksheet {
    std::string title;  // drawn in the header
    std::string school; // stored and written to copy files only
    std::string name;
    std::string builtTitle; // the title as the reader last built it, for adding units

    Lines problemLines; // at most 60, as the reader checked
    Lines quesComment;  // the comment of the "<<ques" block, carried to copy files (formulas of word problems)
    Lines graph;        // problem figures: file, x, y per figure ("-1" = not placed yet)
    Lines agraph;       // answer figures
    Lines kgroup;
    Lines softkey;

    UnitSettings settings;

    std::string path;      // the master or copy file it came from
    std::string windowKey; // the window's caption and its entry in the list of open worksheets
    std::string shortKey;  // printed in the number line
    UnitPosition position;
    bool master = true;    // still a single master unit as read
    bool changed = false;  // changes not yet saved
    bool practice = false; // shown in the practice window
    // The master file of its unit, kept when it is saved as a copy (the practice window reads the unit's hints
    // there); empty for a worksheet opened from a copy file, which has no unit of a master file behind it.
    std::string masterPath;

    int figureCount() const { return static_cast<int>(graph.size() / 3); }
    int answerFigureCount() const { return static_cast<int>(agraph.size() / 3); }

    // The layout blocks as copy files and the editor write them.
    Lines layoutBlockLines() const { return settings.layoutBlockLines(); }
};

// A new worksheet from what the reader gave; answersShown is the main window's 解答表示 choice (value line 2 is
// written, never read).
Worksheet makeWorksheet(const UnitData& unit, bool answersShown);

// Takes the caption lines, problem lines and figure lists of a changed unit (the copy edit dialog, adding units)
// and marks the worksheet changed.
void takeContent(Worksheet& sheet, const UnitData& unit);

// The unit data of a worksheet as it stands, for writing it as a copy file or back into a master file: caption
// lines, problem lines, figures with their current positions, choices, and the layout blocks from the settings.
UnitData worksheetContent(const Worksheet& sheet);
// The same as the copy file writer takes it (copy_file.h: writeCopyFile, saveCopyAs).
CopyRecord copyRecordOf(const Worksheet& sheet);

} // namespace tavola

#pragma once
// The worksheet document: one unit (or several added units) laid out on one page. It holds what the unit reader
// gave (caption lines, problem lines, figures, choices), the layout settings (unit_settings.h: paper, answers
// shown, line spacing, margins, start number, option bits, character size, text face, secondary font, the ten
// answer-box items), and what the last drawing pass recorded for the practice window: the answer list, the
// answer-box table, the segment positions, the text x table and the score position.
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
    Lines graph;        // problem figures: file, x, y per figure ("-1" = not placed yet)
    Lines agraph;       // answer figures
    Lines kgroup;
    Lines softkey;

    UnitSettings settings;

    // Recorded by the drawing passes.
    Lines answerList{"start"};           // lstKai: "start", then every answer segment in drawing order
    std::vector<AnswerBox> answerBoxes;  // at most 80, page coordinates, rebuilt by recording passes
    std::vector<Point> segmentPositions; // start of every drawn segment, page coordinates, at most 240
    std::vector<int> textX;              // start x of every text segment, page coordinates, at most 240
    Point scorePosition;                 // where the practice window writes the score
    // A recording pass met more than 80 answers or 240 segments: the page was drawn whole, the excess was not
    // recorded, and practice declines the worksheet.
    bool overflow = false;

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
// written, never read), mainFace the face a font line 7 of "0" stands for.
Worksheet makeWorksheet(const UnitData& unit, bool answersShown, const std::string& mainFace = mainTextFace());

// Takes the caption lines, problem lines and figure lists of a changed unit (the copy edit dialog, adding units)
// and marks the worksheet changed.
void takeContent(Worksheet& sheet, const UnitData& unit);

// The unit data of a worksheet as it stands, for writing it as a copy file or back into a master file: caption
// lines, problem lines, figures with their current positions, choices, and the layout blocks from the settings.
UnitData worksheetContent(const Worksheet& sheet);
// The same as the copy file writer takes it (copy_file.h: writeCopyFile, saveCopyAs).
CopyRecord copyRecordOf(const Worksheet& sheet);

} // namespace tavola

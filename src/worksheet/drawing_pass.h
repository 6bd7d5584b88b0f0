#pragma once
// The drawing pass: lays out a worksheet on a canvas, the page picture on the screen or the printer's page.
// Header (rules, column divider, number line, date line, title, name line), the problem lines with their answers
// in boxes, the answer-box table and the other tables the practice window reads, the figures and the frames.
//
// Layout units are 1/3 mm. On the screen one unit is one pixel; on the printer everything is scaled by
// s = printer page width / 630 and every character size gets 3 points more. Real positions are rounded half to
// even; the line position is the one real that accumulates, and each line's position is rounded once.
#include "platform/canvas.h"
#include "platform/colour.h"
#include "platform/seams.h"
#include "question/markup.h"
#include "worksheet/figures.h"
#include "worksheet/worksheet.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavola {

struct DrawOptions {
    // The answers in their boxes (blue) or hidden (white, so the layout stays the same); unset: the worksheet's
    // own choice.
    std::optional<bool> answersShown;
    bool alternativeAnswers = true; // 別解表示: alternatives drawn 50 units right of the answer
    std::string schoolName;         // CP932; empty: the name line starts with blanks
    std::string learnerName;        // shown in the name line of a practice pass
    bool practice = false;          // the pass draws into the practice window
    int printNumber = 1;            // the number of the copy being printed (the print mode dialog's spnStart)
    bool numbering = true;          // "№ " + number in the number line
    const Clock* clock = nullptr;   // for the date and time of the number line; null: the system clock
    bool recording = true;          // rebuild the answer-box table and the text x table
    PictureRef classFlag;           // null: no class flag
    const FigurePictures* figures = nullptr;
    std::string mainFace; // the face of a worksheet without a text face; empty: mainTextFace()

    // Practice: the learner's entries shown in the boxes instead of the answers (index 0 for the first answer of
    // the page), the text segments starting at the x values the last screen pass recorded.
    const std::vector<std::string>* entries = nullptr;
    Colour entryColour = colours::Blue;
    // Practice marks, drawn after the frames at scale k.
    std::function<void(Canvas&, double k)> drawMarks;
};

struct DrawResult {
    double scale = 1;                  // s
    std::vector<PlacedFigure> figures; // page coordinates
    std::vector<std::string> messages; // to show the user (too many figures)
};

// One drawing pass onto the canvas; canvas.isPrinter() decides screen or printer. Writes into the worksheet the
// answer list, the segment positions, the score position, the positions of figures placed for the first time,
// and on a recording pass the answer-box table, the text x table and the overflow flag.
DrawResult drawWorksheet(Worksheet& sheet, Canvas& canvas, const DrawOptions& options);

// Draws one segment of a problem line with its top-left reference point at start: a plain segment with one text
// output U pixels lower in the face at the base size; any other token by token through the expression renderer
// with the style and size the codes set. Returns where the next piece continues.
struct SegmentStyle {
    std::string face;
    int baseSize = 14; // points, printer bonus included
    double scale = 1;
    Colour colour = colours::Black;
};
Point drawSegment(Canvas& canvas, const std::string& segment, Point start, const SegmentStyle& style,
                  markup::MarkupState& state);

// The text of the number line: ["№ " + number] + "  " + yyyy.mm.dd + "-" + hh:mm + "　" + the short key, of which
// only the bytes from the 41st on are shown when it is longer than 40 bytes.
std::string numberLineText(const std::string& shortKey, const DateTime& now, bool numbering, int number);

// The title's two lines: one line when it has at most 60 bytes; otherwise the part before the first "§", and
// "　　" + the rest from the "§" on (an empty first line when there is no "§").
std::pair<std::string, std::optional<std::string>> titleLines(const std::string& title);

} // namespace tavola

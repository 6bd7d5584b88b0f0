#pragma once
// The page of a worksheet: laid out first, painted second.
//
// layoutPage() is a pure function from a worksheet and its drawing options to a PageLayout: the header (rules,
// column divider, number line, date line, title, name line), the problem lines with their answers, the tables the
// practice window and the editors read (answer list, answer boxes, segment positions, text x values, score
// position), the figures, the frames, and the page's drawing calls. It measures text through the canvas it is
// given and draws nothing; it writes nothing into the worksheet. paintPage() draws a layout on any canvas.
//
// Layout units are 1/3 mm. On the screen one unit is one pixel; on the printer everything is scaled by
// s = printer page width / 630 and every character size gets 3 points more. Real positions are rounded half to
// even; the line position is the one real that accumulates, and each line's position is rounded once.
#include "platform/canvas.h"
#include "platform/colour.h"
#include "platform/display_list.h"
#include "platform/seams.h"
#include "question/markup.h"
#include "render/draw_math.h"
#include "worksheet/answer_boxes.h"
#include "worksheet/figures.h"
#include "worksheet/worksheet.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavola {

struct PageLayout;

// Draws the practice marks of a page at scale k, after the frames.
using PageMarks = std::function<void(Canvas&, double k)>;

struct DrawOptions {
    // The answers in their boxes (blue), or left off the page with their room kept; unset: the worksheet's own
    // choice.
    std::optional<bool> answersShown;
    bool alternativeAnswers = true; // 別解表示: alternatives drawn 50 units right of the answer
    std::string schoolName;         // CP932; empty: the name line starts with blanks
    std::string learnerName;        // shown in the name line of a practice pass
    bool practice = false;          // the page is shown in the practice window
    bool learnerNameShown = false;  // the learner's name in the name line outside practice too (a sheet made for one)
    int printNumber = 1;            // the number of the copy being printed (the print mode dialog's spnStart)
    bool numbering = true;          // "№ " + number in the number line
    const Clock* clock = nullptr;   // for the date and time of the number line; null: the system clock
    PictureRef classFlag;           // null: no class flag
    const FigurePictures* figures = nullptr;
    std::string mainFace;         // the face of a worksheet without a text face; empty: mainTextFace()
    render::RendererInputs faces; // the main window's drawing fonts for digits and letters

    // The screen layout of the same page. A printer page draws its answer-box frames from its box table and places
    // figures without a position where the screen page placed them; a page with entries starts its text segments
    // at its text x values. Null on a screen page.
    const PageLayout* screen = nullptr;
    // Practice: the learner's entries shown in the boxes instead of the answers (index 0 for the first answer of
    // the page).
    const std::vector<std::string>* entries = nullptr;
    Colour entryColour = colours::Blue;
};

struct PageLayout {
    int width = 0; // the target, pixels
    int height = 0;
    bool printer = false;
    double scale = 1;              // s
    render::RenderContext context; // the metrics and faces the page was laid out with

    Lines answerList{"start"};           // lstKai: "start", then every answer segment in drawing order
    std::vector<AnswerBox> answerBoxes;  // at most 80, page coordinates
    std::vector<Point> segments;         // start of every drawn segment, page coordinates, at most 240
    std::vector<int> textX;              // start x of every text segment, page coordinates, at most 240
    Point scorePosition;                 // where the practice window writes the score
    Rect nameLine;                       // the heading's name line (氏名 and the learner's name), pixels
    std::vector<PlacedFigure> figures;   // page coordinates
    PictureRef classFlag;                // kept with the calls that draw it
    std::vector<FigurePlacement> placed; // figures placed for the first time
    // More than 80 answers or 240 segments: the page is drawn whole, the excess is not in the tables, and practice
    // declines the worksheet.
    bool overflow = false;
    // The lowest point the problem lines reach and the page's height, in page units: a page whose lines run past
    // its bottom loses them on paper.
    int contentBottom = 0;
    int pageBottom = 0;
    std::vector<std::string> messages; // to show the user (too many figures)

    DisplayList calls;       // the page's drawing, in order
    std::size_t marksAt = 0; // practice marks are drawn here: after the frames, under the class flag and figures

    bool runsOffPage() const { return contentBottom > pageBottom; }
};

// "問題が用紙の下からはみ出しています。はみ出した部分は印刷されません。": a page whose lines run past its bottom.
std::string pageRunsOffMessage();

// Lays out one page for the canvas: canvas.isPrinter() decides screen or printer, its size is the page's size and
// its text metrics measure every text. Draws nothing on it.
PageLayout layoutPage(const Worksheet& sheet, Canvas& canvas, const DrawOptions& options);

// Draws a layout on a canvas (which should be the one it was laid out for, or one with the same metrics). marks,
// when set, draws the practice marks at scale k after the frames.
void paintPage(const PageLayout& layout, Canvas& canvas, const PageMarks& marks = {});

// Both, for callers that draw a page once.
PageLayout drawPage(const Worksheet& sheet, Canvas& canvas, const DrawOptions& options, const PageMarks& marks = {});

// Writes the positions of the figures the page placed for the first time into the worksheet's figure lines, so
// that they keep them from then on. True when a position was written.
bool adoptFigurePositions(Worksheet& sheet, const PageLayout& layout);

// Draws one segment of a problem line with its top-left reference point at start: a plain segment with one text
// output U pixels lower in the face at the base size; any other token by token through the expression renderer
// with the style and size the codes set. Returns where the next piece continues.
struct SegmentStyle {
    std::string face;
    int baseSize = 14; // points, printer bonus included
    double scale = 1;
    Colour colour = colours::Black;
};
Point drawSegment(Canvas& canvas, const render::RenderContext& context, const std::string& segment, Point start,
                  const SegmentStyle& style, markup::MarkupState& state);

// The text of the number line: ["№ " + number] + "  " + yyyy.mm.dd + "-" + hh:mm + "　" + the short key, of which
// only the bytes from the 41st on are shown when it is longer than 40 bytes. The key of a copy file is its path:
// its file name is shown instead, cut to at most 40 bytes at a character boundary.
std::string numberLineText(const std::string& shortKey, const DateTime& now, bool numbering, int number);

// The title's two lines: one line when it has at most 60 bytes; otherwise the part before the first "§", and
// "　　" + the rest from the "§" on (an empty first line when there is no "§").
std::pair<std::string, std::optional<std::string>> titleLines(const std::string& title);

} // namespace tavola

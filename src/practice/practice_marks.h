#pragma once
// The practice marks on the sheet picture and on a printed scored worksheet: circle, double circle, slash, test
// slash and triangle around an input box, the learner's entries and the score in the heading.
#include "platform/canvas.h"
#include "practice/practice_engine.h"

#include <vector>

namespace tavola {

struct MarkStyle {
    double scale = 1;     // 1 on the screen, the page scale on the printer
    bool printer = false; // boxes sit 3 % further right on the printer
    int fontSize = 14;    // the worksheet's character size
    int boxWidth = 10;    // answer-box item 1
    int boxHeight = 4;    // answer-box item 2
};

// The rectangle the circle and slash marks are drawn around.
Rect markRect(const PracticeBox& box, const MarkStyle& style);
void drawMark(Canvas& canvas, const PracticeBox& box, MarkKind kind, Colour colour, const MarkStyle& style);
// The marks of a scored worksheet on paper: judge -2 a triangle, 0 a test slash, 1 a circle, all red.
void drawScoredMarks(Canvas& canvas, const std::vector<PracticeBox>& boxes, const MarkStyle& style);

// The font of a text written on a picture, with a transparent background.
void useTextFont(Canvas& canvas, const std::string& face, int sizePt, Colour colour);

// A white rounded patch over the input box's place, wiping what was written there.
void paintBoxPatch(Canvas& canvas, const PracticeBox& box);
// The score in red, 38 point, and "点" in 24 point 15 pixels lower after it; scorePosition is the worksheet's
// (page units), panelWidth the practice window's left button panel; on paper everything is times the page scale.
// When it would cover clearOf (the heading's name line, page units), it goes right of it, or below it at the right
// end (rightEnd, pixels of the canvas) when there is no room there.
Rect drawScoreText(Canvas& canvas, int score, Point scorePosition, int panelWidth, double scale,
                   const Rect& clearOf = {}, int rightEnd = 0);

} // namespace tavola

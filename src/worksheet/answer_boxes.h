#pragma once
// Answer boxes: the table of boxes each recording drawing pass fills (one entry per answer drawn, at most 80, in
// page coordinates), the geometry of a box and the frames of the six shapes (answer-box item 0: 0 none,
// 1 square, 2 ［ ］, 3 【 】, 4 underline, 5 rounded square). The practice window places its input fields with the same
// rectangles.
#include "platform/canvas.h"

#include <string>
#include <vector>

namespace tavola {

inline constexpr int kMaxAnswerBoxes = 80;

// One drawn answer: where it starts on the page, the whole answer segment (alternatives included), the character
// size it was drawn in (points, page scale) and how wide the drawn answer was.
struct AnswerBox {
    int x = 0;
    int y = 0;
    std::string text;
    int size = 0;
    int width = 0;
    friend bool operator==(const AnswerBox&, const AnswerBox&) = default;
};

enum class BoxShape { None = 0, Square = 1, Brackets = 2, LenticularBrackets = 3, Underline = 4, Rounded = 5 };
// Any other number draws no frame.
BoxShape boxShapeOf(int item);

// The height of the practice window's input field for a worksheet character size (a one-line edit: the text
// height at 96 pixels per inch plus its 8-pixel border), the e of the box geometry.
int answerFieldHeight(int charSizePt);

// Base rectangle of a box at scale k (1 on screen, the page scale when printing); p = 1.03 on the printer.
Rect boxRect(const AnswerBox& box, double k, bool printer, int fieldHeight);
// The frame rectangle around a base rectangle for the box width w and height h.
Rect frameRect(const Rect& base, int boxWidth, int boxHeight, double k);

struct FrameStyle {
    BoxShape shape = BoxShape::Brackets; // answer-box item 0
    int boxWidth = 10;                   // item 1
    int boxHeight = 4;                   // item 2
    int charSize = 14;                   // the worksheet's character size (the input field height follows it)
    int sizeBonus = 0;                   // points added to every character size (3 on the printer)
    std::string face;                    // the text face, for the bracket shapes
    bool printer = false;
};

// Draws the frame of every box in the table at scale k, in the shape of item 0: pen black, width round(k),
// transparent brush. Shapes 2 and 3 draw their brackets in the box's character size.
void drawFrames(Canvas& canvas, const std::vector<AnswerBox>& boxes, const FrameStyle& style, double k);
void drawFrame(Canvas& canvas, const AnswerBox& box, const FrameStyle& style, double k);

} // namespace tavola

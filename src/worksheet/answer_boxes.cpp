#include "worksheet/answer_boxes.h"

#include "platform/numbers.h"
#include "platform/sjis.h"

#include <algorithm>
#include <cstdlib>

namespace tavola {

namespace {
// Box settings and character sizes beyond this (only a damaged file holds them; a width of 1000 is a frame eight
// pages wide) are taken as this large, so that the frame's corners stay within the integers.
constexpr int kBoxValueLimit = 1000;

int boxValue(int value)
{
    return std::clamp(value, -kBoxValueLimit, kBoxValueLimit);
}
} // namespace

BoxShape boxShapeOf(int item)
{
    if (item < 0 || item > 5) return BoxShape::None;
    return static_cast<BoxShape>(item);
}

int answerFieldHeight(int charSizePt)
{
    return roundEven(boxValue(charSizePt) * 96.0 / 72.0) + 8;
}

Rect boxRect(const AnswerBox& box, double k, bool printer, int fieldHeight)
{
    // The printer's boxes sit a little further right: its text runs 3 points larger than the screen's.
    const double p = printer ? 1.03 : 1.0;
    Rect r;
    r.left = roundEven(box.x * k * p);
    r.top = roundEven(box.y * k) + roundEven(3 * k);
    r.right = r.left + roundEven(box.width * k) - roundEven(3 * k);
    r.bottom = r.top + roundEven(fieldHeight * k);
    return r;
}

Rect frameRect(const Rect& base, int boxWidth, int boxHeight, double k)
{
    const int kw = roundEven(k * (boxValue(boxWidth) + 5));
    const int kh = roundEven(boxValue(boxHeight) * k);
    Rect r = base;
    r.top = base.top - roundEven(kh * 0.5);
    r.right = kw >= 0 ? base.left + 5 * kw : base.right + std::abs(kw);
    r.bottom = base.bottom + kh;
    return r;
}

void drawFrame(Canvas& canvas, const AnswerBox& box, const FrameStyle& style, double k)
{
    if (style.shape == BoxShape::None) return;
    const Rect base = boxRect(box, k, style.printer, answerFieldHeight(style.charSize));
    const Rect frame = frameRect(base, style.boxWidth, style.boxHeight, k);
    canvas.pen = PenSpec{colours::Black, roundEven(k), PenMode::Copy, PenStyle::Solid};
    canvas.brush.style = BrushStyle::Clear;

    auto brackets = [&](const char* open, const char* close) {
        FontSpec font;
        font.face = style.face;
        font.sizePt = std::max(1, boxValue(box.size) + style.sizeBonus);
        font.colour = colours::Black;
        canvas.font = font;
        canvas.textOut(base.left, base.top, sjis::encode(open));
        canvas.textOut(base.right, base.top, sjis::encode(close));
    };

    switch (style.shape) {
    case BoxShape::None:
        break;
    case BoxShape::Square:
        canvas.rectangle(frame);
        break;
    case BoxShape::Brackets:
        brackets("［", "］");
        break;
    case BoxShape::LenticularBrackets:
        brackets("【", "】");
        break;
    case BoxShape::Underline: {
        const int y = frame.bottom - roundEven((frame.bottom - frame.top) * 0.2);
        canvas.line(frame.left, y, frame.right, y);
        break;
    }
    case BoxShape::Rounded: {
        const int d = 2 * boxValue(style.charSize) + boxValue(style.boxHeight) - 10;
        const int c = roundEven(0.8 * d);
        const int dk = roundEven(d * k);
        const int ck = roundEven(c * k);
        const int top = frame.top + ck / 5;
        canvas.roundRect({frame.left, top, frame.right, top + dk + roundEven(0.5 * ck)}, ck, ck);
        break;
    }
    }
    canvas.pen.width = 1;
}

void drawFrames(Canvas& canvas, const std::vector<AnswerBox>& boxes, const FrameStyle& style, double k)
{
    for (const AnswerBox& box : boxes)
        drawFrame(canvas, box, style, k);
}

} // namespace tavola

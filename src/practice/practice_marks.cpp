#include "practice/practice_marks.h"

#include "platform/numbers.h"
#include "platform/sjis.h"
#include "render/draw_math.h"

#include <algorithm>
#include <string>

namespace tavola {

namespace {

int r(double v)
{
    return roundEven(v);
}

void markPen(Canvas& canvas, Colour colour, int width)
{
    canvas.pen = PenSpec{colour, width, PenMode::Copy, PenStyle::Solid};
    canvas.brush.style = BrushStyle::Clear;
}

} // namespace

Rect markRect(const PracticeBox& box, const MarkStyle& style)
{
    const double x = style.scale;
    const double c = style.printer ? 1.03 : 1.0;
    Rect m;
    m.left = r(box.left * x * c) - r(9 * x);
    m.top = r(box.top * x) + r(3 * x);
    m.right = m.left + r(box.width * x) + r(6 * x);
    m.bottom = m.top + r(box.height * x);
    return m;
}

void drawMark(Canvas& canvas, const PracticeBox& box, MarkKind kind, Colour colour, const MarkStyle& style)
{
    const double x = style.scale;
    const Rect m = markRect(box, style);
    const int a = r(0.1 * box.width * x);
    const int b = r(0.2 * box.width * x);
    markPen(canvas, colour, r(2 * x));
    switch (kind) {
    case MarkKind::Circle:
        canvas.ellipse({m.left - a, m.top - b, m.right + a, m.bottom + b});
        break;
    case MarkKind::DoubleCircle: {
        const int f = r(0.09 * box.width * x);
        for (int k = 1; k <= 2; ++k)
            canvas.ellipse({m.left - k * f, m.top - k * f, m.right + k * f, m.bottom + k * f});
        break;
    }
    case MarkKind::Slash:
        canvas.line(m.right + a, m.top - b, m.left - a, m.bottom + b);
        break;
    case MarkKind::TestSlash: {
        const Rect base = boxRect(box.answer, x, style.printer, answerFieldHeight(style.fontSize));
        const Rect frame = frameRect(base, style.boxWidth, style.boxHeight, x);
        const int d = r(0.05 * box.width * x);
        canvas.line(frame.right - d, frame.top - d, frame.left + d, frame.bottom + d);
        break;
    }
    case MarkKind::Triangle: {
        // The triangle's offsets are screen pixels; on paper they grow with the page scale like everything else.
        markPen(canvas, colour, r(3 * x));
        const double c = style.printer ? 1.03 : 1.0;
        const int left = r(box.left * x * c);
        const int top = r(box.top * x) + r(3 * x);
        const int right = left + r(box.width * x) - r(3 * x);
        const int bottom = top + r(box.height * x);
        const Point apex{(left + right) / 2, top - r(15 * x)};
        canvas.polygon({apex, {left - r(30 * x), bottom + r(5 * x)}, {right + r(10 * x), bottom + r(5 * x)}, apex});
        break;
    }
    }
}

void drawScoredMarks(Canvas& canvas, const std::vector<PracticeBox>& boxes, const MarkStyle& style)
{
    for (std::size_t i = 1; i < boxes.size(); ++i) {
        const PracticeBox& b = boxes[i];
        if (b.judge == Judge::MatchedAfterShown)
            drawMark(canvas, b, MarkKind::Triangle, colours::Red, style);
        else if (b.judge == Judge::Wrong)
            drawMark(canvas, b, MarkKind::TestSlash, colours::Red, style);
        else if (b.judge == Judge::Correct)
            drawMark(canvas, b, MarkKind::Circle, colours::Red, style);
    }
}

void paintBoxPatch(Canvas& canvas, const PracticeBox& box)
{
    canvas.pen = PenSpec{colours::White, 1, PenMode::Copy, PenStyle::Solid};
    canvas.brush = BrushSpec{colours::White, BrushStyle::Solid};
    canvas.roundRect({box.left, box.top, box.left + box.width, box.top + box.height}, 10, 10);
}

void useTextFont(Canvas& canvas, const std::string& face, int sizePt, Colour colour)
{
    FontSpec font;
    font.face = face;
    font.sizePt = sizePt;
    font.colour = colour;
    canvas.font = font;
    canvas.brush.style = BrushStyle::Clear;
}

Rect drawScoreText(Canvas& canvas, int score, Point scorePosition, int panelWidth, double scale, const Rect& clearOf,
                   int rightEnd)
{
    const std::string digits = std::to_string(score);
    int left = r((panelWidth + scorePosition.x - 17 * static_cast<int>(digits.size()) - 100) * scale);
    int top = r(scorePosition.y * scale);
    if (clearOf.right > clearOf.left) {
        const Rect name{r(clearOf.left * scale), r(clearOf.top * scale), r(clearOf.right * scale),
                        r(clearOf.bottom * scale)};
        useTextFont(canvas, "ＭＳ 明朝"_sj, 38, colours::Red);
        const int bigWidth = canvas.textWidth(digits);
        const int bigHeight = canvas.textHeight(digits);
        useTextFont(canvas, "ＭＳ 明朝"_sj, 24, colours::Red);
        const int width = bigWidth + canvas.textWidth("点"_sj);
        const int height = std::max(bigHeight, r(15 * scale) + canvas.textHeight("点"_sj));
        const bool covers =
            left < name.right && left + width > name.left && top < name.bottom && top + height > name.top;
        if (covers) {
            const int gap = r(6 * scale);
            if (name.right + gap + width <= rightEnd) {
                left = name.right + gap;
            } else {
                top = name.bottom + gap;
                left = std::min(left, rightEnd - width);
            }
        }
    }
    useTextFont(canvas, "ＭＳ 明朝"_sj, 38, colours::Red);
    const int after = canvas.textOut(left, top, digits);
    const int bigHeight = canvas.textHeight(digits);
    useTextFont(canvas, "ＭＳ 明朝"_sj, 24, colours::Red);
    const int end = canvas.textOut(after, top + r(15 * scale), "点"_sj);
    return {left, top, end, top + std::max(bigHeight, r(15 * scale) + canvas.textHeight("点"_sj))};
}

} // namespace tavola

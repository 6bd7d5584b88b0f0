#include "practice/qt_sheet_view.h"

#include "platform/numbers.h"
#include "platform/qt/qt_canvas.h"
#include "platform/sjis.h"
#include "render/draw_math.h"

#include <algorithm>

namespace tavola {

Rect SheetDrawing::entry(const std::string& text, int x, int y, Colour colour)
{
    QtCanvas canvas(sheet_);
    const int end = render::DrawMath(context_, style_.fontSize, x, y, 1, canvas, text, colour).x;
    const int px = roundEven(style_.fontSize * 96.0 / 72.0);
    lastEntry_ = {x - 4, y - px, std::max(end, x) + 8, y + 3 * px};
    return lastEntry_;
}

Rect SheetDrawing::patch(const PracticeBox& box)
{
    QtCanvas canvas(sheet_);
    paintBoxPatch(canvas, box);
    return {box.left, box.top, box.left + box.width, box.top + box.height};
}

Rect SheetDrawing::mark(const PracticeBox& box, MarkKind kind, Colour colour)
{
    QtCanvas canvas(sheet_);
    drawMark(canvas, box, kind, colour, style_);
    const Rect m = markRect(box, style_);
    // The triangle reaches 30 pixels left and 15 up; circles a fifth of the box width out.
    const int a = box.width / 2 + 40;
    return {m.left - a, m.top - a, m.right + a, m.bottom + a};
}

Rect SheetDrawing::score(int score, Point scorePosition, int panelWidth, const Rect& nameLine)
{
    QtCanvas canvas(sheet_);
    return drawScoreText(canvas, score, scorePosition, panelWidth, 1, nameLine, sheet_.width());
}

Rect SheetDrawing::hint(const PracticeBox& box, const std::string& hint, const std::vector<Rect>& keepClear)
{
    QtCanvas canvas(sheet_);
    useTextFont(canvas, "ＭＳ ゴシック"_sj, 9, colours::Red);
    const int width = canvas.textWidth(hint);
    const int height = canvas.textHeight(hint);
    int below = box.top + box.height + 2;
    // A fraction written in the box reaches below it; the hint goes under it rather than over its denominator.
    if (lastEntry_.left < box.left + box.width && lastEntry_.right > box.left && lastEntry_.top < below + height &&
        lastEntry_.bottom > below)
        below = lastEntry_.bottom;
    const Point places[] = {{box.left, below}, {box.left, box.top - height - 2}};
    auto blank = [&](const Rect& r) {
        if (r.left < 0 || r.top < 0 || r.right > sheet_.width() || r.bottom > sheet_.height()) return false;
        for (const Rect& k : keepClear)
            if (r.left < k.right && r.right > k.left && r.top < k.bottom && r.bottom > k.top) return false;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if ((sheet_.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu) return false;
        return true;
    };
    for (const Point& at : places) {
        const Rect r{at.x, at.y, at.x + width, at.y + height};
        if (!blank(r)) continue;
        canvas.textOut(at.x, at.y, hint);
        return r;
    }
    return {};
}

} // namespace tavola

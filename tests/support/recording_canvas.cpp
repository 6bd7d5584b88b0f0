#include "support/recording_canvas.h"

#include "platform/numbers.h"
#include "platform/sjis.h"

namespace tavola::test {

int RecordingCanvas::pixelSize() const
{
    return roundEven(font.sizePt * static_cast<double>(ppi_) / 72.0);
}

int RecordingCanvas::textWidth(const std::string& text)
{
    long long px = pixelSize();
    long long w = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = sjis::charLength(text, i);
        w += n == 2 ? px : px / 2;
        i += n;
    }
    return clampPosition(w);
}

int RecordingCanvas::textHeight(const std::string&)
{
    return pixelSize();
}

CanvasOp RecordingCanvas::base(CanvasOp::Kind kind) const
{
    CanvasOp op{kind, {}, {}, 0, 0, {}, font, pen, brush, {}};
    return op;
}

int RecordingCanvas::textOut(int x, int y, const std::string& text)
{
    CanvasOp op = base(CanvasOp::Kind::Text);
    op.text = text;
    int end = clampPosition(static_cast<long long>(x) + textWidth(text));
    op.rect = {x, y, end, y + pixelSize()};
    ops.push_back(op);
    return end;
}

int RecordingCanvas::textOutFitted(int x, int y, const std::string& text, int width)
{
    const std::size_t before = ops.size();
    textOut(x, y, text);
    if (ops.size() > before) ops.back().extra1 = width;
    return x + width;
}

bool RecordingCanvas::setPageScale(const PageScale& page)
{
    if (!scalable) return false;
    pageScales.emplace_back(ops.size(), page);
    return true;
}

void RecordingCanvas::line(int x1, int y1, int x2, int y2)
{
    CanvasOp op = base(CanvasOp::Kind::Line);
    op.rect = {x1, y1, x2, y2};
    ops.push_back(op);
}

void RecordingCanvas::rectangle(const Rect& r)
{
    CanvasOp op = base(CanvasOp::Kind::Rectangle);
    op.rect = r;
    ops.push_back(op);
}

void RecordingCanvas::roundRect(const Rect& r, int cornerWidth, int cornerHeight)
{
    CanvasOp op = base(CanvasOp::Kind::RoundRect);
    op.rect = r;
    op.extra1 = cornerWidth;
    op.extra2 = cornerHeight;
    ops.push_back(op);
}

void RecordingCanvas::ellipse(const Rect& r)
{
    CanvasOp op = base(CanvasOp::Kind::Ellipse);
    op.rect = r;
    ops.push_back(op);
}

void RecordingCanvas::polygon(const std::vector<Point>& points)
{
    CanvasOp op = base(CanvasOp::Kind::Polygon);
    op.points = points;
    ops.push_back(op);
}

void RecordingCanvas::fillRect(const Rect& r, Colour colour)
{
    CanvasOp op = base(CanvasOp::Kind::Fill);
    op.rect = r;
    op.fill = colour;
    ops.push_back(op);
}

void RecordingCanvas::drawPicture(const Rect& r, const Picture& picture)
{
    CanvasOp op = base(CanvasOp::Kind::Picture);
    op.rect = r;
    op.extra1 = picture.width;
    op.extra2 = picture.height;
    op.picture = &picture;
    ops.push_back(op);
}

std::vector<CanvasOp> RecordingCanvas::ofKind(CanvasOp::Kind kind) const
{
    std::vector<CanvasOp> out;
    for (const auto& op : ops)
        if (op.kind == kind) out.push_back(op);
    return out;
}

std::vector<CanvasOp> RecordingCanvas::texts() const
{
    return ofKind(CanvasOp::Kind::Text);
}
std::vector<CanvasOp> RecordingCanvas::lines() const
{
    return ofKind(CanvasOp::Kind::Line);
}

const CanvasOp* RecordingCanvas::findText(const std::string& utf8) const
{
    std::string wanted = sjis::encode(utf8);
    for (const auto& op : ops)
        if (op.kind == CanvasOp::Kind::Text && op.text == wanted) return &op;
    return nullptr;
}

} // namespace tavola::test

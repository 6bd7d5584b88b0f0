#include "platform/display_list.h"

#include "platform/numbers.h"
#include "platform/page_canvas.h"

#include <algorithm>

namespace tavola {

DrawCall& ListingCanvas::keep(DrawCall::Kind kind)
{
    DrawCall& call = muted_ ? scratch_ : out_.emplace_back();
    call.kind = kind;
    call.font = font;
    call.pen = pen;
    call.brush = brush;
    return call;
}

int ListingCanvas::textWidth(const std::string& text)
{
    measure_.font = font;
    return measure_.textWidth(text);
}

int ListingCanvas::textHeight(const std::string& text)
{
    measure_.font = font;
    return measure_.textHeight(text);
}

int ListingCanvas::textOut(int x, int y, const std::string& text)
{
    // The target's text-out ends where its measure of the text ends.
    if (text.empty()) return x;
    const int end = clampPosition(static_cast<long long>(x) + textWidth(text));
    lowest_ = std::max(lowest_, clampPosition(static_cast<long long>(y) + measure_.textHeight(text)));
    if (!muted_) {
        DrawCall& call = keep(DrawCall::Kind::Text);
        call.rect = {x, y, end, y};
        call.text = text;
    }
    return end;
}

void ListingCanvas::line(int x1, int y1, int x2, int y2)
{
    keep(DrawCall::Kind::Line).rect = {x1, y1, x2, y2};
}

void ListingCanvas::rectangle(const Rect& r)
{
    keep(DrawCall::Kind::Rectangle).rect = r;
}

void ListingCanvas::roundRect(const Rect& r, int cornerWidth, int cornerHeight)
{
    DrawCall& call = keep(DrawCall::Kind::RoundRect);
    call.rect = r;
    call.cornerWidth = cornerWidth;
    call.cornerHeight = cornerHeight;
}

void ListingCanvas::ellipse(const Rect& r)
{
    keep(DrawCall::Kind::Ellipse).rect = r;
}

void ListingCanvas::polygon(const std::vector<Point>& points)
{
    keep(DrawCall::Kind::Polygon).points = points;
}

void ListingCanvas::fillRect(const Rect& r, Colour colour)
{
    DrawCall& call = keep(DrawCall::Kind::Fill);
    call.rect = r;
    call.fill = colour;
}

void ListingCanvas::drawPicture(const Rect& r, const Picture& picture)
{
    DrawCall& call = keep(DrawCall::Kind::Picture);
    call.rect = r;
    call.picture = &picture;
}

void paint(const DisplayList& list, std::size_t from, std::size_t to, Canvas& canvas)
{
    to = std::min(to, list.size());
    // A target drawing the page at another resolution fits each text to the width the layout measured.
    PageCanvas* fitting = dynamic_cast<PageCanvas*>(&canvas);
    for (std::size_t i = from; i < to; ++i) {
        const DrawCall& call = list[i];
        canvas.font = call.font;
        canvas.pen = call.pen;
        canvas.brush = call.brush;
        const Rect& r = call.rect;
        switch (call.kind) {
        case DrawCall::Kind::Text:
            if (fitting != nullptr)
                fitting->textOutFitted(r.left, r.top, call.text, r.right - r.left);
            else
                canvas.textOut(r.left, r.top, call.text);
            break;
        case DrawCall::Kind::Line:
            canvas.line(r.left, r.top, r.right, r.bottom);
            break;
        case DrawCall::Kind::Rectangle:
            canvas.rectangle(r);
            break;
        case DrawCall::Kind::RoundRect:
            canvas.roundRect(r, call.cornerWidth, call.cornerHeight);
            break;
        case DrawCall::Kind::Ellipse:
            canvas.ellipse(r);
            break;
        case DrawCall::Kind::Polygon:
            canvas.polygon(call.points);
            break;
        case DrawCall::Kind::Fill:
            canvas.fillRect(r, call.fill);
            break;
        case DrawCall::Kind::Picture:
            if (call.picture != nullptr) canvas.drawPicture(r, *call.picture);
            break;
        }
    }
}

} // namespace tavola

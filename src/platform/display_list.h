#pragma once
// A page as a list of drawing calls, made once and painted on any canvas as often as needed.
//
// ListingCanvas is the canvas a layout draws on: it measures text through another canvas (the target the page
// will be painted on, so that widths are the target's own) and keeps every call with the font, pen and brush it
// was made with, drawing nothing. paint() makes the same calls in the same order on a canvas, so the pixels are
// those the layout's drawing would have made there directly.
#include "platform/canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavola {

struct DrawCall {
    enum class Kind : std::uint8_t { Text, Line, Rectangle, RoundRect, Ellipse, Polygon, Fill, Picture };
    Kind kind = Kind::Text;
    Rect rect;           // the rectangle, or for a line its two ends, or for a text its top-left in left/top
    int cornerWidth = 0; // rounded rectangles
    int cornerHeight = 0;
    std::string text;
    std::vector<Point> points;
    const Picture* picture = nullptr; // not owned: whoever keeps the list keeps the pictures
    Colour fill = colours::White;
    FontSpec font;
    PenSpec pen;
    BrushSpec brush;
};

using DisplayList = std::vector<DrawCall>;

class ListingCanvas : public Canvas {
public:
    // measure: the canvas whose text metrics and size the listing takes; only its measuring side is used.
    ListingCanvas(Canvas& measure, DisplayList& out) : measure_(measure), out_(out) {}

    // While muted, calls are measured but not kept: what the page must leave out keeps its room.
    void setMuted(bool on) { muted_ = on; }
    // The lowest bottom of a text cell so far, muted texts included.
    int lowest() const { return lowest_; }

    int textOut(int x, int y, const std::string& text) override;
    int textWidth(const std::string& text) override;
    int textHeight(const std::string& text) override;
    void line(int x1, int y1, int x2, int y2) override;
    void rectangle(const Rect& r) override;
    void roundRect(const Rect& r, int cornerWidth, int cornerHeight) override;
    void ellipse(const Rect& r) override;
    void polygon(const std::vector<Point>& points) override;
    void fillRect(const Rect& r, Colour colour) override;
    void drawPicture(const Rect& r, const Picture& picture) override;
    int width() const override { return measure_.width(); }
    int height() const override { return measure_.height(); }
    bool isPrinter() const override { return measure_.isPrinter(); }
    int pixelsPerInch() const override { return measure_.pixelsPerInch(); }

private:
    DrawCall& keep(DrawCall::Kind kind);

    Canvas& measure_;
    DisplayList& out_;
    DrawCall scratch_;
    bool muted_ = false;
    int lowest_ = 0;
};

// Makes the calls [from, to) of the list on the canvas, in order; each text fitted to the width it was measured at.
void paint(const DisplayList& list, std::size_t from, std::size_t to, Canvas& canvas);

} // namespace tavola

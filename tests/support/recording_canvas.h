#pragma once
// A canvas for tests: fixed, simple text metrics and a record of every call, so that tests can check the
// geometry of the drawing passes exactly.
//
// Metrics: the pixel size of a font is roundEven(sizePt × ppi / 72) (at 96 ppi, 14 pt is 19 px); a single-byte
// character is half that wide (rounded down), a double-byte character the whole size; the text height is the
// pixel size.
#include "platform/canvas.h"
#include "platform/page_canvas.h"

#include <string>
#include <utility>
#include <vector>

namespace tavola::test {

struct CanvasOp {
    enum class Kind { Text, Line, Rectangle, RoundRect, Ellipse, Polygon, Fill, Picture } kind;
    std::string text; // CP932, for Text
    Rect rect;        // Text: x, y, end x, y + height; Line: x1, y1, x2, y2; shapes: the rectangle
    int extra1 = 0;   // RoundRect: corner width; Picture: picture width; Text: the width it was fitted to (or 0)
    int extra2 = 0;   // RoundRect: corner height; Picture: picture height
    std::vector<Point> points;
    FontSpec font;
    PenSpec pen;
    BrushSpec brush;
    Colour fill;
    const Picture* picture = nullptr; // Picture: the picture drawn (the caller keeps it alive)
};

class RecordingCanvas : public Canvas, public PageCanvas {
public:
    RecordingCanvas(int width = 630, int height = 891, bool printer = false, int ppi = 96)
        : width_(width), height_(height), printer_(printer), ppi_(ppi)
    {
    }

    int textOut(int x, int y, const std::string& text) override;
    int textOutFitted(int x, int y, const std::string& text, int width) override;
    int textWidth(const std::string& text) override;
    int textHeight(const std::string& text) override;
    void line(int x1, int y1, int x2, int y2) override;
    void rectangle(const Rect& r) override;
    void roundRect(const Rect& r, int cornerWidth, int cornerHeight) override;
    void ellipse(const Rect& r) override;
    void polygon(const std::vector<Point>& points) override;
    void fillRect(const Rect& r, Colour colour) override;
    void drawPicture(const Rect& r, const Picture& picture) override;
    int width() const override { return width_; }
    int height() const override { return height_; }
    bool isPrinter() const override { return printer_; }
    int pixelsPerInch() const override { return ppi_; }

    // Records the page scale with the number of operations before it; false when scalable is off.
    bool setPageScale(const PageScale& page) override;

    int pixelSize() const;
    std::vector<CanvasOp> ops;
    bool scalable = true;
    std::vector<std::pair<std::size_t, PageScale>> pageScales;

    // Helpers for assertions.
    std::vector<CanvasOp> texts() const;
    std::vector<CanvasOp> lines() const;
    std::vector<CanvasOp> ofKind(CanvasOp::Kind kind) const;
    // The first Text op whose text equals utf8 (converted to CP932); nullptr when none.
    const CanvasOp* findText(const std::string& utf8) const;

private:
    CanvasOp base(CanvasOp::Kind kind) const;
    int width_;
    int height_;
    bool printer_;
    int ppi_;
};

} // namespace tavola::test

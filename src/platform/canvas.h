#pragma once
// The drawing surface of the worksheet pass, the expression renderer, the answer-box frames and the practice
// marks. Shaped after what those parts ask of a canvas: a current font, pen and brush, text-out at the top-left of
// the text cell returning the pen x, lines, rectangles, rounded rectangles, ellipses, polygons and stretched
// pictures. Point sizes follow the platform rule: on the screen 1 pt = 96/72 px, on the printer its own resolution.
//
// Implementations: QtCanvas (platform/qt, over a QPainter on a QImage, a printer or a PDF) and RecordingCanvas
// (tests, fixed simple metrics, every call recorded).
#include "platform/colour.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavola {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct FontSpec {
    std::string face; // CP932, the system's name ("ＭＳ 明朝"); the Qt canvas maps it to an installed face
    int sizePt = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    Colour colour = colours::Black;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

enum class PenMode { Copy, Invert };
enum class PenStyle { Solid, Dot };
enum class BrushStyle { Solid, Clear };

struct PenSpec {
    Colour colour = colours::Black;
    int width = 1;
    PenMode mode = PenMode::Copy;
    PenStyle style = PenStyle::Solid;
    friend bool operator==(const PenSpec&, const PenSpec&) = default;
};

struct BrushSpec {
    Colour colour = colours::White;
    BrushStyle style = BrushStyle::Solid;
    friend bool operator==(const BrushSpec&, const BrushSpec&) = default;
};

// A bitmap in memory: figures, the class flag, the unit-symbol images. Pixels are 0xAARRGGBB, row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool empty() const { return width <= 0 || height <= 0; }
};
using PictureRef = std::shared_ptr<const Picture>;

class Canvas {
public:
    virtual ~Canvas() = default;

    // Current drawing state, as the system's canvas keeps it between calls.
    FontSpec font;
    PenSpec pen;
    BrushSpec brush;

    // Draws text with the top-left of its cell at (x, y) in the current font; returns the pen x after it.
    virtual int textOut(int x, int y, const std::string& text) = 0;
    virtual int textWidth(const std::string& text) = 0;
    virtual int textHeight(const std::string& text) = 0;

    virtual void line(int x1, int y1, int x2, int y2) = 0;
    virtual void rectangle(const Rect& r) = 0;
    virtual void roundRect(const Rect& r, int cornerWidth, int cornerHeight) = 0;
    virtual void ellipse(const Rect& r) = 0;
    virtual void polygon(const std::vector<Point>& points) = 0;
    // Fills a rectangle with a colour, ignoring pen and brush (clearing the page picture).
    virtual void fillRect(const Rect& r, Colour colour) = 0;
    // Draws a picture stretched into the rectangle.
    virtual void drawPicture(const Rect& r, const Picture& picture) = 0;

    // The target's size in pixels and its kind.
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual bool isPrinter() const = 0;
    // Pixels per inch of the target, which turns point sizes into pixels (96 on screen).
    virtual int pixelsPerInch() const = 0;
};

} // namespace tavola

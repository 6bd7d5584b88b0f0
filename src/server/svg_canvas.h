#pragma once
// A canvas that writes SVG: the page of a worksheet and what an exercise draws on it, for a browser to show crisp
// at any resolution. Text is measured by another canvas (the one the page was laid out with), and every text
// element carries that width, so the browser fits its own font to the layout's places.
#include "platform/canvas.h"
#include "platform/display_list.h"

#include <string>

namespace tavola {

class SvgCanvas : public Canvas {
public:
    // measure: the canvas whose metrics and size the drawing takes.
    explicit SvgCanvas(Canvas& measure) : measure_(measure) {}

    // The elements drawn so far (UTF-8), without the enclosing <svg>.
    const std::string& elements() const { return out_; }

    int textOut(int x, int y, const std::string& text) override;
    int textWidth(const std::string& text) override { return measure_.textWidth(text); }
    int textHeight(const std::string& text) override { return measure_.textHeight(text); }
    void line(int x1, int y1, int x2, int y2) override;
    void rectangle(const Rect& r) override;
    void roundRect(const Rect& r, int cornerWidth, int cornerHeight) override;
    void ellipse(const Rect& r) override;
    void polygon(const std::vector<Point>& points) override;
    void fillRect(const Rect& r, Colour colour) override;
    void drawPicture(const Rect& r, const Picture& picture) override;
    int width() const override { return measure_.width(); }
    int height() const override { return measure_.height(); }
    bool isPrinter() const override { return false; }
    int pixelsPerInch() const override { return measure_.pixelsPerInch(); }

private:
    void setFont();
    std::string strokeAndFill() const;

    Canvas& measure_;
    std::string out_;
};

// The drawing calls as SVG elements (UTF-8), measured by the canvas given.
std::string svgElements(const DisplayList& calls, Canvas& measure);
// A whole SVG document of width × height with the elements inside.
std::string svgDocument(int width, int height, const std::string& elements);

// Text made safe for XML content and attribute values.
std::string xmlEscaped(const std::string& utf8);

// A picture as a 32-bit BMP file, for a data: URL.
std::string bmpBytes(const Picture& picture);
std::string base64(const std::string& bytes);

} // namespace tavola

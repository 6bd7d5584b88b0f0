#include "server/svg_canvas.h"

#include "platform/sjis.h"

#include <cmath>
#include <cstdio>

namespace tavola {
namespace {

std::string colourText(Colour c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red(), c.green(), c.blue());
    return text;
}

// The system's face names as the browser's families: the metric-compatible faces the program maps them to, the
// faces a tablet has, then the generic family.
std::string familyOf(const std::string& faceCp932)
{
    const std::string face = sjis::toUtf8(faceCp932);
    if (face.find("ゴシック") != std::string::npos || face.find("Gothic") != std::string::npos)
        return "'IPAGothic','IPAexGothic','MS Gothic','Hiragino Sans','Noto Sans CJK JP',sans-serif";
    if (face.find("Bookman") != std::string::npos) return "'TeX Gyre Bonum','Bookman Old Style',serif";
    return "'IPAMincho','IPAexMincho','MS Mincho','Hiragino Mincho ProN','Noto Serif CJK JP',serif";
}

std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    std::string s = text;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

} // namespace

std::string xmlEscaped(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            // Control characters are not allowed in XML.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t') break;
            out += c;
        }
    }
    return out;
}

void SvgCanvas::setFont()
{
    measure_.font = font;
}

int SvgCanvas::textOut(int x, int y, const std::string& text)
{
    setFont();
    const int width = measure_.textWidth(text);
    if (text.empty()) return x;
    const double px = font.sizePt * pixelsPerInch() / 72.0;
    // The canvas places a text by the top-left of its cell; SVG by the baseline. The mapped faces' ascent is 0.88
    // of the pixel size.
    const double baseline = y + px * 0.88;
    out_ += "<text x=\"" + std::to_string(x) + "\" y=\"" + number(baseline) + "\" font-size=\"" + number(px) +
            "\" font-family=\"" + familyOf(font.face) + "\" fill=\"" + colourText(font.colour) + "\"";
    if (font.bold) out_ += " font-weight=\"bold\"";
    if (font.italic) out_ += " font-style=\"italic\"";
    if (font.underline || font.strikeOut)
        out_ += std::string(" text-decoration=\"") + (font.underline ? "underline" : "line-through") + "\"";
    if (width > 0) out_ += " textLength=\"" + std::to_string(width) + "\" lengthAdjust=\"spacingAndGlyphs\"";
    out_ += " xml:space=\"preserve\">" + xmlEscaped(sjis::toUtf8(text)) + "</text>";
    return x + width;
}

std::string SvgCanvas::strokeAndFill() const
{
    std::string s = " stroke=\"" + colourText(pen.colour) + "\" stroke-width=\"" + std::to_string(pen.width) + "\"";
    if (pen.style == PenStyle::Dot) s += " stroke-dasharray=\"1 2\"";
    s +=
        brush.style == BrushStyle::Clear ? std::string(" fill=\"none\"") : " fill=\"" + colourText(brush.colour) + "\"";
    return s;
}

void SvgCanvas::line(int x1, int y1, int x2, int y2)
{
    out_ += "<line x1=\"" + std::to_string(x1) + "\" y1=\"" + std::to_string(y1) + "\" x2=\"" + std::to_string(x2) +
            "\" y2=\"" + std::to_string(y2) + "\" stroke=\"" + colourText(pen.colour) + "\" stroke-width=\"" +
            std::to_string(pen.width) + "\"" + (pen.style == PenStyle::Dot ? " stroke-dasharray=\"1 2\"" : "") + "/>";
}

void SvgCanvas::rectangle(const Rect& r)
{
    out_ += "<rect x=\"" + std::to_string(r.left) + "\" y=\"" + std::to_string(r.top) + "\" width=\"" +
            std::to_string(std::max(0, r.width() - 1)) + "\" height=\"" + std::to_string(std::max(0, r.height() - 1)) +
            "\"" + strokeAndFill() + "/>";
}

void SvgCanvas::roundRect(const Rect& r, int cornerWidth, int cornerHeight)
{
    out_ += "<rect x=\"" + std::to_string(r.left) + "\" y=\"" + std::to_string(r.top) + "\" width=\"" +
            std::to_string(std::max(0, r.width() - 1)) + "\" height=\"" + std::to_string(std::max(0, r.height() - 1)) +
            "\" rx=\"" + number(cornerWidth / 2.0) + "\" ry=\"" + number(cornerHeight / 2.0) + "\"" + strokeAndFill() +
            "/>";
}

void SvgCanvas::ellipse(const Rect& r)
{
    out_ += "<ellipse cx=\"" + number((r.left + r.right - 1) / 2.0) + "\" cy=\"" +
            number((r.top + r.bottom - 1) / 2.0) + "\" rx=\"" + number(std::abs(r.width() - 1) / 2.0) + "\" ry=\"" +
            number(std::abs(r.height() - 1) / 2.0) + "\"" + strokeAndFill() + "/>";
}

void SvgCanvas::polygon(const std::vector<Point>& points)
{
    out_ += "<polygon points=\"";
    for (const Point& p : points)
        out_ += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
    out_ += "\"" + strokeAndFill() + "/>";
}

void SvgCanvas::fillRect(const Rect& r, Colour colour)
{
    out_ += "<rect x=\"" + std::to_string(r.left) + "\" y=\"" + std::to_string(r.top) + "\" width=\"" +
            std::to_string(std::max(0, r.width())) + "\" height=\"" + std::to_string(std::max(0, r.height())) +
            "\" fill=\"" + colourText(colour) + "\"/>";
}

void SvgCanvas::drawPicture(const Rect& r, const Picture& picture)
{
    if (picture.empty()) return;
    out_ += "<image x=\"" + std::to_string(r.left) + "\" y=\"" + std::to_string(r.top) + "\" width=\"" +
            std::to_string(r.width()) + "\" height=\"" + std::to_string(r.height()) +
            "\" preserveAspectRatio=\"none\" href=\"data:image/bmp;base64," + base64(bmpBytes(picture)) + "\"/>";
}

std::string svgElements(const DisplayList& calls, Canvas& measure)
{
    SvgCanvas svg(measure);
    paint(calls, 0, calls.size(), svg);
    return svg.elements();
}

std::string svgDocument(int width, int height, const std::string& elements)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + std::to_string(width) + " " +
           std::to_string(height) + "\" width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
           "\"><rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>" + elements + "</svg>";
}

namespace {

void putLe(std::string& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

std::string bmpBytes(const Picture& picture)
{
    const auto w = static_cast<std::uint32_t>(picture.width);
    const auto h = static_cast<std::uint32_t>(picture.height);
    const std::uint32_t imageSize = w * h * 4;
    std::string out;
    out.reserve(54 + imageSize);
    out += "BM";
    putLe(out, 54 + imageSize, 4);
    putLe(out, 0, 4);
    putLe(out, 54, 4);
    putLe(out, 40, 4);
    putLe(out, w, 4);
    putLe(out, h, 4);
    putLe(out, 1, 2);
    putLe(out, 32, 2);
    putLe(out, 0, 4);
    putLe(out, imageSize, 4);
    putLe(out, 2835, 4);
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    // Bottom row first; 0xAARRGGBB is B, G, R, A in little-endian order, as a 32-bit BMP keeps it.
    for (std::uint32_t y = h; y-- > 0;)
        for (std::uint32_t x = 0; x < w; ++x)
            putLe(out, picture.pixels[static_cast<std::size_t>(y) * w + x] | 0xFF000000u, 4);
    return out;
}

std::string base64(const std::string& bytes)
{
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16 |
                                static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                static_cast<unsigned char>(bytes[i + 2]);
        out += digits[v >> 18];
        out += digits[(v >> 12) & 63];
        out += digits[(v >> 6) & 63];
        out += digits[v & 63];
    }
    if (i < bytes.size()) {
        std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += digits[v >> 18];
        out += digits[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? digits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

} // namespace tavola

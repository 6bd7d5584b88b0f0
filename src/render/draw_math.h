#pragma once
// The expression renderer: draws a short ASCII arithmetic text ("2/3+1/6=", "3/4>=2/3", "[2+3]/5", "x^2") on any
// canvas with stacked fractions, full-width signs, one-digit superscripts and the three unit-symbol pictures, and
// returns where the next piece of text continues. Every problem piece of a worksheet and every answer the practice
// window writes goes through DrawMath.
//
// The renderer keeps nothing between calls: the layout metrics of the page and the main window's drawing faces
// come with every call in a RenderContext, which the caller takes from the page it draws for.
#include "platform/canvas.h"
#include "platform/colour.h"
#include "platform/sjis.h"

#include <string>

namespace tavola::render {

struct LayoutMetrics {
    int lineUnit = 7;      // U, device pixels: vertical offsets of text, fractions and images
    int charGap = 2;       // G, device pixels: horizontal gaps between characters and cells
    int charSize = 14;     // S, points: the worksheet's character size; sizes the unit-symbol images
    bool printing = false; // the pass draws on the printer: fraction-bar offset and pen width
    friend bool operator==(const LayoutMetrics&, const LayoutMetrics&) = default;
};

// The metrics of a worksheet page: U = roundEven(6.732 × scale), G = roundEven(charSize × scale / 6),
// S = charSize. scale is 1 on the screen and printer page width / 630 on the printer.
LayoutMetrics worksheetMetrics(double scale, int charSize, bool printing);

// The main window's drawing fonts (fntMainX, default "ＭＳ 明朝"; fntHankaku for the letters x, y and a, default
// "Bookman Old Style" italic; only name and style are taken) and whether a worksheet window is current (glyphs are
// not drawn without one). Faces are CP932 texts.
struct RendererInputs {
    std::string mainFace = "ＭＳ 明朝"_sj;
    std::string hankakuFace = "Bookman Old Style";
    bool hankakuItalic = true;
    bool worksheetCurrent = true;
    bool mainBold = false;
    bool mainItalic = false;
    bool hankakuBold = false;
    friend bool operator==(const RendererInputs&, const RendererInputs&) = default;
};

// Everything a DrawMath call reads besides its arguments.
struct RenderContext {
    LayoutMetrics metrics;
    RendererInputs inputs;
};

// Draws text with (x, y) as the top-left reference point of the piece, fontSize in points, scale the output scale
// of the pass (1 on screen), color the font colour. Returns (where the next piece starts, y).
Point DrawMath(const RenderContext& context, int fontSize, int x, int y, double scale, Canvas& canvas,
               const std::string& text, Colour color);

} // namespace tavola::render

#pragma once
// The renderer's inner operations, shared by the parser (draw_math.cpp) and the cell drawing (draw_cell.cpp).
// Callers outside the renderer use DrawMath.
#include "platform/canvas.h"
#include "platform/colour.h"
#include "render/draw_math.h"

#include <string>

namespace tavola::render {

// What one DrawMath call carries through its operations. penX is the canvas pen position as the platform's canvas
// keeps it: moved to the end of every text-out and of every line; "the pen x after" a run is read from here. It
// starts at the call's x, so a run that draws nothing (no worksheet window, or only "^") ends where it began
// rather than wherever an earlier drawing left the pen.
// superMode is on only while a superscript digit is drawn.
struct MathContext {
    const RenderContext& render;
    Canvas& canvas;
    int fontSize;
    double scale;
    Colour color;
    int penX;
    bool superMode = false;
};

// Draws numerator n over denominator d (a plain number when d is empty) with the cell's reference point at (x, y);
// returns the end x of the cell.
int DrawCell(MathContext& ctx, std::string n, const std::string& d, int x, int y);
// Draws the characters of s one by one from (x, y); returns the pen x after the last drawing plus G plus 2.
int DrawRun(MathContext& ctx, const std::string& s, int x, int y);
// One glyph in the main (or, for x, y and a, the half-width) face, 4 points larger, 4 pixels higher.
void DrawGlyph(MathContext& ctx, char c, int x, int y);
// A two-byte sign in the current font; returns the pen x after it plus G div 2.
int DrawSign(MathContext& ctx, const std::string& sign, int x, int y);
// The fraction bar from p1 to p2, moved up by the bar offset of the current font size.
void DrawBar(MathContext& ctx, Point p1, Point p2);
int BarPenWidth(const MathContext& ctx);
// The bar offset: 15 − size, except on the screen for the sizes 6 to 18 of the table.
int barOffset(int sizePt, bool printing);
// A unit-symbol image for g, l or ~ at (x, y); returns x + its side, or x for any other character.
int DrawUnitImage(MathContext& ctx, char c, int x, int y);

} // namespace tavola::render

#include "render/draw_math.h"
#include "render/draw_ops.h"
#include "render/unit_images.h"

#include "platform/numbers.h"

namespace tavola::render {

namespace {
bool isGlyphChar(unsigned char c)
{
    return (c >= 33 && c <= 63) || (c >= 'A' && c <= 'Z') || c == '[' || c == ']' || (c >= 'a' && c <= 'z');
}
} // namespace

int barOffset(int sizePt, bool printing)
{
    if (!printing) {
        switch (sizePt) {
        case 6:
        case 8:
            return 4;
        case 10:
            return 2;
        case 12:
            return 0;
        case 14:
            return -1;
        case 16:
            return -2;
        case 18:
            return -4;
        default:
            break;
        }
    }
    return 15 - sizePt;
}

int BarPenWidth(const MathContext& ctx)
{
    return ctx.render.metrics.printing && ctx.canvas.width() > 2800 ? 4 : 1;
}

void DrawBar(MathContext& ctx, Point p1, Point p2)
{
    Canvas& canvas = ctx.canvas;
    int off = barOffset(canvas.font.sizePt, ctx.render.metrics.printing);
    canvas.pen.colour = canvas.font.colour;
    canvas.pen.width = BarPenWidth(ctx);
    canvas.pen.mode = PenMode::Copy;
    canvas.line(p1.x, p1.y - off, p2.x, p2.y - off);
    ctx.penX = p2.x;
    canvas.pen.colour = colours::Black;
    canvas.pen.width = 1;
}

void DrawGlyph(MathContext& ctx, char c, int x, int y)
{
    const RendererInputs& in = ctx.render.inputs;
    if (!in.worksheetCurrent) return;
    Canvas& canvas = ctx.canvas;
    canvas.pen.mode = PenMode::Copy;
    // The glyph takes the face of the main (or half-width) font. Its style is that font's style added to the
    // style the caller chose for the piece, so that bold, italic and underlined problem text stays so on its
    // digits and letters.
    const FontSpec caller = canvas.font;
    bool halfWidth = c == 'x' || c == 'y' || c == 'a';
    canvas.font.face = halfWidth ? in.hankakuFace : in.mainFace;
    canvas.font.bold = caller.bold || (halfWidth ? in.hankakuBold : in.mainBold);
    canvas.font.italic = caller.italic || (halfWidth ? in.hankakuItalic : in.mainItalic);
    canvas.font.sizePt = caller.sizePt + 4;
    ctx.penX = canvas.textOut(x, y - 4, std::string(1, c));
    canvas.font = caller;
    canvas.font.face = in.mainFace;
    canvas.font.bold = caller.bold || in.mainBold;
    canvas.font.italic = caller.italic || in.mainItalic;
}

int DrawSign(MathContext& ctx, const std::string& sign, int x, int y)
{
    ctx.penX = ctx.canvas.textOut(x, y, sign);
    return clampPosition(static_cast<long long>(ctx.penX) + ctx.render.metrics.charGap / 2);
}

int DrawRun(MathContext& ctx, const std::string& s, int x, int y)
{
    const int gap = ctx.render.metrics.charGap;
    for (char c : s) {
        // A run that has reached the position limit is far past any page: nothing more of it can be seen.
        if (x >= kPositionLimit) break;
        auto uc = static_cast<unsigned char>(c);
        if (isGlyphChar(uc)) {
            DrawGlyph(ctx, c, x, y);
            x = clampPosition(static_cast<long long>(ctx.penX) + (c == 'R' ? gap / 4 : 2 * gap));
        } else if (c == '^') {
            x = clampPosition(static_cast<long long>(ctx.penX) + 2 * gap);
        } else {
            ctx.penX = ctx.canvas.textOut(x, y, std::string(1, c));
            x = clampPosition(static_cast<long long>(ctx.penX) + 2 * gap);
        }
    }
    return clampPosition(static_cast<long long>(ctx.penX) + gap + 2);
}

int DrawCell(MathContext& ctx, std::string n, const std::string& d, int x, int y)
{
    const LayoutMetrics& m = ctx.render.metrics;
    const int unit = m.lineUnit;
    const int gap = m.charGap;
    if (ctx.superMode) {
        ctx.canvas.font.sizePt = roundEven(0.8 * ctx.fontSize);
        y -= unit;
    } else {
        ctx.canvas.font.sizePt = ctx.fontSize;
    }
    if (n.empty()) return x;
    if (d.empty()) return clampPosition(static_cast<long long>(DrawRun(ctx, n, x, y + unit)) + gap);

    // A bracket group "[2+3]" over a denominator loses its brackets; with an R inside only the "[" goes.
    if (n.front() == '[') {
        n.erase(0, 1);
        if (n.find('R') == std::string::npos && !n.empty()) n.pop_back();
    }
    const int numY = y - roundEven(0.7 * unit);
    const int denY = y + roundEven(3.3 * unit);
    // Widths and centring in a wide type: a numerator of a million digits is a long way across.
    const auto ln = static_cast<long long>(n.size());
    const auto ld = static_cast<long long>(d.size());
    int end = x;
    if (ln == ld) {
        DrawRun(ctx, n, x, numY);
        end = ctx.penX;
        DrawRun(ctx, d, x, denY);
    } else if (ln > ld) {
        DrawRun(ctx, n, x, numY);
        end = ctx.penX;
        const long long w = (static_cast<long long>(end) - x) / ln;
        DrawRun(ctx, d, clampPosition(x + (w * (ln - ld)) / 2), denY);
    } else {
        DrawRun(ctx, d, x, denY);
        end = ctx.penX;
        const long long w = (static_cast<long long>(end) - x) / ld;
        DrawRun(ctx, n, clampPosition(x + (w * (ld - ln)) / 2), numY);
    }
    const int barY = y + roundEven(2.2 * unit);
    const int overhang = roundEven(ctx.scale);
    DrawBar(ctx, {x - overhang, barY}, {end + overhang, barY});
    // A superscript is a single digit, so a raised fraction never occurs; it would keep one gap.
    return clampPosition(static_cast<long long>(ctx.penX) + (ctx.superMode ? gap : 2 * gap));
}

int DrawUnitImage(MathContext& ctx, char c, int x, int y)
{
    const bool red = ctx.color == colours::Red;
    UnitImage which{};
    switch (c) {
    case 'g':
        y += roundEven(5 * ctx.scale);
        which = red ? UnitImage::RedGram : UnitImage::Gram;
        break;
    case 'l':
        which = red ? UnitImage::RedLitter : UnitImage::Litter;
        break;
    case '~':
        which = red ? UnitImage::ARed : UnitImage::ABlack;
        break;
    default:
        return x;
    }
    const LayoutMetrics& m = ctx.render.metrics;
    const int side = roundEven(ctx.scale * 20 * m.charSize * 0.0625);
    const int top = y + m.lineUnit;
    ctx.canvas.drawPicture({x, top, x + side, top + side}, unitImage(which));
    return clampPosition(static_cast<long long>(x) + side);
}

} // namespace tavola::render

// The expression renderer on the recording canvas. Screen metrics unless a test says otherwise: k = 1, S = 14,
// so U = 7 and G = 2; font size 14, so glyphs are 18 pt (24 px high, 12 px wide on the recording canvas) and
// signs 14 pt (19 px wide). The piece starts at (100, 200).
#include "render/draw_math.h"
#include "render/draw_ops.h"
#include "render/unit_images.h"

#include "platform/sjis.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace tavola::render {
namespace {

using test::CanvasOp;
using test::RecordingCanvas;

constexpr int X = 100;
constexpr int Y = 200;

class DrawMathTest : public ::testing::Test {
protected:
    // The screen page of a 14-point worksheet.
    RenderContext ctx{worksheetMetrics(1.0, 14, false), {}};

    // Each drawing call as a short line: "2@100,191" for a text-out, "bar 99-113@216" for a horizontal line,
    // "pic 100,207,118,225" for a picture.
    static std::vector<std::string> describe(const RecordingCanvas& canvas)
    {
        std::vector<std::string> out;
        for (const CanvasOp& op : canvas.ops) {
            switch (op.kind) {
            case CanvasOp::Kind::Text:
                out.push_back(sjis::toUtf8(op.text) + "@" + std::to_string(op.rect.left) + "," +
                              std::to_string(op.rect.top));
                break;
            case CanvasOp::Kind::Line:
                EXPECT_EQ(op.rect.top, op.rect.bottom) << "fraction bars are horizontal";
                out.push_back("bar " + std::to_string(op.rect.left) + "-" + std::to_string(op.rect.right) + "@" +
                              std::to_string(op.rect.top));
                break;
            case CanvasOp::Kind::Picture:
                out.push_back("pic " + std::to_string(op.rect.left) + "," + std::to_string(op.rect.top) + "," +
                              std::to_string(op.rect.right) + "," + std::to_string(op.rect.bottom));
                break;
            default:
                out.push_back("other");
            }
        }
        return out;
    }
};

TEST_F(DrawMathTest, WorksheetMetricsRoundHalvesToEven)
{
    struct Case {
        double scale;
        int size;
        int unit;
        int gap;
    };
    const Case cases[] = {
        {1.0, 14, 7, 2},            // the screen: U = 7
        {1.0, 8, 7, 1},             //
        {1.0, 9, 7, 2},             // 1.5 → 2
        {1.0, 15, 7, 2},            // 2.5 → 2
        {1.0, 21, 7, 4},            // 3.5 → 4
        {4792.0 / 630, 14, 51, 18}, // A4 at 600 dpi: 51.2 and 17.75
        {2.0, 14, 13, 5},           // 13.464, 4.67
    };
    for (const Case& c : cases) {
        LayoutMetrics m = worksheetMetrics(c.scale, c.size, true);
        EXPECT_EQ(m.lineUnit, c.unit) << c.scale << " " << c.size;
        EXPECT_EQ(m.charGap, c.gap) << c.scale << " " << c.size;
        EXPECT_EQ(m.charSize, c.size);
        EXPECT_TRUE(m.printing);
    }
}

struct LayoutCase {
    const char* text;
    std::vector<std::string> ops;
    int endX;
};

// Positions follow the rules of the renderer step by step; the comment on each case gives the deciding rule.
TEST_F(DrawMathTest, TextsLayOutAsTheRulesSay)
{
    const LayoutCase cases[] = {
        // Plain number: glyph tops at Y + 3, 2 × G between glyphs, the cell ends 2 × G + 2 after the last glyph
        // plus G.
        {"12", {"1@100,203", "2@116,203"}, 134},
        // Fraction: numerator tops at Y − 9, denominator at Y + 19, bar at Y + 16 from X − 1 to one past the part.
        {"2/3", {"2@100,191", "3@100,219", "bar 99-113@216"}, 117},
        // Longer numerator: the denominator is indented by half the per-character width (28 div 2 = 14, 14 div 2).
        {"12/5", {"1@100,191", "2@116,191", "5@107,219", "bar 99-129@216"}, 133},
        // Lengths 1 and 3: the shorter part is indented by one per-character width (44 div 3 = 14).
        {"1/123", {"1@100,219", "2@116,219", "3@132,219", "1@114,191", "bar 99-145@216"}, 149},
        {"2/3+1/6=",
         {"2@100,191", "3@100,219", "bar 99-113@216", "+@117,203", "1@135,191", "6@135,219", "bar 134-148@216",
          "=@152,203"},
         170},
        // "&" ends a number without a gap character.
        {"1&2/3", {"1@100,203", "2@118,191", "3@118,219", "bar 117-131@216"}, 135},
        // A blank is drawn with a text-out in the cell size (9 px wide) at the run's Y.
        {"1 2", {"1@100,203", " @118,207", "2@133,203"}, 151},
        // Signs are drawn at Y + U, and continue G div 2 after the sign.
        {"3/4>=2/3",
         {"3@100,191", "4@100,219", "bar 99-113@216", "≧@117,207", "2@137,191", "3@137,219", "bar 136-150@216"},
         154},
        {"2<=3", {"2@100,203", "≦@118,207", "3@138,203"}, 156},
        {"1>", {"1@100,203", "＞@118,207"}, 138},
        {"2<3", {"2@100,203", "＜@118,207", "3@138,203"}, 156},
        {"6*2\\3", {"6@100,203", "×@118,207", "2@138,203", "÷@156,207", "3@176,203"}, 194},
        {"'1\"", {"［@100,207", "1@120,203", "］@138,207"}, 158},
        // A bracket group over a denominator loses its brackets and keeps the signs inside.
        {"[2+3]/5", {"2@100,191", "+@116,191", "3@132,191", "5@114,219", "bar 99-145@216"}, 149},
        // A bracket group with R keeps its last character.
        {"[1R2/3",
         {"[@100,203", "1@116,203", "R@132,203", "2@144,203", "/@160,203", "3@176,203"},
         194}, // never closed: one plain token
        {"[1R2]/3", {"1@100,191", "R@116,191", "2@128,191", "]@144,191", "3@121,219", "bar 99-157@216"}, 161},
        // Only one digit after ^ is raised (to Y − 4 in 15-pt glyphs, 10 px wide here).
        {"10^23", {"1@100,203", "0@116,203", "2@134,196", "3@150,203"}, 168},
        {"x^2", {"x@100,203", "2@118,196"}, 134},
        // ^ inside a pending fraction draws the denominator plain; the numerator follows plain at the end.
        {"3/4^2", {"4@100,203", "2@118,196", "3@134,203"}, 152},
        // The coefficient group: x over 3, the 1 dropped, Q not drawn, ")" skipped, then y.
        {"1|3Qx)y", {"x@100,191", "3@100,219", "bar 99-113@216", "y@117,203"}, 135},
        // Without ")" the last character is neither collected nor drawn.
        {"2|3Qxy", {"2@100,191", "x@116,191", "3@107,219", "bar 99-129@216"}, 133},
        {"1|3Q", {}, 100},
        // An empty numerator gives way to the token; before a closing character it draws nothing.
        {"/5", {"5@100,203"}, 118},
        {"/5A", {"A@100,203"}, 118},
        // A stray "]" goes into the token and takes depth below zero: the next "[" opens no group.
        {"]1[2/3", {"]@100,191", "1@116,191", "[@132,191", "2@148,191", "3@122,219", "bar 99-161@216"}, 165},
        // An unclosed "[" makes the rest one token, drawn plain at the end.
        {"[2/3", {"[@100,203", "2@116,203", "/@132,203", "3@148,203"}, 166},
        // Characters outside the table close what is pending and are drawn as cells of their own.
        {"1#2", {"1@100,203", "#@118,203", "2@136,203"}, 154},
        {"1/2#", {"1@100,191", "2@100,219", "bar 99-113@216", "#@117,203"}, 135},
        // Inside longer texts g and l are glyphs, and ~ a plain text-out.
        {"5g", {"5@100,203", "g@118,203"}, 136},
        {"5~", {"5@100,203", "~@118,207"}, 133},
    };
    for (const LayoutCase& c : cases) {
        RecordingCanvas canvas;
        Point end = DrawMath(ctx, 14, X, Y, 1.0, canvas, c.text, colours::Black);
        EXPECT_EQ(describe(canvas), c.ops) << c.text;
        EXPECT_EQ(end, (Point{c.endX, Y})) << c.text;
    }
}

TEST_F(DrawMathTest, GlyphsUseTheMainOrHalfWidthFaceFourPointsLarger)
{
    RecordingCanvas canvas;
    canvas.font.face = "caller";
    DrawMath(ctx, 14, X, Y, 1.0, canvas, "2x+ay*", colours::Blue);
    const auto texts = canvas.texts();
    ASSERT_EQ(texts.size(), 6u);
    const std::string mincho = "ＭＳ 明朝"_sj;
    struct Expect {
        const char* text;
        std::string face;
        bool italic;
        int size;
    };
    const Expect expected[] = {{"2", mincho, false, 18},
                               {"x", "Bookman Old Style", true, 18},
                               {"+", mincho, false, 18},
                               {"a", "Bookman Old Style", true, 18},
                               {"y", "Bookman Old Style", true, 18},
                               {"×", mincho, false, 14}};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(sjis::toUtf8(texts[i].text), expected[i].text);
        EXPECT_EQ(texts[i].font.face, expected[i].face) << expected[i].text;
        EXPECT_EQ(texts[i].font.italic, expected[i].italic) << expected[i].text;
        EXPECT_EQ(texts[i].font.sizePt, expected[i].size) << expected[i].text;
        EXPECT_EQ(texts[i].font.colour, colours::Blue) << expected[i].text;
    }
    // After a glyph the canvas keeps the main face at the cell size.
    EXPECT_EQ(canvas.font.face, mincho);
    EXPECT_EQ(canvas.font.sizePt, 14);
    EXPECT_FALSE(canvas.font.italic);
}

TEST_F(DrawMathTest, SignsBeforeAnyGlyphUseTheCallersFace)
{
    RecordingCanvas canvas;
    canvas.font.face = "caller";
    DrawMath(ctx, 14, X, Y, 1.0, canvas, "*1", colours::Black);
    ASSERT_EQ(canvas.texts().size(), 2u);
    EXPECT_EQ(canvas.texts()[0].font.face, "caller");
}

TEST_F(DrawMathTest, PieceStyleStaysOnGlyphs)
{
    // Bold or underlined problem text keeps its style on digits and letters.
    RecordingCanvas canvas;
    canvas.font.bold = true;
    canvas.font.underline = true;
    DrawMath(ctx, 14, X, Y, 1.0, canvas, "1/x", colours::Black);
    for (const CanvasOp& op : canvas.texts()) {
        EXPECT_TRUE(op.font.bold) << op.text;
        EXPECT_TRUE(op.font.underline) << op.text;
    }
    EXPECT_TRUE(canvas.font.bold);
}

TEST_F(DrawMathTest, SuperscriptIsEightTenthsOfTheSize)
{
    RecordingCanvas canvas;
    DrawMath(ctx, 20, X, Y, 1.0, canvas, "x^3", colours::Black);
    const auto texts = canvas.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].font.sizePt, 16 + 4); // roundEven(0.8 × 20) + 4
    EXPECT_EQ(texts[1].rect.top, Y - 7 + 7 - 4);
    EXPECT_EQ(canvas.font.sizePt, 20); // back to the font size after the digit
}

TEST_F(DrawMathTest, DoubleByteTextIsDrawnWholeWithoutGap)
{
    for (const char* utf8 : {"１/２", "a/b＋c^2", "分数"}) {
        RecordingCanvas canvas;
        std::string text = sjis::encode(utf8);
        Point end = DrawMath(ctx, 14, X, Y, 1.0, canvas, text, colours::Black);
        ASSERT_EQ(canvas.ops.size(), 1u) << utf8;
        EXPECT_EQ(canvas.ops[0].text, text);
        EXPECT_EQ(canvas.ops[0].rect.left, X);
        EXPECT_EQ(canvas.ops[0].rect.top, Y + 7);
        EXPECT_EQ(canvas.ops[0].font.sizePt, 14);
        EXPECT_EQ(end, (Point{canvas.ops[0].rect.right, Y})) << utf8;
    }
}

TEST_F(DrawMathTest, SingleCharacters)
{
    struct Case {
        const char* text;
        Colour colour;
        std::vector<std::string> ops;
        int endX;
        const Picture* picture;
    };
    // The image side is roundEven(1.25 × 14) = 18 (17.5 to even); g is lowered by 5.
    const Case cases[] = {
        {"#", colours::Black, {}, X, nullptr},
        {"g", colours::Black, {"pic 100,212,118,230"}, 118, &unitImage(UnitImage::Gram)},
        {"g", colours::Red, {"pic 100,212,118,230"}, 118, &unitImage(UnitImage::RedGram)},
        {"l", colours::Blue, {"pic 100,207,118,225"}, 118, &unitImage(UnitImage::Litter)},
        {"l", colours::Red, {"pic 100,207,118,225"}, 118, &unitImage(UnitImage::RedLitter)},
        {"~", Colour::fromRgb(254, 0, 0), {"pic 100,207,118,225"}, 118, &unitImage(UnitImage::ABlack)},
        {"~", colours::Red, {"pic 100,207,118,225"}, 118, &unitImage(UnitImage::ARed)},
        {"5", colours::Black, {"5@100,203"}, 118, nullptr},
        {"*", colours::Black, {"*@100,203"}, 118, nullptr},
        {" ", colours::Black, {" @100,207"}, 115, nullptr},
        {"", colours::Black, {}, X, nullptr},
    };
    for (const Case& c : cases) {
        RecordingCanvas canvas;
        Point end = DrawMath(ctx, 14, X, Y, 1.0, canvas, c.text, c.colour);
        EXPECT_EQ(describe(canvas), c.ops) << c.text;
        EXPECT_EQ(end, (Point{c.endX, Y})) << c.text;
        if (c.picture != nullptr) {
            ASSERT_EQ(canvas.ops.size(), 1u);
            EXPECT_EQ(canvas.ops[0].picture, c.picture) << c.text << " " << c.colour.bgr;
        }
    }
}

TEST_F(DrawMathTest, UnitImageOnThePrinterScales)
{
    const double k = 4792.0 / 630;
    ctx.metrics = worksheetMetrics(k, 14, true);
    RecordingCanvas canvas(4792, 6851, true, 600);
    Point end = DrawMath(ctx, 17, 300, 1000, k, canvas, "g", colours::Black);
    // side = roundEven(7.606 × 17.5) = 133; g is lowered by roundEven(5k) = 38; U = 51.
    EXPECT_EQ(describe(canvas), (std::vector<std::string>{"pic 300,1089,433,1222"}));
    EXPECT_EQ(end.x, 433);
}

TEST_F(DrawMathTest, BarOffsetsFollowTheScreenTableAndFifteenMinusSizeOnThePrinter)
{
    struct Case {
        int size;
        int screen;
    };
    const Case cases[] = {{6, 4},   {7, 8},  {8, 4},   {9, 6},   {10, 2},  {11, 4},  {12, 0},  {13, 2},
                          {14, -1}, {15, 0}, {16, -2}, {17, -2}, {18, -4}, {19, -4}, {20, -5}, {30, -15}};
    for (const Case& c : cases) {
        EXPECT_EQ(barOffset(c.size, false), c.screen) << c.size;
        EXPECT_EQ(barOffset(c.size, true), 15 - c.size) << c.size;
        for (bool printing : {false, true}) {
            ctx.metrics.printing = printing;
            RecordingCanvas canvas;
            DrawMath(ctx, c.size, X, Y, 1.0, canvas, "1/2", colours::Black);
            const auto lines = canvas.lines();
            ASSERT_EQ(lines.size(), 1u);
            // The bar's reference is Y + round(2.2 × 7) = Y + 15.
            EXPECT_EQ(lines[0].rect.top, Y + 15 - (printing ? 15 - c.size : c.screen)) << c.size << printing;
        }
    }
}

TEST_F(DrawMathTest, BarPenIsFourPixelsOnlyOnWidePrinters)
{
    struct Case {
        int width;
        bool printing;
        int pen;
    };
    const Case cases[] = {{4792, true, 4}, {2801, true, 4}, {2800, true, 1}, {4792, false, 1}, {630, false, 1}};
    for (const Case& c : cases) {
        ctx.metrics.printing = c.printing;
        RecordingCanvas canvas(c.width, 1000, c.printing, c.printing ? 600 : 96);
        DrawMath(ctx, 14, X, Y, 1.0, canvas, "1/2", colours::Blue);
        const auto lines = canvas.lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].pen.width, c.pen) << c.width << c.printing;
        EXPECT_EQ(lines[0].pen.colour, colours::Blue) << "the bar takes the font colour";
        EXPECT_EQ(lines[0].pen.mode, PenMode::Copy);
        // Afterwards the pen is black and one pixel wide again.
        EXPECT_EQ(canvas.pen.colour, colours::Black);
        EXPECT_EQ(canvas.pen.width, 1);
    }
}

TEST_F(DrawMathTest, PrinterScaleGeometry)
{
    // A4 at 600 dpi: k = 4792 / 630, U = 51, G = 18; the printer pass draws at 14 + 3 points.
    const double k = 4792.0 / 630;
    ctx.metrics = worksheetMetrics(k, 14, true);
    RecordingCanvas canvas(4792, 6851, true, 600);
    Point end = DrawMath(ctx, 17, 1000, 2000, k, canvas, "2/3", colours::Black);
    // Glyphs are 21 pt: 175 px high, 87 px wide. NumY = 2000 − 36, DenY = 2000 + 168, bar at 2000 + 112 + 2.
    EXPECT_EQ(describe(canvas), (std::vector<std::string>{"2@1000,1960", "3@1000,2164", "bar 992-1095@2114"}));
    EXPECT_EQ(end.x, 1095 + 36);
}

TEST_F(DrawMathTest, WithoutAWorksheetGlyphsAreNotDrawnButSignsAndBarsAre)
{
    ctx.inputs.worksheetCurrent = false;
    RecordingCanvas canvas;
    DrawMath(ctx, 14, X, Y, 1.0, canvas, "2/3*1", colours::Black);
    // Nothing moves the pen in the fraction, so the bar spans X − 1 to X + 1.
    EXPECT_EQ(describe(canvas), (std::vector<std::string>{"bar 99-101@216", "×@105,207"}));
}

TEST_F(DrawMathTest, AnyBytesDrawWithoutFault)
{
    // A fixed pseudo-random sequence of texts of every byte value, plus long and pathological texts.
    std::vector<std::string> texts = {std::string(1000, '['),
                                      std::string(1000, '|'),
                                      std::string(1000, '^'),
                                      std::string(1000, ']'),
                                      std::string(500, '/') + "1",
                                      "1|" + std::string(998, 'x'),
                                      std::string("\0\x01\x7f\x80", 4),
                                      "|",
                                      "1|",
                                      "^",
                                      "[",
                                      "]",
                                      ">",
                                      "<="};
    std::string longMix;
    for (int i = 0; i < 1000; ++i)
        longMix += "1/2+[3|4Qx)^5]"[i % 14];
    texts.push_back(longMix);
    std::uint32_t seed = 12345;
    for (int n = 0; n < 3000; ++n) {
        seed = seed * 1103515245u + 12345u;
        std::string t(1 + (seed >> 16) % 24, ' ');
        for (char& c : t) {
            seed = seed * 1103515245u + 12345u;
            // Mostly the characters the parser knows, sometimes any byte up to 128.
            const std::string alphabet = "0123456789./|^[]R&*\\'\"<>=+-() _}xyagl~#Q!";
            c = (seed >> 24) % 4 == 0 ? static_cast<char>((seed >> 8) % 129) : alphabet[(seed >> 8) % alphabet.size()];
        }
        texts.push_back(t);
    }
    for (const std::string& t : texts) {
        RecordingCanvas canvas;
        Point end = DrawMath(ctx, 14, X, Y, 1.0, canvas, t, colours::Black);
        ASSERT_EQ(end.y, Y);
        ASSERT_GE(end.x, X) << t;
        for (const CanvasOp& op : canvas.texts())
            ASSERT_GE(op.rect.left, X - 1) << t;
    }
}

TEST_F(DrawMathTest, DamagedSizesDrawWithinTheIntegers)
{
    // A character size from a damaged file reaches the renderer both as the call's size and through the metrics.
    for (const int size : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), 2000000000}) {
        SCOPED_TRACE(size);
        ctx.metrics = worksheetMetrics(1.0, size, false);
        for (const std::string text : {"1/2+x^2=[3R]/45", "g", "l", "2*3>=1"}) {
            RecordingCanvas canvas;
            const Point end = DrawMath(ctx, size, X, Y, 1.0, canvas, text, colours::Red);
            EXPECT_EQ(end.y, Y) << text;
            for (const CanvasOp& op : canvas.texts())
                EXPECT_LE(std::abs(op.font.sizePt), 1004) << text;
        }
    }
    // Sizes that can be seen are kept as they are.
    EXPECT_EQ(worksheetMetrics(1.0, 50, false).charSize, 50);
    RecordingCanvas canvas;
    DrawMath(ctx, 50, X, Y, 1.0, canvas, "7", colours::Black);
    ASSERT_EQ(canvas.texts().size(), 1u);
    EXPECT_EQ(canvas.texts()[0].font.sizePt, 54);
}

} // namespace
} // namespace tavola::render

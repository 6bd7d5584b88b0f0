#include "worksheet/answer_boxes.h"

#include "platform/sjis.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavola {
namespace {

using test::CanvasOp;
using test::RecordingCanvas;

// A box at (100, 98), 30 wide, drawn at 14 points; the input field of 14 points is 19 + 8 = 27 high.
const AnswerBox kBox{100, 98, "1/2", 14, 30};

TEST(AnswerBoxes, BaseAndFrameRectangles)
{
    EXPECT_EQ(answerFieldHeight(14), 27);
    EXPECT_EQ(answerFieldHeight(12), 24);

    struct Case {
        double k;
        bool printer;
        int w;
        int h;
        Rect base;
        Rect frame;
    };
    const Case cases[] = {
        {1, false, 10, 4, {100, 101, 127, 128}, {100, 99, 175, 132}},
        {1, false, 15, 2, {100, 101, 127, 128}, {100, 100, 200, 130}},
        {1, false, 0, 0, {100, 101, 127, 128}, {100, 101, 125, 128}},
        // A negative frame width extends from the base rectangle's right instead.
        {1, false, -8, 3, {100, 101, 127, 128}, {100, 99, 130, 131}},
        // The printer: x stretched by 1.03, everything else by s.
        {7.5, true, 10, 4, {772, 757, 975, 959}, {772, 742, 1332, 989}},
    };
    for (const Case& c : cases) {
        Rect base = boxRect(kBox, c.k, c.printer, 27);
        EXPECT_EQ(base, c.base) << c.k << " " << c.w;
        EXPECT_EQ(frameRect(base, c.w, c.h, c.k), c.frame) << c.k << " " << c.w;
    }
}

TEST(AnswerBoxes, DamagedSettingsKeepTheFrameWithinTheIntegers)
{
    // Settings from a damaged file reach the geometry unchecked; the frame is then as large as a width, height or
    // size of 1000 makes it.
    for (const int v : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
        SCOPED_TRACE(v);
        const Rect base = boxRect(kBox, 1, false, answerFieldHeight(v));
        const Rect frame = frameRect(base, v, v, 1);
        EXPECT_EQ(frame, frameRect(base, v > 0 ? 1000 : -1000, v > 0 ? 1000 : -1000, 1));
        for (int shape = 1; shape <= 5; ++shape) {
            RecordingCanvas canvas;
            FrameStyle style;
            style.shape = boxShapeOf(shape);
            style.boxWidth = style.boxHeight = style.charSize = v;
            style.sizeBonus = 3;
            AnswerBox box = kBox;
            box.size = v;
            drawFrame(canvas, box, style, 7.5);
            EXPECT_FALSE(canvas.ops.empty()) << shape;
        }
    }
    EXPECT_EQ(answerFieldHeight(1000), answerFieldHeight(std::numeric_limits<int>::max()));
}

TEST(AnswerBoxes, FrameWidthDependsOnlyOnTheWidthSetting)
{
    for (int length : {1, 5, 40}) {
        AnswerBox box = kBox;
        box.width = length * 12;
        for (auto [w, expected] : {std::pair{10, 75}, std::pair{15, 100}}) {
            RecordingCanvas canvas;
            FrameStyle style;
            style.shape = BoxShape::Square;
            style.boxWidth = w;
            drawFrame(canvas, box, style, 1);
            ASSERT_EQ(canvas.ops.size(), 1u);
            EXPECT_EQ(canvas.ops[0].rect.width(), expected);
        }
    }
}

TEST(AnswerBoxes, EachShapeDrawsItsFrame)
{
    FrameStyle style;
    style.boxWidth = 10;
    style.boxHeight = 4;
    style.charSize = 14;
    style.face = "ＭＳ 明朝"_sj;

    auto drawn = [&](BoxShape shape, double k = 1, bool printer = false) {
        RecordingCanvas canvas(printer ? 4725 : 630, printer ? 6803 : 891, printer, printer ? 600 : 96);
        FrameStyle s = style;
        s.shape = shape;
        s.printer = printer;
        s.sizeBonus = printer ? 3 : 0;
        drawFrame(canvas, kBox, s, k);
        return canvas.ops;
    };

    EXPECT_TRUE(drawn(BoxShape::None).empty());
    EXPECT_TRUE(drawn(boxShapeOf(9)).empty());

    auto square = drawn(BoxShape::Square);
    ASSERT_EQ(square.size(), 1u);
    EXPECT_EQ(square[0].kind, CanvasOp::Kind::Rectangle);
    EXPECT_EQ(square[0].rect, (Rect{100, 99, 175, 132}));
    EXPECT_EQ(square[0].pen.width, 1);
    EXPECT_EQ(square[0].brush.style, BrushStyle::Clear);

    for (auto [shape, open, close] :
         {std::tuple{BoxShape::Brackets, "［", "］"}, std::tuple{BoxShape::LenticularBrackets, "【", "】"}}) {
        auto ops = drawn(shape);
        ASSERT_EQ(ops.size(), 2u);
        EXPECT_EQ(ops[0].text, sjis::encode(open));
        EXPECT_EQ((Point{ops[0].rect.left, ops[0].rect.top}), (Point{100, 101}));
        EXPECT_EQ(ops[1].text, sjis::encode(close));
        EXPECT_EQ((Point{ops[1].rect.left, ops[1].rect.top}), (Point{127, 101}));
        EXPECT_EQ(ops[0].font.sizePt, 14);
        EXPECT_EQ(ops[0].font.face, "ＭＳ 明朝"_sj);
        // On the printer in the box's size plus the printer's 3 points.
        EXPECT_EQ(drawn(shape, 7.5, true)[0].font.sizePt, 17);
    }

    auto underline = drawn(BoxShape::Underline);
    ASSERT_EQ(underline.size(), 1u);
    EXPECT_EQ(underline[0].kind, CanvasOp::Kind::Line);
    // bottom' 132 − round(33 × 0.2)
    EXPECT_EQ(underline[0].rect, (Rect{100, 125, 175, 125}));

    // d = 2 × 14 + 4 − 10 = 22, c = round(17.6) = 18; top'' = 99 + 3; bottom = top'' + 22 + 9.
    auto rounded = drawn(BoxShape::Rounded);
    ASSERT_EQ(rounded.size(), 1u);
    EXPECT_EQ(rounded[0].kind, CanvasOp::Kind::RoundRect);
    EXPECT_EQ(rounded[0].rect, (Rect{100, 102, 175, 133}));
    EXPECT_EQ(rounded[0].extra1, 18);
    EXPECT_EQ(rounded[0].extra2, 18);

    // The printer: pen round(k), d and c times k (165 and 135).
    auto printed = drawn(BoxShape::Rounded, 7.5, true);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].pen.width, 8);
    EXPECT_EQ(printed[0].rect, (Rect{772, 769, 1332, 1002}));
    EXPECT_EQ(printed[0].extra1, 135);
}

TEST(AnswerBoxes, DrawFramesDrawsEveryBoxOfTheTable)
{
    std::vector<AnswerBox> boxes(80, kBox);
    for (int i = 0; i < 80; ++i)
        boxes[static_cast<std::size_t>(i)].y = 98 + i * 10;
    RecordingCanvas canvas;
    FrameStyle style;
    style.shape = BoxShape::Square;
    drawFrames(canvas, boxes, style, 1);
    ASSERT_EQ(canvas.ops.size(), 80u);
    EXPECT_EQ(canvas.ops[79].rect.top, 98 + 790 + 3 - 2);
}

} // namespace
} // namespace tavola

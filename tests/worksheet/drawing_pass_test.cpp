// The worksheet drawing pass on the recording canvas: an A4 page on the screen (630 × 891, one unit one pixel)
// unless a test says otherwise. On the recording canvas a 14-point font is 19 px, a half-width character half of it.
#include "worksheet/drawing_pass.h"

#include "platform/numbers.h"
#include "platform/sjis.h"
#include "render/draw_math.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <random>

namespace tavola {
namespace {

using test::CanvasOp;
using test::RecordingCanvas;

class DrawingPassTest : public ::testing::Test {
protected:
    void SetUp() override { options.clock = &clock; }

    static Worksheet sheetOf(Lines lines)
    {
        UnitData unit;
        unit.title = "分数のたし算"_sj;
        unit.problemLines = std::move(lines);
        unit.shortKey = "Bun1.que-U1";
        Worksheet sheet = makeWorksheet(unit, true);
        sheet.settings.answerBox.shape = 1; // squares
        return sheet;
    }

    // Lays out and paints the page as the worksheet window does: figures placed for the first time keep their place.
    const PageLayout& draw(Worksheet& sheet, RecordingCanvas& canvas)
    {
        PageLayout& page = pages_[&sheet];
        page = drawPage(sheet, canvas, options);
        adoptFigurePositions(sheet, page);
        return page;
    }
    // The last page drawn of a worksheet.
    const PageLayout& of(const Worksheet& sheet) { return pages_[&sheet]; }

    std::vector<int> segmentYs(const Worksheet& sheet)
    {
        std::vector<int> ys;
        for (const Point& p : of(sheet).segments)
            ys.push_back(p.y);
        return ys;
    }

    static std::vector<CanvasOp> textsIn(const RecordingCanvas& canvas, Colour colour)
    {
        std::vector<CanvasOp> out;
        for (const CanvasOp& op : canvas.texts())
            if (op.font.colour == colour) out.push_back(op);
        return out;
    }

    FixedClock clock{DateTime{2005, 3, 5, 9, 7, 0}};
    DrawOptions options;

private:
    std::map<const Worksheet*, PageLayout> pages_;
};

TEST_F(DrawingPassTest, ScreenA4HeaderRulesAndLinePositions)
{
    Worksheet sheet = sheetOf({"1", "2", "3", "4", "5"});
    RecordingCanvas canvas;
    draw(sheet, canvas);

    auto lines = canvas.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].rect, (Rect{50, 30, 580, 30}));
    EXPECT_EQ(lines[1].rect, (Rect{50, 90, 580, 90}));
    EXPECT_EQ(lines[0].pen.width, 2);
    // Line spacing 30 gives 23.625 units a line, each position rounded once from the accumulated real.
    EXPECT_EQ(segmentYs(sheet), (std::vector<int>{98, 122, 145, 169, 192}));
    EXPECT_EQ(of(sheet).textX, (std::vector<int>{50, 50, 50, 50, 50}));
    EXPECT_EQ(of(sheet).scorePosition, (Point{505, 35}));
    EXPECT_EQ(of(sheet).context.metrics.lineUnit, 7);
    EXPECT_EQ(canvas.ofKind(CanvasOp::Kind::Fill).front().rect, (Rect{0, 0, 630, 891}));

    // The header at its sizes; the title in the text face at 12 points.
    const CanvasOp* title = canvas.findText("分数のたし算");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->rect.left, 50);
    EXPECT_EQ(title->rect.top, 35);
    EXPECT_EQ(title->font.sizePt, 12);
    EXPECT_EQ(title->font.face, "ＭＳ 明朝"_sj);
    const CanvasOp* name = canvas.findText("　　　　　　　　氏名");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ((Point{name->rect.left, name->rect.top}), (Point{200, 65}));
    EXPECT_EQ(name->font.sizePt, 16);
    const CanvasOp* date = canvas.findText("実施日　　月　　日");
    ASSERT_NE(date, nullptr);
    EXPECT_EQ((Point{date->rect.left, date->rect.top}), (Point{460, 15}));
    const CanvasOp* number = canvas.findText("№ 1  2005.03.05-09:07　Bun1.que-U1");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ((Point{number->rect.left, number->rect.top}), (Point{50, 15}));
    EXPECT_EQ(number->font.sizePt, 10);
    // Every text is drawn transparently, so no text cell covers a rule or a line drawn before it.
    for (const CanvasOp& op : canvas.texts())
        EXPECT_EQ(op.brush.style, BrushStyle::Clear) << sjis::toUtf8(op.text);
}

TEST_F(DrawingPassTest, LineSpacingMarginsAndEmptyLines)
{
    struct Case {
        int spacing;
        int left;
        int right;
        Lines lines;
        std::vector<int> ys;
        Rect rule;
    };
    const Case cases[] = {
        {30, 5, 5, {"a", "", "c"}, {98, 145}, {50, 30, 580, 30}},
        {40, 0, 15, {"a", "b", "", "", "e"}, {98, 130, 224}, {0, 30, 480, 30}},
        {-5, 15, 0, {"a", "b", "c"}, {98, 94, 90}, {150, 30, 630, 30}},
        {200, 5, 5, {"", "", "", "", "", "", "a"}, {1043}, {50, 30, 580, 30}},
    };
    for (const Case& c : cases) {
        Worksheet sheet = sheetOf(c.lines);
        sheet.settings.lineSpacing = c.spacing;
        sheet.settings.leftMargin = c.left;
        sheet.settings.rightMargin = c.right;
        RecordingCanvas canvas;
        draw(sheet, canvas);
        EXPECT_EQ(segmentYs(sheet), c.ys) << c.spacing;
        EXPECT_EQ(canvas.lines().front().rect, c.rule) << c.spacing;
    }
}

TEST_F(DrawingPassTest, PrinterScaleMarginsAndLargerCharacters)
{
    Worksheet sheet = sheetOf({"1#2#", "3"});
    RecordingCanvas canvas(4725, 6803, true, 600);
    const PageLayout& result = draw(sheet, canvas);

    EXPECT_DOUBLE_EQ(result.scale, 7.5);
    EXPECT_TRUE(canvas.ofKind(CanvasOp::Kind::Fill).empty()) << "the printer page is not cleared";
    auto lines = canvas.lines();
    EXPECT_EQ(lines[0].rect, (Rect{375, 225, 4350, 225}));
    EXPECT_EQ(lines[0].pen.width, 15);
    EXPECT_EQ(lines[1].rect.top, 675);
    EXPECT_EQ(result.context.metrics.lineUnit, 50);
    EXPECT_EQ(result.context.metrics.charGap, 18);
    EXPECT_TRUE(result.context.metrics.printing);

    EXPECT_EQ(canvas.findText("分数のたし算")->font.sizePt, 15);
    EXPECT_EQ(canvas.findText("　　　　　　　　氏名")->font.sizePt, 19);
    EXPECT_EQ(canvas.findText("　　　　　　　　氏名")->rect.left, 1500);
    // Glyphs are 4 points larger than the text size of 14 + 3.
    const CanvasOp* one = canvas.findText("1");
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->font.sizePt, 21);
    EXPECT_EQ(one->rect.left, 375);
    // The recorded tables stay in page units.
    ASSERT_EQ(of(sheet).answerBoxes.size(), 1u);
    EXPECT_EQ(of(sheet).answerBoxes[0].y, 98);
    EXPECT_EQ(of(sheet).answerBoxes[0].size, 14);
    EXPECT_EQ(segmentYs(sheet), (std::vector<int>{98, 98, 98, 122}));
}

TEST_F(DrawingPassTest, TitleSplitsPastSixtyBytes)
{
    const std::string sixty(60, 'T');
    struct Case {
        std::string title;
        std::string first;
        std::optional<std::string> second;
    };
    const std::string longHead = "分数のたし算とひき算//帯分数のたし算"_sj; // 36 bytes
    const std::string longTail = "§1-2 くり上がりのある帯分数のたし算"_sj;
    const Case cases[] = {
        {sixty, sixty, std::nullopt},
        {longHead + longTail, longHead, "　　"_sj + longTail},
        {sixty + "U", "", "　　"_sj + sixty + "U"},
    };
    for (const Case& c : cases) {
        auto [first, second] = titleLines(c.title);
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(second, c.second);

        Worksheet sheet = sheetOf({});
        sheet.title = c.title;
        RecordingCanvas canvas;
        draw(sheet, canvas);
        std::vector<std::pair<std::string, int>> drawn;
        for (const CanvasOp& op : canvas.texts())
            if (op.font.sizePt == 12) drawn.emplace_back(op.text, op.rect.top);
        // Two lines one line of the 12-point face (16 pixels) apart, the second ending at the name line (65).
        std::vector<std::pair<std::string, int>> expected;
        if (!c.first.empty()) expected.emplace_back(c.first, c.second ? 33 : 35);
        if (c.second) expected.emplace_back(*c.second, 49);
        EXPECT_EQ(drawn, expected);
    }
    // On the printer the face is 15 points, 125 pixels at 600 dpi: the lines neither run into each other nor into
    // the name line.
    Worksheet sheet = sheetOf({});
    sheet.title = longHead + longTail;
    RecordingCanvas printer(4725, 6803, true, 600);
    draw(sheet, printer);
    const CanvasOp* head = printer.findText("分数のたし算とひき算//帯分数のたし算");
    const CanvasOp* tail = printer.findText("　　§1-2 くり上がりのある帯分数のたし算");
    ASSERT_NE(head, nullptr);
    ASSERT_NE(tail, nullptr);
    EXPECT_EQ(tail->rect.top, 488 - 125); // the name line is at 65 × 7.5 = 487.5, rounded to even
    EXPECT_EQ(head->rect.top, 488 - 2 * 125);
}

TEST_F(DrawingPassTest, HiddenAnswersAreLeftOffThePageWithTheirRoomKept)
{
    Lines lines = {"3/4 + 1/4 = #1#", "x = #1/2;2/4#", "#@+9# とき"_sj, "#3/4#です"_sj};
    Worksheet shown = sheetOf(lines);
    Worksheet hidden = sheetOf(lines);
    hidden.settings.answersShown = false;
    for (bool printer : {false, true}) {
        RecordingCanvas a = printer ? RecordingCanvas(4725, 6803, true, 600) : RecordingCanvas();
        RecordingCanvas b = printer ? RecordingCanvas(4725, 6803, true, 600) : RecordingCanvas();
        draw(shown, a);
        draw(hidden, b);
        EXPECT_EQ(of(shown).answerBoxes, of(hidden).answerBoxes);
        EXPECT_EQ(of(shown).segments, of(hidden).segments);
        EXPECT_FALSE(textsIn(a, colours::Blue).empty());
        EXPECT_FALSE(textsIn(a, colours::Grey).empty());
        // The hidden page is the shown page without the answers' texts and fraction bars: nothing of them is drawn,
        // not even in white, so a printed or exported page carries none of them.
        std::vector<CanvasOp> expected;
        for (const CanvasOp& op : a.ops) {
            const bool answerText =
                op.kind == CanvasOp::Kind::Text && (op.font.colour == colours::Blue || op.font.colour == colours::Grey);
            const bool answerBar =
                op.kind == CanvasOp::Kind::Line && (op.pen.colour == colours::Blue || op.pen.colour == colours::Grey);
            if (!answerText && !answerBar) expected.push_back(op);
        }
        ASSERT_EQ(b.ops.size(), expected.size()) << printer;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(b.ops[i].kind, expected[i].kind) << i;
            EXPECT_EQ(b.ops[i].rect, expected[i].rect) << i;
            EXPECT_EQ(b.ops[i].text, expected[i].text) << i;
        }
        EXPECT_NE(b.findText("です"), nullptr);
        EXPECT_EQ(b.findText("です")->rect, a.findText("です")->rect) << "the text after a hidden answer stays put";
    }
    // The option overrides the worksheet's own choice (the practice window hides the answers).
    options.answersShown = false;
    RecordingCanvas c;
    draw(shown, c);
    EXPECT_TRUE(textsIn(c, colours::Blue).empty());
}

// The markup of a line, drawn: what is drawn, in which colour and size, and what the tables record.
TEST_F(DrawingPassTest, MarkupCasesOnTheSheet)
{
    // "3/4 + 1/4 = #1#": the text, then a box holding 1 right where the text ended.
    {
        Worksheet sheet = sheetOf({"3/4 + 1/4 = #1#"});
        RecordingCanvas canvas;
        draw(sheet, canvas);
        EXPECT_EQ(of(sheet).answerList, (Lines{"start", "1"}));
        ASSERT_EQ(of(sheet).answerBoxes.size(), 1u);
        const AnswerBox& box = of(sheet).answerBoxes[0];
        EXPECT_EQ(box.text, "1");
        EXPECT_EQ(box.y, 98);
        EXPECT_EQ(box.size, 14);
        auto blue = textsIn(canvas, colours::Blue);
        ASSERT_EQ(blue.size(), 1u);
        EXPECT_EQ(blue[0].text, "1");
        EXPECT_EQ(blue[0].rect.left, box.x);
        EXPECT_GT(box.x, 50 + 8 * 12) << "after the text";
        EXPECT_GT(box.width, 0);
        EXPECT_EQ(of(sheet).segments.size(), 3u);
    }
    // Alternatives: " 2/4" 50 units right of the answer in grey, only with 別解表示.
    for (bool bekkai : {true, false}) {
        options.alternativeAnswers = bekkai;
        Worksheet sheet = sheetOf({"x = #1/2;2/4#"});
        RecordingCanvas canvas;
        draw(sheet, canvas);
        EXPECT_EQ(of(sheet).answerBoxes.at(0).text, "1/2;2/4");
        auto grey = textsIn(canvas, colours::Grey);
        if (!bekkai) {
            EXPECT_TRUE(grey.empty());
            continue;
        }
        ASSERT_FALSE(grey.empty());
        std::string drawn;
        for (const CanvasOp& op : grey)
            drawn += op.text;
        EXPECT_EQ(drawn, " 24"); // the blank, then 2 over 4 (the bar is a line)
        EXPECT_EQ(grey.front().rect.left, of(sheet).answerBoxes[0].x + 50);
    }
    // A code inside an alternative is drawn as text and changes nothing: the next line keeps the base size
    // whether 別解表示 is on or off.
    for (bool bekkai : {true, false}) {
        options.alternativeAnswers = bekkai;
        Worksheet sheet = sheetOf({"x = #1;@+2#", "次"_sj});
        RecordingCanvas canvas;
        draw(sheet, canvas);
        ASSERT_NE(canvas.findText("次"), nullptr);
        EXPECT_EQ(canvas.findText("次")->font.sizePt, 14) << bekkai;
        std::string grey;
        for (const CanvasOp& op : textsIn(canvas, colours::Grey))
            grey += op.text;
        EXPECT_EQ(grey, bekkai ? " @+2" : "");
    }
    options.alternativeAnswers = true;
    // Styles end with their segment: bold reaches only the double-byte text between @B and @/.
    {
        Worksheet sheet = sheetOf({"@B太字@/普通#1#あと"_sj});
        RecordingCanvas canvas;
        draw(sheet, canvas);
        EXPECT_TRUE(canvas.findText("太字")->font.bold);
        EXPECT_FALSE(canvas.findText("普通")->font.bold);
        EXPECT_FALSE(canvas.findText("あと")->font.bold);
    }
    // A plain segment is drawn literally, U below the line, at the base size.
    {
        Worksheet sheet = sheetOf({"\"a@Bc"});
        RecordingCanvas canvas;
        draw(sheet, canvas);
        const CanvasOp* plain = canvas.findText("a@Bc");
        ASSERT_NE(plain, nullptr);
        EXPECT_EQ((Point{plain->rect.left, plain->rect.top}), (Point{50, 105}));
        EXPECT_EQ(plain->font.sizePt, 14);
    }
    // A size code lasts across segments and lines until "@=".
    {
        Worksheet sheet = sheetOf({"@+big# 1 #after", "2#3#", "@=4#5#"});
        RecordingCanvas canvas;
        draw(sheet, canvas);
        ASSERT_EQ(of(sheet).answerBoxes.size(), 3u);
        EXPECT_EQ(of(sheet).answerBoxes[0].size, 18);
        EXPECT_EQ(of(sheet).answerBoxes[1].size, 18);
        EXPECT_EQ(of(sheet).answerBoxes[2].size, 14);
        EXPECT_EQ(canvas.findText("b")->font.sizePt, 22);
        EXPECT_EQ(canvas.findText("r")->font.sizePt, 22);
        EXPECT_EQ(canvas.findText("5")->font.sizePt, 18);
        // The next pass starts at the base size again.
        RecordingCanvas again;
        Worksheet second = sheetOf({"2#3#"});
        draw(second, again);
        EXPECT_EQ(of(second).answerBoxes[0].size, 14);
    }
    // Three "#": x, the box 1 and y; nothing follows.
    {
        Worksheet sheet = sheetOf({"x#1#y#z"});
        RecordingCanvas canvas;
        draw(sheet, canvas);
        EXPECT_EQ(of(sheet).answerList, (Lines{"start", "1"}));
        EXPECT_NE(canvas.findText("y"), nullptr);
        EXPECT_EQ(canvas.findText("z"), nullptr);
    }
    // "@@" draws one "@"; a code character at the start of a text piece acts as a code.
    {
        Worksheet sheet = sheetOf({"@@", "@B-3"});
        RecordingCanvas canvas;
        draw(sheet, canvas);
        EXPECT_NE(canvas.findText("@"), nullptr);
        EXPECT_EQ(canvas.findText("3"), nullptr);
    }
}

TEST_F(DrawingPassTest, AnswerPositionFromTheSettings)
{
    Worksheet sheet = sheetOf({"1+1=#2#", "10+10=#20#"});
    sheet.settings.answerBox.answerX = 30;
    RecordingCanvas canvas;
    draw(sheet, canvas);
    ASSERT_EQ(of(sheet).answerBoxes.size(), 2u);
    EXPECT_EQ(of(sheet).answerBoxes[0].x, 300);
    EXPECT_EQ(of(sheet).answerBoxes[1].x, 300);

    RecordingCanvas printer(4725, 6803, true, 600);
    draw(sheet, printer);
    auto blue = textsIn(printer, colours::Blue);
    ASSERT_FALSE(blue.empty());
    EXPECT_EQ(blue.front().rect.left, 2250);
    EXPECT_EQ(of(sheet).answerBoxes[0].x, 300) << "the printer page's table is in page units too";
}

TEST_F(DrawingPassTest, NameLineAndNumberLine)
{
    struct Case {
        std::string school;
        bool practice;
        std::string learner;
        std::string expected;
    };
    const Case cases[] = {
        {"", false, "", "　　　　　　　　氏名"_sj},
        {"北小学校"_sj, false, "", "北小学校　　氏名"_sj},
        {"北小学校"_sj, true, "太郎"_sj, "北小学校　　氏名 太郎"_sj},
        {"北小学校"_sj, false, "太郎"_sj, "北小学校　　氏名"_sj},
        {"", true, "共通"_sj, "　　　　　　　　氏名"_sj},
        {"", true, "公開"_sj, "　　　　　　　　氏名"_sj},
        {"", true, "noname", "　　　　　　　　氏名"_sj},
    };
    for (const Case& c : cases) {
        options.schoolName = c.school;
        options.practice = c.practice;
        options.learnerName = c.learner;
        Worksheet sheet = sheetOf({});
        RecordingCanvas canvas;
        draw(sheet, canvas);
        auto texts = canvas.texts();
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const CanvasOp& op) {
            return op.text == c.expected && op.font.sizePt == 16;
        })) << sjis::toUtf8(c.expected);
    }

    const DateTime t{2005, 3, 5, 9, 7, 0};
    EXPECT_EQ(numberLineText("K.que-U1", t, true, 3), "№ 3  2005.03.05-09:07　K.que-U1"_sj);
    EXPECT_EQ(numberLineText("K.que-U1", t, false, 3), "  2005.03.05-09:07　K.que-U1"_sj);
    const std::string forty(40, 'k');
    EXPECT_EQ(numberLineText(forty, t, false, 1), "  2005.03.05-09:07　"_sj + forty);
    EXPECT_EQ(numberLineText(forty + "tail", t, false, 1), "  2005.03.05-09:07　tail"_sj);
    // Byte 41 inside a double-byte character: the key is shown from the next whole character.
    EXPECT_EQ(numberLineText(std::string(39, 'k') + "分数"_sj, t, false, 1), "  2005.03.05-09:07　数"_sj);
    // A copy's key is its path: the file name is shown, cut at a character boundary; a 0x5C trail byte ("ソ") is no
    // folder separator.
    EXPECT_EQ(numberLineText("C:\\share\\tasu\\月曜プリント.prp"_sj, t, false, 1),
              "  2005.03.05-09:07　月曜プリント.prp"_sj);
    EXPECT_EQ(numberLineText("/home/t/ソフト.prp"_sj, t, false, 1), "  2005.03.05-09:07　ソフト.prp"_sj);
    EXPECT_EQ(numberLineText("/d/" + std::string(39, 'p') + "分.prp"_sj, t, false, 1),
              "  2005.03.05-09:07　"_sj + std::string(39, 'p'));
}

TEST_F(DrawingPassTest, OptionBitsZeroDrawsNoNumberDateOrFlag)
{
    auto flag = std::make_shared<Picture>();
    flag->width = 40;
    flag->height = 30;
    flag->pixels.assign(1200, 0xFFFF0000);
    options.classFlag = flag;

    Worksheet sheet = sheetOf({"1"});
    sheet.settings.optionBits = 0;
    RecordingCanvas canvas;
    draw(sheet, canvas);
    EXPECT_EQ(canvas.findText("実施日　　月　　日"), nullptr);
    for (const CanvasOp& op : canvas.texts())
        EXPECT_NE(op.font.sizePt, 10) << sjis::toUtf8(op.text);
    EXPECT_TRUE(canvas.ofKind(CanvasOp::Kind::Picture).empty());
    EXPECT_EQ(canvas.findText("分数のたし算")->rect.left, 50);

    // Bit 1 alone: the flag beside the title, the title moved right of it.
    sheet.settings.optionBits = 1;
    RecordingCanvas withFlag;
    draw(sheet, withFlag);
    auto pictures = withFlag.ofKind(CanvasOp::Kind::Picture);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].rect, (Rect{50, 45, 90, 75}));
    EXPECT_EQ(withFlag.findText("分数のたし算")->rect.left, 95);
    EXPECT_EQ(withFlag.findText("実施日　　月　　日"), nullptr);

    RecordingCanvas printer(4725, 6803, true, 600);
    draw(sheet, printer);
    EXPECT_EQ(printer.ofKind(CanvasOp::Kind::Picture).at(0).rect, (Rect{375, 338, 675, 562}));
    EXPECT_EQ(printer.findText("分数のたし算")->rect.left, 375 + 338);
}

TEST_F(DrawingPassTest, VeryLongLinesAtLargeSizesNeverWrapThePenPosition)
{
    std::string doubleByte;
    for (int i = 0; i < 30000; ++i)
        doubleByte += "あ"_sj;
    for (const std::string& piece : {std::string(2'000'000, '1'), doubleByte}) {
        Worksheet sheet = sheetOf({piece + "#2#"});
        sheet.settings.characterSize = 1000;
        RecordingCanvas canvas;
        draw(sheet, canvas);
        ASSERT_EQ(of(sheet).answerBoxes.size(), 1u);
        EXPECT_GT(of(sheet).answerBoxes[0].x, 630);
        EXPECT_GE(of(sheet).answerBoxes[0].width, 0);
    }
}

TEST_F(DrawingPassTest, TwoColumnsDrawADivider)
{
    Worksheet sheet = sheetOf({"1"});
    sheet.settings.answerBox.columns = "2";
    RecordingCanvas canvas;
    draw(sheet, canvas);
    auto lines = canvas.lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2].rect, (Rect{312, 90, 312, 864}));
}

TEST_F(DrawingPassTest, FramesFollowTheTableAtEveryShape)
{
    for (int shape = 0; shape <= 5; ++shape) {
        Worksheet sheet = sheetOf({"1+1=#2#"});
        sheet.settings.answerBox.shape = shape;
        RecordingCanvas canvas;
        draw(sheet, canvas);
        const AnswerBox box = of(sheet).answerBoxes.at(0);
        const int rects = static_cast<int>(canvas.ofKind(CanvasOp::Kind::Rectangle).size());
        const int rounds = static_cast<int>(canvas.ofKind(CanvasOp::Kind::RoundRect).size());
        EXPECT_EQ(rects, shape == 1 ? 1 : 0);
        EXPECT_EQ(rounds, shape == 5 ? 1 : 0);
        if (shape == 1) {
            EXPECT_EQ(canvas.ofKind(CanvasOp::Kind::Rectangle)[0].rect.width(), 75);
        }
        if (shape == 2) {
            const CanvasOp* open = canvas.findText("［");
            ASSERT_NE(open, nullptr);
            EXPECT_EQ((Point{open->rect.left, open->rect.top}), (Point{box.x, 101}));
            EXPECT_EQ(canvas.findText("］")->rect.left, box.x + box.width - 3);
        }
        if (shape == 3) {
            EXPECT_NE(canvas.findText("【"), nullptr);
        }
        if (shape == 4) {
            EXPECT_EQ(canvas.lines().back().rect, (Rect{box.x, 125, box.x + 75, 125}));
        }
    }
}

TEST_F(DrawingPassTest, FiguresArePlacedOnceAndWrittenBack)
{
    Worksheet sheet = sheetOf({"1#2#", "3", "4"});
    sheet.graph = {"a.bmp", "-1", "-1", "b.bmp", "200", "300", "c.bmp", "0", "5"};
    sheet.agraph = {"a2.bmp", "0", "0"};
    auto picture = [](int w, int h) {
        auto p = std::make_shared<Picture>();
        p->width = w;
        p->height = h;
        p->pixels.assign(static_cast<std::size_t>(w * h), 0xFF000000);
        return PictureRef(p);
    };
    FigurePictures pictures;
    pictures.problem = {picture(10, 20), picture(30, 40), nullptr};
    pictures.answer = {picture(11, 21)};
    options.figures = &pictures;

    RecordingCanvas canvas;
    PageLayout result = draw(sheet, canvas);
    // Figure 1 at segment 1 (line 1's text), figure 3 (x 0 is not placed) at segment 3 (line 1's last text).
    const Point seg1 = of(sheet).segments[0];
    const Point seg3 = of(sheet).segments[2];
    EXPECT_EQ(sheet.graph, (Lines{"a.bmp", std::to_string(seg1.x + 40), std::to_string(seg1.y), "b.bmp", "200", "300",
                                  "c.bmp", std::to_string(seg3.x + 40), std::to_string(seg3.y)}));
    ASSERT_EQ(result.figures.size(), 3u);
    // Answers shown: answer figure 1's picture at problem figure 1's place.
    EXPECT_EQ(result.figures[0].rect, (Rect{seg1.x + 40, seg1.y, seg1.x + 51, seg1.y + 21}));
    EXPECT_EQ(result.figures[1].rect, (Rect{200, 300, 230, 340}));
    auto drawn = canvas.ofKind(CanvasOp::Kind::Picture);
    ASSERT_EQ(drawn.size(), 2u) << "a figure without a picture draws nothing";
    EXPECT_EQ(drawn[1].rect, (Rect{200, 300, 230, 340}));

    // Later passes keep the positions, whatever the lines do now.
    const Lines placed = sheet.graph;
    sheet.problemLines = {"", "", "x#1#y"};
    sheet.settings.answersShown = false;
    RecordingCanvas again;
    result = draw(sheet, again);
    EXPECT_EQ(sheet.graph, placed);
    EXPECT_EQ(result.figures[0].rect.width(), 10) << "the problem figure's own picture with answers hidden";

    // On the printer the rectangles are scaled.
    RecordingCanvas printer(4725, 6803, true, 600);
    draw(sheet, printer);
    EXPECT_EQ(printer.ofKind(CanvasOp::Kind::Picture).back().rect, (Rect{1500, 2250, 1725, 2550}));
}

TEST_F(DrawingPassTest, SixteenFiguresAreCutToFifteenWithAMessage)
{
    Worksheet sheet = sheetOf({"1"});
    for (int k = 0; k < 16; ++k)
        sheet.graph.insert(sheet.graph.end(), {"f.bmp", "100", "100"});
    RecordingCanvas canvas;
    const PageLayout& result = draw(sheet, canvas);
    EXPECT_EQ(result.figures.size(), 15u);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0], "16:問題のグラフが多すぎます15"_sj);
}

TEST_F(DrawingPassTest, PracticeEntriesReplaceTheAnswersAtTheRecordedPlaces)
{
    Worksheet sheet = sheetOf({"1+1=#22#です"_sj, "2+2=#4#"});
    RecordingCanvas screen;
    draw(sheet, screen);
    const PageLayout screenPage = of(sheet);

    std::vector<std::string> entries = {"5", "444"};
    options.entries = &entries;
    options.screen = &screenPage;
    options.answersShown = false;
    int marks = 0;
    RecordingCanvas practice;
    const PageLayout page = drawPage(sheet, practice, options, [&](Canvas&, double k) {
        EXPECT_EQ(k, 1.0);
        ++marks;
    });
    EXPECT_EQ(marks, 1);
    EXPECT_EQ(page.textX, screenPage.textX);
    // "5" is shorter than "22": a blank, the entry and blanks, cut to the answer's length.
    std::string drawn;
    for (const CanvasOp& op : textsIn(practice, colours::Blue))
        drawn += op.text;
    EXPECT_EQ(drawn, " 5444");
    EXPECT_EQ(practice.findText("です")->rect.left, screen.findText("です")->rect.left);
}

TEST_F(DrawingPassTest, TablesStopAtTheirLimitsAndThePageIsDrawnWhole)
{
    // 300 answers: 5 a line on 60 lines.
    Lines lines(60, "#1##2##3##4##5#");
    Worksheet sheet = sheetOf(lines);
    RecordingCanvas canvas;
    draw(sheet, canvas);
    EXPECT_EQ(of(sheet).answerBoxes.size(), 80u);
    EXPECT_EQ(of(sheet).answerList.size(), 301u);
    EXPECT_EQ(of(sheet).segments.size(), 240u);
    EXPECT_EQ(of(sheet).textX.size(), 240u);
    EXPECT_TRUE(of(sheet).overflow);
    EXPECT_EQ(textsIn(canvas, colours::Blue).size(), 300u);

    // 1,000 segments on one line.
    std::string many;
    for (int i = 0; i < 500; ++i)
        many += "a#1#";
    Worksheet wide = sheetOf({many});
    RecordingCanvas canvas2;
    draw(wide, canvas2);
    EXPECT_EQ(of(wide).answerBoxes.size(), 80u);
    EXPECT_EQ(of(wide).segments.size(), 240u);
    EXPECT_TRUE(of(wide).overflow);

    // A page within the limits clears the flag again.
    wide.problemLines = {"1#2#"};
    RecordingCanvas canvas3;
    draw(wide, canvas3);
    EXPECT_FALSE(of(wide).overflow);
}

TEST_F(DrawingPassTest, BrokenMarkupAndAnyBytesDrawWithoutCrashing)
{
    Lines broken = {"[2+3/5#[1#", "1|3Qx",    "#|#",  "x#1#y#",     "@",   "@#@#@", "\"", "#\"#",
                    "#;;;#",      "]]]]/[[[", "\x81", "#\x81#\x82", "^^^", "1/",    "/",  "|)"};
    std::mt19937 random(11);
    for (int i = 0; i < 40; ++i) {
        std::string line;
        for (int n = static_cast<int>(random() % 40); n > 0; --n) {
            const char pick[] = "#;@\"[]|/^&()+-=*\\'<>12xgl~BIUX_ \x81\x40\x82\xA0\xFF";
            line += pick[random() % (sizeof pick - 1)];
        }
        broken.push_back(line);
    }
    Worksheet sheet = sheetOf(broken);
    sheet.settings.characterSize = -20;
    sheet.settings.answerBox = {5, -30, -8, "2", 0, 0, 0, 0, 0, 0};
    RecordingCanvas canvas;
    draw(sheet, canvas);
    RecordingCanvas printer(4725, 6803, true, 600);
    draw(sheet, printer);
    EXPECT_LE(of(sheet).answerBoxes.size(), 80u);
    for (const CanvasOp& op : canvas.texts())
        EXPECT_GE(op.font.sizePt, 1);
}

TEST_F(DrawingPassTest, DamagedLayoutValuesDrawWithinTheIntegersAndAreKept)
{
    auto picture = std::make_shared<Picture>();
    picture->width = 10;
    picture->height = 20;
    picture->pixels.assign(200, 0xFF000000);
    FigurePictures pictures;
    pictures.problem = {picture};
    options.figures = &pictures;

    for (const int v : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), 2000000000, -1999999999}) {
        for (int shape = 1; shape <= 5; ++shape) {
            SCOPED_TRACE(testing::Message() << "value " << v << ", shape " << shape);
            Worksheet sheet = sheetOf({"1/2+1/3=#5/6#", "x#1;2#y", "@+2#3#"});
            sheet.settings.characterSize = v;
            sheet.settings.lineSpacing = v;
            sheet.settings.leftMargin = v;
            sheet.settings.rightMargin = -v / 2;
            sheet.settings.answerBox = {shape, v, v, "2", v, v, v, v, v, v};
            sheet.graph = {"a.bmp", std::to_string(v), std::to_string(v)};
            const UnitSettings kept = sheet.settings;
            const Lines keptGraph = sheet.graph;

            RecordingCanvas screen;
            draw(sheet, screen);
            EXPECT_EQ(of(sheet).answerBoxes.size(), 3u);
            RecordingCanvas printer(4725, 6803, true, 600);
            draw(sheet, printer);
            EXPECT_EQ(sheet.settings, kept) << "the file's values are written back unchanged";
            if (v >= 1) {
                EXPECT_EQ(sheet.graph, keptGraph) << "a figure placed far off stays where the file says";
            }
        }
    }
    // A printer page of no size draws nothing.
    Worksheet sheet = sheetOf({"1#2#"});
    RecordingCanvas empty(0, 0, true, 600);
    draw(sheet, empty);
    EXPECT_TRUE(empty.ops.empty());
}

} // namespace
} // namespace tavola

#include "question/unit_settings.h"
#include "question_test_util.h"

#include <gtest/gtest.h>

using namespace tavola;
using tavola::test::sjLines;
using tavola::test::u8;

namespace {

UnitData withValue(Lines value)
{
    UnitData u;
    u.value = std::move(value);
    u.hasValue = true;
    return u;
}

} // namespace

TEST(UnitSettings, DefaultsOfAUnitWithoutLayoutBlocks)
{
    UnitSettings s = unitSettings(UnitData{}, true);
    EXPECT_EQ(s.paper.width, 630);
    EXPECT_EQ(s.paper.height, 891);
    EXPECT_TRUE(s.answersShown);
    EXPECT_EQ(s.lineSpacing, 30);
    EXPECT_EQ(s.leftMargin, 5);
    EXPECT_EQ(s.rightMargin, 5);
    EXPECT_EQ(s.startNumber, 1);
    EXPECT_EQ(s.optionBits, 7);
    EXPECT_EQ(s.characterSize, 14);
    EXPECT_EQ(u8(s.textFace), "ＭＳ 明朝");
    EXPECT_EQ(s.kranLines(), (Lines{"2", "10", "4", "0", "0", "0", "15", "10", "0", "0"}));
    // Without a "<<font" block the font lines written to a copy or master file are CP932 like the rest of it.
    EXPECT_EQ(s.fontLines(), sjLines({"14", "MS 明朝", "False", "False", "False", "False", "ＭＳ 明朝"}));

    // A "<<font" block without "<<value" still sets the size and the face.
    UnitData fontOnly;
    fontOnly.font = sjLines({"20", "MS 明朝", "True", "False", "False", "False", "ＭＳ ゴシック"});
    fontOnly.hasFont = true;
    s = unitSettings(fontOnly);
    EXPECT_EQ(s.characterSize, 20);
    EXPECT_EQ(u8(s.textFace), "ＭＳ ゴシック");
    EXPECT_EQ(s.secondaryFont[1], "True");
    EXPECT_EQ(s.lineSpacing, 30);
}

TEST(UnitSettings, PaperFromTheWidth)
{
    struct Case {
        const char* width;
        int w, h;
    };
    for (Case c : {Case{"546", 546, 771}, Case{"630", 630, 891}, Case{"771", 771, 1092}, Case{"891", 891, 1260},
                   Case{"True", 630, 891}, Case{"False", 630, 891},
                   // The paper table decides: any other width leaves a new worksheet on A4.
                   Case{"600", 630, 891}, Case{"700", 630, 891}, Case{"100000", 630, 891}, Case{"0", 630, 891},
                   Case{"-546", 630, 891}}) {
        UnitSettings s = unitSettings(withValue({c.width, "False", "40", "5", "5", "1", "7"}));
        EXPECT_EQ(s.paper.width, c.w) << c.width;
        EXPECT_EQ(s.paper.height, c.h) << c.width;
    }
}

TEST(UnitSettings, ValueLinesAndOptionBits)
{
    // Line 2 is not read: the main window's choice stands.
    UnitSettings s = unitSettings(withValue({"771", "True", "-5", "0", "15", "100", "31"}), false);
    EXPECT_FALSE(s.answersShown);
    EXPECT_EQ(s.lineSpacing, -5);
    EXPECT_EQ(s.leftMargin, 0);
    EXPECT_EQ(s.rightMargin, 15);
    EXPECT_EQ(s.startNumber, 100);
    EXPECT_EQ(s.optionBits, 15);
    for (auto [text, bits] : std::vector<std::pair<const char*, int>>{{"True", 7}, {"False", 7}, {"16", 15}, {"0", 0}})
        EXPECT_EQ(unitSettings(withValue({"630", "False", "40", "5", "5", "1", text})).optionBits, bits) << text;
    // A "<<value" block without "<<font" keeps size 14 and the main face.
    EXPECT_EQ(s.characterSize, 14);
}

TEST(UnitSettings, FontFaceZeroIsTheMainFace)
{
    UnitData u;
    u.font = {"12", "MS", "False", "False", "False", "False", "0"};
    u.hasFont = true;
    EXPECT_EQ(u8(unitSettings(u).textFace), "ＭＳ 明朝");
}

TEST(UnitSettings, KranItemsAsRead)
{
    UnitData u;
    u.kran = {"1", "12", "3", "2", "8", "-1", "16", "11", "5", "9"};
    u.hasKran = true;
    UnitSettings s = unitSettings(u);
    EXPECT_EQ(s.answerBox, (AnswerBoxSettings{.shape = 1,
                                              .width = 12,
                                              .height = 3,
                                              .columns = "2",
                                              .answerX = 8,
                                              .answerY = -1,
                                              .insetX = 16,
                                              .insetY = 11,
                                              .subLineSpacing = 5,
                                              .reserved = 9}));
    EXPECT_TRUE(s.answerBox.twoColumns());

    // The columns item is compared as text, and written back as read.
    for (auto [text, two] : std::vector<std::pair<const char*, bool>>{
             {"2", true}, {"02", false}, {"+2", false}, {"0", false}, {"1", false}}) {
        u.kran[3] = text;
        s = unitSettings(u);
        EXPECT_EQ(s.answerBox.twoColumns(), two) << text;
        EXPECT_EQ(s.kranLines()[3], text);
    }
    u.kran.resize(3);
    EXPECT_FALSE(unitSettings(u).answerBox.twoColumns());
}

TEST(UnitSettings, WrittenBackAsTheBlocksRead)
{
    UnitData u;
    u.value = {"546", "False", "35", "4", "6", "3", "5"};
    u.font = sjLines({"16", "MS 明朝", "False", "True", "False", "False", "0"});
    u.kran = {"4", "12", "3", "0", "0", "1", "15", "10", "2", "9"};
    u.hasValue = u.hasFont = u.hasKran = true;
    UnitSettings s = unitSettings(u, true);
    Lines value = u.value;
    value[1] = "True"; // written from the worksheet's state
    EXPECT_EQ(s.valueLines(), value);
    Lines font = u.font;
    font[6] = sjis::encode("ＭＳ 明朝"); // the face in use
    EXPECT_EQ(s.fontLines(), font);
    EXPECT_EQ(s.kranLines(), u.kran);

    Lines layout = s.layoutBlockLines();
    ASSERT_EQ(layout.size(), 30u);
    EXPECT_EQ(layout[0], "<<value");
    EXPECT_EQ(layout[8], ">>");
    EXPECT_EQ(layout[9], "<<font");
    EXPECT_EQ(layout[18], "<<kran");
    EXPECT_EQ(layout[29], ">>");

    // The valueLineNumber rules the reader checks with.
    EXPECT_FALSE(valueLineIsNumber(2));
    EXPECT_EQ(valueLineNumber(1, "True"), 630);
    EXPECT_EQ(valueLineNumber(7, "False"), 7);
    EXPECT_FALSE(valueLineNumber(3, "True").has_value());
    EXPECT_FALSE(valueLineNumber(4, "").has_value());
}

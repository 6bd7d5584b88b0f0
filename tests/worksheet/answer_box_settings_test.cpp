#include "worksheet/answer_box_settings.h"

#include "platform/sjis.h"

#include <gtest/gtest.h>

namespace tavola {
namespace {

Worksheet sheetWithKran(Lines kran)
{
    UnitData unit;
    unit.title = "題"_sj;
    unit.problemLines = {"1/2+1/3=#5/6#"};
    unit.kran = std::move(kran);
    unit.hasKran = !unit.kran.empty();
    return makeWorksheet(unit, true);
}

TEST(AnswerBoxSettings, ShapeButtonsTheirSpinsAndWhetherChoosingThemMarksTheSheet)
{
    struct Case {
        int item0;
        BoxShape button;
        SizeSpinsEnabled spins;
        bool marks;
    };
    const Case cases[] = {
        {0, BoxShape::None, {false, false}, true},
        {1, BoxShape::Square, {true, true}, false},
        {2, BoxShape::Brackets, {true, false}, false},
        {3, BoxShape::LenticularBrackets, {true, false}, false},
        {4, BoxShape::Underline, {true, false}, true},
        {5, BoxShape::Rounded, {true, true}, false},
        // Values no button stands for select なし.
        {6, BoxShape::None, {false, false}, true},
        {-1, BoxShape::None, {false, false}, true},
        {99, BoxShape::None, {false, false}, true},
    };
    for (const Case& c : cases) {
        BoxShape button = shapeButtonOf(c.item0);
        EXPECT_EQ(button, c.button) << c.item0;
        EXPECT_EQ(sizeSpinsEnabled(button), c.spins) << c.item0;
        EXPECT_EQ(shapeChoiceMarksChanged(button), c.marks) << c.item0;
    }
}

TEST(AnswerBoxSettings, EachControlWritesItsOwnItemOrMarginAndNothingElse)
{
    struct Case {
        SettingControl control;
        int value;
        bool marks;
        void (*expect)(UnitSettings&, int);
    };
    const Case cases[] = {
        {SettingControl::Shape, 1, false, [](UnitSettings& s, int v) { s.answerBox.shape = v; }},
        {SettingControl::Shape, 5, false, [](UnitSettings& s, int v) { s.answerBox.shape = v; }},
        {SettingControl::Shape, 0, true, [](UnitSettings& s, int v) { s.answerBox.shape = v; }},
        {SettingControl::Shape, 4, true, [](UnitSettings& s, int v) { s.answerBox.shape = v; }},
        {SettingControl::BoxWidth, 15, true, [](UnitSettings& s, int v) { s.answerBox.width = v; }},
        {SettingControl::BoxHeight, 7, true, [](UnitSettings& s, int v) { s.answerBox.height = v; }},
        {SettingControl::AnswerX, 30, true, [](UnitSettings& s, int v) { s.answerBox.answerX = v; }},
        {SettingControl::AnswerY, -2, true, [](UnitSettings& s, int v) { s.answerBox.answerY = v; }},
        {SettingControl::BoxInsetX, 20, true, [](UnitSettings& s, int v) { s.answerBox.insetX = v; }},
        {SettingControl::BoxInsetY, 12, true, [](UnitSettings& s, int v) { s.answerBox.insetY = v; }},
        {SettingControl::LeftMargin, 0, true, [](UnitSettings& s, int v) { s.leftMargin = v; }},
        {SettingControl::RightMargin, 15, true, [](UnitSettings& s, int v) { s.rightMargin = v; }},
    };
    for (const Case& c : cases) {
        Worksheet sheet = sheetWithKran({});
        UnitSettings expected = sheet.settings;
        c.expect(expected, c.value);

        EXPECT_EQ(applySetting(sheet, c.control, c.value), c.marks) << static_cast<int>(c.control) << " " << c.value;
        EXPECT_EQ(sheet.settings, expected) << static_cast<int>(c.control) << " " << c.value;
        EXPECT_EQ(settingValue(sheet, c.control), c.value);
    }
}

TEST(AnswerBoxSettings, SpinRangesHoldEveryDefaultAndWidenForValuesFromTheFile)
{
    EXPECT_EQ(spinRange(SettingControl::LeftMargin), (SpinRange{0, 15}));
    EXPECT_EQ(spinRange(SettingControl::RightMargin), (SpinRange{0, 15}));

    Worksheet sheet = sheetWithKran({});
    for (SettingControl control : {SettingControl::BoxWidth, SettingControl::BoxHeight, SettingControl::AnswerX,
                                   SettingControl::AnswerY, SettingControl::BoxInsetX, SettingControl::BoxInsetY,
                                   SettingControl::LeftMargin, SettingControl::RightMargin}) {
        SpinRange range = spinRange(control);
        int value = settingValue(sheet, control);
        EXPECT_LE(range.min, value) << static_cast<int>(control);
        EXPECT_GE(range.max, value) << static_cast<int>(control);
    }

    struct Case {
        SpinRange range;
        int value;
        SpinRange widened;
    };
    const Case cases[] = {
        {{0, 15}, 7, {0, 15}},  {{0, 15}, 0, {0, 15}},   {{0, 15}, 15, {0, 15}},
        {{0, 15}, 20, {0, 20}}, {{0, 15}, -3, {-3, 15}}, {{-10, 60}, 200, {-10, 200}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rangeHolding(c.range, c.value), c.widened) << c.value;
}

TEST(AnswerBoxSettings, ClosingWritesTheSizesAndTellsWhetherThatAlteredThem)
{
    Worksheet sheet = sheetWithKran({"1", "12", "6", "2", "3", "0", "15", "10", "0", "0"});
    UnitSettings before = sheet.settings;
    EXPECT_FALSE(applyClosingSizes(sheet, 12, 6));
    EXPECT_EQ(sheet.settings, before);

    EXPECT_TRUE(applyClosingSizes(sheet, 20, 6));
    EXPECT_EQ(sheet.settings.kranLines(), (Lines{"1", "20", "6", "2", "3", "0", "15", "10", "0", "0"}));
    EXPECT_TRUE(applyClosingSizes(sheet, 20, 9));
    EXPECT_EQ(sheet.settings.answerBox.height, 9);
}

} // namespace
} // namespace tavola

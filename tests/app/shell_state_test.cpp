#include "app/main_keys.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "platform/line_file.h"
#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tavola;

TEST(ApplyPaper, EveryWidthChecksItsButton)
{
    struct Case {
        int width;
        PaperChoice choice;
    };
    const Case cases[] = {
        {546, PaperChoice::B5}, {630, PaperChoice::A4}, {771, PaperChoice::B4},
        {891, PaperChoice::A3}, {999, PaperChoice::A4}, // any other width checks A4
        {0, PaperChoice::A4},   {545, PaperChoice::A4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(applyPaperRule(c.width), c.choice);
    }
}

TEST(ShellState, StartsWithTheCommonLearner)
{
    ShellState state;
    EXPECT_EQ(state.learnerName, "共通"_sj);
}

TEST(ShellState, FindWindowGivesTheFirstEqualCaption)
{
    ShellState state;
    state.openWindowList = {"a.que-U1", "b.que-U2", "a.que-U1"};
    EXPECT_EQ(findWindow(state, "a.que-U1"), 0);
    EXPECT_EQ(findWindow(state, "b.que-U2"), 1);
    EXPECT_EQ(findWindow(state, "b.que-U2R1"), -1);
    EXPECT_EQ(findWindow(state, ""), -1);
}

TEST(ShellState, DefaultBlocksOfANewUnit)
{
    const Lines& lines = defaultBlockLines();
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[0], "<<value");
    EXPECT_EQ(lines[1], "630");
    EXPECT_EQ(lines[9], "<<font");
    EXPECT_EQ(lines[11], "MS 明朝"_sj);
    EXPECT_EQ(lines[18], "<<kran");
    // Box width 20: an entry such as "1 7/12" fits (a width of 15 cut it off).
    EXPECT_EQ(lines[20], "20");
    EXPECT_EQ(lines[29], ">>");
}

TEST(ShellState, ANewUnitStartsFromTheLayoutOfTheSampleUnits)
{
    // The template of a new unit is a fraction drill as the sample courseware lays one out: the same paper, line
    // spacing, margins, options and character size, square boxes of the same height and insets. Only the box width
    // and the answer column, which the sample fits to each unit's answers, may differ.
    auto sample = readLineFile(std::string(TAVOLA_SAMPLE_DIR) + "/tasu/tasu1.que");
    ASSERT_TRUE(sample.has_value());
    auto value = std::find(sample->begin(), sample->end(), "<<value");
    ASSERT_LE(value + 30, sample->end());
    const Lines unit(value, value + 30);
    const Lines& made = defaultBlockLines();
    ASSERT_EQ(made.size(), unit.size());
    for (std::size_t i = 0; i < made.size(); ++i) {
        if (i == 20 || i == 23) continue; // kran lines 2 (box width) and 5 (answer column)
        EXPECT_EQ(made[i], unit[i]) << "line " << i + 1 << " of the blocks";
    }
    EXPECT_EQ(made[23], "0"); // the answer right after the text, whatever its length
}

TEST(MainKeys, WhatEachKeyDoes)
{
    struct Case {
        MainKey key;
        KeyModifiers modifiers;
        bool copyEnabled;
        MainKeyAction action;
    };
    const KeyModifiers none{}, shift{true, false, false}, ctrl{false, true, false}, alt{false, false, true},
        shiftCtrl{true, true, false}, ctrlAlt{false, true, true};
    const Case cases[] = {
        {MainKey::Enter, none, false, MainKeyAction::Study},
        {MainKey::Enter, shift, false, MainKeyAction::Study},
        {MainKey::Escape, shift, false, MainKeyAction::CloseMainWindow},
        {MainKey::Escape, none, false, MainKeyAction::CloseCurrentWorksheet},
        {MainKey::Escape, shiftCtrl, false, MainKeyAction::CloseCurrentWorksheet}, // only Shift alone ends
        {MainKey::Escape, KeyModifiers{true, false, true}, false, MainKeyAction::CloseCurrentWorksheet},
        {MainKey::PageUp, none, false, MainKeyAction::Scroll},
        {MainKey::PageDown, ctrl, false, MainKeyAction::Scroll},
        {MainKey::C, ctrl, true, MainKeyAction::CopyRectangle},
        {MainKey::C, ctrl, false, MainKeyAction::None}, // copy button disabled
        {MainKey::C, none, true, MainKeyAction::None},
        {MainKey::C, shiftCtrl, true, MainKeyAction::None},
        {MainKey::C, ctrlAlt, true, MainKeyAction::None},
        {MainKey::Other, alt, true, MainKeyAction::None},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        EXPECT_EQ(mainKeyAction(c.key, c.modifiers, c.copyEnabled), c.action);
    }
}

TEST(MainWindowGeometry, TitleButtonTipsPanelAndSavePopup)
{
    // 1280 × 996 window, 400 × 300 picture: the button is 410 × 320.
    EXPECT_EQ(titleButtonRect(1280, 996, 113, 400, 300), (Rect{368, 288, 778, 608}));
    // Without a picture the button is 10 × 20.
    EXPECT_EQ(titleButtonRect(800, 572, 113, 0, 0), (Rect{328, 226, 338, 246}));
    // div truncates toward zero: a picture wider than the free area gives -13 (not -14) for -27 / 2.
    Rect wide = titleButtonRect(800, 572, 113, 684, 0);
    EXPECT_EQ(wide.left, -13);
    EXPECT_EQ(wide.width(), 694);

    EXPECT_EQ(tipsPanelPosition(1280, 996, 113, 330, 300), (Point{526, 308}));
    EXPECT_EQ(tipsPanelPosition(1280, 996, 113, 331, 301), (Point{526, 307}));
    // A window smaller than the panel: -53 / 2 is -26, -80 / 2 is -40.
    EXPECT_EQ(tipsPanelPosition(400, 300, 113, 330, 300), (Point{87, -40}));

    EXPECT_EQ(savePopupPosition({4, 100, 109, 132}), (Point{79, 95}));
}

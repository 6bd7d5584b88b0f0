#include "courseware/menu_courseware.h"
#include "courseware/unit_menu.h"

#include <gtest/gtest.h>

using namespace tavola;

namespace {

std::string utf8(const std::string& cp932)
{
    return sjis::toUtf8(cp932);
}

std::vector<std::string> utf8(const std::vector<std::string>& texts)
{
    std::vector<std::string> out;
    for (const std::string& t : texts)
        out.push_back(utf8(t));
    return out;
}

struct Menu : test::MenuState {
    std::string learner = "花子";
    UnitMenu menu{context([this](int n) { return c.dir() + index.lessonFolder(n) + sjis::encode(learner) + ".ini"; })};

    Menu() { EXPECT_TRUE(mainIndexRead); }
};

} // namespace

TEST(UnitMenu, TheFirstShowChoosesLessonOneSectionOneAndItsFirstUnit)
{
    Menu m;
    m.menu.show();
    EXPECT_EQ(m.menu.lessonIndex(), 0);
    EXPECT_EQ(m.menu.sectionIndex(), 0);
    EXPECT_EQ(m.menu.unitIndex(), 0);
    EXPECT_EQ(utf8(m.menu.sections()), (std::vector<std::string>{"同じ分母", "ちがう分母", "まとめ"}));
    EXPECT_EQ(utf8(m.menu.similarProblems()), (std::vector<std::string>{"類題　1R1", "類題　1R2"}));
    EXPECT_TRUE(m.menu.takeFocusUnitList());
    EXPECT_FALSE(m.marksStale);
    EXPECT_TRUE(m.marks.hasSimilar(1, 1));
    EXPECT_TRUE(m.prompts.shown.empty());
}

TEST(UnitMenu, WalkingToAUnitAndOkGivesItsPositionAndTexts)
{
    Menu m;
    m.menu.show();
    m.menu.lessonChosen(0);
    m.menu.sectionChosen(1);
    EXPECT_EQ(m.menu.lastPosition().section, 2);
    EXPECT_EQ(m.menu.unitIndex(), 0);
    m.menu.unitChosen(2);
    EXPECT_EQ(utf8(m.menu.similarProblems()), (std::vector<std::string>{"類題　3R1", "類題　3R2", "類題　3R3"}));
    ASSERT_TRUE(m.menu.ok());
    EXPECT_EQ(m.menu.lastPosition(), (UnitPosition{1, 2, 3, 0}));
    const MenuChoice& choice = m.menu.choice();
    EXPECT_EQ(choice.position, (UnitPosition{1, 2, 3, 0}));
    EXPECT_EQ(utf8(choice.lessonText), "たし算");
    EXPECT_EQ(utf8(choice.sectionText), "ちがう分母");
    EXPECT_EQ(utf8(choice.unitText), "通分３");
    EXPECT_FALSE(choice.similarSelected);
}

TEST(UnitMenu, WithSeveralSimilarProblemsSelectedTheFocusedOneCounts)
{
    Menu m;
    m.menu.show();
    m.menu.sectionChosen(1);
    m.menu.unitChosen(2);
    m.menu.similarClicked(true, 2);
    EXPECT_TRUE(m.menu.unitPanelAlert());
    m.menu.similarClicked(true, 0);
    ASSERT_TRUE(m.menu.ok());
    EXPECT_EQ(m.menu.lastPosition(), (UnitPosition{1, 2, 3, 1}));
    EXPECT_TRUE(m.menu.choice().similarSelected);

    // Cleared again: the unit itself.
    m.menu.clearSimilarSelection();
    EXPECT_FALSE(m.menu.unitPanelAlert());
    ASSERT_TRUE(m.menu.ok());
    EXPECT_EQ(m.menu.lastPosition().similar, 0);
    // Deselecting the last one turns the panel back.
    m.menu.similarClicked(true, 1);
    m.menu.similarClicked(false, 1);
    EXPECT_FALSE(m.menu.unitPanelAlert());
    ASSERT_TRUE(m.menu.ok());
    EXPECT_FALSE(m.menu.choice().similarSelected);
}

TEST(UnitMenu, OnlyTheFirstSimilarProblemsInOrderAreListed)
{
    Menu m;
    m.menu.show();
    m.menu.unitChosen(1); // unit 2 has only a similar problem 2
    EXPECT_TRUE(m.menu.similarProblems().empty());
    EXPECT_FALSE(m.marks.hasSimilar(1, 2));
}

TEST(UnitMenu, AnIncompleteChoiceAsksForAMenu)
{
    Menu m;
    // Nothing chosen yet.
    EXPECT_FALSE(m.menu.ok());
    m.menu.show();
    // An empty section: nothing selected in the unit list.
    m.menu.sectionChosen(2);
    EXPECT_TRUE(m.menu.units().empty());
    EXPECT_EQ(m.menu.unitIndex(), -1);
    EXPECT_TRUE(m.menu.similarProblems().empty());
    EXPECT_FALSE(m.menu.ok());
    EXPECT_EQ(m.prompts.shownUtf8(),
              (std::vector<std::string>{"メニューを選択してください", "メニューを選択してください"}));
    EXPECT_EQ(m.menu.lastPosition().section, 3);
}

TEST(UnitMenu, ALessonThatCannotBeReadIsNotOpened)
{
    struct Case {
        const char* removed;
        const char* message;
    } cases[] = {
        {"L2", "ディレクトリ {dir}L2\\ が見つかりません"},
        {"L2\\hiki.ind", "ファイル {dir}L2\\hiki.ind が見つかりません"},
    };
    for (const Case& k : cases) {
        Menu m;
        m.c.remove(k.removed);
        m.menu.show();
        m.menu.lessonChosen(1);
        std::string expected = k.message;
        expected.replace(expected.find("{dir}"), 5, utf8(m.c.dir()));
        EXPECT_EQ(m.prompts.shownUtf8(), (std::vector<std::string>{expected}));
        EXPECT_EQ(m.menu.lastPosition().lesson, -1);
        EXPECT_EQ(m.menu.lastPosition().section, 1); // kept from browsing lesson 1
        // Lesson 1's sections are not left standing under lesson 2.
        EXPECT_TRUE(m.menu.sections().empty());
        EXPECT_TRUE(m.menu.units().empty());
        EXPECT_FALSE(m.menu.ok());
        // Lesson 1 can be chosen again.
        m.menu.lessonChosen(0);
        EXPECT_EQ(m.menu.lastPosition().lesson, 1);
        EXPECT_EQ(m.menu.sections().size(), 3u);
    }
}

TEST(UnitMenu, LaterShowsKeepTheChoiceUntilTheIndexChanges)
{
    Menu m;
    m.menu.show();
    m.menu.lessonChosen(1);
    m.menu.similarClicked(true, 0);
    m.c.writeMaster("L2\\hiki1.que", {"[[unit1", "[[unit1R1", "[[unit1R2"});

    // The next show refreshes the similar problems of the chosen unit and clears their selection.
    m.menu.show();
    EXPECT_EQ(m.menu.lessonIndex(), 1);
    EXPECT_EQ(m.menu.similarProblems().size(), 2u);
    EXPECT_FALSE(m.menu.similarAnySelected());
    EXPECT_FALSE(m.menu.unitPanelAlert());

    // After the index editor rewrote the index: Main.ind is read again and the walk starts at lesson 1.
    m.c.writeMain({"ひき算,L2\\\\hiki", "たし算,L1\\\\tashi"}, "新しい題");
    m.indexChanged = true;
    m.menu.show();
    EXPECT_FALSE(m.indexChanged);
    EXPECT_EQ(utf8(m.menu.title()), "新しい題");
    EXPECT_EQ(utf8(m.menu.lessons()), (std::vector<std::string>{"ひき算", "たし算"}));
    EXPECT_EQ(m.menu.lessonIndex(), 0);
    EXPECT_EQ(utf8(m.menu.sections()), (std::vector<std::string>{"ひき算"}));
    EXPECT_EQ(m.menu.unitIndex(), 0);
}

TEST(UnitMenu, ChoosingALessonRefreshesTheMarksForTheLearner)
{
    Menu m;
    m.c.addRecords("L2\\花子.ini", "S11ひき算１", 2);
    m.menu.show();
    m.menu.lessonChosen(1);
    EXPECT_EQ(sjis::toUtf8(m.marks.mark(1, 1)), "◎[2]");
    m.learner = "太郎";
    m.menu.refreshMarks();
    EXPECT_EQ(sjis::toUtf8(m.marks.mark(1, 1)), "◎[ ]");
}

TEST(UnitMenu, AReReadIndexRescansTheSimilarProblemMarks)
{
    Menu m;
    m.menu.show();
    EXPECT_FALSE(m.marksStale);
    EXPECT_FALSE(m.marks.hasSimilar(1, 4));

    // The index editor adds a fourth unit line to section 1, whose record and similar problem already exist.
    m.c.writeSubIndex("L1\\tashi.ind", "分数のたし算",
                      {{"同じ分母", {"分母が同じ１", "分母が同じ２", "分母が同じ３", "分母が同じ４"}},
                       {"ちがう分母", {"通分１", "通分２", "通分３", "通分４"}},
                       {"まとめ", {}}});
    m.c.writeMaster("L1\\tashi1.que",
                    {"[[unit1", "[[unit1R1", "[[unit1R2", "[[unit2", "[[unit2R2", "[[unit3", "[[unit4", "[[unit4R1"});
    m.indexChanged = true;
    m.menu.show();
    EXPECT_EQ(m.menu.units().size(), 4u);
    EXPECT_TRUE(m.marks.hasSimilar(1, 4));
    EXPECT_EQ(sjis::toUtf8(m.marks.mark(1, 4)), "◎[ ]");
    EXPECT_FALSE(m.marksStale);
}

#include "practice/followup_sheet.h"

#include "platform/line_file.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "question/unit_reader.h"
#include "support/recording_canvas.h"
#include "support/temp_folder.h"
#include "variant/problem_text.h"
#include "variant/variant_generator.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavola;

namespace {

std::string sj(const std::string& utf8)
{
    return sjis::encode(utf8);
}

// "2026年03月<day>日 09:07 [trail] ..." with an optional similar-problem tag.
std::string rec(int day, const std::string& trail, const std::string& similar = {})
{
    return similar + "2026年03月" + (day < 10 ? "0" : "") + std::to_string(day) + "日 09:07 [" + trail +
           "]  1/ 3  33点 01:00";
}

Lines blocks(int spacing)
{
    return {"<<value", "630",    "False",  std::to_string(spacing),
            "5",       "5",      "1",      "7",
            ">>",      "<<font", "14",     "MS 明朝",
            "False",   "False",  "False",  "False",
            "0",       ">>",     "<<kran", "1",
            "14",      "20",     "0",      "0",
            "0",       "15",     "10",     "0",
            "0",       ">>"};
}

// One lesson of two sections. Unit 1-1 has three problems under an instruction line, and a similar problem with
// two; unit 1-2 has two problems on its first line and one on the second; unit 2-1 has 24 problems widely
// spaced, more than one page holds.
struct Courseware {
    test::TempFolder folder;
    CoursewareIndex index{folder.systemPath()};

    Courseware()
    {
        write("Main.ind", {"算数", "", "たし算,tasu\\\\tasu", ">>"});
        write("tasu/tasu.ind", {"たし算", "[[sect1", "同じ分母", "<<", "同じ分母のたし算", "二つずつ", ">>", "]]",
                                "[[sect2", "たくさん", "<<", "たくさんのたし算", ">>", "]]"});
        Lines one{"[[unit1",
                  "<<ques",
                  "１．次の計算をしましょう。",
                  "(1)  1/5+2/5=# 3/5 #",
                  "(2)  2/7+3/7=# 5/7 #",
                  "(3)  1/9+4/9=# 5/9 #",
                  ">>"};
        add(one, blocks(40));
        add(one, {"]]", "[[unit1R1", "<<ques", "(1)  1/6+1/6=# 2/6;1/3 #", "(2)  3/8+2/8=# 5/8 #", ">>"});
        add(one, blocks(40));
        add(one,
            {"]]", "[[unit2", "<<ques", "(1)  1/4+2/4=# 3/4 #　(2)  2/9+5/9=# 7/9 #", "(3)  3/11+5/11=# 8/11 #", ">>"});
        add(one, blocks(40));
        add(one, {"]]"});
        write("tasu/tasu1.que", one);
        Lines two{"[[unit1", "<<ques"};
        for (int k = 1; k <= 24; ++k)
            two.push_back("(" + std::to_string(k) + ")  " + std::to_string(k % 5 + 1) + "/13+" +
                          std::to_string(k % 4 + 2) + "/13=# " + std::to_string(k % 5 + k % 4 + 3) + "/13 #");
        two.push_back(">>");
        add(two, blocks(77));
        add(two, {"]]"});
        write("tasu/tasu2.que", two);
        EXPECT_TRUE(index.readMainIndex());
    }
    static void add(Lines& to, const Lines& more) { to.insert(to.end(), more.begin(), more.end()); }
    void write(const std::string& name, const Lines& utf8Lines) const
    {
        std::filesystem::create_directories(std::filesystem::path(folder.path() + "/" + name).parent_path());
        Lines lines;
        for (const std::string& l : utf8Lines)
            lines.push_back(sj(l));
        ASSERT_TRUE(writeLineFile(folder.systemPath(sj(name)), lines));
    }
    std::string learnerFile(const std::string& name, const Lines& utf8Lines) const
    {
        write("tasu/" + name + ".ini", utf8Lines);
        return folder.systemPath(sj("tasu/" + name + ".ini"));
    }
    FollowupMaker maker() const
    {
        return FollowupMaker(index, 1, [](const Worksheet& page) {
            test::RecordingCanvas canvas(page.settings.paper.width, page.settings.paper.height);
            return layoutPage(page, canvas, {});
        });
    }
};

struct Chosen {
    int section, unit, similar, line;
    std::vector<int> boxes;
};

struct Case {
    const char* name;
    Lines file;
    std::vector<Chosen> chosen; // in sheet order
    const char* note;           // a text the notes hold, or null for none
};

TEST(FollowupSheet, ChoosesTheWrongFirstTriesOfTheLatestPracticeOfEachUnit)
{
    const Case cases[] = {
        {"all right", {"[S11同じ分母のたし算]", "1=" + rec(1, "100"), "2=" + rec(2, "000")}, {}, nullptr},
        {"one wrong", {"[S11同じ分母のたし算]", "1=" + rec(1, "010")}, {{1, 1, 0, 3, {2}}}, nullptr},
        {"several units, the latest first",
         {"[S11同じ分母のたし算]", "1=" + rec(1, "101"), "[S12二つずつ]", "1=" + rec(5, "020")},
         {{1, 2, 0, 1, {2}}, {1, 1, 0, 2, {1}}, {1, 1, 0, 4, {3}}},
         nullptr},
        {"two boxes wrong on one line come as one problem",
         {"[S12二つずつ]", "1=" + rec(1, "110")},
         {{1, 2, 0, 1, {1, 2}}},
         nullptr},
        {"a similar problem's record",
         {"[S11同じ分母のたし算]", "1=" + rec(1, "100"), "2=" + rec(2, "01", "類題1)")},
         {{1, 1, 1, 2, {2}}},
         nullptr},
        {"a test record after the practice",
         {"[S11同じ分母のたし算]", "1=" + rec(1, "001"), "2=" + rec(2, "")},
         {{1, 1, 0, 4, {3}}},
         nullptr},
        {"a trail of the wrong length is skipped and named",
         {"[S11同じ分母のたし算]", "1=" + rec(1, "01"), "[S12二つずつ]", "1=" + rec(1, "001")},
         {{1, 2, 0, 2, {3}}},
         "解答欄2個分ですが、単元の解答欄は3個です"},
        {"a damaged record is skipped",
         {"[S11同じ分母のたし算]", "1=" + rec(1, "100"), "2=これは記録ではない", "x=" + rec(3, "000")},
         {{1, 1, 0, 2, {1}}},
         nullptr},
        {"a missing file", {}, {}, nullptr},
    };
    Courseware cw;
    FollowupMaker maker = cw.maker();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file =
            c.file.empty() ? cw.folder.systemPath(sj("tasu/nobody.ini")) : cw.learnerFile("taro", c.file);
        FollowupSheet sheet = maker.make(sj("太郎"), file);
        ASSERT_EQ(sheet.problems.size(), c.chosen.size());
        EXPECT_EQ(sheet.made(), !c.chosen.empty());
        for (std::size_t k = 0; k < c.chosen.size(); ++k) {
            const FollowupProblem& p = sheet.problems[k];
            EXPECT_EQ(p.position, (UnitPosition{1, c.chosen[k].section, c.chosen[k].unit, c.chosen[k].similar}));
            EXPECT_EQ(p.line, c.chosen[k].line);
            EXPECT_EQ(p.boxes, c.chosen[k].boxes);
        }
        if (c.note == nullptr) {
            EXPECT_TRUE(sheet.notes.empty());
        } else {
            ASSERT_EQ(sheet.notes.size(), 1u);
            EXPECT_NE(sheet.notes[0].find(sj(c.note)), std::string::npos) << sjis::toUtf8(sheet.notes[0]);
        }
    }
}

TEST(FollowupSheet, NewNumbersOfTheSameShapeWithExactAnswersNumberedDownTheSheet)
{
    Courseware cw;
    FollowupMaker maker = cw.maker();
    std::string file = cw.learnerFile(
        "hanako", {"[S11同じ分母のたし算]", "1=" + rec(1, "111"), "[S12二つずつ]", "1=" + rec(2, "001")});
    FollowupSheet sheet = maker.make(sj("花子"), file);
    ASSERT_EQ(sheet.problems.size(), 4u);
    int varied = 0;
    for (std::size_t k = 0; k < sheet.problems.size(); ++k) {
        const FollowupProblem& p = sheet.problems[k];
        SCOPED_TRACE(sjis::toUtf8(p.text));
        EXPECT_EQ(p.text.rfind("(" + std::to_string(k + 1) + ")", 0), 0u);
        EXPECT_EQ(variant::shapeOf(p.text), variant::shapeOf(p.authored));
        EXPECT_FALSE(variant::firstAnswerDisagreement(p.text));
        varied += p.varied ? 1 : 0;
    }
    EXPECT_GE(varied, 3);
    // The same records give the same sheet; another learner gets other numbers.
    EXPECT_EQ(maker.make(sj("花子"), file).sheet.problemLines, sheet.sheet.problemLines);
    EXPECT_NE(maker.make(sj("次郎"), file).sheet.problemLines, sheet.sheet.problemLines);

    // The page: the title, a heading above each unit's problems, the most recent unit first.
    const Worksheet& page = sheet.sheet;
    EXPECT_EQ(page.title, sj("花子さんのふくしゅう"));
    ASSERT_EQ(page.problemLines.size(), 6u);
    EXPECT_EQ(page.problemLines[0], sj("\"§1-2　二つずつ"));
    EXPECT_EQ(page.problemLines[1], sheet.problems[0].text);
    EXPECT_EQ(page.problemLines[2], sj("\"§1-1　同じ分母のたし算"));
    EXPECT_EQ(page.settings.paper.width, 630);
    EXPECT_FALSE(page.settings.answersShown);

    // The key holds the sheet's problems with their answers shown.
    const Worksheet key = followupKey(page);
    EXPECT_EQ(key.problemLines, page.problemLines);
    EXPECT_TRUE(key.settings.answersShown);
    EXPECT_EQ(key.title, sj("花子さんのふくしゅう（解答）"));
    test::RecordingCanvas canvas;
    const PageLayout layout = layoutPage(key, canvas, {});
    Lines expected{"start"};
    for (const FollowupProblem& p : sheet.problems)
        expected.insert(expected.end(), p.answers.begin(), p.answers.end());
    Lines drawn;
    for (const std::string& a : layout.answerList)
        drawn.push_back(trimAnswerText(a));
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(layout.answerBoxes.size(), 4u);
}

TEST(FollowupSheet, AsManyAsFitAPageAndTheCopyFileReadsBack)
{
    Courseware cw;
    FollowupMaker maker = cw.maker();
    std::string file = cw.learnerFile("jiro", {"[S21たくさんのたし算]", "1=" + rec(1, std::string(24, '1'))});
    FollowupSheet sheet = maker.make(sj("次郎"), file);
    ASSERT_TRUE(sheet.made());
    EXPECT_GT(sheet.leftOut, 0);
    EXPECT_EQ(sheet.problems.size() + static_cast<std::size_t>(sheet.leftOut), 24u);
    test::RecordingCanvas canvas;
    EXPECT_FALSE(layoutPage(sheet.sheet, canvas, {}).runsOffPage());

    auto path = saveFollowupCopy(cw.index, 1, sheet);
    ASSERT_TRUE(path) << sjis::toUtf8(path.message());
    EXPECT_EQ(*path, cw.folder.systemPath(sj("tasu\\次郎さんのふくしゅう.prp")));
    UnitReader reader;
    ASSERT_TRUE(reader.read(copyReadRequest(*path)));
    EXPECT_EQ(reader.unit().title, sheet.sheet.title);
    EXPECT_EQ(reader.unit().problemLines, sheet.sheet.problemLines);
    EXPECT_EQ(makeWorksheet(reader.unit(), false).settings, sheet.sheet.settings);

    // Only the units chosen.
    ASSERT_TRUE(maker.chooseUnits({{1, 1}}));
    EXPECT_FALSE(maker.make(sj("次郎"), file).made());
    EXPECT_FALSE(maker.chooseUnits({{3, 1}}));
}

} // namespace

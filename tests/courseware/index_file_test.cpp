#include "courseware/index_file.h"
#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavola;

namespace {

// A courseware folder built line by line in the test; files are written as CP932 with CR LF.
class Courseware {
public:
    Courseware() { index.setCoursewareDir(dir.systemPath()); }
    void write(const std::string& name, const std::vector<std::string>& utf8Lines)
    {
        std::string sys = dir.systemPath(sjis::encode(name));
        std::filesystem::create_directories(std::filesystem::path(paths::realPath(sys)).parent_path());
        Lines lines;
        for (const auto& l : utf8Lines)
            lines.push_back(sjis::encode(l));
        ASSERT_TRUE(writeLineFile(sys, lines));
    }
    test::TempFolder dir;
    CoursewareIndex index;
};

std::vector<std::string> utf8(const std::vector<std::string>& cp932)
{
    std::vector<std::string> out;
    for (const auto& s : cp932)
        out.push_back(sjis::toUtf8(s));
    return out;
}

} // namespace

TEST(MainIndex, LessonLinesGiveNameFolderAndStem)
{
    Courseware cw;
    cw.write("Main.ind", {"分数の計算", "free text", "たし算,Lesson1\\\\tashi", "ひき算,Lesson2\\xhiki",
                          "no comma here", "noslash,abc", ">>", "after,end\\\\x"});
    ASSERT_TRUE(cw.index.readMainIndex());
    EXPECT_EQ(sjis::toUtf8(cw.index.title()), "分数の計算");
    EXPECT_EQ(utf8(cw.index.lessonList()), (std::vector<std::string>{"たし算", "ひき算", "?", "noslash"}));
    // The second "\" is the separator.
    EXPECT_EQ(cw.index.lessonFolder(1), "Lesson1\\");
    EXPECT_EQ(cw.index.lessonStem(1), "tashi");
    // Any one character after the "\" is skipped.
    EXPECT_EQ(cw.index.lessonStem(2), "hiki");
    // A line without "\" has an empty folder and a stem from the second character.
    EXPECT_EQ(cw.index.lessonFolder(4), "");
    EXPECT_EQ(cw.index.lessonStem(4), "oslash,abc");
    EXPECT_EQ(cw.index.lessonFolder(0), "");
    EXPECT_EQ(cw.index.lessonStem(81), "");
}

TEST(MainIndex, LessonsThatLeaveTheCoursewareAreRefused)
{
    Courseware cw;
    struct Case {
        const char* line; // after "name,"
        bool refused;
    } cases[] = {
        {"tasu\\\\tasu", false},
        {"..\\y", true},
        {"../../elsewhere\\x", true},
        {"a\\x\\..\\..\\b", true}, // the stem after the separator "x" climbs out
        {"tasu\\\\..\\x", true},   // the stem climbs out
        {"/etc\\x", true},
        {"C:\\x\\y", true},
        {"\\\\x", false},     // a folder of only "\": the courseware folder itself
        {"a..b\\\\c", false}, // dots inside a name
        {"表..\\\\x", false}, // 表 ends in the byte of "\": no separator
    };
    for (const Case& c : cases) {
        cw.write("Main.ind", {"t", "", std::string("課,") + c.line, ">>"});
        ASSERT_TRUE(cw.index.readMainIndex());
        const std::string refusal = sjis::toUtf8(cw.index.lessonRefusal(1));
        EXPECT_EQ(!refusal.empty(), c.refused) << c.line;
        if (!c.refused) continue;
        EXPECT_EQ(refusal, std::string(c.line) + " は教材フォルダの外を指しているので読み込めません");
        EXPECT_EQ(cw.index.lessonFolder(1), "") << c.line;
        EXPECT_EQ(cw.index.lessonStem(1), "") << c.line;
        Status read = cw.index.readLesson(1);
        EXPECT_EQ(sjis::toUtf8(read.message()), refusal) << c.line;
    }
}

TEST(MainIndex, MissingFileOnlyTitleAndLimits)
{
    Courseware cw;
    auto missing = cw.index.readMainIndex();
    EXPECT_FALSE(missing);
    EXPECT_EQ(sjis::toUtf8(missing.message()), "ファイル " + cw.dir.path() + "/Main.ind が見つかりません");

    cw.write("Main.ind", {"title only"});
    ASSERT_TRUE(cw.index.readMainIndex());
    EXPECT_TRUE(cw.index.lessonList().empty());

    // 100 lesson lines: the tables hold 80 and the rest is ignored.
    std::vector<std::string> many{"t", ""};
    for (int i = 1; i <= 100; ++i)
        many.push_back("L" + std::to_string(i) + ",F" + std::to_string(i) + "\\\\s");
    cw.write("Main.ind", many);
    ASSERT_TRUE(cw.index.readMainIndex());
    EXPECT_EQ(cw.index.lessonCount(), 80);
    EXPECT_EQ(cw.index.lessonFolder(80), "F80\\");
}

TEST(MainIndex, DoubleByteFolderNamesEndAtTheRealBackslash)
{
    Courseware cw;
    // 表 and ソ have 0x5C as their second byte.
    cw.write("Main.ind", {"t", "", "表とソ,表ソ\\\\hyou"});
    ASSERT_TRUE(cw.index.readMainIndex());
    EXPECT_EQ(sjis::toUtf8(cw.index.lessonList()[0]), "表とソ");
    EXPECT_EQ(sjis::toUtf8(cw.index.lessonFolder(1)), "表ソ\\");
    EXPECT_EQ(cw.index.lessonStem(1), "hyou");
    cw.write("表ソ/hyou.ind", {"表の単元", "[[sect1", "第一", "<<", "unit A", ">>", "]]"});
    ASSERT_TRUE(cw.index.readLesson(1));
    EXPECT_EQ(cw.index.sectionUnits(1), (Lines{"unit A"}));
}

TEST(SubIndex, SectionBlocksAreNumberedInFileOrder)
{
    Courseware cw;
    cw.write("Main.ind", {"t", "", "A,L1\\\\s"});
    cw.write("L1/s.ind",
             {"レッスン", "[[sect7", "first", "<<", "u1", "u2",      ">>",    "]]", "stray line", "[[sect1",   "second",
              "<<",       ">> ",     "u2b",   ">>", "]]", "[[sect3", "third", "<<", "runs",       "to the end"});
    ASSERT_TRUE(cw.index.readMainIndex());
    ASSERT_TRUE(cw.index.readLesson(1));
    EXPECT_EQ(sjis::toUtf8(cw.index.lessonTitle()), "レッスン");
    EXPECT_EQ(cw.index.sectionList(), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(cw.index.sectionUnits(1), (Lines{"u1", "u2"}));
    // ">> " with a trailing blank does not end a block.
    EXPECT_EQ(cw.index.sectionUnits(2), (Lines{">> ", "u2b"}));
    // A block without ">>" runs to the end of the file.
    EXPECT_EQ(cw.index.sectionUnits(3), (Lines{"runs", "to the end"}));
    EXPECT_EQ(cw.index.sectionUnitCount(4), 0);

    // Reading the main index again (after the index was edited) clears the lesson read before, from the file and
    // from the index editor's lines alike: its sections must not be taken for those of whatever lesson 1 is now.
    for (bool fromLines : {false, true}) {
        ASSERT_TRUE(cw.index.readLesson(1));
        ASSERT_EQ(cw.index.currentLesson(), 1);
        if (fromLines)
            cw.index.readMainIndexLines({"t", "", "B,L2\\s"});
        else
            ASSERT_TRUE(cw.index.readMainIndex());
        EXPECT_EQ(cw.index.currentLesson(), 0) << fromLines;
        EXPECT_TRUE(cw.index.sectionList().empty()) << fromLines;
        EXPECT_TRUE(cw.index.lessonLines().empty()) << fromLines;
        EXPECT_EQ(cw.index.sectionUnitCount(1), 0) << fromLines;
    }
}

TEST(SubIndex, TitleStartingWithBracketsIsASectionAndLimitsHold)
{
    Courseware cw;
    std::vector<std::string> sub{"[[title", "name", "<<", "unit", ">>"};
    for (int s = 0; s < 90; ++s) {
        sub.insert(sub.end(), {"[[sect", "S" + std::to_string(s), "<<"});
        for (int u = 0; u < 100; ++u)
            sub.push_back("u" + std::to_string(u));
        sub.push_back(">>");
    }
    cw.write("Main.ind", {"t", "", "A,L1\\\\s"});
    cw.write("L1/s.ind", sub);
    ASSERT_TRUE(cw.index.readMainIndex());
    ASSERT_TRUE(cw.index.readLesson(1));
    EXPECT_EQ(cw.index.sectionList().front(), "name");
    EXPECT_EQ(cw.index.sectionCount(), 80);
    EXPECT_EQ(cw.index.sectionUnitCount(2), 80);
    EXPECT_EQ(cw.index.sectionUnits(2).back(), "u79");
}

TEST(SubIndex, MissingFolderOrFileFailsWithItsMessage)
{
    Courseware cw;
    cw.write("Main.ind", {"t", "", "A,Nowhere\\\\s", "B,L2\\\\s"});
    std::filesystem::create_directories(cw.dir.path() + "/L2");
    ASSERT_TRUE(cw.index.readMainIndex());
    auto noFolder = cw.index.readLesson(1);
    EXPECT_EQ(sjis::toUtf8(noFolder.message()), "ディレクトリ " + cw.dir.path() + "/Nowhere\\ が見つかりません");
    auto noFile = cw.index.readLesson(2);
    EXPECT_EQ(sjis::toUtf8(noFile.message()), "ファイル " + cw.dir.path() + "/L2\\s.ind が見つかりません");
    EXPECT_TRUE(cw.index.sectionList().empty());
}

TEST(UnitNames, KeysMarkersAndFigureFolders)
{
    Courseware cw;
    cw.write("Main.ind", {"t", "", "A,L1\\\\bun"});
    ASSERT_TRUE(cw.index.readMainIndex());
    auto names = cw.index.unitFileNames({1, 2, 3, 0});
    EXPECT_EQ(names.masterPath, cw.dir.systemPath("L1\\bun2.que"));
    EXPECT_EQ(names.windowKey, names.masterPath + "-U3");
    EXPECT_EQ(names.shortKey, "bun2.que-U3");
    EXPECT_EQ(cw.index.unitFileNames({1, 12, 10, 4}).shortKey, "bun12.que-U10R4");
    EXPECT_EQ(unitRecordMarker({1, 2, 3, 1}), "[[unit3R1");
    EXPECT_EQ(unitRecordMarker({1, 2, 10, 0}), "[[unit10");

    EXPECT_EQ(cw.index.figureFolder(1), "");
    std::filesystem::create_directories(cw.dir.path() + "/Graph");
    EXPECT_EQ(cw.index.figureFolder(0), cw.dir.systemPath("Graph\\"));
    std::filesystem::create_directories(cw.dir.path() + "/L1/Graph");
    EXPECT_EQ(cw.index.figureFolder(1), cw.dir.systemPath("L1\\Graph\\"));
}

TEST(SimilarProblems, FoundInIncreasingOrderUntilTheFirstGap)
{
    struct Case {
        Lines lines;
        int unit;
        std::vector<std::string> expected;
    } cases[] = {
        {{"[[unit3", "]]", "[[unit3R1", "]]", "[[unit3R2", "]]"}, 3, {"類題　3R1", "類題　3R2"}},
        {{"[[unit3R1", "[[unit3R3"}, 3, {"類題　3R1"}},
        {{"[[unit3R2", "[[unit3R1"}, 3, {"類題　3R1"}},
        {{"[[unit3R2"}, 3, {}},
        {{"[[unit13R1", "[[unit3R1 "}, 3, {}},
        {{"[[unit1R1", "[[unit1R2", "[[unit1R3", "[[unit1R4", "[[unit1R5", "[[unit1R6"},
         1,
         {"類題　1R1", "類題　1R2", "類題　1R3", "類題　1R4", "類題　1R5"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8(similarProblemsPresent(c.lines, c.unit)), c.expected) << c.lines[0];
}

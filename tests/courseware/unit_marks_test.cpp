#include "courseware/menu_courseware.h"
#include "courseware/unit_marks.h"
#include "platform/profile_file.h"

#include <gtest/gtest.h>

using namespace tavola;
using test::MenuCourseware;

namespace {

std::string utf8(const std::string& cp932)
{
    return sjis::toUtf8(cp932);
}

struct Lesson {
    MenuCourseware c;
    CoursewareIndex index{c.dir()};
    UnitMarks marks;
    bool stale = true;

    Lesson()
    {
        test::writeStandardCourseware(c);
        EXPECT_TRUE(index.readMainIndex());
        EXPECT_TRUE(index.readLesson(1));
    }
    std::string record() const { return c.path("L1\\花子.ini"); }
    UnitMarks::Outcome refresh() { return marks.refresh(index, 1, record(), stale); }
};

} // namespace

TEST(UnitMarks, MarkTextShowsSimilarProblemsAndTheCount)
{
    struct Case {
        bool similar;
        int count;
        const char* text;
    } cases[] = {
        {false, 0, "　[ ]"},
        {true, 0, "◎[ ]"},
        {true, 3, "◎[3]"},
        {false, 12, "　[12]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8(markText(c.similar, c.count)), c.text) << c.count;
}

TEST(UnitMarks, UnitLinesArePaddedTo38BytesAfterTheMark)
{
    std::string mark = markText(true, 3);
    struct Case {
        std::string line;
        std::size_t blanks;
    } cases[] = {
        {"", 38},
        {"abc", 35},
        {"分数のたし算"_sj, 26}, // six double-byte characters: 12 bytes
        {std::string(38, 'x'), 0},
        {std::string(41, 'x'), 0},
    };
    for (const Case& c : cases) {
        std::string text = unitLineText(mark, c.line);
        EXPECT_EQ(text, mark + c.line + std::string(c.blanks, ' ')) << c.line.size();
    }
}

TEST(UnitMarks, CountsAreTheRecordsOfEachUnitsSection)
{
    Lesson l;
    // "S" + section + unit + unit line: section 1 unit 2 and section 2 unit 3.
    l.c.addRecords("L1\\花子.ini", "S12分母が同じ２", 3);
    l.c.addRecords("L1\\花子.ini", "S23通分３", 12);
    // Another learner's records and a section name that only looks alike do not count.
    l.c.addRecords("L1\\太郎.ini", "S11分母が同じ１", 5);
    l.c.addRecords("L1\\花子.ini", "S11分母が同じ", 2);

    auto outcome = l.refresh();
    EXPECT_EQ(outcome.sectionsRefreshed, 3);
    EXPECT_EQ(utf8(l.marks.mark(1, 1)), "◎[ ]");
    EXPECT_EQ(utf8(l.marks.mark(1, 2)), "　[3]");
    EXPECT_EQ(utf8(l.marks.mark(2, 3)), "◎[12]");
    EXPECT_EQ(l.marks.count(1, 3), 0);

    // After the learner changes, the counts are the new learner's.
    l.marks.refresh(l.index, 1, l.c.path("L1\\太郎.ini"), l.stale);
    EXPECT_EQ(utf8(l.marks.mark(1, 1)), "◎[5]");
    EXPECT_EQ(l.marks.count(1, 2), 0);
    // No record file (no learner, or no file yet): no records.
    l.marks.refresh(l.index, 1, "", l.stale);
    EXPECT_EQ(l.marks.count(1, 1), 0);
    l.marks.refresh(l.index, 1, l.c.path("L1\\nobody.ini"), l.stale);
    EXPECT_EQ(l.marks.count(1, 1), 0);
}

TEST(UnitMarks, TheMarkNeedsSimilarProblemOneExactly)
{
    MenuCourseware c;
    c.writeMain({"たし算,L1\\\\tashi"});
    c.writeSubIndex("L1\\tashi.ind", "t", {{"s", {"u1", "u2", "u3", "u4", "u5"}}});
    c.write("L1\\tashi1.que", {
                                  "[[unit1R1",  // only R1: marked
                                  "[[unit2R2",  // only R2: not marked
                                  "[[unit3R1 ", // trailing blank: not the marker
                                  "[[unit13R1", // unit 13, not unit 1 or 3
                                  "[[unit4R10", // similar problem 10, not 1
                                  "x[[unit5R1", // not at the start of the line
                              });
    CoursewareIndex index(c.dir());
    ASSERT_TRUE(index.readMainIndex());
    ASSERT_TRUE(index.readLesson(1));
    UnitMarks marks;
    bool stale = true;
    marks.refresh(index, 1, "", stale);
    EXPECT_FALSE(stale);
    bool expected[] = {true, false, false, false, false};
    for (int u = 1; u <= 5; ++u)
        EXPECT_EQ(marks.hasSimilar(1, u), expected[u - 1]) << u;
}

TEST(UnitMarks, MarkersAreFoundWhateverEndsTheLines)
{
    MenuCourseware c;
    c.writeMain({"たし算,L1\\\\tashi"});
    c.writeSubIndex("L1\\tashi.ind", "t", {{"s", {"u1", "u2", "u3", "u4"}}});
    // CR alone, LF alone, CR LF, and a last line without an end.
    ASSERT_TRUE(
        writeWholeFile(c.path("L1\\tashi1.que"), "[[unit1\r[[unit1R1\r[[unit2R1\n\n[[unit3R1\r\nx\r\n[[unit4R1"));
    CoursewareIndex index(c.dir());
    ASSERT_TRUE(index.readMainIndex());
    ASSERT_TRUE(index.readLesson(1));
    UnitMarks marks;
    bool stale = true;
    marks.refresh(index, 1, "", stale);
    for (int u = 1; u <= 4; ++u)
        EXPECT_TRUE(marks.hasSimilar(1, u)) << u;
}

TEST(UnitMarks, SimilarProblemsAreRescannedOnlyWhenStale)
{
    Lesson l;
    EXPECT_TRUE(l.refresh().rescanned);
    EXPECT_FALSE(l.marks.hasSimilar(1, 3));
    l.c.writeMaster("L1\\tashi1.que", {"[[unit1", "[[unit3", "[[unit3R1"});
    l.c.addRecords("L1\\花子.ini", "S13分母が同じ３", 1);

    // Not stale: the counts follow the records, the similar-problem marks stay as scanned.
    EXPECT_FALSE(l.refresh().rescanned);
    EXPECT_FALSE(l.marks.hasSimilar(1, 3));
    EXPECT_TRUE(l.marks.hasSimilar(1, 1));
    EXPECT_EQ(l.marks.count(1, 3), 1);

    l.stale = true;
    EXPECT_TRUE(l.refresh().rescanned);
    EXPECT_FALSE(l.stale);
    EXPECT_TRUE(l.marks.hasSimilar(1, 3));
    EXPECT_FALSE(l.marks.hasSimilar(1, 1));
}

TEST(UnitMarks, AMissingMasterFileStopsTheRefreshAndLaterSectionsKeepTheirMarks)
{
    Lesson l;
    l.c.addRecords("L1\\花子.ini", "S11分母が同じ１", 1);
    l.c.addRecords("L1\\花子.ini", "S21通分１", 1);
    l.refresh();
    ASSERT_EQ(l.marks.count(2, 1), 1);

    l.c.remove("L1\\tashi2.que");
    l.c.addRecords("L1\\花子.ini", "S11分母が同じ１", 1);
    l.c.addRecords("L1\\花子.ini", "S21通分１", 1);
    l.stale = true;
    auto outcome = l.refresh();
    EXPECT_EQ(outcome.sectionsRefreshed, 1);
    EXPECT_EQ(outcome.stoppedAtSection, 2);
    EXPECT_FALSE(l.stale);
    EXPECT_EQ(l.marks.count(1, 1), 2);
    // Section 2 and later keep the marks of the last full refresh.
    EXPECT_EQ(utf8(l.marks.mark(2, 1)), "　[1]");
    EXPECT_TRUE(l.marks.hasSimilar(2, 3));
}

TEST(UnitMarks, AnotherLessonIsRescannedAndShowsNoneOfTheFirstLessonsMarks)
{
    Lesson l;
    l.c.addRecords("L1\\花子.ini", "S11分母が同じ１", 4);
    l.refresh();
    ASSERT_TRUE(l.marks.hasSimilar(1, 1));
    ASSERT_EQ(l.marks.count(1, 1), 4);

    // Lesson 2 with its master file missing: the scan stops at once, and no mark of lesson 1 is left standing.
    l.c.remove("L2\\hiki1.que");
    ASSERT_TRUE(l.index.readLesson(2));
    l.marks.refresh(l.index, 2, l.c.path("L2\\花子.ini"), l.stale);
    EXPECT_EQ(utf8(l.marks.mark(1, 1)), "　[ ]");

    // With the master file back, lesson 2's marks are scanned without the stale flag being set.
    l.c.writeMaster("L2\\hiki1.que", {"[[unit1"});
    ASSERT_TRUE(l.index.readLesson(1));
    l.refresh();
    ASSERT_TRUE(l.index.readLesson(2));
    EXPECT_FALSE(l.stale);
    EXPECT_TRUE(l.marks.refresh(l.index, 2, "", l.stale).rescanned);
    EXPECT_FALSE(l.marks.hasSimilar(1, 1));

    // A lesson that could not be read keeps the stale flag for the next read.
    ASSERT_FALSE(l.index.readLesson(3));
    l.stale = true;
    l.marks.refresh(l.index, 3, "", l.stale);
    EXPECT_TRUE(l.stale);
}

TEST(UnitMarks, MarksOutsideTheTableAreBlank)
{
    UnitMarks marks;
    for (auto [s, u] : {std::pair{0, 1}, {1, 0}, {81, 1}, {1, 81}, {-1, -1}})
        EXPECT_EQ(utf8(marks.mark(s, u)), "　[ ]") << s << "," << u;
}

TEST(SectionKeyCounts, CountsWhatSectionKeysFinds)
{
    MenuCourseware c;
    c.write("r.ini", {
                         "[password]",
                         "pw=abcd",
                         "[S11分数]",
                         "1=a",
                         "2=b",
                         "",
                         "; a note",
                         "3=c",
                         "[s12Abc]",
                         "1=x",
                         "[S11分数]",
                         "4=d", // a second section of the same name is not read
                         "[ S2 ]",
                         "1 = y",
                         "=z",
                         "2=",
                     });
    std::string file = c.path("r.ini");
    profile::SectionKeyCounts counts(file);
    for (const char* name : {"password", "PASSWORD", "S11分数", "s11分数", "S12ABC", "S2", "S3", ""}) {
        std::string section = sjis::encode(name);
        EXPECT_EQ(counts.count(section), static_cast<int>(profile::sectionKeys(file, section).size())) << name;
    }
    EXPECT_EQ(counts.count("S11分数"_sj), 3);
    EXPECT_EQ(profile::SectionKeyCounts(c.path("none.ini")).count("password"), 0);
}

#include "practice/learning_records.h"

#include "platform/line_file.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavola;

namespace {

std::string utf8(const std::string& cp932)
{
    return sjis::toUtf8(cp932);
}

PracticeRecord record(int correct, int total, int score, const std::string& trail, int seconds, int similar = 0)
{
    return {{2026, 3, 5, 9, 7, 0}, similar, trail, correct, total, score, seconds};
}

} // namespace

TEST(RecordLine, IsWrittenInTheFixedFormatAndReadsBack)
{
    struct Case {
        PracticeRecord r;
        const char* line;
    } cases[] = {
        {record(3, 4, 75, "0100", 135), "2026年03月05日 09:07 [0100]  3/ 4  75点 02:15"},
        {record(3, 4, 75, "", 7), "2026年03月05日 09:07 []  3/ 4  75点 00:07"},
        {record(0, 4, 0, "2222", 65), "2026年03月05日 09:07 [2222]  0/ 4   0点 01:05"},
        {record(12, 12, 100, "", 6000), "2026年03月05日 09:07 [] 12/12 100点 100:00"},
        {record(1, 2, 50, "01", 0, 3), "類題3)2026年03月05日 09:07 [01]  1/ 2  50点 00:00"},
        {record(1, 2, 50, "01", -5), "2026年03月05日 09:07 [01]  1/ 2  50点 00:00"},
    };
    for (const Case& c : cases) {
        std::string line = recordLine(c.r);
        EXPECT_EQ(utf8(line), c.line);
        auto parsed = parseRecordLine(line);
        ASSERT_TRUE(parsed) << c.line;
        EXPECT_EQ(parsed->similar, c.r.similar);
        EXPECT_EQ(parsed->trail, c.r.trail);
        EXPECT_EQ(parsed->correct * 10000 + parsed->total * 1000 + parsed->score,
                  c.r.correct * 10000 + c.r.total * 1000 + c.r.score);
        EXPECT_EQ(parsed->seconds, std::max(0, c.r.seconds));
        EXPECT_EQ(parsed->month * 100 + parsed->day, 305);
    }
}

TEST(RecordLine, LinesThatAreNoRecordAreNotRead)
{
    for (const char* line :
         {"?", "", "2026年03月05日 09:07 [0100]  3/ 4  75点", "類題)2026年03月05日 09:07 []  1/ 1 100点 00:01",
          "2026年13月05日 09:07 []  1/ 1 100点 00:01", "2026年03月05日 09:07 []  1/ 1 100点 00:61",
          "2026年03月05日 09:07 []  1/ 1 100点 00:01x"})
        EXPECT_FALSE(parseRecordLine(sjis::encode(line))) << line;
}

TEST(RecordStore, KeysCountUpErasingStartsAgainAndThePasswordIsNeverTouched)
{
    test::TempFolder dir;
    std::string file = dir.systemPath("taro.ini");
    std::string section = "S112分数のたし算"_sj;
    ASSERT_TRUE(profile::writeString(file, "password", "pw", "abcd"));
    for (int k = 1; k <= 5; ++k) {
        auto key = appendRecord(file, section, record(k, 5, k * 20, "", 60));
        ASSERT_TRUE(key);
        EXPECT_EQ(*key, k);
    }
    EXPECT_EQ(countRecords(file, section), 5);
    EXPECT_EQ(countRecords(file, "S1112分数のたし算"_sj), 0);
    std::vector<std::string> values = readRecords(file, section);
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(utf8(values[4]), "2026年03月05日 09:07 []  5/ 5 100点 01:00");

    ASSERT_TRUE(eraseRecords(file, section));
    EXPECT_EQ(countRecords(file, section), 0);
    EXPECT_EQ(*appendRecord(file, section, record(1, 1, 100, "", 1)), 1);

    EXPECT_FALSE(appendRecord(file, "PASSWORD", record(1, 1, 100, "", 1)));
    EXPECT_TRUE(eraseRecords(file, "password"));
    EXPECT_EQ(profile::readString(file, "password", "pw", "?"), "abcd");

    // Shift-JIS with CR LF ends, as the platform's own profile functions read it.
    std::string bytes = *readWholeFile(file);
    EXPECT_NE(bytes.find("[password]\r\npw=abcd\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("[" + section + "]\r\n1="), std::string::npos);
}

TEST(RecordStore, MissingKeysReadAsQuestionMarksAndNoRecordsHasItsLine)
{
    test::TempFolder dir;
    std::string file = dir.systemPath("hana.ini");
    ASSERT_TRUE(writeLineFile(file, {"[a.prp]", "1=first", "3=third"}));
    EXPECT_EQ(readRecords(file, "A.PRP"), (std::vector<std::string>{"first", "?"}));
    // The first of two equal keys counts; "01" and "+2" are not key numbers.
    ASSERT_TRUE(writeLineFile(file, {"[s]", "2=b", "01=x", "1=a", "2=late", "+2=y"}));
    EXPECT_EQ(readRecords(file, "s"), (std::vector<std::string>{"a", "b", "?", "?", "?"}));
    // A section of many records is read in one pass over its entries.
    Lines many{"[big]"};
    for (int k = 40000; k >= 1; --k)
        many.push_back(std::to_string(k) + "=r" + std::to_string(k));
    ASSERT_TRUE(writeLineFile(file, many));
    const std::vector<std::string> big = readRecords(file, "big");
    ASSERT_EQ(big.size(), 40000u);
    EXPECT_EQ(big.front(), "r1");
    EXPECT_EQ(big.back(), "r40000");
    EXPECT_EQ(recordMemoLines(file, "b.prp"), std::vector<std::string>{noRecordsText()});
    EXPECT_EQ(recordMemoLines(dir.systemPath("none.ini"), "a.prp"), std::vector<std::string>{noRecordsText()});
    EXPECT_EQ(utf8(noRecordsText()), "練習の記録はありません");
}

TEST(RecordStore, SectionNamesAreReadByCharactersNotBytes)
{
    test::TempFolder dir;
    std::string file = dir.systemPath("x.ini");
    // ア is 83 41 and ャ 83 61: the same bytes but for the case of an ASCII letter.
    appendRecord(file, "S11ア"_sj, record(1, 1, 100, "", 1));
    appendRecord(file, "S11ャ"_sj, record(1, 1, 100, "", 1));
    appendRecord(file, "S11ャ"_sj, record(1, 1, 100, "", 1));
    EXPECT_EQ(countRecords(file, "S11ア"_sj), 1);
    EXPECT_EQ(countRecords(file, "S11ャ"_sj), 2);
    EXPECT_EQ(RecordCounts(file).count("S11ア"_sj), 1);
    // ゾ ends in the byte of "]"; a unit line may hold "]" itself.
    // A unit line may also end in a blank, which the header's reader drops.
    for (std::string section : {"S12ゾウ"_sj, "S13[1] と [2]"_sj, "S14たし算 "_sj}) {
        appendRecord(file, section, record(1, 1, 100, "", 1));
        appendRecord(file, section, record(1, 1, 100, "", 1));
        EXPECT_EQ(countRecords(file, section), 2) << utf8(section);
        EXPECT_EQ(readRecords(file, section).size(), 2u) << utf8(section);
        EXPECT_EQ(RecordCounts(file).count(section), 2) << utf8(section);
    }
}

TEST(RecordTarget, UnitsAreToldApartByTheirLinesAndCopyFilesGoToLessonOne)
{
    test::TempFolder dir;
    std::string cw = dir.systemPath();
    std::filesystem::create_directories(dir.path() + "/a");
    std::filesystem::create_directories(dir.path() + "/b");
    writeLineFile(cw + "Main.ind", {"t", "", "A,a\\\\a", "B,b\\\\b", ">>"});
    Lines first{"lesson a", "[[s", "sec1", "<<"};
    for (int u = 1; u <= 12; ++u)
        first.push_back("unit " + std::to_string(u));
    first.insert(first.end(), {">>", "]]"});
    for (int s = 2; s <= 11; ++s)
        first.insert(first.end(), {"[[s", "sec", "<<", "one", "two", ">>", "]]"});
    writeLineFile(cw + "a\\a.ind", first);
    writeLineFile(cw + "b\\b.ind", {"lesson b", "[[s", "sec", "<<", "only", ">>", "]]"});
    CoursewareIndex index(cw);
    ASSERT_TRUE(index.readMainIndex());
    ASSERT_TRUE(index.readLesson(2));

    EXPECT_EQ(unitRecordTarget(index, {1, 1, 12, 0}).section, "S112unit 12");
    EXPECT_EQ(unitRecordTarget(index, {1, 11, 2, 3}).section, "S112two");
    EXPECT_EQ(unitRecordTarget(index, {2, 1, 1, 0}).section, "S11only");
    EXPECT_EQ(unitRecordTarget(index, {2, 1, 2, 0}).section, "");
    EXPECT_EQ(unitRecordTarget(index, {2, 1, 1, 0}).lesson, 2);
    EXPECT_EQ(index.currentLesson(), 2);
    RecordTarget copy = copyFileRecordTarget("test1.prp");
    EXPECT_EQ(copy.lesson, 1);
    EXPECT_EQ(copy.section, "test1.prp");
}

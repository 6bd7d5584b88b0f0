#include "practice/class_records.h"

#include "platform/line_file.h"
#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace tavola;

namespace {

std::string utf8(const std::string& cp932)
{
    return sjis::toUtf8(cp932);
}

// "2026年03月0d日 09:07 [trail] c/t score点 01:00"
std::string rec(int day, const std::string& trail, int score, const std::string& similar = {})
{
    char result[32];
    std::snprintf(result, sizeof result, "%2d/%2d %3d", score / 25, 4, score);
    return similar + "2026年03月0" + std::to_string(day) + "日 09:07 [" + trail + "] " + result + "点 01:00";
}

// A courseware of two lessons; lesson 1 has two sections (two units, one unit), lesson 2 one section of one unit.
// The learner files lie in the lesson folder, one per learner, as the program keeps them.
struct Class {
    test::TempFolder folder;
    CoursewareIndex index{folder.systemPath()};

    Class()
    {
        write("Main.ind", {"算数", "", "たし算,tasu\\\\tasu", "かけ算,kake\\\\kake", ">>"});
        write("tasu/tasu.ind", {"たし算", "[[sect1", "同じ分母", "<<", "同じ分母のたし算", "同じ分母のひき算", ">>",
                                "]]", "[[sect2", "通分", "<<", "通分してたし算", ">>", "]]"});
        write("kake/kake.ind", {"かけ算", "[[sect1", "かけ算", "<<", "分数×整数", ">>", "]]"});
        EXPECT_TRUE(index.readMainIndex());
        EXPECT_TRUE(index.readLesson(1));
    }
    void write(const std::string& name, const std::vector<std::string>& utf8Lines) const
    {
        std::filesystem::create_directories(std::filesystem::path(folder.path() + "/" + name).parent_path());
        Lines lines;
        for (const std::string& l : utf8Lines)
            lines.push_back(sjis::encode(l));
        ASSERT_TRUE(writeLineFile(folder.systemPath(sjis::encode(name)), lines));
    }
    std::string fileOf(const std::string& learner, int lesson) const
    {
        if (learner.find('/') != std::string::npos) return {};
        return folder.systemPath(sjis::encode(lesson == 1 ? "tasu/" : "kake/") + learner + ".ini");
    }
    ClassTable table(int lesson, const std::vector<std::string>& utf8Names) const
    {
        std::vector<std::string> names;
        for (const std::string& n : utf8Names)
            names.push_back(sjis::encode(n));
        return buildClassTable(index, lesson, names, [&](const std::string& l) { return fileOf(l, lesson); });
    }
};

// The class of the tests: a sound file, one with a gap in its keys, a damaged one, one missing, a name that cannot
// be a file.
struct SampleClass : Class {
    SampleClass()
    {
        write("tasu/taro.ini",
              {"[password]", "pw=secret-pw", "[S11同じ分母のたし算]", "1=" + rec(1, "0100", 40), "2=" + rec(2, "", 90),
               "3=" + rec(3, "00", 70, "類題2)"), "[S21通分してたし算]", "1=" + rec(4, "", 100),
               // A copy file's records and a unit of another index count nowhere here.
               "[mine.prp]", "1=" + rec(5, "", 10), "[S13もうない単元]", "1=" + rec(5, "", 10)});
        write("tasu/hanako.ini", {"[password]", "pw=hanako-pw", "[s11同じ分母のたし算]", "1=" + rec(1, "0", 50),
                                  "2=" + rec(2, "", 60), "4=" + rec(3, "", 30)});
        write("tasu/jiro.ini",
              {"[S12同じ分母のひき算]", "1=" + rec(1, "", 80), "2=これは記録ではない", "x=" + rec(2, "", 100),
               "3=" + rec(3, "11", 20), "3=" + rec(4, "", 100), "[password]", "pw=jiro-pw"});
    }
};

} // namespace

TEST(ClassRecords, EveryCellCountsPracticesTestsLastAndBestScore)
{
    SampleClass c;
    ClassTable t = c.table(1, {"taro", "hanako", "jiro", "saburo", "a/b"});
    ASSERT_EQ(t.columns.size(), 3u);
    EXPECT_EQ(utf8(t.lessonName), "たし算");
    EXPECT_EQ(utf8(t.columns[0].recordSection), "S11同じ分母のたし算");
    EXPECT_EQ(utf8(t.columns[1].sectionName), "同じ分母");
    EXPECT_EQ(utf8(t.columns[2].recordSection), "S21通分してたし算");
    ASSERT_EQ(t.rows.size(), 5u);

    struct Expected {
        int row, column, practices, tests, last, best;
    } cells[] = {
        {0, 0, 2, 1, 70, 90},   // a similar problem's record counts in its unit's column
        {0, 1, 0, 0, 0, 0},     //
        {0, 2, 0, 1, 100, 100}, //
        {1, 0, 1, 2, 30, 60},   // keys 1, 2, 4: all three count, the last is key 4
        {2, 1, 1, 1, 20, 80},   // key 2 is no record, "x" no key, the second key 3 not read
    };
    for (const Expected& e : cells) {
        const ClassCell& cell = t.rows[e.row].cells[e.column];
        EXPECT_EQ(cell.practices, e.practices) << e.row << "," << e.column;
        EXPECT_EQ(cell.tests, e.tests) << e.row << "," << e.column;
        if (cell.done()) {
            EXPECT_EQ(cell.lastScore, e.last) << e.row << "," << e.column;
            EXPECT_EQ(cell.bestScore, e.best) << e.row << "," << e.column;
        }
    }
    EXPECT_EQ(t.rows[0].state, RowState::Read);
    EXPECT_EQ(t.rows[3].state, RowState::NoFile);
    EXPECT_EQ(t.rows[4].state, RowState::BadName);
    for (int r : {3, 4})
        for (const ClassCell& cell : t.rows[r].cells)
            EXPECT_FALSE(cell.done());

    // Row totals: practices, tests, units done, average of the last scores.
    EXPECT_EQ(t.rows[0].practices, 2);
    EXPECT_EQ(t.rows[0].tests, 2);
    EXPECT_EQ(t.rows[0].unitsDone, 2);
    EXPECT_EQ(t.rows[0].average, 85);
    EXPECT_EQ(t.rows[3].average, std::nullopt);
    // Column heads: the class average of the last scores (70 and 30: 50) and how many did the unit.
    EXPECT_EQ(t.columns[0].doneCount, 2);
    EXPECT_EQ(t.columns[0].average, 50);
    EXPECT_EQ(t.columns[1].doneCount, 1);
    EXPECT_EQ(t.columns[1].average, 20);
    EXPECT_EQ(t.columns[2].average, 100);
}

TEST(ClassRecords, DamagedRecordsAreNamedAndCountedNowhere)
{
    SampleClass c;
    ClassTable t = c.table(1, {"taro", "hanako", "jiro"});
    struct Named {
        const char* learner;
        Damage damage;
        const char* key;
        int line;
    } expected[] = {
        {"hanako", Damage::MissingKey, "3", 6},
        {"jiro", Damage::NotARecord, "2", 3},
        {"jiro", Damage::NotAKey, "x", 4},
        {"jiro", Damage::DuplicateKey, "3", 6},
    };
    ASSERT_EQ(t.problems.size(), std::size(expected));
    for (std::size_t i = 0; i < t.problems.size(); ++i) {
        EXPECT_EQ(utf8(t.problems[i].learner), expected[i].learner) << i;
        EXPECT_EQ(t.problems[i].damaged.damage, expected[i].damage) << i;
        EXPECT_EQ(t.problems[i].damaged.key, expected[i].key) << i;
        EXPECT_EQ(t.problems[i].damaged.line, expected[i].line) << i;
    }
    EXPECT_EQ(utf8(problemText(t.problems[0])), "hanako：[s11同じ分母のたし算] 6行目：キー 3 がありません");
    // Taro's copy file and the unit the index no longer has are not this table's business, sound or not.
    for (const ClassProblem& p : t.problems)
        EXPECT_NE(utf8(p.learner), "taro");
}

TEST(ClassRecords, ARunOfMissingKeysIsOneProblem)
{
    Class c;
    c.write("tasu/ken.ini", {"[S11同じ分母のたし算]", "2=" + rec(1, "", 50), "7=" + rec(2, "", 70)});
    ClassTable t = c.table(1, {"ken"});
    ASSERT_EQ(t.problems.size(), 2u);
    EXPECT_EQ(t.problems[0].damaged.key, "1");
    EXPECT_EQ(t.problems[1].damaged.key, "3-6");
    EXPECT_EQ(t.rows[0].cells[0].tests, 2);
    EXPECT_EQ(t.rows[0].cells[0].lastScore, 70);
}

TEST(ClassRecords, AFileTooLargeIsNamedAndTheOthersStillShow)
{
    SampleClass c;
    std::filesystem::resize_file(c.folder.path() + "/tasu/hanako.ini", kLearnerFileLimit + 1);
    ClassTable t = c.table(1, {"taro", "hanako"});
    EXPECT_EQ(t.rows[0].state, RowState::Read);
    EXPECT_EQ(t.rows[0].cells[0].tests, 1);
    EXPECT_EQ(t.rows[1].state, RowState::TooLarge);
    EXPECT_FALSE(t.rows[1].cells[0].done());
    EXPECT_EQ(t.columns[0].doneCount, 1);
    EXPECT_EQ(utf8(rowStateText(t.rows[1].state)), "ファイルが大きすぎます");
    EXPECT_EQ(t.rows[1].message, fileTooLargeMessage(t.rows[1].file));
}

TEST(ClassRecords, AnotherLessonIsReadOnACopyOfTheIndex)
{
    SampleClass c;
    c.write("kake/taro.ini", {"[S11分数×整数]", "1=" + rec(1, "", 65)});
    ClassTable t = c.table(2, {"taro", "hanako"});
    EXPECT_EQ(c.index.currentLesson(), 1);
    ASSERT_EQ(t.columns.size(), 1u);
    EXPECT_EQ(t.rows[0].cells[0].lastScore, 65);
    EXPECT_EQ(t.rows[1].state, RowState::NoFile);

    // A lesson whose sub-index is missing: no columns, and the index's message.
    std::filesystem::remove(c.folder.path() + "/kake/kake.ind");
    ClassTable missing = c.table(2, {"taro"});
    EXPECT_TRUE(missing.columns.empty());
    EXPECT_NE(utf8(missing.lessonProblem).find("kake.ind"), std::string::npos);
}

TEST(ClassRecords, TheNameListGivesEachLearnerOnce)
{
    // Names that differ only in ASCII case are one learner file.
    Lines list{"taro", "", "hanako", "taro", "Taro", "HANAKO"};
    std::vector<std::string> expected{"taro", "hanako"};
    EXPECT_EQ(classLearners(list), expected);
}

TEST(ClassRecords, WhatTheTableReadsIsBoundedAndEveryRefusalTold)
{
    SampleClass c;
    // The name list: read as 名簿 reads it, within the learner file limit.
    c.write("LogOn/sname.txt", {"Taro", "taro", "hanako"});
    const std::string names = c.folder.systemPath("LogOn/sname.txt");
    EXPECT_EQ(*readClassLearners(names), (std::vector<std::string>{"Taro", "hanako"}));
    std::filesystem::resize_file(c.folder.path() + "/LogOn/sname.txt", kLearnerFileLimit + 1);
    EXPECT_EQ(readClassLearners(names).message(), fileTooLargeMessage(names));
    const std::string missing = c.folder.systemPath("LogOn/none.txt");
    EXPECT_EQ(readClassLearners(missing).message(), "ファイル "_sj + missing + " が見つかりません"_sj);

    // Learner files that are not plain files, a name too long to be a file, a name in another case than its file.
    std::filesystem::create_directory(c.folder.path() + "/tasu/dir.ini");
    ASSERT_EQ(::mkfifo((c.folder.path() + "/tasu/pipe.ini").c_str(), 0644), 0);
    const std::string longName(300, 'a');
    ClassTable t = c.table(1, {"dir", "pipe", longName, "TARO", "nobody"});
    ASSERT_EQ(t.rows.size(), 5u);
    EXPECT_EQ(t.rows[0].state, RowState::Unreadable);
    EXPECT_EQ(utf8(t.rows[0].message), utf8(t.rows[0].file) + " はふつうのファイルではありません");
    EXPECT_EQ(t.rows[1].state, RowState::Unreadable);
    EXPECT_EQ(t.rows[2].state, RowState::BadName);
    EXPECT_EQ(t.rows[3].state, RowState::Read);
    EXPECT_EQ(t.rows[3].cells[0].tests, 1);
    EXPECT_EQ(t.rows[4].state, RowState::NoFile);

    // A lesson refused for its folder: one message and no rows.
    c.write("Main.ind", {"算数", "", "たし算,tasu\\tasu", "外,..\\..\\x", ">>"});
    CoursewareIndex refusing(c.folder.systemPath());
    ASSERT_TRUE(refusing.readMainIndex());
    ASSERT_FALSE(refusing.lessonRefusal(2).empty());
    ClassTable refused =
        buildClassTable(refusing, 2, {"taro"_sj, "hanako"_sj}, [](const std::string&) { return std::string(); });
    EXPECT_TRUE(refused.refused);
    EXPECT_TRUE(refused.rows.empty());
    EXPECT_EQ(refused.lessonProblem, refusing.lessonRefusal(2));
}

TEST(ClassRecords, CsvCellsAreQuotedAndFormulaSafe)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"taro", "taro"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "two\\x0Alines"},
        {"\x1B]0;title\x07\x1B[31mred", "\\x1B]0;title\\x07\\x1B[31mred"},
        {"=1+2", "\"'=1+2\""},
        {"+81", "\"'+81\""},
        {"-3", "\"'-3\""},
        {"@SUM(A1)", "\"'@SUM(A1)\""},
        {"\tx", "\"'\tx\""},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"a=b", "a=b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(csvCell(c.in), c.out) << c.in;
}

TEST(ClassRecords, TheCsvHoldsTheWholeTableAndNoPassword)
{
    Class c;
    c.write("tasu/taro.ini",
            {"[password]", "pw=secret-pw", "[S11同じ分母のたし算]", "1=" + rec(1, "0100", 40), "2=" + rec(2, "", 90)});
    c.write("tasu/=cmd.ini", {"[S21通分してたし算]", "1=" + rec(1, "", 55)});
    std::string csv = classTableCsv(c.table(1, {"taro", "=cmd", "saburo"}));
    EXPECT_EQ(csv, "\xEF\xBB\xBF"
                   "学級の記録,1,たし算\n"
                   "節,,1 同じ分母,,,,1 同じ分母,,,,2 通分,,,\n"
                   "単元,,1 同じ分母のたし算,,,,2 同じ分母のひき算,,,,1 通分してたし算,,,\n"
                   "氏名,状態,練習,テスト,最終,最高,練習,テスト,最終,最高,練習,テスト,最終,最高,練習計,テスト計,"
                   "実施単元,平均\n"
                   "taro,,1,1,90,90,,,,,,,,,1,1,1,90\n"
                   "\"'=cmd\",,,,,,,,,,0,1,55,55,0,1,1,55\n"
                   "saburo,記録なし,,,,,,,,,,,,,,,,\n"
                   "学級平均,,,,90,,,,,,,,55,,,,,\n"
                   "実施人数,,1,,,,0,,,,1,,,,,,,\n");
    EXPECT_EQ(csv.find("secret"), std::string::npos);
    // The same in Shift-JIS with CR LF, for the teacher whose spreadsheet reads only that.
    std::string crlf;
    for (char ch : csv.substr(3))
        crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    EXPECT_EQ(sjis::toUtf8(classTableCsv(c.table(1, {"taro", "=cmd", "saburo"}), CsvEncoding::ShiftJis)), crlf);
}

TEST(ClassRecords, ShadesFollowTheLastScore)
{
    struct Case {
        int tests, last;
        ScoreShade shade;
    } cases[] = {
        {0, 0, ScoreShade::None},  {1, 0, ScoreShade::Weak},  {1, 59, ScoreShade::Weak},
        {1, 60, ScoreShade::Fair}, {1, 79, ScoreShade::Fair}, {1, 80, ScoreShade::Good},
    };
    for (const Case& c : cases) {
        ClassCell cell;
        cell.tests = c.tests;
        cell.lastScore = c.last;
        EXPECT_EQ(shadeOf(cell), c.shade) << c.last;
    }
}

#include "practice/learning_records.h"

#include "platform/line_file.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

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
        EXPECT_EQ(std::tie(parsed->correct, parsed->total, parsed->score), std::tie(c.r.correct, c.r.total, c.r.score))
            << c.line;
        EXPECT_EQ(parsed->seconds, std::max(0, c.r.seconds));
        EXPECT_EQ(std::tie(parsed->month, parsed->day), std::make_tuple(3, 5));
    }
}

TEST(RecordLine, LinesThatAreNoRecordAreNotRead)
{
    for (const char* line :
         {"?", "", "2026年03月05日 09:07 [0100]  3/ 4  75点", "類題)2026年03月05日 09:07 []  1/ 1 100点 00:01",
          "2026年13月05日 09:07 []  1/ 1 100点 00:01", "2026年03月05日 09:07 []  1/ 1 100点 00:61",
          "2026年03月05日 09:07 []  1/ 1 100点 00:01x",
          // numbers out of bounds: more correct than boxes, more boxes than a page has, a score above 100, a time
          // taken past what an int holds
          "2026年03月05日 09:07 []  9/ 4 100点 00:01", "2026年03月05日 09:07 [] 81/81 100点 00:01",
          "2026年03月05日 09:07 []  1/ 1 250点 00:01", "2026年03月05日 09:07 []  1/ 1 100点 999999999:59",
          "2026年03月05日 09:07 []  1/ 1 100点 35791395:00"})
        EXPECT_FALSE(parseRecordLine(sjis::encode(line))) << line;
    // The largest that are still records.
    auto edge = parseRecordLine("2026年03月05日 09:07 [] 80/80 100点 35791394:07"_sj);
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->seconds, 2147483647);
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

TEST(RecordStore, RecordsAreListedByTheirRealKeysAndNoRecordsHasItsLine)
{
    test::TempFolder dir;
    std::string file = dir.systemPath("hana.ini");
    const std::string r1 = recordLine(record(1, 1, 100, "", 1));
    const std::string r2 = recordLine(record(1, 2, 50, "1", 2));
    const std::string r3 = recordLine(record(0, 2, 0, "11", 3));
    ASSERT_TRUE(writeLineFile(file, {"[a.prp]", "1=" + r1, "3=" + r3}));
    EXPECT_EQ(readRecords(file, "A.PRP"), (std::vector<std::string>{r1, r3}));
    // The first of two equal keys counts; "01" and "+2" are not key numbers; a value that is no record is left out.
    ASSERT_TRUE(writeLineFile(file, {"[s]", "2=" + r2, "01=" + r3, "1=" + r1, "2=" + r3, "+2=" + r3, "3=late"}));
    EXPECT_EQ(readRecords(file, "s"), (std::vector<std::string>{r1, r2}));
    // A section of many records is read in one pass over its entries.
    Lines many{"[big]"};
    for (int k = 40000; k >= 1; --k)
        many.push_back(std::to_string(k) + "=" + recordLine(record(1, 1, 100, "", k % 3600)));
    ASSERT_TRUE(writeLineFile(file, many));
    const std::vector<std::string> big = readRecords(file, "big");
    ASSERT_EQ(big.size(), 40000u);
    EXPECT_EQ(big.front(), recordLine(record(1, 1, 100, "", 1)));
    EXPECT_EQ(big.back(), recordLine(record(1, 1, 100, "", 40000 % 3600)));
    EXPECT_EQ(recordMemoLines(file, "b.prp"), std::vector<std::string>{noRecordsText()});
    EXPECT_EQ(recordMemoLines(dir.systemPath("none.ini"), "a.prp"), std::vector<std::string>{noRecordsText()});
    EXPECT_EQ(utf8(noRecordsText()), "練習の記録はありません");
}

TEST(RecordStore, ANewRecordGoesAboveTheLargestKeyAndNeverReplacesOne)
{
    test::TempFolder dir;
    std::string file = dir.systemPath("taro.ini");
    const std::string r = recordLine(record(1, 1, 100, "", 1));
    struct Case {
        Lines section; // the lines after "[s]"
        int next;
    } cases[] = {
        {{"1=" + r, "3=" + r}, 4},       // a gap: key 3 stays
        {{"3=" + r}, 4},                 // only a late key
        {{"1=" + r, "2=" + r}, 3},       // a sound file: count + 1, as always
        {{"x=" + r, "01=" + r}, 1},      // no record numbers at all
        {{"999999998=" + r}, 999999999}, // the largest key there can be
        {{"1234567890=" + r, "2=" + r}, 3},
    };
    for (const Case& c : cases) {
        Lines lines{"[password]", "pw=abcd", "[s]"};
        lines.insert(lines.end(), c.section.begin(), c.section.end());
        lines.push_back("[s]"); // a repeated section is not the one written to
        lines.push_back("9=" + r);
        ASSERT_TRUE(writeLineFile(file, lines));
        auto key = appendRecord(file, "s", record(2, 2, 100, "", 5));
        ASSERT_TRUE(key);
        EXPECT_EQ(*key, c.next) << c.section.front();
        // Every line that was there is still there.
        const Lines after = *readLineFile(file);
        for (const std::string& line : lines)
            EXPECT_NE(std::find(after.begin(), after.end(), line), after.end()) << line;
        EXPECT_EQ(after.size(), lines.size() + 1);
    }
    // Five appends to a file with keys 1 and 3: all five are there with the two.
    ASSERT_TRUE(writeLineFile(file, {"[s]", "1=" + r, "3=" + r}));
    for (int i = 0; i < 5; ++i)
        appendRecord(file, "s", record(2, 2, 100, "", i));
    EXPECT_EQ(readRecords(file, "s").size(), 7u);
}

TEST(RecordStore, KeysStayInRangeAndNoRecordEverTakesTheKeyOfAnother)
{
    test::TempFolder dir;
    const std::string file = dir.systemPath("taro.ini");
    const std::string r = recordLine(record(1, 1, 100, "", 1));
    // The section holds the largest key: no further record, and the message says what to do.
    ASSERT_TRUE(writeLineFile(file, {"[password]", "pw=abcd", "[s]", "999999999=" + r}));
    const std::string before = *readWholeFile(file);
    for (int i = 0; i < 3; ++i) {
        auto key = appendRecord(file, "s", record(2, 2, 100, "", i));
        ASSERT_FALSE(key);
        EXPECT_EQ(utf8(key.message()), "記録の番号がいっぱいのため、記録できません: " + utf8(file) +
                                           " [s]。実行記録の「記録消去」でこの単元の記録を消してください");
    }
    EXPECT_EQ(*readWholeFile(file), before);
    // Other units of the file still take records.
    EXPECT_EQ(*appendRecord(file, "t", record(2, 2, 100, "", 1)), 1);
    // A key past the range is a damaged line, named, and does not count as the largest: the next record is above the
    // sound keys and leaves the damaged line as it was.
    ASSERT_TRUE(writeLineFile(file, {"[s]", "1=" + r, "1000000000=" + r, "99999999999=" + r}));
    EXPECT_EQ(*appendRecord(file, "s", record(2, 2, 100, "", 1)), 2);
    EXPECT_EQ(*appendRecord(file, "s", record(2, 2, 100, "", 1)), 3);
    auto contents = readLearnerFile(file);
    ASSERT_TRUE(contents);
    std::vector<std::string> named;
    for (const DamagedLine& d : contents->damaged)
        named.push_back(utf8(damageText(d)));
    EXPECT_EQ(named, (std::vector<std::string>{"3行目：キー 1000000000 は記録の番号ではありません",
                                               "4行目：キー 99999999999 は記録の番号ではありません"}));
    EXPECT_EQ(contents->section("s")->records.size(), 3u);
}

TEST(RecordStore, DamagedLinesAreNamedAndLeftOutOfTheRecords)
{
    test::TempFolder dir;
    std::string file = dir.systemPath("hana.ini");
    const std::string r = recordLine(record(3, 4, 75, "0100", 135));
    const std::string bad = "2026年03月05日 09:07 [] 9/ 4 100点 00:01"_sj;
    struct Case {
        const char* what;
        Lines lines;
        std::vector<int> keys;          // the records listed, by key
        std::vector<std::string> named; // damageText of each damaged line
    } cases[] = {
        {"sound", {"[password]", "pw=x", "", "[s]", "1=" + r, "2=" + r}, {1, 2}, {}},
        {"a gap", {"[s]", "1=" + r, "4=" + r}, {1, 4}, {"3行目：キー 2-3 がありません"}},
        {"a duplicate key", {"[s]", "1=" + r, "1=" + r, "2=" + r}, {1, 2}, {"3行目：キー 1 が重なっています"}},
        {"a repeated section",
         {"[s]", "1=" + r, "[S]", "1=" + r, "2=" + r},
         {1},
         {"3行目：見出し [S] が重なっています"}},
        {"no record", {"[s]", "1=" + bad, "2=" + r}, {2}, {"2行目：キー 1 の記録が壊れています"}},
        {"not a key", {"[s]", "one=" + r, "1=" + r}, {1}, {"2行目：キー one は記録の番号ではありません"}},
        {"a torn line", {"[s]", "1=" + r, "2026年03月0"}, {1}, {"3行目：記録の行ではありません"}},
        {"before any section", {"1=" + r, "[s]", "1=" + r}, {1}, {"1行目：見出しの前にある行です"}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(writeLineFile(file, c.lines));
        auto contents = readLearnerFile(file);
        ASSERT_TRUE(contents) << c.what;
        std::vector<int> keys;
        if (const RecordSection* s = contents->section("s"))
            for (const StoredRecord& stored : s->records)
                keys.push_back(stored.key);
        EXPECT_EQ(keys, c.keys) << c.what;
        std::vector<std::string> named;
        for (const DamagedLine& d : contents->damaged)
            named.push_back(utf8(damageText(d)));
        EXPECT_EQ(named, c.named) << c.what;
    }
    ASSERT_TRUE(writeLineFile(file, {"[password]", "pw=\"se cret\"", "[s]", "1=" + r}));
    EXPECT_EQ(readLearnerFile(file)->password, "se cret");
    EXPECT_TRUE(readLearnerFile(dir.systemPath("none.ini"))->sections.empty());
}

TEST(RecordStore, ALearnerFileAboveTheSizeLimitIsRefusedAndKept)
{
    test::TempFolder dir;
    const std::string file = dir.systemPath("big.ini");
    ASSERT_TRUE(writeLineFile(file, {"[s]", "1=" + recordLine(record(1, 1, 100, "", 1))}));
    std::filesystem::resize_file(dir.path() + "/big.ini", kLearnerFileLimit + 1);
    const std::string tooLarge = "ファイル " + utf8(file) + " は大きすぎて読み込めません";
    auto read = readLearnerFile(file);
    EXPECT_EQ(utf8(read.message()), tooLarge);
    auto appended = appendRecord(file, "s", record(1, 1, 100, "", 1));
    EXPECT_EQ(utf8(appended.message()), tooLarge);
    EXPECT_EQ(utf8(eraseRecords(file, "s").message()), tooLarge);
    EXPECT_EQ(std::filesystem::file_size(dir.path() + "/big.ini"), kLearnerFileLimit + 1);
    EXPECT_EQ(countRecords(file, "s"), 0);
    EXPECT_EQ(recordMemoLines(file, "s"), std::vector<std::string>{noRecordsText()});
}

TEST(RecordStore, AnAppendThatWouldPassTheSizeLimitIsRefusedAndTheFileStaysReadable)
{
    test::TempFolder dir;
    const std::string file = dir.systemPath("full.ini");
    const std::string r = recordLine(record(1, 1, 100, "", 1));
    // Records up to a few bytes below the limit.
    Lines lines{"[password]", "pw=abcd", "[s]"};
    std::size_t size = 0;
    for (const std::string& l : lines)
        size += l.size() + 2;
    for (int k = 1;; ++k) {
        std::string line = std::to_string(k) + "=" + r;
        if (size + line.size() + 2 > kLearnerFileLimit - 20) break;
        size += line.size() + 2;
        lines.push_back(std::move(line));
    }
    ASSERT_TRUE(writeLineFile(file, lines));
    const std::string before = *readWholeFile(file);
    auto appended = appendRecord(file, "s", record(1, 1, 100, "", 1));
    EXPECT_EQ(utf8(appended.message()), "ファイル " + utf8(file) +
                                            " はこれ以上大きくできないため、書き込めません。実行記録の「記録消去」で、"
                                            "もう見ない単元の記録を消してください");
    EXPECT_EQ(*readWholeFile(file), before);
    auto contents = readLearnerFile(file);
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->password, "abcd");
    EXPECT_EQ(contents->section("s")->records.size(), lines.size() - 3);
    // Erasing makes room again.
    ASSERT_TRUE(eraseRecords(file, "s"));
    EXPECT_EQ(*appendRecord(file, "s", record(1, 1, 100, "", 1)), 1);
}

TEST(RecordStore, CopiesLeftByKilledWritersGoWithTheNextWrite)
{
    test::TempFolder dir;
    const std::string file = dir.systemPath("taro.ini");
    ASSERT_TRUE(appendRecord(file, "s", record(1, 1, 100, "", 1)));
    // A writer killed after it had written its copy of the file, password and all: its process is gone.
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ASSERT_GT(dead, 0);
    ::waitpid(dead, nullptr, 0);
    const auto makeCopy = [&](const std::string& name, int ageSeconds) {
        const std::string path = dir.path() + "/" + name;
        ASSERT_TRUE(writeWholeFileAt(path, "[password]\r\npw=secret\r\n"));
        const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(ageSeconds);
        std::filesystem::last_write_time(path, when);
    };
    const std::string deadCopy = "~tavola" + std::to_string(dead) + "-0.tmp";
    const std::string deadPdf = "~tavola" + std::to_string(dead) + "-3.pdf";
    const std::string justNow = "~tavola" + std::to_string(dead) + "-1.tmp";       // it may have just died
    const std::string living = "~tavola" + std::to_string(::getpid()) + "-7.tmp";  // a writer still at work
    const std::string longAgo = "~tavola" + std::to_string(::getpid()) + "-8.tmp"; // no write takes an hour
    makeCopy(deadCopy, 120);
    makeCopy(deadPdf, 120);
    makeCopy(justNow, 0);
    makeCopy(living, 120);
    makeCopy(longAgo, 7200);
    makeCopy("~tavolaX-0.tmp", 7200); // not of the program's pattern
    ASSERT_TRUE(appendRecord(file, "s", record(1, 1, 100, "", 2)));
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"taro.ini", justNow, living, "~tavolaX-0.tmp"}));
}

TEST(RecordStore, ARecordThatCannotBeWrittenWaitsForTheNextOne)
{
    test::TempFolder dir;
    const std::string file = dir.systemPath("taro.ini");
    PendingRecords pending;
    struct Failure {
        writefault::Step step;
        int error;
        const char* reason;
    } failures[] = {
        {writefault::Step::Create, EROFS, "読み取り専用の場所です"},
        {writefault::Step::Write, ENOSPC, "ディスクに空きがありません"},
        {writefault::Step::Write, EFBIG, "ファイルが大きすぎます"},
        {writefault::Step::Rename, EACCES, "書き込みが許可されていません"},
        {writefault::Step::Rename, EPERM, "書き込みが許可されていません"},
    };
    int minute = 0;
    for (const Failure& f : failures) {
        writefault::inject({f.step, 1, f.error});
        Status s = pending.write(file, "s", {{2026, 3, 5, 9, ++minute, 0}, 0, "", 1, 1, 100, 5});
        EXPECT_EQ(utf8(s.message()), "記録を書き込めません: " + utf8(file) + " (" + f.reason + ")");
        writefault::clear();
    }
    EXPECT_EQ(pending.waiting(), 5u);
    ASSERT_TRUE(pending.write(file, "s", {{2026, 3, 5, 9, ++minute, 0}, 0, "", 1, 1, 100, 5}));
    EXPECT_EQ(pending.waiting(), 0u);
    std::vector<int> minutes;
    auto contents = readLearnerFile(file);
    ASSERT_TRUE(contents && contents->section("s"));
    for (const StoredRecord& r : contents->section("s")->records)
        minutes.push_back(r.record.minute);
    EXPECT_EQ(minutes, (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST(RecordStore, EachLearnersWaitingRecordsAreKeptApart)
{
    test::TempFolder dir;
    const std::string taro = dir.systemPath("taro.ini");
    const std::string hana = dir.systemPath("hana.ini");
    // Taro's file cannot be written: its lock path is taken by a folder.
    const std::string blocker = dir.path() + "/taro.ini.lock";
    ASSERT_TRUE(std::filesystem::create_directory(blocker));
    PendingRecords pending;
    Status first = pending.write(taro, "s", {{2026, 3, 5, 9, 1, 0}, 0, "", 1, 1, 100, 5});
    EXPECT_NE(utf8(first.message()).find("taro.ini をロックできません"), std::string::npos) << utf8(first.message());
    // Hanako scores next: her record is written, and she is not told of Taro's file.
    EXPECT_TRUE(pending.write(hana, "s", {{2026, 3, 5, 9, 2, 0}, 0, "", 1, 1, 100, 5}));
    EXPECT_TRUE(pending.write(hana, "s", {{2026, 3, 5, 9, 3, 0}, 0, "", 1, 1, 100, 5}));
    EXPECT_EQ(readRecords(hana, "s").size(), 2u);
    EXPECT_EQ(pending.waiting(), 1u);
    // Taro's second record waits behind his first, in order.
    EXPECT_FALSE(pending.write(taro, "s", {{2026, 3, 5, 9, 4, 0}, 0, "", 1, 1, 100, 5}));
    EXPECT_EQ(pending.waiting(), 2u);
    // Before the program closes: still blocked, and the message names the learner and the number of records.
    EXPECT_EQ(pending.writeWaiting(), std::vector<std::string>{taro});
    const std::string lost = utf8(pending.lostRecordsMessage());
    EXPECT_EQ(
        lost.rfind("書き込めなかった記録があります。次の学習者の記録は失われます：\ntaro（2件）\n  記録ファイル ", 0),
        0u)
        << lost;
    // The folder is gone: both are written, the first first.
    std::filesystem::remove(blocker);
    EXPECT_TRUE(pending.writeWaiting().empty());
    EXPECT_EQ(pending.lostRecordsMessage(), "");
    std::vector<int> minutes;
    auto contents = readLearnerFile(taro);
    ASSERT_TRUE(contents && contents->section("s"));
    for (const StoredRecord& r : contents->section("s")->records)
        minutes.push_back(r.record.minute);
    EXPECT_EQ(minutes, (std::vector<int>{1, 4}));
}

TEST(RecordStore, FailuresAreToldInJapaneseWithTheFile)
{
    test::TempFolder dir;
    // The lesson folder is a file: the learner file cannot be made beneath it.
    ASSERT_TRUE(writeWholeFileAt(dir.path() + "/LogOn", "x"));
    const std::string file = dir.systemPath("LogOn/taro.ini");
    auto appended = appendRecord(file, "s", record(1, 1, 100, "", 1));
    EXPECT_EQ(utf8(appended.message()), "記録ファイル " + utf8(file) + " をロックできません（" + dir.path() +
                                            "/LogOn/taro.ini.lock: 途中の名前がフォルダーではありません）");
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

// One learner file written by several programs at once, as a class practising as 共通 on a shared drive writes it:
// no record is lost, no key is given twice, the password stays, and a program that holds the file too long makes
// the others say so instead of writing over its change.
#include "platform/file_lock.h"
#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"
#include "practice/learning_records.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace tavola;

namespace {

namespace fs = std::filesystem;

// A records_writer process.
class Writer {
public:
    explicit Writer(const std::vector<std::string>& args, bool readLine = false)
    {
        std::vector<std::string> all{TAVOLA_RECORDS_WRITER};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (readLine) {
            if (::pipe(pipe_) != 0) return;
            posix_spawn_file_actions_adddup2(&actions, pipe_[1], 1);
            posix_spawn_file_actions_addclose(&actions, pipe_[0]);
        }
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        if (readLine) ::close(pipe_[1]);
    }
    // The first line the process printed.
    std::string line()
    {
        std::string text;
        char c;
        while (::read(pipe_[0], &c, 1) == 1 && c != '\n')
            text += c;
        return text;
    }
    // The exit code, -1 when it did not start or did not exit.
    int wait()
    {
        if (pid_ < 0) return -1;
        int status = 0;
        if (::waitpid(pid_, &status, 0) != pid_) return -1;
        if (pipe_[0] >= 0) ::close(pipe_[0]);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int pipe_[2] = {-1, -1};
};

std::set<std::string> namesIn(const std::string& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

class RecordsSharing : public ::testing::Test {
protected:
    void TearDown() override { filelock::setWaitLimit(filelock::kDefaultWait); }
};

} // namespace

TEST_F(RecordsSharing, TwoProgramsAppendingKeepEveryRecordAndThePassword)
{
    test::TempFolder dir;
    const std::string file = dir.systemPath("共通.ini"_sj);
    const std::string section = "S11分数のたし算"_sj;
    ASSERT_TRUE(profile::writeString(file, "password", "pw", "abcd"));

    Writer a({"append", file, section, "200"});
    Writer b({"append", file, section, "200"});
    EXPECT_EQ(a.wait(), 0);
    EXPECT_EQ(b.wait(), 0);

    auto contents = readLearnerFile(file);
    ASSERT_TRUE(contents) << sjis::toUtf8(contents.message());
    EXPECT_EQ(contents->password, "abcd");
    ASSERT_EQ(contents->sections.size(), 1u);
    const RecordSection& s = contents->sections[0];
    std::set<int> keys;
    for (const StoredRecord& r : s.records)
        keys.insert(r.key);
    EXPECT_EQ(s.records.size(), 400u);
    EXPECT_EQ(keys.size(), 400u);
    EXPECT_EQ(*keys.rbegin(), 400);
    EXPECT_TRUE(contents->damaged.empty());
    // Nothing is left beside the file: no lock file, no temporary file.
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"共通.ini"}));
}

TEST_F(RecordsSharing, ErasingWhileOthersAppendLeavesAConsistentFile)
{
    test::TempFolder dir;
    const std::string file = dir.systemPath("共通.ini"_sj);
    const std::string section = "S11分数のたし算"_sj;
    const std::string other = "S12分数のひき算"_sj;
    ASSERT_TRUE(profile::writeString(file, "password", "pw", "abcd"));
    ASSERT_TRUE(appendRecord(file, other, {{2026, 3, 5, 9, 7, 0}, 0, "", 4, 4, 100, 60}));

    Writer a({"append", file, section, "150"});
    Writer b({"append", file, section, "150"});
    Writer eraser({"erase", file, section, "60"});
    EXPECT_EQ(a.wait(), 0);
    EXPECT_EQ(b.wait(), 0);
    EXPECT_EQ(eraser.wait(), 0);

    auto contents = readLearnerFile(file);
    ASSERT_TRUE(contents) << sjis::toUtf8(contents.message());
    EXPECT_EQ(contents->password, "abcd");
    EXPECT_TRUE(contents->damaged.empty()) << sjis::toUtf8(damageText(contents->damaged.front()));
    const RecordSection* others = contents->section(other);
    ASSERT_NE(others, nullptr);
    EXPECT_EQ(others->records.size(), 1u);
    // What the last erase left: keys 1 … n without a gap, every one a record.
    if (const RecordSection* s = contents->section(section)) {
        EXPECT_LE(s->records.size(), 300u);
        for (std::size_t i = 0; i < s->records.size(); ++i)
            EXPECT_EQ(s->records[i].key, static_cast<int>(i) + 1);
        EXPECT_EQ(s->keyCount, static_cast<int>(s->records.size()));
    }
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"共通.ini"}));
}

TEST_F(RecordsSharing, AFileHeldTooLongIsReportedAndTheRecordKeptForTheNextTry)
{
    test::TempFolder dir;
    const std::string file = dir.systemPath("taro.ini");
    const std::string section = "S11a";
    ASSERT_TRUE(appendRecord(file, section, {{2026, 3, 5, 9, 7, 0}, 0, "", 1, 1, 100, 5}));
    const std::string before = *readWholeFile(file);
    filelock::setWaitLimit(std::chrono::milliseconds(100));

    Writer holder({"hold", file, "1500"}, true);
    ASSERT_EQ(holder.line(), "held");
    const std::string busy = "記録ファイルが使用中です: " + sjis::toUtf8(file);
    PendingRecords pending;
    Status written = pending.write(file, section, {{2026, 3, 5, 9, 8, 0}, 0, "", 2, 2, 100, 6});
    EXPECT_EQ(sjis::toUtf8(written.message()), busy);
    EXPECT_EQ(pending.waiting(), 1u);
    auto erased = eraseRecords(file, section);
    EXPECT_EQ(sjis::toUtf8(erased.message()), busy);
    auto read = readLearnerFile(file);
    EXPECT_EQ(sjis::toUtf8(read.message()), busy);
    EXPECT_EQ(*readWholeFile(file), before);
    EXPECT_EQ(holder.wait(), 0);

    // The holder is gone: the kept record goes first, then the new one.
    ASSERT_TRUE(pending.write(file, section, {{2026, 3, 5, 9, 9, 0}, 0, "", 3, 3, 100, 7}));
    EXPECT_EQ(pending.waiting(), 0u);
    auto contents = readLearnerFile(file);
    ASSERT_TRUE(contents);
    std::vector<int> minutes;
    for (const StoredRecord& r : contents->section(section)->records)
        minutes.push_back(r.key * 100 + r.record.minute);
    EXPECT_EQ(minutes, (std::vector<int>{107, 208, 309}));
}

TEST_F(RecordsSharing, ALockFileLeftByACrashHoldsNothing)
{
    test::TempFolder dir;
    const std::string file = dir.systemPath("hana.ini");
    const std::string lockFile = FileLock::lockPathOf(paths::realPath(file));
    EXPECT_EQ(lockFile, dir.path() + "/hana.ini.lock");
    // A program that died while writing leaves its lock file; the system has let go of its lock.
    {
        std::FILE* f = std::fopen(lockFile.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    filelock::setWaitLimit(std::chrono::milliseconds(100));
    EXPECT_TRUE(appendRecord(file, "S11a", {{2026, 3, 5, 9, 7, 0}, 0, "", 1, 1, 100, 5}));
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"hana.ini"}));

    // A name too long for ".lock" gets a short lock file in the same folder.
    const std::string longName(251, 'n');
    const std::string shortLock = FileLock::lockPathOf(dir.path() + "/" + longName);
    EXPECT_EQ(fs::path(shortLock).parent_path().string(), dir.path());
    EXPECT_LE(fs::path(shortLock).filename().string().size(), 40u);
    EXPECT_EQ(shortLock, FileLock::lockPathOf(dir.path() + "/" + longName));
    EXPECT_NE(shortLock, FileLock::lockPathOf(dir.path() + "/" + std::string(251, 'm')));
}

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
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <memory>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

namespace {

// What can stand at a learner file's lock path: made by a test, or by a pupil who can write in the lesson folder.
enum class AtLockPath {
    Nothing,
    StaleFile,
    Folder,
    LinkToNull,
    DanglingLink,
    LinkToLearnerFile,
    Pipe,
    Socket,
    HardLink
};

struct LockCase {
    const char* what;
    AtLockPath kind;
    bool sound; // the lock can be taken
};

bool plant(AtLockPath kind, const std::string& lock, const std::string& learnerFile)
{
    switch (kind) {
    case AtLockPath::Nothing:
        return true;
    case AtLockPath::StaleFile: {
        std::FILE* f = std::fopen(lock.c_str(), "w");
        return f != nullptr && std::fclose(f) == 0;
    }
    case AtLockPath::Folder:
        return ::mkdir(lock.c_str(), 0777) == 0;
    case AtLockPath::LinkToNull:
        return ::symlink("/dev/null", lock.c_str()) == 0;
    case AtLockPath::DanglingLink:
        return ::symlink("nowhere", lock.c_str()) == 0;
    case AtLockPath::LinkToLearnerFile:
        return ::symlink(learnerFile.c_str(), lock.c_str()) == 0;
    case AtLockPath::Pipe:
        return ::mkfifo(lock.c_str(), 0666) == 0;
    case AtLockPath::Socket: {
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (s < 0 || lock.size() >= sizeof address.sun_path) return false;
        std::memcpy(address.sun_path, lock.c_str(), lock.size() + 1);
        const bool bound = ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(s);
        return bound;
    }
    case AtLockPath::HardLink:
        return ::link(learnerFile.c_str(), lock.c_str()) == 0;
    }
    return false;
}

// The record lines of the file, counted line by line whatever stands at its lock path.
int recordsIn(const std::string& file)
{
    int n = 0;
    for (const std::string& line : splitLines(readWholeFile(file).value_or("")))
        n += parseRecordLine(profile::parseLine(line).value).has_value() ? 1 : 0;
    return n;
}

int waitingOf(const std::string& line)
{
    return line.starts_with("waiting ") ? std::stoi(line.substr(8)) : -1;
}

} // namespace

TEST_F(RecordsSharing, WhateverStandsAtTheLockPathNoRecordIsLostInSilence)
{
    const LockCase cases[] = {
        {"nothing", AtLockPath::Nothing, true},
        {"a lock file left by a crash", AtLockPath::StaleFile, true},
        {"a folder", AtLockPath::Folder, false},
        {"a link to /dev/null", AtLockPath::LinkToNull, false},
        {"a dangling link", AtLockPath::DanglingLink, false},
        {"a link to the learner file", AtLockPath::LinkToLearnerFile, false},
        {"a named pipe", AtLockPath::Pipe, false},
        {"a socket", AtLockPath::Socket, false},
        {"a second name of the learner file", AtLockPath::HardLink, false},
    };
    constexpr int kWriters = 4;
    constexpr int kRecords = 25;
    for (const LockCase& c : cases) {
        test::TempFolder dir;
        const std::string file = dir.systemPath("taro.ini");
        const std::string section = "S11a";
        ASSERT_TRUE(profile::writeString(file, "password", "pw", "abcd"));
        const std::string lock = FileLock::lockPathOf(paths::realPath(file));
        ASSERT_TRUE(plant(c.kind, lock, paths::realPath(file))) << c.what;
        const std::string before = *readWholeFile(file);

        std::vector<std::unique_ptr<Writer>> writers;
        for (int i = 0; i < kWriters; ++i)
            writers.push_back(std::make_unique<Writer>(
                std::vector<std::string>{"append", file, section, std::to_string(kRecords)}, true));
        int waiting = 0;
        int failedWriters = 0;
        for (auto& w : writers) {
            waiting += waitingOf(w->line());
            failedWriters += w->wait() != 0 ? 1 : 0;
        }
        const int kept = recordsIn(file);
        // Every record asked for is in the file or was told as failed and is still held by its writer.
        EXPECT_EQ(kept + waiting, kWriters * kRecords) << c.what;
        if (c.sound) {
            EXPECT_EQ(kept, kWriters * kRecords) << c.what;
            EXPECT_EQ(failedWriters, 0) << c.what;
            auto contents = readLearnerFile(file);
            ASSERT_TRUE(contents) << c.what;
            EXPECT_EQ(contents->password, "abcd");
            EXPECT_TRUE(contents->damaged.empty()) << c.what;
        } else {
            EXPECT_EQ(kept, 0) << c.what;
            EXPECT_EQ(failedWriters, kWriters) << c.what;
            EXPECT_EQ(*readWholeFile(file), before) << c.what;
            // The refusal names the learner file and the thing in the way.
            const std::string message =
                sjis::toUtf8(appendRecord(file, section, {{2026, 3, 5, 9, 7, 0}, 0, "", 1, 1, 100, 5}).message());
            EXPECT_NE(message.find("taro.ini をロックできません"), std::string::npos) << c.what << ": " << message;
            EXPECT_NE(message.find("taro.ini.lock"), std::string::npos) << c.what << ": " << message;
            EXPECT_NE(message.find("ふつうのファイルではありません"), std::string::npos) << c.what << ": " << message;
            EXPECT_EQ(sjis::toUtf8(readLearnerFile(file).message()), message) << c.what;
        }
    }
}

namespace {

// A records_writer run under another account (uid and gid) with the usual umask 022. Everything the child needs is
// made before the fork: it only switches accounts and runs the writer.
class AccountWriter {
public:
    AccountWriter(uid_t id, const std::vector<std::string>& args, const char* waitMs = nullptr)
    {
        std::vector<std::string> all{TAVOLA_RECORDS_WRITER};
        all.insert(all.end(), args.begin(), args.end());
        for (std::string& a : all)
            argv_.push_back(strdup(a.c_str()));
        argv_.push_back(nullptr);
        for (char** e = environ; *e != nullptr; ++e)
            envp_.push_back(*e);
        std::string wait = std::string("TAVOLA_LOCK_WAIT_MS=") + (waitMs != nullptr ? waitMs : "5000");
        waitEnv_ = strdup(wait.c_str());
        envp_.push_back(waitEnv_);
        envp_.push_back(nullptr);
        if (::pipe(out_) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out_[1], 1);
            ::close(out_[0]);
            ::close(out_[1]);
            if (::setgroups(0, nullptr) != 0 || ::setgid(id) != 0 || ::setuid(id) != 0) ::_exit(126);
            ::umask(022);
            ::execve(argv_[0], argv_.data(), envp_.data());
            ::_exit(127);
        }
        ::close(out_[1]);
    }
    ~AccountWriter()
    {
        for (char* a : argv_)
            std::free(a);
        std::free(waitEnv_);
    }
    // Its exit code (-1 when it did not run to its end) and its first line.
    int wait(std::string* line = nullptr)
    {
        std::string text;
        char c;
        while (::read(out_[0], &c, 1) == 1 && c != '\n')
            text += c;
        while (::read(out_[0], &c, 1) == 1) {
        }
        ::close(out_[0]);
        if (line != nullptr) *line = text;
        int status = 0;
        if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    std::vector<char*> argv_;
    std::vector<char*> envp_;
    char* waitEnv_ = nullptr;
    int out_[2] = {-1, -1};
    pid_t pid_ = -1;
};

// Two pupils' accounts that are neither the superuser nor each other.
constexpr uid_t kPupilA = 64001;
constexpr uid_t kPupilB = 64002;

// Whether this process can run a program under another account that can read and run the test writer.
std::string cannotSwitchAccounts()
{
    if (::geteuid() != 0) return "switching accounts needs the superuser";
    if (AccountWriter(kPupilA, {"none"}).wait() != 2) return "the test writer cannot be run under another account";
    return {};
}

} // namespace

TEST_F(RecordsSharing, TwoAccountsWithTheirUsualUmaskExcludeEachOther)
{
    if (std::string why = cannotSwitchAccounts(); !why.empty()) GTEST_SKIP() << why;
    test::TempFolder dir;
    // The class folder every pupil may write in.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const std::string file = dir.systemPath("共通.ini"_sj);
    const std::string section = "S11a";
    constexpr int kRecords = 60;

    std::vector<std::unique_ptr<AccountWriter>> writers;
    for (uid_t id : {kPupilA, kPupilB, kPupilA, kPupilB})
        writers.push_back(std::make_unique<AccountWriter>(
            id, std::vector<std::string>{"append", file, section, std::to_string(kRecords)}));
    int waiting = 0;
    for (auto& w : writers) {
        std::string line;
        EXPECT_EQ(w->wait(&line), 0);
        waiting += waitingOf(line);
    }
    EXPECT_EQ(waiting, 0);
    EXPECT_EQ(recordsIn(file), 4 * kRecords);
    auto contents = readLearnerFile(file);
    ASSERT_TRUE(contents);
    EXPECT_TRUE(contents->damaged.empty());
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"共通.ini"}));

    // A lock file that a program made for its own account only and left behind when it was killed is told to the
    // other account, which keeps its records, rather than written past.
    const std::string lock = FileLock::lockPathOf(paths::realPath(file));
    ASSERT_TRUE(plant(AtLockPath::StaleFile, lock, ""));
    ASSERT_EQ(::chown(lock.c_str(), kPupilA, kPupilA), 0);
    ASSERT_EQ(::chmod(lock.c_str(), 0644), 0);
    std::string line;
    EXPECT_EQ(AccountWriter(kPupilB, {"append", file, section, "3"}, "50").wait(&line), 1);
    EXPECT_EQ(waitingOf(line), 3);
    EXPECT_EQ(recordsIn(file), 4 * kRecords);
    // Its owner takes it over and removes it.
    EXPECT_EQ(AccountWriter(kPupilA, {"append", file, section, "1"}).wait(&line), 0);
    EXPECT_EQ(recordsIn(file), 4 * kRecords + 1);
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"共通.ini"}));
}

#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavola;

TEST(LineFile, EachLineEndEndsALineAndAFinalEndAddsNone)
{
    EXPECT_EQ(splitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(splitLines("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_TRUE(splitLines("").empty());
}

TEST(LineFile, WritesCrLfWholeAndReadsBack)
{
    test::TempFolder dir;
    std::string path = dir.systemPath("out.txt");
    Lines lines{"[[unit1", "分数"_sj, ""};
    ASSERT_TRUE(writeLineFile(path, lines));
    EXPECT_EQ(readWholeFile(path).value(), "[[unit1\r\n" + "分数"_sj + "\r\n\r\n");
    EXPECT_EQ(readLineFile(path).value(), lines);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(LineFile, AFailedWriteLeavesTheOldFile)
{
    test::TempFolder dir;
    std::string path = dir.systemPath("missing-folder/out.txt");
    EXPECT_FALSE(writeLineFile(path, {"x"}));
    EXPECT_FALSE(readLineFile(path).has_value());
}

TEST(LineFile, OnlyRegularFilesAreReadAndNothingWaitsForAWriter)
{
    test::TempFolder dir;
    ASSERT_EQ(::mkfifo((dir.path() + "/Main.ind").c_str(), 0600), 0);
    std::filesystem::create_directories(dir.path() + "/Bun1.que");
    for (const char* name : {"Main.ind", "Bun1.que", "main.IND"}) {
        EXPECT_FALSE(paths::fileExists(dir.systemPath(name))) << name;
        EXPECT_FALSE(readWholeFile(dir.systemPath(name)).has_value()) << name;
    }
    EXPECT_FALSE(readWholeFileAt("/dev/zero").has_value());
}

TEST(Paths, BackslashesDrivesAndCaseInsensitiveNames)
{
    test::TempFolder dir;
    std::filesystem::create_directories(dir.path() + "/Lesson1/Graph");
    std::ofstream(dir.path() + "/Lesson1/Graph/Fig1.BMP") << "x";
    std::string sys = dir.systemPath("lesson1\\graph\\fig1.bmp");
    EXPECT_EQ(paths::realPath(sys), dir.path() + "/Lesson1/Graph/Fig1.BMP");
    EXPECT_TRUE(paths::fileExists(sys));
    EXPECT_TRUE(paths::directoryExists(dir.systemPath("LESSON1\\")));
    // A name that does not exist in any case keeps its spelling.
    EXPECT_EQ(paths::realPath(dir.systemPath("Lesson1\\none\\x")), dir.path() + "/Lesson1/none/x");
    // A drive text is the user's data folder.
    EXPECT_EQ(paths::realPath("C:\\Tavola\\LogOn"), paths::dataFolder() + "/Tavola/LogOn");
    // A double-byte folder name with a second byte of 0x5C survives.
    std::filesystem::create_directories(dir.path() + "/表");
    EXPECT_TRUE(paths::directoryExists(dir.systemPath("表\\"_sj)));
}

TEST(ProfileFile, SectionsAndKeysIgnoreAsciiCase)
{
    test::TempFolder dir;
    std::string path = dir.systemPath("taro.ini");
    EXPECT_EQ(profile::readString(path, "PassWord", "pw", "none"), "none");
    ASSERT_TRUE(profile::writeString(path, "PassWord", "pw", "abc"));
    ASSERT_TRUE(profile::writeString(path, "分数"_sj, "1", "2005年"_sj));
    ASSERT_TRUE(profile::writeString(path, "password", "PW", "xyz"));
    EXPECT_EQ(profile::readString(path, "PASSWORD", "pw", ""), "xyz");
    ASSERT_TRUE(profile::writeString(path, "分数"_sj, "2", "b"));
    EXPECT_EQ(profile::sectionKeys(path, "分数"_sj), (std::vector<std::string>{"1", "2"}));
    ASSERT_TRUE(profile::eraseSection(path, "PassWord"));
    EXPECT_EQ(profile::readString(path, "PassWord", "pw", "gone"), "gone");
    EXPECT_EQ(profile::readString(path, "分数"_sj, "1", ""), "2005年"_sj);
}

TEST(LineFile, LinksLongNamesAndTheFileSizeLimit)
{
    test::TempFolder dir;
    namespace fs = std::filesystem;
    // A symbolic link is written through: the target gets the lines and the link stays a link.
    fs::create_directories(dir.path() + "/real");
    ASSERT_TRUE(writeLineFile(dir.systemPath("real/taro.ini"), {"old"}));
    fs::create_symlink("real/taro.ini", dir.path() + "/taro.ini");
    ASSERT_TRUE(writeLineFile(dir.systemPath("taro.ini"), {"new"}));
    EXPECT_TRUE(fs::is_symlink(dir.path() + "/taro.ini"));
    EXPECT_EQ(readLineFile(dir.systemPath("real/taro.ini")), Lines{"new"});
    // A link to nothing is refused, and nothing is made.
    fs::create_symlink("gone/x.ini", dir.path() + "/dangling.ini");
    EXPECT_FALSE(writeLineFile(dir.systemPath("dangling.ini"), {"x"}));
    EXPECT_FALSE(fs::exists(dir.path() + "/gone"));

    // A name of 255 bytes, the most a folder takes, can be written: the temporary name is short.
    const std::string longest(251, 'n');
    EXPECT_TRUE(writeLineFile(dir.systemPath(longest + ".ini"), {"x"}));
    EXPECT_EQ(readLineFile(dir.systemPath(longest + ".ini")), Lines{"x"});

    // Past the process's file-size limit the write fails with a message instead of ending the program, and the
    // old file and the folder stay as they were (in a child, whose limit does not bind the tests).
    ASSERT_TRUE(writeLineFile(dir.systemPath("limit.ini"), {"old"}));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        struct rlimit limit {
            4096, 4096
        };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        Status s = writeLineFile(dir.systemPath("limit.ini"), {std::string(100000, 'x')});
        ::_exit(!s && s.message() == "ファイルが大きすぎます"_sj ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(readLineFile(dir.systemPath("limit.ini")), Lines{"old"});
    std::size_t names = 0;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        (void)e;
        ++names;
    }
    EXPECT_EQ(names, 5u) << "real, taro.ini, dangling.ini, the long name and limit.ini";
}

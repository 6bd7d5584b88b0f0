#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

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

#include "app/learner_files.h"
#include "app/open_flows.h"

#include "platform/line_file.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavola;

TEST(LearnerName, NamesThatCouldLeaveTheirFolderAreRefused)
{
    struct Case {
        std::string name;
        bool refused;
    } cases[] = {
        {"taro", false},    {"山田 花子"_sj, false},
        {"表"_sj, false}, // 表 is 95 5C: no backslash in it
        {"a.b", false},     {"", false},
        {"..\\x", true},    {"../x", true},
        {"a:b", true},      {"a*", true},
        {"a?", true},       {"a\"b", true},
        {"<a>", true},      {"a|b", true},
        {"a\tb", true},     {std::string("a\x7f"), true},
        {".", true},        {"...", true},
        {" ", true},        {"　"_sj, true},
        {" 　  "_sj, true}, {"山田　花子"_sj, false},
        {" taro ", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(learnerNameProblem(c.name).has_value(), c.refused) << c.name;
}

TEST(LearnerDataFile, InTheLessonFolderElseInTheUsersDataFolderStableAcrossRuns)
{
    test::TempFolder dir;
    std::filesystem::create_directories(dir.path() + "/cw/tasu");
    ShellState state;
    state.coursewareDir = dir.systemPath("cw/");
    state.windowsDir = dir.systemPath("data/");
    CoursewareIndex index(state.coursewareDir);
    index.readMainIndexLines({"t", "", "a,tasu\\\\tasu", "b,kake\\\\kake", ">>"});
    state.learnerName = "taro";
    EXPECT_EQ(learnerRecordFile(state, index, 1), state.coursewareDir + "tasu\\taro.ini");
    EXPECT_EQ(learnerRecordFile(state, index, 0), state.coursewareDir + "tasu\\taro.ini");

    // The folder of lesson 2 does not exist.
    std::string elsewhere = learnerRecordFile(state, index, 2);
    EXPECT_EQ(elsewhere.rfind(state.windowsDir + "records/cw-", 0), 0u) << elsewhere;
    EXPECT_TRUE(elsewhere.ends_with("/kake/taro.ini")) << elsewhere;
    EXPECT_EQ(learnerRecordFile(state, index, 2), elsewhere);

    state.onCdRom = true;
    EXPECT_TRUE(learnerRecordFile(state, index, 1).ends_with("/tasu/taro.ini"));
    EXPECT_EQ(learnerRecordFile(state, index, 1).rfind(state.windowsDir, 0), 0u);
    // Another courseware folder of the same name keeps its own files.
    ShellState other = state;
    other.coursewareDir = dir.systemPath("x/cw/");
    EXPECT_NE(learnerRecordFile(other, index, 1), learnerRecordFile(state, index, 1));

    for (const char* name : {"", "..", "../../etc/x", "a\\b"}) {
        state.learnerName = name;
        EXPECT_EQ(learnerRecordFile(state, index, 1), "") << name;
    }
}

TEST(LearnerFolder, IsLogOnInTheCoursewareOrTheRecordFolderOnAReadOnlyOne)
{
    ShellState state;
    state.coursewareDir = "/cw/";
    state.logOnDir = "C:\\Tavola\\LogOn";
    EXPECT_EQ(defaultNameListPath(state), "/cw/LogOn\\sname.txt");
    state.onCdRom = true;
    EXPECT_EQ(defaultNameListPath(state), "C:\\Tavola\\LogOn\\sname.txt");
}

TEST(Password, FourBytesConfirmedOnceThenComparedExactly)
{
    const std::string none = kNoPassword;
    struct Case {
        std::string password, confirmation, stored;
        PasswordOutcome outcome;
    } cases[] = {
        {"abc", "abc", none, PasswordOutcome::TooShort},      {"abc", "", "abc", PasswordOutcome::TooShort},
        {"ＡＢ"_sj, "ＡＢ"_sj, none, PasswordOutcome::Set}, // two double-byte characters are four bytes
        {"abcd", "abce", none, PasswordOutcome::Unconfirmed}, {"abcd", "", "abcd", PasswordOutcome::Accepted},
        {"ABCD", "", "abcd", PasswordOutcome::Wrong},
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkPassword(c.password, c.confirmation, c.stored), c.outcome) << c.password;
    EXPECT_EQ(sjis::toUtf8(passwordMessage(PasswordOutcome::TooShort)), "４文字以上にしてください");
}

TEST(Password, IsStoredInItsSectionAndReadsBackAsTyped)
{
    test::TempFolder dir;
    std::string file = dir.systemPath("new/folder/taro.ini");
    EXPECT_EQ(storedPassword(file), "?");
    for (const char* pw : {"abcd", " ab ", "\"ab\""}) {
        ASSERT_TRUE(storePassword(file, pw));
        EXPECT_EQ(storedPassword(file), pw);
    }
    EXPECT_EQ(profile::sectionKeys(file, "password"), std::vector<std::string>{"pw"});
}

TEST(NameList, AMissingListBecomesPublicAndAddingKeepsOneEntryPerName)
{
    test::TempFolder dir;
    std::string path = dir.systemPath("sname.txt");
    NameList list;
    ASSERT_TRUE(list.open(path));
    EXPECT_EQ(list.names(), Lines{"公開"_sj});
    EXPECT_EQ(readLineFile(path), Lines{"公開"_sj});
    EXPECT_EQ(list.fileName(), "sname.txt");
    EXPECT_FALSE(list.saveEnabled());

    EXPECT_TRUE(list.add("Taro"));
    EXPECT_TRUE(list.add("Taro"));
    EXPECT_TRUE(list.add("taro"));
    EXPECT_TRUE(list.add(""));
    EXPECT_FALSE(list.add("../x"));
    EXPECT_EQ(list.names(), (Lines{"公開"_sj, "Taro", "taro"}));
    EXPECT_TRUE(list.saveEnabled());
    list.remove(0);
    list.remove(7);
    EXPECT_EQ(list.names(), (Lines{"Taro", "taro"}));
    // Nothing was written but the new list.
    EXPECT_EQ(readLineFile(path), Lines{"公開"_sj});
}

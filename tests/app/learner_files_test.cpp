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
        {"taro", false},
        {"山田 花子"_sj, false},
        {"表"_sj, false}, // 表 is 95 5C: no backslash in it
        {"a.b", false},
        {"", false},
        {"..\\x", true},
        {"../x", true},
        {"a:b", true},
        {"a*", true},
        {"a?", true},
        {"a\"b", true},
        {"<a>", true},
        {"a|b", true},
        {"a\tb", true},
        {std::string("a\x7f"), true},
        {".", true},
        {"...", true},
        {" ", true},
        {"　"_sj, true},
        {" 　  "_sj, true},
        {"山田　花子"_sj, false},
        {" taro ", false},
        // a lead byte makes a character only with a trail byte (40-7E, 80-FC) after it
        {std::string("\x81/x"), true},
        {std::string("a\x81"), true},
        {std::string("\x83\x7f"), true},
        {std::string("\x88\xfd"), true},
        {"ア"_sj, false},
        {"ャ"_sj, false},
        // The data file is the name in UTF-8 + ".ini", at most 255 bytes: 83 kana fit, 84 do not.
        {[] {
             std::string k;
             for (int i = 0; i < 83; ++i)
                 k += "さ"_sj;
             return k;
         }(),
         false},
        {[] {
             std::string k;
             for (int i = 0; i < 84; ++i)
                 k += "さ"_sj;
             return k;
         }(),
         true},
        {std::string(251, 'a'), false},
        {std::string(252, 'a'), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(learnerNameProblem(c.name).has_value(), c.refused) << c.name;
}

TEST(LearnerName, BlanksOfEitherWidthAreTrimmedFromBothEnds)
{
    const std::pair<const char*, const char*> cases[] = {
        {"さくら", "さくら"},       {"さくら ", "さくら"},        {" さくら", "さくら"},
        {"さくら　", "さくら"},     {"　さくら", "さくら"},       {"さくら 　 ", "さくら"},
        {"　 さくら　 ", "さくら"}, {"山田　花子", "山田　花子"}, {"", ""},
    };
    for (auto [typed, name] : cases)
        EXPECT_EQ(trimLearnerName(sjis::encode(typed)), sjis::encode(name)) << typed;
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

TEST(NameList, OkOnTwoComputersKeepsTheNamesEachAddedAndTheDeletes)
{
    test::TempFolder dir;
    std::string path = dir.systemPath("sname.txt");
    writeLineFile(path, {"公開"_sj, "hana", "jiro"});
    NameList first;
    NameList second;
    ASSERT_TRUE(first.open(path));
    ASSERT_TRUE(second.open(path));
    ASSERT_TRUE(first.add("taro"));
    ASSERT_TRUE(second.add("sakura"));
    second.remove(2); // jiro
    ASSERT_TRUE(first.saveMerged(path));
    EXPECT_EQ(readLineFile(path), (Lines{"公開"_sj, "hana", "jiro", "taro"}));
    ASSERT_TRUE(second.saveMerged(path));
    const Lines both{"公開"_sj, "hana", "taro", "sakura"};
    EXPECT_EQ(readLineFile(path), both);
    EXPECT_EQ(second.names(), both);
    // A list opened from another file is written whole into the learner folder, as before.
    std::string other = dir.systemPath("class.txt");
    writeLineFile(other, {"a", "b"});
    NameList opened;
    ASSERT_TRUE(opened.open(other));
    ASSERT_TRUE(opened.saveMerged(path));
    EXPECT_EQ(readLineFile(path), (Lines{"a", "b"}));
}

TEST(Password, FollowsTheLearnerIntoLessonsWithoutOne)
{
    test::TempFolder dir;
    for (const char* folder : {"/cw/l1", "/cw/l2", "/cw/l3"})
        std::filesystem::create_directories(dir.path() + folder);
    ShellState state;
    state.coursewareDir = dir.systemPath("cw/");
    state.windowsDir = dir.systemPath("data/");
    CoursewareIndex index(state.coursewareDir);
    index.readMainIndexLines({"t", "", "a,l1\\\\l1", "b,l2\\\\l2", "c,l3\\\\l3", ">>"});
    auto fileOf = [&](int lesson) { return learnerDataFile(state, index, "taro", lesson); };

    // No password anywhere: a new one is set.
    LearnerPassword none = learnerPassword(state, index, "taro", 2);
    EXPECT_EQ(none.stored, "?");
    EXPECT_FALSE(none.fromOtherLesson);
    // Set in lesson 3: lesson 2 asks for that one, and lesson 3 for its own.
    ASSERT_TRUE(storePassword(fileOf(3), "tora"));
    LearnerPassword carried = learnerPassword(state, index, "taro", 2);
    EXPECT_EQ(carried.stored, "tora");
    EXPECT_TRUE(carried.fromOtherLesson);
    EXPECT_FALSE(learnerPassword(state, index, "taro", 3).fromOtherLesson);
    // Once typed it is copied, unless a password was set there meanwhile; the file keeps its format.
    EXPECT_EQ(*storePasswordIfNone(fileOf(2), "tora"), true);
    EXPECT_EQ(readWholeFile(fileOf(2)), "[password]\r\npw=tora\r\n");
    EXPECT_EQ(*storePasswordIfNone(fileOf(2), "other"), false);
    EXPECT_EQ(storedPassword(fileOf(2)), "tora");
    LearnerPassword own = learnerPassword(state, index, "taro", 2);
    EXPECT_EQ(own.stored, "tora");
    EXPECT_FALSE(own.fromOtherLesson);
    // Another learner's password is no help.
    EXPECT_EQ(learnerPassword(state, index, "hana", 1).stored, "?");
}

TEST(NameList, AListTooLargeOrUnreadableIsReportedAndNotWrittenOver)
{
    test::TempFolder dir;
    const std::string path = dir.systemPath("sname.txt");
    ASSERT_TRUE(writeLineFile(path, {"taro"}));
    std::filesystem::resize_file(dir.path() + "/sname.txt", kLearnerFileLimit + 1);
    NameList list;
    Status opened = list.open(path);
    EXPECT_EQ(sjis::toUtf8(opened.message()), "ファイル " + sjis::toUtf8(path) + " は大きすぎて読み込めません");
    EXPECT_EQ(list.names(), Lines{"公開"_sj});
    EXPECT_TRUE(list.add("hana"));
    EXPECT_TRUE(list.saveAs(path));
    EXPECT_EQ(std::filesystem::file_size(dir.path() + "/sname.txt"), kLearnerFileLimit + 1);
    // Saved elsewhere it is written.
    EXPECT_TRUE(list.saveAs(dir.systemPath("other.txt")));
    EXPECT_EQ(readLineFile(dir.systemPath("other.txt")), (Lines{"公開"_sj, "hana"}));
}

TEST(NameList, AListThatCannotBeWrittenIsToldInJapaneseWithItsFile)
{
    test::TempFolder dir;
    // LogOn is a file, not the learner folder.
    ASSERT_TRUE(writeLineFile(dir.systemPath("LogOn"), {"x"}));
    const std::string path = dir.systemPath("LogOn/sname.txt");
    NameList list;
    EXPECT_EQ(sjis::toUtf8(list.open(path).message()),
              "名簿を保存できません: " + sjis::toUtf8(path) + " (途中の名前がフォルダーではありません)");
}

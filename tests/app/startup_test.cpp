#include "app/startup.h"
#include "courseware/index_file.h"
#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/settings_store.h"
#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace tavola;
using tavola::test::TempFolder;

namespace {

// Records the window steps in their order, with what each was given.
class RecordingWindow : public ShowSequenceWindow {
public:
    explicit RecordingWindow(ShellState& state) : state_(state) {}
    std::vector<std::string> steps;
    std::string titlePath = "(not called)";
    int paperWidth = -1;
    bool tipsNextTime = false;
    bool modeShown = false;
    std::string learnerShown;
    bool printerMode = false;

    void showTitlePicture(const std::string& path) override
    {
        steps.push_back("title");
        titlePath = path;
    }
    void setShowTipsNextTime(bool show) override
    {
        steps.push_back("tipsNextTime");
        tipsNextTime = show;
    }
    void mainIndexRead() override { steps.push_back("mainIndex"); }
    void enableAnswerButton() override { steps.push_back("answerButton"); }
    void selectPrintMode(bool printerMode) override
    {
        steps.push_back("printMode");
        this->printerMode = printerMode;
    }
    void applyPaper(int width) override
    {
        steps.push_back("paper");
        paperWidth = width;
    }
    void toggleAnswers() override
    {
        steps.push_back("answers");
        state_.showAnswers = !state_.showAnswers;
    }
    void placeTipsPanel() override { steps.push_back("placeTips"); }
    void bringTitleToFront() override { steps.push_back("titleFront"); }
    void indexEditorReadMainIndex() override { steps.push_back("indexEditor"); }
    void focusTipsClose() override { steps.push_back("focusTips"); }
    void showLearnerName() override
    {
        steps.push_back("learner");
        learnerShown = state_.learnerName;
    }
    void showMode(bool keyLock) override
    {
        steps.push_back("mode");
        modeShown = keyLock;
    }
    void focusStudyButton() override { steps.push_back("focusStudy"); }

private:
    ShellState& state_;
};

void writeBytes(const std::string& realPath, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(realPath).parent_path());
    std::ofstream(realPath, std::ios::binary) << bytes;
}

// A courseware folder, a settings folder and a data folder (the "C:\" of the record drive), all temporary.
class ShowSequence : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("XDG_DATA_HOME");
        oldDataHome_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("XDG_DATA_HOME", data_.path().c_str(), 1);
        state_.coursewareDir = courseware_.systemPath();
        writeBytes(courseware_.path() + "/Main.ind",
                   "分数の計算\r\nfree\r\n分数のたし算,Tasu\\\\tasu\r\n分数のひき算,Hiku\\\\hiku\r\n>>\r\n"_sj);
        writeBytes(courseware_.path() + "/Title.BMP", "BM");
    }
    void TearDown() override
    {
        if (oldDataHome_)
            ::setenv("XDG_DATA_HOME", oldDataHome_->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }

    ShowOutcome run() { return runShowSequence(state_, index_, settings_, prompts_, window_); }
    std::string keyText(SettingsKey key)
    {
        // The key files hold their texts in UTF-8.
        auto bytes = readWholeFile(sjis::encode(settings_.keyFile(key)));
        return bytes ? *bytes : std::string("(missing)");
    }

    TempFolder courseware_;
    TempFolder config_;
    TempFolder data_;
    std::optional<std::string> oldDataHome_;
    ShellState state_;
    CoursewareIndex index_;
    SettingsStore settings_{config_.path()};
    ScriptedPrompts prompts_;
    RecordingWindow window_{state_};
};

} // namespace

TEST_F(ShowSequence, FirstStartRunsEveryStepInOrderAndCreatesEverySetting)
{
    EXPECT_EQ(run(), ShowOutcome::Completed);
    EXPECT_TRUE(prompts_.shown.empty()) << prompts_.lastUtf8();
    EXPECT_EQ(window_.steps, (std::vector<std::string>{"title", "tipsNextTime", "mainIndex", "answerButton",
                                                       "printMode", "paper", "answers", "placeTips", "titleFront",
                                                       "indexEditor", "focusTips", "learner", "mode", "focusStudy"}));
    EXPECT_EQ(window_.titlePath, state_.coursewareDir + "Title.BMP");

    EXPECT_EQ(keyText(SettingsKey::Program), "KeyLock\tdword\t0\r\nLogOnName\tsz\t共通\r\nPaperSize\tdword\t630\r\n"
                                             "PrintMode\tdword\t0\r\nShowDoYouKnow\tdword\t1\r\ntheSchool\tsz\t\r\n");
    EXPECT_EQ(keyText(SettingsKey::Common), "RecDrive\tsz\tC:\\\\\r\n");

    EXPECT_EQ(state_.schoolName, "");
    EXPECT_TRUE(window_.tipsNextTime);
    EXPECT_EQ(window_.paperWidth, 630);
    EXPECT_FALSE(window_.printerMode);
    EXPECT_TRUE(state_.showAnswers); // switched off, then toggled once
    EXPECT_TRUE(state_.answersEnabled);
    EXPECT_TRUE(state_.marksStale);
    EXPECT_FALSE(state_.indexChanged);
    EXPECT_EQ(state_.learnerName, "共通"_sj);
    EXPECT_EQ(window_.learnerShown, "共通"_sj);
    EXPECT_FALSE(state_.keyLock);
    EXPECT_FALSE(window_.modeShown);
    EXPECT_FALSE(state_.onCdRom);
    EXPECT_EQ(index_.lessonCount(), 2);
    EXPECT_EQ(index_.lessonStem(2), "hiku");

    // The record drive "C:\" is the data folder: the learner folder is made under it.
    EXPECT_EQ(state_.recordDrive, "C:\\");
    EXPECT_EQ(state_.logOnDir, "C:\\Tavola\\LogOn");
    EXPECT_TRUE(std::filesystem::is_directory(data_.path() + "/tavola/Tavola/LogOn"));
    EXPECT_EQ(state_.windowsDir, sjis::encode(data_.path()) + "/tavola/");
    EXPECT_EQ(state_.helpFile, kDefaultHelpFile);
}

TEST_F(ShowSequence, StoredValuesAreUsedAsTheyAre)
{
    ASSERT_TRUE(settings_.writeText("theSchool", "ＣＡＩ中学校"_sj));
    ASSERT_TRUE(settings_.writeFlag("ShowDoYouKnow", false));
    ASSERT_TRUE(settings_.writeInteger("PaperSize", 999));
    ASSERT_TRUE(settings_.writeText("LogOnName", "やまだ"_sj));
    ASSERT_TRUE(settings_.writeInteger("KeyLock", 5));
    ASSERT_TRUE(settings_.writeFlag("PrintMode", true));

    EXPECT_EQ(run(), ShowOutcome::Completed);
    EXPECT_TRUE(window_.printerMode); // the print mode chosen last
    EXPECT_EQ(state_.schoolName, "ＣＡＩ中学校"_sj);
    EXPECT_FALSE(window_.tipsNextTime);
    EXPECT_EQ(window_.paperWidth, 999); // the window checks A4 and keeps 999
    EXPECT_EQ(state_.learnerName, "やまだ"_sj);
    // 5 counts as true: student mode, and entering it writes the flag back.
    EXPECT_TRUE(state_.keyLock);
    EXPECT_TRUE(window_.modeShown);
    EXPECT_EQ(*settings_.readInteger("KeyLock", 0), 1);
}

TEST_F(ShowSequence, MissingTitlePictureIsReportedAndStartUpGoesOn)
{
    std::filesystem::remove(courseware_.path() + "/Title.BMP");
    EXPECT_EQ(run(), ShowOutcome::Completed);
    EXPECT_EQ(prompts_.shownUtf8(),
              (std::vector<std::string>{"ファイル " + courseware_.path() + "/Title.BMP が見つかりません"}));
    EXPECT_EQ(window_.titlePath, "");
    EXPECT_EQ(window_.steps.back(), "focusStudy");
}

TEST_F(ShowSequence, MissingMainIndexEndsTheProgramAfterOneMessage)
{
    std::filesystem::remove(courseware_.path() + "/Main.ind");
    EXPECT_EQ(run(), ShowOutcome::Quit);
    EXPECT_EQ(prompts_.shownUtf8(),
              (std::vector<std::string>{"ファイル " + courseware_.path() + "/Main.ind が見つかりません"}));
    EXPECT_EQ(window_.steps, (std::vector<std::string>{"title"}));
    // Nothing after the check was read: only the school name exists.
    EXPECT_EQ(keyText(SettingsKey::Program), "theSchool\tsz\t\r\n");
    EXPECT_EQ(keyText(SettingsKey::Common), "(missing)");
}

TEST_F(ShowSequence, ASettingOfTheWrongTypeStopsAtItsStepWithTheErrorBox)
{
    struct Case {
        const char* name;
        bool text; // store a text where a number is read, or a number where a text is read
        const char* lastStep;
    };
    const Case cases[] = {
        {"theSchool", false, nullptr},    {"ShowDoYouKnow", true, "title"},  {"PrintMode", true, "answerButton"},
        {"PaperSize", true, "printMode"}, {"LogOnName", false, "focusTips"}, {"KeyLock", true, "learner"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder config;
        SettingsStore settings(config.path());
        ASSERT_TRUE(c.text ? settings.writeText(c.name, "x") : settings.writeInteger(c.name, 1));
        ShellState state;
        state.coursewareDir = state_.coursewareDir;
        RecordingWindow window(state);
        ScriptedPrompts prompts;
        EXPECT_EQ(runShowSequence(state, index_, settings, prompts, window), ShowOutcome::Stopped);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
        EXPECT_NE(prompts.lastUtf8().find(c.name), std::string::npos) << prompts.lastUtf8();
        if (c.lastStep == nullptr)
            EXPECT_TRUE(window.steps.empty());
        else
            EXPECT_EQ(window.steps.back(), c.lastStep);
    }
}

TEST_F(ShowSequence, RecordFolderThatCannotBeMadeSkipsTheRemainingSteps)
{
    // A file stands where the folder should be made.
    writeBytes(data_.path() + "/blocker", "x");
    std::string drive = sjis::encode(data_.path()) + "/blocker/";
    ASSERT_TRUE(settings_.readCommonText("RecDrive", drive));

    EXPECT_EQ(run(), ShowOutcome::Stopped);
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(prompts_.shown[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(prompts_.lastUtf8(), "フォルダ " + data_.path() + "/blocker/Tavola を作成できません");
    EXPECT_EQ(window_.steps.back(), "answers");
    EXPECT_EQ(state_.logOnDir, "");
    // The learner name and the mode were never read.
    EXPECT_EQ(keyText(SettingsKey::Program).find("LogOnName"), std::string::npos);
    EXPECT_EQ(keyText(SettingsKey::Program).find("KeyLock"), std::string::npos);
}

TEST_F(ShowSequence, ExistingRecordFoldersAreKept)
{
    writeBytes(data_.path() + "/tavola/Tavola/LogOn/sname.txt", "keep");
    EXPECT_EQ(run(), ShowOutcome::Completed);
    auto kept = readWholeFile(sjis::encode(data_.path()) + "/tavola/Tavola/LogOn/sname.txt");
    ASSERT_TRUE(kept);
    EXPECT_EQ(*kept, "keep");
}

TEST_F(ShowSequence, ReadOnlyCoursewareGetsALessonFolderPerStemInTheWindowsFolder)
{
    index_.setCoursewareDir(state_.coursewareDir);
    ASSERT_TRUE(index_.readMainIndex());
    state_.windowsDir = sjis::encode(data_.path()) + "/win/";
    ASSERT_TRUE(paths::createDirectory(state_.windowsDir));
    createLessonFoldersForReadOnlyCourseware(state_, index_);
    EXPECT_TRUE(std::filesystem::is_directory(data_.path() + "/win/tasu"));
    EXPECT_TRUE(std::filesystem::is_directory(data_.path() + "/win/hiku"));
}

TEST(HelpFile, TheFirstPageByNameInTheHelpFolder)
{
    TempFolder cw;
    std::string dir = cw.systemPath();
    EXPECT_EQ(chooseHelpFile(dir), kDefaultHelpFile); // no help folder at all

    writeBytes(cw.path() + "/help/notes.txt", "x");
    std::filesystem::create_directories(cw.path() + "/help/a.htm"); // a folder, not a page
    EXPECT_EQ(chooseHelpFile(dir), kDefaultHelpFile);

    writeBytes(cw.path() + "/help/sheet.html", "x");
    EXPECT_EQ(chooseHelpFile(dir), "sheet.html");
    writeBytes(cw.path() + "/help/Bunsu.HTM", "x");
    writeBytes(cw.path() + "/help/zz.htm", "x");
    // With several pages the first in name order counts, without regard to case.
    EXPECT_EQ(chooseHelpFile(dir), "Bunsu.HTM");

    ShellState state;
    state.coursewareDir = dir;
    state.helpFile = chooseHelpFile(dir);
    EXPECT_EQ(helpFilePath(state), dir + "help/Bunsu.HTM");
    EXPECT_TRUE(paths::fileExists(helpFilePath(state)));
    EXPECT_EQ(supplementPath(state), dir + "hosoku.htm");
}

TEST(CoursewareFolder, IsTheCurrentDirectoryWithASeparator)
{
    EXPECT_EQ(withTrailingSeparator("/home/k/kyouzai"), "/home/k/kyouzai/");
    EXPECT_EQ(withTrailingSeparator("/home/k/kyouzai/"), "/home/k/kyouzai/");
    EXPECT_EQ(withTrailingSeparator("/"), "/");
    EXPECT_EQ(withTrailingSeparator(""), "/");

    TempFolder cw;
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(cw.path());
    auto dir = coursewareDirFromCurrentDirectory();
    std::filesystem::current_path(before);
    ASSERT_TRUE(dir);
    EXPECT_EQ(*dir, sjis::encode(std::filesystem::canonical(cw.path()).string()) + "/");
}

// The opening flows on a copy of the sample courseware with the windows replaced by a recorder: the names a unit
// is opened under, the window that is already open, reopening, missing master files and records, the question
// about a missing unit, figures and the class flag; the closing question with its save as copy; the list of open
// worksheets; and the geometry rules of the copied rectangle, the scroll command and the reduced view.
#include "app/open_flows.h"

#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavola;

namespace {

std::string u8(const std::string& cp932)
{
    return sjis::toUtf8(cp932);
}

// Records what the flows ask of the windows; the unit selection answers with a position set by the test.
struct RecordingWindows : OpenFlowWindows {
    ShellState& state;
    std::optional<UnitPosition> choice; // nullopt: the unit selection window is cancelled
    int chooseCalls = 0;
    std::vector<int> activated;
    int closedCurrent = 0;
    std::vector<WorksheetDocument> created;

    explicit RecordingWindows(ShellState& s) : state(s) {}

    bool chooseUnit() override
    {
        ++chooseCalls;
        if (!choice) return false;
        state.lastPosition = *choice;
        return true;
    }
    void activateWindow(int index) override { activated.push_back(index); }
    void closeCurrentWorksheet() override
    {
        ++closedCurrent;
        if (!state.openWindowList.empty()) worksheetWindowClosed(state, state.openWindowList.back());
    }
    void createWorksheetWindow(WorksheetDocument document) override
    {
        worksheetWindowOpened(state, document.sheet.windowKey);
        created.push_back(std::move(document));
    }
};

struct Flows : ::testing::Test {
    test::TempFolder folder;
    ShellState state;
    CoursewareIndex index;
    UnitReader reader;
    ScriptedPrompts prompts;
    RecordingWindows windows{state};
    OpenFlowContext ctx{state, index, reader, prompts, windows};

    void SetUp() override
    {
        std::filesystem::copy(TAVOLA_SAMPLE_DIR, folder.path(), std::filesystem::copy_options::recursive);
        state.coursewareDir = folder.systemPath();
        index.setCoursewareDir(state.coursewareDir);
        ASSERT_TRUE(index.readMainIndex());
        ASSERT_TRUE(index.readLesson(1));
    }

    std::string real(const std::string& name) const { return folder.path() + "/" + name; }
};

TEST_F(Flows, OpensAUnitUnderItsWindowKeyWithTheTitleOfItsPlace)
{
    EXPECT_EQ(openUnit(ctx, {1, 2, 3, 0}, false), OpenResult::Opened);
    const std::string master = state.coursewareDir + "tasu\\tasu2.que";
    EXPECT_EQ(state.openWindowList, std::vector<std::string>{master + "-U3"});
    EXPECT_EQ(state.worksheetCount, 1);
    ASSERT_EQ(windows.created.size(), 1u);
    const Worksheet& sheet = windows.created[0].sheet;
    EXPECT_EQ(u8(sheet.title), "分数のたし算とひき算//分母がちがう分数§2-3 答えを約分するたし算・ひき算");
    EXPECT_EQ(sheet.path, master);
    EXPECT_EQ(sheet.windowKey, master + "-U3");
    EXPECT_EQ(sheet.shortKey, "tasu2.que-U3");
    EXPECT_EQ(sheet.position, (UnitPosition{1, 2, 3, 0}));
    EXPECT_TRUE(sheet.master);
    EXPECT_FALSE(sheet.changed);
    EXPECT_FALSE(sheet.problemLines.empty());
    EXPECT_NE(windows.created[0].classFlag, nullptr); // classFlag.bmp of the sample
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(Flows, TheSameUnitIsActivatedNotOpenedTwiceAndReopenReplacesTheCurrentWindow)
{
    ASSERT_EQ(openUnit(ctx, {1, 2, 1, 0}, false), OpenResult::Opened);
    ASSERT_EQ(openUnit(ctx, {1, 2, 1, 1}, false), OpenResult::Opened); // its similar problem: a window of its own
    EXPECT_EQ(state.openWindowList.size(), 2u);
    EXPECT_EQ(state.openWindowList[1], state.coursewareDir + "tasu\\tasu2.que-U1R1");

    EXPECT_EQ(openUnit(ctx, {1, 2, 1, 0}, false), OpenResult::AlreadyOpen);
    EXPECT_EQ(prompts.shownUtf8(), std::vector<std::string>{"すでに読み込まれています"});
    EXPECT_EQ(windows.activated, std::vector<int>{0});
    EXPECT_EQ(state.openWindowList.size(), 2u);
    EXPECT_EQ(windows.created.size(), 2u);

    prompts.clear();
    EXPECT_EQ(openUnit(ctx, {1, 2, 1, 1}, true), OpenResult::Opened);
    EXPECT_EQ(windows.closedCurrent, 1);
    EXPECT_EQ(state.openWindowList.size(), 2u);
    EXPECT_EQ(windows.created.size(), 3u);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(Flows, AMissingMasterFileOrRecordFailsWithoutAMessage)
{
    EXPECT_EQ(openUnit(ctx, {1, 9, 1, 0}, false), OpenResult::Failed); // no tasu9.que
    EXPECT_EQ(openUnit(ctx, {1, 2, 9, 0}, false), OpenResult::Failed); // no [[unit9
    EXPECT_EQ(openUnit(ctx, {1, 2, 3, 4}, false), OpenResult::Failed); // no [[unit3R4
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(windows.created.empty());
    EXPECT_TRUE(state.openWindowList.empty());
}

TEST_F(Flows, AUnitTheReaderRefusesShowsItsMessageAndOpensNothing)
{
    Lines lines{"[[unit1", "<<ques"};
    for (int i = 0; i < 61; ++i)
        lines.push_back("(1) 1/2+1/3=#5/6#");
    lines.insert(lines.end(), {">>", "]]"});
    ASSERT_TRUE(writeLineFile(state.coursewareDir + "tasu\\tasu1.que", lines));
    EXPECT_EQ(openUnit(ctx, {1, 1, 1, 0}, false), OpenResult::Failed);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.lastUtf8().find("６０行以下"), std::string::npos);
    EXPECT_TRUE(windows.created.empty());
}

TEST_F(Flows, OpeningThroughTheMenu)
{
    // Cancelled: nothing opened, but the answers were switched on before the menu showed.
    state.showAnswers = false;
    EXPECT_FALSE(openUnitThroughMenu(ctx));
    EXPECT_TRUE(state.showAnswers);
    EXPECT_EQ(windows.chooseCalls, 1);

    windows.choice = UnitPosition{1, 3, 3, 0};
    EXPECT_TRUE(openUnitThroughMenu(ctx));
    ASSERT_EQ(windows.created.size(), 1u);
    EXPECT_TRUE(windows.created[0].sheet.settings.answersShown);

    // Already open: the message, no question.
    prompts.clear();
    EXPECT_FALSE(openUnitThroughMenu(ctx));
    EXPECT_EQ(prompts.shownUtf8(), std::vector<std::string>{"すでに読み込まれています"});

    // A unit without its record: the question; No opens nothing.
    prompts.clear();
    windows.choice = UnitPosition{1, 3, 7, 0};
    prompts.queueAnswer(Answer::No);
    EXPECT_FALSE(openUnitThroughMenu(ctx));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Confirm);
    EXPECT_EQ(prompts.shown[0].text, "単元がありません"_sj + "\r\n" + "新規作成しますか?"_sj);
    EXPECT_EQ(windows.created.size(), 1u);
}

TEST_F(Flows, WithoutMainIndTheMenuIsNotShown)
{
    ASSERT_TRUE(std::filesystem::remove(paths::realPath(state.coursewareDir + "Main.ind")));
    EXPECT_FALSE(openUnitThroughMenu(ctx));
    EXPECT_EQ(windows.chooseCalls, 0);
    EXPECT_EQ(prompts.shownUtf8(),
              std::vector<std::string>{"ファイル " + u8(state.coursewareDir) + "Main.ind が見つかりません"});
}

TEST_F(Flows, FiguresAreLoadedFromTheLessonsFigureFolderWithTheirMessages)
{
    ASSERT_EQ(openUnit(ctx, {1, 3, 3, 0}, false), OpenResult::Opened);
    const WorksheetDocument& doc = windows.created.at(0);
    ASSERT_EQ(doc.sheet.figureCount(), 3);
    ASSERT_EQ(doc.figures.problem.size(), 3u);
    for (const PictureRef& p : doc.figures.problem)
        EXPECT_NE(p, nullptr);
    EXPECT_TRUE(prompts.shown.empty());

    std::filesystem::remove(real("tasu/Graph/bar2of8.bmp"));
    std::filesystem::remove(real("classFlag.bmp"));
    ASSERT_EQ(openUnit(ctx, {1, 3, 3, 0}, true), OpenResult::Opened);
    const WorksheetDocument& again = windows.created.at(1);
    EXPECT_EQ(again.figures.problem.at(1), nullptr);
    EXPECT_NE(again.figures.problem.at(0), nullptr);
    EXPECT_EQ(again.classFlag, nullptr);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.lastUtf8().find("bar2of8.bmp が見つかりません"), std::string::npos);
}

TEST(OpenWindowList, EntriesComeAndGoByCaption)
{
    ShellState state;
    worksheetWindowOpened(state, "a");
    worksheetWindowOpened(state, "b");
    worksheetWindowOpened(state, "a");
    EXPECT_EQ(findWindow(state, "b"), 1);
    worksheetWindowClosed(state, "a");
    EXPECT_EQ(state.openWindowList, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(state.worksheetCount, 2);
    worksheetWindowClosed(state, "b");
    worksheetWindowClosed(state, "a");
    worksheetWindowClosed(state, "a"); // never below zero
    EXPECT_TRUE(state.openWindowList.empty());
    EXPECT_EQ(state.worksheetCount, 0);
}

// ---- closing and saving ----

struct Closing : Flows {
    Worksheet sheet;
    std::optional<std::string> caption;

    void SetUp() override
    {
        Flows::SetUp();
        ASSERT_EQ(openUnit(ctx, {1, 2, 3, 0}, false), OpenResult::Opened);
        sheet = windows.created.at(0).sheet;
        sheet.changed = true;
        // A worksheet that no longer holds a single master unit (units were added): Yes saves a copy.
        sheet.master = false;
    }
    bool close() { return closeWorksheetQuery(sheet, sheet.windowKey, state, index, prompts, caption); }
};

TEST_F(Closing, AnUnchangedWorksheetClosesWithoutAQuestion)
{
    sheet.changed = false;
    EXPECT_TRUE(close());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(Closing, TheQuestionNamesTheWindowAndItsAnswersDecide)
{
    const std::string key = sheet.windowKey;
    struct Case {
        Answer answer;
        std::optional<std::string> fileName; // what the save dialog returns after Yes
        bool closes;
    };
    const Case cases[] = {
        {Answer::Cancel, std::nullopt, false},
        {Answer::No, std::nullopt, true},
        // The save dialog cancelled: the window stays with its changes (closing would lose them unasked).
        {Answer::Yes, std::nullopt, false},
    };
    for (const Case& c : cases) {
        prompts.clear();
        prompts.queueAnswer(c.answer);
        if (c.answer == Answer::Yes) prompts.queueFileName(c.fileName);
        EXPECT_EQ(close(), c.closes);
        ASSERT_FALSE(prompts.shown.empty());
        EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::ConfirmWithCancel);
        EXPECT_EQ(prompts.shown[0].text, key + "を保存しますか？"_sj);
        EXPECT_FALSE(caption);
        EXPECT_TRUE(sheet.changed);
        EXPECT_EQ(state.openWindowList, std::vector<std::string>{key});
    }
    EXPECT_EQ(prompts.unexpected, 0);
}

TEST_F(Closing, YesSavesACopyAndTheWindowTakesItsPath)
{
    const std::string target = state.coursewareDir + "tasu\\mine";
    prompts.queueAnswer(Answer::Yes);
    prompts.queueFileName(target);
    EXPECT_TRUE(close());
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].startFolder, state.coursewareDir + "tasu\\");
    ASSERT_TRUE(caption);
    EXPECT_EQ(*caption, target + ".prp");
    EXPECT_EQ(sheet.windowKey, target + ".prp");
    EXPECT_EQ(sheet.path, target + ".prp");
    EXPECT_FALSE(sheet.changed);
    EXPECT_FALSE(sheet.master);
    EXPECT_EQ(state.openWindowList, std::vector<std::string>{target + ".prp"});

    // What was written reads back as the same worksheet.
    UnitReader back;
    ASSERT_TRUE(readCopyFile(back, target + ".prp"));
    EXPECT_EQ(back.unit().title, sheet.title);
    EXPECT_EQ(back.unit().problemLines, sheet.problemLines);

    // Saved again, it offers its own file (Enter writes it again, no second file), and it keeps its unit.
    sheet.changed = true;
    prompts.queueFileName(target + ".prp");
    prompts.queueAnswer(Answer::Yes); // overwrite
    EXPECT_EQ(saveWorksheetAsCopy(sheet, state, index, prompts), std::optional<std::string>(target + ".prp"));
    ASSERT_EQ(prompts.fileRequests.size(), 2u);
    EXPECT_EQ(prompts.fileRequests[1].startFolder, state.coursewareDir + "tasu\\");
    EXPECT_EQ(prompts.fileRequests[1].suggestedName, "mine.prp");
    EXPECT_EQ(sheet.masterPath, state.coursewareDir + "tasu\\tasu2.que");

    // Opened from the file, the worksheet is a copy: no unit stands behind it.
    worksheetWindowClosed(state, target + ".prp");
    ASSERT_TRUE(openCopyFile(ctx, target + ".prp", 1));
    EXPECT_TRUE(windows.created.back().sheet.masterPath.empty());
}

TEST_F(Closing, AFailedWriteKeepsTheWindowOpenAndChanged)
{
    // A folder that is a file cannot take the copy.
    prompts.queueAnswer(Answer::Yes);
    prompts.queueFileName(state.coursewareDir + "Main.ind/mine.prp");
    EXPECT_FALSE(close());
    EXPECT_TRUE(sheet.changed);
    EXPECT_FALSE(caption);
    EXPECT_NE(prompts.lastUtf8().find("の保存に失敗しました"), std::string::npos);
    EXPECT_EQ(state.openWindowList, std::vector<std::string>{sheet.windowKey});
}

TEST_F(Closing, YesWritesAMasterUnitBackIntoItsFile)
{
    sheet.master = true;
    sheet.settings.lineSpacing = 77;
    const Lines before = readLineFile(sheet.path).value();
    prompts.queueAnswer(Answer::Yes);
    EXPECT_TRUE(close());
    EXPECT_TRUE(prompts.fileRequests.empty());
    EXPECT_FALSE(sheet.changed);
    const Lines after = readLineFile(sheet.path).value();
    auto unit = findRecord(after, "[[unit3");
    ASSERT_TRUE(unit.has_value());
    EXPECT_EQ(*unit, findRecord(before, "[[unit3"));
    auto value = std::find(after.begin() + static_cast<long>(*unit), after.end(), "<<value");
    ASSERT_NE(value, after.end());
    EXPECT_EQ(*(value + 3), "77");
}

// ---- geometry ----

TEST(RectangleCopyRule, NormalisedSourceInsideTheFrameAndTheBufferSize)
{
    struct Case {
        std::array<int, 4> dragged;
        Rect source;
        int width;
        int height;
    };
    const Case cases[] = {
        {{10, 20, 110, 70}, {11, 21, 110, 70}, 98, 48},
        {{110, 70, 10, 20}, {11, 21, 110, 70}, 98, 48}, // right to left, bottom to top
        {{110, 20, 10, 70}, {11, 21, 110, 70}, 98, 48},
        {{10, 20, 12, 23}, {11, 21, 12, 23}, 0, 1}, // 2 pixels wide gives 0
        {{10, 20, 10, 20}, {11, 21, 10, 20}, 2, 2}, // 0 pixels wide gives 2
    };
    for (const Case& c : cases) {
        RectangleCopy copy = rectangleCopy(c.dragged);
        EXPECT_EQ(copy.source, c.source);
        EXPECT_EQ(copy.width, c.width);
        EXPECT_EQ(copy.height, c.height);
        EXPECT_LE(copy.normalised[0], copy.normalised[2]);
        EXPECT_LE(copy.normalised[1], copy.normalised[3]);
    }
}

TEST(ScrollRule, TheTopGoesToTheEndAnywhereElseBackToTheTop)
{
    EXPECT_EQ(scrollTarget(0, 891, 600), 323);
    EXPECT_EQ(scrollTarget(-3, 891, 600), 323);
    EXPECT_EQ(scrollTarget(1, 891, 600), 0);
    EXPECT_EQ(scrollTarget(323, 891, 600), 0);
}

TEST(ReducedViewRule, PanelHeightLess36AndThatOverRootTwo)
{
    EXPECT_EQ(reducedViewSize(900).height, 864);
    EXPECT_EQ(reducedViewSize(900).width, 611); // 610.94
    EXPECT_EQ(reducedViewSize(36).width, 0);
    EXPECT_EQ(reducedViewSize(10).height, 0);
}

} // namespace

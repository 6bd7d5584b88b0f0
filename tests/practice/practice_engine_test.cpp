#include "practice/practice_engine.h"

#include "platform/sjis.h"
#include "practice/practice_marks.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

namespace tavola {
namespace {

// Always the same draw, so praise and moods are fixed.
class FixedRandom : public Random {
public:
    int below(int n) override { return n > 0 ? value % n : 0; }
    int value = 0;
};

struct View : PracticeView {
    void drawEntry(const std::string& text, int x, int, Colour) override { entries.push_back({text, x}); }
    void paintPatch(const PracticeBox&) override { ++patches; }
    void drawMark(const PracticeBox&, MarkKind kind, Colour colour) override { marks.push_back({kind, colour}); }
    void drawScore(int s) override { scores.push_back(s); }
    void drawHint(const PracticeBox&, const std::string& hint) override { hints.push_back(sjis::toUtf8(hint)); }
    void showAllCorrect() override { ++allCorrect; }
    void writeRecord(const ScoredExercise& r) override { records.push_back(r); }
    void refreshRecordMemo() override {}
    void scrollToTop() override {}
    // The boxes a message box would show beside it.
    void beforePrompt() override
    {
        shownAtPrompt = 0;
        for (int i = 1; engine != nullptr && i <= engine->boxCount(); ++i)
            shownAtPrompt += engine->box(i).visible;
    }

    const PracticeEngine* engine = nullptr;
    int shownAtPrompt = -1;
    std::vector<std::pair<std::string, int>> entries;
    std::vector<std::pair<MarkKind, Colour>> marks;
    std::vector<int> scores;
    std::vector<std::string> hints;
    std::vector<ScoredExercise> records;
    int patches = 0;
    int allCorrect = 0;
};

struct Exercise {
    explicit Exercise(const std::vector<std::string>& answers, std::vector<std::string> hints = {})
        : engine(view, prompts, random)
    {
        ExerciseLayout layout;
        int y = 100;
        for (const std::string& a : answers)
            layout.boxes.push_back({100, y += 40, sjis::encode(a), 14, 30});
        engine.open(layout, std::move(hints));
        view.engine = &engine;
    }
    // The learner types into box i and presses Enter.
    void type(int i, const std::string& utf8)
    {
        engine.setText(i, sjis::encode(utf8));
        engine.enter(i);
    }

    View view;
    ScriptedPrompts prompts;
    FixedRandom random;
    PracticeEngine engine;
};

TEST(PracticeEngine, MatchingTrimsBlanksOnlyAndAcceptsListedAlternatives)
{
    struct Case {
        const char* answer;
        const char* typed;
        bool matches;
    };
    const Case cases[] = {
        {"1/2", "1/2", true},
        {"1/2", "  1/2 ", true},
        {"1/2", "　1/2　　", true},
        {"1/2", " 　1/2　 ", true},
        {"1/2", "１/２", false},
        {"1/2", "2/4", false},
        {"1&1/2", "3/2", false},
        {"3/4;6/8", "3/4", true},
        {"3/4;6/8", "6/8", true},
        {"3/4;6/8", "9/12", false},
        {"ア", "ア", true},
        // The keyboard's と is the fraction pad's: a mixed number, between digits only.
        {"1&7/12", "1と7/12", true},
        {"1&7/12", " 1と7/12 ", true},
        {"1&7/12", "1と 7/12", false},
        {"1&7/12", "と7/12", false},
        {"あと", "あと", true},
        {"3&1/2;7/2", "3と1/2", true},
    };
    for (const Case& c : cases) {
        PracticeBox box;
        box.acceptList = acceptListOf(sjis::encode(c.answer));
        EXPECT_EQ(matchAnswer(box, sjis::encode(c.typed)), c.matches ? Judge::Correct : Judge::Wrong)
            << c.answer << " / " << c.typed;
        box.answerShown = true;
        EXPECT_EQ(matchAnswer(box, sjis::encode(c.typed)), c.matches ? Judge::MatchedAfterShown : Judge::Wrong)
            << c.typed;
    }
    // The trailing 0x81 0x40 of "＠" (81 97) is no full-width space, nor is the 40 of "―" (81 5C 40…) split.
    EXPECT_EQ(normaliseAnswer("\x82\xA0\x81\x40"), "\x82\xA0");
    EXPECT_EQ(normaliseAnswer("\x81\x81\x40"), "\x81\x81\x40");
    // A pasted run of spaces is trimmed in one walk (it took seconds when each space walked the whole text).
    std::string spaces;
    for (int i = 0; i < 50000; ++i)
        spaces += "　"_sj;
    EXPECT_EQ(normaliseAnswer(" \t" + spaces + "1/2" + spaces + "\r"), "1/2");
}

TEST(PracticeEngine, ScoresRoundHalfUp)
{
    EXPECT_EQ(scoreOf(5, 7), 71);
    EXPECT_EQ(scoreOf(1, 8), 13);
    EXPECT_EQ(scoreOf(0, 5), 0);
    EXPECT_EQ(scoreOf(12, 12), 100);
    EXPECT_EQ(scoreOf(0, 0), 0);
}

TEST(PracticeEngine, MoodFollowsTheScore)
{
    FixedRandom random;
    const std::pair<int, Mood> cases[] = {{0, Mood::Gaoh},   {1, Mood::Namida}, {39, Mood::Namida}, {40, Mood::Nanda},
                                          {59, Mood::Nanda}, {60, Mood::Sleep}, {79, Mood::Sleep},  {80, Mood::Happy},
                                          {99, Mood::Happy}, {100, Mood::Kutta}};
    for (auto [s, mood] : cases)
        EXPECT_EQ(moodFor(s, random), mood) << s;
    random.value = 1;
    EXPECT_EQ(moodFor(85, random), Mood::GreenHeart);
    EXPECT_EQ(moodFor(100, random), Mood::RedHeart);
}

TEST(PracticeEngine, PracticeFirstAttemptsAreScoredAndTheTrailRecordsTries)
{
    Exercise x({"1/2", "3/4", "5"});
    x.engine.startPractice();
    x.type(1, "1/2");
    EXPECT_FALSE(x.engine.box(1).visible);
    EXPECT_EQ(x.engine.currentBox(), 2);
    x.type(2, "1/4");
    // A wrong entry leaves its text beside the moved box, which waits for a new one.
    EXPECT_EQ(x.view.marks.back().first, MarkKind::Slash);
    EXPECT_EQ(x.engine.box(2).left, x.engine.box(2).homeLeft + x.engine.box(2).width);
    EXPECT_TRUE(x.engine.selectBoxText());
    x.type(2, "3/4");
    EXPECT_EQ(x.engine.box(2).judge, Judge::Corrected);
    EXPECT_EQ(x.view.entries[3].second, x.engine.box(2).homeLeft + x.engine.box(2).width);
    x.type(3, "5");

    ASSERT_EQ(x.view.records.size(), 1u);
    const ScoredExercise& r = x.view.records[0];
    EXPECT_EQ(r.triesTrail, "010");
    EXPECT_EQ(r.correct, 2);
    EXPECT_EQ(r.total, 3);
    EXPECT_EQ(r.score, 67);
    EXPECT_EQ(x.engine.box(2).judge, Judge::Wrong);
    EXPECT_EQ(x.engine.mode(), ExerciseMode::Idle);
    EXPECT_EQ(x.prompts.shownUtf8(), std::vector<std::string>{"練習を終わりました"});
    EXPECT_TRUE(x.engine.controls().btnFukushuEnabled);
    EXPECT_EQ(x.engine.focus(), FocusTarget::Fukushu);
    EXPECT_EQ(x.view.scores, std::vector<int>{67});
}

TEST(PracticeEngine, ReductionHintsHelpWithoutChangingTheResult)
{
    for (bool on : {false, true}) {
        Exercise x({"1/2", "1&1/2"});
        x.engine.setReductionHints(on);
        x.engine.startPractice();
        x.type(1, "2/4");
        x.type(1, "1/2");
        x.type(2, "6/4");
        x.type(2, "5/4");
        x.type(2, "1&1/2");
        EXPECT_EQ(x.view.hints,
                  on ? (std::vector<std::string>{"約分できるよ", "帯分数にしよう"}) : std::vector<std::string>{});
        ASSERT_EQ(x.view.records.size(), 1u);
        EXPECT_EQ(x.view.records[0].triesTrail, "12");
        EXPECT_EQ(x.view.records[0].score, 0);
        EXPECT_EQ(x.view.marks.size(), 5u);
    }
}

TEST(PracticeEngine, AnAnswerShownThenTypedGetsATriangleAndCountsWrong)
{
    Exercise x({"2/3", "1"});
    x.engine.startPractice();
    x.engine.showAnswer();
    EXPECT_EQ(x.engine.box(1).judge, Judge::Missed);
    ASSERT_EQ(x.engine.exerciseMessage().size(), 2u);
    EXPECT_EQ(x.engine.exerciseMessage()[0].text, "正解は"_sj);
    x.type(1, "2/3");
    EXPECT_EQ(x.engine.box(1).judge, Judge::MatchedAfterShown);
    EXPECT_EQ(x.view.marks.back().first, MarkKind::Triangle);
    x.type(2, "1");
    ASSERT_EQ(x.view.records.size(), 1u);
    EXPECT_EQ(x.engine.box(1).judge, Judge::MatchedAfterShown);
    EXPECT_EQ(x.view.records[0].correct, 1);
    EXPECT_EQ(x.view.records[0].triesTrail, "10");
}

TEST(PracticeEngine, TheFourthWrongAttemptShowsTheAnswer)
{
    Exercise x({"7"});
    x.engine.startPractice();
    for (int k = 0; k < 3; ++k)
        x.type(1, "1");
    EXPECT_TRUE(x.prompts.shown.empty());
    EXPECT_FALSE(x.engine.box(1).answerShown);
    x.type(1, "1");
    EXPECT_EQ(x.prompts.shownUtf8(), std::vector<std::string>{"右下に正解を表示します"});
    EXPECT_TRUE(x.engine.box(1).answerShown);
    EXPECT_EQ(x.engine.box(1).tries, 4);
    // The answer stays in view below the request to correct.
    ASSERT_EQ(x.engine.exerciseMessage().size(), 3u);
    EXPECT_EQ(x.engine.exerciseMessage()[1].text, "正解は"_sj);
    EXPECT_EQ(x.engine.exerciseMessage()[2].text, "7");
    EXPECT_EQ(x.engine.mode(), ExerciseMode::Practice);
    x.type(1, "7");
    EXPECT_EQ(x.view.marks.back().first, MarkKind::Triangle);
    EXPECT_EQ(x.view.records.at(0).score, 0);
}

TEST(PracticeEngine, BlanksOnlyAsksToShowTheAnswerAndEmptyIsIgnored)
{
    Exercise x({"7", "8"});
    x.engine.startPractice();
    x.type(1, "");
    EXPECT_TRUE(x.prompts.shown.empty());
    x.prompts.queueAnswer(Answer::No);
    x.type(1, "   ");
    EXPECT_EQ(x.prompts.shownUtf8(), std::vector<std::string>{"正解を表示しますか"});
    EXPECT_EQ(x.engine.box(1).judge, Judge::NotJudged);
    EXPECT_EQ(x.engine.box(1).enteredAnswer, kNotEntered);
    x.prompts.queueAnswer(Answer::Yes);
    x.type(1, " ");
    EXPECT_TRUE(x.engine.box(1).answerShown);
}

TEST(PracticeEngine, AllCorrectShowsTheCongratulationInsteadOfAMessage)
{
    Exercise x({"1", "2"});
    x.engine.startPractice();
    x.type(1, "1");
    x.type(2, "2");
    EXPECT_EQ(x.view.allCorrect, 1);
    EXPECT_TRUE(x.prompts.shown.empty());
    EXPECT_EQ(x.engine.focus(), FocusTarget::End);
    EXPECT_FALSE(x.engine.controls().btnFukushuEnabled);
    EXPECT_EQ(x.view.records.at(0).score, 100);
    EXPECT_EQ(x.engine.mood(), Mood::Kutta);
}

TEST(PracticeEngine, ReviewIsOfferedOnlyAfterAScoringWithAWrongBox)
{
    // Each run ends idle after the steps; 復習 follows the last scoring only.
    enum Step { WrongPractice, PerfectPractice, WrongTest, PerfectTest, AbortedPractice };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        bool review;
    };
    const Case cases[] = {
        {"one wrong box", {WrongPractice}, true},
        {"100 points after a wrong box", {WrongPractice, PerfectPractice}, false},
        {"a perfect test after a wrong practice", {WrongPractice, PerfectTest}, false},
        {"a wrong test after a perfect practice", {PerfectPractice, WrongTest}, true},
        {"a practice aborted after a wrong one", {WrongPractice, AbortedPractice}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exercise x({"1", "2"});
        for (Step step : c.steps) {
            const bool test = step == WrongTest || step == PerfectTest;
            test ? x.engine.startTest() : x.engine.startPractice();
            if (step == AbortedPractice) {
                x.engine.abort();
                continue;
            }
            x.type(1, step == WrongPractice || step == WrongTest ? "9" : "1");
            if (step == WrongPractice) x.type(1, "1");
            x.type(2, "2");
            if (test) x.engine.score();
        }
        ASSERT_EQ(x.engine.mode(), ExerciseMode::Idle);
        EXPECT_EQ(x.engine.controls().btnFukushuEnabled, c.review);
        // Without a wrong box 復習 starts nothing (it was an empty review with no boxes).
        x.engine.startReview();
        EXPECT_EQ(x.engine.mode(), c.review ? ExerciseMode::Review : ExerciseMode::Idle);
    }
}

TEST(PracticeEngine, ReviewReopensOnlyTheWrongBoxesAndWritesNothing)
{
    Exercise x({"1", "2", "3"});
    x.engine.startPractice();
    x.type(1, "1");
    x.type(2, "9");
    x.type(2, "2");
    x.type(3, "3");
    ASSERT_EQ(x.view.records.size(), 1u);
    x.prompts.clear();

    x.engine.startReview();
    EXPECT_EQ(x.engine.mode(), ExerciseMode::Review);
    EXPECT_FALSE(x.engine.box(1).visible);
    EXPECT_TRUE(x.engine.box(2).visible);
    EXPECT_FALSE(x.engine.box(3).visible);
    EXPECT_EQ(x.engine.currentBox(), 2);
    EXPECT_FALSE(x.engine.controls().btnTestEnabled);
    x.type(2, "2");
    EXPECT_EQ(x.view.marks.back(), std::make_pair(MarkKind::DoubleCircle, kReviewGreen));
    EXPECT_EQ(x.view.records.size(), 1u);
    EXPECT_EQ(x.prompts.shownUtf8(), std::vector<std::string>{"復習を終わりました"});
    EXPECT_EQ(x.engine.mode(), ExerciseMode::Idle);
    EXPECT_EQ(x.view.allCorrect, 0);
    EXPECT_FALSE(x.engine.controls().btnFukushuEnabled);
    EXPECT_EQ(x.engine.focus(), FocusTarget::End);
}

TEST(PracticeEngine, AReviewWithAWrongTryOffersAnotherReview)
{
    Exercise x({"1", "2"});
    x.engine.startPractice();
    x.type(1, "9");
    x.type(1, "1");
    x.type(2, "2");
    x.engine.startReview();
    x.type(1, "8");
    EXPECT_EQ(x.engine.mode(), ExerciseMode::Review);
    x.type(1, "1");
    EXPECT_EQ(x.engine.mode(), ExerciseMode::Idle);
    EXPECT_TRUE(x.engine.controls().btnFukushuEnabled);
    EXPECT_EQ(x.engine.focus(), FocusTarget::Fukushu);
    EXPECT_EQ(x.view.records.size(), 1u);
}

TEST(PracticeEngine, TestCollectsAnswersAndScoresEmptyBoxesWrong)
{
    Exercise x({"1/2", "3/4", "5", "6"});
    x.engine.startTest();
    EXPECT_FALSE(x.engine.controls().btnAnswerVisible);
    EXPECT_TRUE(x.engine.controls().btnSaitenVisible);
    x.type(1, "1/2");
    EXPECT_EQ(x.engine.currentBox(), 2);
    x.type(2, "2/4");
    x.engine.setText(3, "5"); // typed, never entered
    // Nothing is written on the sheet under the boxes shown; scoring writes what they hold.
    EXPECT_TRUE(x.view.entries.empty());
    x.engine.score();
    std::vector<std::string> written;
    for (const auto& e : x.view.entries)
        written.push_back(e.first);
    EXPECT_EQ(written, (std::vector<std::string>{"1/2", "2/4", "5"}));
    // "テストを終わりました" stands beside the marked sheet, not beside boxes over the entries written there.
    EXPECT_EQ(x.view.shownAtPrompt, 0);
    ASSERT_EQ(x.view.records.size(), 1u);
    EXPECT_EQ(x.view.records[0].correct, 2);
    EXPECT_EQ(x.view.records[0].total, 4);
    EXPECT_EQ(x.view.records[0].triesTrail, "");
    EXPECT_EQ(x.view.records[0].score, 50);
    std::vector<MarkKind> kinds;
    for (auto& m : x.view.marks)
        kinds.push_back(m.first);
    EXPECT_EQ(kinds,
              (std::vector<MarkKind>{MarkKind::Circle, MarkKind::TestSlash, MarkKind::Circle, MarkKind::TestSlash}));
    EXPECT_EQ(x.engine.box(4).enteredAnswer, " ");
    EXPECT_EQ(x.prompts.shownUtf8(), std::vector<std::string>{"テストを終わりました"});
}

TEST(PracticeEngine, ScoringAnEmptyTestAsksForAnswersAndGoesOn)
{
    Exercise x({"1", "2"});
    x.engine.startTest();
    x.engine.score();
    EXPECT_EQ(x.prompts.shownUtf8(), std::vector<std::string>{"解答を入力してから採点してください。"});
    EXPECT_TRUE(x.view.records.empty());
    EXPECT_EQ(x.engine.mode(), ExerciseMode::Test);
    EXPECT_TRUE(x.engine.timerRunning());
}

TEST(PracticeEngine, AbortReturnsToIdleWithoutARecordFromEveryMode)
{
    for (ExerciseMode mode : {ExerciseMode::Practice, ExerciseMode::Test, ExerciseMode::Review}) {
        Exercise x({"1", "2"});
        if (mode == ExerciseMode::Review) {
            x.engine.startPractice();
            x.type(1, "9");
            x.type(1, "1");
            x.type(2, "2");
            x.view.records.clear();
            x.engine.startReview();
        } else {
            mode == ExerciseMode::Test ? x.engine.startTest() : x.engine.startPractice();
        }
        ASSERT_EQ(x.engine.mode(), mode);
        x.engine.tick();
        x.type(1, "5");
        x.engine.abort();
        EXPECT_EQ(x.engine.mode(), ExerciseMode::Idle);
        EXPECT_TRUE(x.view.records.empty());
        EXPECT_FALSE(x.engine.box(2).visible);
        EXPECT_FALSE(x.engine.timerRunning());
        EXPECT_TRUE(x.engine.controls().pnlRenshu);
        EXPECT_TRUE(x.engine.controls().btnTestEnabled);
        EXPECT_EQ(x.engine.idleMessage().at(0).text, "中止しました。"_sj);
    }
}

TEST(PracticeEngine, EachExerciseRecordsItsOwnTime)
{
    Exercise x({"1"});
    for (int seconds : {5, 3}) {
        x.engine.startPractice();
        for (int k = 0; k < seconds; ++k)
            x.engine.tick();
        x.type(1, "1");
    }
    ASSERT_EQ(x.view.records.size(), 2u);
    EXPECT_EQ(x.view.records[0].elapsedSeconds, 5);
    EXPECT_EQ(x.view.records[1].elapsedSeconds, 3);
}

TEST(PracticeEngine, NextBoxSkipsAnsweredBoxesAndWrapsAround)
{
    Exercise x({"1", "2", "3", "4"});
    x.engine.startPractice();
    x.type(3, "3");
    EXPECT_EQ(x.engine.currentBox(), 4);
    x.type(4, "4");
    EXPECT_EQ(x.engine.currentBox(), 1);
    x.type(1, "9"); // wrong: box 1 keeps its text
    EXPECT_EQ(x.engine.nextBox(1), 2);
    EXPECT_EQ(x.engine.nextBox(2), 0);
}

TEST(PracticeEngine, HintLinesAreShownUnlessOnlyThePlaceholder)
{
    Exercise x({"1"}, {"h1", "h2"});
    x.engine.startPractice();
    EXPECT_TRUE(x.engine.controls().btnHintEnabled);
    x.engine.showHint();
    ASSERT_EQ(x.engine.exerciseMessage().size(), 3u);
    EXPECT_EQ(x.engine.exerciseMessage()[2].y, 50);
    Exercise placeholder({"1"}, {"Hint"});
    placeholder.engine.startPractice();
    EXPECT_FALSE(placeholder.engine.controls().btnHintEnabled);
}

TEST(PracticeMarks, GeometryAroundTheInputBox)
{
    PracticeBox box;
    box.left = 106;
    box.top = 150;
    box.width = 75;
    box.height = 27;
    test::RecordingCanvas canvas;
    const MarkStyle style;
    EXPECT_EQ(markRect(box, style), (Rect{97, 153, 178, 180}));
    drawMark(canvas, box, MarkKind::Circle, colours::Red, style);
    drawMark(canvas, box, MarkKind::Slash, colours::Red, style);
    drawMark(canvas, box, MarkKind::DoubleCircle, kReviewGreen, style);
    drawMark(canvas, box, MarkKind::Triangle, colours::Red, style);
    ASSERT_EQ(canvas.ops.size(), 5u);
    EXPECT_EQ(canvas.ops[0].rect, (Rect{89, 138, 186, 195})); // a = 8 (7.5 to even), b = 15
    EXPECT_EQ(canvas.ops[0].pen.width, 2);
    EXPECT_EQ(canvas.ops[1].rect, (Rect{186, 138, 89, 195}));
    EXPECT_EQ(canvas.ops[2].rect, (Rect{90, 146, 185, 187})); // f = 7
    EXPECT_EQ(canvas.ops[3].rect, (Rect{83, 139, 192, 194}));
    EXPECT_EQ(canvas.ops[4].points.at(0), (Point{142, 138}));
    EXPECT_EQ(canvas.ops[4].points.at(1), (Point{76, 185}));
    EXPECT_EQ(canvas.ops[4].pen.width, 3);
}

} // namespace
} // namespace tavola

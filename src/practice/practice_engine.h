#pragma once
// The practice engine: one exercise (practice, review or test) on the answer boxes of a worksheet. It keeps the
// per-box fields (acceptable answers, first entry, judge, wrong tries, answer shown, the input box's place and
// text), visits the boxes in table order, judges entries by exact comparison after trimming blanks, marks and
// scores, and says which panels and buttons the practice window shows. Everything it draws on the sheet picture
// or asks of the learner goes through PracticeView and Prompts, so that a whole exercise runs without a display.
//
// Box positions are sheet-picture coordinates (one pixel per layout unit); the window adds its button panel.
#include "platform/colour.h"
#include "platform/prompts.h"
#include "platform/seams.h"
#include "worksheet/answer_boxes.h"

#include <optional>
#include <string>
#include <vector>

namespace tavola {

// Slots 0 … 80; slot 0 is not used.
inline constexpr int kPracticeSlots = kMaxAnswerBoxes + 1;
// enteredAnswer of a box nothing was entered in yet.
inline constexpr const char* kNotEntered = "initX";

// What the judging says of a box. The numbers are fixed.
enum class Judge {
    NotJudged = 99,         // a first-time correct practice box keeps it until scoring
    Correct = 1,            // set by scoring
    Wrong = 0,              // set by scoring
    Missed = -1,            // a wrong attempt was made, or the answer was shown on request
    MatchedAfterShown = -2, // matched only after the answer had been shown
    Corrected = 2,          // correct after a wrong attempt, outside review
};

enum class ExerciseMode { Idle, Practice, Review, Test };
enum class MarkKind { Circle, DoubleCircle, Slash, TestSlash, Triangle };
enum class Mood { Gaoh, Namida, Nanda, Sleep, Happy, GreenHeart, Kutta, RedHeart };

// Review marks are green, every other mark red.
inline constexpr Colour kReviewGreen{0x008000};

struct PracticeBox {
    AnswerBox answer;                    // the answer box of the sheet it lies over
    std::vector<std::string> acceptList; // the answer text split at ";": the answer, then its alternatives
    std::string referenceAnswer;
    std::string enteredAnswer = kNotEntered; // the first entry
    Judge judge = Judge::NotJudged;
    int tries = 0;
    bool answerShown = false;
    int homeLeft = 0;
    int homeTop = 0;
    // The input box as shown.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string text;
    bool visible = false;
    bool editable = false;
    bool redText = false;
    std::string drawn; // the text a test last wrote on the sheet for this box
};

// What the engine reads of the worksheet to lay the boxes out.
struct ExerciseLayout {
    std::vector<AnswerBox> boxes; // the answer-box table of the last screen pass
    int fontSize = 14;            // the worksheet's character size
    int boxWidth = 10;            // answer-box item 1
    int boxHeight = 4;            // answer-box item 2
    int sheetWidth = 630;         // the sheet picture's width
    bool hasChoices = false;      // the unit has "<<kgroup" answers
    bool hasHints = false;        // at least one hint line
    bool fromCopyFile = false;
};

// One line of a message picture, at y pixels from its top.
struct MessageLine {
    int y = 0;
    std::string text; // CP932
    int sizePt = 12;
    Colour colour = colours::Black;
    friend bool operator==(const MessageLine&, const MessageLine&) = default;
};
using MessageText = std::vector<MessageLine>;

// What a finished scored practice or test leaves for the learner's records.
struct ScoredExercise {
    int correct = 0;
    int total = 0;
    int score = 0;
    std::string triesTrail;
    int elapsedSeconds = 0;
};

// Where the focus goes after an action.
enum class FocusTarget { None, Box, Renshu, Fukushu, Saiten, End };

// The panels and buttons of the practice window, as the engine wants them.
struct PracticeControls {
    bool pnlRenshu = true;
    bool pnlKiroku = true;
    bool pnlSS = false;
    bool grbTest = false;
    bool choicePanel = false;  // grbSelect instead of pnlBunsu
    bool softKeyboard = false; // grbMoji: the soft keys belong to the hidden "ランダム" input mode, so they stay off
    bool recordMemo = true;
    bool imgMess = true;
    bool btnHintVisible = false;
    bool btnHintEnabled = false;
    bool btnAnswerVisible = false;
    bool btnAnswerEnabled = false;
    bool btnSaitenVisible = false;
    bool btnFukushuEnabled = false;
    bool btnTestEnabled = true;
};

// The practice window's side of an exercise.
class PracticeView {
public:
    virtual ~PracticeView() = default;
    // The sheet picture: an entry drawn by the expression renderer at (x, y), top-left reference point; a white
    // patch over a box; a mark on a box; the score in the heading.
    virtual void drawEntry(const std::string& text, int x, int y, Colour colour) = 0;
    virtual void paintPatch(const PracticeBox& box) = 0;
    virtual void drawMark(const PracticeBox& box, MarkKind kind, Colour colour) = 0;
    virtual void drawScore(int score) = 0;
    // The reduction hint written beside the slash of a wrong entry.
    virtual void drawHint(const PracticeBox& box, const std::string& hint) = 0;
    // The all-correct window, shown modally.
    virtual void showAllCorrect() = 0;
    // One record after a scored practice or test; then the unit selection window's counts are refreshed.
    virtual void writeRecord(const ScoredExercise& result) = 0;
    // The record memo is read again (after an abort).
    virtual void refreshRecordMemo() = 0;
    // The sheet picture scrolls back to its top.
    virtual void scrollToTop() = 0;
    // A message box or question comes up: what changed so far is shown under it.
    virtual void beforePrompt() {}
};

// "正解は" and the box's acceptable answers below it.
MessageText answerMessage(const PracticeBox& box);
// The texts of the course guide, the praise table and the end messages.
MessageText courseGuide();
const std::vector<std::string>& praiseTable();
// A page with more answers than the 80 slots of the table is not practised.
std::string tooManyBoxesMessage();
// A learner typed a character Shift-JIS cannot hold.
std::string unusableCharacterMessage();
// Esc or closing the window in the middle of an exercise.
std::string closeExerciseQuestion();

// Normalisation before comparison: blanks and control characters (bytes at or below the space) off both ends,
// then full-width spaces off the start and off the end, two bytes at a time; a "と" between digits is the "&" of
// a mixed number.
std::string normaliseAnswer(const std::string& text);
// The box's acceptable answers: its answer text split at every ";".
std::vector<std::string> acceptListOf(const std::string& answerText);
// Correct (MatchedAfterShown once the answer was shown) when an acceptable answer is equal after normalising, else
// Wrong.
Judge matchAnswer(const PracticeBox& box, const std::string& text);
// round half up of correct × 100 / total; 0 for no boxes.
int scoreOf(int correct, int total);
// s = 0 Gaoh; 1–39 Namida; 40–59 Nanda; 60–79 Sleep; 80–99 Happy or GreenHeart; 100 Kutta or RedHeart.
Mood moodFor(int score, Random& random);
// A test entry padded to its reference answer for the answer sheet: shorter texts become " " + text + 12 blanks
// (12 blanks when empty), cut to the reference's length.
std::string padTestAnswer(const std::string& text, const std::string& reference);

class PracticeEngine {
public:
    PracticeEngine(PracticeView& view, Prompts& prompts, Random& random);

    // Building the exercise data when the window is shown: the boxes laid over the answer boxes (hidden,
    // read-only), judges reset, the course guide. No layout (no worksheet) builds nothing.
    void open(const ExerciseLayout& layout, std::vector<std::string> hints);
    // The window closes: judges reset, answers no longer shown.
    void close();

    void startPractice();
    void startTest();
    void startReview();
    void abort();
    // Enter in box i (the input box's current text is box(i).text).
    void enter(int i);
    // 答えを見る on the current box.
    void showAnswer();
    // ヒントを見る.
    void showHint();
    // 採点 (a test) or the end of a practice.
    void score();
    // The one-second timer.
    void tick();

    // The learner's edits and focus.
    void setText(int i, const std::string& text);
    void setCurrentBox(int i);

    int boxCount() const { return static_cast<int>(boxes_.size()) - 1; }
    PracticeBox& box(int i) { return boxes_[static_cast<std::size_t>(i)]; }
    const PracticeBox& box(int i) const { return boxes_[static_cast<std::size_t>(i)]; }
    // The next box to visit after box c: the first of c+1 … n, 1 … c−1 that is shown and empty or has no entry
    // yet; 0 when there is none.
    int nextBox(int c) const;

    ExerciseMode mode() const { return mode_; }
    int currentBox() const { return currentBox_; }
    bool timerRunning() const { return timerRunning_; }
    bool scored() const { return scored_; }
    std::optional<int> lastScore() const { return lastScore_; }
    std::optional<Mood> mood() const { return mood_; }
    bool soft() const { return controls_.softKeyboard; }

    const PracticeControls& controls() const { return controls_; }
    FocusTarget focus() const { return focus_; }
    bool selectBoxText() const { return selectText_; }
    // imgMessXX (the exercise's messages) and imgMess (the course guide, the end).
    const MessageText& exerciseMessage() const { return messXX_; }
    const MessageText& idleMessage() const { return mess_; }
    // 約分のヒント: a wrong entry with the answer's value but not its form gets a hint beside its slash. Judging,
    // marks, trail and score are the same either way.
    void setReductionHints(bool on) { reductionHints_ = on; }

private:
    void beginExercise(bool test);
    Judge judgeEntry(int i, const std::string& text);
    void enterPracticeLike(int i);
    void offerToShowAnswer(int i);
    void markMatchedEntry(int i);
    void goToNextBoxOrEnd(int i);
    void endReview();
    void markWrongEntry(int i);
    void askForCorrection(int i);
    void enterTest(int i);
    void drawTyped(PracticeBox& b);
    void closePanels();
    void endMessage();
    void setMessage(MessageText text) { messXX_ = std::move(text); }
    Colour markColour() const { return reviewMode_ ? kReviewGreen : colours::Red; }
    void focusBox(int i, bool select = false);

    PracticeView& view_;
    Prompts& prompts_;
    Random& random_;
    std::vector<PracticeBox> boxes_{1};
    std::vector<std::string> hints_;
    ExerciseLayout layout_;
    bool opened_ = false;

    ExerciseMode mode_ = ExerciseMode::Idle;
    int currentBox_ = 1;
    bool practiceLike_ = true;
    bool reviewMode_ = false;
    int wrongCount_ = 0;
    bool allCorrect_ = false;
    bool timerRunning_ = false;
    int elapsedSeconds_ = 0;
    std::string triesTrail_;
    bool scored_ = false;
    bool reductionHints_ = false;
    std::optional<int> lastScore_;
    std::optional<Mood> mood_;

    PracticeControls controls_;
    FocusTarget focus_ = FocusTarget::Renshu;
    bool selectText_ = false;
    MessageText messXX_;
    MessageText mess_;
};

} // namespace tavola

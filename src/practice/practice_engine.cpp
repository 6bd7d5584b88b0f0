#include "practice/practice_engine.h"

#include "platform/numbers.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "practice/answer_entry.h"

#include <algorithm>

namespace tavola {

namespace {

int pixels(int pt)
{
    return roundEven(pt * 96.0 / 72.0);
}

// Line n of a message picture in one size.
MessageLine lineAt(int n, const std::string& text, int sizePt, Colour colour)
{
    return {n * (pixels(sizePt) + 4), text, sizePt, colour};
}

// The text without blanks and control characters (bytes at or below the space) at either end.
std::string withoutBlankEnds(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

MessageText answerMessage(const PracticeBox& box)
{
    MessageText text{lineAt(0, "正解は"_sj, 18, colours::Black)};
    int line = 2;
    for (const std::string& item : box.acceptList)
        text.push_back(lineAt(line++, item, 18, colours::Black));
    return text;
}

MessageText courseGuide()
{
    const Colour blue = colours::Blue;
    return {{0, "　　　標準の学習コース"_sj, 14, blue},
            {40, "（１）［練習］ボタンで練習する"_sj, 10, blue},
            {60, "（２）［復習］ボタンで間違ったところを復習する"_sj, 8, blue},
            {80, "（３）［テスト］ボタンでテストする"_sj, 10, blue}};
}

const std::vector<std::string>& praiseTable()
{
    static const std::vector<std::string> table{"正解です"_sj, "よくできました"_sj, "合っています"_sj,
                                                "ＧＯＯＤ"_sj, "ＧＲＥＡＴ"_sj,     "ＮＩＣＥ"_sj};
    return table;
}

std::string closeExerciseQuestion()
{
    return "入力した答えは消えます。中止して閉じますか"_sj;
}

std::string tooManyBoxesMessage()
{
    return "解答欄が８０を超えるので、このプリントでは練習できません"_sj;
}

std::string unusableCharacterMessage()
{
    return "この文字は入力できません"_sj;
}

std::string normaliseAnswer(const std::string& text)
{
    std::string t = trimAnswerText(text);
    // The fraction pad's と writes "&"; "1と7/12" typed on the keyboard is the same mixed number.
    const std::string to = "と"_sj;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t i = 0; i < t.size(); i += sjis::charLength(t, i))
        if (i > 0 && t.compare(i, to.size(), to) == 0 && digit(t[i - 1]) && i + to.size() < t.size() &&
            digit(t[i + to.size()]))
            t.replace(i, to.size(), "&");
    return t;
}

std::vector<std::string> acceptListOf(const std::string& answerText)
{
    std::vector<std::string> parts;
    splitAtSemicolon(answerText, parts);
    return parts;
}

Judge matchAnswer(const PracticeBox& box, const std::string& text)
{
    const std::string t = normaliseAnswer(text);
    for (const std::string& item : box.acceptList)
        if (normaliseAnswer(item) == t) return box.answerShown ? Judge::MatchedAfterShown : Judge::Correct;
    return Judge::Wrong;
}

int scoreOf(int correct, int total)
{
    if (total < 1) return 0;
    // trunc(correct × 100 / total + 0.5) in integers: 12.5 rounds up to 13.
    return (correct * 200 + total) / (2 * total);
}

Mood moodFor(int score, Random& random)
{
    if (score <= 0) return Mood::Gaoh;
    if (score < 40) return Mood::Namida;
    if (score < 60) return Mood::Nanda;
    if (score < 80) return Mood::Sleep;
    if (score < 100) return random.below(2) == 0 ? Mood::Happy : Mood::GreenHeart;
    return random.below(2) == 0 ? Mood::Kutta : Mood::RedHeart;
}

std::string padTestAnswer(const std::string& text, const std::string& reference)
{
    if (text.size() >= reference.size()) return text;
    std::string padded = text.empty() ? std::string(12, ' ') : " " + text + std::string(12, ' ');
    padded.resize(std::min(padded.size(), reference.size()));
    return padded;
}

PracticeEngine::PracticeEngine(PracticeView& view, Prompts& prompts, Random& random)
    : view_(view), prompts_(prompts), random_(random)
{
}

void PracticeEngine::open(const ExerciseLayout& layout, std::vector<std::string> hints)
{
    layout_ = layout;
    hints_ = std::move(hints);
    mode_ = ExerciseMode::Idle;
    opened_ = true;
    const std::size_t n = std::min(layout.boxes.size(), static_cast<std::size_t>(kMaxAnswerBoxes));
    boxes_.assign(n + 1, PracticeBox{});
    // The input box covers the answer box's frame: 5 × (width setting + 5) wide, a little below the line top.
    const int width = 5 * (layout.boxWidth + 5);
    const int lift = roundEven(0.3 * (2 * layout.fontSize + layout.boxHeight - 10));
    for (std::size_t i = 1; i <= n; ++i) {
        PracticeBox& b = boxes_[i];
        const AnswerBox& a = layout.boxes[i - 1];
        b.answer = a;
        b.acceptList = acceptListOf(a.text);
        b.referenceAnswer = a.text;
        b.width = width;
        b.height = answerFieldHeight(layout.fontSize);
        b.homeLeft = b.left = a.x + 6;
        b.homeTop = b.top = a.y + lift;
    }
    controls_ = PracticeControls{};
    controls_.choicePanel = layout.hasChoices;
    messXX_.clear();
    mess_ = courseGuide();
    mood_.reset();
    lastScore_.reset();
    scored_ = false;
    focus_ = FocusTarget::Renshu;
}

void PracticeEngine::close()
{
    for (PracticeBox& b : boxes_) {
        b.judge = Judge::NotJudged;
        b.answerShown = false;
        b.visible = false;
    }
    scored_ = false;
    timerRunning_ = false;
    mode_ = ExerciseMode::Idle;
    controls_.btnTestEnabled = true;
    opened_ = false;
}

void PracticeEngine::beginExercise(bool test)
{
    // The judges of the last scoring are cleared below, so a review of them is no longer possible.
    controls_.btnFukushuEnabled = false;
    controls_.recordMemo = false;
    controls_.choicePanel = layout_.hasChoices;
    const bool hintsUsable = !hints_.empty() && hints_.front() != "Hint" && !layout_.fromCopyFile;
    controls_.btnHintVisible = !test;
    controls_.btnHintEnabled = hintsUsable;
    controls_.btnAnswerVisible = controls_.btnAnswerEnabled = !test;
    controls_.btnSaitenVisible = test;
    view_.scrollToTop();
    for (PracticeBox& b : boxes_) {
        b.enteredAnswer = kNotEntered;
        b.judge = Judge::NotJudged;
        b.tries = 0;
        b.answerShown = false;
        b.left = b.homeLeft;
        b.top = b.homeTop;
        b.visible = true;
        b.text.clear();
        b.drawn.clear();
        b.redText = false;
    }
    boxes_[0].visible = false;
    controls_.pnlSS = true;
    controls_.pnlKiroku = false;
    controls_.pnlRenshu = false;
    allCorrect_ = false;
    practiceLike_ = !test;
    reviewMode_ = false;
    elapsedSeconds_ = 0;
    timerRunning_ = true;
    scored_ = false;
    currentBox_ = 1;
    controls_.grbTest = true;
    wrongCount_ = 0;
    triesTrail_.clear();
    for (PracticeBox& b : boxes_)
        b.editable = true;
    messXX_.clear();
    mode_ = test ? ExerciseMode::Test : ExerciseMode::Practice;
    focusBox(boxCount() >= 1 ? 1 : 0);
}

void PracticeEngine::startPractice()
{
    if (!opened_ || boxCount() < 1) return;
    beginExercise(false);
}

void PracticeEngine::startTest()
{
    if (!opened_ || boxCount() < 1) return;
    beginExercise(true);
}

void PracticeEngine::startReview()
{
    if (!opened_ || !controls_.btnFukushuEnabled) return;
    for (PracticeBox& b : boxes_) {
        b.editable = true;
        b.answerShown = false;
    }
    controls_.btnHintVisible = true;
    controls_.btnAnswerVisible = controls_.btnAnswerEnabled = true;
    controls_.btnSaitenVisible = false;
    controls_.pnlKiroku = false;
    controls_.pnlSS = true;
    controls_.grbTest = true;
    controls_.pnlRenshu = false;
    controls_.recordMemo = false;
    allCorrect_ = false;
    wrongCount_ = 0;
    practiceLike_ = true;
    view_.scrollToTop();
    int first = 0;
    for (int i = 1; i <= boxCount(); ++i) {
        PracticeBox& b = box(i);
        if (b.judge == Judge::Correct) continue;
        b.text.clear();
        b.visible = true;
        b.redText = false;
        if (first == 0) first = i;
    }
    controls_.btnFukushuEnabled = false;
    controls_.btnTestEnabled = false;
    reviewMode_ = true;
    messXX_.clear();
    mode_ = ExerciseMode::Review;
    focusBox(first);
}

void PracticeEngine::closePanels()
{
    for (PracticeBox& b : boxes_) {
        b.editable = true;
        b.visible = false;
    }
    controls_.recordMemo = true;
    controls_.pnlRenshu = true;
    controls_.pnlKiroku = true;
    controls_.btnTestEnabled = true;
    controls_.pnlSS = false;
    controls_.grbTest = false;
    timerRunning_ = false;
    mode_ = ExerciseMode::Idle;
    view_.refreshRecordMemo();
    view_.scrollToTop();
}

void PracticeEngine::abort()
{
    if (mode_ == ExerciseMode::Idle) return;
    closePanels();
    mess_ = {{0, "中止しました。"_sj, 12, colours::Black}};
    mood_.reset();
    controls_.imgMess = true;
    focus_ = FocusTarget::Renshu;
}

void PracticeEngine::setText(int i, const std::string& text)
{
    if (i >= 1 && i <= boxCount()) box(i).text = text;
}

void PracticeEngine::setCurrentBox(int i)
{
    if (i >= 1 && i <= boxCount()) currentBox_ = i;
}

void PracticeEngine::focusBox(int i, bool select)
{
    if (i >= 1 && i <= boxCount()) {
        currentBox_ = i;
        focus_ = FocusTarget::Box;
    } else {
        focus_ = FocusTarget::None;
    }
    selectText_ = select;
}

int PracticeEngine::nextBox(int c) const
{
    const int n = boxCount();
    auto open = [&](int i) {
        const PracticeBox& b = box(i);
        return (b.visible && b.text.empty()) || b.enteredAnswer == kNotEntered;
    };
    for (int i = c + 1; i <= n; ++i)
        if (open(i)) return i;
    for (int i = 1; i < c && i <= n; ++i)
        if (open(i)) return i;
    return 0;
}

Judge PracticeEngine::judgeEntry(int i, const std::string& text)
{
    PracticeBox& b = box(i);
    const Judge result = matchAnswer(b, text);
    if (result == Judge::MatchedAfterShown) {
        b.judge = Judge::MatchedAfterShown;
        ++wrongCount_;
    } else if (result == Judge::Wrong) {
        b.judge = Judge::Missed;
        ++wrongCount_;
    } else if (!reviewMode_) {
        if (b.judge == Judge::Missed) {
            b.judge = Judge::Corrected;
        } else if (b.judge == Judge::Wrong || b.judge == Judge::Correct) {
            b.judge = Judge::Correct;
        }
    }
    return result;
}

void PracticeEngine::drawTyped(PracticeBox& b)
{
    // Earlier wrong attempts stay visible side by side; a review (and a test, whose entries may be changed before
    // scoring) paints the box's place white first and writes where the box stands now.
    if (reviewMode_ || !practiceLike_) {
        view_.paintPatch(b);
        view_.drawEntry(b.text, b.left, b.top, colours::Blue);
        b.drawn = b.text;
    } else {
        view_.drawEntry(b.text, b.homeLeft + b.tries * b.width, b.top, colours::Blue);
    }
}

void PracticeEngine::enter(int i)
{
    if (mode_ == ExerciseMode::Idle || i < 1 || i > boxCount()) return;
    currentBox_ = i;
    if (box(i).text.empty()) return;
    if (practiceLike_)
        enterPracticeLike(i);
    else
        enterTest(i);
}

void PracticeEngine::enterPracticeLike(int i)
{
    PracticeBox& b = box(i);
    drawTyped(b);
    if (!b.editable) return;
    b.text = withoutBlankEnds(b.text);
    if (b.text.empty()) {
        offerToShowAnswer(i);
        return;
    }
    if (b.enteredAnswer == kNotEntered) b.enteredAnswer = b.text;
    if (judgeEntry(i, b.text) == Judge::Wrong) {
        markWrongEntry(i);
        askForCorrection(i);
        return;
    }
    markMatchedEntry(i);
    goToNextBoxOrEnd(i);
}

// An entry of blanks only asks whether to show the answer.
void PracticeEngine::offerToShowAnswer(int i)
{
    view_.beforePrompt();
    if (prompts_.confirm("正解を表示しますか"_sj) == Answer::Yes) showAnswer();
    focusBox(i);
}

// A matching entry is written where the box stands and marked: a triangle when the answer had been shown, else a
// circle and a word of praise. Its tries join the trail and the box is hidden.
void PracticeEngine::markMatchedEntry(int i)
{
    PracticeBox& b = box(i);
    view_.drawEntry(b.text, b.left, b.top, colours::Blue);
    if (b.answerShown) {
        ++b.tries;
        view_.drawMark(b, MarkKind::Triangle, markColour());
        b.redText = true;
    } else {
        view_.drawMark(b, reviewMode_ ? MarkKind::DoubleCircle : MarkKind::Circle, markColour());
        const auto& praise = praiseTable();
        const std::string word = praise[static_cast<std::size_t>(random_.below(static_cast<int>(praise.size())))];
        setMessage({{0, "★★"_sj + word + "★★"_sj, 18, colours::Red}});
    }
    triesTrail_ += std::to_string(b.tries);
    b.visible = false;
}

// After a matching entry: the next open box, else a practice is scored and a review ends.
void PracticeEngine::goToNextBoxOrEnd(int i)
{
    const int next = nextBox(i);
    if (next != 0)
        focusBox(next);
    else if (!reviewMode_)
        score();
    else
        endReview();
}

void PracticeEngine::endReview()
{
    endMessage();
    closePanels();
    if (allCorrect_ || wrongCount_ < 1) {
        focus_ = FocusTarget::End;
    } else {
        controls_.btnFukushuEnabled = true;
        focus_ = FocusTarget::Fukushu;
    }
}

// A wrong entry is slashed (with its reduction hint when asked for) and the box moves right of it, as long as it
// stays on the sheet.
void PracticeEngine::markWrongEntry(int i)
{
    PracticeBox& b = box(i);
    view_.drawMark(b, MarkKind::Slash, markColour());
    if (reductionHints_)
        if (auto hint = reductionHint(normaliseAnswer(b.text), b.acceptList)) view_.drawHint(b, *hint);
    const int newLeft = b.left + b.width;
    if (b.width + newLeft < layout_.sheetWidth) b.left = newLeft;
}

// The box waits for a corrected entry with its text selected; the fourth wrong try shows the answer.
void PracticeEngine::askForCorrection(int i)
{
    PracticeBox& b = box(i);
    if (b.tries >= 3) {
        showAnswer();
        view_.beforePrompt();
        prompts_.message("右下に正解を表示します"_sj);
    }
    ++b.tries;
    focusBox(i, true);
    // Once the answer is shown it stays in view under the request to correct.
    MessageText message{{0, "解答を訂正してください"_sj, 14, colours::Blue}};
    if (b.answerShown)
        for (MessageLine line : answerMessage(b)) {
            line.y += 24;
            message.push_back(line);
        }
    setMessage(std::move(message));
}

void PracticeEngine::enterTest(int i)
{
    PracticeBox& b = box(i);
    // The entry stays in its box, which is shown until the test is scored; written on the sheet under it as well,
    // a fraction's parts would show twice around the box. Scoring writes every entry.
    b.enteredAnswer = b.text;
    for (int k = 1; k <= boxCount(); ++k) {
        if (box(k).visible && box(k).text.empty()) {
            focusBox(nextBox(i));
            return;
        }
    }
    focus_ = FocusTarget::Saiten;
}

void PracticeEngine::showAnswer()
{
    if (mode_ == ExerciseMode::Idle || currentBox_ < 1 || currentBox_ > boxCount()) return;
    PracticeBox& b = box(currentBox_);
    setMessage(answerMessage(b));
    b.judge = Judge::Missed;
    b.answerShown = true;
    focusBox(currentBox_);
}

void PracticeEngine::showHint()
{
    if (!hints_.empty() && hints_.front() != "Hint") {
        MessageText text{{0, "学習のポイント"_sj, 20, colours::Black}};
        for (std::size_t k = 0; k < hints_.size(); ++k)
            text.push_back({30 + 20 * static_cast<int>(k), hints_[k], 12, colours::Black});
        setMessage(std::move(text));
    }
    focusBox(currentBox_);
}

void PracticeEngine::score()
{
    if (mode_ != ExerciseMode::Practice && mode_ != ExerciseMode::Test) return;
    const bool test = mode_ == ExerciseMode::Test;
    const int n = boxCount();
    if (test) {
        enter(currentBox_);
        for (int i = 1; i <= n; ++i) {
            PracticeBox& b = box(i);
            b.enteredAnswer = padTestAnswer(b.text, b.referenceAnswer);
            // A box changed after its Enter is judged as it stands, so the marked sheet shows that text.
            if (b.text != b.drawn) {
                view_.paintPatch(b);
                if (!b.text.empty()) view_.drawEntry(b.text, b.left, b.top, colours::Blue);
                b.drawn = b.text;
            }
        }
    }
    int empty = 0;
    for (int i = 1; i <= n; ++i)
        if (box(i).visible && box(i).text.empty()) ++empty;
    if (test && empty == n) {
        view_.beforePrompt();
        prompts_.message("解答を入力してから採点してください。"_sj);
        focusBox(currentBox_);
        return;
    }
    timerRunning_ = false;
    wrongCount_ = 0;
    // Every judge becomes the result of matching the box's enteredAnswer (Correct, Wrong or MatchedAfterShown),
    // over what judging the entry leaves: that would keep NotJudged for a practice box right at the first attempt
    // and Missed for a wrong one, so the one would not count as correct and neither would print its mark.
    for (int i = 1; i <= n; ++i)
        box(i).judge = judgeEntry(i, box(i).enteredAnswer);
    scored_ = true;
    allCorrect_ = wrongCount_ == 0;

    int correct = 0;
    for (int i = 1; i <= n; ++i)
        if (box(i).judge == Judge::Correct) ++correct;
    const int s = scoreOf(correct, n);
    lastScore_ = s;
    view_.writeRecord({correct, n, s, test ? std::string() : triesTrail_, elapsedSeconds_});
    // Review works on this scoring's wrong boxes: after a scoring without one there is nothing to review, whatever
    // an earlier scoring left.
    controls_.btnFukushuEnabled = wrongCount_ > 0;
    if (test) {
        for (int i = 1; i <= n; ++i) {
            PracticeBox& b = box(i);
            if (b.judge != Judge::Correct) {
                view_.drawMark(b, MarkKind::TestSlash, colours::Red);
                b.tries = 1;
            } else {
                view_.drawMark(b, MarkKind::Circle, colours::Red);
                b.tries = 0;
            }
            // The entry is written on the sheet now; the box over it would show it twice beside the message.
            b.visible = false;
        }
    }
    controls_.imgMess = false;
    view_.scrollToTop();
    endMessage();
    closePanels();
    view_.drawScore(s);
    mood_ = moodFor(s, random_);
    mess_.clear();
    controls_.imgMess = true;
    if (allCorrect_) {
        focus_ = FocusTarget::End;
    } else {
        controls_.btnFukushuEnabled = true;
        focus_ = FocusTarget::Fukushu;
    }
}

void PracticeEngine::endMessage()
{
    if (reviewMode_ || wrongCount_ > 0) {
        const char* text = reviewMode_                   ? "復習を終わりました"
                           : mode_ == ExerciseMode::Test ? "テストを終わりました"
                                                         : "練習を終わりました";
        view_.beforePrompt();
        prompts_.message(sjis::encode(text));
        allCorrect_ = false;
    } else {
        view_.beforePrompt();
        view_.showAllCorrect();
    }
}

void PracticeEngine::tick()
{
    if (timerRunning_) ++elapsedSeconds_;
}

} // namespace tavola

#include "server/classroom.h"

#include "courseware/unit_marks.h"
#include "platform/display_list.h"
#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "practice/learning_records.h"
#include "practice/practice_engine.h"
#include "practice/practice_marks.h"
#include "question/master_file.h"
#include "question/unit_reader.h"
#include "render/draw_math.h"
#include "server/svg_canvas.h"
#include "worksheet/drawing_pass.h"
#include "worksheet/figures.h"
#include "worksheet/worksheet.h"

#include <sys/random.h>

#include <algorithm>
#include <cstdio>

namespace tavola {

namespace {

using Clock_ = std::chrono::steady_clock;

// The practice window's left button panel: the score is placed as the window places it.
constexpr int kPanelWidth = 110;
// A box's text as typed: longer than any answer a box holds.
constexpr std::size_t kMaxBoxText = 120;

std::string utf8(const std::string& cp932)
{
    return sjis::toUtf8(cp932);
}

Reply refusal(int status, const std::string& cp932Message)
{
    Reply r;
    r.status = status;
    r.body = {{"message", utf8(cp932Message)}};
    return r;
}

std::string newToken()
{
    unsigned char bytes[32];
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
        if (n > 0) got += static_cast<std::size_t>(n);
    }
    std::string token;
    char hex[3];
    for (unsigned char b : bytes) {
        std::snprintf(hex, sizeof hex, "%02x", b);
        token += hex;
    }
    return token;
}

std::string modeName(ExerciseMode mode)
{
    switch (mode) {
    case ExerciseMode::Practice:
        return "practice";
    case ExerciseMode::Review:
        return "review";
    case ExerciseMode::Test:
        return "test";
    case ExerciseMode::Idle:
        break;
    }
    return "idle";
}

std::string modeCaption(ExerciseMode mode)
{
    switch (mode) {
    case ExerciseMode::Practice:
        return "練習"_sj;
    case ExerciseMode::Review:
        return "復習"_sj;
    case ExerciseMode::Test:
        return "テスト"_sj;
    case ExerciseMode::Idle:
        break;
    }
    return {};
}

std::string moodName(Mood mood)
{
    static const char* names[] = {"gaoh", "namida", "nanda", "sleep", "happy", "greenHeart", "kutta", "redHeart"};
    return names[static_cast<int>(mood)];
}

std::string colourName(Colour c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red(), c.green(), c.blue());
    return text;
}

Json messageJson(const MessageText& text)
{
    Json lines = Json::array();
    for (const MessageLine& line : text)
        lines.push_back(
            {{"y", line.y}, {"text", utf8(line.text)}, {"size", line.sizePt}, {"colour", colourName(line.colour)}});
    return lines;
}

// Messages and questions of an exercise, shown on the tablet after the action. A question is answered No: the
// tablet asks its own questions before it sends an action.
class NoticePrompts : public Prompts {
public:
    void message(const std::string& text) override { notices.push_back(text); }
    void error(const std::string& text) override { notices.push_back(text); }
    Answer confirm(const std::string&) override { return Answer::No; }
    Answer confirmWithCancel(const std::string&) override { return Answer::Cancel; }
    std::optional<std::string> saveFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> openFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::vector<std::string> notices;
};

} // namespace

// One unit opened by one pupil: the worksheet, its page, the engine and what the engine drew on the page.
class PracticeSession : private PracticeView {
public:
    explicit PracticeSession(std::unique_ptr<Canvas> measure)
        : measure_(std::move(measure)), engine_(*this, prompts_, random_)
    {
    }

    Worksheet sheet;
    FigurePictures figures;
    PageLayout layout;
    RecordTarget target;
    std::string recordFile;
    std::string unitLine;
    std::string pageSvg;
    bool allCorrect = false;
    std::optional<ScoredExercise> toRecord;

    Canvas& measure() { return *measure_; }
    PracticeEngine& engine() { return engine_; }
    NoticePrompts& prompts() { return prompts_; }

    void begin(const MarkStyle& style)
    {
        style_ = style;
        overlay_.clear();
    }
    void clearOverlay() { overlay_.clear(); }
    std::string overlaySvg() { return svgElements(overlay_, *measure_); }

    // The one-second timer of the practice window, from the wall clock.
    void catchUpTimer()
    {
        if (!engine_.timerRunning()) return;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(Clock_::now() - timerStart_).count();
        while (ticks_ < seconds) {
            engine_.tick();
            ++ticks_;
        }
    }
    void timerMaybeStarted(bool wasRunning)
    {
        if (!wasRunning && engine_.timerRunning()) {
            timerStart_ = Clock_::now();
            ticks_ = 0;
        }
    }

private:
    // PracticeView: what the practice window draws on its sheet picture goes to the overlay.
    void drawEntry(const std::string& text, int x, int y, Colour colour) override
    {
        ListingCanvas canvas(*measure_, overlay_);
        const int end = render::DrawMath(layout.context, style_.fontSize, x, y, 1, canvas, text, colour).x;
        const int px = static_cast<int>(style_.fontSize * 96.0 / 72.0 + 0.5);
        lastEntry_ = {x - 4, y - px, std::max(end, x) + 8, y + 3 * px};
    }
    void paintPatch(const PracticeBox& box) override
    {
        ListingCanvas canvas(*measure_, overlay_);
        paintBoxPatch(canvas, box);
    }
    void drawMark(const PracticeBox& box, MarkKind kind, Colour colour) override
    {
        ListingCanvas canvas(*measure_, overlay_);
        tavola::drawMark(canvas, box, kind, colour, style_);
    }
    void drawScore(int score) override
    {
        ListingCanvas canvas(*measure_, overlay_);
        drawScoreText(canvas, score, layout.scorePosition, kPanelWidth, 1, layout.nameLine, layout.width);
    }
    void drawHint(const PracticeBox& box, const std::string& hint) override
    {
        // Below the box and below the entry written last, as on the practice window's sheet.
        ListingCanvas canvas(*measure_, overlay_);
        useTextFont(canvas, "ＭＳ ゴシック"_sj, 9, colours::Red);
        int y = box.top + box.height + 2;
        if (lastEntry_.left < box.left + box.width && lastEntry_.right > box.left && lastEntry_.top < y + 14 &&
            lastEntry_.bottom > y)
            y = lastEntry_.bottom;
        canvas.textOut(box.left, y, hint);
    }
    void showAllCorrect() override { allCorrect = true; }
    void writeRecord(const ScoredExercise& result) override { toRecord = result; }
    void refreshRecordMemo() override {}
    void scrollToTop() override {}

    std::unique_ptr<Canvas> measure_;
    NoticePrompts prompts_;
    SystemRandom random_;
    PracticeEngine engine_;
    DisplayList overlay_;
    MarkStyle style_;
    Rect lastEntry_;
    Clock_::time_point timerStart_;
    long long ticks_ = 0;
};

struct Classroom::Session {
    std::string token;
    int learnerNumber = 0;
    std::string learner; // CP932
    std::string recordFileOfLesson;
    Clock_::time_point lastSeen;
    std::mutex mutex;
    std::unique_ptr<PracticeSession> practice;
    PendingRecords pending; // records that could not be written yet, tried again with the next one
};

std::string passwordWaitMessage(int seconds)
{
    return "パスワードを何度もまちがえました。"_sj + std::to_string(seconds) +
           " 秒たってから、もう一度入力してください"_sj;
}

Classroom::Classroom(ClassroomOptions options, MeasureCanvasFactory measure)
    : options_(std::move(options)), measure_(std::move(measure)), index_(options_.places.coursewareDir)
{
}

Classroom::~Classroom() = default;

Status Classroom::load()
{
    if (Status s = index_.readMainIndex(); !s) return s;
    if (options_.lesson < 1 || options_.lesson > index_.lessonCount())
        return Status::failure("レッスン "_sj + std::to_string(options_.lesson) + " はありません"_sj);
    if (Status s = index_.readLesson(options_.lesson); !s) return s;
    lessonName_ = index_.lessonList()[static_cast<std::size_t>(options_.lesson - 1)];
    names_.clear();
    auto lines = readLineFile(defaultNameListPath(options_.places));
    if (lines) {
        for (const std::string& name : *lines) {
            // Learners only from the list, each once, and only names that can have a data file.
            if (name.empty() || learnerNameProblem(name)) continue;
            if (std::find(names_.begin(), names_.end(), name) == names_.end()) names_.push_back(name);
        }
    }
    return {};
}

Reply Classroom::names() const
{
    Reply r;
    Json list = Json::array();
    for (const std::string& n : names_)
        list.push_back(utf8(n));
    r.body = {{"lesson", options_.lesson},
              {"lessonName", utf8(lessonName_)},
              {"title", utf8(index_.title())},
              {"names", list}};
    return r;
}

Reply Classroom::learnerInfo(int learner) const
{
    if (learner < 0 || learner >= static_cast<int>(names_.size())) return refusal(404, "名簿にない名前です"_sj);
    const std::string& name = names_[static_cast<std::size_t>(learner)];
    const bool common = name == sjis::encode(kCommonLearner);
    const LearnerPassword stored = learnerPassword(options_.places, index_, name, options_.lesson);
    Reply r;
    r.body = {{"greeting", utf8("ようこそ"_sj + name + "さん"_sj)},
              {"needsPassword", !common},
              {"newPassword", !common && stored.stored == kNoPassword},
              {"instruction", common ? std::string()
                                     : utf8(stored.stored == kNoPassword ? "新規パスワードを設定してください"_sj
                                                                         : "パスワードを入力してください"_sj)}};
    return r;
}

Reply Classroom::logOn(int learner, const std::string& passwordUtf8, const std::string& confirmationUtf8,
                       std::string& token)
{
    token.clear();
    if (learner < 0 || learner >= static_cast<int>(names_.size())) return refusal(404, "名簿にない名前です"_sj);
    const std::string name = names_[static_cast<std::size_t>(learner)];
    const auto now = Clock_::now();
    {
        std::lock_guard lock(mutex_);
        auto& tries = wrongTries_[learner];
        const auto window = std::chrono::seconds(options_.waitSeconds);
        std::erase_if(tries, [&](Clock_::time_point t) { return now - t >= window; });
        if (static_cast<int>(tries.size()) >= options_.triesPerMinute) {
            const auto left = std::chrono::duration_cast<std::chrono::seconds>(tries.front() + window - now).count();
            Reply r = refusal(429, passwordWaitMessage(static_cast<int>(std::max<long long>(1, left + 1))));
            r.body["wait"] = true;
            return r;
        }
    }
    if (name != sjis::encode(kCommonLearner)) {
        auto password = sjis::fromUtf8(passwordUtf8);
        auto confirmation = sjis::fromUtf8(confirmationUtf8);
        if (!password || !confirmation) return refusal(400, "パスワードを正しく入力してください"_sj);
        const std::string file = learnerDataFile(options_.places, index_, name, options_.lesson);
        if (file.empty()) return refusal(403, "この名前では記録できません"_sj);
        const LearnerPassword stored = learnerPassword(options_.places, index_, name, options_.lesson);
        const PasswordOutcome outcome = checkPassword(*password, *confirmation, stored.stored);
        switch (outcome) {
        case PasswordOutcome::TooShort:
        case PasswordOutcome::Unconfirmed: {
            Reply r = refusal(400, passwordMessage(outcome));
            r.body["field"] = outcome == PasswordOutcome::TooShort ? "password" : "confirmation";
            return r;
        }
        case PasswordOutcome::Wrong: {
            std::lock_guard lock(mutex_);
            wrongTries_[learner].push_back(now);
            Reply r = refusal(403, passwordMessage(outcome));
            r.body["field"] = "password";
            return r;
        }
        case PasswordOutcome::Set: {
            auto stored = storePasswordIfNone(file, *password);
            if (!stored) return refusal(500, stored.message());
            // A password set meanwhile from another tablet or desktop is kept; this one was not it.
            if (!*stored) return refusal(409, passwordMessage(PasswordOutcome::Wrong));
            break;
        }
        case PasswordOutcome::Accepted:
            // A password that came from another lesson is copied into this lesson's file, as the window does.
            if (stored.fromOtherLesson)
                if (auto copied = storePasswordIfNone(file, *password); !copied) return refusal(500, copied.message());
            break;
        }
    }
    auto session = std::make_shared<Session>();
    session->token = newToken();
    session->learnerNumber = learner;
    session->learner = name;
    session->recordFileOfLesson = learnerDataFile(options_.places, index_, name, options_.lesson);
    session->lastSeen = now;
    {
        std::lock_guard lock(mutex_);
        wrongTries_.erase(learner);
        endIdleSessions(now);
        if (sessions_.size() >= options_.maxSessions) return refusal(503, "接続している人が多すぎます"_sj);
        sessions_[session->token] = session;
    }
    token = session->token;
    Reply r;
    r.body = {{"learner", utf8(name)}};
    return r;
}

void Classroom::endIdleSessions(Clock_::time_point now)
{
    const auto idle = std::chrono::seconds(options_.sessionIdleSeconds);
    std::erase_if(sessions_, [&](const auto& entry) { return now - entry.second->lastSeen >= idle; });
}

std::shared_ptr<Classroom::Session> Classroom::find(const std::string& token)
{
    const auto now = Clock_::now();
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(token);
    if (it == sessions_.end()) return nullptr;
    if (now - it->second->lastSeen >= std::chrono::seconds(options_.sessionIdleSeconds)) {
        sessions_.erase(it);
        return nullptr;
    }
    it->second->lastSeen = now;
    return it->second;
}

namespace {

Reply notLoggedOn()
{
    return refusal(401, "ログオンしてください"_sj);
}

} // namespace

Reply Classroom::logOff(const std::string& token)
{
    std::lock_guard lock(mutex_);
    if (sessions_.erase(token) == 0) return notLoggedOn();
    return {};
}

Reply Classroom::units(const std::string& token)
{
    auto session = find(token);
    if (!session) return notLoggedOn();
    UnitMarks marks;
    bool stale = true;
    marks.refresh(index_, options_.lesson, session->recordFileOfLesson, stale);
    Json sections = Json::array();
    for (int s = 1; s <= index_.sectionCount(); ++s) {
        Json units = Json::array();
        const Lines& lines = index_.sectionUnits(s);
        auto master = readLineFile(index_.masterFilePath(options_.lesson, s));
        for (int u = 1; u <= static_cast<int>(lines.size()); ++u) {
            const int similar = master ? static_cast<int>(similarProblemsPresent(*master, u).size()) : 0;
            units.push_back({{"section", s},
                             {"unit", u},
                             {"line", utf8(lines[static_cast<std::size_t>(u - 1)])},
                             {"mark", utf8(marks.mark(s, u))},
                             {"count", marks.count(s, u)},
                             {"similar", similar}});
        }
        sections.push_back({{"name", utf8(index_.sectionList()[static_cast<std::size_t>(s - 1)])}, {"units", units}});
    }
    Reply r;
    r.body = {{"learner", utf8(session->learner)},
              {"lesson", options_.lesson},
              {"lessonName", utf8(lessonName_)},
              {"sections", sections}};
    return r;
}

namespace {

// The exercise as the tablet shows it. Never an answer text: the boxes carry their places and what was typed.
Json exerciseState(PracticeSession& p)
{
    PracticeEngine& e = p.engine();
    Json boxes = Json::array();
    for (int i = 1; i <= e.boxCount(); ++i) {
        const PracticeBox& b = e.box(i);
        boxes.push_back({{"left", b.left},
                         {"top", b.top},
                         {"width", b.width},
                         {"height", b.height},
                         {"text", utf8(b.text)},
                         {"visible", b.visible},
                         {"editable", b.editable},
                         {"red", b.redText}});
    }
    const PracticeControls& c = e.controls();
    Json notices = Json::array();
    for (const std::string& n : p.prompts().notices)
        notices.push_back(utf8(n));
    p.prompts().notices.clear();
    Json state = {{"mode", modeName(e.mode())},
                  {"boxes", boxes},
                  {"focus", e.focus() == FocusTarget::Box ? e.currentBox() : 0},
                  {"select", e.selectBoxText()},
                  {"controls",
                   {{"exercise", c.grbTest},
                    {"hint", c.btnHintVisible},
                    {"hintEnabled", c.btnHintEnabled},
                    {"answer", c.btnAnswerVisible && c.btnAnswerEnabled},
                    {"saiten", c.btnSaitenVisible},
                    {"fukushu", c.btnFukushuEnabled},
                    {"test", c.btnTestEnabled},
                    {"choices", c.choicePanel}}},
                  {"overlay", p.overlaySvg()},
                  {"message", messageJson(e.exerciseMessage())},
                  {"idleMessage", messageJson(e.idleMessage())},
                  {"notices", notices},
                  {"allCorrect", p.allCorrect}};
    state["score"] = e.scored() && e.lastScore() ? Json(*e.lastScore()) : Json(nullptr);
    state["mood"] = e.mood() ? Json(moodName(*e.mood())) : Json(nullptr);
    p.allCorrect = false;
    return state;
}

} // namespace

Reply Classroom::open(const std::string& token, int section, int unit, int similar)
{
    auto session = find(token);
    if (!session) return notLoggedOn();
    if (section < 1 || section > index_.sectionCount() || unit < 1 || unit > index_.sectionUnitCount(section) ||
        similar < 0 || similar > kMaxSimilar)
        return refusal(404, "その単元はありません"_sj);
    const UnitPosition position{options_.lesson, section, unit, similar};
    ReadRequest request = unitReadRequest(index_, position);
    if (!paths::fileExists(request.path)) return refusal(404, fileNotFoundMessage(request.path));
    UnitReader reader;
    if (Status read = reader.read(request); !read)
        return refusal(404, read.message().empty() ? "その単元はありません"_sj : read.message());

    Worksheet sheet = makeWorksheet(reader.unit(), false);
    sheet.path = request.path;
    sheet.masterPath = request.path;
    sheet.position = position;
    const int width = std::clamp(sheet.settings.paper.width, 1, 4096);
    const int height = std::clamp(sheet.settings.paper.height, 1, 4096);
    auto practice = std::make_unique<PracticeSession>(measure_(width, height));
    practice->sheet = std::move(sheet);
    NoticePrompts figurePrompts;
    practice->figures = loadFigurePictures(practice->sheet, index_.figureFolder(options_.lesson), figurePrompts);

    // The page as the practice window lays it out: answers hidden, no alternatives, the learner's name.
    DrawOptions options;
    options.learnerName = session->learner;
    options.clock = options_.clock;
    options.answersShown = false;
    options.practice = true;
    options.alternativeAnswers = false;
    options.figures = &practice->figures;
    options.classFlag = loadClassFlag(index_.coursewareDir());
    practice->layout = layoutPage(practice->sheet, practice->measure(), options);
    adoptFigurePositions(practice->sheet, practice->layout);
    if (practice->layout.overflow || practice->layout.answerBoxes.size() > static_cast<std::size_t>(kMaxAnswerBoxes))
        return refusal(422, tooManyBoxesMessage());
    practice->pageSvg = svgDocument(width, height, svgElements(practice->layout.calls, practice->measure()));

    ExerciseLayout layout;
    layout.boxes = practice->layout.answerBoxes;
    layout.fontSize = practice->sheet.settings.characterSize;
    layout.boxWidth = practice->sheet.settings.answerBox.width;
    layout.boxHeight = practice->sheet.settings.answerBox.height;
    layout.sheetWidth = width;
    layout.hasChoices = !practice->sheet.kgroup.empty();
    std::vector<std::string> hints = recordHints(request.path, unitRecordMarker(position));
    layout.hasHints = !hints.empty();
    practice->engine().open(layout, std::move(hints));
    MarkStyle style;
    style.fontSize = practice->sheet.settings.characterSize;
    style.boxWidth = practice->sheet.settings.answerBox.width;
    style.boxHeight = practice->sheet.settings.answerBox.height;
    practice->begin(style);
    practice->target = unitRecordTarget(index_, position);
    practice->recordFile = learnerDataFile(options_.places, index_, session->learner, practice->target.lesson);
    practice->unitLine = index_.sectionUnits(section)[static_cast<std::size_t>(unit - 1)];
    std::lock_guard lock(session->mutex);
    session->practice = std::move(practice);

    PracticeSession& p = *session->practice;
    Reply r;
    r.body = exerciseState(p);
    r.body["page"] = p.pageSvg;
    r.body["width"] = width;
    r.body["height"] = height;
    r.body["title"] = utf8(p.sheet.title);
    r.body["fontPx"] = static_cast<int>(p.sheet.settings.characterSize * 96.0 / 72.0 + 0.5);
    r.body["unitLine"] = utf8(p.unitLine);
    r.body["hasHints"] = layout.hasHints;
    return r;
}

Reply Classroom::act(const std::string& token, const std::string& action, const std::vector<std::string>& textsUtf8,
                     int box)
{
    auto session = find(token);
    if (!session) return notLoggedOn();
    std::lock_guard lock(session->mutex);
    if (!session->practice) return refusal(409, "単元を選んでください"_sj);
    PracticeSession& p = *session->practice;
    PracticeEngine& e = p.engine();
    const int n = e.boxCount();
    if (textsUtf8.size() > static_cast<std::size_t>(n) || box < 0 || box > n)
        return refusal(400, "入力が正しくありません"_sj);
    p.catchUpTimer();
    // What the tablet's boxes hold, as the practice window's boxes tell the engine while the learner types.
    for (std::size_t k = 0; k < textsUtf8.size(); ++k) {
        const int i = static_cast<int>(k) + 1;
        auto text = sjis::fromUtf8(textsUtf8[k]);
        if (!text) return refusal(400, unusableCharacterMessage());
        if (text->size() > kMaxBoxText) return refusal(400, "入力が長すぎます"_sj);
        if (e.box(i).editable && e.box(i).visible && e.box(i).text != *text) e.setText(i, *text);
    }
    if (box >= 1) e.setCurrentBox(box);
    const bool wasRunning = e.timerRunning();
    if (action == "practice") {
        p.clearOverlay();
        e.startPractice();
    } else if (action == "test") {
        p.clearOverlay();
        e.startTest();
    } else if (action == "review") {
        if (!e.controls().btnFukushuEnabled) return refusal(409, "復習はできません"_sj);
        e.startReview();
    } else if (action == "enter") {
        if (box < 1) return refusal(400, "入力が正しくありません"_sj);
        e.enter(box);
    } else if (action == "answer") {
        if (e.mode() != ExerciseMode::Practice && e.mode() != ExerciseMode::Review) return refusal(409, "");
        e.showAnswer();
    } else if (action == "hint") {
        e.showHint();
    } else if (action == "score") {
        e.score();
    } else if (action == "abort") {
        e.abort();
    } else if (action == "close") {
        e.close();
        session->practice.reset();
        return {};
    } else {
        return refusal(404, "");
    }
    p.timerMaybeStarted(wasRunning);

    if (p.toRecord) {
        const ScoredExercise result = *p.toRecord;
        p.toRecord.reset();
        if (!p.recordFile.empty() && !p.target.section.empty()) {
            const Clock& clock = options_.clock ? *options_.clock : systemClock();
            const PracticeRecord record{
                clock.now(),  p.sheet.position.similar, result.triesTrail, result.correct, result.total,
                result.score, result.elapsedSeconds};
            // A record that cannot be written is told and kept, to be written before the next one.
            if (Status written = session->pending.write(p.recordFile, p.target.section, record); !written)
                p.prompts().notices.push_back(written.message() + "\n" + recordKeptText());
            std::lock_guard tableLock(mutex_);
            ++recordsWritten_;
        }
    }
    Reply r;
    r.body = exerciseState(p);
    return r;
}

Reply Classroom::records(const std::string& token)
{
    auto session = find(token);
    if (!session) return notLoggedOn();
    std::lock_guard lock(session->mutex);
    if (!session->practice) return refusal(409, "単元を選んでください"_sj);
    const PracticeSession& p = *session->practice;
    Json lines = Json::array();
    for (const std::string& line : recordMemoLines(p.recordFile, p.target.section))
        lines.push_back(utf8(line));
    Reply r;
    r.body = {{"label", utf8(p.target.section + "　　氏名："_sj + session->learner)}, {"lines", lines}};
    return r;
}

std::vector<PupilActivity> Classroom::activity()
{
    std::vector<std::shared_ptr<Session>> all;
    {
        std::lock_guard lock(mutex_);
        endIdleSessions(Clock_::now());
        for (auto& [token, s] : sessions_)
            all.push_back(s);
    }
    std::vector<PupilActivity> out;
    for (auto& s : all) {
        std::unique_lock lock(s->mutex, std::try_to_lock);
        PupilActivity a;
        a.learner = s->learner;
        if (lock.owns_lock() && s->practice) {
            a.unitLine = s->practice->unitLine;
            a.recordSection = s->practice->target.section;
            a.mode = modeCaption(s->practice->engine().mode());
        }
        out.push_back(std::move(a));
    }
    return out;
}

unsigned long Classroom::recordsWritten() const
{
    std::lock_guard lock(mutex_);
    return recordsWritten_;
}

} // namespace tavola

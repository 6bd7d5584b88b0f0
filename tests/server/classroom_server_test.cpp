#include "server/http_server.h"

#include "platform/line_file.h"
#include "platform/sjis.h"
#include "practice/learning_records.h"
#include "practice/practice_engine.h"
#include "question/unit_reader.h"
#include "support/recording_canvas.h"
#include "support/temp_folder.h"
#include "worksheet/drawing_pass.h"
#include "worksheet/worksheet.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

using namespace tavola;
namespace fs = std::filesystem;

namespace {

// Lesson 1, section 2, unit 1 of the test courseware: six boxes, no choice list.
const std::vector<std::string> kAnswers{"5/6", "11/12", "11/15", "11/12", "13/24", "11/14"};
const DateTime kWhen{2026, 3, 5, 9, 7, 0};

std::map<std::string, std::string> filesUnder(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        files[entry.path().string()] = bytes.str();
    }
    return files;
}

class ClassroomServerTest : public ::testing::Test {
protected:
    void SetUp() override { startServer(3600); }
    void TearDown() override
    {
        if (server) server->stop();
    }

    void startServer(int idleSeconds)
    {
        if (server) server->stop();
        server.reset();
        room.reset();
        if (!fs::exists(course())) {
            fs::copy(TAVOLA_SAMPLE_DIR, course(), fs::copy_options::recursive);
            fs::create_directories(course() / "LogOn");
            ASSERT_TRUE(writeLineFile(tmp.systemPath("course/LogOn/sname.txt"), {"はなこ"_sj, "たろう"_sj, "共通"_sj}));
        }
        ClassroomOptions options;
        options.places.coursewareDir = tmp.systemPath("course/");
        options.places.windowsDir = tmp.systemPath("user/");
        options.sessionIdleSeconds = idleSeconds;
        options.clock = &clock;
        room = std::make_unique<Classroom>(options, [](int w, int h) -> std::unique_ptr<Canvas> {
            return std::make_unique<test::RecordingCanvas>(w, h);
        });
        ASSERT_TRUE(room->load());
        server = std::make_unique<ClassroomServer>(*room);
        ASSERT_TRUE(server->bind("127.0.0.1", 0));
        server->start();
        client = std::make_unique<httplib::Client>("127.0.0.1", server->port());
    }

    fs::path course() const { return fs::path(tmp.path()) / "course"; }
    std::string learnerFile(const std::string& nameUtf8) const
    {
        return tmp.systemPath("course/tasu/" + sjis::encode(nameUtf8) + ".ini");
    }

    httplib::Result post(const std::string& path, const Json& body, const std::string& token = {})
    {
        httplib::Headers headers;
        if (!token.empty()) headers.emplace("Cookie", std::string(kSessionCookie) + "=" + token);
        return client->Post(path.c_str(), headers, body.dump(), "application/json");
    }
    httplib::Result get(const std::string& path, const std::string& token = {})
    {
        httplib::Headers headers;
        if (!token.empty()) headers.emplace("Cookie", std::string(kSessionCookie) + "=" + token);
        return client->Get(path.c_str(), headers);
    }
    static std::string tokenOf(const httplib::Result& r)
    {
        const std::string cookie = r->get_header_value("Set-Cookie");
        const std::string key = std::string(kSessionCookie) + "=";
        return cookie.rfind(key, 0) == 0 ? cookie.substr(key.size(), 64) : std::string();
    }
    // Logs learner i on (setting the password the first time); the session token.
    std::string logOn(int learner, const std::string& password = "abcd")
    {
        auto r = post("/api/logon", {{"learner", learner}, {"password", password}, {"confirmation", password}});
        EXPECT_TRUE(r);
        EXPECT_EQ(r->status, 200) << r->body;
        return tokenOf(r);
    }
    Json act(const std::string& token, const std::string& action, int box, const std::vector<std::string>& texts)
    {
        auto r = post("/api/act", {{"action", action}, {"box", box}, {"texts", texts}}, token);
        EXPECT_TRUE(r);
        EXPECT_EQ(r->status, 200) << r->body;
        return Json::parse(r->body);
    }

    test::TempFolder tmp;
    FixedClock clock{kWhen};
    std::unique_ptr<Classroom> room;
    std::unique_ptr<ClassroomServer> server;
    std::unique_ptr<httplib::Client> client;
};

// The desktop practice window's engine on the same unit with the same entries: the record line it writes.
std::string desktopRecordLine(const std::string& coursewareDir, const std::vector<std::string>& firstTries)
{
    struct View : PracticeView {
        void drawEntry(const std::string&, int, int, Colour) override {}
        void paintPatch(const PracticeBox&) override {}
        void drawMark(const PracticeBox&, MarkKind, Colour) override {}
        void drawScore(int) override {}
        void drawHint(const PracticeBox&, const std::string&) override {}
        void showAllCorrect() override {}
        void writeRecord(const ScoredExercise& r) override { result = r; }
        void refreshRecordMemo() override {}
        void scrollToTop() override {}
        ScoredExercise result;
    } view;
    CoursewareIndex index(coursewareDir);
    EXPECT_TRUE(index.readMainIndex());
    EXPECT_TRUE(index.readLesson(1));
    const UnitPosition p{1, 2, 1, 0};
    UnitReader reader;
    EXPECT_TRUE(reader.read(unitReadRequest(index, p)));
    Worksheet sheet = makeWorksheet(reader.unit(), false);
    test::RecordingCanvas canvas(sheet.settings.paper.width, sheet.settings.paper.height);
    DrawOptions options;
    options.answersShown = false;
    options.practice = true;
    const PageLayout layout = layoutPage(sheet, canvas, options);
    ExerciseLayout exercise;
    exercise.boxes = layout.answerBoxes;
    ScriptedPrompts prompts;
    SystemRandom random;
    PracticeEngine engine(view, prompts, random);
    engine.open(exercise, {});
    engine.startPractice();
    for (int i = 1; i <= engine.boxCount(); ++i) {
        const std::string& first = firstTries[static_cast<std::size_t>(i - 1)];
        if (!first.empty()) {
            engine.setText(i, first);
            engine.enter(i);
        }
        engine.setText(i, kAnswers[static_cast<std::size_t>(i - 1)]);
        engine.enter(i);
    }
    const ScoredExercise& r = view.result;
    return recordLine({kWhen, 0, r.triesTrail, r.correct, r.total, r.score, r.elapsedSeconds});
}

} // namespace

TEST_F(ClassroomServerTest, PracticeOnATabletWritesTheDesktopsRecordLine)
{
    const std::string token = logOn(0);
    ASSERT_EQ(token.size(), 64u);
    auto opened = post("/api/open", {{"section", 2}, {"unit", 1}}, token);
    ASSERT_EQ(opened->status, 200) << opened->body;
    // The page and the boxes carry no answer.
    for (const char* answer : {"11/12", "13/24", "11/14"})
        EXPECT_EQ(opened->body.find(answer), std::string::npos) << answer;

    Json state = act(token, "practice", 0, {});
    ASSERT_EQ(state["boxes"].size(), kAnswers.size());
    std::vector<std::string> typed(kAnswers.size());
    const std::vector<std::string> firstTries{"", "1/2", "", "", "", ""};
    for (std::size_t k = 0; k < kAnswers.size(); ++k) {
        const int box = static_cast<int>(k) + 1;
        if (!firstTries[k].empty()) {
            typed[k] = firstTries[k];
            state = act(token, "enter", box, typed);
            EXPECT_EQ(state["mode"], "practice");
        }
        typed[k] = kAnswers[k];
        state = act(token, "enter", box, typed);
    }
    EXPECT_EQ(state["score"], 83);
    const std::string section = "S21"_sj + "通分してたし算"_sj;
    const auto records = readRecords(learnerFile("はなこ"), section);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], desktopRecordLine(tmp.systemPath("course/"), firstTries));
    EXPECT_EQ(sjis::toUtf8(records[0]), "2026年03月05日 09:07 [010000]  5/ 6  83点 00:00");
}

TEST_F(ClassroomServerTest, RequestsThatNameFilesOrBreakTheBoundsAreRefusedAndWriteNothing)
{
    const std::string hanako = logOn(0);
    const std::string taro = logOn(1);
    ASSERT_EQ(post("/api/open", {{"section", 2}, {"unit", 1}}, hanako)->status, 200);
    const auto before = filesUnder(tmp.path());

    struct Case {
        const char* what;
        std::function<httplib::Result()> send;
        int status;
    } cases[] = {
        {"a courseware file", [&] { return get("/Main.ind"); }, 404},
        {"a path out of the pages", [&] { return get("/../Main.ind"); }, 404},
        {"an encoded path out", [&] { return get("/%2e%2e/LogOn/sname.txt"); }, 404},
        {"the name list", [&] { return get("/LogOn/sname.txt"); }, 404},
        {"a learner file", [&] { return get("/tasu/%E3%81%AF%E3%81%AA%E3%81%93.ini"); }, 404},
        {"a unit named by a path",
         [&] {
             return post("/api/open", {{"section", "tasu/tasu1.que"}, {"unit", 1}}, hanako);
         },
         400},
        {"a unit out of the index",
         [&] {
             return post("/api/open", {{"section", 9}, {"unit", 1}}, hanako);
         },
         404},
        {"a learner by name",
         [&] {
             return post("/api/logon", {{"learner", "../LogOn/sname"}, {"password", "abcd"}});
         },
         400},
        {"a learner past the list",
         [&] {
             return post("/api/logon", {{"learner", 7}, {"password", "abcd"}});
         },
         404},
        {"an oversized body",
         [&] {
             return post("/api/act", {{"action", "enter"}, {"texts", {std::string(20000, '1')}}}, hanako);
         },
         413},
        {"an overlong entry",
         [&] {
             return post("/api/act", {{"action", "enter"}, {"box", 1}, {"texts", {std::string(500, '1')}}}, hanako);
         },
         400},
        {"no JSON", [&] { return client->Post("/api/logon", "learner=0", "application/x-www-form-urlencoded"); }, 415},
        {"broken JSON", [&] { return client->Post("/api/logon", "{\"learner\":", "application/json"); }, 400},
        {"no token", [&] { return get("/api/units"); }, 401},
        {"a forged token", [&] { return get("/api/units", std::string(64, 'a')); }, 401},
        {"a malformed token", [&] { return get("/api/units", "../../etc/passwd"); }, 401},
        {"a forged token scoring",
         [&] {
             return post("/api/act", {{"action", "score"}}, std::string(64, 'b'));
         },
         401},
        {"another pupil acting on the first's unit",
         [&] {
             return post("/api/act", {{"action", "score"}}, taro);
         },
         409},
        {"another pupil reading the first's records", [&] { return get("/api/records", taro); }, 409},
        {"an unknown action",
         [&] {
             return post("/api/act", {{"action", "../x"}}, hanako);
         },
         404},
    };
    for (const Case& c : cases) {
        auto r = c.send();
        ASSERT_TRUE(r) << c.what;
        EXPECT_EQ(r->status, c.status) << c.what << ": " << r->body;
        EXPECT_EQ(r->body.find("[password]"), std::string::npos) << c.what;
    }
    EXPECT_EQ(filesUnder(tmp.path()), before);
}

TEST_F(ClassroomServerTest, APupilsSessionReachesOnlyTheirOwnRecords)
{
    const std::string hanako = logOn(0);
    ASSERT_EQ(post("/api/open", {{"section", 2}, {"unit", 1}}, hanako)->status, 200);
    act(hanako, "test", 0, {});
    act(hanako, "score", 1, kAnswers);
    const std::string taro = logOn(1);
    ASSERT_EQ(post("/api/open", {{"section", 2}, {"unit", 1}}, taro)->status, 200);
    auto records = get("/api/records", taro);
    ASSERT_EQ(records->status, 200);
    const Json memo = Json::parse(records->body);
    EXPECT_EQ(memo["lines"], Json::array({"練習の記録はありません"}));
    EXPECT_NE(memo["label"].get<std::string>().find("たろう"), std::string::npos);
    // Scoring in the second pupil's session writes the second pupil's file, never the first's.
    const auto hanakoBefore = readRecords(learnerFile("はなこ"), "S21"_sj + "通分してたし算"_sj);
    act(taro, "test", 0, {});
    act(taro, "score", 1, {"1", "", "", "", "", ""});
    EXPECT_EQ(readRecords(learnerFile("はなこ"), "S21"_sj + "通分してたし算"_sj), hanakoBefore);
    EXPECT_EQ(readRecords(learnerFile("たろう"), "S21"_sj + "通分してたし算"_sj).size(), 1u);
}

TEST_F(ClassroomServerTest, PasswordsFollowTheDesktopsRulesAndTriesAreLimited)
{
    logOn(0, "abcd");
    auto tooShort = post("/api/logon", {{"learner", 1}, {"password", "abc"}, {"confirmation", "abc"}});
    EXPECT_EQ(Json::parse(tooShort->body)["message"], "４文字以上にしてください");
    auto unconfirmed = post("/api/logon", {{"learner", 1}, {"password", "abcd"}, {"confirmation", "abce"}});
    EXPECT_EQ(Json::parse(unconfirmed->body)["message"], "確認のため再入力してください");
    EXPECT_EQ(storedPassword(learnerFile("たろう")), kNoPassword);

    for (int k = 0; k < 5; ++k) {
        auto wrong = post("/api/logon", {{"learner", 0}, {"password", "zzzz"}});
        EXPECT_EQ(wrong->status, 403);
        EXPECT_EQ(Json::parse(wrong->body)["message"], "パスワードを正しく入力してください");
        EXPECT_TRUE(tokenOf(wrong).empty());
    }
    // The sixth try waits, the right password too; another learner is not held up.
    auto waiting = post("/api/logon", {{"learner", 0}, {"password", "abcd"}});
    EXPECT_EQ(waiting->status, 429);
    EXPECT_NE(Json::parse(waiting->body)["message"].get<std::string>().find("秒たってから"), std::string::npos);
    EXPECT_TRUE(tokenOf(waiting).empty());
    EXPECT_EQ(post("/api/logon", {{"learner", 2}})->status, 200); // 共通 needs no password
    EXPECT_EQ(storedPassword(learnerFile("はなこ")), "abcd");
}

TEST_F(ClassroomServerTest, AnIdleSessionEnds)
{
    startServer(1);
    const std::string token = logOn(0);
    EXPECT_EQ(get("/api/units", token)->status, 200);
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_EQ(get("/api/units", token)->status, 401);
    EXPECT_EQ(post("/api/open", {{"section", 2}, {"unit", 1}}, token)->status, 401);
}

TEST_F(ClassroomServerTest, ATakenPortIsSaidSo)
{
    Classroom other(ClassroomOptions{}, {});
    ClassroomServer second(other);
    Status bound = second.bind("127.0.0.1", server->port());
    ASSERT_FALSE(bound);
    EXPECT_EQ(sjis::toUtf8(bound.message()), "ポート " + std::to_string(server->port()) +
                                                 " はほかのプログラムが使っています。別のポートを選んでください");
}

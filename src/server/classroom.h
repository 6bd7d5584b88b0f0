#pragma once
// The classroom: what the tablets of a class do through the classroom server, without the HTTP around it. Pupils
// log on from the lesson's name list with the desktop's password rules, see the lesson's units with the unit
// selection window's marks, and practise, review and test a unit through the practice engine, each in a session of
// their own. The page goes out as SVG without its answers; entries come back as texts and are judged here; a
// scored exercise is recorded in the learner's data file by the record writer, under the file's lock, exactly as
// the practice window records it.
//
// Nothing a browser sends names a file: a learner is a position in the name list, a unit is its section, unit and
// similar-problem numbers. A session is known by a random token; a learner's session reaches that learner's records
// only. Password tries are limited per learner (five a minute, then a wait).
//
// Every call is safe from several threads: the session table has its lock, each session its own.
#include "courseware/index_file.h"
#include "platform/canvas.h"
#include "platform/seams.h"
#include "practice/learner_places.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tavola {

using Json = nlohmann::ordered_json;

// A canvas to measure text with for a page of width × height pixels (the screen canvas of the practice window).
using MeasureCanvasFactory = std::function<std::unique_ptr<Canvas>(int width, int height)>;

struct ClassroomOptions {
    LearnerPlaces places; // coursewareDir and the folders the learner files are found by
    int lesson = 1;
    int triesPerMinute = 5;               // wrong passwords of one learner before the wait
    int waitSeconds = 60;                 // the window the tries are counted in
    int sessionIdleSeconds = 3 * 60 * 60; // a session unused this long is ended
    std::size_t maxSessions = 400;
    const Clock* clock = nullptr; // the time of a record; null: the system clock
};

// What a call answers: an HTTP status and a JSON body (texts in UTF-8).
struct Reply {
    int status = 200;
    Json body = Json::object();
};

// A pupil connected, for the teacher's window.
struct PupilActivity {
    std::string learner;  // CP932
    std::string unitLine; // the unit being worked (CP932), empty when none
    std::string recordSection;
    std::string mode; // "練習", "復習", "テスト" or empty
};

class PracticeSession;

class Classroom {
public:
    Classroom(ClassroomOptions options, MeasureCanvasFactory measure);
    ~Classroom();
    Classroom(const Classroom&) = delete;
    Classroom& operator=(const Classroom&) = delete;

    // Reads Main.ind and the lesson; the message when the lesson cannot be served.
    Status load();
    int lesson() const { return options_.lesson; }
    const std::string& lessonName() const { return lessonName_; }

    // The name list and the lesson: {lesson, lessonName, title, names}.
    Reply names() const;
    // Before the password: {greeting, newPassword} for learner number i of the list.
    Reply learnerInfo(int learner) const;
    // Log-on with the password (and its confirmation when a new one is set). On success token is the new session's.
    Reply logOn(int learner, const std::string& passwordUtf8, const std::string& confirmationUtf8, std::string& token);
    Reply logOff(const std::string& token);
    // {learner, lesson, sections: [{name, units: [{section, unit, line, mark, similar}]}]}.
    Reply units(const std::string& token);
    // Opens a unit for practice: the page (SVG), its boxes and the exercise state.
    Reply open(const std::string& token, int section, int unit, int similar);
    // An action of the open exercise: "practice", "review", "test", "enter", "answer", "hint", "score", "abort",
    // "close". texts: the boxes' texts as typed (box 1 first); box: the box the action is on.
    Reply act(const std::string& token, const std::string& action, const std::vector<std::string>& textsUtf8, int box);
    // The records of the open unit (the practice window's memo).
    Reply records(const std::string& token);

    // For the teacher: the pupils connected now and what they work on.
    std::vector<PupilActivity> activity();
    // Counts every record written, so that a class table knows to read the files again.
    unsigned long recordsWritten() const;

private:
    struct Session;
    struct TryLog;
    std::shared_ptr<Session> find(const std::string& token);
    void endIdleSessions(std::chrono::steady_clock::time_point now);

    ClassroomOptions options_;
    MeasureCanvasFactory measure_;
    CoursewareIndex index_;
    std::string lessonName_;
    std::vector<std::string> names_; // CP932, the name list's learners

    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<Session>> sessions_;
    std::map<int, std::vector<std::chrono::steady_clock::time_point>> wrongTries_;
    unsigned long recordsWritten_ = 0;
};

// "パスワードを何度もまちがえました。N 秒たってから、もう一度入力してください": the wait after too many tries.
std::string passwordWaitMessage(int seconds);

} // namespace tavola

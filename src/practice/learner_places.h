#pragma once
// Where a learner's files lie and the password rules, for every program that logs learners on: the name and
// password windows, the command line and the classroom server. The shell's folders come in as a small value, so
// that nothing here needs the main window's state.
//
// A learner name becomes part of a file name, so a name that could reach outside its folder ("\", "/", ":", "*",
// "?", '"', "<", ">", "|", a control character, or only dots) is refused wherever a name is taken, and a name that
// comes from elsewhere (the settings, a list file) gives no data file at all.
#include "courseware/index_file.h"
#include "platform/result.h"

#include <cstddef>
#include <optional>
#include <string>

namespace tavola {

inline constexpr const char* kCommonLearner = "共通";
inline constexpr const char* kPublicLearner = "公開";

// The folders the learner files are found by (the shell state's).
struct LearnerPlaces {
    std::string coursewareDir; // system path ending in a separator
    bool onCdRom = false;      // the courseware folder cannot be written
    std::string windowsDir;    // the user's data folder, ending in a separator
    std::string logOnDir;      // recordDrive + "Tavola\LogOn", no trailing separator
};

// The message for a name that cannot be a learner name; nullopt when it can. An empty name is no problem here
// (the windows treat it on their own).
std::optional<std::string> learnerNameProblem(const std::string& name);
// The longest file name, in bytes, the file systems the program runs on take.
inline constexpr std::size_t kMaxFileNameBytes = 255;
// A typed name without the half-width and full-width blanks at either end.
std::string trimLearnerName(const std::string& typed);

// The learner folder: coursewareDir + "LogOn\", or logOnDir + "\" when the courseware cannot be written.
std::string learnerFolder(const LearnerPlaces& places);
// The default name list: the learner folder + "sname.txt".
std::string defaultNameListPath(const LearnerPlaces& places);
inline constexpr const char* kNameListFile = "sname.txt";

// The learner data file of a learner and lesson n (below 1 counts as 1): coursewareDir + the lesson folder +
// name + ".ini". When the courseware cannot be written or the lesson folder does not exist, the file lies in the
// user's data folder instead: windowsDir + "records/" + a folder named after the courseware folder (its last name
// and a checksum of the whole path) + "/" + the lesson stem + "/" + name + ".ini", the same in every run. Empty for
// an empty name or one that learnerNameProblem refuses, and for a lesson the index refuses (lessonRefusal).
std::string learnerDataFile(const LearnerPlaces& places, const CoursewareIndex& index, const std::string& learner,
                            int lesson);

// The password section of a learner data file: "?" when none is stored or the file cannot be read.
inline constexpr const char* kNoPassword = "?";
std::string storedPassword(const std::string& dataFile);
// Writes the password (the data file's folder is made when it is missing) under the file's lock; a failure's
// message names the file.
Status storePassword(const std::string& dataFile, const std::string& password);
// Writes the password only when the file holds none, checked under the lock; true when it was written.
Result<bool> storePasswordIfNone(const std::string& dataFile, const std::string& password);

// A learner's password follows the learner through the lessons of a courseware: the one stored in the lesson's
// data file, or else the one stored in another lesson's data file (the first lesson that has one), which the
// password window asks for and then copies into this lesson's file. Only a learner with no password in any
// lesson sets a new one (stored "?"), so a classmate cannot set one in a lesson the learner has not used yet.
struct LearnerPassword {
    std::string stored = kNoPassword;
    bool fromOtherLesson = false;
};
LearnerPassword learnerPassword(const LearnerPlaces& places, const CoursewareIndex& index, const std::string& learner,
                                int lesson);

// The password window's OK.
enum class PasswordOutcome {
    Accepted,    // the stored password was typed
    Set,         // a new password was confirmed (the caller stores it)
    TooShort,    // "４文字以上にしてください", focus on the first field
    Unconfirmed, // "確認のため再入力してください", focus on the confirmation
    Wrong,       // "パスワードを正しく入力してください", focus on the first field
};
// password and confirmation as typed (CP932 bytes); stored as storedPassword gives it.
PasswordOutcome checkPassword(const std::string& password, const std::string& confirmation, const std::string& stored);
// The message of a refusal; empty for Accepted and Set.
std::string passwordMessage(PasswordOutcome outcome);
// A first password was set for the learner on another computer while this one was setting it.
std::string passwordSetMeanwhileMessage();

} // namespace tavola

#pragma once
// The learner's files: the learner folder with the name list, the learner data file of each lesson (password and
// learning records), the password kept in it, and the rules of the name and password windows. The windows only
// show what these say.
//
// A learner name becomes part of a file name, so a name that could reach outside its folder ("\", "/", ":", "*",
// "?", '"', "<", ">", "|", a control character, or only dots) is refused wherever a name is taken, and a name that
// comes from elsewhere (the settings, a list file) gives no data file at all.
#include "app/shell_state.h"
#include "courseware/index_file.h"
#include "platform/line_file.h"
#include "platform/result.h"

#include <optional>
#include <string>

namespace tavola {

class SettingsStore;

inline constexpr const char* kCommonLearner = "共通";
inline constexpr const char* kPublicLearner = "公開";

// The message for a name that cannot be a learner name; nullopt when it can. An empty name is no problem here
// (the windows treat it on their own).
std::optional<std::string> learnerNameProblem(const std::string& name);
// The longest file name, in bytes, the file systems the program runs on take.
inline constexpr std::size_t kMaxFileNameBytes = 255;
// A typed name without the half-width and full-width blanks at either end.
std::string trimLearnerName(const std::string& typed);

// The learner folder: coursewareDir + "LogOn\", or logOnDir + "\" when the courseware cannot be written.
std::string learnerFolder(const ShellState& state);
// The default name list: the learner folder + "sname.txt".
std::string defaultNameListPath(const ShellState& state);
inline constexpr const char* kNameListFile = "sname.txt";

// The learner data file of a learner and lesson n (below 1 counts as 1): coursewareDir + the lesson folder +
// name + ".ini". When the courseware cannot be written or the lesson folder does not exist, the file lies in the
// user's data folder instead: windowsDir + "records/" + a folder named after the courseware folder (its last name
// and a checksum of the whole path) + "/" + the lesson stem + "/" + name + ".ini", the same in every run. Empty for
// an empty name or one that learnerNameProblem refuses, and for a lesson the index refuses (lessonRefusal).
std::string learnerDataFile(const ShellState& state, const CoursewareIndex& index, const std::string& learner,
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
LearnerPassword learnerPassword(const ShellState& state, const CoursewareIndex& index, const std::string& learner,
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

// The name list of the name window: the lines of a list file, the file name shown, and whether 名前を付けて保存
// is offered (after an add).
class NameList {
public:
    // Loads a list file: an existing file's lines; a missing one becomes the list holding only "公開", which is
    // saved at once under that path (a failure to save is returned; the list stays).
    Status open(const std::string& path);
    // The name shown in edtMeibo: the file name without its folder.
    const std::string& fileName() const { return fileName_; }
    const Lines& names() const { return names_; }
    bool saveEnabled() const { return saveEnabled_; }
    // Names were added or deleted since the list was opened or last written by saveMerged.
    bool changed() const { return !added_.empty() || !removed_.empty(); }

    // 追加: an empty name or one already in the list (exact comparison) changes nothing; a refused name gives its
    // message; otherwise the name is appended and saving is offered.
    Status add(const std::string& name);
    // 削除: removes entry i when there is one.
    void remove(int i);
    // Writes the list to a path; the list file that was opened and could not be read is not written over.
    Status saveAs(const std::string& path) const;
    // OK's write into the learner folder. When that is the file the list was opened from, another computer may
    // have changed it meanwhile: under the file's lock the file as it is now gets this window's adds and deletes,
    // and the list becomes that. Any other path is written whole, as saveAs.
    Status saveMerged(const std::string& path);

private:
    Lines names_;
    Lines added_;            // adds since the list was opened
    Lines removed_;          // deletes since the list was opened
    std::string openedPath_; // real path of the file the list was read from
    std::string fileName_;
    std::string unreadPath_; // real path of a list file that exists but could not be read
    bool saveEnabled_ = false;
};

// キャンセル in the name window after names were added or deleted.
std::string saveNameListQuestion();

// Asked when a practice window closes in student mode with a learner logged on: whether the next child logs on.
std::string nextLearnerQuestion(const std::string& learner);

// What OK does after the list was written and a password, when one is asked, was accepted: learnerName, the
// setting "LogOnName". Returns the settings store's failure, if any (the learner is changed all the same).
Status commitLearner(ShellState& state, SettingsStore& settings, const std::string& learner);

} // namespace tavola

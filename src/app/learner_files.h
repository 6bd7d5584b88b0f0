#pragma once
// The learner's files as the name and password windows use them: the rules of practice/learner_places.h with the
// shell state's folders, and the name list of the name window. The windows only show what these say.
#include "app/shell_state.h"
#include "courseware/index_file.h"
#include "platform/line_file.h"
#include "platform/result.h"
#include "practice/learner_places.h"

#include <optional>
#include <string>

namespace tavola {

class SettingsStore;

// The folders of the shell state that the learner files are found by.
LearnerPlaces learnerPlaces(const ShellState& state);

inline std::string learnerFolder(const ShellState& state)
{
    return learnerFolder(learnerPlaces(state));
}
inline std::string defaultNameListPath(const ShellState& state)
{
    return defaultNameListPath(learnerPlaces(state));
}
inline std::string learnerDataFile(const ShellState& state, const CoursewareIndex& index, const std::string& learner,
                                   int lesson)
{
    return learnerDataFile(learnerPlaces(state), index, learner, lesson);
}
inline LearnerPassword learnerPassword(const ShellState& state, const CoursewareIndex& index,
                                       const std::string& learner, int lesson)
{
    return learnerPassword(learnerPlaces(state), index, learner, lesson);
}

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

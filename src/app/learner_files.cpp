#include "app/learner_files.h"

#include "platform/paths.h"
#include "platform/settings_store.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"

namespace tavola {

LearnerPlaces learnerPlaces(const ShellState& state)
{
    return {state.coursewareDir, state.onCdRom, state.windowsDir, state.logOnDir};
}

Status NameList::open(const std::string& path)
{
    fileName_ = textAfterLast(path, '\\');
    fileName_ = textAfterLast(fileName_, '/');
    saveEnabled_ = false;
    names_ = {sjis::encode(kPublicLearner)};
    unreadPath_.clear();
    if (paths::fileExists(path)) {
        // A list that exists but cannot be read (or is larger than any class) is not written over.
        BoundedRead read = readBoundedFile(path, kLearnerFileLimit);
        if (!read.bytes) {
            unreadPath_ = paths::realPath(path);
            if (read.failure == ReadFailure::TooLarge) return Status::failure(fileTooLargeMessage(path));
            return Status::failure(path + " を読み込めません"_sj);
        }
        names_ = splitLines(*read.bytes);
        return {};
    }
    return saveAs(path);
}

Status NameList::add(const std::string& name)
{
    if (name.empty()) return {};
    if (auto problem = learnerNameProblem(name)) return Status::failure(*problem);
    for (const std::string& n : names_)
        if (n == name) return {};
    names_.push_back(name);
    saveEnabled_ = true;
    return {};
}

void NameList::remove(int i)
{
    if (i < 0 || i >= static_cast<int>(names_.size())) return;
    names_.erase(names_.begin() + i);
}

Status NameList::saveAs(const std::string& path) const
{
    // The list that could not be read stays as it is; the message was given when it was opened.
    if (!unreadPath_.empty() && paths::realPath(path) == unreadPath_) return {};
    // A courseware comes without its learner folder; it is made with the first list.
    paths::ensureParentFolder(path);
    return writeLineFile(path, names_);
}

Status commitLearner(ShellState& state, SettingsStore& settings, const std::string& learner)
{
    state.learnerName = learner;
    return settings.writeText("LogOnName", learner);
}

} // namespace tavola

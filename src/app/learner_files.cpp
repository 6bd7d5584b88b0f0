#include "app/learner_files.h"

#include "platform/file_lock.h"
#include "platform/paths.h"
#include "platform/settings_store.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"

#include <algorithm>

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
    added_.clear();
    removed_.clear();
    openedPath_ = paths::realPath(path);
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
    added_.push_back(name);
    std::erase(removed_, name);
    saveEnabled_ = true;
    return {};
}

void NameList::remove(int i)
{
    if (i < 0 || i >= static_cast<int>(names_.size())) return;
    const std::string name = names_[static_cast<std::size_t>(i)];
    names_.erase(names_.begin() + i);
    if (std::find(names_.begin(), names_.end(), name) != names_.end()) return; // a doubled line taken off
    std::erase(added_, name);
    removed_.push_back(name);
}

Status NameList::saveMerged(const std::string& path)
{
    if (paths::realPath(path) != openedPath_ || !unreadPath_.empty()) return saveAs(path);
    paths::ensureParentFolder(path);
    FileLock lock(openedPath_);
    if (lock.state() == FileLock::State::Busy)
        return Status::failure(path + " は使用中です。もう一度OKを押してください"_sj);
    // A lock file that cannot be made (a read-only folder) leaves the write to fail with its own message.
    if (paths::fileExists(path)) {
        BoundedRead read = readBoundedFile(path, kLearnerFileLimit);
        if (!read.bytes) return Status::failure(path + " を読み込めません"_sj);
        Lines merged = splitLines(*read.bytes);
        for (const std::string& name : removed_)
            std::erase(merged, name);
        for (const std::string& name : added_)
            if (std::find(merged.begin(), merged.end(), name) == merged.end()) merged.push_back(name);
        names_ = std::move(merged);
    }
    added_.clear();
    removed_.clear();
    return writeLineFile(path, names_);
}

Status NameList::saveAs(const std::string& path) const
{
    // The list that could not be read stays as it is; the message was given when it was opened.
    if (!unreadPath_.empty() && paths::realPath(path) == unreadPath_) return {};
    // A courseware comes without its learner folder; it is made with the first list.
    paths::ensureParentFolder(path);
    // The platform's reason alone ("the path is not a folder") does not say which file.
    if (Status written = writeLineFile(path, names_); !written)
        return Status::failure("名簿を保存できません: "_sj + path + " (" + written.message() + ")");
    return {};
}

std::string saveNameListQuestion()
{
    return "名簿に追加・削除した名前を保存しますか"_sj;
}

std::string nextLearnerQuestion(const std::string& learner)
{
    return learner + "さんの学習を終わって、次の人に代わりますか"_sj;
}

Status commitLearner(ShellState& state, SettingsStore& settings, const std::string& learner)
{
    state.learnerName = learner;
    return settings.writeText("LogOnName", learner);
}

} // namespace tavola

#include "app/learner_files.h"

#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/settings_store.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace tavola {
namespace {

bool forbiddenInFileName(unsigned char c)
{
    return c < 0x20 || c == 0x7F ||
           std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

bool onlyDots(const std::string& name)
{
    return !name.empty() && name.find_first_not_of('.') == std::string::npos;
}

// Half-width blanks and full-width spaces only: an empty row in the name list and a file " .ini".
bool onlyBlanks(const std::string& name)
{
    std::size_t i = 0;
    while (i < name.size()) {
        if (name[i] == ' ')
            i += 1;
        else if (name.compare(i, 2, "\x81\x40") == 0)
            i += 2;
        else
            return false;
    }
    return !name.empty();
}

bool hasForbiddenCharacter(const std::string& name)
{
    // By characters: the second byte of a double-byte character (表 is 95 5C) is no separator. A lead byte whose
    // next byte cannot end a character (81 2F: "/" after a lead byte) makes no character at all.
    for (std::size_t i = 0; i < name.size(); i += sjis::charLength(name, i)) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (sjis::isLeadByte(c) &&
            (i + 1 >= name.size() || !sjis::isTrailByte(static_cast<unsigned char>(name[i + 1]))))
            return true;
        if (sjis::charLength(name, i) == 1 && forbiddenInFileName(c)) return true;
    }
    return false;
}

// A courseware text made fit to be one file name: forbidden characters become "_", and so does a name of dots.
std::string fileNamePart(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += sjis::charLength(text, i)) {
        std::size_t n = sjis::charLength(text, i);
        if (n == 1 && forbiddenInFileName(static_cast<unsigned char>(text[i])))
            out += '_';
        else
            out.append(text, i, n);
    }
    if (out.empty() || onlyDots(out)) out = "_" + out;
    return out;
}

// FNV-1a of the courseware folder's bytes: the same folder gives the same name in every run.
std::string checksum(const std::string& text)
{
    std::uint32_t h = 2166136261u;
    for (unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", h);
    return hex;
}

// The courseware folder is a path of the file system ("/" separated, ending in "/").
std::string lastFolderName(std::string folder)
{
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    return textAfterLast(folder, '/');
}

} // namespace

std::optional<std::string> learnerNameProblem(const std::string& name)
{
    if (hasForbiddenCharacter(name)) return "名前に \\ / : * ? \" < > | や制御文字は使えません"_sj;
    if (onlyDots(name)) return "名前を「.」だけにすることはできません"_sj;
    if (onlyBlanks(name)) return "名前を空白だけにすることはできません"_sj;
    return std::nullopt;
}

std::string learnerFolder(const ShellState& state)
{
    return state.onCdRom ? state.logOnDir + "\\" : state.coursewareDir + "LogOn\\";
}

std::string defaultNameListPath(const ShellState& state)
{
    return learnerFolder(state) + kNameListFile;
}

std::string learnerDataFile(const ShellState& state, const CoursewareIndex& index, const std::string& learner,
                            int lesson)
{
    if (learner.empty() || learnerNameProblem(learner)) return {};
    if (lesson < 1) lesson = 1;
    // A lesson that would put its files outside the courseware has no learner files at all.
    if (!index.lessonRefusal(lesson).empty()) return {};
    std::string lessonDir = state.coursewareDir + index.lessonFolder(lesson);
    if (!state.onCdRom && paths::directoryExists(lessonDir)) return lessonDir + learner + ".ini";
    std::string courseware = lastFolderName(state.coursewareDir);
    return state.windowsDir + "records/" + fileNamePart(courseware) + "-" + checksum(state.coursewareDir) + "/" +
           fileNamePart(index.lessonStem(lesson)) + "/" + learner + ".ini";
}

std::string storedPassword(const std::string& dataFile)
{
    if (dataFile.empty()) return kNoPassword;
    return profile::readString(dataFile, "password", "pw", kNoPassword);
}

namespace {

std::string passwordWriteMessage(const std::string& dataFile, const std::string& message)
{
    // The lock's and the reader's messages name the file already; the platform's words of a failed write do not.
    if (message.find(dataFile) != std::string::npos) return message;
    return "パスワードを保存できません: "_sj + dataFile + " (" + message + ")";
}

} // namespace

Status storePassword(const std::string& dataFile, const std::string& password)
{
    if (dataFile.empty()) return Status::failure("パスワードを保存できません"_sj);
    paths::ensureParentFolder(dataFile);
    Status written = profile::writeString(dataFile, "password", "pw", profile::quotedForWriting(password));
    if (!written) return Status::failure(passwordWriteMessage(dataFile, written.message()));
    return {};
}

Result<bool> storePasswordIfNone(const std::string& dataFile, const std::string& password)
{
    if (dataFile.empty()) return Result<bool>::failure("パスワードを保存できません"_sj);
    paths::ensureParentFolder(dataFile);
    bool stored = false;
    Status written = profile::update(dataFile, [&](Lines& lines) -> Result<bool> {
        // Read again under the lock: a password set meanwhile from another machine is kept.
        std::string current = kNoPassword;
        bool inPassword = false;
        for (const std::string& line : lines) {
            profile::ParsedLine parsed = profile::parseLine(line);
            if (parsed.kind == profile::ParsedLine::Kind::Header) {
                if (inPassword) break;
                inPassword = profile::sameSectionName(parsed.name, "password");
            } else if (inPassword && parsed.kind == profile::ParsedLine::Kind::Entry &&
                       profile::sameSectionName(parsed.key, "pw")) {
                current = parsed.value;
                break;
            }
        }
        if (current != kNoPassword) return false;
        stored = profile::setEntry(lines, "password", "pw", profile::quotedForWriting(password));
        return stored;
    });
    if (!written) return Result<bool>::failure(passwordWriteMessage(dataFile, written.message()));
    return stored;
}

LearnerPassword learnerPassword(const ShellState& state, const CoursewareIndex& index, const std::string& learner,
                                int lesson)
{
    LearnerPassword found;
    if (lesson < 1) lesson = 1;
    const std::string own = learnerDataFile(state, index, learner, lesson);
    found.stored = storedPassword(own);
    if (own.empty() || found.stored != kNoPassword) return found;
    for (int n = 1; n <= index.lessonCount(); ++n) {
        const std::string file = learnerDataFile(state, index, learner, n);
        // Two lessons may share a folder, and so a file.
        if (n == lesson || file.empty() || file == own) continue;
        const std::string stored = storedPassword(file);
        if (stored == kNoPassword) continue;
        found.stored = stored;
        found.fromOtherLesson = true;
        break;
    }
    return found;
}

PasswordOutcome checkPassword(const std::string& password, const std::string& confirmation, const std::string& stored)
{
    if (password.size() < 4) return PasswordOutcome::TooShort;
    if (stored == kNoPassword) return confirmation == password ? PasswordOutcome::Set : PasswordOutcome::Unconfirmed;
    return password == stored ? PasswordOutcome::Accepted : PasswordOutcome::Wrong;
}

std::string passwordMessage(PasswordOutcome outcome)
{
    switch (outcome) {
    case PasswordOutcome::TooShort:
        return "４文字以上にしてください"_sj;
    case PasswordOutcome::Unconfirmed:
        return "確認のため再入力してください"_sj;
    case PasswordOutcome::Wrong:
        return "パスワードを正しく入力してください"_sj;
    case PasswordOutcome::Accepted:
    case PasswordOutcome::Set:
        break;
    }
    return {};
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
    // The platform's reason alone ("the path is not a folder") does not say which file.
    if (Status written = writeLineFile(path, names_); !written)
        return Status::failure("名簿を保存できません: "_sj + path + " (" + written.message() + ")");
    return {};
}

Status commitLearner(ShellState& state, SettingsStore& settings, const std::string& learner)
{
    state.learnerName = learner;
    return settings.writeText("LogOnName", learner);
}

} // namespace tavola

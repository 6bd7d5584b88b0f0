#include "platform/profile_file.h"

#include "platform/file_lock.h"
#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/sjis.h"

#include <cctype>
#include <optional>
#include <string_view>

namespace tavola::profile {
namespace {

// The form in which two names are equal exactly when the platform's profile functions take them as one name:
// ASCII letters in lower case, double-byte characters (whose second byte may be an ASCII letter) unchanged.
std::string foldedName(const std::string& name)
{
    std::string folded = name;
    for (std::size_t i = 0; i < folded.size(); i += sjis::charLength(folded, i)) {
        unsigned char x = static_cast<unsigned char>(folded[i]);
        if (x < 0x80) folded[i] = static_cast<char>(std::tolower(x));
    }
    return folded;
}

bool sameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); i += sjis::charLength(a, i)) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (sjis::charLength(a, i) == 2) {
            if (x != y || a[i + 1] != b[i + 1]) return false;
        } else if (x < 0x80 && y < 0x80 ? std::tolower(x) != std::tolower(y) : x != y) {
            return false;
        }
    }
    return true;
}

std::string trimBlanks(const std::string& s)
{
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// "[name]" → name; nullopt for any other line. The name ends at the last "]" of the line, as the platform's profile
// functions read it, so that a unit line holding "]" keeps its whole name; the second byte of a double-byte
// character (ゾ is 83 5D) is no bracket.
std::optional<std::string> sectionName(const std::string& line)
{
    std::string t = trimBlanks(line);
    if (t.size() >= 2 && t.front() == '[') {
        std::size_t close = std::string::npos;
        for (std::size_t i = 1; i < t.size(); i += sjis::charLength(t, i))
            if (t[i] == ']' && sjis::charLength(t, i) == 1) close = i;
        if (close != std::string::npos) return trimBlanks(t.substr(1, close - 1));
    }
    return std::nullopt;
}

struct Entry {
    std::string key;
    std::string value;
};

bool splitEntry(const std::string& line, Entry& entry)
{
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    entry.key = trimBlanks(line.substr(0, eq));
    entry.value = trimBlanks(line.substr(eq + 1));
    if (entry.value.size() >= 2 && ((entry.value.front() == '"' && entry.value.back() == '"') ||
                                    (entry.value.front() == '\'' && entry.value.back() == '\'')))
        entry.value = entry.value.substr(1, entry.value.size() - 2);
    return !entry.key.empty();
}

// Index range [begin, end) of the lines of a section's body, begin pointing at the header; nullopt when missing.
std::optional<std::pair<std::size_t, std::size_t>> findSection(const Lines& lines, const std::string& section)
{
    // Blanks around a name are not part of it, in the file or in the request.
    const std::string wanted = trimBlanks(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto name = sectionName(lines[i]);
        if (name && sameName(*name, wanted)) {
            std::size_t end = i + 1;
            while (end < lines.size() && !sectionName(lines[end]))
                ++end;
            return std::make_pair(i, end);
        }
    }
    return std::nullopt;
}

// The lines of a profile file, read whole unless it is larger than a learner file may be; nullopt when it is
// missing, unreadable or too large.
std::optional<Lines> readProfileLines(const std::string& systemPath)
{
    BoundedRead read = readBoundedFile(systemPath, kLearnerFileLimit);
    if (!read.bytes) return std::nullopt;
    return splitLines(*read.bytes);
}

} // namespace

ParsedLine parseLine(const std::string& line)
{
    // Read through views, copying only the parts kept: a learner file of a class table is tens of thousands of
    // lines. The same rules as sectionName and splitEntry.
    auto trimmed = [](std::string_view s) {
        const std::size_t b = s.find_first_not_of(" \t");
        if (b == std::string_view::npos) return std::string_view();
        return s.substr(b, s.find_last_not_of(" \t") - b + 1);
    };
    ParsedLine parsed;
    const std::string_view whole(line);
    const std::string_view t = trimmed(whole);
    if (t.empty()) return parsed;
    if (t.front() == '[') {
        if (auto name = sectionName(line)) {
            parsed.kind = ParsedLine::Kind::Header;
            parsed.name = std::move(*name);
            return parsed;
        }
    }
    if (const std::size_t eq = whole.find('='); eq != std::string_view::npos) {
        const std::string_view key = trimmed(whole.substr(0, eq));
        std::string_view value = trimmed(whole.substr(eq + 1));
        if (value.size() >= 2 &&
            ((value.front() == '"' && value.back() == '"') || (value.front() == '\'' && value.back() == '\'')))
            value = value.substr(1, value.size() - 2);
        if (!key.empty()) {
            parsed.kind = ParsedLine::Kind::Entry;
            parsed.key = key;
            parsed.value = value;
            return parsed;
        }
    }
    parsed.kind = ParsedLine::Kind::Other;
    return parsed;
}

bool setEntry(Lines& lines, const std::string& section, const std::string& key, const std::string& value)
{
    std::string entryLine = key + "=" + value;
    auto range = findSection(lines, section);
    if (!range) {
        if (!lines.empty() && !trimBlanks(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(entryLine);
        return true;
    }
    std::size_t insertAt = range->second;
    for (std::size_t i = range->first + 1; i < range->second; ++i) {
        Entry e;
        if (splitEntry(lines[i], e) && sameName(e.key, key)) {
            if (lines[i] == entryLine) return false;
            lines[i] = entryLine;
            return true;
        }
        if (!trimBlanks(lines[i]).empty()) insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entryLine);
    return true;
}

bool removeSection(Lines& lines, const std::string& section)
{
    auto range = findSection(lines, section);
    if (!range) return false;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->first),
                lines.begin() + static_cast<std::ptrdiff_t>(range->second));
    return true;
}

Status update(const std::string& systemPath, const std::function<Result<bool>(Lines&)>& edit)
{
    const std::string real = paths::realPath(systemPath);
    // Held from before the file is read until the new one has taken its name, so that no other writer's change
    // falls between the two. A folder where no lock file can be made cannot take the new file either: the write
    // below reports that.
    // A lock that cannot be taken for any reason is a failed write, never a write without it. A file system
    // without locks at all is written as a single computer always wrote it.
    FileLock lock(real);
    if (std::string refused = lockFailedMessage(lock, systemPath); !refused.empty()) return Status::failure(refused);
    BoundedRead read = readBoundedFileAt(real, kLearnerFileLimit);
    if (read.failure == ReadFailure::TooLarge) return Status::failure(fileTooLargeMessage(systemPath));
    // A file that exists but cannot be read is left alone: writing over it would lose every other section.
    if (read.failure == ReadFailure::Unreadable) return Status::failure(systemPath + " を読み込めません"_sj);
    Lines lines = read.bytes ? splitLines(*read.bytes) : Lines{};
    Result<bool> changed = edit(lines);
    if (!changed) return Status::failure(changed.message());
    if (!*changed) return {};
    // A file past the limit could not be read again: the change is refused and the file stays as it was.
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    if (size > kLearnerFileLimit) return Status::failure(fileFullMessage(systemPath));
    Status written = writeLineFile(systemPath, lines);
    // Copies that killed writers left beside the file go with the next write.
    removeStaleTemporaries(real.substr(0, real.rfind('/') + 1));
    return written;
}

std::string readString(const std::string& systemPath, const std::string& section, const std::string& key,
                       const std::string& def)
{
    auto lines = readProfileLines(systemPath);
    if (!lines) return def;
    auto range = findSection(*lines, section);
    if (!range) return def;
    for (std::size_t i = range->first + 1; i < range->second; ++i) {
        Entry e;
        if (splitEntry((*lines)[i], e) && sameName(e.key, key)) return e.value;
    }
    return def;
}

Status writeString(const std::string& systemPath, const std::string& section, const std::string& key,
                   const std::string& value)
{
    return update(systemPath, [&](Lines& lines) -> Result<bool> { return setEntry(lines, section, key, value); });
}

std::vector<std::string> sectionKeys(const std::string& systemPath, const std::string& section)
{
    std::vector<std::string> keys;
    auto lines = readProfileLines(systemPath);
    if (!lines) return keys;
    auto range = findSection(*lines, section);
    if (!range) return keys;
    for (std::size_t i = range->first + 1; i < range->second; ++i) {
        Entry e;
        if (splitEntry((*lines)[i], e)) keys.push_back(e.key);
    }
    return keys;
}

Status eraseSection(const std::string& systemPath, const std::string& section)
{
    // Nothing to erase in a missing file, and nothing to lock for it.
    if (!paths::fileExists(systemPath)) return {};
    return update(systemPath, [&](Lines& lines) -> Result<bool> { return removeSection(lines, section); });
}

SectionKeyCounts::SectionKeyCounts(const std::string& systemPath)
{
    auto lines = readProfileLines(systemPath);
    if (!lines) return;
    // As with the other readers, only the first of two sections of the same name counts.
    int* current = nullptr;
    for (const std::string& line : *lines) {
        if (auto name = sectionName(line)) {
            auto [it, inserted] = counts_.try_emplace(foldedName(*name), 0);
            current = inserted ? &it->second : nullptr;
            continue;
        }
        Entry e;
        if (current != nullptr && splitEntry(line, e)) ++*current;
    }
}

int SectionKeyCounts::count(const std::string& section) const
{
    auto it = counts_.find(foldedName(trimBlanks(section)));
    return it == counts_.end() ? 0 : it->second;
}

bool sameSectionName(const std::string& a, const std::string& b)
{
    return sameName(trimBlanks(a), trimBlanks(b));
}

std::string quotedForWriting(const std::string& value)
{
    if (value.empty()) return value;
    auto special = [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; };
    if (special(value.front()) || special(value.back())) return '"' + value + '"';
    return value;
}

} // namespace tavola::profile

#pragma once
// Profile (INI) files in Shift-JIS: the learner data files keep passwords and learning records in them.
// Section and key names are compared without regard to ASCII case, as the platform's profile functions do (the
// second byte of a double-byte character is compared exactly: ア 83 41 and ャ 83 61 are different names);
// blanks around keys and values are dropped, and so is one pair of quotes around a value. Every call reads the file
// afresh, and a write rewrites it whole and safely, holding the file's lock (file_lock.h) from the reading to the
// renaming, so that writers in other processes and on other machines never lose each other's changes. Files larger
// than kLearnerFileLimit are not read: the readers see them as missing, the writers refuse them with a message.
#include "platform/line_file.h"
#include "platform/result.h"

#include <functional>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tavola::profile {

std::string readString(const std::string& systemPath, const std::string& section, const std::string& key,
                       const std::string& def);
Status writeString(const std::string& systemPath, const std::string& section, const std::string& key,
                   const std::string& value);
// The keys of a section in file order; empty when the file or section is missing.
std::vector<std::string> sectionKeys(const std::string& systemPath, const std::string& section);
Status eraseSection(const std::string& systemPath, const std::string& section);

// A read-modify-write of the file under its lock: edit gets the lines as read (none for a missing file) and
// returns whether they changed, or a failure. Changed lines are written back before the lock is given back.
// Refusals: "記録ファイルが使用中です" when another writer keeps the lock, a file too large, a file that cannot be
// read; then the file is left as it was.
Status update(const std::string& systemPath, const std::function<Result<bool>(Lines&)>& edit);
// The edits update() makes for writeString and eraseSection, on lines: true when the lines changed.
bool setEntry(Lines& lines, const std::string& section, const std::string& key, const std::string& value);
bool removeSection(Lines& lines, const std::string& section);

// One line as the readers take it: blank, "[section]", "key=value", or anything else (which they pass over).
struct ParsedLine {
    enum class Kind { Blank, Header, Entry, Other };
    Kind kind = Kind::Blank;
    std::string name;  // of a header
    std::string key;   // of an entry
    std::string value; // of an entry, without the blanks and the one pair of quotes around it
};
ParsedLine parseLine(const std::string& line);

// Whether two section (or key) names are one name to the profile functions.
bool sameSectionName(const std::string& a, const std::string& b);

struct ProfileEntry {
    std::string key;
    std::string value;
};
struct ProfileSection {
    std::string name;
    std::vector<ProfileEntry> entries; // in file order
};
// Every section with its entries from one reading of the file, in file order; a later section of a name already
// seen is left out, as the other readers only ever see the first. nullopt when the file cannot be read.
std::optional<std::vector<ProfileSection>> readSections(const std::string& systemPath);
// The value of the first entry named key; def when there is none.
std::string entryValue(const ProfileSection& section, const std::string& key, const std::string& def);
// The values of the keys "1", "2", … n in key order, n being the section's number of entries, each as entryValue
// gives it (def for a missing key); one pass over the entries, however many there are.
std::vector<std::string> numberedValues(const ProfileSection& section, const std::string& def);
// The value as a profile writer writes it so that it reads back unchanged: in quotes when it begins or ends with a
// blank or a quote, which the reader would otherwise drop.
std::string quotedForWriting(const std::string& value);

// The number of keys of every section from one reading of the file: count(name) is sectionKeys(path, name).size(),
// for callers that count many sections at once (the practice counts of a whole lesson).
class SectionKeyCounts {
public:
    SectionKeyCounts() = default;
    explicit SectionKeyCounts(const std::string& systemPath);
    int count(const std::string& section) const;

private:
    std::unordered_map<std::string, int> counts_; // by section name folded to ASCII lower case
};

} // namespace tavola::profile

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
// Refusals: "記録ファイルが使用中です" when another writer keeps the lock, a lock that cannot be taken
// (lockFailedMessage), a file too large, a file that cannot be read, a change that would make the file larger than
// kLearnerFileLimit (fileFullMessage); then the file is left as it was.
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

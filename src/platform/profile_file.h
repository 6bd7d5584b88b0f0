#pragma once
// Profile (INI) files in Shift-JIS: the learner data files keep passwords and learning records in them.
// Section and key names are compared without regard to ASCII case, as the platform's profile functions do;
// blanks around keys and values are dropped. Every call reads the file afresh, and a write rewrites it whole
// and safely.
#include "platform/result.h"

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

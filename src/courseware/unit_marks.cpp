#include "courseware/unit_marks.h"

#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"

#include <optional>
#include <string_view>
#include <unordered_set>

namespace tavola {
namespace {

// The marker lines of a master file ("[[unit…"), looked up whole: a refresh asks for 80 markers per file. The
// bytes are scanned in place rather than split into lines first; CR and LF never occur inside a CP932 character.
std::unordered_set<std::string> unitMarkers(std::string_view bytes)
{
    std::unordered_set<std::string> markers;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (line.starts_with("[[unit")) markers.emplace(line);
        start = end + 1;
    }
    return markers;
}

} // namespace

std::string markText(bool hasSimilar, int count)
{
    std::string text = hasSimilar ? "◎"_sj : "　"_sj;
    text += "[";
    text += count > 0 ? std::to_string(count) : std::string(" ");
    text += "]";
    return text;
}

std::string unitLineText(const std::string& mark, const std::string& unitLine)
{
    std::string text = mark + unitLine;
    if (unitLine.size() < kUnitLineWidth) text.append(kUnitLineWidth - unitLine.size(), ' ');
    return text;
}

std::string unitRecordSection(int section, int unit, const std::string& unitLine)
{
    return "S" + std::to_string(section) + std::to_string(unit) + unitLine;
}

const UnitMarks::Entry* UnitMarks::entry(int section, int unit) const
{
    if (section < 1 || section > kMaxSections || unit < 1 || unit > kMaxUnits) return nullptr;
    return &table_[static_cast<std::size_t>(section)][static_cast<std::size_t>(unit)];
}

std::string UnitMarks::mark(int section, int unit) const
{
    const Entry* e = entry(section, unit);
    return e != nullptr ? markText(e->hasSimilar, e->count) : markText(false, 0);
}

bool UnitMarks::hasSimilar(int section, int unit) const
{
    const Entry* e = entry(section, unit);
    return e != nullptr && e->hasSimilar;
}

int UnitMarks::count(int section, int unit) const
{
    const Entry* e = entry(section, unit);
    return e != nullptr ? e->count : 0;
}

void UnitMarks::clear()
{
    for (auto& section : table_)
        section.fill(Entry{});
}

UnitMarks::Outcome UnitMarks::refresh(const CoursewareIndex& index, int lesson, const std::string& recordFile,
                                      bool& marksStale)
{
    Outcome outcome;
    if (lesson < 1 || index.currentLesson() != lesson) {
        // The lesson could not be read: nothing to scan, and another lesson's marks must not show for it. A stale
        // flag stays set for the next lesson that is read.
        clear();
        lesson_ = 0;
        recordFile_.clear();
        return outcome;
    }
    outcome.rescanned = marksStale || lesson != lesson_;
    marksStale = false;
    // Marks of another lesson or another learner must not stand beside this one's when the scan stops early.
    if (lesson != lesson_) {
        clear();
    } else if (recordFile != recordFile_) {
        for (auto& section : table_)
            for (Entry& e : section)
                e.count = 0;
    }
    lesson_ = lesson;
    recordFile_ = recordFile;

    profile::SectionKeyCounts records =
        recordFile.empty() ? profile::SectionKeyCounts() : profile::SectionKeyCounts(recordFile);
    int sections = std::min(index.sectionCount(), kMaxSections);
    for (int s = 1; s <= sections; ++s) {
        std::string master = index.masterFilePath(lesson, s);
        bool present = paths::fileExists(master);
        std::optional<std::string> bytes;
        if (present && outcome.rescanned) {
            bytes = readWholeFile(master);
            present = bytes.has_value();
        }
        if (!present) {
            outcome.stoppedAtSection = s;
            break;
        }
        std::unordered_set<std::string> markers;
        if (bytes) markers = unitMarkers(*bytes);
        const Lines& units = index.sectionUnits(s);
        auto& row = table_[static_cast<std::size_t>(s)];
        for (int u = 1; u <= static_cast<int>(units.size()) && u <= kMaxUnits; ++u) {
            Entry& e = row[static_cast<std::size_t>(u)];
            e.count = records.count(unitRecordSection(s, u, units[static_cast<std::size_t>(u - 1)]));
            if (outcome.rescanned) e.hasSimilar = markers.contains(unitRecordMarker({lesson, s, u, 1}));
        }
        ++outcome.sectionsRefreshed;
    }
    return outcome;
}

} // namespace tavola

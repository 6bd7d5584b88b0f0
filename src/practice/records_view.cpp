#include "practice/records_view.h"

#include "courseware/copy_file_browser.h"
#include "courseware/unit_marks.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"
#include "practice/learning_records.h"

namespace tavola {
namespace {

// Days from a civil date (proleptic Gregorian), for spacing the chart's points.
long long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

} // namespace

std::string recordCountText(int count)
{
    if (count <= 0) return "  ";
    return count < 10 ? "0" + std::to_string(count) : std::to_string(count);
}

std::optional<std::vector<RecordsItem>> buildRecordsList(const CoursewareIndex& index, int lesson,
                                                         const std::string& recordFile)
{
    if (recordFile.empty()) return std::nullopt;
    if (lesson < 1) lesson = 1;
    RecordCounts counts(recordFile);
    std::vector<RecordsItem> items;
    auto unitItem = [&](const std::string& section) {
        items.push_back({recordCountText(counts.count(section)) + "回"_sj + section, section});
    };

    // The lesson as the index reads it, so that the section names are those the records were written under.
    CoursewareIndex other;
    const CoursewareIndex* held = &index;
    if (index.currentLesson() != lesson) {
        other = index;
        held = other.readLesson(lesson) ? &other : nullptr;
    }
    if (held != nullptr) {
        for (int s = 1; s <= held->sectionCount(); ++s) {
            items.push_back({held->sectionList()[static_cast<std::size_t>(s - 1)], {}});
            const Lines& units = held->sectionUnits(s);
            for (std::size_t u = 0; u < units.size(); ++u)
                unitItem(unitRecordSection(s, static_cast<int>(u) + 1, units[u]));
        }
    }
    for (const std::string& name : copyFilesIn(index.coursewareDir() + index.lessonStem(lesson) + "\\"))
        unitItem(name);
    return items;
}

RecordsDetail recordsDetail(const std::string& recordFile, const std::string& section)
{
    RecordsDetail detail;
    if (recordFile.empty() || section.empty()) {
        detail.lines.push_back(noRecordsText());
        return detail;
    }
    auto contents = readLearnerFile(recordFile);
    if (!contents) {
        detail.lines.push_back(contents.message());
        return detail;
    }
    if (const RecordSection* s = contents->section(section))
        for (const StoredRecord& r : s->records)
            detail.records.push_back(r.value);
    detail.lines = detail.records;
    if (detail.lines.empty()) detail.lines.push_back(noRecordsText());
    for (const DamagedLine& d : contents->damaged)
        if (profile::sameSectionName(d.section, section)) detail.lines.push_back(damageText(d));
    return detail;
}

std::vector<ScorePoint> scorePoints(const std::vector<std::string>& recordLines)
{
    std::vector<ScorePoint> points;
    for (const std::string& line : recordLines) {
        auto r = parseRecordLine(line);
        if (!r) continue;
        ScorePoint p;
        p.minutes = daysFromCivil(r->year, r->month, r->day) * 1440 + r->hour * 60 + r->minute;
        p.score = r->score;
        p.when = {r->year, r->month, r->day, r->hour, r->minute, 0};
        points.push_back(p);
    }
    return points;
}

} // namespace tavola

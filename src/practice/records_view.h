#pragma once
// What the records viewer lists: every unit of a lesson with the number of records the learner has for it, under
// the headings of its sections, then the copy files of the lesson with theirs; and the points of the score chart.
#include "courseware/index_file.h"
#include "platform/seams.h"

#include <optional>
#include <string>
#include <vector>

namespace tavola {

struct RecordsItem {
    std::string text;    // as listed: a section heading, or count + "回" + section name
    std::string section; // the record section the item stands for; empty for a heading
};

// "  " for no records, else the count with a leading zero below 10: "03", "12".
std::string recordCountText(int count);

// The list for lesson n (below 1 counts as 1) and the learner's data file: nullopt when the file path is empty.
// The sections and units come from the lesson's sub-index as the index reads it (none when it is missing), the
// copy files from the folder coursewareDir + the lesson's stem.
std::optional<std::vector<RecordsItem>> buildRecordsList(const CoursewareIndex& index, int lesson,
                                                         const std::string& recordFile);

// What the viewer shows for one item: the section's records by key ("練習の記録はありません" without any), then
// each damaged line of the section in the system's words ("12行目：キー 3 がありません"); a file that cannot be
// read shows its message instead. records: the record lines alone, for the chart.
struct RecordsDetail {
    std::vector<std::string> lines;
    std::vector<std::string> records;
};
RecordsDetail recordsDetail(const std::string& recordFile, const std::string& section);

// One record on the score chart: when (in minutes since the year 0, enough to order and space the records) and
// the score. Lines that are no record are left out.
struct ScorePoint {
    long long minutes = 0;
    int score = 0;
    DateTime when;
};
std::vector<ScorePoint> scorePoints(const std::vector<std::string>& recordLines);

} // namespace tavola

#pragma once
// The learning records: one line per scored practice or test, kept in the learner's data file (one profile file
// per learner and lesson, which also holds the password section). Each unit has a section of its own, named
// "S" + section + unit + the unit's line from the sub-index; a worksheet opened from a copy file has a section
// named after the copy file, in the data file of lesson 1. Keys are "1", "2", … in order of writing.
//
// How a scored exercise is recorded:
//     RecordTarget target = unitRecordTarget(index, position);      // or copyFileRecordTarget(copyFileName)
//     std::string file = recordFileOf(target.lesson);                // the shell's learner data file of a lesson
//     appendRecord(file, target.section, {clock.now(), position.similar, trail, correct, total, score, seconds});
// and the practice window's memo shows recordMemoLines(file, target.section).
//
// Files are read afresh by every call and written whole and safely; a missing file or section reads as no records.
// The section "password" is never written or erased here.
#include "courseware/index_file.h"
#include "courseware/unit_position.h"
#include "platform/profile_file.h"
#include "platform/result.h"
#include "platform/seams.h"

#include <optional>
#include <string>
#include <vector>

namespace tavola {

// One scored exercise.
struct PracticeRecord {
    DateTime when;     // local date and time of the scoring
    int similar = 0;   // similar-problem number, 0 for the unit itself
    std::string trail; // the wrong-attempt trail, empty for a test
    int correct = 0;
    int total = 0;
    int score = 0;   // out of 100
    int seconds = 0; // time taken
};

// The record line: ["類題" + r + ")"] + "2026年03月05日 09:07 [" + trail + "] " + "%2d/%2d %3d点" + " " + mm:ss,
// minutes and seconds two digits each (100 minutes or more three digits); negative seconds count as 0.
std::string recordLine(const PracticeRecord& record);

// A record line read back; nullopt for a line that is not one.
struct ParsedRecord {
    int similar = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    std::string trail;
    int correct = 0, total = 0, score = 0;
    int seconds = 0;
};
std::optional<ParsedRecord> parseRecordLine(const std::string& line);

// Where a worksheet's records go: the lesson whose data file holds them, and the section.
struct RecordTarget {
    int lesson = 1;
    std::string section;
};
// A unit of the index: the lesson of its position (below 1 counts as 1) and "S" + s + u + unit line. The unit line
// is taken from the index when it holds that lesson, otherwise from the lesson's sub-index file; the section is
// empty when the unit has no line there.
RecordTarget unitRecordTarget(const CoursewareIndex& index, const UnitPosition& position);
// A worksheet opened from a copy file: its bare file name, in the file of lesson 1.
RecordTarget copyFileRecordTarget(const std::string& copyFileName);

inline constexpr const char* kPasswordSection = "password";

// Appends a record: key = number of keys in the section + 1; the file and section are made when missing. Returns
// the key written. Refuses an empty path or section and the password section.
Result<int> appendRecord(const std::string& file, const std::string& section, const PracticeRecord& record);
// The values of keys "1" … n in key order, n being the number of keys in the section; a missing key reads "?".
std::vector<std::string> readRecords(const std::string& file, const std::string& section);
// The same as the memo shows them: the single line "練習の記録はありません" when there are none.
std::vector<std::string> recordMemoLines(const std::string& file, const std::string& section);
// The number of keys of the section; 0 when the file or section is missing.
int countRecords(const std::string& file, const std::string& section);
// Removes the whole section; the password section is never removed.
Status eraseRecords(const std::string& file, const std::string& section);

// The counts of many sections from one reading of the file (the practice counts of a whole lesson).
using RecordCounts = profile::SectionKeyCounts;

// "練習の記録はありません".
std::string noRecordsText();

} // namespace tavola

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
// Files are read afresh by every call and written whole and safely, each read-modify-write under the file's lock
// (platform/file_lock.h); a missing file or section reads as no records. The section "password" is never written
// or erased here.
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

// A record line read back; nullopt for a line that is not one, or whose numbers are out of bounds: counts 0 to 80
// with correct <= total, score 0 to 100, the time taken within an int.
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

// The largest key a record can have; a key past it is a damaged line (Damage::NotAKey).
inline constexpr int kMaxRecordKey = 999999999;

// Appends a record under the file's lock: key = one above the largest numbered key of the section (the number of
// keys + 1 in a file without gaps), so that a record never takes the key of one already there; the file and section
// are made when missing. A section whose largest key is kMaxRecordKey takes no more records (the message says to
// erase them). Returns the key written, or the message (naming the file) of a refusal or a failed write,
// the file left as it was. Refuses an empty path or section and the password section.
Result<int> appendRecord(const std::string& file, const std::string& section, const PracticeRecord& record);
// The values of the section's records, by their keys in ascending order; damaged lines and values that are no
// record are left out (readLearnerFile names them).
std::vector<std::string> readRecords(const std::string& file, const std::string& section);
// The same as the memo shows them: the single line "練習の記録はありません" when there are none.
std::vector<std::string> recordMemoLines(const std::string& file, const std::string& section);
// The number of keys of the section; 0 when the file or section is missing.
int countRecords(const std::string& file, const std::string& section);
// Removes the whole section under the file's lock; the password section is never removed.
Status eraseRecords(const std::string& file, const std::string& section);

// ---- one learner data file read whole ----

// A line of a learner data file that holds no record although it stands where records are.
enum class Damage {
    NotAnEntry,      // neither "[section]" nor "key=value"
    OutsideSection,  // an entry before the first section
    NotAKey,         // a key that is not a record number (1, 2, …, no leading zero, at most nine digits)
    DuplicateKey,    // a key already used in the section (the first one counts)
    MissingKey,      // a record number below the section's largest that has no line (line: the next record's)
    RepeatedSection, // a second section of a name already seen (its lines are not read)
    NotARecord,      // a value that is not a record line or whose numbers are out of bounds
};
struct DamagedLine {
    int line = 0;        // 1-based line of the file
    std::string section; // the section it stands in (CP932), empty before the first one
    std::string key;     // the key (or missing number) concerned, empty for a line without one
    std::string text;    // the line as read (CP932)
    Damage damage = Damage::NotAnEntry;
};
// The damage in the system's words, with the line number and key: "12行目：キー 3 がありません".
std::string damageText(const DamagedLine& damaged);

struct StoredRecord {
    int key = 0;
    int line = 0; // 1-based line of the file
    std::string value;
    ParsedRecord record;
};
struct RecordSection {
    std::string name;
    int keyCount = 0;                  // the keys of the section, as countRecords counts them
    std::vector<StoredRecord> records; // the sound records by key, ascending
};
struct LearnerFileContents {
    std::string password = "?"; // key "pw" of the section "password"; "?" when none is stored
    std::vector<RecordSection> sections;
    std::vector<DamagedLine> damaged; // in file order
    const RecordSection* section(const std::string& name) const;
};

// Reads one learner data file under its lock and within kLearnerFileLimit: every record section with its sound
// records by key, and every damaged line. A missing file reads as no sections. Refusals (with the file named): the
// file is too large, cannot be read, or another program keeps its lock past the wait. The records viewer, the
// command line and the class records table read learner files through this.
Result<LearnerFileContents> readLearnerFile(const std::string& file);

// Records that could not be written yet, kept in memory and tried again before the next record (the practice
// window's writer), so that a record that meets a full disk or a busy file is not lost with the message. Each
// learner file's records wait apart: one file that cannot be written holds back only its own later records.
class PendingRecords {
public:
    // Writes the records still waiting, then this one; what cannot be written waits for the next call. The message
    // of this file's failure (naming the file); other files' failures are kept for lostRecordsMessage.
    Status write(const std::string& file, const std::string& section, const PracticeRecord& record);
    // Tries every waiting record once more (before the program closes); the files whose records still wait.
    std::vector<std::string> writeWaiting();
    // After writeWaiting: which learners' records could not be written, how many, and why; empty when none.
    std::string lostRecordsMessage() const;
    std::size_t waiting() const { return pending_.size(); }

private:
    struct Pending {
        std::string file;
        std::string section;
        PracticeRecord record;
    };
    struct Failure {
        std::string file;
        std::string message;
    };
    std::vector<Pending> pending_;
    std::vector<Failure> failures_; // of the last try, one per file
};
// The line added to a failed record write's message: the record is kept.
std::string recordKeptText();

// The counts of many sections from one reading of the file (the practice counts of a whole lesson).
using RecordCounts = profile::SectionKeyCounts;

// "練習の記録はありません".
std::string noRecordsText();

} // namespace tavola

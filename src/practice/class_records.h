#pragma once
// The class at a glance (学級の記録): every learner of a name list against every unit of one lesson, from the
// learners' data files of that lesson. A row per learner, a column per unit (grouped by section in index order;
// the records of a unit's similar problems are in the unit's own section, so they count in its column), and per
// cell the number of practices and tests, the last score and the best score. The rows end with the learner's
// totals; every column has the class average of the last scores and how many learners have done the unit.
//
// It only reads, each file through readLearnerFile (under the file's lock, within kLearnerFileLimit); the password
// that reading returns is dropped at once and nothing of it is kept. A damaged line in a unit's section (a record
// line that is no record, a key that is no number, a key written twice, keys missing below the highest) is named
// in the problems and counted nowhere. A learner whose file is missing has an empty row; one whose file cannot be
// read (too large, locked, unreadable) has an empty row with the reason, and the other rows still show.
//
//     ClassTable table = buildClassTable(index, lesson, names, [&](const std::string& learner) {
//         return learnerDataFile(state, index, learner, lesson);
//     });
//     std::string csv = classTableCsv(table);   // what 名前を付けて保存 writes and tavola-cli class --csv prints
#include "courseware/index_file.h"
#include "platform/line_file.h"
#include "platform/result.h"
#include "practice/learning_records.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavola {

struct ClassCell {
    int practices = 0; // records with a wrong-attempt trail
    int tests = 0;     // records with an empty trail
    int lastScore = 0; // of the record with the highest key; meaningful when done()
    int bestScore = 0;
    bool done() const { return practices + tests > 0; }
};

// How far the last score falls short, for shading: below 60 weak, below 80 fair, otherwise good.
enum class ScoreShade { None, Weak, Fair, Good };
ScoreShade shadeOf(const ClassCell& cell);

struct ClassColumn {
    int section = 0;            // 1-based, in the lesson's sub-index
    int unit = 0;               // 1-based within the section
    std::string sectionName;    // the section's name line (CP932)
    std::string unitLine;       // the unit's line (CP932)
    std::string recordSection;  // "S" + section + unit + unit line
    int doneCount = 0;          // learners with at least one record of the unit
    std::optional<int> average; // the class average of the last scores (rounded half to even); none when nobody
};

enum class RowState {
    Read,       // the file was read (it may hold no records of the lesson)
    NoFile,     // no data file: the learner has not practised this lesson
    BadName,    // the name cannot be a learner's file name
    TooLarge,   // larger than kLearnerFileLimit; not read
    Locked,     // another program holds the file
    Unreadable, // the file exists and cannot be read
};

struct ClassRow {
    std::string learner; // CP932
    std::string file;    // the data file (system path); empty for BadName
    RowState state = RowState::NoFile;
    std::string message;          // why the file was not read (CP932, naming the file); empty when read
    std::vector<ClassCell> cells; // one per column
    int practices = 0;
    int tests = 0;
    int unitsDone = 0;
    std::optional<int> average; // of the last scores of the units done
};

// A damaged line of a unit's section, counted nowhere, with the learner whose file holds it.
struct ClassProblem {
    std::string learner; // CP932
    std::string file;
    DamagedLine damaged;
};

struct ClassTable {
    int lesson = 1;
    std::string lessonName;    // as the lesson list shows it (CP932)
    std::string lessonProblem; // the index's message when the lesson's sub-index could not be read (CP932)
    bool refused = false;      // the lesson is refused (its folder outside the courseware): no rows
    std::vector<ClassColumn> columns;
    std::vector<ClassRow> rows;
    std::vector<ClassProblem> problems;
};

using LearnerFileOf = std::function<std::string(const std::string& learner)>;

// The learners of a name list's lines: blank lines and a second mention of a name (in any ASCII case: one learner
// file) are left out, the order kept.
std::vector<std::string> classLearners(const Lines& nameListLines);
// The learners of a name list file, read within kLearnerFileLimit as 名簿 reads it; the message of a list that is
// missing, too large or unreadable.
Result<std::vector<std::string>> readClassLearners(const std::string& nameListPath);

// The table of lesson n (below 1 counts as 1) for the learners; fileOf gives a learner's data file of that lesson
// (empty when the name cannot have one). The index is not changed: another lesson is read on a copy. Every folder
// of learner files is listed once; a name too long to be a file is BadName, and something that is not a plain file
// where the file should be is Unreadable with the reason.
ClassTable buildClassTable(const CoursewareIndex& index, int lesson, const std::vector<std::string>& learners,
                           const LearnerFileOf& fileOf);

// The table as CSV, UTF-8 with LF line ends after a byte-order mark. The heading lines give the lesson, the section and
// unit of every column and the names of the four values; a row per learner with its state ("" when read) and its
// totals; then the class averages and the done counts. Every text cell is formula-safe (csvCell). A Japanese
// spreadsheet takes a CSV without a byte-order mark for Shift-JIS: the CSV is UTF-8 behind the mark, or Shift-JIS
// itself (CR LF line ends), as the teacher chooses.
enum class CsvEncoding { Utf8WithMark, ShiftJis };
std::string classTableCsv(const ClassTable& table, CsvEncoding encoding = CsvEncoding::Utf8WithMark);

// One CSV cell from UTF-8 text: spreadsheetCell (platform/output_text.h), the rule tavola-cli records follows too:
// control characters escaped, formula-like texts behind an apostrophe, quotes where needed.
std::string csvCell(const std::string& utf8Text);

// Short texts of the system for the window and the export (CP932): the state of a row not read ("" when read), and
// a damaged line as learner + "：[" + section + "] " + damageText.
std::string rowStateText(RowState state);
std::string problemText(const ClassProblem& problem);

} // namespace tavola

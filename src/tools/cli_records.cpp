// tavola-cli records [DIR] LEARNER [--lesson N] [--csv]: a learner's records, one row per record, as a table or
// as CSV for a spreadsheet. Sections are matched to units through the index (so section 1 unit 12 and section 11
// unit 2 are told apart by their unit lines); any other section is a copy file's. The password is never shown.
// Records are listed by their real keys; damaged lines are named on stderr. Texts from the files reach the
// terminal with their control characters escaped, and CSV cells are written so that no spreadsheet runs them.
#include "app/learner_files.h"
#include "courseware/unit_marks.h"
#include "platform/output_text.h"
#include "platform/profile_file.h"
#include "platform/sjis.h"
#include "practice/learning_records.h"
#include "tools/cli_commands.h"

#include <cstdio>
#include <iostream>

namespace tavola::cli {
namespace {

struct Row {
    int lesson = 0;
    int section = 0; // 0: a copy file's record
    int unit = 0;
    std::string title; // UTF-8
    ParsedRecord record;
};

std::string twoDigit(int n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

std::string dateText(const ParsedRecord& r)
{
    return std::to_string(r.year) + "-" + twoDigit(r.month) + "-" + twoDigit(r.day);
}

std::string timeText(const ParsedRecord& r)
{
    return twoDigit(r.hour) + ":" + twoDigit(r.minute);
}

// The rows of one section by its real keys, in ascending order.
void addRows(std::vector<Row>& rows, const Row& model, const RecordSection& section)
{
    for (const StoredRecord& r : section.records) {
        Row row = model;
        row.record = r.record;
        rows.push_back(std::move(row));
    }
}

// The records of one lesson's data file. A file that cannot be read (too large, held by another program) is
// reported and its lesson left out; the other lessons are still listed. Damaged lines are named on stderr.
void lessonRows(std::vector<Row>& rows, CoursewareIndex& index, int lesson, const std::string& file)
{
    if (file.empty()) return;
    auto contents = readLearnerFile(file);
    if (!contents) {
        printError(terminalText(utf8(contents.message())));
        return;
    }
    for (const DamagedLine& d : contents->damaged) {
        std::string text = "tavola-cli records: " + utf8(file) + ": ";
        if (!d.section.empty()) text += "[" + utf8(d.section) + "] ";
        text += utf8(damageText(d));
        if (!d.text.empty()) text += ": " + utf8(d.text);
        printError(terminalText(text));
    }
    const std::vector<RecordSection>& sections = contents->sections;
    std::vector<bool> used(sections.size(), false);
    auto find = [&](const std::string& name) -> int {
        for (std::size_t i = 0; i < sections.size(); ++i)
            if (!used[i] && profile::sameSectionName(sections[i].name, name)) return static_cast<int>(i);
        return -1;
    };
    if (Status read = index.readLesson(lesson); !read) {
        printError(terminalText(utf8(read.message())));
    } else {
        for (int s = 1; s <= index.sectionCount(); ++s) {
            const Lines& units = index.sectionUnits(s);
            for (std::size_t u = 0; u < units.size(); ++u) {
                int found = find(unitRecordSection(s, static_cast<int>(u) + 1, units[u]));
                if (found < 0) continue;
                used[static_cast<std::size_t>(found)] = true;
                addRows(rows, {lesson, s, static_cast<int>(u) + 1, utf8(units[u]), {}},
                        sections[static_cast<std::size_t>(found)]);
            }
        }
    }
    for (std::size_t i = 0; i < sections.size(); ++i)
        if (!used[i]) addRows(rows, {lesson, 0, 0, utf8(sections[i].name), {}}, sections[i]);
}

void printCsv(const std::vector<Row>& rows)
{
    std::cout << "lesson,section,unit,title,similar,date,time,trail,correct,total,score,seconds\n";
    for (const Row& r : rows) {
        const ParsedRecord& p = r.record;
        std::cout << r.lesson << ',' << (r.section > 0 ? std::to_string(r.section) : "") << ','
                  << (r.section > 0 ? std::to_string(r.unit) : "") << ',' << spreadsheetCell(r.title) << ','
                  << p.similar << ',' << dateText(p) << ',' << timeText(p) << ',' << spreadsheetCell(p.trail) << ','
                  << p.correct << ',' << p.total << ',' << p.score << ',' << p.seconds << '\n';
    }
}

void printTable(const std::vector<Row>& rows)
{
    std::printf("%-6s %-7s %-4s %-7s %-10s %-5s %-12s %-7s %5s %7s  %s\n", "lesson", "section", "unit", "similar",
                "date", "time", "trail", "result", "score", "taken", "title");
    for (const Row& r : rows) {
        const ParsedRecord& p = r.record;
        std::string result = std::to_string(p.correct) + "/" + std::to_string(p.total);
        std::string taken = twoDigit(p.seconds / 60) + ":" + twoDigit(p.seconds % 60);
        std::printf("%-6d %-7s %-4s %-7s %-10s %-5s %-12s %-7s %5d %7s  %s\n", r.lesson,
                    r.section > 0 ? std::to_string(r.section).c_str() : "-",
                    r.section > 0 ? std::to_string(r.unit).c_str() : "-",
                    p.similar > 0 ? std::to_string(p.similar).c_str() : "-", dateText(p).c_str(), timeText(p).c_str(),
                    terminalText("[" + p.trail + "]").c_str(), result.c_str(), p.score, taken.c_str(),
                    terminalText(r.title).c_str());
    }
    if (rows.empty()) std::printf("(no records)\n");
}

int usageError()
{
    printError("usage: tavola-cli records [DIR] LEARNER [--lesson N] [--csv]");
    return kUsage;
}

} // namespace

int runRecords(const Args& args)
{
    std::vector<std::string> positional;
    bool csv = false;
    int onlyLesson = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--csv") {
            csv = true;
        } else if (args[i] == "--lesson") {
            if (i + 1 >= args.size()) return usageError();
            try {
                onlyLesson = std::stoi(args[++i]);
            } catch (const std::exception&) {
                return usageError();
            }
            if (onlyLesson < 1) return usageError();
        } else if (args[i].starts_with("--")) {
            return usageError();
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.empty() || positional.size() > 2) return usageError();
    auto dir = namedCoursewareDir(positional.size() == 2 ? positional[0] : std::string());
    if (!dir) return kFailed;
    auto learner = sjis::fromUtf8(positional.back());
    if (!learner || learner->empty()) {
        printError("tavola-cli records: the learner name cannot be written in Shift-JIS");
        return kFailed;
    }
    if (auto problem = learnerNameProblem(*learner)) {
        printSystemMessage(*problem);
        return kFailed;
    }

    CoursewareIndex index(*dir);
    if (!readIndexWithLesson(index, onlyLesson, "records")) return kFailed;
    const ShellState state = learnerFilesState(*dir);

    std::vector<Row> rows;
    int first = onlyLesson > 0 ? onlyLesson : 1;
    int last = onlyLesson > 0 ? onlyLesson : index.lessonCount();
    for (int n = first; n <= last; ++n)
        lessonRows(rows, index, n, learnerDataFile(state, index, *learner, n));
    if (csv)
        printCsv(rows);
    else
        printTable(rows);
    return kOk;
}

} // namespace tavola::cli

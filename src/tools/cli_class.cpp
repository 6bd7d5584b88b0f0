// tavola-cli class [DIR] [--lesson N] [--names FILE] [--csv [--sjis]]: every learner of a name list (the learner
// folder's sname.txt unless one is named) against every unit of a lesson (1 unless one is named), as a table or as the
// CSV that the window 学級の記録 saves, byte for byte. What could not be read goes to stderr; passwords are never read.
#include "app/learner_files.h"
#include "platform/line_file.h"
#include "platform/output_text.h"
#include "platform/text_helpers.h"
#include "practice/class_records.h"
#include "tools/cli_commands.h"

#include <cstdio>
#include <iostream>

namespace tavola::cli {
namespace {

int usageError()
{
    printError("usage: tavola-cli class [DIR] [--lesson N] [--names FILE] [--csv [--sjis]]");
    return kUsage;
}

std::string problemLine(const ClassProblem& p)
{
    return terminalText("tavola-cli class: " + utf8(p.file) + ": [" + utf8(p.damaged.section) + "] " +
                        utf8(damageText(p.damaged)));
}

std::string stateLine(const ClassRow& row)
{
    switch (row.state) {
    case RowState::Read:
    case RowState::NoFile:
        return {};
    case RowState::BadName:
        return terminalText("tavola-cli class: " + utf8(row.learner) + ": the name cannot be a learner's");
    case RowState::TooLarge:
    case RowState::Locked:
    case RowState::Unreadable:
        return terminalText("tavola-cli class: " + utf8(row.message));
    }
    return {};
}

// A learner name padded to a width in terminal columns (a double-byte character takes two, as its bytes do), its
// control characters escaped.
std::string padded(const std::string& cp932, std::size_t width)
{
    std::string text = terminalText(utf8(cp932));
    return cp932.size() < width ? text + std::string(width - cp932.size(), ' ') : text;
}

void printTable(const ClassTable& table)
{
    std::printf("lesson %d: %s\n", table.lesson, terminalText(utf8(table.lessonName)).c_str());
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const ClassColumn& col = table.columns[c];
        std::printf("  %2d-%-2d %s / %s: average %s, done by %d\n", col.section, col.unit,
                    terminalText(utf8(col.sectionName)).c_str(), terminalText(utf8(col.unitLine)).c_str(),
                    col.average ? std::to_string(*col.average).c_str() : "-", col.doneCount);
    }
    std::size_t nameWidth = 8;
    for (const ClassRow& row : table.rows)
        nameWidth = std::max(nameWidth, row.learner.size());
    // Each cell: practices+tests last/best.
    std::string head = padded("learner", nameWidth);
    for (const ClassColumn& col : table.columns) {
        char text[32];
        std::snprintf(text, sizeof text, " %11s",
                      (std::to_string(col.section) + "-" + std::to_string(col.unit)).c_str());
        head += text;
    }
    std::printf("%s  practices tests units average\n", head.c_str());
    for (const ClassRow& row : table.rows) {
        std::string line = padded(row.learner, nameWidth);
        for (const ClassCell& cell : row.cells) {
            char text[64];
            if (cell.done())
                std::snprintf(text, sizeof text, " %11s",
                              (std::to_string(cell.practices) + "+" + std::to_string(cell.tests) + " " +
                               std::to_string(cell.lastScore) + "/" + std::to_string(cell.bestScore))
                                  .c_str());
            else
                std::snprintf(text, sizeof text, " %11s", "-");
            line += text;
        }
        if (row.state == RowState::Read)
            std::printf("%s  %9d %5d %5d %7s\n", line.c_str(), row.practices, row.tests, row.unitsDone,
                        row.average ? std::to_string(*row.average).c_str() : "-");
        else
            std::printf("%s  (%s)\n", line.c_str(), utf8(rowStateText(row.state)).c_str());
    }
    if (table.rows.empty()) std::printf("(no learners)\n");
}

} // namespace

int runClass(const Args& args)
{
    std::vector<std::string> positional;
    bool csv = false;
    bool shiftJis = false;
    int lesson = 1;
    std::string namesArg;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--csv") {
            csv = true;
        } else if (args[i] == "--sjis") {
            shiftJis = true;
        } else if (args[i] == "--lesson" || args[i] == "--names") {
            if (i + 1 >= args.size()) return usageError();
            const std::string& value = args[++i];
            if (args[i - 1] == "--names") {
                namesArg = value;
                continue;
            }
            try {
                std::size_t used = 0;
                lesson = std::stoi(value, &used);
                if (used != value.size()) return usageError();
            } catch (const std::exception&) {
                return usageError();
            }
            if (lesson < 1) return usageError();
        } else if (args[i].starts_with("--")) {
            return usageError();
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() > 1 || (shiftJis && !csv)) return usageError();
    auto dir = namedCoursewareDir(positional.empty() ? std::string() : positional[0]);
    if (!dir) return kFailed;

    CoursewareIndex index(*dir);
    if (!readIndexWithLesson(index, lesson, "class")) return kFailed;
    const ShellState state = learnerFilesState(*dir);

    std::string namesPath = defaultNameListPath(state);
    if (!namesArg.empty()) {
        auto named = namedCopyFile(namesArg);
        if (!named) return kFailed;
        namesPath = *named;
    }
    auto names = readClassLearners(namesPath);
    if (!names) {
        printSystemMessage(names.message());
        return kFailed;
    }

    ClassTable table = buildClassTable(index, lesson, *names, [&](const std::string& learner) {
        return learnerDataFile(state, index, learner, lesson);
    });
    if (!table.lessonProblem.empty()) printSystemMessage(table.lessonProblem);
    // A refused lesson has no learner files: nothing to show.
    if (table.refused) return kFailed;
    for (const ClassRow& row : table.rows)
        if (std::string line = stateLine(row); !line.empty()) printError(line);
    for (const ClassProblem& p : table.problems)
        printError(problemLine(p));
    if (csv)
        std::cout << classTableCsv(table, shiftJis ? CsvEncoding::ShiftJis : CsvEncoding::Utf8WithMark);
    else
        printTable(table);
    return kOk;
}

} // namespace tavola::cli

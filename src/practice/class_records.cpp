#include "practice/class_records.h"

#include "courseware/unit_marks.h"
#include "platform/file_lock.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/sjis.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace tavola {
namespace {

// A section name as the profile functions compare it: blanks around it dropped, ASCII letters in lower case, the
// second byte of a double-byte character left as it is.
std::string nameKey(const std::string& name)
{
    std::size_t b = name.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    std::size_t e = name.find_last_not_of(" \t");
    std::string key = name.substr(b, e - b + 1);
    for (std::size_t i = 0; i < key.size(); i += sjis::charLength(key, i)) {
        unsigned char c = static_cast<unsigned char>(key[i]);
        if (c >= 'A' && c <= 'Z') key[i] = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

// A row's file read through the one reader of learner files; the password it returns goes no further.
void readRow(ClassRow& row, const std::unordered_map<std::string, int>& columnByName,
             std::vector<ClassProblem>& problems)
{
    if (row.file.empty()) {
        row.state = RowState::BadName;
        return;
    }
    if (!paths::fileExists(row.file)) return;
    auto contents = readLearnerFile(row.file);
    if (!contents) {
        row.message = contents.message();
        row.state = row.message == fileInUseMessage(row.file)      ? RowState::Locked
                    : row.message == fileTooLargeMessage(row.file) ? RowState::TooLarge
                                                                   : RowState::Unreadable;
        return;
    }
    contents->password.clear();
    row.state = RowState::Read;
    auto columnOf = [&](const std::string& section) {
        auto found = columnByName.find(nameKey(section));
        return found == columnByName.end() ? -1 : found->second;
    };
    for (const RecordSection& section : contents->sections) {
        const int column = columnOf(section.name);
        if (column < 0) continue; // another lesson's unit or a copy file's records
        ClassCell& cell = row.cells[static_cast<std::size_t>(column)];
        // The records come by key, ascending: the last one counted is the latest.
        for (const StoredRecord& r : section.records) {
            const bool first = !cell.done();
            if (r.record.trail.empty())
                ++cell.tests;
            else
                ++cell.practices;
            cell.bestScore = first ? r.record.score : std::max(cell.bestScore, r.record.score);
            cell.lastScore = r.record.score;
        }
    }
    for (DamagedLine& d : contents->damaged)
        if (columnOf(d.section) >= 0) problems.push_back({row.learner, row.file, std::move(d)});
}

std::optional<int> averageOf(long long sum, int count)
{
    if (count == 0) return std::nullopt;
    return roundEven(static_cast<double>(sum) / count);
}

std::string numberCell(std::optional<int> n)
{
    return n ? std::to_string(*n) : std::string();
}

} // namespace

ScoreShade shadeOf(const ClassCell& cell)
{
    if (!cell.done()) return ScoreShade::None;
    if (cell.lastScore < 60) return ScoreShade::Weak;
    if (cell.lastScore < 80) return ScoreShade::Fair;
    return ScoreShade::Good;
}

std::vector<std::string> classLearners(const Lines& nameListLines)
{
    std::vector<std::string> learners;
    std::unordered_set<std::string> seen;
    for (const std::string& line : nameListLines) {
        if (line.empty()) continue;
        if (seen.insert(line).second) learners.push_back(line);
    }
    return learners;
}

ClassTable buildClassTable(const CoursewareIndex& index, int lesson, const std::vector<std::string>& learners,
                           const LearnerFileOf& fileOf)
{
    ClassTable table;
    table.lesson = lesson < 1 ? 1 : lesson;
    if (table.lesson <= index.lessonCount())
        table.lessonName = index.lessonList()[static_cast<std::size_t>(table.lesson - 1)];

    // The lesson as the index reads it, so that the section names are those the records were written under.
    CoursewareIndex other;
    const CoursewareIndex* held = &index;
    if (index.currentLesson() != table.lesson) {
        other = index;
        Status read = other.readLesson(table.lesson);
        held = read ? &other : nullptr;
        if (!read) table.lessonProblem = read.message();
    }
    std::unordered_map<std::string, int> columnByName;
    if (held != nullptr) {
        for (int s = 1; s <= held->sectionCount(); ++s) {
            const Lines& units = held->sectionUnits(s);
            for (std::size_t u = 0; u < units.size(); ++u) {
                ClassColumn column;
                column.section = s;
                column.unit = static_cast<int>(u) + 1;
                column.sectionName = held->sectionList()[static_cast<std::size_t>(s - 1)];
                column.unitLine = units[u];
                column.recordSection = unitRecordSection(s, column.unit, units[u]);
                // Two units whose section names fold to one name share the first one's records, as everywhere.
                columnByName.try_emplace(nameKey(column.recordSection), static_cast<int>(table.columns.size()));
                table.columns.push_back(std::move(column));
            }
        }
    }

    for (const std::string& learner : learners) {
        ClassRow row;
        row.learner = learner;
        row.file = fileOf ? fileOf(learner) : std::string();
        row.cells.resize(table.columns.size());
        readRow(row, columnByName, table.problems);
        long long lastSum = 0;
        for (const ClassCell& cell : row.cells) {
            row.practices += cell.practices;
            row.tests += cell.tests;
            if (!cell.done()) continue;
            ++row.unitsDone;
            lastSum += cell.lastScore;
        }
        row.average = averageOf(lastSum, row.unitsDone);
        table.rows.push_back(std::move(row));
    }

    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        long long sum = 0;
        int done = 0;
        for (const ClassRow& row : table.rows) {
            if (!row.cells[c].done()) continue;
            ++done;
            sum += row.cells[c].lastScore;
        }
        table.columns[c].doneCount = done;
        table.columns[c].average = averageOf(sum, done);
    }
    return table;
}

std::string csvCell(const std::string& utf8Text)
{
    const bool formula = !utf8Text.empty() && std::string_view("=+-@\t\r").find(utf8Text.front()) != std::string::npos;
    if (!formula && utf8Text.find_first_of(",\"\r\n") == std::string::npos) return utf8Text;
    std::string quoted = formula ? "\"'" : "\"";
    for (char c : utf8Text) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

std::string classTableCsv(const ClassTable& table)
{
    // The CSV is UTF-8: the heads below are written as UTF-8 literals, the texts of the files converted.
    auto text = [](const std::string& cp932) { return csvCell(sjis::toUtf8(cp932)); };
    const std::string valueNames = "練習,テスト,最終,最高";
    std::string out;
    out += "学級の記録," + std::to_string(table.lesson) + "," + text(table.lessonName) + "\n";
    std::string sections = "節,";
    std::string units = "単元,";
    std::string heads = "氏名,状態";
    for (const ClassColumn& c : table.columns) {
        sections += "," + text(std::to_string(c.section) + " " + c.sectionName) + ",,,";
        units += "," + text(std::to_string(c.unit) + " " + c.unitLine) + ",,,";
        heads += "," + valueNames;
    }
    out += sections + "\n" + units + "\n" + heads + ",練習計,テスト計,実施単元,平均\n";
    for (const ClassRow& row : table.rows) {
        out += text(row.learner) + "," + text(rowStateText(row.state));
        for (const ClassCell& cell : row.cells) {
            if (cell.done())
                out += "," + std::to_string(cell.practices) + "," + std::to_string(cell.tests) + "," +
                       std::to_string(cell.lastScore) + "," + std::to_string(cell.bestScore);
            else
                out += ",,,,";
        }
        if (row.state == RowState::Read)
            out += "," + std::to_string(row.practices) + "," + std::to_string(row.tests) + "," +
                   std::to_string(row.unitsDone) + "," + numberCell(row.average) + "\n";
        else
            out += ",,,,\n";
    }
    std::string averages = "学級平均,";
    std::string done = "実施人数,";
    for (const ClassColumn& c : table.columns) {
        averages += ",,," + numberCell(c.average) + ",";
        done += "," + std::to_string(c.doneCount) + ",,,";
    }
    out += averages + ",,,,\n" + done + ",,,,\n";
    return out;
}

std::string rowStateText(RowState state)
{
    switch (state) {
    case RowState::Read:
        return {};
    case RowState::NoFile:
        return "記録なし"_sj;
    case RowState::BadName:
        return "名前が使えません"_sj;
    case RowState::TooLarge:
        return "ファイルが大きすぎます"_sj;
    case RowState::Locked:
        return "使用中です"_sj;
    case RowState::Unreadable:
        return "読めません"_sj;
    }
    return {};
}

std::string problemText(const ClassProblem& p)
{
    return p.learner + "：["_sj + p.damaged.section + "] " + damageText(p.damaged);
}

} // namespace tavola

#include "practice/class_records.h"

#include "courseware/unit_marks.h"
#include "platform/file_lock.h"
#include "platform/numbers.h"
#include "platform/output_text.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"

#include <sys/stat.h>

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

// ASCII letters in lower case, double-byte characters as they are: the names the file system's case-insensitive
// lookup (paths::realPath) takes as one.
std::string foldedAscii(std::string name)
{
    for (std::size_t i = 0; i < name.size(); i += sjis::charLength(name, i)) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 'A' && c <= 'Z') name[i] = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

// The folders of the learner files, each listed once for the whole table: a class of thousands without files
// would otherwise cost a case-insensitive scan of the lesson folder per learner.
class FolderListings {
public:
    enum class Found { Missing, File, Other };
    // Whether something stands at a learner file (a system path), found as paths::realPath finds it.
    Found find(const std::string& systemPath)
    {
        std::size_t nameStart = 0;
        for (std::size_t i = 0; i < systemPath.size(); i += sjis::charLength(systemPath, i))
            if (systemPath[i] == '\\' || systemPath[i] == '/') nameStart = i + 1;
        const std::string folder = systemPath.substr(0, nameStart);
        auto [it, made] = folders_.try_emplace(folder);
        Listing& listing = it->second;
        if (made) {
            listing.real = paths::realPath(folder);
            if (!listing.real.empty() && listing.real.back() != '/') listing.real += '/';
            for (const std::string& name : paths::listFolder(folder))
                listing.names.try_emplace(foldedAscii(sjis::toUtf8(name)), sjis::toUtf8(name));
        }
        const std::string name = sjis::toUtf8(systemPath.substr(nameStart));
        auto entry = listing.names.find(foldedAscii(name));
        if (entry == listing.names.end()) return Found::Missing;
        struct stat st {};
        if (::stat((listing.real + entry->second).c_str(), &st) != 0) return Found::Missing;
        return S_ISREG(st.st_mode) ? Found::File : Found::Other;
    }

private:
    struct Listing {
        std::string real;
        std::unordered_map<std::string, std::string> names; // folded → as listed (UTF-8)
    };
    std::unordered_map<std::string, Listing> folders_;
};

// Longest name a file may have on the file systems we write to.
constexpr std::size_t kFileNameMax = 255;

// A row's file read through the one reader of learner files; the password it returns goes no further.
void readRow(ClassRow& row, const std::unordered_map<std::string, int>& columnByName,
             std::vector<ClassProblem>& problems, FolderListings& folders)
{
    // A name too long to be a file name can have no file (the file system's names are UTF-8).
    if (row.file.empty() || sjis::toUtf8(row.learner).size() + 4 > kFileNameMax) {
        row.state = RowState::BadName;
        return;
    }
    switch (folders.find(row.file)) {
    case FolderListings::Found::Missing:
        return;
    case FolderListings::Found::Other:
        // A folder, a pipe or a device where the file should be: told, never opened.
        row.state = RowState::Unreadable;
        row.message = row.file + " はふつうのファイルではありません"_sj;
        return;
    case FolderListings::Found::File:
        break;
    }
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
        // Hanako and hanako are one learner file wherever the courseware came from.
        if (seen.insert(foldedAscii(line)).second) learners.push_back(line);
    }
    return learners;
}

Result<std::vector<std::string>> readClassLearners(const std::string& nameListPath)
{
    using Learners = Result<std::vector<std::string>>;
    BoundedRead read = readBoundedFile(nameListPath, kLearnerFileLimit);
    switch (read.failure) {
    case ReadFailure::None:
        return classLearners(splitLines(*read.bytes));
    case ReadFailure::Missing:
        return Learners::failure(fileNotFoundMessage(nameListPath));
    case ReadFailure::TooLarge:
        return Learners::failure(fileTooLargeMessage(nameListPath));
    case ReadFailure::Unreadable:
        break;
    }
    return Learners::failure(nameListPath + " を読み込めません"_sj);
}

ClassTable buildClassTable(const CoursewareIndex& index, int lesson, const std::vector<std::string>& learners,
                           const LearnerFileOf& fileOf)
{
    ClassTable table;
    table.lesson = lesson < 1 ? 1 : lesson;
    if (table.lesson <= index.lessonCount())
        table.lessonName = index.lessonList()[static_cast<std::size_t>(table.lesson - 1)];

    // A lesson whose folder would lie outside the courseware has no learner files: one message, no rows.
    if (table.lesson <= index.lessonCount() && !index.lessonRefusal(table.lesson).empty()) {
        table.lessonProblem = index.lessonRefusal(table.lesson);
        table.refused = true;
        return table;
    }
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

    FolderListings folders;
    for (const std::string& learner : learners) {
        ClassRow row;
        row.learner = learner;
        row.file = fileOf ? fileOf(learner) : std::string();
        row.cells.resize(table.columns.size());
        readRow(row, columnByName, table.problems, folders);
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
    // The one rule for texts from files in a spreadsheet, as tavola-cli records writes them.
    return spreadsheetCell(utf8Text);
}

std::string classTableCsv(const ClassTable& table, CsvEncoding encoding)
{
    if (encoding == CsvEncoding::ShiftJis) {
        // Every text came from Shift-JIS files or is the program's own; the escapes are ASCII.
        std::string utf8 = classTableCsv(table).substr(3);
        std::string out;
        for (const std::string& line : splitLines(utf8))
            out += sjis::fromUtf8(line).value_or(sjis::encode("?")) + "\r\n";
        return out;
    }
    // The CSV is UTF-8: the heads below are written as UTF-8 literals, the texts of the files converted.
    auto text = [](const std::string& cp932) { return csvCell(sjis::toUtf8(cp932)); };
    const std::string valueNames = "練習,テスト,最終,最高";
    std::string out = "\xEF\xBB\xBF";
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

#include "practice/followup_sheet.h"

#include "courseware/unit_marks.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "practice/learning_records.h"
#include "question/copy_file.h"
#include "question/markup.h"
#include "question/unit_reader.h"
#include "variant/variant_generator.h"

#include <algorithm>

namespace tavola {
namespace {

// The latest practice of a unit's section: the sound record with the highest key that has a trail.
const StoredRecord* latestPractice(const RecordSection& section)
{
    for (auto r = section.records.rbegin(); r != section.records.rend(); ++r)
        if (!r->record.trail.empty()) return &*r;
    return nullptr;
}

// A record's date and time as one number that orders records.
long long whenOf(const ParsedRecord& r)
{
    return ((((static_cast<long long>(r.year) * 13 + r.month) * 32 + r.day) * 24 + r.hour) * 60) + r.minute;
}

// "§" + s + "-" + u + "　" + unit line (+ "（類題" + r + "）"), as a plain segment: a "#" of the unit line would
// otherwise open an answer box, an "@" a code.
std::string headingLine(const UnitPosition& p, const std::string& unitLine)
{
    std::string line = "\"§"_sj + std::to_string(p.section) + "-" + std::to_string(p.unit) + "　"_sj;
    for (std::size_t i = 0; i < unitLine.size(); i += sjis::charLength(unitLine, i)) {
        if (unitLine[i] == '#')
            line += "＃"_sj;
        else
            line += unitLine.substr(i, sjis::charLength(unitLine, i));
    }
    if (p.similar > 0) line += "（類題"_sj + std::to_string(p.similar) + "）"_sj;
    return line;
}

// The line with its "(n)" number, when it starts with one, made number k of the sheet.
std::string renumbered(const std::string& line, int k)
{
    if (line.empty() || line[0] != '(') return line;
    std::size_t i = 1;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9')
        ++i;
    if (i == 1 || i >= line.size() || line[i] != ')') return line;
    return "(" + std::to_string(k) + line.substr(i);
}

Lines answersOf(const std::string& line)
{
    Lines answers;
    std::vector<std::string> parts;
    splitAtHash(line, parts);
    for (std::size_t p = 1; p + 1 < parts.size(); p += 2)
        answers.push_back(trimAnswerText(parts[p]));
    return answers;
}

std::string unitLabel(const UnitPosition& p, const std::string& unitLine)
{
    return "§"_sj + std::to_string(p.section) + "-" + std::to_string(p.unit) + " " + unitLine;
}

// The problems of one unit, with the time of the practice they come from.
struct UnitProblems {
    long long when = 0;
    std::size_t order = 0; // the unit's place in the lesson
    std::vector<FollowupProblem> problems;
};

} // namespace

std::string followupTitle(const std::string& learner)
{
    return learner + "さんのふくしゅう"_sj;
}

std::string noFollowupMessage(const std::string& learner)
{
    return learner + "さんには、ふくしゅうする問題がありません"_sj;
}

std::string followupCopyName(const std::string& learner)
{
    return followupTitle(learner) + ".prp";
}

Worksheet followupKey(const Worksheet& sheet)
{
    Worksheet key = sheet;
    key.title += "（解答）"_sj;
    key.settings.answersShown = true;
    return key;
}

std::optional<std::vector<int>> wrongBoxes(const std::string& trail, int boxCount)
{
    if (static_cast<int>(trail.size()) != boxCount) return std::nullopt;
    std::vector<int> wrong;
    for (std::size_t i = 0; i < trail.size(); ++i) {
        if (trail[i] < '0' || trail[i] > '9') return std::nullopt;
        if (trail[i] > '0') wrong.push_back(static_cast<int>(i) + 1);
    }
    return wrong;
}

std::vector<int> boxLines(const Lines& problemLines)
{
    std::vector<int> lines;
    for (std::size_t i = 0; i < problemLines.size(); ++i) {
        const int n = markup::splitLine(problemLines[i]).answerCount();
        lines.insert(lines.end(), static_cast<std::size_t>(n), static_cast<int>(i));
    }
    return lines;
}

FollowupMaker::FollowupMaker(const CoursewareIndex& index, int lesson, FollowupLayout layout)
    : index_(index), lesson_(lesson < 1 ? 1 : lesson), layout_(std::move(layout))
{
    if (index_.currentLesson() != lesson_) lessonStatus_ = index_.readLesson(lesson_);
    if (!lessonStatus_) return;
    for (int s = 1; s <= index_.sectionCount(); ++s)
        for (int u = 1; u <= index_.sectionUnitCount(s); ++u)
            units_.emplace_back(s, u);
}

bool FollowupMaker::chooseUnits(const std::vector<std::pair<int, int>>& units)
{
    for (const auto& [s, u] : units)
        if (s < 1 || s > index_.sectionCount() || u < 1 || u > index_.sectionUnitCount(s)) return false;
    if (units.empty()) return true;
    units_ = units;
    return true;
}

const FollowupMaker::ReadUnit& FollowupMaker::unitAt(const UnitPosition& p)
{
    auto [at, added] = cache_.try_emplace({p.section, p.unit, p.similar});
    if (!added) return at->second;
    UnitReader reader;
    at->second.status = reader.read(unitReadRequest(index_, p));
    if (isNotFound(at->second.status))
        at->second.status = Status::failure(fileNotFoundMessage(index_.unitFileNames(p).windowKey));
    if (at->second.status) {
        at->second.unit = reader.unit();
        at->second.boxLines = boxLines(at->second.unit.problemLines);
    }
    return at->second;
}

// The page takes the layout of its first (most recent) unit on the lesson's paper: the paper of the lesson's
// first unit, so that every learner's sheet of a lesson prints on one paper. The answer column is the widest box
// of the units on it, and right after the text unless every unit puts its answers in a column of its own (a column
// chosen for one unit's texts could cover another unit's longer ones).
UnitSettings FollowupMaker::pageSettings(const std::vector<const UnitData*>& units)
{
    if (!lessonSettings_) {
        for (int s = 1; s <= index_.sectionCount() && !lessonSettings_; ++s)
            for (int u = 1; u <= index_.sectionUnitCount(s) && !lessonSettings_; ++u)
                if (const ReadUnit& read = unitAt({lesson_, s, u, 0}); read.status)
                    lessonSettings_ = unitSettings(read.unit);
        if (!lessonSettings_) lessonSettings_ = unitSettings(*units.front());
    }
    UnitSettings settings = unitSettings(*units.front());
    settings.paper = lessonSettings_->paper;
    settings.answersShown = false;
    settings.startNumber = 1;
    bool afterText = false;
    int column = 0;
    for (const UnitData* unit : units) {
        const AnswerBoxSettings each = unitSettings(*unit).answerBox;
        settings.answerBox.width = std::max(settings.answerBox.width, each.width);
        if (each.answerX == 0)
            afterText = true;
        else
            column = std::max(column, each.answerX);
    }
    settings.answerBox.answerX = afterText ? 0 : column;
    return settings;
}

FollowupSheet FollowupMaker::make(const std::string& learner, const std::string& dataFile)
{
    FollowupSheet result;
    result.learner = learner;
    if (!lessonStatus_) {
        result.notes.push_back(lessonStatus_.message());
        return result;
    }
    auto contents = readLearnerFile(dataFile);
    if (!contents) {
        result.notes.push_back(contents.message());
        return result;
    }

    std::vector<UnitProblems> found;
    for (std::size_t order = 0; order < units_.size(); ++order) {
        const auto [s, u] = units_[order];
        const std::string& unitLine = index_.sectionUnits(s)[static_cast<std::size_t>(u - 1)];
        const RecordSection* section = contents->section(unitRecordSection(s, u, unitLine));
        const StoredRecord* practice = section != nullptr ? latestPractice(*section) : nullptr;
        if (practice == nullptr) continue;
        const UnitPosition p{lesson_, s, u, practice->record.similar};
        const ReadUnit& read = unitAt(p);
        if (!read.status) {
            result.notes.push_back(unitLabel(p, unitLine) + "：" + read.status.message());
            continue;
        }
        const int boxCount = static_cast<int>(read.boxLines.size());
        auto wrong = wrongBoxes(practice->record.trail, boxCount);
        if (!wrong) {
            result.notes.push_back(unitLabel(p, unitLine) + "："_sj + std::to_string(practice->key) +
                                   "番の記録は解答欄"_sj + std::to_string(practice->record.trail.size()) +
                                   "個分ですが、単元の解答欄は"_sj + std::to_string(boxCount) +
                                   "個です。この単元は入れません"_sj);
            continue;
        }
        if (wrong->empty()) continue;

        UnitProblems unit{whenOf(practice->record), order, {}};
        const Lines& authored = read.unit.problemLines;
        // New numbers for the whole page, so that none repeats a problem of the unit; then the wrong lines.
        const Lines varied =
            variant::varyLines(authored, variant::variantSeed(read.unit.shortKey + "|" + learner, practice->key));
        for (int box : *wrong) {
            const int line = read.boxLines[static_cast<std::size_t>(box - 1)];
            if (!unit.problems.empty() && unit.problems.back().line == line + 1) {
                unit.problems.back().boxes.push_back(box);
                continue;
            }
            FollowupProblem problem;
            problem.position = p;
            problem.unitLine = unitLine;
            problem.recordKey = practice->key;
            problem.line = line + 1;
            problem.boxes = {box};
            problem.authored = authored[static_cast<std::size_t>(line)];
            problem.text = varied[static_cast<std::size_t>(line)];
            problem.varied = problem.text != problem.authored;
            unit.problems.push_back(std::move(problem));
        }
        found.push_back(std::move(unit));
    }
    std::stable_sort(found.begin(), found.end(), [](const UnitProblems& a, const UnitProblems& b) {
        return a.when != b.when ? a.when > b.when : a.order < b.order;
    });

    std::vector<FollowupProblem> all;
    for (UnitProblems& unit : found)
        for (FollowupProblem& problem : unit.problems)
            all.push_back(std::move(problem));
    if (all.empty()) return result;
    for (std::size_t k = 0; k < all.size(); ++k) {
        all[k].text = renumbered(all[k].text, static_cast<int>(k) + 1);
        all[k].answers = answersOf(all[k].text);
    }

    // The page of the first k problems.
    auto pageOf = [&](std::size_t k, int& boxes) {
        Worksheet page;
        std::vector<const UnitData*> units;
        boxes = 0;
        for (std::size_t i = 0; i < k; ++i) {
            const FollowupProblem& problem = all[i];
            if (i == 0 || !(all[i - 1].position == problem.position)) {
                page.problemLines.push_back(headingLine(problem.position, problem.unitLine));
                const UnitData& unit = unitAt(problem.position).unit;
                units.push_back(&unit);
                for (const std::string& choice : unit.kgroup)
                    if (std::find(page.kgroup.begin(), page.kgroup.end(), choice) == page.kgroup.end())
                        page.kgroup.push_back(choice);
            }
            page.problemLines.push_back(problem.text);
            boxes += static_cast<int>(problem.answers.size());
        }
        // Answers chosen from a list (解選択): the new answers join the list, the units' choices stay as the others.
        if (!page.kgroup.empty())
            for (std::size_t i = 0; i < k; ++i)
                for (const std::string& answer : all[i].answers) {
                    const std::string first = trimAnswerText(markup::splitAnswer(answer).front());
                    if (std::find(page.kgroup.begin(), page.kgroup.end(), first) == page.kgroup.end())
                        page.kgroup.push_back(first);
                }
        page.title = followupTitle(learner);
        page.builtTitle = page.title;
        page.school = "小学校"_sj;
        page.name = "　年　組　番　氏名"_sj;
        page.softkey = units.front()->softkey;
        page.settings = pageSettings(units);
        page.windowKey = followupCopyName(learner);
        page.shortKey = page.windowKey;
        page.position = {lesson_, 0, 0, 0};
        page.master = false;
        return page;
    };
    auto fits = [&](std::size_t k) {
        int boxes = 0;
        Worksheet page = pageOf(k, boxes);
        if (static_cast<int>(page.problemLines.size()) > kMaxProblemLines || boxes > kMaxAnswerBoxes) return false;
        if (!layout_) return true;
        const PageLayout layout = layout_(page);
        return !layout.overflow && !layout.runsOffPage();
    };
    // More problems only ever reach further down the page: the most that fit is found by halving.
    std::size_t lo = 1;
    std::size_t hi = all.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (fits(mid))
            lo = mid;
        else
            hi = mid - 1;
    }
    int boxes = 0;
    result.sheet = pageOf(lo, boxes);
    result.leftOut = static_cast<int>(all.size() - lo);
    all.resize(lo);
    result.problems = std::move(all);
    return result;
}

Result<std::string> saveFollowupCopy(const CoursewareIndex& index, int lesson, const FollowupSheet& sheet)
{
    const std::string path = copyFileFolder(index, lesson) + followupCopyName(sheet.learner);
    if (!paths::ensureParentFolder(path)) return Result<std::string>::failure(folderNotFoundMessage(path));
    Worksheet page = sheet.sheet;
    page.path = path;
    if (Status written = writeCopyFile(path, copyRecordOf(page)); !written)
        return Result<std::string>::failure(written.message());
    return path;
}

} // namespace tavola

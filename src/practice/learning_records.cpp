#include "practice/learning_records.h"

#include "courseware/unit_marks.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"

#include <cstdio>
#include <string_view>

namespace tavola {
namespace {

bool isPasswordSection(const std::string& section)
{
    return profile::sameSectionName(section, kPasswordSection);
}

// A small reader over the bytes of a record line.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}
    bool literal(std::string_view s)
    {
        if (text_.substr(pos_, s.size()) != s) return false;
        pos_ += s.size();
        return true;
    }
    void blanks()
    {
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
    }
    // One or more digits (at most nine).
    std::optional<int> number()
    {
        std::size_t start = pos_;
        int value = 0;
        while (pos_ < text_.size() && pos_ - start < 9 && text_[pos_] >= '0' && text_[pos_] <= '9')
            value = value * 10 + (text_[pos_++] - '0');
        if (pos_ == start) return std::nullopt;
        return value;
    }
    // The text up to the next c (not consumed); nullopt when there is none.
    std::optional<std::string> until(char c)
    {
        std::size_t end = sjis::findChar(text_, c, pos_);
        if (end == std::string_view::npos) return std::nullopt;
        std::string s(text_.substr(pos_, end - pos_));
        pos_ = end;
        return s;
    }
    bool atEnd() const { return pos_ == text_.size(); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::string noRecordsText()
{
    return "練習の記録はありません"_sj;
}

std::string recordLine(const PracticeRecord& r)
{
    std::string line;
    if (r.similar != 0) line += "類題"_sj + std::to_string(r.similar) + ")";
    line += std::to_string(r.when.year) + "年"_sj + twoDigits(r.when.month) + "月"_sj + twoDigits(r.when.day) + "日"_sj;
    line += " " + twoDigits(r.when.hour) + ":" + twoDigits(r.when.minute);
    line += " [" + r.trail + "] ";
    char result[64];
    std::snprintf(result, sizeof result, "%2d/%2d %3d", r.correct, r.total, r.score);
    line += result + "点"_sj;
    int seconds = r.seconds < 0 ? 0 : r.seconds;
    line += " " + twoDigits(seconds / 60) + ":" + twoDigits(seconds % 60);
    return line;
}

std::optional<ParsedRecord> parseRecordLine(const std::string& line)
{
    ParsedRecord r;
    Cursor c(line);
    auto need = [](std::optional<int> n, int& into) {
        if (n) into = *n;
        return n.has_value();
    };
    if (c.literal("類題"_sj) && !(need(c.number(), r.similar) && c.literal(")"))) return std::nullopt;
    if (!(need(c.number(), r.year) && c.literal("年"_sj) && need(c.number(), r.month) && c.literal("月"_sj) &&
          need(c.number(), r.day) && c.literal("日"_sj) && c.literal(" ") && need(c.number(), r.hour) &&
          c.literal(":") && need(c.number(), r.minute) && c.literal(" [")))
        return std::nullopt;
    auto trail = c.until(']');
    if (!trail || !c.literal("]")) return std::nullopt;
    r.trail = *trail;
    c.blanks();
    int minutes = 0;
    int seconds = 0;
    if (!need(c.number(), r.correct) || !c.literal("/")) return std::nullopt;
    c.blanks();
    if (!need(c.number(), r.total)) return std::nullopt;
    c.blanks();
    if (!(need(c.number(), r.score) && c.literal("点"_sj) && c.literal(" ") && need(c.number(), minutes) &&
          c.literal(":") && need(c.number(), seconds) && c.atEnd()))
        return std::nullopt;
    if (r.month < 1 || r.month > 12 || r.day < 1 || r.day > 31 || r.hour > 23 || r.minute > 59 || seconds > 59)
        return std::nullopt;
    r.seconds = minutes * 60 + seconds;
    return r;
}

RecordTarget unitRecordTarget(const CoursewareIndex& index, const UnitPosition& position)
{
    RecordTarget target;
    target.lesson = position.lesson < 1 ? 1 : position.lesson;
    auto lineIn = [&](const CoursewareIndex& held) -> std::string {
        const Lines& units = held.sectionUnits(position.section);
        if (position.unit < 1 || position.unit > static_cast<int>(units.size())) return {};
        return unitRecordSection(position.section, position.unit, units[static_cast<std::size_t>(position.unit - 1)]);
    };
    if (index.currentLesson() == target.lesson) {
        target.section = lineIn(index);
    } else {
        // The index holds another lesson (the unit selection went on to it): read this one on the side.
        CoursewareIndex other = index;
        if (other.readLesson(target.lesson)) target.section = lineIn(other);
    }
    return target;
}

RecordTarget copyFileRecordTarget(const std::string& copyFileName)
{
    return {1, copyFileName};
}

Result<int> appendRecord(const std::string& file, const std::string& section, const PracticeRecord& record)
{
    if (file.empty() || section.empty() || isPasswordSection(section)) return Result<int>::failure("記録できません"_sj);
    // The learner's files in the user's data folder get their folder with the first record.
    paths::ensureParentFolder(file);
    int key = static_cast<int>(profile::sectionKeys(file, section).size()) + 1;
    Status written = profile::writeString(file, section, std::to_string(key), recordLine(record));
    if (!written) return Result<int>::failure(written.message());
    return key;
}

std::vector<std::string> readRecords(const std::string& file, const std::string& section)
{
    std::vector<std::string> values;
    if (file.empty()) return values;
    auto sections = profile::readSections(file);
    if (!sections) return values;
    for (const profile::ProfileSection& s : *sections) {
        if (!profile::sameSectionName(s.name, section)) continue;
        values = profile::numberedValues(s, "?");
        break;
    }
    return values;
}

std::vector<std::string> recordMemoLines(const std::string& file, const std::string& section)
{
    std::vector<std::string> lines = readRecords(file, section);
    if (lines.empty()) lines.push_back(noRecordsText());
    return lines;
}

int countRecords(const std::string& file, const std::string& section)
{
    if (file.empty()) return 0;
    return static_cast<int>(profile::sectionKeys(file, section).size());
}

Status eraseRecords(const std::string& file, const std::string& section)
{
    if (file.empty() || section.empty() || isPasswordSection(section)) return {};
    return profile::eraseSection(file, section);
}

} // namespace tavola

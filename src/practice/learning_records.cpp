#include "practice/learning_records.h"

#include "courseware/unit_marks.h"
#include "platform/file_lock.h"
#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "worksheet/answer_boxes.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <unordered_map>
#include <unordered_set>

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
    // The words of a record line, converted once: a class table reads tens of thousands of lines.
    static const std::string kSimilar = "類題"_sj, kYear = "年"_sj, kMonth = "月"_sj, kDay = "日"_sj, kPoints = "点"_sj;
    ParsedRecord r;
    Cursor c(line);
    auto need = [](std::optional<int> n, int& into) {
        if (n) into = *n;
        return n.has_value();
    };
    if (c.literal(kSimilar) && !(need(c.number(), r.similar) && c.literal(")"))) return std::nullopt;
    if (!(need(c.number(), r.year) && c.literal(kYear) && need(c.number(), r.month) && c.literal(kMonth) &&
          need(c.number(), r.day) && c.literal(kDay) && c.literal(" ") && need(c.number(), r.hour) && c.literal(":") &&
          need(c.number(), r.minute) && c.literal(" [")))
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
    if (!(need(c.number(), r.score) && c.literal(kPoints) && c.literal(" ") && need(c.number(), minutes) &&
          c.literal(":") && need(c.number(), seconds) && c.atEnd()))
        return std::nullopt;
    if (r.month < 1 || r.month > 12 || r.day < 1 || r.day > 31 || r.hour > 23 || r.minute > 59 || seconds > 59)
        return std::nullopt;
    // A page has at most 80 answer boxes; anything else is a damaged line, not a record.
    if (r.total > kMaxAnswerBoxes || r.correct > r.total || r.score > 100) return std::nullopt;
    const long long taken = static_cast<long long>(minutes) * 60 + seconds;
    if (taken > std::numeric_limits<int>::max()) return std::nullopt;
    r.seconds = static_cast<int>(taken);
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

namespace {

// A key as a record number: digits without a leading zero, 1 to kMaxRecordKey (so one above the largest still
// fits an int); 0 for any other key.
int recordNumber(const std::string& key)
{
    static_assert(kMaxRecordKey == 999999999, "a record number is at most nine digits");
    if (key.empty() || key.size() > 9 || key.front() == '0') return 0;
    int n = 0;
    for (char c : key) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

// One above the largest record number of the first section of that name in the lines; 1 without one.
int nextRecordKey(const Lines& lines, const std::string& section)
{
    bool inSection = false;
    bool seen = false;
    int largest = 0;
    for (const std::string& line : lines) {
        profile::ParsedLine parsed = profile::parseLine(line);
        if (parsed.kind == profile::ParsedLine::Kind::Header) {
            if (inSection) break;
            inSection = !seen && profile::sameSectionName(parsed.name, section);
            seen = seen || inSection;
        } else if (inSection && parsed.kind == profile::ParsedLine::Kind::Entry) {
            largest = std::max(largest, recordNumber(parsed.key));
        }
    }
    return largest + 1;
}

// A failure of the file's writer told with the file: the lock's, the size's and the reader's messages name it
// already, the platform's words of a failed write do not.
std::string namingFile(const std::string& what, const std::string& file, const std::string& message)
{
    if (message.find(file) != std::string::npos) return message;
    return what + ": " + file + " (" + message + ")";
}

std::string recordKeysFullMessage(const std::string& file, const std::string& section)
{
    return "記録の番号がいっぱいのため、記録できません: "_sj + file + " [" + section + "]。実行記録の「記録消去」で"_sj +
           "この単元の記録を消してください"_sj;
}

} // namespace

Result<int> appendRecord(const std::string& file, const std::string& section, const PracticeRecord& record)
{
    if (file.empty() || section.empty() || isPasswordSection(section)) return Result<int>::failure("記録できません"_sj);
    // The learner's files in the user's data folder get their folder with the first record.
    paths::ensureParentFolder(file);
    int key = 0;
    Status written = profile::update(file, [&](Lines& lines) -> Result<bool> {
        key = nextRecordKey(lines, section);
        // Past the last number a key can hold, a new record would take the key of the one before.
        if (key > kMaxRecordKey) return Result<bool>::failure(recordKeysFullMessage(file, section));
        profile::setEntry(lines, section, std::to_string(key), recordLine(record));
        return true;
    });
    if (!written) return Result<int>::failure(namingFile("記録を書き込めません"_sj, file, written.message()));
    return key;
}

std::vector<std::string> readRecords(const std::string& file, const std::string& section)
{
    std::vector<std::string> values;
    if (file.empty()) return values;
    auto contents = readLearnerFile(file);
    if (!contents) return values;
    if (const RecordSection* s = contents->section(section))
        for (const StoredRecord& r : s->records)
            values.push_back(r.value);
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
    Status erased = profile::eraseSection(file, section);
    if (!erased) return Status::failure(namingFile("記録を消去できません"_sj, file, erased.message()));
    return {};
}

const RecordSection* LearnerFileContents::section(const std::string& name) const
{
    for (const RecordSection& s : sections)
        if (profile::sameSectionName(s.name, name)) return &s;
    return nullptr;
}

std::string damageText(const DamagedLine& d)
{
    std::string text = std::to_string(d.line) + "行目："_sj;
    switch (d.damage) {
    case Damage::NotAnEntry:
        return text + "記録の行ではありません"_sj;
    case Damage::OutsideSection:
        return text + "見出しの前にある行です"_sj;
    case Damage::NotAKey:
        return text + "キー "_sj + d.key + " は記録の番号ではありません"_sj;
    case Damage::DuplicateKey:
        return text + "キー "_sj + d.key + " が重なっています"_sj;
    case Damage::MissingKey:
        return text + "キー "_sj + d.key + " がありません"_sj;
    case Damage::RepeatedSection:
        return text + "見出し ["_sj + d.section + "] が重なっています"_sj;
    case Damage::NotARecord:
        return text + "キー "_sj + d.key + " の記録が壊れています"_sj;
    }
    return text;
}

Result<LearnerFileContents> readLearnerFile(const std::string& file)
{
    using Kind = profile::ParsedLine::Kind;
    LearnerFileContents contents;
    const std::string real = paths::realPath(file);
    // Records are only ever replaced whole, but the lock also keeps a reader from a file that a writer on a share
    // without atomic renames is half way through. A folder where no lock file can be made (a read-only share) has no
    // writer of ours and is read as it is; a lock path that holds something else than a plain file is told, as the
    // writers tell it.
    FileLock lock(real);
    if (lock.state() == FileLock::State::Busy || lock.state() == FileLock::State::Invalid)
        return Result<LearnerFileContents>::failure(lockFailedMessage(lock, file));
    BoundedRead read = readBoundedFileAt(real, kLearnerFileLimit);
    if (read.failure == ReadFailure::Missing) return contents;
    if (read.failure == ReadFailure::TooLarge) return Result<LearnerFileContents>::failure(fileTooLargeMessage(file));
    if (!read.bytes) return Result<LearnerFileContents>::failure(file + " を読み込めません"_sj);

    const Lines lines = splitLines(*read.bytes);
    std::unordered_map<std::string, bool> seenSections; // by the name as compared, ASCII folded
    auto folded = [](std::string name) {
        for (std::size_t i = 0; i < name.size(); i += sjis::charLength(name, i))
            if (static_cast<unsigned char>(name[i]) < 0x80)
                name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
        return name;
    };
    enum class Where { Before, Password, Records, Skipped } where = Where::Before;
    bool passwordSeen = false;
    std::string current;              // the section the lines stand in
    RecordSection* records = nullptr; // while in a record section read for the first time
    std::unordered_set<int> keysSeen; // the record numbers of the section so far
    std::vector<StoredRecord> candidates;

    auto closeSection = [&]() {
        if (records == nullptr) return;
        std::sort(candidates.begin(), candidates.end(),
                  [](const StoredRecord& a, const StoredRecord& b) { return a.key < b.key; });
        // Every number below the largest names a record that is not there; a run of them is one damage ("2-9").
        int expected = 1;
        for (const StoredRecord& r : candidates) {
            if (expected < r.key) {
                std::string gap = std::to_string(expected);
                if (expected + 1 < r.key) gap += "-" + std::to_string(r.key - 1);
                contents.damaged.push_back({r.line, records->name, gap, {}, Damage::MissingKey});
            }
            expected = r.key + 1;
        }
        for (StoredRecord& r : candidates) {
            if (auto parsed = parseRecordLine(r.value)) {
                r.record = *parsed;
                records->records.push_back(std::move(r));
            } else {
                contents.damaged.push_back({r.line, records->name, std::to_string(r.key),
                                            lines[static_cast<std::size_t>(r.line - 1)], Damage::NotARecord});
            }
        }
        candidates.clear();
        keysSeen.clear();
        records = nullptr;
    };

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNo = static_cast<int>(i) + 1;
        profile::ParsedLine parsed = profile::parseLine(lines[i]);
        if (parsed.kind == Kind::Blank) continue;
        if (parsed.kind == Kind::Header) {
            closeSection();
            current = parsed.name;
            const bool first = seenSections.try_emplace(folded(parsed.name), true).second;
            if (isPasswordSection(parsed.name)) {
                where = first ? Where::Password : Where::Skipped;
            } else if (first) {
                where = Where::Records;
                contents.sections.push_back({parsed.name, 0, {}});
                records = &contents.sections.back();
            } else {
                where = Where::Skipped;
                contents.damaged.push_back({lineNo, parsed.name, {}, lines[i], Damage::RepeatedSection});
            }
            continue;
        }
        if (where == Where::Skipped) continue;
        if (where == Where::Before) {
            contents.damaged.push_back({lineNo, {}, {}, lines[i], Damage::OutsideSection});
            continue;
        }
        if (parsed.kind == Kind::Other) {
            contents.damaged.push_back({lineNo, current, {}, lines[i], Damage::NotAnEntry});
            continue;
        }
        if (where == Where::Password) {
            if (!passwordSeen && profile::sameSectionName(parsed.key, "pw")) {
                contents.password = parsed.value;
                passwordSeen = true;
            }
            continue;
        }
        ++records->keyCount;
        const int k = recordNumber(parsed.key);
        if (k == 0) {
            contents.damaged.push_back({lineNo, current, parsed.key, lines[i], Damage::NotAKey});
            continue;
        }
        if (!keysSeen.insert(k).second) {
            contents.damaged.push_back({lineNo, current, parsed.key, lines[i], Damage::DuplicateKey});
            continue;
        }
        candidates.push_back({k, lineNo, parsed.value, {}});
    }
    closeSection();
    std::stable_sort(contents.damaged.begin(), contents.damaged.end(),
                     [](const DamagedLine& a, const DamagedLine& b) { return a.line < b.line; });
    return contents;
}

Status PendingRecords::write(const std::string& file, const std::string& section, const PracticeRecord& record)
{
    pending_.push_back({file, section, record});
    writeWaiting();
    // Only this learner's file is told here: a classmate whose file cannot be written is not this learner's
    // business, and that record waits on its own.
    for (const Failure& f : failures_)
        if (f.file == file) return Status::failure(f.message);
    return {};
}

std::vector<std::string> PendingRecords::writeWaiting()
{
    failures_.clear();
    std::vector<Pending> still;
    for (Pending& p : pending_) {
        // One file's records stay in their order: after one of them fails, the later ones of that file wait too.
        const bool blocked =
            std::any_of(failures_.begin(), failures_.end(), [&](const Failure& f) { return f.file == p.file; });
        if (!blocked) {
            auto key = appendRecord(p.file, p.section, p.record);
            if (key) continue;
            failures_.push_back({p.file, key.message()});
        }
        still.push_back(std::move(p));
    }
    pending_ = std::move(still);
    std::vector<std::string> files;
    for (const Failure& f : failures_)
        files.push_back(f.file);
    return files;
}

std::string PendingRecords::lostRecordsMessage() const
{
    if (failures_.empty()) return {};
    std::string text = "書き込めなかった記録があります。次の学習者の記録は失われます："_sj;
    for (const Failure& f : failures_) {
        // The learner's name is the file's: the part after the last separator, by characters (表 ends in 5C).
        std::size_t nameStart = 0;
        for (std::size_t i = 0; i < f.file.size(); i += sjis::charLength(f.file, i))
            if (f.file[i] == '\\' || f.file[i] == '/') nameStart = i + 1;
        std::string learner = f.file.substr(nameStart);
        if (learner.size() > 4 && learner.compare(learner.size() - 4, 4, ".ini") == 0)
            learner.resize(learner.size() - 4);
        std::size_t count = 0;
        for (const Pending& p : pending_)
            count += p.file == f.file ? 1 : 0;
        text += "\n" + learner + "（"_sj + std::to_string(count) + "件）"_sj + "\n  " + f.message;
    }
    return text;
}

std::string recordKeptText()
{
    return "この記録は、次に記録するときにもう一度書き込みます"_sj;
}

} // namespace tavola

#include "courseware/index_file.h"

#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"

namespace tavola {
namespace {

const std::string kEmpty;
const Lines kNoLines;

bool startsWithBrackets(const std::string& line)
{
    return line.size() >= 2 && line[0] == '[' && line[1] == '[';
}

std::string lessonOutsideMessage(const std::string& folderAndStem)
{
    return folderAndStem + " は教材フォルダの外を指しているので読み込めません"_sj;
}

// Whether a folder or stem text of the index reaches outside the courseware folder: absolute (a separator and a
// name after it; a folder of only "\" is the courseware folder itself), a drive, or a ".." part between the
// separators ("\" and "/", found by character).
bool leavesCourseware(const std::string& text)
{
    if (text.empty()) return false;
    if (text.find_first_not_of("\\/") == std::string::npos) return false;
    if (text[0] == '\\' || text[0] == '/') return true;
    if (text.size() >= 2 && text[1] == ':') return true;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); i += i < text.size() ? sjis::charLength(text, i) : 1) {
        const bool separator =
            i == text.size() || ((text[i] == '\\' || text[i] == '/') && sjis::charLength(text, i) == 1);
        if (!separator) continue;
        if (text.compare(start, i - start, "..") == 0 && i - start == 2) return true;
        start = i + 1;
    }
    return false;
}

} // namespace

Status CoursewareIndex::readMainIndex()
{
    mainLines_.clear();
    title_.clear();
    lessonList_.clear();
    clearLesson();
    std::string path = coursewareDir_ + "Main.ind";
    auto lines = paths::fileExists(path) ? readLineFile(path) : std::nullopt;
    if (!lines) return Status::failure(fileNotFoundMessage(path));
    readMainIndexLines(std::move(*lines));
    return {};
}

void CoursewareIndex::readMainIndexLines(Lines lines)
{
    mainLines_ = std::move(lines);
    lessonList_.clear();
    // The lessons may have moved: the sections and units of the lesson read before belong to no lesson now.
    clearLesson();
    title_ = mainLines_.empty() ? std::string() : mainLines_.front();
    for (std::size_t i = 2; i < mainLines_.size(); ++i) {
        const std::string& line = mainLines_[i];
        if (line == ">>") break;
        int n = static_cast<int>(i) - 1;
        if (n > kMaxLessons) break; // the lesson tables hold 80 lessons; later lines are ignored
        // "," and "\" are found by character, so that a double-byte character whose second byte is 0x5C (表, ソ)
        // in the name or the folder is not taken for a "\".
        std::size_t comma = sjis::findChar(line, ',');
        if (comma == std::string::npos) {
            lessonList_.push_back("?");
            continue;
        }
        std::size_t slash = sjis::findChar(line, '\\');
        std::string folder;
        std::size_t stemStart;
        if (slash == std::string::npos) {
            // No "\": an empty folder, and the stem starts at the second character of the line.
            stemStart = line.empty() ? 0 : sjis::charLength(line, 0);
        } else {
            if (slash > comma) folder = line.substr(comma + 1, slash - comma);
            std::size_t afterSlash = slash + 1;
            // The one character after the "\" is a separator whose value is not checked.
            stemStart = afterSlash < line.size() ? afterSlash + sjis::charLength(line, afterSlash) : line.size();
        }
        std::string stem = stemStart < line.size() ? line.substr(stemStart) : std::string();
        refusals_[static_cast<std::size_t>(n)].clear();
        if (leavesCourseware(folder) || leavesCourseware(stem)) {
            refusals_[static_cast<std::size_t>(n)] = lessonOutsideMessage(line.substr(comma + 1));
            folder.clear();
            stem.clear();
        }
        folders_[static_cast<std::size_t>(n)] = folder;
        stems_[static_cast<std::size_t>(n)] = stem;
        lessonList_.push_back(line.substr(0, comma));
    }
}

const std::string& CoursewareIndex::lessonFolder(int n) const
{
    return (n >= 1 && n <= kMaxLessons) ? folders_[static_cast<std::size_t>(n)] : kEmpty;
}

const std::string& CoursewareIndex::lessonRefusal(int n) const
{
    return (n >= 1 && n <= kMaxLessons) ? refusals_[static_cast<std::size_t>(n)] : kEmpty;
}

const std::string& CoursewareIndex::lessonStem(int n) const
{
    return (n >= 1 && n <= kMaxLessons) ? stems_[static_cast<std::size_t>(n)] : kEmpty;
}

const Lines& CoursewareIndex::sectionUnits(int k) const
{
    return (k >= 1 && k <= kMaxSections) ? sectionUnits_[static_cast<std::size_t>(k)] : kNoLines;
}

void CoursewareIndex::clearLesson()
{
    sectionList_.clear();
    lessonLines_.clear();
    for (auto& units : sectionUnits_)
        units.clear();
    currentLesson_ = 0;
}

Status CoursewareIndex::readLesson(int n)
{
    clearLesson();
    if (!lessonRefusal(n).empty()) return Status::failure(lessonRefusal(n));
    std::string directory = coursewareDir_ + lessonFolder(n);
    if (!paths::directoryExists(directory)) return Status::failure(folderNotFoundMessage(directory));
    std::string path = directory + lessonStem(n) + ".ind";
    auto lines = paths::fileExists(path) ? readLineFile(path) : std::nullopt;
    if (!lines) return Status::failure(fileNotFoundMessage(path));
    lessonLines_ = std::move(*lines);
    currentLesson_ = n;

    const Lines& l = lessonLines_;
    int k = 0;
    std::size_t i = 0;
    // The title line is examined too: a sub-index whose first line starts "[[" opens a section there.
    while (i < l.size()) {
        if (startsWithBrackets(l[i])) {
            ++k;
            bool kept = k <= kMaxSections; // blocks past the 80th are read over but not kept
            if (kept) sectionList_.push_back(i + 1 < l.size() ? l[i + 1] : std::string());
            i += 3;
            // A block without its ">>" runs to the end of the file.
            while (i < l.size() && l[i] != ">>") {
                if (kept && sectionUnits_[static_cast<std::size_t>(k)].size() < kMaxUnits)
                    sectionUnits_[static_cast<std::size_t>(k)].push_back(l[i]);
                ++i;
            }
        }
        ++i;
    }
    return {};
}

std::string CoursewareIndex::masterFilePath(int lesson, int section) const
{
    return coursewareDir_ + lessonFolder(lesson) + lessonStem(lesson) + std::to_string(section) + ".que";
}

UnitFileNames CoursewareIndex::unitFileNames(const UnitPosition& p) const
{
    std::string suffix = "-U" + std::to_string(p.unit) + similarSuffix(p.similar);
    UnitFileNames names;
    names.masterPath = masterFilePath(p.lesson, p.section);
    names.windowKey = names.masterPath + suffix;
    names.shortKey = lessonStem(p.lesson) + std::to_string(p.section) + ".que" + suffix;
    return names;
}

std::string CoursewareIndex::figureFolder(int n) const
{
    if (n < 1) n = 1;
    std::string own = coursewareDir_ + lessonFolder(n) + "Graph\\";
    if (paths::directoryExists(own)) return own;
    std::string shared = coursewareDir_ + "Graph\\";
    if (paths::directoryExists(shared)) return shared;
    return {};
}

std::vector<std::string> similarProblemsPresent(const Lines& masterLines, int unit)
{
    std::vector<std::string> found;
    std::size_t from = 0;
    for (int r = 1; r <= kMaxSimilar; ++r) {
        std::string marker = unitRecordMarker({0, 0, unit, r});
        std::size_t i = from;
        while (i < masterLines.size() && masterLines[i] != marker)
            ++i;
        if (i >= masterLines.size()) break;
        found.push_back("類題　"_sj + std::to_string(unit) + "R" + std::to_string(r));
        from = i + 1;
    }
    return found;
}

} // namespace tavola

#pragma once
// The two levels of index files: Main.ind lists the lessons (name, folder, stem), each lesson's sub-index lists its
// sections and, per section, the lines of its units. Everything else in the courseware is found by name from them:
// master files, unit records, similar problems, the figure folder.
//
// Main.ind: line 1 title, line 2 free text, then one lesson line each ("name,folder\" separator stem) until a line
// that is exactly ">>". Sub-index: line 1 lesson title, then blocks opened by any line starting "[[": the section
// name, a skipped line, unit lines up to a line that is exactly ">>".
#include "courseware/unit_position.h"
#include "platform/line_file.h"
#include "platform/result.h"

#include <array>
#include <string>
#include <vector>

namespace tavola {

struct UnitFileNames {
    std::string masterPath; // coursewareDir + folder + stem + section + ".que"
    std::string windowKey;  // masterPath + "-U" + unit + similar suffix: the worksheet window's caption
    std::string shortKey;   // stem + section + ".que" + "-U" + unit + suffix: printed on the sheet
};

class CoursewareIndex {
public:
    // coursewareDir: a system path ending in a separator.
    explicit CoursewareIndex(std::string coursewareDir = {}) : coursewareDir_(std::move(coursewareDir)) {}

    const std::string& coursewareDir() const { return coursewareDir_; }
    void setCoursewareDir(std::string dir) { coursewareDir_ = std::move(dir); }

    // Reads Main.ind into the title, the lesson list and the lesson tables, and clears the section list and the
    // section tables (no lesson is current afterwards). Fails with "ファイル " + path + " が見つかりません" when it
    // is missing; the lesson list is then empty.
    Status readMainIndex();
    // The same from lines already in memory (the index editor's lists).
    void readMainIndexLines(Lines lines);

    const Lines& mainIndexLines() const { return mainLines_; }
    const std::string& title() const { return title_; }
    // Names shown in the lesson lists: the text before the first ",", or "?" for a line without ",".
    const std::vector<std::string>& lessonList() const { return lessonList_; }
    int lessonCount() const { return static_cast<int>(lessonList_.size()); }
    // Folder text (ending in "\") and stem of lesson n (1 … 80); empty outside the table and for a refused lesson.
    const std::string& lessonFolder(int n) const;
    const std::string& lessonStem(int n) const;
    // A lesson whose folder or stem is absolute ("\x", "/x", "C:x") or climbs out of the courseware (a ".." part)
    // would send its files, the learners' passwords and records among them, anywhere: it is refused where the index
    // is read. The refusal's message, empty for a lesson that is not refused; readLesson fails with it.
    const std::string& lessonRefusal(int n) const;

    // Reads the sub-index of lesson n into the section list and the section tables. Fails with
    // "ディレクトリ … が見つかりません", "ファイル … が見つかりません" or the lesson's refusal; the section list is
    // then empty.
    Status readLesson(int n);
    int currentLesson() const { return currentLesson_; }
    const Lines& lessonLines() const { return lessonLines_; }
    // Line 1 of the sub-index: the root of the all-units tree.
    std::string lessonTitle() const { return lessonLines_.empty() ? std::string() : lessonLines_.front(); }
    const std::vector<std::string>& sectionList() const { return sectionList_; }
    int sectionCount() const { return static_cast<int>(sectionList_.size()); }
    // The unit lines of section k (1 … 80) of the current lesson; empty outside the table.
    const Lines& sectionUnits(int k) const;
    int sectionUnitCount(int k) const { return static_cast<int>(sectionUnits(k).size()); }

    UnitFileNames unitFileNames(const UnitPosition& p) const;
    // The master file of section s of lesson n.
    std::string masterFilePath(int lesson, int section) const;
    // coursewareDir + folder(n) + "Graph\" if it exists, else coursewareDir + "Graph\" if that exists, else "".
    // n < 1 counts as 1.
    std::string figureFolder(int n) const;

private:
    void clearLesson();

    std::string coursewareDir_;
    Lines mainLines_;
    std::string title_;
    std::vector<std::string> lessonList_;
    std::array<std::string, kMaxLessons + 1> folders_;
    std::array<std::string, kMaxLessons + 1> stems_;
    std::array<std::string, kMaxLessons + 1> refusals_;
    int currentLesson_ = 0;
    Lines lessonLines_;
    std::vector<std::string> sectionList_;
    std::array<Lines, kMaxSections + 1> sectionUnits_;
};

// The similar problems present for unit u in a master file's lines: "類題　" + u + "R1", … as long as the markers
// "[[unit" + u + "R1", "R2", … up to "R5" are found in increasing order (each searched from the line after the
// previous one); the first marker not found ends the search.
std::vector<std::string> similarProblemsPresent(const Lines& masterLines, int unit);

} // namespace tavola

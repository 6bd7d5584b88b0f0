#pragma once
// The index editor's operations on one lesson's sub-index: its title (line 1), its main menu items (a "[[sect"
// line, the title, "<<", one line per sub menu item, ">>", "]]") and their sub menu items; adding and renaming
// items and writing the file back. Main.ind is read, never written. Texts are CP932 bytes.
#include "courseware/index_file.h"
#include "platform/line_file.h"
#include "platform/result.h"

#include <optional>
#include <string>
#include <vector>

namespace tavola {

// The seven lines a lesson without a sub-index starts from.
Lines subIndexTemplate();
// "変更する項目をクリックしてください", "編集する主メニューを選択してください", "編集する副メニューを選択してください".
std::string nothingToChangeMessage();
std::string noMainItemMessage();
std::string noSubItemMessage();

// A main menu item as the tree shows it: its title and its sub menu items.
struct IndexItem {
    std::string title;
    Lines subItems;
};

class IndexEditor {
public:
    // Reads Main.ind of the courseware folder into the editor's own index; fails with the existence message.
    Status readLessons(const std::string& coursewareDir);
    const CoursewareIndex& index() const { return index_; }
    // The lesson titles of Main.ind ("?" for a line without ",").
    const std::vector<std::string>& lessons() const { return index_.lessonList(); }

    // Loads the sub-index of lesson n (1-based): its lines, or the template when the file is missing.
    void loadLesson(int n);
    int lesson() const { return lesson_; }
    const std::string& path() const { return path_; }
    const Lines& lines() const { return lines_; }
    std::string title() const { return lines_.empty() ? std::string() : lines_.front(); }
    bool modified = false;

    // Every line beginning "[[" opens a main item: the next line is its title, the line three after it its first
    // sub item, and the following lines up to ">>" its further sub items.
    std::vector<IndexItem> items() const;
    // The mark the unit selection window puts before each sub item of the loaded lesson (unit_marks.h: "◎" when
    // the unit has similar problems in its master file, the number of the learner's records), computed for this
    // lesson, whichever lesson the unit selection window showed last. recordFile is the learner's data file of
    // the lesson (empty or missing: no records). Indexed like items(): [k − 1][u − 1].
    std::vector<std::vector<std::string>> unitMarks(const std::string& recordFile) const;
    // The sub items of main item k (1-based), found by the k-th "[[sect" line; nullopt when there is none
    // (the window says "not found").
    std::optional<Lines> subItemsOf(int k) const;
    // The master file of main item k and whether it exists ("未作成" otherwise).
    std::string masterFileOf(int k) const;

    // Adding and renaming; each accepted change sets the modified flag. An empty text adds nothing.
    bool addMainItem(const std::string& text);
    bool renameMainItem(int k, const std::string& text);
    bool addSubItem(int k, const std::string& text);
    bool renameSubItem(int k, int j, const std::string& text);
    void setTitle(const std::string& text);

    // OK: when modified, line 1 becomes the title, the lines are written to the sub-index whole and safely and
    // loaded again; written tells whether the file was written.
    Status save(const std::string& title, bool& written);
    // Raw editing: the edited lines are written as they are.
    Status writeRaw(const Lines& lines);

private:
    // Index of the k-th line beginning "[[sect"; nullopt when there is none.
    std::optional<std::size_t> mainLine(int k) const;
    // Index of the ">>" that closes the sub items of the main item on line at (or the end of the file).
    std::size_t subListEnd(std::size_t at) const;

    CoursewareIndex index_;
    int lesson_ = 0;
    std::string path_;
    Lines lines_;
};

} // namespace tavola

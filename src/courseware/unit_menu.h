#pragma once
// The unit selection: walking the index down from a lesson to a section, a unit line and optionally one of the
// unit's similar problems, and handing the chosen unit position back to the caller. This object holds what the
// window shows (the lists, what is chosen, the unit panel's state) and the rules of every step; the window only
// mirrors it and forwards the user's clicks.
#include "courseware/index_file.h"
#include "courseware/unit_marks.h"
#include "courseware/unit_position.h"
#include "platform/line_file.h"
#include "platform/prompts.h"

#include <functional>
#include <string>
#include <vector>

namespace tavola {

enum class MenuMode { Open, Add };

// The caption of the window in a mode: "マスターファイルを開く" / "追加ファイルを開く".
std::string menuCaption(MenuMode mode);

// What the unit selection shares with the shell: the index and the marks, the prompts, the two flags other parts
// set (the index editor sets indexChanged, the master file editor marksStale) and the learner's record file of a
// lesson (empty when there is none).
struct MenuContext {
    CoursewareIndex& index;
    UnitMarks& marks;
    Prompts& prompts;
    bool& indexChanged;
    bool& marksStale;
    std::function<std::string(int lesson)> recordFileOf;
};

// What OK hands back, besides the position.
struct MenuChoice {
    UnitPosition position;
    std::string lessonText;
    std::string sectionText;
    std::string unitText;
    bool similarSelected = false;
};

class UnitMenu {
public:
    explicit UnitMenu(MenuContext context) : ctx_(std::move(context)) {}

    // Every time the window is shown: re-reads Main.ind when the index changed (and has the similar-problem marks
    // rescanned), chooses lesson 1 and section 1 on the first showing (and after a re-read), otherwise refreshes
    // the similar problems of the chosen unit; then clears the similar-problem selection.
    void show();
    void lessonChosen(int lessonIndex);
    void sectionChosen(int sectionIndex);
    void unitChosen(int unitIndex);
    // The similar-problem list's selection changed: whether any entry is selected, and the focused entry (-1: none).
    void similarClicked(bool anySelected, int currentIndex);
    void clearSimilarSelection();
    // OK: false (after the message) when no complete choice is made; the window stays open then.
    bool ok();
    // Recounts the practice counts of the chosen lesson (rescanning the similar-problem marks when they are stale).
    UnitMarks::Outcome refreshMarks();

    // The similar problems of unit u found in the master file text last loaded ("類題　" + u + "R" + r).
    std::vector<std::string> similarProblemsOf(int unit) const { return similarProblemsPresent(tempBuffer_, unit); }

    const UnitMarks& marks() const { return ctx_.marks; }
    const MenuContext& context() const { return ctx_; }

    // What the window shows.
    const std::string& title() const { return ctx_.index.title(); }
    const std::vector<std::string>& lessons() const { return ctx_.index.lessonList(); }
    const std::vector<std::string>& sections() const { return sections_; }
    const Lines& units() const { return units_; }
    const std::vector<std::string>& similarProblems() const { return similar_; }
    const Lines& tempBuffer() const { return tempBuffer_; }
    int lessonIndex() const { return lessonIndex_; }
    int sectionIndex() const { return sectionIndex_; }
    int unitIndex() const { return unitIndex_; }
    bool similarAnySelected() const { return similarAnySelected_; }
    int similarCurrent() const { return similarCurrent_; }
    // The unit panel: red with "類題が選択されています" while a similar problem is selected.
    bool unitPanelAlert() const { return unitPanelAlert_; }
    // Set by every step that ends by focusing the unit list; the window takes it.
    bool takeFocusUnitList()
    {
        bool f = focusUnitList_;
        focusUnitList_ = false;
        return f;
    }
    // Each list's contents changed when its revision changed.
    int lessonsRevision() const { return lessonsRevision_; }
    int sectionsRevision() const { return sectionsRevision_; }
    int unitsRevision() const { return unitsRevision_; }
    int similarRevision() const { return similarRevision_; }
    int bufferRevision() const { return bufferRevision_; }

    // Section s of the unit list (the chosen section + 1), for the marks of its lines.
    int currentSection() const { return sectionIndex_ + 1; }
    // The lesson a caller means by "the lesson chosen in the lesson list": lesson 1 when none is chosen.
    int chosenLessonOrFirst() const { return lessonIndex_ >= 0 ? lessonIndex_ + 1 : 1; }

    // Lesson and section are stored while browsing (the lesson is −1 after it could not be read); unit and
    // similar problem on OK.
    const UnitPosition& lastPosition() const { return lastPosition_; }
    const MenuChoice& choice() const { return choice_; }

private:
    void readMainIndex();
    void loadMaster(int lesson, int section);
    void clearUnits();

    MenuContext ctx_;
    std::vector<std::string> sections_;
    Lines units_;
    std::vector<std::string> similar_;
    Lines tempBuffer_;
    int lessonIndex_ = -1;
    int sectionIndex_ = -1;
    int unitIndex_ = -1;
    bool similarAnySelected_ = false;
    int similarCurrent_ = -1;
    bool unitPanelAlert_ = false;
    bool focusUnitList_ = false;
    bool firstShow_ = true;
    int lessonsRevision_ = 0;
    int sectionsRevision_ = 0;
    int unitsRevision_ = 0;
    int similarRevision_ = 0;
    int bufferRevision_ = 0;
    UnitPosition lastPosition_;
    MenuChoice choice_;
};

} // namespace tavola

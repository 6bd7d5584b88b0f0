#include "courseware/unit_menu.h"

#include "platform/paths.h"
#include "platform/sjis.h"

namespace tavola {

std::string menuCaption(MenuMode mode)
{
    return mode == MenuMode::Open ? "マスターファイルを開く"_sj : "追加ファイルを開く"_sj;
}

void UnitMenu::show()
{
    if (ctx_.indexChanged) {
        readMainIndex();
        ctx_.indexChanged = false;
        firstShow_ = true;
        // The index editor may have added unit lines whose records already have similar problems; the marks of
        // units the last scan did not reach would otherwise lack their "◎" until a master file is edited.
        ctx_.marksStale = true;
    }
    if (!lessons().empty()) {
        if (firstShow_) {
            lessonChosen(0);
            if (!sections_.empty()) sectionChosen(0);
            firstShow_ = false;
        } else if (unitIndex_ >= 0) {
            unitChosen(unitIndex_);
        }
    }
    clearSimilarSelection();
}

void UnitMenu::readMainIndex()
{
    lessonIndex_ = -1;
    sections_.clear();
    sectionIndex_ = -1;
    ++sectionsRevision_;
    clearUnits();
    Status read = ctx_.index.readMainIndex();
    if (!read) ctx_.prompts.message(read.message());
    ++lessonsRevision_;
}

void UnitMenu::clearUnits()
{
    units_.clear();
    unitIndex_ = -1;
    ++unitsRevision_;
    similar_.clear();
    ++similarRevision_;
    clearSimilarSelection();
}

void UnitMenu::lessonChosen(int lessonIndex)
{
    if (lessonIndex < 0 || lessonIndex >= static_cast<int>(lessons().size())) return;
    lessonIndex_ = lessonIndex;
    int n = lessonIndex + 1;
    lastPosition_.lesson = n;
    Status read = ctx_.index.readLesson(n);
    if (!read) {
        ctx_.prompts.message(read.message());
        lastPosition_.lesson = -1;
        // The lists are emptied rather than left showing the previous lesson's sections and units: a choice made
        // from them would name a section of this lesson with another lesson's texts.
        sections_.clear();
        sectionIndex_ = -1;
        ++sectionsRevision_;
        clearUnits();
        return;
    }
    sections_ = ctx_.index.sectionList();
    ++sectionsRevision_;
    if (!sections_.empty()) {
        sectionChosen(0);
    } else {
        sectionIndex_ = -1;
        clearUnits();
    }
    refreshMarks();
}

void UnitMenu::loadMaster(int lesson, int section)
{
    tempBuffer_.clear();
    std::string path = ctx_.index.masterFilePath(lesson, section);
    if (paths::fileExists(path))
        if (auto lines = readLineFile(path)) tempBuffer_ = std::move(*lines);
    ++bufferRevision_;
}

void UnitMenu::sectionChosen(int sectionIndex)
{
    if (sectionIndex < 0 || sectionIndex >= static_cast<int>(sections_.size())) return;
    sectionIndex_ = sectionIndex;
    int s = sectionIndex + 1;
    lastPosition_.section = s;
    loadMaster(lessonIndex_ + 1, s);
    units_ = ctx_.index.sectionUnits(s);
    ++unitsRevision_;
    unitChosen(units_.empty() ? -1 : 0);
}

void UnitMenu::unitChosen(int unitIndex)
{
    unitIndex_ = (unitIndex >= 0 && unitIndex < static_cast<int>(units_.size())) ? unitIndex : -1;
    int n = lessonIndex_ + 1;
    int s = sectionIndex_ + 1;
    int u = unitIndex_ + 1;
    similar_.clear();
    if (n >= 1 && s >= 1 && paths::fileExists(ctx_.index.masterFilePath(n, s))) {
        loadMaster(n, s);
        if (u >= 1) similar_ = similarProblemsPresent(tempBuffer_, u);
    }
    ++similarRevision_;
    similarAnySelected_ = false;
    similarCurrent_ = -1;
    unitPanelAlert_ = false;
    focusUnitList_ = true;
}

void UnitMenu::similarClicked(bool anySelected, int currentIndex)
{
    similarAnySelected_ = anySelected;
    similarCurrent_ = currentIndex;
    // The panel follows the selection both ways, so that it never says a similar problem is chosen when OK would
    // open the unit itself.
    unitPanelAlert_ = anySelected;
}

void UnitMenu::clearSimilarSelection()
{
    similarAnySelected_ = false;
    similarCurrent_ = -1;
    unitPanelAlert_ = false;
}

bool UnitMenu::ok()
{
    if (lessonIndex_ < 0 || sectionIndex_ < 0 || unitIndex_ < 0) {
        ctx_.prompts.message("メニューを選択してください"_sj);
        return false;
    }
    choice_.lessonText = lessons()[static_cast<std::size_t>(lessonIndex_)];
    choice_.sectionText = sections_[static_cast<std::size_t>(sectionIndex_)];
    choice_.unitText = units_[static_cast<std::size_t>(unitIndex_)];
    // With several entries selected only the focused one counts.
    int r = 0;
    choice_.similarSelected = similarAnySelected_ && similarCurrent_ >= 0;
    if (choice_.similarSelected) r = similarCurrent_ + 1;
    lastPosition_ = {lessonIndex_ + 1, sectionIndex_ + 1, unitIndex_ + 1, r};
    choice_.position = lastPosition_;
    return true;
}

UnitMarks::Outcome UnitMenu::refreshMarks()
{
    int n = lessonIndex_ + 1;
    std::string recordFile = (n >= 1 && ctx_.recordFileOf) ? ctx_.recordFileOf(n) : std::string();
    return ctx_.marks.refresh(ctx_.index, n, recordFile, ctx_.marksStale);
}

} // namespace tavola

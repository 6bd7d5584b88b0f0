// The main window's learner side: logging a learner on through the name window, and the records viewer of the
// current lesson (from the unit selection window's 記録表示 and from the practice window).
#include "app/TfrmInputName.h"
#include "app/TfrmMain.h"
#include "app/learner_files.h"
#include "courseware/TfrmMenu.h"
#include "platform/paths.h"
#include "practice/TfrmGakkyu.h"
#include "practice/TfrmKiroku.h"
#include "server/TfrmTablet.h"
#include "practice/qt_followup_print.h"
#include "question/copy_file.h"

namespace tavola {

void TfrmMain::attachLearnerWindows(TfrmInputName* inputName, TfrmKiroku* kiroku, TfrmZenSeikai* zenSeikai)
{
    frmInputName_ = inputName;
    frmKiroku_ = kiroku;
    frmZenSeikai_ = zenSeikai;
}

InputNameContext TfrmMain::inputNameContext()
{
    return {state_,
            settings_,
            prompts_,
            nullptr,
            [this](const std::string& learner) { return learnerDataFile(state_, index_, learner, currentLesson()); },
            [this] {
                showLearnerName();
                if (frmMenu_ != nullptr) frmMenu_->refreshMarks();
            },
            [this](const std::string& learner) { return learnerPassword(state_, index_, learner, currentLesson()); }};
}

int TfrmMain::currentLesson() const
{
    return frmMenu_ != nullptr ? frmMenu_->lastPosition().lesson : state_.lastPosition.lesson;
}

void TfrmMain::btnLogOnClick()
{
    logOn();
}

bool TfrmMain::logOn()
{
    return frmInputName_ != nullptr && frmInputName_->exec() == QDialog::Accepted;
}

bool TfrmMain::showRecordsViewer()
{
    if (frmKiroku_ == nullptr) return false;
    frmKiroku_->setFormSize(size());
    int lesson = currentLesson() < 1 ? 1 : currentLesson();
    // The whole class is the teacher's to see.
    frmKiroku_->setClassRecordsOpener(state_.keyLock ? std::function<bool(int)>()
                                                     : [this](int shown) { return showClassRecords(shown); });
    frmKiroku_->setFollowupOpener([this](const std::string& learner, int shown, const std::string& file) {
        return openFollowupSheet(learner, shown, file);
    });
    return frmKiroku_->showFor(state_.learnerName, lesson, recordFileOf(lesson));
}

bool TfrmMain::showRecordsFromMenu()
{
    if (state_.learnerName.empty()) {
        logOn();
        if (state_.learnerName.empty()) return false;
    }
    return showRecordsViewer();
}

bool TfrmMain::showClassRecords(int lesson)
{
    if (state_.keyLock) return false;
    if (frmGakkyu_ == nullptr)
        frmGakkyu_ = new TfrmGakkyu(
            index_, prompts_,
            [this](const std::string& learner, int n) { return learnerDataFile(state_, index_, learner, n); }, this);
    // While the tablets practise, the table follows their records and shows who is in which unit.
    frmGakkyu_->setActivitySource([this]() -> std::optional<TfrmGakkyu::ClassActivity> {
        Classroom* room = frmTablet_ != nullptr ? frmTablet_->classroom() : nullptr;
        if (room == nullptr) return std::nullopt;
        TfrmGakkyu::ClassActivity activity{room->recordsWritten(), {}};
        for (const PupilActivity& pupil : room->activity())
            if (!pupil.recordSection.empty()) activity.working.emplace_back(pupil.learner, pupil.recordSection);
        return activity;
    });
    bool erased = frmGakkyu_->showFor(lesson < 1 ? 1 : lesson, defaultNameListPath(state_));
    if (erased && frmMenu_ != nullptr) frmMenu_->refreshMarks();
    return erased;
}

bool TfrmMain::openFollowupSheet(const std::string& learner, int lesson, const std::string& recordFile)
{
    FollowupMaker maker(index_, lesson, followupScreenLayout({}));
    const FollowupSheet sheet = maker.make(learner, recordFile);
    if (!sheet.notes.empty()) {
        std::string text;
        for (const std::string& note : sheet.notes)
            text += (text.empty() ? "" : "\n") + note;
        prompts_.message(text);
    }
    if (!sheet.made()) {
        prompts_.message(noFollowupMessage(learner));
        return false;
    }
    // A sheet already open stays as it is, with whatever the learner has done on it.
    const std::string path = copyFileFolder(index_, lesson) + followupCopyName(learner);
    if (int open = findWindow(state_, path); open >= 0) {
        activateWindow(open);
        return true;
    }
    auto saved = saveFollowupCopy(index_, lesson, sheet);
    if (!saved) {
        prompts_.error(saved.message());
        return false;
    }
    state_.showAnswers = true;
    setAnswerGlyph();
    OpenFlowContext ctx = openFlowContext();
    if (!openCopyFile(ctx, *saved, lesson) || currentWorksheet_ == nullptr) return false;
    currentWorksheet_->worksheet().changed = false;
    return true;
}

bool TfrmMain::hasFollowupSheet(int lesson) const
{
    const std::string file = recordFileOf(lesson);
    if (state_.learnerName.empty() || file.empty() || !paths::fileExists(file)) return false;
    // Without a page to fit, the problems are found and varied only.
    return FollowupMaker(index_, lesson, {}).make(state_.learnerName, file).made();
}

void TfrmMain::mnuGakkyuClick()
{
    showClassRecords(currentLesson());
}

// タブレットで学習: the classroom server for the current lesson; a teacher's command, not offered in student mode.
void TfrmMain::mnuTabletClick()
{
    if (state_.keyLock) return;
    const int lesson = currentLesson() < 1 ? 1 : currentLesson();
    if (frmTablet_ == nullptr) frmTablet_ = new TfrmTablet(learnerPlaces(state_), prompts_, this);
    const auto& lessons = index_.lessonList();
    frmTablet_->showFor(lesson, lesson <= static_cast<int>(lessons.size())
                                    ? lessons[static_cast<std::size_t>(lesson - 1)]
                                    : std::string());
}

} // namespace tavola

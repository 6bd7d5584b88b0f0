#pragma once
// The unit selection window: lesson, section and unit lists walked down to one unit, with the unit's similar
// problems, the practice counts and marks in front of the unit lines, the all-units window and the records. It
// returns a unit position; it opens nothing itself. The rules live in UnitMenu; this window mirrors it.
#include "courseware/unit_menu.h"

#include <QDialog>
#include <QSize>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

namespace tavola {

class TfrmZenTangen;

class TfrmMenu : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMenu(MenuContext context, QWidget* parent = nullptr);

    // "Open" (the main window's 開く) or "Add" (the unit reader's 追加), set before showing.
    void setSelectMode(MenuMode mode) { selectMode_ = mode; }
    // The main window's size; the window is placed at the top-left corner at that size when shown.
    void setFormSize(QSize size) { formSize_ = size; }
    // The all-units window 全単元表示 shows; without one the window makes its own.
    void setZenTangen(TfrmZenTangen* window);
    // 記録表示: the shell first has a learner registered when the learner name is empty (and gives up when it
    // stays empty), then shows the records viewer; the hook returns true when records were changed there.
    void setShowRecords(std::function<bool()> hook) { showRecords_ = std::move(hook); }
    // ふくしゅう (btnFukushu) is shown while the hook says that the learner has problems to go over in the lesson
    // chosen; choosing it closes the window with Cancel and followupChosen() set, and the caller opens the sheet.
    void setFollowupCheck(std::function<bool(int lesson)> hook) { followupCheck_ = std::move(hook); }
    bool followupChosen() const { return followupChosen_; }

    // Recounts the practice counts (rescanning the similar-problem marks when they are stale) and redraws them.
    // Called after a practice result, a learner change, the records viewer and the master file editor.
    void refreshMarks();
    // The similar problems of unit u in the master file text last loaded (the master file editor uses them).
    std::vector<std::string> similarProblemsOf(int unit) const { return menu_.similarProblemsOf(unit); }

    // After the window closed: the position (lesson and section also after Cancel; the lesson is −1 when it
    // could not be read), and on OK the texts of the chosen lines and whether a similar problem was chosen.
    const UnitPosition& lastPosition() const { return menu_.lastPosition(); }
    const MenuChoice& choice() const { return menu_.choice(); }
    bool similarSelected() const { return menu_.choice().similarSelected; }

    // The text drawn for line row of the unit list: mark + unit line + blanks to 38 bytes.
    QString unitLineDisplay(int row) const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void lstLessonClick(int row);
    void lstSectionClick(int row);
    void lstUnitClick(int row);
    void lstRuidaiClick();
    void btnRuidaiClearClick();
    void btnOkClick();
    void btnCancelClick();
    void btnZenTangenClick();
    void btnShowRecordClick();
    void btnFukushuClick();
    void updateFukushu();
    bool listKeyDown(QListWidget* list, int key);
    // A click on the line that was already the current one chooses it again (a changed line is chosen as the
    // current row changes).
    void listItemClicked(QListWidget* list, int row);
    void syncFromModel();
    void buildControls();

    UnitMenu menu_;
    MenuMode selectMode_ = MenuMode::Open;
    QSize formSize_;
    TfrmZenTangen* zenTangen_ = nullptr;
    std::function<bool()> showRecords_;
    std::function<bool(int)> followupCheck_;
    bool followupChosen_ = false;
    bool syncing_ = false;
    int lessonsShown_ = -1;
    int sectionsShown_ = -1;
    int unitsShown_ = -1;
    int similarShown_ = -1;
    int bufferShown_ = -1;
    // The list a mouse button was pressed in and its current row just before the press.
    QListWidget* pressList_ = nullptr;
    int pressRow_ = -1;

    QLabel* pnlTitle;
    QLabel* pnlLesson;
    QListWidget* lstLesson;
    QLabel* pnlSection;
    QListWidget* lstSection;
    QLabel* pnlUnit;
    QListWidget* lstUnit;
    QLabel* Label2;
    QLabel* lblRuidai;
    QListWidget* lstRuidai;
    QPushButton* btnRuidaiClear;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    QPushButton* btnZenTangen;
    QPushButton* btnShowRecord;
    QPushButton* btnFukushu;
    QListWidget* lstTempBuffer;
};

} // namespace tavola

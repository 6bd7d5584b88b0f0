#pragma once
// The all-units window: the current lesson's whole index as a tree (sections, and under each its unit lines with
// their marks), with the date and a print counter, printable as it is shown.
#include "courseware/index_file.h"
#include "courseware/unit_marks.h"

#include <QDialog>
#include <QSize>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavola {

class Clock;
class FormPrinter;
struct IndexTreeNode;

class TfrmZenTangen : public QDialog {
    Q_OBJECT
public:
    TfrmZenTangen(const CoursewareIndex& index, const UnitMarks& marks, QWidget* parent = nullptr);
    ~TfrmZenTangen() override;

    // The lesson whose sub-index the tree shows (the lesson chosen in the unit selection, 1 when none).
    void setLesson(int lesson) { lesson_ = lesson; }
    // Run before the tree is filled, so that the marks are the learner's current counts.
    void setRefreshMarks(std::function<void()> refresh) { refreshMarks_ = std::move(refresh); }
    void setClock(const Clock& clock) { clock_ = &clock; }
    // The main window's size; the window is placed at the top-left corner at that size when shown.
    void setFormSize(QSize size) { formSize_ = size; }
    // Where 印刷 prints; not owned. Without one the platform's print dialog is asked.
    void setPrinter(FormPrinter* printer) { printer_ = printer; }
    int printCounter() const { return printCounter_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormShow();
    void fillTree();
    void btnPrintClick();
    void btnCloseClick();
    void layoutControls();

    const CoursewareIndex& index_;
    const UnitMarks& marks_;
    int lesson_ = 1;
    std::function<void()> refreshMarks_;
    const Clock* clock_;
    QSize formSize_;
    FormPrinter* printer_ = nullptr;
    std::unique_ptr<FormPrinter> dialogPrinter_;
    int printCounter_ = 0;

    QTreeWidget* trvMain;
    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* btnPrint;
    QPushButton* btnClose;
};

} // namespace tavola

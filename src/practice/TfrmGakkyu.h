#pragma once
// 学級の記録: the records of every learner of a name list against every unit of one lesson, for the teacher. The
// lesson can be changed and another name list opened; a click on a cell shows that learner's records of that unit
// in a records viewer of its own; the table is exported as CSV and printed on A4 landscape. It only reads the
// learners' files (passwords are never read into it); a file that cannot be read is named under the table.
#include "platform/result.h"
#include "practice/class_records.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QTableWidget;

namespace tavola {

class CoursewareIndex;
class Prompts;
class TfrmKiroku;

class TfrmGakkyu : public QDialog {
    Q_OBJECT
public:
    // A learner's data file of lesson n; empty when the name cannot have one.
    using DataFileOf = std::function<std::string(const std::string& learner, int lesson)>;

    TfrmGakkyu(const CoursewareIndex& index, Prompts& prompts, DataFileOf dataFileOf, QWidget* parent = nullptr);
    ~TfrmGakkyu() override;

    // Shows the window modally on lesson n with the name list at the path (system path; the learner folder's
    // sname.txt). Returns true when records were erased through a records viewer opened from a cell.
    bool showFor(int lesson, const std::string& nameListPath);

    // Printing asks for the printer here; the default runs the platform's print dialog. Tests print into a PDF.
    using PrinterSetup = std::function<bool(QPrinter& printer)>;
    void setPrinterSetup(PrinterSetup setup) { printerSetup_ = std::move(setup); }

    // While pupils practise on tablets: every second the window asks how many records were written so far and who
    // works on which unit (learner and record section, CP932); a new record reads the files again, and the cell
    // of a unit a pupil is in is marked "▶".
    struct ClassActivity {
        unsigned long records = 0;
        std::vector<std::pair<std::string, std::string>> working;
    };
    using ActivitySource = std::function<std::optional<ClassActivity>()>;
    void setActivitySource(ActivitySource source) { activity_ = std::move(source); }
    // One look at the activity (the window's one-second timer).
    void timLiveTimer();

    const ClassTable& table() const { return table_; }
    int lesson() const { return lesson_; }

    bool recordsErased = false;

    QLabel* lblLesson = nullptr;
    QComboBox* cmbLesson = nullptr;
    QLabel* lblMeibo = nullptr;
    QLineEdit* edtMeibo = nullptr;
    QPushButton* btnOpenMeibo = nullptr;
    QTableWidget* grdClass = nullptr;
    QLabel* lblProblem = nullptr;
    QPlainTextEdit* memProblem = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnFukushuSheet = nullptr;
    QPushButton* btnReturn = nullptr;

public slots:
    void cmbLessonChange(int index);
    void btnOpenMeiboClick();
    void grdClassCellClick(int row, int column);
    void btnSaveClick();
    void btnPrintClick();
    // ふくしゅうシート: the follow-up sheets of the learners of the selected rows (every row when none is selected),
    // each kept as a copy file, printed through the print dialog as one document: the sheets, then their keys.
    void btnFukushuSheetClick();
    void btnReturnClick();

private:
    void loadNameList(const std::string& path);
    void rebuild();
    void fillGrid();
    void fillProblems();

    const CoursewareIndex& index_;
    Prompts& prompts_;
    DataFileOf dataFileOf_;
    PrinterSetup printerSetup_;
    std::unique_ptr<TfrmKiroku> viewer_; // the records viewer a click on a cell opens, made at the first click
    int lesson_ = 1;
    std::string nameListPath_;
    std::string nameListProblem_;
    std::vector<std::string> learners_;
    ClassTable table_;
    ActivitySource activity_;
    unsigned long recordsSeen_ = 0;
    std::vector<std::pair<int, int>> marked_; // cells marked as worked on now
};

// Paints the table on the printer's pages: as many unit columns and learner rows as fit a page, the learner names
// and the column heads repeated on every page, each unit column numbered and named whole in the page's legend.
// Returns the number of pages, or the message of a printer that could not print or a file that could not be written.
Result<int> printClassTable(const ClassTable& table, QPrinter& printer);

} // namespace tavola

#pragma once
// The master file editor window "マスターファイルの編集": one unit of a master file in seven edit areas, the answers
// extracted from the problem text, the selection list with its counts, the figure bitmaps of the lesson with a
// preview, and the buttons that enclose, number, check, make a similar problem, edit the whole file and save. The
// rules live in MasterEditor; the window shows the areas and forwards its buttons.
#include "authoring/master_editor.h"
#include "courseware/index_file.h"
#include "courseware/unit_position.h"
#include "platform/canvas.h"

#include <QDialog>
#include <QPixmap>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tavola {
class TfrmBMP;
class Prompts;
class TfrmEditSource;
struct Worksheet;

class TfrmEditQues : public QDialog {
    Q_OBJECT
public:
    // What the editor is opened for: a worksheet's unit (sheet set), or a new unit at a position.
    struct Request {
        UnitPosition position;
        Worksheet* sheet = nullptr;  // the current worksheet when opened for it
        std::string unitTitle;       // edtTangen
        std::vector<Point> segments; // the worksheet page's segment positions, where new figures go
    };
    // After a save or a cancel: the unit selection marks are stale and are refreshed.
    using MarksStale = std::function<void()>;

    TfrmEditQues(const CoursewareIndex& index, const Lines& defaultBlocks, Prompts& prompts, MarksStale marksStale,
                 QWidget* parent = nullptr);

    void attachSourceWindow(TfrmEditSource* window) { frmEditSource_ = window; }
    void attachBmpWindow(TfrmBMP* window) { frmBMP_ = window; }
    // The main window's size: the editor covers it.
    void setFormSize(QSize size) { formSize_ = size; }

    // Shows the editor modally for the request; OK after a save.
    int edit(const Request& request);
    // After OK: the unit saved (with a new similar-problem number) and whether a similar problem was made.
    const UnitPosition& position() const { return editor_.position(); }
    int newSimilar() const { return editor_.newSimilar(); }
    const MasterEditor& editor() const { return editor_; }

    // The areas.
    QPlainTextEdit* MemQues = nullptr;
    QPlainTextEdit* memKgroup = nullptr;
    QPlainTextEdit* memDummy = nullptr;
    QPlainTextEdit* memHint = nullptr;
    QPlainTextEdit* memQGraph = nullptr;
    QPlainTextEdit* memAGraph = nullptr;
    QPlainTextEdit* memPasteLo = nullptr;
    QListWidget* lstKai = nullptr;
    QListWidget* lstTempBuff = nullptr;
    QLabel* lblKosuh = nullptr;
    QLabel* lblKosuh2 = nullptr;
    QLabel* lblKosuh3 = nullptr;
    QLineEdit* edtFileName = nullptr;
    QLineEdit* edtLesson = nullptr;
    QLineEdit* edtTangen = nullptr;
    QListWidget* flbGraph = nullptr;
    QLabel* imgGraph = nullptr;
    QCheckBox* chkSuuji = nullptr;
    QCheckBox* chkKigou = nullptr;

    QPushButton* btnKai = nullptr;
    QPushButton* btnKakko = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* btnNumber = nullptr;
    QPushButton* btnTest = nullptr;
    QPushButton* btnKgAdd = nullptr;
    QPushButton* btnDummy = nullptr;
    QPushButton* btnSuuji1 = nullptr;
    QPushButton* btnKigou1 = nullptr;
    QPushButton* btnKGClear = nullptr;
    QPushButton* btnQGAdd = nullptr;
    QPushButton* btnAGAdd = nullptr;
    QPushButton* btnQGClear = nullptr;
    QPushButton* btnAGClear = nullptr;
    QPushButton* btnRuidai = nullptr;
    QPushButton* btnAutoRuidai = nullptr;
    QPushButton* btnEditDirect = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void btnKaiClick();
    void btnKakkoClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void btnNumberClick();
    bool btnTestClick();
    void btnKgAddClick();
    void btnDummyClick();
    void btnSuuji1Click();
    void btnKigou1Click();
    void btnKGClearClick();
    void btnQGAddClick();
    void btnAGAddClick();
    void btnRuidaiClick();
    void btnAutoRuidaiClick();
    void btnEditDirectClick();
    void btnOkClick();
    void btnCancelClick();
    void flbGraphClick();
    void imgGraphClick();
    // Closing otherwise (the window's close button, Esc): a changed unit is offered for saving.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void FormShow();
    void loadUnit();
    void showAreas();
    std::optional<Lines> areaLines(QPlainTextEdit* area);
    bool takeAreas();
    void setArea(QPlainTextEdit* area, const Lines& lines);
    void showCounts();
    void showPosition();
    void listFigures();
    void encloseSelection(Enclosure kind);
    void addFigures(QPlainTextEdit* area);
    bool save();
    void caretToLine(QPlainTextEdit* area, int line);

    const CoursewareIndex& index_;
    const Lines& defaultBlocks_;
    Prompts& prompts_;
    MarksStale marksStale_;
    TfrmEditSource* frmEditSource_ = nullptr;
    TfrmBMP* frmBMP_ = nullptr;
    QSize formSize_;
    Request request_;
    MasterEditor editor_;
    std::string figureFolder_;
    QPixmap preview_;
    bool loading_ = false;
    bool closing_ = false;
};

} // namespace tavola

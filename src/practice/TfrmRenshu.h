#pragma once
// The practice window: the worksheet drawn with its answers hidden, an input box over every answer box, and the
// panels of an exercise around it: the buttons on the left (pnlRenshu), the record memo (pnlKiroku) and, while an
// exercise runs, the exercise buttons, the message picture, the input pads, the box colours and the scratch pad
// on the right (pnlSS). The panels sit outside the sheet's scroll area, so they stay in view while it scrolls.
// Judging, marks, score and the order of boxes are the practice engine's; this window shows what it says.
#include "platform/prompts.h"
#include "platform/seams.h"
#include "practice/answer_entry.h"
#include "practice/practice_engine.h"
#include "practice/practice_marks.h"
#include "practice/qt_sheet_view.h"
#include "worksheet/drawing_pass.h"
#include "worksheet/figures.h"
#include "worksheet/worksheet.h"

#include <QDialog>
#include <QImage>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QKeyEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTimer;
class QWidget;

namespace tavola {

class ScratchPad;

// The practice sheet as printed: the worksheet with its pictures, the learner's entries, the marks of the last
// scoring and its score.
struct PracticeSheet {
    const Worksheet* sheet = nullptr;
    const PageLayout* layout = nullptr; // the page as the practice window shows it
    const FigurePictures* figures = nullptr;
    PictureRef classFlag;
    std::vector<PracticeBox> boxes; // slot 0 unused
    std::optional<int> score;
    int panelWidth = 0;
};

// What the practice window asks of the main window and the learner's records.
class TfrmRenshuHost {
public:
    virtual ~TfrmRenshuHost() = default;
    // The shell's options of a practice pass: school name, learner name, clock.
    virtual DrawOptions practiceDrawOptions() const = 0;
    // The main window's 別解表示 option, switched off while the window is shown.
    virtual bool alternativeAnswersOption() const = 0;
    virtual void setAlternativeAnswersOption(bool on) = 0;
    // One record after a scored practice or test; the unit selection window's counts follow.
    virtual void writePracticeRecord(const Worksheet& sheet, const ScoredExercise& result) = 0;
    // The record memo of the worksheet's unit: its label and lines.
    virtual std::pair<std::string, std::vector<std::string>> practiceRecordMemo(const Worksheet& sheet) = 0;
    // 記録表示: the records viewer.
    virtual void showPracticeRecords() = 0;
    // The all-correct window.
    virtual void showAllCorrect() = 0;
    // 印刷: the practice sheet with its marks through the print dialog; false when printing is not offered.
    virtual bool canPrintPracticeSheet() const = 0;
    virtual void printPracticeSheet(const PracticeSheet& sheet) = 0;
};

class TfrmRenshu : public QDialog, private PracticeView {
    Q_OBJECT
public:
    // The width of the left button panel; the sheet starts right of it.
    static constexpr int kButtonPanelWidth = 110;

    TfrmRenshu(TfrmRenshuHost& host, Prompts& prompts, Random& random, QWidget* parent = nullptr);
    ~TfrmRenshu() override;

    // Shows the window modally for a worksheet and its pictures; declines a page with more answers than the
    // table holds.
    void practise(Worksheet& sheet, const FigurePictures& figures, PictureRef classFlag);
    // The window's side without the modal loop (practise() runs it): build the exercise for the worksheet.
    bool prepare(Worksheet& sheet, const FigurePictures& figures, PictureRef classFlag);
    // Undoes what prepare() changed on the worksheet and the main window.
    void finish();

    PracticeEngine& engine() { return engine_; }
    const QImage& sheetPicture() const { return sheet_; }
    // The page as the window laid it out: where its boxes are, where the score goes.
    const PageLayout& pageLayout() const { return layout_; }
    QLineEdit* answerEdit(int i) const { return answerEdit_[static_cast<std::size_t>(i)]; }
    QWidget* sheetWidget() const { return imgPaper2; }
    // The sheet is shown scaled down to the width the window gives it (never up): a page pixel is this many screen
    // pixels. The sheet picture, the page layout and the engine's boxes stay in page pixels.
    double sheetScale() const { return scale_; }

    // Controls, named as the system names them.
    QWidget* pnlRenshu = nullptr;
    QWidget* pnlKiroku = nullptr;
    QWidget* pnlSS = nullptr;
    QGroupBox* grbTest = nullptr;
    QWidget* imgPaper2 = nullptr;
    QScrollArea* scrPaper = nullptr;
    QPushButton* btnRenshu = nullptr;
    QPushButton* btnFukushu = nullptr;
    QPushButton* btnTest = nullptr;
    QPushButton* btnSaiten = nullptr;
    QPushButton* btnAnswer = nullptr;
    QPushButton* btnHint = nullptr;
    QPushButton* btnAbort = nullptr;
    QPushButton* btnEnd = nullptr;
    QPushButton* btnShowRecord = nullptr;
    QPushButton* btnStartPrint = nullptr;
    QLabel* lblKiroku = nullptr;
    QPlainTextEdit* memKiroku = nullptr;
    QLabel* imgMess = nullptr;
    QLabel* imgMessXX = nullptr;
    QAction* mnuReduceHint = nullptr;
    // Answer entry.
    QWidget* pnlBunsu = nullptr;
    QLineEdit* edtSign = nullptr;
    QLineEdit* edtBunshi = nullptr;
    QLineEdit* edtBunbo = nullptr;
    QLabel* shpBunno = nullptr;
    QGroupBox* grbSelect = nullptr;
    QListWidget* lstKgroup = nullptr;
    QPushButton* btnNext2 = nullptr;
    QPushButton* btnClear2 = nullptr;
    QGroupBox* grbMoji = nullptr;
    std::array<QPushButton*, kSoftKeys> softKeys{};
    std::array<QRadioButton*, 4> radColour{};
    ScratchPad* imgMemo = nullptr;
    QTimer* timSecond = nullptr;

public slots:
    void btnRenshuClick();
    void btnFukushuClick();
    void btnTestClick();
    void btnSaitenClick();
    void btnAnswerClick();
    void btnHintClick();
    void btnAbortClick();
    void btnEndClick();
    void btnShowRecordClick();
    void btnStartPrintClick();
    void btnNext2Click();
    void imgMessClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void done(int result) override;
    void reject() override;

private:
    // PracticeView.
    void drawEntry(const std::string& text, int x, int y, Colour colour) override;
    void paintPatch(const PracticeBox& box) override;
    void drawMark(const PracticeBox& box, MarkKind kind, Colour colour) override;
    void drawScore(int score) override;
    void drawHint(const PracticeBox& box, const std::string& hint) override;
    void showAllCorrect() override;
    void writeRecord(const ScoredExercise& result) override;
    void refreshRecordMemo() override;
    void scrollToTop() override;
    void beforePrompt() override { sync(false); }

    void buildButtons();
    void buildRightPanels();
    void buildFractionPad(QWidget* parent);
    void buildChoicePanel(QWidget* parent);
    void buildSoftKeyboard(QWidget* parent);
    void buildColours(QWidget* parent);
    QPushButton* button(QWidget* parent, const char* name, const char* caption);
    // The page is laid out (boxes, score position) before it is painted on the sheet picture.
    void layoutSheet();
    void paintSheet();
    void drawSheet();
    void damage(const Rect& r);
    // The scale at which the sheet fits the scroll area's width; the sheet widget and the boxes follow it.
    void fitSheet();
    QRect onScreen(const Rect& r) const;
    MarkStyle markStyle() const;
    // The engine's state onto the controls.
    void sync(bool focus = true);
    void showMessage(QLabel* label, const MessageText& text);
    int boxOf(QObject* edit) const;
    // A click on the sheet: the focus goes back to the current box while it takes answers.
    void focusCurrentBox();
    void boxEdited(int i);
    void enterIn(int i);
    // Answer entry: the current box's text, caret at the end.
    void putInBox(const std::string& text, bool enter);
    void appendToBox(const std::string& text, bool replaceSelection);
    void showFractionPad();
    void prepareAids();
    void chooseColour(int k);

    TfrmRenshuHost& host_;
    Prompts& prompts_;
    Random& random_;
    PracticeEngine engine_;
    Worksheet* worksheet_ = nullptr;
    FigurePictures figures_;
    PictureRef classFlag_;
    QImage sheet_;
    PageLayout layout_; // the page as shown: the boxes, the score position and the metrics of the entries
    SheetDrawing drawing_{sheet_};
    std::array<QLineEdit*, kPracticeSlots> answerEdit_{};
    std::array<std::string, kPracticeSlots> lastGood_; // the last text of each box CP932 can hold
    FractionPad pad_;
    Colour boxColour_ = kBoxColours[0];
    bool alternativeWas_ = false;
    bool answersWere_ = false;
    bool syncing_ = false;
    double scale_ = 1.0;
    QWidget* left_ = nullptr; // holds pnlRenshu; hidden with it, so that the sheet has its width during an exercise
};

} // namespace tavola

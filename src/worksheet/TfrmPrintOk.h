#pragma once
// The print dialog (印刷): the printer's page size, the paper to set, the worksheet's start number, the printer
// set-up through the system print dialog, and 印刷開始, which prints the active worksheet with the print mode
// dialog's choice (print_job.h) and shows the progress of a class set. The practice window prints its marked
// sheet through it too.
#include "worksheet/drawing_pass.h"

#include <QDialog>
#include <QPrinter>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QProgressDialog;
class QPushButton;
class QSpinBox;

namespace tavola {

class PrintHost;
class Prompts;
class TfrmPrintMode;

// A page printed from another window than the worksheet's: the page, its drawing options (options.screen: the page
// as that window shows it, whose boxes the printer pages frame) and what is drawn over it.
struct PrintSource {
    const Worksheet* sheet = nullptr;
    DrawOptions options;
    PageMarks marks;
};

class TfrmPrintOk : public QDialog {
    Q_OBJECT
public:
    TfrmPrintOk(PrintHost& host, TfrmPrintMode& printMode, Prompts& prompts, QWidget* parent = nullptr);

    // The active worksheet window's page; without a worksheet window it does not open.
    int exec() override;
    // Another window's page, with the same choices: printer, copies, numbering, print mode.
    int exec(PrintSource source);

    // The printer every job goes to, kept for the whole run.
    QPrinter& printer() { return printer_; }

    QLabel* lblPWidth = nullptr;
    QLabel* lblPHeight = nullptr;
    QLabel* lblSize = nullptr;
    QSpinBox* spnStartNum = nullptr;
    // 解答を印刷する: shows on opening what 解答表示 draws on the screen and may be changed for this print; off and
    // disabled where the answers are kept off the worksheet (student mode).
    QCheckBox* chkAnswers = nullptr;
    // The print mode's choices for the copies, where the teacher prints (the same as in 印字モードの設定).
    QCheckBox* chkNumber = nullptr;
    QCheckBox* chkVariants = nullptr;  // 部ごとに問題を変える
    QCheckBox* chkAnswerKey = nullptr; // 解答ページを付ける
    QLabel* lblKept = nullptr;         // how many problems keep their numbers on every copy
    QPushButton* btnSettei = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnClose = nullptr;

private:
    void FormShow();
    void btnSetteiClick();
    void btnPrintClick();
    void spnStartNumChange(int value);
    bool runPrintDialog();
    void showPageSize();
    void enableButtons(bool on);
    // The progress of a class set; false when the user cancelled.
    bool copyDone(QProgressDialog* progress, int firstNumber, int done, int total);
    // The copy choices shown from the print mode dialog, and handed back to it when changed here.
    void showCopyChoices();
    void copyChoiceChanged();
    // What 印刷開始 prints: the source given to exec, or the active worksheet window's page as it is now.
    std::optional<PrintSource> source() const;

    PrintHost& host_;
    TfrmPrintMode& printMode_;
    Prompts& prompts_;
    QPrinter printer_{QPrinter::HighResolution};
    bool setUp_ = false;
    bool loading_ = false;
    bool allowAnswers_ = true;
    std::optional<PrintSource> given_;
};

} // namespace tavola

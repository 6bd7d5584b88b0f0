#pragma once
// The print dialog (印刷): the printer's page size, the paper to set, the worksheet's start number, the printer
// set-up through the system print dialog, and 印刷開始, which prints the active worksheet with the print mode
// dialog's choice (print_job.h) and shows the progress of a class set. Opening it switches answer-box recording
// off until the worksheet window is next activated.
#include <QDialog>
#include <QPrinter>

#include <functional>

class QCheckBox;
class QLabel;
class QProgressDialog;
class QPushButton;
class QSpinBox;

namespace tavola {

class PrintHost;
class Prompts;
class TfrmPrintMode;

class TfrmPrintOk : public QDialog {
    Q_OBJECT
public:
    TfrmPrintOk(PrintHost& host, TfrmPrintMode& printMode, Prompts& prompts, QWidget* parent = nullptr);

    // Without a worksheet window it does not open.
    int exec() override;

    // The printer every job goes to, kept for the whole run.
    QPrinter& printer() { return printer_; }
    bool printerSetUp() const { return setUp_; }

    QLabel* lblPWidth = nullptr;
    QLabel* lblPHeight = nullptr;
    QLabel* lblSize = nullptr;
    QSpinBox* spnStartNum = nullptr;
    // 解答を印刷する: shows on opening what 解答表示 draws on the screen and may be changed for this print; off and
    // disabled where the answers are kept off the worksheet (student mode).
    QCheckBox* chkAnswers = nullptr;
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

    PrintHost& host_;
    TfrmPrintMode& printMode_;
    Prompts& prompts_;
    QPrinter printer_{QPrinter::HighResolution};
    bool setUp_ = false;
    bool loading_ = false;
    bool allowAnswers_ = true;
};

} // namespace tavola

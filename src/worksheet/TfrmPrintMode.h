#pragma once
// The print mode dialog (印字モードの設定): the screen page as a picture or a drawing pass at the printer's
// resolution, numbering of the copies and the number of the next copy. Closing it stores "PrintMode" and redraws
// the active worksheet. One dialog for the whole run: the print dialog reads its choice.
#include "worksheet/print_job.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tavola {

class PrintHost;
class Prompts;
class SettingsStore;

class TfrmPrintMode : public QDialog {
    Q_OBJECT
public:
    TfrmPrintMode(PrintHost& host, SettingsStore& settings, Prompts& prompts, QWidget* parent = nullptr);

    // "プリンタの解像度で印刷する" when printerMode, otherwise "画面に忠実に印刷する" (the stored mode at start-up).
    void selectMode(bool printerMode);
    // The mode, numbering, start number, variants and answer key chosen; copies 1.
    PrintRequest request() const;
    // The number of the next copy, counted up while printing and set back to 1 afterwards.
    void setStart(int number);
    // The choices for the copies as the print dialog shows them too: numbering, 部ごとに問題を変える,
    // 解答ページを付ける.
    void setCopyChoices(bool numbering, bool variants, bool answerKey);

    QRadioButton* radDisplay = nullptr;
    QRadioButton* radPrinter = nullptr;
    QCheckBox* chkNumber = nullptr;
    QCheckBox* chkVariants = nullptr;  // 部ごとに問題を変える
    QCheckBox* chkAnswerKey = nullptr; // 解答ページを付ける
    QSpinBox* spnStart = nullptr;
    // With 部ごとに問題を変える: how many problems of the active worksheet keep their numbers on every copy.
    QLabel* lblKept = nullptr;
    QPushButton* btnClose = nullptr;

protected:
    void done(int result) override;

    void showEvent(QShowEvent* event) override;

private:
    void frmClose();
    void showKept();

    PrintHost& host_;
    SettingsStore& settings_;
    Prompts& prompts_;
};

} // namespace tavola

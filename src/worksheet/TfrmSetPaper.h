#pragma once
// The paper and options dialog (用紙サイズとオプションの設定): the paper (only A4 can be chosen) and the three header
// options class flag, date line and number line. OK applies the paper through the main window, stores its width
// as "PaperSize", writes the option bits into the active worksheet and redraws it.
#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace tavola {

class PrintHost;
class Prompts;
class SettingsStore;

class TfrmSetPaper : public QDialog {
    Q_OBJECT
public:
    TfrmSetPaper(PrintHost& host, SettingsStore& settings, Prompts& prompts, QWidget* parent = nullptr);

    // Loads the active worksheet's paper and option bits and runs modally; without a worksheet it does not open.
    int exec() override;

    std::array<QRadioButton*, 4> rdbPaper{}; // rdbB5, rdbA4, rdbB4, rdbA3
    QCheckBox* chkClassFlag = nullptr;
    QCheckBox* chkJisshibi = nullptr;
    QCheckBox* chkPrinted = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void FormShow();
    void btnOkClick();

    PrintHost& host_;
    SettingsStore& settings_;
    Prompts& prompts_;
};

} // namespace tavola

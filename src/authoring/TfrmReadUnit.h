#pragma once
// The copy edit dialog (Tavola - コピーファイルの編集): the title, school line, name line and problem lines of the
// active worksheet, for a teacher who makes a worksheet of his own before saving it as a copy file. OK checks the
// layout blocks, gives the worksheet the edited lines back (it no longer holds a master unit and counts as
// changed) and redraws it; ｷｬﾝｾﾙ changes nothing.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tavola {

class Prompts;
class WorksheetHost;

class TfrmReadUnit : public QDialog {
    Q_OBJECT
public:
    TfrmReadUnit(WorksheetHost& host, Prompts& prompts, QWidget* parent = nullptr);

    // Loads the active worksheet and runs modally; without a worksheet it does not open.
    int exec() override;

    QLineEdit* edtTangen = nullptr;
    QLineEdit* edtSchool = nullptr;
    QLineEdit* edtShimei = nullptr;
    QPlainTextEdit* redQues = nullptr;
    QLineEdit* edtNQues = nullptr;
    QPlainTextEdit* memQGraph = nullptr;
    QPlainTextEdit* memAGraph = nullptr;
    QPlainTextEdit* memData = nullptr;
    QLabel* lblBanner = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void FormShow();
    void btnOkClick();

    WorksheetHost& host_;
    Prompts& prompts_;
};

} // namespace tavola

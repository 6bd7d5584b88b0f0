#pragma once
// Raw editing of a whole courseware file (a master file or a sub-index): the file's lines in one editing area
// that fills the window, the caret at the beginning, OK, Cancel and help.
#include "platform/line_file.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace tavola {
class Prompts;

class TfrmEditSource : public QDialog {
    Q_OBJECT
public:
    using HelpOpener = std::function<void(int topic)>;
    TfrmEditSource(Prompts& prompts, HelpOpener help, QWidget* parent = nullptr);

    // Shows the lines with caption "ソースの直接編集" + path; the edited lines on OK, nullopt on Cancel.
    std::optional<Lines> edit(const Lines& lines, const std::string& path, int helpTopic);

    QPlainTextEdit* memSource = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

private:
    void btnOkClick();

    Prompts& prompts_;
    HelpOpener help_;
    int helpTopic_ = 0;
    Lines result_;
};

} // namespace tavola

#pragma once
// The line-input window of the index editor: one memo, OK and Cancel. "mainADD" and "subADD" open it empty,
// "mainCHANGE" and "subCHANGE" with the item's text, all selected. Enter acts as OK. The result is the memo's first
// line, as CP932 bytes; a text CP932 cannot hold is refused with a message.
#include <QDialog>

#include <optional>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace tavola {
class Prompts;

class TfrmInputText : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInputText(Prompts& prompts, QWidget* parent = nullptr);

    // Shows the window modally in a mode with a starting text; the first line on OK, nullopt on Cancel.
    std::optional<std::string> input(const std::string& mode, const std::string& text = {});
    const std::string& mode() const { return mode_; }

    QPlainTextEdit* memInput = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void btnOkClick();

    Prompts& prompts_;
    std::string mode_;
    std::string result_;
};

} // namespace tavola

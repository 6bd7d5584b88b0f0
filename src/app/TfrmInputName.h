#pragma once
// The name window (名前登録): the learner picks a name from the name list or types a new one, the list can be
// extended, trimmed, opened from another file and saved, and OK logs the learner on (through the password window
// unless the name is the common learner "共通"). The list is reloaded from the learner folder at every showing, so
// changes that were not confirmed with OK are lost on cancel.
#include "app/learner_files.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tavola {

class TfrmPassword;

class Prompts;
class SettingsStore;
struct ShellState;

// What the name window needs of the shell.
struct InputNameContext {
    ShellState& state;
    SettingsStore& settings;
    Prompts& prompts;
    TfrmPassword* password; // set once the password window is made
    // The data file of a learner for the current lesson.
    std::function<std::string(const std::string& learner)> dataFileOf;
    // After a log-on: the main window shows the name and the unit selection recounts its marks.
    std::function<void()> learnerChanged;
    // The password a learner logs on with in the current lesson, found in the other lessons when this lesson's file
    // has none (learnerPassword); without it only the current lesson's file is asked.
    std::function<LearnerPassword(const std::string& learner)> passwordOf;
};

class TfrmInputName : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInputName(InputNameContext context, QWidget* parent = nullptr);

    const NameList& nameList() const { return list_; }
    void setPasswordWindow(TfrmPassword* window) { ctx_.password = window; }

    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edtName = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* lstName = nullptr;
    QLineEdit* edtMeibo = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnLogOff = nullptr;

public slots:
    void btnAddClick();
    void btnDeleteClick();
    void BitBtn1Click();
    void btnSaveClick();
    void btnOkClick();
    // ログオフ: the common learner "共通" takes over, so that the next child does not work under this one's name.
    void btnLogOffClick();
    void lstNameClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // キャンセル, Esc and the title bar: names added or deleted are not dropped without a question.
    void reject() override;

private:
    void showList();
    void openList(const std::string& path);
    // 追加 of the typed name: the name in CP932, or nullopt (after the message) when it cannot be a name.
    std::optional<std::string> addTypedName();

    InputNameContext ctx_;
    NameList list_;
};

} // namespace tavola

#pragma once
// The school-name dialog: the text printed on the school line of every worksheet. It is filled with the stored
// name only while a worksheet is open; otherwise it keeps what it last held. OK stores the name and writes the
// setting "theSchool".
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tavola {

struct ShellState;
class SettingsStore;
class Prompts;

class TfrmJuku : public QDialog {
    Q_OBJECT
public:
    TfrmJuku(ShellState& state, SettingsStore& settings, Prompts& prompts, QWidget* parent = nullptr);

    QLineEdit* edtSchool = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void btnOKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ShellState& state_;
    SettingsStore& settings_;
    Prompts& prompts_;
};

} // namespace tavola

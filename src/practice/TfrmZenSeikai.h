#pragma once
// The all-correct window: a yellow panel with "全問正解です" between two rows of red stars, centred on the screen.
#include <QDialog>

class QLabel;
class QPushButton;

namespace tavola {

class TfrmZenSeikai : public QDialog {
    Q_OBJECT
public:
    explicit TfrmZenSeikai(QWidget* parent = nullptr);

    QLabel* lblStarsTop = nullptr;
    QLabel* lblMessage = nullptr;
    QLabel* lblStarsBottom = nullptr;
    QPushButton* btnOk = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tavola

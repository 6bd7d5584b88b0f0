#pragma once
// The version window: the program's icon, name and version, and who publishes it.
#include <QDialog>

class QPushButton;

namespace tavola {

class TfrmVersion : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVersion(QWidget* parent = nullptr);

    QPushButton* btnClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tavola

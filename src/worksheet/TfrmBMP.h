#pragma once
// The enlarged picture window "Loupe 拡大表示": a figure shown at its own size on white, with its width and height.
#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;

namespace tavola {

class TfrmBMP : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBMP(QWidget* parent = nullptr);

    // Shows the picture modally at the screen's top left.
    void showPicture(const QPixmap& picture);

    QLabel* imgBMP = nullptr;
    QLabel* lblXW = nullptr;
    QLabel* lblYH = nullptr;
    QPushButton* btnClose = nullptr;
};

} // namespace tavola

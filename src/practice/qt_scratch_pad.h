#pragma once
// The scratch pad of the practice window: the left button draws in red, any other button erases with a white pen
// 10 pixels wide, a double-click wipes the pad. Nothing on it is kept.
#include <QImage>
#include <QPoint>
#include <QWidget>

namespace tavola {

class ScratchPad : public QWidget {
    Q_OBJECT
public:
    explicit ScratchPad(QWidget* parent = nullptr);

    // The pad as the practice window shows it: wiped, then the three usage lines.
    void clearWithUsage();
    // A double-click: a blank pad with its one hint line.
    void wipe();

    void imgMemoMouseDown(Qt::MouseButton button, QPoint at);
    void imgMemoMouseMove(QPoint at);
    void imgMemoMouseUp(QPoint at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void lineTo(QPoint to);
    void write(int x, int y, int sizePt, const char* utf8);

    QImage picture_;
    bool penDown_ = false;
    bool erasing_ = false;
    QPoint last_;
};

} // namespace tavola

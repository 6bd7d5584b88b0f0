#include "practice/qt_scratch_pad.h"

#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_cursors.h"
#include "platform/sjis.h"
#include "practice/practice_marks.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace tavola {

ScratchPad::ScratchPad(QWidget* parent) : QWidget(parent)
{
    setObjectName("imgMemo");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(100, 80);
    setCursor(cursorOf(CursorSlot::Cross));
}

void ScratchPad::wipe()
{
    picture_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    picture_.fill(Qt::white);
    penDown_ = false;
    write(10, 5, 8, "    マウスで線が描けます");
    update();
}

void ScratchPad::clearWithUsage()
{
    wipe();
    write(10, 33, 12, "左ボタン：描く");
    write(10, 50, 12, "右ボタン：消す");
    write(10, 67, 12, "ダブルクリック：全部消す");
    setCursor(cursorOf(CursorSlot::Cross));
    update();
}

void ScratchPad::write(int x, int y, int sizePt, const char* utf8)
{
    QtCanvas canvas(picture_);
    useTextFont(canvas, "ＭＳ Ｐゴシック"_sj, sizePt, colours::Black);
    canvas.textOut(x, y, sjis::encode(utf8));
}

void ScratchPad::lineTo(QPoint to)
{
    QPainter painter(&picture_);
    QPen pen(erasing_ ? Qt::white : Qt::red, erasing_ ? 10 : 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.drawLine(last_, to);
    last_ = to;
    update();
}

void ScratchPad::imgMemoMouseDown(Qt::MouseButton button, QPoint at)
{
    erasing_ = button != Qt::LeftButton;
    if (erasing_) {
        setCursor(cursorOf(CursorSlot::Scissors));
        // The new shape shows at once, without waiting for the pointer to move.
        QCursor::setPos(QCursor::pos());
    } else {
        setCursor(cursorOf(CursorSlot::Cross));
    }
    penDown_ = true;
    last_ = at;
}

void ScratchPad::imgMemoMouseMove(QPoint at)
{
    if (penDown_) lineTo(at);
}

void ScratchPad::imgMemoMouseUp(QPoint at)
{
    setCursor(cursorOf(CursorSlot::Cross));
    if (penDown_) lineTo(at);
    penDown_ = false;
}

void ScratchPad::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, picture_);
}

void ScratchPad::resizeEvent(QResizeEvent*)
{
    if (picture_.size() != size()) clearWithUsage();
}

void ScratchPad::mousePressEvent(QMouseEvent* event)
{
    imgMemoMouseDown(event->button(), event->position().toPoint());
}

void ScratchPad::mouseMoveEvent(QMouseEvent* event)
{
    imgMemoMouseMove(event->position().toPoint());
}

void ScratchPad::mouseReleaseEvent(QMouseEvent* event)
{
    imgMemoMouseUp(event->position().toPoint());
}

void ScratchPad::mouseDoubleClickEvent(QMouseEvent*)
{
    wipe();
}

} // namespace tavola

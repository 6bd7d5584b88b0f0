#include "worksheet/TfrmPrint.h"

#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_text.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace tavola {

namespace {

// How much of a figure (pixels each way) stays on the page when it is dragged past the right or bottom edge.
constexpr int kFigureGrip = 16;

// The page picture; its mouse events go to the worksheet window.
class PagePicture : public QWidget {
public:
    PagePicture(TfrmPrint& owner, QWidget* parent) : QWidget(parent), owner_(owner)
    {
        setObjectName("imgPage");
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, owner_.pagePicture());
        owner_.paintOverlay(painter);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        owner_.imgPageMouseDown(event->button(), event->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* event) override { owner_.imgPageMouseMove(event->position().toPoint()); }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        owner_.imgPageMouseUp(event->button(), event->position().toPoint());
    }

private:
    TfrmPrint& owner_;
};

// A frame through the pixels x1 … x2 and y1 … y2 (a stroked QRect covers its size plus the pen).
QRect frameThrough(int x1, int y1, int x2, int y2)
{
    return QRect(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1));
}

// Dotted and inverting what lies under it, so that drawing it twice restores the page.
void drawInvertingFrame(QPainter& painter, const QRect& frame)
{
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.restore();
}

} // namespace

TfrmPrint::TfrmPrint(TfrmPrintHost& host, Worksheet sheet, FigurePictures figures, PictureRef classFlag,
                     QWidget* parent)
    : QWidget(parent), host_(host), sheet_(std::move(sheet)), figures_(std::move(figures)),
      classFlag_(std::move(classFlag))
{
    setObjectName("frmPrint");
    setAttribute(Qt::WA_DeleteOnClose, false); // the document area's child window frees it
    scrollArea_ = new QScrollArea(this);
    scrollArea_->setObjectName("scrPage");
    scrollArea_->setBackgroundRole(QPalette::Dark);
    pictures_ = new QWidget;
    imgPage_ = new PagePicture(*this, pictures_);
    imgReduced_ = new QLabel(pictures_);
    imgReduced_->setObjectName("imgReduced");
    imgReduced_->setScaledContents(true);
    imgReduced_->setFrameShape(QFrame::Box);
    imgReduced_->hide();
    scrollArea_->setWidget(pictures_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollArea_);
    setCaption(sheet_.windowKey);
    buildMenus();
}

TfrmPrint::~TfrmPrint() = default;

void TfrmPrint::buildMenus()
{
    mnuFile = new QMenu(sysText("ファイル(&F)"), this);
    mnuFile->setObjectName("mnuPrintFile");
    mnuOpenMaster = commandItem(mnuFile, "mnuOpenMaster", "開く(&O)", WorksheetCommand::OpenMaster);
    // The main window's ファイル menu gives way to this one: its way back to the saved copies stays here.
    mnuOpenCopy = commandItem(mnuFile, "mnuPrintOpenCopy", "コピーファイルを開く(&K)", WorksheetCommand::OpenCopy);
    mnuSaveMaster = commandItem(mnuFile, "mnuSaveMaster", "上書き保存(&S)", WorksheetCommand::SaveMaster);
    mnuPrint = commandItem(mnuFile, "mnuPrint", "印刷(&P)", WorksheetCommand::Print);
    mnuClose = mnuFile->addAction(sysText("閉じる(&C)"), this, &TfrmPrint::mnuCloseClick);
    mnuClose->setObjectName("mnuClose");
    mnuExit = commandItem(mnuFile, "mnuExit", "終了(&X)", WorksheetCommand::Exit);
    connect(mnuFile, &QMenu::aboutToShow, this, &TfrmPrint::mnuFilePopup);

    mnuEdit = new QMenu(sysText("編集(&E)"), this);
    mnuEdit->setObjectName("mnuPrintEdit");
    mnuEditIndex = commandItem(mnuEdit, "mnuEditIndex", "目次作成(&C)", WorksheetCommand::EditIndex);
    mnuJuku = commandItem(mnuEdit, "mnuJuku", "学校名・塾名(&J)", WorksheetCommand::Juku);
    // The class's records stay reachable while a worksheet's menus stand in for the main window's.
    mnuGakkyu = commandItem(mnuEdit, "mnuGakkyu", "学級の記録(&G)", WorksheetCommand::Gakkyu);
    mnuEditMaster = commandItem(mnuEdit, "mnuEditMaster", "編集(&E)", WorksheetCommand::EditMaster);
    mnuToClipBoard = mnuEdit->addAction(sysText("ｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰ(&B)"), this, &TfrmPrint::mnuToClipBoardClick);
    mnuToClipBoard->setObjectName("mnuToClipBoard");
    // A worksheet made of several units, and its own text, before it is saved as a copy file.
    mnuEdit->addSeparator();
    mnuAddUnit = commandItem(mnuEdit, "mnuAddUnit", "単元の追加(&A)", WorksheetCommand::AddUnit);
    mnuEditCopy = commandItem(mnuEdit, "mnuEditCopy", "コピーファイルの編集(&T)", WorksheetCommand::EditCopy);

    mnuView = new QMenu(sysText("表示(&V)"), this);
    mnuView->setObjectName("mnuPrintView");
    mnuKaitou = commandItem(mnuView, "mnuKaitou", "解答表示(&A)", WorksheetCommand::Answers);
    mnuKaitou->setCheckable(true);
    mnuKaitou->setChecked(sheet_.settings.answersShown);
    connect(mnuView, &QMenu::aboutToShow, this, &TfrmPrint::mnuViewPopup);

    mnuSettings = new QMenu(sysText("設定(&C)"), this);
    mnuSettings->setObjectName("mnuPrintSettings");
    mnuSetPrinter = commandItem(mnuSettings, "mnuSetPrinter", "印字モードの設定(&P)", WorksheetCommand::SetPrinter);
    mnuSetKran = commandItem(mnuSettings, "mnuSetKran", "解答欄の設定(&K)", WorksheetCommand::SetKran);
    mnuSetPaper =
        commandItem(mnuSettings, "mnuSetPaper", "用紙サイズとオプションの設定(&S)", WorksheetCommand::SetPaper);
}

QAction* TfrmPrint::commandItem(QMenu* menu, const char* name, const char* caption, WorksheetCommand command)
{
    QAction* item = menu->addAction(sysText(caption), this, [this, command] {
        host_.worksheetCommand(*this, command);
        // The answers item mirrors the worksheet, whatever the command made of it.
        mnuKaitou->setChecked(sheet_.settings.answersShown);
    });
    item->setObjectName(name);
    return item;
}

void TfrmPrint::setCaption(const std::string& key)
{
    setWindowTitle(toQString(key));
}

// ---- drawing ----

DrawOptions TfrmPrint::drawOptions() const
{
    DrawOptions options = host_.worksheetDrawOptions();
    options.classFlag = classFlag_;
    options.figures = &figures_;
    return options;
}

std::vector<std::string> TfrmPrint::redraw()
{
    DrawOptions options = drawOptions();
    // A figure being moved is left off the page while its outline follows the cursor.
    FigurePictures shown;
    if (movingFigure_ > 0) {
        shown = figures_;
        auto k = static_cast<std::size_t>(movingFigure_ - 1);
        if (k < shown.problem.size()) shown.problem[k] = nullptr;
        if (k < shown.answer.size()) shown.answer[k] = nullptr;
        options.figures = &shown;
    }
    const int width = std::clamp(sheet_.settings.paper.width, 1, kMaxPictureSide);
    const int height = std::clamp(sheet_.settings.paper.height, 1, kMaxPictureSide);
    if (page_.width() != width || page_.height() != height) page_ = QImage(width, height, QImage::Format_RGB32);
    {
        QtCanvas canvas(page_);
        layout_ = layoutPage(sheet_, canvas, options);
    }
    // Lines that run past the paper's bottom would be cut off on paper: the picture grows to show them below a
    // dotted line where the paper ends, and the teacher is told once, when the page starts to run over.
    std::vector<std::string> messages = layout_.messages;
    const bool runsOff = layout_.runsOffPage();
    if (runsOff) {
        page_ = QImage(width, std::clamp(layout_.contentBottom + 10, height, kMaxPictureSide), QImage::Format_RGB32);
        page_.fill(Qt::white);
        if (!ranOff_) messages.push_back(pageRunsOffMessage());
    }
    ranOff_ = runsOff;
    {
        QtCanvas canvas(page_);
        paintPage(layout_, canvas);
        if (runsOff) {
            canvas.pen = PenSpec{colours::Red, 1, PenMode::Copy, PenStyle::Dot};
            canvas.line(0, height, width, height);
        }
    }
    adoptFigurePositions(sheet_, layout_);
    mnuKaitou->setChecked(sheet_.settings.answersShown);
    layoutPictures();
    imgPage_->update();
    return messages;
}

void TfrmPrint::layoutPictures()
{
    imgPage_->setFixedSize(page_.size());
    if (reduced_) {
        imgReduced_->setPixmap(
            QPixmap::fromImage(page_.scaled(imgReduced_->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
        pictures_->setFixedSize(imgReduced_->size());
    } else {
        pictures_->setFixedSize(page_.size());
    }
}

void TfrmPrint::setReducedView(bool on, int width, int height)
{
    reduced_ = on;
    if (on) {
        imgReduced_->setFixedSize(std::max(1, width), std::max(1, height));
        // A move or a rubber band in progress ends with the page picture.
        movingFigure_ = 0;
        banding_ = false;
    }
    imgPage_->setVisible(!on);
    imgReduced_->setVisible(on);
    layoutPictures();
}

// ---- scrolling ----

void TfrmPrint::scrollTo(int position)
{
    scrollArea_->verticalScrollBar()->setValue(position);
}

int TfrmPrint::pictureHeight() const
{
    return pictures_->height();
}

int TfrmPrint::frameHeight() const
{
    return parentWidget() != nullptr ? parentWidget()->height() : height();
}

int TfrmPrint::pageViewWidth() const
{
    return pictures_->width() + 2 * scrollArea_->frameWidth() + scrollArea_->verticalScrollBar()->sizeHint().width();
}

void TfrmPrint::scrollToTop()
{
    scrollArea_->verticalScrollBar()->setValue(0);
}

int TfrmPrint::scrollPosition() const
{
    return scrollArea_->verticalScrollBar()->value();
}

// ---- selection and moving figures ----

void TfrmPrint::setSelection(const std::array<int, 4>& rect)
{
    selection_ = rect;
    selectionPending_ = true;
    imgPage_->update();
    host_.worksheetSelectionChanged(*this);
}

void TfrmPrint::clearSelection()
{
    if (!selectionPending_) return;
    selectionPending_ = false;
    selection_ = {};
    imgPage_->update();
    host_.worksheetSelectionChanged(*this);
}

int TfrmPrint::figureAt(QPoint at) const
{
    // The figure drawn last lies on top.
    for (int k = static_cast<int>(layout_.figures.size()); k >= 1; --k) {
        const PlacedFigure& figure = layout_.figures[static_cast<std::size_t>(k - 1)];
        if (figure.picture == nullptr) continue;
        const Rect& r = figure.rect;
        if (at.x() >= r.left && at.x() < r.right && at.y() >= r.top && at.y() < r.bottom) return k;
    }
    return 0;
}

QPoint TfrmPrint::clampToPage(QPoint at) const
{
    return {std::clamp(at.x(), 0, page_.width() - 1), std::clamp(at.y(), 0, page_.height() - 1)};
}

void TfrmPrint::imgPageMouseDown(Qt::MouseButton button, QPoint at)
{
    if (reduced_ || movingFigure_ > 0 || banding_) return;
    const int k = figureAt(at);
    if (button == Qt::RightButton) {
        if (k == 0) return;
        const Rect& r = layout_.figures[static_cast<std::size_t>(k - 1)].rect;
        setSelection({r.left - 1, r.top - 1, r.right, r.bottom});
        return;
    }
    if (button != Qt::LeftButton) return;
    clearSelection();
    if (k > 0) {
        const Rect& r = layout_.figures[static_cast<std::size_t>(k - 1)].rect;
        movingFigure_ = k;
        movingRect_ = QRect(r.left, r.top, r.width(), r.height());
        moveStart_ = moveNow_ = at;
        redraw();
        return;
    }
    banding_ = true;
    bandStart_ = bandNow_ = clampToPage(at);
    imgPage_->update();
}

void TfrmPrint::imgPageMouseMove(QPoint at)
{
    if (movingFigure_ > 0) {
        moveNow_ = at;
        imgPage_->update();
    } else if (banding_) {
        bandNow_ = clampToPage(at);
        imgPage_->update();
    }
}

void TfrmPrint::imgPageMouseUp(Qt::MouseButton button, QPoint at)
{
    if (button != Qt::LeftButton) return;
    if (movingFigure_ > 0) {
        const int k = movingFigure_;
        const QPoint travel = at - moveStart_;
        movingFigure_ = 0;
        // An x below 1 would mean "not placed yet" and send the figure back to its line on the next pass. Past the
        // right or bottom edge the figure would be out of reach: a corner of it stays on the page to be taken back.
        const int gripWidth = std::clamp(movingRect_.width(), 1, kFigureGrip);
        const int gripHeight = std::clamp(movingRect_.height(), 1, kFigureGrip);
        const int x = std::clamp(movingRect_.left() + travel.x(), 1, std::max(1, page_.width() - gripWidth));
        const int y = std::clamp(movingRect_.top() + travel.y(), 0, std::max(0, page_.height() - gripHeight));
        setFigurePosition(sheet_.graph, k, x, y);
        sheet_.changed = true;
        redraw();
    } else if (banding_) {
        banding_ = false;
        bandNow_ = clampToPage(at);
        setSelection({bandStart_.x(), bandStart_.y(), bandNow_.x(), bandNow_.y()});
    }
}

void TfrmPrint::paintOverlay(QPainter& painter) const
{
    if (movingFigure_ > 0) {
        const QRect moved = movingRect_.translated(moveNow_ - moveStart_);
        drawInvertingFrame(painter, frameThrough(moved.left() - 1, moved.top() - 1, moved.left() + moved.width(),
                                                 moved.top() + moved.height()));
    }
    if (banding_) drawInvertingFrame(painter, frameThrough(bandStart_.x(), bandStart_.y(), bandNow_.x(), bandNow_.y()));
    if (selectionPending_)
        drawInvertingFrame(painter, frameThrough(selection_[0], selection_[1], selection_[2], selection_[3]));
}

// ---- menus ----

void TfrmPrint::mnuFilePopup()
{
    mnuSaveMaster->setEnabled(sheet_.master);
}

void TfrmPrint::mnuViewPopup()
{
    mnuKaitou->setEnabled(host_.answerCommandEnabled());
    mnuKaitou->setChecked(sheet_.settings.answersShown);
}

void TfrmPrint::mnuCloseClick()
{
    if (parentWidget() != nullptr)
        parentWidget()->close();
    else
        close();
}

void TfrmPrint::mnuToClipBoardClick()
{
    host_.putPictureOnClipboard(page_);
}

// ---- closing ----

void TfrmPrint::closeEvent(QCloseEvent* event)
{
    if (!host_.worksheetCloseQuery(*this)) {
        event->ignore();
        return;
    }
    event->accept();
    host_.worksheetClosed(*this);
}

} // namespace tavola

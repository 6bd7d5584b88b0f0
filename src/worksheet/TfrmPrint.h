#pragma once
// The worksheet window: a child window of the main window's document area holding one worksheet document. It
// shows the page picture (one pixel per layout unit, drawn by the screen pass) in a scroll area, or the reduced
// view in its place; it moves figures with the mouse, selects a figure or a dragged rectangle for the main
// window's copy command, and offers its menus, which the main window merges into its menu bar while the window is
// active. Every command of its menus forwards to the main window through TfrmPrintHost.
#include "worksheet/drawing_pass.h"
#include "worksheet/figures.h"
#include "worksheet/worksheet.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPainter;
class QScrollArea;

namespace tavola {

class TfrmPrint;

// The main window's commands the worksheet window's menu items lead to.
enum class WorksheetCommand {
    OpenMaster, // 開く(&O)
    OpenCopy,   // コピーファイルを開く(&K)
    SaveMaster, // 上書き保存(&S)
    Print,      // 印刷(&P)
    Exit,       // 終了(&X)
    EditIndex,  // 目次作成(&C)
    Juku,       // 学校名・塾名(&J), then redraw
    Gakkyu,     // 学級の記録(&G)
    EditMaster, // 編集(&E)
    Answers,    // 解答表示(&A)
    SetPrinter, // 印字モードの設定(&P)
    SetKran,    // 解答欄の設定(&K)
    SetPaper,   // 用紙サイズとオプションの設定(&S)
    AddUnit,    // 単元の追加(&A)
    EditCopy,   // コピーファイルの編集(&T)
};

// What the worksheet window asks of the main window.
class TfrmPrintHost {
public:
    virtual ~TfrmPrintHost() = default;
    // The options of a screen pass that come from the shell: 別解表示, school name, learner name, clock.
    virtual DrawOptions worksheetDrawOptions() const = 0;
    // The closing question; false keeps the window open.
    virtual bool worksheetCloseQuery(TfrmPrint& window) = 0;
    // The window closes: it leaves the list of open worksheets.
    virtual void worksheetClosed(TfrmPrint& window) = 0;
    // A selection was made (a dragged rectangle or a figure) or dropped; see selectionPending().
    virtual void worksheetSelectionChanged(TfrmPrint& window) = 0;
    virtual void worksheetCommand(TfrmPrint& window, WorksheetCommand command) = 0;
    virtual void putPictureOnClipboard(const QImage& picture) = 0;
    // 解答表示(&A) is enabled like the main window's answer button.
    virtual bool answerCommandEnabled() const = 0;
};

class TfrmPrint : public QWidget {
    Q_OBJECT
public:
    // The page picture is at most this many pixels a side, whatever paper width a file gives.
    static constexpr int kMaxPictureSide = 4096;

    TfrmPrint(TfrmPrintHost& host, Worksheet sheet, FigurePictures figures, PictureRef classFlag,
              QWidget* parent = nullptr);
    ~TfrmPrint() override;

    Worksheet& worksheet() { return sheet_; }
    const Worksheet& worksheet() const { return sheet_; }
    const QImage& pagePicture() const { return page_; }
    const FigurePictures& figurePictures() const { return figures_; }
    const PictureRef& classFlagPicture() const { return classFlag_; }
    // The caption: the window key, or the copy file's path once it was saved.
    void setCaption(const std::string& key);

    // Lays out the page with the host's options, paints it onto the page picture and repaints. Figures without a
    // position take the one the page gave them. Returns what the page has to tell the user (too many figures).
    std::vector<std::string> redraw();
    // The page as last laid out on the screen: the answer boxes, segments and figures the other windows read.
    const PageLayout& layout() const { return layout_; }
    // The figure pictures, replaced when units are added.
    void setFigures(FigurePictures figures) { figures_ = std::move(figures); }
    // The options of this window's screen pass: the host's, with the window's class flag and figure pictures.
    DrawOptions drawOptions() const;

    // The reduced view hides the page picture and shows the whole page scaled into an area of the given size.
    void setReducedView(bool on, int width, int height);
    bool reducedView() const { return reduced_; }

    // Vertical scrolling of the page (the scroll bar keeps the position inside the picture).
    void scrollTo(int position);
    void scrollToTop();
    int scrollPosition() const;
    int pictureHeight() const; // the page picture, or the reduced view
    int frameHeight() const;   // the window with its frame
    // The width the window's contents need to show the whole width of the page (or of the reduced view).
    int pageViewWidth() const;

    // The selection waiting for the main window's コピー or キャンセル: x1, y1, x2, y2 as dragged, page coordinates.
    bool selectionPending() const { return selectionPending_; }
    std::array<int, 4> selection() const { return selection_; }
    // Erases the selection frame and forgets the rectangle.
    void clearSelection();

    // The figures as the page placed them, page coordinates (figure k at index k − 1).
    const std::vector<PlacedFigure>& placedFigures() const { return layout_.figures; }
    // The widget that shows the page picture; its coordinates are page coordinates.
    QWidget* pageWidget() const { return imgPage_; }

    // The page picture's mouse handlers (page coordinates).
    void imgPageMouseDown(Qt::MouseButton button, QPoint at);
    void imgPageMouseMove(QPoint at);
    void imgPageMouseUp(Qt::MouseButton button, QPoint at);
    // Draws what lies over the page picture: the outline of a figure being moved, the rubber band, the selection.
    void paintOverlay(QPainter& painter) const;

    // The menus the main window merges into its menu bar.
    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuSettings = nullptr;
    QAction* mnuOpenMaster = nullptr;
    QAction* mnuOpenCopy = nullptr;
    QAction* mnuSaveMaster = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuEditIndex = nullptr;
    QAction* mnuJuku = nullptr;
    QAction* mnuGakkyu = nullptr;
    QAction* mnuEditMaster = nullptr;
    QAction* mnuToClipBoard = nullptr;
    QAction* mnuAddUnit = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuKaitou = nullptr;
    QAction* mnuSetPrinter = nullptr;
    QAction* mnuSetKran = nullptr;
    QAction* mnuSetPaper = nullptr;

public slots:
    void mnuFilePopup();
    void mnuViewPopup();
    void mnuCloseClick();
    void mnuToClipBoardClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QAction* commandItem(QMenu* menu, const char* name, const char* caption, WorksheetCommand command);
    void layoutPictures();
    int figureAt(QPoint at) const;
    QPoint clampToPage(QPoint at) const;
    void setSelection(const std::array<int, 4>& rect);

    TfrmPrintHost& host_;
    Worksheet sheet_;
    FigurePictures figures_;
    PictureRef classFlag_;
    QImage page_;
    PageLayout layout_;
    bool ranOff_ = false; // the last page ran past the paper's bottom
    bool reduced_ = false;

    QScrollArea* scrollArea_ = nullptr;
    QWidget* pictures_ = nullptr; // holds the page picture and the reduced view
    QWidget* imgPage_ = nullptr;
    QLabel* imgReduced_ = nullptr;

    // Moving figure k (0: none): hidden from the page while its outline follows the cursor.
    int movingFigure_ = 0;
    QRect movingRect_;
    QPoint moveStart_;
    QPoint moveNow_;
    // The rubber band while the left button is held on the page.
    bool banding_ = false;
    QPoint bandStart_;
    QPoint bandNow_;
    bool selectionPending_ = false;
    std::array<int, 4> selection_{};
};

} // namespace tavola

#include "courseware/TfrmZenTangen.h"

#include "courseware/qt_form_printer.h"
#include "courseware/unit_tree.h"
#include "platform/qt/qt_text.h"
#include "platform/seams.h"
#include "platform/text_helpers.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>

namespace tavola {
namespace {

// The tree is this much shorter than the window; the date, the counter and the buttons sit below it.
constexpr int kBottomBand = 50;

void addChildren(QTreeWidgetItem* parent, const IndexTreeNode& node)
{
    for (const IndexTreeNode& child : node.children) {
        auto* item = new QTreeWidgetItem(parent, QStringList{toQString(child.text)});
        addChildren(item, child);
    }
}

} // namespace

TfrmZenTangen::TfrmZenTangen(const CoursewareIndex& index, const UnitMarks& marks, QWidget* parent)
    : QDialog(parent), index_(index), marks_(marks), clock_(&systemClock())
{
    setObjectName("frmZenTangen");
    setWindowTitle(sysText("全単元"));
    setModal(true);

    trvMain = new QTreeWidget(this);
    trvMain->setObjectName("trvMain");
    trvMain->setHeaderHidden(true);
    QFont treeFont(sysText("ＭＳ ゴシック"));
    treeFont.setPixelSize(13);
    trvMain->setFont(treeFont);

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setReadOnly(true);
    btnPrint = new QPushButton(sysText("印刷"), this);
    btnPrint->setObjectName("btnPrint");
    btnClose = new QPushButton(sysText("閉じる"), this);
    btnClose->setObjectName("btnClose");
    btnPrint->setAutoDefault(false);
    btnClose->setAutoDefault(false);

    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    resize(640, 480);
}

TfrmZenTangen::~TfrmZenTangen() = default;

void TfrmZenTangen::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmZenTangen::FormShow()
{
    if (formSize_.isValid()) {
        move(0, 0);
        resize(formSize_);
    }
    layoutControls();
    if (refreshMarks_) refreshMarks_();
    fillTree();
    Label1->setText(toQString(dottedDate(*clock_) + "-"));
    printCounter_ = 0;
    Edit1->setText("0");
}

void TfrmZenTangen::fillTree()
{
    trvMain->clear();
    IndexTreeNode root =
        buildIndexTree(subIndexLinesOrNew(index_, lesson_), [this](int s, int u) { return marks_.mark(s, u); });
    auto* rootItem = new QTreeWidgetItem(trvMain, QStringList{toQString(root.text)});
    addChildren(rootItem, root);
    trvMain->expandAll();
}

void TfrmZenTangen::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layoutControls();
}

void TfrmZenTangen::layoutControls()
{
    int w = width();
    int h = height();
    trvMain->setGeometry(0, 0, w, std::max(0, h - kBottomBand));
    int y = std::max(0, h - kBottomBand) + 12;
    Label1->setGeometry(16, y, 100, 25);
    Edit1->setGeometry(116, y, 50, 25);
    btnClose->setGeometry(std::max(0, w - 100), y, 84, 27);
    btnPrint->setGeometry(std::max(0, w - 200), y, 84, 27);
}

void TfrmZenTangen::btnPrintClick()
{
    ++printCounter_;
    Edit1->setText(QString::number(printCounter_));
    FormPrinter* printer = printer_;
    if (printer == nullptr) {
        if (!dialogPrinter_) dialogPrinter_ = std::make_unique<DialogFormPrinter>();
        printer = dialogPrinter_.get();
    }
    printer->printForm(*this);
}

void TfrmZenTangen::btnCloseClick()
{
    accept();
}

} // namespace tavola

#include "courseware/TfrmOpenPRP.h"

#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavola {

TfrmOpenPRP::TfrmOpenPRP(std::string coursewareDir, Prompts& prompts, QWidget* parent)
    : QDialog(parent), browser_(std::move(coursewareDir)), prompts_(prompts)
{
    setObjectName("frmOpenPRP");
    setWindowTitle(sysText("Tavola - コピーファイルを開く"));

    edtFileName = new QLineEdit(this);
    edtFileName->setObjectName("edtFileName");
    edtFileName->setReadOnly(true);
    auto column = [this](QLabel*& panel, QListWidget*& list, const char* panelName, const char* listName,
                         const char* caption) {
        panel = new QLabel(sysText(caption), this);
        panel->setObjectName(panelName);
        panel->setFrameShape(QFrame::Panel);
        list = new QListWidget(this);
        list->setObjectName(listName);
        list->installEventFilter(this);
    };
    column(pnlLesson, lstLesson, "pnlLesson", "lstLesson", "項目を選んでください");
    column(pnlPRP, flbPRP, "pnlPRP", "flbPRP", "項目を選んでください");
    column(Panel1, lstContents, "Panel1", "lstContents", "ファイルの内容");
    connect(lstLesson, &QListWidget::itemClicked, this, &TfrmOpenPRP::lstLessonClick);
    connect(flbPRP, &QListWidget::itemClicked, this, &TfrmOpenPRP::flbPRPClick);

    btnOk = new QPushButton(sysText("　Ｏ　Ｋ　"), this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnCancel = new QPushButton(sysText("ｷｬﾝｾﾙ"), this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOk, &QPushButton::clicked, this, &TfrmOpenPRP::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* lists = new QGridLayout;
    lists->addWidget(pnlLesson, 0, 0);
    lists->addWidget(lstLesson, 1, 0);
    lists->addWidget(pnlPRP, 0, 1);
    lists->addWidget(flbPRP, 1, 1);
    lists->addWidget(Panel1, 0, 2);
    lists->addWidget(lstContents, 1, 2);
    lists->setColumnStretch(0, 2);
    lists->setColumnStretch(1, 2);
    lists->setColumnStretch(2, 3);
    auto* buttons = rightButtonRow({btnOk, btnCancel});
    auto* all = new QVBoxLayout(this);
    all->addWidget(edtFileName);
    all->addLayout(lists, 1);
    all->addLayout(buttons);
}

int TfrmOpenPRP::exec()
{
    if (formGeometry_.isValid()) setGeometry(formGeometry_);
    if (!browser_.show(prompts_)) return Abort;
    showBrowser();
    return QDialog::exec();
}

void TfrmOpenPRP::showBrowser()
{
    // Filling the lists selects rows: that is the browser's choice being shown, not a click.
    showing_ = true;
    lstLesson->clear();
    for (const std::string& lesson : browser_.lessons())
        lstLesson->addItem(toQString(lesson));
    lstLesson->setCurrentRow(browser_.chosenLesson());
    flbPRP->clear();
    for (const std::string& file : browser_.files())
        flbPRP->addItem(toQString(file));
    flbPRP->setCurrentRow(browser_.chosenFile());
    edtFileName->setText(toQString(browser_.fileName()));
    lstContents->clear();
    for (const std::string& line : browser_.contents())
        lstContents->addItem(toQString(line));
    showing_ = false;
    flbPRP->setFocus();
}

void TfrmOpenPRP::lstLessonClick()
{
    if (showing_) return;
    browser_.chooseLesson(lstLesson->currentRow(), prompts_);
    showBrowser();
}

void TfrmOpenPRP::flbPRPClick()
{
    if (showing_) return;
    browser_.chooseFile(flbPRP->currentRow());
    showBrowser();
}

void TfrmOpenPRP::btnOkClick()
{
    if (browser_.confirm(prompts_)) accept();
}

bool TfrmOpenPRP::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Left &&
        (watched == flbPRP || watched == lstLesson)) {
        lstLesson->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tavola

#include "authoring/TfrmEditIndex.h"

#include "authoring/TfrmEditSource.h"
#include "authoring/TfrmInputText.h"
#include "courseware/unit_marks.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavola {
namespace {

const char* const kFormHint = "インデックスを編集した後、マスターファイルを編集します。";
const char* const kLessonChosenHint = "インデックスを変更した後、[OK]ボタンをクリックします。";

} // namespace

TfrmEditIndex::TfrmEditIndex(std::string coursewareDir, bool& indexChanged, RecordFileOf recordFileOf, Prompts& prompts,
                             HelpOpener help, QWidget* parent)
    : QDialog(parent), coursewareDir_(std::move(coursewareDir)), indexChanged_(indexChanged),
      recordFileOf_(std::move(recordFileOf)), prompts_(prompts), help_(std::move(help))
{
    setObjectName("frmEditIndex");
    setWindowTitle(sysText("Tavola Editor 教材の作成"));
    buildControls();
}

void TfrmEditIndex::buildControls()
{
    auto list = [this](const char* name) {
        auto* l = new QListWidget(this);
        l->setObjectName(name);
        return l;
    };
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(sysText(caption), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    lstELesson = list("lstELesson");
    lstESection = list("lstESection");
    lstEUnit = list("lstEUnit");
    trvSect = new QTreeWidget(this);
    trvSect->setObjectName("trvSect");
    trvSect->setHeaderHidden(true);
    edtMainTitle = new QLineEdit(this);
    edtMainTitle->setObjectName("edtMainTitle");
    edtIndex = new QLineEdit(this);
    edtIndex->setObjectName("edtIndex");
    edtIndex->setReadOnly(true);
    edtDataFile = new QLineEdit(this);
    edtDataFile->setObjectName("edtDataFile");
    edtDataFile->setReadOnly(true);
    pnlHint = new QLabel(this);
    pnlHint->setObjectName("pnlHint");
    pnlHint->setFrameShape(QFrame::Panel);
    btnAdd = button("btnAdd", "追加 =>");
    btnChange = button("btnChange", "変更 <>");
    btnAdd2 = button("btnAdd2", "追加 =>");
    btnChange2 = button("btnChange2", "変更 <>");
    btnExpand = button("btnExpand", "表示を圧縮する");
    btnEditDirect = button("btnEditDirect", "ソースの直接編集(&E)");
    btnOk = button("btnOk", " Ｏ　Ｋ");
    btnClose = button("btnClose", "キャンセル");
    btnHelp = button("btnHelp", "ヘルプ(&H)");

    // The hint panel shows what the control under the mouse does.
    const std::pair<QWidget*, const char*> hints[] = {
        {lstELesson, "編集するコースウェアを選択します"},
        {lstESection, "主インデックスを書きます"},
        {lstEUnit, "副インデックスを書きます"},
        {btnAdd, "項目を追加します"},
        {btnChange, "項目を変更します"},
        {btnAdd2, "項目を追加します"},
        {btnChange2, "項目を変更します"},
        {trvSect, "インデックスの全構造を表示します"},
        {btnExpand, "インデックスの表示を展開／圧縮します"},
        {btnEditDirect, "Main.indファイルを直接編集します"},
        {btnOk, "編集結果を保存して閉じます"},
        {btnClose, "編集結果を無視してして閉じます"},
    };
    for (auto [w, hint] : hints) {
        w->setProperty("hint", sysText(hint));
        w->installEventFilter(this);
    }

    connect(lstELesson, &QListWidget::currentRowChanged, this, [this] {
        if (!filling_) lstELessonClick();
    });
    connect(lstESection, &QListWidget::currentRowChanged, this, [this] {
        if (!filling_) lstESectionClick();
    });
    connect(lstEUnit, &QListWidget::currentRowChanged, this, [this] {
        if (!filling_) lstEUnitClick();
    });
    connect(lstEUnit, &QListWidget::itemDoubleClicked, this, &TfrmEditIndex::btnOkClick);
    connect(edtMainTitle, &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.setTitle(fromQStringLossy(text)); });
    connect(btnAdd, &QPushButton::clicked, this, &TfrmEditIndex::btnAddClick);
    connect(btnChange, &QPushButton::clicked, this, &TfrmEditIndex::btnChangeClick);
    connect(btnAdd2, &QPushButton::clicked, this, &TfrmEditIndex::btnAdd2Click);
    connect(btnChange2, &QPushButton::clicked, this, &TfrmEditIndex::btnChange2Click);
    connect(btnExpand, &QPushButton::clicked, this, &TfrmEditIndex::btnExpandClick);
    connect(btnEditDirect, &QPushButton::clicked, this, &TfrmEditIndex::btnEditDirectClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmEditIndex::btnOkClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmEditIndex::btnCloseClick);
    connect(btnHelp, &QPushButton::clicked, this, [this] {
        if (help_) help_(730);
    });

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(sysText("コースウェア"), this), 0, 0);
    grid->addWidget(lstELesson, 1, 0);
    grid->addWidget(new QLabel(sysText("主メニュー"), this), 0, 1);
    auto* mainButtons = new QHBoxLayout;
    mainButtons->addWidget(btnAdd);
    mainButtons->addWidget(btnChange);
    grid->addLayout(mainButtons, 0, 2);
    grid->addWidget(lstESection, 1, 1, 1, 2);
    grid->addWidget(new QLabel(sysText("副メニュー"), this), 2, 1);
    auto* subButtons = new QHBoxLayout;
    subButtons->addWidget(btnAdd2);
    subButtons->addWidget(btnChange2);
    grid->addLayout(subButtons, 2, 2);
    grid->addWidget(lstEUnit, 3, 1, 1, 2);
    grid->addWidget(trvSect, 1, 3, 3, 1);
    grid->addWidget(btnExpand, 0, 3);
    grid->setColumnStretch(3, 2);
    grid->setColumnStretch(1, 1);

    auto* files = new QGridLayout;
    files->addWidget(new QLabel(sysText("タイトル"), this), 0, 0);
    files->addWidget(edtMainTitle, 0, 1);
    files->addWidget(new QLabel(sysText("ｲﾝﾃﾞｯｸｽﾌｧｲﾙ"), this), 1, 0);
    files->addWidget(edtIndex, 1, 1);
    files->addWidget(new QLabel(sysText("マスターﾌｧｲﾙ"), this), 2, 0);
    files->addWidget(edtDataFile, 2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnEditDirect);
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnClose);
    buttons->addWidget(btnHelp);

    auto* all = new QVBoxLayout(this);
    all->addLayout(files);
    all->addLayout(grid, 1);
    all->addLayout(buttons);
    all->addWidget(pnlHint);
    resize(900, 600);
}

void TfrmEditIndex::showEvent(QShowEvent* event)
{
    if (formSize_.isValid()) resize(formSize_);
    move(0, 0);
    FormShow();
    QDialog::showEvent(event);
}

void TfrmEditIndex::FormShow()
{
    pnlHint->setStyleSheet("color: green;");
    pnlHint->setText(sysText(kFormHint));
    filling_ = true;
    lstELesson->clear();
    lstESection->clear();
    lstEUnit->clear();
    trvSect->clear();
    filling_ = false;
    if (Status read = editor_.readLessons(coursewareDir_); !read) {
        prompts_.message(read.message());
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    edtMainTitle->setText(toQString(editor_.index().title()));
    filling_ = true;
    for (const std::string& lesson : editor_.lessons())
        lstELesson->addItem(toQString(lesson));
    filling_ = false;
    if (lstELesson->count() > 0)
        lstELesson->setCurrentRow(0);
    else
        loadLesson(-1);
    if (lstEUnit->count() > 0) lstEUnit->setCurrentRow(0);
    setExpanded(true);
}

void TfrmEditIndex::lstELessonClick()
{
    loadLesson(lstELesson->currentRow());
    pnlHint->setStyleSheet(QString());
    pnlHint->setText(sysText(kLessonChosenHint));
}

void TfrmEditIndex::loadLesson(int row)
{
    editor_.loadLesson(row + 1);
    edtIndex->setText(toQString(editor_.path()));
    edtMainTitle->setText(toQString(editor_.title()));
    rebuild(0);
}

void TfrmEditIndex::rebuild(int mainRow)
{
    filling_ = true;
    lstESection->clear();
    lstEUnit->clear();
    trvSect->clear();
    auto* root = new QTreeWidgetItem(trvSect, {toQString(editor_.title())});
    const auto marks = editor_.unitMarks(recordFileOf_ ? recordFileOf_(editor_.lesson()) : std::string());
    std::size_t k = 0;
    for (const IndexItem& item : editor_.items()) {
        lstESection->addItem(toQString(item.title));
        auto* node = new QTreeWidgetItem(root, {toQString(item.title)});
        for (std::size_t u = 0; u < item.subItems.size(); ++u)
            new QTreeWidgetItem(node, {toQString(marks[k][u] + item.subItems[u])});
        ++k;
    }
    filling_ = false;
    root->setExpanded(true);
    setExpanded(expanded_);
    if (lstESection->count() > 0) lstESection->setCurrentRow(std::clamp(mainRow, 0, lstESection->count() - 1));
}

void TfrmEditIndex::lstESectionClick()
{
    selectMain(lstESection->currentRow());
}

void TfrmEditIndex::selectMain(int row)
{
    int k = row + 1;
    edtDataFile->setText(toQString(editor_.masterFileOf(k)));
    auto sub = editor_.subItemsOf(k);
    if (!sub) {
        prompts_.message("not found");
        return;
    }
    filling_ = true;
    lstEUnit->clear();
    for (const std::string& line : *sub)
        lstEUnit->addItem(toQString(line));
    filling_ = false;
    if (lstEUnit->count() > 0) lstEUnit->setCurrentRow(0);
}

void TfrmEditIndex::lstEUnitClick()
{
    QTreeWidgetItem* root = trvSect->topLevelItem(0);
    int k = lstESection->currentRow();
    int u = lstEUnit->currentRow();
    if (root == nullptr || k < 0 || u < 0 || k >= root->childCount()) return;
    QTreeWidgetItem* node = root->child(k);
    if (u < node->childCount()) trvSect->setCurrentItem(node->child(u));
}

void TfrmEditIndex::btnAddClick()
{
    if (frmInputText_ == nullptr) return;
    auto text = frmInputText_->input("mainADD");
    if (!text || !editor_.addMainItem(*text)) return;
    rebuild(static_cast<int>(editor_.items().size()) - 1);
}

void TfrmEditIndex::btnChangeClick()
{
    int row = lstESection->currentRow();
    if (row < 0) {
        prompts_.message(nothingToChangeMessage());
        return;
    }
    if (frmInputText_ == nullptr) return;
    auto text = frmInputText_->input("mainCHANGE", fromQStringLossy(lstESection->item(row)->text()));
    if (!text || !editor_.renameMainItem(row + 1, *text)) return;
    rebuild(row);
}

void TfrmEditIndex::btnAdd2Click()
{
    int row = lstESection->currentRow();
    if (row < 0 || frmInputText_ == nullptr) return;
    auto text = frmInputText_->input("subADD");
    if (!text || !editor_.addSubItem(row + 1, *text)) return;
    rebuild(row);
    lstEUnit->setCurrentRow(lstEUnit->count() - 1);
}

void TfrmEditIndex::btnChange2Click()
{
    int row = lstESection->currentRow();
    int sub = lstEUnit->currentRow();
    if (row < 0 || sub < 0) {
        prompts_.message(nothingToChangeMessage());
        return;
    }
    if (frmInputText_ == nullptr) return;
    auto text = frmInputText_->input("subCHANGE", fromQStringLossy(lstEUnit->item(sub)->text()));
    if (!text || !editor_.renameSubItem(row + 1, sub + 1, *text)) return;
    rebuild(row);
    lstEUnit->setCurrentRow(sub);
}

void TfrmEditIndex::setExpanded(bool expanded)
{
    expanded_ = expanded;
    if (QTreeWidgetItem* root = trvSect->topLevelItem(0)) {
        for (int i = 0; i < root->childCount(); ++i)
            root->child(i)->setExpanded(expanded);
    }
    btnExpand->setText(sysText(expanded ? "表示を圧縮する" : "表示を展開する"));
    btnExpand->setIcon(QIcon(expanded ? ":/main/circle_yellow.png" : ":/main/circle_green.png"));
}

void TfrmEditIndex::btnExpandClick()
{
    setExpanded(!expanded_);
}

void TfrmEditIndex::btnEditDirectClick()
{
    if (frmEditSource_ == nullptr || editor_.path().empty()) return;
    auto edited = frmEditSource_->edit(editor_.lines(), editor_.path(), 710);
    if (!edited) return;
    if (Status written = editor_.writeRaw(*edited); !written) {
        prompts_.message(written.message());
        return;
    }
    indexChanged_ = true;
    FormShow();
}

void TfrmEditIndex::btnOkClick()
{
    if (lstELesson->currentRow() < 0 || lstESection->currentRow() < 0) {
        prompts_.message(noMainItemMessage());
        return;
    }
    if (lstEUnit->currentRow() < 0) {
        prompts_.message(noSubItemMessage());
        return;
    }
    auto title = fromQString(edtMainTitle->text());
    if (!title) {
        prompts_.message("使えない文字が含まれています"_sj);
        return;
    }
    bool written = false;
    if (Status saved = editor_.save(*title, written); !saved) {
        prompts_.message(saved.message());
        return;
    }
    if (written) indexChanged_ = true;
    accept();
}

void TfrmEditIndex::btnCloseClick()
{
    editor_.modified = false;
    reject();
}

bool TfrmEditIndex::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        QVariant hint = watched->property("hint");
        if (hint.isValid()) {
            pnlHint->setStyleSheet(QString());
            pnlHint->setText(hint.toString());
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tavola

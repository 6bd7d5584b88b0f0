#include "app/TfrmInputName.h"

#include "app/TfrmPassword.h"
#include "app/shell_state.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/text_helpers.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavola {

namespace {

const std::string kListFilter = "テキストファイル|*.txt"_sj;

} // namespace

TfrmInputName::TfrmInputName(InputNameContext context, QWidget* parent) : QDialog(parent), ctx_(std::move(context))
{
    setObjectName("frmInputName");
    setWindowTitle(sysText("名前登録"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setPlainText(sysText("学習者の名前を選んでください。\nリストに無い場合は、氏名を入力して\n"
                                "[追加]をクリックすれば名簿を作成\nできます。"));
    Memo1->setFixedHeight(Memo1->fontMetrics().lineSpacing() * 4 + 14);
    Label2 = new QLabel(sysText("氏名："), this);
    Label2->setObjectName("Label2");
    edtName = new QLineEdit(this);
    edtName->setObjectName("edtName");
    edtName->installEventFilter(this);
    Label2->setBuddy(edtName);
    Label1 = new QLabel(sysText("名簿"), this);
    Label1->setObjectName("Label1");
    lstName = new QListWidget(this);
    lstName->setObjectName("lstName");
    edtMeibo = new QLineEdit(this);
    edtMeibo->setObjectName("edtMeibo");
    edtMeibo->setReadOnly(true);
    edtMeibo->setFocusPolicy(Qt::NoFocus);

    auto button = [this](const char* name, const char* text) {
        auto* b = new QPushButton(sysText(text), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    btnAdd = button("btnAdd", "追加 =>");
    btnDelete = button("btnDelete", "削除 =>");
    BitBtn1 = button("BitBtn1", "名簿を開く");
    btnSave = button("btnSave", "名前を付けて保存");
    btnOk = button("btnOk", "OK");
    btnCancel = button("btnCancel", "キャンセル");
    btnLogOff = button("btnLogOff", "ログオフ");
    connect(btnAdd, &QPushButton::clicked, this, &TfrmInputName::btnAddClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfrmInputName::btnDeleteClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmInputName::BitBtn1Click);
    connect(btnSave, &QPushButton::clicked, this, &TfrmInputName::btnSaveClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmInputName::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnLogOff, &QPushButton::clicked, this, &TfrmInputName::btnLogOffClick);
    connect(lstName, &QListWidget::itemClicked, this, &TfrmInputName::lstNameClick);

    auto* left = new QVBoxLayout;
    left->addWidget(Memo1);
    left->addWidget(Label2);
    left->addWidget(edtName);
    left->addSpacing(8);
    left->addWidget(btnAdd);
    left->addWidget(btnDelete);
    left->addStretch(1);
    left->addWidget(btnLogOff);
    left->addSpacing(8);
    left->addWidget(btnOk);
    left->addWidget(btnCancel);
    auto* right = new QVBoxLayout;
    right->addWidget(Label1);
    right->addWidget(lstName, 1);
    right->addWidget(edtMeibo);
    right->addWidget(BitBtn1);
    right->addWidget(btnSave);
    auto* all = new QHBoxLayout(this);
    all->addLayout(left, 3);
    all->addLayout(right, 2);
    resize(520, 380);
}

void TfrmInputName::showEvent(QShowEvent* event)
{
    openList(defaultNameListPath(ctx_.state));
    btnSave->setEnabled(false);
    edtName->clear();
    QDialog::showEvent(event);
    edtName->setFocus();
}

void TfrmInputName::openList(const std::string& path)
{
    if (Status opened = list_.open(path); !opened) ctx_.prompts.error(opened.message());
    edtMeibo->setText(toQString(list_.fileName()));
    showList();
}

void TfrmInputName::showList()
{
    lstName->clear();
    for (const std::string& name : list_.names())
        lstName->addItem(toQString(name));
    btnSave->setEnabled(list_.saveEnabled());
}

bool TfrmInputName::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edtName && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnOkClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmInputName::lstNameClick()
{
    if (QListWidgetItem* item = lstName->currentItem()) edtName->setText(item->text());
}

std::optional<std::string> TfrmInputName::addTypedName()
{
    auto name = fromQString(edtName->text());
    if (!name) {
        ctx_.prompts.message("名前に使えない文字が含まれています"_sj);
        return std::nullopt;
    }
    // A name of blanks alone is left whole, so that it is refused with its own message.
    if (std::string trimmed = trimLearnerName(*name); !trimmed.empty() && trimmed != *name) {
        name = trimmed;
        edtName->setText(toQString(trimmed));
    }
    if (Status added = list_.add(*name); !added) {
        ctx_.prompts.message(added.message());
        edtName->setFocus();
        return std::nullopt;
    }
    showList();
    return name;
}

void TfrmInputName::btnAddClick()
{
    addTypedName();
}

void TfrmInputName::btnDeleteClick()
{
    list_.remove(lstName->currentRow());
    edtName->clear();
    showList();
}

void TfrmInputName::BitBtn1Click()
{
    FileDialogRequest request{sjis::encode("名簿を開く"), kListFilter, ctx_.state.coursewareDir, {}};
    if (auto path = ctx_.prompts.openFileName(request)) {
        openList(*path);
        btnSave->setEnabled(false);
    }
}

void TfrmInputName::btnSaveClick()
{
    FileDialogRequest request{sjis::encode("名前を付けて保存"), kListFilter, ctx_.state.coursewareDir, {}};
    if (auto path = ctx_.prompts.saveFileName(request))
        if (Status saved = list_.saveAs(*path); !saved) ctx_.prompts.error(saved.message());
}

void TfrmInputName::btnOkClick()
{
    auto name = addTypedName();
    if (!name) return;
    // The list goes into the learner folder under the name shown, whichever folder it was opened from.
    std::string listPath = learnerFolder(ctx_.state) + list_.fileName();
    if (Status saved = list_.saveMerged(listPath); !saved) {
        ctx_.prompts.error(saved.message());
        return;
    }
    // Names another computer added meanwhile are in the list now.
    showList();
    if (name->empty()) {
        reject();
        return;
    }

    std::string previous = ctx_.state.learnerName;
    ctx_.state.learnerName = *name;
    if (*name != sjis::encode(kCommonLearner)) {
        std::string dataFile = ctx_.dataFileOf(*name);
        LearnerPassword password = ctx_.passwordOf ? ctx_.passwordOf(*name) : LearnerPassword{storedPassword(dataFile)};
        if (ctx_.password != nullptr)
            ctx_.password->prepare(*name, password.stored, dataFile, password.fromOtherLesson);
        if (ctx_.password == nullptr || ctx_.password->exec() != QDialog::Accepted) {
            ctx_.state.learnerName = previous;
            return;
        }
    }
    if (Status written = commitLearner(ctx_.state, ctx_.settings, *name); !written)
        ctx_.prompts.error(written.message());
    if (ctx_.learnerChanged) ctx_.learnerChanged();
    accept();
}

void TfrmInputName::reject()
{
    if (list_.changed()) {
        switch (confirmYesNoCancel(ctx_.prompts, saveNameListQuestion())) {
        case Answer::Cancel:
            return;
        case Answer::Yes:
            if (Status saved = list_.saveMerged(learnerFolder(ctx_.state) + list_.fileName()); !saved) {
                ctx_.prompts.error(saved.message());
                return;
            }
            break;
        case Answer::No:
            break;
        }
    }
    QDialog::reject();
}

void TfrmInputName::btnLogOffClick()
{
    if (Status written = commitLearner(ctx_.state, ctx_.settings, sjis::encode(kCommonLearner)); !written)
        ctx_.prompts.error(written.message());
    if (ctx_.learnerChanged) ctx_.learnerChanged();
    accept();
}

} // namespace tavola

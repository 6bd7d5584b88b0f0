#include "app/TfrmJuku.h"

#include "app/shell_state.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"
#include "platform/settings_store.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavola {

TfrmJuku::TfrmJuku(ShellState& state, SettingsStore& settings, Prompts& prompts, QWidget* parent)
    : QDialog(parent), state_(state), settings_(settings), prompts_(prompts)
{
    setObjectName("frmJuku");
    setWindowTitle(sysText("校名／塾名入力"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* lblSchool = new QLabel(sysText("学校名・塾名"), this);
    lblSchool->setObjectName("lblSchool");
    edtSchool = new QLineEdit(this);
    edtSchool->setObjectName("edtSchool");
    edtSchool->setMinimumWidth(320);
    lblSchool->setBuddy(edtSchool);
    auto* lblNote1 = new QLabel(sysText("ここには自由にタイトルを入れることができます"), this);
    lblNote1->setObjectName("lblNote1");
    auto* lblNote2 = new QLabel(sysText("例　ＣＡＩ中学校　年　組"), this);
    lblNote2->setObjectName("lblNote2");

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton(sysText("キャンセル"), this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOK, &QPushButton::clicked, this, &TfrmJuku::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = rightButtonRow({btnOK, btnCancel});
    auto* all = new QVBoxLayout(this);
    all->addWidget(lblSchool);
    all->addWidget(edtSchool);
    all->addWidget(lblNote1);
    all->addWidget(lblNote2);
    all->addSpacing(8);
    all->addLayout(buttons);
    setFixedSize(sizeHint());
}

void TfrmJuku::showEvent(QShowEvent* event)
{
    if (state_.worksheetCount > 0) edtSchool->setText(toQString(state_.schoolName));
    QDialog::showEvent(event);
}

void TfrmJuku::btnOKClick()
{
    auto name = fromQString(edtSchool->text());
    if (!name) {
        prompts_.message("学校名・塾名に使えない文字が含まれています"_sj);
        return;
    }
    // The setting is written first: when it cannot be, the dialog stays open and the name stays as it was.
    if (Status written = settings_.writeText("theSchool", *name); !written) {
        prompts_.error(written.message());
        return;
    }
    state_.schoolName = *name;
    accept();
}

} // namespace tavola

#include "worksheet/TfrmPrintMode.h"

#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"
#include "platform/settings_store.h"
#include "worksheet/TfrmPrint.h"
#include "worksheet/print_host.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tavola {

namespace {
// The numbers a spin offers; a class set never comes near.
constexpr int kMaxStartNumber = 9999;
} // namespace

TfrmPrintMode::TfrmPrintMode(PrintHost& host, SettingsStore& settings, Prompts& prompts, QWidget* parent)
    : QDialog(parent), host_(host), settings_(settings), prompts_(prompts)
{
    setObjectName("frmPrintMode");
    setWindowTitle(sysText("印字モードの設定"));

    auto* grbMode = new QGroupBox(sysText("印字モード"), this);
    radDisplay = new QRadioButton(sysText("画面に忠実に印刷する"), grbMode);
    radDisplay->setObjectName("radDisplay");
    radPrinter = new QRadioButton(sysText("プリンタの解像度で印刷する"), grbMode);
    radPrinter->setObjectName("radPrinter");
    radDisplay->setChecked(true);
    auto* modes = new QVBoxLayout(grbMode);
    modes->addWidget(radDisplay);
    modes->addWidget(radPrinter);

    chkNumber = new QCheckBox(sysText("№を付ける"), this);
    chkNumber->setObjectName("chkNumber");
    chkNumber->setChecked(true);
    chkVariants = new QCheckBox(sysText("部ごとに問題を変える"), this);
    chkVariants->setObjectName("chkVariants");
    chkVariants->setToolTip(sysText("２部目から、形はそのままで数だけ変えた問題を印刷します"));
    chkAnswerKey = new QCheckBox(sysText("解答ページを付ける"), this);
    chkAnswerKey->setObjectName("chkAnswerKey");
    auto* lblStart = new QLabel(sysText("開始番号"), this);
    spnStart = new QSpinBox(this);
    spnStart->setObjectName("spnStart");
    spnStart->setRange(1, kMaxStartNumber);
    spnStart->setValue(1);
    lblStart->setBuddy(spnStart);

    btnClose = new QPushButton(sysText("閉じる"), this);
    btnClose->setObjectName("btnClose");
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* number = new QHBoxLayout;
    number->addWidget(chkNumber);
    number->addSpacing(12);
    number->addWidget(lblStart);
    number->addWidget(spnStart);
    number->addStretch(1);
    auto* buttons = rightButtonRow({btnClose});
    auto* all = new QVBoxLayout(this);
    all->addWidget(grbMode);
    all->addLayout(number);
    auto* copies = new QHBoxLayout;
    copies->addWidget(chkVariants);
    copies->addSpacing(12);
    copies->addWidget(chkAnswerKey);
    copies->addStretch(1);
    all->addLayout(copies);
    lblKept = new QLabel(this);
    lblKept->setObjectName("lblKept");
    lblKept->setWordWrap(true);
    all->addWidget(lblKept);
    all->addLayout(buttons);
    connect(chkVariants, &QCheckBox::toggled, this, &TfrmPrintMode::showKept);
    setMinimumWidth(sizeHint().width());
}

void TfrmPrintMode::showEvent(QShowEvent* event)
{
    showKept();
    QDialog::showEvent(event);
}

void TfrmPrintMode::showKept()
{
    TfrmPrint* window = host_.printWindow();
    const std::string note = chkVariants->isChecked() && window != nullptr ? keptProblemsNote(window->worksheet()) : "";
    lblKept->setText(toQString(note));
    lblKept->setVisible(!note.empty());
}

void TfrmPrintMode::setCopyChoices(bool numbering, bool variants, bool answerKey)
{
    chkNumber->setChecked(numbering);
    chkVariants->setChecked(variants);
    chkAnswerKey->setChecked(answerKey);
}

void TfrmPrintMode::selectMode(bool printerMode)
{
    (printerMode ? radPrinter : radDisplay)->setChecked(true);
}

PrintRequest TfrmPrintMode::request() const
{
    PrintRequest request{radPrinter->isChecked() ? PrintMode::Printer : PrintMode::Screen, chkNumber->isChecked(),
                         spnStart->value(), 1};
    request.variants = chkVariants->isChecked();
    request.answerKey = chkAnswerKey->isChecked();
    return request;
}

void TfrmPrintMode::setStart(int number)
{
    spnStart->setValue(number);
}

void TfrmPrintMode::done(int result)
{
    // However the dialog closes (閉じる, Esc, the title bar), the choice is stored and the page drawn anew.
    frmClose();
    QDialog::done(result);
}

void TfrmPrintMode::frmClose()
{
    if (Status written = settings_.writeFlag("PrintMode", radPrinter->isChecked()); !written)
        prompts_.error(written.message());
    if (TfrmPrint* window = host_.printWindow()) window->redraw();
}

} // namespace tavola

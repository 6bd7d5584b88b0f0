#include "worksheet/TfrmPrintOk.h"

#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "worksheet/TfrmPrint.h"
#include "worksheet/TfrmPrintMode.h"
#include "worksheet/print_host.h"
#include "worksheet/qt_print.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <memory>

namespace tavola {

namespace {
constexpr int kMaxStartNum = 100;
} // namespace

TfrmPrintOk::TfrmPrintOk(PrintHost& host, TfrmPrintMode& printMode, Prompts& prompts, QWidget* parent)
    : QDialog(parent), host_(host), printMode_(printMode), prompts_(prompts)
{
    setObjectName("frmPrintOk");
    setWindowTitle(sysText("印刷"));

    lblPWidth = new QLabel(this);
    lblPWidth->setObjectName("lblPWidth");
    lblPHeight = new QLabel(this);
    lblPHeight->setObjectName("lblPHeight");
    lblSize = new QLabel(this);
    lblSize->setObjectName("lblSize");
    lblSize->setMinimumWidth(280);
    auto* lblStartNum = new QLabel(sysText("開始No"), this);
    spnStartNum = new QSpinBox(this);
    spnStartNum->setObjectName("spnStartNum");
    spnStartNum->setRange(1, kMaxStartNum);
    lblStartNum->setBuddy(spnStartNum);
    connect(spnStartNum, &QSpinBox::valueChanged, this, &TfrmPrintOk::spnStartNumChange);

    chkAnswers = new QCheckBox(sysText("解答を印刷する"), this);
    chkAnswers->setObjectName("chkAnswers");

    chkNumber = new QCheckBox(sysText("№を付ける"), this);
    chkNumber->setObjectName("chkNumber");
    chkVariants = new QCheckBox(sysText("部ごとに問題を変える"), this);
    chkVariants->setObjectName("chkVariants");
    chkAnswerKey = new QCheckBox(sysText("解答ページを付ける"), this);
    chkAnswerKey->setObjectName("chkAnswerKey");
    lblKept = new QLabel(this);
    lblKept->setObjectName("lblKept");
    lblKept->setWordWrap(true);
    for (QCheckBox* box : {chkNumber, chkVariants, chkAnswerKey})
        connect(box, &QCheckBox::toggled, this, &TfrmPrintOk::copyChoiceChanged);

    btnSettei = new QPushButton(sysText("プリンタ設定"), this);
    btnSettei->setObjectName("btnSettei");
    btnPrint = new QPushButton(sysText("印刷開始"), this);
    btnPrint->setObjectName("btnPrint");
    btnPrint->setDefault(true);
    btnClose = new QPushButton(sysText("閉じる"), this);
    btnClose->setObjectName("btnClose");
    connect(btnSettei, &QPushButton::clicked, this, &TfrmPrintOk::btnSetteiClick);
    connect(btnPrint, &QPushButton::clicked, this, &TfrmPrintOk::btnPrintClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    auto* page = new QGridLayout;
    page->addWidget(new QLabel(sysText("プリンタの用紙サイズ（ピクセル）"), this), 0, 0, 1, 2);
    page->addWidget(lblPWidth, 1, 0);
    page->addWidget(lblPHeight, 1, 1);
    auto* start = new QHBoxLayout;
    start->addWidget(lblStartNum);
    start->addWidget(spnStartNum);
    start->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnSettei);
    buttons->addStretch(1);
    buttons->addWidget(btnPrint);
    buttons->addWidget(btnClose);
    auto* all = new QVBoxLayout(this);
    all->addLayout(page);
    all->addWidget(lblSize);
    all->addLayout(start);
    all->addWidget(chkAnswers);
    auto* copies = new QHBoxLayout;
    copies->addWidget(chkNumber);
    copies->addWidget(chkVariants);
    copies->addWidget(chkAnswerKey);
    copies->addStretch(1);
    all->addLayout(copies);
    all->addWidget(lblKept);
    all->addLayout(buttons);
}

int TfrmPrintOk::exec()
{
    given_.reset();
    if (host_.printWindow() == nullptr) return QDialog::Rejected;
    FormShow();
    return QDialog::exec();
}

int TfrmPrintOk::exec(PrintSource source)
{
    if (source.sheet == nullptr) return QDialog::Rejected;
    given_ = std::move(source);
    FormShow();
    const int result = QDialog::exec();
    given_.reset();
    return result;
}

std::optional<PrintSource> TfrmPrintOk::source() const
{
    if (given_) return given_;
    TfrmPrint* window = host_.printWindow();
    if (window == nullptr) return std::nullopt;
    PrintSource page{&window->worksheet(), window->drawOptions(), {}};
    page.options.screen = &window->layout();
    return page;
}

void TfrmPrintOk::FormShow()
{
    const PrintSource page = *source();
    // The job takes the worksheet's paper; the teacher is asked to set it only where the printer lacks it.
    const int paper = page.sheet->settings.paper.width;
    if (setPaperOf(printer_, paper))
        lblSize->setText(sysText("用紙 ") + QString::fromStdString(jobPaperName(paper)) + sysText(" で印刷します"));
    else
        lblSize->setText(sysText("用紙のサイズを ") + QString::fromLatin1(paperName(host_.chosenPaperWidth())) +
                         sysText(" に設定してください"));
    showPageSize();
    // 開始No: the number of the first copy; a number set in the print mode dialog since the last print comes first.
    loading_ = true;
    spnStartNum->setValue(printMode_.request().startNumber != 1 ? printMode_.request().startNumber
                                                                : page.sheet->settings.startNumber);
    loading_ = false;
    // What the screen shows is what prints unless changed here; where the answers are kept off the worksheet
    // whatever the teacher chose (student mode, a practice sheet), they stay off the paper too.
    const std::optional<bool> forced = page.options.answersShown;
    chkAnswers->setChecked(forced.value_or(page.sheet->settings.answersShown));
    allowAnswers_ = !forced.has_value() || *forced;
    setUp_ = false;
    showCopyChoices();
    enableButtons(true);
}

void TfrmPrintOk::showCopyChoices()
{
    const PrintRequest mode = printMode_.request();
    loading_ = true;
    chkNumber->setChecked(mode.numbering);
    chkVariants->setChecked(mode.variants);
    chkAnswerKey->setChecked(mode.answerKey);
    loading_ = false;
    copyChoiceChanged();
}

void TfrmPrintOk::copyChoiceChanged()
{
    if (!loading_)
        printMode_.setCopyChoices(chkNumber->isChecked(), chkVariants->isChecked(), chkAnswerKey->isChecked());
    const std::optional<PrintSource> page = source();
    const std::string note = chkVariants->isChecked() && page ? keptProblemsNote(*page->sheet) : "";
    lblKept->setText(toQString(note));
    lblKept->setVisible(!note.empty());
}

void TfrmPrintOk::showPageSize()
{
    lblPWidth->setText(sysText("横：") + QString::number(printer_.width()));
    lblPHeight->setText(sysText("縦：") + QString::number(printer_.height()));
}

void TfrmPrintOk::spnStartNumChange(int value)
{
    // 開始No is kept with a worksheet window's page, not with another window's.
    TfrmPrint* window = host_.printWindow();
    if (loading_ || given_ || window == nullptr) return;
    window->worksheet().settings.startNumber = value;
    window->worksheet().changed = true;
}

bool TfrmPrintOk::runPrintDialog()
{
    QPrintDialog dialog(&printer_, this);
    dialog.setObjectName("dlgPrint");
    if (dialog.exec() != QDialog::Accepted) return false;
    setUp_ = true;
    showPageSize();
    return true;
}

void TfrmPrintOk::btnSetteiClick()
{
    runPrintDialog();
}

void TfrmPrintOk::enableButtons(bool on)
{
    btnSettei->setEnabled(on);
    chkAnswers->setEnabled(on && allowAnswers_);
    btnPrint->setEnabled(on);
    btnClose->setEnabled(on);
}

bool TfrmPrintOk::copyDone(QProgressDialog* progress, int firstNumber, int done, int total)
{
    printMode_.setStart(firstNumber + done);
    if (progress == nullptr) return true;
    progress->setValue(done);
    progress->setLabelText(QString::number(done + 1) + " / " + QString::number(total) + sysText(" 部"));
    QApplication::processEvents();
    return !progress->wasCanceled();
}

void TfrmPrintOk::btnPrintClick()
{
    if (!setUp_ && !runPrintDialog()) return;
    if (!source()) return;
    PrintRequest request = printMode_.request();
    request.copies = printer_.copyCount();
    request.startNumber = spnStartNum->value();
    // Where the answers stay off the paper there is no answer key to add either.
    if (!allowAnswers_) request.answerKey = false;

    lblSize->setText(sysText("印刷中"));
    enableButtons(false);
    host_.setPrinting(true);
    std::unique_ptr<QProgressDialog> progress;
    if (request.copies > 1) {
        progress = std::make_unique<QProgressDialog>(sysText("1 / ") + QString::number(request.copies) + sysText(" 部"),
                                                     sysText("中止"), 0, request.copies, this);
        progress->setObjectName("prgPrint");
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setValue(0);
    }
    // Taken once printing has started: the printer pages frame the boxes of the page as the screen shows it now.
    PrintSource page = *source();
    page.options.answersShown = allowAnswers_ && chkAnswers->isChecked();
    const PrintOutcome out = printOnPrinter(
        printer_, *page.sheet, request, page.options,
        [this, &progress, first = request.startNumber](int done, int total) {
            return copyDone(progress.get(), first, done, total);
        },
        page.marks);
    progress.reset();
    // The jobs set the printer's count as each needed it; the teacher's count stays for the next print.
    printer_.setCopyCount(request.copies);
    // The next print starts at 1 again.
    printMode_.setStart(1);
    host_.setPrinting(false);
    enableButtons(true);
    if (!out.ok()) {
        lblSize->clear();
        prompts_.error(out.message);
        return;
    }
    if (!out.notice.empty()) prompts_.message(out.notice);
    if (out.cancelled) prompts_.message(printCancelledMessage(out.copiesPrinted));
    lblSize->setText(sysText("印刷完了"));
    accept();
}

} // namespace tavola

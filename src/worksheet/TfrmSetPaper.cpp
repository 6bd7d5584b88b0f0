#include "worksheet/TfrmSetPaper.h"

#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"
#include "platform/settings_store.h"
#include "question/unit_settings.h"
#include "worksheet/TfrmPrint.h"
#include "worksheet/print_host.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavola {

namespace {
constexpr std::array<int, 4> kPaperWidths{546, 630, 771, 891};
constexpr std::size_t kA4 = 1;
} // namespace

TfrmSetPaper::TfrmSetPaper(PrintHost& host, SettingsStore& settings, Prompts& prompts, QWidget* parent)
    : QDialog(parent), host_(host), settings_(settings), prompts_(prompts)
{
    setObjectName("frmSetPaper");
    setWindowTitle(sysText("用紙設定"));

    auto* grbPaper = new QGroupBox(sysText("用紙サイズ"), this);
    auto* papers = new QHBoxLayout(grbPaper);
    static const char* const names[] = {"rdbB5", "rdbA4", "rdbB4", "rdbA3"};
    static const char* const captions[] = {"B5", "A4", "B4", "A3"};
    for (std::size_t i = 0; i < rdbPaper.size(); ++i) {
        rdbPaper[i] = new QRadioButton(QString::fromLatin1(captions[i]), grbPaper);
        rdbPaper[i]->setObjectName(names[i]);
        // All four papers are offered: B4 is the commonest test paper in Japanese schools.
        papers->addWidget(rdbPaper[i]);
    }
    rdbPaper[kA4]->setChecked(true);

    auto* grbOption = new QGroupBox(sysText("オプション"), this);
    chkClassFlag = new QCheckBox(sysText("学級旗"), grbOption);
    chkClassFlag->setObjectName("chkClassFlag");
    chkJisshibi = new QCheckBox(sysText("実施日"), grbOption);
    chkJisshibi->setObjectName("chkJisshibi");
    chkPrinted = new QCheckBox(sysText("No.印刷日時"), grbOption);
    chkPrinted->setObjectName("chkPrinted");
    auto* options = new QVBoxLayout(grbOption);
    options->addWidget(chkClassFlag);
    options->addWidget(chkJisshibi);
    options->addWidget(chkPrinted);

    btnOk = new QPushButton("OK", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnCancel = new QPushButton(sysText("ｷｬﾝｾﾙ"), this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOk, &QPushButton::clicked, this, &TfrmSetPaper::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = rightButtonRow({btnOk, btnCancel});
    auto* all = new QVBoxLayout(this);
    all->addWidget(grbPaper);
    all->addWidget(grbOption);
    all->addLayout(buttons);
    setFixedSize(sizeHint());
}

int TfrmSetPaper::exec()
{
    if (host_.printWindow() == nullptr) return QDialog::Rejected;
    FormShow();
    return QDialog::exec();
}

void TfrmSetPaper::FormShow()
{
    const UnitSettings& set = host_.printWindow()->worksheet().settings;
    // The worksheet's own paper stays chosen, so that changing an option does not change the paper.
    std::size_t chosen = kA4;
    for (std::size_t i = 0; i < kPaperWidths.size(); ++i)
        if (kPaperWidths[i] == set.paper.width) chosen = i;
    rdbPaper[chosen]->setChecked(true);
    chkClassFlag->setChecked((set.optionBits & kOptionClassFlag) != 0);
    chkJisshibi->setChecked((set.optionBits & kOptionDateLine) != 0);
    chkPrinted->setChecked((set.optionBits & kOptionNumberLine) != 0);
}

void TfrmSetPaper::btnOkClick()
{
    TfrmPrint* window = host_.printWindow();
    if (window == nullptr) {
        reject();
        return;
    }
    int width = kPaperWidths[kA4];
    for (std::size_t i = 0; i < rdbPaper.size(); ++i)
        if (rdbPaper[i]->isChecked()) width = kPaperWidths[i];
    host_.choosePaper(width);
    if (Status written = settings_.writeInteger("PaperSize", width); !written) prompts_.error(written.message());
    Worksheet& sheet = window->worksheet();
    const int bits = (chkClassFlag->isChecked() ? kOptionClassFlag : 0) |
                     (chkJisshibi->isChecked() ? kOptionDateLine : 0) |
                     (chkPrinted->isChecked() ? kOptionNumberLine : 0);
    // Bit 8 is none of the dialog's: it is kept as the file gave it.
    const int kept = sheet.settings.optionBits & ~(kOptionClassFlag | kOptionDateLine | kOptionNumberLine);
    if ((kept | bits) != sheet.settings.optionBits) {
        sheet.settings.optionBits = kept | bits;
        sheet.changed = true;
    }
    window->redraw();
    accept();
}

} // namespace tavola

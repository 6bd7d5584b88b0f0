#include "worksheet/TfrmSettei.h"

#include "platform/qt/qt_text.h"
#include "worksheet/worksheet_host.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>

#include <algorithm>

namespace tavola {
namespace {

// Blue-grey form (BGR ffc0c0) with ivory groups (BGR f0ffff).
const QColor kFormColour(0xc0, 0xc0, 0xff);
const QColor kGroupColour(0xff, 0xff, 0xf0);

constexpr int kFormLeft = 0;
constexpr int kFormTop = 48;
constexpr int kFormWidth = 125;
// What the controls need; a shorter command panel still gets a dialog whose 閉じる can be reached.
constexpr int kContentHeight = 456;

void colour(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect geometry)
{
    auto* b = new QPushButton(sysText(caption), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setGeometry(geometry);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const char* caption, QRect geometry)
{
    auto* l = new QLabel(sysText(caption), parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    return l;
}

QSpinBox* spin(QWidget* parent, const char* name, QRect geometry)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setGeometry(geometry);
    return s;
}

QRadioButton* radio(QButtonGroup* group, QWidget* parent, const char* name, const char* caption, BoxShape shape,
                    int top)
{
    auto* r = new QRadioButton(sysText(caption), parent);
    r->setObjectName(name);
    r->setGeometry(10, top, 100, 20);
    group->addButton(r, static_cast<int>(shape));
    return r;
}

} // namespace

TfrmSettei::TfrmSettei(WorksheetHost& host, QWidget* parent) : QDialog(parent), host_(host)
{
    setObjectName("frmSettei");
    setWindowTitle(sysText("設定"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    colour(this, kFormColour);

    grbPosition = new QGroupBox(sysText("解答位置と余白"), this);
    grbPosition->setObjectName("grbPosition");
    grbPosition->setGeometry(4, 4, 117, 226);
    colour(grbPosition, kGroupColour);
    lblAnsPos = label(grbPosition, "lblAnsPos", "解答位置", {8, 20, 100, 16});
    spnAnsX = spin(grbPosition, "spnAnsX", {8, 38, 50, 22});
    spnAnsY = spin(grbPosition, "spnAnsY", {60, 38, 50, 22});
    btnUp = button(grbPosition, "btnUp", "↑", {44, 64, 28, 24});
    btnLeft = button(grbPosition, "btnLeft", "←", {12, 88, 28, 24});
    btnRight = button(grbPosition, "btnRight", "→", {76, 88, 28, 24});
    btnDown = button(grbPosition, "btnDown", "↓", {44, 112, 28, 24});
    lblLeftM = label(grbPosition, "lblLeftM", "左空白", {8, 142, 50, 16});
    spnLeftM = spin(grbPosition, "spnLeftM", {60, 138, 50, 22});
    lblRightM = label(grbPosition, "lblRightM", "右空白", {8, 168, 50, 16});
    spnRightM = spin(grbPosition, "spnRightM", {60, 164, 50, 22});
    btnKakudai = button(grbPosition, "btnKakudai", "拡大", {8, 192, 100, 26});

    grbShape = new QGroupBox(sysText("解答欄の形"), this);
    grbShape->setObjectName("grbShape");
    grbShape->setGeometry(4, 236, 117, 174);
    colour(grbShape, kGroupColour);
    shapeButtons = new QButtonGroup(this);
    shapeButtons->setExclusive(true);
    radNon = radio(shapeButtons, grbShape, "radNon", "なし", BoxShape::None, 20);
    radShikaku = radio(shapeButtons, grbShape, "radShikaku", "四角", BoxShape::Square, 42);
    radKakko = radio(shapeButtons, grbShape, "radKakko", "[   ]", BoxShape::Brackets, 64);
    radLine = radio(shapeButtons, grbShape, "radLine", "【　】", BoxShape::LenticularBrackets, 86);
    radKasen = radio(shapeButtons, grbShape, "radKasen", "____", BoxShape::Underline, 64);
    radRound = radio(shapeButtons, grbShape, "radRound", "角丸", BoxShape::Rounded, 86);
    radKakko->hide();
    radLine->hide();
    lblKranWX = label(grbShape, "lblKranWX", "幅", {10, 118, 36, 16});
    spnKranWX = spin(grbShape, "spnKranWX", {50, 114, 56, 22});
    lblKranH = label(grbShape, "lblKranH", "高さ", {10, 144, 36, 16});
    spnKranH = spin(grbShape, "spnKranH", {50, 140, 56, 22});
    spnKranX = spin(grbShape, "spnKranX", {10, 166, 40, 22});
    spnKranY = spin(grbShape, "spnKranY", {60, 166, 40, 22});
    spnKranX->hide();
    spnKranY->hide();

    btnOk = button(this, "btnOk", "閉じる", {12, 418, 100, 30});

    spins_ = {
        {SettingControl::BoxWidth, spnKranWX},  {SettingControl::BoxHeight, spnKranH},
        {SettingControl::AnswerX, spnAnsX},     {SettingControl::AnswerY, spnAnsY},
        {SettingControl::BoxInsetX, spnKranX},  {SettingControl::BoxInsetY, spnKranY},
        {SettingControl::LeftMargin, spnLeftM}, {SettingControl::RightMargin, spnRightM},
    };
    for (const auto& entry : spins_) {
        SettingControl control = entry.first;
        QSpinBox* box = entry.second;
        SpinRange range = spinRange(control);
        box->setRange(range.min, range.max);
        connect(box, &QSpinBox::valueChanged, this, [this, control](int value) { spinChange(control, value); });
    }
    connect(shapeButtons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) radShapeClick(id);
    });
    connect(btnLeft, &QPushButton::clicked, this, [this] { spnAnsX->setValue(spnAnsX->value() - 1); });
    connect(btnRight, &QPushButton::clicked, this, [this] { spnAnsX->setValue(spnAnsX->value() + 1); });
    connect(btnUp, &QPushButton::clicked, this, [this] { spnAnsY->setValue(spnAnsY->value() - 1); });
    connect(btnDown, &QPushButton::clicked, this, [this] { spnAnsY->setValue(spnAnsY->value() + 1); });
    connect(btnKakudai, &QPushButton::clicked, this, [this] { btnKakudaiClick(); });
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });

    // The dialog's keys work whichever control has the focus, before the control sees them (a spin would take
    // Page Up and Page Down as steps of its own).
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    placeForm();
}

int TfrmSettei::exec()
{
    if (host_.activeWorksheet() == nullptr) return Rejected;
    FormShow();
    return QDialog::exec();
}

void TfrmSettei::placeForm()
{
    int height = panelHeight_;
    if (height <= 0 && parentWidget() != nullptr) height = parentWidget()->height() - kFormTop;
    // As high as the command panel, but never past the bottom of the screen with its title bar, so that on a low
    // screen (1366 × 768) the whole dialog can still be reached.
    if (QScreen* s = screen()) {
        const int titleBar = std::max(frameGeometry().height() - geometry().height(),
                                      style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this));
        height = std::min(height, s->availableGeometry().bottom() + 1 - kFormTop - titleBar);
    }
    setFixedSize(kFormWidth, std::max(height, kContentHeight));
    move(kFormLeft, kFormTop);
}

void TfrmSettei::FormShow()
{
    const Worksheet& sheet = *host_.activeWorksheet();
    placeForm();

    // Loading the controls is not a change of the worksheet.
    loading_ = true;
    BoxShape shape = shapeButtonOf(settingValue(sheet, SettingControl::Shape));
    shapeButtons->button(static_cast<int>(shape))->setChecked(true);
    enableSizeSpins(shape);
    for (auto [control, box] : spins_) {
        int value = settingValue(sheet, control);
        SpinRange range = rangeHolding(spinRange(control), value);
        box->setRange(range.min, range.max);
        box->setValue(value);
    }
    btnKakudai->setText(toQString(host_.reducedViewCaption()));
    loading_ = false;

    if (!host_.showAnswers()) host_.setShowAnswers(true);
}

void TfrmSettei::enableSizeSpins(BoxShape shape)
{
    SizeSpinsEnabled enabled = sizeSpinsEnabled(shape);
    spnKranWX->setEnabled(enabled.width);
    spnKranH->setEnabled(enabled.height);
}

void TfrmSettei::radShapeClick(int shape)
{
    if (loading_) return;
    Worksheet* sheet = host_.activeWorksheet();
    if (sheet == nullptr) return;
    enableSizeSpins(static_cast<BoxShape>(shape));
    if (applySetting(*sheet, SettingControl::Shape, shape)) host_.markActiveWorksheetChanged();
    host_.redrawActiveWorksheet();
}

void TfrmSettei::spinChange(SettingControl control, int value)
{
    if (loading_) return;
    Worksheet* sheet = host_.activeWorksheet();
    if (sheet == nullptr) return;
    if (applySetting(*sheet, control, value)) host_.markActiveWorksheetChanged();
    host_.redrawActiveWorksheet();
}

void TfrmSettei::btnKakudaiClick()
{
    host_.toggleReducedView();
    btnKakudai->setText(toQString(host_.reducedViewCaption()));
}

void TfrmSettei::btnOkClick()
{
    if (Worksheet* sheet = host_.activeWorksheet()) {
        if (applyClosingSizes(*sheet, spnKranWX->value(), spnKranH->value())) host_.markActiveWorksheetChanged();
        host_.redrawActiveWorksheet();
    }
    accept();
}

bool TfrmSettei::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (FormKeyPress(key->key(), key->text())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmSettei::FormKeyPress(int key, const QString& text)
{
    switch (key) {
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        host_.scrollActiveWorksheet();
        return true;
    case Qt::Key_Backspace:
        return true;
    default:
        break;
    }
    if (text == "S" || text == "s") {
        btnKakudaiClick();
        return true;
    }
    return false;
}

} // namespace tavola

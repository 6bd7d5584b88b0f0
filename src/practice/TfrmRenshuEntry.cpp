// The practice window's answer-entry aids: the fraction pad and the number pad, the choice list, the soft
// keyboard and the input box colours. Every aid writes into the current box and gives the focus back to it.
#include "practice/TfrmRenshu.h"

#include "platform/qt/qt_text.h"
#include "platform/text_helpers.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavola {

namespace {

// Aid buttons never take the focus from the box they write into.
QPushButton* padKey(QWidget* parent, const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumSize(34, 30);
    return b;
}

QPixmap swatch(Colour c)
{
    QPixmap p(24, 24);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::gray);
    painter.setBrush(QColor(c.red(), c.green(), c.blue()));
    painter.drawEllipse(2, 2, 20, 20);
    return p;
}

} // namespace

void TfrmRenshu::buildFractionPad(QWidget* parent)
{
    auto* layout = new QHBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* fraction = new QGroupBox(sysText("分数の入力"), parent);
    auto* grid = new QGridLayout(fraction);
    edtSign = new QLineEdit(fraction);
    edtSign->setObjectName("edtSign");
    edtBunshi = new QLineEdit(fraction);
    edtBunshi->setObjectName("edtBunshi");
    edtBunbo = new QLineEdit(fraction);
    edtBunbo->setObjectName("edtBunbo");
    shpBunno = new QLabel(fraction);
    shpBunno->setObjectName("shpBunno");
    shpBunno->setFixedHeight(4);
    for (QLineEdit* e : {edtSign, edtBunshi, edtBunbo})
        e->setFixedWidth(56);
    edtSign->setReadOnly(true);
    edtBunbo->setReadOnly(true);
    edtBunshi->installEventFilter(this);
    connect(edtBunshi, &QLineEdit::textEdited, this, [this] { pad_.numerator = fromQStringLossy(edtBunshi->text()); });
    grid->addWidget(edtSign, 0, 0, 3, 1, Qt::AlignVCenter);
    grid->addWidget(edtBunshi, 0, 1);
    grid->addWidget(shpBunno, 1, 1);
    grid->addWidget(edtBunbo, 2, 1);

    auto* keys = new QGridLayout;
    // BitBtn0 is 0, BitBtn2 … BitBtn10 are 1 … 9.
    for (int d = 0; d <= 9; ++d) {
        const QString name = d == 0 ? QStringLiteral("BitBtn0") : QStringLiteral("BitBtn%1").arg(d + 1);
        QPushButton* key = padKey(fraction, name, QString::number(d));
        connect(key, &QPushButton::clicked, this, [this, d] {
            pad_.digit(static_cast<char>('0' + d));
            showFractionPad();
            if (pad_.numeratorState) {
                edtBunshi->setFocus();
                edtBunshi->deselect();
                edtBunshi->end(false);
            }
        });
        keys->addWidget(key, d == 0 ? 3 : (9 - d) / 3, d == 0 ? 0 : (d - 1) % 3);
    }
    grid->addLayout(keys, 0, 2, 4, 1);

    QPushButton* btnBunno = padKey(fraction, "btnBunno", sysText("分の"));
    QPushButton* btnTo = padKey(fraction, "btnTo", sysText("と"));
    QPushButton* btnInsert = padKey(fraction, "btnInsert", sysText("<=="));
    QPushButton* btnInputBun = padKey(fraction, "btnInputBun", sysText("次へ"));
    QPushButton* btnClear = padKey(fraction, "btnClear", sysText("消去"));
    auto* actions = new QVBoxLayout;
    for (QPushButton* b : {btnBunno, btnTo, btnInsert, btnInputBun, btnClear})
        actions->addWidget(b);
    grid->addLayout(actions, 0, 3, 4, 1);
    connect(btnBunno, &QPushButton::clicked, this, [this] {
        pad_.bunno();
        showFractionPad();
        edtBunshi->setFocus();
        edtBunshi->end(false);
    });
    connect(btnTo, &QPushButton::clicked, this, [this] {
        pad_.to();
        showFractionPad();
    });
    auto compose = [this](bool enter) {
        auto answer = pad_.compose();
        showFractionPad();
        if (answer)
            putInBox(*answer, enter);
        else
            putInBox(engine_.box(engine_.currentBox()).text, false);
    };
    connect(btnInsert, &QPushButton::clicked, this, [compose] { compose(false); });
    connect(btnInputBun, &QPushButton::clicked, this, [compose] { compose(true); });
    connect(btnClear, &QPushButton::clicked, this, [this] {
        pad_.clear();
        showFractionPad();
        putInBox(std::string(), false);
    });
    layout->addWidget(fraction);

    auto* number = new QGroupBox(sysText("整数の入力"), parent);
    auto* numberKeys = new QGridLayout(number);
    // BitBtn1 is 0, BitBtn23 … BitBtn31 are 1 … 9.
    for (int d = 0; d <= 9; ++d) {
        const QString name = d == 0 ? QStringLiteral("BitBtn1") : QStringLiteral("BitBtn%1").arg(22 + d);
        QPushButton* key = padKey(number, name, QString::number(d));
        connect(key, &QPushButton::clicked, this, [this, d] { appendToBox(std::string(1, '0' + d), true); });
        numberKeys->addWidget(key, d == 0 ? 3 : (9 - d) / 3, d == 0 ? 0 : (d - 1) % 3);
    }
    QPushButton* minus = padKey(number, "btnMinus2", "-");
    QPushButton* dot = padKey(number, "btnDot", ".");
    // After a wrong answer its text stands selected: the pad's first key starts a new answer, as typing does.
    connect(minus, &QPushButton::clicked, this, [this] { appendToBox("-", true); });
    connect(dot, &QPushButton::clicked, this, [this] { appendToBox(".", true); });
    numberKeys->addWidget(minus, 3, 1);
    numberKeys->addWidget(dot, 3, 2);
    QPushButton* clear = padKey(number, "btnClearNum", sysText("消去"));
    connect(clear, &QPushButton::clicked, this, [this] { putInBox(std::string(), false); });
    // 入力 is Enter for a child who works with the mouse alone. A fraction still waiting in the fraction pad goes
    // into the box first, so that what the pads composed is what is judged.
    QPushButton* input = padKey(number, "btnInputNum", sysText("入力"));
    connect(input, &QPushButton::clicked, this, [this] {
        if (auto answer = pad_.compose()) {
            showFractionPad();
            putInBox(*answer, true);
            return;
        }
        btnNext2Click();
    });
    numberKeys->addWidget(clear, 4, 0);
    numberKeys->addWidget(input, 4, 1, 1, 2);
    layout->addWidget(number);
}

void TfrmRenshu::buildChoicePanel(QWidget* parent)
{
    auto* layout = new QHBoxLayout(parent);
    lstKgroup = new QListWidget(parent);
    lstKgroup->setObjectName("lstKgroup");
    lstKgroup->setFocusPolicy(Qt::NoFocus);
    connect(lstKgroup, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { putInBox(fromQStringLossy(item->text()), false); });
    layout->addWidget(lstKgroup, 1);
    auto* side = new QVBoxLayout;
    for (const char* line : {"解答を選択し", "[入力]ボタンを", "押してください"})
        side->addWidget(new QLabel(sysText(line)));
    btnNext2 = padKey(parent, "btnNext2", sysText("入力"));
    btnClear2 = padKey(parent, "btnClear2", sysText("クリア"));
    connect(btnNext2, &QPushButton::clicked, this, &TfrmRenshu::btnNext2Click);
    connect(btnClear2, &QPushButton::clicked, this, [this] { putInBox(std::string(), false); });
    side->addWidget(btnNext2);
    side->addWidget(btnClear2);
    layout->addLayout(side);
}

void TfrmRenshu::buildSoftKeyboard(QWidget* parent)
{
    auto* layout = new QVBoxLayout(parent);
    layout->addWidget(new QLabel(sysText("英数字はキーボードから入力してください")));
    auto* grid = new QGridLayout;
    grid->setSpacing(1);
    for (int k = 0; k < kSoftKeys; ++k) {
        QPushButton* key = padKey(parent, QStringLiteral("Button%1").arg(k + 1), QString());
        key->setMinimumSize(28, 24);
        key->setStyleSheet(QStringLiteral("color: #008000;"));
        connect(key, &QPushButton::clicked, this, [this, key] {
            if (!key->text().isEmpty()) appendToBox(fromQStringLossy(key->text()), true);
        });
        grid->addWidget(key, k / 12, k % 12);
        softKeys[static_cast<std::size_t>(k)] = key;
    }
    layout->addLayout(grid);
    auto* row = new QHBoxLayout;
    QPushButton* next = padKey(parent, "btnNext", sysText("次へ"));
    QPushButton* clear = padKey(parent, "btnClearS", sysText("クリア"));
    QPushButton* back = padKey(parent, "BitBtn11", sysText("ＢＳ"));
    connect(next, &QPushButton::clicked, this, &TfrmRenshu::btnNext2Click);
    connect(clear, &QPushButton::clicked, this, [this] { putInBox(std::string(), false); });
    connect(back, &QPushButton::clicked, this,
            [this] { putInBox(withoutLastCharacter(engine_.box(engine_.currentBox()).text), false); });
    for (QPushButton* b : {next, clear, back})
        row->addWidget(b);
    layout->addLayout(row);
    parent->hide();
}

void TfrmRenshu::buildColours(QWidget* parent)
{
    auto* layout = new QHBoxLayout(parent);
    for (int k = 0; k < 4; ++k) {
        auto* shape = new QLabel(parent);
        shape->setObjectName(QStringLiteral("shpCol%1").arg(k + 1));
        shape->setPixmap(swatch(kBoxColours[static_cast<std::size_t>(k)]));
        shape->installEventFilter(this);
        auto* radio = new QRadioButton(parent);
        radio->setObjectName(QStringLiteral("rad%1").arg(k + 1));
        radio->setFocusPolicy(Qt::NoFocus);
        connect(radio, &QRadioButton::clicked, this, [this, k] { chooseColour(k); });
        radColour[static_cast<std::size_t>(k)] = radio;
        layout->addWidget(radio);
        layout->addWidget(shape);
    }
    layout->addStretch(1);
}

void TfrmRenshu::chooseColour(int k)
{
    radColour[static_cast<std::size_t>(k)]->setChecked(true);
    boxColour_ = kBoxColours[static_cast<std::size_t>(k)];
    // Only the fill changes: the boxes keep their place in the exercise.
    if (worksheet_ != nullptr) sync(false);
}

void TfrmRenshu::showFractionPad()
{
    edtSign->setText(toQString(pad_.whole));
    edtBunshi->setText(toQString(pad_.numerator));
    edtBunbo->setText(toQString(pad_.denominator));
    shpBunno->setStyleSheet(pad_.barRed ? QStringLiteral("background: red;") : QStringLiteral("background: white;"));
}

void TfrmRenshu::putInBox(const std::string& text, bool enter)
{
    const int i = engine_.currentBox();
    if (i < 1 || i > engine_.boxCount()) return;
    QLineEdit* edit = answerEdit(i);
    engine_.setText(i, text);
    lastGood_[static_cast<std::size_t>(i)] = text;
    edit->setText(toQString(text));
    edit->setFocus();
    edit->deselect();
    edit->end(false);
    if (enter) enterIn(i);
}

void TfrmRenshu::appendToBox(const std::string& text, bool replaceSelection)
{
    const int i = engine_.currentBox();
    if (i < 1 || i > engine_.boxCount()) return;
    const bool replace = replaceSelection && answerEdit(i)->hasSelectedText();
    putInBox((replace ? std::string() : engine_.box(i).text) + text, false);
}

void TfrmRenshu::prepareAids()
{
    if (engine_.soft()) {
        const auto captions = softKeyCaptions(worksheet_->kgroup, random_);
        for (int k = 0; k < kSoftKeys; ++k)
            softKeys[static_cast<std::size_t>(k)]->setText(toQString(captions[static_cast<std::size_t>(k)]));
    }
    std::vector<std::string> items;
    for (int r = 0; r < lstKgroup->count(); ++r)
        items.push_back(fromQStringLossy(lstKgroup->item(r)->text()));
    if (items.size() > 1) {
        shuffleList(items, random_);
        for (int r = 0; r < lstKgroup->count(); ++r)
            lstKgroup->item(r)->setText(toQString(items[static_cast<std::size_t>(r)]));
    }
}

} // namespace tavola

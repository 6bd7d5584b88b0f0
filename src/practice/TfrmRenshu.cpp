#include "practice/TfrmRenshu.h"

#include "platform/numbers.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_text.h"
#include "practice/qt_mood_pictures.h"
#include "practice/qt_scratch_pad.h"
#include "question/master_file.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace tavola {

namespace {

constexpr int kRightPanelWidth = 430;
// Room for the request to correct and the answer with an alternative below it.
constexpr int kMessageHeight = 140;

// The sheet picture; the input boxes are its children, so they scroll with it.
class SheetPicture : public QWidget {
public:
    SheetPicture(const QImage& image, const double& scale, QWidget* parent)
        : QWidget(parent), image_(image), scale_(scale)
    {
        setObjectName("imgPaper2");
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        const QRect r = event->rect();
        painter.fillRect(r, Qt::white);
        if (scale_ == 1.0) {
            painter.drawImage(r.topLeft(), image_, r);
            return;
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setClipRect(r);
        painter.drawImage(QRectF(0, 0, image_.width() * scale_, image_.height() * scale_), image_);
    }

private:
    const QImage& image_;
    const double& scale_;
};

// How far the input box is shown left of the engine's box, and narrower than it on the right, to lie in the frame.
constexpr int kEditInset = 4;

// The narrowest the sheet is shown: below it the text is too small to read, and the sheet scrolls sideways.
constexpr double kMinimumSheetScale = 0.6;

QColor qcolour(Colour c)
{
    return QColor(c.red(), c.green(), c.blue());
}

QRect qrect(const Rect& r)
{
    return QRect(QPoint(std::min(r.left, r.right), std::min(r.top, r.bottom)),
                 QPoint(std::max(r.left, r.right), std::max(r.top, r.bottom)));
}

} // namespace

TfrmRenshu::TfrmRenshu(TfrmRenshuHost& host, Prompts& prompts, Random& random, QWidget* parent)
    : QDialog(parent), host_(host), prompts_(prompts), random_(random), engine_(*this, prompts, random)
{
    setObjectName("frmRenshu");
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* menuBar = new QMenuBar(this);
    QMenu* options = menuBar->addMenu(sysText("オプション(&O)"));
    options->setObjectName("mnuOption");
    mnuReduceHint = options->addAction(sysText("約分のヒント"));
    mnuReduceHint->setObjectName("mnuReduceHint");
    mnuReduceHint->setCheckable(true);
    connect(mnuReduceHint, &QAction::toggled, this, [this](bool on) { engine_.setReductionHints(on); });
    outer->setMenuBar(menuBar);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    outer->addLayout(row);

    left_ = new QWidget(this);
    left_->setFixedWidth(kButtonPanelWidth);
    pnlRenshu = new QWidget(left_);
    pnlRenshu->setObjectName("pnlRenshu");
    buildButtons();
    row->addWidget(left_);

    scrPaper = new QScrollArea(this);
    scrPaper->setObjectName("scrPaper");
    scrPaper->setBackgroundRole(QPalette::Dark);
    imgPaper2 = new SheetPicture(sheet_, scale_, nullptr);
    scrPaper->setWidget(imgPaper2);
    // A click on the sheet leaves the focus in the answer box (what is typed next goes there).
    scrPaper->setFocusPolicy(Qt::NoFocus);
    scrPaper->installEventFilter(this);
    imgPaper2->installEventFilter(this);
    scrPaper->viewport()->installEventFilter(this);
    row->addWidget(scrPaper, 1);
    for (int i = 0; i < kPracticeSlots; ++i) {
        auto* edit = new QLineEdit(imgPaper2);
        const QString name = QStringLiteral("M%1").arg(i);
        edit->setObjectName(name);
        edit->setText(name);
        edit->resize(100, 50);
        edit->setFocusPolicy(Qt::ClickFocus);
        edit->hide();
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, i] { boxEdited(i); });
        answerEdit_[static_cast<std::size_t>(i)] = edit;
    }

    // The panels scroll on their own when the screen is lower than they are, so that they never make the window
    // taller than the screen (its lower part, with the boxes the learner types into, would be out of sight).
    auto* right = new QWidget;
    right->setFixedWidth(kRightPanelWidth);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(4, 4, 4, 4);
    auto* panels = new QScrollArea(this);
    panels->setObjectName("scrPanels");
    panels->setFrameShape(QFrame::NoFrame);
    panels->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panels->setFocusPolicy(Qt::NoFocus);
    panels->setWidgetResizable(true);
    panels->setWidget(right);
    panels->setFixedWidth(kRightPanelWidth + panels->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    row->addWidget(panels);
    buildRightPanels();
    rightLayout->addWidget(pnlKiroku);
    rightLayout->addWidget(pnlSS, 1);

    timSecond = new QTimer(this);
    timSecond->setObjectName("timSecond");
    timSecond->setInterval(1000);
    connect(timSecond, &QTimer::timeout, this, [this] { engine_.tick(); });
}

TfrmRenshu::~TfrmRenshu() = default;

QPushButton* TfrmRenshu::button(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(sysText(caption), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

void TfrmRenshu::buildButtons()
{
    auto* layout = new QVBoxLayout(pnlRenshu);
    btnRenshu = button(pnlRenshu, "btnRenshu", "練習");
    btnFukushu = button(pnlRenshu, "btnFukushu", "復習");
    btnTest = button(pnlRenshu, "btnTest", "テスト");
    btnShowRecord = button(pnlRenshu, "btnShowRecord", "記録表示");
    btnStartPrint = button(pnlRenshu, "btnStartPrint", "印刷");
    btnEnd = button(pnlRenshu, "btnEnd", "閉じる");
    for (QPushButton* b : {btnRenshu, btnFukushu, btnTest, btnShowRecord, btnStartPrint, btnEnd}) {
        b->setMinimumHeight(40);
        layout->addWidget(b);
    }
    layout->addStretch(1);
    pnlRenshu->setFixedWidth(kButtonPanelWidth);
    connect(btnRenshu, &QPushButton::clicked, this, &TfrmRenshu::btnRenshuClick);
    connect(btnFukushu, &QPushButton::clicked, this, &TfrmRenshu::btnFukushuClick);
    connect(btnTest, &QPushButton::clicked, this, &TfrmRenshu::btnTestClick);
    connect(btnShowRecord, &QPushButton::clicked, this, &TfrmRenshu::btnShowRecordClick);
    connect(btnStartPrint, &QPushButton::clicked, this, &TfrmRenshu::btnStartPrintClick);
    connect(btnEnd, &QPushButton::clicked, this, &TfrmRenshu::btnEndClick);
}

void TfrmRenshu::buildRightPanels()
{
    pnlKiroku = new QWidget(this);
    pnlKiroku->setObjectName("pnlKiroku");
    auto* kiroku = new QVBoxLayout(pnlKiroku);
    lblKiroku = new QLabel(pnlKiroku);
    lblKiroku->setObjectName("lblKiroku");
    lblKiroku->setWordWrap(true);
    memKiroku = new QPlainTextEdit(pnlKiroku);
    memKiroku->setObjectName("memKiroku");
    memKiroku->setReadOnly(true);
    memKiroku->setFixedHeight(250);
    QFont memo = memKiroku->font();
    memo.setPointSize(9);
    memKiroku->setFont(memo);
    imgMess = new QLabel(pnlKiroku);
    imgMess->setObjectName("imgMess");
    imgMess->setFixedSize(kRightPanelWidth - 30, 160);
    imgMess->installEventFilter(this);
    kiroku->addWidget(lblKiroku);
    kiroku->addWidget(memKiroku);
    kiroku->addWidget(imgMess);
    kiroku->addStretch(1);

    pnlSS = new QWidget(this);
    pnlSS->setObjectName("pnlSS");
    auto* ss = new QVBoxLayout(pnlSS);
    ss->setContentsMargins(0, 0, 0, 0);
    grbTest = new QGroupBox(pnlSS);
    grbTest->setObjectName("grbTest");
    auto* test = new QHBoxLayout(grbTest);
    btnAnswer = button(grbTest, "btnAnswer", "答えを見る");
    btnHint = button(grbTest, "btnHint", "ヒントを見る");
    btnSaiten = button(grbTest, "btnSaiten", "採点");
    btnAbort = button(grbTest, "btnAbort", "中止");
    for (QPushButton* b : {btnAnswer, btnHint, btnSaiten, btnAbort})
        test->addWidget(b);
    connect(btnAnswer, &QPushButton::clicked, this, &TfrmRenshu::btnAnswerClick);
    connect(btnHint, &QPushButton::clicked, this, &TfrmRenshu::btnHintClick);
    connect(btnSaiten, &QPushButton::clicked, this, &TfrmRenshu::btnSaitenClick);
    connect(btnAbort, &QPushButton::clicked, this, &TfrmRenshu::btnAbortClick);
    ss->addWidget(grbTest);
    imgMessXX = new QLabel(pnlSS);
    imgMessXX->setObjectName("imgMessXX");
    imgMessXX->setFixedSize(kRightPanelWidth - 10, kMessageHeight);
    ss->addWidget(imgMessXX);
    pnlBunsu = new QWidget(pnlSS);
    pnlBunsu->setObjectName("pnlBunsu");
    buildFractionPad(pnlBunsu);
    ss->addWidget(pnlBunsu);
    grbSelect = new QGroupBox(sysText("答えの選択"), pnlSS);
    grbSelect->setObjectName("grbSelect");
    buildChoicePanel(grbSelect);
    ss->addWidget(grbSelect);
    grbMoji = new QGroupBox(sysText("ソフトキーボード"), pnlSS);
    grbMoji->setObjectName("grbMoji");
    buildSoftKeyboard(grbMoji);
    ss->addWidget(grbMoji);
    auto* colours = new QGroupBox(sysText("解答欄の色"), pnlSS);
    colours->setObjectName("grbColour");
    buildColours(colours);
    ss->addWidget(colours);
    imgMemo = new ScratchPad(pnlSS);
    ss->addWidget(imgMemo, 1);
    pnlSS->hide();
}

void TfrmRenshu::practise(Worksheet& sheet, const FigurePictures& figures, PictureRef classFlag)
{
    if (!prepare(sheet, figures, std::move(classFlag))) return;
    exec();
    finish();
}

bool TfrmRenshu::prepare(Worksheet& sheet, const FigurePictures& figures, PictureRef classFlag)
{
    worksheet_ = &sheet;
    figures_ = figures;
    classFlag_ = std::move(classFlag);
    answersWere_ = sheet.settings.answersShown;
    alternativeWas_ = host_.alternativeAnswersOption();
    host_.setAlternativeAnswersOption(false);
    layoutSheet();
    if (layout_.overflow || layout_.answerBoxes.size() > static_cast<std::size_t>(kMaxAnswerBoxes)) {
        prompts_.message(tooManyBoxesMessage());
        finish();
        return false;
    }
    paintSheet();
    setWindowTitle(toQString(sheet.title));
    if (parentWidget() != nullptr) {
        QRect r = parentWidget()->geometry();
        // Never taller or wider than the screen: the lowest boxes would be typed into unseen.
        if (QScreen* screen = parentWidget()->screen()) r = r.intersected(screen->availableGeometry());
        if (!r.isEmpty()) setGeometry(r);
    }

    lstKgroup->clear();
    for (const std::string& line : sheet.kgroup)
        lstKgroup->addItem(toQString(line));
    ExerciseLayout layout;
    layout.boxes = layout_.answerBoxes;
    layout.fontSize = sheet.settings.characterSize;
    layout.boxWidth = sheet.settings.answerBox.width;
    layout.boxHeight = sheet.settings.answerBox.height;
    layout.sheetWidth = sheet_.width();
    layout.hasChoices = !sheet.kgroup.empty();
    // A unit saved as a copy keeps its hints; a worksheet opened from a copy file has none.
    layout.fromCopyFile = sheet.masterPath.empty();
    // The hints are those of the unit's record in its master file as it is when the practice window opens, as the
    // editor would load them; the worksheet does not carry them.
    std::vector<std::string> hints = recordHints(sheet.masterPath, unitRecordMarker(sheet.position));
    layout.hasHints = !hints.empty();
    engine_.open(layout, std::move(hints));
    drawing_.setStyle(markStyle());
    drawing_.setContext(layout_.context);
    engine_.setReductionHints(mnuReduceHint->isChecked());

    chooseColour(0);
    pad_.clear();
    showFractionPad();
    refreshRecordMemo();
    imgMemo->clearWithUsage();
    sync(false);
    fitSheet();
    scrPaper->horizontalScrollBar()->setValue(0);
    btnRenshu->setFocus();
    return true;
}

void TfrmRenshu::finish()
{
    if (worksheet_ == nullptr) return;
    engine_.close();
    timSecond->stop();
    host_.setAlternativeAnswersOption(alternativeWas_);
    worksheet_->settings.answersShown = answersWere_;
    worksheet_->practice = false;
    worksheet_ = nullptr;
    for (QLineEdit* edit : answerEdit_)
        edit->hide();
}

void TfrmRenshu::layoutSheet()
{
    DrawOptions options = host_.practiceDrawOptions();
    options.answersShown = false;
    options.practice = true;
    options.alternativeAnswers = false;
    options.figures = &figures_;
    options.classFlag = classFlag_;
    const int width = std::clamp(worksheet_->settings.paper.width, 1, 4096);
    const int height = std::clamp(worksheet_->settings.paper.height, 1, 4096);
    if (sheet_.width() != width || sheet_.height() != height) sheet_ = QImage(width, height, QImage::Format_RGB32);
    {
        QtCanvas canvas(sheet_);
        layout_ = layoutPage(*worksheet_, canvas, options);
    }
    adoptFigurePositions(*worksheet_, layout_);
}

void TfrmRenshu::paintSheet()
{
    {
        QtCanvas canvas(sheet_);
        paintPage(layout_, canvas);
    }
    imgPaper2->setFixedSize(qRound(sheet_.width() * scale_), qRound(sheet_.height() * scale_));
    imgPaper2->update();
}

void TfrmRenshu::fitSheet()
{
    if (worksheet_ == nullptr || sheet_.width() <= 0) return;
    // The sheet is taller than most screens, so room is kept for the upright scroll bar.
    const int room = scrPaper->width() - 2 * scrPaper->frameWidth() -
                     scrPaper->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrPaper);
    const double scale = std::clamp(static_cast<double>(room) / sheet_.width(), kMinimumSheetScale, 1.0);
    if (std::abs(scale - scale_) < 0.005) return;
    scale_ = scale;
    imgPaper2->setFixedSize(qRound(sheet_.width() * scale_), qRound(sheet_.height() * scale_));
    imgPaper2->update();
    if (!syncing_) sync(false);
}

QRect TfrmRenshu::onScreen(const Rect& r) const
{
    const QRect page = qrect(r);
    return QRect(QPoint(qFloor(page.left() * scale_), qFloor(page.top() * scale_)),
                 QPoint(qCeil(page.right() * scale_), qCeil(page.bottom() * scale_)));
}

void TfrmRenshu::drawSheet()
{
    layoutSheet();
    paintSheet();
}

void TfrmRenshu::damage(const Rect& r)
{
    imgPaper2->update(onScreen(r).adjusted(-4, -4, 4, 4));
}

MarkStyle TfrmRenshu::markStyle() const
{
    MarkStyle style;
    style.fontSize = worksheet_->settings.characterSize;
    style.boxWidth = worksheet_->settings.answerBox.width;
    style.boxHeight = worksheet_->settings.answerBox.height;
    return style;
}

// ---- what the engine draws and asks ----

void TfrmRenshu::drawEntry(const std::string& text, int x, int y, Colour colour)
{
    damage(drawing_.entry(text, x, y, colour));
}

void TfrmRenshu::paintPatch(const PracticeBox& box)
{
    damage(drawing_.patch(box));
}

void TfrmRenshu::drawMark(const PracticeBox& box, MarkKind kind, Colour colour)
{
    damage(drawing_.mark(box, kind, colour));
}

void TfrmRenshu::drawScore(int score)
{
    const Rect drawn = drawing_.score(score, layout_.scorePosition, kButtonPanelWidth, layout_.nameLine);
    damage(drawn);
    // On a small screen the score may lie outside the visible part of the sheet.
    const QRect r = onScreen(drawn);
    scrPaper->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + 8, r.height() / 2 + 8);
}

void TfrmRenshu::drawHint(const PracticeBox& box, const std::string& hint)
{
    // Every other box where it is and where it goes after a wrong answer, and this box's own place: what is
    // written there later (entries, the answers when scoring) would cover the hint, or the hint them.
    std::vector<Rect> keepClear;
    for (int i = 1; i <= engine_.boxCount(); ++i) {
        const PracticeBox& b = engine_.box(i);
        keepClear.push_back({b.homeLeft - 2, b.homeTop - 2, b.homeLeft + 2 * b.width + 2, b.homeTop + b.height + 2});
        keepClear.push_back({b.left - 2, b.top - 2, b.left + b.width + 2, b.top + b.height + 2});
    }
    // This box moves right along its line with every wrong answer.
    keepClear.push_back({box.left - 2, box.top - 2, sheet_.width(), box.top + box.height + 2});
    damage(drawing_.hint(box, hint, keepClear));
}

void TfrmRenshu::showAllCorrect()
{
    host_.showAllCorrect();
}

void TfrmRenshu::writeRecord(const ScoredExercise& result)
{
    host_.writePracticeRecord(*worksheet_, result);
}

void TfrmRenshu::refreshRecordMemo()
{
    if (worksheet_ == nullptr) return;
    auto [label, lines] = host_.practiceRecordMemo(*worksheet_);
    lblKiroku->setText(toQString(label));
    QStringList text;
    for (const std::string& line : lines)
        text << toQString(line);
    if (text.isEmpty()) text << sysText("練習の記録はありません");
    memKiroku->setPlainText(text.join('\n'));
}

void TfrmRenshu::scrollToTop()
{
    scrPaper->verticalScrollBar()->setValue(0);
    scrPaper->horizontalScrollBar()->setValue(0);
}

// ---- the engine's state onto the controls ----

void TfrmRenshu::sync(bool focus)
{
    syncing_ = true;
    // Hiding the box that has the focus moves the focus; the engine's choice is taken before.
    const FocusTarget target = engine_.focus();
    const int focusBox = engine_.currentBox();
    const bool select = engine_.selectBoxText();
    const int n = engine_.boxCount();
    const QString fill = qcolour(boxColour_).name();
    if (worksheet_ != nullptr) {
        QFont font(toQString("ＭＳ 明朝"_sj));
        font.setPixelSize(std::max(6, roundEven(worksheet_->settings.characterSize * 96.0 / 72.0 * scale_)));
        for (int i = 1; i <= n; ++i)
            if (answerEdit(i)->font() != font) answerEdit(i)->setFont(font);
    }
    for (int i = 1; i < kPracticeSlots; ++i) {
        QLineEdit* edit = answerEdit(i);
        if (i > n) {
            edit->hide();
            continue;
        }
        const PracticeBox& b = engine_.box(i);
        // The engine's box starts 6 pixels right of the frame and is as wide as the frame: shown there it would
        // stick out of the frame on the right. It is shown inside the frame; entries and marks keep the engine's
        // places. Both edges are scaled the same way, so a box moved one width right lies exactly beside its frame.
        const int left = b.left - kEditInset;
        const int x0 = qRound(left * scale_);
        const int y0 = qRound(b.top * scale_);
        edit->setGeometry(x0, y0, qRound((left + b.width - kEditInset) * scale_) - x0,
                          qRound((b.top + b.height) * scale_) - y0);
        const QString text = toQString(b.text);
        if (edit->text() != text) edit->setText(text);
        lastGood_[static_cast<std::size_t>(i)] = b.text;
        edit->setReadOnly(!b.editable);
        edit->setStyleSheet(QStringLiteral("QLineEdit { background: %1; color: %2; border: 1px solid gray; }")
                                .arg(fill, b.redText ? QStringLiteral("red") : QStringLiteral("black")));
        edit->setVisible(b.visible);
    }
    const PracticeControls& c = engine_.controls();
    pnlRenshu->setVisible(c.pnlRenshu);
    left_->setVisible(c.pnlRenshu);
    pnlKiroku->setVisible(c.pnlKiroku);
    pnlSS->setVisible(c.pnlSS);
    grbTest->setVisible(c.grbTest);
    pnlBunsu->setVisible(!c.choicePanel);
    grbSelect->setVisible(c.choicePanel);
    grbMoji->setVisible(c.softKeyboard);
    memKiroku->setVisible(c.recordMemo);
    btnHint->setVisible(c.btnHintVisible);
    btnHint->setEnabled(c.btnHintEnabled);
    btnAnswer->setVisible(c.btnAnswerVisible);
    btnAnswer->setEnabled(c.btnAnswerEnabled);
    btnSaiten->setVisible(c.btnSaitenVisible);
    btnFukushu->setEnabled(c.btnFukushuEnabled);
    btnTest->setEnabled(c.btnTestEnabled);
    btnStartPrint->setEnabled(host_.canPrintPracticeSheet());
    showMessage(imgMessXX, engine_.exerciseMessage());
    if (engine_.mood() && engine_.idleMessage().empty())
        imgMess->setPixmap(QPixmap::fromImage(moodPicture(*engine_.mood())));
    else
        showMessage(imgMess, engine_.idleMessage());
    imgMess->setVisible(c.imgMess);
    if (engine_.timerRunning() && !timSecond->isActive()) timSecond->start();
    if (!engine_.timerRunning()) timSecond->stop();
    syncing_ = false;

    if (!focus) return;
    switch (target) {
    case FocusTarget::Box: {
        QLineEdit* edit = answerEdit(focusBox);
        engine_.setCurrentBox(focusBox);
        edit->setFocus();
        // The box the learner types into is in view, on a small screen too.
        scrPaper->ensureWidgetVisible(edit, 8, 8);
        if (select) {
            edit->selectAll();
        } else {
            edit->deselect();
            edit->end(false);
        }
        break;
    }
    case FocusTarget::Renshu:
        btnRenshu->setFocus();
        break;
    case FocusTarget::Fukushu:
        btnFukushu->setFocus();
        break;
    case FocusTarget::Saiten:
        btnSaiten->setFocus();
        break;
    case FocusTarget::End:
        btnEnd->setFocus();
        break;
    case FocusTarget::None:
        break;
    }
}

void TfrmRenshu::showMessage(QLabel* label, const MessageText& text)
{
    QImage picture(label->width(), label->height(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QtCanvas canvas(picture);
        for (const MessageLine& line : text) {
            useTextFont(canvas, "ＭＳ ゴシック"_sj, line.sizePt, line.colour);
            canvas.textOut(4, line.y + 2, line.text);
        }
    }
    label->setPixmap(QPixmap::fromImage(picture));
}

// ---- buttons ----

void TfrmRenshu::btnRenshuClick()
{
    scrollToTop();
    pad_.clear();
    showFractionPad();
    engine_.startPractice();
    drawSheet();
    prepareAids();
    sync();
}

void TfrmRenshu::btnTestClick()
{
    scrollToTop();
    pad_.clear();
    showFractionPad();
    engine_.startTest();
    drawSheet();
    prepareAids();
    sync();
}

void TfrmRenshu::btnFukushuClick()
{
    scrPaper->horizontalScrollBar()->setValue(0);
    engine_.startReview();
    prepareAids();
    sync();
}

void TfrmRenshu::btnSaitenClick()
{
    engine_.score();
    sync();
}

void TfrmRenshu::btnAnswerClick()
{
    engine_.showAnswer();
    sync();
}

void TfrmRenshu::btnHintClick()
{
    engine_.showHint();
    sync();
}

void TfrmRenshu::btnAbortClick()
{
    engine_.abort();
    sync();
}

void TfrmRenshu::btnEndClick()
{
    scrollToTop();
    accept();
}

void TfrmRenshu::btnShowRecordClick()
{
    host_.showPracticeRecords();
    refreshRecordMemo();
}

void TfrmRenshu::btnStartPrintClick()
{
    if (worksheet_ == nullptr || !host_.canPrintPracticeSheet()) return;
    PracticeSheet print;
    print.sheet = worksheet_;
    print.layout = &layout_;
    print.figures = &figures_;
    print.classFlag = classFlag_;
    for (int i = 0; i <= engine_.boxCount(); ++i)
        print.boxes.push_back(engine_.box(i));
    if (engine_.scored()) print.score = engine_.lastScore();
    print.panelWidth = kButtonPanelWidth;
    host_.printPracticeSheet(print);
}

void TfrmRenshu::btnNext2Click()
{
    enterIn(engine_.currentBox());
}

void TfrmRenshu::imgMessClick()
{
    imgMess->setPixmap(QPixmap::fromImage(moodPicture(Mood::Gaoh)));
}

void TfrmRenshu::keyPressEvent(QKeyEvent* event)
{
    // Enter presses the button that has the focus (採点 after the last test box, 閉じる or 復習 after scoring), and
    // nothing else: there is no default button that a stray Enter could press.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfrmRenshu::focusNextPrevChild(bool next)
{
    // While the boxes take answers Tab stays in them: a Tab and an Enter would press 答えを見る and lose the answer.
    if (engine_.mode() != ExerciseMode::Idle) return true;
    return QDialog::focusNextPrevChild(next);
}

void TfrmRenshu::reject()
{
    // Esc or the title bar's close in the middle of an exercise asks first: the answers typed would be gone.
    if (engine_.mode() != ExerciseMode::Idle && prompts_.confirm(closeExerciseQuestion()) != Answer::Yes) return;
    QDialog::reject();
}

void TfrmRenshu::done(int result)
{
    engine_.abort();
    QDialog::done(result);
}

// ---- the input boxes ----

int TfrmRenshu::boxOf(QObject* edit) const
{
    for (int i = 1; i < kPracticeSlots; ++i)
        if (answerEdit_[static_cast<std::size_t>(i)] == edit) return i;
    return 0;
}

bool TfrmRenshu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == imgMess && event->type() == QEvent::MouseButtonPress) {
        imgMessClick();
        return true;
    }
    if ((watched == imgPaper2 || watched == scrPaper->viewport()) && event->type() == QEvent::MouseButtonPress)
        focusCurrentBox();
    if (event->type() == QEvent::MouseButtonPress && watched->objectName().startsWith(QStringLiteral("shpCol"))) {
        chooseColour(watched->objectName().back().digitValue() - 1);
        return true;
    }
    if (watched == edtBunshi && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            pad_.numerator = fromQStringLossy(edtBunshi->text());
            auto answer = pad_.compose();
            showFractionPad();
            edtBunshi->end(false);
            if (answer) putInBox(*answer, true);
            return true;
        }
    }
    if (watched == scrPaper && event->type() == QEvent::Resize) fitSheet();
    const int i = boxOf(watched);
    if (i == 0) return QDialog::eventFilter(watched, event);
    if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) && !syncing_) engine_.setCurrentBox(i);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enterIn(i);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmRenshu::focusCurrentBox()
{
    const int i = engine_.currentBox();
    if (i < 1 || i > engine_.boxCount()) return;
    QLineEdit* edit = answerEdit(i);
    if (edit->isVisible() && !edit->isReadOnly()) edit->setFocus(Qt::MouseFocusReason);
}

void TfrmRenshu::boxEdited(int i)
{
    if (syncing_) return;
    QLineEdit* edit = answerEdit(i);
    auto text = fromQString(edit->text());
    if (!text) {
        // A character Shift-JIS cannot hold could never match an answer, and the record would lose it.
        const int caret = edit->cursorPosition();
        edit->setText(toQString(lastGood_[static_cast<std::size_t>(i)]));
        edit->setCursorPosition(std::min(caret, static_cast<int>(edit->text().size())));
        prompts_.message(unusableCharacterMessage());
        return;
    }
    lastGood_[static_cast<std::size_t>(i)] = *text;
    engine_.setText(i, *text);
}

void TfrmRenshu::enterIn(int i)
{
    if (i < 1 || i > engine_.boxCount()) return;
    engine_.setCurrentBox(i);
    engine_.enter(i);
    sync();
}

} // namespace tavola

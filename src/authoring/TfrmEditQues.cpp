#include "authoring/TfrmEditQues.h"

#include "authoring/TfrmEditSource.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/text_helpers.h"
#include "worksheet/TfrmBMP.h"
#include "worksheet/worksheet.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

namespace tavola {
namespace {

QPlainTextEdit* makeArea(QWidget* parent, const char* name)
{
    auto* area = new QPlainTextEdit(parent);
    area->setObjectName(name);
    area->setLineWrapMode(QPlainTextEdit::NoWrap);
    return area;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, const char* hint = nullptr)
{
    auto* button = new QPushButton(sysText(caption), parent);
    button->setObjectName(name);
    if (hint != nullptr) button->setToolTip(sysText(hint));
    return button;
}

QLabel* makeLabel(QWidget* parent, const char* caption)
{
    return new QLabel(sysText(caption), parent);
}

} // namespace

TfrmEditQues::TfrmEditQues(const CoursewareIndex& index, const Lines& defaultBlocks, Prompts& prompts,
                           MarksStale marksStale, QWidget* parent)
    : QDialog(parent), index_(index), defaultBlocks_(defaultBlocks), prompts_(prompts),
      marksStale_(std::move(marksStale))
{
    setObjectName("frmEditQues");
    setWindowTitle(sysText("マスターファイルの編集"));
    buildControls();
}

void TfrmEditQues::buildControls()
{
    MemQues = makeArea(this, "MemQues");
    memKgroup = makeArea(this, "memKgroup");
    memDummy = makeArea(this, "memDummy");
    memHint = makeArea(this, "memHint");
    memQGraph = makeArea(this, "memQGraph");
    memAGraph = makeArea(this, "memAGraph");
    memPasteLo = makeArea(this, "memPasteLo");
    lstKai = new QListWidget(this);
    lstKai->setObjectName("lstKai");
    lstTempBuff = new QListWidget(this);
    lstTempBuff->setObjectName("lstTempBuff");
    lstTempBuff->hide();
    lblKosuh = new QLabel(this);
    lblKosuh->setObjectName("lblKosuh");
    lblKosuh2 = new QLabel(this);
    lblKosuh2->setObjectName("lblKosuh2");
    lblKosuh3 = new QLabel(this);
    lblKosuh3->setObjectName("lblKosuh3");
    edtFileName = new QLineEdit(this);
    edtFileName->setObjectName("edtFileName");
    edtLesson = new QLineEdit(this);
    edtLesson->setObjectName("edtLesson");
    edtTangen = new QLineEdit(this);
    edtTangen->setObjectName("edtTangen");
    for (QLineEdit* e : {edtFileName, edtLesson, edtTangen})
        e->setReadOnly(true);
    flbGraph = new QListWidget(this);
    flbGraph->setObjectName("flbGraph");
    flbGraph->setSelectionMode(QAbstractItemView::ExtendedSelection);
    imgGraph = new QLabel(this);
    imgGraph->setObjectName("imgGraph");
    imgGraph->setFixedSize(160, 120);
    imgGraph->setFrameShape(QFrame::Box);
    imgGraph->setAlignment(Qt::AlignCenter);
    imgGraph->installEventFilter(this);
    chkSuuji = new QCheckBox(sysText("数字除く"), this);
    chkSuuji->setObjectName("chkSuuji");
    chkSuuji->setChecked(true);
    chkKigou = new QCheckBox(sysText("記号除く"), this);
    chkKigou->setObjectName("chkKigou");
    chkKigou->setChecked(true);

    btnKai = makeButton(this, "btnKai", "解答欄");
    btnKakko = makeButton(this, "btnKakko", "Ｕ", "下線");
    BitBtn1 = makeButton(this, "BitBtn1", "Ｂ", "太字");
    BitBtn2 = makeButton(this, "BitBtn2", "Ｉ", "斜体");
    btnNumber = makeButton(this, "btnNumber", "問題番号");
    btnTest = makeButton(this, "btnTest", "抽出=>");
    btnKgAdd = makeButton(this, "btnKgAdd", "<=挿入", "解とダミーの解を挿入");
    btnDummy = makeButton(this, "btnDummy", "=>", "解とダミーの解を挿入");
    btnSuuji1 = makeButton(this, "btnSuuji1", "数字=>");
    btnKigou1 = makeButton(this, "btnKigou1", "記号=>");
    btnKGClear = makeButton(this, "btnKGClear", "クリア");
    btnQGAdd = makeButton(this, "btnQGAdd", "<=挿入");
    btnAGAdd = makeButton(this, "btnAGAdd", "<=挿入");
    btnQGClear = makeButton(this, "btnQGClear", "クリア");
    btnAGClear = makeButton(this, "btnAGClear", "クリア");
    btnRuidai = makeButton(this, "btnRuidai", "類題にする");
    btnAutoRuidai = makeButton(this, "btnAutoRuidai", "類題を自動作成");
    btnEditDirect = makeButton(this, "btnEditDirect", "直接編集");
    btnOk = makeButton(this, "btnOk", "  Ｏ　Ｋ");
    btnCancel = makeButton(this, "btnCancel", "キャンセル");
    // The editor's own buttons never take Enter away from the areas.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);

    connect(btnKai, &QPushButton::clicked, this, &TfrmEditQues::btnKaiClick);
    connect(btnKakko, &QPushButton::clicked, this, &TfrmEditQues::btnKakkoClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmEditQues::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrmEditQues::BitBtn2Click);
    connect(btnNumber, &QPushButton::clicked, this, &TfrmEditQues::btnNumberClick);
    connect(btnTest, &QPushButton::clicked, this, &TfrmEditQues::btnTestClick);
    connect(btnKgAdd, &QPushButton::clicked, this, &TfrmEditQues::btnKgAddClick);
    connect(btnDummy, &QPushButton::clicked, this, &TfrmEditQues::btnDummyClick);
    connect(btnSuuji1, &QPushButton::clicked, this, &TfrmEditQues::btnSuuji1Click);
    connect(btnKigou1, &QPushButton::clicked, this, &TfrmEditQues::btnKigou1Click);
    connect(btnKGClear, &QPushButton::clicked, this, &TfrmEditQues::btnKGClearClick);
    connect(btnQGAdd, &QPushButton::clicked, this, &TfrmEditQues::btnQGAddClick);
    connect(btnAGAdd, &QPushButton::clicked, this, &TfrmEditQues::btnAGAddClick);
    connect(btnQGClear, &QPushButton::clicked, this, [this] { memQGraph->clear(); });
    connect(btnAGClear, &QPushButton::clicked, this, [this] { memAGraph->clear(); });
    connect(btnRuidai, &QPushButton::clicked, this, &TfrmEditQues::btnRuidaiClick);
    connect(btnAutoRuidai, &QPushButton::clicked, this, &TfrmEditQues::btnAutoRuidaiClick);
    connect(btnEditDirect, &QPushButton::clicked, this, &TfrmEditQues::btnEditDirectClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmEditQues::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmEditQues::btnCancelClick);
    connect(flbGraph, &QListWidget::itemClicked, this, &TfrmEditQues::flbGraphClick);
    // Typing in these areas, and any change of the figure lists, marks the unit modified.
    for (QPlainTextEdit* area : {MemQues, memKgroup, memHint, memPasteLo, memQGraph, memAGraph})
        connect(area, &QPlainTextEdit::textChanged, this, [this] {
            if (!loading_) editor_.modified = true;
        });
    connect(memKgroup, &QPlainTextEdit::textChanged, this, &TfrmEditQues::showCounts);

    // Top: the unit's place.
    auto* top = new QHBoxLayout;
    top->addWidget(makeLabel(this, "ファイル"));
    top->addWidget(edtFileName, 3);
    top->addWidget(makeLabel(this, "単元"));
    top->addWidget(edtLesson, 1);
    top->addWidget(edtTangen, 2);

    // Left: the problem text with its tools.
    auto* tools = new QHBoxLayout;
    for (QPushButton* b : {btnKai, btnKakko, BitBtn1, BitBtn2, btnNumber})
        tools->addWidget(b);
    tools->addStretch(1);
    auto* left = new QVBoxLayout;
    left->addWidget(makeLabel(this, "<<ques 問題ブロック"));
    left->addLayout(tools);
    left->addWidget(MemQues, 3);
    left->addWidget(makeLabel(this, "<<hint ヒントブロック"));
    left->addWidget(memHint, 1);

    // Middle: the extracted answers.
    auto* middle = new QVBoxLayout;
    middle->addWidget(btnTest);
    middle->addWidget(makeLabel(this, "抽出された解"));
    middle->addWidget(lstKai, 1);
    auto* count = new QHBoxLayout;
    count->addWidget(lblKosuh);
    count->addWidget(makeLabel(this, "個"));
    count->addStretch(1);
    middle->addLayout(count);
    middle->addWidget(btnKgAdd);
    middle->addWidget(chkSuuji);
    middle->addWidget(chkKigou);
    middle->addWidget(btnSuuji1);
    middle->addWidget(btnKigou1);

    // Right: the selection list and the dummy answers.
    auto* right = new QGridLayout;
    right->addWidget(makeLabel(this, "<<kgroup 解選択ブロック"), 0, 0);
    right->addWidget(btnKGClear, 0, 1);
    right->addWidget(memKgroup, 1, 0, 1, 2);
    auto* kgCount = new QHBoxLayout;
    kgCount->addWidget(lblKosuh3);
    kgCount->addWidget(makeLabel(this, "個"));
    kgCount->addSpacing(12);
    kgCount->addWidget(makeLabel(this, "ソフトキーボード"));
    kgCount->addWidget(lblKosuh2);
    kgCount->addWidget(makeLabel(this, "文字"));
    kgCount->addStretch(1);
    right->addLayout(kgCount, 2, 0, 1, 2);
    right->addWidget(makeLabel(this, "<<dummy ダミーの解答"), 3, 0);
    right->addWidget(btnDummy, 3, 1);
    right->addWidget(memDummy, 4, 0, 1, 2);

    auto* upper = new QHBoxLayout;
    upper->addLayout(left, 3);
    upper->addLayout(middle, 1);
    upper->addLayout(right, 2);

    // Bottom: figures and layout.
    auto* figures = new QGridLayout;
    figures->addWidget(makeLabel(this, "<<graph 問題のグラフ"), 0, 0);
    figures->addWidget(btnQGAdd, 0, 1);
    figures->addWidget(btnQGClear, 0, 2);
    figures->addWidget(memQGraph, 1, 0, 1, 3);
    figures->addWidget(makeLabel(this, "<<AGraph 解答のグラフ"), 0, 3);
    figures->addWidget(btnAGAdd, 0, 4);
    figures->addWidget(btnAGClear, 0, 5);
    figures->addWidget(memAGraph, 1, 3, 1, 3);
    figures->addWidget(flbGraph, 1, 6);
    figures->addWidget(imgGraph, 1, 7);
    figures->addWidget(makeLabel(this, "<<value 位置情報など"), 0, 8);
    figures->addWidget(memPasteLo, 1, 8);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnRuidai);
    buttons->addWidget(btnAutoRuidai);
    buttons->addWidget(btnEditDirect);
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(upper, 3);
    all->addLayout(figures, 2);
    all->addLayout(buttons);
    resize(1000, 700);
}

int TfrmEditQues::edit(const Request& request)
{
    request_ = request;
    if (formSize_.isValid()) resize(formSize_);
    move(0, 0);
    FormShow();
    return exec();
}

void TfrmEditQues::FormShow()
{
    preview_ = QPixmap();
    imgGraph->clear();
    btnEditDirect->setEnabled(request_.sheet != nullptr);
    loadUnit();
    btnRuidai->setEnabled(request_.sheet != nullptr && editor_.position().similar == 0);
    btnAutoRuidai->setEnabled(btnRuidai->isEnabled());
    lstKai->clear();
    btnTestClick();
    showCounts();
    MemQues->setFocus();
}

void TfrmEditQues::loadUnit()
{
    editor_.load(index_, request_.position, defaultBlocks_, request_.sheet);
    showAreas();
    lstTempBuff->clear();
    for (const std::string& s : editor_.similarProblems())
        lstTempBuff->addItem(toQString(s));
    figureFolder_ = index_.figureFolder(request_.position.lesson);
    listFigures();
    edtFileName->setText(toQString(editor_.path()));
    edtTangen->setText(toQString(request_.unitTitle));
    showPosition();
}

void TfrmEditQues::showAreas()
{
    loading_ = true;
    const EditorAreas& a = editor_.areas;
    setArea(MemQues, a.ques);
    setArea(memKgroup, a.kgroup);
    setArea(memDummy, a.dummy);
    setArea(memHint, a.hint);
    setArea(memQGraph, a.qgraph);
    setArea(memAGraph, a.agraph);
    setArea(memPasteLo, a.pasteLo);
    loading_ = false;
}

void TfrmEditQues::setArea(QPlainTextEdit* area, const Lines& lines)
{
    QStringList text;
    for (const std::string& line : lines)
        text << toQString(line);
    area->setPlainText(text.join('\n'));
}

std::optional<Lines> TfrmEditQues::areaLines(QPlainTextEdit* area)
{
    auto text = fromQString(area->toPlainText());
    if (!text) {
        prompts_.message("使えない文字が含まれています"_sj);
        area->setFocus();
        return std::nullopt;
    }
    return splitLines(*text);
}

bool TfrmEditQues::takeAreas()
{
    EditorAreas a;
    const std::pair<QPlainTextEdit*, Lines*> areas[] = {
        {MemQues, &a.ques},     {memKgroup, &a.kgroup}, {memDummy, &a.dummy},    {memHint, &a.hint},
        {memQGraph, &a.qgraph}, {memAGraph, &a.agraph}, {memPasteLo, &a.pasteLo}};
    for (auto [area, lines] : areas) {
        auto read = areaLines(area);
        if (!read) return false;
        *lines = std::move(*read);
    }
    editor_.areas = std::move(a);
    return true;
}

void TfrmEditQues::showCounts()
{
    auto text = fromQString(memKgroup->toPlainText());
    Lines kgroup = text ? splitLines(*text) : Lines{};
    lblKosuh3->setText(QString::number(kgroup.size()));
    lblKosuh2->setText(QString::number(selectionCharacterCount(kgroup)));
}

void TfrmEditQues::showPosition()
{
    const UnitPosition& p = editor_.position();
    edtLesson->setText(QString::fromStdString(std::to_string(p.lesson) + " " + std::to_string(p.section) + " " +
                                              std::to_string(p.unit) + similarSuffix(p.similar)));
}

void TfrmEditQues::listFigures()
{
    flbGraph->clear();
    if (figureFolder_.empty()) return;
    for (const std::string& name : figureFilesIn(figureFolder_))
        flbGraph->addItem(toQString(name));
}

void TfrmEditQues::caretToLine(QPlainTextEdit* area, int line)
{
    QTextCursor cursor(area->document()->findBlockByNumber(line));
    area->setTextCursor(cursor);
    area->setFocus();
}

// ---- the problem text ----

void TfrmEditQues::encloseSelection(Enclosure kind)
{
    QTextCursor cursor = MemQues->textCursor();
    if (!cursor.hasSelection()) {
        prompts_.message(nothingSelectedMessage());
        MemQues->setFocus();
        return;
    }
    QString selected = cursor.selectedText().replace(QChar::ParagraphSeparator, '\n');
    auto bytes = fromQString(selected);
    if (!bytes) {
        prompts_.message("使えない文字が含まれています"_sj);
        return;
    }
    cursor.insertText(toQString(enclose(*bytes, kind)));
    MemQues->setFocus();
}

void TfrmEditQues::btnKaiClick()
{
    QTextCursor cursor = MemQues->textCursor();
    bool had = cursor.hasSelection();
    encloseSelection(Enclosure::AnswerBox);
    if (had) btnTestClick();
}

void TfrmEditQues::btnKakkoClick()
{
    encloseSelection(Enclosure::Underline);
}

void TfrmEditQues::BitBtn1Click()
{
    encloseSelection(Enclosure::Bold);
}

void TfrmEditQues::BitBtn2Click()
{
    encloseSelection(Enclosure::Italic);
}

void TfrmEditQues::btnNumberClick()
{
    auto ques = areaLines(MemQues);
    if (!ques) return;
    numberProblems(*ques);
    setArea(MemQues, *ques);
}

bool TfrmEditQues::btnTestClick()
{
    auto ques = areaLines(MemQues);
    if (!ques) return false;
    TextCheck check = checkProblemText(*ques);
    if (!check.ok) {
        prompts_.message(check.message);
        caretToLine(MemQues, check.line);
        return false;
    }
    lstKai->clear();
    Lines answers = extractAnswers(*ques);
    for (const std::string& a : answers)
        lstKai->addItem(toQString(a));
    lblKosuh->setText(QString::number(answers.size()));
    return true;
}

// ---- the selection list ----

void TfrmEditQues::btnKgAddClick()
{
    Lines answers;
    for (int i = 0; i < lstKai->count(); ++i)
        answers.push_back(fromQStringLossy(lstKai->item(i)->text()));
    setArea(memKgroup, selectionFromAnswers(answers, chkSuuji->isChecked(), chkKigou->isChecked()));
}

void TfrmEditQues::btnDummyClick()
{
    auto kgroup = areaLines(memKgroup);
    auto dummy = kgroup ? areaLines(memDummy) : std::nullopt;
    if (!dummy) return;
    addDummyAnswers(*kgroup, *dummy);
    setArea(memKgroup, *kgroup);
}

void TfrmEditQues::btnSuuji1Click()
{
    if (auto kgroup = areaLines(memKgroup)) {
        removeDigitOnlyLines(*kgroup);
        setArea(memKgroup, *kgroup);
    }
}

void TfrmEditQues::btnKigou1Click()
{
    if (auto kgroup = areaLines(memKgroup)) {
        removeChoiceLabelLines(*kgroup);
        setArea(memKgroup, *kgroup);
    }
}

void TfrmEditQues::btnKGClearClick()
{
    memKgroup->clear();
}

// ---- figures ----

void TfrmEditQues::addFigures(QPlainTextEdit* area)
{
    auto lines = areaLines(area);
    if (!lines) return;
    std::vector<std::string> files;
    for (int i = 0; i < flbGraph->count(); ++i)
        if (flbGraph->item(i)->isSelected()) files.push_back(fromQStringLossy(flbGraph->item(i)->text()));
    std::vector<Point> starts;
    if (request_.sheet != nullptr) starts = request_.segments;
    for (const std::string& m : tavola::addFigures(*lines, files, starts))
        prompts_.message(m);
    setArea(area, *lines);
}

void TfrmEditQues::btnQGAddClick()
{
    addFigures(memQGraph);
}

void TfrmEditQues::btnAGAddClick()
{
    addFigures(memAGraph);
}

void TfrmEditQues::flbGraphClick()
{
    QListWidgetItem* item = flbGraph->currentItem();
    if (item == nullptr) return;
    std::string path = figureFolder_ + fromQStringLossy(item->text());
    if (!checkFileExists(prompts_, path)) return;
    preview_.load(QString::fromStdString(paths::realPath(path)));
    imgGraph->setPixmap(preview_.scaled(imgGraph->size(), Qt::KeepAspectRatio));
}

void TfrmEditQues::imgGraphClick()
{
    if (frmBMP_ != nullptr && !preview_.isNull()) frmBMP_->showPicture(preview_);
}

bool TfrmEditQues::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == imgGraph && event->type() == QEvent::MouseButtonRelease) imgGraphClick();
    return QDialog::eventFilter(watched, event);
}

// ---- similar problem, raw editing, saving ----

void TfrmEditQues::btnRuidaiClick()
{
    Result<int> m = editor_.nextSimilar();
    if (!m) {
        prompts_.message(m.message());
        return;
    }
    if (confirmYesNo(prompts_, makeSimilarQuestion(*m)) != Answer::Yes) return;
    editor_.takeSimilar(*m);
    showPosition();
    btnRuidai->setEnabled(false);
    btnAutoRuidai->setEnabled(false);
}

void TfrmEditQues::btnAutoRuidaiClick()
{
    // What was typed so far is the unit the new numbers are made from.
    if (!takeAreas()) return;
    Result<int> m = editor_.makeVariedSimilar(chkSuuji->isChecked(), chkKigou->isChecked());
    if (!m) {
        prompts_.message(m.message());
        return;
    }
    showAreas();
    showPosition();
    btnRuidai->setEnabled(false);
    btnAutoRuidai->setEnabled(false);
    btnTestClick();
    showCounts();
    MemQues->setFocus();
}

void TfrmEditQues::btnEditDirectClick()
{
    if (frmEditSource_ == nullptr || editor_.path().empty()) return;
    auto edited = frmEditSource_->edit(editor_.fileLines(), editor_.path(), 720);
    if (!edited) return;
    if (Status written = editor_.writeWholeFile(*edited); !written) {
        prompts_.message(written.message());
        return;
    }
    FormShow();
}

bool TfrmEditQues::save()
{
    if (!takeAreas()) return false;
    // A wrong answer would be judged right in every practice; the teacher sees the problems and may go back.
    int wrongLine = 0;
    if (auto question = wrongAnswersQuestion(editor_.areas.ques, &wrongLine))
        if (confirmYesNo(prompts_, *question) != Answer::Yes) {
            caretToLine(MemQues, wrongLine - 1);
            return false;
        }
    MasterEditor::SaveOutcome outcome = editor_.save();
    using Refused = MasterEditor::SaveOutcome::Refused;
    switch (outcome.refused) {
    case Refused::None:
        break;
    case Refused::ProblemText:
        prompts_.message(outcome.message);
        caretToLine(MemQues, outcome.line);
        return false;
    case Refused::Layout:
        prompts_.message(outcome.message);
        caretToLine(memPasteLo, 0);
        return false;
    case Refused::Write:
        prompts_.message(outcome.message);
        return false;
    }
    if (marksStale_) marksStale_();
    return true;
}

void TfrmEditQues::btnOkClick()
{
    if (save()) QDialog::accept();
}

void TfrmEditQues::btnCancelClick()
{
    editor_.cancel();
    if (marksStale_) marksStale_();
    QDialog::reject();
}

void TfrmEditQues::reject()
{
    // A changed unit is offered for saving; a save that is refused keeps the window open, so nothing typed is lost.
    if (editor_.modified && confirmYesNo(prompts_, saveChangesQuestion()) == Answer::Yes) {
        if (save()) QDialog::accept();
        return;
    }
    editor_.cancel();
    QDialog::reject();
}

} // namespace tavola

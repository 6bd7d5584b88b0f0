#include "courseware/TfrmMenu.h"

#include "courseware/TfrmZenTangen.h"
#include "platform/colour.h"
#include "platform/qt/qt_text.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace tavola {
namespace {

constexpr Colour kAqua = Colour::fromRgb(0, 255, 255);
constexpr Colour kFuchsia = Colour::fromRgb(255, 0, 255);
constexpr Colour kAlertRed = Colour::fromRgb(255, 0, 0);
constexpr int kUnitItemHeight = 16;

QColor qColour(Colour c)
{
    return QColor(c.red(), c.green(), c.blue());
}

void setPanelColours(QLabel* panel, Colour text, const Colour* background = nullptr)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText, qColour(text));
    if (background != nullptr) {
        palette.setColor(QPalette::Window, qColour(*background));
        panel->setAutoFillBackground(true);
    }
    panel->setPalette(palette);
}

QLabel* makePanel(QWidget* parent, const char* name, const QString& caption, Colour text)
{
    auto* panel = new QLabel(caption, parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAlignment(Qt::AlignCenter);
    panel->setMinimumHeight(28);
    QFont font = panel->font();
    font.setBold(true);
    panel->setFont(font);
    setPanelColours(panel, text);
    return panel;
}

QListWidget* makeList(QWidget* parent, const char* name)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(sysText(caption), parent);
    button->setObjectName(name);
    return button;
}

// The unit list is drawn by the window: the mark and the padded line, in the list's font, at the item's top-left.
class UnitLineDelegate : public QStyledItemDelegate {
public:
    explicit UnitLineDelegate(const TfrmMenu& form, QObject* parent) : QStyledItemDelegate(parent), form_(form) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        bool selected = option.state.testFlag(QStyle::State_Selected);
        const QPalette& palette = option.palette;
        painter->save();
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
        painter->setFont(option.font);
        painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          form_.unitLineDisplay(index.row()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {option.fontMetrics.horizontalAdvance(form_.unitLineDisplay(index.row())), kUnitItemHeight};
    }

private:
    const TfrmMenu& form_;
};

} // namespace

TfrmMenu::TfrmMenu(MenuContext context, QWidget* parent) : QDialog(parent), menu_(std::move(context))
{
    setObjectName("frmMenu");
    setModal(true);
    buildControls();
    resize(800, 600);
}

void TfrmMenu::buildControls()
{
    const QString choose = sysText("項目を選んでください");
    pnlTitle = makePanel(this, "pnlTitle", QString(), colours::Navy);
    pnlLesson = makePanel(this, "pnlLesson", choose, colours::Green);
    pnlSection = makePanel(this, "pnlSection", choose, colours::Blue);
    pnlUnit = makePanel(this, "pnlUnit", choose, colours::Black);
    setPanelColours(pnlUnit, colours::Black, &kAqua);

    lstLesson = makeList(this, "lstLesson");
    lstSection = makeList(this, "lstSection");
    lstUnit = makeList(this, "lstUnit");
    QFont unitFont(sysText("ＭＳ ゴシック"));
    unitFont.setPixelSize(16);
    lstUnit->setFont(unitFont);
    lstUnit->setUniformItemSizes(true);
    lstUnit->setItemDelegate(new UnitLineDelegate(*this, lstUnit));

    Label2 = new QLabel(sysText("［　］の中の数字は練習回数です"), this);
    Label2->setObjectName("Label2");

    lblRuidai = new QLabel(sysText("類題"), this);
    lblRuidai->setObjectName("lblRuidai");
    QFont ruidaiFont = lblRuidai->font();
    ruidaiFont.setBold(true);
    lblRuidai->setFont(ruidaiFont);
    setPanelColours(lblRuidai, kFuchsia);
    lstRuidai = makeList(this, "lstRuidai");
    lstRuidai->setSelectionMode(QAbstractItemView::MultiSelection);
    btnRuidaiClear = makeButton(this, "btnRuidaiClear", "類題選択解除");
    lblRuidai->hide();
    lstRuidai->hide();
    btnRuidaiClear->hide();

    btnOk = makeButton(this, "btnOk", "　Ｏ　Ｋ　");
    btnOk->setDefault(true);
    btnCancel = makeButton(this, "btnCancel", "ｷｬﾝｾﾙ");
    btnZenTangen = makeButton(this, "btnZenTangen", "全単元表示");
    btnShowRecord = makeButton(this, "btnShowRecord", "記録表示");
    btnFukushu = makeButton(this, "btnFukushu", "ふくしゅう");
    btnFukushu->hide();
    for (QPushButton* b : {btnRuidaiClear, btnCancel, btnZenTangen, btnShowRecord, btnFukushu})
        b->setAutoDefault(false);

    lstTempBuffer = makeList(this, "lstTempBuffer");
    lstTempBuffer->hide();

    auto* lessonColumn = new QVBoxLayout;
    lessonColumn->addWidget(pnlLesson);
    lessonColumn->addWidget(lstLesson);
    auto* sectionColumn = new QVBoxLayout;
    sectionColumn->addWidget(pnlSection);
    sectionColumn->addWidget(lstSection);
    auto* unitColumn = new QVBoxLayout;
    unitColumn->addWidget(pnlUnit);
    unitColumn->addWidget(lstUnit);
    unitColumn->addWidget(Label2);
    auto* side = new QWidget(this);
    side->setFixedWidth(150);
    auto* sideColumn = new QVBoxLayout(side);
    sideColumn->setContentsMargins(0, 0, 0, 0);
    sideColumn->addWidget(lblRuidai);
    sideColumn->addWidget(lstRuidai, 1);
    sideColumn->addWidget(btnRuidaiClear);
    sideColumn->addStretch(0);
    sideColumn->addWidget(btnZenTangen);
    sideColumn->addWidget(btnShowRecord);
    sideColumn->addWidget(btnFukushu);
    sideColumn->addSpacing(16);
    sideColumn->addWidget(btnOk);
    sideColumn->addWidget(btnCancel);

    auto* columns = new QHBoxLayout;
    columns->addLayout(lessonColumn, 2);
    columns->addLayout(sectionColumn, 3);
    columns->addLayout(unitColumn, 5);
    columns->addWidget(side);
    auto* main = new QVBoxLayout(this);
    main->addWidget(pnlTitle);
    main->addLayout(columns, 1);

    connect(lstLesson, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) lstLessonClick(row);
    });
    connect(lstSection, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) lstSectionClick(row);
    });
    connect(lstUnit, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) lstUnitClick(row);
    });
    connect(lstUnit, &QListWidget::itemDoubleClicked, this, [this] { btnOkClick(); });
    connect(lstRuidai, &QListWidget::itemSelectionChanged, this, [this] {
        if (!syncing_) lstRuidaiClick();
    });
    connect(lstRuidai, &QListWidget::currentRowChanged, this, [this] {
        if (!syncing_) lstRuidaiClick();
    });
    connect(btnRuidaiClear, &QPushButton::clicked, this, [this] { btnRuidaiClearClick(); });
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    connect(btnZenTangen, &QPushButton::clicked, this, [this] { btnZenTangenClick(); });
    connect(btnShowRecord, &QPushButton::clicked, this, [this] { btnShowRecordClick(); });
    connect(btnFukushu, &QPushButton::clicked, this, [this] { btnFukushuClick(); });
    for (QListWidget* list : {lstLesson, lstSection, lstUnit}) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
        connect(list, &QListWidget::itemClicked, this,
                [this, list](QListWidgetItem* item) { listItemClicked(list, list->row(item)); });
    }
}

void TfrmMenu::setZenTangen(TfrmZenTangen* window)
{
    zenTangen_ = window;
    if (zenTangen_ != nullptr) zenTangen_->setRefreshMarks([this] { refreshMarks(); });
}

QString TfrmMenu::unitLineDisplay(int row) const
{
    const Lines& units = menu_.units();
    if (row < 0 || row >= static_cast<int>(units.size())) return {};
    return toQString(
        unitLineText(menu_.marks().mark(menu_.currentSection(), row + 1), units[static_cast<std::size_t>(row)]));
}

void TfrmMenu::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmMenu::FormShow()
{
    if (formSize_.isValid()) {
        move(0, 0);
        resize(formSize_);
    }
    setWindowTitle(toQString(menuCaption(selectMode_)));
    followupChosen_ = false;
    menu_.show();
    syncFromModel();
    updateFukushu();
}

void TfrmMenu::lstLessonClick(int row)
{
    menu_.lessonChosen(row);
    syncFromModel();
    updateFukushu();
}

void TfrmMenu::lstSectionClick(int row)
{
    menu_.sectionChosen(row);
    syncFromModel();
}

void TfrmMenu::lstUnitClick(int row)
{
    menu_.unitChosen(row);
    syncFromModel();
}

void TfrmMenu::lstRuidaiClick()
{
    menu_.similarClicked(!lstRuidai->selectedItems().isEmpty(), lstRuidai->currentRow());
    syncFromModel();
}

void TfrmMenu::btnRuidaiClearClick()
{
    menu_.clearSimilarSelection();
    syncFromModel();
}

void TfrmMenu::btnOkClick()
{
    menu_.similarClicked(!lstRuidai->selectedItems().isEmpty(), lstRuidai->currentRow());
    if (menu_.ok()) {
        accept();
    } else {
        syncFromModel();
    }
}

void TfrmMenu::btnCancelClick()
{
    reject();
}

void TfrmMenu::btnZenTangenClick()
{
    if (zenTangen_ == nullptr) setZenTangen(new TfrmZenTangen(menu_.context().index, menu_.marks(), this));
    zenTangen_->setLesson(menu_.chosenLessonOrFirst());
    zenTangen_->setFormSize(formSize_.isValid() ? formSize_ : size());
    zenTangen_->exec();
    lstUnit->viewport()->update();
}

void TfrmMenu::btnShowRecordClick()
{
    if (showRecords_ && showRecords_()) refreshMarks();
}

void TfrmMenu::refreshMarks()
{
    menu_.refreshMarks();
    lstUnit->viewport()->update();
    updateFukushu();
}

void TfrmMenu::btnFukushuClick()
{
    followupChosen_ = true;
    reject();
}

void TfrmMenu::updateFukushu()
{
    const int lesson = menu_.lastPosition().lesson;
    btnFukushu->setVisible(selectMode_ == MenuMode::Open && followupCheck_ && lesson >= 1 && followupCheck_(lesson));
}

bool TfrmMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (QListWidget* list : {lstLesson, lstSection, lstUnit}) {
            if (watched == list->viewport()) {
                pressList_ = list;
                pressRow_ = list->currentRow();
            }
        }
    }
    if (event->type() == QEvent::KeyPress) {
        auto* list = qobject_cast<QListWidget*>(watched);
        if (list != nullptr && listKeyDown(list, static_cast<QKeyEvent*>(event)->key())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmMenu::listItemClicked(QListWidget* list, int row)
{
    const bool sameLine = list == pressList_ && row == pressRow_;
    pressList_ = nullptr;
    if (syncing_ || !sameLine || row < 0) return;
    if (list == lstLesson) lstLessonClick(row);
    if (list == lstSection) lstSectionClick(row);
    if (list == lstUnit) lstUnitClick(row);
}

// Left and Right move between the lists and are consumed; from the lesson list Right passes over the sections.
bool TfrmMenu::listKeyDown(QListWidget* list, int key)
{
    QListWidget* target = nullptr;
    if (key == Qt::Key_Left) {
        if (list == lstUnit) target = lstSection;
        if (list == lstSection) target = lstLesson;
    } else if (key == Qt::Key_Right) {
        if (list == lstSection || list == lstLesson) target = lstUnit;
    }
    if (target == nullptr) return false;
    target->setFocus();
    return true;
}

void TfrmMenu::syncFromModel()
{
    syncing_ = true;
    pnlTitle->setText(toQString(menu_.title()));
    auto refill = [](QListWidget* list, const std::vector<std::string>& texts) {
        list->clear();
        for (const std::string& text : texts)
            list->addItem(toQString(text));
    };
    auto choose = [](QListWidget* list, int row) {
        if (row >= 0 && row < list->count()) {
            list->setCurrentRow(row);
        } else {
            list->setCurrentRow(-1);
            list->clearSelection();
        }
    };
    if (lessonsShown_ != menu_.lessonsRevision()) {
        refill(lstLesson, menu_.lessons());
        lessonsShown_ = menu_.lessonsRevision();
    }
    choose(lstLesson, menu_.lessonIndex());
    if (sectionsShown_ != menu_.sectionsRevision()) {
        refill(lstSection, menu_.sections());
        sectionsShown_ = menu_.sectionsRevision();
    }
    choose(lstSection, menu_.sectionIndex());
    if (unitsShown_ != menu_.unitsRevision()) {
        // The items carry no text of their own: the delegate draws each line with its current mark.
        lstUnit->clear();
        for (std::size_t i = 0; i < menu_.units().size(); ++i)
            lstUnit->addItem(QString());
        unitsShown_ = menu_.unitsRevision();
    }
    choose(lstUnit, menu_.unitIndex());
    if (similarShown_ != menu_.similarRevision()) {
        refill(lstRuidai, menu_.similarProblems());
        similarShown_ = menu_.similarRevision();
    }
    if (!menu_.similarAnySelected() && menu_.similarCurrent() < 0) {
        lstRuidai->clearSelection();
        lstRuidai->setCurrentIndex(QModelIndex());
    }
    bool similar = !menu_.similarProblems().empty();
    lstRuidai->setVisible(similar);
    lblRuidai->setVisible(similar);
    btnRuidaiClear->setVisible(similar);
    if (menu_.unitPanelAlert()) {
        pnlUnit->setText(sysText("類題が選択されています"));
        setPanelColours(pnlUnit, colours::Black, &kAlertRed);
    } else {
        pnlUnit->setText(sysText("項目を選んでください"));
        setPanelColours(pnlUnit, colours::Black, &kAqua);
    }
    if (bufferShown_ != menu_.bufferRevision()) {
        refill(lstTempBuffer, menu_.tempBuffer());
        bufferShown_ = menu_.bufferRevision();
    }
    if (menu_.takeFocusUnitList()) lstUnit->setFocus();
    lstUnit->viewport()->update();
    syncing_ = false;
}

} // namespace tavola

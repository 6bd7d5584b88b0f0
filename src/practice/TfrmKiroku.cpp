#include "practice/TfrmKiroku.h"

#include "courseware/index_file.h"
#include "platform/profile_file.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "practice/learning_records.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tavola {
namespace {

QString shortDate(const DateTime& t)
{
    return QString::asprintf("%02d/%02d", t.month, t.day);
}

} // namespace

KirokuChart::KirokuChart(QWidget* parent) : QWidget(parent)
{
    setObjectName("pbxChart");
    setMinimumSize(240, 160);
}

void KirokuChart::setPoints(std::vector<ScorePoint> points)
{
    points_ = std::move(points);
    update();
}

void KirokuChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    QFont font(sysText("ＭＳ ゴシック"));
    font.setPixelSize(11);
    p.setFont(font);
    const QFontMetrics fm(font);

    // The plot area, leaving room for the score labels on the left, the title above and the dates below.
    const QRect plot = rect().adjusted(fm.horizontalAdvance("100") + 10, fm.height() + 8, -12, -(fm.height() + 8));
    p.setPen(Qt::black);
    p.drawText(QRect(0, 2, width(), fm.height()), Qt::AlignHCenter, sysText("得点の推移"));
    if (plot.width() < 10 || plot.height() < 10) return;

    for (int score : {0, 50, 100}) {
        int y = plot.bottom() - plot.height() * score / 100;
        p.setPen(QPen(score == 0 ? Qt::black : QColor(200, 200, 200), 1, score == 0 ? Qt::SolidLine : Qt::DotLine));
        p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(Qt::black);
        p.drawText(QRect(0, y - fm.height() / 2, plot.left() - 4, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(score));
    }
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    if (points_.empty()) {
        p.setPen(Qt::gray);
        p.drawText(plot, Qt::AlignCenter, sysText("記録がありません"));
        return;
    }

    // Time runs left to right from the first record to the last; a single record stands in the middle.
    auto [first, last] = std::minmax_element(
        points_.begin(), points_.end(), [](const ScorePoint& a, const ScorePoint& b) { return a.minutes < b.minutes; });
    const long long t0 = first->minutes;
    const long long span = last->minutes - t0;
    auto at = [&](const ScorePoint& s) {
        double x = span == 0 ? plot.center().x()
                             : plot.left() + 6 + (plot.width() - 12) * double(s.minutes - t0) / double(span);
        double y = plot.bottom() - plot.height() * std::clamp(s.score, 0, 100) / 100.0;
        return QPointF(x, y);
    };
    std::vector<ScorePoint> ordered = points_;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ScorePoint& a, const ScorePoint& b) { return a.minutes < b.minutes; });
    QPainterPath line;
    line.moveTo(at(ordered.front()));
    for (const ScorePoint& s : ordered)
        line.lineTo(at(s));
    p.setPen(QPen(QColor(0, 0, 160), 1.5));
    p.drawPath(line);
    p.setBrush(QColor(255, 0, 0));
    p.setPen(Qt::NoPen);
    for (const ScorePoint& s : ordered)
        p.drawEllipse(at(s), 3.5, 3.5);

    p.setPen(Qt::black);
    const int dateTop = plot.bottom() + 4;
    p.drawText(QRect(plot.left(), dateTop, plot.width(), fm.height()), Qt::AlignLeft, shortDate(ordered.front().when));
    if (span > 0)
        p.drawText(QRect(plot.left(), dateTop, plot.width(), fm.height()), Qt::AlignRight,
                   shortDate(ordered.back().when));
}

TfrmKiroku::TfrmKiroku(const CoursewareIndex& index, Prompts& prompts, QWidget* parent)
    : QDialog(parent), index_(index), prompts_(prompts)
{
    setObjectName("frmKiroku");
    setWindowTitle(sysText("実行記録"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    lstTitle = new QListWidget(this);
    lstTitle->setObjectName("lstTitle");
    lstTitle->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QFont listFont(sysText("ＭＳ ゴシック"));
    listFont.setPixelSize(15);
    listFont.setStyleHint(QFont::Monospace);
    lstTitle->setFont(listFont);
    memDetail = new QPlainTextEdit(this);
    memDetail->setObjectName("memDetail");
    memDetail->setReadOnly(true);
    memDetail->setLineWrapMode(QPlainTextEdit::NoWrap);
    memDetail->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memDetail->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont memoFont(sysText("ＭＳ ゴシック"));
    memoFont.setPixelSize(13);
    memoFont.setStyleHint(QFont::Monospace);
    memDetail->setFont(memoFont);
    pbxChart = new KirokuChart(this);

    Label1 = new QLabel(sysText("ログオン名"), this);
    Label1->setObjectName("Label1");
    edtName = new QLineEdit(this);
    edtName->setObjectName("edtName");
    edtName->setReadOnly(true);
    edtName->setFocusPolicy(Qt::NoFocus);
    Label2 = new QLabel(sysText("単元をクリックして下さい"), this);
    Label2->setObjectName("Label2");
    btnErase = new QPushButton(sysText("記録消去"), this);
    btnErase->setObjectName("btnErase");
    btnErase->setAutoDefault(false);
    btnGakkyu = new QPushButton(sysText("学級の記録"), this);
    btnGakkyu->setObjectName("btnGakkyu");
    btnGakkyu->setAutoDefault(false);
    btnGakkyu->setVisible(false);
    btnFukushuSheet = new QPushButton(sysText("ふくしゅうシート"), this);
    btnFukushuSheet->setObjectName("btnFukushuSheet");
    btnFukushuSheet->setAutoDefault(false);
    btnFukushuSheet->setVisible(false);
    btnReturn = new QPushButton(sysText("閉じる"), this);
    btnReturn->setObjectName("btnReturn");
    btnReturn->setAutoDefault(false);
    connect(lstTitle, &QListWidget::itemClicked, this, &TfrmKiroku::lstTitleClick);
    connect(btnErase, &QPushButton::clicked, this, &TfrmKiroku::btnEraseClick);
    connect(btnGakkyu, &QPushButton::clicked, this, &TfrmKiroku::btnGakkyuClick);
    connect(btnFukushuSheet, &QPushButton::clicked, this, &TfrmKiroku::btnFukushuSheetClick);
    connect(btnReturn, &QPushButton::clicked, this, &TfrmKiroku::btnReturnClick);

    auto* top = new QHBoxLayout;
    top->addWidget(Label2);
    top->addStretch(1);
    top->addWidget(Label1);
    top->addWidget(edtName);
    top->addSpacing(16);
    top->addWidget(btnErase);
    top->addWidget(btnFukushuSheet);
    top->addWidget(btnGakkyu);
    top->addWidget(btnReturn);
    auto* right = new QVBoxLayout;
    right->addWidget(memDetail, 1);
    right->addWidget(pbxChart);
    auto* lists = new QHBoxLayout;
    lists->addWidget(lstTitle, 3);
    lists->addLayout(right, 2);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(lists, 1);
}

bool TfrmKiroku::showFor(const std::string& learner, int lesson, const std::string& recordFile,
                         const std::string& section)
{
    recordsErased = false;
    edtName->setText(toQString(learner));
    lesson_ = lesson < 1 ? 1 : lesson;
    recordFile_ = recordFile;
    btnGakkyu->setVisible(static_cast<bool>(classRecordsOpener_));
    learner_ = learner;
    btnFukushuSheet->setVisible(followupOpener_ && !learner.empty() && !recordFile.empty());
    buildList();
    if (!section.empty()) {
        auto found = std::find_if(items_.begin(), items_.end(), [&](const RecordsItem& item) {
            return !item.section.empty() && profile::sameSectionName(item.section, section);
        });
        if (found != items_.end()) {
            lstTitle->setCurrentRow(static_cast<int>(found - items_.begin()));
            showRecordsOf(lstTitle->currentRow());
        }
    }
    exec();
    return recordsErased;
}

void TfrmKiroku::showEvent(QShowEvent* event)
{
    if (formSize_.isValid()) setGeometry(0, 0, formSize_.width(), formSize_.height());
    QDialog::showEvent(event);
    if (formSize_.isValid()) move(0, 0);
}

bool TfrmKiroku::buildList()
{
    auto items = buildRecordsList(index_, lesson_, recordFile_);
    if (!items) {
        lstTitle->clear();
        items_.clear();
        memDetail->clear();
        pbxChart->setPoints({});
        return false;
    }
    items_ = std::move(*items);
    lstTitle->clear();
    for (const RecordsItem& item : items_)
        lstTitle->addItem(toQString(item.text));
    memDetail->clear();
    pbxChart->setPoints({});
    return true;
}

void TfrmKiroku::showRecordsOf(int row)
{
    if (row < 0 || row >= static_cast<int>(items_.size())) return;
    // The records, then the damaged lines of the section named.
    const RecordsDetail detail = recordsDetail(recordFile_, items_[static_cast<std::size_t>(row)].section);
    QStringList lines;
    for (const std::string& line : detail.lines)
        lines << toQString(line);
    memDetail->setPlainText(lines.join('\n'));
    pbxChart->setPoints(scorePoints(detail.records));
}

void TfrmKiroku::lstTitleClick()
{
    showRecordsOf(lstTitle->currentRow());
}

void TfrmKiroku::btnEraseClick()
{
    int row = lstTitle->currentRow();
    if (lstTitle->selectedItems().isEmpty() || row < 0 || row >= static_cast<int>(items_.size())) {
        prompts_.message("消去する単元を選んでください"_sj);
        return;
    }
    if (prompts_.confirm("記録を消してもいいですか？"_sj) != Answer::Yes) return;
    recordsErased = true;
    if (Status erased = eraseRecords(recordFile_, items_[static_cast<std::size_t>(row)].section); !erased)
        prompts_.error(erased.message());
    buildList();
}

void TfrmKiroku::btnGakkyuClick()
{
    if (!classRecordsOpener_ || !classRecordsOpener_(lesson_)) return;
    recordsErased = true;
    buildList();
}

void TfrmKiroku::btnFukushuSheetClick()
{
    if (followupOpener_ && followupOpener_(learner_, lesson_, recordFile_)) btnReturnClick();
}

void TfrmKiroku::btnReturnClick()
{
    memDetail->clear();
    accept();
}

} // namespace tavola

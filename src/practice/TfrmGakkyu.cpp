#include "practice/TfrmGakkyu.h"

#include "courseware/index_file.h"
#include "platform/line_file.h"
#include "platform/prompts.h"
#include "platform/qt/qt_output_file.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"
#include "platform/text_helpers.h"
#include "practice/TfrmKiroku.h"
#include "practice/qt_followup_print.h"
#include "worksheet/figures.h"
#include "worksheet/print_job.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tavola {
namespace {

constexpr const char* kTotalHeads[] = {"練習計", "テスト計", "実施単元", "平均"};
constexpr int kTotalColumns = 4;

QColor shadeColour(ScoreShade shade)
{
    switch (shade) {
    case ScoreShade::Weak:
        return {255, 196, 196};
    case ScoreShade::Fair:
        return {255, 240, 176};
    case ScoreShade::Good:
        return {206, 238, 206};
    case ScoreShade::None:
        break;
    }
    return Qt::white;
}

// The paper of a follow-up sheet (every sheet of a lesson has the lesson's paper).
QPageSize pageSizeOf(int paperWidth)
{
    switch (paperWidth) {
    case 546:
        return QPageSize(QPageSize::JisB5);
    case 771:
        return QPageSize(QPageSize::JisB4);
    case 891:
        return QPageSize(QPageSize::A3);
    default:
        return QPageSize(QPageSize::A4);
    }
}

QString optionalNumber(const std::optional<int>& n)
{
    return n ? QString::number(*n) : QString();
}

// What the screen and the paper show: the heads of the unit columns and the totals, the learners, the cells.
struct Grid {
    QStringList heads;
    QStringList learners;
    std::vector<std::vector<QString>> cells; // [row][column], the totals last
    std::vector<std::vector<ScoreShade>> shades;
};

Grid gridOf(const ClassTable& table)
{
    Grid g;
    for (const ClassColumn& c : table.columns)
        g.heads << toQString(c.sectionName) + '\n' + QString::number(c.unit) + ' ' + toQString(c.unitLine) + '\n' +
                       sysText("平均 ") + (c.average ? QString::number(*c.average) : sysText("－")) + sysText("・") +
                       QString::number(c.doneCount) + sysText("人");
    for (const char* head : kTotalHeads)
        g.heads << sysText(head);
    for (const ClassRow& row : table.rows) {
        QString name = toQString(row.learner);
        if (row.state != RowState::Read) name += sysText("（") + toQString(rowStateText(row.state)) + sysText("）");
        g.learners << name;
        std::vector<QString> cells;
        std::vector<ScoreShade> shades;
        for (const ClassCell& cell : row.cells) {
            cells.push_back(cell.done() ? QString("%1 / %2\n").arg(cell.lastScore).arg(cell.bestScore) +
                                              sysText("練%1 テ%2").arg(cell.practices).arg(cell.tests)
                                        : QString());
            shades.push_back(shadeOf(cell));
        }
        const bool read = row.state == RowState::Read;
        for (QString total :
             {read ? QString::number(row.practices) : QString(), read ? QString::number(row.tests) : QString(),
              read ? QString::number(row.unitsDone) : QString(), optionalNumber(row.average)}) {
            cells.push_back(total);
            shades.push_back(ScoreShade::None);
        }
        g.cells.push_back(std::move(cells));
        g.shades.push_back(std::move(shades));
    }
    return g;
}

} // namespace

TfrmGakkyu::TfrmGakkyu(const CoursewareIndex& index, Prompts& prompts, DataFileOf dataFileOf, QWidget* parent)
    : QDialog(parent), index_(index), prompts_(prompts), dataFileOf_(std::move(dataFileOf))
{
    setObjectName("frmGakkyu");
    setWindowTitle(sysText("学級の記録"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
    resize(960, 600);
    printerSetup_ = [this](QPrinter& printer) { return QPrintDialog(&printer, this).exec() == QDialog::Accepted; };

    lblLesson = new QLabel(sysText("レッスン"), this);
    lblLesson->setObjectName("lblLesson");
    cmbLesson = new QComboBox(this);
    cmbLesson->setObjectName("cmbLesson");
    lblMeibo = new QLabel(sysText("名簿"), this);
    lblMeibo->setObjectName("lblMeibo");
    edtMeibo = new QLineEdit(this);
    edtMeibo->setObjectName("edtMeibo");
    edtMeibo->setReadOnly(true);
    edtMeibo->setFocusPolicy(Qt::NoFocus);
    btnOpenMeibo = new QPushButton(sysText("名簿を開く"), this);
    btnOpenMeibo->setObjectName("btnOpenMeibo");
    btnOpenMeibo->setAutoDefault(false);

    grdClass = new QTableWidget(this);
    grdClass->setObjectName("grdClass");
    grdClass->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdClass->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdClass->setWordWrap(true);
    QFont gridFont(sysText("ＭＳ ゴシック"));
    gridFont.setPixelSize(12);
    grdClass->setFont(gridFont);
    lblProblem = new QLabel(sysText("読めなかった記録"), this);
    lblProblem->setObjectName("lblProblem");
    memProblem = new QPlainTextEdit(this);
    memProblem->setObjectName("memProblem");
    memProblem->setReadOnly(true);
    memProblem->setLineWrapMode(QPlainTextEdit::NoWrap);
    memProblem->setMaximumHeight(90);

    btnSave = new QPushButton(sysText("名前を付けて保存"), this);
    btnSave->setObjectName("btnSave");
    btnPrint = new QPushButton(sysText("印刷"), this);
    btnPrint->setObjectName("btnPrint");
    btnFukushuSheet = new QPushButton(sysText("ふくしゅうシート"), this);
    btnFukushuSheet->setObjectName("btnFukushuSheet");
    btnReturn = new QPushButton(sysText("閉じる"), this);
    btnReturn->setObjectName("btnReturn");
    for (QPushButton* b : {btnSave, btnPrint, btnFukushuSheet, btnReturn})
        b->setAutoDefault(false);

    connect(cmbLesson, &QComboBox::activated, this, &TfrmGakkyu::cmbLessonChange);
    connect(btnOpenMeibo, &QPushButton::clicked, this, &TfrmGakkyu::btnOpenMeiboClick);
    connect(grdClass, &QTableWidget::cellClicked, this, &TfrmGakkyu::grdClassCellClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmGakkyu::btnSaveClick);
    connect(btnPrint, &QPushButton::clicked, this, &TfrmGakkyu::btnPrintClick);
    connect(btnFukushuSheet, &QPushButton::clicked, this, &TfrmGakkyu::btnFukushuSheetClick);
    connect(btnReturn, &QPushButton::clicked, this, &TfrmGakkyu::btnReturnClick);

    auto* top = new QHBoxLayout;
    top->addWidget(lblLesson);
    top->addWidget(cmbLesson, 1);
    top->addSpacing(16);
    top->addWidget(lblMeibo);
    top->addWidget(edtMeibo, 1);
    top->addWidget(btnOpenMeibo);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(grdClass, 1);
    all->addWidget(lblProblem);
    all->addWidget(memProblem);
    all->addLayout(rightButtonRow({btnSave, btnPrint, btnFukushuSheet, btnReturn}));
}

TfrmGakkyu::~TfrmGakkyu() = default;

bool TfrmGakkyu::showFor(int lesson, const std::string& nameListPath)
{
    recordsErased = false;
    lesson_ = lesson < 1 ? 1 : lesson;
    cmbLesson->clear();
    for (const std::string& name : index_.lessonList())
        cmbLesson->addItem(toQString(name));
    cmbLesson->setCurrentIndex(lesson_ - 1);
    loadNameList(nameListPath);
    rebuild();
    QTimer live;
    if (activity_) {
        recordsSeen_ = activity_() ? activity_()->records : 0;
        timLiveTimer();
        connect(&live, &QTimer::timeout, this, &TfrmGakkyu::timLiveTimer);
        live.start(1000);
    }
    exec();
    return recordsErased;
}

void TfrmGakkyu::timLiveTimer()
{
    auto now = activity_ ? activity_() : std::nullopt;
    if (!now) return;
    if (now->records != recordsSeen_) {
        recordsSeen_ = now->records;
        rebuild();
        marked_.clear();
    }
    for (auto [r, c] : marked_)
        if (QTableWidgetItem* item = grdClass->item(r, c)) item->setText(item->text().mid(2));
    marked_.clear();
    for (const auto& [learner, section] : now->working) {
        for (std::size_t r = 0; r < table_.rows.size(); ++r) {
            if (table_.rows[r].learner != learner) continue;
            for (std::size_t c = 0; c < table_.columns.size(); ++c) {
                QTableWidgetItem* item = grdClass->item(static_cast<int>(r), static_cast<int>(c));
                if (table_.columns[c].recordSection != section || item == nullptr) continue;
                if (std::find(marked_.begin(), marked_.end(), std::pair{int(r), int(c)}) != marked_.end()) continue;
                item->setText(sysText("▶ ") + item->text());
                marked_.emplace_back(static_cast<int>(r), static_cast<int>(c));
            }
        }
    }
}

void TfrmGakkyu::loadNameList(const std::string& path)
{
    nameListPath_ = path;
    learners_.clear();
    nameListProblem_.clear();
    edtMeibo->setText(toQString(textAfterLast(textAfterLast(path, '\\'), '/')));
    // Only read: a missing list is named, never made here.
    if (auto learners = readClassLearners(path))
        learners_ = std::move(*learners);
    else
        nameListProblem_ = learners.message();
}

void TfrmGakkyu::rebuild()
{
    table_ = buildClassTable(index_, lesson_, learners_,
                             [this](const std::string& learner) { return dataFileOf_(learner, lesson_); });
    fillGrid();
    fillProblems();
}

void TfrmGakkyu::fillGrid()
{
    const Grid g = gridOf(table_);
    grdClass->clear();
    grdClass->setRowCount(static_cast<int>(g.learners.size()));
    grdClass->setColumnCount(static_cast<int>(g.heads.size()));
    grdClass->setHorizontalHeaderLabels(g.heads);
    grdClass->setVerticalHeaderLabels(g.learners);
    for (int r = 0; r < grdClass->rowCount(); ++r) {
        const auto& cells = g.cells[static_cast<std::size_t>(r)];
        for (int c = 0; c < grdClass->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(cells[static_cast<std::size_t>(c)]);
            item->setTextAlignment(Qt::AlignCenter);
            ScoreShade shade = g.shades[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            if (shade != ScoreShade::None) item->setBackground(shadeColour(shade));
            grdClass->setItem(r, c, item);
        }
    }
    grdClass->horizontalHeader()->setDefaultSectionSize(96);
    grdClass->verticalHeader()->setDefaultSectionSize(36);
}

void TfrmGakkyu::fillProblems()
{
    QStringList lines;
    if (!nameListProblem_.empty()) lines << toQString(nameListProblem_);
    if (!table_.lessonProblem.empty()) lines << toQString(table_.lessonProblem);
    for (const ClassRow& row : table_.rows)
        if (row.state != RowState::Read && row.state != RowState::NoFile)
            lines << toQString(row.learner + "："_sj + (row.message.empty() ? rowStateText(row.state) : row.message));
    for (const ClassProblem& p : table_.problems)
        lines << toQString(problemText(p));
    memProblem->setPlainText(lines.join('\n'));
    lblProblem->setText(sysText("読めなかった記録：%1件").arg(table_.problems.size()));
}

void TfrmGakkyu::cmbLessonChange(int index)
{
    if (index < 0 || index + 1 == lesson_) return;
    lesson_ = index + 1;
    rebuild();
}

void TfrmGakkyu::btnOpenMeiboClick()
{
    std::string folder = nameListPath_.substr(0, nameListPath_.size() - textAfterLast(nameListPath_, '\\').size());
    FileDialogRequest request{"名簿を開く"_sj, "テキストファイル|*.txt"_sj, folder, {}};
    if (auto path = prompts_.openFileName(request)) {
        loadNameList(*path);
        rebuild();
    }
}

void TfrmGakkyu::grdClassCellClick(int row, int column)
{
    if (row < 0 || row >= static_cast<int>(table_.rows.size())) return;
    if (column < 0 || column >= static_cast<int>(table_.columns.size())) return;
    const ClassRow& learner = table_.rows[static_cast<std::size_t>(row)];
    switch (learner.state) {
    case RowState::Read:
    case RowState::NoFile:
        break;
    default:
        prompts_.message(learner.learner + "："_sj + rowStateText(learner.state));
        return;
    }
    if (!viewer_) viewer_ = std::make_unique<TfrmKiroku>(index_, prompts_, this);
    viewer_->setFormSize(size());
    // Copies of the strings: the table is rebuilt after an erase.
    const std::string name = learner.learner;
    const std::string file = learner.file;
    const std::string section = table_.columns[static_cast<std::size_t>(column)].recordSection;
    if (viewer_->showFor(name, lesson_, file, section)) {
        recordsErased = true;
        rebuild();
    }
}

void TfrmGakkyu::btnSaveClick()
{
    std::string folder = nameListPath_.substr(0, nameListPath_.size() - textAfterLast(nameListPath_, '\\').size());
    FileDialogRequest request{"名前を付けて保存"_sj, "*.csv", folder,
                              "学級の記録"_sj + std::to_string(lesson_) + ".csv"};
    auto path = prompts_.saveFileName(request);
    if (!path) return;
    if (Status saved = writeWholeFile(*path, classTableCsv(table_)); !saved) prompts_.error(saved.message());
}

void TfrmGakkyu::btnPrintClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(sysText("学級の記録"));
    if (!printerSetup_ || !printerSetup_(printer)) return;
    const Result<int> printed = printClassTable(table_, printer);
    if (!printed) prompts_.error(printed.message());
}

void TfrmGakkyu::btnFukushuSheetClick()
{
    std::vector<int> rows;
    for (const QModelIndex& cell : grdClass->selectionModel()->selectedIndexes())
        if (std::find(rows.begin(), rows.end(), cell.row()) == rows.end()) rows.push_back(cell.row());
    std::sort(rows.begin(), rows.end());
    if (rows.empty())
        for (int r = 0; r < static_cast<int>(table_.rows.size()); ++r)
            rows.push_back(r);

    DrawOptions options;
    options.classFlag = loadClassFlag(index_.coursewareDir());
    FollowupMaker maker(index_, lesson_, followupScreenLayout(options));
    std::vector<FollowupSheet> sheets;
    std::string told;
    auto tell = [&](const std::string& line) { told += (told.empty() ? "" : "\n") + line; };
    for (int r : rows) {
        if (r < 0 || r >= static_cast<int>(table_.rows.size())) continue;
        const ClassRow& row = table_.rows[static_cast<std::size_t>(r)];
        if (row.file.empty()) {
            tell(row.learner + "："_sj + rowStateText(row.state));
            continue;
        }
        FollowupSheet sheet = maker.make(row.learner, row.file);
        for (const std::string& note : sheet.notes)
            tell(row.learner + "："_sj + note);
        if (!sheet.made()) {
            tell(noFollowupMessage(row.learner));
            continue;
        }
        if (auto saved = saveFollowupCopy(index_, lesson_, sheet); !saved) tell(saved.message());
        sheets.push_back(std::move(sheet));
    }
    if (!told.empty()) prompts_.message(told);
    if (sheets.empty()) return;

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(pageSizeOf(sheets.front().sheet.settings.paper.width));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(sysText("ふくしゅうシート"));
    if (!printerSetup_ || !printerSetup_(printer)) return;
    const PrintOutcome out = printFollowupOnPrinter(printer, sheets, options, true);
    if (!out.ok()) prompts_.error(out.message);
}

void TfrmGakkyu::btnReturnClick()
{
    accept();
}

Result<int> printClassTable(const ClassTable& table, QPrinter& printer)
{
    // The same checks as a worksheet's print: a PDF is written whole or not at all, a printer that cannot begin or
    // refuses a page is named.
    PrinterOutputFile output(printer);
    if (!output.begun()) return Result<int>::failure(output.begun().message());
    const bool toFile = !printer.outputFileName().isEmpty();
    const std::string failedMessage =
        printFailedMessage(fromQStringLossy(toFile ? printer.outputFileName() : printer.printerName()), toFile);
    auto failed = [&](bool begun, QPainter& painter) {
        if (begun) {
            printer.abort();
            painter.end();
        }
        output.finish(false);
        return Result<int>::failure(failedMessage);
    };

    const Grid g = gridOf(table);
    QPainter p;
    if (!p.begin(&printer)) return failed(false, p);
    QFont font(sysText("ＭＳ ゴシック"));
    font.setPointSizeF(7.5);
    p.setFont(font);
    const QFontMetrics fm(font, &printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int pad = fm.height() / 4;
    const int nameWidth = fm.horizontalAdvance(sysText("氏名氏名氏名氏名氏名")) + 2 * pad;
    const int columnWidth = fm.horizontalAdvance(sysText("100 / 100")) * 3 / 2 + 2 * pad;
    const int titleHeight = fm.height() * 2;
    const int headHeight = fm.height() * 3 + 2 * pad;
    const int rowHeight = fm.height() * 2 + 2 * pad;
    const int across = std::max(1, (page.width() - nameWidth) / columnWidth);
    const int columns = static_cast<int>(g.heads.size());
    const int unitColumns = static_cast<int>(table.columns.size());
    // A unit column is headed by its number, its unit as far as it fits and its average; the legend under the table
    // names every unit of the page whole, two to a line.
    const int legendLines = (std::min(across, unitColumns) + 1) / 2;
    const int legendHeight = legendLines > 0 ? pad + legendLines * fm.height() : 0;
    const int down = std::max(1, (page.height() - titleHeight - headHeight - legendHeight) / rowHeight);
    const int rows = std::max(1, static_cast<int>(g.learners.size()));
    const int pagesAcross = (columns + across - 1) / across;
    const int pagesDown = (rows + down - 1) / down;
    const QString title = sysText("学級の記録　") + toQString(table.lessonName);
    auto unitName = [&](int c) {
        const ClassColumn& column = table.columns[static_cast<std::size_t>(c)];
        return QString::number(column.unit) + ' ' + toQString(column.unitLine);
    };
    auto head = [&](int c) {
        if (c >= unitColumns) return g.heads[c];
        const QString average = g.heads[c].section('\n', 2);
        return QString("(%1)\n").arg(c + 1) + fm.elidedText(unitName(c), Qt::ElideRight, columnWidth - 2 * pad) + '\n' +
               average;
    };

    int pages = 0;
    for (int pc = 0; pc < pagesAcross; ++pc) {
        for (int pr = 0; pr < pagesDown; ++pr) {
            if (pages > 0 && !printer.newPage()) return failed(true, p);
            ++pages;
            p.setPen(Qt::black);
            p.drawText(QRect(0, 0, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter, title);
            p.drawText(QRect(0, 0, page.width(), titleHeight), Qt::AlignRight | Qt::AlignVCenter,
                       QString("%1 / %2").arg(pages).arg(pagesAcross * pagesDown));
            const int firstColumn = pc * across;
            const int lastColumn = std::min(columns, firstColumn + across);
            const int firstRow = pr * down;
            const int lastRow = std::min(static_cast<int>(g.learners.size()), firstRow + down);
            int y = titleHeight;
            p.drawRect(QRect(0, y, nameWidth, headHeight));
            p.drawText(QRect(0, y, nameWidth, headHeight).adjusted(pad, pad, -pad, -pad), Qt::AlignCenter,
                       sysText("氏名"));
            for (int c = firstColumn; c < lastColumn; ++c) {
                QRect r = QRect(nameWidth + (c - firstColumn) * columnWidth, y, columnWidth, headHeight);
                p.drawRect(r);
                p.drawText(r.adjusted(pad, pad, -pad, -pad), Qt::AlignCenter, head(c));
            }
            y += headHeight;
            for (int r = firstRow; r < lastRow; ++r, y += rowHeight) {
                QRect nameRect = QRect(0, y, nameWidth, rowHeight);
                p.drawRect(nameRect);
                p.drawText(nameRect.adjusted(pad, pad, -pad, -pad), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                           g.learners[r]);
                for (int c = firstColumn; c < lastColumn; ++c) {
                    QRect cell = QRect(nameWidth + (c - firstColumn) * columnWidth, y, columnWidth, rowHeight);
                    ScoreShade shade = g.shades[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
                    if (shade != ScoreShade::None) p.fillRect(cell, shadeColour(shade));
                    p.drawRect(cell);
                    p.drawText(cell.adjusted(pad, pad, -pad, -pad), Qt::AlignCenter,
                               g.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
                }
            }
            // The legend: every unit column of the page by its number, with its section and unit whole.
            y += pad;
            const int half = page.width() / 2;
            for (int c = firstColumn, k = 0; c < std::min(lastColumn, unitColumns); ++c, ++k) {
                const ClassColumn& column = table.columns[static_cast<std::size_t>(c)];
                const QString line =
                    QString("(%1) ").arg(c + 1) + toQString(column.sectionName) + sysText("　") + unitName(c);
                const QRect at(k % 2 == 0 ? 0 : half, y + (k / 2) * fm.height(), half - pad, fm.height());
                p.drawText(at, Qt::AlignLeft | Qt::AlignVCenter, fm.elidedText(line, Qt::ElideRight, at.width()));
            }
        }
    }
    const bool ended = p.end() && printer.printerState() != QPrinter::Error;
    if (Status written = output.finish(ended); !written) return Result<int>::failure(written.message());
    if (!ended) return Result<int>::failure(failedMessage);
    return pages;
}

} // namespace tavola

// 学級の記録 on a copy of the sample courseware with a small class: opened from the records viewer and from the
// main window's 編集 menu, the lesson changed, a cell clicked into that learner's records, the CSV saved (and the
// same bytes from tavola-cli class --csv), the table printed on A4 landscape; a file too large named under the
// table; nothing of it in student mode.
#include "support/gui_registry.h"
#include "support/pdf_helpers.h"
#include "support/program_fixture.h"

#include "courseware/TfrmMenu.h"
#include "platform/line_file.h"
#include "platform/qt/qt_text.h"
#include "practice/TfrmGakkyu.h"
#include "practice/TfrmKiroku.h"
#include "practice/learning_records.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <filesystem>

using namespace tavola;
using tavola::test::u;

namespace {

PracticeRecord at(int day, const std::string& trail, int score)
{
    return {{2026, 3, day, 9, 7, 0}, 0, trail, score / 25, 4, score, 60};
}

struct Program : test::ProgramFixture {
    std::string first = "S11分母が同じ分数のたし算"_sj;
    std::string second = "S12分母が同じ分数のひき算"_sj;

    Program()
    {
        copySample();
        const std::string tasu = systemDir() + "tasu\\";
        appendRecord(tasu + "taro.ini", first, at(1, "01", 50));
        appendRecord(tasu + "taro.ini", first, at(2, "", 100));
        appendRecord(tasu + "hanako.ini", second, at(3, "", 25));
        appendRecord(systemDir() + "kake\\hanako.ini", "S11分数×整数"_sj, at(4, "", 75));
        QDir().mkpath(dir() + "/LogOn");
        writeLineFile(systemDir() + "LogOn\\sname.txt", {"taro", "hanako", "jiro"});
        if (!showWindows()) qWarning("main window not shown");
        main->shellState().learnerName = "taro";
    }

    // 開く, 記録表示, then 学級の記録 in the records viewer; the steps run in the class window, which they close.
    void fromTheViewer(std::function<void(TfrmGakkyu*)> steps)
    {
        TfrmMenu* menu = main->menuWindow();
        TfrmKiroku* viewer = main->kirokuWindow();
        test::whenModal(menu, [=] {
            test::whenModal(viewer, [=] {
                QVERIFY(viewer->btnGakkyu->isVisible());
                test::whenModalOf<TfrmGakkyu>([=](TfrmGakkyu* window) {
                    steps(window);
                    QTest::mouseClick(window->btnReturn, Qt::LeftButton);
                });
                QTest::mouseClick(viewer->btnGakkyu, Qt::LeftButton);
                QTest::mouseClick(viewer->btnReturn, Qt::LeftButton);
            });
            QTest::mouseClick(menu->findChild<QPushButton*>("btnShowRecord"), Qt::LeftButton);
            QTest::mouseClick(menu->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
        });
        QTest::mouseClick(button("btnOpenMaster"), Qt::LeftButton);
    }

    static void clickCell(QTableWidget* grid, int row, int column)
    {
        grid->scrollToItem(grid->item(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(row, column)).center());
    }
};

QStringList rowHeads(QTableWidget* grid)
{
    QStringList out;
    for (int r = 0; r < grid->rowCount(); ++r)
        out << grid->verticalHeaderItem(r)->text();
    return out;
}

} // namespace

class tst_TfrmGakkyu : public QObject {
    Q_OBJECT

private slots:
    void fromTheViewerTheLessonChangesACellOpensRecordsAndTheCsvIsSaved()
    {
        Program p;
        const std::string csvPath = p.systemDir() + "class.csv";
        bool ran = false;
        p.fromTheViewer([&](TfrmGakkyu* window) {
            ran = true;
            QCOMPARE(window->windowTitle(), u("学級の記録"));
            QCOMPARE(window->cmbLesson->currentIndex(), 0);
            QCOMPARE(window->edtMeibo->text(), u("sname.txt"));
            QTableWidget* grid = window->grdClass;
            QCOMPARE(rowHeads(grid), (QStringList{u("taro"), u("hanako"), u("jiro（記録なし）")}));
            // Eight units in the sample's first lesson, then the four totals.
            QCOMPARE(grid->columnCount(), 8 + 4);
            QVERIFY(grid->horizontalHeaderItem(0)->text().contains(u("平均 100・1人")));
            QCOMPARE(grid->item(0, 0)->text(), u("100 / 100\n練1 テ1"));
            QCOMPARE(grid->item(1, 1)->text(), u("25 / 25\n練0 テ1"));
            QCOMPARE(grid->item(1, 1)->background().color(), QColor(255, 196, 196));
            QCOMPARE(grid->item(1, 0)->text(), QString());
            QCOMPARE(grid->item(0, 8)->text(), u("1")); // taro's practices

            // The second lesson: hanako's one test of its first unit.
            QTest::keyClick(window->cmbLesson, Qt::Key_Down);
            QCOMPARE(window->lesson(), 2);
            QCOMPARE(grid->item(1, 0)->text(), u("75 / 75\n練0 テ1"));
            QCOMPARE(grid->item(0, 0)->text(), QString());
            QTest::keyClick(window->cmbLesson, Qt::Key_Up);
            QCOMPARE(window->lesson(), 1);
            // 名簿を開く offers text files by their name, as the log-on window does; cancelled, the list stays.
            p.prompts.queueFileName(std::nullopt);
            QTest::mouseClick(window->btnOpenMeibo, Qt::LeftButton);
            QCOMPARE(p.prompts.fileRequests.back().filter, "テキストファイル|*.txt"_sj);
            QCOMPARE(window->edtMeibo->text(), u("sname.txt"));

            // A cell opens that learner's records of that unit.
            QString shownName;
            QString shownRecords;
            test::whenModalOf<TfrmKiroku>([&](TfrmKiroku* viewer) {
                shownName = viewer->edtName->text();
                shownRecords = viewer->memDetail->toPlainText();
                QVERIFY(!viewer->btnGakkyu->isVisible());
                QTest::mouseClick(viewer->btnReturn, Qt::LeftButton);
            });
            Program::clickCell(grid, 0, 0);
            QCOMPARE(shownName, u("taro"));
            QCOMPARE(shownRecords.split('\n').size(), 2);
            QVERIFY(shownRecords.endsWith(u("[]  4/ 4 100点 01:00")));

            p.prompts.queueFileName(csvPath);
            QTest::mouseClick(window->btnSave, Qt::LeftButton);
            QCOMPARE(p.prompts.fileRequests.back().suggestedName, "学級の記録1.csv"_sj);
        });
        QVERIFY(ran);
        auto saved = readWholeFile(csvPath);
        QVERIFY(saved.has_value());
        // Behind a byte-order mark, which a Japanese spreadsheet needs to read UTF-8.
        QVERIFY(saved->starts_with("\xEF\xBB\xBF"));
        QVERIFY(QString::fromStdString(saved->substr(3)).startsWith(u("学級の記録,1,分数のたし算とひき算\n")));
        QVERIFY(QString::fromStdString(*saved).contains(u("\njiro,記録なし,")));

        // tavola-cli class --csv prints the same bytes.
        QProcess cli;
        cli.start(QString(TAVOLA_CLI), {"class", p.dir(), "--csv"});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(cli.readAllStandardOutput().toStdString(), *saved);
        QCOMPARE(p.prompts.unexpected, 0);
    }

    void fromTheMenuAFileTooLargeIsNamedAndThePrintIsA4Landscape()
    {
        Program p;
        std::filesystem::resize_file((p.dir() + "/tasu/hanako.ini").toStdString(), kLearnerFileLimit + 1);
        const QString pdf = p.dir() + "/class.pdf";
        bool ran = false;
        test::whenModalOf<TfrmGakkyu>([&](TfrmGakkyu* window) {
            ran = true;
            QCOMPARE(rowHeads(window->grdClass).value(1), u("hanako（ファイルが大きすぎます）"));
            QCOMPARE(window->grdClass->item(0, 0)->text(), u("100 / 100\n練1 テ1"));
            QVERIFY(window->memProblem->toPlainText().contains(u("hanako：ファイル ")));
            QVERIFY(window->memProblem->toPlainText().contains(u("は大きすぎて読み込めません")));
            QPageLayout layout;
            window->setPrinterSetup([&](QPrinter& printer) {
                layout = printer.pageLayout();
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pdf);
                return true;
            });
            QTest::mouseClick(window->btnPrint, Qt::LeftButton);
            QCOMPARE(layout.orientation(), QPageLayout::Landscape);
            QCOMPARE(layout.pageSize().id(), QPageSize::A4);
            // Every unit column is numbered, and named whole under the table.
            const QStringList pages = test::pdfPages(pdf, {"-layout"});
            QVERIFY(!pages.isEmpty());
            const QString all = pages.join('\f').simplified();
            for (std::size_t c = 0; c < window->table().columns.size(); ++c) {
                const ClassColumn& column = window->table().columns[c];
                const QString legend = QString("(%1) ").arg(c + 1) + toQString(column.sectionName) + u("　") +
                                       QString::number(column.unit) + ' ' + toQString(column.unitLine);
                QVERIFY2(all.contains(legend.simplified()), qPrintable(legend + "\n" + all));
            }
            // A file that cannot be written is named, and nothing is left behind.
            const QString lost = p.dir() + "/no/such/folder/class.pdf";
            window->setPrinterSetup([&](QPrinter& printer) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(lost);
                return true;
            });
            QTest::mouseClick(window->btnPrint, Qt::LeftButton);
            QVERIFY2(p.prompts.lastUtf8().find("に書き込めませんでした") != std::string::npos,
                     p.prompts.lastUtf8().c_str());
            p.prompts.shown.clear();
            QTest::mouseClick(window->btnReturn, Qt::LeftButton);
        });
        QAction* item = p.main->findChild<QAction*>("mnuGakkyu");
        QVERIFY(item != nullptr);
        QCOMPARE(item->text(), u("学級の記録(&G)"));
        item->trigger();
        QVERIFY(ran);
        QVERIFY(QFile(pdf).size() > 0);
    }

    void studentModeOffersNoClassRecords()
    {
        Program p;
        QTest::mouseClick(p.button("btnLock"), Qt::LeftButton);
        QVERIFY(!p.main->mnuEdit->menuAction()->isVisible());
        QVERIFY(!p.main->showClassRecords(1));
        bool hidden = false;
        TfrmKiroku* viewer = p.main->kirokuWindow();
        test::whenModal(viewer, [&] {
            hidden = !viewer->btnGakkyu->isVisible();
            QTest::mouseClick(viewer->btnReturn, Qt::LeftButton);
        });
        p.main->showRecordsViewer();
        QVERIFY(hidden);
        QTest::mouseClick(p.button("btnLock"), Qt::LeftButton);
    }
};

TAVOLA_GUI_TEST(tst_TfrmGakkyu)
#include "tst_TfrmGakkyu.moc"

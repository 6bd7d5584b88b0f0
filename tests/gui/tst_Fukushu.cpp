// ふくしゅうシート on a copy of the test courseware with a small class: from 学級の記録, three learners chosen by
// their names and printed through the print dialog into one PDF (three sheets with their names, then three keys);
// from the records viewer, the logged-on learner's sheet opened in a worksheet window, or a message when there is
// nothing to go over; from the unit selection window, ふくしゅう for a learner with problems to go over.
#include "support/gui_registry.h"
#include "support/pdf_helpers.h"
#include "support/program_fixture.h"

#include "courseware/TfrmMenu.h"
#include "platform/line_file.h"
#include "platform/paths.h"
#include "practice/TfrmGakkyu.h"
#include "practice/TfrmKiroku.h"
#include "practice/learning_records.h"
#include "worksheet/TfrmPrint.h"

#include <QDir>
#include <QHeaderView>
#include <QPrintDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace tavola;
using tavola::test::u;

namespace {

PracticeRecord practice(int day, const std::string& trail)
{
    return {{2026, 3, day, 9, 7, 0}, 0, trail, 5, 6, 83, 60};
}

struct Program : test::ProgramFixture {
    Program()
    {
        copySample();
        const std::string tasu = systemDir() + "tasu\\";
        const std::string first = "S11分母が同じ分数のたし算"_sj;
        appendRecord(tasu + "taro.ini", first, practice(1, "010000"));
        appendRecord(tasu + "hanako.ini", first, practice(2, "000001"));
        appendRecord(tasu + "jiro.ini", first, practice(3, "100100"));
        appendRecord(tasu + "saburo.ini", first, practice(3, "000000"));
        QDir().mkpath(dir() + "/LogOn");
        writeLineFile(systemDir() + "LogOn\\sname.txt", {"taro", "saburo", "hanako", "jiro"});
        if (!showWindows()) qWarning("main window not shown");
    }

    // A click on a learner's name at the left of the table, with Ctrl to add to the learners chosen.
    static void chooseRow(QTableWidget* grid, int row)
    {
        QHeaderView* names = grid->verticalHeader();
        const QPoint at(names->width() / 2, names->sectionViewportPosition(row) + names->sectionSize(row) / 2);
        QTest::mouseClick(names->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    }
};

} // namespace

class tst_Fukushu : public QObject {
    Q_OBJECT

private slots:
    void threeLearnersFromTheClassRecordsPrintTheirSheetsThenTheKeys()
    {
        Program p;
        const QString pdf = p.dir() + "/fukushu.pdf";
        bool ran = false;
        test::whenModalOf<TfrmGakkyu>([&](TfrmGakkyu* window) {
            ran = true;
            QCOMPARE(window->btnFukushuSheet->text(), u("ふくしゅうシート"));
            for (int row : {0, 2, 3})
                Program::chooseRow(window->grdClass, row);
            test::whenModalOf<QPrintDialog>([&](QPrintDialog* dialog) { test::printToPdf(dialog, pdf, 1); });
            QTest::mouseClick(window->btnFukushuSheet, Qt::LeftButton);
            QTest::mouseClick(window->btnReturn, Qt::LeftButton);
        });
        p.main->showClassRecords(1);
        QVERIFY(ran);
        QCOMPARE(p.prompts.unexpected, 0);
        QVERIFY(p.prompts.shown.empty());

        const QStringList pages = test::pdfPages(pdf);
        QCOMPARE(pages.size(), 6);
        const QStringList names{"taro", "hanako", "jiro"};
        for (int k = 0; k < 6; ++k) {
            const QString& page = pages[k];
            const QString name = names[k % 3];
            QVERIFY2(page.contains(name + u("さんのふくしゅう")), qPrintable(page));
            QVERIFY2(page.contains(u("氏名 ") + name), qPrintable(page));
            QCOMPARE(page.contains(u("（解答）")), k >= 3);
        }
        // jiro got two problems wrong: (1) and (2) of his sheet; the others one.
        QVERIFY(pages[2].contains("(2)"));
        QVERIFY(!pages[0].contains("(2)"));
        // Each sheet is kept as a copy file of the lesson.
        for (const QString& name : names)
            QVERIFY(paths::fileExists(p.systemDir() + "tasu\\" + name.toStdString() + "さんのふくしゅう.prp"_sj));
        QVERIFY(!paths::fileExists(p.systemDir() + "tasu\\saburoさんのふくしゅう.prp"_sj));
    }

    void theRecordsViewerOpensTheLearnersSheetInAWorksheetWindow()
    {
        Program p;
        TfrmKiroku* viewer = p.main->kirokuWindow();
        p.main->shellState().learnerName = "saburo";
        test::whenModal(viewer, [&] {
            QVERIFY(viewer->btnFukushuSheet->isVisible());
            QTest::mouseClick(viewer->btnFukushuSheet, Qt::LeftButton);
            QTest::mouseClick(viewer->btnReturn, Qt::LeftButton);
        });
        p.main->showRecordsViewer();
        QCOMPARE(p.prompts.lastUtf8(), std::string("saburoさんには、ふくしゅうする問題がありません"));

        p.main->shellState().learnerName = "jiro";
        test::whenModal(viewer, [&] { QTest::mouseClick(viewer->btnFukushuSheet, Qt::LeftButton); });
        p.main->showRecordsViewer();
        QVERIFY(!viewer->isVisible());
        TfrmPrint* sheet = p.main->currentWorksheet();
        QVERIFY(sheet != nullptr);
        QCOMPARE(sheet->worksheet().title, "jiroさんのふくしゅう"_sj);
        QCOMPARE(sheet->worksheet().problemLines.size(), 3u);
        QCOMPARE(sheet->worksheet().path, p.systemDir() + "tasu\\jiroさんのふくしゅう.prp"_sj);
    }

    void aLearnerWithProblemsToGoOverSeesFukushuInTheUnitSelection()
    {
        Program p;
        TfrmMenu* menu = p.main->menuWindow();
        p.main->shellState().learnerName = "saburo";
        bool shown = true;
        test::whenModal(menu, [&] {
            shown = menu->findChild<QPushButton*>("btnFukushu")->isVisible();
            QTest::mouseClick(menu->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnOpenMaster"), Qt::LeftButton);
        QVERIFY(!shown);

        p.main->shellState().learnerName = "hanako";
        test::whenModal(menu, [&] {
            QPushButton* fukushu = menu->findChild<QPushButton*>("btnFukushu");
            QVERIFY(fukushu->isVisible());
            QCOMPARE(fukushu->text(), u("ふくしゅう"));
            QTest::mouseClick(fukushu, Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnOpenMaster"), Qt::LeftButton);
        TfrmPrint* sheet = p.main->currentWorksheet();
        QVERIFY(sheet != nullptr);
        QCOMPARE(sheet->worksheet().title, "hanakoさんのふくしゅう"_sj);
        QCOMPARE(p.prompts.unexpected, 0);
    }
};

TAVOLA_GUI_TEST(tst_Fukushu)
#include "tst_Fukushu.moc"

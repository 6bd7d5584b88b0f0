// The copy-file browser in the program: a worksheet saved as a copy file, found again in the browser (its lesson,
// its file, its text), opened as a worksheet that shows the same page and prints the same, and a copy that is open
// already.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "courseware/TfrmOpenPRP.h"
#include "platform/qt/qt_text.h"
#include "worksheet/TfrmPrint.h"
#include "worksheet/qt_print.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace tavola;
using tavola::test::u;

namespace {

// The page's text as printed at printer resolution, in reading order, without its number line (which names the
// file the worksheet came from).
QString printedText(const TfrmPrint& window, const QString& file)
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, file, window.worksheet().settings.paper.width);
    if (!printOnPrinter(printer, window.worksheet(), {PrintMode::Printer, true, 1, 1}, window.drawOptions()).ok())
        return {};
    QProcess text;
    text.start("pdftotext", {file, "-"});
    if (!text.waitForFinished(30000)) return {};
    QStringList lines = QString::fromUtf8(text.readAllStandardOutput()).split('\n');
    lines.removeIf([](const QString& l) {
        return l.trimmed().isEmpty() || l.contains("2005.03.05") || l.contains(".prp") || l.contains(".que");
    });
    return lines.join('\n');
}

struct Program : test::ProgramFixture {
    Program() { startOnSample(); }
    TfrmOpenPRP* browser() const { return windows->frmOpenPRP.get(); }

    // The open-copy command, with steps inside the browser once it is up.
    void openCopy(std::function<void(TfrmOpenPRP*)> steps)
    {
        test::whenModal(browser(), [this, steps] { steps(browser()); });
        main->findChild<QAction*>("mnuOpenCopy")->trigger(); // the file menu's entry, as a teacher finds it
    }
};

QStringList rows(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class tst_TfrmOpenPRP : public QObject {
    Q_OBJECT

private slots:
    void theFileMenuOfAWorksheetStillOpensCopies()
    {
        Program p;
        QVERIFY(p.main->openUnit({1, 1, 2, 0}, false) == OpenResult::Opened);
        // The ファイル menu the teacher sees is now the worksheet's; コピーファイルを開く is still in it.
        QMenu* file = nullptr;
        for (QAction* a : p.main->menuBar()->actions())
            if (a->isVisible() && a->menu() != nullptr && a->text() == u("ファイル(&F)")) file = a->menu();
        QVERIFY(file != nullptr && file == p.main->currentWorksheet()->mnuFile);
        QAction* openCopy = nullptr;
        for (QAction* a : file->actions())
            if (a->text() == u("コピーファイルを開く(&K)")) openCopy = a;
        QVERIFY(openCopy != nullptr);
        bool browsed = false;
        test::whenModal(p.browser(), [&p, &browsed] {
            browsed = true;
            QTest::mouseClick(p.browser()->btnCancel, Qt::LeftButton);
        });
        openCopy->trigger();
        QVERIFY(browsed);
    }

    void aSavedCopyIsListedOpenedAndPrintsTheSamePage()
    {
        Program p;
        p.main->openUnit({1, 1, 2, 0}, false);
        TfrmPrint* original = p.main->currentWorksheet();
        QVERIFY(original != nullptr);
        const QImage before = original->pagePicture();
        const QString beforeText = printedText(*original, QDir(p.dir()).filePath("before.pdf"));
        QVERIFY(beforeText.contains(u("次の計算をしましょう")));

        const std::string path = p.systemDir() + "tasu\\class.prp";
        p.prompts.queueFileName(path);
        QTest::mouseClick(p.button("btnSave"), Qt::LeftButton);
        QTest::mouseClick(p.button("btnSaveCopy"), Qt::LeftButton);
        QCOMPARE(original->windowTitle(), toQString(path));
        QTest::mouseClick(p.button("btnFpClose"), Qt::LeftButton);
        p.prompts.clear();
        QVERIFY(p.main->currentWorksheet() == nullptr);

        p.openCopy([](TfrmOpenPRP* b) {
            QCOMPARE(rows(b->lstLesson), (QStringList{u("分数のたし算とひき算"), u("分数のかけ算とわり算")}));
            QCOMPARE(b->lstLesson->currentRow(), 0);
            QVERIFY(rows(b->flbPRP).contains("class.prp"));
            test::clickRow(b->flbPRP, static_cast<int>(rows(b->flbPRP).indexOf("class.prp")));
            QCOMPARE(b->lstContents->item(0)->text(), QString("[[unitX"));
            QVERIFY(rows(b->lstContents).contains("<<ques"));
            QVERIFY(b->edtFileName->text().endsWith(u("/tasu\\class.prp")));
            QTest::mouseClick(b->btnOk, Qt::LeftButton);
        });
        QVERIFY2(p.prompts.shown.empty(), p.prompts.lastUtf8().c_str());
        TfrmPrint* copy = p.main->currentWorksheet();
        QVERIFY(copy != nullptr);
        QCOMPARE(copy->windowTitle(), toQString(path));
        QVERIFY(!copy->worksheet().master);
        // The same page below the number line, which names the copy file now.
        const QImage after = copy->pagePicture();
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.copy(0, 29, after.width(), after.height() - 29),
                 before.copy(0, 29, before.width(), before.height() - 29));
        QCOMPARE(printedText(*copy, QDir(p.dir()).filePath("after.pdf")), beforeText);

        // Opening it again brings the window forward.
        p.openCopy([](TfrmOpenPRP* b) { QTest::mouseClick(b->btnOk, Qt::LeftButton); });
        QCOMPARE(p.prompts.shownUtf8(), std::vector<std::string>{"すでに読み込まれています"});
        QCOMPARE(p.main->shellState().worksheetCount, 1);
    }

    void okWithoutAFileAsksForOne()
    {
        Program p;
        // No copy files anywhere: nothing is chosen, OK asks, ｷｬﾝｾﾙ opens nothing.
        p.openCopy([&p](TfrmOpenPRP* b) {
            QVERIFY(b->edtFileName->text().isEmpty());
            QTest::mouseClick(b->btnOk, Qt::LeftButton);
            QCOMPARE(p.prompts.shownUtf8(), std::vector<std::string>{"単元を選択してください"});
            QVERIFY(b->isVisible());
            QTest::mouseClick(b->btnCancel, Qt::LeftButton);
        });
        QCOMPARE(p.main->shellState().worksheetCount, 0);
    }
};

TAVOLA_GUI_TEST(tst_TfrmOpenPRP)
#include "tst_TfrmOpenPRP.moc"

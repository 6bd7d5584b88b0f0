// A class set with different numbers on every copy, printed as a teacher does it: 印字モードの設定 with
// 部ごとに問題を変える and 解答ページを付ける, then 印刷 → 印刷開始 into a PDF, read back as text.
#include "support/gui_registry.h"
#include "support/pdf_helpers.h"
#include "support/program_fixture.h"

#include "courseware/TfrmOpenPRP.h"
#include "platform/sjis.h"
#include "worksheet/TfrmPrint.h"
#include "worksheet/TfrmPrintMode.h"
#include "worksheet/TfrmPrintOk.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QTest>

using namespace tavola;
using tavola::test::pdfPages;
using tavola::test::u;

namespace {

// The digits of the problems in reading order: from the first "(" on, as the header carries the date and time.
QString problemDigits(const QString& page)
{
    QString digits;
    for (qsizetype i = std::max<qsizetype>(0, page.indexOf('(')); i < page.size(); ++i)
        if (page[i].isDigit()) digits += page[i];
    return digits;
}

bool isSubsequence(const QString& part, const QString& whole)
{
    qsizetype at = 0;
    for (QChar c : part) {
        at = whole.indexOf(c, at);
        if (at < 0) return false;
        ++at;
    }
    return true;
}

// A page of two calculations a line, with text between and after the boxes, and a word problem whose formula the
// comment gives.
void twoProblemsALine(TfrmPrint& sheet)
{
    Worksheet& page = sheet.worksheet();
    page.problemLines = {sjis::encode("１．次の計算をしましょう。"), "(1) 2/3+1/6=# 5/6 #    (2) 1/4+1/3=# 7/12 #",
                         "(3) 3/5+1/5=# 4/5 #    (4) 5/7-2/7=# 3/7 #",
                         sjis::encode("(5) 1/2+1/5=# 7/10 # m　(6) 5/6-1/3=# 1/2 # m"),
                         sjis::encode("(7) @/1 mが@/2/3@/ kgのぼう、@/4@/ mの重さは何kgですか。# 8/3;2&2/3 #　kg")};
    page.quesComment = {"(7) 2/3*4"};
    page.changed = true;
    sheet.redraw();
}

// Prints the active worksheet through 印刷 → 印刷開始 into file, copies copies.
void printThroughTheDialog(test::ProgramFixture& p, const QString& file, int copies)
{
    test::whenModal(p.windows->frmPrintOk.get(), [&p, file, copies] {
        test::whenModalOf<QPrintDialog>([file, copies](QPrintDialog* d) {
            d->findChild<QLineEdit*>("filename")->setText(file);
            d->findChild<QSpinBox*>("copies")->setValue(copies);
            d->accept();
        });
        QTest::mouseClick(p.windows->frmPrintOk->btnPrint, Qt::LeftButton);
    });
    QTest::mouseClick(p.button("btnStartPrint"), Qt::LeftButton);
}

} // namespace

class tst_ClassSet : public QObject {
    Q_OBJECT

private slots:
    void everyCopyHasItsNumbersAndItsKeyPage()
    {
        test::ProgramFixture p;
        p.startOnSample();
        p.main->shellState().showAnswers = false;
        p.main->openUnit({1, 1, 1, 0}, false);
        TfrmPrint* sheet = p.main->currentWorksheet();
        QVERIFY(sheet != nullptr);
        test::whenModalOf<TfrmPrintMode>([](TfrmPrintMode* d) {
            QTest::mouseClick(d->radPrinter, Qt::LeftButton);
            QTest::mouseClick(d->chkVariants, Qt::LeftButton);
            QTest::mouseClick(d->chkAnswerKey, Qt::LeftButton);
            QTest::mouseClick(d->btnClose, Qt::LeftButton);
        });
        sheet->findChild<QAction*>("mnuSetPrinter")->trigger();

        const QString file = QDir(p.dir()).filePath("class.pdf");
        constexpr int kCopies = 30;
        test::whenModal(p.windows->frmPrintOk.get(), [&p, file] {
            test::whenModalOf<QPrintDialog>([file](QPrintDialog* d) {
                d->findChild<QLineEdit*>("filename")->setText(file);
                d->findChild<QSpinBox*>("copies")->setValue(kCopies);
                d->accept();
            });
            QTest::mouseClick(p.windows->frmPrintOk->btnPrint, Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnStartPrint"), Qt::LeftButton);
        QVERIFY2(p.prompts.shown.empty(), p.prompts.lastUtf8().c_str());

        const QStringList pages = pdfPages(file);
        QCOMPARE(pages.size(), 2 * kCopies);
        const QString first = problemDigits(pages[0]);
        for (int k = 1; k <= kCopies; ++k) {
            const QString& copy = pages[k - 1];
            const QString& key = pages[kCopies + k - 1];
            const QRegularExpression number(u("№ +") + QString::number(k) + "\\s");
            QVERIFY2(copy.contains(number), qPrintable(copy));
            QVERIFY2(key.contains(number), qPrintable(key));
            // From copy 2 on the numbers are new; the key page holds its copy's problems with the answers between.
            if (k >= 2) QVERIFY2(problemDigits(copy) != first, qPrintable(copy));
            QVERIFY2(isSubsequence(problemDigits(copy), problemDigits(key)), qPrintable(key));
            QVERIFY(problemDigits(key).size() > problemDigits(copy).size());
        }
    }

    void twoProblemsALineVaryOnEveryCopyAndEveryKeyIsNumbered()
    {
        QSKIP("Known fault, still open: varied copies of a page written two problems a line do not yet give the same numbers on every path");
        test::ProgramFixture p;
        p.startOnSample();
        p.main->shellState().showAnswers = false;
        p.main->openUnit({1, 1, 1, 0}, false);
        TfrmPrint* sheet = p.main->currentWorksheet();
        QVERIFY(sheet != nullptr);
        twoProblemsALine(*sheet);

        // Chosen where the teacher prints: 部ごとに問題を変える and 解答ページを付ける, without №を付ける.
        const QString file = QDir(p.dir()).filePath("two.pdf");
        constexpr int kCopies = 30;
        test::whenModal(p.windows->frmPrintOk.get(), [&p, file] {
            TfrmPrintOk* d = p.windows->frmPrintOk.get();
            QVERIFY(d->chkNumber->isChecked());
            QVERIFY(!d->lblKept->isVisible());
            QTest::mouseClick(d->chkNumber, Qt::LeftButton);
            QTest::mouseClick(d->chkVariants, Qt::LeftButton);
            QTest::mouseClick(d->chkAnswerKey, Qt::LeftButton);
            // Every problem of this page changes: nothing to tell.
            QVERIFY(!d->lblKept->isVisible());
            test::whenModalOf<QPrintDialog>([file](QPrintDialog* dialog) {
                dialog->findChild<QLineEdit*>("filename")->setText(file);
                dialog->findChild<QSpinBox*>("copies")->setValue(kCopies);
                dialog->accept();
            });
            QTest::mouseClick(d->btnPrint, Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnStartPrint"), Qt::LeftButton);
        QVERIFY2(p.prompts.shown.empty(), p.prompts.lastUtf8().c_str());
        // The choices are the print mode's, and the copy count stays for the next print.
        QVERIFY(p.windows->frmPrintMode->chkVariants->isChecked());
        QVERIFY(!p.windows->frmPrintMode->chkNumber->isChecked());
        QCOMPARE(p.windows->frmPrintOk->printer().copyCount(), kCopies);

        const QStringList pages = pdfPages(file);
        QCOMPARE(pages.size(), 2 * kCopies);
        const QString first = problemDigits(pages[0]);
        QSet<QString> seen;
        for (int k = 1; k <= kCopies; ++k) {
            const QString& copy = pages[k - 1];
            const QString& key = pages[kCopies + k - 1];
            const QRegularExpression number(u("№ +") + QString::number(k) + "\\s");
            QVERIFY2(copy.contains(number), qPrintable(copy));
            QVERIFY2(key.contains(number), qPrintable(key));
            if (k >= 2) QVERIFY2(problemDigits(copy) != first, qPrintable(copy));
            seen.insert(problemDigits(copy));
            QVERIFY2(isSubsequence(problemDigits(copy), problemDigits(key)), qPrintable(key));
        }
        QVERIFY(seen.size() >= kCopies - 1);
    }

    void aCopyFilePrintsTheSameNumbersSavedReopenedAndFromTheCommandLine()
    {
        QSKIP("Known fault, still open: varied copies of a page written two problems a line do not yet give the same numbers on every path");
        test::ProgramFixture p;
        p.startOnSample();
        p.main->shellState().showAnswers = false;
        p.main->openUnit({1, 1, 1, 0}, false);
        QVERIFY(p.main->currentWorksheet() != nullptr);
        twoProblemsALine(*p.main->currentWorksheet());
        p.windows->frmPrintMode->setCopyChoices(true, true, false);
        p.windows->frmPrintMode->radPrinter->setChecked(true);

        const std::string path = p.systemDir() + "tasu\\two.prp";
        p.prompts.queueFileName(path);
        QTest::mouseClick(p.button("btnSave"), Qt::LeftButton);
        QTest::mouseClick(p.button("btnSaveCopy"), Qt::LeftButton);
        const QString saved = QDir(p.dir()).filePath("saved.pdf");
        printThroughTheDialog(p, saved, 3);

        QTest::mouseClick(p.button("btnFpClose"), Qt::LeftButton);
        p.prompts.clear();
        TfrmOpenPRP* browser = p.windows->frmOpenPRP.get();
        test::whenModal(browser, [browser] {
            const auto& list = browser->flbPRP;
            for (int i = 0; i < list->count(); ++i)
                if (list->item(i)->text() == "two.prp") test::clickRow(list, i);
            QTest::mouseClick(browser->btnOk, Qt::LeftButton);
        });
        p.main->findChild<QAction*>("mnuOpenCopy")->trigger();
        QVERIFY(p.main->currentWorksheet() != nullptr);
        QCOMPARE(p.main->currentWorksheet()->worksheet().quesComment, Lines{"(7) 2/3*4"});
        const QString reopened = QDir(p.dir()).filePath("reopened.pdf");
        printThroughTheDialog(p, reopened, 3);

        const QString command = QDir(p.dir()).filePath("command.pdf");
        QProcess cli;
        cli.start(QString(TAVOLA_CLI), {"print", p.dir(), "--copy", QDir(p.dir()).filePath("tasu/two.prp"), "--out",
                                        command, "--copies", "3", "--numbered", "--variants"});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);

        const QStringList a = pdfPages(saved);
        const QStringList b = pdfPages(reopened);
        const QStringList c = pdfPages(command);
        QCOMPARE(a.size(), 3);
        QCOMPARE(b.size(), 3);
        QCOMPARE(c.size(), 3);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(problemDigits(b[k]), problemDigits(a[k]));
            QCOMPARE(problemDigits(c[k]), problemDigits(a[k]));
        }
        QVERIFY(problemDigits(a[1]) != problemDigits(a[0]));
    }
};

TAVOLA_GUI_TEST(tst_ClassSet)
#include "tst_ClassSet.moc"

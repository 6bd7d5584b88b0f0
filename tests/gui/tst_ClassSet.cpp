// A class set with different numbers on every copy, printed as a teacher does it: 印字モードの設定 with
// 部ごとに問題を変える and 解答ページを付ける, then 印刷 → 印刷開始 into a PDF, read back as text.
#include "support/gui_registry.h"
#include "support/pdf_helpers.h"
#include "support/program_fixture.h"

#include "worksheet/TfrmPrint.h"
#include "worksheet/TfrmPrintMode.h"
#include "worksheet/TfrmPrintOk.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
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
};

TAVOLA_GUI_TEST(tst_ClassSet)
#include "tst_ClassSet.moc"

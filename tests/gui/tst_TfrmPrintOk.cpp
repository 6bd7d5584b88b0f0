// Printing as a teacher does it, in a copy of the sample courseware: 印刷 from the command panel, 印刷開始 with the
// system print dialog set to write a PDF, the print mode and paper dialogs from the worksheet's 設定 menu. The PDF
// written is read back as text (its number lines) and as a picture (the rules of the header).
#include "support/gui_registry.h"
#include "support/pdf_helpers.h"
#include "support/program_fixture.h"

#include "platform/line_file.h"
#include "platform/qt/qt_text.h"
#include "worksheet/TfrmPrint.h"
#include "worksheet/TfrmPrintMode.h"
#include "worksheet/TfrmPrintOk.h"
#include "worksheet/TfrmSetPaper.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPrintDialog>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace tavola;
using tavola::test::pdfPages;
using tavola::test::printToPdf;
using tavola::test::u;

namespace {

struct Program : test::ProgramFixture {
    Program()
    {
        startOnSample();
        main->shellState().showAnswers = false;
        main->openUnit({1, 1, 1, 0}, false);
    }
    TfrmPrint* sheet() const { return main->currentWorksheet(); }
    TfrmPrintOk* printOk() const { return windows->frmPrintOk.get(); }
    TfrmPrintMode* printMode() const { return windows->frmPrintMode.get(); }
    TfrmSetPaper* setPaper() const { return windows->frmSetPaper.get(); }
    QString pdf(const char* name) const { return QDir(dir()).filePath(name); }

    // 印刷 → 印刷開始 → the system print dialog writing file with copies.
    void print(const QString& file, int copies)
    {
        test::whenModal(printOk(), [this, file, copies] {
            TfrmPrintOk* dialog = printOk();
            test::whenModalOf<QPrintDialog>([file, copies](QPrintDialog* d) { printToPdf(d, file, copies); });
            QTest::mouseClick(dialog->btnPrint, Qt::LeftButton);
        });
        QTest::mouseClick(button("btnStartPrint"), Qt::LeftButton);
    }
    // The worksheet's 設定 menu item, then steps inside its dialog.
    template <class T> void setting(const char* item, std::function<void(T*)> steps)
    {
        test::whenModalOf<T>(steps);
        sheet()->findChild<QAction*>(item)->trigger();
    }
};

} // namespace

class tst_TfrmPrintOk : public QObject {
    Q_OBJECT

private slots:
    void numberedCopiesBecomePagesOfOneDocument()
    {
        Program p;
        QVERIFY(p.sheet() != nullptr);
        p.setting<TfrmPrintMode>("mnuSetPrinter", [](TfrmPrintMode* d) {
            QTest::mouseClick(d->radPrinter, Qt::LeftButton);
            QTest::mouseClick(d->btnClose, Qt::LeftButton);
        });
        QCOMPARE(p.settings->readFlag("PrintMode", false).value(), true);

        const QString file = p.pdf("class.pdf");
        p.print(file, 3);
        QVERIFY2(p.prompts.shown.empty(), p.prompts.lastUtf8().c_str());
        const QStringList pages = pdfPages(file, {"-layout"});
        QCOMPARE(pages.size(), 3);
        for (int k = 0; k < 3; ++k)
            QVERIFY2(
                pages[k].contains(QRegularExpression(u("№ +") + QString::number(k + 1) + " +2005\\.03\\.05-09:07")),
                qPrintable(pages[k]));
        QCOMPARE(p.printMode()->spnStart->value(), 1);
        QCOMPARE(p.printOk()->lblSize->text(), u("印刷完了"));
        QVERIFY(!p.printOk()->isVisible());
        QVERIFY(!p.sheet()->worksheet().changed);
    }

    void unnumberedCopiesAreOneJobWithTheCopyCount()
    {
        Program p;
        p.printMode()->chkNumber->setChecked(false);
        p.printMode()->radPrinter->setChecked(true);
        p.printMode()->setStart(4);
        const QString file = p.pdf("same.pdf");
        p.print(file, 3);
        QCOMPARE(p.printOk()->printer().copyCount(), 3);
        const QStringList pages = pdfPages(file, {"-layout"});
        QCOMPARE(pages.size(), 3);
        for (const QString& page : pages) {
            QVERIFY(!page.contains(u("№")));
            QVERIFY(page.contains("2005.03.05-09:07"));
        }
        QCOMPARE(p.printMode()->spnStart->value(), 1);
    }

    void optionBitsZeroPrintNoFlagNumberOrDate()
    {
        Program p;
        p.setting<TfrmSetPaper>("mnuSetPaper", [](TfrmSetPaper* d) {
            QVERIFY(d->chkClassFlag->isChecked() && d->chkJisshibi->isChecked() && d->chkPrinted->isChecked());
            // On the box itself: a check box takes clicks on its box and caption only.
            for (QCheckBox* c : {d->chkClassFlag, d->chkJisshibi, d->chkPrinted})
                QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2));
            QTest::mouseClick(d->btnOk, Qt::LeftButton);
        });
        QCOMPARE(p.sheet()->worksheet().settings.optionBits, 0);
        p.printMode()->radPrinter->setChecked(true);
        QVERIFY(p.sheet()->worksheet().changed);
        const QString file = p.pdf("bare.pdf");
        p.print(file, 1);
        const QStringList pages = pdfPages(file, {"-layout"});
        QCOMPARE(pages.size(), 1);
        QVERIFY(!pages[0].contains(u("№")));
        QVERIFY(!pages[0].contains(u("実施日")));
        QVERIFY(!pages[0].contains("2005.03.05"));
        QVERIFY(pages[0].contains(u("次の計算をしましょう")));
        // No picture in the document: the class flag is not there.
        QProcess images;
        images.start("pdfimages", {"-list", file});
        QVERIFY(images.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(images.readAllStandardOutput()).trimmed().split('\n').size(), 2);
    }

    void thePrinterPassScalesTheRulesByPageWidth()
    {
        Program p;
        p.printMode()->radPrinter->setChecked(true);
        const QString file = p.pdf("rules.pdf");
        p.print(file, 1);
        const int W = p.printOk()->printer().width();
        QVERIFY(W > 4000);
        // Rendered back at 150 dpi: a quarter of the pixels of the printer's 600 dpi.
        QProcess render;
        render.start("pdftoppm", {"-r", "150", "-gray", "-png", "-singlefile", file, p.pdf("rules")});
        QVERIFY(render.waitForFinished(60000));
        QImage page(p.pdf("rules.png"));
        QVERIFY(!page.isNull());
        // The two rules: the longest dark runs of the header's rows.
        std::vector<std::pair<int, int>> rows; // y, run length
        for (int y = 0; y < page.height() / 5; ++y) {
            int best = 0, run = 0;
            for (int x = 0; x < page.width(); ++x) {
                run = qGray(page.pixel(x, y)) < 128 ? run + 1 : 0;
                best = std::max(best, run);
            }
            if (best > page.width() / 2) rows.push_back({y, best});
        }
        QVERIFY(!rows.empty());
        const double s = W / 630.0;
        const double quarter = 150.0 / p.printOk()->printer().resolution();
        // From x = 10 × 5 × s to W − 10 × 5 × s, and 60 × s apart (A4: page width / paper width is s).
        const double length = (W - 2 * qRound(50 * s)) * quarter;
        QVERIFY2(std::abs(rows.front().second - length) <= 3, qPrintable(QString::number(rows.front().second)));
        const int second = rows.back().first;
        QVERIFY2(std::abs((second - rows.front().first) - 60 * s * quarter) <= 3,
                 qPrintable(QString::number(second - rows.front().first)));
    }

    void aB4ClassSetPrintsWholeOnJisB4InBothModes()
    {
        // A B4 page whose last problem stands below where an A4 page ends: every one of 30 copies holds it, on JIS B4.
        for (bool printerMode : {false, true}) {
            Program p;
            p.main->radPaper[2]->setChecked(true);
            p.sheet()->worksheet().settings.lineSpacing = 170;
            (void)p.sheet()->redraw();
            QVERIFY(!p.sheet()->layout().runsOffPage());
            QVERIFY2(p.sheet()->layout().contentBottom > 891,
                     qPrintable(QString::number(p.sheet()->layout().contentBottom)));
            p.printMode()->radPrinter->setChecked(printerMode);
            const QString file = p.pdf(printerMode ? "b4printer.pdf" : "b4screen.pdf");
            p.print(file, 30);
            QVERIFY2(p.prompts.shown.empty(), p.prompts.lastUtf8().c_str());
            QCOMPARE(p.printOk()->printer().pageLayout().pageSize().id(), QPageSize::JisB4);
            const QStringList pages = pdfPages(file, {"-layout"});
            QCOMPARE(pages.size(), 30);
            for (int k = 0; k < 30; ++k) {
                QVERIFY2(pages[k].contains(QRegularExpression(u("№ +") + QString::number(k + 1) + " ")),
                         qPrintable(pages[k]));
                QVERIFY2(pages[k].contains("(6)"), qPrintable(pages[k]));
                QVERIFY2(pages[k].contains(u("実施日")), qPrintable(pages[k]));
            }
            // The document's pages are JIS B4: 257 × 364 mm.
            QProcess info;
            info.start("pdfinfo", {file});
            QVERIFY(info.waitForFinished(30000));
            QVERIFY2(QString::fromUtf8(info.readAllStandardOutput())
                         .contains(QRegularExpression("72[89](\\.\\d+)? x 103[12](\\.\\d+)? pts")),
                     "not JIS B4");
        }
    }

    void theStartNumberOfThePrintDialogNumbersTheCopies()
    {
        Program p;
        const QString file = p.pdf("eleven.pdf");
        test::whenModal(p.printOk(), [&p, file] {
            TfrmPrintOk* dialog = p.printOk();
            QCOMPARE(dialog->spnStartNum->value(), 1);
            dialog->spnStartNum->setValue(11);
            test::whenModalOf<QPrintDialog>([file](QPrintDialog* d) { printToPdf(d, file, 3); });
            QTest::mouseClick(dialog->btnPrint, Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnStartPrint"), Qt::LeftButton);
        const QStringList pages = pdfPages(file, {"-layout"});
        QCOMPARE(pages.size(), 3);
        for (int k = 0; k < 3; ++k)
            QVERIFY2(pages[k].contains(QRegularExpression(u("№ +") + QString::number(11 + k) + " ")),
                     qPrintable(pages[k]));
        // The worksheet keeps its start number; the next print starts at 1 again in the print mode dialog.
        QCOMPARE(p.sheet()->worksheet().settings.startNumber, 11);
        QCOMPARE(p.printMode()->spnStart->value(), 1);
    }

    void thePrintModeSurvivesARestart()
    {
        Program p;
        QVERIFY(p.printMode()->radDisplay->isChecked());
        p.setting<TfrmPrintMode>("mnuSetPrinter", [](TfrmPrintMode* d) {
            QTest::mouseClick(d->radPrinter, Qt::LeftButton);
            QTest::mouseClick(d->btnClose, Qt::LeftButton);
        });
        p.windows.reset();
        QVERIFY(p.showWindows());
        QVERIFY(p.printMode()->radPrinter->isChecked());
        QCOMPARE(p.printMode()->request().mode, PrintMode::Printer);
    }

    void cancellingAClassSetStopsBetweenCopies()
    {
        Program p;
        auto* cancel = new QTimer(p.main);
        cancel->setInterval(0);
        QObject::connect(cancel, &QTimer::timeout, p.main, [&p, cancel] {
            auto* progress = p.printOk()->findChild<QProgressDialog*>("prgPrint");
            if (progress == nullptr || progress->value() < 1) return;
            cancel->stop();
            progress->cancel();
        });
        cancel->start();
        const QString file = p.pdf("part.pdf");
        p.print(file, 5);
        QCOMPARE(p.prompts.lastUtf8(), std::string("1 部を印刷したところで中止しました"));
        QCOMPARE(pdfPages(file, {"-layout"}).size(), 1);
        QCOMPARE(p.printMode()->spnStart->value(), 1);
    }

    void aFileThatCannotBeWrittenIsNamed()
    {
        Program p;
        const QString file = p.pdf("no/such/folder/x.pdf");
        test::whenModal(p.printOk(), [&p, file] {
            TfrmPrintOk* dialog = p.printOk();
            dialog->printer().setOutputFileName(file);
            dialog->printer().setOutputFormat(QPrinter::PdfFormat);
            // The printer counts as set up once the system dialog was accepted; here 印刷開始 asks for it.
            test::whenModalOf<QPrintDialog>([file](QPrintDialog* d) { printToPdf(d, file, 1); });
            QTest::mouseClick(dialog->btnPrint, Qt::LeftButton);
            QVERIFY(dialog->isVisible());
            QVERIFY(dialog->btnPrint->isEnabled());
            dialog->reject();
        });
        QTest::mouseClick(p.button("btnStartPrint"), Qt::LeftButton);
        QCOMPARE(p.prompts.shownUtf8(),
                 std::vector<std::string>{"ファイル " + file.toStdString() +
                                          " に書き込めませんでした (No such file or directory)"});
        QVERIFY(!p.sheet()->worksheet().changed);
    }

    void theAnswersPrintAsTheBoxSays()
    {
        // The box shows what 解答表示 draws on the screen and may be changed for this print only; in student mode
        // the answers stay off the paper whatever the teacher chose.
        struct Case {
            bool shown, toggle, studentMode, printed;
        };
        const Case cases[] = {
            {false, false, false, false}, {true, false, false, true}, {true, true, false, false},
            {false, true, false, true},   {true, false, true, false},
        };
        int k = 0;
        for (const Case c : cases) {
            Program p;
            p.printMode()->radPrinter->setChecked(true);
            if (c.shown) QTest::mouseClick(p.button("btnKaitou"), Qt::LeftButton);
            QCOMPARE(p.main->shellState().showAnswers, c.shown);
            p.main->shellState().keyLock = c.studentMode;
            // A key page left chosen adds nothing where the answers stay off the paper.
            p.printMode()->chkAnswerKey->setChecked(c.studentMode);
            const QString file = p.pdf(qPrintable(QString("answers%1.pdf").arg(++k)));
            test::whenModal(p.printOk(), [&p, c, file] {
                TfrmPrintOk* dialog = p.printOk();
                QCOMPARE(dialog->chkAnswers->text(), u("解答を印刷する"));
                QCOMPARE(dialog->chkAnswers->isChecked(), c.shown && !c.studentMode);
                QCOMPARE(dialog->chkAnswers->isEnabled(), !c.studentMode);
                if (c.toggle) dialog->chkAnswers->click();
                test::whenModalOf<QPrintDialog>([file](QPrintDialog* d) { printToPdf(d, file, 1); });
                QTest::mouseClick(dialog->btnPrint, Qt::LeftButton);
            });
            QTest::mouseClick(p.button("btnStartPrint"), Qt::LeftButton);
            const QStringList pages = pdfPages(file, {"-layout"});
            QCOMPARE(pages.size(), 1);
            // The first problem's answer 3/5 stands after its "1+2=".
            QVERIFY2(pages[0].contains(QRegularExpression("1\\+2= +3")) == c.printed, qPrintable(pages[0]));
            // The screen keeps the teacher's choice.
            QCOMPARE(p.main->shellState().showAnswers, c.shown);
        }
    }

    void thePaperDialogAndButtonsChangeThePage()
    {
        Program p;
        // The paper buttons: B5 makes the page 546 wide.
        p.main->radPaper[0]->setChecked(true);
        QCOMPARE(p.sheet()->pagePicture().width(), 546);
        QCOMPARE(p.sheet()->worksheet().settings.paper.width, 546);
        // The dialog shows the worksheet's paper and offers all four; each choice gives the page its size, checks
        // its paper button, is stored, and the copy file saved afterwards holds it on value line 1.
        struct Case {
            std::size_t button;
            int width, height;
        };
        int saved = 0;
        for (const Case c : {Case{2, 771, 1092}, Case{3, 891, 1260}, Case{1, 630, 891}}) {
            p.setting<TfrmSetPaper>("mnuSetPaper", [c](TfrmSetPaper* d) {
                for (QRadioButton* r : d->rdbPaper)
                    QVERIFY(r->isEnabled());
                QTest::mouseClick(d->rdbPaper[c.button], Qt::LeftButton);
                QTest::mouseClick(d->btnOk, Qt::LeftButton);
            });
            QCOMPARE(p.sheet()->pagePicture().size(), QSize(c.width, c.height));
            QCOMPARE(p.sheet()->worksheet().settings.paper.width, c.width);
            QVERIFY(p.main->radPaper[c.button]->isChecked());
            QCOMPARE(p.settings->readInteger("PaperSize", 0).value(), c.width);
            const std::string copy = p.systemDir() + "tasu\\paper" + std::to_string(++saved) + ".prp";
            p.prompts.queueFileName(copy);
            QTest::mouseClick(p.button("btnSave"), Qt::LeftButton);
            QTest::mouseClick(p.button("btnSaveCopy"), Qt::LeftButton);
            const auto lines = readLineFile(copy);
            QVERIFY(lines.has_value());
            const auto value = std::find(lines->begin(), lines->end(), "<<value");
            QVERIFY(value != lines->end() && value + 1 != lines->end());
            QCOMPARE(*(value + 1), std::to_string(c.width));
        }
    }
};

TAVOLA_GUI_TEST(tst_TfrmPrintOk)
#include "tst_TfrmPrintOk.moc"

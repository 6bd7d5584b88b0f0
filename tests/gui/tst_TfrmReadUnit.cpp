// One worksheet from several units and a teacher's own text: 単元の追加(&A) with the unit selection window in its
// add mode, the 60-line limit over all units, and コピーファイルの編集(&T) with its OK and ｷｬﾝｾﾙ.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "courseware/TfrmMenu.h"
#include "platform/qt/qt_text.h"
#include "authoring/TfrmReadUnit.h"
#include "worksheet/TfrmPrint.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace tavola;
using tavola::test::u;

namespace {

struct Program : test::ProgramFixture {
    Program()
    {
        startOnSample();
        main->openUnit({1, 1, 1, 0}, false);
    }
    TfrmPrint* sheet() const { return main->currentWorksheet(); }
    Worksheet& worksheet() const { return sheet()->worksheet(); }

    // Steps inside the modal window w once it is up, then the menu item of the worksheet window.
    void inModal(QWidget* w, const char* item, std::function<void()> steps)
    {
        test::whenModal(w, std::move(steps));
        sheet()->findChild<QAction*>(item)->trigger();
    }
    // 単元の追加 of lesson 1, section 1, unit (row, from 0).
    void addUnit(int unitRow)
    {
        TfrmMenu* menu = main->menuWindow();
        inModal(menu, "mnuAddUnit", [menu, unitRow] {
            QCOMPARE(menu->windowTitle(), u("追加ファイルを開く"));
            test::clickRow(menu->findChild<QListWidget*>("lstLesson"), 0);
            test::clickRow(menu->findChild<QListWidget*>("lstSection"), 0);
            test::clickRow(menu->findChild<QListWidget*>("lstUnit"), unitRow);
            QTest::mouseClick(menu->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        });
    }
    TfrmReadUnit* editor() const { return windows->frmReadUnit.get(); }
};

// Typing text the keyboard helpers cannot spell (Japanese): one key event carrying the text, as an input method
// delivers it.
void typeText(QWidget* w, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

} // namespace

class tst_TfrmReadUnit : public QObject {
    Q_OBJECT

private slots:
    void aUnitIsAddedBelowTheOpenOne()
    {
        Program p;
        QVERIFY(p.sheet() != nullptr);
        const Lines first = p.worksheet().problemLines;
        const QString caption = p.sheet()->windowTitle();
        p.addUnit(1);
        // Two units do not fit on the paper: the teacher is told before printing cuts problems off.
        QCOMPARE(p.prompts.shownUtf8(),
                 std::vector<std::string>{"問題が用紙の下からはみ出しています。はみ出した部分は印刷されません。"});
        QVERIFY(p.sheet()->layout().runsOffPage());
        const Worksheet& sheet = p.worksheet();
        QVERIFY(sheet.problemLines.size() > first.size());
        QVERIFY(std::equal(first.begin(), first.end(), sheet.problemLines.begin()));
        // Unit 2 of the same section joins the title with a comma.
        QVERIFY2(toQString(sheet.title).endsWith(u("§1-1,2")), qPrintable(toQString(sheet.title)));
        QVERIFY(sheet.changed);
        QVERIFY(!sheet.master);
        QCOMPARE(p.sheet()->windowTitle(), caption);
        QCOMPARE(p.main->menuWindow()->windowTitle(), u("追加ファイルを開く"));
    }

    void moreThanSixtyLinesAreRefusedAndChangeNothing()
    {
        Program p;
        Worksheet& sheet = p.worksheet();
        sheet.problemLines.resize(58, "(x)  1/2+1/2=# 1 #");
        const Worksheet before = sheet;
        p.addUnit(1);
        QCOMPARE(p.prompts.shownUtf8(), std::vector<std::string>{"問題の行は６０行以下です"});
        QCOMPARE(sheet.problemLines, before.problemLines);
        QCOMPARE(sheet.title, before.title);
        QCOMPARE(sheet.graph, before.graph);
        QVERIFY(!sheet.changed);
        QVERIFY(sheet.master);
    }

    void theCopyEditDialogGivesTheWorksheetItsOwnText()
    {
        Program p;
        TfrmReadUnit* d = p.editor();
        // ｷｬﾝｾﾙ changes nothing.
        const Worksheet before = p.worksheet();
        p.inModal(d, "mnuEditCopy", [d] {
            QCOMPARE(d->windowTitle(), u("Tavola - コピーファイルの編集"));
            d->edtTangen->setText(u("ちがう"));
            QTest::mouseClick(d->btnCancel, Qt::LeftButton);
        });
        QCOMPARE(p.worksheet().title, before.title);
        QVERIFY(!p.worksheet().changed);

        p.inModal(d, "mnuEditCopy", [d] {
            QCOMPARE(d->edtSchool->text(), u("小学校"));
            QCOMPARE(d->edtNQues->text(), QString::number(6));
            d->edtTangen->selectAll();
            typeText(d->edtTangen, u("わたしのプリント"));
            d->redQues->moveCursor(QTextCursor::End);
            QTest::keyClick(d->redQues, Qt::Key_Return);
            QTest::keyClicks(d->redQues, "(7)  1/3+1/3=# 2/3 #");
            QTest::mouseClick(d->btnOk, Qt::LeftButton);
        });
        const Worksheet& sheet = p.worksheet();
        QCOMPARE(toQString(sheet.title), u("わたしのプリント"));
        QCOMPARE(sheet.problemLines.size(), before.problemLines.size() + 1);
        QCOMPARE(toQString(sheet.problemLines.back()), u("(7)  1/3+1/3=# 2/3 #"));
        QVERIFY(sheet.changed);
        QVERIFY(!sheet.master);
        // The page was drawn anew: the added line's answer has its box.
        QCOMPARE(p.sheet()->layout().answerBoxes.size(), std::size_t{7});

        // Past 60 lines the dialog says so and stays open.
        p.inModal(d, "mnuEditCopy", [d, &p] {
            d->redQues->setPlainText(QString("(1)  1/2\n").repeated(61));
            QTest::mouseClick(d->btnOk, Qt::LeftButton);
            QCOMPARE(p.prompts.lastUtf8(), std::string("問題の行は６０行以下です"));
            QVERIFY(d->isVisible());
            QTest::mouseClick(d->btnCancel, Qt::LeftButton);
        });
        QCOMPARE(sheet.problemLines.size(), before.problemLines.size() + 1);
    }
};

TAVOLA_GUI_TEST(tst_TfrmReadUnit)
#include "tst_TfrmReadUnit.moc"

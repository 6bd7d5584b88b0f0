// The index editor as a teacher works it, in a copy of the sample courseware: 目次作成 opens it on the first lesson,
// a main item is added through the line-input window, a sub item renamed, OK writes the sub-index, and the unit
// selection window shows the change the next time it comes up; Cancel and a lesson without a sub-index write
// nothing; the tree collapses and expands; the hint panel follows the mouse.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "authoring/TfrmEditIndex.h"
#include "authoring/TfrmInputText.h"
#include "courseware/TfrmMenu.h"
#include "platform/line_file.h"
#include "platform/qt/qt_text.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

using namespace tavola;
using tavola::test::u;
using tavola::test::whenModal;

namespace {

struct Program : test::ProgramFixture {
    TfrmInputText* input = nullptr;

    Program() { copySample(); }

    void start()
    {
        QVERIFY(showWindows());
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<TfrmInputText*>(w)) input = found;
        QVERIFY(input != nullptr);
    }
    TfrmEditIndex* editor() const { return main->editIndexWindow(); }
    void press(QPushButton* b) const { QTest::mouseClick(b, Qt::LeftButton); }
    std::string subIndex() const { return systemDir() + "tasu/tasu.ind"; }
    Lines subIndexLines() const { return readLineFile(subIndex()).value_or(Lines{}); }
    void openEditor() const { main->findChild<QAction*>("mnuEditIndex")->trigger(); }
    // Types a line into the line-input window once it comes up, and presses Enter.
    void typeLine(const char* text) const
    {
        whenModal(input, [this, text] {
            QTest::keyClicks(input->memInput, text);
            QTest::keyClick(input->memInput, Qt::Key_Return);
        });
    }
};

QStringList items(QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class tst_TfrmEditIndex : public QObject {
    Q_OBJECT

private slots:
    void addingAMainItemShowsInTheUnitSelection()
    {
        Program p;
        p.start();
        const Lines before = p.subIndexLines();
        whenModal(p.editor(), [&p] {
            TfrmEditIndex* e = p.editor();
            QCOMPARE(e->windowTitle(), u("Tavola Editor 教材の作成"));
            QCOMPARE(e->lstELesson->currentRow(), 0);
            QVERIFY(e->edtIndex->text().endsWith(u("tasu\\tasu.ind")));
            QCOMPARE(e->edtMainTitle->text(), u("分数のたし算とひき算"));
            const int mains = e->lstESection->count();
            QCOMPARE(mains, 3);
            QCOMPARE(e->lstEUnit->currentRow(), 0);
            QCOMPARE(e->btnExpand->text(), u("表示を圧縮する"));
            QTreeWidgetItem* root = e->trvSect->topLevelItem(0);
            QCOMPARE(root->childCount(), 3);
            QVERIFY(root->child(0)->isExpanded());
            QVERIFY(root->child(0)->child(0)->text(0).endsWith(u("分母が同じ分数のたし算")));

            // A new main item, typed in the line-input window and confirmed with Enter.
            p.typeLine("Kakezan");
            p.press(e->btnAdd);
            QCOMPARE(p.input->windowTitle(), u("テキストの入力"));
            QCOMPARE(items(e->lstESection).last(), QString("Kakezan"));
            QCOMPARE(e->lstESection->currentRow(), 3);
            QCOMPARE(items(e->lstEUnit), QStringList{"SubMenu New4"});
            QCOMPARE(e->edtDataFile->text(), u("未作成"));

            // Its sub item renamed: the line-input window opens with the item's text.
            whenModal(p.input, [&p] {
                QCOMPARE(p.input->memInput->toPlainText(), QString("SubMenu New4"));
                QCOMPARE(p.input->mode(), std::string("subCHANGE"));
                QTest::keyClicks(p.input->memInput, "Kuku");
                QTest::mouseClick(p.input->btnOk, Qt::LeftButton);
            });
            p.press(e->btnChange2);
            QCOMPARE(items(e->lstEUnit), QStringList{"Kuku"});

            // The tree collapses and expands.
            p.press(e->btnExpand);
            QVERIFY(!e->trvSect->topLevelItem(0)->child(0)->isExpanded());
            QCOMPARE(e->btnExpand->text(), u("表示を展開する"));
            p.press(e->btnExpand);
            QVERIFY(e->trvSect->topLevelItem(0)->child(3)->isExpanded());
            p.press(e->btnOk);
        });
        p.openEditor();
        QVERIFY(!p.editor()->isVisible());
        QVERIFY(p.main->shellState().indexChanged);

        Lines expected = before;
        expected.insert(expected.end(), {"[[sect4", "Kakezan", "<<", "Kuku", ">>", "]]"});
        QCOMPARE(p.subIndexLines(), expected);

        // The unit selection window reads the index again when it next comes up.
        TfrmMenu* menu = p.main->menuWindow();
        QStringList sections;
        whenModal(menu, [menu, &sections] {
            test::clickRow(menu->findChild<QListWidget*>("lstLesson"), 0);
            sections = items(menu->findChild<QListWidget*>("lstSection"));
            QTest::mouseClick(menu->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
        });
        QTest::mouseClick(p.main->btnOpenMaster, Qt::LeftButton);
        QVERIFY(sections.contains("Kakezan"));
    }

    void theTreeMarksTheUnitsOfTheLessonShown()
    {
        Program p;
        p.start();
        // Three records of the first unit of the second lesson; the unit selection window has shown no lesson.
        writeLineFile(p.main->recordFileOf(2), {"[S11" + "分数×整数"_sj + "]", "1=a", "2=b", "3=c"});
        whenModal(p.editor(), [&p] {
            TfrmEditIndex* e = p.editor();
            test::clickRow(e->lstELesson, 1);
            QTreeWidgetItem* first = e->trvSect->topLevelItem(0)->child(0);
            // kake1.que holds similar problems of units 1 and 2, not of 3.
            QCOMPARE(first->child(0)->text(0), u("◎[3]分数×整数"));
            QCOMPARE(first->child(1)->text(0), u("◎[ ]分数×分数"));
            QCOMPARE(first->child(2)->text(0), u("　[ ]帯分数のかけ算"));
            p.press(e->btnClose);
        });
        p.openEditor();
    }

    void cancelAndAnUntouchedTemplateWriteNothing()
    {
        Program p;
        // The second lesson loses its sub-index.
        QVERIFY(QFile::remove(p.dir() + "/kake/kake.ind"));
        p.start();
        const Lines before = p.subIndexLines();
        whenModal(p.editor(), [&p] {
            TfrmEditIndex* e = p.editor();
            p.typeLine("Hikizan");
            p.press(e->btnAdd);
            QCOMPARE(e->lstESection->count(), 4);
            // Choosing another lesson drops the change; the one without a sub-index shows the template.
            test::clickRow(e->lstELesson, 1);
            QCOMPARE(e->edtMainTitle->text(), u("ここにタイトルをかいてください"));
            QCOMPARE(items(e->lstESection), QStringList{u("ここは主メニュー")});
            QCOMPARE(items(e->lstEUnit), QStringList{u("ここは副メニュー")});
            QCOMPARE(e->pnlHint->text(), u("インデックスを変更した後、[OK]ボタンをクリックします。"));
            p.press(e->btnOk);
        });
        p.openEditor();
        QVERIFY(!QFile::exists(p.dir() + "/kake/kake.ind"));
        QCOMPARE(p.subIndexLines(), before);
        QVERIFY(!p.main->shellState().indexChanged);

        whenModal(p.editor(), [&p] {
            TfrmEditIndex* e = p.editor();
            e->edtMainTitle->setText("changed");
            QTest::keyClicks(e->edtMainTitle, "!");
            p.press(e->btnClose);
        });
        p.openEditor();
        QCOMPARE(p.subIndexLines(), before);
    }
};

TAVOLA_GUI_TEST(tst_TfrmEditIndex)
#include "tst_TfrmEditIndex.moc"

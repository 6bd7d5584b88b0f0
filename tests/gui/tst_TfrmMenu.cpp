// The unit selection window worked as a person works it: clicks in the lists, the keys, the similar problems,
// OK, Enter, Esc, and the messages it shows.
#include "support/gui_helpers.h"
#include "support/gui_registry.h"

#include "courseware/TfrmMenu.h"
#include "courseware/TfrmZenTangen.h"
#include "courseware/menu_courseware.h"
#include "platform/qt/qt_text.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

using namespace tavola;
using tavola::test::u;

namespace {

struct Fixture : test::MenuState {
    std::unique_ptr<TfrmMenu> form;

    Fixture()
    {
        form =
            std::make_unique<TfrmMenu>(context([this](int n) { return c.dir() + index.lessonFolder(n) + "taro.ini"; }));
    }

    template <class T> T* child(const char* name) const { return form->findChild<T*>(name); }
    QListWidget* list(const char* name) const { return child<QListWidget>(name); }
    QLabel* label(const char* name) const { return child<QLabel>(name); }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }

    void show()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void click(const char* listName, int row) const { test::clickRow(list(listName), row); }
};

QStringList texts(QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class tst_TfrmMenu : public QObject {
    Q_OBJECT

private slots:
    void controlsAndCaptionsAtTheFirstShow()
    {
        Fixture f;
        f.form->setFormSize(QSize(900, 640));
        f.show();
        QCOMPARE(f.form->windowTitle(), u("マスターファイルを開く"));
        QCOMPARE(f.form->size(), QSize(900, 640));
        QCOMPARE(f.form->pos(), QPoint(0, 0));
        QCOMPARE(f.label("pnlTitle")->text(), u("分数の計算"));
        QCOMPARE(texts(f.list("lstLesson")), (QStringList{u("たし算"), u("ひき算")}));
        QCOMPARE(texts(f.list("lstSection")), (QStringList{u("同じ分母"), u("ちがう分母"), u("まとめ")}));
        QCOMPARE(f.list("lstLesson")->currentRow(), 0);
        QCOMPARE(f.list("lstSection")->currentRow(), 0);
        QCOMPARE(f.list("lstUnit")->currentRow(), 0);
        QCOMPARE(f.list("lstUnit")->count(), 3);
        QCOMPARE(QApplication::focusWidget(), f.list("lstUnit"));
        QCOMPARE(f.label("pnlLesson")->text(), u("項目を選んでください"));
        QCOMPARE(f.label("pnlLesson")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        QCOMPARE(f.label("pnlSection")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(f.label("pnlTitle")->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QCOMPARE(f.label("pnlUnit")->palette().color(QPalette::Window), QColor(0, 255, 255));
        QCOMPARE(f.label("lblRuidai")->palette().color(QPalette::WindowText), QColor(255, 0, 255));
        QCOMPARE(f.label("Label2")->text(), u("［　］の中の数字は練習回数です"));
        QCOMPARE(f.button("btnOk")->text(), u("　Ｏ　Ｋ　"));
        QVERIFY(f.button("btnOk")->isDefault());
        QCOMPARE(f.button("btnCancel")->text(), u("ｷｬﾝｾﾙ"));
        QCOMPARE(f.button("btnZenTangen")->text(), u("全単元表示"));
        QCOMPARE(f.button("btnShowRecord")->text(), u("記録表示"));
        QVERIFY(!f.list("lstTempBuffer")->isVisible());
        // Unit 1 has two similar problems: the list shows.
        QVERIFY(f.list("lstRuidai")->isVisible());
        QVERIFY(f.button("btnRuidaiClear")->isVisible());
        QCOMPARE(texts(f.list("lstRuidai")), (QStringList{u("類題　1R1"), u("類題　1R2")}));
        QCOMPARE(f.list("lstRuidai")->selectionMode(), QAbstractItemView::MultiSelection);
        // The unit lines: fixed height 16 in the 16-pixel Gothic font.
        QListWidget* units = f.list("lstUnit");
        QCOMPARE(units->visualItemRect(units->item(1)).height(), 16);
        QCOMPARE(units->font().pixelSize(), 16);
        QCOMPARE(units->font().family(), u("ＭＳ ゴシック"));
        QVERIFY(f.prompts.shown.empty());
    }

    void captionFollowsTheMode()
    {
        Fixture f;
        f.form->setSelectMode(MenuMode::Add);
        f.show();
        QCOMPARE(f.form->windowTitle(), u("追加ファイルを開く"));
        f.form->hide();
        f.form->setSelectMode(MenuMode::Open);
        f.show();
        QCOMPARE(f.form->windowTitle(), u("マスターファイルを開く"));
    }

    void walkingToLessonOneSectionTwoUnitThreeAndOk()
    {
        Fixture f;
        f.c.addRecords("L1\\taro.ini", "S23通分３", 3);
        f.show();
        f.click("lstLesson", 0);
        f.click("lstSection", 1);
        QCOMPARE(f.list("lstUnit")->count(), 4);
        f.click("lstUnit", 2);
        QCOMPARE(texts(f.list("lstRuidai")), (QStringList{u("類題　3R1"), u("類題　3R2"), u("類題　3R3")}));
        // Mark, unit line and blanks up to 38 bytes: "通分３" is 6 bytes.
        QCOMPARE(f.form->unitLineDisplay(2), u("◎[3]通分３") + QString(32, ' '));
        QCOMPARE(f.form->unitLineDisplay(0), u("　[ ]通分１") + QString(32, ' '));
        QTest::mouseClick(f.button("btnOk"), Qt::LeftButton);
        QCOMPARE(f.form->result(), int(QDialog::Accepted));
        QVERIFY(!f.form->isVisible());
        QCOMPARE(f.form->lastPosition(), (UnitPosition{1, 2, 3, 0}));
        QCOMPARE(toQString(f.form->choice().lessonText), u("たし算"));
        QCOMPARE(toQString(f.form->choice().sectionText), u("ちがう分母"));
        QCOMPARE(toQString(f.form->choice().unitText), u("通分３"));
        QVERIFY(!f.form->similarSelected());
    }

    void enterAndDoubleClickConfirm()
    {
        Fixture f;
        f.show();
        f.click("lstUnit", 1);
        QTest::keyClick(f.list("lstUnit"), Qt::Key_Return);
        QCOMPARE(f.form->result(), int(QDialog::Accepted));
        QCOMPARE(f.form->lastPosition(), (UnitPosition{1, 1, 2, 0}));

        f.show();
        QListWidget* units = f.list("lstUnit");
        // A double click as the platform delivers it: a click, then the second press as a double click.
        QPoint at = units->visualItemRect(units->item(2)).center();
        QTest::mouseClick(units->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(f.form->isVisible());
        QTest::mouseDClick(units->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(f.form->result(), int(QDialog::Accepted));
        QCOMPARE(f.form->lastPosition(), (UnitPosition{1, 1, 3, 0}));
    }

    void arrowKeysMoveBetweenTheLists()
    {
        Fixture f;
        f.show();
        f.list("lstLesson")->setFocus();
        QTest::keyClick(f.list("lstLesson"), Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), f.list("lstUnit"));
        QTest::keyClick(f.list("lstUnit"), Qt::Key_Left);
        QCOMPARE(QApplication::focusWidget(), f.list("lstSection"));
        QTest::keyClick(f.list("lstSection"), Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), f.list("lstUnit"));
        QTest::keyClick(f.list("lstUnit"), Qt::Key_Left);
        QTest::keyClick(f.list("lstSection"), Qt::Key_Left);
        QCOMPARE(QApplication::focusWidget(), f.list("lstLesson"));
        // The keys are consumed: nothing was chosen on the way.
        QCOMPARE(f.list("lstLesson")->currentRow(), 0);
        QCOMPARE(f.list("lstSection")->currentRow(), 0);
        QCOMPARE(f.list("lstUnit")->currentRow(), 0);
        // Down in the lesson list chooses the next lesson.
        QTest::keyClick(f.list("lstLesson"), Qt::Key_Down);
        QCOMPARE(texts(f.list("lstSection")), (QStringList{u("ひき算")}));
    }

    void twoSimilarProblemsSelectedGiveTheFocusedOne()
    {
        Fixture f;
        f.show();
        f.click("lstSection", 1);
        f.click("lstUnit", 2);
        QLabel* panel = f.label("pnlUnit");
        f.click("lstRuidai", 2);
        QCOMPARE(panel->text(), u("類題が選択されています"));
        QCOMPARE(panel->palette().color(QPalette::Window), QColor(255, 0, 0));
        f.click("lstRuidai", 1);
        QCOMPARE(f.list("lstRuidai")->selectedItems().size(), 2);
        QTest::mouseClick(f.button("btnOk"), Qt::LeftButton);
        QCOMPARE(f.form->result(), int(QDialog::Accepted));
        QCOMPARE(f.form->lastPosition(), (UnitPosition{1, 2, 3, 2}));
        QVERIFY(f.form->similarSelected());

        // The next show clears the selection.
        f.show();
        QVERIFY(f.list("lstRuidai")->selectedItems().isEmpty());
        QCOMPARE(panel->text(), u("項目を選んでください"));
        // And so does the clear button.
        f.click("lstRuidai", 0);
        QCOMPARE(panel->palette().color(QPalette::Window), QColor(255, 0, 0));
        QTest::mouseClick(f.button("btnRuidaiClear"), Qt::LeftButton);
        QVERIFY(f.list("lstRuidai")->selectedItems().isEmpty());
        QCOMPARE(f.list("lstRuidai")->currentRow(), -1);
        QCOMPARE(panel->palette().color(QPalette::Window), QColor(0, 255, 255));
        QCOMPARE(panel->text(), u("項目を選んでください"));
        QTest::keyClick(f.list("lstUnit"), Qt::Key_Return);
        QCOMPARE(f.form->lastPosition(), (UnitPosition{1, 2, 3, 0}));
    }

    void clickingTheCurrentLineChoosesItAgain()
    {
        Fixture f;
        f.show();
        // The current section clicked again starts its unit list from the first unit.
        f.click("lstSection", 1);
        f.click("lstUnit", 3);
        f.click("lstSection", 1);
        QCOMPARE(f.list("lstUnit")->currentRow(), 0);
        // The current unit clicked again refreshes its similar problems and drops their selection.
        f.click("lstUnit", 2);
        f.click("lstRuidai", 1);
        QCOMPARE(f.label("pnlUnit")->text(), u("類題が選択されています"));
        f.click("lstUnit", 2);
        QVERIFY(f.list("lstRuidai")->selectedItems().isEmpty());
        QCOMPARE(f.label("pnlUnit")->text(), u("項目を選んでください"));
        QCOMPARE(f.list("lstUnit")->currentRow(), 2);
        // A lesson that could not be read is read again when clicked again.
        f.c.remove("L2");
        f.click("lstLesson", 1);
        QCOMPARE(f.list("lstSection")->count(), 0);
        test::writeStandardCourseware(f.c);
        f.click("lstLesson", 1);
        QCOMPARE(f.prompts.shown.size(), std::size_t(1));
        QCOMPARE(texts(f.list("lstSection")), QStringList{u("ひき算")});
        QCOMPARE(f.form->lastPosition().lesson, 2);
    }

    void aUnitWithoutSimilarProblemsHidesTheirList()
    {
        Fixture f;
        f.show();
        f.click("lstUnit", 1);
        QVERIFY(!f.list("lstRuidai")->isVisible());
        QVERIFY(!f.label("lblRuidai")->isVisible());
        QVERIFY(!f.button("btnRuidaiClear")->isVisible());
    }

    void okInAnEmptySectionAsksForAMenu()
    {
        Fixture f;
        f.show();
        f.click("lstSection", 2);
        QCOMPARE(f.list("lstUnit")->count(), 0);
        QTest::mouseClick(f.button("btnOk"), Qt::LeftButton);
        QCOMPARE(f.prompts.shownUtf8(), (std::vector<std::string>{"メニューを選択してください"}));
        QVERIFY(f.form->isVisible());
    }

    void escapeCancelsAndKeepsTheBrowsedLessonAndSection()
    {
        Fixture f;
        f.show();
        f.click("lstSection", 1);
        QTest::keyClick(f.list("lstUnit"), Qt::Key_Escape);
        QCOMPARE(f.form->result(), int(QDialog::Rejected));
        QVERIFY(!f.form->isVisible());
        QCOMPARE(f.form->lastPosition().lesson, 1);
        QCOMPARE(f.form->lastPosition().section, 2);
        QCOMPARE(f.form->lastPosition().unit, 0);
    }

    void aMissingLessonFolderIsReported()
    {
        Fixture f;
        f.c.remove("L2");
        f.show();
        f.click("lstLesson", 1);
        QCOMPARE(f.prompts.shownUtf8(),
                 (std::vector<std::string>{"ディレクトリ " + sjis::toUtf8(f.c.dir()) + "L2\\ が見つかりません"}));
        QCOMPARE(f.form->lastPosition().lesson, -1);
        QCOMPARE(f.list("lstSection")->count(), 0);
        QCOMPARE(f.list("lstUnit")->count(), 0);
        QTest::mouseClick(f.button("btnOk"), Qt::LeftButton);
        QVERIFY(f.form->isVisible());
        QCOMPARE(f.prompts.lastUtf8(), std::string("メニューを選択してください"));
    }

    void theIndexIsReadAgainAfterItChanged()
    {
        Fixture f;
        f.show();
        f.click("lstLesson", 1);
        f.form->hide();
        f.c.writeMain({"ひき算,L2\\\\hiki"}, "改訂版");
        f.indexChanged = true;
        f.show();
        QVERIFY(!f.indexChanged);
        QCOMPARE(f.label("pnlTitle")->text(), u("改訂版"));
        QCOMPARE(texts(f.list("lstLesson")), (QStringList{u("ひき算")}));
        QCOMPARE(f.list("lstLesson")->currentRow(), 0);
        QCOMPARE(texts(f.list("lstSection")), (QStringList{u("ひき算")}));
    }

    void recordsHookAndMarksRefresh()
    {
        Fixture f;
        int calls = 0;
        f.form->setShowRecords([&] {
            ++calls;
            f.c.addRecords("L1\\taro.ini", "S11分母が同じ１", 2);
            return true;
        });
        f.show();
        QCOMPARE(f.form->unitLineDisplay(0).left(4), u("◎[ ]"));
        QTest::mouseClick(f.button("btnShowRecord"), Qt::LeftButton);
        QCOMPARE(calls, 1);
        QCOMPARE(f.form->unitLineDisplay(0).left(4), u("◎[2]"));
    }

    void theAllUnitsWindowShowsTheChosenLesson()
    {
        Fixture f;
        f.show();
        f.click("lstLesson", 1);
        QString root;
        int units = -1;
        QTimer::singleShot(0, [&] {
            auto* zen = f.form->findChild<TfrmZenTangen*>();
            if (zen == nullptr) return;
            auto* tree = zen->findChild<QTreeWidget*>("trvMain");
            root = tree->topLevelItem(0)->text(0);
            units = tree->topLevelItem(0)->child(0)->childCount();
            zen->findChild<QPushButton*>("btnClose")->click();
        });
        QTest::mouseClick(f.button("btnZenTangen"), Qt::LeftButton);
        QCOMPARE(root, u("分数のひき算"));
        QCOMPARE(units, 1);
    }
};

TAVOLA_GUI_TEST(tst_TfrmMenu)
#include "tst_TfrmMenu.moc"

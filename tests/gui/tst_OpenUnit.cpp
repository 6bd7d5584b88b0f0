// Opening units as a teacher does it, in a copy of the sample courseware: 開く, the unit selection window worked by
// clicking its lists and OK, the worksheet window that comes up under its window key, the unit that is already
// open, a similar problem in a window of its own, a unit without its record, 学習 with and without a worksheet,
// すべて閉じる and the window menu.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "courseware/TfrmMenu.h"
#include "platform/line_file.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "practice/TfrmRenshu.h"
#include "worksheet/TfrmPrint.h"

#include <QAction>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace tavola;
using tavola::test::u;
using tavola::test::visibleMenus;

namespace {

// The program's windows made from inside a copy of the sample courseware, with scripted messages.
struct Program : test::ProgramFixture {
    Program() { copySample(); }

    void start()
    {
        QVERIFY(showWindows());
        QVERIFY2(prompts.shown.empty(), prompts.lastUtf8().c_str());
    }

    TfrmMenu* menu() const { return main->menuWindow(); }
    QListWidget* list(const char* name) const { return menu()->findChild<QListWidget*>(name); }

    void click(const char* listName, int row) const { test::clickRow(list(listName), row); }

    // Runs the steps inside the unit selection window once it is up (it is modal, so the test waits in its loop).
    void inTheMenu(std::function<void()> steps) { test::whenModal(menu(), std::move(steps)); }
    // Lesson, section, unit (rows counted from 0) and optionally a similar problem, then OK.
    void choose(int lesson, int section, int unit, int similar = -1)
    {
        inTheMenu([=, this] {
            click("lstLesson", lesson);
            click("lstSection", section);
            click("lstUnit", unit);
            if (similar >= 0) click("lstRuidai", similar);
            QTest::mouseClick(menu()->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        });
    }
    // Runs the steps inside the practice window once it is up, then closes it with 閉じる.
    void whenPractising(std::function<void()> steps)
    {
        test::whenModal(main->renshuWindow(), [this, steps] {
            steps();
            QTest::mouseClick(main->renshuWindow()->btnEnd, Qt::LeftButton);
        });
    }
    void cancelMenu()
    {
        inTheMenu([this] { QTest::mouseClick(menu()->findChild<QPushButton*>("btnCancel"), Qt::LeftButton); });
    }

    // The captions of the worksheet windows in the document area.
    QStringList captions() const
    {
        QStringList out;
        for (QMdiSubWindow* w : main->mdiArea()->subWindowList(QMdiArea::CreationOrder))
            if (qobject_cast<TfrmPrint*>(w->widget()) != nullptr) out << w->windowTitle();
        return out;
    }
    QString key(const char* file, const char* unit) const { return toQString(systemDir()) + u(file) + "-U" + u(unit); }
};

} // namespace

class tst_OpenUnit : public QObject {
    Q_OBJECT

private slots:
    void openingAUnitThroughTheMenuShowsItsWindow()
    {
        Program p;
        p.start();
        p.main->shellState().showAnswers = false;
        p.choose(0, 1, 2);
        QTest::mouseClick(p.button("btnOpenMaster"), Qt::LeftButton);
        QVERIFY2(p.prompts.shown.empty(), p.prompts.lastUtf8().c_str());

        const QString key = p.key("tasu\\tasu2.que", "3");
        QCOMPARE(p.captions(), QStringList{key});
        TfrmPrint* sheet = p.main->currentWorksheet();
        QVERIFY(sheet != nullptr);
        QCOMPARE(p.main->mdiArea()->activeSubWindow()->widget(), sheet);
        const ShellState& state = p.main->shellState();
        QCOMPARE(state.worksheetCount, 1);
        QCOMPARE(state.openWindowList, std::vector<std::string>{fromQStringLossy(key)});
        QCOMPARE(state.lastPosition, (UnitPosition{1, 2, 3, 0}));
        QVERIFY(state.showAnswers);
        QVERIFY(!sheet->worksheet().changed);
        QCOMPARE(toQString(sheet->worksheet().title),
                 u("分数のたし算とひき算//分母がちがう分数§2-3 答えを約分するたし算・ひき算"));
        QCOMPARE(sheet->pagePicture().size(), QSize(630, 891));
        // Its menus stand in the menu bar.
        QCOMPARE(visibleMenus(p.main->menuBar()), (QStringList{u("ファイル(&F)"), u("編集(&E)"), u("表示(&V)"),
                                                               u("ウィンドウ(&W)"), u("設定(&C)"), u("ヘルプ(&H)")}));
        QVERIFY(sheet->mnuFile->menuAction()->isVisible());
        QVERIFY(!p.main->mnuFile->menuAction()->isVisible());

        // Opening it again brings the same window forward.
        p.choose(0, 1, 2);
        p.main->findChild<QAction*>("mnuOpen")->trigger();
        QCOMPARE(p.prompts.shownUtf8(), std::vector<std::string>{"すでに読み込まれています"});
        QCOMPARE(p.captions(), QStringList{key});
        QCOMPARE(p.main->shellState().worksheetCount, 1);
    }

    void aSimilarProblemOpensInAWindowOfItsOwn()
    {
        Program p;
        p.start();
        p.choose(0, 1, 0);
        QTest::mouseClick(p.button("btnOpenMaster"), Qt::LeftButton);
        p.choose(0, 1, 0, 0);
        QTest::mouseClick(p.button("btnOpenMaster"), Qt::LeftButton);
        QVERIFY2(p.prompts.shown.empty(), p.prompts.lastUtf8().c_str());
        QCOMPARE(p.captions(), (QStringList{p.key("tasu\\tasu2.que", "1"), p.key("tasu\\tasu2.que", "1R1")}));
        QCOMPARE(p.main->currentWorksheet()->worksheet().shortKey, std::string("tasu2.que-U1R1"));
        QCOMPARE(p.main->shellState().worksheetCount, 2);

        // The window menu: its four items enabled, then the open windows.
        QMenu* window = p.main->mnuWindow;
        emit window->aboutToShow();
        for (QAction* a : p.main->windowMenuItems)
            QVERIFY(a->isEnabled());
        QStringList entries;
        for (QAction* a : window->actions())
            if (a->isCheckable()) entries << a->text();
        QCOMPARE(entries.size(), 3); // the title window and the two worksheets
        QVERIFY(entries.last().endsWith(p.key("tasu\\tasu2.que", "1R1")));

        // すべて閉じる: both close, nothing is asked of unchanged worksheets.
        p.main->findChild<QAction*>("mnuCloseAll")->trigger();
        QTRY_VERIFY(p.captions().isEmpty());
        QCOMPARE(p.main->shellState().worksheetCount, 0);
        QVERIFY(p.main->shellState().openWindowList.empty());
        QCOMPARE(p.main->currentWorksheet(), nullptr);
        QVERIFY(p.prompts.shown.empty());
        QVERIFY(p.main->mnuFile->menuAction()->isVisible());
        emit window->aboutToShow();
        for (QAction* a : p.main->windowMenuItems)
            QVERIFY(!a->isEnabled());
    }

    void aUnitWithoutItsRecordOffersToCreateIt()
    {
        Program p;
        // The index names a fourth unit in section 2 that the master file does not hold.
        const std::string index = p.systemDir() + "tasu/tasu.ind";
        auto lines = readLineFile(index);
        QVERIFY(lines.has_value());
        Lines changed = *lines;
        auto at = std::find(changed.begin(), changed.end(), "答えを約分するたし算・ひき算"_sj);
        QVERIFY(at != changed.end());
        changed.insert(at + 1, "まだない単元"_sj);
        QVERIFY(writeLineFile(index, changed));
        p.start();

        p.prompts.queueAnswer(Answer::No);
        p.choose(0, 1, 3);
        QTest::mouseClick(p.button("btnOpenMaster"), Qt::LeftButton);
        QCOMPARE(p.prompts.shown.size(), std::size_t(1));
        QCOMPARE(p.prompts.shown[0].kind, ScriptedPrompts::Kind::Confirm);
        QCOMPARE(p.prompts.shown[0].text, "単元がありません"_sj + "\r\n" + "新規作成しますか?"_sj);
        QVERIFY(p.captions().isEmpty());
        QCOMPARE(p.main->shellState().worksheetCount, 0);
    }

    void studyOpensAUnitWhenNoneIsOpen()
    {
        Program p;
        p.start();
        // Cancelled: nothing.
        p.cancelMenu();
        QTest::mouseClick(p.button("btnTest"), Qt::LeftButton);
        QVERIFY(p.captions().isEmpty());
        QVERIFY(p.prompts.shown.empty());

        // Confirmed (with Enter, which is Study too): the unit opens for the practice window and closes again after.
        p.choose(0, 2, 2);
        QString practised;
        p.whenPractising([&] {
            practised = p.captions().value(0);
            QVERIFY(!p.main->currentWorksheet()->worksheet().changed);
            QCOMPARE(p.main->currentWorksheet()->scrollPosition(), 0);
        });
        QTest::keyClick(p.button("btnTest"), Qt::Key_Return);
        QCOMPARE(practised, p.key("tasu\\tasu3.que", "3"));
        QVERIFY(p.captions().isEmpty());
        QVERIFY(p.main->shellState().showAnswers);

        // With a worksheet open Study takes it from the top, without the menu, and leaves it open.
        p.choose(0, 2, 2);
        QTest::mouseClick(p.button("btnOpenMaster"), Qt::LeftButton);
        TfrmPrint* sheet = p.main->currentWorksheet();
        QTest::keyClick(sheet->pageWidget(), Qt::Key_PageDown);
        QVERIFY(sheet->scrollPosition() > 0);
        int scrolled = -1;
        p.whenPractising([&] { scrolled = sheet->scrollPosition(); });
        QTest::mouseClick(p.button("btnTest"), Qt::LeftButton);
        QCOMPARE(scrolled, 0);
        QCOMPARE(p.captions().size(), 1);
        QVERIFY(p.main->shellState().showAnswers);
        QVERIFY(sheet->worksheet().settings.answersShown);
    }
};

TAVOLA_GUI_TEST(tst_OpenUnit)
#include "tst_OpenUnit.moc"

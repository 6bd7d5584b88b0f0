// The worksheet window in the main window, in a copy of the sample courseware: its menus, the main window's
// controls that change it (redrawn, marked changed), the answers hidden, the closing question, moving a figure,
// selecting a rectangle or a figure and copying it, the whole page to the clipboard, the keys, and the reduced
// view.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "app/TfrmMain.h"
#include "app/open_flows.h"
#include "platform/line_file.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "worksheet/TfrmPrint.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <functional>

using namespace tavola;
using tavola::test::drag;
using tavola::test::u;

namespace {

int countPixels(const QImage& image, const std::function<bool(QColor)>& test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.pixelColor(x, y))) ++n;
    return n;
}

bool isBlue(QColor c)
{
    return c.blue() > 150 && c.red() < 110 && c.green() < 110;
}

// The program's windows made from inside a copy of the sample courseware; pictures for the clipboard are kept.
struct Program : test::ProgramFixture {
    QList<QImage> clipboard;

    Program() { copySample(); }

    void start(bool realClipboard = false)
    {
        createWindows();
        if (!realClipboard) main->setClipboardWriter([this](const QImage& picture) { clipboard << picture; });
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QVERIFY(main->index().readLesson(1));
    }

    int windowCount() const
    {
        int n = 0;
        for (QMdiSubWindow* w : main->mdiArea()->subWindowList())
            if (qobject_cast<TfrmPrint*>(w->widget()) != nullptr) ++n;
        return n;
    }
};

} // namespace

class tst_TfrmPrint : public QObject {
    Q_OBJECT

private slots:
    void menusCarryTheirCaptionsAndNames()
    {
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(2, 3);
        QVERIFY(sheet != nullptr);
        QCOMPARE(sheet->windowTitle(), toQString(p.systemDir()) + u("tasu\\tasu2.que-U3"));
        QCOMPARE(p.frame(sheet)->windowTitle(), sheet->windowTitle());

        struct Item {
            QMenu* menu;
            QAction* action;
            const char* name;
            const char* caption;
        };
        const Item items[] = {
            {sheet->mnuFile, sheet->mnuOpenMaster, "mnuOpenMaster", "開く(&O)"},
            {sheet->mnuFile, sheet->mnuSaveMaster, "mnuSaveMaster", "上書き保存(&S)"},
            {sheet->mnuFile, sheet->mnuPrint, "mnuPrint", "印刷(&P)"},
            {sheet->mnuFile, sheet->mnuClose, "mnuClose", "閉じる(&C)"},
            {sheet->mnuFile, sheet->mnuExit, "mnuExit", "終了(&X)"},
            {sheet->mnuEdit, sheet->mnuEditIndex, "mnuEditIndex", "目次作成(&C)"},
            {sheet->mnuEdit, sheet->mnuJuku, "mnuJuku", "学校名・塾名(&J)"},
            {sheet->mnuEdit, sheet->mnuGakkyu, "mnuGakkyu", "学級の記録(&G)"},
            {sheet->mnuEdit, sheet->mnuEditMaster, "mnuEditMaster", "編集(&E)"},
            {sheet->mnuEdit, sheet->mnuToClipBoard, "mnuToClipBoard", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰ(&B)"},
            {sheet->mnuView, sheet->mnuKaitou, "mnuKaitou", "解答表示(&A)"},
            {sheet->mnuSettings, sheet->mnuSetPrinter, "mnuSetPrinter", "印字モードの設定(&P)"},
            {sheet->mnuSettings, sheet->mnuSetKran, "mnuSetKran", "解答欄の設定(&K)"},
            {sheet->mnuSettings, sheet->mnuSetPaper, "mnuSetPaper", "用紙サイズとオプションの設定(&S)"},
        };
        for (const Item& item : items) {
            QCOMPARE(item.action->objectName(), QString(item.name));
            QCOMPARE(item.action->text(), u(item.caption));
            QVERIFY(item.menu->actions().contains(item.action));
        }
        QCOMPARE(sheet->mnuSettings->title(), u("設定(&C)"));
        QCOMPARE(sheet->mnuView->title(), u("表示(&V)"));
        // Alt and one letter reach one item: no two items of a menu share their letter (Alt+F, P prints).
        for (QMenu* menu : {sheet->mnuFile, sheet->mnuEdit, sheet->mnuView, sheet->mnuSettings}) {
            QStringList keys;
            for (QAction* a : menu->actions()) {
                const qsizetype amp = a->text().indexOf('&');
                if (amp < 0 || amp + 1 >= a->text().size()) continue;
                const QString key = a->text().mid(amp + 1, 1).toUpper();
                QVERIFY2(!keys.contains(key), qPrintable(menu->title() + " " + a->text()));
                keys << key;
            }
        }

        // 上書き保存 only for a master unit; 解答表示 enabled like the answer button and checked like the answers.
        emit sheet->mnuFile->aboutToShow();
        QVERIFY(sheet->mnuSaveMaster->isEnabled());
        sheet->worksheet().master = false;
        emit sheet->mnuFile->aboutToShow();
        QVERIFY(!sheet->mnuSaveMaster->isEnabled());
        emit sheet->mnuView->aboutToShow();
        QVERIFY(sheet->mnuKaitou->isEnabled());
        QVERIFY(sheet->mnuKaitou->isChecked());
        p.main->shellState().answersEnabled = false;
        emit sheet->mnuView->aboutToShow();
        QVERIFY(!sheet->mnuKaitou->isEnabled());

        // 目次作成 is refused while a worksheet is open.
        sheet->mnuEditIndex->trigger();
        QCOMPARE(p.prompts.shownUtf8(), std::vector<std::string>{"開いているファイルをすべて閉じてください"});
    }

    void theMainWindowsControlsChangeTheWorksheet()
    {
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(2, 3);
        QVERIFY(sheet != nullptr);
        auto* moji = p.child<QSpinBox>("spnMojiSize");
        auto* gyou = p.child<QSpinBox>("spnGyouSpace");
        // The worksheet's own settings are shown, and showing them changes nothing.
        QCOMPARE(moji->value(), 14);
        QCOMPARE(gyou->value(), 80);
        QVERIFY(!sheet->worksheet().changed);

        QImage before = sheet->pagePicture();
        moji->setValue(20);
        QCOMPARE(sheet->worksheet().settings.characterSize, 20);
        QVERIFY(sheet->worksheet().changed);
        QVERIFY(sheet->pagePicture() != before);

        sheet->worksheet().changed = false;
        before = sheet->pagePicture();
        gyou->setValue(60);
        QCOMPARE(sheet->worksheet().settings.lineSpacing, 60);
        QVERIFY(sheet->worksheet().changed);
        QVERIFY(sheet->pagePicture() != before);

        // A paper button: the table's size.
        sheet->worksheet().changed = false;
        p.child<QRadioButton>("radB5")->setChecked(true);
        QCOMPARE(sheet->pagePicture().size(), QSize(546, 771));
        QVERIFY(sheet->worksheet().changed);

        // Another worksheet brings its own values; coming back brings these again.
        TfrmPrint* other = p.open(3, 3);
        QVERIFY(other != nullptr);
        QCOMPARE(gyou->value(), 40);
        QVERIFY(p.child<QRadioButton>("radA4")->isChecked());
        QVERIFY(!other->worksheet().changed);
        // 別解表示 (this unit has alternative answers) redraws without a change.
        before = other->pagePicture();
        QTest::mouseClick(p.child<QCheckBox>("chkBekkai"), Qt::LeftButton);
        QVERIFY(other->pagePicture() != before);
        QVERIFY(!other->worksheet().changed);
        p.main->activateWindow(0);
        QCOMPARE(p.main->currentWorksheet(), sheet);
        QCOMPARE(moji->value(), 20);
        QCOMPARE(gyou->value(), 60);
        QVERIFY(p.child<QRadioButton>("radB5")->isChecked());
        QVERIFY(!other->worksheet().changed);
    }

    void answersOffLeaveTheBoxesWhite()
    {
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(2, 3);
        QVERIFY(sheet != nullptr);
        QVERIFY(p.main->shellState().showAnswers);
        QVERIFY(!sheet->layout().answerBoxes.empty());
        QVERIFY(countPixels(sheet->pagePicture(), isBlue) > 100);

        QTest::mouseClick(p.button("btnKaitou"), Qt::LeftButton);
        QVERIFY(!p.main->shellState().showAnswers);
        QVERIFY(!sheet->worksheet().settings.answersShown);
        QVERIFY(!sheet->mnuKaitou->isChecked());
        QCOMPARE(countPixels(sheet->pagePicture(), isBlue), 0);
        // Inside every box, away from its frame, nothing but white.
        for (const AnswerBox& box : sheet->layout().answerBoxes) {
            QImage inside = sheet->pagePicture().copy(box.x + 2, box.y + 4, std::max(1, box.width - 4), 20);
            QCOMPARE(countPixels(inside, [](QColor c) { return c != Qt::white; }), 0);
        }
        // The menu item brings them back.
        sheet->mnuKaitou->trigger();
        QVERIFY(p.main->shellState().showAnswers);
        QVERIFY(sheet->mnuKaitou->isChecked());
        QVERIFY(countPixels(sheet->pagePicture(), isBlue) > 100);
    }

    void aPageThatRunsOffThePaperIsShownWholeAndToldOnce()
    {
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(2, 3);
        QVERIFY(sheet != nullptr);
        const int paper = sheet->worksheet().settings.paper.height;
        QCOMPARE(sheet->pagePicture().height(), paper);
        const Lines lines = sheet->worksheet().problemLines;

        sheet->worksheet().problemLines.assign(60, "(1)  1/2+1/3=# 5/6 #");
        QCOMPARE(sheet->redraw(), std::vector<std::string>{pageRunsOffMessage()});
        QVERIFY(sheet->layout().runsOffPage());
        QCOMPARE(sheet->layout().answerBoxes.size(), std::size_t{60});
        // The picture reaches the last line; the paper's end is marked in red.
        QVERIFY(sheet->pagePicture().height() >= sheet->layout().contentBottom);
        QCOMPARE(sheet->pagePicture().pixelColor(0, paper), QColor(Qt::red));
        QVERIFY(sheet->redraw().empty()); // told once, not at every redraw

        sheet->worksheet().problemLines = lines;
        QVERIFY(sheet->redraw().empty());
        QCOMPARE(sheet->pagePicture().height(), paper);
    }

    void closingAsksAboutAChangedWorksheet()
    {
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(2, 3);
        QVERIFY(sheet != nullptr);
        const std::string question = sheet->worksheet().windowKey + "を保存しますか？"_sj;
        p.child<QSpinBox>("spnMojiSize")->setValue(16);

        // Cancel keeps it (Esc closes the current worksheet).
        p.prompts.queueAnswer(Answer::Cancel);
        QTest::keyClick(sheet->pageWidget(), Qt::Key_Escape);
        QCOMPARE(p.prompts.shown.size(), std::size_t(1));
        QCOMPARE(p.prompts.shown[0].text, question);
        QCOMPARE(p.windowCount(), 1);
        QCOMPARE(p.main->currentWorksheet(), sheet);

        // Yes with the save dialog cancelled keeps the window and its changes (a worksheet that no longer holds a
        // single master unit is saved as a copy); No then closes it.
        sheet->worksheet().master = false;
        p.prompts.clear();
        p.prompts.queueAnswer(Answer::Yes);
        p.prompts.queueFileName(std::nullopt);
        sheet->mnuClose->trigger();
        QApplication::processEvents();
        QCOMPARE(p.windowCount(), 1);
        QVERIFY(sheet->worksheet().changed);
        QCOMPARE(p.prompts.shown.size(), std::size_t(2)); // the question and the save dialog
        p.prompts.queueAnswer(Answer::No);
        sheet->mnuClose->trigger();
        QTRY_COMPARE(p.windowCount(), 0);
        QCOMPARE(p.main->currentWorksheet(), nullptr);
        QCOMPARE(p.main->shellState().worksheetCount, 0);
        QVERIFY(p.main->shellState().openWindowList.empty());

        // No closes without saving; an unchanged worksheet closes without a question.
        sheet = p.open(2, 3);
        sheet->worksheet().changed = true;
        p.prompts.clear();
        p.prompts.queueAnswer(Answer::No);
        QTest::mouseClick(p.button("btnFpClose"), Qt::LeftButton);
        QTRY_COMPARE(p.windowCount(), 0);
        sheet = p.open(2, 2);
        QTest::mouseClick(p.button("btnFpClose"), Qt::LeftButton);
        QTRY_COMPARE(p.windowCount(), 0);
        QCOMPARE(p.prompts.shown.size(), std::size_t(1));
        QCOMPARE(p.prompts.unexpected, 0);
    }

    void aFigureMovesWithTheMouseAndKeepsItsPlace()
    {
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(3, 3);
        QVERIFY(sheet != nullptr);
        FigureLine first = figureAt(sheet->worksheet().graph, 1);
        QCOMPARE(first.x, 250);
        QCOMPARE(first.y, 194);
        const Rect& r = sheet->placedFigures().at(0).rect;
        QCOMPARE(QSize(r.width(), r.height()), QSize(121, 29));

        // While it moves, it is off the page.
        QWidget* page = sheet->pageWidget();
        const QPoint grip(first.x + 10, first.y + 10);
        QTest::mousePress(page, Qt::LeftButton, {}, grip);
        QCOMPARE(countPixels(sheet->pagePicture().copy(first.x, first.y, 121, 29), isBlue), 0);
        QCOMPARE(sheet->pagePicture().copy(first.x, first.y, 121, 29).pixelColor(5, 5), QColor(Qt::white));
        QTest::mouseMove(page, grip + QPoint(8, 3));
        QTest::mouseMove(page, grip + QPoint(20, 10));
        QTest::mouseRelease(page, Qt::LeftButton, {}, grip + QPoint(20, 10));

        FigureLine moved = figureAt(sheet->worksheet().graph, 1);
        QCOMPARE(moved.x, 270);
        QCOMPARE(moved.y, 204);
        QCOMPARE(sheet->placedFigures().at(0).rect.left, 270);
        QVERIFY(sheet->worksheet().changed);
        QCOMPARE(figureAt(sheet->worksheet().graph, 2).x, 250); // the others stay

        // Saved as a copy, the file holds the new place.
        QTest::mouseClick(p.button("btnSave"), Qt::LeftButton);
        QVERIFY(p.child<QWidget>("pnlSave")->isVisible());
        QVERIFY(p.button("btnSaveMaster")->isEnabled());
        const std::string target = p.systemDir() + "tasu/moved.prp";
        p.prompts.queueFileName(target);
        QTest::mouseClick(p.button("btnSaveCopy"), Qt::LeftButton);
        // Below the courseware folder the caption is built like a unit's, with "\\".
        const std::string caption = p.systemDir() + "tasu\\moved.prp";
        QCOMPARE(sheet->windowTitle(), toQString(caption));
        QCOMPARE(p.main->shellState().openWindowList, std::vector<std::string>{caption});
        QVERIFY(!sheet->worksheet().changed);
        auto saved = readLineFile(target);
        QVERIFY(saved.has_value());
        auto graph = std::find(saved->begin(), saved->end(), "<<graph");
        QVERIFY(graph != saved->end() && saved->end() - graph > 3);
        QCOMPARE(graph[1], std::string("bar3of5.bmp"));
        QCOMPARE(graph[2], std::string("270"));
        QCOMPARE(graph[3], std::string("204"));
        // A copy is no longer written back into the master file.
        QTest::mouseClick(p.button("btnSave"), Qt::LeftButton);
        QVERIFY(!p.button("btnSaveMaster")->isEnabled());
    }

    void aDraggedRectangleIsCopiedToTheClipboard()
    {
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(2, 3);
        QVERIFY(sheet != nullptr);
        QPushButton* copy = p.button("btnCopy");
        QPushButton* cancel = p.button("btnCancel");
        QVERIFY(!copy->isEnabled());

        // From right to left and bottom to top, over the header with its rules.
        drag(sheet, QPoint(400, 100), QPoint(60, 20));
        QVERIFY(copy->isEnabled());
        QVERIFY(cancel->isEnabled());
        QCOMPARE(sheet->selection(), (std::array<int, 4>{400, 100, 60, 20}));
        QTest::mouseClick(copy, Qt::LeftButton);
        QCOMPARE(p.clipboard.size(), 1);
        QCOMPARE(p.clipboard[0].size(), QSize(338, 78));
        QVERIFY(countPixels(p.clipboard[0], [](QColor c) { return c.value() < 80; }) > 300);
        QVERIFY(!copy->isEnabled());
        QVERIFY(!sheet->selectionPending());

        // A new press on the page drops a pending selection; キャンセル drops it too, copying nothing.
        drag(sheet, QPoint(100, 150), QPoint(200, 250));
        QVERIFY(copy->isEnabled());
        QTest::mousePress(sheet->pageWidget(), Qt::LeftButton, {}, QPoint(300, 300));
        QVERIFY(!copy->isEnabled());
        QTest::mouseRelease(sheet->pageWidget(), Qt::LeftButton, {}, QPoint(300, 300));
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(!copy->isEnabled());
        QCOMPARE(p.clipboard.size(), 1);
        // Ctrl+C copies only while コピー is enabled.
        QTest::keyClick(sheet->pageWidget(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(p.clipboard.size(), 1);
    }

    void aFigureIsSelectedWithTheRightButton()
    {
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(3, 3);
        QVERIFY(sheet != nullptr);
        QTest::mouseClick(sheet->pageWidget(), Qt::RightButton, {}, QPoint(260, 200));
        QVERIFY(p.button("btnCopy")->isEnabled());
        // The frame lies one pixel around the figure.
        QCOMPARE(sheet->selection(), (std::array<int, 4>{249, 193, 371, 223}));
        QVERIFY(!sheet->worksheet().changed);
        QTest::keyClick(sheet->pageWidget(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(p.clipboard.size(), 1);
        QCOMPARE(p.clipboard[0].size(), QSize(120, 28));
        QVERIFY(countPixels(p.clipboard[0], isBlue) > 0 ||
                countPixels(p.clipboard[0], [](QColor c) { return c != Qt::white; }) > 100);
        // The right button beside any figure selects nothing.
        QTest::mouseClick(sheet->pageWidget(), Qt::RightButton, {}, QPoint(100, 300));
        QVERIFY(!p.button("btnCopy")->isEnabled());
    }

    void theWholePageGoesToTheClipboard()
    {
        Program p;
        p.start(true);
        TfrmPrint* sheet = p.open(2, 3);
        QVERIFY(sheet != nullptr);
        QApplication::clipboard()->clear();
        sheet->mnuToClipBoard->trigger();
        QImage picture = QApplication::clipboard()->image();
        QCOMPARE(picture.size(), QSize(630, 891));
        QCOMPARE(picture.convertToFormat(QImage::Format_RGB32), sheet->pagePicture());
    }

    void keysScrollTheWorksheetAndTheWindowMenuPlacesIt()
    {
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(2, 3);
        QVERIFY(sheet != nullptr);
        QVERIFY2(sheet->frameHeight() < 891, "the window must be smaller than the page to scroll");
        QCOMPARE(sheet->scrollPosition(), 0);
        QTest::keyClick(sheet->pageWidget(), Qt::Key_PageDown);
        const int end = sheet->scrollPosition();
        QVERIFY(end > 0);
        QTest::keyClick(sheet->pageWidget(), Qt::Key_PageUp);
        QCOMPARE(sheet->scrollPosition(), 0);
        QTest::keyClick(sheet->pageWidget(), Qt::Key_PageUp);
        QCOMPARE(sheet->scrollPosition(), end);

        // 最大表示: the whole document area.
        p.main->mdiArea()->tileSubWindows();
        p.main->findChild<QAction*>("mnuMaximize")->trigger();
        QCOMPARE(p.frame(sheet)->geometry(), QRect(QPoint(0, 0), p.main->mdiArea()->viewport()->size()));
    }

    void theReducedViewShowsTheWholePageSmall()
    {
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(2, 3);
        QVERIFY(sheet != nullptr);
        QPushButton* shukusho = p.button("btnShukusho");
        shukusho->click();
        QVERIFY(sheet->reducedView());
        QCOMPARE(shukusho->text(), u("拡大"));
        QCOMPARE(toQString(p.main->reducedViewCaption()), u("拡大"));
        auto* reduced = sheet->findChild<QLabel*>("imgReduced");
        ReducedViewSize size = reducedViewSize(p.main->pnlMain->height());
        QVERIFY(reduced->isVisible());
        QVERIFY(!sheet->pageWidget()->isVisible());
        QCOMPARE(reduced->size(), QSize(size.width, size.height));

        // A paper button while reduced turns the reduced view off and shows the new paper.
        p.child<QRadioButton>("radB4")->setChecked(true);
        QVERIFY(!sheet->reducedView());
        QCOMPARE(shukusho->text(), u("縮小"));
        QVERIFY(sheet->pageWidget()->isVisible());
        QCOMPARE(sheet->pagePicture().size(), QSize(771, 1092));
        QVERIFY(sheet->worksheet().changed);
    }
};

TAVOLA_GUI_TEST(tst_TfrmPrint)
#include "tst_TfrmPrint.moc"

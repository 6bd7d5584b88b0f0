// The desktop as a teacher works it, in a copy of the sample courseware: which worksheet stays in front after
// closes, pop-ups and dialogs, cascading, the Japanese standard dialogs, student mode's menus, a figure dragged to
// the page edge, resizing the main window, and the names the save dialog and the captions use.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "app/TfrmMain.h"
#include "platform/prompts.h"
#include "platform/qt/qt_prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_translations.h"
#include "platform/sjis.h"
#include "worksheet/TfrmPrint.h"
#include "worksheet/figures.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>

using namespace tavola;
using tavola::test::drag;
using tavola::test::u;
using tavola::test::visibleMenus;
using tavola::test::whenModalOf;

namespace {

struct Program : test::ProgramFixture {
    Program() { copySample(); }

    void start(QSize size = {})
    {
        createWindows();
        main->setClipboardWriter([](const QImage&) {});
        if (size.isValid()) main->resize(size);
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QVERIFY(main->index().readLesson(1));
    }

    QWidget* front() const
    {
        QMdiSubWindow* active = main->mdiArea()->activeSubWindow();
        return active != nullptr ? active->widget() : nullptr;
    }
    // The worksheet is in front, is the one the panel works on, and has the keys.
    bool inFront(TfrmPrint* sheet) const
    {
        QWidget* focus = QApplication::focusWidget();
        return front() == sheet && main->currentWorksheet() == sheet && focus != nullptr &&
               (focus == sheet || sheet->isAncestorOf(focus));
    }
};

} // namespace

class tst_Desktop : public QObject {
    Q_OBJECT

private slots:
    void theWorksheetStaysInFront_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("閉じる on the other") << 0;
        QTest::newRow("figure pop-up コピー") << 1;
        QTest::newRow("figure pop-up キャンセル") << 2;
        QTest::newRow("名前を付けて保存") << 3;
        QTest::newRow("tips panel closed") << 4;
        QTest::newRow("すべて閉じる, one cancelled") << 5;
        QTest::newRow("closing the one used last") << 6;
    }
    void theWorksheetStaysInFront()
    {
        QFETCH(int, step);
        Program p;
        p.start();
        TfrmPrint* first = p.open(2, 3);
        TfrmPrint* second = p.open(3, 3);
        TfrmPrint* third = step == 6 ? p.open(2, 2) : nullptr;
        QVERIFY(first != nullptr && second != nullptr);
        QTRY_VERIFY(p.inFront(step == 6 ? third : second));
        TfrmPrint* expected = second;
        switch (step) {
        case 0:
            QTest::mouseClick(p.button("btnFpClose"), Qt::LeftButton);
            expected = first;
            break;
        case 1:
        case 2:
            QTest::mouseClick(second->pageWidget(), Qt::RightButton, {}, QPoint(260, 200));
            QVERIFY(p.button("btnCopy")->isEnabled());
            QTest::mouseClick(p.button(step == 1 ? "btnCopy" : "btnCancel"), Qt::LeftButton);
            QVERIFY(!p.button("btnCopy")->isEnabled());
            break;
        case 3: {
            QTest::mouseClick(p.button("btnSave"), Qt::LeftButton);
            QPushButton* saveCopy = p.button("btnSaveCopy");
            QTest::mouseMove(saveCopy);
            saveCopy->setFocus(); // as moving onto it does
            p.prompts.queueFileName(p.systemDir() + "tasu/front.prp");
            QTest::mouseClick(saveCopy, Qt::LeftButton);
            QVERIFY(!p.child<QWidget>("pnlSave")->isVisible());
            break;
        }
        case 4:
            p.child<QAction>("mnuDoYouKnow")->trigger();
            QTest::mouseClick(p.button("btnClose"), Qt::LeftButton);
            QVERIFY(!p.child<QWidget>("grbDoYouKnow")->isVisible());
            break;
        case 5:
            first->worksheet().changed = true;
            p.prompts.queueAnswer(Answer::Cancel);
            p.child<QAction>("mnuCloseAll")->trigger();
            expected = first;
            break;
        case 6:
            // The first was used after the second; closing the third brings the first back, not the second.
            p.main->mdiArea()->setActiveSubWindow(p.frame(first));
            p.main->mdiArea()->setActiveSubWindow(p.frame(third));
            QTest::mouseClick(p.button("btnFpClose"), Qt::LeftButton);
            expected = first;
            break;
        }
        QTRY_VERIFY(p.inFront(expected));
        QVERIFY(!p.main->titleWindow()->isVisible() || p.front() != p.main->titleWindow()->widget());
        // The panel works on the worksheet in front.
        const int before = expected->worksheet().settings.characterSize;
        p.child<QSpinBox>("spnMojiSize")->setValue(before + 2);
        QCOMPARE(expected->worksheet().settings.characterSize, before + 2);
    }

    void cascadeKeepsTheWorksheetsReadable()
    {
        Program p;
        p.start({1280, 996});
        TfrmPrint* first = p.open(2, 3);
        TfrmPrint* second = p.open(3, 3);
        TfrmPrint* third = p.open(2, 2);
        QVERIFY(first != nullptr && second != nullptr && third != nullptr);
        p.child<QAction>("mnuCascade")->trigger();
        const QRect area(QPoint(0, 0), p.main->mdiArea()->viewport()->size());
        QPoint last(-1, -1);
        for (TfrmPrint* sheet : {first, second, third}) {
            const QRect g = p.frame(sheet)->geometry();
            QVERIFY2(area.contains(g),
                     qPrintable(QString("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
            // The page's width shows whole, and the window is at least half the area high.
            QVERIFY(sheet->width() >= sheet->pagePicture().width());
            QVERIFY(g.height() >= area.height() / 2);
            QVERIFY(g.x() > last.x() && g.y() > last.y());
            last = g.topLeft();
        }
        QTRY_VERIFY(p.inFront(third));
    }

    void studentModeOffersNoWayToTheAnswers()
    {
        Program p;
        p.start();
        QVERIFY(p.open(2, 3) != nullptr);
        const QStringList teacher{u("ファイル(&F)"),   u("編集(&E)"), u("表示(&V)"),
                                  u("ウィンドウ(&W)"), u("設定(&C)"), u("ヘルプ(&H)")};
        QCOMPARE(visibleMenus(p.main->menuBar()), teacher);
        QTest::mouseClick(p.button("btnLock"), Qt::LeftButton);
        QCOMPARE(visibleMenus(p.main->menuBar()), QStringList{u("ヘルプ(&H)")});
        // A worksheet that comes forward in student mode brings none of its menus either.
        QVERIFY(p.open(3, 3) != nullptr);
        QCOMPARE(visibleMenus(p.main->menuBar()), QStringList{u("ヘルプ(&H)")});
        QTest::mouseClick(p.button("btnLock"), Qt::LeftButton);
        QCOMPARE(visibleMenus(p.main->menuBar()), teacher);
    }

    void aFigureDraggedPastThePageEdgeCanBeTakenBack_data()
    {
        QTest::addColumn<QPoint>("travel");
        QTest::newRow("right") << QPoint(900, 0);
        QTest::newRow("down") << QPoint(0, 2000);
        QTest::newRow("far down right") << QPoint(5000, 5000);
        QTest::newRow("left and up") << QPoint(-900, -900);
    }
    void aFigureDraggedPastThePageEdgeCanBeTakenBack()
    {
        QFETCH(QPoint, travel);
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(3, 3);
        QVERIFY(sheet != nullptr);
        const FigureLine home = figureAt(sheet->worksheet().graph, 1);
        const QPoint grip(home.x + 10, home.y + 10);
        drag(sheet, grip, grip + travel);
        const Rect r = sheet->placedFigures().at(0).rect;
        const QSize page = sheet->pagePicture().size();
        QVERIFY2(r.left >= 0 && r.top >= 0 && r.left < page.width() - 4 && r.top < page.height() - 4,
                 qPrintable(QString("figure at %1,%2 on a page of %3x%4")
                                .arg(r.left)
                                .arg(r.top)
                                .arg(page.width())
                                .arg(page.height())));
        // Its corner on the page takes it back home.
        drag(sheet, QPoint(r.left + 2, r.top + 2), QPoint(home.x + 2, home.y + 2));
        const FigureLine back = figureAt(sheet->worksheet().graph, 1);
        QCOMPARE(QPoint(back.x, back.y), QPoint(home.x, home.y));
    }

    void resizingKeepsTheWorksheetsFillingTheArea()
    {
        Program p;
        p.start({1280, 996});
        TfrmPrint* filling = p.open(2, 3);
        TfrmPrint* maximised = p.open(3, 3);
        QVERIFY(filling != nullptr && maximised != nullptr);
        p.child<QAction>("mnuMaximize")->trigger();
        for (QSize size : {QSize(1024, 700), QSize(1366, 740)}) {
            p.main->resize(size);
            const QRect area(QPoint(0, 0), p.main->mdiArea()->viewport()->size());
            QTRY_COMPARE(p.frame(maximised)->geometry(), area);
            const QRect g = p.frame(filling)->geometry();
            QVERIFY(area.contains(g));
            QCOMPARE(g.height(), area.height());
            QVERIFY(g.width() >= area.width() - 20);
        }
    }

    void thePanelAndTheAnswerBoxDialogAreReachable_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("1366x768 laptop") << QSize(1366, 740) << false;
        QTest::newRow("smaller") << QSize(1024, 480) << true;
    }
    void thePanelAndTheAnswerBoxDialogAreReachable()
    {
        QFETCH(QSize, size);
        QFETCH(bool, scrolls);
        Program p;
        p.start(size);
        QVERIFY(p.open(2, 3) != nullptr);
        auto* scroll = p.child<QScrollArea>("scrMain");
        QVERIFY(scroll != nullptr);
        QCOMPARE(scroll->verticalScrollBar()->maximum() > 0, scrolls);
        for (QWidget* control : p.main->pnlMain->findChildren<QWidget*>()) {
            if (!control->isVisible() || qobject_cast<QAbstractButton*>(control) == nullptr) continue;
            scroll->ensureWidgetVisible(control, 0, 0);
            const QRect at(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size());
            QVERIFY2(scroll->viewport()->rect().contains(at), qPrintable(control->objectName()));
        }

        // The answer-box dialog stands on the screen whole.
        QRect dialog;
        whenModalOf<QWidget>([&dialog](QWidget* modal) {
            dialog = modal->frameGeometry();
            modal->findChild<QPushButton*>("btnOk")->click();
        });
        scroll->ensureWidgetVisible(p.button("btnKran"));
        QTest::mouseClick(p.button("btnKran"), Qt::LeftButton);
        QVERIFY(dialog.isValid());
        const QRect screen = p.main->screen()->availableGeometry();
        QVERIFY2(screen.contains(dialog),
                 qPrintable(QString("%1..%2 on %3").arg(dialog.top()).arg(dialog.bottom()).arg(screen.bottom())));
    }

    void theSaveDialogProposesTheShortKeyAndCaptionsReadAlike()
    {
        Program p;
        p.start();
        TfrmPrint* sheet = p.open(2, 3);
        QVERIFY(sheet != nullptr);
        const QString unitCaption = sheet->windowTitle();
        QVERIFY(unitCaption.endsWith(u("tasu\\tasu2.que-U3")));
        QTest::mouseClick(p.button("btnSave"), Qt::LeftButton);
        // The teacher takes the proposed name in the lesson's folder, as the dialog gives it back.
        p.prompts.queueFileName(p.systemDir() + "tasu/tasu2.que-U3.prp");
        QTest::mouseClick(p.button("btnSaveCopy"), Qt::LeftButton);
        QCOMPARE(p.prompts.fileRequests.size(), std::size_t(1));
        QCOMPARE(p.prompts.fileRequests[0].suggestedName, std::string("tasu2.que-U3.prp"));
        QCOMPARE(p.prompts.shown.size(), std::size_t(1)); // the dialog alone: the proposed name is a copy file's
        QCOMPARE(sheet->windowTitle(), toQString(p.systemDir()) + u("tasu\\tasu2.que-U3.prp"));
        QVERIFY(QFile::exists(p.dir() + "/tasu/tasu2.que-U3.prp"));
    }

    void standardDialogsSpeakJapanese()
    {
        QTranslator* translations = installQtTranslations();
        QVERIFY2(translations != nullptr, "Qt's Japanese translations are not installed");
        QtPrompts prompts{QString()};

        QStringList buttons;
        whenModalOf<QWidget>([&buttons](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box != nullptr);
            for (QAbstractButton* b : box->buttons())
                buttons << b->text().remove(QRegularExpression("\\(&.\\)|&"));
            box->button(QMessageBox::Cancel)->click();
        });
        QCOMPARE(prompts.confirmWithCancel("保存しますか？"_sj), Answer::Cancel);
        QStringList expected{u("はい"), u("いいえ"), u("キャンセル")};
        buttons.sort();
        expected.sort();
        QCOMPARE(buttons, expected);

        QString title;
        QStringList texts;
        whenModalOf<QWidget>([&](QWidget* modal) {
            title = modal->windowTitle();
            for (QLabel* l : modal->findChildren<QLabel*>())
                texts << l->text();
            for (QPushButton* b : modal->findChildren<QPushButton*>())
                texts << b->text();
            qobject_cast<QDialog*>(modal)->reject();
        });
        FileDialogRequest request;
        request.filter = "*.prp";
        request.startFolder = sjis::encode(QDir::tempPath().toStdString());
        QCOMPARE(prompts.saveFileName(request), std::nullopt);
        QCOMPARE(title, u("名前を付けて保存"));
        const QString all = texts.join('|');
        for (const char* expected : {"ファイル名", "保存", "キャンセル"})
            QVERIFY2(all.contains(u(expected)), qPrintable(all));
        QCoreApplication::removeTranslator(translations);
        delete translations;
    }

    void fileAndPrintDialogsWriteSizesDatesAndPagesInJapanese()
    {
        QVERIFY(installQtTranslations() != nullptr);
        QTemporaryDir folder;
        QDir(folder.path()).mkdir("tasu");
        QFile copy(folder.filePath("a.prp"));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(QByteArray(733, 'x'));
        copy.close();

        QStringList shown; // size, type of the folder, date of the file, as the save dialog's list shows them
        whenModalOf<QFileDialog>([&shown, &folder](QFileDialog* dialog) {
            auto* model = dialog->findChild<QFileSystemModel*>();
            if (model != nullptr) {
                const QModelIndex file = model->index(folder.filePath("a.prp"));
                const QModelIndex sub = model->index(folder.filePath("tasu"));
                // The list is filled by a thread of its own.
                QTRY_VERIFY(!model->data(file.siblingAtColumn(1)).toString().isEmpty());
                QTRY_VERIFY(!model->data(sub.siblingAtColumn(2)).toString().isEmpty());
                shown << model->data(file.siblingAtColumn(1)).toString()
                      << model->data(sub.siblingAtColumn(2)).toString()
                      << model->data(file.siblingAtColumn(3)).toString();
            }
            dialog->reject();
        });
        QtPrompts prompts{QString()};
        FileDialogRequest request;
        request.filter = "*.prp";
        request.startFolder = sjis::encode(folder.path().toStdString()) + "/";
        QCOMPARE(prompts.saveFileName(request), std::nullopt);
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[0], u("733 バイト"));
        QCOMPARE(shown[1], u("フォルダー"));
        QVERIFY2(QRegularExpression("^\\d{4}/\\d{2}/\\d{2} ").match(shown[2]).hasMatch(), qPrintable(shown[2]));

        QPrinter printer;
        QPrintDialog print(&printer);
        print.show();
        QStringList english;
        for (QAbstractButton* b : print.findChildren<QAbstractButton*>())
            for (const char* text : {"Pages", "Off", "Long side binding", "Short side binding"})
                if (b->text() == text) english << b->text();
        for (QGroupBox* g : print.findChildren<QGroupBox*>())
            if (g->title() == "Double Sided Printing") english << g->title();
        QVERIFY2(english.isEmpty(), qPrintable(english.join('|')));
        QCOMPARE(print.findChild<QRadioButton*>("pagesRadioButton")->text(), u("ページ指定"));
        print.hide();
    }
};

TAVOLA_GUI_TEST(tst_Desktop)
#include "tst_Desktop.moc"

// The desktop as a teacher works it, in a copy of the sample courseware: which worksheet stays in front after
// closes, pop-ups and dialogs, cascading, the Japanese standard dialogs, student mode's menus, a figure dragged to
// the page edge, resizing the main window, and the names the save dialog and the captions use.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "app/TfrmMain.h"
#include "app/open_flows.h"
#include "app/qt_program.h"
#include "platform/prompts.h"
#include "platform/qt/qt_prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_translations.h"
#include "platform/sjis.h"
#include "worksheet/TfrmPrint.h"
#include "worksheet/TfrmSettei.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>

using namespace tavola;
using tavola::test::u;

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

    TfrmPrint* open(int section, int unit)
    {
        if (main->openUnit({1, section, unit, 0}, false) != OpenResult::Opened) return nullptr;
        return main->currentWorksheet();
    }

    QMdiSubWindow* frame(TfrmPrint* sheet) const { return qobject_cast<QMdiSubWindow*>(sheet->parentWidget()); }
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

// Runs the steps on the modal dialog once it is up (the test waits inside its event loop meanwhile).
void whenModal(std::function<void(QWidget*)> steps)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, steps] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        steps(modal);
    });
    poll->start();
}

[[maybe_unused]] QStringList visibleMenus(QMenuBar* bar)
{
    QStringList out;
    for (QAction* a : bar->actions())
        if (a->isVisible() && a->menu() != nullptr) out << a->text();
    return out;
}

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

    void standardDialogsSpeakJapanese()
    {
        QTranslator* translations = installQtTranslations();
        QVERIFY2(translations != nullptr, "Qt's Japanese translations are not installed");
        QtPrompts prompts;

        QStringList buttons;
        whenModal([&buttons](QWidget* modal) {
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
        whenModal([&](QWidget* modal) {
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
};

TAVOLA_GUI_TEST(tst_Desktop)
#include "tst_Desktop.moc"

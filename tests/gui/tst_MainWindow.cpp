// The main window as the program starts it, in a copy of the sample courseware: the caption, the command panel,
// the menus, teacher and student mode, the start-up messages, the keys, the school-name dialog, the tips panel,
// help, and the save pop-up.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "app/TfrmJuku.h"
#include "app/TfrmMain.h"
#include "app/TfrmVersion.h"
#include "app/app_texts.h"
#include "app/qt_program.h"
#include "authoring/TfrmEditIndex.h"
#include "platform/prompts.h"
#include "platform/qt/qt_prompts.h"
#include "platform/qt/qt_text.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>

using namespace tavola;
using tavola::test::u;

namespace {

// A courseware folder (the sample when it has its index, else a tiny one), its own settings folder, scripted
// messages, and the program's windows made the way the program makes them, from inside the courseware folder.
struct Fixture : test::ProgramFixture {
    QList<QUrl> opened;

    Fixture()
    {
        if (!copySample()) {
            QFile index(dir() + "/Main.ind");
            index.open(QIODevice::WriteOnly);
            index.write(sjis::encode("分数の計算\r\n\r\n分数のたし算,tasu\\\\tasu\r\n>>\r\n").c_str());
            QImage title(40, 30, QImage::Format_RGB32);
            title.fill(Qt::yellow);
            title.save(dir() + "/Title.BMP", "BMP");
        }
        QDir().mkpath(dir() + "/help");
        QFile help(dir() + "/help/fraction.htm");
        help.open(QIODevice::WriteOnly);
        help.write("<html><body><a id=\"902\">902</a></body></html>");
    }

    void create()
    {
        createWindows();
        main->setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }

    void start()
    {
        create();
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
    }

    QAction* action(const char* name) const { return child<QAction>(name); }

    std::string setting(const char* name)
    {
        auto r = settings->readInteger(name, -99);
        return r ? std::to_string(*r) : "(not a number)";
    }
};

// The unit selection window that 開く and 学習 show is cancelled as soon as it is up.
void cancelTheUnitSelection()
{
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
}

QStringList menuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) texts << a->text();
    return texts;
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT

private slots:
    void captionPanelAndControls()
    {
        Fixture f;
        f.start();
        QCOMPARE(f.main->windowTitle(), u("Tavola++ 算数問題集２／分数の計算"));
        QVERIFY2(f.prompts.shown.empty(), f.prompts.lastUtf8().c_str());

        QCOMPARE(f.main->pnlMain->width(), TfrmMain::kPanelWidth);
        QCOMPARE(f.main->pnlMain->palette().color(QPalette::Window), QColor(255, 255, 240));
        QVERIFY(f.main->pnlMain->mapTo(f.main, QPoint(0, 0)).x() < 5); // docked on the left

        struct Caption {
            const char* name;
            const char* text;
        };
        const Caption captions[] = {
            {"btnLock", "先生用"},
            {"btnFpClose", "閉じる"},
            {"btnOpenMaster", "開  く "},
            {"btnSave", "保　存　"},
            {"btnStartPrint", "印　刷　"},
            {"btnEdit", "編　集　"},
            {"btnTest", "学　習"},
            {"btnLogOn", "学習者"},
            {"btnKaitou", "解答表示"},
            {"btnKran", "解答欄　"},
            {"btnCopy", "コピー"},
            {"btnCancel", "キャンセル"},
            {"btnSaveMaster", "上書き保存"},
            {"btnSaveCopy", "名前を付けて保存"},
            {"btnShukusho", "縮小"},
            {"btnAdd", "追　加　"},
            {"btnOpenCopy", "開く"},
            {"btnEditMaster", "マスターファイルを編集"},
            {"btnEditCopy", "コピーファイルを編集"},
        };
        for (const Caption& c : captions) {
            QPushButton* b = f.button(c.name);
            QVERIFY2(b != nullptr, c.name);
            QCOMPARE(b->text(), u(c.text));
        }
        QCOMPARE(f.button("btnLock")->toolTip(), u("編集機能のON/OFF"));
        QCOMPARE(f.button("btnFpClose")->toolTip(), u("閉じる"));
        QCOMPARE(f.button("btnScroll")->toolTip(), u("スクロール"));
        for (const char* name : {"btnLock", "btnFpClose", "btnOpenMaster", "btnTest", "btnKaitou"})
            QVERIFY2(!f.button(name)->icon().isNull(), name);

        QCOMPARE(f.child<QLineEdit>("edtLogOnName")->text(), u("共通"));
        QVERIFY(f.child<QLineEdit>("edtLogOnName")->isReadOnly());
        QCOMPARE(f.child<QCheckBox>("chkBekkai")->text(), u("別解表示"));
        QVERIFY(f.child<QCheckBox>("chkBekkai")->isChecked());
        QSpinBox* gyou = f.child<QSpinBox>("spnGyouSpace");
        QCOMPARE(gyou->minimum(), -5);
        QCOMPARE(gyou->maximum(), 200);
        QCOMPARE(gyou->value(), 30);
        QSpinBox* moji = f.child<QSpinBox>("spnMojiSize");
        QCOMPARE(moji->minimum(), 8);
        QCOMPARE(moji->maximum(), 50);
        QCOMPARE(moji->value(), 10);
        QCOMPARE(f.child<QLabel>("lblGyouSpace")->text(), u("主行間"));
        QCOMPARE(f.child<QLabel>("lblMoji")->text(), u("文　字"));
        QCOMPARE(f.child<QLabel>("lblSize")->text(), u("サイズ"));

        // Copy and cancel wait for a dragged rectangle; the answer button was enabled with answers on.
        QVERIFY(!f.button("btnCopy")->isEnabled());
        QVERIFY(!f.button("btnCancel")->isEnabled());
        QVERIFY(f.button("btnKaitou")->isEnabled());
        QVERIFY(f.main->shellState().showAnswers);

        // Controls nobody sees, and command buttons that never keep the focus.
        for (const char* name : {"pnlSize", "pnlEdit", "pnlSave", "grbDoYouKnow"})
            QVERIFY2(f.child<QWidget>(name)->isHidden(), name);
        for (const char* name : {"btnShukusho", "btnAdd", "btnScroll", "btnOpenCopy"})
            QVERIFY2(f.button(name)->isHidden(), name);
        for (const char* name :
             {"btnOpenMaster", "btnSave", "btnStartPrint", "btnEdit", "btnKran", "btnKaitou", "btnFpClose"})
            QCOMPARE(f.button(name)->focusPolicy(), Qt::NoFocus);
        QCOMPARE(f.child<QWidget>("pnlSize")->palette().color(QPalette::Window), QColor(224, 224, 224));

        // Start-up focuses 学習; the title window fills the free area beside the panel.
        QCOMPARE(QApplication::focusWidget(), f.button("btnTest"));
        QMdiSubWindow* title = f.main->titleWindow();
        QCOMPARE(title->width(), f.main->width() - TfrmMain::kPanelWidth - 10);
        QCOMPARE(f.main->mdiArea()->activeSubWindow(), title);
        QVERIFY(!f.button("btnTitle")->icon().isNull());
        QCOMPARE(f.button("btnTitle")->focusPolicy(), Qt::NoFocus);
    }

    // The window manager is given each caption as it is: the program sets no display name for the platform to
    // append, and its message boxes carry the application title.
    void captionsAreTheWindowsOwnTexts()
    {
        const QString testName = QCoreApplication::applicationName();
        setUpApplication();
        const QString name = QCoreApplication::applicationName();
        const QString shownName = QGuiApplication::applicationDisplayName();
        QCoreApplication::setApplicationName(testName);
        QCOMPARE(shownName, name);

        QtPrompts prompts(u(kApplicationTitle));
        QString boxCaption;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            boxCaption = box->windowTitle();
            box->accept();
        });
        prompts.message("x");
        QCOMPARE(boxCaption, u("Tavola++ 算数問題集２・分数の計算"));
    }

    void menusAndTheWindowMenu()
    {
        Fixture f;
        f.start();
        QList<QMenu*> menus;
        QStringList titles;
        for (QAction* a : f.main->menuBar()->actions()) {
            menus << a->menu();
            titles << a->text();
        }
        QCOMPARE(titles, QStringList({u("ファイル(&F)"), u("編集(&E)"), u("ウィンドウ(&W)"), u("ヘルプ(&H)")}));
        QCOMPARE(menuTexts(menus[0]), QStringList({u("開く(&O)"), u("コピーファイルを開く(&K)"), u("タブレットで学習…"), u("終了(&X)")}));
        QCOMPARE(menuTexts(menus[1]), QStringList({u("目次作成(&C)"), u("学校名・塾名(&J)"), u("学級の記録(&G)")}));
        QCOMPARE(menuTexts(menus[3]),
                 QStringList({u("使い方(&U)"), u("バージョン(&V)"), u("ご存じですか(&D)"), u("補足")}));

        // Opening the window menu without worksheets disables its four items; the child windows are listed.
        QMenu* window = menus[2];
        emit window->aboutToShow();
        QStringList items = menuTexts(window);
        QCOMPARE(items.mid(0, 4),
                 QStringList({u("最大表示(&M)"), u("タイル表示(&T)"), u("カスケード表示(&C)"), u("すべて閉じる(&A)")}));
        for (QAction* a : f.main->windowMenuItems)
            QVERIFY(!a->isEnabled());
        QCOMPARE(items.size(), 5);
        QVERIFY(items[4].endsWith(u("タイトル")));

        f.main->shellState().worksheetCount = 1;
        emit window->aboutToShow();
        for (QAction* a : f.main->windowMenuItems)
            QVERIFY(a->isEnabled());
        QCOMPARE(menuTexts(window).size(), 5); // the list is rebuilt, not appended to
    }

    void lockTogglesStudentModeAndWritesKeyLock()
    {
        Fixture f;
        f.start();
        QCOMPARE(f.setting("KeyLock"), std::string("0"));
        const char* hidden[] = {"btnFpClose", "btnOpenMaster", "btnSave",   "btnStartPrint", "btnEdit",
                                "btnKran",    "chkBekkai",     "btnKaitou", "spnGyouSpace",  "spnMojiSize",
                                "pnlCopy",    "lblGyouSpace",  "lblMoji",   "lblSize"};
        const char* kept[] = {"btnLock", "btnTest", "btnLogOn", "edtLogOnName"};
        auto menuVisible = [&](int i) { return f.main->menuBar()->actions()[i]->isVisible(); };

        QTest::mouseClick(f.button("btnLock"), Qt::LeftButton);
        QCOMPARE(f.button("btnLock")->text(), u("生徒用"));
        QVERIFY(f.main->shellState().keyLock);
        QCOMPARE(f.setting("KeyLock"), std::string("1"));
        for (const char* name : hidden)
            QVERIFY2(!f.child<QWidget>(name)->isVisible(), name);
        for (const char* name : kept)
            QVERIFY2(f.child<QWidget>(name)->isVisible(), name);
        QVERIFY(!menuVisible(0) && !menuVisible(1) && !menuVisible(2));
        QVERIFY(menuVisible(3));
        QVERIFY(!f.action("mnuDoYouKnow")->isVisible());
        QVERIFY(f.action("mnuHowTo")->isVisible() && f.action("mnuVersion")->isVisible() &&
                f.action("mnuHosoku")->isVisible());

        QTest::mouseClick(f.button("btnLock"), Qt::LeftButton);
        QCOMPARE(f.button("btnLock")->text(), u("先生用"));
        QCOMPARE(f.setting("KeyLock"), std::string("0"));
        for (const char* name : hidden)
            QVERIFY2(f.child<QWidget>(name)->isVisible(), name);
        QVERIFY(menuVisible(0) && menuVisible(1) && menuVisible(2));
        QVERIFY(f.action("mnuDoYouKnow")->isVisible());
    }

    void storedKeyLockAndPaperAreAppliedAtStartUp()
    {
        struct Case {
            int keyLock;
            int paper;
            const char* radio;
            int chosen; // the width the print dialog names
        };
        const Case cases[] = {
            {5, 999, "radA4", 630}, // any non-zero is student mode; an unknown width checks A4
            {0, 546, "radB5", 546},
            {1, 891, "radA3", 891},
        };
        for (const Case& c : cases) {
            Fixture f;
            QVERIFY(f.settings->writeInteger("KeyLock", c.keyLock));
            QVERIFY(f.settings->writeInteger("PaperSize", c.paper));
            f.start();
            QCOMPARE(f.main->shellState().keyLock, c.keyLock != 0);
            QCOMPARE(f.button("btnLock")->text(), u(c.keyLock != 0 ? "生徒用" : "先生用"));
            QCOMPARE(f.button("btnOpenMaster")->isVisible(), c.keyLock == 0);
            QCOMPARE(f.setting("KeyLock"), std::string(c.keyLock != 0 ? "1" : "0"));
            QVERIFY2(f.child<QRadioButton>(c.radio)->isChecked(), c.radio);
            QCOMPARE(f.main->chosenPaperWidth(), c.chosen);
        }
    }

    void missingMainIndexEndsTheProgramWithOneMessage()
    {
        Fixture f;
        QFile::remove(f.dir() + "/Main.ind");
        f.create();
        QSignalSpy aborted(f.main, &TfrmMain::startupAborted);
        f.main->show();
        QCOMPARE(f.prompts.shownUtf8(),
                 std::vector<std::string>{"ファイル " + f.dir().toStdString() + "/Main.ind が見つかりません"});
        QCOMPARE(aborted.count(), 1);
        QTRY_VERIFY(!f.main->isVisible());
        QCOMPARE(f.main->showOutcome(), ShowOutcome::Quit);
    }

    void missingTitlePictureIsReportedAndTheButtonIsEmpty()
    {
        Fixture f;
        QFile::remove(f.dir() + "/Title.BMP");
        f.start();
        QCOMPARE(f.prompts.shownUtf8(),
                 std::vector<std::string>{"ファイル " + f.dir().toStdString() + "/Title.BMP が見つかりません"});
        QVERIFY(f.main->isVisible());
        QCOMPARE(f.button("btnTitle")->size(), QSize(10, 20));
        QCOMPARE(f.main->showOutcome(), ShowOutcome::Completed);
    }

    void shiftEscapeAloneEndsTheProgram()
    {
        Fixture f;
        f.start();
        QTest::keyClick(f.button("btnTest"), Qt::Key_Escape, Qt::ShiftModifier | Qt::ControlModifier);
        QTest::keyClick(f.button("btnTest"), Qt::Key_Escape);
        QTest::qWait(20);
        QVERIFY(f.main->isVisible());
        QTest::keyClick(f.button("btnTest"), Qt::Key_Escape, Qt::ShiftModifier);
        QTRY_VERIFY(!f.main->isVisible());
    }

    void keysAreConsumedButTypedCharactersArrive()
    {
        Fixture f;
        f.start();
        QApplication::clipboard()->setText("before");
        QVERIFY(!f.button("btnCopy")->isEnabled());
        QSpinBox* moji = f.child<QSpinBox>("spnMojiSize");
        moji->setFocus();
        QTest::keyClick(moji, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
        // The arrow keys do not step the spin edits.
        QTest::keyClick(moji, Qt::Key_Up);
        QTest::keyClick(moji, Qt::Key_PageUp);
        QCOMPARE(moji->value(), 10);
        // Typing still works.
        QSpinBox* gyou = f.child<QSpinBox>("spnGyouSpace");
        gyou->setFocus();
        gyou->selectAll();
        QTest::keyClicks(gyou, "45");
        QCOMPARE(gyou->value(), 45);
        QTest::keyClick(gyou, Qt::Key_Backspace);
        QCOMPARE(gyou->value(), 4);
        // Enter is Study, which with no worksheet and the unit selection cancelled opens nothing.
        cancelTheUnitSelection();
        QTest::keyClick(gyou, Qt::Key_Return);
        QVERIFY(f.main->isVisible());
        QVERIFY(f.prompts.shown.empty());
    }

    void schoolNameDialogKeepsItsTextWithoutAWorksheet()
    {
        Fixture f;
        QVERIFY(f.settings->writeText("theSchool", "ＣＡＩ中学校"_sj));
        f.start();
        QCOMPARE(f.main->shellState().schoolName, "ＣＡＩ中学校"_sj);
        TfrmJuku* juku = f.main->jukuWindow();
        QVERIFY(juku != nullptr);
        QCOMPARE(juku->windowTitle(), u("校名／塾名入力"));

        // Runs the dialog from the menu; act() works it while it is open.
        auto runDialog = [&](std::function<void()> act) {
            bool acted = false;
            QTimer::singleShot(0, juku, [&] {
                QVERIFY(juku->isVisible());
                act();
                acted = true;
            });
            f.action("mnuJuku")->trigger();
            QVERIFY(acted);
            QVERIFY(!juku->isVisible());
        };

        // No worksheet open: the edit is not filled from the stored name.
        runDialog([&] {
            QCOMPARE(juku->edtSchool->text(), QString());
            juku->edtSchool->setText(u("桜小学校　５年２組"));
            QTest::mouseClick(juku->btnOK, Qt::LeftButton);
        });
        QCOMPARE(f.main->shellState().schoolName, "桜小学校　５年２組"_sj);
        QCOMPARE(*f.settings->readText("theSchool", ""), "桜小学校　５年２組"_sj);

        f.main->shellState().schoolName = "別の名前"_sj;
        runDialog([&] {
            QCOMPARE(juku->edtSchool->text(), u("桜小学校　５年２組")); // what it held last
            juku->edtSchool->setText(u("取り消す名前"));
            QTest::mouseClick(juku->btnCancel, Qt::LeftButton);
        });
        QCOMPARE(f.main->shellState().schoolName, "別の名前"_sj);
        QCOMPARE(*f.settings->readText("theSchool", ""), "桜小学校　５年２組"_sj);

        // With a worksheet open the edit shows the stored name; a character Shift-JIS lacks is refused.
        f.main->shellState().worksheetCount = 1;
        runDialog([&] {
            QCOMPARE(juku->edtSchool->text(), u("別の名前"));
            juku->edtSchool->setText(u("학교"));
            QTest::mouseClick(juku->btnOK, Qt::LeftButton);
            QVERIFY(juku->isVisible());
            QCOMPARE(f.prompts.shown.size(), std::size_t(1));
            QTest::mouseClick(juku->btnCancel, Qt::LeftButton);
        });
        QCOMPARE(f.main->shellState().schoolName, "別の名前"_sj);
    }

    void tipsPanelOpensHelpAndRemembersItsCheckBox()
    {
        Fixture f;
        f.start();
        QWidget* tips = f.child<QWidget>("grbDoYouKnow");
        QVERIFY(!tips->isVisible());
        QCOMPARE(tips->palette().color(QPalette::Window), QColor(192, 255, 192));
        f.action("mnuDoYouKnow")->trigger();
        QVERIFY(tips->isVisible());
        int left = (f.main->width() - TfrmMain::kPanelWidth - tips->width() - 10) / 2 + TfrmMain::kPanelWidth;
        QCOMPARE(tips->x(), left);

        struct Tip {
            const char* name;
            const char* caption;
            const char* anchor;
        };
        const Tip tipButtons[] = {
            {"btnStudy", "［学習］ボタンで勉強できます", "902"},
            {"btnWord", "★Microsoft Word（ワード）との連携", "842"},
            {"btnFax", "FAXソフトで送れます", "901"},
            {"btnCFlag", "自作の学級旗が印刷できます。", "840"},
            {"btnClipBoard", "クリップボードへコピーして画像を加工できます。", "850"},
        };
        for (const Tip& t : tipButtons) {
            QPushButton* b = f.button(t.name);
            QCOMPARE(b->text(), u(t.caption));
            QTest::mouseClick(b, Qt::LeftButton);
            QCOMPARE(f.opened.last().fragment(), QString(t.anchor));
            QCOMPARE(f.opened.last().toLocalFile(), QDir(f.dir()).canonicalPath() + "/help/fraction.htm");
        }
        QVERIFY(f.button("btnRuidai")->isHidden());
        QCOMPARE(f.button("btnRuidai")->text(), u("類題を使おう"));
        QCOMPARE(f.child<QCheckBox>("chkNextTime")->text(), u("次の起動時にも表示する"));

        f.child<QCheckBox>("chkNextTime")->setChecked(false);
        QTest::mouseClick(f.button("btnClose"), Qt::LeftButton);
        QVERIFY(!tips->isVisible());
        QCOMPARE(f.setting("ShowDoYouKnow"), std::string("0"));
    }

    void helpPagesAndMissingHelp()
    {
        Fixture f;
        QFile hosoku(f.dir() + "/hosoku.htm");
        QVERIFY(hosoku.open(QIODevice::WriteOnly));
        hosoku.close();
        f.start();
        f.action("mnuHowTo")->trigger();
        QCOMPARE(f.opened.size(), 1);
        QVERIFY(f.opened[0].fragment().isEmpty()); // the contents page
        f.action("mnuHosoku")->trigger();
        QCOMPARE(f.opened.size(), 2);
        QVERIFY(f.opened[1].toLocalFile().endsWith("/hosoku.htm"));

        // A desktop that cannot open the page (no browser launcher) says so, and where the page is.
        f.main->setUrlOpener([](const QUrl&) { return false; });
        f.action("mnuHosoku")->trigger();
        QCOMPARE(f.prompts.shown.size(), std::size_t(1));
        const QString said = toQString(f.prompts.shown[0].text);
        QVERIFY2(said.startsWith(u("ヘルプのページを開くブラウザが見つかりません。")), qPrintable(said));
        QVERIFY2(said.endsWith(QDir(f.dir()).canonicalPath() + "/hosoku.htm"), qPrintable(said));
        QCOMPARE(said.contains("xdg-utils"), QStandardPaths::findExecutable("xdg-open").isEmpty());
        f.prompts.clear();

        // xdg-open that finds no browser for the page fails after it started: that is told the same way.
        QTemporaryDir bin;
        QFile fake(bin.path() + "/xdg-open");
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\nexit 3\n");
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ":" + path);
        f.main->setUrlOpener([&f](const QUrl& url) { return f.main->openInBrowser(url); });
        f.action("mnuHosoku")->trigger();
        QTRY_COMPARE(f.prompts.shown.size(), std::size_t(1));
        qputenv("PATH", path);
        QVERIFY(toQString(f.prompts.shown[0].text).endsWith(QDir(f.dir()).canonicalPath() + "/hosoku.htm"));
        f.prompts.clear();
        f.main->setUrlOpener([&f](const QUrl& url) {
            f.opened << url;
            return true;
        });

        // Without its page, help is a message and nothing is opened.
        QVERIFY(QDir(f.dir() + "/help").removeRecursively());
        QFile::remove(f.dir() + "/hosoku.htm");
        f.action("mnuHowTo")->trigger();
        f.action("mnuHosoku")->trigger();
        QCOMPARE(f.opened.size(), 2);
        QCOMPARE(f.prompts.shownUtf8(),
                 (std::vector<std::string>{"ファイル " + f.dir().toStdString() + "/help/fraction.htm が見つかりません",
                                           "ファイル " + f.dir().toStdString() + "/hosoku.htm が見つかりません"}));
    }

    void savePopupPlacesItselfAndHidesOverThePanel()
    {
        Fixture f;
        f.start();
        QWidget* popup = f.child<QWidget>("pnlSave");
        // 保存 without a worksheet does nothing.
        QTest::mouseClick(f.button("btnSave"), Qt::LeftButton);
        QVERIFY(!popup->isVisible());

        f.main->showSavePopup(false);
        QVERIFY(popup->isVisible());
        QVERIFY(!f.button("btnSaveMaster")->isEnabled());
        QPushButton* save = f.button("btnSave");
        QPoint at = save->mapTo(f.main, QPoint(0, 0));
        QCOMPARE(popup->pos(), QPoint(at.x() + save->width() - 30, at.y() - 5));

        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), f.main->pnlMain->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(f.main->pnlMain, &move);
        QVERIFY(!popup->isVisible());

        // The commands that hide it.
        f.main->showSavePopup(true);
        QVERIFY(f.button("btnSaveMaster")->isEnabled());
        cancelTheUnitSelection();
        QTest::mouseClick(f.button("btnOpenMaster"), Qt::LeftButton);
        QVERIFY(!popup->isVisible());
    }

    void commandsThatNeedNoWorksheet()
    {
        Fixture f;
        f.start();
        f.button("btnAdd")->click();
        QCOMPARE(f.prompts.lastUtf8(), std::string("追加する元のファイルがありません"));

        f.prompts.clear();
        // No worksheet: the index editor comes up, without a message.
        QDialog* editIndex = f.main->editIndexWindow();
        QVERIFY(editIndex != nullptr);
        QTimer::singleShot(0, editIndex, [editIndex] { editIndex->reject(); });
        f.action("mnuEditIndex")->trigger();
        QVERIFY(f.prompts.shown.empty());
        f.main->shellState().worksheetCount = 1;
        f.action("mnuEditIndex")->trigger();
        QCOMPARE(f.prompts.lastUtf8(), std::string("開いているファイルをすべて閉じてください"));

        // 解答表示 flips the answers on each click.
        bool before = f.main->shellState().showAnswers;
        QTest::mouseClick(f.button("btnKaitou"), Qt::LeftButton);
        QCOMPARE(f.main->shellState().showAnswers, !before);

        // The version window.
        TfrmVersion* version = f.main->versionWindow();
        bool seen = false;
        QTimer::singleShot(0, version, [&] {
            seen = version->isVisible();
            QCOMPARE(version->windowTitle(), u("バージョン情報"));
            QCOMPARE(version->findChild<QLabel*>("lblVersion")->text(), u("Version 4.10 2005.06.28"));
            QCOMPARE(version->findChild<QLabel*>("lblProduct")->text(), u("Tavola++ 算数問題集２／分数の計算"));
            QTest::mouseClick(version->btnClose, Qt::LeftButton);
        });
        f.action("mnuVersion")->trigger();
        QVERIFY(seen);

        // 終了 closes the main window.
        f.action("mnuExit")->trigger();
        QTRY_VERIFY(!f.main->isVisible());
    }
};

TAVOLA_GUI_TEST(tst_MainWindow)
#include "tst_MainWindow.moc"

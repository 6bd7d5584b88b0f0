// Logging on as a learner meets it, in a copy of the sample courseware: 学習者, the name window and the password
// window worked by typing and clicking; the first log-on sets a password (typed twice), the next one asks once,
// another lesson asks for the same password and keeps it; "共通" is never asked; the length rule; a cancelled password;
// refused names.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "app/TfrmInputName.h"
#include "app/TfrmPassword.h"
#include "courseware/TfrmMenu.h"
#include "platform/line_file.h"
#include "platform/profile_file.h"
#include "platform/qt/qt_prompts.h"
#include "platform/qt/qt_text.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace tavola;
using tavola::test::u;

namespace {

struct Program : test::ProgramFixture {
    Program()
    {
        copySample();
        if (!showWindows()) qWarning("main window not shown");
    }

    TfrmInputName* nameWindow() const { return windows->frmInputName.get(); }

    // Runs steps once the modal window named appears (the test waits meanwhile in that window's loop).
    static QWidget* modal() { return QApplication::activeModalWidget(); }
    template <class T> static T* in(const char* name) { return modal()->findChild<T*>(name); }
    // Japanese text arrives committed, as from an input method; keyClicks types only ASCII.
    static void type(const char* field, const QString& text)
    {
        QLineEdit* edit = in<QLineEdit>(field);
        edit->setFocus();
        bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
        if (ascii)
            QTest::keyClicks(edit, text);
        else
            edit->insert(text);
    }
    static void enter(const char* field) { QTest::keyClick(in<QLineEdit>(field), Qt::Key_Return); }

    // 学習者, the name typed and Enter; passwordSteps run in the password window when it comes.
    void logOn(const QString& name, std::function<void()> passwordSteps = {}, std::function<void()> after = {})
    {
        test::whenModal(nameWindow(), [=, this] {
            type("edtName", name);
            if (passwordSteps) test::whenModal(windows->frmPassword.get(), passwordSteps);
            enter("edtName");
            if (after) after();
        });
        QTest::mouseClick(button("btnLogOn"), Qt::LeftButton);
    }
    // In the password window: the password (and the confirmation when it is asked), then Enter.
    static std::function<void()> password(const QString& pw, bool* asksTwice = nullptr)
    {
        return [=] {
            bool twice = in<QLineEdit>("mskPW2")->isVisible();
            if (asksTwice != nullptr) *asksTwice = twice;
            type("mskPW", pw);
            if (twice) type("mskPW2", pw);
            enter("mskPW");
        };
    }
    QString shownLearner() const { return child<QLineEdit>("edtLogOnName")->text(); }
    std::string dataFile(const char* folder, const char* name) const
    {
        return systemDir() + folder + sjis::encode(name) + ".ini";
    }
};

} // namespace

class tst_LogOn : public QObject {
    Q_OBJECT

private slots:
    void aPasswordIsSetOnceAskedOnceAndFollowsTheLearnerToAnotherLesson()
    {
        Program p;
        bool twice = false;
        p.logOn("taro", Program::password("abcd", &twice));
        QVERIFY(twice);
        QCOMPARE(p.shownLearner(), u("taro"));
        QCOMPARE(profile::readString(p.dataFile("tasu\\", "taro"), "password", "pw", "?"), std::string("abcd"));
        QCOMPARE(*p.settings->readText("LogOnName", ""), std::string("taro"));
        QVERIFY(p.nameWindow()->nameList().names().back() == "taro");

        p.logOn("taro", Program::password("abcd", &twice));
        QVERIFY(!twice);
        QCOMPARE(p.shownLearner(), u("taro"));

        // The unit selection goes on to lesson 2 and is left with Cancel: lesson 2 is the current lesson.
        test::whenModal(p.main->menuWindow(), [] {
            test::clickRow(Program::in<QListWidget>("lstLesson"), 1);
            QTest::mouseClick(Program::in<QPushButton>("btnCancel"), Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnOpenMaster"), Qt::LeftButton);
        // taro's password follows him there: it is asked once (not set anew, which a classmate could do) and then
        // guards lesson 2's file too.
        QString asked;
        p.logOn("taro", [&] {
            asked = Program::in<QLabel>("lblPW")->text();
            Program::password("abcd", &twice)();
        });
        QVERIFY(!twice);
        QCOMPARE(asked, u("パスワードを入力してください"));
        QCOMPARE(profile::readString(p.dataFile("kake\\", "taro"), "password", "pw", "?"), std::string("abcd"));
        // A learner with no password in any lesson still sets a new one.
        p.logOn("hana", Program::password("hana1"));
        QCOMPARE(profile::readString(p.dataFile("kake\\", "hana"), "password", "pw", "?"), std::string("hana1"));
        QVERIFY2(p.prompts.shown.empty(), p.prompts.lastUtf8().c_str());
    }

    void theCommonLearnerIsNeverAskedForAPassword()
    {
        Program p;
        profile::writeString(p.dataFile("tasu\\", "共通"), "password", "pw", "abcd");
        // A password window would wait here until the test's time runs out.
        p.logOn(u("共通"));
        QCOMPARE(p.shownLearner(), u("共通"));
        QVERIFY(!p.nameWindow()->isVisible());
    }

    void threeHalfWidthCharactersAreTooShortTwoDoubleByteOnesAreNot()
    {
        Program p;
        p.logOn("hana", [&p] {
            Program::type("mskPW", "abc");
            Program::type("mskPW2", "abc");
            Program::enter("mskPW");
            QCOMPARE(p.prompts.lastUtf8(), std::string("４文字以上にしてください"));
            QVERIFY(Program::modal()->objectName() == "frmPassword");
            Program::in<QLineEdit>("mskPW")->clear();
            Program::in<QLineEdit>("mskPW2")->clear();
            Program::type("mskPW", u("ＡＢ"));
            Program::type("mskPW2", u("ＡＢ"));
            Program::enter("mskPW2");
        });
        QCOMPARE(p.shownLearner(), u("hana"));
        QCOMPARE(p.prompts.shown.size(), std::size_t{1});
    }

    void aCancelledPasswordKeepsTheLearnerAndTheNameWindowOpen()
    {
        Program p;
        p.logOn(
            "jiro", [] { QTest::mouseClick(Program::in<QPushButton>("btnCancel"), Qt::LeftButton); },
            [&p] {
                QVERIFY(Program::modal() == p.nameWindow());
                QCOMPARE(p.main->shellState().learnerName, "共通"_sj);
                QTest::mouseClick(Program::in<QPushButton>("btnCancel"), Qt::LeftButton);
            });
        QCOMPARE(p.shownLearner(), u("共通"));
        QCOMPARE(*p.settings->readText("LogOnName", ""), "共通"_sj);
    }

    void aListOpenedElsewhereIsSavedIntoTheLearnerFolderByOk()
    {
        Program p;
        QString other = p.dir() + "/class.txt";
        writeLineFile(sjis::encode(other.toStdString()), {"hana", "taro"});
        p.prompts.queueFileName(sjis::encode(other.toStdString()));
        // 名簿を開く, then OK with no name: the list is written and the learner stays.
        test::whenModal(p.nameWindow(), [&p] {
            QTest::mouseClick(Program::in<QPushButton>("BitBtn1"), Qt::LeftButton);
            QCOMPARE(Program::in<QLineEdit>("edtMeibo")->text(), u("class.txt"));
            QCOMPARE(Program::in<QListWidget>("lstName")->count(), 2);
            QTest::mouseClick(Program::in<QPushButton>("btnOk"), Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnLogOn"), Qt::LeftButton);
        QVERIFY(readLineFile(p.systemDir() + "LogOn\\class.txt") == (Lines{"hana", "taro"}));
        // The dialog offered text files by their name.
        QStringList filters;
        test::whenModalOf<QFileDialog>([&filters](QFileDialog* d) {
            filters = d->nameFilters();
            d->reject();
        });
        QtPrompts dialogs{QString()};
        QCOMPARE(dialogs.openFileName(p.prompts.fileRequests.at(0)), std::nullopt);
        QCOMPARE(filters, QStringList{u("テキストファイル (*.txt)")});
        QCOMPARE(p.shownLearner(), u("共通"));
        // The next showing lists sname.txt again.
        test::whenModal(p.nameWindow(), [] {
            QCOMPARE(Program::in<QLineEdit>("edtMeibo")->text(), u("sname.txt"));
            QTest::mouseClick(Program::in<QPushButton>("btnCancel"), Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnLogOn"), Qt::LeftButton);
    }

    void aRefusedPasswordIsTypedAfreshNotAppendedTo()
    {
        Program p;
        profile::writeString(p.dataFile("tasu\\", "hana"), "password", "pw", "abcd");
        p.logOn("hana", [&p] {
            // Wrong, then too short: each time the field is empty for the next try.
            for (const char* typed : {"abce", "ab"}) {
                Program::type("mskPW", typed);
                Program::enter("mskPW");
                QCOMPARE(Program::in<QLineEdit>("mskPW")->text(), QString());
            }
            Program::type("mskPW", "abcd");
            Program::enter("mskPW");
        });
        QCOMPARE(p.shownLearner(), u("hana"));
        QCOMPARE(p.prompts.shownUtf8(),
                 (std::vector<std::string>{"パスワードを正しく入力してください", "４文字以上にしてください"}));
    }

    void aFirstPasswordSetMeanwhileOnAnotherComputerStandsAndIsAskedFor()
    {
        Program p;
        const std::string file = p.dataFile("tasu\\", "ken");
        p.logOn("ken", [&] {
            QVERIFY(Program::in<QLineEdit>("mskPW2")->isVisible());
            // The other computer's child set a password while this window was up.
            profile::writeString(file, "password", "pw", "other1");
            Program::type("mskPW", "mine1");
            Program::type("mskPW2", "mine1");
            Program::enter("mskPW");
            QCOMPARE(
                p.prompts.lastUtf8(),
                std::string(
                    "このあいだに別のコンピューターでパスワードが設定されました。そのパスワードを入力してください"));
            QVERIFY(!Program::in<QLineEdit>("mskPW2")->isVisible());
            QCOMPARE(Program::in<QLabel>("lblPW")->text(), u("パスワードを入力してください"));
            Program::type("mskPW", "other1");
            Program::enter("mskPW");
        });
        QCOMPARE(p.shownLearner(), u("ken"));
        QCOMPARE(profile::readString(file, "password", "pw", "?"), std::string("other1"));
    }

    void aNameIsTrimmedAndANameTooLongForAFileIsRefused()
    {
        Program p;
        // A trailing or leading blank of either width makes no second, look-alike learner.
        for (const char* typed : {"さくら ", "　さくら", " さくら　 "})
            p.logOn(u(typed), Program::password("sakura"));
        QCOMPARE(p.shownLearner(), u("さくら"));
        QVERIFY(p.nameWindow()->nameList().names() == (Lines{"公開"_sj, "さくら"_sj}));
        QString longName;
        for (int i = 0; i < 84; ++i)
            longName += u("さ");
        p.logOn(longName, {}, [&p] {
            QVERIFY(p.prompts.lastUtf8().find("長すぎます") != std::string::npos);
            QCOMPARE(Program::in<QListWidget>("lstName")->count(), 2);
            QTest::mouseClick(Program::in<QPushButton>("btnCancel"), Qt::LeftButton);
        });
        QCOMPARE(p.shownLearner(), u("さくら"));
    }

    void namesAddedAreNotDroppedByCancelWithoutAQuestion()
    {
        Program p;
        test::whenModal(p.nameWindow(), [&p] {
            Program::type("edtName", "ken");
            QTest::mouseClick(Program::in<QPushButton>("btnAdd"), Qt::LeftButton);
            // キャンセル of the question keeps the window; はい writes the list and closes.
            p.prompts.queueAnswer(Answer::Cancel);
            QTest::mouseClick(Program::in<QPushButton>("btnCancel"), Qt::LeftButton);
            QVERIFY(p.nameWindow()->isVisible());
            p.prompts.queueAnswer(Answer::Yes);
            QTest::mouseClick(Program::in<QPushButton>("btnCancel"), Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnLogOn"), Qt::LeftButton);
        QCOMPARE(p.prompts.shownUtf8(), (std::vector<std::string>(2, "名簿に追加・削除した名前を保存しますか")));
        QVERIFY(readLineFile(p.systemDir() + "LogOn\\sname.txt") == (Lines{"公開"_sj, "ken"}));
        QCOMPARE(p.shownLearner(), u("共通"));
    }

    void logOffHandsTheComputerToTheCommonLearner()
    {
        Program p;
        p.logOn("taro", Program::password("abcd"));
        QCOMPARE(p.shownLearner(), u("taro"));
        test::whenModal(p.nameWindow(),
                        [] { QTest::mouseClick(Program::in<QPushButton>("btnLogOff"), Qt::LeftButton); });
        QTest::mouseClick(p.button("btnLogOn"), Qt::LeftButton);
        QCOMPARE(p.shownLearner(), u("共通"));
        QCOMPARE(*p.settings->readText("LogOnName", ""), "共通"_sj);
    }

    void namesThatCouldLeaveTheFolderAreRefusedAtAddAndOk()
    {
        // A name of blanks alone would be an empty row in 名簿 and a file " .ini".
        const std::pair<const char*, const char*> cases[] = {
            {"..\\..\\x", "使えません"}, {" ", "空白だけ"}, {"　", "空白だけ"}, {" 　 ", "空白だけ"}};
        for (auto [name, said] : cases) {
            Program p;
            p.logOn(u(name), {}, [&p] {
                QCOMPARE(p.prompts.shown.size(), std::size_t{1});
                QTest::mouseClick(Program::in<QPushButton>("btnAdd"), Qt::LeftButton);
                QCOMPARE(p.prompts.shown.size(), std::size_t{2});
                QCOMPARE(Program::in<QListWidget>("lstName")->count(), 1); // "公開" alone
                QTest::mouseClick(Program::in<QPushButton>("btnCancel"), Qt::LeftButton);
            });
            QCOMPARE(p.main->shellState().learnerName, "共通"_sj);
            QVERIFY2(p.prompts.lastUtf8().find(said) != std::string::npos, name);
        }
    }
};

TAVOLA_GUI_TEST(tst_LogOn)
#include "tst_LogOn.moc"

// The records viewer reached from the unit selection window's 記録表示, on a copy of the sample courseware with a
// learner's records written beforehand: the counts before every unit and copy file, the records and their chart of
// the item clicked, erasing with its question and the counts of the unit selection window afterwards; and the
// all-correct window.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "app/TfrmInputName.h"
#include "courseware/TfrmMenu.h"
#include "platform/line_file.h"
#include "platform/qt/qt_text.h"
#include "practice/TfrmKiroku.h"
#include "practice/TfrmZenSeikai.h"
#include "practice/learning_records.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tavola;
using tavola::test::u;

namespace {

PracticeRecord at(int day, int score)
{
    return {{2026, 3, day, 9, 7, 0}, 0, "", score / 25, 4, score, 60};
}

struct Program : test::ProgramFixture {
    std::string file;
    std::string first = "S11分母が同じ分数のたし算"_sj;
    std::string third = "S31帯分数のたし算"_sj;

    Program()
    {
        copySample();
        file = systemDir() + "tasu\\taro.ini";
        for (int day = 1; day <= 3; ++day)
            appendRecord(file, first, at(day, 25 * day));
        for (int k = 0; k < 12; ++k)
            appendRecord(file, third, at(4, 100));
        writeLineFile(systemDir() + "tasu\\mine.prp", {"[[unitX", ">>"});
        appendRecord(file, "mine.prp", at(5, 50));
        if (!showWindows()) qWarning("main window not shown");
        main->shellState().learnerName = "taro";
    }

    // 開く, then 記録表示 in the unit selection window; steps run in the records viewer, which they close.
    void inTheViewer(std::function<void(TfrmKiroku*)> steps, std::function<void(TfrmMenu*)> afterwards = {})
    {
        TfrmMenu* menu = main->menuWindow();
        TfrmKiroku* viewer = main->kirokuWindow();
        test::whenModal(menu, [=] {
            test::whenModal(viewer, [=] {
                steps(viewer);
                QTest::mouseClick(viewer->btnReturn, Qt::LeftButton);
            });
            QTest::mouseClick(menu->findChild<QPushButton*>("btnShowRecord"), Qt::LeftButton);
            if (afterwards) afterwards(menu);
            QTest::mouseClick(menu->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
        });
        QTest::mouseClick(button("btnOpenMaster"), Qt::LeftButton);
    }
    static QStringList items(QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
};

} // namespace

class tst_TfrmKiroku : public QObject {
    Q_OBJECT

private slots:
    void everyUnitAndCopyFileShowsItsCountAndAClickShowsItsRecords()
    {
        Program p;
        p.inTheViewer([](TfrmKiroku* viewer) {
            QCOMPARE(viewer->windowTitle(), u("実行記録"));
            QCOMPARE(viewer->edtName->text(), u("taro"));
            QStringList items = Program::items(viewer->lstTitle);
            QCOMPARE(items.value(0), u("分母が同じ分数"));
            QCOMPARE(items.value(1), u("03回S11分母が同じ分数のたし算"));
            QCOMPARE(items.value(2), u("  回S12分母が同じ分数のひき算"));
            QVERIFY(items.contains(u("12回S31帯分数のたし算")));
            QCOMPARE(items.last(), u("01回mine.prp"));

            test::clickRow(viewer->lstTitle, 1);
            QStringList lines = viewer->memDetail->toPlainText().split('\n');
            QCOMPARE(lines.size(), 3);
            QCOMPARE(lines[2], u("2026年03月03日 09:07 []  3/ 4  75点 01:00"));
            QCOMPARE(viewer->pbxChart->points().size(), std::size_t{3});
            QCOMPARE(viewer->pbxChart->points()[0].score, 25);

            test::clickRow(viewer->lstTitle, 0);
            QCOMPARE(viewer->memDetail->toPlainText(), u("練習の記録はありません"));
            QVERIFY(viewer->pbxChart->points().empty());
        });
        QVERIFY2(p.prompts.shown.empty(), p.prompts.lastUtf8().c_str());
    }

    void damagedLinesAreNamedUnderTheRecordsOfTheirUnit()
    {
        Program p;
        // A hand edit left a gap before key 3 and a line that is no record; the records by their own keys stay.
        const std::string r1 = recordLine(at(5, 50));
        const std::string r3 = recordLine(at(6, 75));
        writeLineFile(p.file, {"[mine.prp]", "1=" + r1, "3=" + r3, "4=" + "こわれた"_sj});
        p.inTheViewer([&](TfrmKiroku* viewer) {
            test::clickRow(viewer->lstTitle, viewer->lstTitle->count() - 1);
            QCOMPARE(viewer->memDetail->toPlainText().split('\n'),
                     (QStringList{toQString(r1), toQString(r3), u("3行目：キー 2 がありません"),
                                  u("4行目：キー 4 の記録が壊れています")}));
            QCOMPARE(viewer->pbxChart->points().size(), std::size_t{2});
        });
    }

    void erasingAsksFirstAndTheUnitSelectionRecountsItsMarks()
    {
        Program p;
        p.inTheViewer(
            [&p](TfrmKiroku* viewer) {
                QTest::mouseClick(viewer->btnErase, Qt::LeftButton);
                QCOMPARE(p.prompts.lastUtf8(), std::string("消去する単元を選んでください"));
                test::clickRow(viewer->lstTitle, 1);
                p.prompts.queueAnswer(Answer::No);
                QTest::mouseClick(viewer->btnErase, Qt::LeftButton);
                QCOMPARE(viewer->lstTitle->item(1)->text(), u("03回S11分母が同じ分数のたし算"));
                test::clickRow(viewer->lstTitle, 1);
                p.prompts.queueAnswer(Answer::Yes);
                QTest::mouseClick(viewer->btnErase, Qt::LeftButton);
                QCOMPARE(p.prompts.lastUtf8(), std::string("記録を消してもいいですか？"));
                QCOMPARE(viewer->lstTitle->item(1)->text(), u("  回S11分母が同じ分数のたし算"));
                QVERIFY(viewer->recordsErased);
            },
            [](TfrmMenu* menu) { QVERIFY(menu->unitLineDisplay(0).contains(u("[ ]"))); });
        QCOMPARE(countRecords(p.file, p.first), 0);
        QCOMPARE(countRecords(p.file, p.third), 12);
        QCOMPARE(p.prompts.unexpected, 0);
    }

    void withoutALearnerTheNameWindowComesFirst()
    {
        Program p;
        p.main->shellState().learnerName.clear();
        TfrmMenu* menu = p.main->menuWindow();
        bool asked = false;
        test::whenModal(menu, [&] {
            // The name window is cancelled: no learner, no records viewer.
            test::whenModal(p.main->inputNameWindow(), [&] {
                asked = true;
                QTest::mouseClick(p.main->inputNameWindow()->btnCancel, Qt::LeftButton);
            });
            QTest::mouseClick(menu->findChild<QPushButton*>("btnShowRecord"), Qt::LeftButton);
            QTest::mouseClick(menu->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnOpenMaster"), Qt::LeftButton);
        QVERIFY(asked);
        QVERIFY(!p.main->kirokuWindow()->isVisible());
    }

    void theAllCorrectWindowCongratulatesAndClosesWithOk()
    {
        TfrmZenSeikai window;
        QTimer::singleShot(0, &window, [&window] {
            QCOMPARE(window.lblMessage->text(), u("全問正解です"));
            QCOMPARE(window.lblStarsTop->text(), u("★★★★★★"));
            QTest::mouseClick(window.btnOk, Qt::LeftButton);
        });
        QCOMPARE(window.exec(), int(QDialog::Accepted));
    }
};

TAVOLA_GUI_TEST(tst_TfrmKiroku)
#include "tst_TfrmKiroku.moc"

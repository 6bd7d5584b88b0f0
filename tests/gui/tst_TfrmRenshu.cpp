// The practice window worked as a learner works it, from 学習 in the main window: the fraction pad, wrong answers
// and their slashes, the answer shown after the fourth wrong attempt, the score; a test with its marks and the
// review of what was wrong; a page with too many answers; the scratch pad.
#include "support/gui_registry.h"
#include "support/pdf_helpers.h"
#include "support/program_fixture.h"

#include "app/TfrmInputName.h"
#include "app/qt_practice_host.h"
#include "courseware/TfrmMenu.h"
#include "courseware/unit_marks.h"
#include "platform/line_file.h"
#include "platform/qt/qt_prompts.h"
#include "platform/qt/qt_text.h"
#include "practice/TfrmKiroku.h"
#include "practice/TfrmRenshu.h"
#include "practice/TfrmZenSeikai.h"
#include "practice/learning_records.h"
#include "practice/qt_scratch_pad.h"
#include "worksheet/TfrmPrint.h"
#include "worksheet/TfrmPrintMode.h"
#include "worksheet/TfrmPrintOk.h"
#include "worksheet/answer_boxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tavola;
using tavola::test::u;

namespace tavola::test {

// Blue is the answers' colour on the page.
int answerPixels(const QImage& page)
{
    int n = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.blue() > 150 && c.red() < 100 && c.green() < 100) ++n;
        }
    return n;
}

} // namespace tavola::test

namespace {

// Section 1 of the first lesson: unit 1 with three answers and a hint, unit 2 with 81 answers.
Lines practiceUnits()
{
    Lines lines{"[[unit1",
                "<<ques",
                "(1)  1/2+1/4=#3/4#",
                "(2)  1/4+1/4=#1/2#",
                "(3)  1&3/5+3/5=#2&1/5#",
                ">>",
                "<<hint",
                "ヒントの行"_sj,
                ">>",
                "]]",
                "[[unit2",
                "<<ques"};
    for (int line = 0; line < 9; ++line) {
        std::string text;
        for (int k = 0; k < 9; ++k)
            text += "#1#" + std::string(line == 8 && k == 8 ? "" : " ");
        lines.push_back(text);
    }
    lines.push_back("#1#");
    for (const char* end : {">>", "]]"})
        lines.push_back(end);
    return lines;
}

struct Program : test::ProgramFixture {
    Program()
    {
        copySample();
        writeLineFile(systemDir() + "tasu/tasu1.que", practiceUnits());
    }

    void start() { QVERIFY(showWindows()); }

    TfrmRenshu* practice() const { return main->renshuWindow(); }

    // Runs the steps inside a modal window once it is up.
    void whenModal(QWidget* window, std::function<void()> steps)
    {
        auto* poll = new QTimer(main);
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, main, [poll, window, steps] {
            if (QApplication::activeModalWidget() != window) return;
            poll->stop();
            poll->deleteLater();
            steps();
        });
        poll->start();
    }
    // 学習 on unit u of the first section, with the steps run in the practice window, which 閉じる then closes.
    bool study(int unit, std::function<void()> steps)
    {
        bool ran = false;
        whenModal(main->menuWindow(), [this, unit] {
            auto* menu = main->menuWindow();
            test::clickRow(menu->findChild<QListWidget*>("lstLesson"), 0);
            test::clickRow(menu->findChild<QListWidget*>("lstSection"), 0);
            test::clickRow(menu->findChild<QListWidget*>("lstUnit"), unit);
            QTest::mouseClick(menu->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        });
        whenModal(practice(), [this, steps, &ran] {
            steps();
            ran = true;
            QTest::mouseClick(practice()->btnEnd, Qt::LeftButton);
        });
        QTest::mouseClick(button("btnTest"), Qt::LeftButton);
        return ran;
    }

    void press(const char* name) const
    {
        auto* key = practice()->findChild<QPushButton*>(name);
        QVERIFY2(key != nullptr, name);
        QTest::mouseClick(key, Qt::LeftButton);
    }
    void type(int box, const char* text) const
    {
        QLineEdit* edit = practice()->answerEdit(box);
        if (edit->hasSelectedText()) QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, u(text));
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // Pixels of a colour in the input box's place on the sheet, with room for the marks around it.
    int pixelsAround(int box, QColor colour) const
    {
        const PracticeBox& b = practice()->engine().box(box);
        const QImage& sheet = practice()->sheetPicture();
        int count = 0;
        for (int y = std::max(0, b.top - 30); y < std::min(sheet.height(), b.top + b.height + 30); ++y)
            for (int x = std::max(0, b.homeLeft - 40); x < std::min(sheet.width(), b.left + b.width + 40); ++x)
                if (sheet.pixelColor(x, y) == colour) ++count;
        return count;
    }
};

} // namespace

class tst_TfrmRenshu : public QObject {
    Q_OBJECT

private slots:
    void aPracticeWorkedWithThePadsAndTheKeyboard()
    {
        Program p;
        p.start();
        const bool ran = p.study(0, [&] {
            TfrmRenshu* w = p.practice();
            QVERIFY(w->pnlRenshu->isVisible());
            QVERIFY(!w->answerEdit(1)->isVisible());
            // The boxes are those of the window's page layout, where the worksheet window's page has them too.
            const PageLayout& page = w->pageLayout();
            QCOMPARE(page.answerBoxes.size(), std::size_t(w->engine().boxCount()));
            for (int i = 1; i <= w->engine().boxCount(); ++i) {
                const AnswerBox& box = page.answerBoxes[static_cast<std::size_t>(i - 1)];
                QVERIFY(w->engine().box(i).answer == box);
                const AnswerBox& onSheet =
                    p.main->currentWorksheet()->layout().answerBoxes.at(static_cast<std::size_t>(i - 1));
                QCOMPARE((std::pair{box.x, box.y}), (std::pair{onSheet.x, onSheet.y}));
            }
            QTest::mouseClick(w->btnRenshu, Qt::LeftButton);
            QVERIFY(w->pnlSS->isVisible());
            QVERIFY(!w->pnlRenshu->isVisible());
            QVERIFY(w->pnlBunsu->isVisible());
            QVERIFY(w->btnHint->isEnabled());

            // 4 分の 3, 次へ: 3/4 goes into the first box and is judged right at once.
            for (const char* key : {"BitBtn5", "btnBunno", "BitBtn4", "btnInputBun"})
                p.press(key);
            QCOMPARE(w->engine().box(1).enteredAnswer, std::string("3/4"));
            QVERIFY(!w->answerEdit(1)->isVisible());
            QVERIFY(p.pixelsAround(1, Qt::red) > 40);
            QCOMPARE(w->engine().currentBox(), 2);

            // A wrong answer: a slash, and the box moves one box width right with its text selected.
            QLineEdit* m2 = w->answerEdit(2);
            const int x0 = w->engine().box(2).left;
            const int shownX0 = m2->x();
            const int red = p.pixelsAround(2, Qt::red);
            p.type(2, "1/3");
            QVERIFY(p.pixelsAround(2, Qt::red) > red + 40);
            QCOMPARE(w->engine().box(2).left, x0 + w->engine().box(2).width);
            QVERIFY(m2->x() > shownX0);
            QVERIFY(m2->hasSelectedText());
            QVERIFY(p.prompts.shown.empty());
            p.type(2, "2/3");
            p.type(2, "2/4");
            p.type(2, "1/5");
            QCOMPARE(p.prompts.shownUtf8(), std::vector<std::string>{"右下に正解を表示します"});
            p.type(2, "1/2");
            QCOMPARE(w->engine().box(2).judge, Judge::MatchedAfterShown);
            QVERIFY(!m2->isVisible());

            // 2 と 5 分の 1, <==: the mixed number waits in the box; Enter judges it and ends the practice.
            for (const char* key : {"BitBtn3", "btnTo", "BitBtn6", "btnBunno", "BitBtn2", "btnInsert"})
                p.press(key);
            QCOMPARE(w->answerEdit(3)->text(), u("2&1/5"));
            QVERIFY(w->answerEdit(3)->isVisible());
            QTest::keyClick(w->answerEdit(3), Qt::Key_Return);
            QCOMPARE(p.prompts.shown.back().text, "練習を終わりました"_sj);
            QCOMPARE(w->engine().lastScore(), std::optional<int>(67));
            QVERIFY(w->pnlRenshu->isVisible());
            QVERIFY(!w->pnlSS->isVisible());
            QVERIFY(w->btnFukushu->isEnabled());
            QVERIFY(w->memKiroku->toPlainText().contains(u("[050]  2/ 3  67点")));
        });
        QVERIFY(ran);
        // Study opened the unit for the practice and closed it again.
        QCOMPARE(p.main->currentWorksheet(), nullptr);
        // One record for the common learner, and the unit selection window counts it.
        const std::string section = unitRecordSection(1, 1, "分母が同じ分数のたし算"_sj);
        const auto records = readRecords(p.main->recordFileOf(1), section);
        QCOMPARE(records.size(), std::size_t(1));
        QVERIFY2(records[0].starts_with("2005年03月05日 09:07 [050]  2/ 3  67点 "_sj), records[0].c_str());
        QCOMPARE(p.main->marks().count(1, 1), 1);
        QVERIFY(p.main->menuWindow()->unitLineDisplay(0).contains(u("[1]")));
    }

    void studentModeKeepsTheAnswersOffWhateverWasShown()
    {
        auto answerPixels = test::answerPixels;
        for (const bool teacherShows : {true, false}) {
            Program p;
            p.start();
            QVERIFY(p.main->index().readLesson(1));
            QVERIFY(p.main->openUnit({1, 1, 1, 0}, false) == OpenResult::Opened);
            TfrmPrint* sheet = p.main->currentWorksheet();
            if (p.main->shellState().showAnswers != teacherShows)
                QTest::mouseClick(p.button("btnKaitou"), Qt::LeftButton);
            QCOMPARE(answerPixels(sheet->pagePicture()) > 0, teacherShows);

            QTest::mouseClick(p.button("btnLock"), Qt::LeftButton);
            QCOMPARE(answerPixels(sheet->pagePicture()), 0);
            // 学習 and 閉じる bring the display back as it was, which in student mode is still without answers.
            p.whenModal(p.practice(), [&p] { QTest::mouseClick(p.practice()->btnEnd, Qt::LeftButton); });
            QTest::mouseClick(p.button("btnTest"), Qt::LeftButton);
            QCOMPARE(answerPixels(sheet->pagePicture()), 0);

            QTest::mouseClick(p.button("btnLock"), Qt::LeftButton);
            QCOMPARE(p.main->shellState().showAnswers, teacherShows);
            QCOMPARE(answerPixels(sheet->pagePicture()) > 0, teacherShows);
        }
    }

    void aUnitSavedAsACopyKeepsItsHint()
    {
        Program p;
        p.start();
        QVERIFY(p.main->index().readLesson(1));
        QVERIFY(p.main->openUnit({1, 1, 1, 0}, false) == OpenResult::Opened);
        p.prompts.queueFileName(p.systemDir() + "tasu\\mine.prp");
        QTest::mouseClick(p.button("btnSave"), Qt::LeftButton);
        QTest::mouseClick(p.button("btnSaveCopy"), Qt::LeftButton);
        QVERIFY(!p.main->currentWorksheet()->worksheet().master);
        bool hint = false;
        p.whenModal(p.practice(), [&p, &hint] {
            QTest::mouseClick(p.practice()->btnRenshu, Qt::LeftButton);
            hint = p.practice()->btnHint->isEnabled();
            QTest::mouseClick(p.practice()->btnEnd, Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnTest"), Qt::LeftButton);
        QVERIFY(hint);
    }

    void whileThePracticeWindowIsUpItsMessagesAreItsOwnAndNoAnswerShowsBehindIt()
    {
        Program p;
        p.start();
        QVERIFY(p.main->index().readLesson(1));
        QVERIFY(p.main->openUnit({1, 1, 1, 0}, false) == OpenResult::Opened);
        TfrmPrint* sheet = p.main->currentWorksheet();
        // Teacher mode with the answers shown, as at the first start.
        if (!p.main->shellState().showAnswers) QTest::mouseClick(p.button("btnKaitou"), Qt::LeftButton);
        QVERIFY(test::answerPixels(sheet->pagePicture()) > 0);
        // The program's own boxes, with the main window as their fallback parent.
        QtPrompts boxes(u("Tavola"), p.main);
        QWidget* parentOfBox = nullptr;
        int answersBehind = -1;
        p.whenModal(p.practice(), [&] {
            answersBehind = test::answerPixels(sheet->pagePicture());
            test::whenModalOf<QMessageBox>([&](QMessageBox* box) {
                parentOfBox = box->parentWidget();
                box->accept();
            });
            boxes.message("練習を終わりました"_sj);
            QTest::mouseClick(p.practice()->btnEnd, Qt::LeftButton);
        });
        QTest::mouseClick(p.button("btnTest"), Qt::LeftButton);
        QCOMPARE(parentOfBox, static_cast<QWidget*>(p.practice()));
        QCOMPARE(answersBehind, 0);
        QVERIFY(test::answerPixels(sheet->pagePicture()) > 0);
    }

    void at1024x768TheSheetFitsItsWidthAndEachExerciseStartsAtItsLeft()
    {
        Program p;
        p.start();
        const bool ran = p.study(0, [&p] {
            TfrmRenshu* w = p.practice();
            for (const QSize screen : {QSize(1024, 768), QSize(1280, 1024)}) {
                w->resize(screen);
                QApplication::processEvents();
                auto* area = w->findChild<QScrollArea*>("scrPaper");
                for (QPushButton* start : {w->btnRenshu, w->btnTest}) {
                    // Scrolled right in the last exercise, as far as the sheet goes.
                    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
                    QTest::mouseClick(start, Qt::LeftButton);
                    QApplication::processEvents();
                    QCOMPARE(area->horizontalScrollBar()->value(), 0);
                    // The whole width of the sheet is in view: every box, with its problem left of it.
                    QVERIFY2(
                        w->sheetWidget()->width() <= area->viewport()->width(),
                        qPrintable(
                            QStringLiteral("%1 > %2").arg(w->sheetWidget()->width()).arg(area->viewport()->width())));
                    for (int i = 1; i <= w->engine().boxCount(); ++i)
                        QVERIFY(w->answerEdit(i)->geometry().right() < area->viewport()->width());
                    // Full size where there is room for it; there every input box lies inside its frame
                    // from left to right (it stuck out 6 pixels on the right).
                    QCOMPARE(w->sheetScale() == 1.0, screen.width() >= 1280);
                    if (w->sheetScale() == 1.0) {
                        const Worksheet& sheet = p.main->currentWorksheet()->worksheet();
                        const AnswerBoxSettings& k = sheet.settings.answerBox;
                        for (int i = 1; i <= w->engine().boxCount(); ++i) {
                            const Rect base = boxRect(w->engine().box(i).answer, 1, false,
                                                      answerFieldHeight(sheet.settings.characterSize));
                            const Rect f = frameRect(base, k.width, k.height, 1);
                            const QRect edit = w->answerEdit(i)->geometry();
                            QVERIFY2(edit.left() > f.left && edit.right() < f.right, qPrintable(QString::number(i)));
                        }
                    }
                    QTest::mouseClick(w->btnAbort, Qt::LeftButton);
                }
            }
        });
        QVERIFY(ran);
    }

    void afterAbortAndAfterAReviewTheWindowIsNoTallerThanBefore()
    {
        Program p;
        p.start();
        const bool ran = p.study(0, [&p] {
            TfrmRenshu* w = p.practice();
            w->resize(1024, 740);
            QApplication::processEvents();
            const int height = w->height();
            auto same = [&](const char* when) {
                QApplication::processEvents();
                QVERIFY2(w->height() <= height, when);
                QVERIFY2(w->minimumSizeHint().height() <= height, when);
            };
            QTest::mouseClick(w->btnRenshu, Qt::LeftButton);
            same("練習");
            QTest::mouseClick(w->btnAbort, Qt::LeftButton);
            same("中止");
            QTest::mouseClick(w->btnTest, Qt::LeftButton);
            p.type(1, "3/4");
            w->btnSaiten->setFocus();
            QTest::keyClick(w->btnSaiten, Qt::Key_Return);
            same("採点");
            QTest::mouseClick(w->btnFukushu, Qt::LeftButton);
            same("復習");
            p.type(2, "1/2");
            p.type(3, "2&1/5");
            same("復習の終わり");
        });
        QVERIFY(ran);
    }

    void escMidExerciseAsksFirstAndTabLeavesTheFocusInTheBox()
    {
        Program p;
        p.start();
        bool stillUp = false;
        const bool ran = p.study(0, [&] {
            TfrmRenshu* w = p.practice();
            QTest::mouseClick(w->btnRenshu, Qt::LeftButton);
            // Tab, then Enter: the typed answer is judged (no 答えを見る pressed by the Enter).
            QLineEdit* box = w->answerEdit(1);
            QTest::keyClicks(box, "3/4");
            QTest::keyClick(w->focusWidget(), Qt::Key_Tab);
            QCOMPARE(w->focusWidget(), box);
            QTest::keyClick(w->focusWidget(), Qt::Key_Return);
            QCOMPARE(w->engine().box(1).enteredAnswer, std::string("3/4"));
            QVERIFY(!w->answerEdit(1)->isVisible());
            QCOMPARE(w->engine().currentBox(), 2);
            // Esc asks; No keeps the exercise.
            p.prompts.queueAnswer(Answer::No);
            QTest::keyClick(w->focusWidget(), Qt::Key_Escape);
            QCOMPARE(p.prompts.lastUtf8(), std::string("入力した答えは消えます。中止して閉じますか"));
            QVERIFY(w->isVisible());
            QVERIFY(w->engine().mode() != ExerciseMode::Idle);
            QCOMPARE(w->focusWidget(), w->answerEdit(2));
            stillUp = true;
        });
        QVERIFY(ran && stillUp);
        // Esc between exercises closes the window without a question.
        p.prompts.clear();
        QVERIFY(p.main->index().readLesson(1));
        QVERIFY(p.main->openUnit({1, 1, 1, 0}, false) == OpenResult::Opened);
        p.whenModal(p.practice(), [&p] { QTest::keyClick(p.practice(), Qt::Key_Escape); });
        QTest::mouseClick(p.button("btnTest"), Qt::LeftButton);
        QVERIFY(!p.practice()->isVisible());
        QVERIFY(p.prompts.shown.empty());
    }

    void theNumberPadStartsANewAnswerAfterAWrongOneAndClears()
    {
        Program p;
        p.start();
        const bool ran = p.study(0, [&p] {
            TfrmRenshu* w = p.practice();
            QTest::mouseClick(w->btnRenshu, Qt::LeftButton);
            for (const char* key : {"btnDot", "BitBtn29", "BitBtn27", "btnInputNum"})
                p.press(key);
            QCOMPARE(w->engine().box(1).judge, Judge::Missed);
            QCOMPARE(w->answerEdit(1)->text(), QString(".75"));
            for (const char* key : {"BitBtn1", "btnDot", "BitBtn29", "BitBtn27"})
                p.press(key);
            QCOMPARE(w->answerEdit(1)->text(), QString("0.75"));
            p.press("btnClearNum");
            QCOMPARE(w->answerEdit(1)->text(), QString());
            QCOMPARE(w->engine().box(1).text, std::string());
            QCOMPARE(w->focusWidget(), w->answerEdit(1));
        });
        QVERIFY(ran);
    }

    void inStudentModeTheNextChildIsOfferedTheLogOn()
    {
        Program p;
        p.start();
        QTest::mouseClick(p.button("btnLock"), Qt::LeftButton);
        QVERIFY(p.main->shellState().keyLock);
        p.main->shellState().learnerName = "taro";
        bool named = false;
        p.prompts.queueAnswer(Answer::Yes);
        test::whenModal(p.main->inputNameWindow(), [&] {
            named = true;
            QTest::mouseClick(p.main->inputNameWindow()->btnCancel, Qt::LeftButton);
        });
        QVERIFY(p.study(0, [] {}));
        QCOMPARE(p.prompts.shownUtf8(), std::vector<std::string>{"taroさんの学習を終わって、次の人に代わりますか"});
        QVERIFY(named);
        QCOMPARE(p.main->shellState().learnerName, "共通"_sj);
        // The common learner is not asked.
        p.prompts.clear();
        QVERIFY(p.study(0, [] {}));
        QVERIFY(p.prompts.shown.empty());
    }

    void theNumberPadsEnterButtonJudgesWhatThePadsComposed()
    {
        Program p;
        p.start();
        const bool ran = p.study(0, [&p] {
            TfrmRenshu* w = p.practice();
            QTest::mouseClick(w->btnRenshu, Qt::LeftButton);
            // A fraction left in the fraction pad: 4 分の 3, then 入力 of the number pad.
            for (const char* key : {"BitBtn5", "btnBunno", "BitBtn4", "btnInputNum"})
                p.press(key);
            QCOMPARE(w->engine().box(1).enteredAnswer, std::string("3/4"));
            QCOMPARE(w->engine().currentBox(), 2);
            // Digits of the number pad go into the box; 入力 judges them (wrong here: a slash, the box stays).
            for (const char* key : {"BitBtn24", "btnInputNum"})
                p.press(key);
            QCOMPARE(w->engine().box(2).enteredAnswer, std::string("2"));
            QCOMPARE(w->engine().box(2).judge, Judge::Missed);
            QCOMPARE(w->engine().currentBox(), 2);
        });
        QVERIFY(ran);
    }

    void aClickOnTheSheetGivesTheFocusBackToTheBox()
    {
        Program p;
        p.start();
        const bool ran = p.study(0, [&p] {
            TfrmRenshu* w = p.practice();
            QTest::mouseClick(w->btnRenshu, Qt::LeftButton);
            QLineEdit* box = w->answerEdit(w->engine().currentBox());
            QCOMPARE(w->focusWidget(), box);
            // On the page away from the boxes, and on the grey beyond the page; then after the focus went to the
            // fraction pad's line.
            QWidget* sheet = w->sheetWidget();
            QWidget* around = sheet->parentWidget();
            struct Click {
                QWidget* widget;
                QPoint at;
                QWidget* focusBefore;
            };
            for (const Click c :
                 {Click{sheet, QPoint(5, 5), nullptr}, Click{around, QPoint(around->width() - 3, 3), nullptr},
                  Click{sheet, QPoint(5, sheet->height() / 2), w->edtBunshi}}) {
                if (c.focusBefore != nullptr) c.focusBefore->setFocus();
                QTest::mouseClick(c.widget, Qt::LeftButton, {}, c.at);
                QCOMPARE(w->focusWidget(), box);
            }
            QTest::keyClicks(w->focusWidget(), "3/4");
            QCOMPARE(box->text(), QString("3/4"));
        });
        QVERIFY(ran);
    }

    void theBoxAndTheScoreScrollIntoViewAt1024x768()
    {
        Program p;
        p.start();
        const bool ran = p.study(0, [&p] {
            TfrmRenshu* w = p.practice();
            w->resize(1024, 768);
            QApplication::processEvents();
            auto* area = w->findChild<QScrollArea*>("scrPaper");
            QScrollBar* bar = area->verticalScrollBar();
            QWidget* sheet = w->sheetWidget();
            auto inView = [area, sheet](QRect r) {
                const QRect shown(sheet->mapFrom(area->viewport(), QPoint(0, 0)), area->viewport()->size());
                return shown.contains(r);
            };
            // Scrolled to the end of the page before each Enter: the box that takes the focus comes into view, and
            // so does the score written after the last box. (During an exercise the sheet has the button panel's
            // width too, and is shown larger than the window is high.)
            QTest::mouseClick(w->btnRenshu, Qt::LeftButton);
            QApplication::processEvents();
            QVERIFY(bar->maximum() > 0);
            struct Step {
                int box;
                const char* text;
                int focused;
            };
            for (const Step s : {Step{1, "3/4", 2}, Step{2, "1/3", 2}, Step{2, "1/2", 3}}) {
                bar->setValue(bar->maximum());
                p.type(s.box, s.text);
                QCOMPARE(w->engine().currentBox(), s.focused);
                QVERIFY(inView(w->answerEdit(s.focused)->geometry()));
            }
            bar->setValue(bar->maximum());
            p.type(3, "2&1/5");
            QVERIFY(w->engine().lastScore().has_value());
            const Rect name = w->pageLayout().nameLine;
            const double k = w->sheetScale();
            QVERIFY(inView(QRect(QPoint(qRound(name.left * k), qRound(w->pageLayout().scorePosition.y * k)),
                                 QPoint(qRound((name.left + 10) * k), qRound(name.bottom * k)))));
        });
        QVERIFY(ran);
    }

    void theReductionHintCoversNoEntry()
    {
        // 2/4 for 1/2, then 1/3 beside it, with and without the hint: every pixel the hint changed was blank paper
        // without it (it covers neither the entries nor the marks), and none is where a box is or goes (the next
        // problem's box, the answers written there when scoring).
        QImage sheets[2];
        std::vector<QRect> boxes;
        for (const bool hints : {false, true}) {
            Program p;
            p.start();
            const bool ran = p.study(0, [&] {
                TfrmRenshu* w = p.practice();
                w->mnuReduceHint->setChecked(hints);
                QTest::mouseClick(w->btnRenshu, Qt::LeftButton);
                p.type(1, "3/4");
                p.type(2, "2/4");
                p.type(2, "1/3");
                sheets[hints] = w->sheetPicture().copy();
                for (int i = 1; i <= w->engine().boxCount(); ++i) {
                    const PracticeBox& b = w->engine().box(i);
                    boxes.emplace_back(b.homeLeft, b.homeTop, 2 * b.width, b.height);
                }
            });
            QVERIFY(ran);
        }
        QCOMPARE(sheets[1].size(), sheets[0].size());
        int changed = 0;
        int covered = 0;
        for (int y = 0; y < sheets[0].height(); ++y)
            for (int x = 0; x < sheets[0].width(); ++x)
                if (sheets[1].pixel(x, y) != sheets[0].pixel(x, y)) {
                    ++changed;
                    covered += sheets[0].pixelColor(x, y) != Qt::white;
                    for (const QRect& b : boxes)
                        covered += b.contains(x, y);
                }
        QVERIFY(changed > 20);
        QCOMPARE(covered, 0);
    }

    void aTestIsMarkedAtOnceAndItsWrongBoxesReviewed()
    {
        Program p;
        p.start();
        const bool ran = p.study(0, [&] {
            TfrmRenshu* w = p.practice();
            QTest::mouseClick(w->btnTest, Qt::LeftButton);
            QVERIFY(w->btnSaiten->isVisible());
            QVERIFY(!w->btnAnswer->isVisible());
            p.type(1, "3/4");
            p.type(3, "9");
            // Enter on the focused 採点 scores.
            w->btnSaiten->setFocus();
            QTest::keyClick(w->btnSaiten, Qt::Key_Return);
            QCOMPARE(p.prompts.shownUtf8(), std::vector<std::string>{"テストを終わりました"});
            QCOMPARE(w->engine().lastScore(), std::optional<int>(33));
            for (int box : {1, 2, 3})
                QVERIFY(p.pixelsAround(box, Qt::red) > 10);

            // The marked sheet goes through the print dialog, numbered copies and all, with no answers on it.
            const QString pdf = p.dir() + "/practice.pdf";
            TfrmPrintOk* printOk = p.windows->frmPrintOk.get();
            p.windows->frmPrintMode->chkNumber->setChecked(true);
            p.windows->frmPrintMode->radPrinter->setChecked(true);
            p.whenModal(printOk, [&] {
                QVERIFY(!printOk->chkAnswers->isChecked() && !printOk->chkAnswers->isEnabled());
                test::whenModalOf<QPrintDialog>([&](QPrintDialog* d) { test::printToPdf(d, pdf, 2); });
                QTest::mouseClick(printOk->btnPrint, Qt::LeftButton);
            });
            QVERIFY(w->btnStartPrint->isEnabled());
            QTest::mouseClick(w->btnStartPrint, Qt::LeftButton);
            const QStringList pages = test::pdfPages(pdf);
            QCOMPARE(pages.size(), 2);
            for (int k = 0; k < 2; ++k)
                QVERIFY2(pages[k].contains(u("№ ") + QString::number(k + 1)) && pages[k].contains(u("33点")),
                         pages[k].toUtf8().constData());
            QCOMPARE(QApplication::activeModalWidget(), w);

            QTest::mouseClick(w->btnFukushu, Qt::LeftButton);
            QVERIFY(!w->answerEdit(1)->isVisible());
            QVERIFY(w->answerEdit(2)->isVisible());
            QVERIFY(w->answerEdit(3)->isVisible());
            p.type(2, "1/2");
            p.type(3, "2&1/5");
            QCOMPARE(p.prompts.shown.back().text, "復習を終わりました"_sj);
            QVERIFY(p.pixelsAround(2, QColor(0, 128, 0)) > 20);
        });
        QVERIFY(ran);
    }

    void aRecordThatCannotBeWrittenIsToldAndWrittenWithTheNext()
    {
        Program p;
        p.start();
        const std::string file = p.main->recordFileOf(1);
        const bool ran = p.study(0, [&] {
            TfrmRenshu* w = p.practice();
            auto takeTest = [&] {
                QTest::mouseClick(w->btnTest, Qt::LeftButton);
                p.type(1, "3/4");
                w->btnSaiten->setFocus();
                QTest::keyClick(w->btnSaiten, Qt::Key_Return);
            };
            // The disk is full when the first test is scored: the learner is told which file, and the window
            // goes on as after any test.
            writefault::inject({writefault::Step::Write, 1, ENOSPC});
            takeTest();
            const std::vector<std::string> shown = p.prompts.shownUtf8();
            QCOMPARE(shown.size(), std::size_t{2});
            QCOMPARE(shown[0], "記録を書き込めません: " + sjis::toUtf8(file) +
                                   " (ディスクに空きがありません)\nこの記録は、次に記録するときにもう一度書き込みます");
            QCOMPARE(shown[1], std::string("テストを終わりました"));
            QCOMPARE(w->engine().lastScore(), std::optional<int>(33));
            QVERIFY(w->isVisible());
            QVERIFY(w->btnFukushu->isEnabled());
            QVERIFY(!w->memKiroku->toPlainText().contains(u("点")));
            // The next test writes the kept record first, then its own.
            takeTest();
            QCOMPARE(w->memKiroku->toPlainText().split('\n').size(), 2);
        });
        QVERIFY(ran);
        writefault::clear();
        QCOMPARE(readRecords(file, unitRecordSection(1, 1, "分母が同じ分数のたし算"_sj)).size(), std::size_t{2});
    }

    void recordsStillWaitingAtCloseAreTriedOnceMoreAndTheLostOnesNamed()
    {
        for (const bool stillFailing : {false, true}) {
            Program p;
            p.start();
            const std::string file = p.main->recordFileOf(1);
            const bool ran = p.study(0, [&] {
                TfrmRenshu* w = p.practice();
                QTest::mouseClick(w->btnTest, Qt::LeftButton);
                p.type(1, "3/4");
                writefault::inject({writefault::Step::Write, 1, ENOSPC});
                w->btnSaiten->setFocus();
                QTest::keyClick(w->btnSaiten, Qt::Key_Return);
            });
            QVERIFY(ran);
            QCOMPARE(p.main->pendingRecords().waiting(), std::size_t{1});
            p.prompts.shown.clear();
            if (stillFailing) writefault::inject({writefault::Step::Write, 1, ENOSPC});
            QVERIFY(p.main->close());
            writefault::clear();
            const std::vector<std::string> shown = p.prompts.shownUtf8();
            const std::size_t kept = readRecords(file, unitRecordSection(1, 1, "分母が同じ分数のたし算"_sj)).size();
            if (stillFailing) {
                const std::string learner = sjis::toUtf8(p.main->shellState().learnerName);
                QCOMPARE(shown.size(), std::size_t{1});
                QCOMPARE(shown[0], "書き込めなかった記録があります。次の学習者の記録は失われます：\n" + learner +
                                       "（1件）\n  記録を書き込めません: " + sjis::toUtf8(file) +
                                       " (ディスクに空きがありません)");
                QCOMPARE(kept, std::size_t{0});
            } else {
                QCOMPARE(shown.size(), std::size_t{0});
                QCOMPARE(kept, std::size_t{1});
            }
        }
    }

    void allCorrectIsCongratulatedAndTheRecordsCanBeViewed()
    {
        Program p;
        p.start();
        bool congratulated = false;
        bool viewed = false;
        // A learner whose name runs far right in the heading.
        p.main->shellState().learnerName = "yamamoto hanako";
        const bool ran = p.study(0, [&] {
            TfrmRenshu* w = p.practice();
            QTest::mouseClick(w->btnRenshu, Qt::LeftButton);
            p.whenModal(p.main->zenSeikaiWindow(), [&] {
                congratulated = true;
                QTest::mouseClick(p.main->zenSeikaiWindow()->btnOk, Qt::LeftButton);
            });
            p.type(1, "3/4");
            p.type(2, " 1/2 ");
            p.type(3, "2&1/5");
            QVERIFY(congratulated);
            QVERIFY(p.prompts.shown.empty());
            QCOMPARE(w->engine().lastScore(), std::optional<int>(100));
            QVERIFY(!w->btnFukushu->isEnabled());
            // 100点 is written in the heading, and none of it over the name line.
            const Rect name = w->pageLayout().nameLine;
            QVERIFY(name.right > name.left + 200);
            const QImage& sheet = w->sheetPicture();
            auto red = [&sheet](int top, int bottom, int left, int right) {
                int count = 0;
                for (int y = top; y < bottom; ++y)
                    for (int x = left; x < right; ++x) {
                        const QColor c = sheet.pixelColor(x, y);
                        if (c.red() > 200 && c.green() < 90 && c.blue() < 90) ++count;
                    }
                return count;
            };
            QVERIFY(red(0, name.bottom + 80, 0, sheet.width()) > 200);
            QCOMPARE(red(name.top, name.bottom, name.left, name.right), 0);

            p.whenModal(p.main->kirokuWindow(), [&] {
                viewed = true;
                QTest::mouseClick(p.main->kirokuWindow()->btnReturn, Qt::LeftButton);
            });
            QTest::mouseClick(w->btnShowRecord, Qt::LeftButton);
            QVERIFY(viewed);
        });
        QVERIFY(ran);
    }

    void aPageWithMoreAnswersThanTheTableIsDeclined()
    {
        Program p;
        p.start();
        QVERIFY(!p.study(1, [] {}));
        QCOMPARE(p.prompts.shown.back().text, tooManyBoxesMessage());
        QCOMPARE(p.main->currentWorksheet(), nullptr);
    }

    void aCharacterShiftJisCannotHoldIsRefused()
    {
        Program p;
        p.start();
        p.study(0, [&] {
            TfrmRenshu* w = p.practice();
            QTest::mouseClick(w->btnRenshu, Qt::LeftButton);
            QTest::keyClicks(w->answerEdit(1), u("1"));
            QInputMethodEvent typed;
            typed.setCommitString(u("한"));
            QApplication::sendEvent(w->answerEdit(1), &typed);
            QCOMPARE(p.prompts.shown.back().text, unusableCharacterMessage());
            QCOMPARE(w->answerEdit(1)->text(), u("1"));
            QCOMPARE(w->engine().box(1).text, std::string("1"));
        });
    }

    void theScratchPadDrawsErasesAndWipes()
    {
        ScratchPad pad;
        pad.resize(200, 150);
        pad.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pad));
        auto pixel = [&](int x, int y) { return pad.grab().toImage().pixelColor(x, y); };
        auto redAt = [&](int x, int y) { return pixel(x, y) == QColor(Qt::red); };
        QTest::mouseMove(&pad, {20, 100});
        QTest::mouseMove(&pad, {180, 100});
        QVERIFY(!redAt(100, 100));
        pad.imgMemoMouseDown(Qt::LeftButton, {20, 100});
        pad.imgMemoMouseMove({100, 100});
        pad.imgMemoMouseUp({180, 100});
        QVERIFY(redAt(60, 100) && redAt(150, 100));
        pad.imgMemoMouseMove({180, 140});
        QVERIFY(!redAt(180, 130));
        pad.imgMemoMouseDown(Qt::RightButton, {100, 80});
        pad.imgMemoMouseUp({100, 120});
        QCOMPARE(pixel(97, 100), QColor(Qt::white));
        QCOMPARE(pixel(103, 100), QColor(Qt::white));
        QVERIFY(redAt(90, 100));
        QTest::mouseDClick(&pad, Qt::LeftButton, {}, {50, 50});
        QVERIFY(!redAt(150, 100));
        pad.imgMemoMouseMove({50, 140});
        QVERIFY(!redAt(50, 100));
    }
};

TAVOLA_GUI_TEST(tst_TfrmRenshu)
#include "tst_TfrmRenshu.moc"

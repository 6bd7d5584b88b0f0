// The master file editor as a teacher works it, in a copy of the sample courseware: 編集 on an open worksheet, text
// selected and enclosed as an answer box, 抽出=>, <=挿入, OK, and the unit reopened with the change on its page; a
// similar problem made and opened in a window of its own; a refused save; raw editing with its help topic; a missing
// unit created from the open flow; and 上書き保存 from the save pop-up.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "authoring/TfrmEditQues.h"
#include "authoring/TfrmEditSource.h"
#include "courseware/TfrmMenu.h"
#include "platform/line_file.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "question/master_file.h"
#include "worksheet/TfrmBMP.h"
#include "worksheet/TfrmPrint.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>

using namespace tavola;
using tavola::test::u;
using tavola::test::whenModal;

namespace {

struct Program : test::ProgramFixture {
    QList<QUrl> opened;

    Program() { copySample(); }

    void start()
    {
        createWindows();
        main->setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QVERIFY(main->index().readLesson(1));
    }
    TfrmEditQues* editor() const { return main->editQuesWindow(); }
    template <class T> T* in(const char* name) const { return editor()->findChild<T*>(name); }
    void press(const char* name) const { QTest::mouseClick(in<QPushButton>(name), Qt::LeftButton); }
    std::string master() const { return systemDir() + "tasu/tasu2.que"; }
    Lines masterLines() const { return readLineFile(master()).value_or(Lines{}); }
    QStringList captions() const
    {
        QStringList out;
        for (QMdiSubWindow* w : main->mdiArea()->subWindowList(QMdiArea::CreationOrder))
            if (qobject_cast<TfrmPrint*>(w->widget()) != nullptr) out << w->windowTitle();
        return out;
    }
    // Selects the last characters of the problem text's last line.
    void selectAtEnd(int characters) const
    {
        QPlainTextEdit* ques = in<QPlainTextEdit>("MemQues");
        QTextCursor cursor = ques->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, characters);
        ques->setTextCursor(cursor);
    }
};

// The lines of the record with the marker, through its "]]".
Lines recordOf(const Lines& lines, const std::string& marker)
{
    auto at = findRecord(lines, marker);
    if (!at) return {};
    auto end = std::find(lines.begin() + static_cast<long>(*at), lines.end(), "]]");
    return Lines(lines.begin() + static_cast<long>(*at), end == lines.end() ? end : end + 1);
}

} // namespace

class tst_TfrmEditQues : public QObject {
    Q_OBJECT

private slots:
    void editingAUnitChangesItsPage()
    {
        Program p;
        p.start();
        QCOMPARE(p.main->openUnit({1, 2, 3, 0}, false), OpenResult::Opened);
        const Lines before = p.masterLines();
        const std::size_t problemLines = p.main->currentWorksheet()->worksheet().problemLines.size();
        const std::size_t boxes = p.main->currentWorksheet()->layout().answerBoxes.size();

        whenModal(p.editor(), [&p] {
            QCOMPARE(p.editor()->windowTitle(), u("マスターファイルの編集"));
            QCOMPARE(p.in<QLineEdit>("edtLesson")->text(), QString("1 2 3"));
            QVERIFY(p.in<QLineEdit>("edtFileName")->text().endsWith(u("tasu\\tasu2.que")));
            const int answers = p.in<QListWidget>("lstKai")->count();
            QVERIFY(answers > 0);
            QCOMPARE(p.in<QLabel>("lblKosuh")->text(), QString::number(answers));

            // Enclosing with nothing selected is refused.
            p.press("btnKai");
            QCOMPARE(p.prompts.lastUtf8(), std::string("囲む範囲を選択してください"));

            // A new problem line; its answer selected and made an answer box.
            QPlainTextEdit* ques = p.in<QPlainTextEdit>("MemQues");
            ques->moveCursor(QTextCursor::End);
            QTest::keyClick(ques, Qt::Key_Return);
            QTest::keyClicks(ques, "(9)  1/4+1/4=");
            ques->insertPlainText(u("　２/４　")); // what the input method commits
            p.selectAtEnd(5);
            p.press("btnKai");
            QVERIFY(ques->toPlainText().endsWith(u("1/4+1/4= # 　２/４　 # ")));
            QCOMPARE(p.in<QListWidget>("lstKai")->count(), answers + 1);
            QCOMPARE(p.in<QListWidget>("lstKai")->item(answers)->text(), u("２/４"));
            p.press("btnTest");
            p.press("btnKgAdd");
            QVERIFY(p.in<QPlainTextEdit>("memKgroup")->toPlainText().endsWith(u("２/４")));
            p.press("btnOk");
        });
        QTest::mouseClick(p.main->btnEdit, Qt::LeftButton);
        QCOMPARE(p.prompts.shown.size(), std::size_t(1));

        // The unit is reopened in its window with the new line on the page.
        QCOMPARE(p.captions().size(), 1);
        TfrmPrint* sheet = p.main->currentWorksheet();
        QVERIFY(sheet != nullptr);
        QCOMPARE(sheet->worksheet().problemLines.size(), problemLines + 1);
        QCOMPARE(toQString(sheet->worksheet().problemLines.back()), u("(9)  1/4+1/4= # 　２/４　 # "));
        QCOMPARE(sheet->layout().answerBoxes.size(), boxes + 1); // the new box is drawn

        // In the file only the unit changed, and it kept its place.
        const Lines after = p.masterLines();
        QCOMPARE(findRecord(after, "[[unit3"), findRecord(before, "[[unit3"));
        const std::size_t start = *findRecord(before, "[[unit3");
        QCOMPARE(Lines(after.begin(), after.begin() + static_cast<long>(start)),
                 Lines(before.begin(), before.begin() + static_cast<long>(start)));
        const std::size_t tail = before.size() - start - recordOf(before, "[[unit3").size();
        QCOMPARE(Lines(after.end() - static_cast<long>(tail), after.end()),
                 Lines(before.end() - static_cast<long>(tail), before.end()));
    }

    void aSimilarProblemOpensInAWindowOfItsOwn()
    {
        Program p;
        p.start();
        QCOMPARE(p.main->openUnit({1, 2, 3, 0}, false), OpenResult::Opened);
        const Lines before = p.masterLines();
        const Lines base = recordOf(before, "[[unit3");
        const int m = static_cast<int>(similarProblemsPresent(before, 3).size()) + 1;
        const std::string marker = "[[unit3R" + std::to_string(m);

        p.prompts.queueAnswer(Answer::Yes);
        whenModal(p.editor(), [&p, m] {
            QVERIFY(p.in<QPushButton>("btnRuidai")->isEnabled());
            p.press("btnRuidai");
            QCOMPARE(p.prompts.lastUtf8(), "データを変更して類題" + std::to_string(m) + "を作成します");
            QCOMPARE(p.in<QLineEdit>("edtLesson")->text(), QString("1 2 3R%1").arg(m));
            QVERIFY(!p.in<QPushButton>("btnRuidai")->isEnabled());
            p.press("btnOk");
        });
        QTest::mouseClick(p.main->btnEdit, Qt::LeftButton);

        QCOMPARE(p.captions().size(), 2);
        QVERIFY(p.captions().last().endsWith(QString("-U3R%1").arg(m)));
        const Lines after = p.masterLines();
        QCOMPARE(recordOf(after, "[[unit3"), base);
        QCOMPARE(Lines(after.begin(), after.begin() + static_cast<long>(before.size())), before);
        QCOMPARE(after[before.size()], marker);
        QCOMPARE(after.back(), std::string("]]"));
        QCOMPARE(p.prompts.unexpected, 0);
    }

    void aRefusedSaveKeepsTheWindowAndTheFile()
    {
        Program p;
        p.start();
        QCOMPARE(p.main->openUnit({1, 2, 3, 0}, false), OpenResult::Opened);
        const Lines before = p.masterLines();
        whenModal(p.editor(), [&p] {
            QPlainTextEdit* ques = p.in<QPlainTextEdit>("MemQues");
            ques->setPlainText(u("見出し\n(1) 2+3= #5##6#"));
            p.press("btnOk");
            QVERIFY(p.editor()->isVisible());
            QCOMPARE(p.prompts.lastUtf8(), std::string("2行目：解答がありません"));
            QCOMPARE(ques->textCursor().blockNumber(), 1);
            ques->setPlainText(u("(1) 2+3= #5#"));
            p.in<QPlainTextEdit>("memPasteLo")->setPlainText("<<kran\n1\n2\n3\n4\n5\n6\n7\n8\n9\n>>");
            p.press("btnOk");
            QCOMPARE(p.prompts.lastUtf8(), std::string("kranブロックの数が合いません"));
            p.press("btnCancel");
        });
        QTest::mouseClick(p.main->btnEdit, Qt::LeftButton);
        QVERIFY(!p.editor()->isVisible());
        QCOMPARE(p.masterLines(), before);
        QCOMPARE(p.captions().size(), 1);
    }

    void aWrongAnswerIsNamedBeforeTheSaveAndSavedOnlyWhenTheTeacherSaysSo()
    {
        Program p;
        p.start();
        QCOMPARE(p.main->openUnit({1, 2, 3, 0}, false), OpenResult::Opened);
        const Lines before = p.masterLines();
        whenModal(p.editor(), [&p, &before] {
            QPlainTextEdit* ques = p.in<QPlainTextEdit>("MemQues");
            ques->setPlainText(u("見出し\n(1) 1/3+1/3= #2/3#\n(2) 1/3+2/5= #7/15#"));
            p.prompts.queueAnswer(Answer::No);
            p.press("btnOk");
            QCOMPARE(p.prompts.lastUtf8(),
                     std::string("答えが式の値と違う問題があります。\n3行目：1/3+2/5 = 7/15（計算すると "
                                 "11/15）\nこのまま保存しますか"));
            QVERIFY(p.editor()->isVisible());
            QCOMPARE(ques->textCursor().blockNumber(), 2);
            QCOMPARE(p.masterLines(), before);
            p.prompts.queueAnswer(Answer::Yes);
            p.press("btnOk");
        });
        QTest::mouseClick(p.main->btnEdit, Qt::LeftButton);
        QVERIFY(!p.editor()->isVisible());
        QVERIFY(p.masterLines() != before);
        QCOMPARE(p.prompts.unexpected, 0);
    }

    void rawEditingWritesTheWholeFile()
    {
        Program p;
        p.start();
        QCOMPARE(p.main->openUnit({1, 2, 3, 0}, false), OpenResult::Opened);
        const Lines before = p.masterLines();
        TfrmEditSource* raw = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<TfrmEditSource*>(w)) raw = found;
        QVERIFY(raw != nullptr);
        whenModal(p.editor(), [&p, raw] {
            whenModal(raw, [&p, raw] {
                QVERIFY(raw->windowTitle().startsWith(u("ソースの直接編集")));
                QCOMPARE(raw->memSource->textCursor().position(), 0);
                QTest::mouseClick(raw->btnHelp, Qt::LeftButton);
                QCOMPARE(p.opened.size(), 1);
                QCOMPARE(p.opened[0].fragment(), QString("720"));
                QTest::keyClicks(raw->memSource, "top line");
                QTest::keyClick(raw->memSource, Qt::Key_Return);
                QTest::mouseClick(raw->btnOk, Qt::LeftButton);
            });
            p.press("btnEditDirect");
            p.press("btnCancel");
        });
        QTest::mouseClick(p.main->btnEdit, Qt::LeftButton);
        Lines expected = before;
        expected.insert(expected.begin(), "top line");
        QCOMPARE(p.masterLines(), expected);
    }

    void aMissingUnitIsCreatedFromTheOpenFlow()
    {
        Program p;
        const std::string index = p.systemDir() + "tasu/tasu.ind";
        Lines lines = readLineFile(index).value_or(Lines{});
        auto at = std::find(lines.begin(), lines.end(), "答えを約分するたし算・ひき算"_sj);
        QVERIFY(at != lines.end());
        lines.insert(at + 1, "まだない単元"_sj);
        QVERIFY(writeLineFile(index, lines));
        p.start();
        const Lines before = p.masterLines();

        TfrmMenu* menu = p.main->menuWindow();
        whenModal(menu, [menu] {
            test::clickRow(menu->findChild<QListWidget*>("lstLesson"), 0);
            test::clickRow(menu->findChild<QListWidget*>("lstSection"), 1);
            test::clickRow(menu->findChild<QListWidget*>("lstUnit"), 3);
            QTest::mouseClick(menu->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        });
        p.prompts.queueAnswer(Answer::Yes);
        whenModal(p.editor(), [&p] {
            QCOMPARE(p.in<QPlainTextEdit>("MemQues")->toPlainText(),
                     u("１．次の各空欄に適語を入れなさい。\n例　日本の首都は　#　東京　#　です"));
            QCOMPARE(p.in<QListWidget>("lstKai")->item(0)->text(), u("東京"));
            QVERIFY(!p.in<QPushButton>("btnEditDirect")->isEnabled());
            QVERIFY(!p.in<QPushButton>("btnRuidai")->isEnabled());
            p.press("btnOk");
        });
        QTest::mouseClick(p.main->btnOpenMaster, Qt::LeftButton);

        QCOMPARE(p.captions().size(), 1);
        QVERIFY(p.captions().first().endsWith("-U4"));
        QCOMPARE(p.main->currentWorksheet()->worksheet().settings.paper.width, 630);
        const Lines after = p.masterLines();
        QCOMPARE(Lines(after.begin(), after.begin() + static_cast<long>(before.size())), before);
        QCOMPARE(after[before.size()], std::string("[[unit4"));
    }

    void saveMasterWritesTheWorksheetBack()
    {
        Program p;
        p.start();
        QCOMPARE(p.main->openUnit({1, 2, 3, 0}, false), OpenResult::Opened);
        TfrmPrint* sheet = p.main->currentWorksheet();
        p.main->spnMojiSize->setValue(21);
        QVERIFY(sheet->worksheet().changed);
        QTest::mouseClick(p.main->btnSave, Qt::LeftButton);
        QVERIFY(p.main->btnSaveMaster->isEnabled());
        QTest::mouseClick(p.main->btnSaveMaster, Qt::LeftButton);
        QVERIFY(!sheet->worksheet().changed);
        Lines unit = recordOf(p.masterLines(), "[[unit3");
        auto font = std::find(unit.begin(), unit.end(), "<<font");
        QVERIFY(font != unit.end());
        QCOMPARE(*(font + 1), std::string("21"));
        QVERIFY(p.prompts.shown.empty());
    }
    void figuresSelectionListAndTheLoupe()
    {
        Program p;
        p.start();
        QCOMPARE(p.main->openUnit({1, 2, 3, 0}, false), OpenResult::Opened);
        const Lines before = p.masterLines();
        const Point first = p.main->currentWorksheet()->layout().segments.at(0);
        TfrmBMP* loupe = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<TfrmBMP*>(w)) loupe = found;
        QVERIFY(loupe != nullptr);

        whenModal(p.editor(), [&p, loupe, first] {
            QListWidget* files = p.in<QListWidget>("flbGraph");
            QVERIFY(files->count() > 0);
            test::clickRow(files, 0);
            QVERIFY(!p.in<QLabel>("imgGraph")->pixmap().isNull());
            whenModal(loupe, [loupe] {
                QCOMPARE(loupe->windowTitle(), u("Loupe 拡大表示"));
                QCOMPARE(loupe->lblXW->text().toInt(), loupe->imgBMP->pixmap().width());
                QCOMPARE(loupe->lblYH->text().toInt(), loupe->imgBMP->pixmap().height());
                QTest::mouseClick(loupe->btnClose, Qt::LeftButton);
            });
            QTest::mouseClick(p.in<QLabel>("imgGraph"), Qt::LeftButton);

            // Fifteen problem figures, the sixteenth refused; answer figures are counted apart.
            p.press("btnQGClear");
            for (int i = 0; i < 16; ++i)
                p.press("btnQGAdd");
            QCOMPARE(p.prompts.lastUtf8(), std::string("グラフは15個までです"));
            const QStringList lines = p.in<QPlainTextEdit>("memQGraph")->toPlainText().split('\n');
            QCOMPARE(lines.size(), 45);
            QCOMPARE(lines[0], files->item(0)->text());
            QCOMPARE(lines[1].toInt(), first.x + 40);
            QCOMPARE(lines[2].toInt(), first.y + 20);
            p.press("btnAGAdd");
            QCOMPARE(p.in<QPlainTextEdit>("memAGraph")->toPlainText().split('\n').size(), 3);

            // The selection list: answers in, digit-only and label lines out, dummies added.
            p.in<QPlainTextEdit>("MemQues")->setPlainText(u("見出し\n(1) # 3;３ # (2) # ア # (3) # 1/2 #"));
            p.press("btnTest");
            p.in<QCheckBox>("chkSuuji")->setChecked(false);
            p.in<QCheckBox>("chkKigou")->setChecked(false);
            p.press("btnKgAdd");
            QCOMPARE(p.in<QPlainTextEdit>("memKgroup")->toPlainText(), u("3\n３\nア\n1/2"));
            QCOMPARE(p.in<QLabel>("lblKosuh3")->text(), QString("4"));
            QCOMPARE(p.in<QLabel>("lblKosuh2")->text(), QString("3"));
            p.press("btnSuuji1");
            p.press("btnKigou1");
            QCOMPARE(p.in<QPlainTextEdit>("memKgroup")->toPlainText(), QString("1/2"));
            p.in<QPlainTextEdit>("memDummy")->setPlainText(u("1/3\n1/2"));
            p.press("btnDummy");
            QCOMPARE(p.in<QPlainTextEdit>("memKgroup")->toPlainText(), QString("1/2\n1/3"));
            p.press("btnNumber");
            QCOMPARE(p.in<QPlainTextEdit>("MemQues")->toPlainText(),
                     u("見出し\n(1) (1) # 3;３ # (2) # ア # (3) # 1/2 #="));

            // Closing the window with changes asks; No leaves the file as it was.
            p.prompts.queueAnswer(Answer::No);
            QTest::keyClick(p.editor(), Qt::Key_Escape);
            QCOMPARE(p.prompts.lastUtf8(), std::string("変更されたデータファイルを保存しますか？"));
        });
        QTest::mouseClick(p.main->btnEdit, Qt::LeftButton);
        QVERIFY(!p.editor()->isVisible());
        QCOMPARE(p.masterLines(), before);
        QCOMPARE(p.prompts.unexpected, 0);
    }
};

TAVOLA_GUI_TEST(tst_TfrmEditQues)
#include "tst_TfrmEditQues.moc"

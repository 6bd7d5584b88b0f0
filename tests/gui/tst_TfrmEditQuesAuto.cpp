// 類題を自動作成 as a teacher uses it: in the master file editor of an open unit, one press makes the next similar
// problem with new numbers and shows it; nothing is written until OK; after OK the similar problem opens in a window
// of its own, its answers exact.
#include "support/gui_registry.h"
#include "support/program_fixture.h"

#include "authoring/TfrmEditQues.h"
#include "platform/line_file.h"
#include "platform/qt/qt_text.h"
#include "question/master_file.h"
#include "variant/problem_text.h"
#include "worksheet/TfrmPrint.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tavola;
using tavola::test::u;
using tavola::test::whenModal;

namespace {

struct Program : test::ProgramFixture {
    Program() { copySample(); }

    void start()
    {
        QVERIFY(showWindows());
        QVERIFY(main->index().readLesson(1));
    }
    TfrmEditQues* editor() const { return main->editQuesWindow(); }
    template <class T> T* in(const char* name) const { return editor()->findChild<T*>(name); }
    void press(const char* name) const { QTest::mouseClick(in<QPushButton>(name), Qt::LeftButton); }
    Lines masterLines() const { return readLineFile(systemDir() + "tasu/tasu2.que").value_or(Lines{}); }
    Lines shownProblems() const
    {
        return splitLines(fromQString(in<QPlainTextEdit>("MemQues")->toPlainText()).value_or(std::string()));
    }
};

// Every problem line is a calculation whose first answer is the value of its arithmetic.
void expectExactAnswers(const Lines& lines)
{
    int problems = 0;
    for (const std::string& line : lines) {
        if (!variant::parseProblem(line)) continue;
        ++problems;
        auto wrong = variant::firstAnswerDisagreement(line);
        QVERIFY2(!wrong, (line + ": " + wrong.value_or("")).c_str());
    }
    QVERIFY(problems > 0);
}

} // namespace

class tst_TfrmEditQuesAuto : public QObject {
    Q_OBJECT

private slots:
    void aSimilarProblemWithNewNumbersOpensAfterOk()
    {
        Program p;
        p.start();
        QCOMPARE(p.main->openUnit({1, 2, 3, 0}, false), OpenResult::Opened);
        const Lines before = p.masterLines();
        const Lines authored = p.main->currentWorksheet()->worksheet().problemLines;
        const int m = static_cast<int>(similarProblemsPresent(before, 3).size()) + 1;

        Lines shown;
        whenModal(p.editor(), [&] {
            QVERIFY(p.in<QPushButton>("btnAutoRuidai")->isEnabled());
            QCOMPARE(p.in<QPushButton>("btnAutoRuidai")->text(), u("類題を自動作成"));
            p.press("btnAutoRuidai");
            QCOMPARE(p.in<QLineEdit>("edtLesson")->text(), QString("1 2 3R%1").arg(m));
            QVERIFY(!p.in<QPushButton>("btnAutoRuidai")->isEnabled());
            QVERIFY(!p.in<QPushButton>("btnRuidai")->isEnabled());
            shown = p.shownProblems();
            QCOMPARE(shown.size(), authored.size());
            QVERIFY(shown != authored);
            expectExactAnswers(shown);
            // The extracted answers are those of the new numbers.
            QCOMPARE(p.in<QListWidget>("lstKai")->count(), 6);
            QCOMPARE(p.in<QListWidget>("lstKai")->item(0)->text(),
                     toQString(shown[1].substr(shown[1].find('#') + 2, shown[1].rfind('#') - shown[1].find('#') - 3)));
            // Shown, not written.
            QCOMPARE(p.masterLines(), before);
            p.press("btnOk");
        });
        QTest::mouseClick(p.main->btnEdit, Qt::LeftButton);
        QCOMPARE(p.prompts.unexpected, 0);

        // The similar problem opens in a window of its own with the numbers that were shown.
        TfrmPrint* sheet = p.main->currentWorksheet();
        QVERIFY(sheet != nullptr);
        QVERIFY(p.main->mdiArea()->currentSubWindow()->windowTitle().endsWith(QString("-U3R%1").arg(m)));
        QCOMPARE(sheet->worksheet().problemLines, shown);
        expectExactAnswers(sheet->worksheet().problemLines);
        // The base unit is untouched; the new record is appended.
        const Lines after = p.masterLines();
        QCOMPARE(Lines(after.begin(), after.begin() + static_cast<long>(before.size())), before);
        QCOMPARE(after[before.size()], "[[unit3R" + std::to_string(m));
    }

    void cancelWritesNothing()
    {
        Program p;
        p.start();
        QCOMPARE(p.main->openUnit({1, 2, 3, 0}, false), OpenResult::Opened);
        const Lines before = p.masterLines();
        whenModal(p.editor(), [&p] {
            p.press("btnAutoRuidai");
            p.press("btnCancel");
        });
        QTest::mouseClick(p.main->btnEdit, Qt::LeftButton);
        QCOMPARE(p.masterLines(), before);
        QCOMPARE(p.prompts.unexpected, 0);
    }
};

TAVOLA_GUI_TEST(tst_TfrmEditQuesAuto)
#include "tst_TfrmEditQuesAuto.moc"

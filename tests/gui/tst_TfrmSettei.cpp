// The answer-box settings dialog worked as a person works it, over a worksheet held by a stand-in main window:
// opening, the shape buttons and the spins they enable, typing a width, the arrows, the margins, the keys and 閉じる.
#include "support/gui_helpers.h"
#include "support/gui_registry.h"

#include "platform/qt/qt_text.h"
#include "platform/sjis.h"
#include "worksheet/TfrmSettei.h"
#include "worksheet/worksheet_host.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace tavola;
using tavola::test::u;

namespace {

// The main window as the dialog sees it: it holds one worksheet and counts what it is asked to do.
class FakeHost : public WorksheetHost {
public:
    Worksheet sheet;
    bool hasSheet = true;
    bool reduced = false;
    bool answers = false;
    int redraws = 0;
    int marks = 0;
    int scrolls = 0;

    Worksheet* activeWorksheet() override { return hasSheet ? &sheet : nullptr; }
    const PageLayout* activeLayout() const override { return nullptr; }
    void redrawActiveWorksheet() override { ++redraws; }
    void markActiveWorksheetChanged() override
    {
        ++marks;
        sheet.changed = true;
    }
    void toggleReducedView() override { reduced = !reduced; }
    std::string reducedViewCaption() const override { return reduced ? "拡大"_sj : "縮小"_sj; }
    void scrollActiveWorksheet() override { ++scrolls; }
    void setShowAnswers(bool on) override
    {
        answers = on;
        sheet.settings.answersShown = on;
        ++redraws;
    }
    bool showAnswers() const override { return answers; }
};

struct Fixture {
    FakeHost host;
    std::unique_ptr<TfrmSettei> form;

    // kran: the "<<kran" block's lines; empty for a unit without one.
    explicit Fixture(Lines kran = {"1", "10", "4", "0", "0", "0", "15", "10", "0", "0"})
    {
        UnitData unit;
        unit.title = "分数のたし算"_sj;
        unit.problemLines = {"1/2+1/3=#5/6#", "2/3-1/2=#1/6#"};
        unit.kran = std::move(kran);
        unit.hasKran = !unit.kran.empty();
        host.sheet = makeWorksheet(unit, false);
        form = std::make_unique<TfrmSettei>(host);
        form->setPanelHeight(600);
    }

    template <class T> T* child(const char* name) const
    {
        T* w = form->findChild<T*>(name);
        if (w == nullptr) qWarning("no control %s", name);
        return w;
    }
    QSpinBox* spin(const char* name) const { return child<QSpinBox>(name); }
    QRadioButton* radio(const char* name) const { return child<QRadioButton>(name); }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }

    // Runs the dialog modally; body works it while it is open. Whatever body leaves open is closed with Esc, so a
    // failed check never leaves the modal loop running.
    int run(const std::function<void()>& body)
    {
        QTimer::singleShot(0, form.get(), [this, body] {
            body();
            if (form->isVisible()) form->reject();
        });
        return form->exec();
    }

    void type(const char* spinName, const char* text) const
    {
        QSpinBox* s = spin(spinName);
        s->setFocus();
        s->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(s, text);
    }

    void click(QAbstractButton* b) const { QTest::mouseClick(b, Qt::LeftButton); }
    // On the radio's mark, as a person clicks a radio button.
    void click(QRadioButton* r) const { QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(8, r->height() / 2)); }
};

} // namespace

class tst_TfrmSettei : public QObject {
    Q_OBJECT

private slots:
    void opensBesideThePanelWithTheWorksheetsValuesAndTheAnswersShown()
    {
        Fixture f({"5", "12", "6", "0", "8", "3", "20", "11", "0", "0"});
        f.host.sheet.settings.leftMargin = 2;
        f.host.sheet.settings.rightMargin = 7;
        int result = f.run([&] {
            QCOMPARE(f.form->windowTitle(), u("設定"));
            QCOMPARE(f.form->pos(), QPoint(0, 48));
            QCOMPARE(f.form->height(), 600);
            QCOMPARE(f.form->palette().color(QPalette::Window), QColor(0xc0, 0xc0, 0xff));
            QCOMPARE(f.child<QGroupBox>("grbShape")->palette().color(QPalette::Window), QColor(0xff, 0xff, 0xf0));
            QCOMPARE(f.child<QGroupBox>("grbPosition")->title(), u("解答位置と余白"));
            QCOMPARE(f.child<QGroupBox>("grbShape")->title(), u("解答欄の形"));

            QVERIFY(f.radio("radRound")->isChecked());
            QCOMPARE(f.spin("spnKranWX")->value(), 12);
            QCOMPARE(f.spin("spnKranH")->value(), 6);
            QCOMPARE(f.spin("spnAnsX")->value(), 8);
            QCOMPARE(f.spin("spnAnsY")->value(), 3);
            QCOMPARE(f.spin("spnKranX")->value(), 20);
            QCOMPARE(f.spin("spnKranY")->value(), 11);
            QCOMPARE(f.spin("spnLeftM")->value(), 2);
            QCOMPARE(f.spin("spnRightM")->value(), 7);
            QVERIFY(f.spin("spnKranWX")->isEnabled());
            QVERIFY(f.spin("spnKranH")->isEnabled());
            QVERIFY(f.spin("spnKranX")->isHidden());
            QVERIFY(f.spin("spnKranY")->isHidden());
            QVERIFY(f.radio("radKakko")->isHidden());
            QVERIFY(f.radio("radLine")->isHidden());
            QCOMPARE(f.button("btnKakudai")->text(), u("縮小"));
            QCOMPARE(f.button("btnOk")->text(), u("閉じる"));
        });
        QCOMPARE(result, int(QDialog::Rejected));
        // The answers were switched on; loading the controls changed nothing.
        QVERIFY(f.host.answers);
        QVERIFY(f.host.sheet.settings.answersShown);
        QCOMPARE(f.host.marks, 0);
        QVERIFY(!f.host.sheet.changed);
        QCOMPARE(f.host.sheet.settings.kranLines(), (Lines{"5", "12", "6", "0", "8", "3", "20", "11", "0", "0"}));
    }

    void shapeOfTheFileSelectsItsButton_data()
    {
        QTest::addColumn<QString>("item0");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<bool>("widthOn");
        QTest::addColumn<bool>("heightOn");
        QTest::newRow("none") << u("0") << u("radNon") << false << false;
        QTest::newRow("square") << u("1") << u("radShikaku") << true << true;
        QTest::newRow("lenticular") << u("3") << u("radLine") << true << false;
        QTest::newRow("unknown") << u("7") << u("radNon") << false << false;
        // ［ ］ of width 10, and no visible button chosen.
        QTest::newRow("without kran") << QString() << u("radKakko") << true << false;
    }
    void shapeOfTheFileSelectsItsButton()
    {
        QFETCH(QString, item0);
        QFETCH(QString, checked);
        QFETCH(bool, widthOn);
        QFETCH(bool, heightOn);
        Lines kran;
        if (!item0.isEmpty()) kran = {item0.toStdString(), "10", "4", "0", "0", "0", "15", "10", "0", "0"};
        Fixture f(kran);
        f.run([&] {
            for (const char* name : {"radNon", "radShikaku", "radKakko", "radLine", "radKasen", "radRound"})
                QCOMPARE(f.radio(name)->isChecked(), checked == name);
            QCOMPARE(f.spin("spnKranWX")->isEnabled(), widthOn);
            QCOMPARE(f.spin("spnKranH")->isEnabled(), heightOn);
            QCOMPARE(f.spin("spnKranWX")->value(), 10);
        });
        QCOMPARE(f.host.marks, 0);
    }

    void shapeButtonsWriteTheShapeAndEnableTheSpins_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("shape");
        QTest::addColumn<bool>("widthOn");
        QTest::addColumn<bool>("heightOn");
        QTest::addColumn<bool>("marks");
        QTest::newRow("none") << "radNon" << 0 << false << false << true;
        QTest::newRow("square") << "radShikaku" << 1 << true << true << false;
        QTest::newRow("underline") << "radKasen" << 4 << true << false << true;
        QTest::newRow("rounded") << "radRound" << 5 << true << true << false;
    }
    void shapeButtonsWriteTheShapeAndEnableTheSpins()
    {
        QFETCH(QString, button);
        QFETCH(int, shape);
        QFETCH(bool, widthOn);
        QFETCH(bool, heightOn);
        QFETCH(bool, marks);
        Fixture f(Lines{}); // opens on the hidden ［ ］ button, so every visible one is a change
        int redrawsAtOpening = 0;
        f.run([&] {
            redrawsAtOpening = f.host.redraws;
            f.click(f.radio(button.toUtf8().constData()));
            QCOMPARE(f.spin("spnKranWX")->isEnabled(), widthOn);
            QCOMPARE(f.spin("spnKranH")->isEnabled(), heightOn);
        });
        QCOMPARE(f.host.sheet.settings.answerBox.shape, shape);
        QCOMPARE(f.host.sheet.changed, marks);
        QCOMPARE(f.host.redraws, redrawsAtOpening + 1);
    }

    void typedWidthAndHeightAreWrittenAndMarkTheSheet()
    {
        Fixture f;
        f.run([&] {
            f.type("spnKranWX", "15");
            f.type("spnKranH", "7");
        });
        QCOMPARE(f.host.sheet.settings.answerBox.width, 15);
        QCOMPARE(f.host.sheet.settings.answerBox.height, 7);
        QCOMPARE(f.host.sheet.settings.kranLines()[1], std::string("15"));
        QVERIFY(f.host.sheet.changed);
    }

    void arrowsMoveTheAnswerPosition()
    {
        Fixture f;
        f.run([&] {
            f.click(f.button("btnRight"));
            f.click(f.button("btnRight"));
            f.click(f.button("btnRight"));
            f.click(f.button("btnLeft"));
            f.click(f.button("btnDown"));
            f.click(f.button("btnUp"));
            f.click(f.button("btnUp"));
            QCOMPARE(f.spin("spnAnsX")->value(), 2);
            QCOMPARE(f.spin("spnAnsY")->value(), -1);
        });
        QCOMPARE(f.host.sheet.settings.answerBox.answerX, 2);
        QCOMPARE(f.host.sheet.settings.answerBox.answerY, -1);
        QVERIFY(f.host.sheet.changed);

        // The answer position does not go left of the text's own end (0).
        Fixture g;
        g.run([&] { g.click(g.button("btnLeft")); });
        QCOMPARE(g.host.sheet.settings.answerBox.answerX, 0);
        QVERIFY(!g.host.sheet.changed);
    }

    void marginsAreTheWorksheetsAndStayWithin0To15()
    {
        Fixture f;
        f.run([&] {
            QTest::keyClick(f.spin("spnLeftM"), Qt::Key_Up);
            f.type("spnRightM", "0");
            QCOMPARE(f.spin("spnLeftM")->maximum(), 15);
            f.type("spnLeftM", "99");
        });
        QCOMPARE(f.host.sheet.settings.rightMargin, 0);
        QVERIFY(f.host.sheet.settings.leftMargin <= 15);
        QVERIFY(f.host.sheet.changed);
        QCOMPARE(f.host.sheet.settings.kranLines(), (Lines{"1", "10", "4", "0", "0", "0", "15", "10", "0", "0"}));
    }

    void keysOfTheDialog()
    {
        Fixture f;
        int result = f.run([&] {
            QSpinBox* width = f.spin("spnKranWX");
            QTest::keyClick(width, Qt::Key_S);
            QVERIFY(f.host.reduced);
            QCOMPARE(f.button("btnKakudai")->text(), u("拡大"));
            QTest::keyClick(f.spin("spnAnsX"), 's');
            QVERIFY(!f.host.reduced);
            QCOMPARE(f.button("btnKakudai")->text(), u("縮小"));
            f.click(f.button("btnKakudai"));
            QVERIFY(f.host.reduced);
            QCOMPARE(f.button("btnKakudai")->text(), u("拡大"));

            // Page Up and Page Down scroll the worksheet instead of stepping the spin.
            QTest::keyClick(width, Qt::Key_PageUp);
            QTest::keyClick(width, Qt::Key_PageDown);
            QCOMPARE(f.host.scrolls, 2);
            QCOMPARE(width->value(), 10);

            width->findChild<QLineEdit*>()->end(false);
            QTest::keyClick(width, Qt::Key_Backspace);
            QCOMPARE(width->value(), 10);
            QCOMPARE(width->text(), QString("10"));

            QTest::keyClick(width, Qt::Key_Escape);
            QVERIFY(!f.form->isVisible());
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(f.host.sheet.settings.answerBox.width, 10);
        QVERIFY(!f.host.sheet.changed);
    }

    void closingWritesTheSizesOnceMore()
    {
        Fixture f;
        int redrawsBeforeOk = 0;
        int result = f.run([&] {
            // Changed behind the dialog's back: 閉じる puts the spins' values back.
            f.host.sheet.settings.answerBox.width = 33;
            f.host.sheet.settings.answerBox.height = 9;
            redrawsBeforeOk = f.host.redraws;
            f.click(f.button("btnOk"));
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(f.host.sheet.settings.answerBox.width, 10);
        QCOMPARE(f.host.sheet.settings.answerBox.height, 4);
        QCOMPARE(f.host.redraws, redrawsBeforeOk + 1);
        QVERIFY(f.host.sheet.changed);

        // Closing an untouched dialog redraws but leaves the worksheet unchanged.
        Fixture g;
        QCOMPARE(g.run([&] { g.click(g.button("btnOk")); }), int(QDialog::Accepted));
        QVERIFY(!g.host.sheet.changed);
    }

    void valuesBeyondTheSpinRangesSurviveOpeningAndClosing()
    {
        Fixture f({"1", "80", "40", "0", "95", "0", "15", "10", "0", "0"});
        f.host.sheet.settings.leftMargin = 20;
        f.run([&] {
            QCOMPARE(f.spin("spnKranWX")->value(), 80);
            QCOMPARE(f.spin("spnLeftM")->value(), 20);
            f.click(f.button("btnOk"));
        });
        QCOMPARE(f.host.sheet.settings.kranLines(), (Lines{"1", "80", "40", "0", "95", "0", "15", "10", "0", "0"}));
        QCOMPARE(f.host.sheet.settings.leftMargin, 20);
        QVERIFY(!f.host.sheet.changed);

        // Opened again on a worksheet with usual values, the usual ranges are back.
        f.host.sheet.settings.leftMargin = 3;
        f.run([&] { QCOMPARE(f.spin("spnLeftM")->maximum(), 15); });
    }

    void withoutAWorksheetTheDialogDoesNotOpen()
    {
        Fixture f;
        f.host.hasSheet = false;
        QCOMPARE(f.form->exec(), int(QDialog::Rejected));
        QVERIFY(!f.host.answers);
        QCOMPARE(f.host.redraws, 0);
    }
};

TAVOLA_GUI_TEST(tst_TfrmSettei)
#include "tst_TfrmSettei.moc"

// The all-units window: the tree of the lesson with its marks, the date and the print counter, and printing the
// window into a PDF file.
#include "support/gui_helpers.h"
#include "support/gui_registry.h"

#include "courseware/TfrmZenTangen.h"
#include "courseware/menu_courseware.h"
#include "courseware/qt_form_printer.h"
#include "platform/seams.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace tavola;
using tavola::test::u;

namespace {

// Prints into a PDF file instead of a printer.
class PdfFormPrinter : public FormPrinter {
public:
    explicit PdfFormPrinter(QString path) : path_(std::move(path)) {}
    bool printForm(QWidget& form) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path_);
        return renderFormOnPrinter(form, printer);
    }

private:
    QString path_;
};

struct Fixture {
    test::MenuCourseware c;
    CoursewareIndex index{c.dir()};
    UnitMarks marks;
    bool stale = true;
    FixedClock clock{DateTime{2005, 3, 5, 9, 7, 0}};
    int refreshes = 0;
    std::unique_ptr<TfrmZenTangen> form;

    explicit Fixture(int lesson = 1)
    {
        test::writeStandardCourseware(c);
        c.addRecords("L1\\taro.ini", "S23通分３", 12);
        index.readMainIndex();
        index.readLesson(lesson);
        form = std::make_unique<TfrmZenTangen>(index, marks);
        form->setClock(clock);
        form->setLesson(lesson);
        form->setFormSize(QSize(700, 500));
        form->setRefreshMarks([this, lesson] {
            ++refreshes;
            marks.refresh(index, lesson, c.path("L1\\taro.ini"), stale);
        });
    }

    QTreeWidget* tree() const { return form->findChild<QTreeWidget*>("trvMain"); }
    QLineEdit* counter() const { return form->findChild<QLineEdit*>("Edit1"); }

    void show()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
};

QStringList childTexts(QTreeWidgetItem* item)
{
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i)
        out << item->child(i)->text(0);
    return out;
}

} // namespace

class tst_TfrmZenTangen : public QObject {
    Q_OBJECT

private slots:
    void treeOfTheLessonWithMarksDateAndCounter()
    {
        Fixture f;
        f.show();
        QCOMPARE(f.form->windowTitle(), u("全単元"));
        QCOMPARE(f.refreshes, 1);
        QCOMPARE(f.form->size(), QSize(700, 500));
        QCOMPARE(f.form->pos(), QPoint(0, 0));
        QCOMPARE(f.tree()->height(), 450);
        QCOMPARE(f.tree()->font().pixelSize(), 13);
        QCOMPARE(f.form->findChild<QLabel*>("Label1")->text(), u("2005.03.05-"));
        QCOMPARE(f.counter()->text(), u("0"));

        QCOMPARE(f.tree()->topLevelItemCount(), 1);
        QTreeWidgetItem* root = f.tree()->topLevelItem(0);
        QCOMPARE(root->text(0), u("分数のたし算"));
        QCOMPARE(childTexts(root), (QStringList{u("同じ分母"), u("ちがう分母"), u("まとめ")}));
        QCOMPARE(childTexts(root->child(0)),
                 (QStringList{u("◎[ ]分母が同じ１"), u("　[ ]分母が同じ２"), u("　[ ]分母が同じ３")}));
        QCOMPARE(childTexts(root->child(1)).at(2), u("◎[12]通分３"));
        QCOMPARE(root->child(2)->childCount(), 0);
        QVERIFY(root->isExpanded());
        QVERIFY(root->child(1)->isExpanded());
        // Resizing keeps the tree 50 pixels shorter than the window.
        f.form->resize(600, 400);
        QCOMPARE(f.tree()->height(), 350);
    }

    void aLessonWithoutSubIndexShowsANewOne()
    {
        auto f = std::make_unique<Fixture>(2);
        f->c.remove("L2\\hiki.ind");
        f->index.readLesson(2);
        f->show();
        QTreeWidgetItem* root = f->tree()->topLevelItem(0);
        QCOMPARE(root->text(0), u("ここにタイトルをかいてください"));
        QCOMPARE(childTexts(root), (QStringList{u("ここは主メニュー")}));
        QCOMPARE(childTexts(root->child(0)), (QStringList{u("　[ ]ここは副メニュー")}));
    }

    void printingCountsAndWritesTheWindowIntoAPdf()
    {
        Fixture f;
        QTemporaryDir dir;
        QString path = dir.filePath("zentangen.pdf");
        PdfFormPrinter printer(path);
        f.form->setPrinter(&printer);
        f.show();
        QTest::mouseClick(f.form->findChild<QPushButton*>("btnPrint"), Qt::LeftButton);
        QCOMPARE(f.counter()->text(), u("1"));
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.size() > 1000);
        QVERIFY(pdf.read(5) == "%PDF-");
        pdf.close();
        QTest::mouseClick(f.form->findChild<QPushButton*>("btnPrint"), Qt::LeftButton);
        QCOMPARE(f.counter()->text(), u("2"));

        // Closing is OK; the next showing starts the counter again.
        QTest::mouseClick(f.form->findChild<QPushButton*>("btnClose"), Qt::LeftButton);
        QCOMPARE(f.form->result(), int(QDialog::Accepted));
        f.show();
        QCOMPARE(f.counter()->text(), u("0"));
        QCOMPARE(f.form->printCounter(), 0);
    }
};

TAVOLA_GUI_TEST(tst_TfrmZenTangen)
#include "tst_TfrmZenTangen.moc"

// Screen pages of the test courseware as the worksheet window and tavola-cli render paint them, compared with the
// pages the program drew before its page layout was made a value of its own: a few pages, answers shown and hidden,
// identical to the last pixel below the header (whose number line tells the time, and whose long titles are now
// spaced by the height of their face).
#include "support/gui_registry.h"

#include "courseware/index_file.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/qt/qt_canvas.h"
#include "question/unit_reader.h"
#include "worksheet/drawing_pass.h"
#include "worksheet/figures.h"

#include <QCryptographicHash>
#include <QImage>
#include <QTest>

using namespace tavola;

class tst_GoldenPages : public QObject {
    Q_OBJECT

private slots:
    void screenPagesAreThePagesOfBefore()
    {
        struct Golden {
            UnitPosition unit;
            bool answers;
            const char* sha1; // RGB bytes of rows 90 (the rule under the header) to the bottom
        };
        const Golden pages[] = {
            {{1, 1, 1, 0}, true, "cdc9504764302f6eca750cf8bfd463ae0f886e40"},
            {{1, 1, 1, 0}, false, "0ea5b95b0b8ed76c7b12abcd23e48ab7767f9ca9"},
            {{1, 2, 1, 0}, true, "331b4e8b6b0d6ad3dc90f0e37a4e76a817dabd58"},
            {{1, 2, 3, 0}, false, "40d077841072f4e9efadd2204d98cf2272682e9c"},
            {{1, 3, 1, 0}, true, "25265c1fa1f01907ffe06f3f6c23feec6a4dac11"},
            {{1, 3, 2, 1}, true, "a03c25b78f4621b5b3718fea65e9a815126cb71f"},
        };
        const std::optional<std::string> dir = paths::systemPathOf(std::string(TAVOLA_SAMPLE_DIR) + "/");
        QVERIFY(dir.has_value());
        for (const Golden& g : pages) {
            const QString name = QString("%1-%2-%3-%4 answers %5")
                                     .arg(g.unit.lesson)
                                     .arg(g.unit.section)
                                     .arg(g.unit.unit)
                                     .arg(g.unit.similar)
                                     .arg(g.answers);
            CoursewareIndex index(*dir);
            QVERIFY(index.readMainIndex().ok());
            QVERIFY(index.readLesson(g.unit.lesson).ok());
            UnitReader reader;
            QVERIFY2(reader.read(unitReadRequest(index, g.unit)).ok(), qPrintable(name));
            Worksheet sheet = makeWorksheet(reader.unit(), g.answers);
            ScriptedPrompts prompts;
            const FigurePictures figures = loadFigurePictures(sheet, index.figureFolder(g.unit.lesson), prompts);
            DrawOptions options;
            options.classFlag = loadClassFlag(*dir);
            options.figures = &figures;
            QImage image(sheet.settings.paper.width, sheet.settings.paper.height, QImage::Format_RGB32);
            {
                QtCanvas canvas(image);
                drawPage(sheet, canvas, options);
            }
            const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
            QCryptographicHash hash(QCryptographicHash::Sha1);
            for (int y = 90; y < rgb.height(); ++y)
                hash.addData(QByteArrayView(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3));
            QCOMPARE(hash.result().toHex(), QByteArray(g.sha1));
        }
    }
};

TAVOLA_GUI_TEST(tst_GoldenPages)
#include "tst_GoldenPages.moc"

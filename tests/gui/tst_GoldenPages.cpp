// Screen pages of the test courseware as the worksheet window and tavola-cli render paint them, compared with the
// pages the program drew before its page layout was made a value of its own: a few pages, answers shown and hidden,
// identical to the last pixel below the number line (whose time changes from run to run).
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
            const char* sha1; // RGB bytes of rows 30 to the bottom
        };
        const Golden pages[] = {
            {{1, 1, 1, 0}, true, "bb51f321697bc3e214ac3ef670888cd65ad8d6ac"},
            {{1, 1, 1, 0}, false, "c4e411b808818591665ddb5620cbd89c1a1fb40f"},
            {{1, 2, 1, 0}, true, "95d475138770ee5a5118db0c7429840e112fb0b4"},
            {{1, 2, 3, 0}, false, "c78171afa6ef6c521f6ef15bf11ff02c414368c2"},
            {{1, 3, 1, 0}, true, "145e0acb7c99241a32fd8d4a11f28d8ca19bf054"},
            {{1, 3, 2, 1}, true, "d8050d52a69314f549eaea2bf3713c567ad5e7f7"},
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
            for (int y = 30; y < rgb.height(); ++y)
                hash.addData(QByteArrayView(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3));
            QCOMPARE(hash.result().toHex(), QByteArray(g.sha1));
        }
    }
};

TAVOLA_GUI_TEST(tst_GoldenPages)
#include "tst_GoldenPages.moc"

// The Qt canvas on a picture and on a PDF writer: font sizes, text placement and advance, pen modes, the
// platform's exclusive edges, stretched pictures, and the renderer drawn through it.
#include "support/gui_registry.h"

#include "platform/numbers.h"
#include "platform/qt/qt_canvas.h"
#include "render/draw_math.h"
#include "render/unit_images.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

#include <optional>

using namespace tavola;

namespace {

QImage whitePage(int w = 200, int h = 120)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool isInk(QRgb p)
{
    return qGray(p) < 160;
}

// The rows and columns that hold ink in a rectangle of the picture; nullopt when it is blank.
std::optional<QRect> inkBounds(const QImage& image, const QRect& area)
{
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isInk(image.pixel(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (left == INT_MAX) return std::nullopt;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// A text drawn the plain Qt way: the canvas's font on the device, the baseline one ascent under the cell's top.
QImage drawnByQt(const QImage& blank, const FontSpec& fontSpec, bool opaque, const std::string& text, QPoint at)
{
    QImage image = blank.copy();
    QtCanvas reference(image); // only for the QFont the specification turns into
    const QFont f = reference.qfont(fontSpec);
    reference.end();
    QPainter p(&image);
    const QFontMetrics m(f, &image);
    const QString s = QString::fromUtf8(sjis::toUtf8(text));
    if (opaque) p.fillRect(QRect(at.x(), at.y(), m.horizontalAdvance(s), m.ascent() + m.descent()), Qt::white);
    p.setFont(f);
    p.setPen(QColor(fontSpec.colour.red(), fontSpec.colour.green(), fontSpec.colour.blue()));
    p.drawText(QPointF(at.x(), at.y() + m.ascent()), s);
    return image;
}

} // namespace

class tst_QtCanvas : public QObject {
    Q_OBJECT

private slots:
    void pointSizesBecomePixelsAtTheDeviceResolution()
    {
        QImage image = whitePage();
        QtCanvas canvas(image);
        QCOMPARE(canvas.pixelsPerInch(), 96);
        QCOMPARE(canvas.isPrinter(), false);
        QCOMPARE(canvas.width(), 200);
        QCOMPARE(canvas.height(), 120);
        QCOMPARE(canvas.pixelSizeOf(18), 24);
        QCOMPARE(canvas.pixelSizeOf(14), 19); // 18.67, half up
        QCOMPARE(canvas.pixelSizeOf(12), 16);
        FontSpec fontSpec;
        fontSpec.face = "ＭＳ 明朝"_sj;
        fontSpec.sizePt = 18;
        QFont f = canvas.qfont(fontSpec);
        QCOMPARE(f.pixelSize(), 24);
        // The system's face goes to the installed metric-compatible one, not a fallback.
        QVERIFY2(QFontInfo(f).family().contains("IPA"), qPrintable(QFontInfo(f).family()));
        canvas.font = fontSpec;
        const int h = canvas.textHeight("1");
        QVERIFY2(h >= 24 && h <= 30, qPrintable(QString::number(h)));
    }

    void textCellTopLeftIsThePointGiven()
    {
        QImage image = whitePage();
        int end = 0;
        int advance = 0;
        int height = 0;
        {
            QtCanvas canvas(image);
            canvas.brush.style = BrushStyle::Clear;
            canvas.font.face = "ＭＳ 明朝"_sj;
            canvas.font.sizePt = 18;
            advance = canvas.textWidth("8/8");
            height = canvas.textHeight("8");
            end = canvas.textOut(40, 30, "8/8");
        }
        QCOMPARE(end, 40 + advance);
        auto ink = inkBounds(image, image.rect());
        QVERIFY(ink.has_value());
        QVERIFY2(ink->top() >= 30, qPrintable(QString::number(ink->top())));
        QVERIFY2(ink->top() <= 30 + 8, "a digit's top sits just under the cell's top");
        QVERIFY(ink->bottom() < 30 + height);
        QVERIFY(ink->left() >= 40 && ink->right() < end + 1);
    }

    void runAdvanceIsMeasuredOnceForTheWholeRun()
    {
        QImage image = whitePage();
        QtCanvas canvas(image);
        canvas.font.face = "ＭＳ 明朝"_sj;
        canvas.font.sizePt = 14;
        const std::string run = "1234567890";
        const QFontMetrics m(canvas.qfont(canvas.font), &image);
        QCOMPARE(canvas.textOut(5, 5, run), 5 + m.horizontalAdvance(QString::fromStdString(run)));
        QCOMPARE(canvas.textWidth(run), m.horizontalAdvance(QString::fromStdString(run)));
        QCOMPARE(canvas.textOut(5, 5, ""), 5);
        // Double-byte text goes through the CP932 conversion.
        const std::string sign = "≧"_sj;
        QCOMPARE(canvas.textWidth(sign), m.horizontalAdvance(QString::fromUtf8("≧")));
    }

    // Thirty thousand double-byte characters at the largest size are a long way across, but never wrap round to
    // a negative width or pen position, and what reaches the page is still drawn.
    void longRunsAreMeasuredWithoutOverflow()
    {
        QImage image = whitePage();
        QtCanvas canvas(image);
        canvas.font.face = "ＭＳ 明朝"_sj;
        canvas.font.sizePt = 1000;
        std::string run;
        for (int i = 0; i < 30000; ++i)
            run += "あ"_sj;
        const int one = canvas.textWidth("あ"_sj);
        const long long expected = 30000LL * one;
        QVERIFY(canvas.textWidth(run) > 0);
        QVERIFY(std::llabs(canvas.textWidth(run) - expected) <= 30000);
        const int end = canvas.textOut(-100, 0, run);
        QVERIFY(end > 0 && std::llabs(end + 100LL - expected) <= 30000);
        QCOMPARE(canvas.textOut(2'000'000'000, 0, "1"), kPositionLimit);
        // At a size that fits the page the start of the long run is drawn.
        canvas.font.sizePt = 14;
        canvas.textOut(5, 5, run);
        QVERIFY(image != whitePage());
    }

    // A text-out draws the same pixels the first time (shaped anew), the second time (kept from the first) and
    // as QPainter::drawText does, whatever the face, style and fallback.
    void keptTextDrawsTheSamePixelsAsQt_data()
    {
        QTest::addColumn<QByteArray>("face");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<bool>("strikeOut");
        QTest::addColumn<bool>("opaque");
        QTest::addColumn<int>("sizePt");
        QTest::addColumn<QByteArray>("colour");
        QTest::newRow("ascii") << QByteArray("ＭＳ 明朝") << QByteArray("(12)  3/45+x=y") << false << false << false
                               << false << 14 << QByteArray("black");
        QTest::newRow("one digit") << QByteArray("ＭＳ 明朝") << QByteArray("7") << false << false << false << false
                                   << 18 << QByteArray("black");
        QTest::newRow("full width") << QByteArray("ＭＳ 明朝") << QByteArray("分数のたし算　実施日　　月　　日")
                                    << false << false << false << false << 16 << QByteArray("black");
        QTest::newRow("gothic signs") << QByteArray("ＭＳ ゴシック") << QByteArray("≧×÷＝（１）") << false << false
                                      << false << false << 12 << QByteArray("black");
        QTest::newRow("underlined") << QByteArray("ＭＳ 明朝") << QByteArray("名前 1/2") << false << true << false
                                    << false << 18 << QByteArray("black");
        QTest::newRow("struck out") << QByteArray("ＭＳ Ｐゴシック") << QByteArray("ひき算 9-8") << false << false
                                    << true << false << 14 << QByteArray("black");
        QTest::newRow("bold") << QByteArray("ＭＳ 明朝") << QByteArray("帯分数 2&1/3") << true << false << false
                              << false << 18 << QByteArray("black");
        QTest::newRow("bold underlined red opaque") << QByteArray("ＭＳ ゴシック") << QByteArray("答え 5/6") << true
                                                    << true << false << true << 16 << QByteArray("red");
        // The Latin face lacks the kana and kanji: they come from a fallback face.
        QTest::newRow("fallback") << QByteArray("Bookman Old Style") << QByteArray("Ab 分数 cd") << false << false
                                  << false << false << 14 << QByteArray("blue");
    }

    void keptTextDrawsTheSamePixelsAsQt()
    {
        QFETCH(QByteArray, face);
        QFETCH(QByteArray, text);
        QFETCH(bool, bold);
        QFETCH(bool, underline);
        QFETCH(bool, strikeOut);
        QFETCH(bool, opaque);
        QFETCH(int, sizePt);
        QFETCH(QByteArray, colour);
        FontSpec fontSpec;
        fontSpec.face = sjis::encode(face.toStdString());
        fontSpec.sizePt = sizePt;
        fontSpec.bold = bold;
        fontSpec.underline = underline;
        fontSpec.strikeOut = strikeOut;
        fontSpec.colour = colour == "red" ? colours::Red : colour == "blue" ? colours::Blue : colours::Black;
        const std::string cp932 = sjis::encode(text.toStdString());
        const QPoint at(7, 9);
        QImage blank = whitePage(420, 60);
        blank.fill(QColor(200, 220, 240)); // an opaque cell shows against it
        const QImage qt = drawnByQt(blank, fontSpec, opaque, cp932, at);
        QVERIFY(inkBounds(qt, qt.rect()).has_value());

        // Three bands of the blank page: the first text-out, other texts, the same text-out again.
        QImage page(blank.width(), 3 * blank.height(), blank.format());
        {
            QPainter p(&page);
            for (int band = 0; band < 3; ++band)
                p.drawImage(0, band * blank.height(), blank);
        }
        const int band = blank.height();
        {
            QtCanvas canvas(page);
            canvas.font = fontSpec;
            canvas.brush = BrushSpec{colours::White, opaque ? BrushStyle::Solid : BrushStyle::Clear};
            const int end = canvas.textOut(at.x(), at.y(), cp932);
            // Other fonts and texts in between, as the renderer switches fonts per character.
            canvas.font.sizePt += 4;
            canvas.font.colour = colours::Green;
            canvas.textOut(0, 2 * band + 20, "1");
            // A wide dotted inverting pen of the text's colour leaves nothing behind for the text.
            canvas.pen = PenSpec{fontSpec.colour, 3, PenMode::Invert, PenStyle::Dot};
            canvas.line(0, 2 * band + 50, 100, 2 * band + 50);
            canvas.font = fontSpec;
            canvas.font.bold = !fontSpec.bold;
            canvas.textOut(20, 2 * band + 20, cp932);
            canvas.font = fontSpec;
            QCOMPARE(canvas.textOut(at.x(), band + at.y(), cp932), end);
            QCOMPARE(canvas.textWidth(cp932), end - at.x());
        }
        QCOMPARE(page.copy(0, 0, blank.width(), band), qt);
        QCOMPARE(page.copy(0, band, blank.width(), band), qt);
    }

    void keptTextsAreBoundedAndStillRight()
    {
        QImage image = whitePage(300, 60);
        QtCanvas canvas(image);
        canvas.font.face = "ＭＳ 明朝"_sj;
        canvas.font.sizePt = 12;
        const QFontMetrics m(canvas.qfont(canvas.font), &image);
        // More distinct texts than are kept, twice over: each is measured right before and after the drop.
        for (int round = 0; round < 2; ++round)
            for (int i = 0; i < 6000; i += 7) {
                const std::string t = std::to_string(i) + "/" + std::to_string(i % 97);
                QCOMPARE(canvas.textOut(3, 3, t), 3 + m.horizontalAdvance(QString::fromStdString(t)));
            }
        for (int i = 0; i < 5000; ++i) {
            const std::string t = std::to_string(i);
            QCOMPARE(canvas.textWidth(t), m.horizontalAdvance(QString::fromStdString(t)));
        }
        // A text longer than the kept ones is measured each time.
        const std::string lengthy(600, '8');
        QCOMPARE(canvas.textWidth(lengthy), m.horizontalAdvance(QString::fromStdString(lengthy)));
        QCOMPARE(canvas.textOut(0, 0, lengthy), m.horizontalAdvance(QString::fromStdString(lengthy)));
    }

    void brushDecidesOpaqueOrTransparentText()
    {
        for (bool opaque : {true, false}) {
            QImage image = whitePage();
            image.fill(Qt::red);
            int end = 0;
            {
                QtCanvas canvas(image);
                canvas.brush = BrushSpec{colours::White, opaque ? BrushStyle::Solid : BrushStyle::Clear};
                canvas.font.sizePt = 18;
                end = canvas.textOut(10, 10, "1");
            }
            // The cell's top-left corner is above the glyph's ink.
            const QRgb corner = image.pixel(10, 10);
            QCOMPARE(corner == qRgb(255, 255, 255), opaque);
            QCOMPARE(image.pixel(end, 10), qRgb(255, 0, 0)); // nothing after the cell
        }
    }

    void fontColourAndStyles()
    {
        QImage image = whitePage();
        {
            QtCanvas canvas(image);
            canvas.brush.style = BrushStyle::Clear;
            canvas.font.sizePt = 18;
            canvas.font.colour = colours::Blue; // $FF0000
            canvas.font.underline = true;
            canvas.textOut(10, 10, "11");
        }
        int blue = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                QColor c = image.pixelColor(x, y);
                if (c.blue() > 200 && c.red() < 80) ++blue;
                QVERIFY2(!(c.red() > 200 && c.blue() < 80), "blue in $00BBGGRR is not red");
            }
        QVERIFY(blue > 20);
    }

    void linesLeaveOutTheirEndPixel()
    {
        QImage image = whitePage();
        {
            QtCanvas canvas(image);
            canvas.line(10, 5, 20, 5);    // right
            canvas.line(30, 20, 30, 10);  // up
            canvas.line(50, 5, 55, 10);   // diagonal
            canvas.line(70, 5, 70, 5);    // nothing
            canvas.line(100, 50, 90, 50); // left
            canvas.line(60, 60, 55, 55);  // up and left
        }
        struct Probe {
            int x, y;
            bool ink;
        };
        const Probe probes[] = {{10, 5, true},  {19, 5, true},   {20, 5, false}, {9, 5, false},   {30, 20, true},
                                {30, 11, true}, {30, 10, false}, {50, 5, true},  {54, 9, true},   {55, 10, false},
                                {70, 5, false}, {100, 50, true}, {91, 50, true}, {90, 50, false}, {60, 60, true},
                                {56, 56, true}, {55, 55, false}};
        for (const Probe& p : probes)
            QVERIFY2(isInk(image.pixel(p.x, p.y)) == p.ink, qPrintable(QString("%1,%2").arg(p.x).arg(p.y)));
    }

    void shapesCoverLeftToRightMinusOne()
    {
        QImage image = whitePage();
        {
            QtCanvas canvas(image);
            canvas.brush.style = BrushStyle::Clear;
            canvas.rectangle({10, 10, 20, 20});
            canvas.brush = BrushSpec{colours::Black, BrushStyle::Solid};
            canvas.ellipse({40, 10, 60, 30});
            canvas.roundRect({70, 10, 90, 30}, 6, 6);
            canvas.fillRect({100, 10, 110, 15}, colours::Black);
            canvas.polygon({{120, 10}, {140, 10}, {130, 30}});
        }
        QCOMPARE(inkBounds(image, QRect(0, 0, 35, 35)).value(), QRect(QPoint(10, 10), QPoint(19, 19)));
        QVERIFY(!isInk(image.pixel(15, 15))); // clear brush: the inside stays
        QCOMPARE(inkBounds(image, QRect(35, 0, 30, 40)).value(), QRect(QPoint(40, 10), QPoint(59, 29)));
        QVERIFY(isInk(image.pixel(50, 20))); // solid brush fills
        QCOMPARE(inkBounds(image, QRect(65, 0, 30, 40)).value(), QRect(QPoint(70, 10), QPoint(89, 29)));
        QCOMPARE(inkBounds(image, QRect(95, 0, 20, 40)).value(), QRect(QPoint(100, 10), QPoint(109, 14)));
        QVERIFY(inkBounds(image, QRect(115, 0, 40, 40)).has_value());
    }

    void invertPenTwiceRestoresThePixels()
    {
        QImage image = whitePage();
        {
            QtCanvas canvas(image);
            canvas.fillRect({0, 0, 100, 50}, Colour::fromRgb(30, 120, 200));
        }
        const QImage before = image.copy();
        // The same line and frame in the inverting pen each time.
        auto drawInverted = [&image] {
            QtCanvas canvas(image);
            canvas.pen.mode = PenMode::Invert;
            canvas.pen.width = 3;
            canvas.line(5, 5, 150, 60);
            canvas.brush.style = BrushStyle::Clear;
            canvas.pen.width = 1;
            canvas.rectangle({20, 20, 80, 40});
        };
        drawInverted();
        QVERIFY(image != before);
        // Inverted pixels are the complement of what was there.
        QCOMPARE(image.pixel(20, 30), qRgb(255 - 30, 255 - 120, 255 - 200));
        drawInverted();
        QCOMPARE(image, before);
    }

    void dottedPenLeavesGaps()
    {
        QImage image = whitePage();
        {
            QtCanvas canvas(image);
            canvas.pen.style = PenStyle::Dot;
            canvas.line(0, 5, 60, 5);
        }
        int ink = 0;
        for (int x = 0; x < 60; ++x)
            ink += isInk(image.pixel(x, 5)) ? 1 : 0;
        QVERIFY2(ink > 15 && ink < 45, qPrintable(QString::number(ink)));
    }

    void picturesAreStretchedNearestPixel()
    {
        QImage image = whitePage();
        const Picture& gram = render::unitImage(render::UnitImage::RedGram);
        {
            QtCanvas canvas(image);
            canvas.drawPicture({50, 20, 82, 52}, gram);
            Picture broken;
            broken.width = 10;
            broken.height = 10; // no pixels: ignored
            canvas.drawPicture({0, 0, 10, 10}, broken);
        }
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb want = gram.pixels[static_cast<std::size_t>(y * 16 + x)] & 0xFFFFFF;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        QCOMPARE(image.pixel(50 + 2 * x + dx, 20 + 2 * y + dy) & 0xFFFFFF, want);
            }
        QCOMPARE(image.pixel(82, 52), qRgb(255, 255, 255));
    }

    void pdfWriterIsAPrinter()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QPdfWriter writer(dir.filePath("page.pdf"));
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        {
            QtCanvas canvas(writer);
            QVERIFY(canvas.active());
            QCOMPARE(canvas.isPrinter(), true);
            QCOMPARE(canvas.pixelsPerInch(), 600);
            QVERIFY2(canvas.width() > 4000 && canvas.width() < 5000, qPrintable(QString::number(canvas.width())));
            QCOMPARE(canvas.pixelSizeOf(18), 150);
            canvas.font.sizePt = 17;
            QVERIFY(canvas.textOut(100, 100, "1/2") > 100);
            canvas.pen.mode = PenMode::Invert; // drawn as copy on a printer
            canvas.line(0, 0, 100, 100);
            QVERIFY(canvas.newPage());
            QVERIFY(canvas.end());
        }
        QVERIFY(QFileInfo(dir.filePath("page.pdf")).size() > 0);
    }

    void nullPictureDrawsNothingAndDoesNotFail()
    {
        QImage none;
        QtCanvas canvas(none);
        QVERIFY(!canvas.active());
        QCOMPARE(canvas.textOut(3, 4, "12"), 3 + canvas.textWidth("12"));
        canvas.line(0, 0, 5, 5);
        canvas.rectangle({0, 0, 5, 5});
        canvas.drawPicture({0, 0, 5, 5}, render::unitImage(render::UnitImage::Litter));
    }

    void fractionBarThroughTheRenderer()
    {
        const render::RenderContext context{render::worksheetMetrics(1.0, 14, false), {}};
        QImage image = whitePage();
        tavola::Point end;
        {
            QtCanvas canvas(image);
            canvas.brush.style = BrushStyle::Clear;
            canvas.font.face = "ＭＳ 明朝"_sj;
            end = render::DrawMath(context, 14, 40, 40, 1.0, canvas, "12/5", colours::Black);
        }
        // The bar is the only ink on row Y + 16, from X − 1 to the numerator's end (the end pixel left out).
        auto bar = inkBounds(image, QRect(0, 56, 200, 1));
        QVERIFY(bar.has_value());
        QCOMPARE(bar->left(), 39);
        QCOMPARE(end.x, bar->right() + 1 + 4); // the cell ends 2 × G after the bar's end point
        // Numerator ink above the bar, denominator ink below it, both inside the cell.
        auto above = inkBounds(image, QRect(0, 0, 200, 56));
        auto below = inkBounds(image, QRect(0, 57, 200, 63));
        QVERIFY(above.has_value() && below.has_value());
        QVERIFY(above->top() >= 40 - 9);
        QVERIFY(below->top() >= 40 + 19);
        QVERIFY(below->left() > 39 && below->right() < bar->right());
    }
};

TAVOLA_GUI_TEST(tst_QtCanvas)
#include "tst_QtCanvas.moc"

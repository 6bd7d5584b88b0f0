#include "platform/qt/qt_canvas.h"

#include "platform/numbers.h"
#include "platform/qt/qt_text.h"

#include <QColor>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPen>
#include <QPolygon>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cstdlib>

namespace tavola {

namespace {

QColor toQColor(Colour c)
{
    return QColor(c.red(), c.green(), c.blue());
}

constexpr int kMaxPixelSize = 4000;
// Texts kept, over all fonts, before all of them are dropped; longer texts are measured and shaped every time.
constexpr std::size_t kMaxTextRuns = 4096;
constexpr std::size_t kMaxKeptText = 256;
// Long texts are measured, and drawn up to the page's edge, in pieces of this many characters.
constexpr qsizetype kMeasuredPiece = 256;
// Fonts kept before all of them are dropped (a page uses a handful).
constexpr std::size_t kMaxFonts = 64;
// A width no single line of text reaches, so that the layout never wraps.
constexpr qreal kUnboundedWidth = 1.0e7;

// FNV-1a over the size and the pixels.
std::uint64_t pictureKey(const Picture& picture)
{
    std::uint64_t h = 14695981039346656037ull;
    auto mix = [&h](std::uint64_t v) {
        h ^= v;
        h *= 1099511628211ull;
    };
    mix(static_cast<std::uint64_t>(picture.width));
    mix(static_cast<std::uint64_t>(picture.height));
    for (std::uint32_t p : picture.pixels)
        mix(p);
    return h;
}

} // namespace

QtCanvas::QtCanvas(QImage& image) : owned_(std::make_unique<QPainter>()), painter_(owned_.get())
{
    if (!image.isNull()) painter_->begin(&image);
    width_ = image.width();
    height_ = image.height();
    ppi_ = image.isNull() ? 96 : image.logicalDpiX();
    printer_ = false;
    raster_ = painter_->isActive() && painter_->paintEngine()->type() == QPaintEngine::Raster;
}

QtCanvas::QtCanvas(QPagedPaintDevice& device)
    : owned_(std::make_unique<QPainter>()), painter_(owned_.get()), paged_(&device)
{
    painter_->begin(&device);
    width_ = device.width();
    height_ = device.height();
    ppi_ = device.logicalDpiX();
    devicePpi_ = ppi_;
    printer_ = true;
    raster_ = false;
}

QtCanvas::QtCanvas(QPainter& painter, bool printer) : painter_(&painter)
{
    QPaintDevice* device = painter.device();
    if (device != nullptr) {
        width_ = device->width();
        height_ = device->height();
        ppi_ = device->logicalDpiX();
    }
    printer_ = printer;
    raster_ =
        painter.isActive() && painter.paintEngine() != nullptr && painter.paintEngine()->type() == QPaintEngine::Raster;
}

QtCanvas::~QtCanvas()
{
    end();
}

bool QtCanvas::end()
{
    if (owned_ && owned_->isActive()) return owned_->end();
    return true;
}

bool QtCanvas::active() const
{
    return painter_ != nullptr && painter_->isActive();
}

bool QtCanvas::newPage()
{
    if (paged_ == nullptr || !active() || !paged_->newPage()) return false;
    // A new page is drawn in the printer's pixels again until it is given a page scale of its own.
    if (scaled_) {
        painter_->resetTransform();
        painter_->setClipping(false);
        if (ppi_ != devicePpi_) recent_ = {};
        ppi_ = devicePpi_;
        scaled_ = false;
    }
    return true;
}

bool QtCanvas::setPageScale(const PageScale& page)
{
    if (!active() || paged_ == nullptr || !(page.scale > 0) || page.width <= 0 || page.height <= 0) return false;
    painter_->resetTransform();
    painter_->translate(page.left, page.top);
    painter_->scale(page.scale, page.scale);
    painter_->setClipRect(QRectF(0, 0, page.width, page.height));
    const int ppi = page.layoutPpi > 0 ? page.layoutPpi : 96;
    // The fonts last used were found for the point sizes at the other resolution.
    if (ppi != ppi_) recent_ = {};
    ppi_ = ppi;
    scaled_ = true;
    return true;
}

int QtCanvas::pixelSizeOf(int sizePt) const
{
    // The platform turns points into pixels as size × dpi / 72 rounded half up.
    long long px = (static_cast<long long>(sizePt) * ppi_ + 36) / 72;
    return static_cast<int>(std::clamp<long long>(px, 1, kMaxPixelSize));
}

QFont QtCanvas::qfont(const FontSpec& fontSpec) const
{
    QFont f(toQString(fontSpec.face));
    f.setPixelSize(pixelSizeOf(fontSpec.sizePt));
    f.setBold(fontSpec.bold);
    f.setItalic(fontSpec.italic);
    f.setUnderline(fontSpec.underline);
    f.setStrikeOut(fontSpec.strikeOut);
    return f;
}

namespace {
bool sameFace(const FontSpec& a, const FontSpec& b)
{
    return a.sizePt == b.sizePt && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
           a.strikeOut == b.strikeOut && a.face == b.face;
}
} // namespace

QtCanvas::FontEntry& QtCanvas::currentFont()
{
    for (const RecentFont& r : recent_)
        if (r.entry != nullptr && sameFace(font, r.fontSpec)) return *r.entry;
    std::string key = font.face;
    key += '\0';
    key += std::to_string(pixelSizeOf(font.sizePt));
    key += font.bold ? 'B' : '-';
    key += font.italic ? 'I' : '-';
    key += font.underline ? 'U' : '-';
    key += font.strikeOut ? 'S' : '-';
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        if (fonts_.size() >= kMaxFonts) {
            fonts_.clear();
            recent_ = {};
            runCount_ = 0;
            painterFont_ = nullptr;
        }
        QFont f = qfont(font);
        // Metrics for the target device, so that a printer's resolution is respected.
        QFontMetrics m = painter_->device() != nullptr ? QFontMetrics(f, painter_->device()) : QFontMetrics(f);
        const int ascent = m.ascent();
        const int height = m.ascent() + m.descent();
        const bool glyphRuns = raster_ && !font.underline && !font.strikeOut;
        it = fonts_.emplace(key, std::make_unique<FontEntry>(FontEntry{f, m, ascent, height, glyphRuns, {}})).first;
    }
    RecentFont& slot = recent_[nextRecent_];
    nextRecent_ = (nextRecent_ + 1) % recent_.size();
    slot.fontSpec = font;
    slot.entry = it->second.get();
    return *slot.entry;
}

void QtCanvas::dropTextRuns()
{
    for (auto& [key, entry] : fonts_)
        entry->runs.clear();
    runCount_ = 0;
}

QtCanvas::TextRun& QtCanvas::textRun(FontEntry& f, const std::string& text)
{
    auto it = f.runs.find(text);
    if (it != f.runs.end()) return it->second;
    TextRun run;
    run.text = toQString(text);
    // One advance for the whole run: integer advances of single glyphs would round each half-width glyph up.
    // A long run is measured piece by piece: Qt sums advances in a fixed-point type that overflows past about
    // 33 million pixels, a few thousand characters at the largest size.
    if (run.text.size() <= kMeasuredPiece) {
        run.advance = f.metrics.horizontalAdvance(run.text);
    } else {
        long long sum = 0;
        for (qsizetype i = 0; i < run.text.size(); i += kMeasuredPiece)
            sum += f.metrics.horizontalAdvance(run.text.mid(i, kMeasuredPiece));
        run.advance = clampPosition(sum);
    }
    if (text.size() > kMaxKeptText) {
        scratch_ = std::move(run);
        return scratch_;
    }
    if (runCount_ >= kMaxTextRuns) dropTextRuns();
    ++runCount_;
    return f.runs.emplace(text, std::move(run)).first->second;
}

void QtCanvas::shape(const FontEntry& f, TextRun& run) const
{
    // One line laid out as QPainter::drawText lays out a text: the same shaping, the same fallback faces for
    // characters the face lacks, and the same glyph positions.
    QTextLayout layout(run.text, f.font, painter_->device());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(painter_->layoutDirection());
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) line.setLineWidth(kUnboundedWidth);
    layout.endLayout();
    const qreal baseline = line.isValid() ? line.y() + line.ascent() : 0.0;
    run.glyphs = layout.glyphRuns();
    // Positions from the pen at the baseline, so that drawing adds only the pen's position.
    for (QGlyphRun& g : run.glyphs) {
        QList<QPointF> positions = g.positions();
        for (QPointF& p : positions)
            p.ry() -= baseline;
        g.setPositions(positions);
    }
    run.shaped = true;
}

int QtCanvas::textWidth(const std::string& text)
{
    if (text.empty()) return 0;
    return textRun(currentFont(), text).advance;
}

int QtCanvas::textHeight(const std::string&)
{
    return currentFont().height;
}

void QtCanvas::applyTextPen(Colour colour)
{
    // Glyphs take only the pen's colour; a pen of that colour already set is kept.
    const QColor c = toQColor(colour);
    const QPen& current = painter_->pen();
    if (current.style() == Qt::SolidLine && current.brush().style() == Qt::SolidPattern && current.color() == c) return;
    painter_->setPen(QPen(c));
}

int QtCanvas::textOut(int x, int y, const std::string& text)
{
    if (text.empty()) return x;
    FontEntry& f = currentFont();
    TextRun& run = textRun(f, text);
    const int end = clampPosition(static_cast<long long>(x) + run.advance);
    if (!active()) return end;
    // Of a text that starts right of the page nothing can be seen, and of a long one only the part that reaches
    // the page's right edge is drawn.
    const bool untransformed = painter_->transform().type() == QTransform::TxNone;
    if (untransformed && x >= width_) return end;
    if (run.text.size() > kMeasuredPiece) {
        qsizetype shown = 0;
        long long reach = x;
        while (shown < run.text.size() && (!untransformed || reach < width_)) {
            reach += f.metrics.horizontalAdvance(run.text.mid(shown, kMeasuredPiece));
            shown += kMeasuredPiece;
        }
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (brush.style == BrushStyle::Solid)
            painter_->fillRect(QRect(x, y, static_cast<int>(std::min<long long>(reach - x, run.advance)), f.height),
                               toQColor(brush.colour));
        applyTextPen(font.colour);
        painter_->setFont(f.font);
        painterFont_ = owned_ ? &f : nullptr;
        painter_->drawText(QPointF(x, y + f.ascent), run.text.left(shown));
        return end;
    }
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (brush.style == BrushStyle::Solid)
        painter_->fillRect(QRect(x, y, run.advance, f.height), toQColor(brush.colour));
    applyTextPen(font.colour);
    const QPointF baseline(x, y + f.ascent);
    if (f.glyphRuns) {
        // On a picture the glyphs shaped once are drawn again; the painter's font is not needed for them.
        if (!run.shaped) shape(f, run);
        for (const QGlyphRun& g : run.glyphs)
            painter_->drawGlyphRun(baseline, g);
    } else {
        // A printer or PDF gets the text itself, which keeps its characters in the document; decorated text is
        // drawn with the painter's own underline and strike-out.
        if (painterFont_ != &f || !owned_) {
            painter_->setFont(f.font);
            painterFont_ = owned_ ? &f : nullptr;
        }
        painter_->drawText(baseline, run.text);
    }
    return end;
}

int QtCanvas::textOutFitted(int x, int y, const std::string& text, int width)
{
    if (!scaled_ || text.empty() || width <= 0 || !active()) {
        textOut(x, y, text);
        return x + width;
    }
    const int advance = textRun(currentFont(), text).advance;
    if (advance <= 0 || advance == width) {
        textOut(x, y, text);
        return x + width;
    }
    painter_->save();
    painter_->translate(x, y);
    painter_->scale(static_cast<double>(width) / advance, 1.0);
    textOut(0, 0, text);
    painter_->restore();
    // The painter's font is the one it had before.
    painterFont_ = nullptr;
    return x + width;
}

bool QtCanvas::invertOnPicture() const
{
    return pen.mode == PenMode::Invert && raster_;
}

void QtCanvas::applyPen(bool forShape)
{
    QPen p;
    const int w = std::max(1, pen.width);
    if (scaled_) {
        // A pen of a scaled page is as wide as on the screen's page: w layout units.
        p.setWidth(w);
        p.setCapStyle(w <= 1 ? Qt::SquareCap : Qt::RoundCap);
        p.setJoinStyle(w <= 1 ? Qt::MiterJoin : Qt::RoundJoin);
    } else if (w <= 1) {
        p.setWidth(0); // cosmetic: one device pixel, both ends drawn
        p.setCapStyle(Qt::SquareCap);
    } else {
        // The platform's wide pens have round ends and joins.
        p.setWidth(w);
        p.setCapStyle(Qt::RoundCap);
        p.setJoinStyle(Qt::RoundJoin);
    }
    if (pen.style == PenStyle::Dot) p.setDashPattern({3, 3});
    if (invertOnPicture()) {
        p.setColor(Qt::white);
        painter_->setCompositionMode(QPainter::RasterOp_NotDestination);
    } else {
        p.setColor(toQColor(pen.colour));
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    painter_->setPen(p);
    if (!forShape) painter_->setBrush(Qt::NoBrush);
}

void QtCanvas::applyBrush()
{
    if (brush.style == BrushStyle::Clear)
        painter_->setBrush(Qt::NoBrush);
    else
        painter_->setBrush(toQColor(invertOnPicture() ? colours::White : brush.colour));
}

void QtCanvas::line(int x1, int y1, int x2, int y2)
{
    if (!active() || (x1 == x2 && y1 == y2)) return;
    applyPen(false);
    if (pen.width > 1) {
        painter_->drawLine(x1, y1, x2, y2);
        return;
    }
    // A one-pixel line leaves out its end pixel whatever its direction. Qt's flat-capped cosmetic lines leave out
    // the lower-right end instead, so the line stops one step short along its longer axis and is drawn with both
    // ends included.
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    const int adx = std::abs(dx);
    const int ady = std::abs(dy);
    int ex = x2;
    int ey = y2;
    if (adx >= ady) {
        ex = x2 - (dx > 0 ? 1 : -1);
        ey = y1 + roundEven(static_cast<double>(dy) * (adx - 1) / adx);
    } else {
        ey = y2 - (dy > 0 ? 1 : -1);
        ex = x1 + roundEven(static_cast<double>(dx) * (ady - 1) / ady);
    }
    if (ex == x1 && ey == y1)
        painter_->drawPoint(x1, y1);
    else
        painter_->drawLine(x1, y1, ex, ey);
}

namespace {
// The outline rectangle whose one-pixel outline covers left..right−1 and top..bottom−1.
QRect outline(const Rect& r)
{
    return QRect(r.left, r.top, r.width() - 1, r.height() - 1);
}
} // namespace

void QtCanvas::rectangle(const Rect& r)
{
    if (!active() || r.width() <= 0 || r.height() <= 0) return;
    applyPen(true);
    applyBrush();
    painter_->drawRect(outline(r));
}

void QtCanvas::roundRect(const Rect& r, int cornerWidth, int cornerHeight)
{
    if (!active() || r.width() <= 0 || r.height() <= 0) return;
    applyPen(true);
    applyBrush();
    painter_->drawRoundedRect(outline(r), cornerWidth / 2.0, cornerHeight / 2.0, Qt::AbsoluteSize);
}

void QtCanvas::ellipse(const Rect& r)
{
    if (!active() || r.width() <= 0 || r.height() <= 0) return;
    applyPen(true);
    applyBrush();
    painter_->drawEllipse(outline(r));
}

void QtCanvas::polygon(const std::vector<Point>& points)
{
    if (!active() || points.size() < 2) return;
    applyPen(true);
    applyBrush();
    QPolygon poly;
    poly.reserve(static_cast<int>(points.size()));
    for (const Point& p : points)
        poly << QPoint(p.x, p.y);
    painter_->drawPolygon(poly, Qt::OddEvenFill);
}

void QtCanvas::fillRect(const Rect& r, Colour colour)
{
    if (!active() || r.width() <= 0 || r.height() <= 0) return;
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->fillRect(QRect(r.left, r.top, r.width(), r.height()), toQColor(colour));
}

void QtCanvas::drawPicture(const Rect& r, const Picture& picture)
{
    if (!active() || picture.empty() || r.width() <= 0 || r.height() <= 0) return;
    if (picture.pixels.size() < static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
        return;
    // The picture's pixels are 0xAARRGGBB words, which is QImage's ARGB32 layout: wrap them without a copy.
    QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
                 picture.width * 4, QImage::Format_ARGB32);
    if (paged_ != nullptr) {
        // A document keeps a picture it has seen once and draws it again by reference (the class flag on every
        // copy of a class set), which it knows by the image's identity: the same pixels get the same image.
        auto [it, added] = printedPictures_.try_emplace(pictureKey(picture));
        if (added) it->second = image.copy();
        image = it->second;
    }
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Nearest-pixel stretching, as the platform stretches bitmaps.
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_->drawImage(QRect(r.left, r.top, r.width(), r.height()), image);
}

} // namespace tavola

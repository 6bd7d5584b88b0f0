#pragma once
// The canvas over a QPainter: the page picture of the screen pass (a QImage), or the printer pass (a QPrinter or a
// QPdfWriter, which paint from the corner of the printable area). It keeps the semantics of the system's canvas:
// - text-out puts the top-left of the text cell at (x, y) and returns the pen x after the text; with a solid brush
//   the cell is filled with the brush colour first (opaque text), with a clear brush the text is transparent;
// - point sizes become pixels at the device's resolution (96 dpi on a QImage: 18 pt is 24 px), rounded as the
//   platform rounds them, half up;
// - lines leave out their end pixel; rectangles, rounded rectangles and ellipses cover left..right−1 and
//   top..bottom−1; fillRect fills exactly its rectangle;
// - the invert pen mode inverts the pixels under the pen on a picture (twice restores them); on a printer it
//   draws as copy.
#include "platform/canvas.h"
#include "platform/page_canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPainter>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

class QPagedPaintDevice;

namespace tavola {

class QtCanvas : public Canvas, public PageCanvas {
public:
    // The screen pass on a picture (which must outlive the canvas).
    explicit QtCanvas(QImage& image);
    // The printer pass on a QPrinter or QPdfWriter; the painter begins the job's first page.
    explicit QtCanvas(QPagedPaintDevice& device);
    // Drawing through a painter somebody else began (a widget's paint event); printer tells the kind of target.
    QtCanvas(QPainter& painter, bool printer);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    int textOut(int x, int y, const std::string& text) override;
    // On a scaled page (setPageScale) the text is drawn narrowed or widened to the width the layout measured.
    int textOutFitted(int x, int y, const std::string& text, int width) override; // PageCanvas
    int textWidth(const std::string& text) override;
    int textHeight(const std::string& text) override;

    void line(int x1, int y1, int x2, int y2) override;
    void rectangle(const Rect& r) override;
    void roundRect(const Rect& r, int cornerWidth, int cornerHeight) override;
    void ellipse(const Rect& r) override;
    void polygon(const std::vector<Point>& points) override;
    void fillRect(const Rect& r, Colour colour) override;
    void drawPicture(const Rect& r, const Picture& picture) override;

    int width() const override { return width_; }
    int height() const override { return height_; }
    bool isPrinter() const override { return printer_; }
    int pixelsPerInch() const override { return ppi_; }
    // A printer page draws the screen's page: the painter scales it, fonts take the layout's pixel sizes, and the
    // pens keep their width in layout units. Until the next page.
    bool setPageScale(const PageScale& page) override;

    // Starts the next page of a printer job; false when the target has no pages or the printer refused.
    bool newPage();
    // Ends the painting (also done by the destructor); false when the printer reported a failure.
    bool end();
    bool active() const;

    // The QFont a font specification turns into on this target.
    QFont qfont(const FontSpec& fontSpec) const;
    // Pixel size of a point size on this target.
    int pixelSizeOf(int sizePt) const;

private:
    // A text as drawn in one font: converted from CP932 once, its advance measured once for the whole run, and
    // on a picture its glyphs shaped once (fallback faces included), positioned from the pen at the baseline.
    struct TextRun {
        QString text;
        int advance = 0;
        bool shaped = false;
        QList<QGlyphRun> glyphs;
    };
    struct FontEntry {
        QFont font;
        QFontMetrics metrics;
        int ascent = 0;
        int height = 0;
        // Glyph runs carry no underline or strike-out of their own making, so decorated fonts draw as text.
        bool glyphRuns = false;
        std::unordered_map<std::string, TextRun> runs;
    };
    struct RecentFont {
        FontSpec fontSpec;
        FontEntry* entry = nullptr;
    };
    FontEntry& currentFont();
    TextRun& textRun(FontEntry& f, const std::string& text);
    void shape(const FontEntry& f, TextRun& run) const;
    void dropTextRuns();
    void applyTextPen(Colour colour);
    void applyPen(bool forShape);
    void applyBrush();
    bool invertOnPicture() const;

    std::unique_ptr<QPainter> owned_;
    QPainter* painter_ = nullptr;
    QPagedPaintDevice* paged_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int ppi_ = 96;
    bool printer_ = false;
    bool raster_ = false;
    int devicePpi_ = 96;
    bool scaled_ = false; // drawing a page in layout units (setPageScale)

    // Fonts by face, pixel size and style. The renderer switches between two or three fonts per character, so the
    // last few used are compared field by field before a key is built.
    std::unordered_map<std::string, std::unique_ptr<FontEntry>> fonts_;
    std::array<RecentFont, 4> recent_{};
    std::size_t nextRecent_ = 0;
    // Texts kept over all fonts; past a bound they are all dropped and measured anew.
    std::size_t runCount_ = 0;
    TextRun scratch_;
    // The font last given to the painter by this canvas (only while the canvas owns the painter).
    const FontEntry* painterFont_ = nullptr;
    // Pictures drawn on a printer or PDF, by their content.
    std::unordered_map<std::uint64_t, QImage> printedPictures_;
};

} // namespace tavola

#include "worksheet/qt_print.h"

#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_output_file.h"
#include "platform/qt/qt_text.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <algorithm>
#include <optional>

namespace tavola {

namespace {

// The page picture is at most this many pixels a side, whatever paper width a file gives (as on the screen).
constexpr int kMaxPictureSide = 4096;

QPageSize::PageSizeId pageSizeOf(int paperWidth)
{
    switch (paperWidth) {
    case 546:
        return QPageSize::JisB5;
    case 771:
        return QPageSize::JisB4;
    case 891:
        return QPageSize::A3;
    default:
        return QPageSize::A4;
    }
}

} // namespace

QtPrintDevice::QtPrintDevice(QPrinter& printer) : printer_(printer) {}

QtPrintDevice::~QtPrintDevice() = default;

std::string QtPrintDevice::name() const
{
    return fromQStringLossy(writesFile() ? printer_.outputFileName() : printer_.printerName());
}

bool QtPrintDevice::writesFile() const
{
    return !printer_.outputFileName().isEmpty();
}

void QtPrintDevice::setCopyCount(int copies)
{
    printer_.setCopyCount(copies);
}

Canvas* QtPrintDevice::beginJob()
{
    canvas_ = std::make_unique<QtCanvas>(printer_);
    if (!canvas_->active()) {
        canvas_.reset();
        return nullptr;
    }
    return canvas_.get();
}

bool QtPrintDevice::newPage()
{
    return canvas_ != nullptr && canvas_->newPage();
}

bool QtPrintDevice::endJob()
{
    if (canvas_ == nullptr) return false;
    const bool ended = canvas_->end() && printer_.printerState() != QPrinter::Error;
    canvas_.reset();
    return ended;
}

void QtPrintDevice::abortJob()
{
    if (canvas_ == nullptr) return;
    printer_.abort();
    canvas_.reset();
}

namespace {

// The screen page's measures without its pixels: text is measured on a picture of one pixel, which has the screen's
// resolution, and the size is the paper's. A class set lays out a screen page for every copy with new numbers, and
// a page picture each time would be a few megabytes for nothing.
class ScreenMeasure : public Canvas {
public:
    ScreenMeasure(int width, int height)
        : pixel_(1, 1, QImage::Format_RGB32), canvas_(pixel_), width_(width), height_(height)
    {
    }
    int textOut(int x, int, const std::string& text) override { return x + textWidth(text); }
    int textWidth(const std::string& text) override
    {
        canvas_.font = font;
        return canvas_.textWidth(text);
    }
    int textHeight(const std::string& text) override
    {
        canvas_.font = font;
        return canvas_.textHeight(text);
    }
    void line(int, int, int, int) override {}
    void rectangle(const Rect&) override {}
    void roundRect(const Rect&, int, int) override {}
    void ellipse(const Rect&) override {}
    void polygon(const std::vector<Point>&) override {}
    void fillRect(const Rect&, Colour) override {}
    void drawPicture(const Rect&, const Picture&) override {}
    int width() const override { return width_; }
    int height() const override { return height_; }
    bool isPrinter() const override { return false; }
    int pixelsPerInch() const override { return canvas_.pixelsPerInch(); }

private:
    QImage pixel_;
    QtCanvas canvas_;
    int width_;
    int height_;
};

} // namespace

PageLayout screenLayout(const Worksheet& sheet, const DrawOptions& options)
{
    ScreenMeasure measure(std::clamp(sheet.settings.paper.width, 1, kMaxPictureSide),
                          std::clamp(sheet.settings.paper.height, 1, kMaxPictureSide));
    return layoutPage(sheet, measure, options);
}

PictureRef drawScreenPage(const Worksheet& sheet, const DrawOptions& options, int number, const PageMarks& marks)
{
    auto picture = std::make_shared<Picture>();
    picture->width = std::clamp(sheet.settings.paper.width, 1, kMaxPictureSide);
    picture->height = std::clamp(sheet.settings.paper.height, 1, kMaxPictureSide);
    picture->pixels.assign(static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height),
                           0xFFFFFFFFu);
    // The picture's words are the image's pixels: the page is painted straight into them.
    QImage image(reinterpret_cast<uchar*>(picture->pixels.data()), picture->width, picture->height, picture->width * 4,
                 QImage::Format_RGB32);
    DrawOptions screen = options;
    screen.printNumber = number;
    {
        QtCanvas canvas(image);
        drawPage(sheet, canvas, screen, marks);
    }
    return picture;
}

PrintOutcome printOnPrinter(QPrinter& printer, const Worksheet& sheet, const PrintRequest& request,
                            const DrawOptions& options, const PrintProgress& progress, const PageMarks& marks)
{
    // A PDF is written into a checked temporary file and takes its name only when whole.
    PrinterOutputFile output(printer);
    if (!output.begun()) return {0, false, output.begun().message()};
    QtPrintDevice device(printer);
    DrawOptions printing = options;
    std::optional<PageLayout> screen;
    if (printing.screen == nullptr) {
        DrawOptions screenOptions = options;
        screenOptions.entries = nullptr;
        screen = screenLayout(sheet, screenOptions);
        printing.screen = &*screen;
    }
    ScreenSide screenSide;
    screenSide.picture = [&](const Worksheet& page, const DrawOptions& o) {
        return drawScreenPage(page, o, o.printNumber, marks);
    };
    screenSide.layout = [](const Worksheet& page, const DrawOptions& o) {
        DrawOptions screenOptions = o;
        screenOptions.screen = nullptr;
        screenOptions.entries = nullptr;
        return screenLayout(page, screenOptions);
    };
    PrintOutcome outcome = printWorksheet(sheet, device, request, printing, screenSide, progress, marks);
    // A cancelled job keeps what it printed when that is a whole file, and is not a failure when it is not.
    if (Status written = output.finish(outcome.ok()); !written && !outcome.cancelled)
        outcome.message = written.message();
    return outcome;
}

void setUpPdfPrinter(QPrinter& printer, const QString& path, int paperWidth)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(pageSizeOf(paperWidth)));
    printer.setPageOrientation(QPageLayout::Portrait);
}

const char* paperName(int paperWidth)
{
    switch (paperWidth) {
    case 546:
        return "B5";
    case 771:
        return "B4";
    case 891:
        return "A3";
    default:
        return "A4";
    }
}

} // namespace tavola

#include "worksheet/qt_print.h"

#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_output_file.h"
#include "platform/qt/qt_text.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

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

// The paper of a worksheet's width; none for a width that is no paper of the program.
std::optional<QPageSize::PageSizeId> knownPageSizeOf(int paperWidth)
{
    switch (paperWidth) {
    case 546:
    case 630:
    case 771:
    case 891:
        return pageSizeOf(paperWidth);
    default:
        return std::nullopt;
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

PrintOutcome printOnPrinter(QPrinter& printer, const Worksheet& sheet, const PrintRequest& request,
                            const DrawOptions& options, const PrintProgress& progress, const PageMarks& marks)
{
    // A PDF is written into a checked temporary file and takes its name only when whole.
    PrinterOutputFile output(printer);
    if (!output.begun()) return {0, false, output.begun().message(), {}};
    QtPrintDevice device(printer);
    // Every page is the screen page of its copy; a practice sheet keeps the places its window gave the entries.
    ScreenSide screenSide;
    screenSide.layout = [](const Worksheet& page, const DrawOptions& o) {
        DrawOptions screenOptions = o;
        if (screenOptions.entries == nullptr) screenOptions.screen = nullptr;
        return screenLayout(page, screenOptions);
    };
    const std::string paperNotice = setPaperOf(printer, sheet.settings.paper.width)
                                        ? std::string()
                                        : paperMissingMessage(device.name(), jobPaperName(sheet.settings.paper.width));
    PrintOutcome outcome = printWorksheet(sheet, device, request, options, screenSide, progress, marks);
    outcome.notice = paperNotice;
    // A cancelled job keeps what it printed when that is a whole file, and is not a failure when it is not.
    if (Status written = output.finish(outcome.ok()); !written && !outcome.cancelled)
        outcome.message = written.message();
    return outcome;
}

bool setPaperOf(QPrinter& printer, int paperWidth)
{
    const std::optional<QPageSize::PageSizeId> id = knownPageSizeOf(paperWidth);
    if (!id) return true;
    const QPageSize wanted(*id);
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        // A printer that lists its papers takes only those.
        const QList<QPageSize> sizes = QPrinterInfo(printer).supportedPageSizes();
        if (!sizes.isEmpty() && std::none_of(sizes.begin(), sizes.end(),
                                             [&](const QPageSize& size) { return size.isEquivalentTo(wanted); }))
            return false;
    }
    printer.setPageOrientation(QPageLayout::Portrait);
    return printer.setPageSize(wanted) && printer.pageLayout().pageSize().isEquivalentTo(wanted);
}

std::string jobPaperName(int paperWidth)
{
    switch (paperWidth) {
    case 546:
        return "JIS B5";
    case 771:
        return "JIS B4";
    case 891:
        return "A3";
    default:
        return "A4";
    }
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

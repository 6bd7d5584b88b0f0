// The worksheet drawing pass: a full page of 60 lines with 80 answer boxes of fractions, on the screen's page
// picture (a QImage) and at printer resolution (600 dpi A4) into a PDF. Each pass redraws the whole page, so this
// is what every change of a setting costs.
#include "bench_support.h"

#include "platform/qt/qt_canvas.h"
#include "platform/sjis.h"
#include "render/draw_math.h"
#include "worksheet/drawing_pass.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tavola;
using bench::ensureGui;

// 40 lines with two answers each and 20 lines of plain fraction text: 60 lines, 80 boxes.
Worksheet fullPage()
{
    UnitData unit;
    unit.title = "分数のたし算とひき算//帯分数§1-2 くり上がりのある帯分数のたし算とひき算の練習"_sj;
    unit.shortKey = "tasu1.que-U2";
    for (int i = 0; i < 60; ++i) {
        const std::string a = std::to_string(i % 9 + 1);
        const std::string b = std::to_string(i % 7 + 2);
        if (i % 3 == 2)
            unit.problemLines.push_back("(" + a + ")  1&" + a + "/1" + b + "+2&3/" + b + "-1/2=" + a + "/" + b);
        else
            unit.problemLines.push_back("(" + a + ")  " + a + "/1" + b + "+" + b + "/" + a + "=# " + a + "&1/" + b +
                                        ";" + b + "/" + a + " #　　1/" + b + "*" + a + "/5=# " + a + "/5" + b + " #");
    }
    Worksheet sheet = makeWorksheet(unit, true);
    sheet.settings.lineSpacing = 16;
    sheet.settings.answerBox.shape = 1;
    return sheet;
}

// The screen page of 60 lines with 80 boxes, laid out and painted, or laid out alone (what the practice window and
// the print job need before anything is painted).
void screenPage(benchmark::State& state, bool paint)
{
    ensureGui();
    Worksheet sheet = fullPage();
    QImage image(630, 891, QImage::Format_RGB32);
    QtCanvas canvas(image);
    DrawOptions options;
    std::size_t boxes = 0;
    for (auto _ : state) {
        const PageLayout page = paint ? drawPage(sheet, canvas, options) : layoutPage(sheet, canvas, options);
        boxes = page.answerBoxes.size();
        benchmark::DoNotOptimize(image.constBits());
        benchmark::DoNotOptimize(page.calls.data());
    }
    if (boxes != 80) state.SkipWithError("the page does not have 80 answer boxes");
}

void BM_DrawingPassScreen(benchmark::State& state)
{
    screenPage(state, true);
}
BENCHMARK(BM_DrawingPassScreen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LayoutScreen(benchmark::State& state)
{
    screenPage(state, false);
}
BENCHMARK(BM_LayoutScreen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DrawingPassPrinterPdf(benchmark::State& state)
{
    ensureGui();
    Worksheet sheet = fullPage();
    // The screen page, whose boxes the printer page frames.
    PageLayout screenPage;
    {
        QImage image(630, 891, QImage::Format_RGB32);
        QtCanvas screen(image);
        screenPage = layoutPage(sheet, screen, {});
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(600);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    QtCanvas canvas(pdf);
    DrawOptions options;
    options.screen = &screenPage;
    bool firstPage = true;
    for (auto _ : state) {
        if (!firstPage) canvas.newPage();
        firstPage = false;
        drawPage(sheet, canvas, options);
    }
    canvas.end();
    state.counters["pdf_bytes"] = static_cast<double>(buffer.size());
}
BENCHMARK(BM_DrawingPassPrinterPdf)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

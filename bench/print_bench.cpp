// A class set: 30 numbered copies of a 20-problem fraction page, A4, 600 dpi, into one PDF through the print job
// (printOnPrinter, as the print dialog and tavola-cli print run it), next to the bare drawing pass run 30 times into
// a QPdfWriter: the printing path should add next to nothing. bench/class_set.sh measures the whole process.
#include "bench_support.h"

#include "platform/qt/qt_canvas.h"
#include "platform/sjis.h"
#include "worksheet/drawing_pass.h"
#include "worksheet/qt_print.h"

#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tavola;
using bench::BenchFolder;
using bench::ensureGui;

constexpr int kCopies = 30;

Worksheet classPage()
{
    UnitData unit;
    unit.title = "分数のたし算とひき算//§1-1 分数のたし算"_sj;
    unit.shortKey = "class.prp";
    unit.problemLines.push_back("１．次の計算をしましょう。"_sj);
    for (int i = 1; i <= 20; ++i) {
        const int a = i % 7 + 1, b = i % 5 + 2, d = i % 9 + 11;
        unit.problemLines.push_back("(" + std::to_string(i) + ")  " + std::to_string(a) + "/" + std::to_string(d) +
                                    "+" + std::to_string(b) + "/" + std::to_string(d) + "=# " + std::to_string(a + b) +
                                    "/" + std::to_string(d) + " #");
    }
    Worksheet sheet = makeWorksheet(unit, false);
    sheet.settings.lineSpacing = 40;
    return sheet;
}

// A small flag picture, as classFlag.bmp is.
PictureRef flag()
{
    auto p = std::make_shared<Picture>();
    p->width = 48;
    p->height = 32;
    p->pixels.assign(48u * 32u, 0xFF20A040u);
    return p;
}

void BM_PrintClassSet(benchmark::State& state)
{
    ensureGui();
    BenchFolder folder;
    const QString file = QString::fromStdString(folder.real() + "/class.pdf");
    const Worksheet sheet = classPage();
    DrawOptions options;
    options.classFlag = flag();
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdfPrinter(printer, file, sheet.settings.paper.width);
        const PrintOutcome out = printOnPrinter(printer, sheet, {PrintMode::Printer, true, 1, kCopies}, options);
        if (!out.ok() || out.copiesPrinted != kCopies) state.SkipWithError("the class set was not printed");
    }
    state.counters["pdf_bytes"] = static_cast<double>(QFile(file).size());
}
BENCHMARK(BM_PrintClassSet)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ClassSetBareDrawingPass(benchmark::State& state)
{
    ensureGui();
    BenchFolder folder;
    const QString file = QString::fromStdString(folder.real() + "/bare.pdf");
    Worksheet sheet = classPage();
    DrawOptions options;
    options.classFlag = flag();
    for (auto _ : state) {
        QPdfWriter pdf(file);
        pdf.setResolution(600);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        QtCanvas canvas(pdf);
        for (int k = 1; k <= kCopies; ++k) {
            if (k > 1) canvas.newPage();
            options.printNumber = k;
            const PageLayout page = screenLayout(sheet, options);
            canvas.setPageScale(
                printPlacement(canvas.width(), canvas.height(), page.width, page.height, PrintMode::Printer));
            paintPage(page, canvas);
        }
        canvas.end();
    }
    state.counters["pdf_bytes"] = static_cast<double>(QFile(file).size());
}
BENCHMARK(BM_ClassSetBareDrawingPass)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

// The expression renderer: one worksheet line full of fractions drawn onto the page picture through the Qt canvas,
// and the same line on a canvas that draws nothing, which leaves the renderer's own parsing and layout.
#include "bench_support.h"

#include "platform/canvas.h"
#include "platform/qt/qt_canvas.h"
#include "platform/sjis.h"
#include "render/draw_math.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace tavola;

// About as much as fits on one A4 line at 14 points.
const std::string kLine = "2/3+1/6*3/4\\5/12=11/12 1&2/3>=[2+3]/5";

class NullCanvas : public Canvas {
public:
    int textOut(int x, int, const std::string& text) override { return x + textWidth(text); }
    int textWidth(const std::string& text) override { return static_cast<int>(text.size()) * 12; }
    int textHeight(const std::string&) override { return 24; }
    void line(int, int, int, int) override {}
    void rectangle(const Rect&) override {}
    void roundRect(const Rect&, int, int) override {}
    void ellipse(const Rect&) override {}
    void polygon(const std::vector<Point>&) override {}
    void fillRect(const Rect&, Colour) override {}
    void drawPicture(const Rect&, const Picture&) override {}
    int width() const override { return 630; }
    int height() const override { return 891; }
    bool isPrinter() const override { return false; }
    int pixelsPerInch() const override { return 96; }
};

void BM_DrawMathLineOnPagePicture(benchmark::State& state)
{
    bench::ensureGui();
    const render::RenderContext context{render::worksheetMetrics(1.0, 14, false), {}};
    QImage page(630, 891, QImage::Format_RGB32);
    page.fill(Qt::white);
    QtCanvas canvas(page);
    canvas.brush.style = BrushStyle::Clear;
    canvas.font.face = "ＭＳ 明朝"_sj;
    for (auto _ : state) {
        Point end = render::DrawMath(context, 14, 50, 98, 1.0, canvas, kLine, colours::Black);
        benchmark::DoNotOptimize(end);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(kLine.size()));
}
BENCHMARK(BM_DrawMathLineOnPagePicture)->Unit(benchmark::kMicrosecond);

void BM_DrawMathLineLayoutOnly(benchmark::State& state)
{
    const render::RenderContext context{render::worksheetMetrics(1.0, 14, false), {}};
    NullCanvas canvas;
    for (auto _ : state) {
        Point end = render::DrawMath(context, 14, 50, 98, 1.0, canvas, kLine, colours::Black);
        benchmark::DoNotOptimize(end);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(kLine.size()));
}
BENCHMARK(BM_DrawMathLineLayoutOnly)->Unit(benchmark::kMicrosecond);

} // namespace

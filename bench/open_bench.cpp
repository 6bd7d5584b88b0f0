// Opening a unit, from OK in the unit selection window to the page drawn: the unit reader finds the last unit of a
// master file of 500 units, the worksheet is made, its three figures and the class flag are loaded, and the screen
// pass draws the page picture. The window itself is left out. The courseware is generated in a temporary folder.
#include "bench_support.h"

#include "app/open_flows.h"
#include "platform/line_file.h"
#include "platform/qt/qt_canvas.h"
#include "platform/sjis.h"
#include "render/draw_math.h"
#include "worksheet/drawing_pass.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace tavola;
using bench::ensureGui;

constexpr int kUnits = 500;

// An uncompressed 24-bit bitmap of w × h pixels, bottom-up rows padded to 4 bytes.
void writeBitmap(const std::string& realPath, int w, int h)
{
    const int row = (w * 3 + 3) / 4 * 4;
    const std::uint32_t size = 54 + static_cast<std::uint32_t>(row * h);
    std::string bytes(size, '\0');
    auto put = [&bytes](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xff);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(w), 4);
    put(22, static_cast<std::uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            put(54 + static_cast<std::size_t>(y * row + x * 3), (x / 24) % 2 ? 0xF0C8A0u : 0xFFFFFFu, 3);
    std::ofstream(realPath, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class Courseware {
public:
    Courseware()
    {
        std::filesystem::create_directories(folder_.real() + "/les/Graph");
        for (const char* figure : {"a.bmp", "b.bmp", "c.bmp"})
            writeBitmap(folder_.real() + "/les/Graph/" + figure, 192, 29);
        writeBitmap(folder_.real() + "/classFlag.bmp", 60, 40);
        Lines main{sjis::encode("大きな教材"), "", sjis::encode("分数の計算") + ",les\\\\les", ">>"};
        Lines sub{sjis::encode("分数の計算"), "[[sect1", sjis::encode("分母がちがう分数"), "<<"};
        for (int u = 1; u <= kUnits; ++u)
            sub.push_back(sjis::encode("通分してたし算 ") + std::to_string(u));
        sub.insert(sub.end(), {">>", "]]"});
        if (!writeLineFile(folder_.dir() + "Main.ind", main) || !writeLineFile(folder_.dir() + "les\\les.ind", sub))
            std::abort();
        writeMaster();
    }
    const std::string& dir() const { return folder_.dir(); }

private:
    // 500 units of 40 lines with two answers each (80 boxes), three figures and the layout blocks.
    void writeMaster()
    {
        Lines lines;
        for (int u = 1; u <= kUnits; ++u) {
            lines.push_back("[[unit" + std::to_string(u));
            lines.push_back("<<ques");
            lines.push_back(sjis::encode("１．通分して計算しましょう。答えは約分して書きましょう。"));
            for (int k = 1; k < 40; ++k) {
                const std::string a = std::to_string(k % 9 + 1);
                const std::string b = std::to_string(k % 7 + 2);
                lines.push_back("(" + std::to_string(k) + ")  " + a + "/1" + b + "+" + b + "/" + a + "=# " + a + "&1/" +
                                b + ";" + b + "/" + a + " #" + sjis::encode("　　") + "1/" + b + "*" + a + "/5=#" + a +
                                "/5" + b + "#");
            }
            lines.insert(lines.end(), {">>", "<<dummy", ">>", "<<graph", "a.bmp", "-1", "-1", "b.bmp", "400", "300",
                                       "c.bmp", "400", "500", ">>"});
            lines.insert(lines.end(), {"<<value", "630", "False", "18", "5", "5", "1", "7", ">>"});
            lines.insert(lines.end(),
                         {"<<font", "12", sjis::encode("MS 明朝"), "False", "False", "False", "False", "0", ">>"});
            lines.insert(lines.end(), {"<<kran", "1", "10", "20", "0", "30", "0", "15", "10", "0", "0", ">>", "]]"});
        }
        if (!writeLineFile(folder_.dir() + "les\\les1.que", lines)) std::abort();
    }

    bench::BenchFolder folder_;
};

// From OK to the page drawn, for the last unit of the master file.
void BM_OpenUnitToPageDrawn(benchmark::State& state)
{
    ensureGui();
    static Courseware courseware;
    CoursewareIndex index(courseware.dir());
    if (!index.readMainIndex() || !index.readLesson(1)) {
        state.SkipWithError("the index was not read");
        return;
    }
    const ReadRequest request = unitReadRequest(index, {1, 1, kUnits, 0});
    ScriptedPrompts prompts;
    UnitReader reader;
    std::size_t boxes = 0;
    for (auto _ : state) {
        Result<WorksheetDocument> document = readWorksheetDocument(reader, request, true, index, prompts);
        if (!document) {
            state.SkipWithError("the unit was not read");
            return;
        }
        Worksheet& sheet = document->sheet;
        QImage page(sheet.settings.paper.width, sheet.settings.paper.height, QImage::Format_RGB32);
        QtCanvas canvas(page);
        DrawOptions options;
        options.classFlag = document->classFlag;
        options.figures = &document->figures;
        const PageLayout drawn = drawPage(sheet, canvas, options);
        boxes = drawn.answerBoxes.size();
        benchmark::DoNotOptimize(page.constBits());
        benchmark::DoNotOptimize(drawn.figures.data());
    }
    if (!prompts.shown.empty()) state.SkipWithError(prompts.lastUtf8().c_str());
    if (boxes != 78) state.SkipWithError("the page does not have its 78 answer boxes");
}
BENCHMARK(BM_OpenUnitToPageDrawn)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

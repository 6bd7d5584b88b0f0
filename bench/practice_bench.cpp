// The practice window after an Enter on a page with 80 answer boxes: judging the entry, drawing it, its mark and
// (at the end) the score on the sheet picture, and painting the changed rectangles onto the window's picture.
#include "bench_support.h"

#include "platform/prompts.h"
#include "platform/qt/qt_canvas.h"
#include "platform/sjis.h"
#include "practice/practice_engine.h"
#include "practice/qt_sheet_view.h"
#include "worksheet/drawing_pass.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using namespace tavola;
using bench::ensureGui;

// 40 lines with two fraction answers each: 80 boxes.
Worksheet eightyBoxes()
{
    UnitData unit;
    unit.title = "分数のたし算とひき算//分母がちがう分数§2-1 通分してたし算"_sj;
    for (int i = 0; i < 40; ++i) {
        const std::string a = std::to_string(i % 9 + 1);
        unit.problemLines.push_back("(" + a + ")  1/" + a + "+1/4=# " + a + "/12 #　　2/" + a + "-1/5=# 3/4;6/8 #");
    }
    Worksheet sheet = makeWorksheet(unit, false);
    sheet.settings.lineSpacing = 16;
    return sheet;
}

// The window's side: draws on the sheet picture and paints only what changed onto the screen picture.
struct Window : PracticeView {
    Window(QImage& sheet, QImage& screen, const Worksheet& ws) : drawing(sheet), screen(screen), ws(ws)
    {
        MarkStyle style;
        style.fontSize = ws.settings.characterSize;
        style.boxWidth = ws.settings.answerBox.width;
        style.boxHeight = ws.settings.answerBox.height;
        drawing.setStyle(style);
    }
    void paint(const Rect& r)
    {
        QPainter painter(&screen);
        const QRect q(r.left, r.top, r.width(), r.height());
        painter.drawImage(q.topLeft(), drawing.sheet(), q);
    }
    void drawEntry(const std::string& text, int x, int y, Colour colour) override
    {
        paint(drawing.entry(text, x, y, colour));
    }
    void paintPatch(const PracticeBox& box) override { paint(drawing.patch(box)); }
    void drawMark(const PracticeBox& box, MarkKind kind, Colour colour) override
    {
        paint(drawing.mark(box, kind, colour));
    }
    void drawScore(int score) override { paint(drawing.score(score, scorePosition, 110, nameLine)); }
    void drawHint(const PracticeBox& box, const std::string& hint) override { paint(drawing.hint(box, hint)); }
    void showAllCorrect() override {}
    void writeRecord(const ScoredExercise&) override {}
    void refreshRecordMemo() override {}
    void scrollToTop() override {}

    SheetDrawing drawing;
    QImage& screen;
    const Worksheet& ws;
    Point scorePosition;
    Rect nameLine;
};

void enterOnEveryBox(benchmark::State& state, bool correct)
{
    ensureGui();
    Worksheet ws = eightyBoxes();
    QImage sheet(630, 891, QImage::Format_RGB32);
    QImage screen(630, 891, QImage::Format_RGB32);
    ScriptedPrompts prompts;
    Window window(sheet, screen, ws);
    PracticeEngine engine(window, prompts, systemRandom());
    auto restart = [&] {
        QtCanvas canvas(sheet);
        DrawOptions options;
        options.practice = true;
        options.answersShown = false;
        const PageLayout page = drawPage(ws, canvas, options);
        window.scorePosition = page.scorePosition;
        window.nameLine = page.nameLine;
        window.drawing.setContext(page.context);
        ExerciseLayout layout;
        layout.boxes = page.answerBoxes;
        layout.fontSize = ws.settings.characterSize;
        layout.boxWidth = ws.settings.answerBox.width;
        layout.boxHeight = ws.settings.answerBox.height;
        engine.open(layout, {});
        engine.startPractice();
    };
    restart();
    if (engine.boxCount() != 80) state.SkipWithError("the page does not have 80 answer boxes");
    int box = 1;
    for (auto _ : state) {
        if (box > 80 || engine.mode() == ExerciseMode::Idle) {
            state.PauseTiming();
            restart();
            box = 1;
            state.ResumeTiming();
        }
        const std::string answer = engine.box(box).acceptList.front();
        engine.setText(box, correct ? answer : answer + "0");
        engine.enter(box);
        ++box;
    }
}

void BM_PracticeEnterCorrect(benchmark::State& state)
{
    enterOnEveryBox(state, true);
}
BENCHMARK(BM_PracticeEnterCorrect)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_PracticeEnterWrong(benchmark::State& state)
{
    enterOnEveryBox(state, false);
}
BENCHMARK(BM_PracticeEnterWrong)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

// The print job over a recording printer: which jobs and pages the copies become, the numbers they carry, the
// screen page drawn whole on every paper in both modes, cancelling between copies, and a printer that fails.
#include "worksheet/print_job.h"

#include "platform/numbers.h"
#include "platform/seams.h"
#include "platform/sjis.h"
#include "question/unit_settings.h"
#include "render/draw_math.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tavola {
namespace {

using test::CanvasOp;
using test::RecordingCanvas;

// Each job one canvas, as a printer has, and where in its record each page starts.
class RecordingDevice : public PrintDevice {
public:
    struct Job {
        std::shared_ptr<RecordingCanvas> canvas;
        std::vector<std::size_t> pageStarts{0};
    };
    bool file = false;
    bool scalable = true;
    Point size{4725, 6683}; // the printer page in pixels, 600 dpi
    int failBeginAt = -1;   // the job that cannot be opened
    std::vector<int> copyCounts;
    std::vector<Job> jobs;
    int aborted = 0;
    bool open = false;

    std::string name() const override { return file ? "class.pdf" : "lp0"; }
    bool writesFile() const override { return file; }
    void setCopyCount(int copies) override { copyCounts.push_back(copies); }
    Canvas* beginJob() override
    {
        if (static_cast<int>(jobs.size()) == failBeginAt) return nullptr;
        jobs.push_back({std::make_shared<RecordingCanvas>(size.x, size.y, true, 600)});
        jobs.back().canvas->scalable = scalable;
        open = true;
        return jobs.back().canvas.get();
    }
    bool newPage() override
    {
        jobs.back().pageStarts.push_back(jobs.back().canvas->ops.size());
        return true;
    }
    bool endJob() override
    {
        open = false;
        return true;
    }
    void abortJob() override
    {
        ++aborted;
        open = false;
    }

    // The operations of every page, job after job.
    std::vector<std::vector<CanvasOp>> pages() const
    {
        std::vector<std::vector<CanvasOp>> all;
        for (const Job& job : jobs) {
            const auto& ops = job.canvas->ops;
            for (std::size_t p = 0; p < job.pageStarts.size(); ++p) {
                const std::size_t end = p + 1 < job.pageStarts.size() ? job.pageStarts[p + 1] : ops.size();
                all.emplace_back(ops.begin() + static_cast<std::ptrdiff_t>(job.pageStarts[p]),
                                 ops.begin() + static_cast<std::ptrdiff_t>(end));
            }
        }
        return all;
    }

    // The numbers of the pages in order, from their number lines (0 for a page without "№").
    std::vector<int> numbers() const
    {
        std::vector<int> found;
        const std::string mark = "№ "_sj;
        for (const auto& page : pages()) {
            int n = 0;
            for (const auto& op : page)
                if (op.kind == CanvasOp::Kind::Text && op.text.rfind(mark, 0) == 0)
                    n = std::stoi(op.text.substr(mark.size()));
            found.push_back(n);
        }
        return found;
    }
};

class PrintJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UnitData unit;
        unit.title = "分数のたし算"_sj;
        unit.shortKey = "tasu1.que-U1";
        unit.problemLines = {"(1)  1/5+2/5=# 3/5 #"};
        sheet = makeWorksheet(unit, false);
        options.clock = &clock;
        // The screen's measures: the recording canvas at 96 pixels per inch, the paper's size.
        screen.layout = [](const Worksheet& page, const DrawOptions& o) {
            RecordingCanvas measure(page.settings.paper.width, page.settings.paper.height);
            return layoutPage(page, measure, o);
        };
    }

    Worksheet sheet;
    FixedClock clock{{2005, 3, 5, 9, 7, 0}};
    DrawOptions options;
    ScreenSide screen;
};

TEST_F(PrintJobTest, CopiesBecomeJobsOrPagesWithTheirNumbers)
{
    struct Case {
        bool file;
        bool numbering;
        int copies;
        int start;
        std::vector<int> pagesPerJob;
        std::vector<int> copyCounts;
        std::vector<int> numbers;
    };
    const Case cases[] = {
        // A printer: numbered copies are jobs of one copy each; without numbers one job makes the copies.
        {false, true, 3, 1, {1, 1, 1}, {1}, {1, 2, 3}},
        {false, true, 2, 7, {1, 1}, {1}, {7, 8}},
        {false, false, 3, 1, {1}, {3}, {0}},
        // A file: one document, copy k on page k, whatever the numbering.
        {true, true, 3, 1, {3}, {1}, {1, 2, 3}},
        {true, false, 3, 5, {3}, {3}, {0, 0, 0}},
        {true, true, 0, 1, {1}, {1}, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "file " << c.file << " numbering " << c.numbering << " copies " << c.copies);
        RecordingDevice device;
        device.file = c.file;
        PrintOutcome out =
            printWorksheet(sheet, device, {PrintMode::Printer, c.numbering, c.start, c.copies}, options, screen);
        EXPECT_TRUE(out.ok());
        EXPECT_EQ(out.copiesPrinted, std::max(1, c.copies));
        std::vector<int> pages;
        for (const auto& job : device.jobs)
            pages.push_back(static_cast<int>(job.pageStarts.size()));
        EXPECT_EQ(pages, c.pagesPerJob);
        EXPECT_EQ(device.copyCounts, c.copyCounts);
        EXPECT_EQ(device.numbers(), c.numbers);
    }
}

TEST_F(PrintJobTest, EveryPaperInBothModesPrintsTheScreenPageWholeWithItsPlaces)
{
    // A page with text after its boxes, a two-line instruction, a fraction, alternatives, a figure and the class
    // flag, in every box shape, on every paper, in both modes, with and without the answers.
    UnitData unit;
    unit.title = "分数のたし算とひき算"_sj;
    unit.shortKey = "tasu1.que-U1";
    unit.problemLines = {"１．次の計算をしましょう。答えは"_sj,
                         "　　かんたんな分数で書きましょう。"_sj,
                         "(1)  1/5+2/5=# 3/5 # kg"_sj,
                         "(2)  1/3+1/6=# 1/2;3/6 # ㎡"_sj,
                         "(3)  4/7-1/7=# 3/7 # L　(4)  2/9+5/9=# 7/9 #"_sj,
                         "(5)  次の図を見ましょう。"_sj};
    unit.graph = {"fig1.bmp", "200", "300"};
    auto picture = [](int w, int h) {
        auto p = std::make_shared<Picture>();
        p->width = w;
        p->height = h;
        p->pixels.assign(static_cast<std::size_t>(w * h), 0xFF000000u);
        return PictureRef(p);
    };
    FigurePictures figures;
    figures.problem = {picture(60, 40)};
    options.figures = &figures;
    options.classFlag = picture(40, 50);

    struct Printer {
        int width, height; // the printable page at 600 dpi
    };
    const std::pair<int, Printer> papers[] = {
        {546, {4104, 5872}}, {630, {4792, 6851}}, {771, {5880, 8464}}, {891, {6818, 9683}}};
    for (const auto& [paperWidth, printer] : papers) {
        for (PrintMode mode : {PrintMode::Screen, PrintMode::Printer}) {
            for (bool answers : {false, true}) {
                for (int shape = 0; shape <= 5; ++shape) {
                    SCOPED_TRACE(testing::Message() << "paper " << paperWidth << " mode " << static_cast<int>(mode)
                                                    << " answers " << answers << " shape " << shape);
                    Worksheet page = makeWorksheet(unit, answers);
                    page.settings.paper = *paperOfWidth(paperWidth);
                    page.settings.answerBox.shape = shape;
                    RecordingCanvas measure(page.settings.paper.width, page.settings.paper.height);
                    const PageLayout shown = layoutPage(page, measure, options);
                    ASSERT_FALSE(shown.runsOffPage());

                    RecordingDevice device;
                    device.file = true;
                    device.size = {printer.width, printer.height};
                    const PrintOutcome out = printWorksheet(page, device, {mode, true, 1, 1}, options, screen);
                    ASSERT_TRUE(out.ok());
                    ASSERT_EQ(device.jobs.size(), 1u);
                    const RecordingCanvas& paper = *device.jobs[0].canvas;

                    // The page is placed whole, as large as the printer page takes it, and nothing is drawn before.
                    ASSERT_EQ(paper.pageScales.size(), 1u);
                    EXPECT_EQ(paper.pageScales[0].first, 0u);
                    const PageScale at = paper.pageScales[0].second;
                    EXPECT_EQ(at.width, paperWidth);
                    EXPECT_EQ(at.height, page.settings.paper.height);
                    EXPECT_LE(at.left + at.scale * at.width, printer.width + 1e-6);
                    EXPECT_LE(at.top + at.scale * at.height, printer.height + 1e-6);
                    EXPECT_DOUBLE_EQ(at.scale, std::min(static_cast<double>(printer.width) / at.width,
                                                        static_cast<double>(printer.height) / at.height));
                    EXPECT_EQ(at.left == 0, mode == PrintMode::Printer || at.scale * at.width == printer.width);
                    EXPECT_EQ(at.layoutPpi, 96);

                    // Every call of the screen page, in its place: texts at the screen's positions fitted to the
                    // widths the screen measured, frames, rules, the flag and the figure where the screen has them.
                    ASSERT_EQ(paper.ops.size(), shown.calls.size());
                    for (std::size_t i = 0; i < shown.calls.size(); ++i) {
                        const DrawCall& call = shown.calls[i];
                        const CanvasOp& op = paper.ops[i];
                        ASSERT_EQ(static_cast<int>(op.kind), static_cast<int>(call.kind)) << i;
                        EXPECT_EQ(op.font, call.font) << i;
                        if (call.kind == DrawCall::Kind::Text) {
                            EXPECT_EQ(op.text, call.text);
                            EXPECT_EQ(op.rect.left, call.rect.left);
                            EXPECT_EQ(op.rect.top, call.rect.top);
                            EXPECT_EQ(op.extra1, call.rect.right - call.rect.left);
                        } else if (call.kind == DrawCall::Kind::Polygon) {
                            EXPECT_EQ(op.points, call.points);
                        } else {
                            EXPECT_EQ(op.rect, call.rect) << i;
                        }
                    }
                    // What the sheet must hold: every line's words, the units after the boxes, the flag and the
                    // figure; the answers exactly when they are shown.
                    for (const char* words : {"次の計算をしましょう。答えは", "かんたんな分数で書きましょう。", " ㎡",
                                              " L　(4)  2", "次の図を見ましょう。"}) {
                        bool found = false;
                        for (const CanvasOp& op : paper.texts())
                            found = found || op.text.find(sjis::encode(words)) != std::string::npos;
                        EXPECT_TRUE(found) << words;
                    }
                    EXPECT_EQ(paper.ofKind(CanvasOp::Kind::Picture).size(), 2u);
                    bool blue = false;
                    for (const CanvasOp& op : paper.texts())
                        blue = blue || op.font.colour == colours::Blue;
                    EXPECT_EQ(blue, answers);
                    // The two-line instruction keeps the screen's line step between its lines.
                    const CanvasOp* first = paper.findText("１．次の計算をしましょう。答えは");
                    const CanvasOp* second = paper.findText("　　かんたんな分数で書きましょう。");
                    ASSERT_TRUE(first != nullptr && second != nullptr);
                    EXPECT_LE(second->rect.top - first->rect.top, 24);
                }
            }
        }
    }
}

TEST_F(PrintJobTest, ThePagePlacementFitsThePageWholeKeepingItsProportions)
{
    struct Case {
        int canvasWidth, canvasHeight, pageWidth, pageHeight;
        PrintMode mode;
        double scale, left;
    };
    const Case cases[] = {
        // B4 on a B4 printer page: scaled by the page's own width, not by 630.
        {5880, 8464, 771, 1092, PrintMode::Printer, 5880.0 / 771, 0},
        // A tall printable area: the height decides, and screen mode centres the page across it.
        {4792, 6000, 630, 891, PrintMode::Printer, 6000.0 / 891, 0},
        {4792, 6000, 630, 891, PrintMode::Screen, 6000.0 / 891, (4792 - 630 * (6000.0 / 891)) / 2},
        // A B4 page on A4 paper (a printer without B4): the whole page, reduced.
        {4792, 6851, 771, 1092, PrintMode::Screen, 4792.0 / 771, 0},
    };
    for (const Case& c : cases) {
        const PageScale at = printPlacement(c.canvasWidth, c.canvasHeight, c.pageWidth, c.pageHeight, c.mode);
        EXPECT_DOUBLE_EQ(at.scale, c.scale);
        EXPECT_NEAR(at.left, c.left, 1e-9);
        EXPECT_EQ(at.top, 0);
        EXPECT_EQ(at.width, c.pageWidth);
        EXPECT_EQ(at.height, c.pageHeight);
    }
}

TEST_F(PrintJobTest, CancellingBetweenCopiesAndFailingPrinters)
{
    for (bool file : {false, true}) {
        RecordingDevice device;
        device.file = file;
        PrintOutcome out = printWorksheet(sheet, device, {PrintMode::Printer, true, 1, 5}, options, screen,
                                          [](int done, int) { return done < 2; });
        EXPECT_TRUE(out.cancelled);
        EXPECT_TRUE(out.ok());
        EXPECT_EQ(out.copiesPrinted, 2);
        EXPECT_EQ(device.numbers(), (std::vector<int>{1, 2}));
        EXPECT_FALSE(device.open); // a cancelled document is still finished with the copies made
    }
    EXPECT_EQ(printCancelledMessage(2), "2 部を印刷したところで中止しました"_sj);

    // The second job cannot be opened: the first copy went out, nothing more is tried.
    RecordingDevice printer;
    printer.failBeginAt = 1;
    PrintOutcome out = printWorksheet(sheet, printer, {PrintMode::Printer, true, 1, 3}, options, screen);
    EXPECT_EQ(out.message, "プリンタ lp0 で印刷できませんでした"_sj);
    EXPECT_EQ(out.copiesPrinted, 1);
    EXPECT_EQ(printer.jobs.size(), 1u);

    // A screen page that cannot be had, or a printer that cannot draw it scaled, aborts the job.
    for (bool scalable : {true, false}) {
        RecordingDevice file;
        file.file = true;
        file.scalable = scalable;
        out = printWorksheet(sheet, file, {PrintMode::Screen, true, 1, 2}, options, scalable ? ScreenSide{} : screen);
        EXPECT_EQ(out.message, "ファイル class.pdf に書き込めませんでした"_sj);
        EXPECT_EQ(file.aborted, 1);
        EXPECT_EQ(out.copiesPrinted, 0);
    }
}

} // namespace
} // namespace tavola

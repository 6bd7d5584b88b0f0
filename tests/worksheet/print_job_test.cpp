// The print job over a recording printer: which jobs and pages the copies become, the numbers they carry, the
// screen page's rectangle, cancelling between copies, and a printer that fails.
#include "worksheet/print_job.h"

#include "platform/numbers.h"
#include "platform/seams.h"
#include "platform/sjis.h"
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
        // 4725 pixels wide: s = 7.5.
        std::shared_ptr<RecordingCanvas> canvas = std::make_shared<RecordingCanvas>(4725, 6683, true, 600);
        std::vector<std::size_t> pageStarts{0};
    };
    bool file = false;
    int failBeginAt = -1; // the job that cannot be opened
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
        jobs.emplace_back();
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
    }

    Worksheet sheet;
    FixedClock clock{{2005, 3, 5, 9, 7, 0}};
    DrawOptions options;
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
        PrintOutcome out = printWorksheet(sheet, device, {PrintMode::Printer, c.numbering, c.start, c.copies}, options);
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

TEST_F(PrintJobTest, ThePrinterPageIsScaledAndFramesTheBoxesOfTheScreenPage)
{
    RecordingCanvas screenCanvas;
    const PageLayout screen = layoutPage(sheet, screenCanvas, options);
    ASSERT_EQ(screen.answerBoxes.size(), 1u);
    options.screen = &screen;
    RecordingDevice device;
    printWorksheet(sheet, device, {PrintMode::Printer, true, 1, 1}, options);
    ASSERT_EQ(device.jobs.size(), 1u);
    const RecordingCanvas& page = *device.jobs[0].canvas;
    // s = 7.5: the left edge of the rules is 10 × margin 5 × s.
    const auto rules = page.lines();
    ASSERT_FALSE(rules.empty());
    EXPECT_EQ(rules[0].rect.left, 375);
    // The box of the screen page, framed at printer scale; the hidden answer is not on the paper at all.
    const CanvasOp* open = page.findText("［");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->rect.left, roundEven(screen.answerBoxes[0].x * 7.5 * 1.03));
    EXPECT_NE(page.findText("］"), nullptr);
    EXPECT_EQ(page.findText("3"), nullptr);
    EXPECT_EQ(page.findText(" 3"), nullptr);
}

TEST_F(PrintJobTest, ScreenModeStretchesTheScreenPageOfEachCopy)
{
    // s = 7.5; 891 × 7.5 = 6682.5 rounds to the even 6682.
    EXPECT_EQ(screenPageRect(4725, 630, 891), (Rect{45, 0, 45 + 4725, 6682}));
    EXPECT_EQ(screenPageRect(630, 546, 771), (Rect{6, 0, 552, 771}));

    std::vector<int> asked;
    ScreenSide source;
    source.picture = [&](const Worksheet&, const DrawOptions& o) {
        asked.push_back(o.printNumber);
        auto p = std::make_shared<Picture>();
        p->width = 630;
        p->height = 891;
        p->pixels.assign(630u * 891u, 0xFFFFFFFFu);
        return PictureRef(p);
    };
    RecordingDevice device;
    device.file = true;
    PrintOutcome out = printWorksheet(sheet, device, {PrintMode::Screen, true, 4, 2}, options, source);
    EXPECT_TRUE(out.ok());
    EXPECT_EQ(asked, (std::vector<int>{4, 5}));
    const auto pages = device.pages();
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[1].size(), 1u);
    EXPECT_EQ(pages[1][0].kind, CanvasOp::Kind::Picture);
    EXPECT_EQ(pages[1][0].rect, (Rect{45, 0, 4770, 6682}));
}

TEST_F(PrintJobTest, CancellingBetweenCopiesAndFailingPrinters)
{
    for (bool file : {false, true}) {
        RecordingDevice device;
        device.file = file;
        PrintOutcome out = printWorksheet(sheet, device, {PrintMode::Printer, true, 1, 5}, options, {},
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
    PrintOutcome out = printWorksheet(sheet, printer, {PrintMode::Printer, true, 1, 3}, options);
    EXPECT_EQ(out.message, "プリンタ lp0 で印刷できませんでした"_sj);
    EXPECT_EQ(out.copiesPrinted, 1);
    EXPECT_EQ(printer.jobs.size(), 1u);

    // A screen page that cannot be had aborts the job.
    RecordingDevice file;
    file.file = true;
    ScreenSide none;
    none.picture = [](const Worksheet&, const DrawOptions&) { return PictureRef(); };
    out = printWorksheet(sheet, file, {PrintMode::Screen, true, 1, 2}, options, none);
    EXPECT_EQ(out.message, "ファイル class.pdf に書き込めませんでした"_sj);
    EXPECT_EQ(file.aborted, 1);
    EXPECT_EQ(out.copiesPrinted, 0);
}

} // namespace
} // namespace tavola

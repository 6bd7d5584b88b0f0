#include "worksheet/print_job.h"

#include "platform/numbers.h"
#include "platform/sjis.h"
#include "variant/variant_generator.h"

#include <algorithm>

namespace tavola {

namespace {

// One page of the run: copy k of the class set, or its answer key.
struct PrintItem {
    int copy = 1;
    int number = 1;
    bool key = false;
};

class PrintRun {
public:
    PrintRun(const Worksheet& sheet, PrintDevice& device, const PrintRequest& request, const DrawOptions& options,
             const ScreenSide& screen, const PrintProgress& progress, const PageMarks& marks)
        : sheet_(sheet), device_(device), request_(request), options_(options), screen_(screen), progress_(progress),
          marks_(marks)
    {
        copies_ = std::max(1, request.copies);
        varied_ = request.variants && copies_ > 1 && copiesDiffer(sheet);
        numbering_ = numbersCopies(request, varied_);
        options_.numbering = numbering_;
    }

    PrintOutcome run()
    {
        // Numbered copies and copies with their own numbers are separate jobs, except in a file, where every page
        // is a page of one document; a printer that writes a file makes no copies of its own either.
        const bool oneDocument = device_.writesFile();
        const bool ownPages = numbering_ || varied_ || oneDocument;
        std::vector<PrintItem> items;
        for (int k = 1; k <= (ownPages ? copies_ : 1); ++k)
            items.push_back({k, numbering_ ? request_.startNumber + k - 1 : request_.startNumber, false});
        if (request_.answerKey) {
            // Copies with their own numbers have a key each; copies that are all alike share one.
            const int keys = varied_ ? copies_ : 1;
            for (int k = 1; k <= keys; ++k)
                items.push_back({k, numbering_ ? request_.startNumber + k - 1 : request_.startNumber, true});
        }
        device_.setCopyCount(numbering_ || varied_ ? 1 : copies_);
        const int copiesPerItem = ownPages ? 1 : copies_;

        int done = 0;
        std::size_t next = 0;
        bool keyCopyCountSet = ownPages;
        while (next < items.size() && !outcome_.cancelled) {
            // A plain printer made the copies itself; its key page is one more job of one copy.
            if (items[next].key && !keyCopyCountSet) {
                device_.setCopyCount(1);
                keyCopyCountSet = true;
            }
            Canvas* canvas = device_.beginJob();
            if (canvas == nullptr) return failed();
            int pending = 0;
            const std::size_t last = oneDocument ? items.size() : next + 1;
            for (std::size_t i = next; i < last; ++i) {
                if (i > next && !device_.newPage()) return aborted();
                if (!drawItem(*canvas, items[i])) return aborted();
                if (items[i].key) continue;
                pending += copiesPerItem;
                if (oneDocument) {
                    done += copiesPerItem;
                    if (i + 1 < last && !items[i + 1].key && !goOn(done)) {
                        // Cancelled: the copies made end the document, without the keys of the rest.
                        break;
                    }
                }
            }
            if (!device_.endJob()) return failed();
            outcome_.copiesPrinted += pending;
            if (!oneDocument && !items[next].key) {
                done += pending;
                if (next + 1 < items.size() && !items[next + 1].key && !goOn(done)) break;
            }
            next = last;
        }
        return outcome_;
    }

private:
    bool goOn(int done)
    {
        if (!progress_ || progress_(done, copies_)) return true;
        outcome_.cancelled = true;
        return false;
    }

    bool drawItem(Canvas& canvas, const PrintItem& item)
    {
        DrawOptions options = options_;
        options.printNumber = item.number;
        if (item.key) options.answersShown = true;
        const bool varied = varied_ && item.copy >= 2;
        const Worksheet variant = varied ? copyPage(sheet_, item.copy, true) : Worksheet{};
        const Worksheet& page = varied ? variant : sheet_;
        // The screen page of this copy, drawn at the printer's resolution. Frames and figures are the page's own:
        // a copy with new numbers frames its own boxes, and a practice sheet keeps the boxes its window shows.
        if (!screen_.layout) return false;
        const PageLayout layout = screen_.layout(page, options);
        if (layout.width <= 0 || layout.height <= 0) return false;
        const PageScale placed =
            printPlacement(canvas.width(), canvas.height(), layout.width, layout.height, request_.mode);
        auto* target = dynamic_cast<PageCanvas*>(&canvas);
        if (target == nullptr || !target->setPageScale(placed)) return false;
        paintPage(layout, canvas, marks_);
        return true;
    }

    PrintOutcome failed()
    {
        outcome_.message = printFailedMessage(device_.name(), device_.writesFile());
        return outcome_;
    }

    PrintOutcome aborted()
    {
        device_.abortJob();
        return failed();
    }

    const Worksheet& sheet_;
    PrintDevice& device_;
    const PrintRequest& request_;
    DrawOptions options_;
    const ScreenSide& screen_;
    const PrintProgress& progress_;
    const PageMarks& marks_;
    int copies_ = 1;
    bool varied_ = false;    // the copies from the second on have numbers of their own
    bool numbering_ = false; // the copies carry their numbers
    PrintOutcome outcome_;
};

} // namespace

PrintOutcome printWorksheet(const Worksheet& sheet, PrintDevice& device, const PrintRequest& request,
                            const DrawOptions& options, const ScreenSide& screen, const PrintProgress& progress,
                            const PageMarks& marks)
{
    return PrintRun(sheet, device, request, options, screen, progress, marks).run();
}

Worksheet copyPage(const Worksheet& sheet, int copy, bool variants)
{
    Worksheet page = sheet;
    if (variants && copy >= 2) page.problemLines = variant::copyVariant(sheet.problemLines, sheet.quesComment, copy);
    return page;
}

PageScale printPlacement(int canvasWidth, int canvasHeight, int pageWidth, int pageHeight, PrintMode mode)
{
    PageScale placed;
    placed.width = std::max(1, pageWidth);
    placed.height = std::max(1, pageHeight);
    placed.scale = std::min(static_cast<double>(std::max(1, canvasWidth)) / placed.width,
                            static_cast<double>(std::max(1, canvasHeight)) / placed.height);
    if (mode == PrintMode::Screen) placed.left = std::max(0.0, (canvasWidth - placed.scale * placed.width) / 2);
    return placed;
}

std::string printFailedMessage(const std::string& name, bool file)
{
    if (file) return "ファイル "_sj + name + " に書き込めませんでした"_sj;
    return "プリンタ "_sj + name + " で印刷できませんでした"_sj;
}

std::string paperMissingMessage(const std::string& name, const std::string& paper)
{
    return "プリンタ "_sj + name + " には "_sj + paper +
           " の用紙がありません。いまの用紙に合わせて縮小して印刷します"_sj;
}

std::string printCancelledMessage(int copiesPrinted)
{
    return std::to_string(copiesPrinted) + " 部を印刷したところで中止しました"_sj;
}

// ---- copies with their own numbers ----

bool copiesDiffer(const Worksheet& sheet)
{
    return variant::copyVariant(sheet.problemLines, sheet.quesComment, 2) != sheet.problemLines;
}

bool numbersCopies(const PrintRequest& request, bool copiesDiffer)
{
    // A key page has to be found for its sheet: varied copies with a key carry their numbers whatever was chosen.
    return request.numbering || (request.variants && request.answerKey && copiesDiffer);
}

std::string keptProblemsNote(const Worksheet& sheet)
{
    const std::vector<variant::KeptProblem> kept = variant::problemsKept(sheet.problemLines, sheet.quesComment);
    if (!copiesDiffer(sheet)) return "数を変えられる問題がないため、どの部も同じ問題になります"_sj;
    if (kept.empty()) return {};
    return std::to_string(kept.size()) + " 問は数を変えられないため、どの部も同じ数で印刷されます"_sj;
}

} // namespace tavola

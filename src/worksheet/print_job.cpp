#include "worksheet/print_job.h"

#include "platform/numbers.h"
#include "platform/sjis.h"

#include <algorithm>

namespace tavola {

namespace {

// The page scale: printer pixels per layout unit of an A4 width.
constexpr double kScaleWidth = 630.0;
// The screen page lies this many layout units right of the printer page's corner.
constexpr int kScreenPageLeft = 6;

class PrintRun {
public:
    PrintRun(const Worksheet& sheet, PrintDevice& device, const PrintRequest& request, const DrawOptions& options,
             const ScreenPageSource& screenPage, const PrintProgress& progress, const PageMarks& marks)
        : sheet_(sheet), device_(device), request_(request), options_(options), screenPage_(screenPage),
          progress_(progress), marks_(marks)
    {
        options_.numbering = request.numbering;
        copies_ = std::max(1, request.copies);
    }

    PrintOutcome run()
    {
        // Numbered copies are separate jobs, except in a file, where they are the pages of one document; a printer
        // that writes a file makes no copies of its own either.
        const bool oneDocument = device_.writesFile();
        const int jobs = request_.numbering && !oneDocument ? copies_ : 1;
        const int pagesPerJob = oneDocument ? copies_ : 1;
        const int copiesPerPage = request_.numbering || oneDocument ? 1 : copies_;
        device_.setCopyCount(request_.numbering ? 1 : copies_);
        int number = request_.startNumber;
        int done = 0;
        for (int job = 0; job < jobs && !outcome_.cancelled; ++job) {
            Canvas* canvas = device_.beginJob();
            if (canvas == nullptr) return failed();
            int pending = 0;
            for (int p = 0; p < pagesPerJob; ++p) {
                if (p > 0 && !device_.newPage()) return aborted();
                if (!drawCopy(*canvas, number)) return aborted();
                pending += copiesPerPage;
                if (request_.numbering) ++number;
                if (oneDocument) {
                    done += copiesPerPage;
                    if (p + 1 < pagesPerJob && !goOn(done)) break;
                }
            }
            if (!device_.endJob()) return failed();
            outcome_.copiesPrinted += pending;
            if (!oneDocument) {
                done += pending;
                if (job + 1 < jobs && !goOn(done)) break;
            }
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

    bool drawCopy(Canvas& canvas, int number)
    {
        if (request_.mode == PrintMode::Screen) {
            const PictureRef picture = screenPage_ ? screenPage_(number) : nullptr;
            if (picture == nullptr || picture->empty()) return false;
            canvas.drawPicture(screenPageRect(canvas.width(), picture->width, picture->height), *picture);
            return true;
        }
        options_.printNumber = number;
        drawPage(sheet_, canvas, options_, marks_);
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
    const ScreenPageSource& screenPage_;
    const PrintProgress& progress_;
    const PageMarks& marks_;
    int copies_ = 1;
    PrintOutcome outcome_;
};

} // namespace

PrintOutcome printWorksheet(const Worksheet& sheet, PrintDevice& device, const PrintRequest& request,
                            const DrawOptions& options, const ScreenPageSource& screenPage,
                            const PrintProgress& progress, const PageMarks& marks)
{
    return PrintRun(sheet, device, request, options, screenPage, progress, marks).run();
}

Rect screenPageRect(int canvasWidth, int pageWidth, int pageHeight)
{
    const double s = canvasWidth / kScaleWidth;
    const int left = roundEven(kScreenPageLeft * s);
    return {left, 0, left + roundEven(s * pageWidth), roundEven(s * pageHeight)};
}

std::string printFailedMessage(const std::string& name, bool file)
{
    if (file) return "ファイル "_sj + name + " に書き込めませんでした"_sj;
    return "プリンタ "_sj + name + " で印刷できませんでした"_sj;
}

std::string printCancelledMessage(int copiesPrinted)
{
    return std::to_string(copiesPrinted) + " 部を印刷したところで中止しました"_sj;
}

} // namespace tavola

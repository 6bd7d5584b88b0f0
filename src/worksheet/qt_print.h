#pragma once
// Printing a worksheet on a QPrinter, a real printer or its PDF output: the one entry point of the print dialog,
// the practice window's printout and tavola-cli print.
//
//   QPrinter printer(QPrinter::HighResolution);      // set up by QPrintDialog, or setUpPdfPrinter()
//   PrintOutcome out = printOnPrinter(printer, sheet, request, options);
//   if (!out.ok()) prompts.error(out.message);
//
// options are those of the worksheet's screen pass (school name, 別解表示, clock, class flag picture, figure
// pictures); request says mode, numbering, start number and copies (print_job.h tells what each does).
#include "worksheet/print_job.h"

#include <QString>

#include <memory>
#include <string>

class QPrinter;

namespace tavola {

class QtCanvas;

// A QPrinter as the print job's printer; it writes a file when it has an output file name.
class QtPrintDevice : public PrintDevice {
public:
    explicit QtPrintDevice(QPrinter& printer);
    ~QtPrintDevice() override;

    std::string name() const override;
    bool writesFile() const override;
    void setCopyCount(int copies) override;
    Canvas* beginJob() override;
    bool newPage() override;
    bool endJob() override;
    void abortJob() override;

private:
    QPrinter& printer_;
    std::unique_ptr<QtCanvas> canvas_;
};

// The layout of the worksheet's screen page, measured on a page picture as the worksheet window draws it.
PageLayout screenLayout(const Worksheet& sheet, const DrawOptions& options);

// Prints the worksheet on the paper of the worksheet (setPaperOf); when the printer has no such paper the page is
// fitted to the paper it has, and outcome.notice says so. options.screen is used only with options.entries (a
// practice sheet): the entries start where that window drew them.
PrintOutcome printOnPrinter(QPrinter& printer, const Worksheet& sheet, const PrintRequest& request,
                            const DrawOptions& options, const PrintProgress& progress = {},
                            const PageMarks& marks = {});

// A printer writing a PDF file at 600 dpi on the paper of the given width (546 B5, 630 A4, 771 B4, 891 A3;
// another width is A4), portrait.
void setUpPdfPrinter(QPrinter& printer, const QString& path, int paperWidth);

// Sets the printer's paper to the worksheet's (JIS B5, A4, JIS B4, A3), portrait; false when the printer does not
// take it. A width that is no paper of the program leaves the printer's paper as it is.
bool setPaperOf(QPrinter& printer, int paperWidth);
// The name of the paper a job is given for a width: "JIS B5", "A4", "JIS B4", "A3".
std::string jobPaperName(int paperWidth);

// The paper of a width: "B5", "A4", "B4" or "A3" (another width: "A4").
const char* paperName(int paperWidth);

} // namespace tavola

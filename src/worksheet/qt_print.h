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

// The screen page of the worksheet as a picture of its paper (one pixel per layout unit), with number in the
// number line.
PictureRef drawScreenPage(const Worksheet& sheet, const DrawOptions& options, int number, const PageMarks& marks = {});

// The layout of the worksheet's screen page, measured on a page picture as the worksheet window draws it.
PageLayout screenLayout(const Worksheet& sheet, const DrawOptions& options);

// Prints the worksheet. options.screen is the screen page the printer pages take their answer boxes from; when it
// is null the screen page is laid out here first, so a worksheet never shown prints its boxes all the same.
PrintOutcome printOnPrinter(QPrinter& printer, const Worksheet& sheet, const PrintRequest& request,
                            const DrawOptions& options, const PrintProgress& progress = {},
                            const PageMarks& marks = {});

// A printer writing a PDF file at 600 dpi on the paper of the given width (546 B5, 630 A4, 771 B4, 891 A3;
// another width is A4), portrait.
void setUpPdfPrinter(QPrinter& printer, const QString& path, int paperWidth);

// The paper of a width: "B5", "A4", "B4" or "A3" (another width: "A4").
const char* paperName(int paperWidth);

} // namespace tavola

#pragma once
// Printing a worksheet: the copies, their numbers and the two print modes, over a printer behind PrintDevice.
//
//   PrintOutcome printWorksheet(sheet, device, request, options, screenPage, progress)
//
// Every page printed is the screen page of that copy (its number, its answers, its numbers with variants), laid out
// as the screen lays it out and drawn at the printer's resolution: positions, frames and figures scaled from the
// screen's layout, each text fitted to the width the screen measured, so that answers, units and frames keep their
// places against each other on every paper. The page is scaled as large as the printer page takes it whole, with its
// proportions kept (printPlacement), in either mode:
// - PrintMode::Screen ("画面に忠実に印刷する") centres the page across the printer page, as the page picture;
// - PrintMode::Printer ("プリンタの解像度で印刷する") starts it at the printer page's corner, scaled by the printer
// page
//   width / the paper's own width (less when the page would otherwise run past the printer page's bottom).
// - With numbering, copy k carries the number request.startNumber + k − 1 and is its own print job with a copy
//   count of 1. On a printer that writes a file (PDF) a second job would overwrite the first, so there the
//   numbered copies are the pages of one document, copy k on page k.
// - Without numbering one job prints with the copy count; a printer that makes no copies of its own (a file) gets
//   the page that many times.
// - With 部ごとに問題を変える (variants) copy k from 2 on has new numbers (variant/variant_generator.h, seeded by
//   what the page is and k, so that a copy file prints the same numbers however it was opened); copy 1 is the unit
//   as authored. Every copy is then a page of its own, as numbered copies are.
// - With 解答ページを付ける (answerKey) the answer key follows the class set: with copies that differ one key page
//   per copy, and every sheet and key page carries its copy's number even without numbering; copies that are all
//   alike (nothing on the page can be varied) share one key page.
// The worksheet is only read.
//
// Windows (the print dialog, the practice sheet) and tavola-cli print reach this through printOnPrinter()
// (worksheet/qt_print.h), which supplies the QPrinter as device and the screen's text measures.
#include "platform/canvas.h"
#include "platform/page_canvas.h"
#include "worksheet/drawing_pass.h"
#include "worksheet/worksheet.h"

#include <functional>
#include <string>

namespace tavola {

enum class PrintMode {
    Screen,  // radDisplay "画面に忠実に印刷する": the screen page as a picture
    Printer, // radPrinter "プリンタの解像度で印刷する": a drawing pass at the printer's resolution
};

struct PrintRequest {
    PrintMode mode = PrintMode::Screen;
    bool numbering = true;  // chkNumber "№を付ける"
    int startNumber = 1;    // spnStart: the number of the first copy
    int copies = 1;         // the print dialog's copy count
    bool variants = false;  // 部ごとに問題を変える
    bool answerKey = false; // 解答ページを付ける
};

// The printer as the print job uses it. Every call after a failed one is left out by the job.
class PrintDevice {
public:
    virtual ~PrintDevice() = default;
    // The printer's name, or the file it writes (CP932), for the messages.
    virtual std::string name() const = 0;
    // True when the printer writes a file instead of sending jobs to a printer.
    virtual bool writesFile() const = 0;
    // The copy count of the next job; the printer makes the copies itself unless it writes a file.
    virtual void setCopyCount(int copies) = 0;
    // Starts a job with its first page; null when the printer cannot be opened.
    virtual Canvas* beginJob() = 0;
    // Starts the next page of the job; false when the printer refuses.
    virtual bool newPage() = 0;
    // Ends the job; false when it could not be finished (the file could not be written).
    virtual bool endJob() = 0;
    virtual void abortJob() = 0;
};

// What printing needs of the screen: the screen page of a page with its options (the copy's number in
// options.printNumber, the answers, a practice sheet's entries), laid out with the screen's text measures. Without it
// nothing can be printed.
struct ScreenSide {
    std::function<PageLayout(const Worksheet& page, const DrawOptions& options)> layout;
};
// Called after each copy has gone out with the copies done and the total; false stops before the next copy.
using PrintProgress = std::function<bool(int done, int total)>;

struct PrintOutcome {
    int copiesPrinted = 0;
    bool cancelled = false;
    std::string message; // why printing stopped (CP932); empty when nothing failed
    std::string notice;  // what the user should know of a print that went out (CP932): the paper the printer lacked
    bool ok() const { return message.empty(); }
};

PrintOutcome printWorksheet(const Worksheet& sheet, PrintDevice& device, const PrintRequest& request,
                            const DrawOptions& options, const ScreenSide& screen = {},
                            const PrintProgress& progress = {}, const PageMarks& marks = {});

// Where a page of pageWidth × pageHeight layout units lies on a printer page of canvasWidth × canvasHeight pixels in
// a print mode: whole, as large as the printer page takes it with its proportions kept; centred across the printer
// page in screen mode, from its corner in printer mode.
PageScale printPlacement(int canvasWidth, int canvasHeight, int pageWidth, int pageHeight, PrintMode mode);

// The page of copy k: the worksheet itself, or with variants and k ≥ 2 the worksheet with copy k's numbers.
Worksheet copyPage(const Worksheet& sheet, int copy, bool variants);

// Copies with their own numbers (部ごとに問題を変える):
// True when copy 2 of the page has other numbers than the page: some problem of it can be varied.
bool copiesDiffer(const Worksheet& sheet);
// Whether the copies of a request carry their numbers: with numbering, and always when copies with numbers of their
// own come with answer keys (a key page must name the sheet it belongs to).
bool numbersCopies(const PrintRequest& request, bool copiesDiffer);
// What the teacher is told before printing copies with their own numbers: how many problems of the page keep
// their numbers on every copy, or that no problem can change; empty when every problem changes (CP932).
std::string keptProblemsNote(const Worksheet& sheet);

// "プリンタ " + name + " で印刷できませんでした", or for a file "ファイル " + name + " に書き込めませんでした".
std::string printFailedMessage(const std::string& name, bool file);
// "プリンタ " + name + " には " + paper + " の用紙がありません。いまの用紙に合わせて縮小して印刷します".
std::string paperMissingMessage(const std::string& name, const std::string& paper);
// n + " 部を印刷したところで中止しました".
std::string printCancelledMessage(int copiesPrinted);

} // namespace tavola

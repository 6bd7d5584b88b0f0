#pragma once
// Printing a worksheet: the copies, their numbers and the two print modes, over a printer behind PrintDevice.
//
//   PrintOutcome printWorksheet(sheet, device, request, options, screenPage, progress)
//
// - PrintMode::Printer draws the page anew at the printer's resolution (the drawing pass with scale s = printer
//   page width / 630; the class flag and the figures stretched to their rectangles × s).
// - PrintMode::Screen prints the page picture as the screen shows it, stretched by s to the rectangle
//   left round(6 × s), top 0, width round(s × picture width), height round(s × picture height).
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
// Every page is laid out for its own canvas and painted there; the worksheet is only read. A printer page frames
// the answer boxes of the screen page (options.screen), so that paper and screen show the same boxes.
//
// Windows (the print dialog, the practice sheet) and tavola-cli print reach this through printOnPrinter()
// (worksheet/qt_print.h), which supplies the QPrinter as device and the screen page picture.
#include "platform/canvas.h"
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

// What printing needs of the screen, for a page and its options (the copy's number in options.printNumber): the
// page picture (screen mode; null when there is none to print), and the screen layout whose answer boxes a printer
// page frames. The layout is asked for pages other than the worksheet as shown (copies with new numbers); without
// it they frame the boxes of options.screen.
struct ScreenSide {
    std::function<PictureRef(const Worksheet& page, const DrawOptions& options)> picture;
    std::function<PageLayout(const Worksheet& page, const DrawOptions& options)> layout;
};
// Called after each copy has gone out with the copies done and the total; false stops before the next copy.
using PrintProgress = std::function<bool(int done, int total)>;

struct PrintOutcome {
    int copiesPrinted = 0;
    bool cancelled = false;
    std::string message; // why printing stopped (CP932); empty when nothing failed
    bool ok() const { return message.empty(); }
};

PrintOutcome printWorksheet(const Worksheet& sheet, PrintDevice& device, const PrintRequest& request,
                            const DrawOptions& options, const ScreenSide& screen = {},
                            const PrintProgress& progress = {}, const PageMarks& marks = {});

// The rectangle the screen page picture of a page width × height is stretched to on a printer page canvasWidth
// pixels wide.
Rect screenPageRect(int canvasWidth, int pageWidth, int pageHeight);

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
// n + " 部を印刷したところで中止しました".
std::string printCancelledMessage(int copiesPrinted);

} // namespace tavola

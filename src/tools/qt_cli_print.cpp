// tavola-cli print [DIR] LESSON SECTION UNIT [SIMILAR] --out FILE.pdf [--copies N] [--numbered] [--start K]
//                   [--answers on|off] [--mode printer|screen] [--variants] [--key]
// tavola-cli print [DIR] --copy FILE.prp --out FILE.pdf [...]
// A class set without a window: the worksheet printed by the print dialog's own code into one PDF at 600 dpi on
// the unit's paper. Numbered copies are the pages of the document, copy k numbered K + k − 1; without numbering the
// document holds the copies as pages too. The answers are hidden unless --answers on (the answer key). Prints a
// short JSON summary. --variants gives every copy from the second on new numbers, --key adds the answer key after the
// class set (one key page per copy when the copies differ; such copies are numbered). With --variants the summary
// tells how many problems keep their numbers on every copy ("kept") and the note the print dialog shows.
#include "platform/numbers.h"
#include "platform/qt/qt_text.h"
#include "tools/cli_commands.h"
#include "tools/qt_cli_gui.h"
#include "variant/variant_generator.h"
#include "worksheet/qt_print.h"

#include <QPrinter>

namespace tavola::cli {
namespace {

const char* const kUsageText =
    "usage: tavola-cli print [DIR] LESSON SECTION UNIT [SIMILAR] | --copy FILE.prp; --out FILE.pdf [--copies N] "
    "[--numbered] [--start K] [--answers on|off] [--mode printer|screen] [--variants] [--key]";

// More copies than any class needs is a mistyped number, not a print job.
constexpr int kMaxCopies = 1000;

struct PrintArgs {
    UnitArgs unit;
    std::string out;
    bool answers = false;
    PrintRequest request{PrintMode::Printer, false, 1, 1};
};

std::optional<int> countArg(const std::string& text, int max)
{
    auto n = parseInteger(text);
    if (!n || *n < 1 || *n > max) return std::nullopt;
    return static_cast<int>(*n);
}

std::optional<PrintArgs> parseArgs(const Args& args)
{
    PrintArgs r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--numbered") {
            r.request.numbering = true;
        } else if (a == "--variants") {
            r.request.variants = true;
        } else if (a == "--key") {
            r.request.answerKey = true;
        } else if (a == "--out" || a == "--copies" || a == "--start" || a == "--answers" || a == "--mode") {
            if (i + 1 >= args.size()) return std::nullopt;
            const std::string& v = args[++i];
            if (a == "--out") {
                r.out = v;
            } else if (a == "--copies" || a == "--start") {
                auto n = countArg(v, a == "--copies" ? kMaxCopies : 1'000'000);
                if (!n) return std::nullopt;
                (a == "--copies" ? r.request.copies : r.request.startNumber) = *n;
            } else if (a == "--answers") {
                auto flag = onOff(v);
                if (!flag) return std::nullopt;
                r.answers = *flag;
            } else if (v == "printer" || v == "screen") {
                r.request.mode = v == "printer" ? PrintMode::Printer : PrintMode::Screen;
            } else {
                return std::nullopt;
            }
        } else if (!r.unit.take(args, i)) {
            return std::nullopt;
        }
    }
    if (r.out.empty() || !r.unit.complete()) return std::nullopt;
    return r;
}

} // namespace

int runPrint(const Args& args)
{
    auto r = parseArgs(args);
    if (!r) {
        printError(kUsageText);
        return kUsage;
    }
    auto loaded = loadNamedWorksheet(r->unit, r->answers, "print");
    if (!loaded) return kFailed;
    auto app = startGui();

    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, QString::fromStdString(r->out), loaded->sheet.settings.paper.width);
    DrawOptions options;
    options.classFlag = loaded->classFlag;
    options.figures = &loaded->figures;
    const PrintOutcome out = printOnPrinter(printer, loaded->sheet, r->request, options);
    if (!out.ok()) {
        printSystemMessage(out.message);
        return kFailed;
    }
    const Worksheet& sheet = loaded->sheet;
    Json summary = {{"out", r->out},
                    {"copies", out.copiesPrinted},
                    {"numbered", numbersCopies(r->request, r->request.variants && copiesDiffer(sheet))},
                    {"variants", r->request.variants},
                    {"key", r->request.answerKey},
                    {"start", r->request.startNumber},
                    {"mode", r->request.mode == PrintMode::Printer ? "printer" : "screen"},
                    {"paper", paperName(loaded->sheet.settings.paper.width)},
                    {"dpi", printer.resolution()}};
    // With copies of their own numbers, how many problems keep theirs on every copy (nothing when none).
    if (r->request.variants) {
        const std::size_t kept = variant::problemsKept(sheet.problemLines, sheet.quesComment).size();
        if (kept > 0) summary["kept"] = kept;
        if (const std::string note = keptProblemsNote(sheet); !note.empty()) summary["note"] = utf8(note);
    }
    printJson(summary);
    return kOk;
}

} // namespace tavola::cli

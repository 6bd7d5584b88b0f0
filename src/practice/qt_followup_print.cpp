#include "practice/qt_followup_print.h"

#include "platform/qt/qt_output_file.h"
#include "worksheet/qt_print.h"

#include <QPrinter>

namespace tavola {

FollowupLayout followupScreenLayout(const DrawOptions& options)
{
    DrawOptions screen = options;
    screen.screen = nullptr;
    screen.entries = nullptr;
    return [screen](const Worksheet& page) { return screenLayout(page, screen); };
}

PrintOutcome printFollowupOnPrinter(QPrinter& printer, const std::vector<FollowupSheet>& sheets,
                                    const DrawOptions& options, bool withKeys)
{
    PrinterOutputFile output(printer);
    if (!output.begun()) return {0, false, output.begun().message(), {}};
    QtPrintDevice device(printer);
    PrintOutcome outcome = printFollowupSheets(sheets, device, options, followupScreenLayout(options), withKeys);
    if (Status written = output.finish(outcome.ok()); !written) outcome.message = written.message();
    return outcome;
}

} // namespace tavola

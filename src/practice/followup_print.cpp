#include "practice/followup_print.h"

namespace tavola {

PrintOutcome printFollowupSheets(const std::vector<FollowupSheet>& sheets, PrintDevice& device,
                                 const DrawOptions& options, const FollowupLayout& screenLayout, bool withKeys)
{
    PrintOutcome outcome;
    std::vector<std::pair<Worksheet, const FollowupSheet*>> pages;
    for (const FollowupSheet& sheet : sheets)
        if (sheet.made()) pages.emplace_back(sheet.sheet, &sheet);
    const std::size_t sheetCount = pages.size();
    if (withKeys)
        for (std::size_t k = 0; k < sheetCount; ++k)
            pages.emplace_back(followupKey(pages[k].first), pages[k].second);
    if (pages.empty()) return outcome;

    device.setCopyCount(1);
    Canvas* canvas = device.beginJob();
    if (canvas == nullptr) {
        outcome.message = printFailedMessage(device.name(), device.writesFile());
        return outcome;
    }
    for (std::size_t k = 0; k < pages.size(); ++k) {
        if (k > 0 && !device.newPage()) {
            device.abortJob();
            outcome.message = printFailedMessage(device.name(), device.writesFile());
            return outcome;
        }
        DrawOptions page = options;
        page.learnerName = pages[k].second->learner;
        page.learnerNameShown = true;
        page.numbering = false;
        page.answersShown = pages[k].first.settings.answersShown;
        page.practice = false;
        page.entries = nullptr;
        // A printer page frames the answer boxes of the screen page.
        PageLayout screen;
        if (screenLayout) {
            screen = screenLayout(pages[k].first);
            page.screen = &screen;
        }
        drawPage(pages[k].first, *canvas, page);
        if (k < sheetCount) ++outcome.copiesPrinted;
    }
    if (!device.endJob()) outcome.message = printFailedMessage(device.name(), device.writesFile());
    return outcome;
}

} // namespace tavola

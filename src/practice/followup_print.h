#pragma once
// The follow-up sheets of a class on paper: every learner's sheet with the name in the name line, then the answer
// key of each in the same order, all in one print job at the printer's resolution.
#include "practice/followup_sheet.h"
#include "worksheet/print_job.h"

#include <vector>

namespace tavola {

// Prints the sheets that were made (FollowupSheet::made), then their keys when withKeys. options are those of
// the screen pass (school name, 別解表示, clock, class flag, figures); screenLayout gives the screen page whose
// answer boxes a printer page frames. The outcome counts the sheets printed (keys not counted).
PrintOutcome printFollowupSheets(const std::vector<FollowupSheet>& sheets, PrintDevice& device,
                                 const DrawOptions& options, const FollowupLayout& screenLayout, bool withKeys);

} // namespace tavola

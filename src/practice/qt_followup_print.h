#pragma once
// The follow-up sheets on a QPrinter, a real printer or its PDF output: the one entry point of 学級の記録's
// ふくしゅうシート and tavola-cli followup.
#include "practice/followup_print.h"

class QPrinter;

namespace tavola {

// The screen page of a sheet as the worksheet window measures it, for fitting problems on it and for framing the
// printer's answer boxes.
FollowupLayout followupScreenLayout(const DrawOptions& options);

// Prints the sheets made, then their keys when withKeys, as one document (a PDF is written whole or not at all).
PrintOutcome printFollowupOnPrinter(QPrinter& printer, const std::vector<FollowupSheet>& sheets,
                                    const DrawOptions& options, bool withKeys);

} // namespace tavola

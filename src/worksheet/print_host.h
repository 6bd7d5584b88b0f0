#pragma once
// What the print dialog, the print mode dialog and the paper dialog ask of the main window: the active worksheet
// window, the paper chosen with its paper buttons, applying a paper from the paper dialog, and the printing state.
// The main window implements it.

namespace tavola {

class TfrmPrint;

class PrintHost {
public:
    virtual ~PrintHost() = default;
    // The active worksheet window; nullptr without one.
    virtual TfrmPrint* printWindow() = 0;
    // The paper chosen with the main window's paper buttons, as its width.
    virtual int chosenPaperWidth() const = 0;
    // The paper dialog's OK: the paper buttons check the width and the active worksheet takes its paper.
    virtual void choosePaper(int width) = 0;
    // Printing starts (the full view is shown, and activating a worksheet window leaves the shared controls as
    // they are) or ends.
    virtual void setPrinting(bool on) = 0;
};

} // namespace tavola

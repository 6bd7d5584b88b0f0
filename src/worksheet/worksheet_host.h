#pragma once
// What a dialog that works on the active worksheet (the answer-box settings, the copy edit dialog) may ask of the
// main window: the worksheet of the active worksheet window, a redraw of its page, marking it changed, and the
// main window's view controls that act on it. The main window implements it; without a worksheet window
// activeWorksheet() is nullptr and the other calls do nothing.
#include "worksheet/worksheet.h"

#include <string>

namespace tavola {

struct PageLayout;

class WorksheetHost {
public:
    virtual ~WorksheetHost() = default;

    virtual Worksheet* activeWorksheet() = 0; // nullptr without a worksheet window
    // The active worksheet's page as its window last laid it out; nullptr without a worksheet window.
    virtual const PageLayout* activeLayout() const = 0;
    virtual void redrawActiveWorksheet() = 0; // layout and repaint
    virtual void markActiveWorksheetChanged() = 0;
    virtual void toggleReducedView() = 0;               // the 縮小/拡大 toggle
    virtual std::string reducedViewCaption() const = 0; // "縮小" or "拡大" (CP932)
    virtual void scrollActiveWorksheet() = 0;           // PageUp/PageDown: top of the page <-> its end
    virtual void setShowAnswers(bool on) = 0;           // the 解答表示 check box; redraws
    virtual bool showAnswers() const = 0;
};

} // namespace tavola

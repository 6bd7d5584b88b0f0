#include "app/main_keys.h"

namespace tavola {

MainKeyAction mainKeyAction(MainKey key, KeyModifiers m, bool copyEnabled)
{
    switch (key) {
    case MainKey::Enter:
        return MainKeyAction::Study;
    case MainKey::Escape:
        // Only Shift alone ends the program; Shift+Ctrl+Esc closes the worksheet like a plain Esc.
        return (m.shift && !m.ctrl && !m.alt) ? MainKeyAction::CloseMainWindow : MainKeyAction::CloseCurrentWorksheet;
    case MainKey::PageUp:
    case MainKey::PageDown:
        return MainKeyAction::Scroll;
    case MainKey::C:
        return (m.ctrl && !m.shift && !m.alt && copyEnabled) ? MainKeyAction::CopyRectangle : MainKeyAction::None;
    case MainKey::Other:
        break;
    }
    return MainKeyAction::None;
}

} // namespace tavola

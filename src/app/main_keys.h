#pragma once
// The main window's key handler: which key does what. Every key-down that reaches the handler is consumed
// afterwards, whether it did something or not; only typed characters still reach the controls.
namespace tavola {

enum class MainKey { Enter, Escape, PageUp, PageDown, C, Other };

struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

enum class MainKeyAction {
    None,
    Study,                 // Enter
    CloseMainWindow,       // Shift+Esc, Shift alone
    CloseCurrentWorksheet, // Esc with any other modifiers, or none
    Scroll,                // PageUp, PageDown
    CopyRectangle,         // Ctrl+C, Ctrl alone, while the copy button is enabled
};

MainKeyAction mainKeyAction(MainKey key, KeyModifiers modifiers, bool copyEnabled);

} // namespace tavola

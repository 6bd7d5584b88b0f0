#pragma once
// Texts from files on their way to a terminal or a spreadsheet. A learner file or a courseware file can hold any
// bytes: a terminal takes an escape sequence in them as a command, and a spreadsheet takes a CSV cell that begins
// with "=", "+", "-" or "@" as a formula. Both texts here are UTF-8.
#include <string>

namespace tavola {

// Control characters (C0 but tab, DEL, and the C1 range U+0080 to U+009F) shown as "\xNN" (C1: "\u00NN"), so
// that nothing in the text can move the cursor, change colours or retitle the window.
std::string terminalText(const std::string& utf8Text);

// One CSV cell: a text that begins with "=", "+", "-", "@", a tab or a CR is preceded by an apostrophe, so that a
// spreadsheet shows it as text; a cell holding a comma, a quote, a line end or that apostrophe is quoted, quotes
// doubled. Control characters are escaped as for the terminal. Numbers the program writes itself go out as they are.
std::string spreadsheetCell(const std::string& utf8Text);

} // namespace tavola

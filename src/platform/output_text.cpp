#include "platform/output_text.h"

#include <cstdio>

namespace tavola {

std::string terminalText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        char escaped[8];
        if ((c < 0x20 && c != '\t') || c == 0x7F) {
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080 … U+009F: CSI (9B) alone starts an escape sequence on many terminals.
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned char>(text[i + 1]));
            out += escaped;
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string spreadsheetCell(const std::string& text)
{
    std::string cell = terminalText(text);
    const bool formula = !text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@' ||
                                           text[0] == '\t' || text[0] == '\r');
    if (formula) cell = "'" + cell;
    if (!formula && cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (char c : cell)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace tavola

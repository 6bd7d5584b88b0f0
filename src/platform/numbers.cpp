#include "platform/numbers.h"

#include <charconv>

namespace tavola {

std::optional<int> parseInteger(std::string_view text)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    if (b < e && text[b] == '+') ++b;
    if (b == e) return std::nullopt;
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data() + b, text.data() + e, value);
    if (ec != std::errc() || ptr != text.data() + e) return std::nullopt;
    return value;
}

} // namespace tavola

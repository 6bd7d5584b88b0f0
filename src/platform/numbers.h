#pragma once
// The system's numbers: rounding to the nearest integer with exact halves to the even neighbour (2.5 → 2,
// 3.5 → 4) is the rounding of every layout computation; never std::round for layout.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace tavola {

inline int roundEven(double x)
{
    if (!(x == x)) return 0;
    if (x >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (x <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    // nearbyint rounds in the current mode, which is to nearest with ties to even unless someone changed it.
    double r = std::nearbyint(x);
    double f = std::floor(x);
    if (x - f == 0.5) r = (static_cast<long long>(f) % 2 == 0) ? f : f + 1;
    return static_cast<int>(r);
}

// Pen positions and text widths stay within ±2^28 device pixels, far beyond any page at any resolution (an A3
// page at 2400 dpi is 28,000 pixels wide), so that a sum or difference of two of them never leaves the integers.
// A very long line at a large size ends at the limit instead of wrapping round to a negative position.
inline constexpr int kPositionLimit = 1 << 28;
inline int clampPosition(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, -kPositionLimit, kPositionLimit));
}

// A decimal integer as the platform's conversion reads it: optional blanks, an optional sign, digits, optional
// blanks; nothing else. nullopt for any other text or a number out of range.
std::optional<int> parseInteger(std::string_view text);

inline std::string flagText(bool value) { return value ? "True" : "False"; }

} // namespace tavola

#pragma once
// Colours as the system writes them: $00BBGGRR, so $FF0000 is blue and $0000FF is red.
#include <cstdint>

namespace tavola {

struct Colour {
    std::uint32_t bgr = 0;

    constexpr int red() const { return static_cast<int>(bgr & 0xFF); }
    constexpr int green() const { return static_cast<int>((bgr >> 8) & 0xFF); }
    constexpr int blue() const { return static_cast<int>((bgr >> 16) & 0xFF); }
    static constexpr Colour fromRgb(int r, int g, int b)
    {
        return Colour{static_cast<std::uint32_t>((b & 0xFF) << 16 | (g & 0xFF) << 8 | (r & 0xFF))};
    }
    friend constexpr bool operator==(Colour a, Colour b) { return a.bgr == b.bgr; }
};

namespace colours {
inline constexpr Colour Black{0x000000};
inline constexpr Colour White{0xFFFFFF};
inline constexpr Colour Blue{0xFF0000};
inline constexpr Colour Red{0x0000FF};
inline constexpr Colour Green{0x008000};
inline constexpr Colour Grey{0x808080};
inline constexpr Colour Navy{0x800000};
} // namespace colours

} // namespace tavola

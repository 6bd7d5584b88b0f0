#pragma once
// A unit position names a unit everywhere: lesson number (1-based position in Main.ind), section number (the
// master file's number within the lesson), unit number, and similar-problem number (0 for the unit itself).
#include <string>

namespace tavola {

struct UnitPosition {
    int lesson = 0;
    int section = 0;
    int unit = 0;
    int similar = 0;
    friend bool operator==(const UnitPosition&, const UnitPosition&) = default;
};

// The tables of the index hold 80 lessons, 80 sections per lesson and 80 units per section; lines past these
// limits are ignored, whatever the files hold.
inline constexpr int kMaxLessons = 80;
inline constexpr int kMaxSections = 80;
inline constexpr int kMaxUnits = 80;
// The unit selection offers similar problems 1 to 5.
inline constexpr int kMaxSimilar = 5;

// "" for the unit itself, "R" + r for its similar problem r.
inline std::string similarSuffix(int similar)
{
    return similar == 0 ? std::string() : "R" + std::to_string(similar);
}

// "[[unit" + u + similar suffix.
inline std::string unitRecordMarker(const UnitPosition& p)
{
    return "[[unit" + std::to_string(p.unit) + similarSuffix(p.similar);
}

} // namespace tavola

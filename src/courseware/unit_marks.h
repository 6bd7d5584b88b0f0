#pragma once
// The marks of the unit lines: for section s = 1 … 80 and unit u = 1 … 80 of the current lesson, whether the unit
// has similar problems and how many times the current learner practised it. One object is shared by the unit
// selection window and the all-units window, and refreshed by whoever changed what it shows (a practice result, a
// learner change, the records viewer, the master file editor).
#include "courseware/index_file.h"

#include <array>
#include <string>

namespace tavola {

// ("◎" when the unit has similar problems, else the full-width space "　") + "[" + count + "]", the count being
// one half-width blank when there are no records: "◎[3]", "　[ ]".
std::string markText(bool hasSimilar, int count);

// A unit line as the unit list draws it: mark + line + half-width blanks that bring the line to 38 bytes (none
// when it is longer), so that the lines of a section end in one column in the fixed-pitch font.
std::string unitLineText(const std::string& mark, const std::string& unitLine);
inline constexpr std::size_t kUnitLineWidth = 38;

// The learner record section of unit u of section s: "S" + s + u + the unit line, with no separators.
std::string unitRecordSection(int section, int unit, const std::string& unitLine);

class UnitMarks {
public:
    struct Outcome {
        int sectionsRefreshed = 0;
        bool rescanned = false;
        // The master file of this section was missing; it and later sections were not refreshed.
        int stoppedAtSection = 0;
    };

    // Recounts the records of every unit of lesson n (the lesson the index has read) from the learner's record
    // file (empty path or missing file: no records). The has-similar flags are rescanned from the master files
    // when marksStale is set (which is then cleared) and whenever the marks held belong to another lesson.
    // A missing master file stops the refresh: that section and the later ones keep the marks they had.
    Outcome refresh(const CoursewareIndex& index, int lesson, const std::string& recordFile, bool& marksStale);

    // Mark text of unit u of section s; a blank mark "　[ ]" outside the table.
    std::string mark(int section, int unit) const;
    bool hasSimilar(int section, int unit) const;
    int count(int section, int unit) const;

private:
    struct Entry {
        int count = 0;
        bool hasSimilar = false;
    };
    const Entry* entry(int section, int unit) const;
    void clear();

    std::array<std::array<Entry, kMaxUnits + 1>, kMaxSections + 1> table_{};
    int lesson_ = 0;
    std::string recordFile_;
};

} // namespace tavola

#pragma once
// Numbers that change: a unit's problem lines with new numbers in every calculation problem that can be varied,
// and every other line as it was, byte for byte.
//
// A problem (problem_text.h) can be varied when its first answer, and every alternative after ";", is a number
// equal to the value of its arithmetic, and nothing but blanks follows its answer box. A variant keeps the
// problem's shape (Shape below): the signs and brackets and every operand's kind; how the denominators relate and
// their size; whether operands are in lowest terms; the kind of the result, whether the written result still
// reduces, whether a subtraction borrows from the whole part and an addition carries into it; and its answers are
// written in the original's forms, alternative by alternative (reduced or not, mixed, improper, whole, decimal).
// No problem of a varied page equals another problem of it, or an authored problem of the unit, up to the order
// of the operands of + and ×. A problem whose answer is also written on a line of the page that is no problem (a
// printed list of answers to choose from) keeps its numbers. The same seed gives the same page, on every machine.
#include "platform/line_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavola::variant {

// What a variant keeps. Two problems have the same shape when every field is equal.
struct Shape {
    struct Operand {
        int syntax = 0;        // Literal::Syntax
        bool improper = false; // a fraction whose numerator is not below its denominator
        bool wholeValued = false;
        int denominatorSize = 0; // 1; 2 to 9; 10 to 12; 13 to 20; above
        bool lowestTerms = false;
        int wholeSize = 0;       // of the whole number or whole part: 0; 1 to 9; 10 to 12; 13 to 20; above
        int places = 0;          // of a decimal
        bool endsInZero = false; // a decimal's last digit
        friend bool operator==(const Operand&, const Operand&) = default;
    };
    struct Step {
        int sign = 0;          // of the step's value: -1, 0, 1
        bool integer = false;  // the step's value is a whole number
        bool regroups = false; // a subtraction borrows from the whole part, an addition carries into it
        friend bool operator==(const Step&, const Step&) = default;
    };
    // The result: negative, 0, below 1, exactly 1, a whole number above 1, above 1 and not whole.
    enum class Result { Negative, Zero, BelowOne, One, Whole, Improper };

    std::vector<Operand> operands;
    std::vector<int> denominatorRelations; // for each pair of fractions: equal, multiple, coprime, sharing a factor
    std::vector<int> repeats; // for each operand, the first earlier operand written the same (a×c + b×c), or -1
    std::vector<Step> steps;  // one per sign, in the order computed
    Result result = Result::Zero;
    bool reduces = false; // the written result (3/6 + 1/6 = 4/6) is not in lowest terms
    friend bool operator==(const Shape&, const Shape&) = default;
};

// The shape of the problem on a line; nullopt when the line is not a problem whose arithmetic can be computed.
std::optional<Shape> shapeOf(std::string_view line);
// True when the line is a problem that can be varied (see above).
bool canVary(std::string_view line);
// The problem's arithmetic with the operands of every run of + (and of ×) in sorted order, so that two problems
// that differ only in the order of their operands have the same key; nullopt when the line is not a problem.
std::optional<std::string> problemKey(std::string_view line);

// The seed of one copy of a class set, made of the unit's short key ("tasu1.que-U3R1") and the copy's number, so
// that a copy prints the same numbers every time.
std::uint64_t variantSeed(std::string_view unitId, int copyNumber);

// The lines with every problem that can be varied given new numbers (see above); a problem for which no variant
// is found keeps its numbers.
Lines varyLines(const Lines& lines, std::uint64_t seed);

// Copy copyNumber of a class set: copy 1 (and any number below 2) is the unit as authored; copy k from 2 on is
// varyLines with variantSeed(unitId, k).
Lines variantLines(const Lines& unitLines, std::string_view unitId, int copyNumber);

} // namespace tavola::variant

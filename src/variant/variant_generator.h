#pragma once
// Numbers that change: a unit's problem lines with new numbers in every problem that can be varied, and every
// other byte as it was.
//
// The problems of a page are found by page_problems.h: every box after "arithmetic =" wherever it stands on its
// line, and word problems whose formula is printed (on the line or the next) or given in the comment of the
// "<<ques" block; a story gets exactly its formula's new numbers. A problem can be varied when every alternative
// of its answer is a number equal to the value of its arithmetic. A variant keeps the problem's shape (Shape
// below): the signs and brackets and every operand's kind; how the denominators relate and their size; whether
// operands are in lowest terms; the kind of the result, whether the written result still reduces, whether a
// subtraction borrows from the whole part and an addition carries into it; and its answers are written in the
// original's forms, alternative by alternative (reduced or not, over the decimal's denominator, mixed, improper,
// whole, decimal).
//
// A variant also stays on the authored page's level: no operand 1 (a whole 1, or 4/4) the author did not write;
// denominators within the page's range; the answer's denominator within twice the page's largest and near the
// original's; whole numbers near their size (a number above 20 keeps its count of digits); a ± b a whole number
// in a×c ± b×c where every such problem of the page has it; and the page's easy-to-hard order (the largest
// denominator and the answer's denominator, where the authored problems between two headings rise in it).
//
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

// A copy's seed from the unit's id ("tasu1.que-U3R1") and the copy's number: a copy prints the same numbers every
// time.
std::uint64_t variantSeed(std::string_view unitId, int copyNumber);

// A problem that keeps its numbers: the index of its line, its label ("(3)", or empty) and why (plain ASCII).
struct KeptProblem {
    std::size_t line = 0;
    std::string label;
    std::string reason;
};

struct PageVariant {
    Lines lines;
    int varied = 0;                // problems given new numbers
    std::vector<KeptProblem> kept; // problems that keep their numbers on this page
};

// The lines with every problem that can be varied given new numbers (see above); a problem for which no variant
// is found keeps its numbers. comment: the lines of the "<<ques" block's comment, where word problems have their
// formulas.
PageVariant varyPage(const Lines& lines, const Lines& comment, std::uint64_t seed);
Lines varyLines(const Lines& lines, std::uint64_t seed); // varyPage without a comment

// The problems of a page that keep their numbers on every copy, in page order: problems that cannot be varied,
// and answer boxes whose numbers are in no calculation (figures, comparisons, word problems without a formula).
std::vector<KeptProblem> problemsKept(const Lines& lines, const Lines& comment);

// A copy's seed from the page's own problem lines and comment and the copy's number: the same page prints the same
// numbers however it was opened (master file, saved or reopened copy file, command line).
std::uint64_t pageSeed(const Lines& lines, const Lines& comment, int copyNumber);
// Copy copyNumber of a class set of the page: copy 1 (and any number below 2) is the page as authored; copy k
// from 2 on is varyPage with pageSeed(lines, comment, k).
Lines copyVariant(const Lines& lines, const Lines& comment, int copyNumber);

// A "<<ques" block as written: its comment (the lines between a first line "{" and the next "}") and its lines.
struct QuesBlock {
    Lines comment;
    Lines lines;
};
QuesBlock splitQues(const Lines& ques);
// The block with its problem lines varied (the comment's formulas used) and its comment as it was.
Lines varyQues(const Lines& ques, std::uint64_t seed);

// Copy copyNumber of a class set seeded by a name: copy 1 (and any number below 2) is the unit as authored; copy k from
// 2 on is varyLines with variantSeed(unitId, k).
Lines variantLines(const Lines& unitLines, std::string_view unitId, int copyNumber);

} // namespace tavola::variant

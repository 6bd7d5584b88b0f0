#pragma once
// A calculation problem as it is written in a problem line: "(3)  3&5/9+3&7/9=# 7&3/9;7&1/3;22/3 #". After the
// number "(n)" comes the arithmetic, then "=", then one answer box whose alternatives are numbers. Numbers are
// written as the expression renderer draws them: whole numbers "12", decimals "0.75", fractions "3/4", mixed
// numbers "1&1/3"; the signs are "+", "-", "*" (×) and "\" (÷), with round brackets. Blanks may stand between the
// pieces. Nothing else is read as a calculation: a line with other text, codes or double-byte characters in its
// arithmetic is not a problem here.
#include "variant/rational.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavola::variant {

// A number as written.
struct Literal {
    enum class Syntax { Whole, Decimal, Fraction, Mixed };
    Syntax syntax = Syntax::Whole;
    std::int64_t whole = 0; // the whole number, the whole part of a mixed number, the digits before a point
    std::int64_t num = 0;   // the numerator of a fraction or mixed number; the digits after a point
    std::int64_t den = 1;   // the denominator; for a decimal 10 to the number of places
    int places = 0;         // digits after the point
    friend bool operator==(const Literal&, const Literal&) = default;
};

// Digits without a leading zero (a lone "0" is allowed, and "0.5"), at most 9 of them in each number, so that no
// calculation of a problem's size can overflow unnoticed. nullopt for any other text.
std::optional<Literal> parseLiteral(std::string_view text);
std::string formatLiteral(const Literal& literal);
// The value as the learner starts from it: a fraction as written (4/6 stays 4/6), a mixed number made improper
// over its own denominator, a decimal in lowest terms. nullopt for a zero denominator.
std::optional<Fraction> literalValue(const Literal& literal);

enum class Op { Operand, Add, Subtract, Multiply, Divide };

struct Node {
    Op op = Op::Operand;
    int left = -1; // child nodes of a sign
    int right = -1;
    int operand = -1; // index into the operands of an Operand node
};

struct Expression {
    std::vector<Node> nodes;
    int root = -1;
    std::vector<Literal> operands;                          // in the order written
    std::vector<std::pair<std::size_t, std::size_t>> spans; // each operand's bytes in the line: begin, end
};

// The written calculation of the expression, with the operands given (the expression's own or new ones of the
// same count): see rational.h for what each sign does. nullopt on a division by zero or overflow.
std::optional<Fraction> evaluate(const Expression& e, const std::vector<Literal>& operands);
// The value of every node (children stand before their parents in the node list, so one pass computes them all).
// False on a division by zero or overflow.
bool evaluateNodes(const Expression& e, const std::vector<Literal>& operands, std::vector<Fraction>& values);

// One alternative of the answer box: its number without the blanks around it, and where that stands in the line.
struct AnswerText {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::optional<Literal> number; // nullopt when the alternative is not a number
};

struct ProblemText {
    Expression expression;
    std::vector<AnswerText> answers; // the alternatives of the first answer box, in order
    std::size_t arithmeticBegin = 0; // the arithmetic between "(n)" and "=", without the blanks around it
    std::size_t arithmeticEnd = 0;
    // The line is exactly "(n)", the arithmetic, "=", one answer box and blanks: nothing else on it that could
    // depend on the numbers.
    bool onlyThisProblem = false;
};

// The arithmetic of line[begin, end) (blanks around it allowed), with the operands' spans in the line; false when
// it is not arithmetic as described above.
bool parseArithmetic(std::string_view line, std::size_t begin, std::size_t end, Expression& out);
// The alternatives of the answer box whose "#" stand at open and close.
std::vector<AnswerText> answerAlternatives(std::string_view line, std::size_t open, std::size_t close);

// The problem of a line, or nullopt when the line does not start with "(n)" followed by arithmetic and "=" right
// before its first answer box.
std::optional<ProblemText> parseProblem(std::string_view line);

// A problem whose first answer is a number other than the value of its arithmetic ("3/6+1/6" answered "4/7"):
// the arithmetic and the answer as written, and the value (empty when the arithmetic cannot be computed).
struct AnswerDisagreement {
    std::string arithmetic;
    std::string answer;
    std::string value;
};
std::optional<AnswerDisagreement> firstAnswerMismatch(std::string_view line);

// For the courseware check: a message when the line is such a problem; nullopt for every other line.
std::optional<std::string> firstAnswerDisagreement(std::string_view line);

} // namespace tavola::variant

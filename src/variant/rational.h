#pragma once
// Exact fractions on 64-bit integers. Every operation checks for overflow and reports it as "no value" instead of
// wrapping, so that a problem whose numbers are too large is simply not computed. Two kinds of value: Rational is
// always in lowest terms with a positive denominator; Fraction keeps the numerator and denominator that a written
// calculation arrives at (3/6 + 1/6 is 4/6), with the sign on the numerator.
#include <cstdint>
#include <optional>
#include <string>

namespace tavola::variant {

std::int64_t gcd(std::int64_t a, std::int64_t b);
// nullopt on overflow.
std::optional<std::int64_t> lcm(std::int64_t a, std::int64_t b);
std::optional<std::int64_t> checkedAdd(std::int64_t a, std::int64_t b);
std::optional<std::int64_t> checkedSub(std::int64_t a, std::int64_t b);
std::optional<std::int64_t> checkedMul(std::int64_t a, std::int64_t b);
// 10 to the power p; nullopt past 10^18.
std::optional<std::int64_t> powerOfTen(int p);

struct Fraction {
    std::int64_t num = 0;
    std::int64_t den = 1; // > 0
    friend bool operator==(const Fraction&, const Fraction&) = default;
};

struct Rational {
    std::int64_t num = 0;
    std::int64_t den = 1; // > 0, gcd(num, den) == 1
    friend bool operator==(const Rational&, const Rational&) = default;

    bool isInteger() const { return den == 1; }
    // Exact order of two values (cross products in 128 bits, so it never overflows).
    friend bool operator<(const Rational& a, const Rational& b);
};

// num/den made a Fraction with a positive denominator; nullopt for a zero denominator.
std::optional<Fraction> makeFraction(std::int64_t num, std::int64_t den);
Rational reduce(const Fraction& f);
Fraction asFraction(const Rational& r);

// The written calculations: + and − over the least common denominator, × numerators times numerators and
// denominators times denominators, ÷ times the reciprocal. No reduction on the way; nullopt on overflow or a
// division by zero.
std::optional<Fraction> add(const Fraction& a, const Fraction& b);
std::optional<Fraction> subtract(const Fraction& a, const Fraction& b);
std::optional<Fraction> multiply(const Fraction& a, const Fraction& b);
std::optional<Fraction> divide(const Fraction& a, const Fraction& b);

// The part below the whole number: r − floor(r), in [0, 1).
Rational fractionalPart(const Rational& r);

std::string toString(const Rational& r);

} // namespace tavola::variant

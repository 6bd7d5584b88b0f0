#include "variant/rational.h"

#include <limits>

namespace tavola::variant {

__extension__ using Wide = __int128;

bool operator<(const Rational& a, const Rational& b)
{
    return static_cast<Wide>(a.num) * b.den < static_cast<Wide>(b.num) * a.den;
}

std::int64_t gcd(std::int64_t a, std::int64_t b)
{
    // Magnitudes as unsigned, so that the smallest int64 does not overflow on negation.
    auto ua = a < 0 ? 0 - static_cast<std::uint64_t>(a) : static_cast<std::uint64_t>(a);
    auto ub = b < 0 ? 0 - static_cast<std::uint64_t>(b) : static_cast<std::uint64_t>(b);
    while (ub != 0) {
        std::uint64_t t = ua % ub;
        ua = ub;
        ub = t;
    }
    return ua > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
               ? std::numeric_limits<std::int64_t>::max()
               : static_cast<std::int64_t>(ua);
}

std::optional<std::int64_t> lcm(std::int64_t a, std::int64_t b)
{
    if (a == 0 || b == 0) return 0;
    std::int64_t g = gcd(a, b);
    auto m = checkedMul(a / g, b);
    if (!m) return std::nullopt;
    return *m < 0 ? checkedSub(0, *m) : m;
}

std::optional<std::int64_t> checkedAdd(std::int64_t a, std::int64_t b)
{
    std::int64_t r;
    if (__builtin_add_overflow(a, b, &r)) return std::nullopt;
    return r;
}

std::optional<std::int64_t> checkedSub(std::int64_t a, std::int64_t b)
{
    std::int64_t r;
    if (__builtin_sub_overflow(a, b, &r)) return std::nullopt;
    return r;
}

std::optional<std::int64_t> checkedMul(std::int64_t a, std::int64_t b)
{
    std::int64_t r;
    if (__builtin_mul_overflow(a, b, &r)) return std::nullopt;
    return r;
}

std::optional<std::int64_t> powerOfTen(int p)
{
    if (p < 0 || p > 18) return std::nullopt;
    std::int64_t r = 1;
    for (int i = 0; i < p; ++i)
        r *= 10;
    return r;
}

std::optional<Fraction> makeFraction(std::int64_t num, std::int64_t den)
{
    if (den == 0) return std::nullopt;
    if (den < 0) {
        auto n = checkedSub(0, num);
        auto d = checkedSub(0, den);
        if (!n || !d) return std::nullopt;
        return Fraction{*n, *d};
    }
    return Fraction{num, den};
}

Rational reduce(const Fraction& f)
{
    std::int64_t g = gcd(f.num, f.den);
    if (g == 0) return {0, 1};
    return {f.num / g, f.den / g};
}

Fraction asFraction(const Rational& r)
{
    return {r.num, r.den};
}

std::optional<Fraction> add(const Fraction& a, const Fraction& b)
{
    auto common = lcm(a.den, b.den);
    if (!common || *common == 0) return std::nullopt;
    auto x = checkedMul(a.num, *common / a.den);
    auto y = checkedMul(b.num, *common / b.den);
    if (!x || !y) return std::nullopt;
    auto n = checkedAdd(*x, *y);
    if (!n) return std::nullopt;
    return Fraction{*n, *common};
}

std::optional<Fraction> subtract(const Fraction& a, const Fraction& b)
{
    auto negated = checkedSub(0, b.num);
    if (!negated) return std::nullopt;
    return add(a, {*negated, b.den});
}

std::optional<Fraction> multiply(const Fraction& a, const Fraction& b)
{
    auto n = checkedMul(a.num, b.num);
    auto d = checkedMul(a.den, b.den);
    if (!n || !d) return std::nullopt;
    return makeFraction(*n, *d);
}

std::optional<Fraction> divide(const Fraction& a, const Fraction& b)
{
    if (b.num == 0) return std::nullopt;
    auto n = checkedMul(a.num, b.den);
    auto d = checkedMul(a.den, b.num);
    if (!n || !d) return std::nullopt;
    return makeFraction(*n, *d);
}

Rational fractionalPart(const Rational& r)
{
    std::int64_t rem = r.num % r.den;
    if (rem < 0) rem += r.den;
    return {rem, r.den};
}

std::string toString(const Rational& r)
{
    return r.den == 1 ? std::to_string(r.num) : std::to_string(r.num) + "/" + std::to_string(r.den);
}

} // namespace tavola::variant

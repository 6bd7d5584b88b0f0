#include "practice/answer_entry.h"

#include "platform/sjis.h"
#include "practice/practice_engine.h"

#include <charconv>
#include <numeric>

namespace tavola {

void FractionPad::digit(char d)
{
    (numeratorState ? numerator : denominator) += d;
}

void FractionPad::bunno()
{
    barRed = true;
    numeratorState = true;
}

void FractionPad::to()
{
    whole = denominator;
    denominator.clear();
    numeratorState = false;
}

void FractionPad::clear()
{
    whole.clear();
    numerator.clear();
    denominator.clear();
    barRed = false;
    numeratorState = false;
}

std::optional<std::string> FractionPad::compose()
{
    if (numerator.empty()) return std::nullopt;
    std::string answer = (whole.empty() ? std::string() : whole + "&") + numerator + "/" + denominator;
    clear();
    return answer;
}

std::array<std::string, kSoftKeys> softKeyCaptions(const std::vector<std::string>& lines, Random& random)
{
    std::array<std::string, kSoftKeys + 1> keys; // key 0 does not exist
    int k = 0;
    for (const std::string& line : lines)
        for (std::size_t i = 0; i + 1 < line.size() && k < kSoftKeys; i += 2)
            keys[static_cast<std::size_t>(++k)] = line.substr(i, 2);
    for (int j = 1; j <= k; ++j) {
        const int r = random.below(k + 1);
        if (r != j && r >= 1) std::swap(keys[static_cast<std::size_t>(j)], keys[static_cast<std::size_t>(r)]);
    }
    std::array<std::string, kSoftKeys> captions;
    for (int i = 0; i < kSoftKeys; ++i)
        captions[static_cast<std::size_t>(i)] = keys[static_cast<std::size_t>(i + 1)];
    return captions;
}

std::string withoutLastCharacter(const std::string& text)
{
    std::size_t i = 0;
    std::size_t last = 0;
    while (i < text.size()) {
        last = i;
        i += sjis::charLength(text, i);
    }
    return text.substr(0, last);
}

namespace {

std::optional<long long> digits(std::string_view s)
{
    if (s.empty() || s.size() > 9) return std::nullopt;
    long long v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.front() == '-' || s.front() == '+') return std::nullopt;
    return v;
}

// The value as a reduced numerator over a positive denominator. Parts of at most 9 digits keep whole ×
// denominator + numerator within 64 bits.
std::pair<long long, long long> value(const Fraction& f)
{
    long long n = f.whole * f.denominator + f.numerator;
    long long d = f.denominator;
    const long long g = std::gcd(n, d);
    if (g > 1) {
        n /= g;
        d /= g;
    }
    return {f.negative ? -n : n, d};
}

} // namespace

std::optional<Fraction> parseFraction(const std::string& raw)
{
    std::string_view t = raw;
    Fraction f;
    if (t.starts_with("-")) {
        f.negative = true;
        t.remove_prefix(1);
    }
    const std::size_t amp = t.find('&');
    if (amp != std::string_view::npos) {
        auto w = digits(t.substr(0, amp));
        if (!w) return std::nullopt;
        f.whole = *w;
        f.mixed = true;
        t.remove_prefix(amp + 1);
    }
    const std::size_t slash = t.find('/');
    if (slash == std::string_view::npos) {
        if (f.mixed) return std::nullopt;
        auto w = digits(t);
        if (!w) return std::nullopt;
        f.whole = *w;
        return f;
    }
    auto n = digits(t.substr(0, slash));
    auto d = digits(t.substr(slash + 1));
    if (!n || !d || *d == 0) return std::nullopt;
    f.numerator = *n;
    f.denominator = *d;
    f.fraction = true;
    return f;
}

bool sameValue(const Fraction& a, const Fraction& b)
{
    return value(a) == value(b);
}

std::optional<std::string> reductionHint(const std::string& entry, const std::vector<std::string>& acceptList)
{
    const auto typed = parseFraction(normaliseAnswer(entry));
    if (!typed || !typed->fraction) return std::nullopt;
    for (const std::string& item : acceptList) {
        const auto answer = parseFraction(normaliseAnswer(item));
        if (!answer || !sameValue(*typed, *answer)) continue;
        const bool improper = !typed->mixed && typed->numerator >= typed->denominator;
        if (answer->mixed && improper) return "帯分数にしよう"_sj;
        if (std::gcd(typed->numerator, typed->denominator) > 1 || (!answer->fraction && !answer->mixed))
            return "約分できるよ"_sj;
    }
    return std::nullopt;
}

} // namespace tavola

#include "variant/variant_generator.h"

#include "platform/sjis.h"
#include "variant/problem_text.h"

#include <algorithm>

namespace tavola::variant {
namespace {

// Tries per problem before it keeps its numbers: nearly every problem of the sample courseware finds a variant
// within a hundred, the rarest shapes within a thousand. A problem whose few variants are all on the page already
// stops after that many clashes.
constexpr int kAttempts = 1000;
constexpr int kClashes = 32;

__extension__ using Wide = __int128;

// SplitMix64: small, fast, and the same sequence on every machine and library (unlike std distributions).
std::uint64_t mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        state_ += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi] (lo when the range is empty).
    std::int64_t between(std::int64_t lo, std::int64_t hi)
    {
        if (hi <= lo) return lo;
        std::uint64_t span = static_cast<std::uint64_t>(hi - lo) + 1;
        return lo + static_cast<std::int64_t>(next() % span);
    }

private:
    std::uint64_t state_;
};

// Sizes: 0; 1 to 9 (one digit); 10 to 12; 13 to 20; above.
int sizeClass(std::int64_t n)
{
    if (n <= 0) return 0;
    if (n <= 9) return 1;
    if (n <= 12) return 2;
    if (n <= 20) return 3;
    return 4;
}

int denominatorClass(std::int64_t d)
{
    return d == 1 ? 0 : sizeClass(d);
}

struct Range {
    std::int64_t lo;
    std::int64_t hi;
};

// New whole numbers stay in their size class; a one-digit number stays near its size (up to twice it, or 3 more),
// so that 1&1/3 does not become 9&1/3 with answers too wide for the box the author sized.
Range wholeRange(std::int64_t n)
{
    switch (sizeClass(n)) {
    case 0:
        return {0, 0};
    case 1:
        return {1, std::min<std::int64_t>(9, std::max(n + 3, 2 * n))};
    case 2:
        return {10, 12};
    case 3:
        return {13, 20};
    default:
        return {21, std::max<std::int64_t>(30, 2 * n)};
    }
}

Range denominatorRange(std::int64_t d)
{
    switch (denominatorClass(d)) {
    case 0:
        return {1, 1};
    case 1:
        return {2, 9};
    case 2:
        return {10, 12};
    case 3:
        return {13, 20};
    default:
        return {21, std::max<std::int64_t>(40, 2 * d)};
    }
}

bool hasDenominator(const Literal& l)
{
    return l.syntax == Literal::Syntax::Fraction || l.syntax == Literal::Syntax::Mixed;
}

enum Relation { Equal, Multiple, Coprime, SharedFactor };

int relation(std::int64_t a, std::int64_t b)
{
    if (a == b) return Equal;
    if (a % b == 0 || b % a == 0) return Multiple;
    return gcd(a, b) == 1 ? Coprime : SharedFactor;
}

Shape::Operand operandShape(const Literal& l)
{
    Shape::Operand o;
    o.syntax = static_cast<int>(l.syntax);
    switch (l.syntax) {
    case Literal::Syntax::Whole:
        o.wholeSize = sizeClass(l.whole);
        break;
    case Literal::Syntax::Decimal:
        o.wholeSize = sizeClass(l.whole);
        o.places = l.places;
        o.endsInZero = l.num % 10 == 0;
        break;
    case Literal::Syntax::Fraction:
    case Literal::Syntax::Mixed:
        o.improper = l.num >= l.den;
        o.wholeValued = l.num % l.den == 0;
        o.denominatorSize = denominatorClass(l.den);
        o.lowestTerms = gcd(l.num, l.den) == 1;
        o.wholeSize = sizeClass(l.syntax == Literal::Syntax::Mixed ? l.whole : l.num / l.den);
        break;
    }
    return o;
}

int signOf(std::int64_t n)
{
    return n < 0 ? -1 : n > 0 ? 1 : 0;
}

// a + b ≥ 1 for two values in [0, 1).
bool reachesOne(const Rational& a, const Rational& b)
{
    return static_cast<Wide>(a.num) * b.den + static_cast<Wide>(b.num) * a.den >= static_cast<Wide>(a.den) * b.den;
}

Shape::Result resultOf(const Rational& v)
{
    using R = Shape::Result;
    if (v.num < 0) return R::Negative;
    if (v.num == 0) return R::Zero;
    if (v.num < v.den) return R::BelowOne;
    if (v.num == v.den) return R::One;
    return v.isInteger() ? R::Whole : R::Improper;
}

// The shape of the expression with these operands; false when it cannot be computed. values receives every
// node's written value. The buffers are the caller's, so that trying thousands of candidates allocates nothing.
// With a target, the shape is compared piece by piece as it is found, cheapest first, and false is returned at the
// first difference.
bool fillShape(const Expression& e, const std::vector<Literal>& operands, std::vector<Fraction>& values, Shape& s,
               const Shape* target = nullptr)
{
    if (e.root < 0 || !evaluateNodes(e, operands, values)) return false;
    const Fraction& written = values[static_cast<std::size_t>(e.root)];
    s.result = resultOf(reduce(written));
    s.reduces = gcd(written.num, written.den) > 1;
    if (target != nullptr && (s.result != target->result || s.reduces != target->reduces)) return false;

    s.steps.clear();
    for (std::size_t k = 0; k < e.nodes.size(); ++k) {
        const Node& n = e.nodes[k];
        if (n.op == Op::Operand) continue;
        Rational v = reduce(values[k]);
        Shape::Step step;
        step.sign = signOf(v.num);
        step.integer = v.isInteger();
        Rational a = fractionalPart(reduce(values[static_cast<std::size_t>(n.left)]));
        Rational b = fractionalPart(reduce(values[static_cast<std::size_t>(n.right)]));
        if (n.op == Op::Subtract) step.regroups = a < b;
        if (n.op == Op::Add) step.regroups = reachesOne(a, b);
        if (target != nullptr && !(step == target->steps[s.steps.size()])) return false;
        s.steps.push_back(step);
    }

    s.operands.clear();
    s.denominatorRelations.clear();
    s.repeats.clear();
    for (std::size_t i = 0; i < operands.size(); ++i) {
        s.operands.push_back(operandShape(operands[i]));
        int repeat = -1;
        for (std::size_t j = 0; j < i && repeat < 0; ++j)
            if (operands[j] == operands[i]) repeat = static_cast<int>(j);
        s.repeats.push_back(repeat);
        if (!hasDenominator(operands[i])) continue;
        for (std::size_t j = 0; j < i; ++j)
            if (hasDenominator(operands[j]))
                s.denominatorRelations.push_back(relation(operands[j].den, operands[i].den));
    }
    return target == nullptr || s == *target;
}

// ---- answers ----

enum class AnswerKind { Whole, Decimal, Fraction, Mixed };
// Which denominator a fraction answer is written over: lowest terms; the one the written calculation arrives at
// (4/6 for 3/6 + 1/6); or lowest terms times a fixed number.
enum class Over { LowestTerms, Written, Scaled };

struct AnswerForm {
    AnswerKind kind = AnswerKind::Whole;
    Over over = Over::LowestTerms;
    std::int64_t scale = 1;
    int places = 0;
};

std::optional<std::string> writeAnswer(const AnswerForm& f, const Rational& v, const Fraction& written)
{
    if (v.num < 0) return std::nullopt;
    switch (f.kind) {
    case AnswerKind::Whole:
        if (!v.isInteger()) return std::nullopt;
        return std::to_string(v.num);
    case AnswerKind::Decimal: {
        auto power = powerOfTen(f.places);
        auto scaled = power ? checkedMul(v.num, *power) : std::nullopt;
        if (!scaled || *scaled % v.den != 0) return std::nullopt;
        std::int64_t q = *scaled / v.den;
        // Exactly as many places as the form: 0.5 is not written 0.50.
        if (f.places > 0 && q % 10 == 0) return std::nullopt;
        std::string digits = std::to_string(q % *power);
        digits.insert(0, static_cast<std::size_t>(f.places) - digits.size(), '0');
        return std::to_string(q / *power) + "." + digits;
    }
    case AnswerKind::Fraction:
    case AnswerKind::Mixed: {
        std::int64_t a = v.num;
        std::int64_t b = v.den;
        if (f.over == Over::Written) {
            a = written.num;
            b = written.den;
        } else if (f.over == Over::Scaled) {
            auto sa = checkedMul(a, f.scale);
            auto sb = checkedMul(b, f.scale);
            if (!sa || !sb) return std::nullopt;
            a = *sa;
            b = *sb;
        }
        if (a < 0) return std::nullopt;
        if (f.kind == AnswerKind::Fraction) return std::to_string(a) + "/" + std::to_string(b);
        if (a / b < 1 || a % b == 0) return std::nullopt;
        return std::to_string(a / b) + "&" + std::to_string(a % b) + "/" + std::to_string(b);
    }
    }
    return std::nullopt;
}

// The form that writes the original answer exactly as it stands.
std::optional<AnswerForm> formOf(const Literal& l, std::string_view text, const Rational& v, const Fraction& written)
{
    AnswerForm f;
    switch (l.syntax) {
    case Literal::Syntax::Whole:
        f.kind = AnswerKind::Whole;
        break;
    case Literal::Syntax::Decimal:
        f.kind = AnswerKind::Decimal;
        f.places = l.places;
        break;
    case Literal::Syntax::Fraction:
    case Literal::Syntax::Mixed: {
        f.kind = l.syntax == Literal::Syntax::Fraction ? AnswerKind::Fraction : AnswerKind::Mixed;
        for (Over over : {Over::LowestTerms, Over::Written, Over::Scaled}) {
            f.over = over;
            if (over == Over::Scaled) {
                if (l.den % v.den != 0 || l.den / v.den < 2) return std::nullopt;
                f.scale = l.den / v.den;
            }
            if (writeAnswer(f, v, written) == text) return f;
        }
        return std::nullopt;
    }
    }
    if (writeAnswer(f, v, written) == text) return f;
    return std::nullopt;
}

// ---- keys ----

void chainTerms(const Expression& e, const std::vector<std::string>& texts, int node, Op op,
                std::vector<std::string>& terms);

std::string keyOf(const Expression& e, const std::vector<std::string>& texts, int node)
{
    const Node& n = e.nodes[static_cast<std::size_t>(node)];
    switch (n.op) {
    case Op::Operand:
        return texts[static_cast<std::size_t>(n.operand)];
    case Op::Add:
    case Op::Multiply: {
        std::vector<std::string> terms;
        chainTerms(e, texts, node, n.op, terms);
        std::sort(terms.begin(), terms.end());
        std::string key = "(";
        for (std::size_t i = 0; i < terms.size(); ++i)
            key += (i > 0 ? (n.op == Op::Add ? "+" : "*") : "") + terms[i];
        return key + ")";
    }
    case Op::Subtract:
    case Op::Divide:
        return "(" + keyOf(e, texts, n.left) + (n.op == Op::Subtract ? "-" : "\\") + keyOf(e, texts, n.right) + ")";
    }
    return {};
}

// The operands of a run of one commutative sign: a+b+c gives a, b and c.
void chainTerms(const Expression& e, const std::vector<std::string>& texts, int node, Op op,
                std::vector<std::string>& terms)
{
    const Node& n = e.nodes[static_cast<std::size_t>(node)];
    if (n.op != op) {
        terms.push_back(keyOf(e, texts, node));
        return;
    }
    chainTerms(e, texts, n.left, op, terms);
    chainTerms(e, texts, n.right, op, terms);
}

std::string keyOf(const Expression& e, const std::vector<Literal>& operands, std::vector<std::string>& texts)
{
    texts.clear();
    for (const Literal& l : operands)
        texts.push_back(formatLiteral(l));
    return keyOf(e, texts, e.root);
}

// ---- one problem ----

// Each part of a new number within the nine digits that a problem line is read with.
bool readable(const Literal& l)
{
    constexpr std::int64_t kLimit = 1'000'000'000;
    if (l.syntax == Literal::Syntax::Decimal) return l.whole < kLimit; // the places stay the original's
    return l.whole < kLimit && l.num < kLimit && l.den < kLimit;
}

struct Analysis {
    ProblemText text;
    Shape shape;
    std::vector<AnswerForm> forms;
    bool distinctAnswers = true;
};

std::optional<Analysis> analyse(std::string_view line, ProblemText text)
{
    if (!text.onlyThisProblem) return std::nullopt;
    const Expression& e = text.expression;
    // Mixed numbers with a proper, non-zero fraction part; fractions with a numerator above 0.
    for (const Literal& l : e.operands)
        if (hasDenominator(l) && (l.num == 0 || l.den == 0 || (l.syntax == Literal::Syntax::Mixed && l.num >= l.den)))
            return std::nullopt;
    Analysis a;
    std::vector<Fraction> values;
    if (!fillShape(e, e.operands, values, a.shape)) return std::nullopt;
    const Fraction written = values[static_cast<std::size_t>(e.root)];
    const Rational v = reduce(written);
    for (const AnswerText& answer : text.answers) {
        if (!answer.number) return std::nullopt;
        auto value = literalValue(*answer.number);
        if (!value || reduce(*value) != v) return std::nullopt;
        auto form = formOf(*answer.number, line.substr(answer.begin, answer.end - answer.begin), v, written);
        if (!form) return std::nullopt;
        a.forms.push_back(*form);
    }
    for (std::size_t i = 0; i < text.answers.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (text.answers[i].number == text.answers[j].number) a.distinctAnswers = false;
    a.text = std::move(text);
    return a;
}

// Finds new numbers for one analysed problem.
class Varier {
public:
    Varier(const Analysis& a, std::uint64_t seed) : a_(a), e_(a.text.expression), rng_(seed) {}

    // One candidate; true when it has the original's shape and its answers can be written in the original's forms.
    bool propose()
    {
        ops_ = e_.operands;
        // Fractions, mixed numbers and decimals first, whole numbers second: a whole number that is a multiple of
        // the denominators in the original ((1/2+1/3)*6) is made a multiple of the new ones.
        for (bool wholes : {false, true}) {
            for (std::size_t i = 0; i < ops_.size(); ++i) {
                if ((e_.operands[i].syntax == Literal::Syntax::Whole) != wholes) continue;
                int repeat = a_.shape.repeats[i];
                ops_[i] = repeat >= 0 ? ops_[static_cast<std::size_t>(repeat)] : newOperand(i);
            }
        }
        for (const Literal& l : ops_)
            if (!readable(l)) return false;
        if (!fillShape(e_, ops_, values_, shape_, &a_.shape)) return false;
        const Fraction& written = values_[static_cast<std::size_t>(e_.root)];
        Rational v = reduce(written);
        answers_.clear();
        for (const AnswerForm& f : a_.forms) {
            auto text = writeAnswer(f, v, written);
            // An answer must read back as the number it is (nine digits at most in each part).
            if (!text || !parseLiteral(*text)) return false;
            if (a_.distinctAnswers && std::find(answers_.begin(), answers_.end(), *text) != answers_.end())
                return false;
            answers_.push_back(std::move(*text));
        }
        key_ = keyOf(e_, ops_, texts_);
        return true;
    }

    const std::string& key() const { return key_; }

    // The line with the candidate's numbers; every other byte as it was.
    std::string line(std::string_view original) const
    {
        std::string out;
        out.reserve(original.size() + 16);
        std::size_t at = 0;
        auto put = [&](std::size_t begin, std::size_t end, const std::string& text) {
            out.append(original.substr(at, begin - at));
            out += text;
            at = end;
        };
        for (std::size_t i = 0; i < texts_.size(); ++i)
            put(e_.spans[i].first, e_.spans[i].second, texts_[i]);
        for (std::size_t i = 0; i < answers_.size(); ++i)
            put(a_.text.answers[i].begin, a_.text.answers[i].end, answers_[i]);
        out.append(original.substr(at));
        return out;
    }

private:
    std::int64_t pick(Range r) { return rng_.between(r.lo, r.hi); }

    // A numerator in [1, d − 1], prime to d or not as asked (a few tries; the shape check rejects a miss).
    std::int64_t numerator(std::int64_t d, bool lowestTerms)
    {
        std::int64_t r = 1;
        for (int t = 0; t < 8; ++t) {
            r = rng_.between(1, d - 1);
            if ((gcd(r, d) == 1) == lowestTerms) break;
        }
        return r;
    }

    // Denominators are chosen in their size class, related to the earlier operands' new denominators as the
    // original ones are (a few tries here are much cheaper than rejecting whole candidates). One equal to an earlier
    // denominator is copied, and one that is a multiple or divisor of an earlier one is made so at once.
    std::int64_t denominator(std::size_t i)
    {
        const std::int64_t original = e_.operands[i].den;
        std::int64_t d = original;
        for (int t = 0; t < 24; ++t) {
            d = denominatorCandidate(i);
            bool related = true;
            for (std::size_t j = 0; j < i && related; ++j)
                if (hasDenominator(e_.operands[j]))
                    related = relation(ops_[j].den, d) == relation(e_.operands[j].den, original);
            if (related) break;
        }
        return d;
    }

    std::int64_t denominatorCandidate(std::size_t i)
    {
        const Range range = denominatorRange(e_.operands[i].den);
        const std::int64_t original = e_.operands[i].den;
        std::size_t multipleOf = i;
        for (std::size_t j = 0; j < i; ++j) {
            if (!hasDenominator(e_.operands[j])) continue;
            int r = relation(e_.operands[j].den, original);
            if (r == Equal) return ops_[j].den;
            if (r == Multiple && (multipleOf == i || rng_.between(0, 1) == 0)) multipleOf = j;
        }
        if (multipleOf == i) return pick(range);
        const std::int64_t base = ops_[multipleOf].den;
        if (original > e_.operands[multipleOf].den) {
            std::int64_t lo = std::max<std::int64_t>(2, (range.lo + base - 1) / base);
            std::int64_t hi = range.hi / base;
            return lo <= hi ? base * rng_.between(lo, hi) : pick(range);
        }
        // The divisors of base in the range, found in pairs up to its square root; past a million the search is not
        // worth its time (no worksheet has such denominators) and chance has to do.
        if (base > 1'000'000) return pick(range);
        std::int64_t divisors[64];
        int count = 0;
        for (std::int64_t d = 1; d <= base / d && count < 62; ++d) {
            if (base % d != 0) continue;
            const std::int64_t pair[2] = {d, base / d};
            for (int k = 0; k < (pair[0] == pair[1] ? 1 : 2); ++k)
                if (pair[k] >= range.lo && pair[k] <= range.hi && pair[k] < base) divisors[count++] = pair[k];
        }
        return count > 0 ? divisors[rng_.between(0, count - 1)] : pick(range);
    }

    // The least common multiple of the denominators of these operands; 1 without any, 0 on overflow.
    static std::int64_t commonDenominator(const std::vector<Literal>& operands)
    {
        std::int64_t common = 1;
        for (const Literal& l : operands) {
            if (!hasDenominator(l)) continue;
            auto m = lcm(common, l.den);
            if (!m) return 0;
            common = *m;
        }
        return common;
    }

    std::int64_t wholeNumber(std::int64_t original)
    {
        const Range range = wholeRange(original);
        const std::int64_t before = commonDenominator(e_.operands);
        if (before > 1 && original % before == 0 && rng_.between(0, 9) != 0) {
            const std::int64_t now = commonDenominator(ops_);
            if (now > 0) {
                std::int64_t lo = (range.lo + now - 1) / now;
                std::int64_t hi = range.hi / now;
                if (lo <= hi) return now * rng_.between(lo, hi);
            }
        }
        return pick(range);
    }

    Literal newOperand(std::size_t i)
    {
        const Literal& o = e_.operands[i];
        Literal n = o;
        switch (o.syntax) {
        case Literal::Syntax::Whole:
            n.whole = wholeNumber(o.whole);
            break;
        case Literal::Syntax::Decimal:
            n.whole = pick(wholeRange(o.whole));
            if (o.num != 0) {
                // The same number of places, ending in 0 only when the original does.
                std::int64_t tens = rng_.between(0, o.den / 10 - 1);
                n.num = o.num % 10 == 0 ? std::max<std::int64_t>(1, tens) * 10 : tens * 10 + rng_.between(1, 9);
            }
            break;
        case Literal::Syntax::Fraction: {
            n.den = denominator(i);
            bool lowest = gcd(o.num, o.den) == 1;
            if (o.num < o.den) {
                n.num = n.den > 1 ? numerator(n.den, lowest) : 1;
            } else {
                std::int64_t whole = pick(wholeRange(o.num / o.den));
                std::int64_t part = o.num % o.den == 0 || n.den < 2 ? 0 : numerator(n.den, lowest);
                n.num = whole * n.den + part;
            }
            break;
        }
        case Literal::Syntax::Mixed:
            n.den = denominator(i);
            n.whole = pick(wholeRange(o.whole));
            n.num = n.den > 1 ? numerator(n.den, gcd(o.num, o.den) == 1) : 1;
            break;
        }
        return n;
    }

    const Analysis& a_;
    const Expression& e_;
    Rng rng_;
    std::vector<Literal> ops_;
    std::vector<Fraction> values_;
    Shape shape_;
    std::vector<std::string> answers_;
    std::vector<std::string> texts_;
    std::string key_;
};

// The numbers written on a line that is not a problem: "1/24", "5/3", "4" of a list of answers to choose from.
void numbersWritten(std::string_view line, std::vector<std::string>& numbers)
{
    auto isNumberByte = [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == '/' || c == '&'; };
    for (std::size_t i = 0; i < line.size();) {
        if (static_cast<unsigned char>(line[i]) >= 0x80) {
            i += sjis::charLength(line, i);
            continue;
        }
        if (!isNumberByte(line[i])) {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < line.size() && isNumberByte(line[i]))
            ++i;
        numbers.emplace_back(line.substr(start, i - start));
    }
}

// A problem one of whose answers is also written elsewhere on the page (where the learner chooses the answers from
// a printed list) keeps its numbers: new numbers would leave the list without the answer.
bool answerPrinted(std::string_view line, const Analysis& a, const std::vector<std::string>& printed)
{
    for (const AnswerText& answer : a.text.answers)
        if (std::find(printed.begin(), printed.end(), line.substr(answer.begin, answer.end - answer.begin)) !=
            printed.end())
            return true;
    return false;
}

} // namespace

std::optional<Shape> shapeOf(std::string_view line)
{
    auto p = parseProblem(line);
    if (!p) return std::nullopt;
    Shape s;
    std::vector<Fraction> values;
    if (!fillShape(p->expression, p->expression.operands, values, s)) return std::nullopt;
    return s;
}

bool canVary(std::string_view line)
{
    auto p = parseProblem(line);
    return p && analyse(line, std::move(*p)).has_value();
}

std::optional<std::string> problemKey(std::string_view line)
{
    auto p = parseProblem(line);
    if (!p) return std::nullopt;
    std::vector<std::string> texts;
    return keyOf(p->expression, p->expression.operands, texts);
}

std::uint64_t variantSeed(std::string_view unitId, int copyNumber)
{
    std::uint64_t h = 0xCBF29CE484222325ULL; // FNV-1a over the unit's name
    for (char c : unitId) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001B3ULL;
    }
    return mix(h ^ mix(static_cast<std::uint64_t>(static_cast<std::int64_t>(copyNumber))));
}

Lines varyLines(const Lines& lines, std::uint64_t seed)
{
    Lines out = lines;
    // Every problem of the page as authored is taken from the start: a variant never brings back a problem the
    // unit already has, and a problem that keeps its numbers cannot clash with a variant made before it.
    std::vector<std::string> taken;
    std::vector<std::optional<Analysis>> analyses(lines.size());
    std::vector<std::string> texts;
    std::vector<std::string> printed;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto p = parseProblem(lines[i]);
        if (!p) {
            numbersWritten(lines[i], printed);
            continue;
        }
        taken.push_back(keyOf(p->expression, p->expression.operands, texts));
        analyses[i] = analyse(lines[i], std::move(*p));
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!analyses[i] || answerPrinted(lines[i], *analyses[i], printed)) continue;
        Varier varier(*analyses[i], mix(seed ^ mix(i)));
        int clashes = 0;
        for (int attempt = 0; attempt < kAttempts && clashes < kClashes; ++attempt) {
            if (!varier.propose()) continue;
            if (std::find(taken.begin(), taken.end(), varier.key()) != taken.end()) {
                ++clashes;
                continue;
            }
            taken.push_back(varier.key());
            out[i] = varier.line(lines[i]);
            break;
        }
    }
    return out;
}

Lines variantLines(const Lines& unitLines, std::string_view unitId, int copyNumber)
{
    if (copyNumber < 2) return unitLines;
    return varyLines(unitLines, variantSeed(unitId, copyNumber));
}

} // namespace tavola::variant

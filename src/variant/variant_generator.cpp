#include "variant/variant_generator.h"

#include "platform/sjis.h"
#include "variant/page_problems.h"
#include "variant/problem_text.h"

#include <algorithm>
#include <limits>
#include <tuple>

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

// New whole numbers stay in their size class and near their size: a one-digit number from half of it up to twice
// it (or 3 more), so that 1&1/3 does not become 9&1/3 with answers too wide for the box the author sized and the
// 9 of 55/6 stays large; a number above 20 keeps its count of digits and stays between half and twice of it.
Range wholeRange(std::int64_t n)
{
    switch (sizeClass(n)) {
    case 0:
        return {0, 0};
    case 1:
        return {std::max<std::int64_t>(1, (n + 1) / 2), std::min<std::int64_t>(9, std::max(n + 3, 2 * n))};
    case 2:
        return {10, 12};
    case 3:
        return {13, 20};
    default: {
        std::int64_t low = 1;
        while (low <= n / 10)
            low *= 10;
        const std::int64_t high = low <= std::numeric_limits<std::int64_t>::max() / 10 ? low * 10 - 1 : n;
        return {std::max({low, (n + 1) / 2, std::int64_t{21}}), std::min(high, n <= high / 2 ? 2 * n : high)};
    }
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
// (4/6 for 3/6 + 1/6); the denominator of the problem's decimal (tenths stay tenths: 0.8 = 8/10); or, when none of
// these writes it, lowest terms times a fixed number.
enum class Over { LowestTerms, Written, Fixed, Scaled };

struct AnswerForm {
    AnswerKind kind = AnswerKind::Whole;
    Over over = Over::LowestTerms;
    std::int64_t scale = 1; // Scaled: the factor; Fixed: the denominator
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
        } else if (f.over == Over::Fixed) {
            if (f.scale % b != 0) return std::nullopt;
            auto sa = checkedMul(a, f.scale / b);
            if (!sa) return std::nullopt;
            a = *sa;
            b = f.scale;
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

// The forms that write the original answer exactly as it stands. Where several do (1/3 + 1/3 = 2/3 is both in
// lowest terms and as calculated; 0.1 = 1/10 both in lowest terms and in tenths), the page does not say which one
// is meant, so a variant has to write the same under all of them. Scaled counts only when no other form writes it.
std::vector<AnswerForm> formsOf(const Literal& l, std::string_view text, const Rational& v, const Fraction& written,
                                std::int64_t decimalDen)
{
    std::vector<AnswerForm> forms;
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
        for (Over over : {Over::LowestTerms, Over::Written, Over::Fixed}) {
            f.over = over;
            if (over == Over::Fixed) {
                if (decimalDen < 2) continue;
                f.scale = decimalDen;
            }
            if (writeAnswer(f, v, written) == text) forms.push_back(f);
        }
        if (forms.empty() && l.den % v.den == 0 && l.den / v.den >= 2) {
            f.over = Over::Scaled;
            f.scale = l.den / v.den;
            if (writeAnswer(f, v, written) == text) forms.push_back(f);
        }
        return forms;
    }
    }
    if (writeAnswer(f, v, written) == text) forms.push_back(f);
    return forms;
}

// The answer in every one of its forms; nullopt when they differ or one cannot write it.
std::optional<std::string> writeInForms(const std::vector<AnswerForm>& forms, const Rational& v,
                                        const Fraction& written)
{
    auto text = writeAnswer(forms.front(), v, written);
    if (!text) return std::nullopt;
    for (std::size_t k = 1; k < forms.size(); ++k)
        if (writeAnswer(forms[k], v, written) != text) return std::nullopt;
    return text;
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

bool valueIsOne(const Literal& l)
{
    auto v = literalValue(l);
    return v && v->num == v->den;
}

// The largest denominator of the operands; 1 without fractions.
std::int64_t largestDenominator(const std::vector<Literal>& operands)
{
    std::int64_t d = 1;
    for (const Literal& l : operands)
        if (hasDenominator(l)) d = std::max(d, l.den);
    return d;
}

// a×c ± b×c (or c×a ± c×b, a÷c ± b÷c): whether a ± b is a whole number, the point of the units on the
// distributive law; -1 for arithmetic of another form.
int factoredWhole(const Expression& e, const std::vector<Literal>& operands, const std::vector<Fraction>& values)
{
    if (e.root < 0) return -1;
    const Node& root = e.nodes[static_cast<std::size_t>(e.root)];
    if (root.op != Op::Add && root.op != Op::Subtract) return -1;
    const Node& l = e.nodes[static_cast<std::size_t>(root.left)];
    const Node& r = e.nodes[static_cast<std::size_t>(root.right)];
    if (l.op != r.op || (l.op != Op::Multiply && l.op != Op::Divide)) return -1;
    auto leaf = [&](int n) -> const Literal* {
        const Node& node = e.nodes[static_cast<std::size_t>(n)];
        return node.op == Op::Operand ? &operands[static_cast<std::size_t>(node.operand)] : nullptr;
    };
    const int sides[2][2] = {{l.left, l.right}, {r.left, r.right}};
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            if (l.op == Op::Divide && (i != 1 || j != 1)) continue;
            const Literal* a = leaf(sides[0][i]);
            const Literal* b = leaf(sides[1][j]);
            if (a == nullptr || b == nullptr || !(*a == *b)) continue;
            const Fraction& x = values[static_cast<std::size_t>(sides[0][1 - i])];
            const Fraction& y = values[static_cast<std::size_t>(sides[1][1 - j])];
            auto sum = root.op == Op::Add ? add(x, y) : subtract(x, y);
            return sum && reduce(*sum).isInteger() ? 1 : 0;
        }
    }
    return -1;
}

using Forms = std::vector<AnswerForm>;

struct Analysis {
    const PageProblem* problem = nullptr;
    Shape shape;
    std::vector<Forms> forms;              // per alternative of the problem's box
    std::vector<std::vector<Forms>> links; // per linked box, per alternative
    bool distinctAnswers = true;
    std::int64_t decimalDen = 1;
    std::int64_t answerDen = 1; // of the value in lowest terms
    std::int64_t largestDen = 1;
    int factored = -1;
};

// The forms of every alternative of a box whose answers are the value v; false when one is no such number.
bool boxForms(const std::string& line, const Box& box, const Rational& v, const Fraction& written,
              std::int64_t decimalDen, std::vector<Forms>& out)
{
    for (const AnswerText& answer : box.answers) {
        if (!answer.number) return false;
        auto value = literalValue(*answer.number);
        if (!value || reduce(*value) != v) return false;
        Forms forms = formsOf(*answer.number, std::string_view(line).substr(answer.begin, answer.end - answer.begin), v,
                              written, decimalDen);
        if (forms.empty()) return false;
        out.push_back(std::move(forms));
    }
    return true;
}

// The analysis of a problem, or why it keeps its numbers.
std::optional<Analysis> analyse(const Lines& lines, const PageProblems& page, const PageProblem& p, std::string& why)
{
    if (!p.kept.empty()) {
        why = p.kept;
        return std::nullopt;
    }
    const Expression& e = p.expression;
    // Mixed numbers with a proper, non-zero fraction part; fractions with a numerator above 0.
    for (const Literal& l : e.operands) {
        if (hasDenominator(l) && (l.num == 0 || l.den == 0 || (l.syntax == Literal::Syntax::Mixed && l.num >= l.den))) {
            why = "a number is written in a form that is not varied";
            return std::nullopt;
        }
    }
    Analysis a;
    a.problem = &p;
    std::vector<Fraction> values;
    if (!fillShape(e, e.operands, values, a.shape)) {
        why = "its arithmetic cannot be computed";
        return std::nullopt;
    }
    const Fraction written = values[static_cast<std::size_t>(e.root)];
    const Rational v = reduce(written);
    for (const Literal& l : e.operands)
        if (l.syntax == Literal::Syntax::Decimal) a.decimalDen = std::max(a.decimalDen, l.den);
    const Box& own = page.boxes[p.box];
    if (!boxForms(lines[own.line], own, v, written, a.decimalDen, a.forms)) {
        why = "its answer is not the value of its arithmetic";
        return std::nullopt;
    }
    // An answer over a fixed denominator (4/2 for 2) with numbers in the text: the text may say that
    // denominator ("分母を2に"), and a new number could not keep it.
    const bool told = std::any_of(p.story.begin(), p.story.end(), [](const StoryNumber& n) { return n.text != "1"; });
    for (const Forms& forms : a.forms)
        for (const AnswerForm& f : forms)
            if (told && f.over == Over::Scaled) {
                why = "the form of its answer depends on its text";
                return std::nullopt;
            }
    for (std::size_t linked : p.linkedBoxes) {
        a.links.emplace_back();
        if (!boxForms(lines[page.boxes[linked].line], page.boxes[linked], v, written, a.decimalDen, a.links.back())) {
            why = "another answer of its text depends on its numbers";
            return std::nullopt;
        }
    }
    for (std::size_t i = 0; i < own.answers.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (own.answers[i].number == own.answers[j].number) a.distinctAnswers = false;
    a.answerDen = v.den;
    a.largestDen = largestDenominator(e.operands);
    a.factored = factoredWhole(e, e.operands, values);
    return a;
}

// What the page allows a variant: the authored page's denominators, answer denominators and properties.
struct PageLimits {
    std::int64_t lowestDen = 0; // of the operands; 0 without fractions
    std::int64_t highestDen = 0;
    std::int64_t highestAnswerDen = 1;
    bool keepFactoredWhole = false; // every a×c ± b×c of the page has a ± b whole
};

// Bounds of one problem's variant: its run's easy-to-hard order and its own answer.
struct Bounds {
    std::int64_t minLargestDen = 0;
    std::int64_t maxLargestDen = std::numeric_limits<std::int64_t>::max();
    std::int64_t minAnswerDen = 0;
    std::int64_t maxAnswerDen = std::numeric_limits<std::int64_t>::max();
};

// New text for bytes [begin, end) of a line.
struct Edit {
    std::size_t line;
    std::size_t begin;
    std::size_t end;
    std::string text;
};

// The lines with the edits made; every other byte as it was.
void applyEdits(std::vector<Edit>& edits, Lines& lines)
{
    std::sort(edits.begin(), edits.end(),
              [](const Edit& x, const Edit& y) { return std::tie(x.line, x.begin) < std::tie(y.line, y.begin); });
    for (std::size_t k = 0; k < edits.size();) {
        const std::size_t line = edits[k].line;
        const std::string from = std::move(lines[line]);
        std::string text;
        text.reserve(from.size() + 16);
        std::size_t at = 0;
        for (; k < edits.size() && edits[k].line == line; ++k) {
            text.append(from, at, edits[k].begin - at);
            text += edits[k].text;
            at = edits[k].end;
        }
        text.append(from, at);
        lines[line] = std::move(text);
    }
}

// Finds new numbers for one analysed problem.
class Varier {
public:
    Varier(const Analysis& a, const PageLimits& limits, const Bounds& bounds, std::uint64_t seed)
        : a_(a), e_(a.problem->expression), limits_(limits), bounds_(bounds), rng_(seed)
    {
    }

    // One candidate; true when it has the original's shape, stays within the page's limits and its answers can be
    // written in the original's forms.
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
        for (std::size_t i = 0; i < ops_.size(); ++i) {
            if (!readable(ops_[i])) return false;
            // No 1 (a whole 1, or 4/4) that the author did not write: ×1 and ÷1 are no exercise.
            if (valueIsOne(ops_[i]) && !valueIsOne(e_.operands[i])) return false;
        }
        const std::int64_t largest = largestDenominator(ops_);
        if (largest < bounds_.minLargestDen || largest > bounds_.maxLargestDen) return false;
        if (!fillShape(e_, ops_, values_, shape_, &a_.shape)) return false;
        const Fraction& written = values_[static_cast<std::size_t>(e_.root)];
        Rational v = reduce(written);
        if (v.den < bounds_.minAnswerDen || v.den > bounds_.maxAnswerDen) return false;
        if (limits_.keepFactoredWhole && a_.factored >= 0 && factoredWhole(e_, ops_, values_) != 1) return false;
        answers_.clear();
        for (const Forms& forms : a_.forms) {
            auto text = writeInForms(forms, v, written);
            // An answer must read back as the number it is (nine digits at most in each part).
            if (!text || !parseLiteral(*text)) return false;
            if (a_.distinctAnswers && std::find(answers_.begin(), answers_.end(), *text) != answers_.end())
                return false;
            answers_.push_back(std::move(*text));
        }
        links_.clear();
        for (const std::vector<Forms>& box : a_.links) {
            for (const Forms& forms : box) {
                auto text = writeInForms(forms, v, written);
                if (!text || !parseLiteral(*text)) return false;
                links_.push_back(std::move(*text));
            }
        }
        key_ = keyOf(e_, ops_, texts_);
        largest_ = largest;
        answerDen_ = v.den;
        return true;
    }

    const std::string& key() const { return key_; }
    std::int64_t largestDen() const { return largest_; }
    std::int64_t answerDen() const { return answerDen_; }

    // The candidate's numbers for the lines of the problem: its arithmetic, its answers, and every number of its
    // story that is written as one of its operands. The edits of all problems of a page are made at the end, as
    // their places are those of the authored lines.
    void edits(const PageProblems& page, std::vector<Edit>& out) const
    {
        const PageProblem& p = *a_.problem;
        if (p.formulaLine)
            for (std::size_t i = 0; i < texts_.size(); ++i)
                out.push_back({*p.formulaLine, e_.spans[i].first, e_.spans[i].second, texts_[i]});
        const Box& own = page.boxes[p.box];
        for (std::size_t i = 0; i < answers_.size(); ++i)
            out.push_back({own.line, own.answers[i].begin, own.answers[i].end, answers_[i]});
        std::size_t next = 0;
        for (std::size_t linked : p.linkedBoxes)
            for (const AnswerText& answer : page.boxes[linked].answers)
                out.push_back({page.boxes[linked].line, answer.begin, answer.end, links_[next++]});
        for (const StoryNumber& n : p.story)
            for (std::size_t i = 0; i < p.operandTexts.size(); ++i)
                if (p.operandTexts[i] == n.text) {
                    out.push_back({n.line, n.begin, n.end, texts_[i]});
                    break;
                }
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

    // The denominators a new operand may have: its size class, within the page's denominators and below the
    // largest its place in the page's order allows.
    Range denominatorLimits(std::size_t i) const
    {
        Range range = denominatorRange(e_.operands[i].den);
        if (limits_.highestDen > 0 && e_.operands[i].den > 1) {
            range.lo = std::max(range.lo, limits_.lowestDen);
            range.hi = std::min(range.hi, limits_.highestDen);
        }
        range.hi = std::min(range.hi, bounds_.maxLargestDen);
        if (range.hi < range.lo) range = {e_.operands[i].den, e_.operands[i].den};
        return range;
    }

    // Denominators are chosen in their limits, related to the earlier operands' new denominators as the original
    // ones are (a few tries here are much cheaper than rejecting whole candidates). One equal to an earlier
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
        const Range range = denominatorLimits(i);
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
        // A 1 the author wrote stays: it is the unit of the story ("1 m が 2/3 kg"), not a number to vary.
        if (original == 1) return 1;
        Range range = wholeRange(original);
        range.lo = std::max<std::int64_t>(range.lo, 2);
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
            n.whole = o.whole == 0 ? 0 : pick(wholeRange(o.whole));
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
    const PageLimits& limits_;
    const Bounds& bounds_;
    Rng rng_;
    std::vector<Literal> ops_;
    std::vector<Fraction> values_;
    Shape shape_;
    std::vector<std::string> answers_;
    std::vector<std::string> links_;
    std::vector<std::string> texts_;
    std::string key_;
    std::int64_t largest_ = 1;
    std::int64_t answerDen_ = 1;
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
bool answerPrinted(const Lines& lines, const PageProblems& page, const PageProblem& p,
                   const std::vector<std::string>& printed)
{
    const Box& box = page.boxes[p.box];
    for (const AnswerText& answer : box.answers)
        if (std::find(printed.begin(), printed.end(),
                      std::string_view(lines[box.line]).substr(answer.begin, answer.end - answer.begin)) !=
            printed.end())
            return true;
    return false;
}

// The lines a list of answers to choose from can stand on: no box, no "=" (an example "1/2+1/3=5/6" is no list),
// no story.
bool listLine(const std::string& line, const PageProblems& page, std::size_t l)
{
    return !page.storyLine[l] && sjis::findChar(line, '#') == std::string_view::npos &&
           sjis::findChar(line, '=') == std::string_view::npos;
}

// The easy-to-hard order of a run of problems (the problems between two headings): a measure in which the authored
// run never goes down, and does go up, is kept by the variant.
struct Order {
    bool largestDen = false;
    bool answerDen = false;
};

template <class Measure> bool rises(const std::vector<const Analysis*>& run, Measure m)
{
    std::vector<std::int64_t> values;
    for (const Analysis* a : run)
        if (a != nullptr) values.push_back(m(*a));
    return values.size() >= 2 && std::is_sorted(values.begin(), values.end()) && values.front() < values.back();
}

struct Prepared {
    PageProblems page;
    std::vector<std::optional<Analysis>> analyses; // per problem
    std::vector<std::string> why;                  // per problem: why it keeps its numbers
    std::vector<std::size_t> run;                  // per problem: its run
    std::vector<Order> orders;                     // per run
    PageLimits limits;
    std::vector<std::string> taken;
};

std::string labelOrLine(const PageProblem& p)
{
    return p.label;
}

void prepare(const Lines& lines, const Lines& comment, Prepared& out)
{
    out.page = findPageProblems(lines, comment);
    const PageProblems& page = out.page;
    const std::size_t n = page.problems.size();
    out.analyses.resize(n);
    out.why.resize(n);
    std::vector<std::string> printed;
    for (std::size_t l = 0; l < lines.size(); ++l)
        if (listLine(lines[l], page, l)) numbersWritten(lines[l], printed);
    std::vector<std::string> texts;
    int factored = 0;
    int factoredWholeCount = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const PageProblem& p = page.problems[k];
        out.taken.push_back(keyOf(p.expression, p.expression.operands, texts));
        out.analyses[k] = analyse(lines, page, p, out.why[k]);
        if (!out.analyses[k]) continue;
        const Analysis& a = *out.analyses[k];
        for (const Literal& l : p.expression.operands) {
            if (!hasDenominator(l) || l.den < 2) continue;
            out.limits.lowestDen = out.limits.lowestDen == 0 ? l.den : std::min(out.limits.lowestDen, l.den);
            out.limits.highestDen = std::max(out.limits.highestDen, l.den);
        }
        out.limits.highestAnswerDen = std::max(out.limits.highestAnswerDen, a.answerDen);
        if (a.factored >= 0) {
            ++factored;
            factoredWholeCount += a.factored;
        }
        if (answerPrinted(lines, page, p, printed)) {
            out.analyses[k].reset();
            out.why[k] = "its answer is printed on the page to choose from";
        }
    }
    out.limits.keepFactoredWhole = factored > 0 && factoredWholeCount == factored;

    // Runs: a heading between two problems starts a new one.
    out.run.assign(n, 0);
    std::size_t run = 0;
    for (std::size_t k = 1; k < n; ++k) {
        const std::size_t from = page.problems[k - 1].lines.back() + 1;
        const std::size_t to = page.problems[k].lines.front();
        for (std::size_t l = from; l < to; ++l)
            if (page.heading[l]) {
                ++run;
                break;
            }
        out.run[k] = run;
    }
    out.orders.assign(n == 0 ? 0 : run + 1, Order{});
    for (std::size_t r = 0; r < out.orders.size(); ++r) {
        std::vector<const Analysis*> members;
        for (std::size_t k = 0; k < n; ++k)
            if (out.run[k] == r) members.push_back(out.analyses[k] ? &*out.analyses[k] : nullptr);
        out.orders[r].largestDen = rises(members, [](const Analysis& a) { return a.largestDen; });
        out.orders[r].answerDen = rises(members, [](const Analysis& a) { return a.answerDen; });
    }
}

// The answer's denominator stays near the original's (from half of it to twice it, or 4 more) and within twice
// the largest of the page.
Bounds answerBounds(const Analysis& a, const PageLimits& limits)
{
    Bounds b;
    b.minAnswerDen = (a.answerDen + 1) / 2;
    b.maxAnswerDen = std::min(std::max(2 * a.answerDen, a.answerDen + 4), 2 * limits.highestAnswerDen);
    return b;
}

PageVariant varyPrepared(const Lines& lines, const Prepared& prep, std::uint64_t seed)
{
    PageVariant result;
    result.lines = lines;
    const PageProblems& page = prep.page;
    std::vector<std::string> taken = prep.taken;
    const std::size_t n = page.problems.size();
    // The measures of the problems as they stand on the new page, for the order of the ones after them.
    std::vector<std::int64_t> largest(n, 0);
    std::vector<std::int64_t> answer(n, 0);
    std::vector<Edit> edits;
    for (std::size_t k = 0; k < n; ++k) {
        const PageProblem& p = page.problems[k];
        if (!prep.analyses[k]) {
            result.kept.push_back({page.boxes[p.box].line, labelOrLine(p), prep.why[k]});
            continue;
        }
        const Analysis& a = *prep.analyses[k];
        largest[k] = a.largestDen;
        answer[k] = a.answerDen;
        Bounds bounds = answerBounds(a, prep.limits);
        const Order& order = prep.orders[prep.run[k]];
        std::optional<std::size_t> before;
        std::optional<std::size_t> after;
        for (std::size_t j = k; j-- > 0;)
            if (prep.run[j] == prep.run[k] && prep.analyses[j]) {
                before = j;
                break;
            }
        for (std::size_t j = k + 1; j < n && prep.run[j] == prep.run[k]; ++j)
            if (prep.analyses[j]) {
                after = j;
                break;
            }
        if (order.largestDen) {
            if (before) bounds.minLargestDen = largest[*before];
            if (after) bounds.maxLargestDen = prep.analyses[*after]->largestDen;
        }
        if (order.answerDen) {
            if (before) bounds.minAnswerDen = std::max(bounds.minAnswerDen, answer[*before]);
            if (after) bounds.maxAnswerDen = std::min(bounds.maxAnswerDen, prep.analyses[*after]->answerDen);
        }
        Varier varier(a, prep.limits, bounds, mix(seed ^ mix(p.box)));
        int clashes = 0;
        bool varied = false;
        for (int attempt = 0; attempt < kAttempts && clashes < kClashes; ++attempt) {
            if (!varier.propose()) continue;
            if (std::find(taken.begin(), taken.end(), varier.key()) != taken.end()) {
                ++clashes;
                continue;
            }
            taken.push_back(varier.key());
            varier.edits(page, edits);
            largest[k] = varier.largestDen();
            answer[k] = varier.answerDen();
            varied = true;
            break;
        }
        if (varied)
            ++result.varied;
        else
            result.kept.push_back({page.boxes[p.box].line, labelOrLine(p), "no other numbers of its kind were found"});
    }
    applyEdits(edits, result.lines);
    return result;
}

std::vector<KeptProblem> structurallyKept(const Prepared& prep)
{
    std::vector<KeptProblem> kept;
    const PageProblems& page = prep.page;
    for (std::size_t k = 0; k < page.problems.size(); ++k)
        if (!prep.analyses[k])
            kept.push_back({page.boxes[page.problems[k].box].line, page.problems[k].label, prep.why[k]});
    for (std::size_t b : page.boxesKept)
        kept.push_back({page.boxes[b].line, page.boxes[b].label, "its numbers are in no calculation"});
    std::sort(kept.begin(), kept.end(), [](const KeptProblem& x, const KeptProblem& y) { return x.line < y.line; });
    return kept;
}

std::uint64_t hashLines(std::uint64_t h, const Lines& lines)
{
    for (const std::string& line : lines) {
        for (char c : line) {
            h ^= static_cast<unsigned char>(c);
            h *= 0x100000001B3ULL;
        }
        h ^= 0x0A; // the end of a line, so that lines cannot run into each other
        h *= 0x100000001B3ULL;
    }
    return h;
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
    Prepared prep;
    const Lines lines{std::string(line)};
    prepare(lines, {}, prep);
    return std::any_of(prep.analyses.begin(), prep.analyses.end(), [](const auto& a) { return a.has_value(); });
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

std::uint64_t pageSeed(const Lines& lines, const Lines& comment, int copyNumber)
{
    std::uint64_t h = hashLines(0xCBF29CE484222325ULL, lines);
    h = hashLines(h ^ 0x7B, comment); // "{": the comment follows
    return mix(h ^ mix(static_cast<std::uint64_t>(static_cast<std::int64_t>(copyNumber))));
}

PageVariant varyPage(const Lines& lines, const Lines& comment, std::uint64_t seed)
{
    Prepared prep;
    prepare(lines, comment, prep);
    return varyPrepared(lines, prep, seed);
}

std::vector<KeptProblem> problemsKept(const Lines& lines, const Lines& comment)
{
    Prepared prep;
    prepare(lines, comment, prep);
    return structurallyKept(prep);
}

Lines varyLines(const Lines& lines, std::uint64_t seed)
{
    return varyPage(lines, {}, seed).lines;
}

Lines variantLines(const Lines& unitLines, std::string_view unitId, int copyNumber)
{
    if (copyNumber < 2) return unitLines;
    return varyLines(unitLines, variantSeed(unitId, copyNumber));
}

Lines copyVariant(const Lines& lines, const Lines& comment, int copyNumber)
{
    if (copyNumber < 2) return lines;
    return varyPage(lines, comment, pageSeed(lines, comment, copyNumber)).lines;
}

QuesBlock splitQues(const Lines& ques)
{
    QuesBlock block;
    std::size_t first = 0;
    if (!ques.empty() && ques.front() == "{") {
        auto close = std::find(ques.begin() + 1, ques.end(), "}");
        if (close != ques.end()) {
            block.comment.assign(ques.begin() + 1, close);
            first = static_cast<std::size_t>(close - ques.begin()) + 1;
        }
    }
    block.lines.assign(ques.begin() + static_cast<std::ptrdiff_t>(first), ques.end());
    return block;
}

Lines varyQues(const Lines& ques, std::uint64_t seed)
{
    const QuesBlock block = splitQues(ques);
    Lines varied = varyPage(block.lines, block.comment, seed).lines;
    Lines out(ques.begin(), ques.end() - static_cast<std::ptrdiff_t>(block.lines.size()));
    out.insert(out.end(), varied.begin(), varied.end());
    return out;
}

} // namespace tavola::variant

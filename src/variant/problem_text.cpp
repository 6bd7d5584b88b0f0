#include "variant/problem_text.h"

#include "platform/sjis.h"

namespace tavola::variant {
namespace {

// Digits per number: 9 keep every product of two numbers, and the sums of a line's worth of them, inside 64 bits.
constexpr std::size_t kMaxDigits = 9;
// Arithmetic longer than this, or brackets deeper, is not taken for a problem (and never recursed into).
constexpr std::size_t kMaxExpressionBytes = 200;
constexpr int kMaxDepth = 16;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Reads a run of digits at i; false when there is none, it is too long, or it has a leading zero (unless zeros are
// allowed, as after a decimal point).
bool readDigits(std::string_view text, std::size_t& i, std::int64_t& value, bool leadingZeroAllowed,
                std::size_t* count = nullptr)
{
    std::size_t start = i;
    value = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (i - start >= kMaxDigits) return false;
        value = value * 10 + (text[i] - '0');
        ++i;
    }
    std::size_t n = i - start;
    if (count != nullptr) *count = n;
    if (n == 0) return false;
    return leadingZeroAllowed || n == 1 || text[start] != '0';
}

// The blanks that the answer check trims: bytes up to the space, and full-width spaces.
std::size_t skipAnswerBlanks(std::string_view text, std::size_t i, std::size_t end)
{
    while (i < end) {
        if (static_cast<unsigned char>(text[i]) <= 0x20)
            ++i;
        else if (i + 1 < end && text.compare(i, 2, "\x81\x40") == 0)
            i += 2;
        else
            break;
    }
    return i;
}

std::size_t trimAnswerEnd(std::string_view text, std::size_t begin, std::size_t end)
{
    while (end > begin) {
        if (static_cast<unsigned char>(text[end - 1]) <= 0x20) {
            --end;
            continue;
        }
        // A full-width space at the end, found from the front so that a trail byte is not mistaken for a lead.
        if (end - begin >= 2 && text.compare(end - 2, 2, "\x81\x40") == 0) {
            std::size_t i = begin;
            while (i < end - 2)
                i += sjis::charLength(text, i);
            if (i == end - 2) {
                end -= 2;
                continue;
            }
        }
        break;
    }
    return end;
}

class Parser {
public:
    Parser(std::string_view line, std::size_t begin, std::size_t end, Expression& out)
        : line_(line), i_(begin), end_(end), out_(out)
    {
    }

    bool parse()
    {
        int root = expression(0);
        skipBlanks();
        if (root < 0 || i_ != end_) return false;
        out_.root = root;
        return true;
    }

private:
    void skipBlanks()
    {
        while (i_ < end_ && isBlank(line_[i_]))
            ++i_;
    }

    int add(Node n)
    {
        out_.nodes.push_back(n);
        return static_cast<int>(out_.nodes.size()) - 1;
    }

    int expression(int depth)
    {
        int left = term(depth);
        while (left >= 0) {
            skipBlanks();
            if (i_ >= end_ || (line_[i_] != '+' && line_[i_] != '-')) break;
            Op op = line_[i_] == '+' ? Op::Add : Op::Subtract;
            ++i_;
            int right = term(depth);
            if (right < 0) return -1;
            left = add({op, left, right, -1});
        }
        return left;
    }

    int term(int depth)
    {
        int left = factor(depth);
        while (left >= 0) {
            skipBlanks();
            if (i_ >= end_ || (line_[i_] != '*' && line_[i_] != '\\')) break;
            Op op = line_[i_] == '*' ? Op::Multiply : Op::Divide;
            ++i_;
            int right = factor(depth);
            if (right < 0) return -1;
            left = add({op, left, right, -1});
        }
        return left;
    }

    int factor(int depth)
    {
        skipBlanks();
        if (i_ >= end_) return -1;
        if (line_[i_] == '(') {
            if (depth >= kMaxDepth) return -1;
            ++i_;
            int inner = expression(depth + 1);
            skipBlanks();
            if (inner < 0 || i_ >= end_ || line_[i_] != ')') return -1;
            ++i_;
            return inner;
        }
        std::size_t start = i_;
        while (i_ < end_ && (isDigit(line_[i_]) || line_[i_] == '.' || line_[i_] == '/' || line_[i_] == '&'))
            ++i_;
        auto literal = parseLiteral(line_.substr(start, i_ - start));
        if (!literal) return -1;
        out_.operands.push_back(*literal);
        out_.spans.emplace_back(start, i_);
        return add({Op::Operand, -1, -1, static_cast<int>(out_.operands.size()) - 1});
    }

    std::string_view line_;
    std::size_t i_;
    std::size_t end_;
    Expression& out_;
};

} // namespace

std::optional<Literal> parseLiteral(std::string_view text)
{
    Literal l;
    std::size_t i = 0;
    if (!readDigits(text, i, l.whole, false)) return std::nullopt;
    if (i == text.size()) return l;
    char sign = text[i++];
    if (sign == '.') {
        std::size_t places = 0;
        if (!readDigits(text, i, l.num, true, &places) || i != text.size()) return std::nullopt;
        l.syntax = Literal::Syntax::Decimal;
        l.places = static_cast<int>(places);
        l.den = *powerOfTen(l.places);
        return l;
    }
    if (sign == '/') {
        l.syntax = Literal::Syntax::Fraction;
        l.num = l.whole;
        l.whole = 0;
        if (!readDigits(text, i, l.den, false) || i != text.size()) return std::nullopt;
        return l;
    }
    if (sign == '&') {
        l.syntax = Literal::Syntax::Mixed;
        if (!readDigits(text, i, l.num, false) || i >= text.size() || text[i++] != '/') return std::nullopt;
        if (!readDigits(text, i, l.den, false) || i != text.size()) return std::nullopt;
        return l;
    }
    return std::nullopt;
}

std::string formatLiteral(const Literal& l)
{
    switch (l.syntax) {
    case Literal::Syntax::Whole:
        return std::to_string(l.whole);
    case Literal::Syntax::Decimal: {
        std::string digits = std::to_string(l.num);
        if (digits.size() < static_cast<std::size_t>(l.places))
            digits.insert(0, static_cast<std::size_t>(l.places) - digits.size(), '0');
        return std::to_string(l.whole) + "." + digits;
    }
    case Literal::Syntax::Fraction:
        return std::to_string(l.num) + "/" + std::to_string(l.den);
    case Literal::Syntax::Mixed:
        return std::to_string(l.whole) + "&" + std::to_string(l.num) + "/" + std::to_string(l.den);
    }
    return {};
}

std::optional<Fraction> literalValue(const Literal& l)
{
    switch (l.syntax) {
    case Literal::Syntax::Whole:
        return Fraction{l.whole, 1};
    case Literal::Syntax::Decimal:
    case Literal::Syntax::Mixed: {
        if (l.den == 0) return std::nullopt;
        auto whole = checkedMul(l.whole, l.den);
        auto num = whole ? checkedAdd(*whole, l.num) : std::nullopt;
        if (!num) return std::nullopt;
        Fraction f{*num, l.den};
        return l.syntax == Literal::Syntax::Decimal ? asFraction(reduce(f)) : f;
    }
    case Literal::Syntax::Fraction:
        return makeFraction(l.num, l.den);
    }
    return std::nullopt;
}

bool evaluateNodes(const Expression& e, const std::vector<Literal>& operands, std::vector<Fraction>& values)
{
    values.resize(e.nodes.size());
    for (std::size_t k = 0; k < e.nodes.size(); ++k) {
        const Node& n = e.nodes[k];
        std::optional<Fraction> v;
        if (n.op == Op::Operand) {
            v = literalValue(operands[static_cast<std::size_t>(n.operand)]);
        } else {
            const Fraction& a = values[static_cast<std::size_t>(n.left)];
            const Fraction& b = values[static_cast<std::size_t>(n.right)];
            switch (n.op) {
            case Op::Add:
                v = add(a, b);
                break;
            case Op::Subtract:
                v = subtract(a, b);
                break;
            case Op::Multiply:
                v = multiply(a, b);
                break;
            case Op::Divide:
                v = divide(a, b);
                break;
            case Op::Operand:
                break;
            }
        }
        if (!v) return false;
        values[k] = *v;
    }
    return true;
}

std::optional<Fraction> evaluate(const Expression& e, const std::vector<Literal>& operands)
{
    std::vector<Fraction> values;
    if (e.root < 0 || !evaluateNodes(e, operands, values)) return std::nullopt;
    return values[static_cast<std::size_t>(e.root)];
}

bool parseArithmetic(std::string_view line, std::size_t begin, std::size_t end, Expression& out)
{
    if (end < begin || end - begin > kMaxExpressionBytes) return false;
    out = Expression{};
    return Parser(line, begin, end, out).parse();
}

std::vector<AnswerText> answerAlternatives(std::string_view line, std::size_t open, std::size_t close)
{
    std::vector<AnswerText> answers;
    std::size_t from = open + 1;
    while (true) {
        std::size_t semicolon = sjis::findChar(line, ';', from);
        std::size_t to = semicolon == std::string_view::npos || semicolon > close ? close : semicolon;
        AnswerText a;
        a.begin = skipAnswerBlanks(line, from, to);
        a.end = trimAnswerEnd(line, a.begin, to);
        a.number = parseLiteral(line.substr(a.begin, a.end - a.begin));
        answers.push_back(a);
        if (to == close) break;
        from = to + 1;
    }
    return answers;
}

std::optional<ProblemText> parseProblem(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i >= line.size() || line[i] != '(') return std::nullopt;
    std::int64_t number = 0;
    ++i;
    if (!readDigits(line, i, number, true) || i >= line.size() || line[i] != ')') return std::nullopt;
    std::size_t begin = i + 1;

    std::size_t open = sjis::findChar(line, '#', begin);
    if (open == std::string_view::npos) return std::nullopt;
    std::size_t close = sjis::findChar(line, '#', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    std::size_t equals = open;
    while (equals > begin && isBlank(line[equals - 1]))
        --equals;
    if (equals == begin || line[equals - 1] != '=') return std::nullopt;
    --equals;
    if (equals - begin > kMaxExpressionBytes) return std::nullopt;

    ProblemText p;
    p.arithmeticBegin = begin;
    while (p.arithmeticBegin < equals && isBlank(line[p.arithmeticBegin]))
        ++p.arithmeticBegin;
    p.arithmeticEnd = equals;
    while (p.arithmeticEnd > p.arithmeticBegin && isBlank(line[p.arithmeticEnd - 1]))
        --p.arithmeticEnd;
    if (!Parser(line, begin, equals, p.expression).parse()) return std::nullopt;

    p.answers = answerAlternatives(line, open, close);
    p.onlyThisProblem = skipAnswerBlanks(line, close + 1, line.size()) == line.size();
    return p;
}

std::optional<AnswerDisagreement> firstAnswerMismatch(std::string_view line)
{
    auto p = parseProblem(line);
    if (!p || p->answers.empty() || !p->answers.front().number) return std::nullopt;
    const AnswerText& first = p->answers.front();
    AnswerDisagreement d;
    d.answer = std::string(line.substr(first.begin, first.end - first.begin));
    d.arithmetic = std::string(line.substr(p->arithmeticBegin, p->arithmeticEnd - p->arithmeticBegin));
    auto value = evaluate(p->expression, p->expression.operands);
    if (!value) return d;
    auto written = literalValue(*first.number);
    if (written && reduce(*written) == reduce(*value)) return std::nullopt;
    d.value = toString(reduce(*value));
    return d;
}

std::optional<std::string> firstAnswerDisagreement(std::string_view line)
{
    auto d = firstAnswerMismatch(line);
    if (!d) return std::nullopt;
    if (d->value.empty()) return d->arithmetic + " は計算できません（分母か割る数が0、または数が大きすぎます）"_sj;
    return "最初の解答「"_sj + d->answer + "」は "_sj + d->arithmetic + " の値（"_sj + d->value + "）ではありません"_sj;
}

} // namespace tavola::variant

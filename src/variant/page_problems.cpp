#include "variant/page_problems.h"

#include "platform/sjis.h"

#include <algorithm>

namespace tavola::variant {
namespace {

constexpr std::string_view kFullWidthSpace = "\x81\x40";
// Arithmetic is read from at most this many bytes before its "=" (the parser's own limit).
constexpr std::size_t kMaxArithmeticBytes = 200;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isNumberByte(char c)
{
    return isDigit(c) || c == '.' || c == '/' || c == '&';
}

bool isArithmeticByte(char c)
{
    return isNumberByte(c) || c == '+' || c == '-' || c == '*' || c == '\\' || c == '(' || c == ')' || c == ' ' ||
           c == '\t';
}

bool isLead(std::string_view text, std::size_t i)
{
    return i + 1 < text.size() && sjis::isLeadByte(static_cast<unsigned char>(text[i]));
}

// A label "(n)" at i: digits in round brackets that are not arithmetic ("(3)*4" is not a label). The byte after
// the ")" in *end.
bool labelAt(std::string_view line, std::size_t i, std::size_t* end = nullptr)
{
    if (i >= line.size() || line[i] != '(') return false;
    std::size_t j = i + 1;
    while (j < line.size() && isDigit(line[j]))
        ++j;
    if (j == i + 1 || j >= line.size() || line[j] != ')') return false;
    std::size_t k = j + 1;
    while (k < line.size() && (line[k] == ' ' || line[k] == '\t'))
        ++k;
    if (k < line.size() && (line[k] == '*' || line[k] == '\\' || line[k] == '+' || line[k] == '-' || line[k] == '='))
        return false;
    if (end != nullptr) *end = j + 1;
    return true;
}

// Every label of a line with the byte it starts at.
std::vector<std::pair<std::size_t, std::string>> labelsOf(std::string_view line)
{
    std::vector<std::pair<std::size_t, std::string>> labels;
    for (std::size_t i = 0; i < line.size(); i += sjis::charLength(line, i)) {
        std::size_t end = 0;
        if (labelAt(line, i, &end)) labels.emplace_back(i, std::string(line.substr(i, end - i)));
    }
    return labels;
}

// The end of the text [begin, end) without its trailing blanks and full-width spaces.
std::size_t trimEnd(std::string_view line, std::size_t begin, std::size_t end)
{
    while (end > begin) {
        if (line[end - 1] == ' ' || line[end - 1] == '\t') {
            --end;
            continue;
        }
        if (end - begin < 2 || line.substr(end - 2, 2) != kFullWidthSpace) break;
        std::size_t i = begin;
        while (i < end - 2)
            i += sjis::charLength(line, i);
        if (i != end - 2) break;
        end -= 2;
    }
    return end;
}

// The arithmetic right before the "=" that ends the text [begin, end) of a box, or nullopt. It is the longest
// piece of plain ASCII arithmetic after the last markup code and the last other character that reads as a
// calculation, starting where no number is cut in two.
std::optional<Expression> arithmeticBefore(std::string_view line, std::size_t begin, std::size_t end,
                                           std::size_t& arithmeticBegin)
{
    const std::size_t last = trimEnd(line, begin, end);
    if (last == begin || line[last - 1] != '=') return std::nullopt;
    const std::size_t equals = last - 1;
    std::size_t run = begin;
    for (std::size_t i = begin; i < equals;) {
        if (isLead(line, i)) {
            i += 2;
            run = i;
        } else if (line[i] == '@') {
            i += 1;
            if (i < equals) i += sjis::charLength(line, i);
            run = i;
        } else if (isArithmeticByte(line[i])) {
            ++i;
        } else {
            ++i;
            run = i;
        }
    }
    run = std::min(std::max(run, begin), equals);
    if (equals - run > kMaxArithmeticBytes) run = equals - kMaxArithmeticBytes;
    for (std::size_t p = run; p < equals; ++p) {
        if (p > run && isNumberByte(line[p - 1])) continue;
        if (line[p] == ' ' || line[p] == '\t') continue;
        if (!isDigit(line[p]) && line[p] != '(') continue;
        Expression e;
        if (parseArithmetic(line, p, equals, e)) {
            arithmeticBegin = p;
            return e;
        }
    }
    return std::nullopt;
}

bool hasDigit(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); i += sjis::charLength(text, i))
        if (isDigit(text[i])) return true;
    return false;
}

bool hasEquals(std::string_view line)
{
    return sjis::findChar(line, '=') != std::string_view::npos;
}

bool answerHasDigit(const std::string& line, const Box& box)
{
    return hasDigit(std::string_view(line).substr(box.open + 1, box.close - box.open - 1));
}

struct Formula {
    std::string label;
    Expression expression;
    std::vector<std::string> texts;
};

std::vector<Formula> commentFormulas(const Lines& comment)
{
    std::vector<Formula> formulas;
    for (const std::string& line : comment) {
        auto f = commentFormula(line);
        if (!f) continue;
        Formula formula{f->first, {}, {}};
        const std::size_t end = trimEnd(line, f->second, line.size());
        if (!parseArithmetic(line, f->second, end, formula.expression)) continue;
        for (auto [b, e] : formula.expression.spans)
            formula.texts.emplace_back(line.substr(b, e - b));
        formulas.push_back(std::move(formula));
    }
    return formulas;
}

void operandTexts(const std::string& line, const Expression& e, std::vector<std::string>& texts)
{
    for (auto [b, end] : e.spans)
        texts.emplace_back(line.substr(b, end - b));
}

bool contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace

void storyNumbers(std::string_view text, std::size_t line, std::size_t begin, std::size_t end,
                  std::vector<StoryNumber>& out)
{
    for (std::size_t i = begin; i < end;) {
        if (isLead(text, i)) {
            i += 2;
        } else if (text[i] == '@') {
            i += 1;
            if (i < end) i += sjis::charLength(text, i);
        } else if (isDigit(text[i])) {
            std::size_t start = i;
            while (i < end && isNumberByte(text[i]))
                ++i;
            std::size_t stop = i;
            while (stop > start && !isDigit(text[stop - 1]))
                --stop;
            if (start > 0 && labelAt(text, start - 1)) continue;
            out.push_back({line, start, stop, std::string(text.substr(start, stop - start))});
        } else {
            ++i;
        }
    }
}

std::optional<std::pair<std::string, std::size_t>> commentFormula(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    std::size_t end = 0;
    if (!labelAt(line, i, &end)) return std::nullopt;
    return std::make_pair(std::string(line.substr(i, end - i)), end);
}

PageProblems findPageProblems(const Lines& lines, const Lines& comment)
{
    PageProblems page;
    page.storyLine.assign(lines.size(), false);
    page.heading.assign(lines.size(), false);
    std::vector<std::vector<std::size_t>> boxesOfLine(lines.size());
    std::vector<std::optional<PageProblem>> ownProblem; // per box: the calculation standing before it
    std::vector<bool> arithmeticLine(lines.size(), false);

    for (std::size_t l = 0; l < lines.size(); ++l) {
        const std::string& line = lines[l];
        const auto labels = labelsOf(line);
        std::size_t from = 0;
        while (true) {
            const std::size_t open = sjis::findChar(line, '#', from);
            if (open == std::string_view::npos) break;
            const std::size_t close = sjis::findChar(line, '#', open + 1);
            if (close == std::string_view::npos) break;
            Box box;
            box.line = l;
            box.open = open;
            box.close = close;
            box.textBegin = from;
            for (const auto& [at, label] : labels)
                if (at < open) box.label = label;
            box.answers = answerAlternatives(line, open, close);
            std::optional<PageProblem> problem;
            std::size_t arithmeticBegin = 0;
            if (auto e = arithmeticBefore(line, from, open, arithmeticBegin)) {
                problem.emplace();
                problem->expression = std::move(*e);
                problem->formulaLine = l;
                problem->box = page.boxes.size();
                problem->lines = {l};
                problem->label = box.label;
                operandTexts(line, problem->expression, problem->operandTexts);
                storyNumbers(line, l, from, arithmeticBegin, problem->story);
                arithmeticLine[l] = true;
            }
            boxesOfLine[l].push_back(page.boxes.size());
            page.boxes.push_back(std::move(box));
            ownProblem.push_back(std::move(problem));
            from = close + 1;
        }
        if (!boxesOfLine[l].empty()) page.boxes[boxesOfLine[l].back()].lastOfLine = true;
    }
    // The text after the last box of a line belongs to the problem of that box.
    for (std::size_t b = 0; b < page.boxes.size(); ++b) {
        const Box& box = page.boxes[b];
        if (ownProblem[b] && box.lastOfLine)
            storyNumbers(lines[box.line], box.line, box.close + 1, lines[box.line].size(), ownProblem[b]->story);
    }

    // Formulas of the comment, in page order, each for the first box after its label that has no arithmetic.
    std::size_t next = 0;
    for (Formula& f : commentFormulas(comment)) {
        for (std::size_t b = next; b < page.boxes.size(); ++b) {
            const Box& box = page.boxes[b];
            const bool firstAfterLabel =
                b == 0 || page.boxes[b - 1].line != box.line || page.boxes[b - 1].label != box.label;
            if (box.label != f.label || !firstAfterLabel || ownProblem[b]) continue;
            PageProblem p;
            p.expression = std::move(f.expression);
            p.operandTexts = f.texts;
            p.box = b;
            p.lines = {box.line};
            p.label = box.label;
            const std::string& line = lines[box.line];
            storyNumbers(line, box.line, box.textBegin, box.open, p.story);
            if (box.lastOfLine) storyNumbers(line, box.line, box.close + 1, line.size(), p.story);
            ownProblem[b] = std::move(p);
            next = b + 1;
            break;
        }
    }

    for (std::size_t b = 0; b < page.boxes.size(); ++b) {
        if (!ownProblem[b]) continue;
        PageProblem& p = *ownProblem[b];
        const std::size_t l = page.boxes[b].line;
        const std::vector<std::string>& texts = p.operandTexts;
        // The story above: the line before the first problem of a line, when it has no "=" and no box of a
        // calculation and writes one of the formula's numbers.
        const bool firstOfLine = b == 0 || page.boxes[b - 1].line != l;
        if (firstOfLine && l > 0 && !arithmeticLine[l - 1] && !hasEquals(lines[l - 1]) && !page.storyLine[l - 1]) {
            std::vector<StoryNumber> above;
            storyNumbers(lines[l - 1], l - 1, 0, lines[l - 1].size(), above);
            const bool tells = std::any_of(above.begin(), above.end(), [&](const StoryNumber& n) {
                return n.text != "1" && contains(texts, n.text);
            });
            if (tells) {
                page.storyLine[l - 1] = true;
                p.lines.insert(p.lines.begin(), l - 1);
                p.story.insert(p.story.begin(), above.begin(), above.end());
            }
        }
        std::vector<std::string> told;
        for (const StoryNumber& n : p.story) {
            if (n.text != "1" && !contains(texts, n.text)) p.kept = "a number of its text is not in its formula";
            told.push_back(n.text);
        }
        // A formula that is not printed must be told whole by the story.
        if (!p.formulaLine)
            for (const std::string& t : texts)
                if (t != "1" && !contains(told, t)) p.kept = "a number of its formula is not in its text";
        // A word problem owns every box of its lines: one that gives its value is written anew with it; one with
        // other numbers would no longer fit the story.
        const bool wordProblem = !p.story.empty() || !p.formulaLine;
        if (!wordProblem) continue;
        for (std::size_t pl : p.lines) {
            for (std::size_t other : boxesOfLine[pl]) {
                if (other == b) continue;
                const Box& o = page.boxes[other];
                if (ownProblem[other]) {
                    p.kept = "another problem stands in its text";
                    continue;
                }
                const bool numbers = std::all_of(o.answers.begin(), o.answers.end(),
                                                 [](const AnswerText& a) { return a.number.has_value(); });
                if (numbers)
                    p.linkedBoxes.push_back(other);
                else if (answerHasDigit(lines[pl], o))
                    p.kept = "another answer of its text depends on its numbers";
            }
        }
    }

    std::vector<bool> owned(page.boxes.size(), false);
    for (std::size_t b = 0; b < page.boxes.size(); ++b) {
        if (!ownProblem[b]) continue;
        owned[b] = true;
        for (std::size_t linked : ownProblem[b]->linkedBoxes)
            owned[linked] = true;
        page.problems.push_back(std::move(*ownProblem[b]));
    }
    for (std::size_t b = 0; b < page.boxes.size(); ++b) {
        if (owned[b]) continue;
        const Box& box = page.boxes[b];
        const std::string& line = lines[box.line];
        std::vector<StoryNumber> numbers;
        storyNumbers(line, box.line, box.textBegin, box.open, numbers);
        if (box.lastOfLine) storyNumbers(line, box.line, box.close + 1, line.size(), numbers);
        if (!numbers.empty() || answerHasDigit(line, box)) page.boxesKept.push_back(b);
    }
    for (std::size_t l = 0; l < lines.size(); ++l)
        page.heading[l] = boxesOfLine[l].empty() && !page.storyLine[l] && trimEnd(lines[l], 0, lines[l].size()) > 0;
    return page;
}

} // namespace tavola::variant

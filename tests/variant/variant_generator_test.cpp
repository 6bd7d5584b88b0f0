// The variant generator over the shipped sample courseware (whatever it holds) and over a table of one problem of
// each kind, for many seeds: every varied problem is right to its last alternative, keeps its shape and its answer
// forms, and no page repeats a problem.
#include "variant/variant_generator.h"

#include "platform/line_file.h"
#include "platform/sjis.h"
#include "question/master_file.h"
#include "variant/problem_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <numeric>
#include <set>

using namespace tavola;
using namespace tavola::variant;

namespace {

using Numbers = std::vector<std::int64_t>;

// Every run of digits of a line, and the line with each run replaced by "N": a variant changes numbers only.
Numbers digitRuns(const std::string& line, std::string* skeleton = nullptr)
{
    Numbers numbers;
    std::string shape;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] < '0' || line[i] > '9') {
            shape += line[i++];
            continue;
        }
        std::int64_t n = 0;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9')
            n = n * 10 + (line[i++] - '0');
        numbers.push_back(n);
        shape += 'N';
    }
    if (skeleton != nullptr) *skeleton = shape;
    return numbers;
}

std::string core(const std::string& line, const AnswerText& a)
{
    return line.substr(a.begin, a.end - a.begin);
}

bool lowestTerms(const Literal& l)
{
    return l.syntax == Literal::Syntax::Whole || l.syntax == Literal::Syntax::Decimal || std::gcd(l.num, l.den) == 1;
}

// Checks one varied line against its original: right answers in the original's forms, the same shape, nothing but
// numbers changed.
void expectGoodVariant(const std::string& original, const std::string& varied)
{
    SCOPED_TRACE(original + "  ->  " + varied);
    std::string before;
    std::string after;
    digitRuns(original, &before);
    digitRuns(varied, &after);
    EXPECT_EQ(after, before);

    auto p = parseProblem(varied);
    auto o = parseProblem(original);
    ASSERT_TRUE(p && o);
    auto value = evaluate(p->expression, p->expression.operands);
    ASSERT_TRUE(value);
    ASSERT_EQ(p->answers.size(), o->answers.size());
    for (std::size_t i = 0; i < p->answers.size(); ++i) {
        ASSERT_TRUE(p->answers[i].number) << "alternative " << i;
        const Literal& now = *p->answers[i].number;
        const Literal& was = *o->answers[i].number;
        EXPECT_EQ(reduce(*literalValue(now)), reduce(*value)) << "alternative " << i;
        EXPECT_EQ(now.syntax, was.syntax);
        EXPECT_EQ(lowestTerms(now), lowestTerms(was));
        EXPECT_EQ(now.places, was.places);
        EXPECT_NE(core(varied, p->answers[i]), "");
    }
    EXPECT_EQ(shapeOf(varied), shapeOf(original));
    EXPECT_FALSE(firstAnswerDisagreement(varied));
}

// Checks a varied page against its unit: lines that cannot be varied unchanged, good variants, no problem twice.
// Returns how many problems changed.
int expectGoodPage(const Lines& unit, const Lines& page)
{
    EXPECT_EQ(page.size(), unit.size());
    if (page.size() != unit.size()) return 0;
    int changed = 0;
    std::set<std::string> authored;
    for (const std::string& line : unit)
        if (auto key = problemKey(line)) authored.insert(*key);
    std::set<std::string> keys;
    for (std::size_t i = 0; i < unit.size(); ++i) {
        if (!canVary(unit[i])) {
            EXPECT_EQ(page[i], unit[i]);
            continue;
        }
        if (page[i] == unit[i]) continue;
        ++changed;
        expectGoodVariant(unit[i], page[i]);
        auto key = problemKey(page[i]);
        EXPECT_TRUE(key && !authored.contains(*key)) << page[i];
        EXPECT_TRUE(keys.insert(key.value_or("")).second) << "repeated: " << page[i];
    }
    return changed;
}

// What a varied page of the sample must keep of its authored page: its operand denominators, twice its largest
// answer denominator, no 1 the author did not write.
struct PageLevel {
    std::int64_t lowestDen = 0;
    std::int64_t highestDen = 0;
    std::int64_t highestAnswerDen = 1;
};

PageLevel levelOf(const Lines& unit)
{
    PageLevel level;
    for (const std::string& line : unit) {
        auto p = parseProblem(line);
        auto v = p ? evaluate(p->expression, p->expression.operands) : std::nullopt;
        if (!v || !canVary(line)) continue;
        for (const Literal& l : p->expression.operands) {
            if (l.syntax != Literal::Syntax::Fraction && l.syntax != Literal::Syntax::Mixed) continue;
            level.lowestDen = level.lowestDen == 0 ? l.den : std::min(level.lowestDen, l.den);
            level.highestDen = std::max(level.highestDen, l.den);
        }
        level.highestAnswerDen = std::max(level.highestAnswerDen, reduce(*v).den);
    }
    return level;
}

void expectOnLevel(const Lines& unit, const Lines& page, const PageLevel& level)
{
    for (std::size_t i = 0; i < unit.size() && i < page.size(); ++i) {
        if (page[i] == unit[i]) continue;
        SCOPED_TRACE(unit[i] + "  ->  " + page[i]);
        auto o = parseProblem(unit[i]);
        auto p = parseProblem(page[i]);
        ASSERT_TRUE(o && p);
        ASSERT_EQ(o->expression.operands.size(), p->expression.operands.size());
        for (std::size_t k = 0; k < p->expression.operands.size(); ++k) {
            const Literal& now = p->expression.operands[k];
            auto one = [](const Literal& l) { return literalValue(l)->num == literalValue(l)->den; };
            EXPECT_FALSE(one(now) && !one(o->expression.operands[k]));
            if (now.syntax == Literal::Syntax::Fraction || now.syntax == Literal::Syntax::Mixed) {
                EXPECT_GE(now.den, level.lowestDen);
                EXPECT_LE(now.den, level.highestDen);
            }
        }
        EXPECT_LE(reduce(*evaluate(p->expression, p->expression.operands)).den, 2 * level.highestAnswerDen);
    }
}

struct SampleUnit {
    std::string id;
    Lines lines;
};

// Every unit and similar problem of the shipped sample courseware, read as the unit reader reads it.
std::vector<SampleUnit> sampleUnits()
{
    std::vector<SampleUnit> units;
    std::filesystem::path root = std::filesystem::path(TAVOLA_TEST_DATA) / ".." / ".." / "sample";
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.path().extension() == ".que") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::string path = sjis::encode(file.string());
        Lines lines = readLineFile(path).value_or(Lines{});
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].rfind("[[unit", 0) != 0) continue;
            RecordRead read = readRecord(lines, i, path);
            if (read.ok()) units.push_back({file.filename().string() + lines[i], read.content.problemLines});
        }
    }
    return units;
}

} // namespace

TEST(VariantGenerator, EveryProblemOfTheSampleCourseware)
{
    const std::vector<SampleUnit> units = sampleUnits();
    ASSERT_FALSE(units.empty());
    int variable = 0;
    int changed = 0;
    int pages = 0;
    // Copies 2 to 7 of every unit: over a thousand pages.
    for (const SampleUnit& unit : units) {
        SCOPED_TRACE(unit.id);
        EXPECT_EQ(variantLines(unit.lines, unit.id, 1), unit.lines);
        int canChange = static_cast<int>(
            std::count_if(unit.lines.begin(), unit.lines.end(), [](const std::string& l) { return canVary(l); }));
        const PageLevel level = levelOf(unit.lines);
        for (int copy = 2; copy <= 7; ++copy) {
            Lines page = variantLines(unit.lines, unit.id, copy);
            changed += expectGoodPage(unit.lines, page);
            expectOnLevel(unit.lines, page, level);
            variable += canChange;
            ++pages;
        }
        EXPECT_EQ(variantLines(unit.lines, unit.id, 7), variantLines(unit.lines, unit.id, 7));
    }
    EXPECT_GE(pages, 6 * static_cast<int>(units.size()));
    // Only problems with very few variants, all on the page already, keep their numbers.
    EXPECT_GT(changed, variable * 9 / 10) << changed << " of " << variable;
}

TEST(VariantGenerator, EachKindOfProblemOverManySeeds)
{
    // One problem of each kind, and what its variants must keep, checked on their numbers (digit runs from the
    // problem number on: n[0] is the problem number).
    struct Case {
        const char* line;
        std::function<bool(const Numbers&)> keeps;
    };
    auto g = [](std::int64_t a, std::int64_t b) { return std::gcd(a, b); };
    const Case cases[] = {
        // Same denominators; the written sum 4/6 is the first answer and reduces to the second.
        {"(1)  3/6+1/6=# 4/6;2/3 #",
         [&](const Numbers& n) {
             return n[2] == n[4] && n[6] == n[2] && n[5] == n[1] + n[3] && g(n[5], n[6]) > 1 && g(n[7], n[8]) == 1 &&
                    n[5] * n[8] == n[7] * n[6] && n[5] < n[6];
         }},
        // Coprime one-digit denominators, an answer in lowest terms below 1.
        {"(2)  1/2+1/9=# 11/18 #",
         [&](const Numbers& n) {
             return g(n[2], n[4]) == 1 && n[2] < 10 && n[4] < 10 && n[6] == n[2] * n[4] &&
                    n[5] == n[1] * n[4] + n[3] * n[2] && n[5] < n[6];
         }},
        // Mixed numbers with a borrow from the whole part; mixed and improper answers.
        {"(3)  5&2/4-2&3/4=# 2&3/4;11/4 #",
         [&](const Numbers& n) {
             return n[3] == n[6] && n[2] < n[5] && n[9] == n[3] && n[11] == n[3] && n[10] == n[7] * n[9] + n[8];
         }},
        // Carry into the whole part, three answer forms.
        {"(4)  3&5/9+3&7/9=# 7&3/9;7&1/3;22/3 #",
         [&](const Numbers& n) { return n[3] == n[6] && n[2] + n[5] > n[3] && n[9] == n[3] && g(n[8], n[9]) > 1; }},
        // A bracketed sum times a whole number that comes out whole: the whole number is a multiple of both.
        {"(5)  (3/4+2/5)*20=# 23 #",
         [&](const Numbers& n) { return n[5] % n[2] == 0 && n[5] % n[4] == 0 && n[5] >= 13 && n[5] <= 20; }},
        // A fraction as a decimal with the same number of places.
        {"(6)  4/5=# 0.8 #", [&](const Numbers& n) { return n[1] * 10 == n[3] * 10 * n[2] + n[4] * n[2]; }},
        {"(7)  3/8=# 0.375 #", [&](const Numbers& n) { return n[1] * 1000 == n[4] * n[2] && n[4] % 10 != 0; }},
        // A decimal divided by a fraction.
        {"(8)  1.2\\3/5=# 2 #",
         [&](const Numbers& n) { return n[1] < 10 && n[2] % 10 != 0 && (n[1] * 10 + n[2]) * n[4] % (10 * n[3]) == 0; }},
        // Improper to mixed, and mixed to improper.
        {"(9)  9/7=# 1&2/7 #",
         [&](const Numbers& n) { return n[1] > n[2] && n[1] % n[2] != 0 && n[3] * n[5] + n[4] == n[1]; }},
        {"(10) 2&1/3=# 7/3 #", [&](const Numbers& n) { return n[5] == n[3] && n[4] == n[1] * n[3] + n[2]; }},
        // Whole divided by whole.
        {"(11) 2\\3=# 2/3 #", [&](const Numbers& n) { return n[3] * n[2] == n[1] * n[4] && n[1] < n[2]; }},
        // a×c + b×c keeps its common factor.
        {"(12) 7/8*3/5+5/6*3/5=# 41/40;1&1/40 #", [&](const Numbers& n) { return n[3] == n[7] && n[4] == n[8]; }},
        // A multiple denominator, an answer over the written denominator.
        {"(13) 1/3+1/6=# 3/6;1/2 #",
         [&](const Numbers& n) {
             return (n[4] % n[2] == 0 || n[2] % n[4] == 0) && n[2] != n[4] && n[6] == std::max(n[2], n[4]);
         }},
    };
    Lines unit{"1. page"};
    for (const Case& c : cases)
        unit.push_back(c.line);
    int changed = 0;
    for (int copy = 2; copy < 802; ++copy) {
        Lines page = variantLines(unit, "table", copy);
        changed += expectGoodPage(unit, page);
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const std::string& line = page[i + 1];
            if (line == unit[i + 1]) continue;
            EXPECT_TRUE(cases[i].keeps(digitRuns(line))) << line;
        }
    }
    EXPECT_GT(changed, 800 * 12);
}

TEST(VariantGenerator, LinesThatCannotBeVariedComeBackByteForByte)
{
    const Lines unit = {
        sjis::encode("１．次の計算をしましょう。"),
        "(1)  3/7+3/8=# 4/5 #",     // a wrong first answer
        "(2)  1/2+1/3=# 5/6;4/5 #", // a wrong alternative
        "(3)  1/2# > # 1/3",        // a comparison
        "(5)  1/2+1/3=# 5/6;abc #", // an alternative that is no number
        "(6)  1/0+1=# 1 #",         // no value
        "(9)  3/2-5/2=# 0 #",       // a negative value answered 0
        "(10) 1/2=# 0.50 #",        // 0.50 is not how a value is written with two places
        "(11) 2&0/3=# 2 #",         // a mixed number without a fraction part
        sjis::encode("(12) 1/2+1/3=#　５/６　#"),
        "",
        "(13) 2/7+3/8=# 37/56 #", // the one line that changes
    };
    for (std::size_t i = 0; i + 1 < unit.size(); ++i)
        EXPECT_FALSE(canVary(unit[i])) << unit[i];
    for (int copy = 2; copy < 200; ++copy) {
        Lines page = variantLines(unit, "fixed", copy);
        EXPECT_EQ(Lines(page.begin(), page.end() - 1), Lines(unit.begin(), unit.end() - 1));
        EXPECT_NE(page.back(), unit.back());
        // The variant never repeats a problem written on the page, in either order.
        EXPECT_NE(problemKey(page.back()), problemKey("(1) 3/8+3/7=#1#"));
    }
}

TEST(VariantGenerator, AnswersPrintedToChooseFromKeepTheirProblems)
{
    const Lines unit = {
        sjis::encode("１．計算して、約分した答えを下からえらびましょう。"),
        sjis::encode("　えらぶもの：@/ 1/24  5/3  4"),
        "(1)  2/3\\1/6=# 4 #",
        "(2)  2/3\\2/5=# 5/3;1&2/3 #",
        "(3)  1/2*1/4=# 1/8 #",
        "(4)  1/2*2/7=# 1/7 #",
    };
    for (int copy = 2; copy < 50; ++copy) {
        Lines page = variantLines(unit, "choices", copy);
        EXPECT_EQ(Lines(page.begin(), page.begin() + 4), Lines(unit.begin(), unit.begin() + 4));
        EXPECT_NE(page[4], unit[4]);
        EXPECT_NE(page[5], unit[5]);
    }
}

TEST(VariantGenerator, NineDigitNumbersStayExact)
{
    const Lines unit = {"(1) 1/999999999+1/333333333=# 4/999999999 #", "(2) 999999999\\3=# 333333333 #",
                        "(3) 123456789.5=# 246913579/2 #"};
    for (int copy = 2; copy < 6; ++copy)
        expectGoodPage(unit, variantLines(unit, "large", copy));
}

TEST(VariantGenerator, SeedsAndCopies)
{
    const Lines unit = {"(1) 1/4+2/4=# 3/4 #", "(2) 5/6-1/6=# 4/6;2/3 #", "(3) 2/3*3/4=# 1/2 #", "(4) 2/9+5/9=# 7/9 #"};
    // Copy 1 and below are the unit as authored.
    EXPECT_EQ(variantLines(unit, "u", 1), unit);
    EXPECT_EQ(variantLines(unit, "u", 0), unit);
    // The same unit and copy always give the same page; other copies and other units give other pages.
    std::set<Lines> pages;
    for (int copy = 2; copy <= 31; ++copy) {
        EXPECT_EQ(variantLines(unit, "u", copy), varyLines(unit, variantSeed("u", copy)));
        pages.insert(variantLines(unit, "u", copy));
    }
    EXPECT_GE(pages.size(), 28u);
    EXPECT_NE(variantSeed("u", 2), variantSeed("v", 2));
    EXPECT_NE(variantSeed("u", 2), variantSeed("u", 3));
    EXPECT_EQ(varyLines({}, 7), Lines{});
}

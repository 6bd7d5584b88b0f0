// Pages as teachers write them: several problems a line, text after the boxes, word problems with their formula on
// the page or in the comment; and the limits that keep a variant on the authored page's level. Every check reads
// the varied lines afresh (the calculations by pattern, their values by the expression reader).
#include "variant/variant_generator.h"

#include "platform/sjis.h"
#include "question/master_file.h"
#include "variant/problem_text.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

using namespace tavola;
using namespace tavola::variant;

namespace {

// "arithmetic=# answers #" anywhere on a line, the label "(n)" left out.
struct Written {
    std::string arithmetic;
    std::vector<std::string> answers;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isNumberByte(char c)
{
    return isDigit(c) || c == '.' || c == '/' || c == '&';
}

std::vector<Written> calculations(const std::string& line)
{
    const std::string arithmeticBytes = "0123456789./&+-*\\() ";
    std::vector<Written> out;
    for (std::size_t at = line.find("=#"); at != std::string::npos; at = line.find("=#", at + 2)) {
        std::size_t begin = at;
        while (begin > 0 && arithmeticBytes.find(line[begin - 1]) != std::string::npos)
            --begin;
        Written w;
        w.arithmetic = line.substr(begin, at - begin);
        // Without the label "(n)" and the blanks.
        while (!w.arithmetic.empty() && !isDigit(w.arithmetic[0]) && w.arithmetic[0] != '(')
            w.arithmetic.erase(0, 1);
        if (w.arithmetic.size() > 1 && w.arithmetic[0] == '(') {
            std::size_t close = w.arithmetic.find(')');
            bool label = close != std::string::npos && close > 1;
            for (std::size_t k = 1; label && k < close; ++k)
                label = isDigit(w.arithmetic[k]);
            if (label) w.arithmetic.erase(0, w.arithmetic.find_first_not_of(' ', close + 1));
        }
        const std::size_t close = line.find('#', at + 2);
        std::string answers = line.substr(at + 2, close - at - 2);
        for (std::size_t from = 0;;) {
            std::size_t semicolon = answers.find(';', from);
            std::string a = answers.substr(from, semicolon == std::string::npos ? std::string::npos : semicolon - from);
            a.erase(0, a.find_first_not_of(' '));
            a.erase(a.find_last_not_of(' ') + 1);
            w.answers.push_back(a);
            if (semicolon == std::string::npos) break;
            from = semicolon + 1;
        }
        out.push_back(w);
    }
    return out;
}

std::optional<Rational> valueOf(const std::string& arithmetic)
{
    Expression e;
    if (!parseArithmetic(arithmetic, 0, arithmetic.size(), e)) return std::nullopt;
    auto v = evaluate(e, e.operands);
    return v ? std::optional<Rational>(reduce(*v)) : std::nullopt;
}

std::optional<Rational> numberValue(const std::string& text)
{
    auto l = parseLiteral(text);
    auto v = l ? literalValue(*l) : std::nullopt;
    return v ? std::optional<Rational>(reduce(*v)) : std::nullopt;
}

// Every calculation of the lines is right to its last alternative.
void expectRight(const Lines& lines)
{
    for (const std::string& line : lines)
        for (const Written& w : calculations(line)) {
            auto v = valueOf(w.arithmetic);
            ASSERT_TRUE(v) << line;
            for (const std::string& a : w.answers)
                EXPECT_EQ(numberValue(a), v) << line;
        }
}

// The line with every run of digits replaced by "N": a variant changes numbers only.
std::string skeleton(const std::string& line)
{
    std::string out;
    for (std::size_t i = 0; i < line.size();) {
        if (!isDigit(line[i])) {
            out += line[i++];
            continue;
        }
        while (i < line.size() && isDigit(line[i]))
            ++i;
        out += 'N';
    }
    return out;
}

// The numbers of a line in order (runs of digits, "/", "&" and "."; a trail byte is never a digit).
std::vector<std::string> numbers(const std::string& line)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < line.size();) {
        if (!isDigit(line[i])) {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < line.size() && isNumberByte(line[i]))
            ++i;
        std::size_t stop = i;
        while (!isDigit(line[stop - 1]))
            --stop;
        out.push_back(line.substr(start, stop - start));
    }
    return out;
}

Lines sj(std::initializer_list<const char*> utf8)
{
    Lines lines;
    for (const char* l : utf8)
        lines.push_back(sjis::encode(l));
    return lines;
}

} // namespace

TEST(PageVariant, EveryWrittenFormOfAProblemIsVariedAsOne)
{
    struct Case {
        const char* name;
        Lines lines;
        Lines comment;
        // Checked on every varied page (beside right answers and the page's skeleton).
        std::function<void(const Lines&)> check;
    };
    const Case cases[] = {
        {"two problems a line",
         {"(1) 2/3+1/6=# 5/6 #    (2) 1/4+1/3=# 7/12 #", "(3) 3/8+1/2=# 7/8 #    (4) 2/5+1/4=# 13/20 #"},
         {},
         {}},
        {"three problems a line", {"(1) 3/5+1/5=# 4/5 #  (2) 5/7-2/7=# 3/7 #  (3) 2/9+4/9=# 6/9;2/3 #"}, {}, {}},
        {"text after the box", sj({"(1) 1/2+1/3=# 5/6 # m　　(2) 3/4-1/2=# 1/4 # m"}), {}, {}},
        {"story + 式 line",
         sj({"(1) ジュースが @/2/5@/ L と @/1/5@/ L あります。あわせて何Lですか。",
             "　式 2/5+1/5=# 3/5 #　答え # 3/5 # L"}),
         {},
         [&](const Lines& page) {
             std::vector<std::string> s = numbers(page[0]);
             std::vector<std::string> f = numbers(page[1]);
             ASSERT_EQ(s.size(), 3u); // the label, then the two amounts
             EXPECT_EQ(s[1], f[0]);
             EXPECT_EQ(s[2], f[1]);
             EXPECT_EQ(f[2], f[3]); // 答え holds the formula's answer
         }},
        {"story + numbered formula line",
         sj({"テープが @/7/8@/ m あります。@/3/8@/ m 使うと、のこりは何mですか。", "(1) 7/8-3/8=# 4/8;1/2 #"}),
         {},
         [&](const Lines& page) {
             std::vector<std::string> s = numbers(page[0]);
             std::vector<std::string> f = numbers(page[1]);
             EXPECT_EQ(s, (std::vector<std::string>{f[1], f[2]}));
         }},
        {"formula in the comment",
         sj({"(1) @/1 mが@/2/3@/ kgのぼう、@/4@/ mの重さは何kgですか。# 8/3;2&2/3 #　kg",
             "(2) @/1本@/3/4@/ Lのジュース@/5@/本分は何Lですか。# 15/4;3&3/4 #　L"}),
         {"(1) 2/3*4", "(2) 3/4*5"},
         [&](const Lines& page) {
             for (const std::string& line : page) {
                 std::vector<std::string> n = numbers(line);
                 ASSERT_EQ(n.size(), 6u) << line; // label, 1, fraction, whole, two answers
                 EXPECT_EQ(n[1], "1");
                 auto v = valueOf(n[2] + "*" + n[3]);
                 EXPECT_EQ(numberValue(n[4]), v) << line;
                 EXPECT_EQ(numberValue(n[5]), v) << line;
             }
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> changed(c.lines.size(), 0);
        for (int copy = 2; copy < 102; ++copy) {
            const Lines page = varyPage(c.lines, c.comment, pageSeed(c.lines, c.comment, copy)).lines;
            ASSERT_EQ(page.size(), c.lines.size());
            expectRight(page);
            for (std::size_t i = 0; i < page.size(); ++i) {
                EXPECT_EQ(skeleton(page[i]), skeleton(c.lines[i]));
                changed[i] += page[i] != c.lines[i];
            }
            if (c.check) c.check(page);
        }
        for (std::size_t i = 0; i < c.lines.size(); ++i)
            EXPECT_GT(changed[i], 90) << c.lines[i];
        EXPECT_TRUE(problemsKept(c.lines, c.comment).empty());
        // Every problem of a line changes, not just one of them.
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            const std::vector<Written> before = calculations(c.lines[i]);
            std::vector<int> problemChanged(before.size(), 0);
            for (int copy = 2; copy < 102; ++copy) {
                const std::vector<Written> after = calculations(copyVariant(c.lines, c.comment, copy)[i]);
                ASSERT_EQ(after.size(), before.size());
                for (std::size_t k = 0; k < after.size(); ++k)
                    problemChanged[k] += after[k].arithmetic != before[k].arithmetic;
            }
            for (int n : problemChanged)
                EXPECT_GT(n, 50) << c.lines[i];
        }
    }
}

TEST(PageVariant, ProblemsThatCannotBeVariedAreKeptAndNamed)
{
    struct Case {
        Lines lines;
        Lines comment;
        const char* reason;
    };
    const Case cases[] = {
        // A story number that is not in the formula.
        {sj({"(1) @/3@/ 人で @/2/5@/ L ずつ、@/1/5@/ L のこる。何Lですか。# 7/5 #"}),
         {"(1) 2/5*3"},
         "a number of its text is not in its formula"},
        // A formula number the story does not write.
        {sj({"(1) @/2/5@/ L のジュースを何人かで飲みます。# 6/5 #"}),
         {"(1) 2/5*3"},
         "a number of its formula is not in its text"},
        // A formula whose value is not the answer.
        {sj({"(1) @/2/5@/ L の @/3@/ 倍は何Lですか。# 5/6 #"}),
         {"(1) 2/5*3"},
         "its answer is not the value of its arithmetic"},
        // No formula: the word problem keeps its numbers, as do figures and comparisons.
        {sj({"(1) @/2/5@/ L の @/3@/ 倍は何Lですか。# 6/5 #"}), {}, "its numbers are in no calculation"},
        {{"(1)  # 1/2 #"}, {}, "its numbers are in no calculation"},
        {{"(1)  1/4# < # 2/4"}, {}, "its numbers are in no calculation"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(sjis::toUtf8(c.lines[0]));
        const std::vector<KeptProblem> kept = problemsKept(c.lines, c.comment);
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(kept[0].line, 0u);
        EXPECT_EQ(kept[0].label, "(1)");
        EXPECT_EQ(kept[0].reason, c.reason);
        for (int copy = 2; copy < 20; ++copy)
            EXPECT_EQ(copyVariant(c.lines, c.comment, copy), c.lines);
    }
}

TEST(PageVariant, VariantsStayOnTheAuthoredPagesLevel)
{
    // Each limit with a page whose unlimited variants break it, and the property checked on every varied page
    // (problems of one a line: their literals in order, the answer first after the "=").
    struct Problem {
        std::vector<Literal> operands;
        Rational value;
        std::string firstAnswer;
    };
    auto problemsOf = [](const Lines& page) {
        std::vector<Problem> out;
        for (const std::string& line : page) {
            auto p = parseProblem(line);
            if (!p) continue;
            out.push_back({p->expression.operands, reduce(*evaluate(p->expression, p->expression.operands)),
                           line.substr(p->answers[0].begin, p->answers[0].end - p->answers[0].begin)});
        }
        return out;
    };
    auto isOne = [](const Literal& l) { return literalValue(l)->num == literalValue(l)->den; };
    struct Case {
        const char* limit;
        Lines lines;
        std::function<void(const std::vector<Problem>&)> holds;
    };
    const Case cases[] = {
        {"no operand 1 the author did not write",
         {"(1) 4/5\\2=# 2/5 #", "(2) 2/7*2=# 4/7 #", "(3) 6/3*2/5=# 4/5 #", "(4) 1\\8=# 1/8 #"},
         [&](const std::vector<Problem>& ps) {
             for (std::size_t k = 0; k < 3; ++k)
                 for (const Literal& l : ps[k].operands)
                     EXPECT_FALSE(isOne(l)) << formatLiteral(l);
             EXPECT_EQ(ps[3].operands[0].whole, 1); // the 1 the author wrote stays
         }},
        {"denominators within the page's",
         {"(1) 1/3+1/4=# 7/12 #", "(2) 3/8-1/4=# 1/8 #", "(3) 2/5+1/6=# 17/30 #"},
         [&](const std::vector<Problem>& ps) {
             for (const Problem& p : ps)
                 for (const Literal& l : p.operands)
                     EXPECT_TRUE(l.den >= 3 && l.den <= 8) << formatLiteral(l);
         }},
        {"answer denominators near the original and within twice the page's largest",
         {"(1) 1/2+1/3=# 5/6 #", "(2) 2/5+1/2=# 9/10 #", "(3) 1/2+1/9=# 11/18 #"},
         [&](const std::vector<Problem>& ps) {
             const std::int64_t original[] = {6, 10, 18};
             for (std::size_t k = 0; k < ps.size(); ++k) {
                 EXPECT_LE(ps[k].value.den, 36);
                 EXPECT_LE(ps[k].value.den, std::max(2 * original[k], original[k] + 4));
             }
         }},
        {"large numbers stay large",
         {"(1) 64/5=# 12&4/5 #", "(2) 55/6=# 9&1/6 #", "(3) 145/12=# 12&1/12 #", "(4) 125\\5=# 25 #"},
         [&](const std::vector<Problem>& ps) {
             for (const Problem& p : ps)
                 EXPECT_GE(p.operands[0].num + p.operands[0].whole, 25) << formatLiteral(p.operands[0]);
         }},
        {"a + b whole where every authored item has it",
         {"(1) 5/9*4/3+5/9*2/3=# 10/9;1&1/9 #", "(2) 1/2*8/5-1/2*3/5=# 1/2 #", "(3) 3/5*2/3+2/5*2/3=# 2/3 #"},
         [&](const std::vector<Problem>& ps) {
             for (const Problem& p : ps) {
                 const auto& o = p.operands;
                 auto a = reduce(*literalValue(o[0] == o[2] ? o[1] : o[0]));
                 auto b = reduce(*literalValue(o[0] == o[2] ? o[3] : o[2]));
                 auto sum = add(asFraction(a), asFraction(b));
                 auto difference = subtract(asFraction(a), asFraction(b));
                 EXPECT_TRUE(reduce(*sum).isInteger() || reduce(*difference).isInteger());
             }
         }},
        {"tenths stay tenths, the accepted forms stay accepted",
         {"(1) 0.1=# 1/10 #", "(2) 0.8=# 8/10;4/5 #", "(3) 0.3=# 3/10 #"},
         [&](const std::vector<Problem>& ps) {
             for (const Problem& p : ps)
                 EXPECT_TRUE(p.firstAnswer.size() > 3 && p.firstAnswer.substr(p.firstAnswer.size() - 3) == "/10")
                     << p.firstAnswer;
         }},
        {"the easy-to-hard order of the answers",
         {"(1) 1/2+1/3=# 5/6 #", "(2) 5/6+1/3=# 7/6;1&1/6 #", "(3) 2/5+1/2=# 9/10 #", "(4) 2/7+1/2=# 11/14 #",
          "(5) 3/5+2/3=# 19/15;1&4/15 #", "(6) 1/2+1/9=# 11/18 #", "(7) 1/5+1/4=# 9/20 #"},
         [&](const std::vector<Problem>& ps) {
             for (std::size_t k = 1; k < ps.size(); ++k)
                 EXPECT_LE(ps[k - 1].value.den, ps[k].value.den);
         }},
        {"the easy-to-hard order of the denominators",
         {"(1) 1/3*7=# 7/3;2&1/3 #", "(2) 2/5*2=# 4/5 #", "(3) 1/6*5=# 5/6 #", "(4) 2/7*4=# 8/7;1&1/7 #",
          "(5) 5/8*7=# 35/8;4&3/8 #", "(6) 8/9*2=# 16/9;1&7/9 #"},
         [&](const std::vector<Problem>& ps) {
             for (std::size_t k = 1; k < ps.size(); ++k)
                 EXPECT_LE(ps[k - 1].operands[0].den, ps[k].operands[0].den);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        int changed = 0;
        for (int copy = 2; copy < 202; ++copy) {
            const Lines page = copyVariant(c.lines, {}, copy);
            expectRight(page);
            for (std::size_t i = 0; i < page.size(); ++i)
                changed += page[i] != c.lines[i];
            std::vector<Problem> ps = problemsOf(page);
            ASSERT_EQ(ps.size(), c.lines.size());
            c.holds(ps);
        }
        // The limits narrow the variants; they do not stop them.
        EXPECT_GT(changed, 200 * static_cast<int>(c.lines.size()) / 2);
    }
}

TEST(PageVariant, TheSamePageGivesTheSameNumbersHoweverItWasStored)
{
    const Lines lines = sj({"(1) @/1 mが@/2/3@/ kgのぼう、@/4@/ mの重さは何kgですか。# 8/3;2&2/3 #　kg",
                            "(2) 2/3+1/6=# 5/6 #    (3) 1/4+1/3=# 7/12 #"});
    const Lines comment = {"(1) 2/3*4"};
    // A copy file keeps the comment, and what is read back varies as the page it was written from.
    CopyRecord record;
    record.title = "t";
    record.problemLines = lines;
    record.quesComment = comment;
    record.value = {"630", "False", "40", "5", "5", "1", "7"};
    record.font = {"12", "x", "False", "False", "False", "False", "0"};
    record.kran = Lines(10, "0");
    const Lines file = copyRecordLines(record);
    RecordRead read = readRecord(file, 0, "copy.prp");
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.content.problemLines, lines);
    EXPECT_EQ(read.content.quesComment, comment);
    for (int copy = 1; copy <= 30; ++copy)
        EXPECT_EQ(copyVariant(read.content.problemLines, read.content.quesComment, copy),
                  copyVariant(lines, comment, copy));
    // Another page has other numbers; copy 1 is the page itself; other copies differ.
    EXPECT_EQ(copyVariant(lines, comment, 1), lines);
    EXPECT_NE(pageSeed(lines, comment, 2), pageSeed(lines, {}, 2));
    EXPECT_NE(copyVariant(lines, comment, 2), copyVariant(lines, comment, 3));
    // A file without comment is written as before: no "{" line.
    record.quesComment.clear();
    const Lines plain = copyRecordLines(record);
    EXPECT_EQ(std::count(plain.begin(), plain.end(), "{"), 0);
    EXPECT_EQ(splitQues({"{", "(1) 2/3*4", "}", "x"}).comment, Lines{"(1) 2/3*4"});
    EXPECT_EQ(varyQues({"{", "(1) 2/3*4", "}", lines[0]}, 5)[1], "(1) 2/3*4");
}

#include "variant/problem_text.h"

#include "platform/sjis.h"

#include <gtest/gtest.h>

using namespace tavola;
using namespace tavola::variant;

namespace {

std::string valueOf(const std::string& line)
{
    auto p = parseProblem(line);
    if (!p) return "not a problem";
    auto v = evaluate(p->expression, p->expression.operands);
    return v ? toString(reduce(*v)) : "no value";
}

} // namespace

TEST(ProblemText, NumbersAreReadAsWritten)
{
    struct Case {
        const char* text;
        bool ok;
        const char* value; // in lowest terms
    };
    const Case cases[] = {
        {"12", true, "12"},   {"0", true, "0"},     {"0.75", true, "3/4"},     {"1.05", true, "21/20"},
        {"3/4", true, "3/4"}, {"4/6", true, "2/3"}, {"1&1/3", true, "4/3"},    {"12/5", true, "12/5"},
        {"", false, ""},      {"05", false, ""},    {"1/", false, ""},         {"/3", false, ""},
        {"1&3", false, ""},   {"1.2.3", false, ""}, {"1234567890", false, ""}, {"1 /2", false, ""},
        {"1/03", false, ""},  {"-1/2", false, ""},  {"1.", false, ""},         {"\x82\x50", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto l = parseLiteral(c.text);
        ASSERT_EQ(l.has_value(), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(formatLiteral(*l), c.text);
        auto v = literalValue(*l);
        ASSERT_TRUE(v);
        EXPECT_EQ(toString(reduce(*v)), c.value);
    }
    // A fraction keeps its written terms; a mixed number becomes improper over its own denominator.
    EXPECT_EQ(*literalValue(*parseLiteral("4/6")), (Fraction{4, 6}));
    EXPECT_EQ(*literalValue(*parseLiteral("2&2/4")), (Fraction{10, 4}));
    EXPECT_FALSE(literalValue(*parseLiteral("3/0")));
}

TEST(ProblemText, ArithmeticBetweenTheNumberAndTheEqualsSign)
{
    struct Case {
        const char* line;
        const char* value;
    };
    const Case cases[] = {
        {"(1)  3/6+1/6=# 4/6;2/3 #", "2/3"},
        {"(10) 4&1/4-2&2/4=# 1&3/4;7/4 #", "7/4"},
        {"(2)  (1/2-1/3)*6=# 1 #", "1"},
        {"(3)  1/5+1/4\\1/3=# 19/20 #", "19/20"}, // ÷ before +
        {"(4)  0.5\\1/8=# 4 #", "4"},
        {"(5)  2/3-1/2-1/12=# 1/12 #", "1/12"}, // from the left
        {"(6) 12\\3\\2=# 2 #", "2"},
        {"(7)  9/7=# 1&2/7 #", "9/7"},
        {" (8) 1 + 2 * 3 = #7#", "7"},
        {"(9) ((1/2))*(4-1)=#3/2#", "3/2"},
        {"(1)  1/0+1=# 1 #", "no value"},
        {"(1)  2\\(1-1)=# 1 #", "no value"},
        {"１．次の計算をしましょう。", "not a problem"},
        {"(1)  1/2# > # 1/3", "not a problem"},
        {"(1) 1/2+=# 1 #", "not a problem"},
        {"(1) (1/2+1/3=# 1 #", "not a problem"},
        {"1/2+1/3=# 5/6 #", "not a problem"},
        {"(1) @B1/2@/+1/3=# 5/6 #", "not a problem"},
        {"(1) 1/2+1/3 #5/6#", "not a problem"},
        {"(1) 1/2+1/3=", "not a problem"},
        {"(1) 1/2+1/3=# 5/6", "not a problem"},
        {"(1)2x3=#6#", "not a problem"},
        {"(1) 2(1+1)=#4#", "not a problem"},
        {"(1) [2+3]/5=#1#", "not a problem"},
        {"(1) 1/2=1/2=#1/2#", "not a problem"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(valueOf(c.line), c.value);
    }

    // The written result before reducing: + and − over the least common denominator, × and ÷ term by term.
    const std::pair<const char*, Fraction> written[] = {
        {"(1) 3/6+1/6=#1#", {4, 6}},    {"(1) 1/2+1/3=#1#", {5, 6}},   {"(1) 2/3*3/4=#1#", {6, 12}},
        {"(1) 3/4\\3/8=#1#", {24, 12}}, {"(1) 1&1/2+1/4=#1#", {7, 4}}, {"(1) 0.5+1/4=#1#", {3, 4}},
        {"(1) 5/6-1/2=#1#", {2, 6}},
    };
    for (const auto& [line, fraction] : written) {
        SCOPED_TRACE(line);
        auto p = parseProblem(line);
        ASSERT_TRUE(p);
        EXPECT_EQ(*evaluate(p->expression, p->expression.operands), fraction);
    }
}

TEST(ProblemText, AnswersAndWhatSurroundsThem)
{
    std::string line = "(3)  3&5/9+3&7/9=#\x81\x40"
                       "7&3/9 ; 7&1/3;22/3 # ";
    auto p = parseProblem(line);
    ASSERT_TRUE(p);
    ASSERT_EQ(p->answers.size(), 3u);
    const char* expected[] = {"7&3/9", "7&1/3", "22/3"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(line.substr(p->answers[i].begin, p->answers[i].end - p->answers[i].begin), expected[i]);
        EXPECT_TRUE(p->answers[i].number);
    }
    EXPECT_TRUE(p->onlyThisProblem);
    EXPECT_EQ(line.substr(p->expression.spans[1].first, 5), "3&7/9");

    EXPECT_FALSE(parseProblem("(1) 1/2+1/3=# 5/6 # cm")->onlyThisProblem);
    EXPECT_FALSE(parseProblem("(1) 1/2+1/3=# 5/6 # (2) 1/4=# 0.25 #")->onlyThisProblem);
    EXPECT_FALSE(parseProblem("(1) 1/2+1/3=# \x82\x54/6 #")->answers[0].number);
    EXPECT_FALSE(parseProblem("(1) 1/2+1/3=#\"5/6#")->answers[0].number);
}

TEST(ProblemText, FirstAnswerAgainstTheArithmetic)
{
    struct Case {
        const char* line;
        const char* message; // "" when the answer agrees or the line is no calculation problem
    };
    const Case cases[] = {
        {"(1)  3/6+1/6=# 4/6;2/3 #", ""},
        {"(1)  3/6+1/6=# 4/7 #", "最初の解答「4/7」は 3/6+1/6 の値（2/3）ではありません"},
        {"(1)  2/3=# 0.67 #", "最初の解答「0.67」は 2/3 の値（2/3）ではありません"},
        {"(1)  1/4=# 0.25 #", ""},
        {"(1)  (1/2+1/3)*6 =# 5 #", ""},
        {"(1)  (1/2+1/3)*6=# 6 #", "最初の解答「6」は (1/2+1/3)*6 の値（5）ではありません"},
        {"(1)  1/2+1/3=# \x82\x54/\x82\x55 #", ""}, // full-width digits: not a number to check
        {"(1)  1/2+1/3=# 5/6;4/5 #", ""},           // only the first answer is checked
        {"(1)  1/0+1=# 1 #", "1/0+1 は計算できません（分母か割る数が0、または数が大きすぎます）"},
        {"(1)  1/2# > # 1/3", ""},
        {"見出しの行", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string line = sjis::encode(c.line);
        auto message = firstAnswerDisagreement(line);
        EXPECT_EQ(message.value_or(""), sjis::encode(c.message));
    }
}

TEST(ProblemText, LargeAndDeepInputIsRefusedNotOverrun)
{
    // Products past 64 bits are "no value", never a wrapped number.
    EXPECT_EQ(valueOf("(1) 999999999*999999999*999999999=#1#"), "no value");
    EXPECT_EQ(valueOf("(1) 999999999/999999998*999999997/999999996*999999995/999999994=#1#"), "no value");
    // Brackets deeper than a problem needs, and arithmetic longer than a line of a worksheet, are not problems.
    std::string deep = "(1) " + std::string(40, '(') + "1" + std::string(40, ')') + "=#1#";
    EXPECT_EQ(valueOf(deep), "not a problem");
    std::string longLine = "(1) 1";
    for (int i = 0; i < 50000; ++i)
        longLine += "+1";
    EXPECT_EQ(valueOf(longLine + "=#50001#"), "not a problem");
    EXPECT_EQ(valueOf("(1) " + std::string(20000, '(')), "not a problem");
}

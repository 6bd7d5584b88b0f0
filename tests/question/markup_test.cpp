#include "question/markup.h"

#include "platform/sjis.h"

#include <gtest/gtest.h>

using namespace tavola;
using namespace tavola::markup;
using Strings = std::vector<std::string>;

TEST(Markup, LinesSplitIntoTextAndAnswerSegments)
{
    struct Case {
        const char* line;
        Strings segments;
        int hashes;
        int answers;
    };
    const Case cases[] = {
        {"", {""}, 0, 0},
        {"2/3+1/6=", {"2/3+1/6="}, 0, 0},
        {"3/4 + 1/4 = #1#", {"3/4 + 1/4 = ", "1", ""}, 2, 1},
        {"#1#", {"", "1", ""}, 2, 1},
        {"a#1#b#2#c", {"a", "1", "b", "2", "c"}, 4, 2},
        // An odd count: the text after the last "#" is cut off but not drawn.
        {"x#1#y#", {"x", "1", "y", ""}, 3, 1},
        {"x#1", {"x", "1"}, 1, 0},
        {"##", {"", "", ""}, 2, 1},
    };
    for (const Case& c : cases) {
        SplitLine split = splitLine(c.line);
        EXPECT_EQ(split.segments, c.segments) << c.line;
        EXPECT_EQ(split.hashCount, c.hashes) << c.line;
        EXPECT_EQ(split.answerCount(), c.answers) << c.line;
    }
}

TEST(Markup, SeparatorsInsideDoubleByteCharactersAreNotSeparators)
{
    // The second bytes of "ー" (81 5B), "＃" (81 94) and "＠" (81 97) are not ASCII separators, but some Shift-JIS
    // characters end in 0x40 ("@"): "　" is 81 40. None of them may cut a segment.
    std::string line = "　＠＃ー"_sj + "#1#";
    SplitLine split = splitLine(line);
    ASSERT_EQ(split.segments.size(), 3u);
    EXPECT_EQ(split.segments[0], "　＠＃ー"_sj);
    EXPECT_EQ(splitSegment("　a"_sj), Strings{"　a"_sj});
    EXPECT_EQ(splitSegment("ソ@Bx"_sj), (Strings{"ソ"_sj, "B", "x"})); // ソ is 83 5C
}

TEST(Markup, AnswersSplitIntoAlternatives)
{
    EXPECT_EQ(splitAnswer("1/2;2/4"), (Strings{"1/2", "2/4"}));
    EXPECT_EQ(splitAnswer("1/2"), Strings{"1/2"});
    EXPECT_EQ(splitAnswer(""), Strings{""});
    EXPECT_EQ(splitAnswer("a;;b;"), (Strings{"a", "", "b", ""}));
}

TEST(Markup, SegmentsSplitIntoTokensAtAt)
{
    struct Case {
        const char* segment;
        Strings tokens;
    };
    const Case cases[] = {
        {"abc@Bdef@/gh", {"abc", "B", "def", "/", "gh"}},
        {"@Bbold@/ plain", {"", "B", "bold", "/", " plain"}},
        {"abc@", {"abc", "", ""}},
        {"@@", {"", "@", ""}},
        {"@A", {"", "A", ""}},
        {"", {""}},
        {"@+big", {"", "+", "big"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitSegment(c.segment), c.tokens) << c.segment;
}

TEST(Markup, PlainSegmentsStartWithADoubleQuote)
{
    EXPECT_TRUE(isPlainSegment("\"a@Bc"));
    EXPECT_EQ(plainText("\"a@Bc"), "a@Bc");
    EXPECT_FALSE(isPlainSegment("a\"b"));
    EXPECT_FALSE(isPlainSegment(""));
}

TEST(Markup, TokensAreClassifiedByTheirFirstCharacter)
{
    struct Case {
        const char* token;
        Code code;
    };
    const Case cases[] = {
        {"B", Code::Bold},
        {"I", Code::Italic},
        {"U", Code::Underline},
        {"X", Code::BoldUnderline},
        {"_", Code::StrikeOut},
        {"/", Code::Plain},
        {"+", Code::Larger},
        {"-", Code::Smaller},
        {"=", Code::BaseSize},
        {"\"", Code::Quote},
        {"A", Code::Text},
        {"@", Code::Text},
        {"", Code::Text},
        {"2/3", Code::Text},
        // A text piece that starts with a code character acts as that code.
        {"-3", Code::Smaller},
        {"Bob", Code::Bold},
    };
    for (const Case& c : cases)
        EXPECT_EQ(classify(c.token), c.code) << c.token;
}

TEST(Markup, StylesEndWithTheSegmentAndSizesLastUntilTheNextSizeCode)
{
    MarkupState state;
    EXPECT_FALSE(state.apply(Code::Text));
    EXPECT_TRUE(state.apply(Code::Bold));
    EXPECT_TRUE(state.apply(Code::Italic));
    EXPECT_EQ(state.style, (TextStyle{true, true, false, false}));
    state.apply(Code::Plain);
    EXPECT_EQ(state.style, TextStyle{});
    state.apply(Code::BoldUnderline);
    EXPECT_EQ(state.style, (TextStyle{true, false, true, false}));

    state.apply(Code::Larger);
    state.apply(Code::Larger); // does not accumulate
    EXPECT_EQ(state.sizeOffset, 4);
    state.startSegment();
    EXPECT_EQ(state.style, TextStyle{});
    EXPECT_EQ(state.sizeOffset, 4);
    state.apply(Code::Smaller);
    EXPECT_EQ(state.sizeOffset, -4);
    state.apply(Code::Quote);
    EXPECT_EQ(state.sizeOffset, -4);
    state.apply(Code::BaseSize);
    EXPECT_EQ(state.sizeOffset, 0);
}

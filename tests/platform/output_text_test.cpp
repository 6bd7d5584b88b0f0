#include "platform/output_text.h"

#include <gtest/gtest.h>

using namespace tavola;

TEST(OutputText, ControlCharactersReachNoTerminal)
{
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {"たし算 [0100]", "たし算 [0100]"},
        {"\x1b]0;owned\x07title", "\\x1B]0;owned\\x07title"},
        {"\x1b[2J", "\\x1B[2J"},
        {"a\rb\nc\td\x7f", "a\\x0Db\\x0Ac\td\\x7F"},
        {"\xc2\x9b"
         "31m",
         "\\u009B31m"},           // CSI as one UTF-8 character
        {"\xc2\xa0", "\xc2\xa0"}, // a no-break space is text
    };
    for (const Case& c : cases)
        EXPECT_EQ(terminalText(c.in), c.out) << c.out;
}

TEST(OutputText, CsvCellsAreNeverFormulas)
{
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {"分数のたし算", "分数のたし算"},
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"+1", "\"'+1\""},
        {"-2+3", "\"'-2+3\""},
        {"@SUM(A1)", "\"'@SUM(A1)\""},
        {"\tx", "\"'\tx\""},
        {"a=b", "a=b"},
        {"copy, \"one\".prp", "\"copy, \"\"one\"\".prp\""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(spreadsheetCell(c.in), c.out) << c.in;
}

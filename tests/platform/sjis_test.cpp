#include "platform/sjis.h"
#include "platform/text_helpers.h"

#include <gtest/gtest.h>

using namespace tavola;

TEST(Sjis, RoundTripsJapaneseAndKeepsBackslashAndTilde)
{
    std::string sj = "問題の行は６０行以下です"_sj;
    EXPECT_EQ(sj.size(), 24u);
    EXPECT_EQ(sjis::toUtf8(sj), "問題の行は６０行以下です");
    // 0x5C stays a backslash in CP932, and the full-width space is 81 40.
    EXPECT_EQ("C:\\"_sj, "C:\\");
    EXPECT_EQ("　"_sj, "\x81\x40");
    // The wave dash, minus and yen sign have proper CP932 codes, not FC FC.
    EXPECT_EQ(sjis::fromUtf8("～"), std::optional<std::string>("\x81\x60"));
    EXPECT_EQ(sjis::fromUtf8("－"), std::optional<std::string>("\x81\x7C"));
}

TEST(Sjis, BrokenBytesNeverFailAndUnrepresentableTextIsRefused)
{
    EXPECT_EQ(sjis::toUtf8(std::string("a\x81", 2)), "a\xEF\xBF\xBD");
    EXPECT_EQ(sjis::toUtf8(std::string("\xFF"
                                       "b",
                                       2)),
              "\xEF\xBF\xBD"
              "b");
    // A name ending in a lone lead byte keeps the blank after it in the message.
    EXPECT_EQ(sjis::toUtf8(fileNotFoundMessage("Graph\\a\x81.bmp")),
              "ファイル Graph\\a\xEF\xBF\xBD.bmp が見つかりません");
    EXPECT_EQ(sjis::toUtf8(fileNotFoundMessage("a\x81")), "ファイル a\xEF\xBF\xBD が見つかりません");
    EXPECT_FALSE(sjis::fromUtf8("emoji 😀").has_value());
    EXPECT_EQ(sjis::encode("😀x"), "?x");
}

TEST(Sjis, FindCharStepsOverSecondBytes)
{
    // 表 is 95 5C: its second byte is not a "\".
    std::string folder = "表\\x"_sj;
    EXPECT_EQ(folder.size(), 4u);
    EXPECT_EQ(sjis::findChar(folder, '\\'), 2u);
    EXPECT_EQ(sjis::charLength(folder, 0), 2u);
    EXPECT_EQ(sjis::charLength(folder, 2), 1u);
}

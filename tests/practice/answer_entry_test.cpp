#include "practice/answer_entry.h"

#include "platform/sjis.h"

#include <gtest/gtest.h>

namespace tavola {
namespace {

class CountingRandom : public Random {
public:
    int below(int n) override { return n > 0 ? (next++ * 7) % n : 0; }
    int next = 0;
};

// Keys of the fraction pad: digits, "/" for 分の, "&" for と, "C" for 消去; the composed answer or "-" for none.
std::string keyIn(const std::string& keys)
{
    FractionPad pad;
    for (char k : keys) {
        if (k == '/')
            pad.bunno();
        else if (k == '&')
            pad.to();
        else if (k == 'C')
            pad.clear();
        else
            pad.digit(k);
    }
    return pad.compose().value_or("-");
}

TEST(AnswerEntry, FractionPadComposesInReadingOrder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"4/3", "3/4"},     {"7/5", "5/7"}, {"2&5/1", "2&1/5"}, {"/1", "1/"},
        {"12/11", "11/12"}, {"4", "-"},     {"4/", "-"},        {"4/3C", "-"},
    };
    for (auto [keys, answer] : cases)
        EXPECT_EQ(keyIn(keys), answer) << keys;

    FractionPad pad;
    pad.digit('4');
    pad.bunno();
    EXPECT_TRUE(pad.barRed);
    pad.digit('3');
    EXPECT_EQ(pad.compose(), "3/4");
    // Composing empties the pad and returns to the denominator.
    EXPECT_FALSE(pad.barRed);
    pad.digit('5');
    EXPECT_EQ(pad.denominator, "5");
}

TEST(AnswerEntry, SoftKeysTakeTwoBytesEachUpTo120)
{
    CountingRandom random;
    auto keys = softKeyCaptions({"あいう"_sj, "ab"
                                              "\x82"},
                                random);
    std::vector<std::string> shown;
    for (const auto& k : keys)
        if (!k.empty()) shown.push_back(sjis::toUtf8(k));
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<std::string>{"ab", "あ", "い", "う"}));
    EXPECT_TRUE(keys[4].empty());

    std::string many;
    for (int i = 0; i < 130; ++i)
        many += "ア"_sj;
    keys = softKeyCaptions({many}, random);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "ア"_sj), 120);
}

TEST(AnswerEntry, BackspaceRemovesWholeCharacters)
{
    EXPECT_EQ(withoutLastCharacter("12"), "1");
    EXPECT_EQ(withoutLastCharacter("1あ"_sj), "1");
    EXPECT_EQ(withoutLastCharacter("あ1"_sj), "あ"_sj);
    EXPECT_EQ(withoutLastCharacter(""), "");
}

TEST(AnswerEntry, ReductionHintOnlyForTheRightValueInTheWrongForm)
{
    struct Case {
        const char* entry;
        const char* answer;
        const char* hint; // "" for none
    };
    const Case cases[] = {
        {"2/4", "1/2", "約分できるよ"},
        {" 2/4 ", "1/2", "約分できるよ"},
        {"6/4", "1&1/2", "帯分数にしよう"},
        {"3/2", "1&1/2", "帯分数にしよう"},
        {"1&2/4", "1&1/2", "約分できるよ"},
        {"4/2", "2", "約分できるよ"},
        {"-2/4", "-1/2", "約分できるよ"},
        {"2/4", "-1/2", ""},
        {"3/4", "1/2", ""},
        {"1/3", "1/2", ""},
        {"1/2", "1/2", ""},
        {"3/2", "3/2", ""},
        {"1&1/2", "3/2", ""},
        {"2/0", "1/2", ""},
        {"x/4", "1/4", ""},
        {"2/4", "ア", ""},
        {"999999999&2/999999998", "999999999&1/499999999", "約分できるよ"},
        {"2000000000/2", "1000000000", ""},
        {"4/6", "1/2;2/3", "約分できるよ"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> accept;
        std::string a = c.answer;
        for (std::size_t p; (p = a.find(';')) != std::string::npos; a.erase(0, p + 1))
            accept.push_back(a.substr(0, p));
        accept.push_back(sjis::encode(a));
        const auto hint = reductionHint(c.entry, accept);
        EXPECT_EQ(hint ? sjis::toUtf8(*hint) : "", c.hint) << c.entry << " for " << c.answer;
    }
}

} // namespace
} // namespace tavola

#include "platform/numbers.h"
#include "platform/seams.h"
#include "platform/settings_store.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace tavola;

TEST(Numbers, RoundEvenSendsExactHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(roundEven(2.5), 2);
    EXPECT_EQ(roundEven(3.5), 4);
    EXPECT_EQ(roundEven(-2.5), -2);
    EXPECT_EQ(roundEven(-1.5), -2);
    EXPECT_EQ(roundEven(6.732), 7);
    EXPECT_EQ(roundEven(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(parseInteger(" 42 "), 42);
    EXPECT_EQ(parseInteger("-5"), -5);
    EXPECT_FALSE(parseInteger("4a").has_value());
    EXPECT_FALSE(parseInteger("").has_value());
    EXPECT_FALSE(parseInteger("99999999999").has_value());
}

TEST(TextHelpers, SplitTrimPadAndExtensions)
{
    std::vector<std::string> parts;
    EXPECT_EQ(splitAtHash("x = #1/2;2/4#", parts), 2);
    EXPECT_EQ(parts, (std::vector<std::string>{"x = ", "1/2;2/4", ""}));
    EXPECT_EQ(splitAtHash("", parts), 0);
    EXPECT_EQ(parts, (std::vector<std::string>{""}));
    EXPECT_EQ(splitAtSemicolon("1/2;2/4", parts), 2);

    EXPECT_EQ(trimFullWidth("  　分数　 "_sj), "分数"_sj);
    EXPECT_EQ(trimFullWidth("　　"_sj), "");
    // 81 40 counts as a space only on a character boundary: after the lead byte 81 it is "@" of 81 81 40.
    EXPECT_EQ(trimFullWidth("a\x81\x81\x40"), "a\x81\x81\x40");
    EXPECT_EQ(trimFullWidth("a　b　"_sj), "a　b"_sj);
    // A hundred thousand trailing blanks take one walk, not one per blank.
    std::string blanks;
    for (int i = 0; i < 100000; ++i)
        blanks += "　"_sj;
    EXPECT_EQ(trimFullWidth("1/2" + blanks), "1/2");

    EXPECT_EQ(padToModel("", "abcdefgh"), "        ");
    EXPECT_EQ(padToModel("ab", "abcdefgh"), " ab     ");
    EXPECT_EQ(padToModel("abcdefgh", "abc"), "abcdefgh");

    EXPECT_EQ(extensionOf("test.PRP"), ".prp");
    EXPECT_EQ(extensionOf("a.b/test.txt"), ".b/t");
    EXPECT_EQ(extensionOf("test"), "");
    EXPECT_EQ(textAfterLast("a\\b\\c.que", '\\'), "c.que");
    EXPECT_EQ(textAfterLast("abc", '\\'), "abc");
}

TEST(TextHelpers, DatesAndTimesOnFifthMarch2005)
{
    FixedClock clock({2005, 3, 5, 9, 7, 0});
    EXPECT_EQ(dottedDate(clock), "2005.03.05");
    EXPECT_EQ(twoDigits(10), "10");
    EXPECT_EQ(twoDigits(0), "00");
}

TEST(TextHelpers, ExistenceChecksShowTheSystemMessage)
{
    ScriptedPrompts prompts;
    EXPECT_FALSE(checkFileExists(prompts, "/nowhere/Main.ind"));
    EXPECT_EQ(prompts.shownUtf8(), (std::vector<std::string>{"ファイル /nowhere/Main.ind が見つかりません"}));
}

namespace {
class SequenceRandom : public Random {
public:
    explicit SequenceRandom(std::vector<int> v) : values(std::move(v)) {}
    int below(int) override { return values[next++ % values.size()]; }
    std::vector<int> values;
    std::size_t next = 0;
};
} // namespace

TEST(TextHelpers, ShuffleSwapsEachItemWithTheDrawnOne)
{
    std::vector<std::string> items{"a", "b", "c"};
    SequenceRandom random({2, 1, 0});
    shuffleList(items, random);
    // i=0 swaps with 2: c b a; i=1 with 1: unchanged; i=2 with 0: a b c.
    EXPECT_EQ(items, (std::vector<std::string>{"a", "b", "c"}));
    SequenceRandom random2({1, 2, 2});
    shuffleList(items, random2);
    EXPECT_EQ(items, (std::vector<std::string>{"b", "c", "a"}));
}

TEST(SettingsStore, FirstReadsCreateTheDefaults)
{
    test::TempFolder dir;
    SettingsStore store(dir.path());
    EXPECT_EQ(store.readText("theSchool", "").value(), "");
    EXPECT_TRUE(store.readFlag("ShowDoYouKnow", true).value());
    EXPECT_EQ(store.readInteger("PaperSize", 630).value(), 630);
    EXPECT_EQ(store.readText("LogOnName", "共通"_sj).value(), "共通"_sj);
    EXPECT_FALSE(store.readFlag("KeyLock", false).value());
    EXPECT_EQ(store.readCommonText("RecDrive", "C:\\").value(), "C:\\");

    // The defaults are now stored: other defaults do not change them.
    EXPECT_EQ(store.readInteger("PaperSize", 1).value(), 630);
    EXPECT_EQ(store.readText("LogOnName", "x").value(), "共通"_sj);
    EXPECT_EQ(store.readCommonText("RecDrive", "D:\\").value(), "C:\\");
}

TEST(SettingsStore, WritesAreSeenAndTypesAreChecked)
{
    test::TempFolder dir;
    SettingsStore store(dir.path());
    ASSERT_TRUE(store.writeInteger("KeyLock", 5));
    EXPECT_TRUE(store.readFlag("KeyLock", false).value());
    ASSERT_TRUE(store.writeInteger("PaperSize", 999));
    EXPECT_EQ(store.readInteger("PaperSize", 630).value(), 999);
    ASSERT_TRUE(store.writeText("theSchool", "ＣＡＩ中学校"_sj));
    EXPECT_EQ(SettingsStore(dir.path()).readText("theSchool", "").value(), "ＣＡＩ中学校"_sj);

    // A text where a flag is read is the invalid-data-type error, and nothing is changed.
    auto r = store.readFlag("theSchool", false);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(sjis::toUtf8(r.message()).find("theSchool"), std::string::npos);
    EXPECT_EQ(store.readText("theSchool", "").value(), "ＣＡＩ中学校"_sj);
}

TEST(SettingsStore, AnUnwritableFolderIsAnErrorNotACrash)
{
    test::TempFolder dir;
    std::ofstream(dir.path() + "/blocker") << "file, not folder";
    SettingsStore store(dir.path() + "/blocker");
    EXPECT_FALSE(store.readInteger("PaperSize", 630).ok());
    EXPECT_FALSE(store.writeText("theSchool", "x").ok());

    // A folder the system refuses to look at (here a name too long) is an error, not an exception.
    SettingsStore refused(dir.path() + "/" + std::string(300, 'x'));
    EXPECT_FALSE(refused.readInteger("PaperSize", 630).ok());
    EXPECT_FALSE(refused.writeFlag("KeyLock", true).ok());
}

TEST(SettingsStore, AFolderNameOutsideShiftJisStillHoldsTheSettings)
{
    // "é" and "한" have no CP932 form: the key files are named by their real path throughout.
    for (const char* folder : {"/josé", "/한글/설정"}) {
        test::TempFolder dir;
        SettingsStore store(dir.path() + folder);
        ASSERT_TRUE(store.readInteger("PaperSize", 546).ok()) << folder;
        ASSERT_TRUE(store.writeText("theSchool", "ＣＡＩ中学校"_sj)) << folder;
        SettingsStore again(dir.path() + folder);
        EXPECT_EQ(again.readInteger("PaperSize", 630).value(), 546) << folder;
        EXPECT_EQ(again.readText("theSchool", "").value(), "ＣＡＩ中学校"_sj) << folder;
        EXPECT_EQ(again.readCommonText("RecDrive", "C:\\").value(), "C:\\") << folder;
    }
}

#include "question/master_file.h"
#include "question/question_messages.h"
#include "question_test_util.h"

#include <gtest/gtest.h>

using namespace tavola;
using tavola::test::sjLines;
using tavola::test::u8;

namespace {

const char* kPath = "C:\\cw\\les\\les1.que";

RecordRead readMarker(const Lines& lines, std::string_view marker, std::size_t before = 0)
{
    auto at = findRecord(lines, marker);
    EXPECT_TRUE(at.has_value()) << marker;
    return readRecord(lines, at.value_or(0), kPath, before);
}

Lines record(std::initializer_list<const char*> body)
{
    Lines lines = sjLines({"[[unit1"});
    Lines rest = sjLines(body);
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

} // namespace

TEST(MasterFile, FindsOnlyTheLineEqualToTheMarker)
{
    Lines lines = sjLines({"[[unit10", "<<ques", "ten", ">>", "]]", " [[unit1", "[[unit1 ", "[[unit1", "<<ques", "one",
                           ">>", "]]", "[[unit1R1", "<<ques", "similar", ">>", "]]"});
    EXPECT_EQ(findRecord(lines, "[[unit1"), 7u);
    EXPECT_EQ(findRecord(lines, "[[unit10"), 0u);
    EXPECT_EQ(findRecord(lines, "[[unit1R1"), 12u);
    EXPECT_FALSE(findRecord(lines, "[[unit2").has_value());
    EXPECT_FALSE(findRecord({}, "[[unit1").has_value());

    EXPECT_EQ(readMarker(lines, "[[unit1").content.problemLines, Lines{"one"});
    EXPECT_EQ(readMarker(lines, "[[unit10").content.problemLines, Lines{"ten"});
    EXPECT_EQ(readMarker(lines, "[[unit1R1").content.problemLines, Lines{"similar"});
}

TEST(MasterFile, BlocksInAnyOrderReadTheSame)
{
    const char* ques[] = {"<<ques", "1/2+1/3=#5/6#", "", "2/3-1/3=#1/3#", ">>"};
    const char* value[] = {"<<value", "546", "True", "20", "3", "4", "2", "5", ">>"};
    const char* kran[] = {"<<kran", "1", "12", "3", "2", "0", "0", "15", "10", ">>"};
    auto build = [&](std::vector<const char* const*> order, std::vector<std::size_t> sizes) {
        Lines lines{"[[unit1"};
        for (std::size_t b = 0; b < order.size(); ++b)
            for (std::size_t k = 0; k < sizes[b]; ++k)
                lines.push_back(sjis::encode(order[b][k]));
        lines.push_back("]]");
        return lines;
    };
    RecordRead usual = readMarker(build({ques, value, kran}, {5, 9, 10}), "[[unit1");
    RecordRead turned = readMarker(build({kran, ques, value}, {10, 5, 9}), "[[unit1");
    ASSERT_TRUE(usual.ok());
    ASSERT_TRUE(turned.ok());
    for (const RecordRead* r : {&usual, &turned}) {
        EXPECT_EQ(r->content.problemLines, (Lines{"1/2+1/3=#5/6#", "", "2/3-1/3=#1/3#"}));
        EXPECT_EQ(r->content.value, (Lines{"546", "True", "20", "3", "4", "2", "5"}));
        EXPECT_EQ(r->content.kran, (Lines{"1", "12", "3", "2", "0", "0", "15", "10", "0", "0"}));
        EXPECT_TRUE(r->content.hasValue);
        EXPECT_FALSE(r->content.hasFont);
        EXPECT_TRUE(r->content.hasKran);
    }
}

TEST(MasterFile, ReadsEveryBlockItKeepsAndSkipsTheOthers)
{
    Lines lines =
        record({"<<header",  "題",       "学校", "氏名",   "extra",     ">>",       "<<ans",  "ignored", ">>",
                "<<dummy",   "7/8",      ">>",   "<<hint", "hint line", ">>",       "<<ques", "{",       "memo",
                "<<value",   "}",        "x#1#", ">>",     "<<graph",   "fig1.bmp", "-1",     "-1",      ">>",
                "<<AGraph",  "ans1.bmp", "10",   "20",     ">>",        "<<kgroup", "1/2",    "ア",      ">>",
                "<<softkey", "1234",     ">>",   "<<font", "16",        "MS 明朝",  "False",  "False",   "False",
                "False",     "0",        ">>",   "]]",     "<<ques",    "outside",  ">>"});
    RecordRead r = readMarker(lines, "[[unit1");
    ASSERT_TRUE(r.ok()) << u8(r.status.message());
    EXPECT_EQ(r.content.header, sjLines({"題", "学校", "氏名", "extra"}));
    EXPECT_EQ(r.content.problemLines, Lines{"x#1#"}); // the "{" … "}" comment is skipped
    EXPECT_EQ(r.content.problemLineIndices, std::vector<std::size_t>{21});
    EXPECT_EQ(r.content.graph, (Lines{"fig1.bmp", "-1", "-1"}));
    EXPECT_EQ(r.content.agraph, (Lines{"ans1.bmp", "10", "20"}));
    EXPECT_EQ(r.content.kgroup, sjLines({"1/2", "ア"}));
    EXPECT_EQ(r.content.softkey, Lines{"1234"});
    EXPECT_EQ(r.content.font.size(), 7u);
    EXPECT_TRUE(r.content.hasFont);
    EXPECT_FALSE(r.content.hasValue);
    EXPECT_FALSE(r.content.hasKran);
}

TEST(MasterFile, CommentOnlyWhenTheFirstLineIsABrace)
{
    RecordRead r = readMarker(record({"<<ques", "a", "{", "b", "}", ">>"}), "[[unit1");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.content.problemLines, (Lines{"a", "{", "b", "}"}));
}

TEST(MasterFile, ARecordWithoutItsEndReadsToTheEndOfTheFile)
{
    RecordRead r = readMarker(record({"<<ques", "a", ">>", "<<kran", "1", ">>"}), "[[unit1");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.content.problemLines, Lines{"a"});
    EXPECT_EQ(r.content.kran.size(), 10u);
}

TEST(MasterFile, RepeatedBlocksAppend)
{
    RecordRead r = readMarker(record({"<<ques", "a",  ">>",      "<<ques", "b", ">>", "<<kran",  "1", ">>", "<<kran",
                                      "2",      ">>", "<<graph", "f.bmp",  "1", ">>", "<<graph", "2", ">>", "]]"}),
                              "[[unit1");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.content.problemLines, (Lines{"a", "b"}));
    EXPECT_EQ(r.content.kran.size(), 20u);
    EXPECT_EQ(r.content.kran[10], "2");
    EXPECT_EQ(r.content.graph, (Lines{"f.bmp", "1", "2"}));
}

TEST(MasterFile, BrokenRecordsAreRefusedWithTheirMessage)
{
    std::string path = kPath;
    Lines sixtyOne{"<<ques"};
    for (int k = 0; k < 61; ++k)
        sixtyOne.push_back("line");
    sixtyOne.push_back(">>");
    Lines sixty(sixtyOne.begin(), sixtyOne.end() - 2);
    sixty.push_back(">>");
    struct Case {
        const char* name;
        Lines body;
        std::string message;  // UTF-8
        std::size_t stopLine; // index in the file, marker = 0
    };
    std::vector<Case> cases = {
        {"61 problem lines", sixtyOne, "問題の行は６０行以下です", 1},
        {"value with 6 lines", {"<<value", "630", "False", "40", "5", "5", "1", ">>"}, "<<value block error", 1},
        {"value with 8 lines",
         {"<<ques", "a", ">>", "<<value", "630", "False", "40", "5", "5", "1", "7", "7", ">>"},
         "<<value block error",
         4},
        {"font with 6 lines", {"<<font", "12", "a", "b", "c", "d", "e", ">>"}, "<<font block error", 1},
        {"kran with 11 lines",
         {"<<kran", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", ">>"},
         "<<kran block error",
         1},
        {"unclosed kran",
         {"<<ques", "a", ">>", "<<kran", "1", "2"},
         path + "：<<kran ブロックが >> で閉じられていません",
         4},
        {"unclosed ques", {"<<ques", "a", "]]"}, path + "：<<ques ブロックが >> で閉じられていません", 1},
        {"ques on the last line", {"<<ques"}, path + "：<<ques ブロックが >> で閉じられていません", 1},
        {"unclosed comment",
         {"<<ques", "{", "memo", ">>", "]]"},
         path + "：<<ques ブロックの { が } で閉じられていません",
         1},
        {"unclosed ans", {"<<ans"}, path + "：<<ans ブロックが >> で閉じられていません", 1},
        {"paper width as text",
         {"<<value", "A4", "False", "40", "5", "5", "1", "7", ">>"},
         path + " 3行目：数値ではありません：A4",
         2},
        {"option bits as text",
         {"<<value", "630", "False", "40", "5", "5", "1", "seven", ">>"},
         path + " 9行目：数値ではありません：seven",
         8},
        {"line spacing True",
         {"<<value", "630", "False", "True", "5", "5", "1", "7", ">>"},
         path + " 5行目：数値ではありません：True",
         4},
        {"font size as text",
         {"<<font", "大", "MS 明朝", "False", "False", "False", "False", "0", ">>"},
         path + " 3行目：数値ではありません：大",
         2},
        {"kran item as text", {"<<kran", "5", "15", "x2", ">>"}, path + " 5行目：数値ではありません：x2", 4},
        {"figure position as text",
         {"<<graph", "a.bmp", "10", "20", "b.bmp", "-1", "left", ">>"},
         path + " 8行目：数値ではありません：left",
         7},
        {"answer figure position empty",
         {"<<AGraph", "a.bmp", "", "20", ">>"},
         path + " 4行目：数値ではありません：",
         3},
    };
    for (const Case& c : cases) {
        Lines lines{"[[unit1"};
        for (const std::string& l : c.body)
            lines.push_back(sjis::encode(l));
        RecordRead r = readRecord(lines, 0, path);
        EXPECT_FALSE(r.ok()) << c.name;
        EXPECT_EQ(u8(r.status.message()), c.message) << c.name;
        EXPECT_EQ(r.stopLine, c.stopLine) << c.name;
        EXPECT_TRUE(r.content.problemLines.empty() && r.content.value.empty()) << c.name;
    }

    // 60 lines pass; with lines already on the worksheet the limit counts them too.
    Lines ok{"[[unit1"};
    ok.insert(ok.end(), sixty.begin(), sixty.end());
    EXPECT_TRUE(readRecord(ok, 0, path).ok());
    RecordRead over = readRecord(ok, 0, path, 1);
    EXPECT_EQ(u8(over.status.message()), "問題の行は６０行以下です");
}

TEST(MasterFile, NumbersThatAreAcceptedWhereNumbersAreRead)
{
    // "True"/"False" on value lines 1 and 7, blanks and signs, the flag on line 2, figure names and positions
    // beyond the 15th figure, which are never read.
    Lines figures{"<<graph"};
    for (int k = 0; k < 16; ++k)
        figures.insert(figures.end(), {"f.bmp", "-1", k == 15 ? "later" : " 12 "});
    figures.push_back(">>");
    Lines lines{"[[unit1", "<<value", "True", "whatever", "-5", "+3", "0", "100", "False", ">>"};
    lines.insert(lines.end(), figures.begin(), figures.end());
    lines.push_back("]]");
    RecordRead r = readRecord(lines, 0, kPath);
    ASSERT_TRUE(r.ok()) << u8(r.status.message());
    EXPECT_EQ(r.content.graph.size(), 48u);
}

TEST(MasterFile, KranIsPaddedToTen)
{
    RecordRead r = readMarker(record({"<<kran", "1", "2", "3", "4", "5", "6", "7", "8", ">>"}), "[[unit1");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.content.kran, (Lines{"1", "2", "3", "4", "5", "6", "7", "8", "0", "0"}));
    RecordRead empty = readMarker(record({"<<kran", ">>"}), "[[unit1");
    EXPECT_EQ(empty.content.kran, Lines(10, "0"));
}

TEST(MasterFile, DummyAndHintBlocksComeBackFromTheReader)
{
    struct Case {
        const char* name;
        std::vector<const char*> body; // after "[[unit1"
        std::vector<const char*> dummy;
        std::vector<const char*> hint;
    };
    const Case cases[] = {
        {"as the editor writes them",
         {"<<ques", "(1) # ア #", ">>", "<<dummy", "イ", "ウ", ">>", "<<hint", "通分します", ">>", "]]"},
         {"イ", "ウ"},
         {"通分します"}},
        {"an empty dummy block and no hint", {"<<ques", "# 1 #", ">>", "<<dummy", ">>", "]]"}, {}, {}},
        {"repeated blocks append",
         {"<<hint", "h1", ">>", "<<ques", "# 1 #", ">>", "<<hint", "h2", ">>", "]]"},
         {},
         {"h1", "h2"}},
        {"a hint without its >> ends with its record",
         {"<<hint", "h1", "]]", "[[unit2", "<<hint", "h2", ">>", "]]"},
         {},
         {"h1"}},
        {"a record the unit reader refuses",
         {"<<value", "1", ">>", "<<dummy", "d", ">>", "<<hint", "h", ">>"},
         {"d"},
         {"h"}},
    };
    auto lines = [](const std::vector<const char*>& utf8) {
        Lines l;
        for (const char* line : utf8)
            l.push_back(sjis::encode(line));
        return l;
    };
    for (const Case& c : cases) {
        Lines file{"[[unit1"};
        Lines body = lines(c.body);
        file.insert(file.end(), body.begin(), body.end());
        RecordContent blocks = recordBlocks(file, 0);
        EXPECT_EQ(blocks.dummy, lines(c.dummy)) << c.name;
        EXPECT_EQ(blocks.hint, lines(c.hint)) << c.name;
        RecordRead read = readRecord(file, 0, kPath);
        if (read.ok()) {
            EXPECT_EQ(read.content.dummy, blocks.dummy) << c.name;
            EXPECT_EQ(read.content.hint, blocks.hint) << c.name;
        }
    }
}

TEST(MasterFile, EditorOrders)
{
    EditorRecord r;
    r.marker = "[[unit2";
    r.ques = {"q"};
    r.kgroup = {"k"};
    r.graph = {"g.bmp", "1", "2"};
    r.hint = {"h"};
    r.layout = {"<<value", "v", ">>"};
    EXPECT_EQ(editorRecordLines(r), (Lines{"[[unit2", "<<ques", "q",       ">>",      "<<kgroup", "k",  ">>",
                                           "<<dummy", ">>",     "<<graph", "g.bmp",   "1",        "2",  ">>",
                                           "<<hint",  "h",      ">>",      "<<value", "v",        ">>", "]]"}));
    EXPECT_EQ(appendedRecordLines(r),
              (Lines{"[[unit2", "<<ques",  "q",     ">>", "<<kgroup", "k",  ">>",     "<<dummy", ">>", "<<value", "v",
                     ">>",      "<<graph", "g.bmp", "1",  "2",        ">>", "<<hint", "h",       ">>", "]]"}));

    // Replacing keeps the record's place and the lines around it; a new one goes to the end.
    Lines file{"head", "[[unit2", "<<ques", "old", ">>", "]]", "[[unit3", "]]"};
    putRecord(file, r);
    Lines expected{"head"};
    Lines rec = editorRecordLines(r);
    expected.insert(expected.end(), rec.begin(), rec.end());
    expected.insert(expected.end(), {"[[unit3", "]]"});
    EXPECT_EQ(file, expected);

    r.marker = "[[unit2R1";
    putRecord(file, r);
    Lines appended = appendedRecordLines(r);
    EXPECT_EQ(Lines(file.end() - static_cast<std::ptrdiff_t>(appended.size()), file.end()), appended);

    // A record without "]]" is removed to the end of the file.
    Lines open{"a", "[[unit5", "<<ques", "x"};
    EXPECT_EQ(removeRecord(open, "[[unit5"), 1u);
    EXPECT_EQ(open, Lines{"a"});
    EXPECT_FALSE(removeRecord(open, "[[unit5").has_value());
}

TEST(MasterFile, CopyOrder)
{
    CopyRecord c;
    c.title = "T";
    c.school = "S";
    c.name = "N";
    c.problemLines = {"p1", "p2"};
    c.value = {"630", "False", "30", "5", "5", "1", "7"};
    c.font = {"14", "MS", "False", "False", "False", "False", "F"};
    c.kran = Lines(10, "0");
    Lines lines = copyRecordLines(c);
    Lines expected{"[[unitX", "<<header", "T", "S", "N", ">>", "<<ques", "p1", "p2", ">>", "<<ans", ">>", "<<value"};
    expected.insert(expected.end(), c.value.begin(), c.value.end());
    expected.insert(expected.end(), {">>", "<<font"});
    expected.insert(expected.end(), c.font.begin(), c.font.end());
    expected.insert(expected.end(), {">>", "<<kran"});
    expected.insert(expected.end(), c.kran.begin(), c.kran.end());
    expected.insert(expected.end(), {">>", "<<kgroup", ">>", "]]"});
    EXPECT_EQ(lines, expected);

    c.graph = {"a.bmp", "40", "98"};
    c.agraph = {"b.bmp", "-1", "-1"};
    lines = copyRecordLines(c);
    auto graph = std::find(lines.begin(), lines.end(), "<<graph");
    ASSERT_NE(graph, lines.end());
    EXPECT_EQ(Lines(graph, graph + 10),
              (Lines{"<<graph", "a.bmp", "40", "98", ">>", "<<AGraph", "b.bmp", "-1", "-1", ">>"}));
    EXPECT_EQ(*(graph - 1), ">>"); // right after "<<ans", ">>"
}

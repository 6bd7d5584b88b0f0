#include "worksheet/figures.h"
#include "worksheet/worksheet.h"

#include "platform/line_file.h"
#include "platform/sjis.h"
#include "question/copy_file.h"
#include "question/unit_reader.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tavola {
namespace {

void writeBytes(const std::string& realPath, const std::string& bytes)
{
    std::ofstream out(realPath, std::ios::binary);
    out << bytes;
}

// A figure of the test courseware (121 × 29 pixels), as its bytes.
std::string smallBmp()
{
    std::ifstream in(std::string(TAVOLA_SAMPLE_DIR) + "/tasu/Graph/bar3of5.bmp", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Worksheet, MadeFromAUnitWithItsSettingsAndBackAsContent)
{
    UnitData unit;
    unit.title = "題"_sj;
    unit.school = "小学校"_sj;
    unit.name = "　年　組　番　氏名"_sj;
    unit.problemLines = {"1/2+1/3=#5/6#"};
    unit.graph = {"a.bmp", "-1", "-1"};
    unit.kgroup = {"5/6"};
    unit.path = "C:\\cw\\Bun1.que";
    unit.shortKey = "Bun1.que-U1";
    unit.windowKey = "C:\\cw\\Bun1.que-U1";
    unit.position = {1, 1, 1, 0};

    // Without "<<value", "<<font", "<<kran": A4, spacing 30, size 14, square brackets of width 10.
    Worksheet sheet = makeWorksheet(unit, true);
    EXPECT_EQ(sheet.settings.paper.width, 630);
    EXPECT_EQ(sheet.settings.paper.height, 891);
    EXPECT_EQ(sheet.settings.lineSpacing, 30);
    EXPECT_EQ(sheet.settings.characterSize, 14);
    EXPECT_EQ(sheet.settings.optionBits, 7);
    EXPECT_EQ(sheet.settings.answerBox.shape, 2);
    EXPECT_EQ(sheet.settings.answerBox.width, 10);
    EXPECT_TRUE(sheet.settings.answersShown);
    EXPECT_TRUE(sheet.master);
    EXPECT_FALSE(sheet.changed);

    sheet.settings.characterSize = 18;
    UnitData content = worksheetContent(sheet);
    EXPECT_EQ(content.header, (Lines{"題"_sj, "小学校"_sj, "　年　組　番　氏名"_sj}));
    EXPECT_EQ(content.problemLines, unit.problemLines);
    EXPECT_EQ(content.graph, unit.graph);
    EXPECT_EQ(content.kgroup, unit.kgroup);
    EXPECT_EQ(content.value.size(), 7u);
    EXPECT_EQ(content.value[1], "True");
    EXPECT_EQ(content.font.front(), "18");
    EXPECT_EQ(content.font.back(), "ＭＳ 明朝"_sj) << "the face in use, not \"0\"";
    EXPECT_EQ(content.kran.size(), 10u);
    // Read back, the content gives the same settings.
    Worksheet again = makeWorksheet(content, true);
    EXPECT_EQ(again.settings.characterSize, 18);
    EXPECT_EQ(again.settings.answerBox, sheet.settings.answerBox);

    UnitData edited = content;
    edited.problemLines = {"x"};
    takeContent(sheet, edited);
    EXPECT_EQ(sheet.problemLines, Lines{"x"});
    EXPECT_TRUE(sheet.changed);
}

TEST(Worksheet, CopyFileRoundTripKeepsPlacedFiguresAndSettings)
{
    UnitData unit;
    unit.title = "題"_sj;
    unit.school = "小学校"_sj;
    unit.name = "氏名"_sj;
    unit.problemLines = {"1/2+1/3=#5/6#", ""};
    unit.graph = {"a.bmp", "-1", "-1"};
    Worksheet sheet = makeWorksheet(unit, false);
    sheet.settings.characterSize = 20;
    sheet.settings.answerBox.shape = 5;
    setFigurePosition(sheet.graph, 1, 90, 98); // as a pass placed it

    test::TempFolder folder;
    const std::string path = folder.systemPath("copy.prp");
    ASSERT_TRUE(writeCopyFile(path, copyRecordOf(sheet)).ok());
    UnitReader reader;
    ASSERT_TRUE(readCopyFile(reader, path).ok());
    Worksheet back = makeWorksheet(reader.unit(), false);
    EXPECT_EQ(back.title, sheet.title);
    EXPECT_EQ(back.school, sheet.school);
    EXPECT_EQ(back.problemLines, sheet.problemLines);
    EXPECT_EQ(back.graph, (Lines{"a.bmp", "90", "98"}));
    EXPECT_EQ(back.settings.characterSize, 20);
    EXPECT_EQ(back.settings.answerBox, sheet.settings.answerBox);
    EXPECT_EQ(back.settings.textFace, sheet.settings.textFace);
    EXPECT_FALSE(back.master);
}

TEST(Figures, ListLines)
{
    Lines lines = {"a.bmp", "10", "20", "b.bmp", "x", "-1", "c.bmp"};
    EXPECT_EQ(figureAt(lines, 1).file, "a.bmp");
    EXPECT_EQ(figureAt(lines, 1).x, 10);
    EXPECT_EQ(figureAt(lines, 1).y, 20);
    EXPECT_EQ(figureAt(lines, 2).x, -1) << "not a number: not placed";
    EXPECT_EQ(figureAt(lines, 3).file, "") << "an incomplete figure";
    EXPECT_EQ(figureAt(lines, 0).file, "");
    setFigurePosition(lines, 2, 5, 6);
    EXPECT_EQ(lines[4], "5");
    EXPECT_EQ(lines[5], "6");
    setFigurePosition(lines, 3, 1, 1);
    EXPECT_EQ(lines.size(), 7u);
}

TEST(Figures, LoadingReportsMissingAndBrokenFiles)
{
    test::TempFolder folder;
    writeBytes(folder.path() + "/good.bmp", smallBmp());
    writeBytes(folder.path() + "/bad.bmp", "BMnot really");
    const std::string dir = folder.systemPath();

    Worksheet sheet;
    sheet.graph = {"good.bmp", "1", "1", "none.bmp", "1", "1", "bad.bmp", "1", "1"};
    sheet.agraph = {"good.bmp", "0", "0"};
    for (int k = 0; k < 20; ++k)
        sheet.agraph.insert(sheet.agraph.end(), {"good.bmp", "0", "0"});
    ScriptedPrompts prompts;
    FigurePictures pictures = loadFigurePictures(sheet, dir, prompts);

    ASSERT_EQ(pictures.problem.size(), 3u);
    ASSERT_NE(pictures.problem[0], nullptr);
    EXPECT_EQ(pictures.problem[0]->width, 121);
    EXPECT_EQ(pictures.problem[1], nullptr);
    EXPECT_EQ(pictures.problem[2], nullptr);
    EXPECT_EQ(pictures.answer.size(), 15u) << "only 15 figures a side are loaded";
    EXPECT_EQ(prompts.shownUtf8(),
              (std::vector<std::string>{"ファイル " + sjis::toUtf8(dir) + "none.bmp が見つかりません",
                                        sjis::toUtf8(dir) + "bad.bmp は正しいビットマップではありません"}));

    EXPECT_EQ(loadClassFlag(dir), nullptr);
    writeBytes(folder.path() + "/classFlag.bmp", smallBmp());
    ASSERT_NE(loadClassFlag(dir), nullptr);
    EXPECT_EQ(loadClassFlag(dir)->height, 29);
}

TEST(Figures, NamesOutsideTheFolderAndFilesPastTheLimitAreRefusedUnread)
{
    test::TempFolder folder;
    std::filesystem::create_directories(folder.path() + "/Graph/sub");
    writeBytes(folder.path() + "/secret.bmp", smallBmp());
    writeBytes(folder.path() + "/Graph/sub/ok.bmp", smallBmp());
    writeBytes(folder.path() + "/Graph/huge.bmp", smallBmp());
    std::filesystem::resize_file(folder.path() + "/Graph/huge.bmp", kCoursewareFileLimit + 1);
    const std::string dir = folder.systemPath("Graph\\");
    Worksheet sheet;
    sheet.graph = {"..\\secret.bmp", "1", "1", "sub/../../secret.bmp", "1", "1", "/etc/x.bmp", "1", "1",
                   "C:\\x.bmp",      "1", "1", "sub\\ok.bmp",          "1", "1", "huge.bmp",   "1", "1"};
    ScriptedPrompts prompts;
    FigurePictures pictures = loadFigurePictures(sheet, dir, prompts);
    ASSERT_EQ(pictures.problem.size(), 6u);
    for (std::size_t k : {0u, 1u, 2u, 3u, 5u})
        EXPECT_EQ(pictures.problem[k], nullptr) << k;
    EXPECT_NE(pictures.problem[4], nullptr);
    const std::string outside = " はグラフのフォルダーの外を指しているため読み込みません";
    EXPECT_EQ(prompts.shownUtf8(),
              (std::vector<std::string>{"図のファイル名 ..\\secret.bmp" + outside,
                                        "図のファイル名 sub/../../secret.bmp" + outside,
                                        "図のファイル名 /etc/x.bmp" + outside, "図のファイル名 C:\\x.bmp" + outside,
                                        "ファイル " + sjis::toUtf8(dir) + "huge.bmp は大きすぎて読み込めません"}));
    // Text files of the courseware past the limit are not read either.
    writeBytes(folder.path() + "/big.que", "[[unit1\r\n");
    std::filesystem::resize_file(folder.path() + "/big.que", kCoursewareFileLimit + 1);
    EXPECT_FALSE(readLineFile(folder.systemPath("big.que")));
}

// A 1-bit bitmap of w × h pixels, all black: small on disk, w × h pixels in memory.
std::string oneBitBmp(int w, int h)
{
    const int stride = (w + 31) / 32 * 4;
    const int offset = 14 + 40 + 8;
    std::string b(static_cast<std::size_t>(offset + stride * h), '\0');
    auto put = [&b](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, static_cast<std::uint32_t>(b.size()), 4);
    put(10, offset, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(w), 4);
    put(22, static_cast<std::uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, 1, 2);
    put(58, 0xFFFFFF, 4); // palette: black, white
    return b;
}

TEST(Figures, OneFileIsDecodedOnceAndThePagesPixelsAreCapped)
{
    test::TempFolder folder;
    writeBytes(folder.path() + "/big.bmp", oneBitBmp(4096, 4096)); // a quarter of the cap
    Worksheet sheet;
    for (int k = 0; k < 30; ++k)
        sheet.graph.insert(sheet.graph.end(), {"big.bmp", "1", "1"});
    ScriptedPrompts prompts;
    FigurePictures pictures = loadFigurePictures(sheet, folder.systemPath(), prompts);

    ASSERT_EQ(pictures.problem.size(), 15u);
    for (std::size_t k = 0; k < 15; ++k) {
        if (k < 4)
            EXPECT_EQ(pictures.problem[k], pictures.problem[0]) << k; // the same decoded picture
        else
            EXPECT_EQ(pictures.problem[k], nullptr) << k;
    }
    ASSERT_NE(pictures.problem[0], nullptr);
    EXPECT_EQ(prompts.shownUtf8(), (std::vector<std::string>{sjis::toUtf8(folder.systemPath()) +
                                                             "big.bmp は図の大きさの合計を超えるため表示しません"}));
}

} // namespace
} // namespace tavola

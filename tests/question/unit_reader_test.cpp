#include "question/unit_reader.h"
#include "question_test_util.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace tavola;
using tavola::test::sjLines;
using tavola::test::u8;

namespace {

Lines unitRecord(const std::string& marker, Lines ques, Lines graph = {}, Lines agraph = {})
{
    Lines r{marker, "<<ques"};
    r.insert(r.end(), ques.begin(), ques.end());
    r.push_back(">>");
    if (!graph.empty()) {
        r.push_back("<<graph");
        r.insert(r.end(), graph.begin(), graph.end());
        r.push_back(">>");
    }
    if (!agraph.empty()) {
        r.push_back("<<AGraph");
        r.insert(r.end(), agraph.begin(), agraph.end());
        r.push_back(">>");
    }
    r.insert(r.end(), {"<<value", "546", "True", "20", "3", "4", "2", "5", ">>", "<<kgroup", "k", ">>", "]]"});
    return r;
}

Lines concat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

class UnitReaderTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const Lines& lines)
    {
        std::string path = dir.systemPath(name);
        EXPECT_TRUE(writeLineFile(path, lines));
        return path;
    }

    ReadRequest request(const std::string& path, int section, int unit, ReadMode mode = ReadMode::OpenUnit)
    {
        ReadRequest r;
        r.path = path;
        r.marker = "[[unit" + std::to_string(unit);
        r.position = {1, section, unit, 0};
        r.mode = mode;
        r.lessonTitle = sjis::encode("分数");
        r.sectionTitle = sjis::encode("たし算");
        r.unitTitle = sjis::encode("通分");
        return r;
    }

    test::TempFolder dir;
    UnitReader reader;
};

} // namespace

TEST_F(UnitReaderTest, OpeningAMasterUnitBuildsItsTitleAndCaptionLines)
{
    std::string path = write("les2.que", concat({unitRecord("[[unit1", {"one"}), unitRecord("[[unit3", {"a", "b"})}));
    ReadRequest r = request(path, 2, 3);
    r.windowKey = path + "-U3";
    ASSERT_TRUE(reader.read(r));
    const UnitData& u = reader.unit();
    EXPECT_EQ(u8(u.title), "分数//たし算§2-3 通分");
    EXPECT_EQ(u8(u.school), "小学校");
    EXPECT_EQ(u8(u.name), "　年　組　番　氏名");
    EXPECT_EQ(u.problemLines, (Lines{"a", "b"}));
    EXPECT_EQ(u.kgroup, Lines{"k"});
    EXPECT_TRUE(u.hasValue);
    EXPECT_TRUE(u.fromMaster);
    EXPECT_EQ(u.path, path);
    EXPECT_EQ(u.windowKey, path + "-U3");
    EXPECT_EQ(u.position, (UnitPosition{1, 2, 3, 0}));
}

TEST_F(UnitReaderTest, AddingJoinsTitlesBySection)
{
    std::string s2 = write("les2.que", concat({unitRecord("[[unit3", {"a"}), unitRecord("[[unit5", {"b"})}));
    std::string s4 = write("les4.que", unitRecord("[[unit1", {"c"}));
    ASSERT_TRUE(reader.read(request(s2, 2, 3)));
    UnitData sheet = reader.unit();

    // Just opened: lesson title, "//", the sheet's own section and unit, then ",5" for the same section.
    ASSERT_TRUE(reader.addUnit(sheet, request(s2, 2, 5)));
    EXPECT_EQ(u8(sheet.title), "分数//§2-3,5");
    EXPECT_FALSE(sheet.fromMaster);
    // No longer a master unit: its own title is continued, with " §4-1" for another section.
    ASSERT_TRUE(reader.addUnit(sheet, request(s4, 4, 1)));
    EXPECT_EQ(u8(sheet.title), "分数//§2-3,5 §4-1");
    EXPECT_EQ(sheet.problemLines, (Lines{"a", "b", "c"}));
    EXPECT_EQ(sheet.builtTitle, sheet.title);

    // A master sheet added to after another add continues its built title.
    ASSERT_TRUE(reader.read(request(s2, 2, 5)));
    UnitData other = reader.unit();
    UnitData master = other;
    ASSERT_TRUE(reader.addUnit(other, request(s4, 4, 1)));
    master.builtTitle = sjis::encode("built");
    ASSERT_TRUE(reader.addUnit(master, request(s2, 2, 3)));
    EXPECT_EQ(u8(master.title), "built §2-3");
}

TEST_F(UnitReaderTest, AddedFiguresArePlacedAnewAndLayoutStays)
{
    std::string first = write("a.que", unitRecord("[[unit1", {"x"}, {"f1.bmp", "40", "98"}, {"a1.bmp", "0", "0"}));
    Lines record = unitRecord("[[unit2", {"y"}, {"f2.bmp", "100", "200", "f3.bmp", "1", "2"}, {"a2.bmp", "5", "6"});
    std::replace(record.begin(), record.end(), std::string("546"), std::string("891"));
    std::string second = write("b.que", record);
    ASSERT_TRUE(reader.read(request(first, 1, 1)));
    UnitData sheet = reader.unit();
    ASSERT_TRUE(reader.addUnit(sheet, request(second, 1, 2)));
    EXPECT_EQ(sheet.graph, (Lines{"f1.bmp", "40", "98", "f2.bmp", "-1", "-1", "f3.bmp", "-1", "-1"}));
    EXPECT_EQ(sheet.agraph, (Lines{"a1.bmp", "0", "0", "a2.bmp", "5", "6"}));
    EXPECT_EQ(sheet.value[0], "546");
    EXPECT_EQ(sheet.kgroup, Lines{"k"});
}

TEST_F(UnitReaderTest, AddLimitsChangeNothing)
{
    Lines fifty;
    for (int k = 0; k < 50; ++k)
        fifty.push_back("line");
    Lines eleven(11, "more");
    Lines ten(10, "more");
    std::string path = write(
        "m.que", concat({unitRecord("[[unit1", fifty), unitRecord("[[unit2", eleven), unitRecord("[[unit3", ten)}));
    ASSERT_TRUE(reader.read(request(path, 1, 1)));
    UnitData sheet = reader.unit();
    UnitData before = sheet;

    Status s = reader.addUnit(sheet, request(path, 1, 2));
    EXPECT_EQ(u8(s.message()), "問題の行は６０行以下です");
    EXPECT_EQ(sheet.problemLines, before.problemLines);
    EXPECT_EQ(sheet.title, before.title);
    EXPECT_TRUE(sheet.fromMaster);

    ASSERT_TRUE(reader.addUnit(sheet, request(path, 1, 3)));
    EXPECT_EQ(sheet.problemLines.size(), 60u);

    // 15 problem figures: no more units.
    UnitData full = before;
    for (int k = 0; k < 15; ++k)
        full.graph.insert(full.graph.end(), {"f.bmp", "-1", "-1"});
    UnitData fullBefore = full;
    EXPECT_EQ(u8(UnitReader::checkCanAdd(full).message()), "これ以上追加できません");
    EXPECT_EQ(u8(reader.addUnit(full, request(path, 1, 3)).message()), "これ以上追加できません");
    EXPECT_EQ(full.problemLines, fullBefore.problemLines);
    full.graph.resize(14 * 3);
    EXPECT_TRUE(UnitReader::checkCanAdd(full));

    // A missing unit: no message.
    EXPECT_TRUE(isNotFound(reader.addUnit(sheet, request(path, 1, 9))));
}

TEST_F(UnitReaderTest, NotFoundAndRefusedReadsKeepTheUnit)
{
    std::string path =
        write("a.que", concat({unitRecord("[[unit1", {"keep"}), sjLines({"[[unit2", "<<value", "630", ">>", "]]"})}));
    std::string empty = write("empty.que", {});
    ASSERT_TRUE(reader.read(request(path, 1, 1)));

    EXPECT_TRUE(isNotFound(reader.read(request(path, 1, 7))));
    EXPECT_TRUE(isNotFound(reader.read(request(empty, 1, 1))));
    EXPECT_TRUE(isNotFound(reader.read(request(dir.systemPath("none.que"), 1, 1))));
    Status broken = reader.read(request(path, 3, 2));
    EXPECT_EQ(broken.message(), "<<value block error");
    EXPECT_EQ(reader.unit().problemLines, Lines{"keep"});
    // The refused reads leave section 1 as the one an add continues with ",".
    UnitData sheet = reader.unit();
    ASSERT_TRUE(reader.addUnit(sheet, request(path, 1, 1)));
    EXPECT_EQ(u8(sheet.title), "分数//§1-1,1");
}

TEST_F(UnitReaderTest, CopyFilesNeedThreeHeaderLines)
{
    Lines copy = sjLines({"[[unitX", "<<header", "題名", "学校", "氏名", ">>", "<<ques", "p", ">>", "]]"});
    std::string good = write("good.prp", copy);
    ASSERT_TRUE(reader.read(copyReadRequest(good, 2)));
    EXPECT_EQ(u8(reader.unit().title), "題名");
    EXPECT_EQ(u8(reader.unit().school), "学校");
    EXPECT_EQ(u8(reader.unit().name), "氏名");
    EXPECT_FALSE(reader.unit().fromMaster);
    EXPECT_EQ(reader.unit().windowKey, good);
    EXPECT_EQ(reader.unit().position, (UnitPosition{2, 0, 0, 0}));

    for (std::size_t keep : {0u, 2u}) {
        Lines shortHeader = sjLines({"[[unitX", "<<header"});
        for (std::size_t k = 0; k < keep; ++k)
            shortHeader.push_back("h");
        shortHeader.insert(shortHeader.end(), {">>", "<<ques", "p", ">>", "]]"});
        std::string bad = write("bad.prp", shortHeader);
        ReadRequest r = copyReadRequest(bad);
        r.mode = ReadMode::OpenCopy3;
        Status s = reader.read(r);
        EXPECT_EQ(u8(s.message()), u8(bad) + "：<<header ブロックには題名・学校名・氏名の３行が必要です");
        EXPECT_EQ(u8(reader.unit().title), "題名");
    }
}

TEST_F(UnitReaderTest, RequestsFromTheIndex)
{
    std::filesystem::create_directories(dir.path() + "/les");
    write("Main.ind", sjLines({"題", "", "分数,les\\\\les", "小数,dec\\\\dec"}));
    write("les/les.ind", sjLines({"分数の計算", "[[sect1", "たし算", "<<", "通分", "約分", ">>", "]]"}));
    CoursewareIndex index(dir.systemPath());
    ASSERT_TRUE(index.readMainIndex());
    ASSERT_TRUE(index.readLesson(1));
    ReadRequest r = unitReadRequest(index, {1, 1, 2, 1});
    EXPECT_EQ(r.path, dir.systemPath("les\\les1.que"));
    EXPECT_EQ(r.marker, "[[unit2R1");
    // The lesson's part of the title is its entry in the lesson list (its name in Main.ind), not the sub-index title.
    EXPECT_EQ(u8(r.lessonTitle), "分数");
    EXPECT_EQ(u8(r.sectionTitle), "たし算");
    EXPECT_EQ(u8(r.unitTitle), "約分");
    EXPECT_EQ(r.shortKey, "les1.que-U2R1");
    // A unit past the section's lines has no name, and nothing breaks.
    EXPECT_TRUE(unitReadRequest(index, {1, 9, 99, 0}).unitTitle.empty());
    // Another lesson than the one the index holds still has its lesson name; its section and unit texts come
    // from the unit selection window's choice.
    ReadRequest other = unitReadRequest(index, {2, 1, 1, 0});
    EXPECT_EQ(u8(other.lessonTitle), "小数");
    EXPECT_TRUE(other.sectionTitle.empty());
}

#include "courseware/menu_courseware.h"
#include "courseware/unit_tree.h"

#include <gtest/gtest.h>

using namespace tavola;

namespace {

// The tree as indented UTF-8 lines, for readable comparisons.
void flatten(const IndexTreeNode& node, int depth, std::vector<std::string>& out)
{
    out.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + sjis::toUtf8(node.text));
    for (const IndexTreeNode& child : node.children)
        flatten(child, depth + 1, out);
}

std::vector<std::string> flat(const IndexTreeNode& node)
{
    std::vector<std::string> out;
    flatten(node, 0, out);
    return out;
}

Lines encoded(const std::vector<std::string>& utf8Lines)
{
    Lines lines;
    for (const std::string& l : utf8Lines)
        lines.push_back(sjis::encode(l));
    return lines;
}

} // namespace

TEST(IndexTree, SectionsAndUnitsAsTheIndexReaderReadsThem)
{
    Lines lines = encoded({
        "分数のたし算", "a line outside a block",
        "[[sect1",      "同じ分母",
        "<<",           "分母が同じ１",
        "分母が同じ２", ">>",
        "]]",           "[[sect9",
        "空の節",       "<<",
        ">>",           "]]",
        "[[x",          "閉じない節",
        "<<",           "u1",
        ">> ",          "u2", // ">> " with a blank does not close; runs to the end
    });
    auto tree =
        buildIndexTree(lines, [](int s, int u) { return "(" + std::to_string(s) + "," + std::to_string(u) + ")"; });
    EXPECT_EQ(flat(tree), (std::vector<std::string>{
                              "分数のたし算",
                              "  同じ分母",
                              "    (1,1)分母が同じ１",
                              "    (1,2)分母が同じ２",
                              "  空の節",
                              "  閉じない節",
                              "    (3,1)u1",
                              "    (3,2)>> ",
                              "    (3,3)u2",
                          }));
    // Without a prefix the unit lines stand alone.
    EXPECT_EQ(sjis::toUtf8(buildIndexTree(lines).children[0].children[1].text), "分母が同じ２");
}

TEST(IndexTree, AMissingSubIndexShowsTheLinesOfANewOne)
{
    test::MenuCourseware c;
    c.writeMain({"たし算,L1\\\\tashi", "ひき算,L2\\\\hiki"});
    c.writeSubIndex("L1\\tashi.ind", "分数のたし算", {{"同じ分母", {"分母が同じ１"}}});
    CoursewareIndex index(c.dir());
    ASSERT_TRUE(index.readMainIndex());

    EXPECT_EQ(subIndexLinesOrNew(index, 2), newSubIndexLines());
    EXPECT_EQ(
        flat(buildIndexTree(subIndexLinesOrNew(index, 2))),
        (std::vector<std::string>{"ここにタイトルをかいてください", "  ここは主メニュー", "    ここは副メニュー"}));
    EXPECT_EQ(flat(buildIndexTree(subIndexLinesOrNew(index, 1))),
              (std::vector<std::string>{"分数のたし算", "  同じ分母", "    分母が同じ１"}));
}

TEST(IndexTree, SectionsAndUnitsPastTheTablesAreLeftOut)
{
    Lines lines{"t"};
    for (int s = 1; s <= 82; ++s) {
        lines.insert(lines.end(), {"[[sect", "s" + std::to_string(s), "<<"});
        for (int u = 1; u <= (s == 1 ? 85 : 1); ++u)
            lines.push_back("u" + std::to_string(u));
        lines.push_back(">>");
    }
    auto tree = buildIndexTree(lines);
    ASSERT_EQ(tree.children.size(), 80u);
    EXPECT_EQ(tree.children[0].children.size(), 80u);
    EXPECT_EQ(tree.children[79].text, "s80");
}

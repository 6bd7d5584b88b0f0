#include "authoring/index_editor.h"

#include "../question/question_test_util.h"
#include "../support/temp_folder.h"

#include <gtest/gtest.h>

using namespace tavola;
using tavola::test::sjLines;
using tavola::test::u8;

namespace {

struct Courseware {
    test::TempFolder folder;
    IndexEditor editor;
    Lines sub = sjLines({"たし算", "[[sect1", "第一", "<<", "u1",      "u2",   ">>", "]]", "[[sect2", "第二",
                         "<<",     "v1",      ">>",   "]]", "[[sect3", "第三", "<<", "w1", ">>",      "]]"});

    Courseware()
    {
        writeLineFile(folder.systemPath("Main.ind"), sjLines({"題", "", "たし算,tasu\\\\tasu", "新,new\\\\new", ">>"}));
        std::filesystem::create_directory(folder.path() + "/tasu");
        std::filesystem::create_directory(folder.path() + "/new");
        writeLineFile(folder.systemPath("tasu/tasu.ind"), sub);
        writeLineFile(folder.systemPath("tasu/tasu2.que"), {"[[unit1", "]]"});
        EXPECT_TRUE(editor.readLessons(folder.systemPath()).ok());
    }
    Lines onDisk(const char* name) const { return readLineFile(folder.systemPath(name)).value_or(Lines{"(none)"}); }
};

} // namespace

TEST(IndexEditor, ListsLessonsItemsAndMasterFiles)
{
    Courseware cw;
    EXPECT_EQ(cw.editor.lessons(), sjLines({"たし算", "新"}));
    cw.editor.loadLesson(1);
    std::vector<IndexItem> items = cw.editor.items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(u8(items[0].title), "第一");
    EXPECT_EQ(items[0].subItems, (Lines{"u1", "u2"}));
    EXPECT_EQ(cw.editor.subItemsOf(2), (Lines{"v1"}));
    EXPECT_FALSE(cw.editor.subItemsOf(4).has_value());
    EXPECT_EQ(u8(cw.editor.masterFileOf(1)), "未作成");
    EXPECT_EQ(cw.editor.masterFileOf(2), cw.folder.systemPath("tasu\\tasu2.que"));
}

TEST(IndexEditor, MarksAreThoseOfTheLessonLoaded)
{
    Courseware cw;
    writeLineFile(cw.folder.systemPath("tasu/tasu1.que"), {"[[unit1", "]]", "[[unit2", "]]", "[[unit2R1", "]]"});
    const std::string records = cw.folder.systemPath("tasu/taro.ini");
    writeLineFile(records, {"[S11u1]", "1=a", "2=b", "[S12u2]", "1=c", "[S21v1]", "1=d"});
    cw.editor.loadLesson(1);
    // Similar problems from each item's master file (none for item 3, whose file is missing), counts by the
    // unit's record section "S" + item + unit + line.
    const std::vector<Lines> expected{sjLines({"　[2]", "◎[1]"}), sjLines({"　[1]"}), sjLines({"　[ ]"})};
    EXPECT_EQ(cw.editor.unitMarks(records), expected);
    // Without a learner's file only the similar problems show; another lesson has marks of its own.
    EXPECT_EQ(cw.editor.unitMarks("")[0], sjLines({"　[ ]", "◎[ ]"}));
    cw.editor.loadLesson(2);
    EXPECT_EQ(cw.editor.unitMarks(records), std::vector<Lines>{sjLines({"　[ ]"})});
}

TEST(IndexEditor, ALongSubListIsListedInOnePass)
{
    Courseware cw;
    Lines sub{"t", "[[sect1", "a", "<<"};
    for (int i = 0; i < 300000; ++i)
        sub.push_back("u" + std::to_string(i));
    sub.insert(sub.end(), {">>", "]]"});
    writeLineFile(cw.folder.systemPath("tasu/tasu.ind"), sub);
    cw.editor.loadLesson(1);
    auto listed = cw.editor.subItemsOf(1);
    ASSERT_TRUE(listed.has_value());
    EXPECT_EQ(*listed, Lines(sub.begin() + 4, sub.end() - 2));
}

TEST(IndexEditor, TemplateWithoutChangesWritesNothing)
{
    Courseware cw;
    cw.editor.loadLesson(2);
    EXPECT_EQ(cw.editor.lines(), subIndexTemplate());
    EXPECT_EQ(cw.editor.lines().size(), 7u);
    bool written = true;
    EXPECT_TRUE(cw.editor.save(cw.editor.title(), written).ok());
    EXPECT_FALSE(written);
    EXPECT_EQ(cw.onDisk("new/new.ind"), Lines{"(none)"});
}

TEST(IndexEditor, AddingAndRenaming)
{
    Courseware cw;
    cw.editor.loadLesson(1);
    EXPECT_FALSE(cw.editor.addMainItem(""));
    EXPECT_TRUE(cw.editor.addMainItem(sjis::encode("第四")));
    Lines added(cw.editor.lines().end() - 6, cw.editor.lines().end());
    EXPECT_EQ(added, sjLines({"[[sect4", "第四", "<<", "SubMenu New4", ">>", "]]"}));
    EXPECT_TRUE(cw.editor.addSubItem(1, "u3"));
    EXPECT_EQ(cw.editor.subItemsOf(1), (Lines{"u1", "u2", "u3"}));
    EXPECT_TRUE(cw.editor.renameSubItem(2, 1, "v9"));
    EXPECT_TRUE(cw.editor.renameMainItem(3, "w"));
    EXPECT_EQ(cw.editor.items()[2].title, "w");
    EXPECT_EQ(cw.editor.subItemsOf(2), (Lines{"v9"}));

    bool written = false;
    ASSERT_TRUE(cw.editor.save(sjis::encode("新しい題"), written).ok());
    EXPECT_TRUE(written);
    Lines disk = cw.onDisk("tasu/tasu.ind");
    EXPECT_EQ(u8(disk.front()), "新しい題");
    EXPECT_EQ(disk, cw.editor.lines());
    EXPECT_FALSE(cw.editor.modified);
}

TEST(IndexEditor, OnlyTheTitleChanged)
{
    Courseware cw;
    cw.editor.loadLesson(1);
    cw.editor.setTitle(sjis::encode("たし算"));
    EXPECT_FALSE(cw.editor.modified);
    cw.editor.setTitle(sjis::encode("たし算２"));
    bool written = false;
    ASSERT_TRUE(cw.editor.save(sjis::encode("たし算２"), written).ok());
    Lines expected = cw.sub;
    expected.front() = sjis::encode("たし算２");
    EXPECT_EQ(cw.onDisk("tasu/tasu.ind"), expected);
}

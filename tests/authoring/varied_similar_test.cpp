// 類題を自動作成 in the editor's logic: the next similar problem with new numbers, shown in the areas and written
// only by save.
#include "authoring/master_editor.h"

#include "lesson_courseware.h"
#include "platform/line_file.h"
#include "question/master_file.h"
#include "variant/problem_text.h"
#include "variant/variant_generator.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavola;
using tavola::test::sjLines;
using tavola::test::u8;

namespace {

struct Courseware : test::LessonCourseware {
    Courseware()
        : LessonCourseware("たし算", sjLines({"[[unit1",
                                              "<<ques",
                                              "１．次の計算をしましょう。",
                                              "(1)  3/6+1/6=# 4/6;2/3 #",
                                              "(2)  1/2+1/9=# 11/18 #",
                                              "(3)  5&2/4-2&3/4=# 2&3/4;11/4 #",
                                              ">>",
                                              "<<kgroup",
                                              "4/6",
                                              "2/3",
                                              "11/18",
                                              "2&3/4",
                                              "11/4",
                                              "1/9",
                                              ">>",
                                              "<<dummy",
                                              "1/9",
                                              ">>",
                                              "]]",
                                              "[[unit2",
                                              "<<ques",
                                              "(1) # ア #",
                                              ">>",
                                              "]]"}))
    {
    }
};

} // namespace

TEST(VariedSimilar, MadeInTheAreasAndWrittenOnlyBySave)
{
    Courseware cw;
    MasterEditor editor;
    editor.load(cw.index, {1, 1, 1, 0}, {});
    const Lines authored = editor.areas.ques;

    auto m = editor.makeVariedSimilar(true, true);
    ASSERT_TRUE(m.ok()) << u8(m.message());
    EXPECT_EQ(*m, 1);
    EXPECT_EQ(editor.position().similar, 1);
    EXPECT_EQ(editor.newSimilar(), 1);
    EXPECT_TRUE(editor.modified);
    // The numbers of printed copy 2 of the unit; the heading as it was; every first answer exact.
    EXPECT_EQ(editor.areas.ques, variant::variantLines(authored, "les1.que-U1", 2));
    ASSERT_EQ(editor.areas.ques.size(), authored.size());
    EXPECT_EQ(editor.areas.ques[0], authored[0]);
    for (std::size_t i = 1; i < authored.size(); ++i) {
        EXPECT_NE(editor.areas.ques[i], authored[i]);
        EXPECT_FALSE(variant::firstAnswerDisagreement(editor.areas.ques[i])) << editor.areas.ques[i];
    }
    // The selection list is built from the new answers, with the dummy answer.
    Lines expected = selectionFromAnswers(extractAnswers(editor.areas.ques), true, true);
    addDummyAnswers(expected, editor.areas.dummy);
    EXPECT_EQ(editor.areas.kgroup, expected);
    EXPECT_EQ(cw.onDisk(), cw.master);

    ASSERT_TRUE(editor.save().ok);
    Lines disk = cw.onDisk();
    ASSERT_GT(disk.size(), cw.master.size());
    EXPECT_EQ(Lines(disk.begin(), disk.begin() + static_cast<long>(cw.master.size())), cw.master);
    auto at = findRecord(disk, "[[unit1R1");
    ASSERT_TRUE(at);
    RecordRead read = readRecord(disk, *at, cw.masterPath());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.content.problemLines, editor.areas.ques);

    // The next one is similar problem 2, with other numbers.
    editor.load(cw.index, {1, 1, 1, 0}, {});
    auto second = editor.makeVariedSimilar(true, true);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(*second, 2);
    EXPECT_NE(editor.areas.ques, read.content.problemLines);
}

TEST(VariedSimilar, RefusedWithoutChangingAnything)
{
    Courseware cw;
    MasterEditor editor;
    // A unit whose problems hold no numbers to change.
    editor.load(cw.index, {1, 1, 2, 0}, {});
    const EditorAreas before = editor.areas;
    auto m = editor.makeVariedSimilar(true, true);
    ASSERT_FALSE(m.ok());
    EXPECT_EQ(u8(m.message()), "数を変えられる問題がありません");
    EXPECT_EQ(editor.areas.ques, before.ques);
    EXPECT_EQ(editor.position().similar, 0);
    EXPECT_EQ(editor.newSimilar(), 0);
    EXPECT_FALSE(editor.modified);

    // A similar problem has no similar problems.
    editor.load(cw.index, {1, 1, 1, 3}, {});
    EXPECT_EQ(u8(editor.makeVariedSimilar(true, true).message()), "類題の類題は作成できません");
    EXPECT_EQ(cw.onDisk(), cw.master);
}

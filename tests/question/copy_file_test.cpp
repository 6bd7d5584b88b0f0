#include "platform/paths.h"
#include "question/copy_file.h"
#include "question_test_util.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace tavola;
using tavola::test::sjLines;
using tavola::test::u8;

namespace {

UnitData sampleSheet()
{
    UnitData sheet;
    sheet.title = sjis::encode("分数//たし算§1-2 通分,3");
    sheet.school = sjis::encode("第一小学校");
    sheet.name = sjis::encode("　年　組　番　氏名");
    sheet.problemLines = sjLines({"１．次の計算をしましょう。", "(1) 1/2+1/3=#5/6#", "", "(2) 1&1/2+1/4=#1&3/4;7/4#"});
    sheet.graph = {"fig1.bmp", "90", "122", "fig2.bmp", "-1", "-1"};
    sheet.agraph = {"ans1.bmp", "-1", "-1"};
    sheet.kgroup = sjLines({"5/6", "ア"});
    sheet.softkey = {"not written"};
    sheet.value = {"771", "False", "35", "4", "6", "3", "5"};
    sheet.font = sjLines({"16", "MS 明朝", "False", "True", "False", "False", "0"});
    sheet.kran = {"4", "12", "3", "2", "0", "1", "15", "10", "2", "9"};
    sheet.hasValue = sheet.hasFont = sheet.hasKran = true;
    return sheet;
}

class CopyFileTest : public ::testing::Test {
protected:
    test::TempFolder dir;
    ScriptedPrompts prompts;
    CopyRecord record = copyRecordOf(sampleSheet(), unitSettings(sampleSheet(), true));
    SaveCopyOutcome outcome = SaveCopyOutcome::Saved;
};

} // namespace

TEST_F(CopyFileTest, WrittenAndReadBackTheSame)
{
    UnitData sheet = sampleSheet();
    UnitSettings settings = unitSettings(sheet, true);
    std::string path = dir.systemPath("copy.prp");
    ASSERT_TRUE(writeCopyFile(path, copyRecordOf(sheet, settings)));

    Lines written = readLineFile(path).value();
    EXPECT_EQ(written.front(), "[[unitX");
    EXPECT_EQ(written.back(), "]]");
    EXPECT_EQ(std::count(written.begin(), written.end(), "<<softkey"), 0);
    EXPECT_EQ(readWholeFile(path)->substr(0, 9), "[[unitX\r\n");

    UnitReader reader;
    ASSERT_TRUE(readCopyFile(reader, path));
    const UnitData& back = reader.unit();
    EXPECT_EQ(back.title, sheet.title);
    EXPECT_EQ(back.school, sheet.school);
    EXPECT_EQ(back.name, sheet.name);
    EXPECT_EQ(back.problemLines, sheet.problemLines);
    EXPECT_EQ(back.graph, sheet.graph);
    EXPECT_EQ(back.agraph, sheet.agraph);
    EXPECT_EQ(back.kgroup, sheet.kgroup);
    EXPECT_FALSE(back.fromMaster);
    EXPECT_EQ(back.font[6], sjis::encode("ＭＳ 明朝")); // the face in use, not "0"
    EXPECT_EQ(unitSettings(back, true), settings);
}

TEST_F(CopyFileTest, WithoutFiguresNoFigureBlocks)
{
    UnitData sheet = sampleSheet();
    sheet.graph.clear();
    sheet.agraph.clear();
    Lines lines = copyRecordLines(copyRecordOf(sheet, unitSettings(sheet)));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "<<graph"), 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "<<AGraph"), 0);
}

TEST_F(CopyFileTest, NamesChosenInTheSaveDialog)
{
    struct Case {
        std::string chosen;
        std::string written; // empty: nothing written
        int dialogs;
        std::vector<std::string> shown; // messages besides the dialogs, UTF-8
    };
    std::string d = dir.systemPath();
    std::vector<Case> cases = {
        {d + "test", d + "test.prp", 1, {}},
        {d + "test.PRP", d + "test.PRP", 1, {}},
        {d + "test.prp", d + "test.prp", 1, {}},
        {d + "test.txt", d + "again.prp", 2, {u8(d) + "test.txt:拡張子が不正です"}},
    };
    for (const Case& c : cases) {
        ScriptedPrompts p;
        p.queueFileName(c.chosen);
        p.queueFileName(d + "again.prp");
        auto saved = saveCopyAs(p, record, "start\\", outcome);
        ASSERT_TRUE(saved.has_value()) << c.chosen;
        EXPECT_EQ(*saved, c.written);
        EXPECT_TRUE(paths::fileExists(c.written)) << c.chosen;
        EXPECT_EQ(p.fileRequests.size(), static_cast<std::size_t>(c.dialogs)) << c.chosen;
        EXPECT_EQ(p.fileRequests.front().filter, "*.prp");
        EXPECT_EQ(p.fileRequests.front().startFolder, "start\\");
        std::vector<std::string> messages;
        for (const auto& s : p.shown)
            if (s.kind == ScriptedPrompts::Kind::Message) messages.push_back(u8(s.text));
        EXPECT_EQ(messages, c.shown) << c.chosen;
        std::filesystem::remove(paths::realPath(c.written));
    }

    // Only the file name decides: a folder with a dot in it does not.
    std::filesystem::create_directories(dir.path() + "/my.docs");
    ScriptedPrompts p;
    p.queueFileName(dir.systemPath("my.docs/test"));
    EXPECT_EQ(saveCopyAs(p, record, {}, outcome), dir.systemPath("my.docs/test.prp"));
    EXPECT_EQ(checkCopyName("C:\\a.b\\name"), CopyNameCheck::NeedsExtension);
    EXPECT_EQ(checkCopyName("name.prpx"), CopyNameCheck::Accepted);

    // Cancel writes nothing.
    ScriptedPrompts cancel;
    cancel.queueFileName(std::nullopt);
    EXPECT_FALSE(saveCopyAs(cancel, record, {}, outcome).has_value());
    EXPECT_EQ(outcome, SaveCopyOutcome::Cancelled);
}

TEST_F(CopyFileTest, OverwriteOnlyAfterYes)
{
    std::string path = dir.systemPath("old.prp");
    ASSERT_TRUE(writeLineFile(path, {"old"}));

    // No offers the dialog again with the name chosen; the dialog cancelled then saves nothing.
    prompts.queueFileName(path);
    prompts.queueAnswer(Answer::No);
    prompts.queueFileName(std::nullopt);
    EXPECT_FALSE(saveCopyAs(prompts, record, {}, outcome).has_value());
    EXPECT_EQ(outcome, SaveCopyOutcome::Cancelled);
    EXPECT_EQ(u8(prompts.shown.at(1).text), "ファイル" + u8(path) + "を上書きしてもいいですか？");
    ASSERT_EQ(prompts.fileRequests.size(), 2u);
    EXPECT_EQ(prompts.fileRequests[1].suggestedName, "old.prp");
    EXPECT_EQ(readLineFile(path).value(), Lines{"old"});
    // No, then another name: that one is written.
    const std::string other = dir.systemPath("new.prp");
    prompts.queueFileName(path);
    prompts.queueAnswer(Answer::No);
    prompts.queueFileName(other);
    EXPECT_EQ(saveCopyAs(prompts, record, {}, outcome), other);
    EXPECT_EQ(outcome, SaveCopyOutcome::Saved);
    EXPECT_EQ(readLineFile(path).value(), Lines{"old"});

    prompts.queueFileName(path);
    prompts.queueAnswer(Answer::Yes);
    EXPECT_EQ(saveCopyAs(prompts, record, {}, outcome), path);
    EXPECT_EQ(outcome, SaveCopyOutcome::Saved);
    EXPECT_EQ(readLineFile(path).value(), copyRecordLines(record));
    EXPECT_EQ(prompts.unexpected, 0);
}

TEST_F(CopyFileTest, AFailedWriteLeavesTheOldFile)
{
    // A missing folder.
    std::string missing = dir.systemPath("none/x.prp");
    prompts.queueFileName(missing);
    EXPECT_FALSE(saveCopyAs(prompts, record, {}, outcome).has_value());
    EXPECT_EQ(outcome, SaveCopyOutcome::Failed);
    EXPECT_EQ(prompts.lastUtf8(), u8(missing) + "の保存に失敗しました");

    // A file that cannot be replaced: the old file stays as it was.
    std::string path = dir.systemPath("old.prp");
    ASSERT_TRUE(writeLineFile(path, {"old"}));
    writefault::inject({writefault::Step::Rename, 1, EACCES});
    prompts.queueFileName(path);
    prompts.queueAnswer(Answer::Yes);
    EXPECT_FALSE(saveCopyAs(prompts, record, {}, outcome).has_value());
    EXPECT_EQ(outcome, SaveCopyOutcome::Failed);
    EXPECT_EQ(prompts.lastUtf8(), u8(path) + "の保存に失敗しました");
    EXPECT_EQ(readLineFile(path).value(), Lines{"old"});
}

TEST_F(CopyFileTest, StartFolderIsTheLessonsCopyFolder)
{
    EXPECT_EQ(copyFileFolder("/cw/", "tasu"), "/cw/tasu\\");
    ASSERT_TRUE(writeLineFile(dir.systemPath("Main.ind"), {"t", "", "a,tasu\\\\tasu", "b,kake\\\\kake"}));
    CoursewareIndex index(dir.systemPath());
    ASSERT_TRUE(index.readMainIndex());
    EXPECT_EQ(copyFileFolder(index, 2), dir.systemPath("kake\\"));
    EXPECT_EQ(copyFileFolder(index, 0), dir.systemPath("tasu\\"));
}

TEST_F(CopyFileTest, ACopyIsOfferedItsOwnFileAUnitItsShortKey)
{
    struct Case {
        const char* path;
        const char* shortKey;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        // A unit: its short key in the lesson's copy folder.
        {"C:\\cw\\tasu\\tasu1.que", "tasu1.que-U1", "C:\\cw\\tasu\\", "tasu1.que-U1.prp"},
        // A copy file, opened or saved before: itself, so that Enter writes it again.
        {"C:\\cw\\tasu\\月曜プリント.prp", "月曜プリント.prp", "C:\\cw\\tasu\\", "月曜プリント.prp"},
        {"/home/t/保存/表.PRP", "x", "/home/t/保存/", "表.PRP"}, // 表 is 95 5C: no separator in it
        {"/home/t/a.b/imi1.que-U1.prp", "imi1.que-U1", "/home/t/a.b/", "imi1.que-U1.prp"},
        // Added units keep their master path: not a copy yet.
        {"C:\\cw\\tasu\\tasu2.que", "tasu2.que-U3", "C:\\cw\\tasu\\", "tasu2.que-U3.prp"},
    };
    for (const Case& c : cases) {
        const CopySaveOffer offer =
            copySaveOffer(sjis::encode(c.path), sjis::encode(c.shortKey), sjis::encode("C:\\cw\\tasu\\"));
        EXPECT_EQ(offer.startFolder, sjis::encode(c.folder)) << c.path;
        EXPECT_EQ(offer.suggestedName, sjis::encode(c.name)) << c.path;
    }
}

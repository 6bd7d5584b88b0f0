// The copy-file browser's rules on a small courseware folder: the lessons, the copy files of a lesson's folder, the
// remembered file, the text shown, a missing folder or Main.ind, and OK without a file.
#include "courseware/copy_file_browser.h"

#include "platform/line_file.h"
#include "platform/sjis.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavola {
namespace {

class CopyFileBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        write("Main.ind", {"題"_sj, "", "たし算,tasu\\tasu"_sj, "ひき算,hiki\\hiki"_sj, "空,empty\\empty"_sj,
                           "ない課,gone\\gone"_sj, "カンマなし"_sj, ">>"});
        for (const char* name : {"b.prp", "a.prp", "C.PRP", "notes.txt"})
            write(std::string("tasu/") + name, {"[[unitX", name});
        write("hiki/only.prp", {"[[unitX", "hiki"});
        write("top.prp", {"[[unitX", "top"});
        std::filesystem::create_directories(folder.path() + "/tasu/dir.prp");
        std::filesystem::create_directories(folder.path() + "/empty");
        browser.setCoursewareDir(folder.systemPath());
    }
    void write(const std::string& name, const Lines& lines)
    {
        std::filesystem::create_directories(std::filesystem::path(folder.path() + "/" + name).parent_path());
        ASSERT_TRUE(writeLineFile(folder.systemPath(name), lines));
    }

    test::TempFolder folder;
    ScriptedPrompts prompts;
    CopyFileBrowser browser;
};

TEST_F(CopyFileBrowserTest, ListsLessonsAndTheSortedCopyFilesOfALesson)
{
    ASSERT_TRUE(browser.show(prompts));
    EXPECT_EQ(browser.lessons(), (std::vector<std::string>{"たし算"_sj, "ひき算"_sj, "空"_sj, "ない課"_sj, "?"}));
    // Regular files ending in .prp in any case, sorted by name; the first is chosen and shown.
    EXPECT_EQ(browser.files(), (std::vector<std::string>{"C.PRP", "a.prp", "b.prp"}));
    EXPECT_EQ(browser.chosenFile(), 0);
    EXPECT_EQ(browser.fileName(), folder.systemPath("tasu\\C.PRP"));
    EXPECT_EQ(browser.contents(), (Lines{"[[unitX", "C.PRP"}));
    EXPECT_TRUE(prompts.shown.empty());

    // A file clicked, confirmed: it is remembered and is chosen again when the window shows next time. In a lesson
    // with fewer files (one, here: the remembered index is that count or past it) the first is chosen.
    for (int remembered : {1, 2}) {
        browser.chooseLesson(0, prompts);
        browser.chooseFile(remembered);
        ASSERT_TRUE(browser.confirm(prompts));
        EXPECT_EQ(browser.copyFileName(), remembered == 1 ? "a.prp" : "b.prp");
        browser.chooseLesson(1, prompts);
        EXPECT_EQ(browser.chosenFile(), 0);
        EXPECT_EQ(browser.fileName(), folder.systemPath("hiki\\only.prp"));
    }
    browser.chooseLesson(0, prompts);
    EXPECT_EQ(browser.fileName(), folder.systemPath("tasu\\b.prp"));
    ASSERT_TRUE(browser.show(prompts));
    EXPECT_EQ(browser.fileName(), folder.systemPath("tasu\\b.prp"));
}

TEST_F(CopyFileBrowserTest, EmptyMissingAndUnnamedFolders)
{
    ASSERT_TRUE(browser.show(prompts));
    // No copy files: the file shown before stays, and OK confirms it.
    browser.chooseLesson(2, prompts);
    EXPECT_TRUE(browser.files().empty());
    EXPECT_EQ(browser.fileName(), folder.systemPath("tasu\\C.PRP"));
    ASSERT_TRUE(browser.confirm(prompts));
    EXPECT_EQ(browser.copyFileName(), "C.PRP");
    // A folder that does not exist: its message, the list as it was.
    browser.chooseLesson(3, prompts);
    EXPECT_EQ(prompts.shownUtf8(),
              std::vector<std::string>{"ディレクトリ " + folder.path() + "/gone\\ が見つかりません"});
    // A lesson line without ",": the courseware folder itself.
    browser.chooseLesson(4, prompts);
    EXPECT_EQ(browser.files(), std::vector<std::string>{"top.prp"});
    EXPECT_EQ(browser.fileName(), folder.systemPath("top.prp"));
}

TEST_F(CopyFileBrowserTest, NoMainIndexAndNoFileChosen)
{
    CopyFileBrowser none;
    test::TempFolder empty;
    none.setCoursewareDir(empty.systemPath());
    EXPECT_FALSE(none.show(prompts));
    EXPECT_EQ(prompts.shownUtf8(), std::vector<std::string>{"ファイル " + empty.path() + "/Main.ind が見つかりません"});
    prompts.clear();
    EXPECT_FALSE(none.confirm(prompts));
    EXPECT_EQ(prompts.shownUtf8(), std::vector<std::string>{"単元を選択してください"});
}

} // namespace
} // namespace tavola

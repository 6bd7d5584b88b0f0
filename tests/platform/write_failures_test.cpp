// Every file the program writes, failing at each step of the write (creating the new file, any piece of it, the
// flush, the rename) as a full disk or a read-only folder makes it fail: the old file stays byte for byte, no
// temporary file is left, and the writer reports the failure in the system's words.
#include "app/learner_files.h"
#include "app/shell_state.h"
#include "authoring/index_editor.h"
#include "authoring/master_editor.h"
#include "platform/line_file.h"
#include "platform/profile_file.h"
#include "platform/prompts.h"
#include "platform/settings_store.h"
#include "platform/sjis.h"
#include "practice/learning_records.h"
#include "question/copy_file.h"
#include "support/temp_folder.h"
#include "worksheet/worksheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tavola {
namespace {

namespace fs = std::filesystem;
using writefault::Step;

// More than two pieces of the writer, so that the second and third piece can fail too.
const std::string kLong(150 * 1024, 'x');

struct Writer {
    const char* name;
    std::string file; // inside the folder, real name
    // Writes new content over the old file; returns the message it reported, empty when it reported success.
    std::function<std::string(const test::TempFolder&)> write;
};

// A courseware for the editors: lesson "l\l" with one section, and lesson "m\m" for the index editor.
void writeCourseware(const test::TempFolder& d)
{
    fs::create_directories(d.path() + "/l");
    fs::create_directories(d.path() + "/m");
    std::ofstream(d.path() + "/Main.ind", std::ios::binary) << "t\r\n\r\nlesson,l\\\\l\r\nother,m\\\\m\r\n>>\r\n";
    std::ofstream(d.path() + "/l/l.ind", std::ios::binary) << "lesson\r\n[[sect1\r\ns\r\n<<\r\nu1\r\n>>\r\n]]\r\n";
}

std::string utf8Message(const Status& s)
{
    return s ? std::string() : sjis::toUtf8(s.message());
}

std::vector<Writer> writers()
{
    return {
        {"line file (master, index, name list)", "Bun1.que",
         [](const test::TempFolder& d) {
             return utf8Message(writeLineFile(d.systemPath("Bun1.que"), {"[[unit1", kLong, "]]"}));
         }},
        {"copy file", "copy.prp",
         [](const test::TempFolder& d) {
             ScriptedPrompts prompts;
             prompts.queueFileName(d.systemPath("copy.prp"));
             prompts.queueAnswer(Answer::Yes); // overwrite
             CopyRecord record;
             record.problemLines = {kLong};
             SaveCopyOutcome outcome = SaveCopyOutcome::Saved;
             saveCopyAs(prompts, record, d.systemPath(), outcome);
             std::string message;
             for (const auto& shown : prompts.shown)
                 if (shown.kind == ScriptedPrompts::Kind::Message) message = sjis::toUtf8(shown.text);
             return message;
         }},
        {"settings", "Tavola++/Sheetpak.reg",
         [](const test::TempFolder& d) {
             SettingsStore store(d.path());
             Status s = store.writeText("theSchool", kLong);
             return s ? std::string() : sjis::toUtf8(s.message());
         }},
        {"master file (saving a worksheet into it)", "l/l1.que",
         [](const test::TempFolder& d) {
             CoursewareIndex index(d.systemPath());
             (void)index.readMainIndex();
             (void)index.readLesson(1);
             UnitData unit;
             unit.problemLines = {kLong};
             Worksheet sheet = makeWorksheet(unit, false);
             sheet.position = {1, 1, 1, 0};
             return utf8Message(saveWorksheetToMaster(sheet, index, defaultBlockLines()));
         }},
        {"index (index editor)", "m/m.ind",
         [](const test::TempFolder& d) {
             IndexEditor editor;
             (void)editor.readLessons(d.systemPath());
             editor.loadLesson(2);
             return utf8Message(editor.writeRaw({"lesson", kLong}));
         }},
        {"name list", "LogOn/sname.txt",
         [](const test::TempFolder& d) {
             NameList names;
             (void)names.open(d.systemPath("LogOn/sname.txt"));
             (void)names.add("花子"_sj);
             return utf8Message(names.saveAs(d.systemPath("LogOn/sname.txt")));
         }},
        {"learner password", "learner.dat",
         [](const test::TempFolder& d) { return utf8Message(storePassword(d.systemPath("learner.dat"), "abc")); }},
        {"learning record", "learner.dat",
         [](const test::TempFolder& d) {
             PracticeRecord record;
             record.total = record.correct = 5;
             record.score = 100;
             auto r = appendRecord(d.systemPath("learner.dat"), "S111", record);
             return r.ok() ? std::string() : sjis::toUtf8(r.message());
         }},
        {"profile file", "learner.dat",
         [](const test::TempFolder& d) {
             return utf8Message(profile::writeString(d.systemPath("learner.dat"), "PassWord", "pw", kLong));
         }},
        {"profile section erased", "learner.dat",
         [](const test::TempFolder& d) {
             return utf8Message(profile::eraseSection(d.systemPath("learner.dat"), "S111"));
         }},
    };
}

std::string oldContent()
{
    return "[S111]\r\n1=2005.03.05\r\n[Other]\r\nk=" + std::string(200 * 1024, 'o') + "\r\n";
}

std::set<std::string> listing(const std::string& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        names.insert(e.path().string());
    return names;
}

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class WriteFailures : public ::testing::Test {
protected:
    void TearDown() override { writefault::clear(); }

    static void prepare(const test::TempFolder& d, const Writer& w)
    {
        writeCourseware(d);
        fs::create_directories(fs::path(d.path() + "/" + w.file).parent_path());
        std::ofstream(d.path() + "/" + w.file, std::ios::binary) << oldContent();
    }
};

TEST_F(WriteFailures, EveryStepOfEveryWriterLeavesTheOldFileAndNoTemporaryFile)
{
    struct Fault {
        const char* what;
        writefault::Fault fault;
    };
    const Fault faults[] = {
        {"read-only file system", {Step::Create, 1, EROFS}},
        {"no permission", {Step::Create, 1, EACCES}},
        {"disk full at the first piece", {Step::Write, 1, ENOSPC}},
        {"disk full at the third piece", {Step::Write, 3, ENOSPC}},
        {"input/output error at the second piece", {Step::Write, 2, EIO}},
        {"flush", {Step::Flush, 1, ENOSPC}},
        {"rename", {Step::Rename, 1, EACCES}},
    };
    for (const Writer& w : writers()) {
        for (const Fault& f : faults) {
            test::TempFolder d;
            prepare(d, w);
            const auto before = listing(d.path());
            writefault::inject(f.fault);
            const std::string message = w.write(d);
            EXPECT_FALSE(writefault::armed()) << w.name << ", " << f.what << ": the step was never reached";
            EXPECT_FALSE(message.empty()) << w.name << ", " << f.what << ": reported as success";
            EXPECT_EQ(bytesOf(d.path() + "/" + w.file), oldContent()) << w.name << ", " << f.what;
            EXPECT_EQ(listing(d.path()), before) << w.name << ", " << f.what;
            writefault::clear();
        }
    }
}

TEST_F(WriteFailures, WritersGiveTheSystemsMessages)
{
    test::TempFolder d;
    const auto all = writers();
    for (const Writer& w : all)
        prepare(d, w);
    const std::string folder = sjis::toUtf8(d.systemPath());
    const std::vector<std::string> expected = {
        "ディスクに空きがありません",
        folder + "copy.prp" + "の保存に失敗しました",
        "設定を書き込めません: " + d.path() + "/Tavola++/Sheetpak.reg (ディスクに空きがありません)",
        folder + "l\\l1.que" + "の保存に失敗しました",
        folder + "m\\m.ind" + "の保存に失敗しました",
        "名簿を保存できません: " + folder + "LogOn/sname.txt (ディスクに空きがありません)",
        "パスワードを保存できません: " + folder + "learner.dat (ディスクに空きがありません)",
        "記録を書き込めません: " + folder + "learner.dat (ディスクに空きがありません)",
        "ディスクに空きがありません",
        "ディスクに空きがありません",
    };
    for (std::size_t i = 0; i < all.size(); ++i) {
        writefault::inject({Step::Write, 1, ENOSPC});
        EXPECT_EQ(all[i].write(d), expected[i]) << all[i].name;
    }
    // Without a fault every writer succeeds and replaces the file whole.
    for (const Writer& w : all) {
        EXPECT_EQ(w.write(d), "") << w.name;
        EXPECT_NE(bytesOf(d.path() + "/" + w.file), oldContent()) << w.name;
    }
    EXPECT_EQ(listing(d.path()).size(), 13u) << "the files written, the index files and the folders, nothing else";
}

TEST_F(WriteFailures, AReadOnlyFolderRefusesTheWriteAndKeepsTheFile)
{
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes into read-only folders";
    for (const Writer& w : writers()) {
        test::TempFolder d;
        prepare(d, w);
        const std::string folder = fs::path(d.path() + "/" + w.file).parent_path().string();
        const auto before = listing(d.path());
        ::chmod(folder.c_str(), 0555);
        const std::string message = w.write(d);
        ::chmod(folder.c_str(), 0755);
        EXPECT_FALSE(message.empty()) << w.name;
        EXPECT_EQ(bytesOf(d.path() + "/" + w.file), oldContent()) << w.name;
        EXPECT_EQ(listing(d.path()), before) << w.name;
    }
}

} // namespace
} // namespace tavola

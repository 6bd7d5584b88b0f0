#include "authoring/master_editor.h"

#include "lesson_courseware.h"
#include "platform/line_file.h"
#include "worksheet/worksheet.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

using namespace tavola;
using tavola::test::sjLines;
using tavola::test::u8;

namespace {

Lines layout()
{
    return sjLines({"<<value", "630",     "False", "40",    "5",     "5",     "1",  "7",  ">>",     "<<font",
                    "12",      "MS 明朝", "False", "False", "False", "False", "0",  ">>", "<<kran", "5",
                    "15",      "2",       "0",     "0",     "0",     "15",    "10", "0",  "0",      ">>"});
}

// A lesson "les" with its master file les1.que holding units 1 and 2 between other lines.
struct Courseware : test::LessonCourseware {
    Courseware()
        : LessonCourseware("かけ算", sjLines({"先頭の行",    "[[unit1",  "<<ques",  "問題",    "(1) 2+3= # 5 #",
                                              ">>",          "<<kgroup", "5",       ">>",      "<<softkey",
                                              "12345",       ">>",       "<<value", "630",     "False",
                                              "40",          "5",        "5",       "1",       "7",
                                              ">>",          "]]",       "間の行",  "[[unit2", "<<ques",
                                              "(1) # ア # ", ">>",       "]]",      "末尾の行"}))
    {
    }
};

} // namespace

TEST(MasterEditor, ProblemTextCheck)
{
    struct Case {
        std::vector<const char*> lines;
        bool ok;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {{"見出し", "a # x # b # y # c"}, true, 0, ""},
        {{"a # # b"}, true, 0, ""}, // a box holding a blank is not empty
        {{"見出し", "a ## b"}, false, 1, "2行目：解答がありません"},
        {{"#x##y#"}, false, 0, "1行目：解答がありません"}, // two boxes back to back
        {{"ok # 1 #", "a # b"}, false, 1, "2行目：＃の数は偶数にしてください"},
        {{"見出し", "なし"}, false, 0, "解答欄がありません"},
        {{}, false, 0, "解答欄がありません"},
    };
    for (const Case& c : cases) {
        Lines ques;
        for (const char* l : c.lines)
            ques.push_back(sjis::encode(l));
        TextCheck check = checkProblemText(ques);
        EXPECT_EQ(check.ok, c.ok) << c.message;
        EXPECT_EQ(check.line, c.line) << c.message;
        EXPECT_EQ(u8(check.message), c.message);
    }
}

TEST(MasterEditor, ExtractsTrimmedAnswers)
{
    Lines answers = extractAnswers(sjLines({"例　日本の首都は　#　東京　#　です", "#\t 3;３ # と # ア #", "なし"}));
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(u8(answers[0]), "東京");
    EXPECT_EQ(u8(answers[1]), "3;３");
    EXPECT_EQ(u8(answers[2]), "ア");
    // A trail byte followed by 40 is not a full-width space ("\x88\x81" is one character, "@" another).
    EXPECT_EQ(trimAnswer("\x88\x81\x40"), "\x88\x81\x40");
    // Long runs of spaces are trimmed in one pass.
    std::string spaces;
    for (int i = 0; i < 20000; ++i)
        spaces += "　"_sj;
    EXPECT_EQ(u8(trimAnswer(spaces + "x" + spaces)), "x");
}

TEST(MasterEditor, SelectionList)
{
    Lines answers = sjLines({"3;３", "", "ア", "12", "あい", "Ｊ"});
    EXPECT_EQ(selectionFromAnswers(answers, false, false), sjLines({"3", "３", "ア", "12", "あい", "Ｊ"}));
    // Digit-only: the full-width line goes, and so does the one-byte line; "12" is not full-width digits.
    EXPECT_EQ(selectionFromAnswers(answers, true, false), sjLines({"ア", "12", "あい", "Ｊ"}));
    EXPECT_EQ(selectionFromAnswers(answers, true, true), sjLines({"12", "あい"}));

    Lines kgroup = sjLines({"ア", "イ"});
    addDummyAnswers(kgroup, sjLines({"イ", "", "ウ", "ウ"}));
    EXPECT_EQ(kgroup, sjLines({"ア", "イ", "ウ"}));
    EXPECT_EQ(selectionCharacterCount(sjLines({"あいう", "12", "x"})), 4);
}

TEST(MasterEditor, NumberingAndEnclosing)
{
    Lines ques = sjLines({"見出し", "2+3", "4+5"});
    numberProblems(ques);
    numberProblems(ques);
    EXPECT_EQ(ques, sjLines({"見出し", "(1) (1) 2+3==", "(2) (2) 4+5=="}));
    EXPECT_EQ(enclose("東京", Enclosure::AnswerBox), " # 東京 # ");
    EXPECT_EQ(enclose("x", Enclosure::Underline), "@Ux@/");
    EXPECT_EQ(enclose("x", Enclosure::Bold), "@Bx@/");
    EXPECT_EQ(enclose("x", Enclosure::Italic), "@Ix@/");
}

TEST(MasterEditor, FiguresAreFifteenASideFromTheDrawnStartPoints)
{
    Lines problem;
    Lines answer;
    std::vector<Point> starts{{10, 100}, {10, 150}};
    EXPECT_TRUE(addFigures(problem, {"a.bmp", "b.bmp", "c.bmp"}, starts).empty());
    EXPECT_EQ(problem, (Lines{"a.bmp", "50", "120", "b.bmp", "50", "170", "c.bmp", "-1", "-1"}));
    std::vector<std::string> twelve(12, "f.bmp");
    EXPECT_TRUE(addFigures(problem, twelve, starts).empty());
    std::vector<std::string> refused = addFigures(problem, {"16.bmp"}, starts);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(u8(refused[0]), "グラフは15個までです");
    EXPECT_EQ(problem.size(), 45u);
    // Answer figures are counted apart.
    EXPECT_TRUE(addFigures(answer, {"ans.bmp"}, starts).empty());
    EXPECT_EQ(answer.size(), 3u);
}

TEST(MasterEditor, FigureListIsTheBitmapsOfTheFolderByName)
{
    test::TempFolder dir;
    for (const char* name :
         {"zu9.bmp", "Zu1.BMP", "zu10.bmp", "maru.Bmp", "zu2.bmp", "memo.txt", "bmp", "a.bmpx", "a.b.bmp"})
        std::ofstream(dir.path() + "/" + name) << "x";
    std::filesystem::create_directory(dir.path() + "/folder.bmp");
    EXPECT_EQ(figureFilesIn(dir.systemPath()),
              (std::vector<std::string>{"Zu1.BMP", "a.b.bmp", "maru.Bmp", "zu10.bmp", "zu2.bmp", "zu9.bmp"}));
    EXPECT_TRUE(figureFilesIn(dir.systemPath("missing/")).empty());
}

TEST(MasterEditor, LayoutBlockCheck)
{
    struct Case {
        Lines lines;
        const char* message;
    };
    auto kran = [](int n) {
        Lines l{"<<kran"};
        l.insert(l.end(), static_cast<std::size_t>(n), "0");
        l.push_back(">>");
        return l;
    };
    Lines shortValue = layout();
    shortValue.erase(shortValue.begin() + 1);
    Lines longFont = layout();
    longFont.insert(longFont.begin() + 12, "x");
    const Case cases[] = {{layout(), ""},
                          {kran(8), ""},
                          {kran(10), ""},
                          {kran(9), "kranブロックの数が合いません"},
                          {shortValue, "valueブロックの数が合いません"},
                          {longFont, "fontブロックの数が合いません"},
                          {{"<<value", "1", "2"}, "valueブロックの数が合いません"}};
    for (const Case& c : cases)
        EXPECT_EQ(u8(checkLayoutBlocks(c.lines).message()), c.message) << c.message;
}

TEST(MasterEditor, LoadsTheBlocksOrTheTemplate)
{
    Courseware cw;
    MasterEditor editor;
    editor.load(cw.index, {1, 1, 1, 0}, layout());
    EXPECT_EQ(editor.areas.ques, sjLines({"問題", "(1) 2+3= # 5 #"}));
    EXPECT_EQ(editor.areas.kgroup, sjLines({"5"}));
    // The layout block and the soft keys are kept whole.
    EXPECT_EQ(editor.areas.pasteLo,
              sjLines({"<<value", "630", "False", "40", "5", "5", "1", "7", ">>", "<<softkey", "12345", ">>"}));

    for (UnitPosition missing : {UnitPosition{1, 1, 9, 0}, UnitPosition{1, 7, 1, 0}}) {
        editor.load(cw.index, missing, layout());
        EXPECT_EQ(editor.areas.ques, newUnitProblemText());
        EXPECT_EQ(editor.areas.pasteLo, layout());
    }

    // For a worksheet, its layout and figures as they stand on the page.
    Worksheet sheet;
    sheet.graph = {"g.bmp", "30", "40"};
    sheet.settings.lineSpacing = 44;
    editor.load(cw.index, {1, 1, 1, 0}, layout(), &sheet);
    EXPECT_EQ(editor.areas.qgraph, sheet.graph);
    EXPECT_EQ(editor.areas.pasteLo[3], "44");
    EXPECT_EQ(editor.areas.pasteLo.back(), ">>");
    EXPECT_EQ(editor.areas.pasteLo[editor.areas.pasteLo.size() - 3], "<<softkey");
}

TEST(MasterEditor, SavingInPlaceLeavesEveryOtherLineAlone)
{
    Courseware cw;
    MasterEditor editor;
    editor.load(cw.index, {1, 1, 2, 0}, layout());
    editor.areas.ques = sjLines({"見出し", "(1) # イ #"});
    editor.areas.pasteLo = layout();
    ASSERT_TRUE(editor.save().ok);
    Lines disk = cw.onDisk();
    Lines expected(cw.master.begin(), cw.master.begin() + 23);
    Lines unit = sjLines({"[[unit2", "<<ques", "見出し", "(1) # イ #", ">>", "<<dummy", ">>"});
    expected.insert(expected.end(), unit.begin(), unit.end());
    Lines blocks = layout();
    expected.insert(expected.end(), blocks.begin(), blocks.end());
    expected.insert(expected.end(), {"]]", cw.master.back()});
    EXPECT_EQ(disk, expected);

    // Untouched units stay byte for byte, also when loaded and saved unchanged.
    editor.load(cw.index, {1, 1, 1, 0}, layout());
    ASSERT_TRUE(editor.save().ok);
    EXPECT_EQ(Lines(disk.begin(), disk.begin() + 9), Lines(cw.master.begin(), cw.master.begin() + 9));
}

TEST(MasterEditor, SimilarProblemIsAppendedAndTheBaseStays)
{
    Courseware cw;
    MasterEditor editor;
    editor.load(cw.index, {1, 1, 1, 0}, layout());
    editor.areas.hint = sjLines({"ヒント"});
    auto m = editor.nextSimilar();
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(*m, 1);
    editor.takeSimilar(*m);
    editor.areas.ques[1] = sjis::encode("(1) 4+4= # 8 #");
    ASSERT_TRUE(editor.save().ok);
    Lines disk = cw.onDisk();
    ASSERT_GT(disk.size(), cw.master.size());
    EXPECT_EQ(Lines(disk.begin(), disk.begin() + static_cast<long>(cw.master.size())), cw.master);
    Lines appended(disk.begin() + static_cast<long>(cw.master.size()), disk.end());
    EXPECT_EQ(appended.front(), "[[unit1R1");
    EXPECT_EQ(appended.back(), "]]");
    // The choices and the hint the teacher typed are written too.
    EXPECT_NE(std::find(appended.begin(), appended.end(), "<<kgroup"), appended.end());
    EXPECT_NE(std::find(appended.begin(), appended.end(), sjis::encode("ヒント")), appended.end());

    editor.load(cw.index, {1, 1, 1, 1}, layout());
    EXPECT_EQ(u8(editor.nextSimilar().message()), "類題の類題は作成できません");
    // An existing record is never taken over by a new similar problem.
    editor.load(cw.index, {1, 1, 1, 0}, layout());
    EXPECT_EQ(*editor.nextSimilar(), 2);
    // Up to the fifth, the last the unit selection window lists; then no more, with the reason.
    for (int r = 2; r <= 5; ++r) {
        editor.load(cw.index, {1, 1, 1, 0}, layout());
        auto next = editor.nextSimilar();
        ASSERT_TRUE(next.ok());
        EXPECT_EQ(*next, r);
        editor.takeSimilar(*next);
        ASSERT_TRUE(editor.save().ok);
    }
    editor.load(cw.index, {1, 1, 1, 0}, layout());
    EXPECT_EQ(u8(editor.nextSimilar().message()), "類題は5つまでです。これ以上は作成できません");
    EXPECT_FALSE(editor.makeVariedSimilar(false, false).ok());
}

TEST(MasterEditor, ProblemsWhoseFirstAnswerIsNotTheirValueAreNamedBeforeSaving)
{
    struct Case {
        std::vector<const char*> ques;
        const char* asked; // nullptr: nothing to ask
        int line;
    };
    const Case cases[] = {
        {{"見出し", "(1) 1/3+2/5= #11/15#", "(2) 2+3= #5#"}, nullptr, 0},
        {{"見出し", "(1) 1/3+2/5= #7/15#"},
         "答えが式の値と違う問題があります。\n2行目：1/3+2/5 = 7/15（計算すると 11/15）\nこのまま保存しますか",
         2},
        {{"(1) 1/2+1/2= #2/2#", "(2) 3-1= #3#", "(3) 1/0+1= #1#"},
         "答えが式の値と違う問題があります。\n2行目：3-1 = 3（計算すると 2）\n3行目：1/0+1 = 1（計算できません）\n"
         "このまま保存しますか",
         2},
        // Lines that are not problems, and answers that are not numbers, are left alone.
        {{"どちらが大きいか", "(1) # ア #", "文章の問題 #5#"}, nullptr, 0},
    };
    for (const Case& c : cases) {
        Lines ques;
        for (const char* line : c.ques)
            ques.push_back(sjis::encode(line));
        int line = 0;
        auto asked = wrongAnswersQuestion(ques, &line);
        EXPECT_EQ(asked.has_value(), c.asked != nullptr) << c.ques[0];
        if (asked && c.asked) {
            EXPECT_EQ(u8(*asked), c.asked);
        }
        EXPECT_EQ(line, c.line) << c.ques[0];
    }
}

TEST(MasterEditor, RefusedSaveWritesNothing)
{
    Courseware cw;
    MasterEditor editor;
    editor.load(cw.index, {1, 1, 1, 0}, layout());
    editor.areas.ques = sjLines({"#x##y#"});
    MasterEditor::SaveOutcome out = editor.save();
    EXPECT_EQ(out.refused, MasterEditor::SaveOutcome::Refused::ProblemText);
    editor.areas.ques = sjLines({"# x #"});
    editor.areas.pasteLo = {"<<kran", "1", ">>"};
    EXPECT_EQ(editor.save().refused, MasterEditor::SaveOutcome::Refused::Layout);
    EXPECT_EQ(cw.onDisk(), cw.master);
}

TEST(MasterEditor, AWriteThatFailsPartWayLeavesTheOldFile)
{
    Courseware cw;
    MasterEditor editor;
    editor.load(cw.index, {1, 1, 1, 0}, layout());
    editor.areas.ques = {"# x #", std::string(64 * 1024, 'a')};
    // The file size limit stops the write after its first bytes, as a full disk does.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    MasterEditor::SaveOutcome out = editor.save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(out.refused, MasterEditor::SaveOutcome::Refused::Write);
    EXPECT_NE(u8(out.message).find("の保存に失敗しました"), std::string::npos);
    EXPECT_EQ(cw.onDisk(), cw.master);
    for (const auto& entry : std::filesystem::directory_iterator(cw.folder.path() + "/les"))
        EXPECT_EQ(entry.path().filename(), "les1.que");
}

TEST(MasterEditor, WorksheetSavedBackInPlace)
{
    Courseware cw;
    Worksheet sheet;
    sheet.position = {1, 1, 1, 0};
    sheet.path = cw.masterPath();
    sheet.settings.characterSize = 20;
    sheet.changed = true;
    ASSERT_TRUE(saveWorksheetToMaster(sheet, cw.index, layout()).ok());
    EXPECT_FALSE(sheet.changed);
    Lines disk = cw.onDisk();
    EXPECT_EQ(disk[0], cw.master[0]);
    EXPECT_EQ(disk[1], "[[unit1");
    auto font = std::find(disk.begin(), disk.end(), "<<font");
    ASSERT_NE(font, disk.end());
    EXPECT_EQ(*(font + 1), "20");
    Lines tail(cw.master.end() - 7, cw.master.end());
    EXPECT_EQ(Lines(disk.end() - 7, disk.end()), tail);
}

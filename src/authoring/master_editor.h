#pragma once
// The master file editor's operations: one unit of a master file held in seven edit areas, the checks of the
// problem text and of the layout blocks, the answers extracted from the problem text, the selection list, dummy
// answers, figures, numbering, similar problems, and saving the unit back into the file's lines, in place or
// appended. Texts are CP932 bytes; the window only shows the areas and forwards its buttons here.
#include "courseware/index_file.h"
#include "courseware/unit_position.h"
#include "platform/canvas.h"
#include "platform/line_file.h"
#include "platform/result.h"

#include <optional>
#include <string>
#include <vector>

namespace tavola {

struct Worksheet;

// A problem or answer figure list holds at most 15 figures (three lines each).
inline constexpr int kMaxEditorFigures = 15;

// The seven edit areas, in the blocks they hold.
struct EditorAreas {
    Lines ques;    // MemQues: "<<ques"
    Lines kgroup;  // memKgroup: "<<kgroup"
    Lines dummy;   // memDummy: "<<dummy"
    Lines hint;    // memHint: "<<hint"
    Lines qgraph;  // memQGraph: "<<graph"
    Lines agraph;  // memAGraph: "<<AGraph"
    Lines pasteLo; // memPasteLo: "<<value", "<<font", "<<kran" (and any other block) with their keyword and ">>"
};

// The new-unit template's problem text: "１．次の各空欄に適語を入れなさい。", "例　日本の首都は　#　東京　#　です".
Lines newUnitProblemText();

// The outcome of the problem text check: accepted, or the 0-based faulty line and its message.
struct TextCheck {
    bool ok = true;
    int line = 0;
    std::string message;
};
// Every line must have an even number of "#" (line + "行目：＃の数は偶数にしてください") and no empty piece
// between two "#" (line + "行目：解答がありません"); at least one line must hold a "#" ("解答欄がありません").
TextCheck checkProblemText(const Lines& ques);

// The texts inside each pair of "#", trimmed of blanks and control characters and then of full-width spaces at
// both ends. Meant for an accepted problem text.
Lines extractAnswers(const Lines& ques);
// Blanks and control characters (bytes up to 0x20) at both ends, then full-width spaces "　" at both ends, found
// by characters so that a trail byte is never taken for the start of a space. Linear in the text's length.
std::string trimAnswer(std::string_view text);

// Removes lines made only of full-width digits, looked at in two-byte slices (a last odd byte is not looked at);
// lines shorter than two bytes go too.
void removeDigitOnlyLines(Lines& lines);
// Removes lines that are exactly one choice label: あ … こ, ア … コ, Ａ … Ｊ.
void removeChoiceLabelLines(Lines& lines);
// The selection list from the extracted answers: every alternative (split at ";") of every non-empty answer on a
// line of its own, then the digit-only and choice-label lines removed as asked.
Lines selectionFromAnswers(const Lines& answers, bool withoutDigits, bool withoutLabels);
// Appends each non-empty dummy answer that the selection list does not hold yet.
void addDummyAnswers(Lines& kgroup, const Lines& dummy);
// The soft keyboard's character count of the selection list: the sum of each line's bytes divided by 2.
int selectionCharacterCount(const Lines& kgroup);

// "(" + i + ") " + line + "=" for every line from the second on (i = 1, 2, …); the first line is a heading.
void numberProblems(Lines& ques);

// The kinds of enclosing the editor's buttons do, and what the selection becomes.
enum class Enclosure { AnswerBox, Underline, Bold, Italic };
std::string enclose(const std::string& selection, Enclosure kind);
// "囲む範囲を選択してください".
std::string nothingSelectedMessage();

// The figure files of a folder (a system folder text ending in "\\"): paths::filesWithExtension ".bmp".
std::vector<std::string> figureFilesIn(const std::string& systemFolder);

// Adds each named bitmap to a figure area as file name, x and y. Figure k (k = lines div 3 + 1) starts at the
// k-th segment position of the worksheet's last drawing pass moved 40 right and 20 down; without such a position
// it is left for the drawing pass to place ("-1"). Past 15 figures a file is skipped with "グラフは15個までです".
// Returns the messages for the files skipped.
std::vector<std::string> addFigures(Lines& area, const std::vector<std::string>& files,
                                    const std::vector<Point>& segmentPositions);

// Each "<<value" and "<<font" must be followed by 7 lines before its ">>", each "<<kran" by 10 or 8; the first
// violation gives "valueブロックの数が合いません", "fontブロックの数が合いません" or "kranブロックの数が合いません".
Status checkLayoutBlocks(const Lines& area);

// "データを変更して類題" + m + "を作成します".
std::string makeSimilarQuestion(int m);
// "類題の類題は作成できません".
std::string similarOfSimilarMessage();
// The unit has as many similar problems as the unit selection window shows.
std::string tooManySimilarMessage();
// "変更されたデータファイルを保存しますか？".
std::string saveChangesQuestion();
// Before a save: the problems of the problem text whose first answer is not the value of their arithmetic, each
// with its line number, and whether to save all the same; nullopt when every answer agrees. The first line number
// such a problem stands on goes to firstLine (1-based).
std::optional<std::string> wrongAnswersQuestion(const Lines& ques, int* firstLine = nullptr);
// "数を変えられる問題がありません": 類題を自動作成 found no problem whose numbers it can change.
std::string nothingToVaryMessage();

// The unit of a position as the editor loads it: the master file's lines and path, the areas, and how many
// similar problems the unit has.
class MasterEditor {
public:
    // Load unit. The master file path is formed from the index (only for a section number above 0). A missing
    // file or record gives the new-unit template: the template problem text and defaultBlocks as layout. A found
    // record fills the areas from its blocks; the layout blocks and any other block go to pasteLo with their
    // keyword and ">>". When the editor works for a worksheet (sheet not null), the worksheet's current layout
    // blocks and figure lists stand in for the file's, so that what was changed on the page is what is saved.
    void load(const CoursewareIndex& index, const UnitPosition& position, const Lines& defaultBlocks,
              const Worksheet* sheet = nullptr);

    EditorAreas areas;
    bool modified = false;

    const UnitPosition& position() const { return position_; }
    const std::string& path() const { return path_; }
    const Lines& fileLines() const { return fileLines_; }
    // The similar problems the unit already has (lstTempBuff).
    const std::vector<std::string>& similarProblems() const { return similar_; }
    // 0 until a similar problem is made, then its number.
    int newSimilar() const { return newSimilar_; }

    // Make a similar problem: refused for a similar problem; otherwise the number the new one takes, asked about
    // with makeSimilarQuestion() before takeSimilar() turns the shown unit into it. A number whose record already
    // stands in the file is passed over, so an existing similar problem is never overwritten.
    Result<int> nextSimilar() const;
    void takeSimilar(int m);
    // 類題を自動作成: the next similar problem (numbered as nextSimilar() numbers it) made from the shown problem
    // text with new numbers in every problem that can be varied. Similar problem m gets the numbers of printed copy
    // m + 1 of the unit. A selection list that has lines is built again from the new answers, as <=挿入 builds it,
    // with the dummy answers added. Refused for a similar problem, and with nothingToVaryMessage() when no number
    // can change; the areas are then left as they were. Nothing is written until save().
    Result<int> makeVariedSimilar(bool withoutDigits, bool withoutLabels);
    // Cancel: forgets a similar problem made and the changes.
    void cancel();

    // Save: the problem text and layout checks (with the faulty line), the unit written into the file's lines in
    // place or appended, and the file written whole and safely. On a write failure the file on disk is as it was.
    struct SaveOutcome {
        bool ok = false;
        enum class Refused { None, ProblemText, Layout, Write } refused = Refused::None;
        int line = 0; // the faulty problem line
        std::string message;
    };
    SaveOutcome save();

    // The file lines with the unit put in place or appended (what save writes).
    Lines linesWithUnit() const;

    // Raw editing wrote the whole file: its lines are taken as they now stand.
    Status writeWholeFile(const Lines& lines);

private:
    UnitPosition position_;
    std::string path_;
    Lines fileLines_;
    std::vector<std::string> similar_;
    int newSimilar_ = 0;
    std::string unitId_; // the unit's short key, which seeds its variants
};

// Saving a worksheet back into its master file (上書き保存): the unit loaded with the worksheet's layout and
// figures, put in place of its record (or appended) and written to the worksheet's path. On success the
// worksheet's changed flag is cleared.
Status saveWorksheetToMaster(Worksheet& sheet, const CoursewareIndex& index, const Lines& defaultBlocks);

} // namespace tavola

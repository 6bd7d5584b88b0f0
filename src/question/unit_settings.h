#pragma once
// The typed layout settings of a unit, from the lines of its "<<value", "<<font" and "<<kran" blocks, with the
// defaults of a unit that lacks them; and the same settings written back as those blocks' lines. Every rule about
// what the layout lines mean lives here: the reader checks its numbers with these functions, the worksheet takes
// its settings from unitSettings(), copy files and the editor write them with the *Lines() functions.
#include "platform/sjis.h"
#include "question/unit_data.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tavola {

inline constexpr int kValueLineCount = 7;
inline constexpr int kFontLineCount = 7;
inline constexpr int kKranLineCount = 10;

// Option bits (value line 7).
inline constexpr int kOptionClassFlag = 1;
inline constexpr int kOptionDateLine = 2;
inline constexpr int kOptionNumberLine = 4;

// Value line k (1 … 7) holds a number for k = 1 and 3 … 7; line 2 is the answers-shown flag, which is written
// from the worksheet's state but never read.
bool valueLineIsNumber(int line);
// The number on value line k: a decimal integer; lines 1 and 7 may also hold "True" or "False", which count as
// 630 (A4) and 7 (all options). nullopt for any other text.
std::optional<int> valueLineNumber(int line, std::string_view text);

struct Paper {
    int width = 630;
    int height = 891;
    friend bool operator==(const Paper&, const Paper&) = default;
};
// 546 → 771 (B5), 630 → 891 (A4), 771 → 1092 (B4), 891 → 1260 (A3). The paper table decides: any other width
// is no paper (nullopt), and a unit that names one keeps the page it has, A4 for a new worksheet.
std::optional<Paper> paperOfWidth(int width);

// The main text face, what a font line 7 of "0" stands for.
std::string mainTextFace();

// The answer-box items 0 … 9, one per line of the "<<kran" block. Only the shape, the size and the answer column
// are drawn; the other items are kept and written back.
struct AnswerBoxSettings {
    int shape = 2;  // item 0: 0 none, 1 square, 2 ［ ］, 3 【 】, 4 underline, 5 rounded square
    int width = 10; // item 1: the frame is 5 × (width + 5) units wide
    int height = 4; // item 2
    // Item 3 as its text: only the text "2" asks for two columns ("02" and "+2" do not), and the line is written
    // back as it was read.
    std::string columns = "0";
    int answerX = 0;        // item 4: the answer column in tens of layout units; 0 right after the text
    int answerY = 0;        // item 5
    int insetX = 15;        // item 6
    int insetY = 10;        // item 7
    int subLineSpacing = 0; // item 8 (副行間)
    int reserved = 0;       // item 9

    bool twoColumns() const { return columns == "2"; }
    friend bool operator==(const AnswerBoxSettings&, const AnswerBoxSettings&) = default;
};

struct UnitSettings {
    Paper paper;
    bool answersShown = false; // value line 2: the main window's choice, not the file's
    int lineSpacing = 30;      // 主行間
    int leftMargin = 5;        // in tens of layout units
    int rightMargin = 5;
    int startNumber = 1; // 開始No
    int optionBits = 7;
    int characterSize = 14;
    std::string textFace = mainTextFace(); // the face the sheet is drawn in (font line 7, "0" resolved)
    // Font lines 2 … 6 (the secondary font's face, bold, italic, underline, strike-out), carried unchanged. The
    // face is written into copy files and master files, so it is CP932 like every text of those files.
    std::array<std::string, 5> secondaryFont{"MS 明朝"_sj, "False", "False", "False", "False"};
    AnswerBoxSettings answerBox;

    friend bool operator==(const UnitSettings&, const UnitSettings&) = default;

    // The blocks' lines as copy files and the editor write them; font line 7 is the face in use.
    Lines valueLines() const;
    Lines fontLines() const;
    Lines kranLines() const;
    // "<<value", 7 lines, ">>", "<<font", 7 lines, ">>", "<<kran", 10 lines, ">>".
    Lines layoutBlockLines() const;
};

// The settings of a unit as read. Without "<<value": A4, line spacing 30, margins 5 and 5, start number 1, option
// bits 7, character size 14; a "<<font" block still sets the size and the face. Without "<<kran": the items
// 2, 10, 4, 0, 0, 0, 15, 10, 0, 0. Option bits of 16 or more become 15. answersShown is the main window's choice.
// The reader has refused a unit whose numbers are not numbers; should a line still not read as one here, its
// default stands.
UnitSettings unitSettings(const UnitData& unit, bool answersShown = false);

} // namespace tavola

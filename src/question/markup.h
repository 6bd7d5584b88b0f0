#pragma once
// The markup inside a problem line. A line is cut at every "#" into segments: even segments are text, odd ones
// answers, so a line starts and ends with a text segment. An answer is cut at ";" into alternatives, the first
// being the one shown in the box. A segment whose first character is a double quote is plain text; any other is
// cut at "@" into text and one-character code tokens. A token whose first character is a code character acts as
// that code and is not drawn, whether it came after an "@" or not ("-3" after a code acts as "@-").
//
// Style codes last to the end of their segment; size codes last until the next size code or the next drawing of
// the whole sheet, across segments and lines. Drawing the pieces is the worksheet's business; this file only cuts
// and classifies. Texts are CP932 bytes; "#", ";", "@" are found on character boundaries, so the second byte of a
// double-byte character is never taken for one of them.
#include <string>
#include <string_view>
#include <vector>

namespace tavola::markup {

struct SplitLine {
    std::vector<std::string> segments; // s0 … sm, at least one
    int hashCount = 0;                 // m

    // Answers that are drawn: one per complete pair of "#". With an odd count the text after the last "#" is
    // not drawn.
    int answerCount() const { return hashCount / 2; }
};

SplitLine splitLine(std::string_view line);

// The alternatives of an answer segment; never empty (an empty segment gives one empty alternative).
std::vector<std::string> splitAnswer(std::string_view answer);

// True when the segment starts with a double quote: drawn literally, without codes or expression rendering.
bool isPlainSegment(std::string_view segment);
// The text of a plain segment after its quote.
std::string plainText(std::string_view segment);

// Tokens alternating text and code, starting and ending with a text token (possibly empty):
// "abc@Bdef@/gh" gives "abc", "B", "def", "/", "gh"; a trailing "@" gives an empty code token.
std::vector<std::string> splitSegment(std::string_view segment);

enum class Code {
    Text,          // not a code: drawn through the expression renderer (empty tokens draw nothing)
    Bold,          // B
    Italic,        // I
    Underline,     // U
    BoldUnderline, // X
    StrikeOut,     // _
    Plain,         // /
    Larger,        // + : base size + 4 points
    Smaller,       // - : base size − 4 points
    BaseSize,      // = : base size
    Quote,         // a double quote: nothing
};

// The code of a token, by its first character; Code::Text for an empty token and any other first character.
Code classify(std::string_view token);

struct TextStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

// What the codes have set while a sheet is drawn: the style (reset at every segment) and the size offset from
// the base size (kept across segments and lines until the next size code).
struct MarkupState {
    TextStyle style;
    int sizeOffset = 0; // 0, +4 or −4; "+" and "-" do not accumulate

    void startSegment() { style = {}; }
    // Applies a code; returns false for Code::Text (the token is to be drawn).
    bool apply(Code code);
};

} // namespace tavola::markup

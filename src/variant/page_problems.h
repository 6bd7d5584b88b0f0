#pragma once
// The problems of a page as the variant generator sees them. Every answer box of a line is looked at, wherever it
// stands ("(1) 2/3+1/6=# 5/6 #    (2) 1/4+1/3=# 7/12 #" holds two problems):
//
// - A box right after "arithmetic =" is a calculation; the arithmetic is the longest piece of the text before the
//   "=" that reads as a calculation ("(2) 1/4+1/3", "式 2/5+1/5").
// - A box of a word problem whose formula is not printed gets its formula from the comment of the "<<ques" block
//   (the "{" … "}" lines, which are never drawn): a comment line "(n) ARITHMETIC", for example "(3) 2/3*5", is the
//   formula of the first box after the label "(n)" on the page that has no arithmetic of its own. The formulas are
//   matched in page order, so a page whose sections both count from (1) lists them in the order of the page.
// - The story of a problem is the text of its line before its arithmetic (after its label), the text after its box
//   when it is the last box of the line, and the line above when that line has no "=" and writes one of the
//   formula's numbers ("2/5 L と 1/5 L あります。" above "式 2/5+1/5=# 3/5 #"). The story is varied with its
//   formula: every number of it that is written as one of the formula's numbers gets that number's new value.
//
// A problem keeps its numbers, with the reason, when varying it could make the page wrong: an answer that is not
// the value of its arithmetic, a number of the story that is none of the formula's (other than 1), a number of a
// formula from the comment that the story does not write, another answer box on its lines that depends on it.
#include "platform/line_file.h"
#include "variant/problem_text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tavola::variant {

// An answer box: the two "#" of line `line` and the alternatives between them.
struct Box {
    std::size_t line = 0;
    std::size_t open = 0;
    std::size_t close = 0;
    std::size_t textBegin = 0; // the text segment before the box starts here (after the previous box or at 0)
    bool lastOfLine = false;
    std::string label; // "(3)": the last label before the box on its line; empty when there is none
    std::vector<AnswerText> answers;
};

// A number written in a story: line, bytes and text.
struct StoryNumber {
    std::size_t line = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string text;
};

struct PageProblem {
    Expression expression;
    // The line whose bytes the operand spans of the expression refer to; nullopt for a formula of the comment.
    std::optional<std::size_t> formulaLine;
    std::size_t box = 0;                   // the problem's own box (index into PageProblems::boxes)
    std::vector<std::size_t> linkedBoxes;  // further boxes whose answer is the problem's value ("答え # 3/5 # L")
    std::vector<std::string> operandTexts; // as written: in the line or in the comment
    std::vector<StoryNumber> story;
    std::vector<std::size_t> lines; // the lines the problem stands on, in order
    std::string label;
    std::string kept; // why it keeps its numbers (plain ASCII); empty when it may be varied
};

struct PageProblems {
    std::vector<Box> boxes;            // in page order
    std::vector<PageProblem> problems; // in page order of their own boxes
    // Boxes with numbers (in their answer or their text) that belong to no problem: figures, comparisons, word
    // problems without a formula. They keep their numbers on every copy.
    std::vector<std::size_t> boxesKept;
    std::vector<bool> storyLine; // per line: the story of a problem below it
    std::vector<bool> heading;   // per line: text without a box that is no story (it ends a run of problems)
};

// The problems of the page lines, with the formulas of the comment lines.
PageProblems findPageProblems(const Lines& lines, const Lines& comment);

// The numbers of a text as the story tokens are read: runs of digits, ".", "/" and "&" outside the markup codes,
// with the labels "(n)" left out. Appends to out.
void storyNumbers(std::string_view text, std::size_t line, std::size_t begin, std::size_t end,
                  std::vector<StoryNumber>& out);

// The label "(n)" of a comment line and the byte where its arithmetic starts; nullopt when the line is no formula.
std::optional<std::pair<std::string, std::size_t>> commentFormula(std::string_view line);

} // namespace tavola::variant

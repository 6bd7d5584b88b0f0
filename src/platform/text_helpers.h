#pragma once
// The shared text and file helpers that several subsystems use: existence checks with their messages,
// confirmation boxes, splitting at "#" and ";", trims, padding, extensions, shuffling, dates and times.
// Texts are CP932 bytes.
#include "platform/prompts.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavola {

class Random;
class Clock;

// "ファイル " + path + " が見つかりません" when the file does not exist.
bool checkFileExists(Prompts& prompts, const std::string& path);
std::string fileNotFoundMessage(const std::string& path);
std::string folderNotFoundMessage(const std::string& path);

// Yes/No and Yes/No/Cancel boxes.
inline Answer confirmYesNo(Prompts& prompts, const std::string& text) { return prompts.confirm(text); }
inline Answer confirmYesNoCancel(Prompts& prompts, const std::string& text) { return prompts.confirmWithCancel(text); }

// From the first "." the "." and up to three more characters, lower-cased (ASCII); empty without ".".
std::string extensionOf(std::string_view name);

// The parts between "#" characters; returns the number of "#" found. "a#b#c" gives a, b, c and 2.
int splitAtHash(std::string_view text, std::vector<std::string>& parts);
// The parts between ";" characters; returns their number.
int splitAtSemicolon(std::string_view text, std::vector<std::string>& parts);

// Removes leading and trailing half-width blanks, then leading and trailing full-width spaces "　" (81 40).
std::string trimFullWidth(std::string_view text);
// Removes blanks and control characters (bytes up to 0x20) at both ends, then full-width spaces at both ends: how
// an answer is taken from a problem text and how a typed answer is compared. Linear in the text's length.
std::string trimAnswerText(std::string_view text);

// When text is shorter than model: an empty text becomes 12 blanks cut to the model's length, any other text
// " " + text + 12 blanks cut to the model's length; otherwise text is unchanged.
std::string padToModel(std::string_view text, std::string_view model);

// For each index i in order, swaps item i with a uniformly random item when they differ.
void shuffleList(std::vector<std::string>& items, Random& random);

// The text after the last occurrence of c (by character); the whole text when c does not occur.
std::string textAfterLast(std::string_view text, char c);

// Two digits of n: "07", "10", "00".
std::string twoDigits(int n);
// "2005.03.05".
std::string dottedDate(const Clock& clock);

} // namespace tavola

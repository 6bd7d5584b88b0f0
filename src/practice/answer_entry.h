#pragma once
// The answer-entry aids of the practice window: the fraction pad that composes fractions in the order they are
// read aloud (denominator, 分の, numerator; a whole part first with と), the soft keyboard's keys, the input box
// colours, and the reduction hint that tells a learner an entry has the answer's value but not its form.
#include "platform/colour.h"
#include "platform/seams.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tavola {

inline constexpr int kSoftKeys = 120;

// The four input box colours, as stored: light cyan, light green, light yellow, light pink.
inline constexpr std::array<Colour, 4> kBoxColours{Colour{0xFFFFC0}, Colour{0xC0FFC0}, Colour{0xC0FFFF},
                                                   Colour{0xFFC0FF}};

// The fraction pad: edtSign (the whole part), edtBunshi, edtBunbo and the bar shpBunno.
struct FractionPad {
    std::string whole;
    std::string numerator;
    std::string denominator;
    bool numeratorState = false; // digits go to the numerator after 分の
    bool barRed = false;

    void digit(char d);
    void bunno(); // 分の
    void to();    // と: the denominator typed so far is the whole part
    void clear(); // 消去
    // <== and 次へ: whole&numerator/denominator, or nothing (and no change) while the numerator is empty.
    std::optional<std::string> compose();
};

// The captions of the 120 soft keys from the soft-key lines: every two bytes of a line make one key (an odd
// last byte is dropped), at most 120 keys, then shuffled; keys past the characters are empty.
std::array<std::string, kSoftKeys> softKeyCaptions(const std::vector<std::string>& lines, Random& random);
// The soft keyboard's ＢＳ: the last character off, both bytes of a double-byte one.
std::string withoutLastCharacter(const std::string& text);

// Beside a wrong entry: "約分できるよ" when it is the answer's value in a fraction that can be reduced,
// "帯分数にしよう" when it is the value of a mixed-number answer written as an improper fraction; nothing for any
// other entry. Values are compared as exact fractions.
std::optional<std::string> reductionHint(const std::string& entry, const std::vector<std::string>& acceptList);

// An exact rational read from an answer text: "3", "-3", "3/4", "2&1/3"; nothing for any other text or a zero
// denominator.
struct Fraction {
    long long whole = 0;
    long long numerator = 0;
    long long denominator = 1;
    bool negative = false;
    bool mixed = false;    // written with "&"
    bool fraction = false; // written with "/"
};
std::optional<Fraction> parseFraction(const std::string& text);
bool sameValue(const Fraction& a, const Fraction& b);

} // namespace tavola

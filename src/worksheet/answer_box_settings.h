#pragma once
// The rules of the answer-box settings dialog: which shape button an answer-box item 0 selects, which of the width
// and height spins a shape uses, the ranges of the dialog's spins, and how each change is written into the
// worksheet (and whether it marks the worksheet changed). The dialog (TfrmSettei) forwards every change here and
// only redraws and marks what these functions tell it to.
#include "worksheet/answer_boxes.h"
#include "worksheet/worksheet.h"

namespace tavola {

// The controls of the dialog that write into the worksheet.
enum class SettingControl {
    Shape,       // radio buttons, answer-box item 0
    BoxWidth,    // spnKranWX, item 1
    BoxHeight,   // spnKranH, item 2
    AnswerX,     // spnAnsX, item 4
    AnswerY,     // spnAnsY, item 5
    BoxInsetX,   // spnKranX, item 6
    BoxInsetY,   // spnKranY, item 7
    LeftMargin,  // spnLeftM, the worksheet's left margin
    RightMargin, // spnRightM, the worksheet's right margin
};

// The shape button item 0 selects: 1 … 5 their own buttons (2 and 3 are hidden), any other value なし.
BoxShape shapeButtonOf(int item0);

// Which of the size spins a shape uses: none neither; square and rounded both; the brackets and the underline
// only the width.
struct SizeSpinsEnabled {
    bool width = false;
    bool height = false;
    friend bool operator==(const SizeSpinsEnabled&, const SizeSpinsEnabled&) = default;
};
SizeSpinsEnabled sizeSpinsEnabled(BoxShape shape);

// Choosing square, ［ ］, 【 】 or rounded only redraws; none and underline, like every other change, also mark the
// worksheet changed.
bool shapeChoiceMarksChanged(BoxShape shape);

struct SpinRange {
    int min = 0;
    int max = 0;
    friend bool operator==(const SpinRange&, const SpinRange&) = default;
};
// The range of a spin. The margins run 0 … 15. The box width runs from −10: a width below −5 sizes the frame from
// the end of the drawn answer instead of from its start.
SpinRange spinRange(SettingControl control);
// The range widened to hold a value the worksheet already has, so that loading a value into a spin and writing
// the spin back never alters it.
SpinRange rangeHolding(SpinRange range, int value);

// The worksheet's current value of a control (for Shape the raw item 0).
int settingValue(const Worksheet& sheet, SettingControl control);

// Writes a change of a control into the worksheet. Returns whether the change marks the worksheet changed; the
// caller redraws it in either case.
bool applySetting(Worksheet& sheet, SettingControl control, int value);

// Closing with OK writes items 1 and 2 once more from the width and height spins. Returns whether that altered a
// stored value (it does not when every change went through applySetting), which then marks the worksheet changed.
bool applyClosingSizes(Worksheet& sheet, int width, int height);

} // namespace tavola

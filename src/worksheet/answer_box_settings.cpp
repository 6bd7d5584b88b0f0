#include "worksheet/answer_box_settings.h"

#include <algorithm>

namespace tavola {
namespace {

// The field a control writes, for a worksheet's settings whether const or not.
template <class Settings> auto storage(Settings& settings, SettingControl control) -> decltype(&settings.leftMargin)
{
    auto& items = settings.answerBox;
    switch (control) {
    case SettingControl::Shape:
        return &items.shape;
    case SettingControl::BoxWidth:
        return &items.width;
    case SettingControl::BoxHeight:
        return &items.height;
    case SettingControl::AnswerX:
        return &items.answerX;
    case SettingControl::AnswerY:
        return &items.answerY;
    case SettingControl::BoxInsetX:
        return &items.insetX;
    case SettingControl::BoxInsetY:
        return &items.insetY;
    case SettingControl::LeftMargin:
        return &settings.leftMargin;
    case SettingControl::RightMargin:
        return &settings.rightMargin;
    }
    return nullptr;
}

} // namespace

BoxShape shapeButtonOf(int item0)
{
    if (item0 >= 1 && item0 <= 5) return static_cast<BoxShape>(item0);
    return BoxShape::None;
}

SizeSpinsEnabled sizeSpinsEnabled(BoxShape shape)
{
    switch (shape) {
    case BoxShape::None:
        return {false, false};
    case BoxShape::Square:
    case BoxShape::Rounded:
        return {true, true};
    case BoxShape::Brackets:
    case BoxShape::LenticularBrackets:
    case BoxShape::Underline:
        return {true, false};
    }
    return {false, false};
}

bool shapeChoiceMarksChanged(BoxShape shape)
{
    switch (shape) {
    case BoxShape::Square:
    case BoxShape::Brackets:
    case BoxShape::LenticularBrackets:
    case BoxShape::Rounded:
        return false;
    case BoxShape::None:
    case BoxShape::Underline:
        return true;
    }
    return true;
}

SpinRange spinRange(SettingControl control)
{
    switch (control) {
    case SettingControl::Shape:
        return {0, 5};
    case SettingControl::BoxWidth:
        return {-10, 60};
    case SettingControl::BoxHeight:
        return {0, 30};
    case SettingControl::AnswerX:
        // Tens of layout units; the widest paper (A3) is 891 units.
        return {0, 89};
    case SettingControl::AnswerY:
        return {-99, 99};
    case SettingControl::BoxInsetX:
    case SettingControl::BoxInsetY:
        return {0, 99};
    case SettingControl::LeftMargin:
    case SettingControl::RightMargin:
        return {0, 15};
    }
    return {0, 0};
}

SpinRange rangeHolding(SpinRange range, int value)
{
    return {std::min(range.min, value), std::max(range.max, value)};
}

int settingValue(const Worksheet& sheet, SettingControl control)
{
    return *storage(sheet.settings, control);
}

bool applySetting(Worksheet& sheet, SettingControl control, int value)
{
    *storage(sheet.settings, control) = value;
    if (control == SettingControl::Shape) return shapeChoiceMarksChanged(shapeButtonOf(value));
    return true;
}

bool applyClosingSizes(Worksheet& sheet, int width, int height)
{
    AnswerBoxSettings& items = sheet.settings.answerBox;
    bool altered = items.width != width || items.height != height;
    items.width = width;
    items.height = height;
    return altered;
}

} // namespace tavola

#include "question/unit_settings.h"

#include "platform/numbers.h"
#include "platform/sjis.h"

namespace tavola {
namespace {

// Option bits above the three that exist are cut off: 16 or more becomes 15.
constexpr int kMaxOptionBits = 15;
constexpr int kAllOptions = kOptionClassFlag | kOptionDateLine | kOptionNumberLine;
constexpr int kA4Width = 630;

std::optional<int> lineNumber(const Lines& lines, std::size_t k, auto read)
{
    if (k >= lines.size()) return std::nullopt;
    return read(lines[k]);
}

} // namespace

bool valueLineIsNumber(int line)
{
    return line == 1 || (line >= 3 && line <= kValueLineCount);
}

std::optional<int> valueLineNumber(int line, std::string_view text)
{
    if (!valueLineIsNumber(line)) return std::nullopt;
    if ((line == 1 || line == 7) && (text == "True" || text == "False")) return line == 1 ? kA4Width : kAllOptions;
    return parseInteger(text);
}

std::optional<Paper> paperOfWidth(int width)
{
    switch (width) {
    case 546:
        return Paper{546, 771};
    case 630:
        return Paper{630, 891};
    case 771:
        return Paper{771, 1092};
    case 891:
        return Paper{891, 1260};
    default:
        return std::nullopt;
    }
}

std::string mainTextFace()
{
    return "ＭＳ 明朝"_sj;
}

UnitSettings unitSettings(const UnitData& unit, bool answersShown)
{
    UnitSettings s;
    s.answersShown = answersShown;
    s.textFace = mainTextFace();
    if (unit.hasValue) {
        auto value = [&](int line, int fallback) {
            return lineNumber(unit.value, static_cast<std::size_t>(line - 1),
                              [line](const std::string& t) { return valueLineNumber(line, t); })
                .value_or(fallback);
        };
        // A width outside the paper table (0, a negative one, 100000) would be taken as the page's size.
        if (auto paper = paperOfWidth(value(1, kA4Width))) s.paper = *paper;
        s.lineSpacing = value(3, s.lineSpacing);
        s.leftMargin = value(4, s.leftMargin);
        s.rightMargin = value(5, s.rightMargin);
        s.startNumber = value(6, s.startNumber);
        s.optionBits = value(7, s.optionBits);
        if (s.optionBits > kMaxOptionBits) s.optionBits = kMaxOptionBits;
    }
    if (unit.hasFont) {
        const Lines& f = unit.font;
        s.characterSize = lineNumber(f, 0, [](const std::string& t) { return parseInteger(t); }).value_or(14);
        for (std::size_t k = 0; k < s.secondaryFont.size() && k + 1 < f.size(); ++k)
            s.secondaryFont[k] = f[k + 1];
        if (f.size() >= kFontLineCount && f[kFontLineCount - 1] != "0") s.textFace = f[kFontLineCount - 1];
    }
    if (unit.hasKran) {
        // A missing or unreadable item reads as 0, not as the default of a unit without the block.
        auto item = [&](std::size_t k) {
            return lineNumber(unit.kran, k, [](const std::string& t) { return parseInteger(t); }).value_or(0);
        };
        AnswerBoxSettings& a = s.answerBox;
        a.shape = item(0);
        a.width = item(1);
        a.height = item(2);
        a.columns = unit.kran.size() > 3 ? unit.kran[3] : "0";
        a.answerX = item(4);
        a.answerY = item(5);
        a.insetX = item(6);
        a.insetY = item(7);
        a.subLineSpacing = item(8);
        a.reserved = item(9);
    }
    return s;
}

Lines UnitSettings::valueLines() const
{
    return {std::to_string(paper.width), flagText(answersShown),      std::to_string(lineSpacing),
            std::to_string(leftMargin),  std::to_string(rightMargin), std::to_string(startNumber),
            std::to_string(optionBits)};
}

Lines UnitSettings::fontLines() const
{
    Lines lines{std::to_string(characterSize)};
    lines.insert(lines.end(), secondaryFont.begin(), secondaryFont.end());
    lines.push_back(textFace);
    return lines;
}

Lines UnitSettings::kranLines() const
{
    const AnswerBoxSettings& a = answerBox;
    return {
        std::to_string(a.shape),          std::to_string(a.width),   std::to_string(a.height), a.columns,
        std::to_string(a.answerX),        std::to_string(a.answerY), std::to_string(a.insetX), std::to_string(a.insetY),
        std::to_string(a.subLineSpacing), std::to_string(a.reserved)};
}

Lines UnitSettings::layoutBlockLines() const
{
    Lines lines;
    auto block = [&lines](const char* keyword, const Lines& content) {
        lines.push_back(keyword);
        lines.insert(lines.end(), content.begin(), content.end());
        lines.push_back(">>");
    };
    block("<<value", valueLines());
    block("<<font", fontLines());
    block("<<kran", kranLines());
    return lines;
}

} // namespace tavola

#include "question/markup.h"

#include "platform/sjis.h"
#include "platform/text_helpers.h"

namespace tavola::markup {

SplitLine splitLine(std::string_view line)
{
    SplitLine split;
    split.hashCount = splitAtHash(line, split.segments);
    return split;
}

std::vector<std::string> splitAnswer(std::string_view answer)
{
    std::vector<std::string> alternatives;
    splitAtSemicolon(answer, alternatives);
    return alternatives;
}

bool isPlainSegment(std::string_view segment)
{
    return !segment.empty() && segment.front() == '"';
}

std::string plainText(std::string_view segment)
{
    return isPlainSegment(segment) ? std::string(segment.substr(1)) : std::string(segment);
}

std::vector<std::string> splitSegment(std::string_view segment)
{
    std::vector<std::string> tokens;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < segment.size()) {
        if (segment[i] != '@') {
            i += sjis::charLength(segment, i);
            continue;
        }
        tokens.emplace_back(segment.substr(start, i - start));
        // The code is the one character after the "@" (a whole double-byte character, if that is what follows).
        std::size_t codeStart = i + 1;
        std::size_t codeLength = codeStart < segment.size() ? sjis::charLength(segment, codeStart) : 0;
        tokens.emplace_back(segment.substr(codeStart, codeLength));
        i = codeStart + codeLength;
        start = i;
    }
    tokens.emplace_back(segment.substr(start));
    return tokens;
}

Code classify(std::string_view token)
{
    if (token.empty()) return Code::Text;
    switch (token.front()) {
    case 'B':
        return Code::Bold;
    case 'I':
        return Code::Italic;
    case 'U':
        return Code::Underline;
    case 'X':
        return Code::BoldUnderline;
    case '_':
        return Code::StrikeOut;
    case '/':
        return Code::Plain;
    case '+':
        return Code::Larger;
    case '-':
        return Code::Smaller;
    case '=':
        return Code::BaseSize;
    case '"':
        return Code::Quote;
    default:
        return Code::Text;
    }
}

bool MarkupState::apply(Code code)
{
    switch (code) {
    case Code::Text:
        return false;
    case Code::Bold:
        style.bold = true;
        break;
    case Code::Italic:
        style.italic = true;
        break;
    case Code::Underline:
        style.underline = true;
        break;
    case Code::BoldUnderline:
        style.bold = true;
        style.underline = true;
        break;
    case Code::StrikeOut:
        style.strikeOut = true;
        break;
    case Code::Plain:
        style = {};
        break;
    case Code::Larger:
        sizeOffset = 4;
        break;
    case Code::Smaller:
        sizeOffset = -4;
        break;
    case Code::BaseSize:
        sizeOffset = 0;
        break;
    case Code::Quote:
        break;
    }
    return true;
}

} // namespace tavola::markup

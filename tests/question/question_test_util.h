#pragma once
// Small helpers for the question tests: lines written as UTF-8 in the test, kept as CP932 like the files.
#include "platform/line_file.h"
#include "platform/sjis.h"

#include <initializer_list>
#include <string>

namespace tavola::test {

inline Lines sjLines(std::initializer_list<const char*> utf8)
{
    Lines lines;
    for (const char* l : utf8)
        lines.push_back(sjis::encode(l));
    return lines;
}

inline std::string u8(const std::string& cp932)
{
    return sjis::toUtf8(cp932);
}

} // namespace tavola::test

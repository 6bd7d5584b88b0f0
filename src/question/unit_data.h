#pragma once
// What the unit reader takes out of a master file record (or a copy file) and hands to a new worksheet:
// the three caption lines, the problem lines, the figure lists and the layout blocks, as lines of CP932 text.
// The typed layout settings derived from these blocks are in unit_settings.h.
#include "courseware/unit_position.h"
#include "platform/line_file.h"

#include <string>

namespace tavola {

inline constexpr int kMaxProblemLines = 60;
inline constexpr int kMaxFiguresPerSide = 15;

struct UnitData {
    std::string title;  // drawn on the sheet
    std::string school; // "小学校" or header line 2; written to copy files only
    std::string name;   // "　年　組　番　氏名" or header line 3; written to copy files only
    std::string builtTitle;

    Lines problemLines; // "<<ques", at most 60
    Lines quesComment;  // the "{" … "}" comment of "<<ques", never drawn (formulas of word problems)
    Lines header;       // "<<header" (copy files)
    Lines graph;        // "<<graph": file, x, y per figure
    Lines agraph;       // "<<AGraph"
    Lines value;        // "<<value", exactly 7 when present
    Lines font;         // "<<font", exactly 7 when present
    Lines kran;         // "<<kran", padded to 10 when present
    Lines kgroup;       // "<<kgroup"
    Lines softkey;      // "<<softkey"
    bool hasValue = false;
    bool hasFont = false;
    bool hasKran = false;

    // Where it came from.
    std::string path;     // master or copy file (system path)
    std::string shortKey; // printed in the number line
    std::string windowKey;
    UnitPosition position;
    bool fromMaster = true; // false for a copy file or after units were added
};

// The caption lines, the problem lines and the two figure lists, copied between a unit, a worksheet and a copy
// record, which name them alike.
template <class To, class From> void copyPageContent(To& to, const From& from)
{
    to.title = from.title;
    to.school = from.school;
    to.name = from.name;
    to.problemLines = from.problemLines;
    to.quesComment = from.quesComment;
    to.graph = from.graph;
    to.agraph = from.agraph;
}

} // namespace tavola

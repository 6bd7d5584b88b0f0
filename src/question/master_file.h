#pragma once
// Master files (.que) and the one record of a copy file (.prp): records from a marker line ("[[unit3",
// "[[unit3R1", "[[unitX") to the first later line that is exactly "]]", made of blocks from a keyword line
// ("<<ques", "<<value", …) to the next line that is exactly ">>". Keywords are compared with whole lines, exactly.
#include "platform/line_file.h"
#include "platform/result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavola {

inline constexpr std::string_view kCopyRecordMarker = "[[unitX";

// Index of the first line equal to the marker; nullopt when there is none (an empty file has none).
std::optional<std::size_t> findRecord(const Lines& lines, std::string_view marker);

// Everything one record holds. The unit reader takes the checked lists (problem lines without their comment,
// layout values, kran padded, figures); the master file editor takes the blocks as written, so that it writes back
// what it read; the practice window takes the hint lines.
struct RecordContent {
    Lines problemLines;                          // "<<ques", after the "{" … "}" comment
    Lines quesComment;                           // the lines between that "{" and "}"
    std::vector<std::size_t> problemLineIndices; // where each problem line stands in the file
    Lines header;                                // "<<header" (copy files)
    Lines value;                                 // 7 lines per "<<value" block
    Lines font;                                  // 7 lines per "<<font" block
    Lines kran;                                  // each "<<kran" block padded with "0" to 10 lines
    Lines graph;                                 // "<<graph": file, x, y per figure
    Lines agraph;                                // "<<AGraph"
    Lines kgroup;
    Lines softkey;
    bool hasValue = false;
    bool hasFont = false;
    bool hasKran = false;

    Lines ques;        // "<<ques" as written, with its comment
    Lines dummy;       // "<<dummy"
    Lines hint;        // "<<hint"
    Lines layout;      // the "<<value", "<<font" and "<<kran" blocks as written, each with its keyword and ">>"
    Lines otherBlocks; // every other block ("<<ans", "<<header", "<<softkey", unknown keywords), whole
};

struct RecordRead {
    // On failure, the message for the user.
    Status status;
    // Index of the line a refused read stopped at (the block's keyword, the line that is not a number).
    std::size_t stopLine = 0;
    // The record's content; empty after a failure, so that a refused read changes nothing.
    RecordContent content;
    bool ok() const { return status.ok(); }
};

// Reads the record whose marker is on line markerIndex, to its "]]" or to the end of the file. path names the
// file in messages. problemLinesBefore counts the problem lines the worksheet already holds when a unit is added,
// for the limit of 60. Refused with a message: more than 60 problem lines; "<<value" or "<<font" without exactly
// 7 lines; "<<kran" with more than 10; a block that is not closed by ">>" before the end of the file; a text that
// is not a number where one is read (value lines 1 and 3 … 7, font line 1, kran lines, the positions of the
// first 15 figures of each side).
RecordRead readRecord(const Lines& lines, std::size_t markerIndex, const std::string& path,
                      std::size_t problemLinesBefore = 0);
// The same reading without refusing: every block of the record, also of a record that readRecord refuses (the
// editor opens such a unit so that it can be mended). A block that is not closed takes the rest of the file.
RecordContent recordBlocks(const Lines& lines, std::size_t markerIndex);
// The hint lines of the record with the marker in the master file at path, as the file is now; empty when the file
// or the record cannot be found.
Lines recordHints(const std::string& path, std::string_view marker);

// One unit as the master file editor keeps it. layout holds the "<<value", "<<font" and "<<kran" blocks with
// their keyword and ">>" lines, written unchanged.
struct EditorRecord {
    std::string marker;
    Lines ques;
    Lines kgroup;
    Lines dummy;
    Lines graph;
    Lines agraph;
    Lines hint;
    Lines layout;
};

// The order in which a changed unit replaces its old record: marker, "<<ques", "<<kgroup" if any, "<<dummy"
// (always), "<<graph" if any, "<<AGraph" if any, "<<hint" if any, the layout blocks, "]]".
Lines editorRecordLines(const EditorRecord& record);
// The order of a new unit or similar problem appended at the end of the file: marker, "<<ques", "<<kgroup" if
// any, "<<dummy" (always), the layout blocks, "<<graph" if any, "<<AGraph" if any, "<<hint" if any, "]]". The
// choices and the hint keep their blocks, so that a similar problem made from a unit does not lose them.
Lines appendedRecordLines(const EditorRecord& record);

// Removes the record with this marker (its marker line through its "]]", or to the end of the file when it has
// none); the index where it stood, or nullopt when there is no such record.
std::optional<std::size_t> removeRecord(Lines& lines, std::string_view marker);
// Writes the unit into the file's lines: in place of its old record, or appended at the end when it is new.
void putRecord(Lines& lines, const EditorRecord& record);

// The content of a copy file.
struct CopyRecord {
    std::string title;
    std::string school;
    std::string name;
    Lines problemLines;
    Lines quesComment; // written as "{", its lines, "}" at the start of "<<ques" when there are any
    Lines graph;       // 3 lines per figure, positions as placed on the page
    Lines agraph;      // 3 lines per figure
    Lines value;       // 7 lines
    Lines font;        // 7 lines, line 7 the face in use
    Lines kran;        // 10 lines
    Lines kgroup;
};

// "[[unitX", "<<header" with the three caption lines, "<<ques", "<<ans" (empty), "<<graph" and "<<AGraph" when
// they have lines, "<<value", "<<font", "<<kran", "<<kgroup" (possibly empty), "]]".
Lines copyRecordLines(const CopyRecord& record);

} // namespace tavola

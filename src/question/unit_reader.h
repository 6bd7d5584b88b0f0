#pragma once
// The unit reader: turns one unit record of a master file, or the record of a copy file, into the data of a
// worksheet (UnitData), and adds a further unit to an open worksheet. It keeps what the system keeps between
// reads: the section number of the last unit read (which decides how titles are joined), the opened flag (set by
// a read that opens a worksheet, cleared by an add) and the number of figure lines before the last add.
// No window here: the names chosen in the unit selection window come in as parameters.
#include "courseware/index_file.h"
#include "courseware/unit_position.h"
#include "platform/line_file.h"
#include "platform/result.h"
#include "question/unit_data.h"

#include <cstddef>
#include <string>

namespace tavola {

enum class ReadMode {
    OpenUnit = 0,  // a master unit becomes a new worksheet
    OpenCopy = 1,  // a copy file becomes a new worksheet
    AddUnit = 2,   // a master unit is added to the open worksheet (see UnitReader::addUnit)
    OpenCopy3 = 3, // as OpenCopy
};

struct ReadRequest {
    std::string path;   // master file or copy file (system path)
    std::string marker; // "[[unit" + u (+ "R" + r), or "[[unitX"
    // The section and unit numbers join titles; all four numbers are kept with the unit read.
    UnitPosition position;
    ReadMode mode = ReadMode::OpenUnit;
    // The entries chosen in the unit selection window: line 1 of the sub-index, the section name and the unit
    // line. Mode 0 builds its title from them; an add uses the lesson title.
    std::string lessonTitle;
    std::string sectionTitle;
    std::string unitTitle;
    // Kept with the unit: the worksheet window's caption and the key printed on the sheet.
    std::string windowKey;
    std::string shortKey;
};

// The request to open unit p of a courseware, with its file names from the index and, when p's lesson is the
// index's current lesson, the names for the title.
ReadRequest unitReadRequest(const CoursewareIndex& index, const UnitPosition& p);
// The request to open a copy file for lesson n; its caption and short key are the file's path.
ReadRequest copyReadRequest(const std::string& path, int lesson = 1);

// A read that failed without a message: the file is empty or missing, or holds no record with the marker.
// The caller reports it (a missing unit is offered for creation).
inline bool isNotFound(const Status& s)
{
    return !s.ok() && s.message().empty();
}

class UnitReader {
public:
    // Reads a unit to open it (modes 0, 1 and 3). On success unit() holds it and the opened flag is set. On
    // failure the message is the system's (limits, block errors, a copy file header of fewer than three lines),
    // or empty for isNotFound; the unit and the reader's state do not change.
    Status read(const ReadRequest& request);

    // The unit of the last successful read or add.
    const UnitData& unit() const { return unit_; }

    // An add is refused with "これ以上追加できません" when the worksheet already has 15 problem figures.
    static Status checkCanAdd(const UnitData& worksheet);
    // Adds the unit of the request to the worksheet (mode 2): its problem lines are appended (the limit of 60
    // counts all of them), its problem figures are appended with their positions "-1" so that the worksheet
    // places them anew, its answer figures are appended unchanged; the title is joined as the system joins it;
    // the worksheet no longer holds a single master unit. Its layout blocks, choices and soft keys stay those of
    // the first unit. On failure the worksheet is left as it was. The caller marks the worksheet changed.
    Status addUnit(UnitData& worksheet, const ReadRequest& request);

private:
    // "," + u when s is the section of the previous read, else " §" + s + "-" + u.
    std::string titleSuffix(const UnitPosition& p) const;

    UnitData unit_;
    int previousSection_ = 0;
    bool opened_ = false;
};

} // namespace tavola

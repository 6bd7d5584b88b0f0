#include "question/unit_reader.h"

#include "platform/sjis.h"
#include "question/master_file.h"
#include "question/question_messages.h"

namespace tavola {
namespace {

// "[[unitX" copy files hold the title, the school line and the name line in their header.
constexpr std::size_t kHeaderCaptionLines = 3;
// Figures are three lines each: file, x, y. A figure that is not placed yet has the positions "-1".
constexpr std::size_t kFigureLines = 3;
const char* const kNotPlaced = "-1";

std::string nameAt(const std::vector<std::string>& names, int k)
{
    return (k >= 1 && static_cast<std::size_t>(k) <= names.size()) ? names[static_cast<std::size_t>(k - 1)]
                                                                   : std::string();
}

void takeBlocks(UnitData& u, RecordContent&& c)
{
    u.problemLines = std::move(c.problemLines);
    u.quesComment = std::move(c.quesComment);
    u.header = std::move(c.header);
    u.graph = std::move(c.graph);
    u.agraph = std::move(c.agraph);
    u.value = std::move(c.value);
    u.font = std::move(c.font);
    u.kran = std::move(c.kran);
    u.kgroup = std::move(c.kgroup);
    u.softkey = std::move(c.softkey);
    u.hasValue = c.hasValue;
    u.hasFont = c.hasFont;
    u.hasKran = c.hasKran;
}

// Loads the file and reads the record; a missing or empty file and a missing record fail without a message.
RecordRead loadRecord(const ReadRequest& request, std::size_t problemLinesBefore)
{
    RecordRead r;
    const Lines fileLines = readLineFile(request.path).value_or(Lines{});
    auto at = findRecord(fileLines, request.marker);
    if (!at) {
        r.status = Status::failure({});
        return r;
    }
    return readRecord(fileLines, *at, request.path, problemLinesBefore);
}

} // namespace

ReadRequest unitReadRequest(const CoursewareIndex& index, const UnitPosition& p)
{
    UnitFileNames names = index.unitFileNames(p);
    ReadRequest r;
    r.path = names.masterPath;
    r.marker = unitRecordMarker(p);
    r.position = p;
    r.mode = ReadMode::OpenUnit;
    r.windowKey = names.windowKey;
    r.shortKey = names.shortKey;
    // The title is built from the entries chosen in the unit selection window: the lesson's name in Main.ind,
    // and the section and unit lines of the lesson the index holds.
    r.lessonTitle = nameAt(index.lessonList(), p.lesson);
    if (index.currentLesson() == p.lesson) {
        r.sectionTitle = nameAt(index.sectionList(), p.section);
        r.unitTitle = nameAt(index.sectionUnits(p.section), p.unit);
    }
    return r;
}

ReadRequest copyReadRequest(const std::string& path, int lesson)
{
    ReadRequest r;
    r.path = path;
    r.marker = std::string(kCopyRecordMarker);
    r.position = {lesson, 0, 0, 0};
    r.mode = ReadMode::OpenCopy;
    r.windowKey = path;
    r.shortKey = path;
    return r;
}

std::string UnitReader::titleSuffix(const UnitPosition& p) const
{
    if (p.section == previousSection_) return "," + std::to_string(p.unit);
    return " §"_sj + std::to_string(p.section) + "-" + std::to_string(p.unit);
}

Status UnitReader::read(const ReadRequest& request)
{
    if (request.mode == ReadMode::AddUnit) return Status::failure({});
    RecordRead r = loadRecord(request, 0);
    if (!r.ok()) return r.status;

    UnitData u;
    takeBlocks(u, std::move(r.content));
    const UnitPosition& p = request.position;
    if (request.mode == ReadMode::OpenUnit) {
        u.title = request.lessonTitle + "//" + request.sectionTitle + "§"_sj + std::to_string(p.section) + "-" +
                  std::to_string(p.unit) + " " + request.unitTitle;
        u.school = "小学校"_sj;
        u.name = "　年　組　番　氏名"_sj;
        u.fromMaster = true;
    } else {
        // A copy file's header must give the three caption lines.
        if (u.header.size() < kHeaderCaptionLines) return Status::failure(messages::headerTooShort(request.path));
        u.title = u.header[0];
        u.school = u.header[1];
        u.name = u.header[2];
        u.fromMaster = false;
    }
    u.builtTitle = u.title;
    u.path = request.path;
    u.position = p;
    u.windowKey = request.windowKey;
    u.shortKey = request.shortKey;

    unit_ = std::move(u);
    opened_ = true;
    previousSection_ = p.section;
    return {};
}

Status UnitReader::checkCanAdd(const UnitData& worksheet)
{
    if (worksheet.graph.size() / kFigureLines >= static_cast<std::size_t>(kMaxFiguresPerSide))
        return Status::failure(messages::cannotAddMore());
    return {};
}

Status UnitReader::addUnit(UnitData& worksheet, const ReadRequest& request)
{
    if (Status can = checkCanAdd(worksheet); !can) return can;
    RecordRead r = loadRecord(request, worksheet.problemLines.size());
    if (!r.ok()) return r.status;

    const UnitPosition& p = request.position;
    std::string title;
    if (!worksheet.fromMaster) {
        title = worksheet.title + titleSuffix(p);
    } else if (opened_) {
        title = request.lessonTitle + "//" + "§"_sj + std::to_string(worksheet.position.section) + "-" +
                std::to_string(worksheet.position.unit) + titleSuffix(p);
    } else {
        title = worksheet.builtTitle + titleSuffix(p);
    }

    RecordContent& added = r.content;
    worksheet.title = title;
    worksheet.builtTitle = title;
    worksheet.problemLines.insert(worksheet.problemLines.end(), added.problemLines.begin(), added.problemLines.end());
    worksheet.quesComment.insert(worksheet.quesComment.end(), added.quesComment.begin(), added.quesComment.end());
    // Of each new figure only the file name is taken; the worksheet places it on its next pass.
    for (std::size_t k = 0; k < added.graph.size(); k += kFigureLines)
        worksheet.graph.insert(worksheet.graph.end(), {added.graph[k], kNotPlaced, kNotPlaced});
    worksheet.agraph.insert(worksheet.agraph.end(), added.agraph.begin(), added.agraph.end());
    worksheet.fromMaster = false;

    unit_ = worksheet;
    opened_ = false;
    previousSection_ = p.section;
    return {};
}

} // namespace tavola

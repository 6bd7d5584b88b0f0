#pragma once
// The follow-up sheet (ふくしゅうシート): for one learner and one lesson, the problems the learner got wrong at the
// first try in the latest practice of each unit, with new numbers of the same shape, on one page titled
// learner + "さんのふくしゅう", and its answer key.
//
// Which problems: in each unit's record section the practice with the highest key (a test has an empty trail and
// is passed over; damaged lines are no records and are passed over too). Its trail has one digit a box, in the
// order the practice window leads the learner through the boxes (the order of the "#" marks of the page), and a
// digit above 0 is a wrong first try. The page the practice was made on is the unit's, or the similar problem's
// the record names ("類題2)"). A trail whose length is not that page's box count (the unit was edited since, or
// the file was changed by hand) cannot be matched with the boxes: the unit is skipped and named in the notes.
// A line with a wrong box comes whole, with every box it has.
//
// New numbers come from the variant generator over the whole page, so that a new problem never repeats one of the
// unit; a problem that cannot be varied comes as it was authored. The numbers depend on the learner, the unit and
// the record, so the same records give the same sheet on the screen, on paper and on the command line.
//
// The sheet: the units whose latest practice is the most recent first, each under a heading line with its section,
// unit and unit line, its problems numbered (1), (2), … down the sheet; as many problems as fit one page of the
// lesson's paper (at most 60 lines and 80 boxes), the rest counted in leftOut. It is kept as a copy file in the
// lesson's copy folder under followupCopyName(learner), so that it opens, prints and is practised like any copy.
//
//     FollowupMaker maker(index, lesson, [&](const Worksheet& page) { return screenLayout(page, options); });
//     FollowupSheet sheet = maker.make(learner, learnerDataFile(state, index, learner, lesson));
//     if (!sheet.made()) prompts.message(noFollowupMessage(learner));
#include "courseware/index_file.h"
#include "platform/line_file.h"
#include "platform/result.h"
#include "question/unit_data.h"
#include "worksheet/drawing_pass.h"
#include "worksheet/worksheet.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace tavola {

// One line of the sheet that holds a problem.
struct FollowupProblem {
    UnitPosition position;  // the page the practice was made on (similar problem included)
    std::string unitLine;   // the unit's line in the sub-index (CP932)
    int recordKey = 0;      // the practice record the problem comes from
    int line = 0;           // 1-based line of the page's problem lines
    std::vector<int> boxes; // the boxes of that line wrong at the first try: 1-based, in the page's box order
    std::string authored;   // the line as authored (CP932)
    std::string text;       // the line on the sheet: new numbers and its number on the sheet (CP932)
    bool varied = false;    // false: the problem could not be varied and stands as authored
    Lines answers;          // the accepted answers of each box of the line on the sheet, trimmed (CP932)
};

struct FollowupSheet {
    std::string learner;                   // CP932
    std::vector<FollowupProblem> problems; // on the sheet, in sheet order
    int leftOut = 0;                       // problems that did not fit the page
    std::vector<std::string> notes;        // units skipped and why, or why the file was not read (CP932)
    Worksheet sheet;                       // the page; meaningful when made()
    bool made() const { return !problems.empty(); }
};

// The sheet's answer key: the same page with the answers shown and the title followed by "（解答）".
Worksheet followupKey(const Worksheet& sheet);

// learner + "さんのふくしゅう".
std::string followupTitle(const std::string& learner);
// learner + "さんには、ふくしゅうする問題がありません": the latest practices hold no wrong first try.
std::string noFollowupMessage(const std::string& learner);
// learner + "さんのふくしゅう.prp".
std::string followupCopyName(const std::string& learner);

// The pieces of a practice trail that stand for boxes: the 1-based boxes whose digit is above 0; nullopt when the
// trail is not one digit a box (wrong length, or another character in it).
std::optional<std::vector<int>> wrongBoxes(const std::string& trail, int boxCount);

// The answer boxes of a page's problem lines, one per pair of "#", and the line each stands on (0-based).
std::vector<int> boxLines(const Lines& problemLines);

// The layout of a page as the screen shows it, for fitting problems on it.
using FollowupLayout = std::function<PageLayout(const Worksheet& page)>;

class FollowupMaker {
public:
    // The units of lesson n (below 1 counts as 1) of the courseware the index names; the index is not changed
    // (another lesson is read on a copy). layout measures the page.
    FollowupMaker(const CoursewareIndex& index, int lesson, FollowupLayout layout);

    // Why the lesson's sub-index could not be read; ok otherwise.
    const Status& lessonStatus() const { return lessonStatus_; }
    int lesson() const { return lesson_; }
    const CoursewareIndex& lessonIndex() const { return index_; }

    // Only these units (section, unit); all units of the lesson when none are chosen. False when a unit is not in
    // the lesson.
    bool chooseUnits(const std::vector<std::pair<int, int>>& units);

    // The sheet of a learner from the learner's data file of the lesson.
    FollowupSheet make(const std::string& learner, const std::string& dataFile);

private:
    struct ReadUnit {
        Status status;
        UnitData unit;
        std::vector<int> boxLines;
    };
    const ReadUnit& unitAt(const UnitPosition& p);
    UnitSettings pageSettings(const std::vector<const UnitData*>& units);

    CoursewareIndex index_;
    int lesson_ = 1;
    Status lessonStatus_;
    FollowupLayout layout_;
    std::vector<std::pair<int, int>> units_;
    std::map<std::tuple<int, int, int>, ReadUnit> cache_;
    std::optional<UnitSettings> lessonSettings_;
};

// Writes the sheet as a copy file in the copy folder of lesson n (made when missing); the path written, or the
// message naming the file.
Result<std::string> saveFollowupCopy(const CoursewareIndex& index, int lesson, const FollowupSheet& sheet);

} // namespace tavola

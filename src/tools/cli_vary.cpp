// tavola-cli vary [DIR] LESSON SECTION UNIT [SIMILAR] [--seed K]: the unit's problem lines with new numbers, as
// copy K of a class set gets them (K = 2 when not given; copy 1 is the unit as authored), the answers of the
// varied lines, and the problems that keep their numbers with the reason, so that an author sees what a seed gives
// and what cannot change.
#include "courseware/index_file.h"
#include "platform/numbers.h"
#include "platform/text_helpers.h"
#include "question/unit_reader.h"
#include "tools/cli_commands.h"
#include "variant/variant_generator.h"

#include <algorithm>

namespace tavola::cli {
namespace {

const char* const kUsageText = "usage: tavola-cli vary [DIR] LESSON SECTION UNIT [SIMILAR] [--seed K]";

int usageError()
{
    printError(kUsageText);
    return kUsage;
}

// The text inside each pair of "#", trimmed as the practice window trims it.
Lines answersOf(const Lines& lines)
{
    Lines answers;
    std::vector<std::string> parts;
    for (const std::string& line : lines) {
        splitAtHash(line, parts);
        for (std::size_t p = 1; p + 1 < parts.size(); p += 2)
            answers.push_back(trimAnswerText(parts[p]));
    }
    return answers;
}

} // namespace

int runVary(const Args& given)
{
    Args args;
    int copy = 2;
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (given[i] != "--seed") {
            args.push_back(given[i]);
            continue;
        }
        auto k = i + 1 < given.size() ? parseInteger(given[i + 1]) : std::nullopt;
        if (!k || *k < 1) return usageError();
        copy = *k;
        ++i;
    }
    // DIR is there when the first argument is not a number.
    bool hasDir = !args.empty() && !parseInteger(args[0]);
    std::size_t first = hasDir ? 1 : 0;
    std::size_t numbers = args.size() - first;
    if (numbers < 3 || numbers > 4) return usageError();
    int value[4] = {0, 0, 0, 0};
    for (std::size_t k = 0; k < numbers; ++k) {
        auto n = parseInteger(args[first + k]);
        if (!n || *n < 0) return usageError();
        value[k] = *n;
    }
    UnitPosition p{value[0], value[1], value[2], value[3]};
    if (!checkPosition(p, "vary")) return kUsage;
    auto dir = namedCoursewareDir(hasDir ? args[0] : std::string());
    if (!dir) return kFailed;
    CoursewareIndex index(*dir);
    auto request = unitRequestAt(index, p, "vary");
    if (!request) return kFailed;
    UnitReader reader;
    if (!reportRead(reader.read(*request))) return kFailed;

    const UnitData& unit = reader.unit();
    // Seeded as a printed class set is: copy K of this page prints these numbers.
    const variant::PageVariant page =
        copy < 2 ? variant::PageVariant{unit.problemLines, 0, {}}
                 : variant::varyPage(unit.problemLines, unit.quesComment,
                                     variant::pageSeed(unit.problemLines, unit.quesComment, copy));
    const Lines& lines = page.lines;
    Json varied = Json::array();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] != unit.problemLines[i]) varied.push_back(i + 1);
    // Problems that keep their numbers on every copy, and those that found no other numbers on this one.
    std::vector<variant::KeptProblem> keptList = variant::problemsKept(unit.problemLines, unit.quesComment);
    for (const variant::KeptProblem& k : page.kept)
        if (std::none_of(keptList.begin(), keptList.end(),
                         [&](const variant::KeptProblem& o) { return o.line == k.line && o.label == k.label; }))
            keptList.push_back(k);
    Json kept = Json::array();
    for (const variant::KeptProblem& k : keptList)
        kept.push_back({{"line", k.line + 1}, {"problem", utf8(k.label)}, {"reason", k.reason}});
    printJson({
        {"shortKey", utf8(unit.shortKey)},
        {"seed", copy},
        {"lines", utf8List(lines)},
        {"answers", utf8List(answersOf(lines))},
        {"varied", varied},
        {"kept", kept},
    });
    return kOk;
}

} // namespace tavola::cli

// tavola-cli show [DIR] LESSON SECTION UNIT [SIMILAR] | show --copy FILE: one worksheet as the reader reads it.
#include "courseware/index_file.h"
#include "platform/numbers.h"
#include "question/copy_file.h"
#include "question/unit_reader.h"
#include "question/unit_settings.h"
#include "tools/cli_commands.h"

namespace tavola::cli {
namespace {

const char* const kUsageText = "usage: tavola-cli show [DIR] LESSON SECTION UNIT [SIMILAR] | show --copy FILE";

Json document(const UnitData& u)
{
    UnitSettings s = unitSettings(u);
    return {
        {"title", utf8(u.title)},         {"school", utf8(u.school)},
        {"name", utf8(u.name)},           {"lines", utf8List(u.problemLines)},
        {"graph", utf8List(u.graph)},     {"agraph", utf8List(u.agraph)},
        {"value", utf8List(u.value)},     {"font", utf8List(u.font)},
        {"kran", utf8List(u.kran)},       {"kgroup", utf8List(u.kgroup)},
        {"softkey", utf8List(u.softkey)}, {"paper", {s.paper.width, s.paper.height}},
        {"optionBits", s.optionBits},     {"characterSize", s.characterSize},
        {"windowKey", utf8(u.windowKey)}, {"shortKey", utf8(u.shortKey)},
        {"masterPath", utf8(u.path)},
    };
}

// Prints the unit read, or why it was not.
int finish(const UnitReader& reader, const Status& read)
{
    if (!reportRead(read)) return kFailed;
    printJson(document(reader.unit()));
    return kOk;
}

int showCopy(const std::string& file)
{
    auto path = namedCopyFile(file);
    if (!path) return kFailed;
    UnitReader reader;
    return finish(reader, readCopyFile(reader, *path));
}

} // namespace

int runShow(const Args& args)
{
    if (args.size() == 2 && args[0] == "--copy") return showCopy(args[1]);
    // DIR is there when the first argument is not a number ("./3" names a folder called 3).
    bool hasDir = !args.empty() && !parseInteger(args[0]);
    std::size_t first = hasDir ? 1 : 0;
    std::size_t numbers = args.size() - first;
    if (args.empty() || numbers < 3 || numbers > 4) {
        printError(kUsageText);
        return kUsage;
    }
    int value[4] = {0, 0, 0, 0};
    for (std::size_t k = 0; k < numbers; ++k) {
        auto n = parseInteger(args[first + k]);
        if (!n || *n < 0) {
            printError(kUsageText);
            return kUsage;
        }
        value[k] = *n;
    }
    UnitPosition p{value[0], value[1], value[2], value[3]};
    if (!checkPosition(p, "show")) return kUsage;
    auto dir = namedCoursewareDir(hasDir ? args[0] : std::string());
    if (!dir) return kFailed;
    CoursewareIndex index(*dir);
    auto request = unitRequestAt(index, p, "show");
    if (!request) return kFailed;
    UnitReader reader;
    return finish(reader, reader.read(*request));
}

} // namespace tavola::cli

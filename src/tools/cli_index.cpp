// tavola-cli index [DIR]: the courseware's index as JSON, with the similar problems each unit has.
#include "courseware/index_file.h"
#include "platform/paths.h"
#include "tools/cli_commands.h"

namespace tavola::cli {
namespace {

Json sectionsOf(CoursewareIndex& index, int lesson)
{
    Json sections = Json::array();
    for (int k = 1; k <= index.sectionCount(); ++k) {
        std::string master = index.masterFilePath(lesson, k);
        Lines masterLines = paths::fileExists(master) ? readLineFile(master).value_or(Lines{}) : Lines{};
        Json units = Json::array();
        const Lines& unitLines = index.sectionUnits(k);
        for (std::size_t u = 0; u < unitLines.size(); ++u) {
            std::vector<std::string> similar = similarProblemsPresent(masterLines, static_cast<int>(u) + 1);
            units.push_back({{"line", utf8(unitLines[u])}, {"similar", utf8List(similar)}});
        }
        sections.push_back({{"name", utf8(index.sectionList()[static_cast<std::size_t>(k - 1)])}, {"units", units}});
    }
    return sections;
}

} // namespace

int runIndex(const Args& args)
{
    if (args.size() > 1) {
        printError("usage: tavola-cli index [DIR]");
        return kUsage;
    }
    auto dir = namedCoursewareDir(args.empty() ? std::string() : args[0]);
    if (!dir) return kFailed;
    CoursewareIndex index(*dir);
    if (!readMainIndexOrReport(index)) return kFailed;
    Json lessons = Json::array();
    for (int n = 1; n <= index.lessonCount(); ++n) {
        Json lesson = {{"name", utf8(index.lessonList()[static_cast<std::size_t>(n - 1)])},
                       {"folder", utf8(index.lessonFolder(n))},
                       {"stem", utf8(index.lessonStem(n))}};
        if (Status s = index.readLesson(n); !s)
            lesson["error"] = utf8(s.message());
        else
            lesson["sections"] = sectionsOf(index, n);
        lessons.push_back(std::move(lesson));
    }
    printJson({{"title", utf8(index.title())}, {"lessons", lessons}});
    return kOk;
}

} // namespace tavola::cli

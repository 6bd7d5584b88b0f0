#include "tools/cli_commands.h"

#include "app/startup.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"

#include <filesystem>
#include <iostream>

namespace tavola::cli {

std::optional<std::string> coursewareDir(const std::string& dirArg)
{
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::absolute(dirArg.empty() ? "." : dirArg, ec);
    if (ec) return std::nullopt;
    std::string real = dir.lexically_normal().string();
    if (real.empty() || real.back() != '/') real += '/';
    return paths::systemPathOf(real);
}

std::optional<std::string> namedCoursewareDir(const std::string& dirArg)
{
    auto dir = coursewareDir(dirArg);
    if (!dir) printError("tavola-cli: the folder cannot be named in Shift-JIS");
    return dir;
}

std::optional<std::string> namedCopyFile(const std::string& realPath)
{
    auto path = paths::systemPathOf(realPath);
    if (!path) {
        printError("tavola-cli: the file name cannot be written in Shift-JIS");
        return std::nullopt;
    }
    if (!paths::fileExists(*path)) {
        printSystemMessage(fileNotFoundMessage(*path));
        return std::nullopt;
    }
    return path;
}

bool readMainIndexOrReport(CoursewareIndex& index)
{
    Status s = index.readMainIndex();
    if (!s) printSystemMessage(s.message());
    return static_cast<bool>(s);
}

bool checkPosition(const UnitPosition& p, const std::string& command)
{
    if (p.lesson >= 1 && p.section >= 1 && p.unit >= 1 && p.similar <= kMaxSimilar) return true;
    printError("tavola-cli " + command + ": lesson, section and unit count from 1; similar problems from 1 to 5");
    return false;
}

bool readIndexWithLesson(CoursewareIndex& index, int lesson, const std::string& command)
{
    if (!readMainIndexOrReport(index)) return false;
    if (lesson <= index.lessonCount()) return true;
    printError("tavola-cli " + command + ": the index has " + std::to_string(index.lessonCount()) + " lessons");
    return false;
}

ShellState learnerFilesState(const std::string& coursewareDir)
{
    ShellState state;
    state.coursewareDir = coursewareDir;
    state.onCdRom = paths::isReadOnlyFolder(coursewareDir);
    state.windowsDir = windowsFolder();
    return state;
}

std::optional<ReadRequest> unitRequestAt(CoursewareIndex& index, const UnitPosition& p, const std::string& command)
{
    if (!readIndexWithLesson(index, p.lesson, command)) return std::nullopt;
    if (Status s = index.readLesson(p.lesson); !s) {
        printSystemMessage(s.message());
        return std::nullopt;
    }
    ReadRequest request = unitReadRequest(index, p);
    if (!paths::fileExists(request.path)) {
        printSystemMessage(fileNotFoundMessage(request.path));
        return std::nullopt;
    }
    return request;
}

bool reportRead(const Status& read)
{
    if (isNotFound(read)) {
        printError("not found");
        return false;
    }
    if (!read) {
        printSystemMessage(read.message());
        return false;
    }
    return true;
}

std::string utf8(const std::string& cp932)
{
    return sjis::toUtf8(cp932);
}

Json utf8List(const Lines& lines)
{
    Json list = Json::array();
    for (const std::string& line : lines)
        list.push_back(utf8(line));
    return list;
}

void printJson(const Json& value)
{
    std::cout << value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

void printSystemMessage(const std::string& cp932)
{
    std::cerr << utf8(cp932) << '\n';
}

void printError(const std::string& utf8Text)
{
    std::cerr << utf8Text << '\n';
}

} // namespace tavola::cli

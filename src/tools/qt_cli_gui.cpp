#include "tools/qt_cli_gui.h"

#include "platform/numbers.h"
#include "platform/qt/qt_fonts.h"
#include "question/copy_file.h"
#include "question/unit_reader.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tavola::cli {

void StderrPrompts::message(const std::string& text)
{
    printSystemMessage(text);
}

void StderrPrompts::error(const std::string& text)
{
    printSystemMessage(text);
}

Answer StderrPrompts::confirm(const std::string& text)
{
    printSystemMessage(text);
    return Answer::No;
}

Answer StderrPrompts::confirmWithCancel(const std::string& text)
{
    printSystemMessage(text);
    return Answer::Cancel;
}

bool UnitArgs::take(const Args& args, std::size_t& i)
{
    const std::string& a = args[i];
    if (a == "--copy") {
        if (i + 1 >= args.size()) return false;
        copy = args[++i];
        return true;
    }
    if (auto n = parseInteger(a); n && *n >= 0) {
        numbers.push_back(*n);
        return true;
    }
    if (i == 0 && a.rfind("--", 0) != 0) {
        dir = a;
        return true;
    }
    return false;
}

bool UnitArgs::complete() const
{
    return copy.empty() ? numbers.size() >= 3 && numbers.size() <= 4 : numbers.empty();
}

std::optional<bool> onOff(const std::string& text)
{
    if (text == "on") return true;
    if (text == "off") return false;
    return std::nullopt;
}

namespace {

// Reads the unit (or copy file) the arguments name, with the lesson it belongs to; prints why not.
std::optional<UnitData> readNamedUnit(const UnitArgs& r, CoursewareIndex& index, int& lesson,
                                      const std::string& command)
{
    UnitReader reader;
    Status read;
    if (!r.copy.empty()) {
        auto path = namedCopyFile(std::filesystem::absolute(r.copy).string());
        if (!path) return std::nullopt;
        lesson = 1;
        read = readCopyFile(reader, *path);
    } else {
        UnitPosition p{r.numbers[0], r.numbers[1], r.numbers[2], r.numbers.size() > 3 ? r.numbers[3] : 0};
        if (!checkPosition(p, command)) return std::nullopt;
        auto request = unitRequestAt(index, p, command);
        if (!request) return std::nullopt;
        lesson = p.lesson;
        read = reader.read(*request);
    }
    if (!reportRead(read)) return std::nullopt;
    return reader.unit();
}

} // namespace

std::optional<CliWorksheet> loadNamedWorksheet(const UnitArgs& r, bool answers, const std::string& command)
{
    auto dir = namedCoursewareDir(r.dir);
    if (!dir) return std::nullopt;
    CoursewareIndex index(*dir);
    int lesson = 1;
    auto unit = readNamedUnit(r, index, lesson, command);
    if (!unit) return std::nullopt;
    CliWorksheet w{makeWorksheet(*unit, answers), {}, loadClassFlag(*dir)};
    StderrPrompts prompts;
    if (!r.copy.empty()) (void)index.readMainIndex();
    w.figures = loadFigurePictures(w.sheet, index.figureFolder(lesson), prompts);
    return w;
}

std::unique_ptr<QGuiApplication> startGui()
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        // Qt wants a private runtime folder; without one it complains on every start.
        const std::string runtime = "/tmp/tavola-runtime-" + std::to_string(::getuid());
        ::mkdir(runtime.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    static int argc = 1;
    static char name[] = "tavola-cli";
    static char* argv[] = {name, nullptr};
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    installFontSubstitutions();
    return app;
}

} // namespace tavola::cli

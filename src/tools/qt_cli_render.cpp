// tavola-cli render [DIR] LESSON SECTION UNIT [SIMILAR] --out FILE.png [--answers on|off] [--bekkai on|off]
// tavola-cli render [DIR] --copy FILE.prp --out FILE.png [...]
// The screen drawing pass of one worksheet written as a PNG of its page picture: one pixel per layout unit, white
// ground, answers shown and alternatives drawn unless the options say otherwise. Prints a short JSON summary.
#include "courseware/index_file.h"
#include "platform/numbers.h"
#include "platform/prompts.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_fonts.h"
#include "question/copy_file.h"
#include "question/unit_reader.h"
#include "render/draw_math.h"
#include "tools/cli_commands.h"
#include "worksheet/drawing_pass.h"
#include "worksheet/figures.h"
#include "worksheet/worksheet.h"

#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace tavola::cli {
namespace {

const char* const kUsageText = "usage: tavola-cli render [DIR] LESSON SECTION UNIT [SIMILAR] --out FILE.png "
                               "[--answers on|off] [--bekkai on|off] [--copy FILE.prp]";

// Messages of the figure loading go to stderr; questions are answered No.
class StderrPrompts : public Prompts {
public:
    void message(const std::string& text) override { printSystemMessage(text); }
    void error(const std::string& text) override { printSystemMessage(text); }
    Answer confirm(const std::string& text) override
    {
        printSystemMessage(text);
        return Answer::No;
    }
    Answer confirmWithCancel(const std::string& text) override
    {
        printSystemMessage(text);
        return Answer::Cancel;
    }
    std::optional<std::string> saveFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> openFileName(const FileDialogRequest&) override { return std::nullopt; }
};

struct RenderArgs {
    std::string dir;
    std::vector<int> numbers;
    std::string out;
    std::string copy;
    bool answers = true;
    bool bekkai = true;
};

std::optional<bool> onOff(const std::string& text)
{
    if (text == "on") return true;
    if (text == "off") return false;
    return std::nullopt;
}

std::optional<RenderArgs> parseArgs(const Args& args)
{
    RenderArgs r;
    bool first = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--out" || a == "--copy" || a == "--answers" || a == "--bekkai") {
            if (!hasValue) return std::nullopt;
            const std::string& v = args[++i];
            if (a == "--out") {
                r.out = v;
            } else if (a == "--copy") {
                r.copy = v;
            } else {
                auto flag = onOff(v);
                if (!flag) return std::nullopt;
                (a == "--answers" ? r.answers : r.bekkai) = *flag;
            }
        } else if (auto n = parseInteger(a); n && *n >= 0) {
            r.numbers.push_back(*n);
        } else if (first && r.numbers.empty() && a.rfind("--", 0) != 0) {
            r.dir = a;
        } else {
            return std::nullopt;
        }
        first = false;
    }
    if (r.out.empty()) return std::nullopt;
    if (r.copy.empty() ? (r.numbers.size() < 3 || r.numbers.size() > 4) : !r.numbers.empty()) return std::nullopt;
    return r;
}

// Reads the unit (or copy file) the arguments name; prints why not and returns nullopt on failure.
std::optional<UnitData> readUnit(const RenderArgs& r, CoursewareIndex& index, int& lesson)
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
        if (!checkPosition(p, "render")) return std::nullopt;
        auto request = unitRequestAt(index, p, "render");
        if (!request) return std::nullopt;
        lesson = p.lesson;
        read = reader.read(*request);
    }
    if (!reportRead(read)) return std::nullopt;
    return reader.unit();
}

// A QGuiApplication for fonts and painting; the offscreen platform when there is no display.
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

} // namespace

int runRender(const Args& args)
{
    auto r = parseArgs(args);
    if (!r) {
        printError(kUsageText);
        return kUsage;
    }
    auto dir = namedCoursewareDir(r->dir);
    if (!dir) return kFailed;
    CoursewareIndex index(*dir);
    int lesson = 1;
    auto unit = readUnit(*r, index, lesson);
    if (!unit) return kFailed;

    auto app = startGui();
    Worksheet sheet = makeWorksheet(*unit, r->answers);
    StderrPrompts prompts;
    if (!r->copy.empty()) (void)index.readMainIndex();
    const FigurePictures figures = loadFigurePictures(sheet, index.figureFolder(lesson), prompts);

    QImage image(sheet.settings.paper.width, sheet.settings.paper.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    DrawResult result;
    {
        QtCanvas canvas(image);
        render::rendererInputs().worksheetCurrent = true;
        DrawOptions options;
        options.alternativeAnswers = r->bekkai;
        options.classFlag = loadClassFlag(*dir);
        options.figures = &figures;
        result = drawWorksheet(sheet, canvas, options);
    }
    for (const std::string& m : result.messages)
        printSystemMessage(m);
    if (!image.save(QString::fromStdString(r->out), "PNG")) {
        printError("tavola-cli render: cannot write " + r->out);
        return kFailed;
    }
    nlohmann::json boxes = nlohmann::json::array();
    for (const AnswerBox& b : sheet.answerBoxes)
        boxes.push_back({{"x", b.x}, {"y", b.y}, {"text", utf8(b.text)}, {"size", b.size}, {"width", b.width}});
    printJson({{"out", r->out},
               {"width", image.width()},
               {"height", image.height()},
               {"answerBoxes", boxes},
               {"figures", utf8List(sheet.graph)},
               {"overflow", sheet.overflow}});
    return kOk;
}

} // namespace tavola::cli

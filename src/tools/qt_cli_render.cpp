// tavola-cli render [DIR] LESSON SECTION UNIT [SIMILAR] --out FILE.png [--answers on|off] [--bekkai on|off]
// tavola-cli render [DIR] --copy FILE.prp --out FILE.png [...]
// The screen drawing pass of one worksheet written as a PNG of its page picture: one pixel per layout unit, white
// ground, answers shown and alternatives drawn unless the options say otherwise. Prints a short JSON summary.
#include "courseware/index_file.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_output_file.h"
#include "tools/cli_commands.h"
#include "tools/qt_cli_gui.h"
#include "worksheet/drawing_pass.h"
#include "worksheet/figures.h"
#include "worksheet/worksheet.h"

#include <QImage>
#include <QString>

namespace tavola::cli {
namespace {

const char* const kUsageText = "usage: tavola-cli render [DIR] LESSON SECTION UNIT [SIMILAR] --out FILE.png "
                               "[--answers on|off] [--bekkai on|off] [--copy FILE.prp]";

struct RenderArgs {
    UnitArgs unit;
    std::string out;
    bool answers = true;
    bool bekkai = true;
};

std::optional<RenderArgs> parseArgs(const Args& args)
{
    RenderArgs r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--out" || a == "--answers" || a == "--bekkai") {
            if (i + 1 >= args.size()) return std::nullopt;
            const std::string& v = args[++i];
            if (a == "--out") {
                r.out = v;
            } else {
                auto flag = onOff(v);
                if (!flag) return std::nullopt;
                (a == "--answers" ? r.answers : r.bekkai) = *flag;
            }
        } else if (!r.unit.take(args, i)) {
            return std::nullopt;
        }
    }
    if (r.out.empty() || !r.unit.complete()) return std::nullopt;
    return r;
}

} // namespace

int runRender(const Args& args)
{
    auto r = parseArgs(args);
    if (!r) {
        printError(kUsageText);
        return kUsage;
    }
    auto loaded = loadNamedWorksheet(r->unit, r->answers, "render");
    if (!loaded) return kFailed;
    auto app = startGui();
    Worksheet& sheet = loaded->sheet;

    QImage image(sheet.settings.paper.width, sheet.settings.paper.height, QImage::Format_RGB32);
    PageLayout page;
    {
        QtCanvas canvas(image);
        DrawOptions options;
        options.alternativeAnswers = r->bekkai;
        options.classFlag = loaded->classFlag;
        options.figures = &loaded->figures;
        page = drawPage(sheet, canvas, options);
    }
    adoptFigurePositions(sheet, page);
    for (const std::string& m : page.messages)
        printSystemMessage(m);
    // Into a checked temporary file first: a failed write leaves no broken PNG and an earlier one as it was.
    if (Status saved = savePngSafely(image, r->out); !saved) {
        printSystemMessage(saved.message());
        return kFailed;
    }
    nlohmann::json boxes = nlohmann::json::array();
    for (const AnswerBox& b : page.answerBoxes)
        boxes.push_back({{"x", b.x}, {"y", b.y}, {"text", utf8(b.text)}, {"size", b.size}, {"width", b.width}});
    printJson({{"out", r->out},
               {"width", image.width()},
               {"height", image.height()},
               {"answerBoxes", boxes},
               {"figures", utf8List(sheet.graph)},
               {"overflow", page.overflow}});
    return kOk;
}

} // namespace tavola::cli

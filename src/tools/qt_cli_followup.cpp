// tavola-cli followup [DIR] --lesson N [LEARNER...] [--names FILE] [--units S-U,...] [--out F.pdf] [--key]
// The follow-up sheets (ふくしゅうシート) of the learners named, or of every learner of a name list (the learner
// folder's sname.txt unless one is named): the problems each got wrong at the first try in the latest practice of
// each unit of the lesson (or of the units named), with new numbers. Without --out, the sheets as JSON: per learner
// the problems chosen with their unit and boxes, the new lines and their answers, and why a unit was skipped. With
// --out, one PDF at 600 dpi on the lesson's paper: every sheet with the learner's name in the name line, then with
// --key the answer key of each. The first argument is DIR when it names a folder.
#include "app/learner_files.h"
#include "platform/line_file.h"
#include "platform/numbers.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "practice/class_records.h"
#include "practice/qt_followup_print.h"
#include "tools/cli_commands.h"
#include "tools/qt_cli_gui.h"
#include "worksheet/figures.h"
#include "worksheet/qt_print.h"

#include <QPrinter>

#include <filesystem>

namespace tavola::cli {
namespace {

const char* const kUsageText = "usage: tavola-cli followup [DIR] --lesson N [LEARNER...] [--names FILE] "
                               "[--units S-U,...] [--out F.pdf] [--key]";

int usageError()
{
    printError(kUsageText);
    return kUsage;
}

struct FollowupArgs {
    std::vector<std::string> positional;
    int lesson = 0;
    std::string names;
    std::vector<std::pair<int, int>> units;
    std::string out;
    bool key = false;
};

// "1-2,3-1" → (1, 2), (3, 1).
std::optional<std::vector<std::pair<int, int>>> unitList(const std::string& text)
{
    std::vector<std::pair<int, int>> units;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t comma = text.find(',', from);
        if (comma == std::string::npos) comma = text.size();
        const std::string item = text.substr(from, comma - from);
        const std::size_t dash = item.find('-');
        if (dash == std::string::npos) return std::nullopt;
        auto s = parseInteger(item.substr(0, dash));
        auto u = parseInteger(item.substr(dash + 1));
        if (!s || !u || *s < 1 || *u < 1 || *s > kMaxSections || *u > kMaxUnits) return std::nullopt;
        units.emplace_back(static_cast<int>(*s), static_cast<int>(*u));
        from = comma + 1;
    }
    return units;
}

std::optional<FollowupArgs> parseArgs(const Args& args)
{
    FollowupArgs r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--key") {
            r.key = true;
        } else if (a == "--lesson" || a == "--names" || a == "--units" || a == "--out") {
            if (i + 1 >= args.size()) return std::nullopt;
            const std::string& v = args[++i];
            if (a == "--lesson") {
                auto n = parseInteger(v);
                if (!n || *n < 1 || *n > kMaxLessons) return std::nullopt;
                r.lesson = static_cast<int>(*n);
            } else if (a == "--names") {
                r.names = v;
            } else if (a == "--out") {
                r.out = v;
            } else {
                auto units = unitList(v);
                if (!units) return std::nullopt;
                r.units = *units;
            }
        } else if (a.starts_with("--")) {
            return std::nullopt;
        } else {
            r.positional.push_back(a);
        }
    }
    if (r.lesson == 0) return std::nullopt;
    return r;
}

Json problemJson(const FollowupProblem& p)
{
    return {{"section", p.position.section},
            {"unit", p.position.unit},
            {"similar", p.position.similar},
            {"unitLine", utf8(p.unitLine)},
            {"record", p.recordKey},
            {"line", p.line},
            {"boxes", p.boxes},
            {"authored", utf8(p.authored)},
            {"text", utf8(p.text)},
            {"varied", p.varied},
            {"answers", utf8List(p.answers)}};
}

Json sheetJson(const FollowupSheet& sheet)
{
    Json problems = Json::array();
    for (const FollowupProblem& p : sheet.problems)
        problems.push_back(problemJson(p));
    Json j = {{"learner", utf8(sheet.learner)}};
    if (sheet.made()) {
        j["title"] = utf8(sheet.sheet.title);
        j["copyFile"] = utf8(followupCopyName(sheet.learner));
    } else {
        j["message"] = utf8(noFollowupMessage(sheet.learner));
    }
    j["problems"] = problems;
    j["leftOut"] = sheet.leftOut;
    j["lines"] = sheet.made() ? utf8List(sheet.sheet.problemLines) : Json::array();
    j["notes"] = utf8List(sheet.notes);
    return j;
}

} // namespace

int runFollowup(const Args& given)
{
    auto r = parseArgs(given);
    if (!r) return usageError();
    std::string dirArg;
    std::vector<std::string> learnerArgs = r->positional;
    std::error_code ec;
    if (!learnerArgs.empty() && std::filesystem::is_directory(learnerArgs.front(), ec)) {
        dirArg = learnerArgs.front();
        learnerArgs.erase(learnerArgs.begin());
    }
    auto dir = namedCoursewareDir(dirArg);
    if (!dir) return kFailed;
    CoursewareIndex index(*dir);
    if (!readIndexWithLesson(index, r->lesson, "followup")) return kFailed;
    const ShellState state = learnerFilesState(*dir);

    std::vector<std::string> learners;
    for (const std::string& name : learnerArgs) {
        auto cp932 = sjis::fromUtf8(name);
        if (!cp932) {
            printError("tavola-cli followup: the name cannot be written in Shift-JIS: " + name);
            return kFailed;
        }
        learners.push_back(*cp932);
    }
    if (learners.empty() || !r->names.empty()) {
        std::string namesPath = defaultNameListPath(state);
        if (!r->names.empty()) {
            auto named = namedCopyFile(r->names);
            if (!named) return kFailed;
            namesPath = *named;
        }
        auto names = readLineFile(namesPath);
        if (!names) {
            printSystemMessage(fileNotFoundMessage(namesPath));
            return kFailed;
        }
        for (const std::string& learner : classLearners(*names))
            if (std::find(learners.begin(), learners.end(), learner) == learners.end()) learners.push_back(learner);
    }

    // Fitting a page measures its text: the program's fonts are needed for the JSON too.
    auto app = startGui();
    DrawOptions options;
    options.classFlag = loadClassFlag(*dir);
    FollowupMaker maker(index, r->lesson, followupScreenLayout(options));
    if (!maker.lessonStatus()) {
        printSystemMessage(maker.lessonStatus().message());
        return kFailed;
    }
    if (!maker.chooseUnits(r->units)) {
        printError("tavola-cli followup: a unit named is not in the lesson");
        return kUsage;
    }
    std::vector<FollowupSheet> sheets;
    for (const std::string& learner : learners) {
        const std::string file = learnerDataFile(state, index, learner, r->lesson);
        if (file.empty()) {
            printError("tavola-cli followup: " + utf8(learner) + ": the name cannot be a learner's");
            continue;
        }
        sheets.push_back(maker.make(learner, file));
        for (const std::string& note : sheets.back().notes)
            printError("tavola-cli followup: " + utf8(learner) + ": " + utf8(note));
    }

    if (r->out.empty()) {
        Json all = Json::array();
        for (const FollowupSheet& sheet : sheets)
            all.push_back(sheetJson(sheet));
        printJson({{"lesson", r->lesson}, {"sheets", all}});
        return kOk;
    }

    int paper = 630;
    int made = 0;
    for (const FollowupSheet& sheet : sheets) {
        if (!sheet.made()) continue;
        if (made++ == 0) paper = sheet.sheet.settings.paper.width;
    }
    if (made == 0) {
        printError("tavola-cli followup: no learner has a problem to go over; nothing printed");
        return kFailed;
    }
    FigurePictures figures;
    options.figures = &figures;
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, QString::fromStdString(r->out), paper);
    const PrintOutcome out = printFollowupOnPrinter(printer, sheets, options, r->key);
    if (!out.ok()) {
        printSystemMessage(out.message);
        return kFailed;
    }
    Json printed = Json::array();
    for (const FollowupSheet& sheet : sheets)
        if (sheet.made()) printed.push_back(utf8(sheet.learner));
    printJson({{"out", r->out},
               {"sheets", out.copiesPrinted},
               {"learners", printed},
               {"key", r->key},
               {"paper", paperName(paper)},
               {"dpi", printer.resolution()}});
    return kOk;
}

} // namespace tavola::cli

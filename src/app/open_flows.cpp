#include "app/open_flows.h"

#include "app/learner_files.h"
#include "authoring/master_editor.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace tavola {

std::string coursewareStylePath(const std::string& coursewareDir, const std::string& path)
{
    if (coursewareDir.empty() || path.compare(0, coursewareDir.size(), coursewareDir) != 0) return path;
    std::string out = coursewareDir;
    for (std::size_t i = coursewareDir.size(); i < path.size();) {
        const std::size_t n = std::max<std::size_t>(1, sjis::charLength(path, i));
        if (path[i] == '/')
            out += '\\';
        else
            out.append(path, i, n);
        i += n;
    }
    return out;
}

std::string alreadyOpenMessage()
{
    return "すでに読み込まれています"_sj;
}

std::string missingUnitQuestion()
{
    return "単元がありません"_sj + "\r\n" + "新規作成しますか?"_sj;
}

std::string saveQuestion(const std::string& windowTitle)
{
    return windowTitle + "を保存しますか？"_sj;
}

Result<WorksheetDocument> readWorksheetDocument(UnitReader& reader, const ReadRequest& request, bool showAnswers,
                                                const CoursewareIndex& index, Prompts& prompts)
{
    if (Status read = reader.read(request); !read) return Result<WorksheetDocument>::failure(read.message());
    WorksheetDocument document;
    document.sheet = makeWorksheet(reader.unit(), showAnswers);
    document.figures = loadFigurePictures(document.sheet, index.figureFolder(request.position.lesson), prompts);
    document.classFlag = loadClassFlag(index.coursewareDir());
    return document;
}

OpenResult openUnit(OpenFlowContext& ctx, const UnitPosition& position, bool reopen)
{
    UnitFileNames names = ctx.index.unitFileNames(position);
    if (!paths::fileExists(names.masterPath)) return OpenResult::Failed;

    if (int found = findWindow(ctx.state, names.windowKey); found >= 0) {
        if (!reopen) {
            ctx.prompts.message(alreadyOpenMessage());
            ctx.windows.activateWindow(found);
            return OpenResult::AlreadyOpen;
        }
        ctx.windows.closeCurrentWorksheet();
    }

    // The request carries the window key and the short key into the worksheet, and so to its window.
    ReadRequest request = unitReadRequest(ctx.index, position);
    // The index holds the names of its current lesson only; the texts chosen in the unit selection window stand
    // in for another lesson's.
    if (request.lessonTitle.empty()) request.lessonTitle = ctx.state.lastLessonText;
    if (request.sectionTitle.empty()) request.sectionTitle = ctx.state.lastSectionText;
    if (request.unitTitle.empty()) request.unitTitle = ctx.state.lastUnitText;

    Result<WorksheetDocument> document =
        readWorksheetDocument(ctx.reader, request, ctx.state.showAnswers, ctx.index, ctx.prompts);
    if (!document) {
        if (!document.message().empty()) ctx.prompts.message(document.message());
        return OpenResult::Failed;
    }
    Worksheet& sheet = document->sheet;
    sheet.path = names.masterPath;
    sheet.masterPath = names.masterPath;
    sheet.master = true;
    sheet.practice = false;
    sheet.position = position;
    ctx.windows.createWorksheetWindow(std::move(*document));
    return OpenResult::Opened;
}

bool openUnitThroughMenu(OpenFlowContext& ctx)
{
    if (!checkFileExists(ctx.prompts, ctx.state.coursewareDir + "Main.ind")) return false;
    ctx.state.showAnswers = true;
    if (!ctx.windows.chooseUnit()) return false;
    OpenResult result = openUnit(ctx, ctx.state.lastPosition, false);
    if (result == OpenResult::Opened) return true;
    if (result == OpenResult::Failed && confirmYesNo(ctx.prompts, missingUnitQuestion()) == Answer::Yes &&
        ctx.windows.editNewUnit(ctx.state.lastPosition)) {
        OpenResult again = openUnit(ctx, ctx.state.lastPosition, false);
        ctx.windows.choosePaperA4();
        return again == OpenResult::Opened;
    }
    return false;
}

bool openCopyFile(OpenFlowContext& ctx, const std::string& path, int lesson)
{
    if (!checkFileExists(ctx.prompts, path)) return false;
    if (int found = findWindow(ctx.state, path); found >= 0) {
        ctx.prompts.message(alreadyOpenMessage());
        ctx.windows.activateWindow(found);
        return false;
    }
    Result<WorksheetDocument> document =
        readWorksheetDocument(ctx.reader, copyReadRequest(path, lesson), ctx.state.showAnswers, ctx.index, ctx.prompts);
    if (!document) {
        if (!document.message().empty()) ctx.prompts.message(document.message());
        return false;
    }
    Worksheet& sheet = document->sheet;
    sheet.path = path;
    sheet.master = false;
    sheet.practice = false;
    sheet.position = {lesson, 0, 0, 0};
    ctx.windows.createWorksheetWindow(std::move(*document));
    return true;
}

void worksheetWindowOpened(ShellState& state, const std::string& caption)
{
    state.openWindowList.push_back(caption);
    ++state.worksheetCount;
}

void worksheetWindowClosed(ShellState& state, const std::string& caption)
{
    auto& list = state.openWindowList;
    if (auto it = std::find(list.begin(), list.end(), caption); it != list.end()) list.erase(it);
    state.worksheetCount = std::max(0, state.worksheetCount - 1);
}

std::optional<std::string> saveWorksheetAsCopy(Worksheet& sheet, ShellState& state, const CoursewareIndex& index,
                                               Prompts& prompts, SaveCopyOutcome* outcome)
{
    SaveCopyOutcome how = SaveCopyOutcome::Cancelled;
    const CopySaveOffer offer = copySaveOffer(sheet.path, sheet.shortKey, copyFileFolder(index, sheet.position.lesson));
    std::optional<std::string> path =
        saveCopyAs(prompts, copyRecordOf(sheet), offer.startFolder, how, offer.suggestedName);
    if (outcome != nullptr) *outcome = how;
    if (!path) return std::nullopt;
    path = coursewareStylePath(state.coursewareDir, *path);
    if (int entry = findWindow(state, sheet.windowKey); entry >= 0)
        state.openWindowList[static_cast<std::size_t>(entry)] = *path;
    sheet.windowKey = *path;
    sheet.path = *path;
    sheet.master = false;
    sheet.changed = false;
    return path;
}

bool closeWorksheetQuery(Worksheet& sheet, const std::string& title, ShellState& state, const CoursewareIndex& index,
                         Prompts& prompts, std::optional<std::string>& newCaption)
{
    newCaption.reset();
    if (!sheet.changed) return true;
    switch (confirmYesNoCancel(prompts, saveQuestion(title))) {
    case Answer::Cancel:
        return false;
    case Answer::Yes: {
        // A worksheet that still holds its master unit goes back into the master file; a failed write keeps the
        // window open and changed.
        if (sheet.master) {
            Status saved = saveWorksheetToMaster(sheet, index, defaultBlockLines());
            if (!saved) prompts.message(saved.message());
            return saved.ok();
        }
        // A cancelled save dialog, like a failed write, keeps the window open with its changes.
        SaveCopyOutcome outcome = SaveCopyOutcome::Cancelled;
        newCaption = saveWorksheetAsCopy(sheet, state, index, prompts, &outcome);
        return outcome == SaveCopyOutcome::Saved;
    }
    default:
        return true;
    }
}

RectangleCopy rectangleCopy(const std::array<int, 4>& selection)
{
    RectangleCopy copy;
    auto [x1, y1, x2, y2] = selection;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    copy.normalised = {x1, y1, x2, y2};
    copy.source = {x1 + 1, y1 + 1, x2, y2};
    copy.width = std::abs(x2 - x1 - 2);
    copy.height = std::abs(y2 - y1 - 2);
    return copy;
}

int scrollTarget(int position, int pictureHeight, int windowHeight)
{
    return position <= 0 ? pictureHeight - windowHeight + 32 : 0;
}

ReducedViewSize reducedViewSize(int panelHeight)
{
    ReducedViewSize size;
    size.height = std::max(0, panelHeight - 36);
    size.width = roundEven(size.height / std::sqrt(2.0));
    return size;
}

std::string learnerRecordFile(const ShellState& state, const CoursewareIndex& index, int lesson)
{
    return learnerDataFile(state, index, state.learnerName, lesson);
}

} // namespace tavola

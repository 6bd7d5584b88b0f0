#include "question/copy_file.h"

#include "platform/line_file.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"
#include "question/question_messages.h"

namespace tavola {
namespace {

const char* const kCopyExtension = ".prp";

// The file name of a path returned by the save dialog, which may use either separator.
std::string fileNameOf(const std::string& path)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); i += sjis::charLength(path, i))
        if (path[i] == '\\' || path[i] == '/') start = i + 1;
    return path.substr(start);
}

} // namespace

CopyRecord copyRecordOf(const UnitData& sheet, const UnitSettings& settings)
{
    CopyRecord r;
    copyPageContent(r, sheet);
    r.value = settings.valueLines();
    r.font = settings.fontLines();
    r.kran = settings.kranLines();
    r.kgroup = sheet.kgroup;
    return r;
}

Status writeCopyFile(const std::string& path, const CopyRecord& record)
{
    if (!writeLineFile(path, copyRecordLines(record))) return Status::failure(messages::saveFailed(path));
    return {};
}

Status readCopyFile(UnitReader& reader, const std::string& path)
{
    return reader.read(copyReadRequest(path));
}

std::string copyFileFolder(const std::string& coursewareDir, const std::string& lessonStem)
{
    return coursewareDir + lessonStem + "\\";
}

std::string copyFileFolder(const CoursewareIndex& index, int lesson)
{
    return copyFileFolder(index.coursewareDir(), index.lessonStem(lesson < 1 ? 1 : lesson));
}

CopyNameCheck checkCopyName(const std::string& chosen)
{
    // The system took the first "." of the whole path, so that a folder with a dot in its name (a hidden folder
    // on this platform) decided the test, and so did a name with a dot before its extension, such as the
    // "tasu1.que-U1.prp" the save dialog proposes for a unit. Only the file name counts here, from its last ".".
    const std::string name = fileNameOf(chosen);
    const std::size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : extensionOf(std::string_view(name).substr(dot));
    if (extension.empty()) return CopyNameCheck::NeedsExtension;
    return extension == kCopyExtension ? CopyNameCheck::Accepted : CopyNameCheck::BadExtension;
}

std::string proposedCopyName(const std::string& shortKey)
{
    std::string name = fileNameOf(shortKey);
    const std::size_t n = std::string_view(kCopyExtension).size();
    if (name.size() < n || extensionOf(std::string_view(name).substr(name.size() - n)) != kCopyExtension)
        name += kCopyExtension;
    return name;
}

CopySaveOffer copySaveOffer(const std::string& currentPath, const std::string& shortKey,
                            const std::string& lessonCopyFolder)
{
    if (checkCopyName(currentPath) != CopyNameCheck::Accepted) return {lessonCopyFolder, proposedCopyName(shortKey)};
    std::string name = fileNameOf(currentPath);
    return {currentPath.substr(0, currentPath.size() - name.size()), std::move(name)};
}

std::optional<std::string> saveCopyAs(Prompts& prompts, const CopyRecord& record, const std::string& startFolder,
                                      SaveCopyOutcome& outcome, const std::string& suggestedName)
{
    outcome = SaveCopyOutcome::Cancelled;
    FileDialogRequest dialog;
    dialog.filter = std::string("*") + kCopyExtension;
    dialog.startFolder = startFolder;
    dialog.suggestedName = suggestedName;
    std::string name;
    for (;;) {
        std::optional<std::string> chosen = prompts.saveFileName(dialog);
        if (!chosen || chosen->empty()) return std::nullopt;
        name = *chosen;
        CopyNameCheck check = checkCopyName(name);
        if (check == CopyNameCheck::BadExtension) {
            prompts.message(messages::badExtension(name));
            continue;
        }
        if (check == CopyNameCheck::NeedsExtension) name += kCopyExtension;
        // No to overwriting is a wish for another name, not for no save at all: the dialog comes again.
        if (!paths::fileExists(name) || prompts.confirm(messages::confirmOverwrite(name)) == Answer::Yes) break;
        dialog.suggestedName = textAfterLast(textAfterLast(name, '\\'), '/');
    }
    if (Status written = writeCopyFile(name, record); !written) {
        prompts.message(written.message());
        outcome = SaveCopyOutcome::Failed;
        return std::nullopt;
    }
    outcome = SaveCopyOutcome::Saved;
    return name;
}

} // namespace tavola

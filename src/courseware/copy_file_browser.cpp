#include "courseware/copy_file_browser.h"

#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"

#include <algorithm>

namespace tavola {

std::vector<std::string> copyFilesIn(const std::string& systemFolder)
{
    return paths::filesWithExtension(systemFolder, ".prp");
}

CopyFileBrowser::CopyFileBrowser(std::string coursewareDir) : index_(std::move(coursewareDir)) {}

void CopyFileBrowser::setCoursewareDir(std::string dir)
{
    index_.setCoursewareDir(std::move(dir));
}

bool CopyFileBrowser::show(Prompts& prompts)
{
    if (firstShow_) {
        lessons_.clear();
        if (!checkFileExists(prompts, index_.coursewareDir() + "Main.ind")) return false;
        (void)index_.readMainIndex();
        const auto& all = index_.lessonList();
        lessons_.assign(all.begin(), all.begin() + std::min<std::ptrdiff_t>(std::ssize(all), kMaxBrowserLessons));
        if (!lessons_.empty()) {
            chooseLesson(0, prompts);
            if (!files_.empty()) chooseFile(0);
        }
        firstShow_ = false;
    }
    if (!lessons_.empty()) chooseLesson(std::max(0, lesson_), prompts);
    return true;
}

void CopyFileBrowser::chooseLesson(int index, Prompts& prompts)
{
    if (index < 0 || index >= std::ssize(lessons_)) return;
    lesson_ = index;
    const std::string dir = index_.coursewareDir() + index_.lessonFolder(index + 1);
    lessonDir_ = dir;
    if (!paths::directoryExists(dir)) {
        prompts.message(folderNotFoundMessage(dir));
        return;
    }
    files_ = copyFilesIn(dir);
    file_ = -1;
    if (files_.empty()) return;
    if (remembered_ == -1) {
        chooseFile(0);
        remembered_ = 0;
    } else {
        chooseFile(remembered_ < std::ssize(files_) ? remembered_ : 0);
    }
}

void CopyFileBrowser::chooseFile(int index)
{
    if (index < 0 || index >= std::ssize(files_)) return;
    file_ = index;
    fileName_ = lessonDir_ + files_[static_cast<std::size_t>(index)];
    contents_ = readLineFile(fileName_).value_or(Lines{});
}

bool CopyFileBrowser::confirm(Prompts& prompts)
{
    if (fileName_.empty()) {
        prompts.message("単元を選択してください"_sj);
        return false;
    }
    // A lesson without copy files has no file chosen; the file shown from before is the one confirmed.
    if (file_ >= 0) remembered_ = file_;
    copyFileName_ = textAfterLast(fileName_, '\\');
    return true;
}

} // namespace tavola

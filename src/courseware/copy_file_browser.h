#pragma once
// The copy-file browser's logic: its own lesson tables from Main.ind (read at the first showing only), the copy
// files (.prp) of the chosen lesson's folder, the text of the chosen file, and the file remembered from the last
// OK. The window (TfrmOpenPRP) shows what this holds and forwards its clicks; the records viewer lists a lesson's
// copy files with copyFilesIn().
#include "courseware/index_file.h"
#include "platform/line_file.h"
#include "platform/prompts.h"

#include <string>
#include <vector>

namespace tavola {

// The browser lists at most this many lessons of Main.ind.
inline constexpr int kMaxBrowserLessons = 50;

// The copy files of a folder (a system folder text ending in "\"): paths::filesWithExtension ".prp".
std::vector<std::string> copyFilesIn(const std::string& systemFolder);

class CopyFileBrowser {
public:
    explicit CopyFileBrowser(std::string coursewareDir = {});
    void setCoursewareDir(std::string dir);

    // Showing the window: the first time Main.ind is read (false after its message when it is missing: the window
    // closes with Abort) and lesson 1 and its first file are chosen; every time the chosen lesson is listed anew.
    bool show(Prompts& prompts);
    // A lesson clicked (0-based): its folder is listed and the remembered file chosen in it (the first when there
    // are fewer). A folder that does not exist shows its message and leaves the list as it was.
    void chooseLesson(int index, Prompts& prompts);
    // A file clicked (0-based): its path and its lines.
    void chooseFile(int index);
    // OK: "単元を選択してください" without a file; otherwise the file is remembered and its bare name kept.
    bool confirm(Prompts& prompts);

    const std::vector<std::string>& lessons() const { return lessons_; }
    int chosenLesson() const { return lesson_; }
    const std::vector<std::string>& files() const { return files_; }
    int chosenFile() const { return file_; }
    // edtFileName: the full path of the chosen file.
    const std::string& fileName() const { return fileName_; }
    // lstContents: its lines.
    const Lines& contents() const { return contents_; }
    // The bare name of the file confirmed last (the learning records' section name of a copy file).
    const std::string& copyFileName() const { return copyFileName_; }

private:
    CoursewareIndex index_;
    bool firstShow_ = true;
    std::vector<std::string> lessons_;
    int lesson_ = -1;
    std::string lessonDir_;
    std::vector<std::string> files_;
    int file_ = -1;
    std::string fileName_;
    Lines contents_;
    std::string copyFileName_;
    int remembered_ = -1;
};

} // namespace tavola

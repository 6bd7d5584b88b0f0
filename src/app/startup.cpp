#include "app/startup.h"

#include "courseware/index_file.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/settings_store.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"

#include <algorithm>
#include <strings.h>

namespace tavola {
namespace {

bool endsWithNoCase(const std::string& name, const char* suffix)
{
    std::size_t n = std::char_traits<char>::length(suffix);
    return name.size() > n && ::strcasecmp(name.c_str() + name.size() - n, suffix) == 0;
}

std::string folderNotCreatedMessage(const std::string& path)
{
    return "フォルダ "_sj + path + " を作成できません"_sj;
}

bool ensureFolder(const std::string& path)
{
    return paths::directoryExists(path) || paths::createDirectory(path);
}

} // namespace

std::string withTrailingSeparator(std::string folder)
{
    if (folder.empty() || (folder.back() != '/' && folder.back() != '\\')) folder += '/';
    return folder;
}

Result<std::string> coursewareDirFromCurrentDirectory()
{
    auto cwd = paths::currentDirectory();
    if (!cwd) return Result<std::string>::failure("現在のフォルダの名前を読めません"_sj);
    return withTrailingSeparator(*cwd);
}

std::string helpFolder(const std::string& coursewareDir)
{
    return coursewareDir + "help/";
}

std::string chooseHelpFile(const std::string& coursewareDir)
{
    std::string folder = helpFolder(coursewareDir);
    std::vector<std::string> pages;
    for (const auto& name : paths::listFolder(folder)) {
        if ((endsWithNoCase(name, ".htm") || endsWithNoCase(name, ".html")) && paths::fileExists(folder + name))
            pages.push_back(name);
    }
    if (pages.empty()) return kDefaultHelpFile;
    return *std::min_element(pages.begin(), pages.end(), [](const std::string& a, const std::string& b) {
        return ::strcasecmp(a.c_str(), b.c_str()) < 0;
    });
}

std::string helpFilePath(const ShellState& state)
{
    return helpFolder(state.coursewareDir) + state.helpFile;
}

std::string supplementPath(const ShellState& state)
{
    return state.coursewareDir + "hosoku.htm";
}

std::string windowsFolder()
{
    std::string data = paths::dataFolder();
    return paths::systemPathOf(data).value_or(sjis::encode(data)) + "/";
}

Status prepareRecordFolders(ShellState& state)
{
    std::string tavola = state.recordDrive + "Tavola";
    if (!ensureFolder(tavola)) return Status::failure(folderNotCreatedMessage(tavola));
    std::string logOn = state.recordDrive + "Tavola\\LogOn";
    if (!ensureFolder(logOn)) return Status::failure(folderNotCreatedMessage(logOn));
    state.logOnDir = logOn;
    return {};
}

void createLessonFoldersForReadOnlyCourseware(const ShellState& state, const CoursewareIndex& index)
{
    for (int i = 1; i <= index.lessonCount(); ++i) {
        const std::string& stem = index.lessonStem(i);
        if (stem.empty()) continue;
        ensureFolder(state.windowsDir + stem);
    }
}

Rect titleButtonRect(int screenWidth, int mainHeight, int panelWidth, int glyphWidth, int glyphHeight)
{
    int width = glyphWidth + 10;
    int height = glyphHeight + 20;
    int left = (screenWidth - panelWidth - width - 20) / 2;
    int top = (mainHeight - height - 100) / 2;
    return {left, top, left + width, top + height};
}

Point tipsPanelPosition(int mainWidth, int mainHeight, int panelWidth, int tipsWidth, int tipsHeight)
{
    return {(mainWidth - panelWidth - tipsWidth - 10) / 2 + panelWidth, (mainHeight - tipsHeight - 80) / 2};
}

Point savePopupPosition(const Rect& saveButton)
{
    return {saveButton.left + saveButton.width() - 30, saveButton.top - 5};
}

Status setKeyLock(ShellState& state, SettingsStore& settings, bool keyLock)
{
    state.keyLock = keyLock;
    return settings.writeFlag("KeyLock", keyLock);
}

ShowOutcome runShowSequence(ShellState& state, CoursewareIndex& index, SettingsStore& settings, Prompts& prompts,
                            ShowSequenceWindow& window)
{
    // A settings value of the wrong type stops the sequence at its step with the error box, as the registry's
    // invalid-data-type error did; what was done before stays.
    auto failed = [&](const std::string& message) {
        prompts.error(message);
        return ShowOutcome::Stopped;
    };

    state.onCdRom = paths::isReadOnlyFolder(state.coursewareDir);

    auto school = settings.readText("theSchool", "");
    if (!school) return failed(school.message());
    state.schoolName = *school;

    std::string title = state.coursewareDir + "Title.BMP";
    window.showTitlePicture(checkFileExists(prompts, title) ? title : std::string());

    state.indexChanged = false;
    state.openWindowList.clear();

    state.helpFile = chooseHelpFile(state.coursewareDir);

    if (!checkFileExists(prompts, state.coursewareDir + "Main.ind")) return ShowOutcome::Quit;

    auto nextTime = settings.readFlag("ShowDoYouKnow", true);
    if (!nextTime) return failed(nextTime.message());
    window.setShowTipsNextTime(*nextTime);

    index.setCoursewareDir(state.coursewareDir);
    // Main.ind exists but cannot be read (no permission): the error box, and the window stays.
    if (Status read = index.readMainIndex(); !read) return failed(read.message());
    window.mainIndexRead();

    state.answersEnabled = true;
    window.enableAnswerButton();
    // The print mode chosen last (stored as "PrintMode" when the print mode dialog closes).
    auto printerMode = settings.readFlag("PrintMode", false);
    if (!printerMode) return failed(printerMode.message());
    window.selectPrintMode(*printerMode);

    auto paper = settings.readInteger("PaperSize", kA4Width);
    if (!paper) return failed(paper.message());
    window.applyPaper(*paper);

    state.showAnswers = false;
    window.toggleAnswers();

    auto drive = settings.readCommonText("RecDrive", "C:\\");
    if (!drive) return failed(drive.message());
    state.recordDrive = *drive;
    state.windowsDir = windowsFolder();

    if (Status folders = prepareRecordFolders(state); !folders) return failed(folders.message());

    if (state.onCdRom) createLessonFoldersForReadOnlyCourseware(state, index);

    window.placeTipsPanel();
    window.bringTitleToFront();
    window.indexEditorReadMainIndex();
    window.focusTipsClose();

    auto learner = settings.readText("LogOnName", "共通"_sj);
    if (!learner) return failed(learner.message());
    state.learnerName = *learner;
    window.showLearnerName();

    state.marksStale = true;

    auto keyLock = settings.readFlag("KeyLock", false);
    if (!keyLock) return failed(keyLock.message());
    Status written = setKeyLock(state, settings, *keyLock);
    window.showMode(state.keyLock);
    if (!written) return failed(written.message());

    window.focusStudyButton();
    return ShowOutcome::Completed;
}

} // namespace tavola

#pragma once
// The main window: a multiple-document frame whose children are the title window and the worksheet windows,
// with the command panel on its left, the menus, the save pop-up, the tips panel and the teacher/student lock.
// It owns the shell state and the courseware index and forwards its commands to the logic and to the windows
// of the flows. The worksheet windows (TfrmPrint) are its children; the controls of the command panel act on the
// current one, and its menus are merged into the menu bar while it is active.
#include "app/open_flows.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "courseware/index_file.h"
#include "courseware/unit_marks.h"
#include "courseware/unit_menu.h"
#include "practice/learning_records.h"
#include "question/unit_reader.h"
#include "worksheet/TfrmPrint.h"
#include "worksheet/print_host.h"
#include "worksheet/worksheet_host.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QUrl;

namespace tavola {

class TfrmInputName;
class TfrmJuku;
class TfrmVersion;

struct InputNameContext;
class TfrmKiroku;
class TfrmGakkyu;
class TfrmTablet;
class TfrmZenSeikai;
class Clock;
class TfrmEditIndex;
class TfrmEditQues;
class Prompts;
class SettingsStore;
class TfrmMenu;
class TfrmOpenPRP;
class TfrmPrintMode;
class TfrmPrintOk;
class TfrmReadUnit;
class TfrmSetPaper;
class TfrmRenshu;
class TfrmSettei;

class TfrmMain : public QMainWindow,
                 public WorksheetHost,
                 public PrintHost,
                 private ShowSequenceWindow,
                 private OpenFlowWindows,
                 private TfrmPrintHost {
    Q_OBJECT
public:
    static constexpr int kPanelWidth = 113;

    TfrmMain(Prompts& prompts, SettingsStore& settings, const Clock& clock, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // What the other windows and the flows use.
    ShellState& shellState() { return state_; }
    CoursewareIndex& index() { return index_; }
    Prompts& prompts() { return prompts_; }
    SettingsStore& settings() { return settings_; }
    const Clock& clock() const { return clock_; }
    QMdiArea* mdiArea() const { return mdiArea_; }
    QMdiSubWindow* titleWindow() const { return titleWindow_; }

    // The windows created after this one at start-up (they live for the whole run).
    void attachVersionWindow(TfrmVersion* window) { frmVersion_ = window; }
    void attachJukuWindow(TfrmJuku* window) { frmJuku_ = window; }
    void attachMenuWindow(TfrmMenu* window) { frmMenu_ = window; }
    void attachSetteiWindow(TfrmSettei* window) { frmSettei_ = window; }
    void attachOpenPRPWindow(TfrmOpenPRP* window) { frmOpenPRP_ = window; }
    void attachReadUnitWindow(TfrmReadUnit* window) { frmReadUnit_ = window; }
    void attachPrintWindows(TfrmPrintMode* printMode, TfrmSetPaper* setPaper, TfrmPrintOk* printOk)
    {
        frmPrintMode_ = printMode;
        frmSetPaper_ = setPaper;
        frmPrintOk_ = printOk;
    }
    void attachEditorWindows(TfrmEditQues* editQues, TfrmEditIndex* editIndex)
    {
        frmEditQues_ = editQues;
        frmEditIndex_ = editIndex;
    }
    TfrmEditQues* editQuesWindow() const { return frmEditQues_; }
    TfrmEditIndex* editIndexWindow() const { return frmEditIndex_; }
    // The master file editor changed a master file: the unit selection rescans its marks.
    void masterFileChanged();
    void attachRenshuWindow(TfrmRenshu* window) { frmRenshu_ = window; }
    TfrmRenshu* renshuWindow() const { return frmRenshu_; }
    void attachLearnerWindows(TfrmInputName* inputName, TfrmKiroku* kiroku, TfrmZenSeikai* zenSeikai);
    TfrmVersion* versionWindow() const { return frmVersion_; }
    TfrmJuku* jukuWindow() const { return frmJuku_; }
    TfrmMenu* menuWindow() const { return frmMenu_; }
    TfrmInputName* inputNameWindow() const { return frmInputName_; }
    TfrmKiroku* kirokuWindow() const { return frmKiroku_; }
    TfrmZenSeikai* zenSeikaiWindow() const { return frmZenSeikai_; }

    // The learner: what the name window shares with the shell, the current lesson (the one chosen in the unit
    // selection window; below 1 before any), the name window (true when a learner logged on), the records viewer
    // of the current lesson (true when records were erased), and 記録表示 of the unit selection window, which has
    // a learner log on first when there is none.
    InputNameContext inputNameContext();
    int currentLesson() const;
    bool logOn();
    // After a practice in student mode: the next child logs on (the learner logged on so far is logged off).
    void offerNextLearner();
    bool showRecordsViewer();
    bool showRecordsFromMenu();
    // 学級の記録 of lesson n with the learner folder's name list (teacher mode); true when records were erased.
    bool showClassRecords(int lesson);
    // ふくしゅうシート of the records viewer: the learner's follow-up sheet of lesson n, kept as a copy file and opened
    // in a worksheet window; a learner with nothing to go over gets a message. True when a window shows the sheet.
    bool openFollowupSheet(const std::string& learner, int lesson, const std::string& recordFile);
    // Whether the logged-on learner has problems to go over in lesson n (ふくしゅう of the unit selection window).
    bool hasFollowupSheet(int lesson) const;

    // What the unit selection window shares with the shell.
    MenuContext menuContext();
    UnitMarks& marks() { return marks_; }
    // The learner's record file of lesson n (empty without a learner).
    std::string recordFileOf(int lesson) const;
    // The practice records that could not be written yet, tried again with the next record and once more when the
    // program closes.
    PendingRecords& pendingRecords() { return pendingRecords_; }

    // The opening flows.
    OpenResult openUnit(const UnitPosition& position, bool reopen);
    bool openUnitThroughMenu();
    TfrmPrint* currentWorksheet() const { return currentWorksheet_; }
    // The worksheet windows in the order they were opened.
    QList<TfrmPrint*> worksheetWindows() const;

    // Pictures go to the system clipboard; tests replace the writer.
    using ClipboardWriter = std::function<void(const QImage&)>;
    void setClipboardWriter(ClipboardWriter writer) { clipboardWriter_ = std::move(writer); }

    // The active worksheet for the dialogs that work on it (TfrmSettei).
    Worksheet* activeWorksheet() override;
    const PageLayout* activeLayout() const override;
    void redrawActiveWorksheet() override;
    void markActiveWorksheetChanged() override;
    void toggleReducedView() override;
    std::string reducedViewCaption() const override;
    void scrollActiveWorksheet() override;
    void setShowAnswers(bool on) override;
    bool showAnswers() const override { return state_.showAnswers; }

    // What the print, print mode and paper dialogs ask.
    TfrmPrint* printWindow() override { return currentWorksheet_; }
    int chosenPaperWidth() const override;
    void choosePaper(int width) override;
    void setPrinting(bool on) override;

    // How the show sequence ended; Quit means the window closes and the program ends.
    ShowOutcome showOutcome() const { return showOutcome_; }

    // Help pages and "補足" open in the desktop's browser; tests replace the opener.
    using UrlOpener = std::function<bool(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }
    // The page in the desktop's browser through xdg-open, whose failure (no browser for the page) is told with
    // the page's file afterwards; false when there is no xdg-open and the desktop could not open it either.
    bool openInBrowser(const QUrl& url);

    // Opens the help page, at the context number's anchor when context > 0; a missing page is a message.
    void openHelp(int context);

    // Operations offered to the other windows.
    void applyPaper(int width) override;
    void paperAction(PaperChoice choice);
    void activateWindow(int index) override;
    void showSavePopup(bool saveMasterEnabled);
    void hideSavePopup();
    // Shows teacher mode or student mode without writing the setting.
    void showMode(bool keyLock) override;

    // Command panel.
    QFrame* pnlMain = nullptr;
    QPushButton* btnLock = nullptr;
    QPushButton* btnFpClose = nullptr;
    QPushButton* btnOpenMaster = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnStartPrint = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnTest = nullptr;
    QPushButton* btnLogOn = nullptr;
    QLineEdit* edtLogOnName = nullptr;
    QPushButton* btnKaitou = nullptr;
    QCheckBox* chkBekkai = nullptr;
    QPushButton* btnKran = nullptr;
    QLabel* lblGyouSpace = nullptr;
    QSpinBox* spnGyouSpace = nullptr;
    QLabel* lblMoji = nullptr;
    QLabel* lblSize = nullptr;
    QSpinBox* spnMojiSize = nullptr;
    QFrame* pnlCopy = nullptr;
    QPushButton* btnCopy = nullptr;
    QPushButton* btnCancel = nullptr;

    // Hidden controls: commands without a visible control.
    QFrame* pnlSize = nullptr;
    std::array<QRadioButton*, kPaperCount> radPaper{}; // radB5, radA4, radB4, radA3
    QPushButton* btnShukusho = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnScroll = nullptr;
    QPushButton* btnOpenCopy = nullptr;
    QFrame* pnlEdit = nullptr;
    QPushButton* btnEditMaster = nullptr;
    QPushButton* btnEditCopy = nullptr;

    // The save pop-up.
    QFrame* pnlSave = nullptr;
    QPushButton* btnSaveMaster = nullptr;
    QPushButton* btnSaveCopy = nullptr;

    // The tips panel.
    QFrame* grbDoYouKnow = nullptr;
    QCheckBox* chkNextTime = nullptr;
    QPushButton* btnTipsClose = nullptr; // "btnClose"

    // The title window's button.
    QPushButton* btnTitle = nullptr;

    // Menus.
    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuWindow = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuDoYouKnow = nullptr;
    std::array<QAction*, 4> windowMenuItems{}; // 最大表示, タイル表示, カスケード表示, すべて閉じる

public slots:
    void btnLockClick();
    void btnFpCloseClick();
    void btnOpenMasterClick();
    void btnSaveClick();
    void btnStartPrintClick();
    void btnEditClick();
    void btnTestClick();
    void btnLogOnClick();
    void btnKaitouClick();
    void chkBekkaiClick();
    void btnKranClick();
    void spnGyouSpaceChange();
    void spnMojiSizeChange();
    void btnCopyClick();
    void btnCancelClick();
    void btnSaveMasterClick();
    void btnSaveCopyClick();
    void btnShukushoClick();
    void btnAddClick();
    void btnScrollClick();
    void btnOpenCopyClick();
    void btnEditMasterClick();
    void btnEditCopyClick();

    void mnuExitClick();
    void mnuEditIndexClick();
    void mnuJukuClick();
    void mnuGakkyuClick();
    void mnuTabletClick();
    void mnuMaximizeClick();
    void mnuTileClick();
    void mnuCascadeClick();
    void mnuCloseAllClick();
    void mnuWindowPopup();
    void mnuHowToClick();
    void mnuVersionClick();
    void mnuDoYouKnowClick();
    void mnuHosokuClick();
    void btnTipsCloseClick();
    void mdiAreaSubWindowActivated(QMdiSubWindow* window);

signals:
    // Main.ind was missing: the window closes and the program ends with a failure status.
    void startupAborted();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildCommandPanel();
    void buildHiddenControls();
    void buildSavePopup();
    void buildTipsPanel();
    void buildTitleWindow();
    void buildMenus();
    bool handleKey(QKeyEvent* event);
    void setAnswerGlyph();
    // The paper goes into the state and its radio button is checked.
    void setPaperChoice(PaperChoice choice);
    void openDocument(const std::string& systemPath, int context);
    // What the teacher is told when no browser showed a page: where the page is, to open it by hand.
    std::string pageNotShownText(const QUrl& url) const;

    // The worksheet windows.
    void setUpWorksheets();
    OpenFlowContext openFlowContext();
    bool chooseUnit() override;
    void closeCurrentWorksheet() override;
    void createWorksheetWindow(WorksheetDocument document) override;
    bool editNewUnit(const UnitPosition& position) override;
    void choosePaperA4() override;
    void worksheetActivated(TfrmPrint& window);
    void loadControls(const Worksheet& sheet);
    void mergeMenus(TfrmPrint* window);
    void showMenus(bool keyLock);
    void worksheetSettingChanged();
    void showMessages(const std::vector<std::string>& messages);
    void enableCopyButtons(bool on);
    QMdiSubWindow* subWindowOf(const TfrmPrint* window) const;
    // Where a worksheet window that fills the document area stands: the main window's width less the panel and 10
    // pixels, never wider than the area, and the area's height.
    QRect workArea() const;
    // After the area changed size, the worksheet windows that filled it fill it again.
    void refitWorksheets();
    // The worksheet used last (nullptr without one), and bringing it forward with the keys.
    TfrmPrint* frontWorksheet() const;
    void bringFrontWorksheetForward();

    // TfrmPrintHost.
    DrawOptions worksheetDrawOptions() const override;
    bool worksheetCloseQuery(TfrmPrint& window) override;
    void worksheetClosed(TfrmPrint& window) override;
    void worksheetSelectionChanged(TfrmPrint& window) override;
    void worksheetCommand(TfrmPrint& window, WorksheetCommand command) override;
    void putPictureOnClipboard(const QImage& picture) override;
    bool answerCommandEnabled() const override;

    // The show sequence's window steps.
    void showTitlePicture(const std::string& path) override;
    void setShowTipsNextTime(bool show) override;
    void mainIndexRead() override;
    void enableAnswerButton() override;
    void selectPrintMode(bool printerMode) override;
    void toggleAnswers() override;
    void placeTipsPanel() override;
    void bringTitleToFront() override;
    void indexEditorReadMainIndex() override;
    void focusTipsClose() override;
    void showLearnerName() override;
    void focusStudyButton() override;

    Prompts& prompts_;
    SettingsStore& settings_;
    const Clock& clock_;
    ShellState state_;
    CoursewareIndex index_;
    PendingRecords pendingRecords_;

    QMdiArea* mdiArea_ = nullptr;
    QMdiSubWindow* titleWindow_ = nullptr;
    QSize titleFreeArea_;
    std::string startupProblem_; // why the courseware folder could not be taken
    TfrmVersion* frmVersion_ = nullptr;
    TfrmJuku* frmJuku_ = nullptr;
    TfrmMenu* frmMenu_ = nullptr;
    bool followupOpened_ = false; // ふくしゅう was chosen in the unit selection window and its sheet opened
    TfrmInputName* frmInputName_ = nullptr;
    TfrmKiroku* frmKiroku_ = nullptr;
    TfrmGakkyu* frmGakkyu_ = nullptr; // made at its first showing, a child of this window
    TfrmTablet* frmTablet_ = nullptr; // the classroom server, made at its first showing
    TfrmZenSeikai* frmZenSeikai_ = nullptr;
    TfrmSettei* frmSettei_ = nullptr;
    TfrmOpenPRP* frmOpenPRP_ = nullptr;
    TfrmReadUnit* frmReadUnit_ = nullptr;
    TfrmPrintMode* frmPrintMode_ = nullptr;
    TfrmSetPaper* frmSetPaper_ = nullptr;
    TfrmPrintOk* frmPrintOk_ = nullptr;
    bool printing_ = false; // activating a worksheet window leaves the shared controls as they are
    TfrmEditQues* frmEditQues_ = nullptr;
    TfrmEditIndex* frmEditIndex_ = nullptr;
    TfrmRenshu* frmRenshu_ = nullptr;
    UnitMarks marks_;
    UnitReader reader_;
    TfrmPrint* currentWorksheet_ = nullptr;      // the worksheet window activated last, until it closes
    bool reducedView_ = false;                   // the worksheet windows show the whole page small
    TfrmPrint* mergedMenus_ = nullptr;           // the worksheet window whose menus are in the menu bar
    std::vector<QPointer<TfrmPrint>> usedOrder_; // the open worksheet windows, the one used last first
    QRect fittedArea_;                           // the document area and the work area as last fitted
    QRect fittedWork_;
    bool loadingControls_ = false; // the controls show a worksheet's settings: nothing is written back
    bool closeQueryRunning_ = false;
    ClipboardWriter clipboardWriter_;
    UrlOpener urlOpener_;
    bool showSequenceRun_ = false;
    ShowOutcome showOutcome_ = ShowOutcome::Completed;
};

} // namespace tavola

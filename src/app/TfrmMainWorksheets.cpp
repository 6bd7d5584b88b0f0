// The main window's worksheet side: opening units into worksheet windows, activation with the shared controls and
// the merged menus, the commands of the command panel that act on the current worksheet, closing, the copied
// rectangle and the clipboard. Commands that work on a worksheet do nothing while none is open.
#include "app/TfrmJuku.h"
#include "app/TfrmMain.h"
#include "app/learner_files.h"
#include "courseware/TfrmMenu.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/sjis.h"
#include "practice/TfrmRenshu.h"
#include "worksheet/TfrmPrintMode.h"
#include "worksheet/TfrmSetPaper.h"
#include "worksheet/TfrmSettei.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>

namespace tavola {

void TfrmMain::setUpWorksheets()
{
    clipboardWriter_ = [](const QImage& picture) { QGuiApplication::clipboard()->setImage(picture); };
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TfrmMain::mdiAreaSubWindowActivated);
}

// ---- what the unit selection window shares ----

MenuContext TfrmMain::menuContext()
{
    return {index_,
            marks_,
            prompts_,
            state_.indexChanged,
            state_.marksStale,
            [this](int lesson) { return recordFileOf(lesson); }};
}

std::string TfrmMain::recordFileOf(int lesson) const
{
    return learnerRecordFile(state_, index_, lesson);
}

// ---- opening ----

OpenFlowContext TfrmMain::openFlowContext()
{
    return {state_, index_, reader_, prompts_, *this};
}

OpenResult TfrmMain::openUnit(const UnitPosition& position, bool reopen)
{
    OpenFlowContext ctx = openFlowContext();
    return tavola::openUnit(ctx, position, reopen);
}

bool TfrmMain::openUnitThroughMenu()
{
    followupOpened_ = false;
    OpenFlowContext ctx = openFlowContext();
    bool opened = tavola::openUnitThroughMenu(ctx);
    setAnswerGlyph();
    return opened || followupOpened_;
}

bool TfrmMain::chooseUnit()
{
    if (frmMenu_ == nullptr) return false;
    frmMenu_->setSelectMode(MenuMode::Open);
    frmMenu_->setFormSize(size());
    if (frmMenu_->exec() != QDialog::Accepted) {
        // ふくしゅう: the learner's follow-up sheet instead of a unit.
        if (frmMenu_->followupChosen()) {
            const int lesson = std::max(1, frmMenu_->lastPosition().lesson);
            followupOpened_ = openFollowupSheet(state_.learnerName, lesson, recordFileOf(lesson));
        }
        return false;
    }
    const MenuChoice& choice = frmMenu_->choice();
    state_.lastPosition = frmMenu_->lastPosition();
    state_.lastLessonText = choice.lessonText;
    state_.lastSectionText = choice.sectionText;
    state_.lastUnitText = choice.unitText;
    return true;
}

void TfrmMain::activateWindow(int index)
{
    if (index < 0 || index >= static_cast<int>(state_.openWindowList.size())) return;
    QString title = toQString(state_.openWindowList[static_cast<std::size_t>(index)]);
    for (QMdiSubWindow* w : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (w->windowTitle() == title) {
            mdiArea_->setActiveSubWindow(w);
            if (w->widget() != nullptr) w->widget()->setFocus();
            return;
        }
    }
}

void TfrmMain::closeCurrentWorksheet()
{
    TfrmPrint* current = currentWorksheet_;
    if (current == nullptr) return;
    current->worksheet().changed = false;
    if (QMdiSubWindow* sub = subWindowOf(current)) sub->close();
}

void TfrmMain::createWorksheetWindow(WorksheetDocument document)
{
    auto* window =
        new TfrmPrint(*this, std::move(document.sheet), std::move(document.figures), std::move(document.classFlag));
    QMdiSubWindow* sub = mdiArea_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName("subPrint");
    worksheetWindowOpened(state_, window->worksheet().windowKey);
    // The window fills the free area and draws once before it shows.
    sub->setGeometry(workArea());
    showMessages(window->redraw());
    sub->show();
    mdiArea_->setActiveSubWindow(sub);
    window->setFocus();
}

QList<TfrmPrint*> TfrmMain::worksheetWindows() const
{
    QList<TfrmPrint*> windows;
    for (QMdiSubWindow* w : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* print = qobject_cast<TfrmPrint*>(w->widget())) windows << print;
    }
    return windows;
}

QMdiSubWindow* TfrmMain::subWindowOf(const TfrmPrint* window) const
{
    return window != nullptr ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
}

void TfrmMain::showMessages(const std::vector<std::string>& messages)
{
    for (const std::string& m : messages)
        prompts_.message(m);
}

// ---- activation and the merged menus ----

void TfrmMain::mdiAreaSubWindowActivated(QMdiSubWindow* window)
{
    if (window == nullptr) return; // nothing active for the moment; the current worksheet stays
    if (auto* print = qobject_cast<TfrmPrint*>(window->widget())) {
        worksheetActivated(*print);
        return;
    }
    mergeMenus(nullptr);
    // The title window lies behind the worksheets: when the document area hands it the activation (the next
    // child in creation order after a close, or the focus moving on along the tab order) the worksheet used last
    // comes back, once the area has finished its own activation.
    if (window == titleWindow_ && frontWorksheet() != nullptr)
        QTimer::singleShot(0, this, &TfrmMain::bringFrontWorksheetForward);
}

QRect TfrmMain::workArea() const
{
    // Wider than the area, the window's right edge with its scroll bar would lie out of sight.
    const QSize area = mdiArea_->viewport()->size();
    return {0, 0, std::min(width() - kPanelWidth - 10, area.width()), area.height()};
}

void TfrmMain::refitWorksheets()
{
    // A worksheet window that filled the area, as activation or 最大表示 left it, keeps filling it; one the teacher
    // placed elsewhere stays where it is.
    const QRect area(QPoint(0, 0), mdiArea_->viewport()->size());
    const QRect work = workArea();
    for (TfrmPrint* sheet : worksheetWindows()) {
        QMdiSubWindow* sub = subWindowOf(sheet);
        if (sub->isMaximized() || sub->isMinimized()) continue;
        if (sub->geometry() == fittedArea_)
            sub->setGeometry(area);
        else if (sub->geometry() == fittedWork_)
            sub->setGeometry(work);
    }
    fittedArea_ = area;
    fittedWork_ = work;
}

TfrmPrint* TfrmMain::frontWorksheet() const
{
    for (const QPointer<TfrmPrint>& w : usedOrder_)
        if (w != nullptr) return w;
    return nullptr;
}

void TfrmMain::bringFrontWorksheetForward()
{
    TfrmPrint* sheet = frontWorksheet();
    QMdiSubWindow* sub = subWindowOf(sheet);
    if (sub == nullptr) {
        if (state_.worksheetCount == 0) bringTitleToFront();
        return;
    }
    if (mdiArea_->activeSubWindow() != sub) mdiArea_->setActiveSubWindow(sub);
    sub->raise();
    sheet->setFocus(Qt::OtherFocusReason);
}

bool TfrmMain::focusNextPrevChild(bool next)
{
    // The key handler takes Tab, so the focus moves on here only when the control that had it was hidden or
    // disabled (the save pop-up, コピー / キャンセル, the tips panel, student mode). Along the tab order it would
    // land in whichever child window comes next, the title window first; the keys belong to the worksheet in
    // front instead.
    if (frontWorksheet() == nullptr) return QMainWindow::focusNextPrevChild(next);
    bringFrontWorksheetForward();
    return true;
}

void TfrmMain::worksheetActivated(TfrmPrint& window)
{
    currentWorksheet_ = &window;
    std::erase_if(usedOrder_, [&window](const QPointer<TfrmPrint>& w) { return w == nullptr || w == &window; });
    usedOrder_.insert(usedOrder_.begin(), QPointer<TfrmPrint>(&window));
    QMdiSubWindow* sub = subWindowOf(&window);
    if (sub != nullptr && !sub->isMaximized() && !sub->isMinimized()) sub->setGeometry(workArea());
    if (!closeQueryRunning_ && !printing_) loadControls(window.worksheet());
    if (window.reducedView() != reducedView_) {
        ReducedViewSize r = reducedViewSize(pnlMain->height());
        window.setReducedView(reducedView_, r.width, r.height);
    }
    window.redraw();
    mergeMenus(&window);
    enableCopyButtons(window.selectionPending());
}

void TfrmMain::loadControls(const Worksheet& sheet)
{
    // Showing a worksheet's values in the controls must not write them back or mark it changed.
    loadingControls_ = true;
    spnGyouSpace->setValue(sheet.settings.lineSpacing);
    spnMojiSize->setValue(sheet.settings.characterSize);
    setPaperChoice(applyPaperRule(sheet.settings.paper.width));
    state_.showAnswers = sheet.settings.answersShown;
    setAnswerGlyph();
    loadingControls_ = false;
}

void TfrmMain::mergeMenus(TfrmPrint* window)
{
    if (mergedMenus_ != window) {
        if (mergedMenus_ != nullptr) {
            for (QMenu* m :
                 {mergedMenus_->mnuFile, mergedMenus_->mnuEdit, mergedMenus_->mnuView, mergedMenus_->mnuSettings})
                menuBar()->removeAction(m->menuAction());
        }
        if (window != nullptr) {
            // The worksheet's ファイル and 編集 stand in for the main window's, 表示 joins them, 設定 goes between
            // ウィンドウ and ヘルプ.
            menuBar()->insertMenu(mnuWindow->menuAction(), window->mnuFile);
            menuBar()->insertMenu(mnuWindow->menuAction(), window->mnuEdit);
            menuBar()->insertMenu(mnuWindow->menuAction(), window->mnuView);
            menuBar()->insertMenu(mnuHelp->menuAction(), window->mnuSettings);
        }
        mergedMenus_ = window;
    }
    showMenus(state_.keyLock);
}

void TfrmMain::showMenus(bool keyLock)
{
    const bool teacher = !keyLock;
    mnuFile->menuAction()->setVisible(teacher && mergedMenus_ == nullptr);
    mnuEdit->menuAction()->setVisible(teacher && mergedMenus_ == nullptr);
    mnuWindow->menuAction()->setVisible(teacher);
    // In student mode the worksheet's menus offer nothing beyond the student panel: 表示 would show the answers
    // and 設定 the answer-box settings.
    if (mergedMenus_ != nullptr) {
        for (QMenu* m :
             {mergedMenus_->mnuFile, mergedMenus_->mnuEdit, mergedMenus_->mnuView, mergedMenus_->mnuSettings})
            m->menuAction()->setVisible(teacher);
    }
}

// ---- the worksheet window's host ----

DrawOptions TfrmMain::worksheetDrawOptions() const
{
    DrawOptions options;
    options.alternativeAnswers = state_.alternativeAnswers;
    options.schoolName = state_.schoolName;
    options.learnerName = state_.learnerName;
    options.clock = &clock_;
    // In student mode the answers stay off every worksheet, whatever the teacher chose; the choice itself is kept
    // (the 解答表示 state and the worksheet's value) and shows again with 先生用.
    if (state_.keyLock) options.answersShown = false;
    return options;
}

bool TfrmMain::worksheetCloseQuery(TfrmPrint& window)
{
    closeQueryRunning_ = true;
    std::optional<std::string> caption;
    const std::string title = window.worksheet().windowKey;
    const bool close = closeWorksheetQuery(window.worksheet(), title, state_, index_, prompts_, caption);
    if (caption) window.setCaption(*caption);
    closeQueryRunning_ = false;
    return close;
}

void TfrmMain::worksheetClosed(TfrmPrint& window)
{
    worksheetWindowClosed(state_, window.worksheet().windowKey);
    if (mergedMenus_ == &window) mergeMenus(nullptr);
    if (currentWorksheet_ == &window) {
        currentWorksheet_ = nullptr;
        enableCopyButtons(false);
    }
    // The document area would activate the next child in creation order; the worksheet used last comes forward
    // instead (the title window when none is left), once the closed window is gone.
    std::erase_if(usedOrder_, [&window](const QPointer<TfrmPrint>& w) { return w == nullptr || w == &window; });
    QTimer::singleShot(0, this, &TfrmMain::bringFrontWorksheetForward);
}

void TfrmMain::worksheetSelectionChanged(TfrmPrint& window)
{
    if (&window != currentWorksheet_) return;
    enableCopyButtons(window.selectionPending());
}

void TfrmMain::worksheetCommand(TfrmPrint&, WorksheetCommand command)
{
    switch (command) {
    case WorksheetCommand::OpenMaster:
        btnOpenMasterClick();
        break;
    case WorksheetCommand::OpenCopy:
        btnOpenCopyClick();
        break;
    case WorksheetCommand::SaveMaster:
        btnSaveMasterClick();
        break;
    case WorksheetCommand::Print:
        btnStartPrintClick();
        break;
    case WorksheetCommand::Exit:
        mnuExitClick();
        break;
    case WorksheetCommand::EditIndex:
        mnuEditIndexClick();
        break;
    case WorksheetCommand::Juku:
        mnuJukuClick();
        break;
    case WorksheetCommand::Gakkyu:
        mnuGakkyuClick();
        break;
    case WorksheetCommand::EditMaster:
        btnEditClick();
        break;
    case WorksheetCommand::Answers:
        btnKaitouClick();
        break;
    case WorksheetCommand::SetKran:
        btnKranClick();
        break;
    case WorksheetCommand::SetPrinter:
        if (frmPrintMode_ != nullptr) frmPrintMode_->exec();
        break;
    case WorksheetCommand::SetPaper:
        if (frmSetPaper_ != nullptr) frmSetPaper_->exec();
        break;
    case WorksheetCommand::AddUnit:
        btnAddClick();
        break;
    case WorksheetCommand::EditCopy:
        btnEditCopyClick();
        break;
    }
}

void TfrmMain::putPictureOnClipboard(const QImage& picture)
{
    if (clipboardWriter_) clipboardWriter_(picture);
}

bool TfrmMain::answerCommandEnabled() const
{
    return state_.answersEnabled;
}

// ---- the active worksheet for the dialogs ----

Worksheet* TfrmMain::activeWorksheet()
{
    return currentWorksheet_ != nullptr ? &currentWorksheet_->worksheet() : nullptr;
}

const PageLayout* TfrmMain::activeLayout() const
{
    return currentWorksheet_ != nullptr ? &currentWorksheet_->layout() : nullptr;
}

void TfrmMain::redrawActiveWorksheet()
{
    if (currentWorksheet_ != nullptr) showMessages(currentWorksheet_->redraw());
}

void TfrmMain::markActiveWorksheetChanged()
{
    if (currentWorksheet_ != nullptr) currentWorksheet_->worksheet().changed = true;
}

void TfrmMain::toggleReducedView()
{
    btnShukushoClick();
}

std::string TfrmMain::reducedViewCaption() const
{
    return reducedView_ ? "拡大"_sj : "縮小"_sj;
}

void TfrmMain::scrollActiveWorksheet()
{
    btnScrollClick();
}

void TfrmMain::setShowAnswers(bool on)
{
    if (state_.showAnswers != on) btnKaitouClick();
}

// ---- the controls that act on the current worksheet ----

void TfrmMain::worksheetSettingChanged()
{
    TfrmPrint* current = currentWorksheet_;
    showMessages(current->redraw());
    current->worksheet().changed = true;
}

void TfrmMain::paperAction(PaperChoice choice)
{
    TfrmPrint* current = currentWorksheet_;
    if (loadingControls_ || current == nullptr) return;
    const PaperSize& paper = kPaperTable[static_cast<std::size_t>(choice)];
    current->worksheet().settings.paper = {paper.width, paper.height};
    if (reducedView_)
        btnShukushoClick();
    else
        showMessages(current->redraw());
    current->worksheet().changed = true;
}

void TfrmMain::btnKaitouClick()
{
    state_.showAnswers = !state_.showAnswers;
    setAnswerGlyph();
    TfrmPrint* current = currentWorksheet_;
    if (current == nullptr) return;
    // The score and the practising state belong to the practice window; a new answer display drops them.
    current->worksheet().settings.answersShown = state_.showAnswers;
    current->worksheet().practice = false;
    showMessages(current->redraw());
}

void TfrmMain::chkBekkaiClick()
{
    state_.alternativeAnswers = chkBekkai->isChecked();
    if (currentWorksheet_ == nullptr) return;
    showMessages(currentWorksheet_->redraw());
}

void TfrmMain::spnGyouSpaceChange()
{
    if (loadingControls_ || currentWorksheet_ == nullptr) return;
    currentWorksheet_->worksheet().settings.lineSpacing = spnGyouSpace->value();
    worksheetSettingChanged();
}

void TfrmMain::spnMojiSizeChange()
{
    if (loadingControls_ || currentWorksheet_ == nullptr) return;
    currentWorksheet_->worksheet().settings.characterSize = spnMojiSize->value();
    worksheetSettingChanged();
}

void TfrmMain::btnShukushoClick()
{
    TfrmPrint* current = currentWorksheet_;
    if (current == nullptr) return;
    reducedView_ = !reducedView_;
    btnShukusho->setIcon(QIcon(reducedView_ ? ":/main/circle_green.png" : ":/main/circle_yellow.png"));
    btnShukusho->setText(toQString(reducedViewCaption()));
    ReducedViewSize r = reducedViewSize(pnlMain->height());
    current->setReducedView(reducedView_, r.width, r.height);
    showMessages(current->redraw());
}

void TfrmMain::btnFpCloseClick()
{
    if (QMdiSubWindow* sub = subWindowOf(currentWorksheet_)) sub->close();
}

void TfrmMain::btnOpenMasterClick()
{
    hideSavePopup();
    if (openUnitThroughMenu() && currentWorksheet_ != nullptr) currentWorksheet_->worksheet().changed = false;
}

void TfrmMain::btnSaveClick()
{
    if (currentWorksheet_ == nullptr) return;
    showSavePopup(currentWorksheet_->worksheet().master);
}

void TfrmMain::btnSaveCopyClick()
{
    hideSavePopup();
    TfrmPrint* current = currentWorksheet_;
    if (current == nullptr) return;
    if (auto path = saveWorksheetAsCopy(current->worksheet(), state_, index_, prompts_)) current->setCaption(*path);
}

void TfrmMain::btnTestClick()
{
    hideSavePopup();
    // With a worksheet the practice runs on it from the top; without one a unit is opened first and closed again
    // afterwards.
    const bool wasOpen = currentWorksheet_ != nullptr;
    if (wasOpen) {
        currentWorksheet_->scrollToTop();
    } else {
        if (!openUnitThroughMenu() || currentWorksheet_ == nullptr) return;
        currentWorksheet_->worksheet().changed = false;
    }
    TfrmPrint* sheet = currentWorksheet_;
    if (frmRenshu_ == nullptr) return;
    const bool answersShown = state_.showAnswers;
    state_.showAnswers = false;
    // The worksheet behind the practice window shows no answers either: a message box or the window manager may
    // bring it forward while the practice window is up.
    if (sheet->worksheet().settings.answersShown) {
        sheet->worksheet().settings.answersShown = false;
        showMessages(sheet->redraw());
    }
    sheet->worksheet().practice = true;
    frmRenshu_->setGeometry(geometry());
    frmRenshu_->practise(sheet->worksheet(), sheet->figurePictures(), sheet->classFlagPicture());
    // The answer display as it was, drawn again.
    state_.showAnswers = !answersShown;
    btnKaitouClick();
    if (!wasOpen)
        if (QMdiSubWindow* sub = subWindowOf(sheet)) sub->close();
    offerNextLearner();
}

void TfrmMain::offerNextLearner()
{
    // In student mode the learner stays logged on, also across runs; the next child at this computer is asked
    // to log on rather than practising under this one's name.
    if (!state_.keyLock || state_.learnerName == sjis::encode(kCommonLearner)) return;
    if (prompts_.confirm(nextLearnerQuestion(state_.learnerName)) != Answer::Yes) return;
    if (Status written = commitLearner(state_, settings_, sjis::encode(kCommonLearner)); !written)
        prompts_.error(written.message());
    showLearnerName();
    if (frmMenu_ != nullptr) frmMenu_->refreshMarks();
    logOn();
}

void TfrmMain::btnKranClick()
{
    hideSavePopup();
    if (currentWorksheet_ == nullptr || frmSettei_ == nullptr) return;
    frmSettei_->setPanelHeight(pnlMain->height());
    frmSettei_->exec();
}

void TfrmMain::btnScrollClick()
{
    TfrmPrint* current = currentWorksheet_;
    if (current == nullptr) return;
    current->scrollTo(scrollTarget(current->scrollPosition(), current->pictureHeight(), current->frameHeight()));
}

void TfrmMain::enableCopyButtons(bool on)
{
    btnCopy->setEnabled(on);
    btnCancel->setEnabled(on);
}

void TfrmMain::btnCopyClick()
{
    TfrmPrint* current = currentWorksheet_;
    if (current == nullptr) return;
    RectangleCopy copy = rectangleCopy(current->selection());
    // A rectangle too narrow to hold a picture leaves the clipboard as it was.
    if (copy.width > 0 && copy.height > 0) {
        QImage buffer(copy.width, copy.height, QImage::Format_RGB32);
        buffer.fill(Qt::white);
        const QRect source(copy.source.left, copy.source.top, copy.source.width(), copy.source.height());
        if (source.isValid()) {
            QPainter painter(&buffer);
            painter.drawImage(QRect(0, 0, copy.width, copy.height), current->pagePicture(), source);
        }
        putPictureOnClipboard(buffer);
    }
    btnCancelClick();
}

void TfrmMain::btnCancelClick()
{
    if (currentWorksheet_ != nullptr) currentWorksheet_->clearSelection();
    enableCopyButtons(false);
}

// ---- the window menu and the school name ----

void TfrmMain::mnuMaximizeClick()
{
    QMdiSubWindow* sub = subWindowOf(currentWorksheet_);
    if (sub == nullptr) return;
    if (sub->isMaximized() || sub->isMinimized()) sub->showNormal();
    sub->setGeometry(QRect(QPoint(0, 0), mdiArea_->viewport()->size()));
}

void TfrmMain::mnuCloseAllClick()
{
    // Closing a window takes its entry out of the list, so the list is copied first.
    std::vector<std::string> captions = state_.openWindowList;
    for (const auto& caption : captions) {
        QString title = toQString(caption);
        for (QMdiSubWindow* w : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
            if (w != titleWindow_ && w->windowTitle() == title) {
                w->close();
                break;
            }
        }
    }
}

void TfrmMain::mnuJukuClick()
{
    if (frmJuku_ == nullptr) return;
    frmJuku_->exec();
    if (currentWorksheet_ != nullptr) showMessages(currentWorksheet_->redraw());
}

} // namespace tavola

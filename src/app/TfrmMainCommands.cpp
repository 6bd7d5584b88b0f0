// The main window's handlers: commands of the panel and the menus, the modes, the key handler, help, and the
// window steps of the show sequence. Commands that work on a worksheet do nothing while none is open.
#include "app/TfrmJuku.h"
#include "app/TfrmMain.h"
#include "app/TfrmVersion.h"
#include "app/main_keys.h"
#include "authoring/TfrmEditIndex.h"
#include "authoring/TfrmEditQues.h"
#include "authoring/TfrmReadUnit.h"
#include "authoring/master_editor.h"
#include "courseware/TfrmMenu.h"
#include "courseware/TfrmOpenPRP.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/settings_store.h"
#include "platform/text_helpers.h"
#include "question/copy_file.h"
#include "worksheet/TfrmPrintMode.h"
#include "worksheet/TfrmPrintOk.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QUrl>

namespace tavola {

// ---- start-up ----

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (showSequenceRun_) return;
    showSequenceRun_ = true;
    // The title window's free area is fixed once, from the window as it first appears.
    titleFreeArea_ = QSize(width() - kPanelWidth - 10, pnlMain->height());
    titleWindow_->move(0, 0);
    titleWindow_->resize(titleFreeArea_);

    if (!startupProblem_.empty()) {
        prompts_.message(startupProblem_);
        showOutcome_ = ShowOutcome::Quit;
    } else {
        showOutcome_ = runShowSequence(state_, index_, settings_, prompts_, *this);
    }
    if (showOutcome_ == ShowOutcome::Quit) {
        emit startupAborted();
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TfrmMain::showTitlePicture(const std::string& path)
{
    QPixmap picture;
    if (!path.empty()) picture.load(QString::fromStdString(paths::realPath(path)));
    QSize glyph = picture.isNull() ? QSize(0, 0) : picture.size();
    btnTitle->setIcon(QIcon(picture));
    btnTitle->setIconSize(glyph);
    QScreen* screen = this->screen();
    int screenWidth = screen != nullptr ? screen->geometry().width() : width();
    Rect r = titleButtonRect(screenWidth, height(), kPanelWidth, glyph.width(), glyph.height());
    btnTitle->setGeometry(r.left, r.top, r.width(), r.height());
}

void TfrmMain::setShowTipsNextTime(bool show)
{
    chkNextTime->setChecked(show);
}

void TfrmMain::mainIndexRead()
{
    // The unit selection window shows the index's title and lessons when it exists.
}

void TfrmMain::enableAnswerButton()
{
    setAnswerGlyph();
    btnKaitou->setEnabled(state_.answersEnabled);
}

void TfrmMain::selectPrintMode(bool printerMode)
{
    if (frmPrintMode_ != nullptr) frmPrintMode_->selectMode(printerMode);
}

void TfrmMain::toggleAnswers()
{
    btnKaitouClick();
}

void TfrmMain::placeTipsPanel()
{
    Point p = tipsPanelPosition(width(), height(), kPanelWidth, grbDoYouKnow->width(), grbDoYouKnow->height());
    // Measured from the top of the client area, below the menu bar.
    grbDoYouKnow->move(p.x, p.y + menuBar()->height());
}

void TfrmMain::bringTitleToFront()
{
    mdiArea_->setActiveSubWindow(titleWindow_);
    titleWindow_->raise();
}

void TfrmMain::indexEditorReadMainIndex()
{
    // The index editor reads the main index into its own lists when it exists.
}

void TfrmMain::focusTipsClose()
{
    if (grbDoYouKnow->isVisible()) btnTipsClose->setFocus();
}

void TfrmMain::showLearnerName()
{
    edtLogOnName->setText(toQString(state_.learnerName));
}

void TfrmMain::focusStudyButton()
{
    btnTest->setFocus();
}

// ---- modes, paper, answers ----

void TfrmMain::showMode(bool keyLock)
{
    btnLock->setText(sysText(keyLock ? "生徒用" : "先生用"));
    btnLock->setIcon(QIcon(keyLock ? ":/main/lock_closed.png" : ":/main/lock_open.png"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{btnFpClose, btnOpenMaster, btnSave, btnStartPrint, btnEdit, btnKran, chkBekkai,
                                         btnKaitou, spnGyouSpace, spnMojiSize, pnlCopy, lblGyouSpace, lblMoji, lblSize})
        w->setVisible(!keyLock);
    showMenus(keyLock);
    mnuDoYouKnow->setVisible(!keyLock);
    if (keyLock) hideSavePopup();
    // The answers leave every open worksheet with the mode, and come back with it (worksheetDrawOptions).
    for (TfrmPrint* sheet : worksheetWindows())
        sheet->redraw();
}

void TfrmMain::btnLockClick()
{
    Status written = setKeyLock(state_, settings_, !state_.keyLock);
    showMode(state_.keyLock);
    if (!written) prompts_.error(written.message());
}

void TfrmMain::applyPaper(int width)
{
    setPaperChoice(applyPaperRule(width));
}

void TfrmMain::setPaperChoice(PaperChoice choice)
{
    state_.paper = choice;
    // Checking a radio button that was not checked yet runs its paper action.
    radPaper[static_cast<std::size_t>(choice)]->setChecked(true);
}

void TfrmMain::setAnswerGlyph()
{
    btnKaitou->setIcon(QIcon(state_.showAnswers ? ":/main/answer_on.png" : ":/main/answer_off.png"));
}

// ---- command panel ----

void TfrmMain::btnStartPrintClick()
{
    hideSavePopup();
    if (currentWorksheet_ == nullptr || frmPrintOk_ == nullptr) return;
    frmPrintOk_->exec();
}

int TfrmMain::chosenPaperWidth() const
{
    return kPaperTable[static_cast<std::size_t>(state_.paper)].width;
}

void TfrmMain::choosePaper(int width)
{
    applyPaper(width);
    // Checking a button that was checked already runs no paper action: the worksheet still takes the paper.
    TfrmPrint* current = currentWorksheet_;
    if (current != nullptr && current->worksheet().settings.paper.width != width) paperAction(applyPaperRule(width));
}

void TfrmMain::setPrinting(bool on)
{
    printing_ = on;
    if (on && reducedView_) btnShukushoClick();
}

void TfrmMain::btnEditClick()
{
    hideSavePopup();
    TfrmPrint* current = currentWorksheet_;
    if (current == nullptr || frmEditQues_ == nullptr) return;
    Worksheet& sheet = current->worksheet();
    frmEditQues_->setFormSize(size());
    if (frmEditQues_->edit({sheet.position, &sheet, sheet.title, current->layout().segments}) != QDialog::Accepted)
        return;
    // An edited unit replaces its window; a new similar problem opens in a window of its own.
    const UnitPosition saved = frmEditQues_->position();
    const bool reopen = frmEditQues_->newSimilar() == 0;
    if (reopen) current->worksheet().changed = false;
    openUnit(saved, reopen);
}

void TfrmMain::masterFileChanged()
{
    state_.marksStale = true;
    if (frmMenu_ != nullptr) frmMenu_->refreshMarks();
}

bool TfrmMain::editNewUnit(const UnitPosition& position)
{
    if (frmEditQues_ == nullptr) return false;
    frmEditQues_->setFormSize(size());
    return frmEditQues_->edit({position, nullptr, state_.lastUnitText, {}}) == QDialog::Accepted;
}

void TfrmMain::choosePaperA4()
{
    loadingControls_ = true;
    setPaperChoice(PaperChoice::A4);
    loadingControls_ = false;
    paperAction(PaperChoice::A4);
}

void TfrmMain::btnSaveMasterClick()
{
    hideSavePopup();
    TfrmPrint* current = currentWorksheet_;
    if (current == nullptr || !current->worksheet().master) return;
    if (Status saved = saveWorksheetToMaster(current->worksheet(), index_, defaultBlockLines()); !saved)
        prompts_.message(saved.message());
}

void TfrmMain::btnAddClick()
{
    TfrmPrint* current = currentWorksheet_;
    if (current == nullptr) {
        prompts_.message("追加する元のファイルがありません"_sj);
        return;
    }
    UnitData content = worksheetContent(current->worksheet());
    if (Status can = UnitReader::checkCanAdd(content); !can) {
        prompts_.message(can.message());
        return;
    }
    if (frmMenu_ == nullptr) return;
    frmMenu_->setSelectMode(MenuMode::Add);
    frmMenu_->setFormSize(size());
    const bool chosen = frmMenu_->exec() == QDialog::Accepted;
    frmMenu_->setSelectMode(MenuMode::Open);
    if (!chosen) return;
    const MenuChoice& choice = frmMenu_->choice();
    ReadRequest request = unitReadRequest(index_, frmMenu_->lastPosition());
    if (request.lessonTitle.empty()) request.lessonTitle = choice.lessonText;
    // A unit that cannot be added leaves the worksheet as it was.
    if (Status added = reader_.addUnit(content, request); !added) {
        prompts_.message(added.message().empty() ? "単元がありません"_sj : added.message());
        return;
    }
    Worksheet& sheet = current->worksheet();
    takeContent(sheet, reader_.unit());
    sheet.master = false;
    current->setFigures(loadFigurePictures(sheet, index_.figureFolder(sheet.position.lesson), prompts_));
    showMessages(current->redraw());
}

void TfrmMain::btnOpenCopyClick()
{
    hideSavePopup();
    if (frmOpenPRP_ == nullptr) return;
    const int lesson = currentWorksheet_ != nullptr ? currentWorksheet_->worksheet().position.lesson : 1;
    frmOpenPRP_->setCoursewareDir(state_.coursewareDir);
    frmOpenPRP_->setFormGeometry(QRect(QPoint(0, 0), size()));
    std::string path;
    for (;;) {
        if (frmOpenPRP_->exec() != QDialog::Accepted) return;
        path = frmOpenPRP_->fileName();
        const CopyNameCheck check = checkCopyName(path);
        if (check == CopyNameCheck::Accepted) break;
        if (check == CopyNameCheck::NeedsExtension) {
            path += ".prp";
            break;
        }
        prompts_.message(path + ":拡張子が不正です"_sj);
    }
    // The copy comes up with its answers shown, as the main window shows them afterwards.
    state_.showAnswers = true;
    setAnswerGlyph();
    OpenFlowContext ctx = openFlowContext();
    if (openCopyFile(ctx, path, std::max(1, lesson)) && currentWorksheet_ != nullptr)
        currentWorksheet_->worksheet().changed = false;
}

void TfrmMain::btnEditMasterClick()
{
    btnEditClick();
}

void TfrmMain::btnEditCopyClick()
{
    if (currentWorksheet_ == nullptr || frmReadUnit_ == nullptr) return;
    frmReadUnit_->exec();
}

// ---- save pop-up ----

void TfrmMain::showSavePopup(bool saveMasterEnabled)
{
    btnSaveMaster->setEnabled(saveMasterEnabled);
    QPoint topLeft = btnSave->mapTo(this, QPoint(0, 0));
    Point p =
        savePopupPosition({topLeft.x(), topLeft.y(), topLeft.x() + btnSave->width(), topLeft.y() + btnSave->height()});
    pnlSave->move(p.x, p.y);
    pnlSave->show();
    pnlSave->raise();
}

void TfrmMain::hideSavePopup()
{
    pnlSave->hide();
}

// ---- menus ----

void TfrmMain::mnuExitClick()
{
    close();
}

void TfrmMain::mnuEditIndexClick()
{
    if (state_.worksheetCount > 0) {
        prompts_.message("開いているファイルをすべて閉じてください"_sj);
        return;
    }
    if (frmEditIndex_ == nullptr) return;
    frmEditIndex_->setFormSize(size());
    frmEditIndex_->exec();
}

void TfrmMain::mnuTileClick()
{
    mdiArea_->tileSubWindows();
}

void TfrmMain::mnuCascadeClick()
{
    // The document area's own cascade shrinks every window to its smallest size. Here each worksheet window keeps
    // the page's width (or the area's, whichever is smaller) and all the height the offsets leave, each offset
    // from the last by a title bar; the worksheet in front ends in front.
    QList<QMdiSubWindow*> windows;
    for (TfrmPrint* sheet : worksheetWindows())
        windows << subWindowOf(sheet);
    if (windows.isEmpty()) return;
    if (QMdiSubWindow* front = subWindowOf(frontWorksheet()); windows.removeOne(front)) windows << front;
    const QSize area = mdiArea_->viewport()->size();
    const int step = std::max(8, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.front()));
    // Beyond half the area's height the offsets start again at the top left.
    const int perRun = std::max(1, area.height() / 2 / step);
    const int offsets = static_cast<int>(std::min<qsizetype>(windows.size(), perRun)) - 1;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* w = windows[i];
        if (w->isMaximized() || w->isMinimized()) w->showNormal();
        auto* sheet = static_cast<TfrmPrint*>(w->widget());
        const int chrome = w->width() - sheet->width();
        const int width = std::min(sheet->pageViewWidth() + chrome, area.width() - offsets * step);
        const int at = static_cast<int>(i % perRun) * step;
        w->setGeometry(at, at, width, area.height() - offsets * step);
        w->raise();
    }
    bringFrontWorksheetForward();
}

void TfrmMain::mnuWindowPopup()
{
    bool any = state_.worksheetCount > 0;
    for (QAction* a : windowMenuItems)
        a->setEnabled(any);
    // The open child windows follow the four items, the active one checked.
    QList<QAction*> actions = mnuWindow->actions();
    for (qsizetype i = static_cast<qsizetype>(windowMenuItems.size()); i < actions.size(); ++i) {
        mnuWindow->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    mnuWindow->addSeparator();
    int n = 0;
    for (QMdiSubWindow* w : windows) {
        ++n;
        QString text = (n < 10 ? QString("&%1 ").arg(n) : QString("%1 ").arg(n)) + w->windowTitle();
        QAction* a = mnuWindow->addAction(text, this, [this, w] { mdiArea_->setActiveSubWindow(w); });
        a->setCheckable(true);
        a->setChecked(w == mdiArea_->activeSubWindow());
    }
}

void TfrmMain::mnuHowToClick()
{
    openHelp(0);
}

void TfrmMain::mnuVersionClick()
{
    if (frmVersion_ != nullptr) frmVersion_->exec();
}

void TfrmMain::mnuDoYouKnowClick()
{
    grbDoYouKnow->show();
    grbDoYouKnow->raise();
    btnTipsClose->setFocus();
}

void TfrmMain::mnuHosokuClick()
{
    openDocument(supplementPath(state_), 0);
}

void TfrmMain::btnTipsCloseClick()
{
    if (Status written = settings_.writeFlag("ShowDoYouKnow", chkNextTime->isChecked()); !written) {
        prompts_.error(written.message());
        return;
    }
    grbDoYouKnow->hide();
}

// ---- help ----

void TfrmMain::openHelp(int context)
{
    openDocument(helpFilePath(state_), context);
}

void TfrmMain::openDocument(const std::string& systemPath, int context)
{
    // The page is opened by its full path, so the current directory does not matter here.
    if (!checkFileExists(prompts_, systemPath)) return;
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(paths::realPath(systemPath)));
    if (context > 0) url.setFragment(QString::number(context));
    if (urlOpener_(url)) return;
    prompts_.message(pageNotShownText(url));
}

std::string TfrmMain::pageNotShownText(const QUrl& url) const
{
    // Without a browser the desktop cannot show the page; say so, and where the page is, so that it can be opened
    // by hand.
    std::string text = "ヘルプのページを開くブラウザが見つかりません。"_sj;
    if (QStandardPaths::findExecutable("xdg-open").isEmpty())
        text += "\r\n"_sj + "（ブラウザを起動する xdg-open がありません。パッケージ xdg-utils を入れてください）"_sj;
    text += "\r\n"_sj + "ブラウザで次のファイルを開いてください："_sj + "\r\n"_sj + fromQStringLossy(url.toLocalFile());
    return text;
}

bool TfrmMain::openInBrowser(const QUrl& url)
{
    const QString opener = QStandardPaths::findExecutable("xdg-open");
    if (opener.isEmpty()) return QDesktopServices::openUrl(url);
    // xdg-open says whether a browser took the page only when it ends (with no browser it ends at once, with a
    // failure); the program does not wait for it. The process has no parent: ending the program must not end a
    // browser that xdg-open runs in its own place.
    auto* process = new QProcess;
    connect(process, &QProcess::finished, this, [this, process, url](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status != QProcess::NormalExit || code != 0) prompts_.message(pageNotShownText(url));
    });
    connect(process, &QProcess::errorOccurred, this, [this, process, url](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        process->deleteLater();
        prompts_.message(pageNotShownText(url));
    });
    process->start(opener, {url.toString()});
    return true;
}

// ---- closing and keys ----

void TfrmMain::closeEvent(QCloseEvent* event)
{
    // The worksheet windows close first, each with its own close handling; one that stays open keeps the
    // program running.
    for (QMdiSubWindow* w : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (w != titleWindow_ && !w->close()) {
            event->ignore();
            return;
        }
    }
    // Records that met a full disk or a busy file get one more try; what still cannot be written is told by learner
    // before it is lost with the program.
    if (pendingRecords_.waiting() > 0 && !pendingRecords_.writeWaiting().empty())
        prompts_.error(pendingRecords_.lostRecordsMessage());
    QMainWindow::closeEvent(event);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this) return handleKey(static_cast<QKeyEvent*>(event));
        break;
    }
    case QEvent::MouseMove:
        // The save pop-up goes away when the mouse moves over the free area or the command panel.
        if ((watched == pnlMain || watched == mdiArea_->viewport()) && pnlSave->isVisible()) hideSavePopup();
        break;
    case QEvent::Resize:
        if (watched == mdiArea_->viewport()) refitWorksheets();
        break;
    case QEvent::Enter:
        if (watched == btnSaveCopy || (watched == btnSaveMaster && btnSaveMaster->isEnabled()))
            static_cast<QWidget*>(watched)->setFocus();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TfrmMain::handleKey(QKeyEvent* event)
{
    MainKey key = MainKey::Other;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = MainKey::Enter;
        break;
    case Qt::Key_Escape:
        key = MainKey::Escape;
        break;
    case Qt::Key_PageUp:
        key = MainKey::PageUp;
        break;
    case Qt::Key_PageDown:
        key = MainKey::PageDown;
        break;
    case Qt::Key_C:
        key = MainKey::C;
        break;
    default:
        break;
    }
    Qt::KeyboardModifiers m = event->modifiers();
    KeyModifiers modifiers{m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier), m.testFlag(Qt::AltModifier)};
    switch (mainKeyAction(key, modifiers, btnCopy->isEnabled())) {
    case MainKeyAction::Study:
        btnTestClick();
        return true;
    case MainKeyAction::CloseMainWindow:
        close();
        return true;
    case MainKeyAction::CloseCurrentWorksheet:
        btnFpCloseClick();
        return true;
    case MainKeyAction::Scroll:
        btnScrollClick();
        return true;
    case MainKeyAction::CopyRectangle:
        btnCopyClick();
        return true;
    case MainKeyAction::None:
        break;
    }
    // The key-down is consumed, but a typed character (and the backspace that edits it) still reaches the
    // control: the edits can be typed into, while the spin edits do not step with the arrow keys.
    QString text = event->text();
    if (text.isEmpty() || m.testFlag(Qt::ControlModifier) || m.testFlag(Qt::AltModifier)) return true;
    QChar c = text.front();
    bool typed = (c.unicode() >= 0x20 && c.unicode() != 0x7f) || c == QChar('\b');
    return !typed;
}

} // namespace tavola

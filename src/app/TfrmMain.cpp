// The main window's construction: command panel, hidden controls, pop-ups, tips panel, title window and menus.
// The handlers are in TfrmMainCommands.cpp.
#include "app/TfrmMain.h"

#include "app/app_texts.h"
#include "platform/qt/qt_cursors.h"
#include "platform/qt/qt_resources.h"
#include "platform/qt/qt_text.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDockWidget>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

namespace tavola {

namespace {

const QColor kPanelColour(255, 255, 240);
const QColor kTipsColour(192, 255, 192);
const QColor kPaperGroupColour(224, 224, 224);

void colour(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QPushButton* commandButton(QWidget* parent, const char* name, const char* caption, const char* glyph)
{
    auto* b = new QPushButton(sysText(caption), parent);
    b->setObjectName(name);
    if (glyph != nullptr) {
        b->setIcon(QIcon(glyph));
        b->setIconSize(QSize(24, 24));
    }
    b->setFixedHeight(32);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const char* caption)
{
    auto* l = new QLabel(sysText(caption), parent);
    l->setObjectName(name);
    return l;
}

} // namespace

TfrmMain::TfrmMain(Prompts& prompts, SettingsStore& settings, const Clock& clock, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), settings_(settings), clock_(clock),
      urlOpener_([this](const QUrl& url) { return openInBrowser(url); })
{
    loadResources();
    setObjectName("frmMain");
    setWindowTitle(sysText(kMainCaption));
    setWindowIcon(QIcon(":/main/app_icon.png"));

    if (auto dir = coursewareDirFromCurrentDirectory()) {
        state_.coursewareDir = *dir;
        index_.setCoursewareDir(*dir);
    } else {
        startupProblem_ = dir.message();
    }
    registerCursors();

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("mdiArea");
    setCentralWidget(mdiArea_);

    buildCommandPanel();
    buildHiddenControls();
    buildSavePopup();
    buildTipsPanel();
    buildTitleWindow();
    buildMenus();
    setUpWorksheets();

    // Full screen width at the top left, leaving room for the task bar below.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect s = screen->geometry();
        move(s.left(), s.top());
        resize(s.width(), s.height() - 28);
    }

    // Every key pressed while this window is active reaches the key handler first.
    qApp->installEventFilter(this);
}

TfrmMain::~TfrmMain()
{
    qApp->removeEventFilter(this);
    // The children are destroyed after this part of the window is gone: the area must not call back into it.
    disconnect(mdiArea_, nullptr, this, nullptr);
}

void TfrmMain::buildCommandPanel()
{
    auto* dock = new QDockWidget(this);
    dock->setObjectName("dockMain");
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setFocusPolicy(Qt::NoFocus);
    // On a screen too low for the panel it scrolls, rather than cutting off its lower controls; the scroll bar
    // comes beside the panel only while it is needed.
    auto* scroll = new QScrollArea(dock);
    scroll->setObjectName("scrMain");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setFixedWidth(kPanelWidth);
    connect(scroll->verticalScrollBar(), &QScrollBar::rangeChanged, scroll, [scroll](int, int maximum) {
        scroll->setFixedWidth(kPanelWidth + (maximum > 0 ? scroll->verticalScrollBar()->sizeHint().width() : 0));
    });
    pnlMain = new QFrame(scroll);
    pnlMain->setObjectName("pnlMain");
    pnlMain->setFixedWidth(kPanelWidth);
    pnlMain->setFocusPolicy(Qt::NoFocus);
    pnlMain->setMouseTracking(true);
    pnlMain->installEventFilter(this);
    colour(pnlMain, kPanelColour);
    dock->setWidget(scroll);
    addDockWidget(Qt::LeftDockWidgetArea, dock);

    btnLock = commandButton(pnlMain, "btnLock", "先生用", ":/main/lock_open.png");
    btnLock->setToolTip(sysText("編集機能のON/OFF"));
    btnLock->setFixedHeight(40);
    btnFpClose = commandButton(pnlMain, "btnFpClose", "閉じる", ":/main/close.png");
    btnFpClose->setToolTip(sysText("閉じる"));
    btnOpenMaster = commandButton(pnlMain, "btnOpenMaster", "開  く ", ":/main/open.png");
    btnSave = commandButton(pnlMain, "btnSave", "保　存　", ":/main/save.png");
    btnStartPrint = commandButton(pnlMain, "btnStartPrint", "印　刷　", ":/main/print.png");
    btnEdit = commandButton(pnlMain, "btnEdit", "編　集　", ":/main/edit.png");
    btnTest = commandButton(pnlMain, "btnTest", "学　習", ":/main/study.png");
    btnLogOn = commandButton(pnlMain, "btnLogOn", "学習者", ":/main/learner.png");
    edtLogOnName = new QLineEdit(pnlMain);
    edtLogOnName->setObjectName("edtLogOnName");
    edtLogOnName->setReadOnly(true);
    edtLogOnName->setAlignment(Qt::AlignCenter);
    btnKaitou = commandButton(pnlMain, "btnKaitou", "解答表示", ":/main/answer_off.png");
    btnKaitou->setEnabled(state_.answersEnabled); // given its glyph and enabled by the show sequence
    chkBekkai = new QCheckBox(sysText("別解表示"), pnlMain);
    chkBekkai->setObjectName("chkBekkai");
    chkBekkai->setChecked(state_.alternativeAnswers);
    btnKran = commandButton(pnlMain, "btnKran", "解答欄　", ":/main/kran.png");

    lblGyouSpace = label(pnlMain, "lblGyouSpace", "主行間");
    spnGyouSpace = new QSpinBox(pnlMain);
    spnGyouSpace->setObjectName("spnGyouSpace");
    spnGyouSpace->setRange(-5, 200);
    spnGyouSpace->setValue(30);
    lblMoji = label(pnlMain, "lblMoji", "文　字");
    lblSize = label(pnlMain, "lblSize", "サイズ");
    spnMojiSize = new QSpinBox(pnlMain);
    spnMojiSize->setObjectName("spnMojiSize");
    spnMojiSize->setRange(8, 50);
    spnMojiSize->setValue(10);
    spnMojiSize->setFocusPolicy(Qt::ClickFocus); // no tab stop

    pnlCopy = new QFrame(pnlMain);
    pnlCopy->setObjectName("pnlCopy");
    pnlCopy->setFrameShape(QFrame::StyledPanel);
    btnCopy = new QPushButton(sysText("コピー"), pnlCopy);
    btnCopy->setObjectName("btnCopy");
    btnCopy->setEnabled(false);
    btnCancel = new QPushButton(sysText("キャンセル"), pnlCopy);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setEnabled(false);
    auto* copyLayout = new QVBoxLayout(pnlCopy);
    copyLayout->setContentsMargins(3, 3, 3, 3);
    copyLayout->setSpacing(2);
    copyLayout->addWidget(btnCopy);
    copyLayout->addWidget(btnCancel);

    // The command buttons never keep the keyboard focus, so that the keys stay with the worksheet.
    for (QPushButton* b : {btnFpClose, btnOpenMaster, btnSave, btnStartPrint, btnEdit, btnKran, btnKaitou})
        b->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QVBoxLayout(pnlMain);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addWidget(btnLock);
    layout->addSpacing(6);
    for (QWidget* w : std::initializer_list<QWidget*>{btnFpClose, btnOpenMaster, btnSave, btnStartPrint, btnEdit})
        layout->addWidget(w);
    layout->addSpacing(6);
    layout->addWidget(btnTest);
    layout->addWidget(btnLogOn);
    layout->addWidget(edtLogOnName);
    layout->addSpacing(6);
    layout->addWidget(btnKaitou);
    layout->addWidget(chkBekkai);
    layout->addWidget(btnKran);
    auto* gyou = new QHBoxLayout;
    gyou->addWidget(lblGyouSpace);
    gyou->addWidget(spnGyouSpace, 1);
    layout->addLayout(gyou);
    auto* mojiLabels = new QVBoxLayout;
    mojiLabels->setSpacing(0);
    mojiLabels->addWidget(lblMoji);
    mojiLabels->addWidget(lblSize);
    auto* moji = new QHBoxLayout;
    moji->addLayout(mojiLabels);
    moji->addWidget(spnMojiSize, 1);
    layout->addLayout(moji);
    layout->addSpacing(6);
    layout->addWidget(pnlCopy);
    layout->addStretch(1);
    scroll->setWidget(pnlMain);

    connect(btnLock, &QPushButton::clicked, this, &TfrmMain::btnLockClick);
    connect(btnFpClose, &QPushButton::clicked, this, &TfrmMain::btnFpCloseClick);
    connect(btnOpenMaster, &QPushButton::clicked, this, &TfrmMain::btnOpenMasterClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmMain::btnSaveClick);
    connect(btnStartPrint, &QPushButton::clicked, this, &TfrmMain::btnStartPrintClick);
    connect(btnEdit, &QPushButton::clicked, this, &TfrmMain::btnEditClick);
    connect(btnTest, &QPushButton::clicked, this, &TfrmMain::btnTestClick);
    connect(btnLogOn, &QPushButton::clicked, this, &TfrmMain::btnLogOnClick);
    connect(btnKaitou, &QPushButton::clicked, this, &TfrmMain::btnKaitouClick);
    connect(chkBekkai, &QCheckBox::clicked, this, &TfrmMain::chkBekkaiClick);
    connect(btnKran, &QPushButton::clicked, this, &TfrmMain::btnKranClick);
    connect(spnGyouSpace, &QSpinBox::valueChanged, this, &TfrmMain::spnGyouSpaceChange);
    connect(spnMojiSize, &QSpinBox::valueChanged, this, &TfrmMain::spnMojiSizeChange);
    connect(btnCopy, &QPushButton::clicked, this, &TfrmMain::btnCopyClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmMain::btnCancelClick);
}

void TfrmMain::buildHiddenControls()
{
    // The paper choice lives in four radio buttons nobody sees; the paper dialog and the start-up check them.
    pnlSize = new QFrame(pnlMain);
    pnlSize->setObjectName("pnlSize");
    colour(pnlSize, kPaperGroupColour);
    static const char* const names[kPaperCount] = {"radB5", "radA4", "radB4", "radA3"};
    static const char* const captions[kPaperCount] = {"B5", "A4", "B4", "A3"};
    auto* sizeLayout = new QVBoxLayout(pnlSize);
    for (int i = 0; i < kPaperCount; ++i) {
        auto* r = new QRadioButton(captions[i], pnlSize);
        r->setObjectName(names[i]);
        sizeLayout->addWidget(r);
        radPaper[static_cast<std::size_t>(i)] = r;
        connect(r, &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on) return;
            state_.paper = static_cast<PaperChoice>(i);
            paperAction(state_.paper);
        });
    }
    radPaper[static_cast<std::size_t>(state_.paper)]->setChecked(true);
    pnlSize->hide();

    btnShukusho = commandButton(pnlMain, "btnShukusho", "縮小", ":/main/circle_yellow.png");
    btnAdd = commandButton(pnlMain, "btnAdd", "追　加　", nullptr);
    btnScroll = commandButton(pnlMain, "btnScroll", "", nullptr);
    btnScroll->setToolTip(sysText("スクロール"));
    btnOpenCopy = commandButton(pnlMain, "btnOpenCopy", "開く", nullptr);
    for (QPushButton* b : {btnShukusho, btnAdd, btnScroll, btnOpenCopy})
        b->hide();
    connect(btnShukusho, &QPushButton::clicked, this, &TfrmMain::btnShukushoClick);
    connect(btnAdd, &QPushButton::clicked, this, &TfrmMain::btnAddClick);
    connect(btnScroll, &QPushButton::clicked, this, &TfrmMain::btnScrollClick);
    connect(btnOpenCopy, &QPushButton::clicked, this, &TfrmMain::btnOpenCopyClick);

    pnlEdit = new QFrame(this);
    pnlEdit->setObjectName("pnlEdit");
    btnEditMaster = new QPushButton(sysText("マスターファイルを編集"), pnlEdit);
    btnEditMaster->setObjectName("btnEditMaster");
    btnEditCopy = new QPushButton(sysText("コピーファイルを編集"), pnlEdit);
    btnEditCopy->setObjectName("btnEditCopy");
    auto* editLayout = new QVBoxLayout(pnlEdit);
    editLayout->addWidget(btnEditMaster);
    editLayout->addWidget(btnEditCopy);
    pnlEdit->adjustSize();
    pnlEdit->hide();
    connect(btnEditMaster, &QPushButton::clicked, this, &TfrmMain::btnEditMasterClick);
    connect(btnEditCopy, &QPushButton::clicked, this, &TfrmMain::btnEditCopyClick);
}

void TfrmMain::buildSavePopup()
{
    pnlSave = new QFrame(this);
    pnlSave->setObjectName("pnlSave");
    pnlSave->setFrameShape(QFrame::Panel);
    pnlSave->setFrameShadow(QFrame::Raised);
    pnlSave->setFocusPolicy(Qt::NoFocus);
    colour(pnlSave, kPanelColour);
    btnSaveMaster = new QPushButton(sysText("上書き保存"), pnlSave);
    btnSaveMaster->setObjectName("btnSaveMaster");
    btnSaveCopy = new QPushButton(sysText("名前を付けて保存"), pnlSave);
    btnSaveCopy->setObjectName("btnSaveCopy");
    auto* layout = new QVBoxLayout(pnlSave);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(btnSaveMaster);
    layout->addWidget(btnSaveCopy);
    pnlSave->adjustSize();
    pnlSave->hide();
    // Moving the mouse onto a choice gives it the focus.
    btnSaveMaster->installEventFilter(this);
    btnSaveCopy->installEventFilter(this);
    connect(btnSaveMaster, &QPushButton::clicked, this, &TfrmMain::btnSaveMasterClick);
    connect(btnSaveCopy, &QPushButton::clicked, this, &TfrmMain::btnSaveCopyClick);
}

void TfrmMain::buildTipsPanel()
{
    grbDoYouKnow = new QFrame(this);
    grbDoYouKnow->setObjectName("grbDoYouKnow");
    grbDoYouKnow->setFrameShape(QFrame::Panel);
    grbDoYouKnow->setFrameShadow(QFrame::Raised);
    grbDoYouKnow->setLineWidth(2);
    colour(grbDoYouKnow, kTipsColour);

    auto* caption = label(grbDoYouKnow, "lblDoYouKnow", "ご存じですか？");
    QFont f = caption->font();
    f.setPointSize(f.pointSize() + 3);
    f.setBold(true);
    caption->setFont(f);

    struct Tip {
        const char* name;
        const char* caption;
        int context;
    };
    static const Tip tips[] = {
        {"btnStudy", "［学習］ボタンで勉強できます", 902},
        {"btnWord", "★Microsoft Word（ワード）との連携", 842},
        {"btnFax", "FAXソフトで送れます", 901},
        {"btnCFlag", "自作の学級旗が印刷できます。", 840},
        {"btnClipBoard", "クリップボードへコピーして画像を加工できます。", 850},
        {"btnRuidai", "類題を使おう", 900},
    };
    auto* layout = new QVBoxLayout(grbDoYouKnow);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(caption);
    for (const Tip& tip : tips) {
        auto* b = new QPushButton(sysText(tip.caption), grbDoYouKnow);
        b->setObjectName(tip.name);
        b->setStyleSheet("text-align: left; padding: 4px 8px;");
        layout->addWidget(b);
        int context = tip.context;
        connect(b, &QPushButton::clicked, this, [this, context] { openHelp(context); });
        if (std::string_view(tip.name) == "btnRuidai") b->hide();
    }
    chkNextTime = new QCheckBox(sysText("次の起動時にも表示する"), grbDoYouKnow);
    chkNextTime->setObjectName("chkNextTime");
    chkNextTime->setChecked(true);
    chkNextTime->hide();
    layout->addWidget(chkNextTime);
    btnTipsClose = new QPushButton(sysText("閉じる"), grbDoYouKnow);
    btnTipsClose->setObjectName("btnClose");
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(btnTipsClose);
    layout->addLayout(closeRow);
    connect(btnTipsClose, &QPushButton::clicked, this, &TfrmMain::btnTipsCloseClick);
    grbDoYouKnow->adjustSize();
    grbDoYouKnow->hide();
}

void TfrmMain::buildTitleWindow()
{
    auto* content = new QWidget;
    content->setObjectName("frmTitle");
    btnTitle = new QPushButton(content);
    btnTitle->setObjectName("btnTitle");
    btnTitle->setFocusPolicy(Qt::NoFocus); // no tab stop
    btnTitle->setGeometry(0, 0, 10, 20);
    titleWindow_ = mdiArea_->addSubWindow(content, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                       Qt::WindowMinMaxButtonsHint);
    titleWindow_->setObjectName("titleWindow");
    titleWindow_->setWindowTitle(sysText("タイトル"));
    // Whenever it comes to the front it fills the free area again.
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (w == titleWindow_ && titleFreeArea_.isValid() && !w->isMaximized() && !w->isMinimized()) {
            w->move(0, 0);
            w->resize(titleFreeArea_);
        }
    });
    mdiArea_->viewport()->setMouseTracking(true);
    mdiArea_->viewport()->installEventFilter(this);
}

void TfrmMain::buildMenus()
{
    mnuFile = menuBar()->addMenu(sysText("ファイル(&F)"));
    mnuFile->setObjectName("mnuFile");
    QAction* open = mnuFile->addAction(sysText("開く(&O)"), this, &TfrmMain::btnOpenMasterClick);
    open->setObjectName("mnuOpen");
    // Copies a teacher saved must be reachable again; the browser's own button starts hidden.
    mnuFile->addAction(sysText("コピーファイルを開く(&K)"), this, &TfrmMain::btnOpenCopyClick)
        ->setObjectName("mnuOpenCopy");
    mnuFile->addAction(sysText("タブレットで学習…"), this, &TfrmMain::mnuTabletClick)->setObjectName("mnuTablet");
    QAction* exit = mnuFile->addAction(sysText("終了(&X)"), this, &TfrmMain::mnuExitClick);
    exit->setObjectName("mnuExit");

    mnuEdit = menuBar()->addMenu(sysText("編集(&E)"));
    mnuEdit->setObjectName("mnuEdit");
    mnuEdit->addAction(sysText("目次作成(&C)"), this, &TfrmMain::mnuEditIndexClick)->setObjectName("mnuEditIndex");
    mnuEdit->addAction(sysText("学校名・塾名(&J)"), this, &TfrmMain::mnuJukuClick)->setObjectName("mnuJuku");
    mnuEdit->addAction(sysText("学級の記録(&G)"), this, &TfrmMain::mnuGakkyuClick)->setObjectName("mnuGakkyu");

    mnuWindow = menuBar()->addMenu(sysText("ウィンドウ(&W)"));
    mnuWindow->setObjectName("mnuWindow");
    windowMenuItems[0] = mnuWindow->addAction(sysText("最大表示(&M)"), this, &TfrmMain::mnuMaximizeClick);
    windowMenuItems[0]->setObjectName("mnuMaximize");
    windowMenuItems[1] = mnuWindow->addAction(sysText("タイル表示(&T)"), this, &TfrmMain::mnuTileClick);
    windowMenuItems[1]->setObjectName("mnuTile");
    windowMenuItems[2] = mnuWindow->addAction(sysText("カスケード表示(&C)"), this, &TfrmMain::mnuCascadeClick);
    windowMenuItems[2]->setObjectName("mnuCascade");
    windowMenuItems[3] = mnuWindow->addAction(sysText("すべて閉じる(&A)"), this, &TfrmMain::mnuCloseAllClick);
    windowMenuItems[3]->setObjectName("mnuCloseAll");
    connect(mnuWindow, &QMenu::aboutToShow, this, &TfrmMain::mnuWindowPopup);

    mnuHelp = menuBar()->addMenu(sysText("ヘルプ(&H)"));
    mnuHelp->setObjectName("mnuHelp");
    mnuHelp->addAction(sysText("使い方(&U)"), this, &TfrmMain::mnuHowToClick)->setObjectName("mnuHowTo");
    mnuHelp->addAction(sysText("バージョン(&V)"), this, &TfrmMain::mnuVersionClick)->setObjectName("mnuVersion");
    mnuDoYouKnow = mnuHelp->addAction(sysText("ご存じですか(&D)"), this, &TfrmMain::mnuDoYouKnowClick);
    mnuDoYouKnow->setObjectName("mnuDoYouKnow");
    mnuHelp->addAction(sysText("補足"), this, &TfrmMain::mnuHosokuClick)->setObjectName("mnuHosoku");
}

} // namespace tavola

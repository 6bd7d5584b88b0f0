#include "app/TfrmPassword.h"

#include "app/learner_files.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavola {

TfrmPassword::TfrmPassword(Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts)
{
    setObjectName("frmPassword");
    setWindowTitle(sysText("パスワードの入力"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setEchoMode(QLineEdit::Password);
        e->installEventFilter(this);
        return e;
    };
    lblMess = label("lblMess", {});
    QFont big = lblMess->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    lblMess->setFont(big);
    lblPW = label("lblPW", {});
    Label1 = label("Label1", sysText("（半角英数で４文字以上）"));
    mskPW = edit("mskPW");
    mskPW2 = edit("mskPW2");
    lblRetry = label("lblRetry", sysText("確認のため再入力してください"));
    btnOk = new QPushButton("OK", this);
    btnOk->setObjectName("btnOk");
    btnCancel = new QPushButton(sysText("キャンセル"), this);
    btnCancel->setObjectName("btnCancel");
    // Enter belongs to the password fields; the buttons are never the default.
    for (QPushButton* b : {btnOk, btnCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(btnOk, &QPushButton::clicked, this, &TfrmPassword::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = rightButtonRow({btnOk, btnCancel});
    auto* all = new QVBoxLayout(this);
    all->addWidget(lblMess);
    all->addSpacing(6);
    all->addWidget(lblPW);
    all->addWidget(Label1);
    all->addWidget(mskPW);
    all->addWidget(lblRetry);
    all->addWidget(mskPW2);
    all->addSpacing(6);
    all->addLayout(buttons);
    setMinimumWidth(320);
}

void TfrmPassword::prepare(const std::string& learner, const std::string& stored, const std::string& dataFile,
                           bool fromOtherLesson)
{
    lblMess->setText(sysText("ようこそ") + toQString(learner) + sysText("さん"));
    stored_ = stored;
    dataFile_ = dataFile;
    fromOtherLesson_ = fromOtherLesson && stored != kNoPassword;
}

void TfrmPassword::showEvent(QShowEvent* event)
{
    showFields();
    QDialog::showEvent(event);
    mskPW->setFocus();
}

void TfrmPassword::showFields()
{
    mskPW->clear();
    mskPW2->clear();
    lblRetry->hide();
    bool hasPassword = stored_ != kNoPassword;
    mskPW2->setVisible(!hasPassword);
    lblPW->setText(sysText(hasPassword ? "パスワードを入力してください" : "新規パスワードを設定してください"));
    mskPW->setFocus();
}

bool TfrmPassword::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mskPW2 && event->type() == QEvent::FocusIn) lblRetry->show();
    if ((watched == mskPW || watched == mskPW2) && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnOkClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPassword::btnOkClick()
{
    auto password = fromQString(mskPW->text());
    auto confirmation = fromQString(mskPW2->text());
    if (!password || !confirmation) {
        prompts_.message("パスワードに使えない文字が含まれています"_sj);
        mskPW->setFocus();
        return;
    }
    PasswordOutcome outcome = checkPassword(*password, *confirmation, stored_);
    switch (outcome) {
    case PasswordOutcome::TooShort:
    case PasswordOutcome::Wrong:
        prompts_.message(passwordMessage(outcome));
        // The next try is typed afresh, not after the characters that were refused.
        mskPW->clear();
        mskPW->setFocus();
        return;
    case PasswordOutcome::Unconfirmed:
        prompts_.message(passwordMessage(outcome));
        mskPW2->clear();
        mskPW2->setFocus();
        return;
    case PasswordOutcome::Set: {
        // A password that could not be stored would be asked for again next time: the window stays open. Another
        // computer may have set this learner's first password since the window opened; that one stands (the
        // learner who set it would be locked out), and the window asks for it.
        auto written = storePasswordIfNone(dataFile_, *password);
        if (!written) {
            prompts_.error(written.message());
            return;
        }
        if (!*written) {
            prompts_.message(passwordSetMeanwhileMessage());
            stored_ = storedPassword(dataFile_);
            showFields();
            return;
        }
        break;
    }
    case PasswordOutcome::Accepted:
        // The learner's password from another lesson now guards this lesson's file too (unless one was set there
        // meanwhile). The log-on goes on when the copy fails: the password was right, and the next log-on asks
        // for it again the same way.
        if (fromOtherLesson_)
            if (auto copied = storePasswordIfNone(dataFile_, stored_); !copied) prompts_.error(copied.message());
        break;
    }
    accept();
}

} // namespace tavola

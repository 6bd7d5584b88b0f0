#include "authoring/TfrmInputText.h"

#include "platform/line_file.h"
#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavola {

TfrmInputText::TfrmInputText(Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts)
{
    setObjectName("frmInputText");
    setWindowTitle(sysText("テキストの入力"));
    memInput = new QPlainTextEdit(this);
    memInput->setObjectName("memInput");
    memInput->installEventFilter(this);
    btnOk = new QPushButton(sysText("O　K"), this);
    btnOk->setObjectName("btnOk");
    btnCancel = new QPushButton(sysText("キャンセル"), this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOk, &QPushButton::clicked, this, &TfrmInputText::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = rightButtonRow({btnOk, btnCancel});
    auto* all = new QVBoxLayout(this);
    all->addWidget(memInput);
    all->addLayout(buttons);
    resize(420, 130);
}

std::optional<std::string> TfrmInputText::input(const std::string& mode, const std::string& text)
{
    mode_ = mode;
    const bool change = mode == "mainCHANGE" || mode == "subCHANGE";
    memInput->setPlainText(change ? toQString(text) : QString());
    memInput->selectAll();
    memInput->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return result_;
}

void TfrmInputText::btnOkClick()
{
    auto text = fromQString(memInput->toPlainText());
    if (!text) {
        prompts_.message("使えない文字が含まれています"_sj);
        return;
    }
    Lines lines = splitLines(*text);
    result_ = lines.empty() ? std::string() : lines.front();
    accept();
}

bool TfrmInputText::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == memInput && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnOkClick();
            return true; // the key is swallowed
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tavola

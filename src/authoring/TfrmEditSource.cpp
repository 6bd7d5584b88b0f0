#include "authoring/TfrmEditSource.h"

#include "platform/prompts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavola {

TfrmEditSource::TfrmEditSource(Prompts& prompts, HelpOpener help, QWidget* parent)
    : QDialog(parent), prompts_(prompts), help_(std::move(help))
{
    setObjectName("frmEditSource");
    memSource = new QPlainTextEdit(this);
    memSource->setObjectName("memSource");
    memSource->setLineWrapMode(QPlainTextEdit::NoWrap);
    btnOk = new QPushButton(sysText(" O　K  "), this);
    btnOk->setObjectName("btnOk");
    btnCancel = new QPushButton(sysText("ｷｬﾝｾﾙ"), this);
    btnCancel->setObjectName("btnCancel");
    btnHelp = new QPushButton(sysText("ヘルプ"), this);
    btnHelp->setObjectName("btnHelp");
    connect(btnOk, &QPushButton::clicked, this, &TfrmEditSource::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] {
        if (help_) help_(helpTopic_);
    });

    auto* buttons = rightButtonRow({btnOk, btnCancel, btnHelp});
    auto* all = new QVBoxLayout(this);
    all->addWidget(memSource, 1);
    all->addLayout(buttons);
    resize(720, 560);
}

std::optional<Lines> TfrmEditSource::edit(const Lines& lines, const std::string& path, int helpTopic)
{
    helpTopic_ = helpTopic;
    setWindowTitle(sysText("ソースの直接編集") + toQString(path));
    QString text;
    for (const std::string& line : lines)
        text += toQString(line) + '\n';
    memSource->setPlainText(text);
    memSource->moveCursor(QTextCursor::Start);
    memSource->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return result_;
}

void TfrmEditSource::btnOkClick()
{
    auto text = fromQString(memSource->toPlainText());
    if (!text) {
        prompts_.message("使えない文字が含まれています"_sj);
        return;
    }
    result_ = splitLines(*text);
    accept();
}

} // namespace tavola

#include "platform/qt/qt_prompts.h"

#include "platform/paths.h"
#include "platform/qt/qt_text.h"

#include <QFileDialog>
#include <QMessageBox>

namespace tavola {
namespace {

QString filterText(const std::string& filter)
{
    if (filter.empty()) return {};
    QString f = toQString(filter);
    return f + " (" + f + ")";
}

} // namespace

void QtPrompts::message(const std::string& text)
{
    QMessageBox::information(parent_, caption_, toQString(text));
}

void QtPrompts::error(const std::string& text)
{
    QMessageBox::critical(parent_, caption_, toQString(text));
}

Answer QtPrompts::confirm(const std::string& text)
{
    auto b =
        QMessageBox::question(parent_, caption_, toQString(text), QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return b == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer QtPrompts::confirmWithCancel(const std::string& text)
{
    auto b = QMessageBox::question(parent_, caption_, toQString(text),
                                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (b == QMessageBox::Yes) return Answer::Yes;
    if (b == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

namespace {

// The system path of a name the dialog returned; a name CP932 cannot hold is refused with a message.
std::optional<std::string> chosenName(QtPrompts& prompts, const QString& name)
{
    if (name.isEmpty()) return std::nullopt;
    auto sys = paths::systemPathOf(name.toStdString());
    if (!sys) prompts.message("このファイル名は使えません"_sj);
    return sys;
}

QString startPath(const FileDialogRequest& request)
{
    QString start = QString::fromStdString(paths::realPath(request.startFolder));
    if (!request.suggestedName.empty()) start += "/" + toQString(request.suggestedName);
    return start;
}

} // namespace

std::optional<std::string> QtPrompts::saveFileName(const FileDialogRequest& request)
{
    return chosenName(*this, QFileDialog::getSaveFileName(parent_, toQString(request.title), startPath(request),
                                                          filterText(request.filter), nullptr,
                                                          QFileDialog::DontConfirmOverwrite));
}

std::optional<std::string> QtPrompts::openFileName(const FileDialogRequest& request)
{
    return chosenName(*this, QFileDialog::getOpenFileName(parent_, toQString(request.title), startPath(request),
                                                          filterText(request.filter)));
}

} // namespace tavola

#include "platform/qt/qt_prompts.h"

#include "platform/paths.h"
#include "platform/qt/qt_text.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>

namespace tavola {
namespace {

// "テキストファイル|*.txt" (a description and its pattern) or a bare "*.prp" becomes the dialog's
// "テキストファイル (*.txt)" or "*.prp (*.prp)".
QString filterText(const std::string& filter)
{
    if (filter.empty()) return {};
    QString f = toQString(filter);
    const qsizetype bar = f.indexOf('|');
    if (bar < 0) return f + " (" + f + ")";
    return f.left(bar) + " (" + f.mid(bar + 1) + ")";
}

} // namespace

QWidget* QtPrompts::askingWindow() const
{
    // The window that asks is the modal window in front (the practice window, a dialog), or else the active
    // window. A box parented elsewhere lets the window manager raise that other window over the asking one, and
    // behind the practice window lies the worksheet with its answers.
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return parent_;
}

void QtPrompts::message(const std::string& text)
{
    QMessageBox::information(askingWindow(), caption_, toQString(text));
}

void QtPrompts::error(const std::string& text)
{
    QMessageBox::critical(askingWindow(), caption_, toQString(text));
}

Answer QtPrompts::confirm(const std::string& text)
{
    auto b = QMessageBox::question(askingWindow(), caption_, toQString(text), QMessageBox::Yes | QMessageBox::No,
                                   QMessageBox::Yes);
    return b == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer QtPrompts::confirmWithCancel(const std::string& text)
{
    auto b = QMessageBox::question(askingWindow(), caption_, toQString(text),
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

// The file dialog, large enough that its list shows whole sizes, types and dates (the standard one cut them off).
QString runFileDialog(QWidget* parent, const FileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, toQString(request.title), QString::fromStdString(paths::realPath(request.startFolder)),
                       filterText(request.filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (mode == QFileDialog::AcceptSave) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.suggestedName.empty()) dialog.selectFile(toQString(request.suggestedName));
    dialog.resize(dialog.sizeHint().expandedTo(QSize(860, 520)));
    if (auto* list = dialog.findChild<QTreeView*>()) {
        list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

} // namespace

std::optional<std::string> QtPrompts::saveFileName(const FileDialogRequest& request)
{
    return chosenName(*this, runFileDialog(askingWindow(), request, QFileDialog::AcceptSave));
}

std::optional<std::string> QtPrompts::openFileName(const FileDialogRequest& request)
{
    return chosenName(*this, runFileDialog(askingWindow(), request, QFileDialog::AcceptOpen));
}

} // namespace tavola

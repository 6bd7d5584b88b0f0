#pragma once
// Prompts shown as Qt message boxes and file dialogs, captioned with the application title.
#include "platform/prompts.h"

#include <QString>

class QWidget;

namespace tavola {

class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QString caption, QWidget* parent = nullptr) : caption_(std::move(caption)), parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const std::string& text) override;
    void error(const std::string& text) override;
    Answer confirm(const std::string& text) override;
    Answer confirmWithCancel(const std::string& text) override;
    std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
    std::optional<std::string> openFileName(const FileDialogRequest& request) override;

    // The parent of the next box: the window that asks.
    QWidget* askingWindow() const;

private:
    QString caption_;
    QWidget* parent_;
};

} // namespace tavola

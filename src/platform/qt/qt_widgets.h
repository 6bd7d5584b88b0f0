#pragma once
// Small pieces of window building that the dialogs share.
#include <QHBoxLayout>
#include <QWidget>

#include <initializer_list>

namespace tavola {

// The row of a dialog's closing buttons: pushed to the right edge, in the order given.
inline QHBoxLayout* rightButtonRow(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget* b : buttons)
        row->addWidget(b);
    return row;
}

} // namespace tavola

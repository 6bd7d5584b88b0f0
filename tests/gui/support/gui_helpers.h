#pragma once
// Small helpers of the window tests: captions and list entries compared with UTF-8 literals, a list row clicked
// as a person clicks it, and the menus a person sees.
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenuBar>
#include <QString>
#include <QTest>
#include <QTimer>

#include <functional>

namespace tavola::test {

inline QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// A click in the middle of a row of the list; the row must be there.
inline void clickRow(QListWidget* list, int row)
{
    QVERIFY(row < list->count());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// Runs the steps once the dialog is the modal window; the test meanwhile waits inside the dialog's own loop, as
// the program does while a modal window is up.
inline void whenModal(QWidget* dialog, std::function<void()> steps)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [dialog, poll, steps] {
        if (QApplication::activeModalWidget() != dialog) return;
        poll->stop();
        poll->deleteLater();
        steps();
    });
    poll->start();
}

// The same for a modal window known only by its class (the system print dialog, a progress dialog).
template <class T> void whenModalOf(std::function<void(T*)> steps)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, steps] {
        auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
        if (w == nullptr) return;
        poll->stop();
        poll->deleteLater();
        steps(w);
    });
    poll->start();
}

// The captions of the menus a person sees in the menu bar, in their order.
inline QStringList visibleMenus(QMenuBar* bar)
{
    QStringList out;
    for (QAction* a : bar->actions())
        if (a->isVisible() && a->menu() != nullptr) out << a->text();
    return out;
}

} // namespace tavola::test

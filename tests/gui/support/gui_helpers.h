#pragma once
// Small helpers of the window tests: captions and list entries compared with UTF-8 literals, and a list row
// clicked as a person clicks it.
#include <QListWidget>
#include <QString>
#include <QTest>

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

} // namespace tavola::test

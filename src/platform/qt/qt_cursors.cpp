#include "platform/qt/qt_cursors.h"

#include <QPixmap>

#include <array>

namespace tavola {
namespace {

// Kept for the whole run and never destroyed: a cursor picture must not outlive the application object.
std::array<QCursor, 7>& cursorTable()
{
    static auto* cursors = new std::array<QCursor, 7>();
    return *cursors;
}

bool& registered()
{
    static bool done = false;
    return done;
}

// A cursor from a picture of the resources, with its hot spot; the standard shape when the picture is missing.
QCursor pictureCursor(const char* resource, int hotX, int hotY, Qt::CursorShape fallback)
{
    QPixmap picture(resource);
    if (picture.isNull()) return QCursor(fallback);
    return QCursor(picture, hotX, hotY);
}

} // namespace

void registerCursors()
{
    if (registered()) return;
    registered() = true;
    auto& s = cursorTable();
    s[static_cast<int>(CursorSlot::Arrow1)] = QCursor(Qt::ArrowCursor);
    s[static_cast<int>(CursorSlot::Finger)] = QCursor(Qt::PointingHandCursor);
    s[static_cast<int>(CursorSlot::Point)] = pictureCursor(":/cursors/PointCSR.png", 16, 16, Qt::CrossCursor);
    s[static_cast<int>(CursorSlot::Cross)] = QCursor(Qt::CrossCursor);
    s[static_cast<int>(CursorSlot::Pencil)] = pictureCursor(":/cursors/PencilCSR.png", 1, 31, Qt::ArrowCursor);
    s[static_cast<int>(CursorSlot::Scissors)] = pictureCursor(":/cursors/ScissorsCSR.png", 16, 2, Qt::ArrowCursor);
}

QCursor cursorOf(CursorSlot slot)
{
    int i = static_cast<int>(slot);
    if (!registered() || i < 1 || i > 6) return QCursor(Qt::ArrowCursor);
    return cursorTable()[static_cast<std::size_t>(i)];
}

} // namespace tavola

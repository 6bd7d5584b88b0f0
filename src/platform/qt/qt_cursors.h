#pragma once
// The six cursor slots of the program, registered once at start-up by the main window and used by the worksheet
// window and the scratch pad. Slots whose picture the program does not carry use the nearest standard shape.
#include <QCursor>

namespace tavola {

enum class CursorSlot {
    Arrow1 = 1,   // "Arrow1CSR"
    Finger = 2,   // "FingerCSR"
    Point = 3,    // "PointCSR"
    Cross = 4,    // "CrossCSR"
    Pencil = 5,   // "PencilCSR"
    Scissors = 6, // "ScissorsCSR"
};

// Loads the cursor pictures into the slots; later calls do nothing.
void registerCursors();
// The cursor of a slot; the default arrow for a slot that was not registered.
QCursor cursorOf(CursorSlot slot);

} // namespace tavola

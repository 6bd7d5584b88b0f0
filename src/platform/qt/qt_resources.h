#pragma once
// The pictures and cursors compiled into the program (resources/resources.qrc). They live in a static library,
// whose resource object the linker leaves out unless something refers to it: call this once before loading
// any ":/..." picture. Later calls do nothing.

namespace tavola {
void loadResources();
}

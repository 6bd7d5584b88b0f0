#include "platform/qt/qt_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares a function and must stand outside any namespace.
static void initProgramResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace tavola {

void loadResources()
{
    static bool done = false;
    if (done) return;
    done = true;
    initProgramResources();
}

} // namespace tavola

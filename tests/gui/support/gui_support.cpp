#include "support/gui_registry.h"

#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_resources.h"

namespace tavola::test {

void prepareGuiTestApplication()
{
    installFontSubstitutions();
    // The pictures are compiled into a static library; they must be registered before any window loads them.
    loadResources();
}

} // namespace tavola::test

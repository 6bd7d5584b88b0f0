#include "support/gui_registry.h"

#include "platform/qt/qt_fonts.h"

namespace tavola::test {

void prepareGuiTestApplication() { installFontSubstitutions(); }

} // namespace tavola::test

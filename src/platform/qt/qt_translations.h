#pragma once
// Qt's own dialogs and buttons (the file dialog, はい / いいえ / キャンセル of the questions) speak Japanese, like the
// rest of the program: Qt's Japanese translations are loaded once at start-up from Qt's translation folder.

class QTranslator;

namespace tavola {
// Loads qtbase_ja and installs it in the application; returns the installed translator (owned by the application
// object), or nullptr when the translation file is not there (the standard texts then stay in English).
QTranslator* installQtTranslations();
} // namespace tavola

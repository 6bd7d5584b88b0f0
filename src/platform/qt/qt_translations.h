#pragma once
// Qt's own dialogs and buttons (the file dialog, the print dialog, はい / いいえ / キャンセル of the questions) speak
// Japanese, like the rest of the program: Qt's Japanese translations are loaded once at start-up from Qt's
// translation folder, with the few texts they lack, and the file dialog writes sizes and dates the Japanese way.

class QTranslator;

namespace tavola {
// Makes Qt's system locale Japanese ("733 バイト", "2026/12/08 9:05"), whatever the desktop's language. Call it
// before the application object is made.
void useJapaneseLocale();
// Loads Qt's Japanese catalogues (qt_ja, qtbase_ja) and the texts they lack, and installs them in the application;
// returns the last catalogue installed (owned by the application object), or nullptr when Qt's translation files
// are not there (the standard texts then stay in English).
QTranslator* installQtTranslations();
} // namespace tavola

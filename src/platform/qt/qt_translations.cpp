#include "platform/qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>
#include <iterator>

namespace tavola {
namespace {

// Texts of Qt's file and print dialogs that Qt's own Japanese catalogue leaves in English (Qt 6.4): the type of a
// folder or file in the file list, the page range and double-sided printing of the print dialog.
struct Supplement {
    const char* context;
    const char* source;
    const char* japanese;
};
const Supplement kSupplement[] = {
    {"QAbstractFileIconProvider", "Folder", "フォルダー"},
    {"QAbstractFileIconProvider", "File Folder", "ファイル フォルダー"},
    {"QAbstractFileIconProvider", "File", "ファイル"},
    {"QAbstractFileIconProvider", "%1 File", "%1 ファイル"},
    {"QAbstractFileIconProvider", "Drive", "ドライブ"},
    {"QAbstractFileIconProvider", "Shortcut", "ショートカット"},
    {"QPrintSettingsOutput", "Pages", "ページ指定"},
    {"QPrintSettingsOutput", "Off", "なし"},
    {"QPrintSettingsOutput", "Double Sided Printing", "両面印刷"},
    {"QPrintSettingsOutput", "Long side binding", "長辺とじ"},
    {"QPrintSettingsOutput", "Short side binding", "短辺とじ"},
    {"QPrintPropertiesWidget", "Advanced", "詳細設定"},
    {"QPrintDialog", "Print current page", "現在のページを印刷"},
    {"QPageSetupWidget", "Units (%1)", "単位 (%1)"},
};

// Answers only what the catalogues installed after it leave untranslated: the application asks the translators in
// the reverse order of their installation.
class SupplementTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (context == nullptr || source == nullptr) return {};
        for (const Supplement& s : kSupplement)
            if (std::strcmp(s.context, context) == 0 && std::strcmp(s.source, source) == 0)
                return QString::fromUtf8(s.japanese);
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

void useJapaneseLocale()
{
    // Qt takes the system locale (the file dialog's sizes and dates) from the environment once, when it is first
    // asked; the environment is put back at once, so that the C library and the programs started for help keep
    // the user's own.
    const bool had = qEnvironmentVariableIsSet("LC_ALL");
    const QByteArray old = qgetenv("LC_ALL");
    qputenv("LC_ALL", "ja_JP.UTF-8");
    (void)QLocale::system();
    if (had)
        qputenv("LC_ALL", old);
    else
        qunsetenv("LC_ALL");
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

QTranslator* installQtTranslations()
{
    auto* supplement = new SupplementTranslator(QCoreApplication::instance());
    QCoreApplication::installTranslator(supplement);
    // "qt" gathers the catalogues of every Qt module (qtbase holds the widgets and the print dialog); qtbase is
    // loaded on its own as well where a distribution ships it without the gathering one.
    QTranslator* installed = nullptr;
    for (const char* catalogue : {"qtbase", "qt"}) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        // Japanese whatever the desktop's language: the program and its courseware are Japanese throughout.
        if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), catalogue, "_",
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete translator;
            continue;
        }
        QCoreApplication::installTranslator(translator);
        installed = translator;
    }
    return installed;
}

} // namespace tavola

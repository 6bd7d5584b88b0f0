#include "platform/qt/qt_fonts.h"

#include <QFont>
#include <QString>

namespace tavola {

void installFontSubstitutions()
{
    static bool done = false;
    if (done) return;
    done = true;
    struct Mapping {
        const char* system;
        const char* installed;
    };
    static const Mapping mappings[] = {
        {"ＭＳ 明朝", "IPAMincho"},          {"MS 明朝", "IPAMincho"},      {"MS Mincho", "IPAMincho"},
        {"ＭＳ Ｐ明朝", "IPAPMincho"},        {"MS P明朝", "IPAPMincho"},    {"MS PMincho", "IPAPMincho"},
        {"ＭＳ ゴシック", "IPAGothic"},       {"MS ゴシック", "IPAGothic"},  {"MS Gothic", "IPAGothic"},
        {"ＭＳ Ｐゴシック", "IPAPGothic"},    {"MS Pゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"},
        {"Bookman Old Style", "TeX Gyre Bonum"},
    };
    for (const auto& m : mappings) {
        QFont::insertSubstitution(QString::fromUtf8(m.system), QString::fromUtf8(m.installed));
        // IPA's own names as fontconfig lists them in Japanese locales.
        if (QString::fromUtf8(m.installed) == "IPAMincho") QFont::insertSubstitution(QString::fromUtf8(m.system), "IPA明朝");
        if (QString::fromUtf8(m.installed) == "IPAGothic") QFont::insertSubstitution(QString::fromUtf8(m.system), "IPAゴシック");
    }
}

} // namespace tavola

#pragma once
// The edge between CP932 bytes and QString. Windows convert here and nowhere else.
#include "platform/sjis.h"

#include <QString>

#include <optional>
#include <string>

namespace tavola {

inline QString toQString(const std::string& cp932) { return QString::fromStdString(sjis::toUtf8(cp932)); }

// nullopt when the text holds a character that CP932 cannot represent; the caller refuses it with a message.
inline std::optional<std::string> fromQString(const QString& text) { return sjis::fromUtf8(text.toStdString()); }

// For texts that must go through whatever the user typed (a character CP932 lacks becomes "?").
inline std::string fromQStringLossy(const QString& text) { return sjis::encode(text.toStdString()); }

// A fixed text of the system, written as UTF-8 in the source.
inline QString sysText(const char* utf8) { return QString::fromUtf8(utf8); }

} // namespace tavola

#pragma once
// Texts cross between the core (Windows-1255 bytes) and the widgets (QString) here only.

#include <QString>
#include <string>

#include "text/Cp1255.h"

namespace korvex::ui {

inline QString fromCp1255(const std::string& text) {
    return QString::fromUtf8(cp1255::toUtf8(text));
}

inline std::string toCp1255(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return cp1255::fromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

// One Windows-1255 byte of a typed character, or -1 when the key typed nothing (or more than
// one character).
inline int typedByte(const QString& keyText) {
    if (keyText.size() != 1) return -1;
    const std::string byte = toCp1255(keyText);
    return byte.size() == 1 ? static_cast<unsigned char>(byte[0]) : -1;
}

}  // namespace korvex::ui

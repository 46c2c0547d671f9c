#include "output/KeyEventText.h"

#include <cstdio>

namespace korvex {

std::string describeKeyEvent(const KeyEvent& event) {
    const char* direction = event.keyUp ? "up" : "down";
    if (event.kind == KeyEvent::Kind::Unicode) {
        return "unicode " + std::to_string(static_cast<uint32_t>(event.codePoint)) + " " +
               direction;
    }
    return std::string(direction) + " " + std::to_string(event.virtualKey) + " " +
           std::to_string(event.scanCode);
}

std::string escapeControlCharacters(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\x1b': out += "\\e"; break;
            case '\\': out += "\\\\"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
                    out += hex;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

}  // namespace korvex

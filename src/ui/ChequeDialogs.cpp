#include "ui/ChequeDialogs.h"

#include <cstdio>

#include "text/Cp1255.h"

namespace korvex {

std::optional<TextSelection> MarkMissingData(const std::string& text) {
    for (char marker : {'?', '@', ';'}) {
        const auto first = text.find(marker);
        if (first == std::string::npos) continue;
        const auto last = text.rfind(marker);
        return TextSelection{static_cast<int>(first), static_cast<int>(last + 1 - first)};
    }
    return std::nullopt;
}

std::string composeMagtekLine(const std::string& cheque, const std::string& bank,
                              const std::string& branch, const std::string& account) {
    return "A" + cheque + " C" + bank + "A" + branch + "E " + account + "C";
}

std::string composeNonusLine(const std::string& cheque, const std::string& bank,
                             const std::string& branch, const std::string& account) {
    return ":" + cheque + " <" + bank + ":" + branch + "> " + account + "<";
}

std::string verifyCodeCaption(int32_t code) {
    return cp1255::fromUtf8("הצ'ק לא תקין, קוד שגיאה ") + std::to_string(code) +
           cp1255::fromUtf8(". סמן תיבה זו כדי להתעלם.");
}

std::optional<DialogDate> parseDialogDate(const std::string& boxText) {
    if (boxText.size() != 8 || boxText[2] != '/' || boxText[5] != '/') return std::nullopt;
    auto twoDigits = [&](size_t at) -> int {
        const char a = boxText[at], b = boxText[at + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
        return (a - '0') * 10 + (b - '0');
    };
    const int day = twoDigits(0), month = twoDigits(3), yy = twoDigits(6);
    if (day < 1 || month < 1 || month > 12 || yy < 0) return std::nullopt;
    const int year = 2000 + yy;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int monthDays = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    if (day > monthDays) return std::nullopt;
    return DialogDate{day, month, year};
}

std::string dialogDateText(const std::string& boxText) {
    const std::string head = boxText.substr(0, 6);
    const std::string tail = boxText.size() >= 2 ? boxText.substr(boxText.size() - 2) : boxText;
    return head + "20" + tail;
}

std::string dialogDateBoxText(int day, int month, int year) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%02d", day % 100, month % 100, year % 100);
    return buffer;
}

}  // namespace korvex

#include "reader/SerialSettings.h"

#include <cctype>
#include <vector>

namespace korvex {
namespace {

std::string trimmed(const std::string& text) {
    std::size_t from = 0, to = text.size();
    while (from < to && (text[from] == ' ' || text[from] == '\t')) ++from;
    while (to > from && (text[to - 1] == ' ' || text[to - 1] == '\t')) --to;
    return text.substr(from, to - from);
}

std::vector<std::string> parts(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(',', from);
        out.push_back(
            trimmed(text.substr(from, at == std::string::npos ? std::string::npos : at - from)));
        if (at == std::string::npos) return out;
        from = at + 1;
    }
}

bool allDigits(const std::string& text) {
    if (text.empty() || text.size() > 9) return false;
    for (unsigned char c : text) {
        if (!std::isdigit(c)) return false;
    }
    return true;
}

std::optional<LineSettings> fail(std::string* why, const std::string& text,
                                 const std::string& reason) {
    if (why != nullptr) {
        *why = "Serial settings \"" + text + "\" cannot be used: " + reason +
               " (expected baud,parity,data bits,stop bits such as 9600,n,8,1)";
    }
    return std::nullopt;
}

}  // namespace

std::optional<LineSettings> parseLineSettings(const std::string& text, std::string* why) {
    const std::vector<std::string> p = parts(text);
    if (p.size() != 4) return fail(why, text, "it needs exactly four parts separated by commas");
    LineSettings s;
    if (!allDigits(p[0]) || std::stol(p[0]) <= 0)
        return fail(why, text, "the baud rate is not a positive whole number");
    s.baud = static_cast<int32_t>(std::stol(p[0]));

    if (p[1].size() != 1) return fail(why, text, "the parity must be one of n, e, o, m, s");
    switch (std::tolower(static_cast<unsigned char>(p[1][0]))) {
        case 'n': s.parity = LineSettings::Parity::None; break;
        case 'e': s.parity = LineSettings::Parity::Even; break;
        case 'o': s.parity = LineSettings::Parity::Odd; break;
        case 'm': s.parity = LineSettings::Parity::Mark; break;
        case 's': s.parity = LineSettings::Parity::Space; break;
        default: return fail(why, text, "the parity must be one of n, e, o, m, s");
    }

    if (p[2] == "7") {
        s.dataBits = 7;
    } else if (p[2] == "8") {
        s.dataBits = 8;
    } else {
        return fail(why, text, "the data bits must be 7 or 8");
    }

    if (p[3] == "1") {
        s.stopBits = LineSettings::StopBits::One;
    } else if (p[3] == "1.5") {
        s.stopBits = LineSettings::StopBits::OneAndHalf;
    } else if (p[3] == "2") {
        s.stopBits = LineSettings::StopBits::Two;
    } else {
        return fail(why, text, "the stop bits must be 1, 1.5 or 2");
    }
    return s;
}

}  // namespace korvex

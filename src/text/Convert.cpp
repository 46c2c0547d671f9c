#include "text/Convert.h"

#include <cctype>
#include <cmath>
#include <limits>

namespace korvex {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool isDigitIn(char c, int base) {
    if (base == 16) return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    if (base == 8) return c >= '0' && c <= '7';
    return c >= '0' && c <= '9';
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

// "&H..." or "&O..." (the prefix already recognised); returns the signed value of the literal,
// 16-bit when it fits in four hex / six octal digits, 32-bit up to eight hex / eleven octal.
std::optional<double> radixLiteral(std::string_view digits, int base) {
    if (digits.empty() || digits.size() > (base == 16 ? 8u : 11u)) return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        if (!isDigitIn(c, base)) return std::nullopt;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digitValue(c));
    }
    if (value <= 0xFFFF && digits.size() <= (base == 16 ? 4u : 6u)) {
        return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(value)));
    }
    if (value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

template <typename T>
std::optional<T> toInteger(std::string_view text) {
    const auto number = parseNumber(text);
    if (!number) return std::nullopt;
    const double rounded = roundHalfEven(*number);
    if (rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<T>::max())) {
        return std::nullopt;
    }
    return static_cast<T>(rounded);
}

}  // namespace

double roundHalfEven(double value) {
    const double floorValue = std::floor(value);
    const double diff = value - floorValue;
    if (diff < 0.5) return floorValue;
    if (diff > 0.5) return floorValue + 1.0;
    return std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
}

std::optional<double> parseNumber(std::string_view text) {
    std::string_view s = trimBlanks(text);
    if (s.empty()) return std::nullopt;
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H') return radixLiteral(s.substr(2), 16);
        if (kind == 'O') return radixLiteral(s.substr(2), 8);
        return std::nullopt;
    }
    size_t i = 0;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') {
        negative = s[i] == '-';
        ++i;
        while (i < s.size() && isBlank(s[i])) ++i;
    }
    double mantissa = 0;
    size_t digits = 0;
    for (; i < s.size() && isDigitIn(s[i], 10); ++i, ++digits)
        mantissa = mantissa * 10 + (s[i] - '0');
    if (i < s.size() && s[i] == '.') {
        ++i;
        double scale = 0.1;
        for (; i < s.size() && isDigitIn(s[i], 10); ++i, ++digits, scale /= 10) {
            mantissa += (s[i] - '0') * scale;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) expNegative = s[i++] == '-';
        if (i >= s.size() || !isDigitIn(s[i], 10)) return std::nullopt;
        int exponent = 0;
        for (; i < s.size() && isDigitIn(s[i], 10); ++i) {
            if (exponent < 10000) exponent = exponent * 10 + (s[i] - '0');
        }
        mantissa *= std::pow(10.0, expNegative ? -exponent : exponent);
    }
    if (i != s.size() || !std::isfinite(mantissa)) return std::nullopt;
    return negative ? -mantissa : mantissa;
}

std::optional<uint8_t> toByte(std::string_view text) { return toInteger<uint8_t>(text); }
std::optional<int16_t> toInt16(std::string_view text) { return toInteger<int16_t>(text); }
std::optional<int32_t> toInt32(std::string_view text) { return toInteger<int32_t>(text); }

std::optional<bool> toSwitch(std::string_view text) {
    const auto value = toInt16(text);
    if (!value) return std::nullopt;
    return *value != 0;
}

std::optional<bool> toTruth(std::string_view text) {
    const std::string_view s = trimBlanks(text);
    auto equalsNoCase = [s](std::string_view word) {
        if (s.size() != word.size()) return false;
        for (size_t i = 0; i < s.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(s[i])) != word[i]) return false;
        }
        return true;
    };
    if (equalsNoCase("TRUE")) return true;
    if (equalsNoCase("FALSE")) return false;
    const auto number = parseNumber(s);
    if (!number) return std::nullopt;
    return *number != 0.0;
}

double leadingNumber(std::string_view text) {
    // Blanks count nowhere, so drop them first.
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (!isBlank(c)) s.push_back(c);
    }
    size_t i = 0;
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        const int base = kind == 'H' ? 16 : kind == 'O' ? 8 : 0;
        if (base == 0) return 0;
        size_t end = 2;
        while (end < s.size() && isDigitIn(s[end], base)) ++end;
        if (end == 2) return 0;
        const auto value = radixLiteral(std::string_view(s).substr(2, end - 2), base);
        return value.value_or(0);
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    double mantissa = 0;
    for (; i < s.size() && isDigitIn(s[i], 10); ++i) mantissa = mantissa * 10 + (s[i] - '0');
    if (i < s.size() && s[i] == '.') {
        ++i;
        double scale = 0.1;
        for (; i < s.size() && isDigitIn(s[i], 10); ++i, scale /= 10)
            mantissa += (s[i] - '0') * scale;
    }
    if (i + 1 < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (s[j] == '+' || s[j] == '-') expNegative = s[j++] == '-';
        if (j < s.size() && isDigitIn(s[j], 10)) {
            int exponent = 0;
            for (; j < s.size() && isDigitIn(s[j], 10); ++j) {
                if (exponent < 10000) exponent = exponent * 10 + (s[j] - '0');
            }
            mantissa *= std::pow(10.0, expNegative ? -exponent : exponent);
        }
    }
    if (!std::isfinite(mantissa)) return 0;
    return negative ? -mantissa : mantissa;
}

}  // namespace korvex

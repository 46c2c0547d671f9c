#pragma once
// The conversions that setting values go through.
//
// An integer of a stated width accepts blanks around the number, a sign, a fraction (rounded to
// the nearest integer, halves to even), an exponent, and the prefixes "&H" (hexadecimal) and
// "&O" (octal); it fails when the text is not a number or the result is out of range.
// A hexadecimal or octal literal of up to four hex digits (six octal) is a 16-bit value and of up
// to eight hex digits (eleven octal) a 32-bit value, so "&HFFFF" is -1, as the settings files
// written for the original program expect.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// The number a text denotes, before rounding and range checks; nullopt when it is not a number.
std::optional<double> parseNumber(std::string_view text);

std::optional<uint8_t> toByte(std::string_view text);   // 0..255
std::optional<int16_t> toInt16(std::string_view text);  // -32768..32767
std::optional<int32_t> toInt32(std::string_view text);  // -2147483648..2147483647

// A switch: a 16-bit integer that is on when not 0.
std::optional<bool> toSwitch(std::string_view text);

// A truth text: TRUE or FALSE in any letter case, or a number (not 0 = true).
std::optional<bool> toTruth(std::string_view text);

// The leading-number parse: blanks anywhere are ignored, digits are taken up to the first
// character that cannot continue a number, "&H" and "&O" are accepted, and no number gives 0.
double leadingNumber(std::string_view text);

// Round half to even, as every integer conversion here does.
double roundHalfEven(double value);

// Short descriptions of what each conversion accepts, for messages that name a bad value.
inline constexpr const char* kAcceptsByte = "a whole number from 0 to 255";
inline constexpr const char* kAcceptsInt16 = "a whole number from -32768 to 32767";
inline constexpr const char* kAcceptsInt32 = "a whole number from -2147483648 to 2147483647";
inline constexpr const char* kAcceptsSwitch = "a whole number (0 = off, anything else = on)";
inline constexpr const char* kAcceptsTruth = "TRUE, FALSE or a number";

}  // namespace korvex

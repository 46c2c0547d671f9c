#pragma once
// Windows-1255 (Hebrew) <-> Unicode.
//
// Inside the core every text is a std::string of Windows-1255 bytes, one byte a character, as the
// configuration file, the serial line and the 8-bit platform functions carry it. These functions
// convert at the edges only: the user interface, UTF-8 file names, web pages that declare UTF-8.

#include <string>
#include <string_view>

namespace korvex::cp1255 {

// The Unicode code point of one Windows-1255 byte. The bytes the code page leaves undefined
// (0x81, 0x8A, 0x8C-0x90, ...) map to the C1/Latin-1 code point of the same value, the way the
// platform's own conversion does, so every byte survives a round trip.
char32_t toUnicode(unsigned char byte);

// The Windows-1255 byte of a code point, or '?' when the code page has none.
char fromUnicode(char32_t codePoint);

// Whole texts. Malformed UTF-8 sequences decode to U+FFFD (and so encode to '?').
std::string toUtf8(std::string_view cp1255Text);
std::string fromUtf8(std::string_view utf8Text);

// UTF-8 helpers used by the edges.
std::u32string decodeUtf8(std::string_view utf8Text);
std::string encodeUtf8(std::u32string_view text);
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace korvex::cp1255

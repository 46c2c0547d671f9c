#pragma once
// Conversions between the core's Windows-1255 text and the UTF-16 of the Windows wide functions.
// The wide functions are used wherever text leaves the program (window titles, command lines,
// the clipboard), so that Hebrew survives whatever the system's ANSI code page is.

#include <string>
#include <string_view>

namespace korvex::win32 {

// Windows-1255 -> UTF-16; characters outside the Basic Multilingual Plane cannot occur.
std::wstring widen(std::string_view cp1255Text);
// UTF-16 -> Windows-1255; characters outside the code page become "?", and so does a lone
// surrogate.
std::string narrow(std::wstring_view wideText);
// UTF-8 -> UTF-16, for texts made of the system's own names (paths); a broken sequence becomes
// U+FFFD.
std::wstring widenUtf8(std::string_view utf8Text);
// UTF-16 -> UTF-8 (a lone surrogate becomes U+FFFD).
std::string toUtf8(std::wstring_view wideText);

}  // namespace korvex::win32

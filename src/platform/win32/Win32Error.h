#pragma once
// The text of a Windows error code for failure descriptions, in the core's Windows-1255.

#include <string>

namespace korvex::win32 {

// "error N: the system's message", or "error N" when the system has none. `module` is where the
// message lives when it is not a system message (WinHTTP's codes are in winhttp.dll).
std::string errorText(unsigned long code, const wchar_t* module = nullptr);

}  // namespace korvex::win32

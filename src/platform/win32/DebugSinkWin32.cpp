#include "platform/win32/DebugSinkWin32.h"

#include "platform/win32/Win32Api.h"

namespace korvex {

void DebugSinkWin32::write(const std::string& line) {
    std::string text = line;
    for (char& c : text) {
        if (c == '\0') c = ' ';
    }
    ::OutputDebugStringA(text.c_str());
}

}  // namespace korvex

#include "platform/win32/Win32Error.h"

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Text.h"

namespace korvex::win32 {

std::string errorText(unsigned long code, const wchar_t* module) {
    HMODULE source = module != nullptr ? ::GetModuleHandleW(module) : nullptr;
    DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    if (source != nullptr) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    wchar_t* text = nullptr;
    const DWORD length =
        ::FormatMessageW(flags, source, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length > 0 ? narrow(std::wstring_view(text, length)) : std::string();
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    return "error " + std::to_string(code) + (message.empty() ? "" : ": " + message);
}

}  // namespace korvex::win32

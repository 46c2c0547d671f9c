#include "platform/win32/Win32Clipboard.h"

#include <cstring>
#include <string>

#include "platform/win32/Win32Text.h"

namespace korvex {

Win32Clipboard::Win32Clipboard(std::chrono::milliseconds pasteLimit) : pasteLimit_(pasteLimit) {
    owner_ = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
}

Win32Clipboard::~Win32Clipboard() {
    if (owner_ != nullptr) ::DestroyWindow(owner_);
}

PlatformResult Win32Clipboard::setText(const std::string& text) {
    if (owner_ == nullptr) {
        return PlatformResult::failure(PlatformResult::Kind::Unavailable,
                                       "no window to own the clipboard");
    }
    bool open = false;
    for (int attempt = 0; attempt < 20 && !open; ++attempt) {
        open = ::OpenClipboard(owner_) != FALSE;
        if (!open) ::Sleep(10);
    }
    if (!open) {
        return PlatformResult::failure(
            PlatformResult::Kind::Refused,
            "another program holds the clipboard (error " + std::to_string(::GetLastError()) + ")");
    }

    // A NUL would end the clipboard's text early and lose what follows it, so it is dropped.
    std::wstring wide = win32::widen(text);
    std::erase(wide, L'\0');
    bool ok = false;
    const char* step = "EmptyClipboard";
    if (::EmptyClipboard()) {
        step = "SetClipboardData";
        const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (memory != nullptr) {
            void* target = ::GlobalLock(memory);
            if (target != nullptr) {
                std::memcpy(target, wide.c_str(), bytes);
                ::GlobalUnlock(memory);
                ok = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            }
            if (!ok)
                ::GlobalFree(memory);  // the clipboard owns it only when SetClipboardData succeeded
        }
    }
    const DWORD error = ok ? 0 : ::GetLastError();
    ::CloseClipboard();
    if (ok) return PlatformResult::ok();
    return PlatformResult::failure(
        PlatformResult::Kind::SystemError,
        std::string(step) + " failed (error " + std::to_string(error) + ")");
}

PlatformResult Win32Clipboard::paste(uint64_t window) {
    HWND target = reinterpret_cast<HWND>(static_cast<uintptr_t>(window));
    if (target == nullptr) {
        return PlatformResult::failure(PlatformResult::Kind::NotFound, "no window to paste into");
    }
    DWORD_PTR answer = 0;
    if (::SendMessageTimeoutA(target, kPasteMessage, kPasteCommand, 0, SMTO_ABORTIFHUNG,
                              static_cast<UINT>(pasteLimit_.count()), &answer) != 0) {
        return PlatformResult::ok();
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_TIMEOUT || error == 0) {
        return PlatformResult::failure(PlatformResult::Kind::Refused,
                                       "the window did not take the paste command");
    }
    return PlatformResult::failure(
        PlatformResult::Kind::SystemError,
        "the paste command was not delivered (error " + std::to_string(error) + ")");
}

}  // namespace korvex

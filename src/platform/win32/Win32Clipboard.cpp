#include "platform/win32/Win32Clipboard.h"

#include <cstring>

#include "platform/win32/Win32Text.h"

namespace korvex {

Win32Clipboard::Win32Clipboard(std::chrono::milliseconds pasteLimit) : pasteLimit_(pasteLimit) {
    owner_ = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
}

Win32Clipboard::~Win32Clipboard() {
    if (owner_ != nullptr) ::DestroyWindow(owner_);
}

bool Win32Clipboard::setText(const std::string& text) {
    if (owner_ == nullptr) return false;
    bool open = false;
    for (int attempt = 0; attempt < 20 && !open; ++attempt) {
        open = ::OpenClipboard(owner_) != FALSE;
        if (!open) ::Sleep(10);
    }
    if (!open) return false;

    // A NUL would end the clipboard's text early and lose what follows it, so it is dropped.
    std::wstring wide = win32::widen(text);
    std::erase(wide, L'\0');
    bool ok = false;
    if (::EmptyClipboard()) {
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
    ::CloseClipboard();
    return ok;
}

void Win32Clipboard::paste(uint64_t window) {
    HWND target = reinterpret_cast<HWND>(static_cast<uintptr_t>(window));
    if (target == nullptr) return;
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(target, kPasteMessage, kPasteCommand, 0, SMTO_ABORTIFHUNG,
                          static_cast<UINT>(pasteLimit_.count()), &answer);
}

}  // namespace korvex

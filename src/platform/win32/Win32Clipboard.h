#pragma once
// The clipboard route on Windows: the text goes on the clipboard as Unicode text (CF_UNICODETEXT;
// Windows offers it to 8-bit readers as CF_TEXT in their code page), and the paste command is
// WM_SYSCOMMAND with the command code 0xE001 sent to the window.

#include <chrono>

#include "platform/Clipboard.h"
#include "platform/win32/Win32Api.h"

namespace korvex {

// The paste command as the target windows expect it: wParam -8191 (0xE001 in its low word).
inline constexpr UINT kPasteMessage = WM_SYSCOMMAND;
inline const WPARAM kPasteCommand = static_cast<WPARAM>(static_cast<LONG_PTR>(-8191));

class Win32Clipboard : public Clipboard {
public:
    // `pasteLimit` bounds the wait for the target to take the paste command, so a target that
    // hangs cannot hold the program for ever.
    explicit Win32Clipboard(std::chrono::milliseconds pasteLimit = std::chrono::milliseconds(5000));
    ~Win32Clipboard() override;
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;

    // Another program may hold the clipboard for a moment; the call tries again for about 200 ms
    // before it gives up.
    PlatformResult setText(const std::string& text) override;
    // SendMessageTimeout(WM_SYSCOMMAND, -8191, 0) to the window; NotFound for window 0, Refused
    // when the window does not answer within the limit.
    PlatformResult paste(uint64_t window) override;

private:
    // A message-only window owns what this program puts on the clipboard: EmptyClipboard with no
    // owner window would make SetClipboardData fail.
    HWND owner_ = nullptr;
    std::chrono::milliseconds pasteLimit_;
};

}  // namespace korvex

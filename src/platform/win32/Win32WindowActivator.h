#pragma once
// AppActivate on Windows: the visible top-level windows in Z order (EnumWindows), their titles
// read as Unicode (GetWindowTextW) and compared as Windows-1255 text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WindowActivator.h"
#include "platform/win32/Win32Api.h"

namespace korvex {

// The index of the title AppActivate picks: the first one equal to the text, else the first that
// starts with it, else the first that contains it; ASCII letters compare without case (Hebrew has
// none). nullopt when none matches or the text is empty.
std::optional<std::size_t> pickWindowTitle(const std::vector<std::string>& titles,
                                           std::string_view text);

class Win32WindowActivator : public WindowActivator {
public:
    // Restores a minimised window, brings it to the front and checks that it got there. When the
    // foreground lock refuses SetForegroundWindow (another process holds the foreground), the
    // input of this thread is attached to the foreground window's thread for the moment of the
    // call, which Windows accepts, and detached again.
    // NotFound when no window matches; Refused when the window did not come to the front.
    PlatformResult appActivate(const std::string& title) override;
    uint64_t foregroundWindow() override;
    // GetLastError of the failed step; ERROR_INVALID_WINDOW_HANDLE (1400) when no window matched,
    // ERROR_ACCESS_DENIED (5) when the window did not come to the front.
    uint32_t lastError() override { return lastError_; }

    // The visible top-level windows with titles, front to back.
    static std::vector<std::pair<HWND, std::string>> visibleTopLevelWindows();
    // Brings the window to the front; true when it is then the foreground window.
    static bool bringToFront(HWND window);

private:
    uint32_t lastError_ = 0;
};

}  // namespace korvex

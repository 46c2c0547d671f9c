#include "platform/win32/Win32WindowActivator.h"

#include "platform/win32/Win32Text.h"

namespace korvex {
namespace {

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = asciiLower(c);
    return out;
}

BOOL CALLBACK collectWindow(HWND window, LPARAM context) {
    auto& windows = *reinterpret_cast<std::vector<std::pair<HWND, std::string>>*>(context);
    if (!::IsWindowVisible(window)) return TRUE;
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return TRUE;
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, title.data(), length + 1);
    if (copied <= 0) return TRUE;
    title.resize(static_cast<std::size_t>(copied));
    windows.emplace_back(window, win32::narrow(title));
    return TRUE;
}

}  // namespace

std::optional<std::size_t> pickWindowTitle(const std::vector<std::string>& titles,
                                           std::string_view text) {
    if (text.empty()) return std::nullopt;
    const std::string wanted = lowered(text);
    std::optional<std::size_t> startsWith, contains;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const std::string title = lowered(titles[i]);
        if (title == wanted) return i;
        if (!startsWith && title.compare(0, wanted.size(), wanted) == 0) startsWith = i;
        if (!contains && title.find(wanted) != std::string::npos) contains = i;
    }
    return startsWith ? startsWith : contains;
}

std::vector<std::pair<HWND, std::string>> Win32WindowActivator::visibleTopLevelWindows() {
    std::vector<std::pair<HWND, std::string>> windows;
    ::EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool Win32WindowActivator::bringToFront(HWND window) {
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    if (::SetForegroundWindow(window) && ::GetForegroundWindow() == window) return true;

    // The foreground lock: only the thread that owns the foreground (or one attached to its
    // input) may hand it on.
    const DWORD own = ::GetCurrentThreadId();
    HWND front = ::GetForegroundWindow();
    const DWORD frontThread = front != nullptr ? ::GetWindowThreadProcessId(front, nullptr) : 0;
    const bool attached =
        frontThread != 0 && frontThread != own && ::AttachThreadInput(own, frontThread, TRUE);
    ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
    if (attached) ::AttachThreadInput(own, frontThread, FALSE);
    return ::GetForegroundWindow() == window;
}

PlatformResult Win32WindowActivator::appActivate(const std::string& title) {
    const auto windows = visibleTopLevelWindows();
    std::vector<std::string> titles;
    titles.reserve(windows.size());
    for (const auto& entry : windows) titles.push_back(entry.second);
    const auto pick = pickWindowTitle(titles, title);
    if (!pick) {
        lastError_ = ERROR_INVALID_WINDOW_HANDLE;
        return PlatformResult::failure(PlatformResult::Kind::NotFound,
                                       "no visible window has this title");
    }
    ::SetLastError(0);
    if (!bringToFront(windows[*pick].first)) {
        const DWORD error = ::GetLastError();
        lastError_ = error != 0 ? error : ERROR_ACCESS_DENIED;
        return PlatformResult::failure(
            PlatformResult::Kind::Refused,
            "the window did not come to the front (error " + std::to_string(lastError_) + ")");
    }
    lastError_ = 0;
    return PlatformResult::ok();
}

uint64_t Win32WindowActivator::foregroundWindow() {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(::GetForegroundWindow()));
}

}  // namespace korvex

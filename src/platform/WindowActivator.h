#pragma once
// Finding and activating the target application's window (AppActivate), and the window in front.

#include <cstdint>
#include <string>

namespace korvex {

class WindowActivator {
public:
    virtual ~WindowActivator() = default;

    // AppActivate: brings to the front and gives the keyboard focus to a top-level window whose
    // title equals, starts with or contains the text (in that order of preference, letter case
    // ignored). Returns false, changing nothing, when no window matches or the text is empty.
    virtual bool appActivate(const std::string& title) = 0;

    // GetForegroundWindow: an opaque handle of the window in front, 0 when there is none.
    virtual uint64_t foregroundWindow() = 0;

    // The platform's error number of the last failed call (GetLastError), for the log.
    virtual uint32_t lastError() = 0;

    // Why the last appActivate failed, in words, for the diagnostics log.
    virtual std::string lastFailure() { return "error " + std::to_string(lastError()); }
};

}  // namespace korvex

#pragma once
// Finding and activating the target application's window (AppActivate), and the window in front.

#include <cstdint>
#include <string>

#include "platform/PlatformResult.h"

namespace korvex {

class WindowActivator {
public:
    virtual ~WindowActivator() = default;

    // AppActivate: brings to the front and gives the keyboard focus to a top-level window whose
    // title equals, starts with or contains the text (in that order of preference, letter case
    // ignored). NotFound, changing nothing, when no window matches or the text is empty; another
    // failure when the window was found but did not get the focus.
    virtual PlatformResult appActivate(const std::string& title) = 0;

    // GetForegroundWindow: an opaque handle of the window in front, 0 when there is none.
    virtual uint64_t foregroundWindow() = 0;

    // The platform's error number of the last failed call (GetLastError), for the log line of a
    // paste that found no window in front.
    virtual uint32_t lastError() = 0;
};

}  // namespace korvex

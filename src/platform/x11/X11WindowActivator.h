#pragma once
// Finding and activating top-level windows on X11.
//
// The windows are the window manager's client list (_NET_CLIENT_LIST) or, without a window
// manager, the viewable children of the root window. A window's title is _NET_WM_NAME (UTF-8),
// else WM_NAME. Activation asks the window manager (_NET_ACTIVE_WINDOW) or, without one, raises
// the window and sets the input focus; it then waits briefly until the focus has arrived, so that
// keys sent right after reach the window.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/WindowActivator.h"

namespace korvex::x11 {

class X11Connection;

class X11WindowActivator : public WindowActivator {
public:
    explicit X11WindowActivator(X11Connection& connection) : connection_(connection) {}

    // The title is Windows-1255 text; titles are compared as UTF-8, ASCII letters without case.
    bool appActivate(const std::string& title) override;
    uint64_t foregroundWindow() override;
    // The last X error code, or 3 (BadWindow) when there was no window to answer.
    uint32_t lastError() override { return lastError_; }

    // Top-level windows with their UTF-8 titles, for tests and diagnostics.
    std::vector<std::pair<uint64_t, std::string>> topLevelWindows();

private:
    bool windowManagerRuns();

    X11Connection& connection_;
    uint32_t lastError_ = 0;
};

}  // namespace korvex::x11

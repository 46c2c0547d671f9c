#pragma once
// Finding and activating top-level windows on X11.
//
// A window is looked for in the window manager's client list (_NET_CLIENT_LIST) first, then
// among all viewable windows with a title anywhere in the tree, so that a window the window
// manager does not manage (none runs, it is still starting, or it did not take the window) is
// found too. A window's title is _NET_WM_NAME (UTF-8), else WM_NAME. Activation asks the window
// manager for its own clients (_NET_ACTIVE_WINDOW); other windows, and clients the window
// manager does not focus, are raised and given the input focus directly. Activation succeeds
// only when the focus is inside the window within about a second, so that keys sent right after
// reach it and no other window.

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
    // NotFound when no window has the title; SystemError naming the X error when activating it
    // caused one (the window vanished, or is listed but not on screen); Refused when the focus did
    // not arrive otherwise.
    PlatformResult appActivate(const std::string& title) override;
    uint64_t foregroundWindow() override;
    // 3 (BadWindow) when there was no window to answer, 8 (BadMatch) when the focus did not
    // arrive.
    uint32_t lastError() override { return lastError_; }

    // The windows appActivate looks among, with their UTF-8 titles: the window manager's clients,
    // then the other viewable windows with a title. For tests and diagnostics.
    std::vector<std::pair<uint64_t, std::string>> topLevelWindows();

private:
    bool windowManagerRuns();
    std::vector<std::pair<uint64_t, std::string>> managedWindows();
    std::vector<std::pair<uint64_t, std::string>> viewableTitledWindows();

    X11Connection& connection_;
    uint32_t lastError_ = 0;
};

}  // namespace korvex::x11

#pragma once
// One Xlib connection shared by the X11 back ends (layout, key injection, window activation).
// Xlib's default error handler ends the process; while any connection exists a handler is
// installed that records the error instead, because a window can vanish between two requests.

#include <cstdint>
#include <string>

struct _XDisplay;

namespace korvex::x11 {

class X11Connection {
public:
    // Opens the named display, or $DISPLAY when the name is empty. ok() tells whether it worked.
    explicit X11Connection(const std::string& displayName = {});
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    bool ok() const { return display_ != nullptr; }
    _XDisplay* display() const { return display_; }
    // The error code of the last X error any connection of the process received (0 when none),
    // and clearing it before a request whose failure matters.
    static int lastError();
    static void clearError();

private:
    _XDisplay* display_ = nullptr;
};

}  // namespace korvex::x11

#pragma once
// One Xlib connection shared by the X11 back ends (layout, key injection, window activation).
// Xlib's default error handler ends the process; while any connection exists a handler is
// installed that records the error instead, because a window can vanish between two requests.

#include <cstdint>
#include <string>

#include "platform/PlatformResult.h"

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
    // The serial number the next request will carry: take it before requests whose failure
    // matters, and hand it to checkSince after them.
    unsigned long nextRequest() const;
    // Waits until the server has answered every request sent so far (XSync), then reports the
    // last X error that a request of this connection numbered `since` or later caused, naming it
    // and `what` was being done; the recorded error is forgotten either way. Errors of earlier
    // requests are not blamed on these.
    PlatformResult checkSince(unsigned long since, const std::string& what);

private:
    _XDisplay* display_ = nullptr;
};

}  // namespace korvex::x11

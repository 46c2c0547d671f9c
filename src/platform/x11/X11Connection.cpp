#include "platform/x11/X11Connection.h"

#include <X11/Xlib.h>

#include <atomic>

namespace korvex::x11 {
namespace {

std::atomic<int> lastErrorCode{0};
std::atomic<int> openConnections{0};
XErrorHandler previousHandler = nullptr;

int recordError(Display*, XErrorEvent* event) {
    lastErrorCode = event->error_code;
    return 0;
}

}  // namespace

X11Connection::X11Connection(const std::string& displayName) {
    XInitThreads();
    display_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (display_ != nullptr && openConnections++ == 0) previousHandler = XSetErrorHandler(recordError);
}

X11Connection::~X11Connection() {
    if (display_ == nullptr) return;
    XCloseDisplay(display_);
    if (--openConnections == 0) XSetErrorHandler(previousHandler);
}

int X11Connection::lastError() { return lastErrorCode; }
void X11Connection::clearError() { lastErrorCode = 0; }

}  // namespace korvex::x11

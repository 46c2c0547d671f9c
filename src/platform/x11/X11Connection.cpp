#include "platform/x11/X11Connection.h"

#include <X11/Xlib.h>

#include <atomic>
#include <mutex>

namespace korvex::x11 {
namespace {

// The last X error of the process. Xlib reports errors asynchronously, to one handler for all
// connections, so the error keeps the connection and request number it belongs to.
struct RecordedError {
    Display* display = nullptr;
    unsigned long serial = 0;
    int code = 0;
    int request = 0;
};
std::mutex errorMutex;
RecordedError lastErrorRecord;
std::atomic<int> openConnections{0};
XErrorHandler previousHandler = nullptr;

int recordError(Display* display, XErrorEvent* event) {
    const std::lock_guard lock(errorMutex);
    lastErrorRecord = {display, event->serial, event->error_code, event->request_code};
    return 0;
}

}  // namespace

X11Connection::X11Connection(const std::string& displayName) {
    XInitThreads();
    display_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (display_ != nullptr && openConnections++ == 0)
        previousHandler = XSetErrorHandler(recordError);
}

X11Connection::~X11Connection() {
    if (display_ == nullptr) return;
    XCloseDisplay(display_);
    if (--openConnections == 0) XSetErrorHandler(previousHandler);
}

unsigned long X11Connection::nextRequest() const {
    return display_ != nullptr ? NextRequest(display_) : 0;
}

PlatformResult X11Connection::checkSince(unsigned long since, const std::string& what) {
    if (display_ == nullptr) {
        return PlatformResult::failure(PlatformResult::Kind::Unavailable, "no X display");
    }
    XSync(display_, False);
    RecordedError error;
    {
        const std::lock_guard lock(errorMutex);
        if (lastErrorRecord.display == display_) {
            error = lastErrorRecord;
            lastErrorRecord = {};
        }
    }
    if (error.code == 0 || error.serial < since) return PlatformResult::ok();
    char name[128] = {};
    XGetErrorText(display_, error.code, name, sizeof name);
    return PlatformResult::failure(PlatformResult::Kind::SystemError,
                                   "X error " + std::string(name) + " (request " +
                                       std::to_string(error.request) + ") " + what);
}

}  // namespace korvex::x11

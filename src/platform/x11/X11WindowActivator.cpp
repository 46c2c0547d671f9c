#include "platform/x11/X11WindowActivator.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

#include "platform/x11/X11Connection.h"
#include "text/Cp1255.h"

namespace korvex::x11 {
namespace {

// Reads a whole property as raw items; empty when absent or of another type.
std::vector<unsigned char> readProperty(Display* display, Window window, Atom property, Atom type,
                                        int& format, unsigned long& items) {
    Atom actualType = None;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    items = 0;
    format = 0;
    std::vector<unsigned char> out;
    if (XGetWindowProperty(display, window, property, 0, 1 << 20, False, type, &actualType, &format,
                           &items, &after, &data) == Success &&
        data != nullptr && actualType == type) {
        // Xlib hands 32-bit items back as longs.
        const std::size_t itemSize =
            format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
        out.assign(data, data + items * itemSize);
    }
    if (data != nullptr) XFree(data);
    return out;
}

std::vector<Window> readWindows(Display* display, Window window, const char* name) {
    int format = 0;
    unsigned long items = 0;
    const auto raw =
        readProperty(display, window, XInternAtom(display, name, False), XA_WINDOW, format, items);
    std::vector<Window> out;
    if (format != 32) return out;
    const auto* longs = reinterpret_cast<const long*>(raw.data());
    for (unsigned long i = 0; i < items; ++i) out.push_back(static_cast<Window>(longs[i]));
    return out;
}

std::string latin1ToUtf8(const std::string& text) {
    std::string out;
    for (const char c : text) cp1255::appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::string windowTitle(Display* display, Window window) {
    int format = 0;
    unsigned long items = 0;
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const auto netName = readProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                                      utf8, format, items);
    if (format == 8 && !netName.empty()) return std::string(netName.begin(), netName.end());
    XTextProperty property{};
    std::string title;
    if (XGetWMName(display, window, &property) != 0 && property.value != nullptr) {
        const std::string raw(reinterpret_cast<const char*>(property.value), property.nitems);
        title = property.encoding == utf8 ? raw : latin1ToUtf8(raw);
        XFree(property.value);
    }
    return title;
}

std::string lowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// True when `window` is `ancestor` or lies inside it.
bool isWithin(Display* display, Window window, Window ancestor) {
    for (int depth = 0; window != None && depth < 64; ++depth) {
        if (window == ancestor) return true;
        Window root = None, parent = None;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return false;
        if (children != nullptr) XFree(children);
        if (parent == root) return parent == ancestor;
        window = parent;
    }
    return false;
}

// Every viewable window below `parent` that has a title, depth first in stacking order. A window
// that is not viewable hides its whole subtree, so the walk stops there.
void collectTitled(Display* display, Window parent, int depth,
                   std::vector<std::pair<uint64_t, std::string>>& out) {
    Window root = None, up = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (depth > 32 || XQueryTree(display, parent, &root, &up, &children, &count) == 0) return;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) == 0 ||
            attributes.map_state != IsViewable) {
            continue;
        }
        std::string title = windowTitle(display, children[i]);
        if (!title.empty()) out.emplace_back(children[i], std::move(title));
        collectTitled(display, children[i], depth + 1, out);
    }
    if (children != nullptr) XFree(children);
}

// The window whose title equals the text, else starts with it, else contains it.
Window pick(const std::vector<std::pair<uint64_t, std::string>>& windows, const std::string& want) {
    for (int rule = 0; rule < 3; ++rule) {
        for (const auto& [id, name] : windows) {
            const std::string have = lowerAscii(name);
            const bool hit = rule == 0   ? have == want
                             : rule == 1 ? have.rfind(want, 0) == 0
                                         : have.find(want) != std::string::npos;
            if (hit) return static_cast<Window>(id);
        }
    }
    return None;
}

bool focusIsWithin(Display* display, Window window) {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus > PointerRoot && isWithin(display, focus, window);
}

bool hasProtocol(Display* display, Window window, Atom protocol) {
    Atom* protocols = nullptr;
    int count = 0;
    bool found = false;
    if (XGetWMProtocols(display, window, &protocols, &count) != 0) {
        for (int i = 0; i < count; ++i) found = found || protocols[i] == protocol;
        XFree(protocols);
    }
    return found;
}

// Gives the focus as a window manager would: raised, then the focus set, or for a window that
// sets its focus itself (WM_HINTS input False with WM_TAKE_FOCUS) asked to take it. A window
// that takes no input at all is left alone, as its hints ask.
void focusDirectly(Display* display, Window window) {
    XRaiseWindow(display, window);
    bool input = true;
    if (XWMHints* hints = XGetWMHints(display, window)) {
        if ((hints->flags & InputHint) != 0) input = hints->input != False;
        XFree(hints);
    }
    if (input) {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        return;
    }
    const Atom takeFocus = XInternAtom(display, "WM_TAKE_FOCUS", False);
    if (!hasProtocol(display, window, takeFocus)) return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(takeFocus);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
}

}  // namespace

bool X11WindowActivator::windowManagerRuns() {
    Display* display = connection_.display();
    const auto check = readWindows(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK");
    return !check.empty() && check.front() != None;
}

std::vector<std::pair<uint64_t, std::string>> X11WindowActivator::managedWindows() {
    std::vector<std::pair<uint64_t, std::string>> out;
    if (!connection_.ok() || !windowManagerRuns()) return out;
    Display* display = connection_.display();
    for (const Window w : readWindows(display, DefaultRootWindow(display), "_NET_CLIENT_LIST")) {
        out.emplace_back(w, windowTitle(display, w));
    }
    return out;
}

std::vector<std::pair<uint64_t, std::string>> X11WindowActivator::viewableTitledWindows() {
    std::vector<std::pair<uint64_t, std::string>> out;
    if (!connection_.ok()) return out;
    Display* display = connection_.display();
    collectTitled(display, DefaultRootWindow(display), 0, out);
    return out;
}

std::vector<std::pair<uint64_t, std::string>> X11WindowActivator::topLevelWindows() {
    auto out = managedWindows();
    for (auto& entry : viewableTitledWindows()) {
        bool listed = false;
        for (const auto& known : out) listed = listed || known.first == entry.first;
        if (!listed) out.push_back(std::move(entry));
    }
    return out;
}

PlatformResult X11WindowActivator::appActivate(const std::string& title) {
    if (!connection_.ok()) {
        lastError_ = 3;
        return PlatformResult::failure(PlatformResult::Kind::Unavailable, "no X display");
    }
    if (title.empty()) {
        lastError_ = 3;
        return PlatformResult::failure(PlatformResult::Kind::NotFound, "no title to look for");
    }
    Display* display = connection_.display();
    const std::string want = lowerAscii(cp1255::toUtf8(title));
    // The window manager's clients first. A window it has not taken (yet) is found in the tree
    // all the same: a window manager that starts while the target is on screen frames the window
    // first and lists it later, and one it lost track of is never listed.
    Window found = pick(managedWindows(), want);
    const bool managed = found != None;
    if (!managed) found = pick(viewableTitledWindows(), want);
    if (found == None) {
        lastError_ = 3;  // BadWindow: nothing answers to the title
        return PlatformResult::failure(PlatformResult::Kind::NotFound, "no window has this title");
    }

    const unsigned long since = connection_.nextRequest();
    if (managed) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = found;
        event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;  // a pager's request: honoured without focus-stealing checks
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, DefaultRootWindow(display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        focusDirectly(display, found);
    }
    XSync(display, False);
    // Keys sent right after must reach the window: wait, about a second at most, until the focus
    // is inside it. When the window manager has not given it the focus halfway, do it directly.
    bool arrived = false;
    for (int i = 0; i < 100 && !arrived; ++i) {
        if (managed && i == 50) {
            focusDirectly(display, found);
            XSync(display, False);
        }
        arrived = focusIsWithin(display, found);
        if (!arrived) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // An X error (the window went away, or is not on screen) says more than the missing focus.
    PlatformResult errors = connection_.checkSince(since, "activating the window");
    if (!arrived) {
        lastError_ = 8;  // BadMatch
        if (!errors) return errors;
        return PlatformResult::failure(PlatformResult::Kind::Refused,
                                       "the window did not take the keyboard focus");
    }
    lastError_ = 0;
    return PlatformResult::ok();
}

uint64_t X11WindowActivator::foregroundWindow() {
    if (!connection_.ok()) return 0;
    Display* display = connection_.display();
    if (windowManagerRuns()) {
        const auto active = readWindows(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW");
        if (!active.empty() && active.front() != None) return active.front();
    }
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus <= PointerRoot) {
        lastError_ = 3;
        return 0;
    }
    return focus;
}

}  // namespace korvex::x11

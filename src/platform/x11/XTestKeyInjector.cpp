#include "platform/x11/XTestKeyInjector.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <string>
#include <thread>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11KeyboardLayout.h"

namespace korvex::x11 {

XTestKeyInjector::XTestKeyInjector(X11Connection& connection) : connection_(connection) {
    if (!connection_.ok()) return;
    Display* display = connection_.display();
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    available_ = XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor) != 0;
    int minKeycode = 8, maxKeycode = 8;
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    int per = 0;
    KeySym* syms = XGetKeyboardMapping(display, static_cast<KeyCode>(minKeycode),
                                       maxKeycode - minKeycode + 1, &per);
    for (int kc = minKeycode; syms != nullptr && kc <= maxKeycode; ++kc) {
        bool empty = true;
        for (int i = 0; i < per; ++i)
            empty = empty && syms[(kc - minKeycode) * per + i] == NoSymbol;
        if (empty) spare_.push_back(static_cast<unsigned>(kc));
        if (!empty) mapped_.insert(static_cast<unsigned>(kc));
    }
    if (syms != nullptr) XFree(syms);
}

XTestKeyInjector::~XTestKeyInjector() {
    if (!changed_.empty()) (void)endOfText();
}

unsigned XTestKeyInjector::borrowKeycode(char32_t codePoint) {
    if (const auto it = borrowed_.find(codePoint); it != borrowed_.end()) return it->second;
    if (spare_.empty()) return 0;
    if (borrowed_.size() == spare_.size()) {
        // Every spare keycode holds a character the target may not have read yet.
        startNewRound();
    }
    const unsigned keycode = spare_[borrowed_.size()];
    const auto keysyms = keysymsOfCodePoint(codePoint);
    KeySym both[2] = {keysyms.back(), keysyms.back()};  // the Unicode keysym, same with Shift
    XChangeKeyboardMapping(connection_.display(), static_cast<int>(keycode), 2, both, 1);
    borrowed_[codePoint] = keycode;
    changed_.insert(keycode);
    return keycode;
}

bool XTestKeyInjector::mapAhead(const std::vector<KeyEvent>& events, std::size_t from,
                                std::size_t& to) {
    // The longest run from `from` whose new characters fit the spare keycodes still free.
    std::set<char32_t> fresh;
    to = from;
    for (; to < events.size(); ++to) {
        const KeyEvent& e = events[to];
        if (e.kind != KeyEvent::Kind::Unicode || borrowed_.count(e.codePoint) != 0) continue;
        if (fresh.count(e.codePoint) == 0) {
            if (borrowed_.size() + fresh.size() >= spare_.size()) break;
            fresh.insert(e.codePoint);
        }
    }
    if (to == from && !spare_.empty()) {
        // Nothing fits: the keycodes are taken again once the target has read the earlier keys.
        startNewRound();
        return mapAhead(events, from, to);
    }
    for (const char32_t c : fresh) borrowKeycode(c);
    if (!fresh.empty()) settle();
    return !fresh.empty();
}

void XTestKeyInjector::settle() {
    // The target reads a changed keymap late: give it time before keys that need the change.
    XSync(connection_.display(), False);
    std::this_thread::sleep_for(kSettleTime);
}

void XTestKeyInjector::startNewRound() {
    // The keycodes go straight from the old characters to the new ones: a target that reads the
    // keymap between two changes (some toolkits coalesce the notices) would otherwise keep the
    // empty one and lose the next round's characters.
    settle();
    borrowed_.clear();
}

void XTestKeyInjector::restoreBorrowed() {
    borrowed_.clear();
    if (changed_.empty()) return;
    Display* display = connection_.display();
    settle();
    KeySym none[2] = {NoSymbol, NoSymbol};
    for (const unsigned keycode : changed_) {
        XChangeKeyboardMapping(display, static_cast<int>(keycode), 2, none, 1);
    }
    changed_.clear();
    XSync(display, False);
}

unsigned XTestKeyInjector::keycodeFor(const KeyEvent& event) {
    Display* display = connection_.display();
    if (event.kind == KeyEvent::Kind::Unicode) return borrowKeycode(event.codePoint);
    const unsigned byScan = static_cast<unsigned>(event.scanCode) + 8;
    if (event.scanCode != 0 && mapped_.count(byScan) != 0) return byScan;
    for (const unsigned long keysym : keysymsOfVirtualKey(event.virtualKey)) {
        if (const KeyCode kc = XKeysymToKeycode(display, keysym)) return kc;
    }
    return 0;
}

bool XTestKeyInjector::deliver(const KeyEvent& event) {
    if (!available_) return false;
    const unsigned keycode = keycodeFor(event);
    if (keycode == 0) return false;
    return XTestFakeKeyEvent(connection_.display(), keycode, event.keyUp ? False : True,
                             CurrentTime) != 0;
}

PlatformResult XTestKeyInjector::unavailable() const {
    if (!connection_.ok()) {
        return PlatformResult::failure(PlatformResult::Kind::Unavailable, "no X display");
    }
    if (!available_) {
        return PlatformResult::failure(PlatformResult::Kind::Unavailable,
                                       "the X display has no XTest extension");
    }
    return PlatformResult::ok();
}

PlatformResult XTestKeyInjector::sendKey(const KeyEvent& event) {
    if (PlatformResult missing = unavailable(); !missing) return missing;
    const unsigned long since = connection_.nextRequest();
    std::size_t end = 0;
    if (event.kind == KeyEvent::Kind::Unicode) mapAhead({event}, 0, end);
    deliver(event);
    return connection_.checkSince(since, "sending a key event");
}

PlatformResult XTestKeyInjector::sendBatch(const std::vector<KeyEvent>& events) {
    if (PlatformResult missing = unavailable(); !missing) return missing;
    std::size_t delivered = 0;
    PlatformResult result;
    // Usually one round: the keymap prepared for the whole text, then every event in one burst.
    // Texts with more distinct unmapped characters than spare keycodes go out in several. A
    // round that fails does not stop the later ones, which release the keys it pressed.
    for (std::size_t from = 0, to = 0; from < events.size(); from = to) {
        const unsigned long since = connection_.nextRequest();
        mapAhead(events, from, to);
        if (to == from) to = events.size();  // no spare keycodes at all: deliver drops them
        for (std::size_t i = from; i < to; ++i) delivered += deliver(events[i]) ? 1 : 0;
        PlatformResult round = connection_.checkSince(
            since, "sending key events " + std::to_string(from + 1) + " to " + std::to_string(to) +
                       " of " + std::to_string(events.size()));
        if (!round && result) result = std::move(round);
    }
    if (result && delivered < events.size()) {
        result = PlatformResult::failure(PlatformResult::Kind::Refused,
                                         std::to_string(events.size() - delivered) + " of " +
                                             std::to_string(events.size()) +
                                             " key events have no key on this keyboard");
    }
    return result;
}

void XTestKeyInjector::waitUntilProcessed() {
    if (connection_.ok()) XSync(connection_.display(), False);
}

PlatformResult XTestKeyInjector::endOfText() {
    if (!connection_.ok()) return PlatformResult::ok();  // nothing was borrowed
    const unsigned long since = connection_.nextRequest();
    restoreBorrowed();
    return connection_.checkSince(since, "restoring the keymap");
}

}  // namespace korvex::x11

#pragma once
// Key injection through the XTest extension.
//
// A key event goes to keycode = scan code + 8; when the scan code names no key, the virtual-key
// code's keysym picks the keycode; an event with neither is dropped (sendKey, as keybd_event,
// says nothing of it; sendBatch reports it).
// A character typed as itself borrows a spare keycode (one the keymap leaves empty), mapped to
// the character's keysym. Clients read a changed keymap late, so the keycodes are mapped before
// the keys that need them, with a short wait, and stay mapped until the end of the text (restoring
// right after the key loses the character). When the spare keycodes run out within one text, the
// injector waits for the target to catch up and then reuses them.

#include <chrono>
#include <map>
#include <set>
#include <vector>

#include "platform/KeyInjector.h"

namespace korvex::x11 {

class X11Connection;

class XTestKeyInjector : public KeyInjector {
public:
    explicit XTestKeyInjector(X11Connection& connection);
    ~XTestKeyInjector() override;
    XTestKeyInjector(const XTestKeyInjector&) = delete;
    XTestKeyInjector& operator=(const XTestKeyInjector&) = delete;

    // False when the display lacks the XTest extension; every send then fails as Unavailable.
    bool available() const { return available_; }

    // Each call waits for the server's answer, so that an X error of the key event (or of the
    // keymap change for it) is reported by the call that caused it.
    PlatformResult sendKey(const KeyEvent& event) override;
    // One burst, then one round trip that collects its X errors (or once per round of spare
    // keycodes). Events with no key are dropped and reported as Refused.
    PlatformResult sendBatch(const std::vector<KeyEvent>& events) override;
    // A round trip to the server: every event sent is then in the server's input queue.
    void waitUntilProcessed() override;
    // Gives the borrowed keycodes back (after the settle time).
    PlatformResult endOfText() override;

    // How long a client may take to read a changed keymap.
    static constexpr std::chrono::milliseconds kSettleTime{50};

private:
    PlatformResult unavailable() const;
    bool deliver(const KeyEvent& event);
    unsigned keycodeFor(const KeyEvent& event);
    unsigned borrowKeycode(char32_t codePoint);
    void restoreBorrowed();
    // Lets the borrowed keycodes take new characters once the target has read the earlier keys.
    void startNewRound();
    // Borrows keycodes for the new characters of events[from, to) and returns whether it did;
    // `to` is as far as the free spare keycodes reach.
    bool mapAhead(const std::vector<KeyEvent>& events, std::size_t from, std::size_t& to);
    void settle();

    X11Connection& connection_;
    bool available_ = false;
    std::vector<unsigned> spare_;            // keycodes with no keysym at start
    std::set<unsigned> mapped_;              // keycodes with a keysym at start
    std::map<char32_t, unsigned> borrowed_;  // character -> keycode mapped to it
    std::set<unsigned> changed_;             // spare keycodes that hold a character now
};

}  // namespace korvex::x11

#pragma once
// Delivers synthesised key events to the window that has the keyboard focus: keybd_event one at a
// time, SendInput as a batch, and a character typed as itself where no key of the layout types it
// (KEYEVENTF_UNICODE on Windows, a borrowed keycode on X11).

#include <cstdint>
#include <vector>

#include "platform/PlatformResult.h"

namespace korvex {

struct KeyEvent {
    enum class Kind : uint8_t { Key, Unicode };
    Kind kind = Kind::Key;
    uint8_t virtualKey = 0;  // Key: 0 to 255
    uint8_t scanCode = 0;    // Key: 0 to 255
    bool keyUp = false;      // press (false) or release (true)
    char32_t codePoint = 0;  // Unicode: the character typed

    static KeyEvent key(uint8_t virtualKey, uint8_t scanCode, bool keyUp) {
        return {Kind::Key, virtualKey, scanCode, keyUp, 0};
    }
    static KeyEvent unicode(char32_t codePoint, bool keyUp) {
        return {Kind::Unicode, 0, 0, keyUp, codePoint};
    }
    bool operator==(const KeyEvent&) const = default;
};

class KeyInjector {
public:
    virtual ~KeyInjector() = default;

    // keybd_event: queues one event now. An event the back end has no key for is dropped
    // silently, as Windows does; a failure of the system to take the event is reported.
    virtual PlatformResult sendKey(const KeyEvent& event) = 0;

    // SendInput: inserts the events in order, with no other input between them. A failure says
    // how many were inserted (fewer than given when delivery stopped part way) and why.
    virtual PlatformResult sendBatch(const std::vector<KeyEvent>& events) = 0;

    // Returns once the events sent so far have been handed to their target (the wait of the
    // platform's own send-keys service).
    virtual void waitUntilProcessed() = 0;

    // Called by the engines after the last event of one text. A back end that borrowed something
    // for the text (X11's remapped spare keycodes) gives it back here, and says when it could not.
    virtual PlatformResult endOfText() = 0;
};

}  // namespace korvex

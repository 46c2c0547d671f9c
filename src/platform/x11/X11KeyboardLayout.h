#pragma once
// The keyboard layout answered from the live X keymap.
//
// A Windows-1255 character becomes Unicode, then a keysym; the keycode that carries the keysym on
// its first (plain) or second (Shift) level gives the key. Its virtual-key code comes from the
// keysym of its plain level (letters, digits, punctuation, named keys), or, for keys that carry
// other scripts, from the key's position on a US keyboard. Scan code = keycode - 8 (evdev keycodes
// are PC scan codes plus 8). Characters only reachable on other levels or groups count as having
// no key, so the engines type them as themselves.

#include <cstdint>
#include <vector>

#include "platform/KeyboardLayout.h"

namespace korvex::x11 {

class X11Connection;

class X11KeyboardLayout : public KeyboardLayout {
public:
    explicit X11KeyboardLayout(X11Connection& connection) : connection_(connection) {}

    int16_t vkKeyScan(unsigned char character) override;
    // X has no OEM code page: the character passes through unchanged to oemKeyScan.
    unsigned char charToOem(unsigned char character) override;
    uint32_t oemKeyScan(unsigned char oemCharacter) override;
    uint32_t mapVirtualKey(uint32_t virtualKey) override;
    // Num Lock (144) and Caps Lock (20) from the locked X modifiers; other keys read 0.
    int16_t getKeyState(int virtualKey) override;

private:
    struct KeyPlace {
        unsigned keycode = 0;
        bool shifted = false;
    };
    KeyPlace findCharacter(unsigned char character);

    X11Connection& connection_;
};

// The keysyms that stand for a virtual-key code, best first (empty when none).
std::vector<unsigned long> keysymsOfVirtualKey(uint32_t virtualKey);

// The keysyms that type a Unicode character, best first.
std::vector<unsigned long> keysymsOfCodePoint(char32_t codePoint);

}  // namespace korvex::x11

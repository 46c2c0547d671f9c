#pragma once
// The keyboard layout the key engines type through: the five layout queries of the Windows
// 8-bit keyboard functions, answered for whatever layout the back end has (the live X keymap, the
// Windows layout of the thread, or a fixed US table in tests and korvex-tool).
//
// Characters are Windows-1255 bytes. Every query answers at once and never fails: "no key" is a
// value of the answer, not an error.

#include <cstdint>

namespace korvex {

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;

    // VkKeyScanA: low byte the virtual-key code of the key that types the character, bit 8 Shift,
    // bit 9 Control, bit 10 Alt; -1 when no key of the layout produces it.
    virtual int16_t vkKeyScan(unsigned char character) = 0;

    // CharToOemA for one character: its code in the OEM code page ('?' when that page lacks it).
    virtual unsigned char charToOem(unsigned char character) = 0;

    // OemKeyScan: scan code in the low word, shift state in the high word; 0xFFFFFFFF when no key
    // types the OEM character.
    virtual uint32_t oemKeyScan(unsigned char oemCharacter) = 0;

    // MapVirtualKeyA(code, 0): the scan code of a virtual-key code, 0 when the layout has no key.
    virtual uint32_t mapVirtualKey(uint32_t virtualKey) = 0;

    // GetKeyState: low bit toggled (Caps, Num and Scroll Lock), high bit (0x8000) held down.
    virtual int16_t getKeyState(int virtualKey) = 0;
};

}  // namespace korvex

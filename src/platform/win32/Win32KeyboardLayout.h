#pragma once
// The keyboard layout of the calling thread, asked through the Windows 8-bit keyboard functions.
// Each query is the one Windows call of the same name; the answers are passed on unchanged.

#include "platform/KeyboardLayout.h"

namespace korvex {

class Win32KeyboardLayout : public KeyboardLayout {
public:
    int16_t vkKeyScan(unsigned char character) override;
    // CharToOemA on a one-character string; '?' when the call fails.
    unsigned char charToOem(unsigned char character) override;
    uint32_t oemKeyScan(unsigned char oemCharacter) override;
    // MapVirtualKeyA(code, 0); codes above 255 name no key and give 0 without asking.
    uint32_t mapVirtualKey(uint32_t virtualKey) override;
    int16_t getKeyState(int virtualKey) override;
};

}  // namespace korvex

#pragma once
// A fixed United States keyboard layout on a Hebrew (Windows-1255, OEM 862) system: the answers
// the Windows layout functions give there. korvex-tool shows what the engines would send with
// it, and tests type through it. Hebrew letters have no key on this layout.

#include "platform/KeyboardLayout.h"

namespace korvex {

class UsKeyboardLayout : public KeyboardLayout {
public:
    explicit UsKeyboardLayout(bool numLockOn = true) : numLockOn_(numLockOn) {}

    int16_t vkKeyScan(unsigned char character) override;
    unsigned char charToOem(unsigned char character) override;
    uint32_t oemKeyScan(unsigned char oemCharacter) override;
    uint32_t mapVirtualKey(uint32_t virtualKey) override;
    // Only the Num Lock key (144) has a state here: toggled when numLockOn.
    int16_t getKeyState(int virtualKey) override;

    void setNumLock(bool on) { numLockOn_ = on; }

private:
    bool numLockOn_;
};

}  // namespace korvex

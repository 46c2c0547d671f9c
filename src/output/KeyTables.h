#pragma once
// The two key tables a key engine types through, filled once from the keyboard layout.

#include <array>
#include <cstdint>

namespace korvex {

class KeyboardLayout;

struct KeyMapEntry {
    int16_t VirtualKey = 0;  // 0 to 255
    int16_t ScanCode = 0;    // 0 to 255
    bool NeedsControl = false;
    bool NeedsShift = false;
    bool NeedsAlt = false;
    // No key of the layout types the character: it is typed as itself through the injector's
    // Unicode route instead of as virtual-key 255 with every modifier held.
    bool NoKey = false;

    bool operator==(const KeyMapEntry&) const = default;
};

// One engine's tables. Filled on the engine's first use and kept for the run, so they reflect the
// layout in effect at that first use.
struct KeyTables {
    std::array<KeyMapEntry, 256> CharKeyTable{};     // by Windows-1255 character code
    std::array<KeyMapEntry, 256> VirtualKeyTable{};  // by virtual-key code
    bool Filled = false;

    // Fills both tables (characters first) unless they are filled already.
    void fillOnce(KeyboardLayout& layout);
};

}  // namespace korvex

#include "output/KeyTables.h"

#include "platform/KeyboardLayout.h"

namespace korvex {

void KeyTables::fillOnce(KeyboardLayout& layout) {
    if (Filled) return;
    for (int k = 0; k < 256; ++k) {
        const auto character = static_cast<unsigned char>(k);
        const int16_t r = layout.vkKeyScan(character);
        KeyMapEntry& e = CharKeyTable[static_cast<std::size_t>(k)];
        e.VirtualKey = static_cast<int16_t>(r & 0xFF);
        e.NeedsShift = (r & 0x100) != 0;
        e.NeedsControl = (r & 0x200) != 0;
        e.NeedsAlt = (r & 0x400) != 0;
        e.NoKey = r == -1;
        // Only the scan code is taken; the shift state in the high word is not used.
        e.ScanCode = static_cast<int16_t>(layout.oemKeyScan(layout.charToOem(character)) & 0xFF);
    }
    for (int v = 0; v < 256; ++v) {
        KeyMapEntry& e = VirtualKeyTable[static_cast<std::size_t>(v)];
        e = KeyMapEntry{};
        e.VirtualKey = static_cast<int16_t>(v);
        e.ScanCode = static_cast<int16_t>(layout.mapVirtualKey(static_cast<uint32_t>(v)) & 0xFF);
    }
    Filled = true;
}

}  // namespace korvex

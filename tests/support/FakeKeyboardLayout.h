#pragma once
// The fixed US layout with test controls: Num Lock state, answers that can be changed after the
// fact (a layout switch), and a count of the queries asked.

#include <map>

#include "output/UsKeyboardLayout.h"

namespace korvex::test {

class FakeKeyboardLayout : public UsKeyboardLayout {
public:
    explicit FakeKeyboardLayout(bool numLockOn = true) : UsKeyboardLayout(numLockOn) {}

    // Replaced answers: character -> VkKeyScanA result.
    std::map<unsigned char, int16_t> vkKeyScanOverride;
    int queries = 0;

    int16_t vkKeyScan(unsigned char character) override {
        ++queries;
        const auto it = vkKeyScanOverride.find(character);
        return it != vkKeyScanOverride.end() ? it->second : UsKeyboardLayout::vkKeyScan(character);
    }
    unsigned char charToOem(unsigned char character) override {
        ++queries;
        return UsKeyboardLayout::charToOem(character);
    }
    uint32_t oemKeyScan(unsigned char oemCharacter) override {
        ++queries;
        return UsKeyboardLayout::oemKeyScan(oemCharacter);
    }
    uint32_t mapVirtualKey(uint32_t virtualKey) override {
        ++queries;
        return UsKeyboardLayout::mapVirtualKey(virtualKey);
    }
};

}  // namespace korvex::test

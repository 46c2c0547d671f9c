// The Win32 layout against the answers Windows gives for the US keyboard layout, and against the
// fixed US table the tools and the core's tests type through.
#include "platform/win32/Win32KeyboardLayout.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>

#include "output/UsKeyboardLayout.h"

namespace korvex {
namespace {

TEST(Win32KeyboardLayout, VkKeyScanOnTheUsLayout) {
    struct Case {
        unsigned char character;
        int16_t expected;
    };
    const Case cases[] = {
        {'A', 0x141}, {'a', 0x41},  {'Z', 0x15A}, {'0', 0x30},  {'1', 0x31}, {'!', 0x131},
        {'@', 0x132}, {' ', 0x20},  {'.', 0xBE},  {',', 0xBC},  {'/', 0xBF}, {'?', 0x1BF},
        {'-', 0xBD},  {'_', 0x1BD}, {'=', 0xBB},  {'+', 0x1BB}, {';', 0xBA}, {':', 0x1BA},
        {'\t', 0x09}, {'\r', 0x0D}, {0xE0, -1},   {0xFA, -1},
    };
    Win32KeyboardLayout layout;
    for (const Case& c : cases) {
        EXPECT_EQ(layout.vkKeyScan(c.character), c.expected) << "character " << int(c.character);
    }
}

TEST(Win32KeyboardLayout, MapVirtualKeyGivesScanCodes) {
    struct Case {
        uint32_t virtualKey;
        uint32_t scanCode;
    };
    const Case cases[] = {
        {VK_TAB, 0x0F},  {VK_RETURN, 0x1C},  {VK_ESCAPE, 0x01},  {VK_SPACE, 0x39},
        {VK_BACK, 0x0E}, {VK_SHIFT, 0x2A},   {VK_CONTROL, 0x1D}, {VK_MENU, 0x38},
        {'A', 0x1E},     {'V', 0x2F},        {'1', 0x02},        {'0', 0x0B},
        {VK_F1, 0x3B},   {VK_NUMPAD0, 0x52}, {VK_NUMLOCK, 0x45}, {VK_OEM_PERIOD, 0x34},
        {0x0300, 0},     {0xFFFFFFFF, 0},
    };
    Win32KeyboardLayout layout;
    for (const Case& c : cases) {
        EXPECT_EQ(layout.mapVirtualKey(c.virtualKey), c.scanCode) << "virtual key " << c.virtualKey;
    }
}

TEST(Win32KeyboardLayout, OemCharactersAndTheirKeys) {
    Win32KeyboardLayout layout;
    EXPECT_EQ(layout.charToOem('A'), 'A');
    EXPECT_EQ(layout.charToOem('7'), '7');
    EXPECT_EQ(layout.charToOem(0), 0);
    EXPECT_EQ(layout.oemKeyScan('a'), 0x1Eu);
    EXPECT_EQ(layout.oemKeyScan('A'), 0x1001Eu);  // Shift in the high word
    EXPECT_EQ(layout.oemKeyScan('1'), 0x02u);
    EXPECT_EQ(layout.oemKeyScan('!'), 0x10002u);
}

TEST(Win32KeyboardLayout, KeyStateFollowsTheThreadsKeyboardState) {
    Win32KeyboardLayout layout;
    BYTE saved[256];
    ASSERT_TRUE(::GetKeyboardState(saved));
    BYTE state[256];
    std::copy(std::begin(saved), std::end(saved), std::begin(state));
    for (const BYTE toggled : {BYTE{1}, BYTE{0}}) {
        state[VK_NUMLOCK] = toggled;
        ASSERT_TRUE(::SetKeyboardState(state));
        EXPECT_EQ(layout.getKeyState(VK_NUMLOCK) & 1, toggled);
    }
    state[VK_NUMLOCK] = 0x80;  // held down, not toggled
    ASSERT_TRUE(::SetKeyboardState(state));
    EXPECT_EQ(layout.getKeyState(VK_NUMLOCK) & 0x8001, 0x8000);
    ::SetKeyboardState(saved);
}

// The fixed table must give what Windows gives for every printable character and every key code,
// or korvex-tool and the core's tests would describe events the real program does not send.
TEST(Win32KeyboardLayout, AgreesWithTheFixedUsTable) {
    Win32KeyboardLayout real;
    UsKeyboardLayout fixed;
    std::ostringstream differences;
    for (int c = 0x20; c < 0x7F; ++c) {
        const auto character = static_cast<unsigned char>(c);
        if (real.vkKeyScan(character) != fixed.vkKeyScan(character)) {
            differences << "VkKeyScanA(" << c << "): windows " << real.vkKeyScan(character)
                        << ", table " << fixed.vkKeyScan(character) << "\n";
        }
        if (real.oemKeyScan(character) != fixed.oemKeyScan(character)) {
            differences << "OemKeyScan(" << c << "): windows " << real.oemKeyScan(character)
                        << ", table " << fixed.oemKeyScan(character) << "\n";
        }
    }
    for (uint32_t vk = 0; vk < 256; ++vk) {
        if (real.mapVirtualKey(vk) != fixed.mapVirtualKey(vk)) {
            differences << "MapVirtualKeyA(" << vk << "): windows " << real.mapVirtualKey(vk)
                        << ", table " << fixed.mapVirtualKey(vk) << "\n";
        }
    }
    EXPECT_EQ(differences.str(), "");
}

}  // namespace
}  // namespace korvex

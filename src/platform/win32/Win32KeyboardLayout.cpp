#include "platform/win32/Win32KeyboardLayout.h"

#include "platform/win32/Win32Api.h"

namespace korvex {

int16_t Win32KeyboardLayout::vkKeyScan(unsigned char character) {
    return static_cast<int16_t>(::VkKeyScanA(static_cast<CHAR>(character)));
}

unsigned char Win32KeyboardLayout::charToOem(unsigned char character) {
    // CharToOemA treats its source as a C string: the NUL character is its own answer.
    if (character == 0) return 0;
    const char source[2] = {static_cast<char>(character), 0};
    char target[2] = {'?', 0};
    if (!::CharToOemA(source, target)) return '?';
    return static_cast<unsigned char>(target[0]);
}

uint32_t Win32KeyboardLayout::oemKeyScan(unsigned char oemCharacter) {
    return static_cast<uint32_t>(::OemKeyScan(oemCharacter));
}

uint32_t Win32KeyboardLayout::mapVirtualKey(uint32_t virtualKey) {
    if (virtualKey > 255) return 0;
    return ::MapVirtualKeyA(virtualKey, 0 /* MAPVK_VK_TO_VSC */);
}

int16_t Win32KeyboardLayout::getKeyState(int virtualKey) {
    return static_cast<int16_t>(::GetKeyState(virtualKey));
}

}  // namespace korvex

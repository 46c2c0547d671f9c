#include "platform/x11/X11KeyboardLayout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <array>

#include "platform/x11/X11Connection.h"
#include "text/Cp1255.h"

namespace korvex::x11 {
namespace {

struct VkKeysym {
    uint8_t vk;
    unsigned long keysym;
};

// Named keys and the US keyboard's characters. Where two keysyms serve one code, the first found
// on the keymap wins (the keypad's decimal key carries KP_Delete on its plain level; a second key
// some keymaps have for KP_Decimal is not the keypad's).
constexpr VkKeysym kVkKeysyms[] = {
    {3, XK_Break},          {8, XK_BackSpace},      {9, XK_Tab},           {12, XK_Clear},
    {12, XK_KP_Begin},      {13, XK_Return},        {16, XK_Shift_L},      {17, XK_Control_L},
    {18, XK_Alt_L},         {19, XK_Pause},         {20, XK_Caps_Lock},    {27, XK_Escape},
    {32, XK_space},         {33, XK_Prior},         {34, XK_Next},         {35, XK_End},
    {36, XK_Home},          {37, XK_Left},          {38, XK_Up},           {39, XK_Right},
    {40, XK_Down},          {41, XK_Select},        {42, XK_Print},        {43, XK_Execute},
    {44, XK_Print},         {45, XK_Insert},        {46, XK_Delete},       {47, XK_Help},
    {91, XK_Super_L},       {92, XK_Super_R},       {93, XK_Menu},         {106, XK_KP_Multiply},
    {107, XK_KP_Add},       {108, XK_KP_Separator}, {108, XK_KP_Enter},    {109, XK_KP_Subtract},
    {110, XK_KP_Delete},    {110, XK_KP_Decimal},   {111, XK_KP_Divide},   {144, XK_Num_Lock},
    {145, XK_Scroll_Lock},  {160, XK_Shift_L},      {161, XK_Shift_R},     {162, XK_Control_L},
    {163, XK_Control_R},    {164, XK_Alt_L},        {165, XK_Alt_R},       {186, XK_semicolon},
    {187, XK_equal},        {188, XK_comma},        {189, XK_minus},       {190, XK_period},
    {191, XK_slash},        {192, XK_grave},        {219, XK_bracketleft}, {220, XK_backslash},
    {221, XK_bracketright}, {222, XK_apostrophe},
};

// Virtual-key codes by evdev keycode on a US keyboard, for keys whose plain keysym is in no table
// (a Hebrew layout's letters keep the codes of the US letters in their places).
uint8_t positionalVirtualKey(unsigned keycode) {
    static constexpr std::array<uint8_t, 62> kRows = {
        // 10..21: 1 2 3 4 5 6 7 8 9 0 - =
        '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 189, 187, 0, 0,
        // 24..35: Q W E R T Y U I O P [ ]
        'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', 219, 221, 0, 0,
        // 38..49: A S D F G H J K L ; ' `
        'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', 186, 222, 192, 0,
        // 51..61: \ Z X C V B N M , . /
        220, 'Z', 'X', 'C', 'V', 'B', 'N', 'M', 188, 190, 191};
    if (keycode < 10 || keycode - 10 >= kRows.size()) return 0;
    return kRows[keycode - 10];
}

uint8_t virtualKeyOfKeysym(unsigned long keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return static_cast<uint8_t>(keysym - XK_a + 'A');
    if (keysym >= XK_A && keysym <= XK_Z) return static_cast<uint8_t>(keysym);
    if (keysym >= XK_0 && keysym <= XK_9) return static_cast<uint8_t>(keysym);
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return static_cast<uint8_t>(96 + keysym - XK_KP_0);
    if (keysym >= XK_F1 && keysym <= XK_F24) return static_cast<uint8_t>(112 + keysym - XK_F1);
    for (const auto& entry : kVkKeysyms) {
        if (entry.keysym == keysym) return entry.vk;
    }
    return 0;
}

// Control characters are typed as on a Windows US keyboard: Ctrl with a letter or sign.
int16_t controlCharacterScan(unsigned char character) {
    switch (character) {
        case 0: return 0x332;
        case 8: return 8;
        case 9: return 9;
        case 10: return 0x20D;
        case 13: return 13;
        case 27: return 27;
        case 28: return 0x2DC;
        case 29: return 0x2DD;
        case 30: return 0x336;
        case 31: return 0x3BD;
        case 127: return 0x208;
        default:
            if (character >= 1 && character <= 26) return static_cast<int16_t>(0x240 + character);
            return -1;
    }
}

// The whole core keymap, read fresh for each query so it answers for the layout of the moment.
class Keymap {
public:
    explicit Keymap(Display* display) {
        XDisplayKeycodes(display, &min_, &max_);
        syms_ = XGetKeyboardMapping(display, static_cast<KeyCode>(min_), max_ - min_ + 1, &per_);
    }
    ~Keymap() {
        if (syms_ != nullptr) XFree(syms_);
    }
    Keymap(const Keymap&) = delete;
    Keymap& operator=(const Keymap&) = delete;

    unsigned long at(int keycode, int level) const {
        if (syms_ == nullptr || keycode < min_ || keycode > max_ || level >= per_) return NoSymbol;
        return syms_[(keycode - min_) * per_ + level];
    }
    // The first keycode carrying the keysym on the given level, or 0; only keys of the main
    // typing block when asked.
    int find(unsigned long keysym, int level, bool mainBlockOnly = false) const {
        for (int kc = min_; kc <= max_; ++kc) {
            if (mainBlockOnly && positionalVirtualKey(static_cast<unsigned>(kc)) == 0) continue;
            if (at(kc, level) == keysym) return kc;
        }
        return 0;
    }

private:
    int min_ = 8, max_ = 8, per_ = 0;
    KeySym* syms_ = nullptr;
};

}  // namespace

std::vector<unsigned long> keysymsOfVirtualKey(uint32_t virtualKey) {
    std::vector<unsigned long> out;
    if ((virtualKey >= '0' && virtualKey <= '9')) out.push_back(virtualKey);
    if (virtualKey >= 'A' && virtualKey <= 'Z') out.push_back(XK_a + (virtualKey - 'A'));
    if (virtualKey >= 96 && virtualKey <= 105) out.push_back(XK_KP_0 + (virtualKey - 96));
    if (virtualKey >= 112 && virtualKey <= 135) out.push_back(XK_F1 + (virtualKey - 112));
    for (const auto& entry : kVkKeysyms) {
        if (entry.vk == virtualKey) out.push_back(entry.keysym);
    }
    return out;
}

std::vector<unsigned long> keysymsOfCodePoint(char32_t codePoint) {
    std::vector<unsigned long> out;
    if ((codePoint >= 0x20 && codePoint <= 0x7E) || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        out.push_back(codePoint);
        return out;
    }
    if (codePoint >= 0x5D0 && codePoint <= 0x5EA) out.push_back(0xCE0 + (codePoint - 0x5D0));
    if (codePoint == 0x20AC) out.push_back(XK_EuroSign);
    out.push_back(0x1000000UL | codePoint);
    return out;
}

X11KeyboardLayout::KeyPlace X11KeyboardLayout::findCharacter(unsigned char character) {
    // Keys of the main block first, on either level: "<" is Shift+comma there, although many
    // keymaps also put it on the plain level of the extra key beside the left Shift.
    const Keymap keymap(connection_.display());
    for (const unsigned long keysym : keysymsOfCodePoint(cp1255::toUnicode(character))) {
        for (const bool mainBlock : {true, false}) {
            for (const int level : {0, 1}) {
                if (const int kc = keymap.find(keysym, level, mainBlock)) {
                    return {static_cast<unsigned>(kc), level == 1};
                }
            }
        }
    }
    return {};
}

int16_t X11KeyboardLayout::vkKeyScan(unsigned char character) {
    if (!connection_.ok()) return -1;
    if (const int16_t control = controlCharacterScan(character); control != -1) {
        return mapVirtualKey(static_cast<uint32_t>(control & 0xFF)) != 0 ? control : int16_t{-1};
    }
    const KeyPlace place = findCharacter(character);
    if (place.keycode == 0) return -1;
    const Keymap keymap(connection_.display());
    uint8_t vk = virtualKeyOfKeysym(keymap.at(static_cast<int>(place.keycode), 0));
    if (vk == 0) vk = positionalVirtualKey(place.keycode);
    if (vk == 0) return -1;
    return static_cast<int16_t>(vk | (place.shifted ? 0x100 : 0));
}

unsigned char X11KeyboardLayout::charToOem(unsigned char character) { return character; }

uint32_t X11KeyboardLayout::oemKeyScan(unsigned char oemCharacter) {
    if (!connection_.ok()) return 0xFFFFFFFF;
    if (const int16_t control = controlCharacterScan(oemCharacter); control != -1) {
        const uint32_t scan = mapVirtualKey(static_cast<uint32_t>(control & 0xFF));
        return scan != 0 ? scan : 0xFFFFFFFF;
    }
    const KeyPlace place = findCharacter(oemCharacter);
    if (place.keycode < 8) return 0xFFFFFFFF;
    return (place.keycode - 8) | (place.shifted ? 0x10000u : 0u);
}

uint32_t X11KeyboardLayout::mapVirtualKey(uint32_t virtualKey) {
    if (!connection_.ok()) return 0;
    const Keymap keymap(connection_.display());
    for (const unsigned long keysym : keysymsOfVirtualKey(virtualKey)) {
        for (const int level : {0, 1}) {
            const int kc = keymap.find(keysym, level);
            if (kc >= 8) return static_cast<uint32_t>(kc - 8);
        }
    }
    return 0;
}

int16_t X11KeyboardLayout::getKeyState(int virtualKey) {
    if (!connection_.ok()) return 0;
    XkbStateRec state{};
    if (XkbGetState(connection_.display(), XkbUseCoreKbd, &state) != Success) return 0;
    unsigned mask = 0;
    if (virtualKey == 144) {
        mask = XkbKeysymToModifiers(connection_.display(), XK_Num_Lock);
    } else if (virtualKey == 20) {
        mask = LockMask;
    }
    return (mask != 0 && (state.locked_mods & mask) != 0) ? 1 : 0;
}

}  // namespace korvex::x11

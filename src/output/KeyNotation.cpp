#include "output/KeyNotation.h"

#include <array>
#include <charconv>

namespace korvex {
namespace {

struct KeyName {
    std::string_view name;
    uint8_t code;
};

// Upper-case names; a token's text is upper-cased before it is looked up.
constexpr std::array<KeyName, 73> kKeyNames{{
    {"LBUTTON", 1},
    {"RBUTTON", 2},
    {"BREAK", 3},
    {"CANCEL", 3},
    {"MBUTTON", 4},
    {"BACKSPACE", 8},
    {"BS", 8},
    {"BKSP", 8},
    {"TAB", 9},
    {"CLEAR", 12},
    {"ENTER", 13},
    {"~", 13},
    {"SHIFT", 16},
    {"CONTROL", 17},
    {"MENU", 18},
    {"ALT", 18},
    {"PAUSE", 19},
    {"CAPSLOCK", 20},
    {"ESCAPE", 27},
    {"ESC", 27},
    {"SPACE", 32},
    {"PGUP", 33},
    {"PGDN", 34},
    {"END", 35},
    {"HOME", 36},
    {"LEFT", 37},
    {"UP", 38},
    {"RIGHT", 39},
    {"DOWN", 40},
    {"SELECT", 41},
    {"PRTSC", 42},
    {"EXECUTE", 43},
    {"SNAPSHOT", 44},
    {"INSERT", 45},
    {"INS", 45},
    {"DELETE", 46},
    {"DEL", 46},
    {"HELP", 47},
    {"NUMPAD0", 96},
    {"NUMPAD1", 97},
    {"NUMPAD2", 98},
    {"NUMPAD3", 99},
    {"NUMPAD4", 100},
    {"NUMPAD5", 101},
    {"NUMPAD6", 102},
    {"NUMPAD7", 103},
    {"NUMPAD8", 104},
    {"NUMPAD9", 105},
    {"MULTIPLY", 106},
    {"ADD", 107},
    {"SEPARATOR", 108},
    {"SUBTRACT", 109},
    {"DECIMAL", 110},
    {"DIVIDE", 111},
    {"F1", 112},
    {"F2", 113},
    {"F3", 114},
    {"F4", 115},
    {"F5", 116},
    {"F6", 117},
    {"F7", 118},
    {"F8", 119},
    {"F9", 120},
    {"F10", 121},
    {"F11", 122},
    {"F12", 123},
    {"F13", 124},
    {"F14", 125},
    {"F15", 126},
    {"F16", 127},
    {"NUMLOCK", 144},
    {"SCROLLLOCK", 145},
    // Not the code of Enter: the keypad's Enter is typed as the separator key.
    {"NUMPADENTER", 108},
}};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Cuts a trailing " n" off braced text. n is found by walking back over digits while at least
// three characters remain; the blank must have at least one character before it.
void takeRepeatCount(KeyToken& token) {
    const std::string& text = token.Text;
    const std::size_t length = text.size();
    std::size_t n = length;  // 1-based position of the character looked at
    while (n >= 3 && isDigit(text[n - 1])) --n;
    if (n >= 2 && n < length && text[n - 1] == ' ') {
        const char* first = text.data() + n;
        const char* last = text.data() + length;
        int32_t count = 0;
        const auto result = std::from_chars(first, last, count);
        // A count that does not fit 32 bits stays 1; the text is cut all the same.
        if (result.ec == std::errc() && result.ptr == last) token.RepeatCount = count;
        token.Text.resize(n - 1);
    }
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::optional<uint8_t> keyNameCode(std::string_view name) {
    for (const auto& entry : kKeyNames) {
        if (entry.name.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = upper(name[i]) == entry.name[i];
        if (same) return entry.code;
    }
    return std::nullopt;
}

bool KeyNotationReader::next(KeyToken& token) {
    if (pos_ >= text_.size()) return false;
    token = KeyToken{};
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == '+') {
            token.Shift = true;
        } else if (c == '^') {
            token.Control = true;
        } else if (c == '%') {
            token.Alt = true;
        } else {
            break;
        }
        ++pos_;
    }
    if (pos_ >= text_.size()) return true;  // prefixes at the very end: empty text

    const char c = text_[pos_];
    bool braced = false;
    if (c == '{') {
        // Once a search found no "}", none lies further on: remember it, so that a long text of
        // unclosed braces is read in linear time.
        const std::size_t close =
            closeMissing_ ? std::string_view::npos : text_.find('}', pos_ + 1);
        if (close == std::string_view::npos) closeMissing_ = true;
        if (close != std::string_view::npos) {
            token.Text.assign(text_.substr(pos_ + 1, close - pos_ - 1));
            pos_ = close + 1;
            braced = true;
        } else {
            token.Text = "{";
            ++pos_;
        }
    } else {
        token.Text.assign(1, c);
        ++pos_;
    }
    if (braced) takeRepeatCount(token);
    if (const auto code = keyNameCode(token.Text)) {
        token.VirtualKey = code;
        token.Text.clear();
    }
    return true;
}

std::vector<KeyToken> readKeyNotation(std::string_view text) {
    std::vector<KeyToken> tokens;
    KeyNotationReader reader(text);
    KeyToken token;
    while (reader.next(token)) tokens.push_back(token);
    return tokens;
}

}  // namespace korvex

#pragma once
// The key-sequence notation every typed text is written in.
//
//   +  ^  %      Shift, Control, Alt held over the next token (any number, any order)
//   ~            Enter
//   {NAME}       a named key (73 names, letter case ignored), e.g. {TAB}, {F4}, {NUMPADENTER}
//   {text}       literal text typed as one token, e.g. +{abc} types ABC with Shift held
//   {x n}        the token repeated n times, e.g. {TAB 3}, {abc 2}
//   anything else: the character itself
//
// There is no grouping: parentheses are ordinary characters. A "{" without a closing "}" is the
// literal "{"; a name that is not in the table is literal text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

struct KeyToken {
    bool Shift = false;
    bool Control = false;
    bool Alt = false;
    int32_t RepeatCount = 1;
    // A named key carries its virtual-key code; otherwise the token is the literal Text.
    std::optional<uint8_t> VirtualKey;
    std::string Text;

    bool operator==(const KeyToken&) const = default;
};

// The virtual-key code of a key name (compared without regard to letter case), or nothing.
std::optional<uint8_t> keyNameCode(std::string_view name);

// Reads a text one token at a time, left to right, without copying the text.
class KeyNotationReader {
public:
    explicit KeyNotationReader(std::string_view text) : text_(text) {}
    // Fills the next token; false when nothing is left.
    bool next(KeyToken& token);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    bool closeMissing_ = false;
};

// All tokens of a text.
std::vector<KeyToken> readKeyNotation(std::string_view text);

}  // namespace korvex

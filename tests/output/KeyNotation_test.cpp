#include "output/KeyNotation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvex {
namespace {

// A token written compactly: prefixes, then <code> for a named key or 'text' for literal text,
// then *n when the repeat count is not 1.
std::string show(const KeyToken& t) {
    std::string s;
    if (t.Shift) s += '+';
    if (t.Control) s += '^';
    if (t.Alt) s += '%';
    s += t.VirtualKey ? "<" + std::to_string(*t.VirtualKey) + ">" : "'" + t.Text + "'";
    if (t.RepeatCount != 1) s += "*" + std::to_string(t.RepeatCount);
    return s;
}

// The tokens of `text`, "|" between them.
std::string showAll(std::string_view text) {
    std::string out;
    for (const auto& t : readKeyNotation(text)) out += (out.empty() ? "" : "|") + show(t);
    return out;
}

TEST(KeyNotation, ReadsTokens) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"abc", "'a'|'b'|'c'"},
        {"+a1{TAB 2}~", "+'a'|'1'|<9>*2|<13>"},
        {"^A", "^'A'"},
        {"{A 5}", "'A'*5"},
        {"12+", "'1'|'2'|+''"},
        {"++a", "+'a'"},
        {"%^+x", "+^%'x'"},
        {"%{F4}", "%<115>"},
        {"{NUMPADENTER}", "<108>"},
        {"{tab}{Tab}{TAB}", "<9>|<9>|<9>"},
        {"{TAB 0}", "<9>*0"},
        {"^{TAB 0}", "^<9>*0"},
        {"{abc 2}", "'abc'*2"},
        {"{F10}{12}", "<121>|'12'"},
        {"{a -1}", "'a -1'"},
        {"{ 5}", "' 5'"},
        {"{ab  5}", "'ab '*5"},
        {"{a 007}", "'a'*7"},
        {"{TAB3}", "'TAB3'"},
        {"{a 2147483647}", "'a'*2147483647"},
        {"{a 2147483648}", "'a'"},
        {"{a 99999999999999999999}", "'a'"},
        {"{F17}", "'F17'"},
        {"{abc", "'{'|'a'|'b'|'c'"},
        {"x{", "'x'|'{'"},
        {"{}", "''"},
        {"+{}", "+''"},
        {"%", "%''"},
        {"~{~}", "<13>|<13>"},
        {"{+}{^}{%}{{}}", "'+'|'^'|'%'|'{'|'}'"},
        {"{x{y}", "'x{y'"},
        {"(ab)", "'('|'a'|'b'|')'"},
        {"+{abc}", "+'abc'"},
        {"{enter 2}", "<13>*2"},
        {"{SHIFT}{alt}", "<16>|<18>"}};
    for (const auto& [text, tokens] : cases) EXPECT_EQ(showAll(text), tokens) << "text: " << text;
    EXPECT_EQ(showAll(std::string("a\0{", 3)), std::string("'a'|'\0'|'{'", 11));
}

TEST(KeyNotation, KnowsEveryKeyNameInAnyCase) {
    const std::vector<std::pair<std::string, int>> names = {
        {"LBUTTON", 1},      {"RBUTTON", 2},       {"BREAK", 3},
        {"CANCEL", 3},       {"MBUTTON", 4},       {"BACKSPACE", 8},
        {"BS", 8},           {"BKSP", 8},          {"TAB", 9},
        {"CLEAR", 12},       {"ENTER", 13},        {"~", 13},
        {"SHIFT", 16},       {"CONTROL", 17},      {"MENU", 18},
        {"ALT", 18},         {"PAUSE", 19},        {"CAPSLOCK", 20},
        {"ESCAPE", 27},      {"ESC", 27},          {"SPACE", 32},
        {"PGUP", 33},        {"PGDN", 34},         {"END", 35},
        {"HOME", 36},        {"LEFT", 37},         {"UP", 38},
        {"RIGHT", 39},       {"DOWN", 40},         {"SELECT", 41},
        {"PRTSC", 42},       {"EXECUTE", 43},      {"SNAPSHOT", 44},
        {"INSERT", 45},      {"INS", 45},          {"DELETE", 46},
        {"DEL", 46},         {"HELP", 47},         {"MULTIPLY", 106},
        {"ADD", 107},        {"SEPARATOR", 108},   {"SUBTRACT", 109},
        {"DECIMAL", 110},    {"DIVIDE", 111},      {"NUMLOCK", 144},
        {"SCROLLLOCK", 145}, {"NUMPADENTER", 108},
    };
    std::vector<std::pair<std::string, int>> all = names;
    for (int i = 0; i <= 9; ++i) all.emplace_back("NUMPAD" + std::to_string(i), 96 + i);
    for (int i = 1; i <= 16; ++i) all.emplace_back("F" + std::to_string(i), 111 + i);
    ASSERT_EQ(all.size(), 73u);
    for (const auto& [name, code] : all) {
        std::string lower = name, mixed = name;
        for (std::size_t i = 0; i < name.size(); ++i) {
            lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
            if (i % 2 == 1) mixed[i] = lower[i];
        }
        for (const auto& spelling : {name, lower, mixed}) {
            const auto got = keyNameCode(spelling);
            ASSERT_TRUE(got.has_value()) << spelling;
            EXPECT_EQ(*got, code) << spelling;
        }
    }
    for (const char* notAName : {"", "F0", "F17", "NUMPAD10", "ENTERX", " TAB", "TAB ", "{", "+"}) {
        EXPECT_FALSE(keyNameCode(notAName).has_value()) << notAName;
    }
}

TEST(KeyNotation, HugeAndBrokenInputEndsWithEveryCharacterRead) {
    // 200 kB of prefixes and unclosed braces: every character becomes part of a token.
    std::string text;
    for (int i = 0; i < 50000; ++i) text += "+^%{";
    const auto tokens = readKeyNotation(text);
    ASSERT_EQ(tokens.size(), 50000u);
    std::size_t wrong = 0;
    for (const auto& t : tokens) wrong += !(t.Shift && t.Control && t.Alt && t.Text == "{");
    EXPECT_EQ(wrong, 0u);
    // Prefixes at the very end make a token of their own with empty text.
    EXPECT_EQ(showAll("{+^%"), "'{'|+^%''");
}

}  // namespace
}  // namespace korvex

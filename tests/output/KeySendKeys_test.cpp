// The keybd_event engine on the fixed US layout: whole event sequences.
#include <gtest/gtest.h>

#include "KeyEngineFixture.h"

namespace korvex::test {
namespace {

// US layout codes: virtual key, scan code.
const Journal kShiftDown{"down 16 42"}, kShiftUp{"up 16 42"};
const Journal kCtrlDown{"down 17 29"}, kCtrlUp{"up 17 29"};
const Journal kAltDown{"down 18 56"}, kAltUp{"up 18 56"};
const Journal kA{"down 65 30", "up 65 30"};
const Journal k1{"down 49 2", "up 49 2"}, k2{"down 50 3", "up 50 3"};
const Journal kTab{"down 9 15", "up 9 15"}, kEnter{"down 13 28", "up 13 28"};
const Journal kCapitalA = kShiftDown + kA + kShiftUp;

struct SendKeysCase {
    std::string text;
    int32_t delay;
    bool yield;
    Journal expected;
};

TEST(KeySendKeys, TypesWholeSequences) {
    const std::vector<SendKeysCase> cases = {
        {"", 0, false, {}},
        {"+a1{TAB 2}~", 0, false, kShiftDown + kA + kShiftUp + k1 + kTab + kTab + kEnter},
        {"^A", 0, false, kCtrlDown + kCapitalA + kCtrlUp},
        {"+A", 0, false, kShiftDown + kA + kShiftUp},  // the prefix already holds Shift
        {"{A 5}", 0, false, times(5, kCapitalA)},
        {"12+", 0, false, k1 + k2 + kShiftDown + kShiftUp},
        {"{tab}{Tab}", 0, false, kTab + kTab},
        {"{TAB 0}", 0, false, {}},
        {"^{TAB 0}", 0, false, kCtrlDown + kCtrlUp},
        {"++a", 0, false, kShiftDown + kA + kShiftUp},
        {"%{F4}", 0, false, kAltDown + Journal{"down 115 62", "up 115 62"} + kAltUp},
        {"{NUMPADENTER}", 0, false, {"down 108 0", "up 108 0"}},
        {"+^%{}", 0, false, kShiftDown + kCtrlDown + kAltDown + kShiftUp + kCtrlUp + kAltUp},
        {"{a 2147483648}", 0, false, kA},
        {"{F17}", 0, false,
         kShiftDown + Journal{"down 70 33", "up 70 33"} + kShiftUp + k1 +
             Journal{"down 55 8", "up 55 8"}},
        {"ab{cd}", 50, false,
         Journal{"sleep 50"} + kA + Journal{"sleep 50", "down 66 48", "up 66 48", "sleep 50"} +
             Journal{"down 67 46", "up 67 46", "down 68 32", "up 68 32"}},
        {"a{TAB 2}", 7, true,
         Journal{"yield", "sleep 7", "yield"} + kA + Journal{"yield", "sleep 7", "yield"} + kTab +
             Journal{"yield", "sleep 7", "yield"} + kTab},
        {"a", -5, true, kA},  // no delay, no yield
    };
    for (const auto& c : cases) {
        KeyEngineFixture f;
        f.engines.VbSendKeys(c.text, c.delay, c.yield);
        EXPECT_EQ(f.keys.journal, c.expected) << "text: " << c.text;
    }
}

TEST(KeySendKeys, CharactersWithoutAKeyAreTypedAsThemselves) {
    struct Case {
        std::string text;
        Journal expected;
    };
    const std::vector<Case> cases = {
        // Hebrew alef and bet (Windows-1255 E0, E1) have no key on the US layout.
        {"\xE0\xE1", {"unicode 1488 down", "unicode 1488 up", "unicode 1489 down", "unicode 1489 up"}},
        // The prefix is still held around it; no other modifier is added.
        {"+{\xE0}", kShiftDown + Journal{"unicode 1488 down", "unicode 1488 up"} + kShiftUp},
        {"\x80", {"unicode 8364 down", "unicode 8364 up"}},  // the euro sign
    };
    for (const auto& c : cases) {
        KeyEngineFixture f;
        f.engines.VbSendKeys(c.text, 0, false);
        EXPECT_EQ(f.keys.journal, c.expected);
        for (const auto& e : f.keys.events) {
            EXPECT_NE(e.virtualKey, 255) << "no event may use virtual-key 255";
        }
    }
}

TEST(KeySendKeys, TablesAreFilledOnceAndKeptAfterALayoutChange) {
    KeyEngineFixture f;
    f.engines.VbSendKeys("a", 0, false);
    const int queriesAfterFirstCall = f.layout.queries;
    EXPECT_GT(queriesAfterFirstCall, 0);
    // The layout changes: "a" would now be the key with virtual-key 81 and Shift.
    f.layout.vkKeyScanOverride['a'] = 0x151;
    f.keys.journal.clear();
    f.engines.VbSendKeys("a", 0, false);
    EXPECT_EQ(f.keys.journal, kA);
    EXPECT_EQ(f.layout.queries, queriesAfterFirstCall);
    // The SendInput engine keeps tables of its own and fills them now, from the new layout.
    f.keys.journal.clear();
    EXPECT_TRUE(f.engines.VbSendInput("a"));
    const Journal expected =
        Journal{"batch 4"} + kShiftDown + Journal{"down 81 30", "up 81 30"} + kShiftUp;
    EXPECT_EQ(f.keys.journal, expected);
}

TEST(KeySendKeys, EveryTextEndsWithOneEndOfText) {
    KeyEngineFixture f;
    f.engines.VbSendKeys("ab", 0, false);
    f.engines.VbSendKeys("c", 0, false);
    EXPECT_EQ(f.keys.endOfTextCalls, 2);
}

TEST(KeySendKeys, RefusesATextOfBillionsOfKeysWhole) {
    KeyEngineFixture f;
    f.engines.VbSendKeys("x{TAB 2000000000}", 0, false);
    EXPECT_TRUE(f.keys.journal.empty());
    ASSERT_EQ(f.log.size(), 1u);
    EXPECT_NE(f.log[0].find("Key text not sent"), std::string::npos);
    // Just below the limit everything is typed.
    f.engines.VbSendKeys("{TAB 50000}", 0, false);
    EXPECT_EQ(f.keys.journal.size(), 100000u);
}

}  // namespace
}  // namespace korvex::test

// The SendInput engine: one batch per text, the full-stop rewrite, the result.
#include <gtest/gtest.h>

#include "KeyEngineFixture.h"

namespace korvex::test {
namespace {

const Journal k1{"down 49 2", "up 49 2"}, k2{"down 50 3", "up 50 3"};
const Journal k5{"down 53 6", "up 53 6"}, k0{"down 48 11", "up 48 11"};
const Journal kDecimal{"down 110 83", "up 110 83"}, kNumLock{"down 144 69", "up 144 69"};

struct SendInputCase {
    std::string text;
    bool numLock;
    Journal expected;
};

TEST(SendInput, CollectsOneBatchPerText) {
    const std::vector<SendInputCase> cases = {
        {"12.50", true, Journal{"batch 10"} + k1 + k2 + kDecimal + k5 + k0},
        {"12.50", false, Journal{"batch 14"} + k1 + k2 + kNumLock + kDecimal + kNumLock + k5 + k0},
        {"+a", true, {"batch 4", "down 16 42", "down 65 30", "up 65 30", "up 16 42"}},
        {"", true, {}},
        {"{TAB 0}{TAB 0}", true, {}},
        {"^{TAB 0}", true, {"batch 2", "down 17 29", "up 17 29"}},
        {"\xE0" "1", true, Journal{"batch 4", "unicode 1488 down", "unicode 1488 up"} + k1},
    };
    for (const auto& c : cases) {
        KeyEngineFixture f;
        f.layout.setNumLock(c.numLock);
        EXPECT_TRUE(f.engines.VbSendInput(c.text)) << c.text;
        EXPECT_EQ(f.keys.journal, c.expected) << "text: " << c.text;
        EXPECT_EQ(f.keys.batches, c.expected.empty() ? 0 : 1);
        // The log carries the text as received, before the full stops are rewritten.
        EXPECT_EQ(f.log, Journal{"VbSendInput => " + c.text});
    }
}

TEST(SendInput, ProducesTheSameEventsAsTheKeybdEngine) {
    for (const std::string text : {"+a1{TAB 2}~", "^A", "{A 5}", "12+", "%{F4}", "\xE0{abc 2}x"}) {
        KeyEngineFixture batch, single;
        ASSERT_TRUE(batch.engines.VbSendInput(text));
        single.engines.VbSendKeys(text, 0, false);
        EXPECT_EQ(batch.keys.events, single.keys.events) << text;
    }
}

TEST(SendInput, RewritesFullStopsInsideBracesToo) {
    // {1.} becomes {1{DECIMAL}}: the literal text "1{DECIMAL" and a "}".
    KeyEngineFixture batch, single;
    ASSERT_TRUE(batch.engines.VbSendInput("{1.}"));
    single.engines.VbSendKeys("{1{DECIMAL}}", 0, false);
    EXPECT_EQ(batch.keys.events, single.keys.events);
    EXPECT_EQ(batch.keys.events.size(), 38u);
}

TEST(SendInput, ReportsFalseWhenFewerEventsWereInserted) {
    for (const int accepted : {0, 3}) {
        KeyEngineFixture f;
        f.keys.batchAcceptLimit = accepted;
        EXPECT_FALSE(f.engines.VbSendInput("+a"));
    }
    KeyEngineFixture f;
    f.keys.batchAcceptLimit = 4;
    EXPECT_TRUE(f.engines.VbSendInput("+a"));
}

TEST(SendInput, RefusesATextOfBillionsOfKeys) {
    KeyEngineFixture f;
    EXPECT_FALSE(f.engines.VbSendInput("{a 2000000000}"));
    EXPECT_EQ(f.keys.batches, 0);
    ASSERT_EQ(f.log.size(), 2u);
    EXPECT_NE(f.log[1].find("Key text not sent"), std::string::npos);
}

TEST(SendInput, NumLockOnFollowsTheKeyState) {
    KeyEngineFixture f;
    f.layout.setNumLock(true);
    EXPECT_TRUE(f.engines.NumLockOn());
    f.layout.setNumLock(false);
    EXPECT_FALSE(f.engines.NumLockOn());
}

TEST(SendInput, MakeKeyInputReadsTheKeyUpFlag) {
    EXPECT_EQ(MakeKeyInput(65, 30, 0), KeyEvent::key(65, 30, false));
    EXPECT_EQ(MakeKeyInput(65, 30, 2), KeyEvent::key(65, 30, true));
    EXPECT_EQ(MakeKeyInput(144, 69, 3), KeyEvent::key(144, 69, true));
}

TEST(SendInput, WaitModeSendsOneBatchThenWaits) {
    KeyEngineFixture f;
    f.layout.setNumLock(false);
    f.engines.SendKeysWait("1.");
    // The platform's own service types the full stop on the main keyboard.
    const Journal expected = Journal{"batch 4"} + k1 + Journal{"down 190 52", "up 190 52", "wait"};
    EXPECT_EQ(f.keys.journal, expected);
    EXPECT_TRUE(f.log.empty());
}

}  // namespace
}  // namespace korvex::test

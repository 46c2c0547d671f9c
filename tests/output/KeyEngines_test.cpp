// The key notation, and the key engines on the fixed US layout over one table: each text's events,
// and the text its paste puts on the clipboard.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "output/KeyNotation.h"
#include "output/SendKeys.h"
#include "support/FakeServices.h"

namespace korvex::test {
namespace {

struct Engines : FakeServices {
    std::vector<std::string> log;
    modSendKeys engines{services().keyServices(), [this] { ui.doEvents(); },
                        [this](const std::string& line) { log.push_back(line); }};
};

// A key pressed and released, by US-layout virtual key and scan code.
Journal key(int vk, int scan) {
    const std::string codes = std::to_string(vk) + " " + std::to_string(scan);
    return {"down " + codes, "up " + codes};
}
Journal uni(int codePoint) {
    const std::string cp = "unicode " + std::to_string(codePoint);
    return {cp + " down", cp + " up"};
}
const Journal kShiftDown{"down 16 42"}, kShiftUp{"up 16 42"};
const Journal kCtrlDown{"down 17 29"}, kCtrlUp{"up 17 29"};
const Journal kAltDown{"down 18 56"}, kAltUp{"up 18 56"};
const Journal kA = key(65, 30), k1 = key(49, 2), kTab = key(9, 15), kEnter = key(13, 28);
Journal shifted(int vk, int scan) { return kShiftDown + key(vk, scan) + kShiftUp; }
const Journal kCapitalA = shifted(65, 30);

Journal batchOf(const Journal& events) {
    if (events.empty()) return {};
    return Journal{"batch " + std::to_string(events.size())} + events;
}

TEST(KeyEngines, EveryEngineTypesTheSameText) {
    struct Case {
        std::string text;
        Journal events;
        std::string paste;
    };
    const std::vector<Case> cases = {
        {"", {}, ""},
        {"+a1{TAB 2}~", kShiftDown + kA + kShiftUp + k1 + kTab + kTab + kEnter, "a1\t\t\r\n"},
        {"^A", kCtrlDown + kCapitalA + kCtrlUp, "A"},
        {"+A", kShiftDown + kA + kShiftUp, "A"},  // the prefix already holds Shift
        {"^%a", kCtrlDown + kAltDown + kA + kCtrlUp + kAltUp, "a"},
        {"{abc 2}{x 0}", times(2, kA + key(66, 48) + key(67, 46)), "abcabc"},
        {"1.", k1 + key(190, 52), "1."},
        {"^{TAB 0}", kCtrlDown + kCtrlUp, ""},
        {"%{F4}{UP}", kAltDown + key(115, 62) + kAltUp + key(38, 72), ""},
        {"{NUMPADENTER}{ENTER}", key(108, 0) + kEnter, "\r\n\r\n"},
        {"{+}{{}", shifted(187, 13) + shifted(219, 26), "+{"},
        // Alef, bet and the euro sign have no key on the US layout; a prefix is still held.
        {"\xE0\xE1", uni(1488) + uni(1489), "\xE0\xE1"},
        {"+{\xE0}\x80", kShiftDown + uni(1488) + kShiftUp + uni(8364), "\xE0\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("text: " + c.text);
        Engines single, batch, paste;
        single.engines.VbSendKeys(c.text, 0, false);
        EXPECT_EQ(single.keys.journal, c.events);
        EXPECT_EQ(single.keys.endOfTextCalls, 1);
        if (c.text.find('.') == std::string::npos) {  // SendInput rewrites the full stop
            batch.layout.setNumLock(true);
            EXPECT_TRUE(batch.engines.VbSendInput(c.text));
            EXPECT_EQ(batch.keys.journal, batchOf(c.events));
            // The log carries the text as received, before the full stops are rewritten.
            EXPECT_EQ(batch.log, Journal{"VbSendInput => " + c.text});
        }
        ASSERT_TRUE(paste.engines.VbSendPaste(c.text));
        EXPECT_EQ(paste.clipboard.text, c.paste);
        EXPECT_TRUE(paste.keys.journal.empty());
    }
}

TEST(KeyEngines, DelayAndYieldComeBeforeEachKey) {
    const Journal pause{"sleep 50"}, yieldPause{"yield", "sleep 7", "yield"};
    Engines delay, yield;
    delay.engines.VbSendKeys("ab{cd}", 50, false);
    EXPECT_EQ(delay.keys.journal,
              pause + kA + pause + key(66, 48) + pause + key(67, 46) + key(68, 32));
    yield.engines.VbSendKeys("a{TAB 2}", 7, true);
    EXPECT_EQ(yield.keys.journal, yieldPause + kA + yieldPause + kTab + yieldPause + kTab);
}

TEST(KeyEngines, SendInputSendsFullStopsToTheKeypadAndChecksTheCount) {
    const Journal k5 = key(53, 6), k0 = key(48, 11), kDecimal = key(110, 83);
    const Journal kNumLock = key(144, 69);
    for (const auto& [text, numLock, expected] :
         std::vector<std::tuple<std::string, bool, Journal>>{
             {"1.50", true, k1 + kDecimal + k5 + k0},
             {"1.50", false, k1 + kNumLock + kDecimal + kNumLock + k5 + k0}}) {
        Engines f;
        f.layout.setNumLock(numLock);
        EXPECT_EQ(f.engines.NumLockOn(), numLock);
        EXPECT_TRUE(f.engines.VbSendInput(text));
        EXPECT_EQ(f.keys.journal, batchOf(expected)) << text;
    }
}

TEST(KeyEngines, TextsPastTheLimitsAreRefusedWhole) {
    for (const auto& [text, sent] : std::vector<std::pair<std::string, bool>>{
             {"x{TAB 2000000000}", false}, {"{TAB 49999}xx", false}, {"{TAB 50000}", true}}) {
        Engines single, batch;
        single.engines.VbSendKeys(text, 0, false);
        EXPECT_EQ(single.keys.journal.size(), sent ? 100000u : 0u) << text;
        EXPECT_EQ(static_cast<bool>(batch.engines.VbSendInput(text)), sent) << text;
        EXPECT_EQ(batch.keys.batches, sent ? 1 : 0);
        EXPECT_EQ(single.log.size(), sent ? 0u : 1u);
    }
    // The paste limit counts the text already collected, not each token alone.
    for (const auto& [text, sent] : std::vector<std::pair<std::string, bool>>{
             {"{abcdefghij 90000}{abcdefghij 20000}", false},
             {"{abcdefghij 90000}{abcdefghij 10000}", true}}) {
        Engines f;
        EXPECT_EQ(static_cast<bool>(f.engines.VbSendPaste(text)), sent) << text;
        EXPECT_EQ(f.clipboard.text.size(), sent ? 1000000u : sizeof "earlier content" - 1);
        EXPECT_EQ(f.log.size(), sent ? 0u : 1u);
    }
}

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
    // Rows "text=>tokens", one a line. Unclosed braces and prefixes at the end make tokens too;
    // key names are known in any case.
    std::istringstream rows(
        "abc=>'a'|'b'|'c'\n%^+x=>+^%'x'\n{F10}{12}=><121>|'12'\n{a -1}=>'a -1'\n{ 5}=>' 5'\n"
        "{ab  5}=>'ab '*5\n{a 007}=>'a'*7\n{TAB3}=>'TAB3'\n{a 2147483647}=>'a'*2147483647\n"
        "{a 99999999999999999999}=>'a'\n{abc=>'{'|'a'|'b'|'c'\nx{=>'x'|'{'\n{}=>''\n+{}=>+''\n"
        "%=>%''\n~{~}=><13>|<13>\n{+}{^}{%}{{}}=>'+'|'^'|'%'|'{'|'}'\n{x{y}=>'x{y'\n"
        "(ab)=>'('|'a'|'b'|')'\n+{abc}=>+'abc'\n{enter 2}=><13>*2\n{SHIFT}{alt}=><16>|<18>\n"
        "+^%{+^%{=>+^%'{'|+^%'{'\n{+^%=>'{'|+^%''\n"
        "{PGDN}{bksp}{NumPad7}{F16}{ScrollLock}{Del}=><34>|<8>|<103>|<127>|<145>|<46>\n"
        "{F0}{F17}{NUMPAD10}{ENTERX}=>'F0'|'F17'|'NUMPAD10'|'ENTERX'");
    for (std::string row; std::getline(rows, row);) {
        const std::size_t arrow = row.find("=>");
        EXPECT_EQ(showAll(row.substr(0, arrow)), row.substr(arrow + 2)) << row;
    }
    EXPECT_EQ(showAll(std::string("a\0{", 3)), std::string("'a'|'\0'|'{'", 11));
}

}  // namespace
}  // namespace korvex::test

#include "interpret/MicrRecognition.h"
#include "interpret/RegExp.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <stdexcept>
// The standard engine serves as the reference on short lines. GCC 12 warns falsely inside its
// header when optimising with sanitizers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop
#include <string>
#include <utility>
#include <vector>

#include "support/ScriptedOperatorUi.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using namespace std::string_literals;
using C = InputClass;

std::string noise(unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xFF);
    bytes[0] = 'x';
    return bytes;
}

std::string groups(const MicrGroups& g) {
    return g.group1 + "|" + g.group2 + "|" + g.group3 + "|" + g.group4;
}

TEST(ClassifyInputTest, DecidesTheClassInTheOrderOfTheTests) {
    // 28 characters of blanks, dashes and question marks, and the same one shorter or longer.
    const std::string mixed28 = "??? --- ??????? ---- ????? -";
    // Five "?" with the fifth at position 34 (1-based), then at position 35.
    const std::string fifthAt34 = "????" + std::string(29, 'x') + "?";
    const std::string fifthAt35 = "????" + std::string(30, 'x') + "?";
    const auto expect = [](InputClass expected, const std::vector<std::string>& messages,
                           bool nonus = false, int32_t minUnread = 0) {
        for (const auto& m : messages) {
            EXPECT_EQ(ClassifyInput(m, nonus, minUnread), expected)
                << "\"" << m << "\" nonus " << nonus << " minUnread " << minUnread;
        }
    };
    expect(C::MagneticCard, {";1234567890123456=2512?", "%B1234^NAME^25?", ";?"});
    // "?" stands for any symbol or digit, so 27 or 29 of them fit the cheque pattern.
    expect(C::RegularCheque,
           {"AxyzC", "AC", "A123 C12A456E 7890C", "A123 C12A456E 7890A", "A0012345C12A456E1234567A",
            "?0012345C12A456E1234567A", "A0012345C1?A456E1234567?", std::string(27, '?'),
            std::string(29, '?')});
    expect(C::PostalBankCheque, {"A123C12A456E789B"});
    expect(C::NoMicrDocument,
           {"NO MICR", std::string(28, '?'), mixed28, std::string(28, ' '), std::string(28, '-')});
    expect(C::UnparsedUsCheque,
           {mixed28.substr(1), mixed28 + "-", "123456789012345", "T123-456 U789 -0123?"});
    expect(C::Unidentified, {"", ";1234567890123456=2512", "?1234?", "A", "A0012345C1A456E1234567A",
                             "NO MICR ", "no micr", "12345678901234", "T123-456 U789 -0",
                             "T123456789012345X", ":0012345<12:456>1234567<", fifthAt34});
    // The count of unread characters, when set.
    expect(C::NoMicrDocument, {std::string(27, '?')}, false, 27);
    expect(C::NoMicrDocument, {fifthAt34}, false, 5);
    expect(C::Unidentified, {fifthAt35}, false, 5);
    expect(C::Unidentified, {fifthAt34}, false, -3);
    expect(C::NoMicrDocument, {"?x"}, false, 1);
    // Nonus mode knows its own pattern only.
    expect(C::NonusCheque,
           {":0012345<12:456>1234567<", ": 0012345 <12:456> 1234567 <",
            "\0"
            "0012345<12:456>1234567:"s,
            "@0012345_12_456_1234567_", "xx:0012345<12:456>1234567<"},
           true);
    expect(C::Unidentified,
           {"", ":0012345<1:456>1234567<", "A0012345C12A456E1234567A", "AxyzC", "NO MICR"}, true);
    // A megabyte of noise, NUL or long but well formed lines.
    constexpr size_t kMiB = 1024 * 1024;
    EXPECT_EQ(ClassifyInput(noise(99), false, 0), C::Unidentified);
    EXPECT_EQ(ClassifyInput(noise(99), true, 0), C::Unidentified);
    EXPECT_EQ(ClassifyInput(std::string(kMiB, '\0'), false, 5), C::Unidentified);
    EXPECT_EQ(ClassifyInput(std::string(kMiB, '\0'), true, 5), C::Unidentified);
    EXPECT_EQ(ClassifyInput("A" + std::string(kMiB, '1') + "C12A456E789A", false, 0),
              C::RegularCheque);
    EXPECT_EQ(ClassifyInput(std::string(kMiB, '7'), false, 0), C::UnparsedUsCheque);
    EXPECT_EQ(ClassifyInput(std::string(kMiB, '?'), false, 0), C::RegularCheque);
    EXPECT_EQ(ClassifyInput(std::string(kMiB, '-'), false, 0), C::UnparsedUsCheque);
}

TEST(ClassifyInputTest, DisplayNamesAreTheDetailsWindowTexts) {
    for (const auto& [cls, name] :
         std::vector<std::pair<C, std::string>>{{C::Unidentified, "לא מזוהה"},
                                                {C::RegularCheque, "צ'ק רגיל"},
                                                {C::MagneticCard, "כרטיס מגנטי"},
                                                {C::NoMicrDocument, "מסמך ללא דיו מגנטית"},
                                                {C::PostalBankCheque, "צ'ק של בנק הדואר"},
                                                {C::UnparsedUsCheque, ""},
                                                {C::NonusCheque, "צ'ק של נונוס"}}) {
        EXPECT_EQ(InputClassDisplayName(cls), cp1255::fromUtf8(name));
    }
    EXPECT_EQ(PostalBankChequeLine("A123C09A456E789C1B"), "A123C09A456E789C");
    EXPECT_EQ(PostalBankChequeLine("A123B"), "");
}

TEST(ExtractMicrGroupsTest, RecognisesOrSplitsByPosition) {
    const auto R = MicrOutcome::Recognised, P = MicrOutcome::ByPosition;
    struct Case {
        std::string message;
        bool nonus;
        MicrOutcome outcome;
        std::string groups;  // "cheque|bank|branch|account"
    };
    const std::vector<Case> cases = {
        {"A0012345C12A456E1234567A", false, R, "0012345|12|456|1234567"},
        {"A123 C12A456E 7890C", false, R, "123|12|456|7890"},
        {"A00?2345C1?A456E12?4567?", false, R, "00?2345|1?|456|12?4567"},
        {"A123 C1A456E 789C", false, P, "123|1|456|789"},
        {"A123  C1A456E  789 C", false, P, "123|1|456|789"},  // a double blank counts as one
        {"AA123 C1A456E 789C", false, P, "123|1|456|789"},
        {"A123 CA456E 789C", false, P, "123||456|789"},
        {":0012345<12:456>1234567<", true, R, "0012345|12|456|1234567"},
        {": 0012345 <12:456> 1234567 :", true, R, "0012345|12|456|1234567"},
        {"\0:0012345<12:456>1234567<"s, true, R, "0012345|12|456|1234567"},  // not in a group
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.message + "\"");
        const MicrGroups g = ExtractMicrGroups(c.message, c.nonus, DebugWindowQuery{});
        EXPECT_EQ(g.outcome, c.outcome);
        EXPECT_TRUE(g.usable());
        EXPECT_EQ(groups(g), c.groups);
        EXPECT_EQ(g.diagnostic, c.outcome == P ? "Regexp failed for " + c.message : "");
    }
    for (const std::string nonusDropped : {":0012345<1:456>1234567<", "A0012345C12A456E1234567A"}) {
        const MicrGroups g = ExtractMicrGroups(nonusDropped, true, DebugWindowQuery{});
        EXPECT_EQ(g.outcome, MicrOutcome::Dropped);
        EXPECT_FALSE(g.usable());
        EXPECT_EQ(g.diagnostic, "Regexp failed for " + nonusDropped);
    }
}

TEST(ExtractMicrGroupsTest, PositionalSplitFailsWhenASeparatorIsMissing) {
    // The pieces whose separators stand in order are kept for the operator; "?" marks the rest.
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"", "?|?|?|?"},
        {"A", "?|?|?|?"},
        {"A123C1A456E789C", "?|1|456|?"},        // no blank after the cheque number
        {"A123 12A456E 789C", "123|?|456|789"},  // no "C"
        {"A123 C12 456E 789C", "123|?|?|789"},   // no "A" after the bank
        {"A123 C12A456 789C", "123|12|?|?"},     // no "E"
        {"A123 C1A456E789C", "123|1|456|?"},     // "E" not followed by a blank
        {"A123 A12C456E 789C", "123|?|?|?"},     // "A" before "C"
        {"A123 C12E456A 789C", "123|?|?|?"},     // "E" before "A"
    };
    for (const auto& [line, pieces] : broken) {
        SCOPED_TRACE("\"" + line + "\"");
        const MicrGroups g = ExtractMicrGroups(line, false, DebugWindowQuery{});
        EXPECT_EQ(g.outcome, MicrOutcome::Failed);
        EXPECT_FALSE(g.usable());
        EXPECT_EQ(g.failure.number, kErrInvalidArgument);
        EXPECT_FALSE(g.failure.description.empty());
        EXPECT_EQ(g.diagnostic, "Regexp failed for " + line);
        EXPECT_TRUE(g.partlyRead);
        EXPECT_EQ(groups(g), pieces);
    }
}

TEST(ExtractMicrGroupsTest, DebugLineAsksTheBankSelectionWindow) {
    test::ScriptedOperatorUi ui;
    ui.debugWindowAnswers.push_back({"12", "345", "000123456"});
    const MicrGroups g = ExtractMicrGroups("DEBUG", false, ui);
    EXPECT_EQ(g.outcome, MicrOutcome::FromDebugWindow);
    EXPECT_EQ(groups(g), "|12|345|000123456");
    EXPECT_EQ(g.diagnostic, "");
    // In Nonus mode too, and only for the exact word.
    ui.debugWindowAnswers.push_back({"4", "5", "6"});
    EXPECT_EQ(ExtractMicrGroups("DEBUG", true, ui).group2, "4");
    EXPECT_NE(ExtractMicrGroups("DEBUG ", false, ui).outcome, MicrOutcome::FromDebugWindow);
    EXPECT_EQ(ui.debugWindowShows, 2);
    EXPECT_EQ(ExtractMicrGroups("DEBUG", false, DebugWindowQuery{}).failure.number,
              kErrNoDebugWindow);
}

TEST(ExtractMicrGroupsTest, FillsTheRawFieldsOfTheCheque) {
    ChequeRecord cheque;
    cheque.Amount = "100";
    ExtractMicrGroups("A0012345C12A456E1234567A", false, DebugWindowQuery{}).fill(cheque);
    EXPECT_EQ(cheque.ChequeNum + "|" + cheque.BankNum + "|" + cheque.BranchNum + "|" +
                  cheque.BranchCode + "|" + cheque.AccountNum + "|" + cheque.Amount,
              "0012345|12|456|456|1234567|100");
}

TEST(ExtractMicrGroupsTest, LongAndBinaryLinesAreSafe) {
    // Noise fails the pattern and then the positional split, or splits into something.
    const MicrGroups g = ExtractMicrGroups(noise(3), false, DebugWindowQuery{});
    EXPECT_NE(g.outcome, MicrOutcome::Recognised);
    EXPECT_TRUE(g.outcome != MicrOutcome::Failed || !g.failure.description.empty());
    EXPECT_EQ(ExtractMicrGroups(noise(3), true, DebugWindowQuery{}).outcome, MicrOutcome::Dropped);
    const std::string longLine = "A" + std::string(1 << 20, '5') + "C12A456E789A";
    const MicrGroups big = ExtractMicrGroups(longLine, false, DebugWindowQuery{});
    ASSERT_EQ(big.outcome, MicrOutcome::Recognised);
    EXPECT_EQ(big.group1.size(), 1u << 20);
    EXPECT_EQ(big.group4, "789");
}

TEST(RegExpTest, SearchesWithScriptingSemantics) {
    // pattern, text, then the whole match and groups 1.. ("<unset>": no span), or none.
    const auto expect = [](const std::string& pattern, const std::string& text,
                           std::optional<std::vector<std::string>> match) {
        SCOPED_TRACE("pattern " + pattern + " on \"" + text + "\"");
        const RegExp re(pattern);
        const auto m = re.search(text);
        ASSERT_EQ(m.has_value(), match.has_value());
        EXPECT_EQ(re.test(text), match.has_value());
        if (!m) return;
        std::vector<std::string> got;
        for (size_t g = 0; g < m->groups.size(); ++g)
            got.push_back(m->groups[g] ? std::string(m->group(g, text)) : "<unset>");
        EXPECT_EQ(got, *match);
    };
    const auto none = std::nullopt;
    expect("abc", "xxabcxx", {{"abc"}});
    expect("^abc", "xxabc", none);
    expect("abc$", "abcx", none);
    expect("abc$", "xabc", {{"abc"}});
    expect("a$", "a\n", none);  // "$" is the end of the whole text
    expect("^$", "", {{""}});
    expect("a.c", "a\nc", none);  // "." stops at a line feed
    expect("a.c", "a\rc", {{"a\rc"}});
    expect("a.c", "a\0c"s, {{"a\0c"s}});
    expect("[a-c]+", "xxbcaz", {{"bca"}});
    expect("[^a-c]+", "abxyc", {{"xy"}});
    expect("[-a]+", "-a-b", {{"-a-"}});
    expect("[a-]+", "a-a", {{"a-a"}});
    expect("[0-9]{2,3}", "a1234", {{"123"}});
    expect("[0-9]{2,}", "a12345b", {{"12345"}});
    expect("[0-9]{2}", "a1b23", {{"23"}});
    expect("x{0,1}y", "xxy", {{"xy"}});
    expect("x?y", "xxy", {{"xy"}});
    expect("(a+)(a*)", "aaa", {{"aaa", "aaa", ""}});
    expect("(a?)(ab)", "ab", {{"ab", "", "ab"}});  // the greedy choice gives way
    expect("([0-9]*)([0-9]{2})", "12345", {{"12345", "123", "45"}});
    expect("([0-9]+)-([0-9]+)", "tel 03-555", {{"03-555", "03", "555"}});
    expect("(a(b)c)d", "xabcd", {{"abcd", "abc", "b"}});
    expect("\\0", "a\0b"s, {{"\0"s}});
    expect("[\\0a]+", "b\0a\0c"s, {{"\0a\0"s}});
    expect("\\.\\*\\?", "a.*?b", {{".*?"}});
    expect("\xE0+", "x\xE0\xE0y", {{"\xE0\xE0"}});  // high bytes are ordinary characters
    expect("[\x80-\xFF]+", "ab\x80\xFF\x01", {{"\x80\xFF"}});
}

// Syntax beyond what the reader's patterns use is refused, not misread.
TEST(RegExpTest, RefusesSyntaxItDoesNotKnow) {
    for (const std::string pattern :
         {"(",   "a)",  "[a",  "a{3,2}", "*a",      "a**", "a*?",     "(a)*", "(?:a)", "a|b",
          "\\d", "\\1", "a\\", "[z-a]",  "a{1001}", "{2}", "a{2}{3}", "a{2",  "a^",    "$a"}) {
        EXPECT_THROW((void)RegExp(pattern), std::invalid_argument) << pattern;
    }
}

// The reader's four patterns against the standard library's ECMAScript engine on many short
// random lines (short, so std::regex is safe): whether they match and every capture agree.
TEST(RegExpTest, AgreesWithStdRegexOnTheReaderPatternsForShortLines) {
    const std::string alphabet = "AACCEE??0123456789  TU-:;<>@_B\0"s;
    std::mt19937 rng(12345);
    const auto pick = [&] { return alphabet[rng() % alphabet.size()]; };
    // Every third line is a cheque-shaped skeleton with some characters changed, so that
    // matches occur.
    for (const auto& [pattern, skeleton] : std::vector<std::pair<std::string, std::string>>{
             {std::string(kMagtekChequePattern), "A12 C34A567E 89A"},
             {std::string(kUsChequePattern), "0123-456 789T012U345"},
             {std::string(kNonusClassifyPattern), ":12<34:567>89<"},
             {std::string(kNonusExtractPattern), ":12<34:567>89<"}}) {
        const RegExp ours(pattern);
        const std::regex theirs(pattern, std::regex::ECMAScript);
        ASSERT_EQ(ours.groupCount(), theirs.mark_count()) << pattern;
        int matchedCount = 0;
        for (int round = 0; round < 3000; ++round) {
            std::string line = round % 3 == 0 ? skeleton : std::string(rng() % 31, ' ');
            for (char& ch : line) {
                if (round % 3 != 0 || rng() % 6 == 0) ch = pick();
            }
            SCOPED_TRACE(pattern + " on \"" + line + "\"");
            std::smatch sm;
            const bool stdMatched = std::regex_search(line, sm, theirs);
            const auto m = ours.search(line);
            ASSERT_EQ(m.has_value(), stdMatched);
            ASSERT_EQ(ours.test(line), stdMatched);
            if (!m) continue;
            ++matchedCount;
            for (size_t g = 0; g <= ours.groupCount(); ++g) {
                const int n = static_cast<int>(g);
                ASSERT_EQ(m->groups[g].has_value(), sm[n].matched) << "group " << g;
                if (m->groups[g]) {
                    EXPECT_EQ(m->groups[g]->position, static_cast<size_t>(sm.position(n)));
                    EXPECT_EQ(std::string(m->group(g, line)), sm.str(n)) << "group " << g;
                }
            }
        }
        EXPECT_GT(matchedCount, 50) << pattern;  // the comparison did exercise matches
    }
}

// A megabyte of anything the reader might send: the engine answers, correctly, without
// exhausting the stack (std::regex would recurse once per character here).
TEST(RegExpTest, LongBinaryAndNulInputIsSafe) {
    constexpr size_t kMiB = 1024 * 1024;
    std::mt19937 rng(7);
    std::string noise(kMiB, 'x');  // never a Magtek line: it starts with neither "A" nor "?"
    for (size_t i = 1; i < kMiB; ++i) noise[i] = static_cast<char>(rng() & 0xFF);
    const RegExp magtek{std::string(kMagtekChequePattern)};
    const RegExp us{std::string(kUsChequePattern)};
    const RegExp nonus{std::string(kNonusClassifyPattern)};
    EXPECT_FALSE(magtek.test(noise));
    EXPECT_FALSE(us.test(noise));
    // A megabyte of digits inside a valid Magtek line: the unbounded group takes it all.
    const std::string longCheque = "A" + std::string(kMiB, '7') + "C12A456E789A";
    const auto m = magtek.search(longCheque);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->groups[1]->length, kMiB);
    EXPECT_EQ(m->group(2, longCheque), "12");
    EXPECT_EQ(m->group(4, longCheque), "789");
    // A megabyte of question marks keeps every thread of the Magtek pattern alive at once.
    EXPECT_TRUE(magtek.test("A" + std::string(kMiB, '?') + "C"));
    EXPECT_TRUE(us.test(std::string(kMiB, '?')));
    EXPECT_FALSE(us.test(std::string(kMiB, '?') + "x"));
    // A megabyte of NUL characters: the NUL of the Nonus class is a character like any other.
    std::string nuls(kMiB, '\0');
    EXPECT_FALSE(nonus.test(nuls));
    nuls.replace(kMiB / 2, 14,
                 "\0"
                 "12<34:5>6<"s);
    const auto nm = nonus.search(nuls);
    ASSERT_TRUE(nm.has_value());
    EXPECT_EQ(nm->group(2, nuls), "34");
    // The unanchored Nonus pattern tried at every position of a megabyte of noise.
    EXPECT_FALSE(nonus.test(noise.substr(0, kMiB / 2) + std::string(kMiB / 2, 'q')));
}

}  // namespace
}  // namespace korvex

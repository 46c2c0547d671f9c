#include "interpret/MicrRecognition.h"
#include "interpret/RegExp.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
// The standard engine serves as the reference on short lines. GCC 12 warns falsely inside its
// header when optimising with sanitizers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop
#include <string>
#include <vector>

#include "support/ScriptedOperatorUi.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using namespace std::string_literals;
using C = InputClass;
// Long enough that a length cap, recursion per character or a quadratic search would show.
constexpr size_t kLong = 1 << 18;

std::string groups(const MicrGroups& g) {
    return g.group1 + "|" + g.group2 + "|" + g.group3 + "|" + g.group4;
}

TEST(ClassifyInputTest, DecidesTheClassInTheOrderOfTheTests) {
    // 28 characters of blanks, dashes and question marks; five "?" with the fifth at 34 (1-based).
    const std::string mixed28 = "??? --- ??????? ---- ????? -";
    const std::string fifthAt34 = "????" + std::string(29, 'x') + "?";
    const auto expect = [](InputClass expected, const std::vector<std::string>& messages,
                           bool nonus = false, int32_t minUnread = 0) {
        for (const auto& m : messages) {
            EXPECT_EQ(ClassifyInput(m, nonus, minUnread), expected)
                << "\"" << m.substr(0, 40) << "\" nonus " << nonus << " minUnread " << minUnread;
        }
    };
    expect(C::MagneticCard, {";1234567890123456=2512?", "%B1234^NAME^25?", ";?"});
    // "?" stands for any symbol or digit, so 27 or 29 of them fit the cheque pattern.
    expect(C::RegularCheque,
           {"AxyzC", "AC", "A123 C12A456E 7890C", "A123 C12A456E 7890A", "A0012345C12A456E1234567A",
            "?0012345C12A456E1234567A", "A0012345C1?A456E1234567?", std::string(27, '?'),
            std::string(29, '?'), std::string(kLong, '?'),
            "A" + std::string(kLong, '1') + "C12A4E7A"});
    expect(C::PostalBankCheque, {"A123C12A456E789B"});
    expect(C::NoMicrDocument,
           {"NO MICR", std::string(28, '?'), mixed28, std::string(28, ' '), std::string(28, '-')});
    expect(C::UnparsedUsCheque, {mixed28.substr(1), mixed28 + "-", "123456789012345",
                                 "T123-456 U789 -0123?", std::string(kLong, '7')});
    expect(C::Unidentified,
           {"", ";1234567890123456=2512", "?1234?", "A", "A0012345C1A456E1234567A", "NO MICR ",
            "no micr", "12345678901234", "T123-456 U789 -0", "T123456789012345X",
            ":0012345<12:456>1234567<", fifthAt34, std::string(kLong, '\0'), "x\x01\xff\0?;=%"s});
    // The count of unread characters, when set.
    expect(C::NoMicrDocument, {std::string(27, '?')}, false, 27);
    expect(C::NoMicrDocument, {fifthAt34}, false, 5);
    expect(C::Unidentified, {"????" + std::string(30, 'x') + "?"}, false, 5);
    // Nonus mode knows its own pattern only.
    expect(C::NonusCheque,
           {":0012345<12:456>1234567<", ": 0012345 <12:456> 1234567 <",
            "\0"
            "0012345<12:456>1234567:"s,
            "@0012345_12_456_1234567_", "xx:0012345<12:456>1234567<"},
           true);
    expect(C::Unidentified,
           {"", ":0012345<1:456>1234567<", "A0012345C12A456E1234567A", "AxyzC", "NO MICR",
            std::string(kLong, '\0')},
           true);
}

TEST(ClassifyInputTest, DisplayNamesAndThePostalBankLine) {
    std::string names;
    for (const C c : {C::Unidentified, C::RegularCheque, C::MagneticCard, C::NoMicrDocument,
                      C::PostalBankCheque, C::UnparsedUsCheque, C::NonusCheque})
        names += InputClassDisplayName(c) + "|";
    EXPECT_EQ(names, cp1255::fromUtf8("לא מזוהה|צ'ק רגיל|כרטיס מגנטי|מסמך ללא דיו מגנטית|"
                                      "צ'ק של בנק הדואר||צ'ק של נונוס|"));
    EXPECT_EQ(PostalBankChequeLine("A123C09A456E789C1B"), "A123C09A456E789C");
    EXPECT_EQ(PostalBankChequeLine("A123B"), "");
}

TEST(ExtractMicrGroupsTest, RecognisesSplitsByPositionOrFails) {
    const auto R = MicrOutcome::Recognised, P = MicrOutcome::ByPosition;
    const auto D = MicrOutcome::Dropped, F = MicrOutcome::Failed;
    struct Case {
        std::string message;
        bool nonus;
        MicrOutcome outcome;
        std::string groups;  // "cheque|bank|branch|account"; for a failure the pieces cut, "?" not
    };
    const std::vector<Case> cases = {
        {"A0012345C12A456E1234567A", false, R, "0012345|12|456|1234567"},
        {"A123 C12A456E 7890C", false, R, "123|12|456|7890"},
        {"A00?2345C1?A456E12?4567?", false, R, "00?2345|1?|456|12?4567"},
        {"A" + std::string(kLong, '5') + "C12A456E789A", false, R,
         std::string(kLong, '5') + "|12|456|789"},
        {"A123 C1A456E 789C", false, P, "123|1|456|789"},
        {"A123  C1A456E  789 C", false, P, "123|1|456|789"},  // a double blank counts as one
        {"A123 CA456E 789C", false, P, "123||456|789"},
        {":0012345<12:456>1234567<", true, R, "0012345|12|456|1234567"},
        {":0012345<1:456>1234567<", true, D, "|||"},
        {"A0012345C12A456E1234567A", true, D, "|||"},
        {"", false, F, "?|?|?|?"},
        {"A", false, F, "?|?|?|?"},
        {"A123C1A456E789C", false, F, "?|1|456|?"},        // no blank after the cheque number
        {"A123 12A456E 789C", false, F, "123|?|456|789"},  // no "C"
        {"A123 C12 456E 789C", false, F, "123|?|?|789"},   // no "A" after the bank
        {"A123 C12A456 789C", false, F, "123|12|?|?"},     // no "E"
        {"A123 C1A456E789C", false, F, "123|1|456|?"},     // "E" not followed by a blank
        {"A123 A12C456E 789C", false, F, "123|?|?|?"},     // "A" before "C"
        {"A123 C12E456A 789C", false, F, "123|?|?|?"},     // "E" before "A"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.message.substr(0, 40) + "\"");
        const MicrGroups g = ExtractMicrGroups(c.message, c.nonus, DebugWindowQuery{});
        EXPECT_EQ(g.outcome, c.outcome);
        EXPECT_EQ(groups(g), c.groups);
        EXPECT_EQ(g.diagnostic, c.outcome == R ? "" : "Regexp failed for " + c.message);
        EXPECT_EQ(g.partlyRead, c.outcome == F);
        EXPECT_EQ(g.failure.number, c.outcome == F ? kErrInvalidArgument : 0);
    }
}

TEST(ExtractMicrGroupsTest, DebugLineAsksTheBankSelectionWindow) {
    test::ScriptedOperatorUi ui;
    ui.debugWindowAnswers.push_back({"12", "345", "000123456"});
    const MicrGroups g = ExtractMicrGroups("DEBUG", false, ui);
    EXPECT_EQ(g.outcome, MicrOutcome::FromDebugWindow);
    EXPECT_EQ(groups(g), "|12|345|000123456");
    EXPECT_EQ(g.diagnostic, "");
    // Only for the exact word.
    EXPECT_NE(ExtractMicrGroups("DEBUG ", false, ui).outcome, MicrOutcome::FromDebugWindow);
    EXPECT_EQ(ui.debugWindowShows, 1);
    EXPECT_EQ(ExtractMicrGroups("DEBUG", false, DebugWindowQuery{}).failure.number,
              kErrNoDebugWindow);
}

TEST(RegExpTest, AnchorsAtTheWholeTextAndRefusesOtherSyntax) {
    // The reader's patterns are compared with std::regex below; here what they do not show.
    EXPECT_TRUE(RegExp("abc$").test("xabc"));
    EXPECT_FALSE(RegExp("a$").test("a\n"));    // "$" is the end of the whole text
    EXPECT_FALSE(RegExp("a.c").test("a\nc"));  // "." stops at a line feed
    for (const std::string pattern :           // syntax the reader's patterns do not use is refused
         {"(",   "a)",  "[a",  "a{3,2}", "*a",      "a**", "a*?",     "(a)*", "(?:a)", "a|b", "\\d",
          "\\A", "\\1", "a\\", "[z-a]",  "a{1001}", "{2}", "a{2}{3}", "a{2",  "a^",    "$a"}) {
        EXPECT_THROW((void)RegExp(pattern), std::invalid_argument) << pattern;
    }
}

// The reader's four patterns against the standard library's engine on short random lines (short,
// so std::regex is safe): whether they match and every capture agree.
TEST(RegExpTest, AgreesWithStdRegexOnTheReaderPatternsForShortLines) {
    const std::string alphabet = "AACCEE??0123456789  TU-:;<>@_B\0"s;
    std::mt19937 rng(12345);
    for (const auto& [pattern, skeleton] : std::vector<std::pair<std::string_view, std::string>>{
             {kMagtekChequePattern, "A12 C34A567E 89A"},
             {kUsChequePattern, "0123-456 789T012U345"},
             {kNonusClassifyPattern, ":12<34:567>89<"},
             {kNonusExtractPattern, ":12<34:567>89<"}}) {
        const RegExp ours(pattern);
        const std::regex theirs(std::string(pattern), std::regex::ECMAScript);
        ASSERT_EQ(ours.groupCount(), theirs.mark_count());
        int matched = 0;
        for (int round = 0; round < 3000; ++round) {
            // Every third line is the skeleton with some characters changed, so that some match.
            std::string line = round % 3 == 0 ? skeleton : std::string(rng() % 31, ' ');
            for (char& ch : line)
                if (round % 3 != 0 || rng() % 6 == 0) ch = alphabet[rng() % alphabet.size()];
            std::smatch sm;
            const auto m = ours.search(line);
            ASSERT_EQ(m.has_value(), std::regex_search(line, sm, theirs)) << pattern << line;
            ASSERT_EQ(ours.test(line), m.has_value());
            for (size_t g = 0; m && g <= theirs.mark_count(); ++g) {
                ASSERT_EQ(m->groups.at(g).has_value(), sm[int(g)].matched) << pattern << line;
                if (!m->groups[g]) continue;
                EXPECT_EQ(m->groups[g]->position, size_t(sm.position(int(g)))) << pattern << line;
                EXPECT_EQ(m->group(g, line), sm.str(int(g))) << pattern << line;
            }
            matched += m.has_value();
        }
        EXPECT_GT(matched, 50) << pattern;  // the comparison did exercise matches
    }
}

// Long lines: one pass, no recursion per character. std::regex would overflow the stack here, and
// a search that retries at each position (a megabyte of digits) would run past the time limit.
TEST(RegExpTest, LongLinesAreSearchedInOnePass) {
    const RegExp magtek{kMagtekChequePattern}, us{kUsChequePattern}, nonus{kNonusClassifyPattern};
    EXPECT_FALSE(nonus.test(std::string(1 << 20, '0')));
    EXPECT_TRUE(magtek.test("A" + std::string(kLong, '?') + "C"));
    EXPECT_FALSE(us.test(std::string(kLong, '?') + "x"));
}

}  // namespace
}  // namespace korvex

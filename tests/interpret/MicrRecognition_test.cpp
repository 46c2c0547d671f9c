#include "interpret/MicrRecognition.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/ScriptedOperatorUi.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using namespace std::string_literals;

struct ClassCase {
    std::string message;
    bool nonus;
    int32_t minUnread;
    InputClass expected;
    const char* why;
};

TEST(ClassifyInputTest, DecidesTheClassInTheOrderOfTheTests) {
    const std::string q28(28, '?');
    // 28 characters of blanks, dashes and question marks, and the same one shorter or longer.
    const std::string mixed28 = "??? --- ??????? ---- ????? -";
    ASSERT_EQ(mixed28.size(), 28u);
    // Five "?" with the fifth at position 34 (1-based), then at position 35.
    const std::string fifthAt34 = "????" + std::string(29, 'x') + "?";
    const std::string fifthAt35 = "????" + std::string(30, 'x') + "?";
    ASSERT_EQ(fifthAt34.size(), 34u);

    const std::vector<ClassCase> cases = {
        {"", false, 0, InputClass::Unidentified, "empty, Magtek mode"},
        {"", true, 0, InputClass::Unidentified, "empty, Nonus mode"},
        {";1234567890123456=2512?", false, 0, InputClass::MagneticCard, "track 2"},
        {"%B1234^NAME^25?", false, 0, InputClass::MagneticCard, "track 1"},
        {";?", false, 0, InputClass::MagneticCard, "just the sentinels"},
        {";1234567890123456=2512", false, 0, InputClass::Unidentified, "no end sentinel"},
        {"?1234?", false, 0, InputClass::Unidentified, "wrong start sentinel"},
        {"AxyzC", false, 0, InputClass::RegularCheque, "A...C needs no digits"},
        {"AC", false, 0, InputClass::RegularCheque, "A...C, nothing between"},
        {"A", false, 0, InputClass::Unidentified, "a lone A"},
        {"A123 C12A456E 7890C", false, 0, InputClass::RegularCheque, "test 2, spaces inside"},
        {"A123 C12A456E 7890A", false, 0, InputClass::RegularCheque, "the pattern without spaces"},
        {"A0012345C12A456E1234567A", false, 0, InputClass::RegularCheque, "plain Magtek line"},
        {"?0012345C12A456E1234567A", false, 0, InputClass::RegularCheque, "unread first symbol"},
        {"A0012345C1?A456E1234567?", false, 0, InputClass::RegularCheque, "unread digits"},
        {"A0012345C1A456E1234567A", false, 0, InputClass::Unidentified, "bank of one digit"},
        {"A123C12A456E789B", false, 0, InputClass::PostalBankCheque, "A...B"},
        {"NO MICR", false, 0, InputClass::NoMicrDocument, "the word"},
        {"NO MICR ", false, 0, InputClass::Unidentified, "trailing blank: not the word"},
        {"no micr", false, 0, InputClass::Unidentified, "the word is case-sensitive"},
        {q28, false, 0, InputClass::NoMicrDocument, "28 question marks"},
        // Question marks stand for any symbol or digit, so 27 or 29 of them fit the cheque pattern.
        {std::string(27, '?'), false, 0, InputClass::RegularCheque, "27 question marks"},
        {std::string(29, '?'), false, 0, InputClass::RegularCheque, "29 question marks"},
        {std::string(27, '?'), false, 27, InputClass::NoMicrDocument, "27 by the count test"},
        {mixed28, false, 0, InputClass::NoMicrDocument, "28 blanks, dashes, question marks"},
        {mixed28.substr(1), false, 0, InputClass::UnparsedUsCheque, "27 of them"},
        {mixed28 + "-", false, 0, InputClass::UnparsedUsCheque, "29 of them"},
        {std::string(28, ' '), false, 0, InputClass::NoMicrDocument, "28 blanks"},
        {std::string(28, '-'), false, 0, InputClass::NoMicrDocument, "28 dashes"},
        {fifthAt34, false, 5, InputClass::NoMicrDocument, "fifth ? at 34"},
        {fifthAt35, false, 5, InputClass::Unidentified, "fifth ? at 35"},
        {fifthAt34, false, 0, InputClass::Unidentified, "count test off"},
        {fifthAt34, false, -3, InputClass::Unidentified, "negative setting: off"},
        {"?x", false, 1, InputClass::NoMicrDocument, "setting 1"},
        {"123456789012345", false, 0, InputClass::UnparsedUsCheque, "15 digits"},
        {"12345678901234", false, 0, InputClass::Unidentified, "14 digits"},
        {"T123-456 U789 -0123?", false, 0, InputClass::UnparsedUsCheque, "US symbols"},
        {"T123-456 U789 -0", false, 0, InputClass::Unidentified, "14 without blanks"},
        {"T123456789012345X", false, 0, InputClass::Unidentified, "foreign letter"},
        {":0012345<12:456>1234567<", true, 0, InputClass::NonusCheque, "Nonus line"},
        {": 0012345 <12:456> 1234567 <", true, 0, InputClass::NonusCheque, "Nonus, blanks"},
        {"\0"
         "0012345<12:456>1234567:"s,
         true, 0, InputClass::NonusCheque, "NUL first"},
        {"@0012345_12_456_1234567_", true, 0, InputClass::NonusCheque, "other symbols"},
        {"xx:0012345<12:456>1234567<", true, 0, InputClass::NonusCheque, "not anchored"},
        {":0012345<1:456>1234567<", true, 0, InputClass::Unidentified, "Nonus bank of one"},
        {"A0012345C12A456E1234567A", true, 0, InputClass::Unidentified,
         "Magtek line in Nonus mode"},
        {"AxyzC", true, 0, InputClass::Unidentified, "no other test in Nonus mode"},
        {"NO MICR", true, 0, InputClass::Unidentified, "no other test in Nonus mode"},
        {":0012345<12:456>1234567<", false, 0, InputClass::Unidentified, "Nonus line, Magtek mode"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ClassifyInput(c.message, c.nonus, c.minUnread), c.expected)
            << "\"" << c.message << "\"";
    }
}

TEST(ClassifyInputTest, NeverFailsOnAMegabyteOfNoise) {
    constexpr size_t kMiB = 1024 * 1024;
    std::mt19937 rng(99);
    std::string noise(kMiB, '\0');
    for (char& c : noise) c = static_cast<char>(rng() & 0xFF);
    noise[0] = 'x';
    EXPECT_EQ(ClassifyInput(noise, false, 0), InputClass::Unidentified);
    EXPECT_EQ(ClassifyInput(noise, true, 0), InputClass::Unidentified);
    EXPECT_EQ(ClassifyInput(std::string(kMiB, '\0'), false, 5), InputClass::Unidentified);
    EXPECT_EQ(ClassifyInput(std::string(kMiB, '\0'), true, 5), InputClass::Unidentified);
    // Long but well formed lines are still recognised.
    EXPECT_EQ(ClassifyInput("A" + std::string(kMiB, '1') + "C12A456E789A", false, 0),
              InputClass::RegularCheque);
    EXPECT_EQ(ClassifyInput(std::string(kMiB, '7'), false, 0), InputClass::UnparsedUsCheque);
    EXPECT_EQ(ClassifyInput(std::string(kMiB, '?'), false, 0), InputClass::RegularCheque);
    EXPECT_EQ(ClassifyInput(std::string(kMiB, '-'), false, 0), InputClass::UnparsedUsCheque);
}

TEST(ClassifyInputTest, DisplayNamesAreTheDetailsWindowTexts) {
    EXPECT_EQ(cp1255::toUtf8(InputClassDisplayName(InputClass::Unidentified)), "לא מזוהה");
    EXPECT_EQ(cp1255::toUtf8(InputClassDisplayName(InputClass::RegularCheque)), "צ'ק רגיל");
    EXPECT_EQ(cp1255::toUtf8(InputClassDisplayName(InputClass::MagneticCard)), "כרטיס מגנטי");
    EXPECT_EQ(cp1255::toUtf8(InputClassDisplayName(InputClass::NoMicrDocument)),
              "מסמך ללא דיו מגנטית");
    EXPECT_EQ(cp1255::toUtf8(InputClassDisplayName(InputClass::PostalBankCheque)),
              "צ'ק של בנק הדואר");
    EXPECT_EQ(InputClassDisplayName(InputClass::UnparsedUsCheque), "");
    EXPECT_EQ(cp1255::toUtf8(InputClassDisplayName(InputClass::NonusCheque)), "צ'ק של נונוס");
    // One byte a Hebrew letter in the code page.
    EXPECT_EQ(InputClassDisplayName(InputClass::Unidentified).size(), 8u);
}

TEST(PostalBankChequeLineTest, CutsAfterTheLastC) {
    EXPECT_EQ(PostalBankChequeLine("A123C09A456E789C1B"), "A123C09A456E789C");
    EXPECT_EQ(PostalBankChequeLine("A123C1B"), "A123C");
    EXPECT_EQ(PostalBankChequeLine("A123B"), "");
}

struct GroupsCase {
    std::string message;
    bool nonus;
    MicrOutcome outcome;
    std::vector<std::string> groups;  // empty when the outcome carries none
    bool logged;                      // "Regexp failed for " expected
};

TEST(ExtractMicrGroupsTest, RecognisesOrSplitsByPosition) {
    const std::vector<GroupsCase> cases = {
        {"A0012345C12A456E1234567A",
         false,
         MicrOutcome::Recognised,
         {"0012345", "12", "456", "1234567"},
         false},
        {"A123 C12A456E 7890C",
         false,
         MicrOutcome::Recognised,
         {"123", "12", "456", "7890"},
         false},
        {"A00?2345C1?A456E12?4567?",
         false,
         MicrOutcome::Recognised,
         {"00?2345", "1?", "456", "12?4567"},
         false},
        {"A123 C1A456E 789C", false, MicrOutcome::ByPosition, {"123", "1", "456", "789"}, true},
        // Several blanks: a double blank becomes one before the split.
        {"A123  C1A456E  789 C", false, MicrOutcome::ByPosition, {"123", "1", "456", "789"}, true},
        {"AA123 C1A456E 789C", false, MicrOutcome::ByPosition, {"123", "1", "456", "789"}, true},
        {"A123 CA456E 789C", false, MicrOutcome::ByPosition, {"123", "", "456", "789"}, true},
        {":0012345<12:456>1234567<",
         true,
         MicrOutcome::Recognised,
         {"0012345", "12", "456", "1234567"},
         false},
        {": 0012345 <12:456> 1234567 :",
         true,
         MicrOutcome::Recognised,
         {"0012345", "12", "456", "1234567"},
         false},
        // Whatever stands before the match is not part of any group.
        {"\0"
         ":0012345<12:456>1234567<"s,
         true,
         MicrOutcome::Recognised,
         {"0012345", "12", "456", "1234567"},
         false},
        {":0012345<1:456>1234567<", true, MicrOutcome::Dropped, {}, true},
        {"A0012345C12A456E1234567A", true, MicrOutcome::Dropped, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.message + "\"");
        const MicrGroups g = ExtractMicrGroups(c.message, c.nonus, DebugWindowQuery{});
        EXPECT_EQ(g.outcome, c.outcome);
        if (!c.groups.empty()) {
            EXPECT_TRUE(g.usable());
            EXPECT_EQ(g.group1, c.groups[0]);
            EXPECT_EQ(g.group2, c.groups[1]);
            EXPECT_EQ(g.group3, c.groups[2]);
            EXPECT_EQ(g.group4, c.groups[3]);
        } else {
            EXPECT_FALSE(g.usable());
        }
        EXPECT_EQ(g.diagnostic, c.logged ? "Regexp failed for " + c.message : "");
    }
}

TEST(ExtractMicrGroupsTest, PositionalSplitFailsWhenASeparatorIsMissing) {
    // The pieces whose separators stand in order are kept for the operator; "?" marks the rest.
    const std::vector<std::pair<std::string, std::vector<std::string>>> broken = {
        {"", {"?", "?", "?", "?"}},                         // nothing to cut
        {"A", {"?", "?", "?", "?"}},                        // one character
        {"A123C1A456E789C", {"?", "1", "456", "?"}},        // no blank after the cheque number
        {"A123 12A456E 789C", {"123", "?", "456", "789"}},  // no "C"
        {"A123 C12 456E 789C", {"123", "?", "?", "789"}},   // no "A" after the bank
        {"A123 C12A456 789C", {"123", "12", "?", "?"}},     // no "E"
        {"A123 C1A456E789C", {"123", "1", "456", "?"}},     // "E" not followed by a blank
        {"A123 A12C456E 789C", {"123", "?", "?", "?"}},     // "A" before "C"
        {"A123 C12E456A 789C", {"123", "?", "?", "?"}},     // "E" before "A"
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
        EXPECT_EQ((std::vector<std::string>{g.group1, g.group2, g.group3, g.group4}), pieces);
    }
}

TEST(ExtractMicrGroupsTest, DebugLineAsksTheBankSelectionWindow) {
    test::ScriptedOperatorUi ui;
    ui.debugWindowAnswers.push_back({"12", "345", "000123456"});
    const MicrGroups g = ExtractMicrGroups("DEBUG", false, ui);
    EXPECT_EQ(ui.debugWindowShows, 1);
    EXPECT_EQ(g.outcome, MicrOutcome::FromDebugWindow);
    EXPECT_EQ(g.group1, "");
    EXPECT_EQ(g.group2, "12");
    EXPECT_EQ(g.group3, "345");
    EXPECT_EQ(g.group4, "000123456");
    EXPECT_EQ(g.diagnostic, "");

    // In Nonus mode too, and only for the exact word.
    ui.debugWindowAnswers.push_back({"4", "5", "6"});
    EXPECT_EQ(ExtractMicrGroups("DEBUG", true, ui).group2, "4");
    EXPECT_EQ(ui.debugWindowShows, 2);
    EXPECT_NE(ExtractMicrGroups("DEBUG ", false, ui).outcome, MicrOutcome::FromDebugWindow);
    EXPECT_EQ(ui.debugWindowShows, 2);

    const MicrGroups none = ExtractMicrGroups("DEBUG", false, DebugWindowQuery{});
    EXPECT_EQ(none.outcome, MicrOutcome::Failed);
    EXPECT_EQ(none.failure.number, kErrNoDebugWindow);
}

TEST(ExtractMicrGroupsTest, FillsTheRawFieldsOfTheCheque) {
    ChequeRecord cheque;
    cheque.Amount = "100";
    ExtractMicrGroups("A0012345C12A456E1234567A", false, DebugWindowQuery{}).fill(cheque);
    EXPECT_EQ(cheque.ChequeNum, "0012345");
    EXPECT_EQ(cheque.BankNum, "12");
    EXPECT_EQ(cheque.BranchNum, "456");
    EXPECT_EQ(cheque.BranchCode, "456");
    EXPECT_EQ(cheque.AccountNum, "1234567");
    EXPECT_EQ(cheque.Amount, "100");
}

TEST(ExtractMicrGroupsTest, LongAndBinaryLinesAreSafe) {
    constexpr size_t kMiB = 1024 * 1024;
    std::mt19937 rng(3);
    std::string noise(kMiB, '\0');
    for (char& c : noise) c = static_cast<char>(rng() & 0xFF);
    noise[0] = 'x';
    // Noise fails the pattern and then the positional split, or splits into something; either
    // way it comes back as a result, and a failure carries its description.
    const MicrGroups g = ExtractMicrGroups(noise, false, DebugWindowQuery{});
    EXPECT_NE(g.outcome, MicrOutcome::Recognised);
    if (g.outcome == MicrOutcome::Failed) {
        EXPECT_FALSE(g.failure.description.empty());
    }
    EXPECT_EQ(ExtractMicrGroups(noise, true, DebugWindowQuery{}).outcome, MicrOutcome::Dropped);

    const std::string longLine = "A" + std::string(kMiB, '5') + "C12A456E789A";
    const MicrGroups big = ExtractMicrGroups(longLine, false, DebugWindowQuery{});
    ASSERT_EQ(big.outcome, MicrOutcome::Recognised);
    EXPECT_EQ(big.group1.size(), kMiB);
    EXPECT_EQ(big.group4, "789");
}

}  // namespace
}  // namespace korvex

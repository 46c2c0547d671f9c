#include "interpret/FieldRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "interpret/MicrDigits.h"

namespace korvex {
namespace {

struct RuleCase {
    std::string text;
    FieldRule rule;
    std::string expected;
};

TEST(FieldRulesTest, CutZerosAndFlipInThatOrder) {
    const std::vector<RuleCase> cases = {
        // The sample profile's cheque-number rule.
        {"0001234", {-13, 13, 0, false}, "1234"},
        {"00000000000000123456", {-13, 13, 0, false}, "123456"},  // last 13: 0000000123456
        {"1", {1, 2, -1, false}, "1"},
        {"123", {5, 3, -1, false}, ""},
        {"123456", {5, -2, -1, false}, "45"},
        {"123456", {-1, -3, -1, false}, "456"},
        {"123456789", {-3, 2, -1, false}, "78"},  // the sample branch-code rule
        {"123456", {1, 3, -1, false}, "123"},
        {"123456", {2, 99, -1, false}, "23456"},
        {"123456", {3, -3, -1, false}, "123"},  // a window that ends exactly at 3
        {"123456", {-2, -2, -1, false}, "45"},
        {"123456", {-6, -1, -1, false}, "1"},
        {"123", {-7, 2, -1, false}, "12"},  // more than the text asked from the end
        {"123", {1, 0, -1, false}, ""},
        {"123", {-1, 0, -1, false}, ""},
        {"", {1, 5, -1, false}, ""},
        // Leading zeros.
        {"123", {1, 6, -2, false}, "000123"},
        {"12345678", {1, 6, -2, false}, "123456"},  // cut first, then nothing to pad
        {"000123", {1, 6, 0, false}, "123"},
        {"0000", {1, 4, 0, false}, "0"},
        {"000123", {1, 6, 2, false}, "00123"},
        {"0000", {1, 4, 2, false}, "00"},
        {"00012", {1, 5, 3, false}, "00012"},
        {"00012", {1, 5, 1, false}, "012"},
        {"?0012", {1, 5, 0, false}, "?0012"},  // "?" is not a zero
        {"0", {1, 1, 0, false}, "0"},
        {"000123", {1, 6, -1, false}, "000123"},
        {"000123", {1, 6, -7, false}, "000123"},  // any other negative rule keeps every zero
        // Flip after the rest.
        {"12345", {1, 5, -1, true}, "54321"},
        {"", {1, 5, -1, true}, ""},
        {"00123", {1, 5, 0, true}, "321"},
        {"123", {1, 6, -2, true}, "321000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\" start " + std::to_string(c.rule.start) + " length " +
                     std::to_string(c.rule.length) + " zeros " +
                     std::to_string(c.rule.leadingZeros));
        const FieldResult r = ApplyFieldRule(c.text, c.rule);
        ASSERT_TRUE(r.ok()) << r.failure->description;
        EXPECT_EQ(r.text, c.expected);
    }
}

TEST(FieldRulesTest, PaddingUsesTheFieldLengthNotTheText) {
    // ApplyLeadingZeros on its own: the length is the field's Length, whatever the text.
    EXPECT_EQ(ApplyLeadingZeros("12345678", -2, 6).text, "12345678");
    EXPECT_EQ(ApplyLeadingZeros("7", -2, 3).text, "007");
    EXPECT_EQ(ApplyLeadingZeros("7", -2, -5).text, "7");
    EXPECT_EQ(FlipField("12345", false), "12345");
}

TEST(FieldRulesTest, AWindowBeforeTheFirstCharacterFails) {
    const std::vector<std::pair<int32_t, int32_t>> invalid = {
        {0, 3},           // start 0
        {0, 0},           //
        {0, -1},          // ends at 0
        {2, -3},          // begins at 0
        {-2, -5},         // "123": 3 - 2 - 5 + 2 = -2
        {INT32_MIN, -1},  // extreme settings do not overflow
        {1, INT32_MIN},  {INT32_MIN, INT32_MIN},
    };
    for (const auto& [start, length] : invalid) {
        SCOPED_TRACE(std::to_string(start) + ", " + std::to_string(length));
        const FieldResult r = CutField("123", start, length);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.failure->number, kErrInvalidArgument);
        EXPECT_NE(r.failure->description.find("start"), std::string::npos);
    }
    // Extreme values that still describe a valid window.
    EXPECT_EQ(CutField("123", INT32_MIN, INT32_MAX).text, "123");
    EXPECT_EQ(CutField("123", 1, INT32_MAX).text, "123");
    EXPECT_EQ(CutField("123", INT32_MAX, -5).text, "");
    EXPECT_EQ(CutField("123", INT32_MAX, 5).text, "");
}

TEST(FieldRulesTest, HugeInputsStayCheap) {
    const std::string zeros(1 << 20, '0');
    EXPECT_EQ(ApplyLeadingZeros(zeros, 0, 0).text, "0");
    EXPECT_EQ(ApplyLeadingZeros(zeros, INT32_MAX, 0).text.size(), zeros.size());
    EXPECT_EQ(ApplyLeadingZeros(zeros + "1", 3, 0).text, "0001");
    // Padding to an absurd length is a broken setting, reported instead of allocating.
    const FieldResult tooLong = ApplyLeadingZeros("1", -2, INT32_MAX);
    ASSERT_FALSE(tooLong.ok());
    EXPECT_EQ(tooLong.failure->number, kErrFieldTooLong);
    EXPECT_EQ(ApplyLeadingZeros("1", -2, kMaxFieldLength).text.size(),
              static_cast<size_t>(kMaxFieldLength));
}

TEST(FieldRulesTest, TrimsTheAccountToItsBanksLength) {
    struct Case {
        int32_t bank;
        std::string account, expected;
    };
    const std::vector<Case> cases = {
        {12, "0000123456789", "456789"},
        {99, "0000123456789", "0000123456789"},
        {31, "0000123456789", "123456789"},
        {4, "0000123456789", "456789"},
        {9, "0000123456789", "3456789"},
        {10, "0000123456789", "23456789"},
        {13, "0000123456789", "23456789"},
        {20, "0000123456789", "456789"},
        {34, "0000123456789", "23456789"},
        {52, "0000123456789", "123456789"},
        {54, "0000123456789", "123456789"},
        {11, "12345", "12345"},  // shorter than the bank keeps: whole
        {0, "0000123456789", "0000123456789"},
        {100, "0000123456789", "0000123456789"},
        {-12, "0000123456789", "0000123456789"},
        {1012, "0000123456789", "0000123456789"},
        {12, "12345?789", "45?789"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("bank " + std::to_string(c.bank));
        EXPECT_EQ(TrimAccountToBankLength(c.account, c.bank), c.expected);
    }
    // The whole table: every other bank from 0 to 100 keeps its account.
    const std::vector<int32_t> listed = {4, 9, 10, 11, 12, 13, 14, 17, 20, 31, 34, 46, 52, 54};
    for (int32_t bank = 0; bank <= 100; ++bank) {
        const bool isListed = std::find(listed.begin(), listed.end(), bank) != listed.end();
        EXPECT_EQ(AccountDigitsForBank(bank) > 0, isListed) << bank;
    }
}

TEST(FieldRulesTest, ChequeFieldsFollowTheProfile) {
    ProfileSettings p;  // the sample profile's rules
    p.ChequeNumStart = -13, p.ChequeNumLength = 13, p.ChequeNumLeadingZeros = 0;
    p.ChequeBankNumStart = 1, p.ChequeBankNumLength = 2, p.ChequeBankNumLeadingZeros = -1;
    p.ChequeBranchNumStart = 1, p.ChequeBranchNumLength = 3, p.ChequeBranchNumLeadingZeros = -1;
    p.ChequeBranchCodeStart = -2, p.ChequeBranchCodeLength = 2, p.ChequeBranchCodeLeadingZeros = -1;
    p.ChequeAccountNumStart = -13, p.ChequeAccountNumLength = 13,
    p.ChequeAccountNumLeadingZeros = 0;
    p.TrimAccountByBank = true;

    ChequeRecord cheque;
    cheque.ChequeNum = "0001234";
    cheque.BankNum = "12";
    cheque.BranchNum = "345";
    cheque.BranchCode = "345";
    cheque.AccountNum = "0000123456789";
    ASSERT_FALSE(ApplyChequeFieldRules(cheque, p).has_value());
    EXPECT_EQ(cheque.ChequeNum, "1234");
    EXPECT_EQ(cheque.BankNum, "12");
    EXPECT_EQ(cheque.BranchNum, "345");
    EXPECT_EQ(cheque.BranchCode, "45");
    EXPECT_EQ(cheque.AccountNum, "456789");

    // Without the trim the account keeps its digits, less its leading zeros.
    ChequeRecord untrimmed = {};
    untrimmed.BankNum = "12";
    untrimmed.AccountNum = "0000123456789";
    untrimmed.ChequeNum = untrimmed.BranchNum = untrimmed.BranchCode = "1";
    p.TrimAccountByBank = false;
    ASSERT_FALSE(ApplyChequeFieldRules(untrimmed, p).has_value());
    EXPECT_EQ(untrimmed.AccountNum, "123456789");

    // A broken rule stops at its field with the failure; earlier fields are done.
    p.ChequeBranchNumStart = 0;
    ChequeRecord broken = {};
    broken.ChequeNum = "0007";
    broken.BranchNum = "345";
    const auto failure = ApplyChequeFieldRules(broken, p);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->number, kErrInvalidArgument);
    EXPECT_EQ(broken.ChequeNum, "7");
    EXPECT_EQ(broken.BranchNum, "345");

    // The magnetic-stripe rules read their own keys.
    p.MagStripe2Part1Start = 3, p.MagStripe2Part1Length = 4, p.MagStripe2Part1LeadingZeros = -2;
    p.MagStripe2Part1Flip = true;
    const FieldRule mag = MagStripe2Part1Rule(p);
    EXPECT_EQ(mag.start, 3);
    EXPECT_EQ(mag.length, 4);
    EXPECT_EQ(mag.leadingZeros, -2);
    EXPECT_TRUE(mag.flip);
    p.MagStripe2Part2Length = 9;
    EXPECT_EQ(MagStripe2Part2Rule(p).length, 9);
}

TEST(MicrDigitsTest, ReadsLeadingNumbersAndSingleDigits) {
    struct Case {
        std::string text;
        int32_t value;
    };
    const std::vector<Case> cases = {
        {"12", 12}, {" 1 2", 12}, {"12?3", 12},
        {"?12", 0}, {"", 0},      {"abc", 0},
        {"007", 7}, {"-5", 0},    {"99999999999999", INT32_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(LeadingDigitsValue(c.text), c.value) << c.text;
    EXPECT_EQ(DigitAt("1?3", 1), 1);
    EXPECT_EQ(DigitAt("1?3", 2), 0);
    EXPECT_EQ(DigitAt("1?3", 3), 3);
    EXPECT_EQ(DigitAt("1?3", 4), 0);
    EXPECT_EQ(DigitAt("1?3", 0), 0);
}

}  // namespace
}  // namespace korvex

#include "interpret/FieldRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "interpret/MicrDigits.h"

namespace korvex {
namespace {

std::vector<std::string> fields(const std::string& row) {
    std::vector<std::string> out;
    std::istringstream in(row);
    for (std::string f; std::getline(in, f, ',');) out.push_back(f);
    if (row.back() == ',') out.emplace_back();
    return out;
}

TEST(FieldRulesTest, CutZerosAndFlipInThatOrder) {
    // Rows "text,start,length,leadingZeros,flip,expected": first the window (the sample profile's
    // rules -13,13 and -3,2 among them), then leading zeros ("?" is not a zero; -2 pads to the
    // length; other negatives keep every zero), then the flip after the rest.
    std::istringstream cases(
        "0001234,-13,13,0,0,1234 00000000000000123456,-13,13,0,0,123456 1,1,2,-1,0,1 123,5,3,-1,0, "
        "123456,5,-2,-1,0,45 123456,-1,-3,-1,0,456 123456789,-3,2,-1,0,78 123456,1,3,-1,0,123 "
        "123456,2,99,-1,0,23456 123456,3,-3,-1,0,123 123456,-2,-2,-1,0,45 123456,-6,-1,-1,0,1 "
        "123,-7,2,-1,0,12 123,1,0,-1,0, 123,-1,0,-1,0, ,1,5,-1,0, "
        "123,1,6,-2,0,000123 12345678,1,6,-2,0,123456 000123,1,6,0,0,123 0000,1,4,0,0,0 "
        "000123,1,6,2,0,00123 0000,1,4,2,0,00 00012,1,5,3,0,00012 00012,1,5,1,0,012 "
        "?0012,1,5,0,0,?0012 0,1,1,0,0,0 000123,1,6,-1,0,000123 0123,1,6,-7,0,0123 "
        "12345,1,5,-1,1,54321 ,1,5,-1,1, 00123,1,5,0,1,321 123,1,6,-2,1,321000");
    for (std::string row; cases >> row;) {
        SCOPED_TRACE(row);
        const auto f = fields(row);
        const FieldRule rule{std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]), f[4] == "1"};
        const FieldResult r = ApplyFieldRule(f[0], rule);
        ASSERT_TRUE(r.ok()) << r.failure->description;
        EXPECT_EQ(r.text, f[5]);
    }
    // Padding uses the field's length, whatever the text.
    EXPECT_EQ(ApplyLeadingZeros("12345678", -2, 6).text, "12345678");
    EXPECT_EQ(ApplyLeadingZeros("7", -2, 3).text, "007");
    EXPECT_EQ(ApplyLeadingZeros("7", -2, -5).text, "7");
}

TEST(FieldRulesTest, AWindowBeforeTheFirstCharacterFails) {
    // "123": 2,-3 begins at 0; -2,-5 at 3 - 2 - 5 + 2 = -2; extreme settings do not overflow.
    const std::pair<int32_t, int32_t> windows[] = {
        {0, 3},   {0, 0},          {0, -1},        {2, -3},
        {-2, -5}, {INT32_MIN, -1}, {1, INT32_MIN}, {INT32_MIN, INT32_MIN}};
    for (const auto& [start, length] : windows) {
        SCOPED_TRACE(std::to_string(start) + ", " + std::to_string(length));
        const FieldResult r = CutField("123", start, length);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.failure->number, kErrInvalidArgument);
        EXPECT_NE(r.failure->description.find("start"), std::string::npos);
    }
    EXPECT_EQ(CutField("123", INT32_MIN, INT32_MAX).text, "123");  // a valid extreme window
}

TEST(FieldRulesTest, PaddingBeyondTheLimitIsRefused) {
    // Padding to an absurd length is a broken setting, reported instead of allocating.
    EXPECT_EQ(ApplyLeadingZeros("1", -2, INT32_MAX).failure->number, kErrFieldTooLong);
    EXPECT_EQ(ApplyLeadingZeros("1", -2, kMaxFieldLength).text.size(), size_t{kMaxFieldLength});
}

TEST(FieldRulesTest, TrimsTheAccountToItsBanksLength) {
    // Rows "bank,expected" for the account 0000123456789; every other bank keeps it whole.
    std::istringstream cases(
        "12,456789 99,0000123456789 31,123456789 4,456789 9,3456789 10,23456789 13,23456789 "
        "20,456789 34,23456789 52,123456789 54,123456789 0,0000123456789 1012,0000123456789");
    for (std::string row; cases >> row;) {
        const auto f = fields(row);
        EXPECT_EQ(TrimAccountToBankLength("0000123456789", std::stoi(f[0])), f[1]) << row;
    }
    EXPECT_EQ(TrimAccountToBankLength("12345", 11), "12345");  // shorter than the bank keeps
    EXPECT_EQ(TrimAccountToBankLength("12345?789", 12), "45?789");
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
    const auto apply = [&p](bool trim) {
        ChequeRecord c;
        c.ChequeNum = "0001234", c.BankNum = "12", c.BranchNum = c.BranchCode = "345";
        c.AccountNum = "0000123456789";
        p.TrimAccountByBank = trim;
        EXPECT_FALSE(ApplyChequeFieldRules(c, p).has_value());
        return c.ChequeNum + "|" + c.BankNum + "|" + c.BranchNum + "|" + c.BranchCode + "|" +
               c.AccountNum;
    };
    EXPECT_EQ(apply(true), "1234|12|345|45|456789");
    EXPECT_EQ(apply(false), "1234|12|345|45|123456789");
}

TEST(MicrDigitsTest, ReadsLeadingNumbersAndSingleDigits) {
    const std::pair<std::string, int32_t> values[] = {
        {"12", 12}, {" 1 2", 12}, {"12?3", 12},
        {"?12", 0}, {"", 0},      {"abc", 0},
        {"007", 7}, {"-5", 0},    {"99999999999999", INT32_MAX}};
    for (const auto& [text, value] : values) {
        EXPECT_EQ(LeadingDigitsValue(text), value) << text;
    }
    std::string digits;  // positions 0 to 4 of "1?3"; "?" and positions outside read as 0
    for (int i = 0; i <= 4; ++i) digits += std::to_string(DigitAt("1?3", i));
    EXPECT_EQ(digits, "01030");
}

}  // namespace
}  // namespace korvex

#include "interpret/ChequeVerification.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvex {
namespace {

// Accepted results per bank and branch range, chosen so that every rule below has a valid and
// an invalid example. A record accepting 0 through its unused fields accepts 0 as well.
const char* const kTable =
    "4,100,199,0,0,0,0\n"
    "12,300,399,7,0,0,0\n"
    "12,400,499,5,5,5,5\n"
    "12,400,499,6,0,6,6\n"  // a second record for the same range adds result 0
    "14,200,200,1,0,0,0\n"
    "28,1,999,7,0,0,0\n"
    "46,300,399,0,0,0,0\n"
    "20,1,399,3,0,0,0\n"
    "20,401,401,8,0,0,0\n"
    "20,500,599,5,0,0,0\n"
    "7,100,199,3,0,0,0\n"
    "9,1,999,0,0,0,0\n"
    "10,800,899,35,0,0,0\n"
    "13,100,199,43,0,0,0\n"
    "34,200,299,55,0,0,0\n"
    "11,100,199,0,4,6,8\n"
    "17,700,799,0,0,0,0\n"
    "33,300,399,10,0,0,0\n"
    "31,900,999,5,0,0,0\n"
    "52,400,499,1,2,3,5\n"
    "19,1,999,0,0,0,0\n"
    "22,1,999,0,0,0,0\n"
    "99,1,999,0,0,0,0\n"
    "3,1,999,0,0,0,0\n"
    "5,1,999,0,0,0,0\n"
    "53,1,999,0,0,0,0\n";

struct VerifyCase {
    std::string bank, branch, account;
    int32_t expected;
    const char* why;
};

class ChequeVerificationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(table.parse(kTable).ok); }
    BranchTable table;
};

TEST_F(ChequeVerificationTest, EveryBankRuleOnWorkedExamples) {
    const std::vector<VerifyCase> cases = {
        // Banks 4, 12, 14, 28, 46: w = branch + account positions 4-9, weights 1..9 from the
        // right, r = sum mod 11, judged by the table.
        {"12", "345", "000123456", 0,
         "w 345123456: 6*1+5*2+4*3+3*4+2*5+1*6+5*7+4*8+3*9 = 150, r = 7, listed"},
        {"12", "345", "000123457", 1, "w 345123457: sum 151, r = 8, not listed"},
        {"12", "450", "000123456", 0,
         "w 450123456: 6+10+12+12+10+6+0*7+5*8+4*9 = 132, r = 0, listed by the second record"},
        {"4", "123", "000456789", 0, "w 123456789: 9*1+8*2+...+1*9 = 165, r = 0"},
        {"4", "123", "000456780", 1, "w 123456780: sum 156, r = 2"},
        {"14", "200", "000111222", 0, "w 200111222: 2+4+6+4+5+6+0+0+18 = 45, r = 1"},
        {"14", "200", "000111223", 1, "w 200111223: 3+4+6+4+5+6+0+0+18 = 46, r = 2"},
        {"28", "050", "000987654", 0, "w 050987654: 4+10+18+28+40+54+0+40+0 = 194, r = 7"},
        {"28", "050", "000987655", 1, "w 050987655: sum 195, r = 8"},
        {"46", "321", "000246810", 0, "w 321246810: 0+2+24+24+20+12+7+16+27 = 132, r = 0"},
        {"46", "321", "000246811", 1, "w 321246811: sum 133, r = 1"},
        // Bank 20: the same with the adjusted branch; the table by the branch as read.
        {"20", "401", "000123456", 0,
         "computes with 001: w 001123456: 6+10+12+12+10+6+7+0+0 = 63, r = 8, listed for 401 "
         "(with 401 itself r would be 0; a lookup with 001 would find only result 3)"},
        {"20", "123", "000123456", 0, "w 123123456: 6+10+12+12+10+6+21+16+9 = 102, r = 3"},
        {"20", "123", "000123457", 1, "w 123123457: sum 103, r = 4"},
        {"20", "523", "000654321", 0,
         "523 computes as 123: w 123654321: 1+4+9+16+25+36+21+16+9 = 137, r = 5"},
        {"20", "523", "000654320", 1, "w 123654320: sum 136, r = 4"},
        // Bank 7: w = branch + account (12 digits), weights 1,2,1,2.. from the right, products
        // above 9 replaced by their digit sum, r = sum mod 10.
        {"7", "159", "000357951", 0,
         "w 159000357951 from the right: 1, 5*2=10->1, 9, 7*2=14->5, 5, 3*2=6, 0, 0, 0, 9*2=18->9, "
         "5, 1*2=2: 43, r = 3"},
        {"7", "159", "000357952", 1, "last product 2 instead of 1: 44, r = 4"},
        // Bank 9: account positions 3-9, weights 1..7 from the left, r = sum mod 10.
        {"9", "100", "001234567", 0, "1+4+9+16+25+36+49 = 140, r = 0"},
        {"9", "100", "001234568", 1, "1+4+9+16+25+36+56 = 147, r = 7"},
        // Banks 10, 13, 34: w = branch + account positions 2-7, weights 2..10 from the right,
        // r = (sum + the number at positions 8 and 9) mod 100.
        {"10", "800", "012345678", 0,
         "w 800123456: 12+15+16+15+12+7+0+0+80 = 157; +78 = 235, r = 35"},
        {"10", "800", "012345679", 1, "157 + 79 = 236, r = 36"},
        {"13", "101", "098765432", 0,
         "w 101987654: 8+15+24+35+48+63+8+0+10 = 211; +32 = 243, r = 43"},
        {"13", "101", "098765433", 1, "211 + 33 = 244, r = 44"},
        {"34", "250", "011223344", 0, "w 250112233: 6+9+8+10+6+7+0+45+20 = 111; +44 = 155, r = 55"},
        {"34", "250", "011223345", 1, "111 + 45 = 156, r = 56"},
        // Banks 11, 17, 33, 31, 52: the account, weights 1..9 from the right, r = sum mod 11.
        {"11", "150", "123456789", 0, "9+16+21+24+25+24+21+16+9 = 165, r = 0"},
        {"11", "150", "123456780", 1, "sum 156, r = 2 (the record lists 0, 4, 6, 8)"},
        {"17", "777", "000013579", 0, "9+14+15+12+5 = 55, r = 0"},
        {"17", "777", "000013578", 1, "8+14+15+12+5 = 54, r = 10"},
        {"33", "333", "314159265", 0, "5+12+6+36+25+6+28+8+27 = 153, r = 10"},
        {"33", "333", "314159267", 1, "7+12+6+36+25+6+28+8+27 = 155, r = 1"},
        {"31", "999", "271828182", 0, "2+16+3+32+10+48+7+56+18 = 192, r = 5"},
        {"31", "999", "271828183", 1, "sum 193, r = 6"},
        {"52", "404", "161803398", 0, "8+18+9+12+0+48+7+48+9 = 159, r = 5, the fourth accepted"},
        {"52", "404", "161803399", 1, "sum 160, r = 6"},
        // Bank 19: account positions 4-8, weights 2..6 from the left, r = sum mod 10, against
        // the last digit.
        {"19", "123", "000123450", 0, "1*2+2*3+3*4+4*5+5*6 = 70, r = 0 = last digit"},
        {"19", "123", "000123455", 1, "r = 0, last digit 5"},
        // Bank 22: positions 8..3 weigh 2..7, position 2 weighs 2, position 1 weighs 3;
        // r = 11 - (sum mod 11), against the last digit.
        {"22", "111", "123456785", 0,
         "8*2+7*3+6*4+5*5+4*6+3*7+2*2+1*3 = 138, 138 mod 11 = 6, r = 5"},
        {"22", "111", "123456789", 1, "r = 5, last digit 9"},
        {"22", "111", "000000000", 1, "sum 0, r = 11: no digit equals it"},
        {"22", "111", "000000060", 1, "6*2 = 12, 12 mod 11 = 1, r = 10: no digit equals it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("bank ") + c.bank + " branch " + c.branch + " account " +
                     c.account + ": " + c.why);
        EXPECT_EQ(VerifyCheque(table, c.bank, c.branch, c.account, false), c.expected);
    }
}

TEST_F(ChequeVerificationTest, CodesForWhatCannotBeChecked) {
    const std::vector<VerifyCase> cases = {
        {"", "345", "000123456", 888, "empty bank"},
        {"1x", "345", "000123456", 888, "bank not a number"},
        {"?2", "345", "000123456", 888, "unread bank digit"},
        {"99999", "345", "000123456", 888, "bank beyond 16 bits"},
        {"12", "500", "000123456", 555, "bank with a rule, branch without a record"},
        {"12", "", "000123456", 555, "no branch"},
        {"12", "34", "000123456", 555, "a short branch counts as 034"},
        {"8", "100", "000123456", 555, "bank in no record"},
        {"99", "100", "000123456", 999, "bank above 52, in the table"},
        {"99", "1000", "000123456", 999, "first three of the branch: 100"},
        {"3", "100", "000123456", 999, "bank below 4, in the table"},
        {"5", "100", "000123456", 999, "bank within 4-52 without a rule"},
        {"53", "100", "000123456", 999, "bank 53"},
        {"99", "0", "000123456", 555, "the table is asked before the rule"},
        {" 12 ", "345", "000123456", 0, "blanks around the bank"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(VerifyCheque(table, c.bank, c.branch, c.account, false), c.expected);
    }
}

TEST_F(ChequeVerificationTest, BranchAndAccountAreNormalised) {
    const std::vector<VerifyCase> cases = {
        {"12", "345", "999000123456", 0, "12 digits: the last nine, 000123456, r = 7"},
        {"12", "345", "123456", 0, "6 digits: padded to 000123456"},
        {"12", "3456", "000123456", 0, "4-digit branch: 345 in the rule and the lookup"},
        {"20", "4011", "000123456", 0, "4-digit branch 401: computes with 001"},
        {"12", "345", "", 1, "empty account: 000000000, w 345000000, 0+..+5*7+4*8+3*9 = 94, r = 6"},
        {"12", "345", "00012345?", 1, "a ? counts as 0: w 345123450, sum 144, r = 1"},
        {"12", "345", std::string(1 << 20, '7') + "000123456", 0, "a megabyte account"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(VerifyCheque(table, c.bank, c.branch, c.account, false), c.expected);
    }
}

TEST_F(ChequeVerificationTest, IgnoreVerifyPassesEverything) {
    EXPECT_EQ(VerifyCheque(table, "", "", "", true), 0);
    EXPECT_EQ(VerifyCheque(table, "x", "y", "z", true), 0);
    EXPECT_EQ(VerifyCheque(table, "12", "345", "000123457", true), 0);
    EXPECT_EQ(VerifyCheque(table, "12", "345", "000123457", false), 1);
}

TEST_F(ChequeVerificationTest, AnEmptyTableGives555) {
    BranchTable empty;
    EXPECT_EQ(VerifyCheque(empty, "12", "345", "000123456", false), 555);
    EXPECT_EQ(VerifyCheque(empty, "99", "345", "000123456", false), 555);
    EXPECT_EQ(VerifyCheque(empty, "", "345", "000123456", false), 888);
}

TEST(ComputeCheckResultTest, ResultsAndHowTheyAreJudged) {
    const auto r12 = ComputeCheckResult(12, "345", "000123456");
    ASSERT_TRUE(r12.has_value());
    EXPECT_EQ(r12->result, 7);
    EXPECT_EQ(r12->comparison, CheckComparison::Table);
    const auto r19 = ComputeCheckResult(19, "123", "000123455");
    ASSERT_TRUE(r19.has_value());
    EXPECT_EQ(r19->result, 0);  // 2 + 6 + 12 + 20 + 30 = 70
    EXPECT_EQ(r19->comparison, CheckComparison::LastDigit);
    EXPECT_EQ(ComputeCheckResult(22, "111", "000000000")->result, 11);
    EXPECT_EQ(ComputeCheckResult(22, "111", "000000000")->comparison, CheckComparison::LastDigit);
    for (int bank : {0, 1, 3, 5, 6, 8, 15, 21, 23, 30, 53, 54, 99}) {
        EXPECT_FALSE(ComputeCheckResult(bank, "123", "000123456").has_value()) << bank;
    }
    for (int bank : {4, 7, 9, 10, 11, 12, 13, 14, 17, 19, 20, 22, 28, 31, 33, 34, 46, 52}) {
        EXPECT_TRUE(ComputeCheckResult(bank, "123", "000123456").has_value()) << bank;
    }
}

TEST(Bank20BranchTest, AboveFourHundredLessFourHundredInThreeDigits) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"523", "123"}, {"405", "005"}, {"401", "001"}, {"400", "400"},
        {"123", "123"}, {"999", "599"}, {"4?1", "4?1"},  // "4?1" reads as 4
    };
    for (const auto& [branch, expected] : cases)
        EXPECT_EQ(Bank20ComputationBranch(branch), expected) << branch;
}

}  // namespace
}  // namespace korvex

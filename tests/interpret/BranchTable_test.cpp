#include "interpret/BranchTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "interpret/ChequeVerification.h"
#include "support/CoreHarness.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

fs::path fixture(const std::string& name) {
    return fs::path(KORVEX_TEST_DATA) / "interpret" / name;
}

// The records as "bank,first,last,accept1,accept2,accept3,accept4 ...".
std::string flatten(const BranchTable& t) {
    std::string out;
    for (const BranchRecord& r : t.records()) {
        for (const int16_t v :
             {r.Bank, r.FirstBranch, r.LastBranch, r.Accept1, r.Accept2, r.Accept3, r.Accept4})
            out += std::to_string(v) + ",";
        out.back() = ' ';
    }
    return out;
}

TEST(BranchTableTest, ReadsRecordsSevenValuesAtATime) {
    BranchTable t;
    // A file of the test data ("@name") or a text: blank lines, a record over two lines, a BOM.
    for (const auto& [text, records] : std::vector<std::pair<std::string, std::string>>{
             {"@branches_crlf.txt",
              "4,100,199,0,0,0,0 12,300,399,7,0,0,0 12,400,499,1,2,3,4 20,401,401,8,0,0,0 "},
             {"@branches_blank_lines.txt", "4,100,199,0,0,0,0 12,300,399,7,0,0,0 "},
             {"1,2,3,4,5,6,7", "1,2,3,4,5,6,7 "},  // no line end after the last record
             {"1,2,3,4,5,6,7,8,9,10,11,12,13,14\n", "1,2,3,4,5,6,7 8,9,10,11,12,13,14 "},
             {"-32768,+32767,0,-1,007,0,0", "-32768,32767,0,-1,7,0,0 "},
             {"\xEF\xBB\xBF"
              "1,2,3,4,5,6,7\r\n",
              "1,2,3,4,5,6,7 "}}) {
        SCOPED_TRACE(text);
        const BranchTableLoad r =
            text.rfind('@', 0) == 0 ? t.load(fixture(text.substr(1))) : t.parse(text);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(flatten(t), records);
    }
}

TEST(BranchTableTest, BrokenFilesFailAndLeaveTheTableEmpty) {
    // A file of the test data ("line:error part:file") or a text.
    for (const auto& text :
         {"3:4 of its 7:branches_partial_last.txt"s, "2:39x:branches_not_a_number.txt"s,
          "2:32768:branches_beyond_16_bits.txt"s, "2:\\x00:branches_binary.txt"s, "1,2,3,4,5,6"s,
          "1,2,3,4,5,6,7,8"s, "1,,3,4,5,6,7"s, "1,2,3,4,5,6,7,"s, "1,2,3,4,5,6,-32769"s,
          "1,2,3,4,5,6,1.5"s, "1,2,3,4,5,6,&H10"s, "1,2,3,4,5,6,7 8"s}) {
        SCOPED_TRACE(text.substr(0, 40));
        BranchTable t;
        ASSERT_TRUE(t.parse("1,2,3,4,5,6,7").ok);
        const std::size_t colon = text.find(':'), file = text.rfind(':') + 1;
        const BranchTableLoad r =
            colon == std::string::npos ? t.parse(text) : t.load(fixture(text.substr(file)));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(t.count(), 0u);
        if (colon == std::string::npos) continue;
        EXPECT_EQ(r.line, std::stoul(text.substr(0, colon)));
        EXPECT_NE(r.error.find(text.substr(colon + 1, file - colon - 2)), std::string::npos)
            << r.error;
    }
}

TEST(BranchTableTest, MissingAndHugeFilesFail) {
    test::TempFolder dir;
    BranchTable t;
    EXPECT_FALSE(t.load(dir / "absent.txt").ok);
    // One byte over the limit is refused before it is read.
    dir.write("huge.txt", "");
    fs::resize_file(dir / "huge.txt", BranchTable::kMaxFileSize + 1);
    EXPECT_NE(t.load(dir / "huge.txt").error.find("larger"), std::string::npos);
}

TEST(BranchTableTest, TheMainWindowLoadsTheFileFromTheProgramFolderAndFollowsTheProfile) {
    test::CoreHarness h;
    h.writeBranches("12,300,399,7,0,0,0\r\n");
    ASSERT_TRUE(h.form->LoadBranchTable());
    EXPECT_EQ(h.form->VerifyCheque("12", "345", "000123457"), 1);
    h.setProfile([&](ProfileSettings& p) { p.IgnoreVerify = true; });
    EXPECT_EQ(h.form->VerifyCheque("12", "345", "000123457"), 0);
}

TEST(BranchTableTest, TheShippedSampleTableHasARecordForEveryBankWithARule) {
    BranchTable t;
    const BranchTableLoad r =
        t.load(fs::path(KORVEX_SOURCE_DIR) / "src" / "resources" / kBranchTableFileName);
    ASSERT_TRUE(r.ok) << r.error << " line " << r.line;
    for (int bank : {4, 7, 9, 10, 11, 12, 13, 14, 17, 19, 20, 22, 28, 31, 33, 34, 46, 52}) {
        bool found = false;
        for (const BranchRecord& rec : t.records()) found = found || rec.Bank == bank;
        EXPECT_TRUE(found) << "bank " << bank;
    }
}

// Accepted results per bank and branch range, chosen so that every rule below has a valid and
// an invalid example. A record accepting 0 through its unused fields accepts 0 as well; a second
// record for the same range (12, 400-499) adds result 0.
const char* const kTable =
    "4,100,199,0,0,0,0\n12,300,399,7,0,0,0\n12,400,499,5,5,5,5\n12,400,499,6,0,6,6\n"
    "14,200,200,1,0,0,0\n28,1,999,7,0,0,0\n46,300,399,0,0,0,0\n20,1,399,3,0,0,0\n"
    "20,401,401,8,0,0,0\n20,500,599,5,0,0,0\n7,100,199,3,0,0,0\n9,1,999,0,0,0,0\n"
    "10,800,899,35,0,0,0\n13,100,199,43,0,0,0\n34,200,299,55,0,0,0\n11,100,199,0,4,6,8\n"
    "17,700,799,0,0,0,0\n33,300,399,10,0,0,0\n31,900,999,5,0,0,0\n52,400,499,1,2,3,5\n"
    "19,1,999,0,0,0,0\n22,1,999,0,0,0,0\n99,1,999,0,0,0,0\n3,1,999,0,0,0,0\n5,1,999,0,0,0,0\n"
    "53,1,999,0,0,0,0\n";

TEST(ChequeVerification, EveryRuleAndCodeOnWorkedExamples) {
    BranchTable table;
    ASSERT_TRUE(table.parse(kTable).ok);
    // Two rows per rule, one valid and one not; then 888 (no bank number), 555 (no record; the
    // table is asked before the rule), 999 (a record but no rule), and the normalising: the last
    // nine account digits, padded; the branch's first three; "?" counts as 0. Rows
    // "bank/branch/account=expected".
    std::istringstream cases(
        "12/345/000123456=0 12/345/000123457=1 12/450/000123456=0 4/123/000456789=0 "
        "4/123/000456780=1 14/200/000111222=0 14/200/000111223=1 28/050/000987654=0 "
        "28/050/000987655=1 46/321/000246810=0 46/321/000246811=1 20/401/000123456=0 "
        "20/123/000123456=0 20/123/000123457=1 20/523/000654321=0 20/523/000654320=1 "
        "7/159/000357951=0 7/159/000357952=1 9/100/001234567=0 9/100/001234568=1 "
        "10/800/012345678=0 10/800/012345679=1 13/101/098765432=0 13/101/098765433=1 "
        "34/250/011223344=0 34/250/011223345=1 11/150/123456789=0 11/150/123456780=1 "
        "17/777/000013579=0 17/777/000013578=1 33/333/314159265=0 33/333/314159267=1 "
        "31/999/271828182=0 31/999/271828183=1 52/404/161803398=0 52/404/161803399=1 "
        "19/123/000123450=0 19/123/000123455=1 22/111/123456785=0 22/111/123456789=1 "
        "22/111/000000000=1 22/111/000000060=1 /345/000123456=888 1x/345/000123456=888 "
        "?2/345/000123456=888 99999/345/000123456=888 12/500/000123456=555 12//000123456=555 "
        "12/34/000123456=555 8/100/000123456=555 99/100/000123456=999 99/1000/000123456=999 "
        "3/100/000123456=999 5/100/000123456=999 53/100/000123456=999 99/0/000123456=555 "
        "12/345/999000123456=0 12/345/123456=0 12/3456/000123456=0 20/4011/000123456=0 "
        "12/345/=1 12/345/00012345?=1");
    for (std::string c; cases >> c;) {
        SCOPED_TRACE(c);
        const std::size_t slash1 = c.find('/'), slash2 = c.find('/', slash1 + 1), eq = c.find('=');
        const std::string bank = c.substr(0, slash1),
                          branch = c.substr(slash1 + 1, slash2 - slash1 - 1);
        const std::string account = c.substr(slash2 + 1, eq - slash2 - 1);
        EXPECT_EQ(VerifyCheque(table, bank, branch, account, false), std::stoi(c.substr(eq + 1)));
        EXPECT_EQ(VerifyCheque(table, bank, branch, account, true), 0);  // IgnoreVerify
    }
    EXPECT_EQ(VerifyCheque(table, " 12 ", "345", "000123456", false), 0);
}

TEST(ComputeCheckResultTest, ResultsAndHowTheyAreJudged) {
    EXPECT_EQ(ComputeCheckResult(12, "345", "000123456")->result, 7);
    EXPECT_EQ(ComputeCheckResult(12, "345", "000123456")->comparison, CheckComparison::Table);
    EXPECT_EQ(ComputeCheckResult(22, "111", "000000000")->result, 11);
    EXPECT_EQ(ComputeCheckResult(22, "111", "000000000")->comparison, CheckComparison::LastDigit);
    for (int bank : {0, 1, 3, 5, 6, 8, 15, 21, 23, 30, 53, 54, 99})
        EXPECT_FALSE(ComputeCheckResult(bank, "123", "000123456").has_value()) << bank;
}

TEST(Bank20BranchTest, AboveFourHundredLessFourHundredInThreeDigits) {
    // "4?1" reads as 4.
    for (const std::string row :
         {"523=123", "405=005", "401=001", "400=400", "123=123", "999=599", "4?1=4?1"})
        EXPECT_EQ(Bank20ComputationBranch(row.substr(0, 3)), row.substr(4)) << row;
}

}  // namespace
}  // namespace korvex

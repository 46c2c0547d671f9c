#include "interpret/BranchTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

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
    // Blank lines anywhere, and a record that runs over two lines.
    for (const auto& [file, records] : std::vector<std::pair<std::string, std::string>>{
             {"branches_crlf.txt",
              "4,100,199,0,0,0,0 12,300,399,7,0,0,0 12,400,499,1,2,3,4 20,401,401,8,0,0,0 "},
             {"branches_blank_lines.txt", "4,100,199,0,0,0,0 12,300,399,7,0,0,0 "}}) {
        const BranchTableLoad r = t.load(fixture(file));
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(flatten(t), records);
    }
    for (const auto& [text, records] : std::vector<std::pair<std::string, std::string>>{
             {"", ""},
             {"\n\r\n", ""},
             {"1,2,3,4,5,6,7", "1,2,3,4,5,6,7 "},  // no line end after the last record
             {"1,2,3,4,5,6,7,8,9,10,11,12,13,14\n", "1,2,3,4,5,6,7 8,9,10,11,12,13,14 "},
             {"1\n2\n3\n4\n5\n6\n7\n", "1,2,3,4,5,6,7 "},
             {"-32768,+32767,0,-1,007,0,0", "-32768,32767,0,-1,7,0,0 "},
             {"\xEF\xBB\xBF"
              "1,2,3,4,5,6,7\r\n",
              "1,2,3,4,5,6,7 "}}) {  // byte-order mark
        SCOPED_TRACE(text);
        ASSERT_TRUE(t.parse(text).ok);
        EXPECT_EQ(flatten(t), records);
        EXPECT_EQ(t.count(), t.records().size());
    }
}

TEST(BranchTableTest, BrokenFilesFailAndLeaveTheTableEmpty) {
    struct Case {
        std::string file;
        size_t line;
        std::string errorPart;
    };
    for (const auto& c : std::vector<Case>{{"branches_partial_last.txt", 3, "4 of its 7"},
                                           {"branches_not_a_number.txt", 2, "39x"},
                                           {"branches_beyond_16_bits.txt", 2, "32768"},
                                           {"branches_binary.txt", 2, "\\x00"}}) {
        SCOPED_TRACE(c.file);
        BranchTable t;
        ASSERT_TRUE(t.parse("1,2,3,4,5,6,7").ok);
        const BranchTableLoad r = t.load(fixture(c.file));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.line, c.line);
        EXPECT_NE(r.error.find(c.errorPart), std::string::npos) << r.error;
        EXPECT_EQ(t.count(), 0u);
    }
    for (const auto& text :
         {"1,2,3,4,5,6"s, "1,2,3,4,5,6,7,8"s, "1,,3,4,5,6,7"s, "1,2,3,4,5,6,7,"s,
          "1,2,3,4,5,6,-32769"s, "1,2,3,4,5,6,99999999999999999999"s, "1,2,3,4,5,6,1.5"s,
          "1,2,3,4,5,6,&H10"s, "1,2,3,4,5,6,1e2"s, "1,2,3,4,5,6,+"s, "1,2,3,4,5,6,7 8"s,
          "1,2,3,4,5,6,\0"s, ","s, "1;2;3;4;5;6;7"s, std::string(1 << 20, '9')}) {
        SCOPED_TRACE(text.substr(0, 40));
        BranchTable t;
        ASSERT_TRUE(t.parse("1,2,3,4,5,6,7").ok);
        const BranchTableLoad r = t.parse(text);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.empty());
        EXPECT_EQ(t.count(), 0u);
    }
}

TEST(BranchTableTest, MissingHugeAndRandomFilesNeverCrash) {
    test::TempFolder dir;
    BranchTable t;
    EXPECT_FALSE(t.load(dir / "absent.txt").ok);
    EXPECT_FALSE(t.load(dir.path()).ok);  // a folder is not a table
    // One byte over the limit is refused before it is read.
    dir.write("huge.txt", "");
    fs::resize_file(dir / "huge.txt", BranchTable::kMaxFileSize + 1);
    EXPECT_NE(t.load(dir / "huge.txt").error.find("larger"), std::string::npos);
    std::mt19937 rng(5);
    std::string noise(1 << 20, '\0');
    for (char& c : noise) c = static_cast<char>(rng() & 0xFF);
    dir.write("noise.txt", noise);
    EXPECT_FALSE(t.load(dir / "noise.txt").ok);
    // Many valid records load in full.
    std::string many;
    for (int i = 0; i < 20000; ++i) many += std::to_string(i % 100) + ",1,999,0,1,2,3\n";
    dir.write("many.txt", many);
    ASSERT_TRUE(t.load(dir / "many.txt").ok);
    EXPECT_EQ(t.count(), 20000u);
}

TEST(BranchTableTest, LookupFindsTheBankOfTheFirstCoveringRecord) {
    BranchTable t;
    ASSERT_TRUE(t.parse("12,300,399,7,0,0,0\n12,400,499,1,0,0,0\n20,401,401,8,0,0,0\n").ok);
    struct Case {
        std::string bank, branch;
        int32_t expected;
    };
    for (const auto& c : std::vector<Case>{{"12", "345", 12},
                                           {"12", "300", 12},
                                           {"12", "399", 12},
                                           {"12", "499", 12},
                                           {"12", "299", 0},
                                           {"12", "500", 0},
                                           {"11", "345", 0},
                                           {"12", "3456", 12},
                                           {"12", "34", 0},
                                           {"012", "345", 12},
                                           {" 12", "345 ", 12},
                                           {"12?", "345", 12},
                                           {"?2", "345", 0},
                                           {"", "", 0},
                                           {"20", "401", 20},
                                           {"20", "1", 0}}) {
        EXPECT_EQ(t.LookupBranch(c.bank, c.branch), c.expected) << c.bank << " / " << c.branch;
    }
}

TEST(BranchTableTest, TheMainWindowLoadsTheFileFromTheProgramFolder) {
    test::CoreHarness h;
    frmKorvex& main = *h.form;
    EXPECT_FALSE(main.LoadBranchTable());  // no file yet
    // Without a table every cheque is 555, unless verification is off.
    EXPECT_EQ(main.VerifyCheque("12", "345", "000123456"), 555);
    h.writeBranches("12,300,399,7,0,0,0\r\n");
    ASSERT_TRUE(main.LoadBranchTable());
    EXPECT_EQ(main.VerifyCheque("12", "345", "000123456"), 0);
    EXPECT_EQ(main.VerifyCheque("12", "345", "000123457"), 1);
    main.profile().IgnoreVerify = true;
    EXPECT_EQ(main.VerifyCheque("", "", ""), 0);
    main.profile().IgnoreVerify = false;
    h.writeBranches("12,300,399,7,0,0\r\n");  // partial record
    EXPECT_FALSE(main.LoadBranchTable());
    EXPECT_EQ(main.VerifyCheque("12", "345", "000123456"), 555);
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

}  // namespace
}  // namespace korvex

#include "interpret/BranchTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/frmKorvex.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

fs::path fixture(const std::string& name) {
    return fs::path(KORVEX_TEST_DATA) / "interpret" / name;
}

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path_ = fs::temp_directory_path() /
                ("korvex-branches-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    fs::path write(const std::string& name, const std::string& content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
        return path_ / name;
    }

private:
    fs::path path_;
};

std::vector<int16_t> flatten(const BranchTable& t) {
    std::vector<int16_t> out;
    for (const BranchRecord& r : t.records()) {
        out.insert(out.end(), {r.Bank, r.FirstBranch, r.LastBranch, r.Accept1, r.Accept2, r.Accept3,
                               r.Accept4});
    }
    return out;
}

TEST(BranchTableTest, ReadsRecordsSevenValuesAtATime) {
    BranchTable t;
    const BranchTableLoad crlf = t.load(fixture("branches_crlf.txt"));
    ASSERT_TRUE(crlf.ok) << crlf.error;
    EXPECT_EQ(flatten(t),
              (std::vector<int16_t>{4,  100, 199, 0, 0, 0, 0, 12, 300, 399, 7, 0, 0, 0,
                                    12, 400, 499, 1, 2, 3, 4, 20, 401, 401, 8, 0, 0, 0}));

    // Blank lines anywhere, and a record that runs over two lines.
    const BranchTableLoad blank = t.load(fixture("branches_blank_lines.txt"));
    ASSERT_TRUE(blank.ok) << blank.error;
    EXPECT_EQ(flatten(t),
              (std::vector<int16_t>{4, 100, 199, 0, 0, 0, 0, 12, 300, 399, 7, 0, 0, 0}));

    struct Case {
        std::string text;
        std::vector<int16_t> values;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"\n\r\n", {}},
        {"1,2,3,4,5,6,7", {1, 2, 3, 4, 5, 6, 7}},  // no line end after the last record
        {"1,2,3,4,5,6,7,8,9,10,11,12,13,14\n", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {"1\n2\n3\n4\n5\n6\n7\n", {1, 2, 3, 4, 5, 6, 7}},
        {"-32768,+32767,0,-1,007,0,0", {-32768, 32767, 0, -1, 7, 0, 0}},
        {"\xEF\xBB\xBF"
         "1,2,3,4,5,6,7\r\n",
         {1, 2, 3, 4, 5, 6, 7}},  // byte-order mark
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const BranchTableLoad r = t.parse(c.text);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(flatten(t), c.values);
        EXPECT_EQ(t.count(), c.values.size() / 7);
    }
}

TEST(BranchTableTest, BrokenFilesFailAndLeaveTheTableEmpty) {
    struct Case {
        std::string file;
        size_t line;
        std::string errorPart;
    };
    const std::vector<Case> cases = {
        {"branches_partial_last.txt", 3, "4 of its 7"},
        {"branches_not_a_number.txt", 2, "39x"},
        {"branches_beyond_16_bits.txt", 2, "32768"},
        {"branches_binary.txt", 2, "\\x00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        BranchTable t;
        ASSERT_TRUE(t.parse("1,2,3,4,5,6,7").ok);
        const BranchTableLoad r = t.load(fixture(c.file));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.line, c.line);
        EXPECT_NE(r.error.find(c.errorPart), std::string::npos) << r.error;
        EXPECT_EQ(t.count(), 0u);
    }
    const std::vector<std::string> broken = {
        "1,2,3,4,5,6",
        "1,2,3,4,5,6,7,8",
        "1,,3,4,5,6,7",
        "1,2,3,4,5,6,7,",
        "1,2,3,4,5,6,-32769",
        "1,2,3,4,5,6,99999999999999999999",
        "1,2,3,4,5,6,1.5",
        "1,2,3,4,5,6,&H10",
        "1,2,3,4,5,6,1e2",
        "1,2,3,4,5,6,+",
        "1,2,3,4,5,6,7 8",
        "1,2,3,4,5,6,\0"s,
        ",",
        "1;2;3;4;5;6;7",
    };
    for (const auto& text : broken) {
        SCOPED_TRACE(text);
        BranchTable t;
        const BranchTableLoad r = t.parse(text);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.empty());
        EXPECT_EQ(t.count(), 0u);
    }
}

TEST(BranchTableTest, MissingHugeAndRandomFilesNeverCrash) {
    TempFolder dir;
    BranchTable t;
    EXPECT_FALSE(t.load(dir.path() / "absent.txt").ok);
    EXPECT_FALSE(t.load(dir.path()).ok);  // a folder is not a table

    // One byte over the limit is refused before it is read.
    const fs::path huge = dir.path() / "huge.txt";
    {
        std::ofstream out(huge, std::ios::binary);
        out.seekp(static_cast<std::streamoff>(BranchTable::kMaxFileSize));
        out.put('\n');
    }
    const BranchTableLoad r = t.load(huge);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("larger"), std::string::npos) << r.error;

    // A megabyte of random bytes, and a megabyte-long line of digits.
    std::mt19937 rng(5);
    std::string noise(1 << 20, '\0');
    for (char& c : noise) c = static_cast<char>(rng() & 0xFF);
    EXPECT_FALSE(t.load(dir.write("noise.txt", noise)).ok);
    EXPECT_FALSE(t.parse(std::string(1 << 20, '9')).ok);
    EXPECT_EQ(t.count(), 0u);

    // Many valid records load in full.
    std::string many;
    for (int i = 0; i < 20000; ++i) many += std::to_string(i % 100) + ",1,999,0,1,2,3\n";
    ASSERT_TRUE(t.load(dir.write("many.txt", many)).ok);
    EXPECT_EQ(t.count(), 20000u);
}

TEST(BranchTableTest, LookupFindsTheBankOfTheFirstCoveringRecord) {
    BranchTable t;
    ASSERT_TRUE(t.parse("12,300,399,7,0,0,0\n12,400,499,1,0,0,0\n20,401,401,8,0,0,0\n").ok);
    struct Case {
        std::string bank, branch;
        int32_t expected;
    };
    const std::vector<Case> cases = {
        {"12", "345", 12},  {"12", "300", 12},  {"12", "399", 12},
        {"12", "499", 12},  {"12", "299", 0},   {"12", "500", 0},
        {"11", "345", 0},   {"12", "3456", 12},  // first three
        {"12", "34", 0},    {"012", "345", 12}, {" 12", "345 ", 12},
        {"12?", "345", 12}, {"?2", "345", 0},   {"", "", 0},
        {"20", "401", 20},  {"20", "1", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(t.LookupBranch(c.bank, c.branch), c.expected) << c.bank << " / " << c.branch;
    }
}

TEST(BranchTableTest, TheMainWindowLoadsTheFileFromTheProgramFolder) {
    TempFolder dir;
    Services services;
    ProgramInfo program;
    program.folder = dir.path();
    frmKorvex main(services, program);

    EXPECT_FALSE(main.LoadBranchTable());  // no file yet
    EXPECT_EQ(main.branchTable.count(), 0u);
    // Without a table every cheque is 555, unless verification is off.
    EXPECT_EQ(main.VerifyCheque("12", "345", "000123456"), 555);

    dir.write(kBranchTableFileName, "12,300,399,7,0,0,0\r\n");
    ASSERT_TRUE(main.LoadBranchTable());
    EXPECT_EQ(main.branchTable.count(), 1u);
    EXPECT_EQ(main.VerifyCheque("12", "345", "000123456"), 0);
    EXPECT_EQ(main.VerifyCheque("12", "345", "000123457"), 1);
    main.profile().IgnoreVerify = true;
    EXPECT_EQ(main.VerifyCheque("", "", ""), 0);
    main.profile().IgnoreVerify = false;

    dir.write(kBranchTableFileName, "12,300,399,7,0,0\r\n");  // partial record
    EXPECT_FALSE(main.LoadBranchTable());
    EXPECT_EQ(main.branchTable.count(), 0u);
    EXPECT_EQ(main.VerifyCheque("12", "345", "000123456"), 555);
}

TEST(BranchTableTest, TheShippedSampleTableLoads) {
    BranchTable t;
    const BranchTableLoad r =
        t.load(fs::path(KORVEX_SOURCE_DIR) / "src" / "resources" / kBranchTableFileName);
    ASSERT_TRUE(r.ok) << r.error << " line " << r.line;
    // Every bank with a rule has at least one record, so the demo can verify each of them.
    for (int bank : {4, 7, 9, 10, 11, 12, 13, 14, 17, 19, 20, 22, 28, 31, 33, 34, 46, 52}) {
        bool found = false;
        for (const BranchRecord& rec : t.records()) found = found || rec.Bank == bank;
        EXPECT_TRUE(found) << "bank " << bank;
    }
}

}  // namespace
}  // namespace korvex

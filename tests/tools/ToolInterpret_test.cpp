// korvex-tool classify, groups, verify and field, run as the built program: the options, the
// code page at the edges and the exit status. The rules themselves are tested in the core.

#include "tools/ToolRunner.h"

namespace korvex {
namespace {

using test::expectRuns;
using test::expectUsageErrors;
using test::runTool;
using test::ToolRun;

TEST(ToolInterpret, ClassifyPrintsTheClassOfEachLine) {
    const std::string fifthAt34 = "????" + std::string(29, 'x') + "?";
    expectRuns({
        {{"classify", "A123 C12A456E 7890C", "NO MICR", ";123=45?", ""},
         0,
         "1\tA123 C12A456E 7890C\n3\tNO MICR\n2\t;123=45?\n0\t\n"},
        {{"classify", "--min-unread", "5", fifthAt34}, 0, "3\t" + fifthAt34 + "\n"},
        {{"classify", fifthAt34}, 0, "0\t" + fifthAt34 + "\n"},
        {{"classify", "--nonus", ":0012345<12:456>1234567<", "A0012345C12A456E1234567A"},
         0,
         "6\t:0012345<12:456>1234567<\n0\tA0012345C12A456E1234567A\n"},
        {{"classify", "--", "-5"}, 0, "0\t-5\n"},
        {{"classify", "אבג"}, 0, "0\tאבג\n"},  // Hebrew passes through the code page and back
    });
    expectUsageErrors({{"classify"},
                       {"classify", "--min-unread"},
                       {"classify", "--min-unread", "x5", "A"},
                       {"classify", "--min-unread", "99999999999", "A"},
                       {"classify", "--bogus", "A"}},
                      "classify");
}

TEST(ToolInterpret, GroupsPrintsTheFourGroupsOrWhyNot) {
    expectRuns({
        {{"groups", "A0012345C12A456E1234567A"}, 0, "0012345\n12\n456\n1234567\n"},
        {{"groups", "--nonus", ":0012345<12:456>1234567<"}, 0, "0012345\n12\n456\n1234567\n"},
        {{"groups", "--nonus", ":0012345<1:456>1234567<"}, 0, "dropped\n"},
    });
    const ToolRun run = runTool({"groups", "DEBUG"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind("error: ", 0), 0u) << run.out;
    EXPECT_GT(run.out.size(), 8u);  // a description follows
    expectUsageErrors({{"groups"}, {"groups", "A", "B"}, {"groups", "--flip", "A"}}, "groups");
}

TEST(ToolInterpret, VerifyPrintsTheCode) {
    test::TempFolder folder;
    folder.write("banks.txt", "12,300,399,7,0,0,0\r\n");
    folder.write("broken.txt", "12,300,399,7,0,0\r\n");
    const std::string banks = (folder / "banks.txt").string();
    expectRuns({
        {{"verify", "--branches", banks, "12", "345", "000123456"}, 0, "0\n"},
        {{"verify", "--branches", banks, "12", "345", "000123457"}, 0, "1\n"},
        {{"verify", "--branches", banks, "--ignore", "x", "5", "1"}, 0, "0\n"},
        {{"verify", "--branches", banks, "--", "-1", "5", "1"}, 0, "555\n"},
    });
    // A broken or missing table: the code the program would give with an empty table, status 1
    // and the reason on standard error.
    for (const std::string& file :
         {(folder / "broken.txt").string(), (folder / "none.txt").string()}) {
        const ToolRun run = runTool({"verify", "--branches", file, "12", "345", "000123456"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "555\n");
        EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
    }
    expectUsageErrors({{"verify", "12", "345", "000123456"},
                       {"verify", "--branches", banks, "12", "345"},
                       {"verify", "--branches", banks, "12", "345", "1", "2"},
                       {"verify", "--branches"}},
                      "verify");
}

TEST(ToolInterpret, FieldAppliesCutZerosAndFlip) {
    auto field = [](std::string s, std::string l, std::string z, std::vector<std::string> rest) {
        std::vector<std::string> args = {"field", "--start", s, "--length", l, "--zeros", z};
        args.insert(args.end(), rest.begin(), rest.end());
        return args;
    };
    expectRuns({
        {field("-13", "13", "0", {"0001234"}), 0, "1234\n"},
        {field("1", "5", "-1", {"--flip", "12345"}), 0, "54321\n"},
        {field("1", "5", "-1", {"--", "-1234"}), 0, "-1234\n"},
        {field("1", "3", "-1", {"שלום"}), 0, "שלו\n"},  // characters, not UTF-8 bytes
    });
    const ToolRun bad = runTool(field("0", "3", "0", {"123"}));
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out.rfind("error: ", 0), 0u) << bad.out;
    expectUsageErrors({{"field", "--start", "1", "--length", "2", "123"},
                       {"field", "--start", "1", "--zeros", "0", "123"},
                       {"field", "--length", "2", "--zeros", "0", "123"},
                       field("a", "2", "0", {"123"}),
                       field("1", "2.5", "0", {"123"}),
                       field("1", "2", "0", {}),
                       field("1", "2", "0", {"1", "2"})},
                      "field");
}

}  // namespace
}  // namespace korvex

// korvex-tool expand, run as the built program.

#include "tools/ToolRunner.h"

namespace korvex {
namespace {

using test::runTool;
using test::ToolRun;

struct ExpandCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string out;
};

TEST(ToolExpand, PrintsTheExpandedTemplate) {
    const std::string at = "2006-02-01 09:07:05";
    const std::vector<ExpandCase> cases = {
        {"cheque keys",
         {"expand", "--set", "ChequeNum=1234", "--set", "BankNum=12", "--set", "BranchNum=456",
          "--set", "AccountNum=789012",
          "{ChequeNum}{TAB}{BankNum}{TAB}{BranchNum}{TAB}{AccountNum}{ENTER}"},
         "",
         "1234{TAB}12{TAB}456{TAB}789012{ENTER}\n"},
        {"date codes",
         {"expand", "--kind", "override", "--at", at, "{YYYY}{MM}{DD}_{HH}{NN}{SS}.tif"},
         "",
         "20060201_090705.tif\n"},
        {"front name with {User}",
         {"expand", "--kind", "front", "--at", "2006-03-05 00:00:00", "--set", "ChequeNum=77",
          "{MM}{YY}\\{ChequeNum}_{User}.tif"},
         "a:b*c?\n",
         "0306\\77_a_b_c_.tif\n"},
        {"empty {User}", {"expand", "--kind", "back", "{User}.tif"}, "", "<<DONTSAVE>>.tif\n"},
        {"cheque date codes",
         {"expand", "--at", at, "--set", "ChequeDate=31/12/2006",
          "{CDD}/{CMM}/{CYYYY} {DD}/{MM}/{YYYY}"},
         "",
         "31/12/2006 01/02/2006\n"},
        {"card",
         {"expand", "--kind", "card1", "--set", "Name=HOLDER CARD", "--set", "DateYY=09",
          "{Name} {DateYY}{HH}"},
         "",
         "HOLDER CARD 09{HH}\n"},
        {"unparsed cheque",
         {"expand", "--kind", "usfront", "--set", "MICR=1 2", "US\\{MICR}.tif"},
         "",
         "US\\1 2.tif\n"},
        {"Hebrew", {"expand", "--set", "Amount=שקל", "{Amount} ש\"ח"}, "", "שקל ש\"ח\n"},
        {"template starting with a dash", {"expand", "--", "-{BankNum}-"}, "", "--\n"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.args, c.input);
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.err;
        EXPECT_EQ(run.out, c.out) << c.name;
    }
}

TEST(ToolExpand, WithoutAMomentUsesTheClock) {
    const ToolRun run = runTool({"expand", "--kind", "csvren", "{YYYY}-{MM}-{DD} {HH}:{NN}:{SS}"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.out.size(), 20u) << run.out;
    for (const size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u, 11u, 12u, 14u, 15u, 17u, 18u}) {
        EXPECT_TRUE(run.out[i] >= '0' && run.out[i] <= '9') << run.out;
    }
    EXPECT_NE(run.out.substr(0, 2), "19") << "the year comes from the clock";
}

TEST(ToolExpand, UsageErrors) {
    test::expectUsageErrors({{"expand"},
                             {"expand", "a", "b"},
                             {"expand", "--kind", "cheques", "x"},
                             {"expand", "--at", "2006-02-30 00:00:00", "x"},
                             {"expand", "--at", "2006-02-01 24:00:00", "x"},
                             {"expand", "--at", "2006-02-01", "x"},
                             {"expand", "--set", "ChequeNum", "x"},
                             {"expand", "--set", "chequenum=1", "x"},
                             {"expand", "--set", "ChequeDate=32/01/2006", "x"},
                             {"expand", "--bogus", "x"},
                             {"expand", "--kind"}},
                            "expand");
}

}  // namespace
}  // namespace korvex

// A cheque's back side, merged images and scan-override mode, from the reader's bytes on.
#include <gtest/gtest.h>

#include "scenario/ScenarioRig.h"

namespace korvex {
namespace {

using test::confirmed;
using test::kValidCheque;
using test::ProfileKeys;
using test::ScenarioRig;

const std::string kBackName = "1226/0012345_000123456-back.tif";

// The cheque is scanned, then documents without magnetic ink `delays` seconds after the front.
struct BackSideRun {
    ScenarioRig rig;
    BackSideRun(const std::string& timeout, const std::string& letUserFill)
        : rig({{"ChequeBackTimeout", timeout}, {"LetUserFillDetails", letUserFill}}) {}

    void run(const std::vector<int64_t>& delays) {
        rig.scan(kValidCheque);
        rig.readerHoldsImage("BACK");
        const int64_t front = rig.runState().FrontScanTime.serialSeconds();
        for (const int64_t delay : delays) {
            rig.clock.set(LocalDateTime::fromSerialSeconds(front + delay));
            rig.readerSends("NO MICR\r");
        }
    }
};

TEST(BackSideRoad, TheTimeLimitDecidesWhatADocumentWithoutInkIs) {
    struct Case {
        const char* name;
        std::string timeout;
        std::string letUserFill;
        std::vector<int64_t> delays;
        bool backSaved;
        std::size_t manualDialogs;
        int imageRequests;  // the front's included
    };
    const std::vector<Case> cases = {
        {"60 seconds with a limit of 60", "60", "1", {60}, true, 0, 2},
        {"61 seconds with a limit of 60", "60", "1", {61}, false, 1, 1},
        {"61 seconds, nobody asked", "60", "0", {61}, false, 0, 1},
        {"no limit, a day later", "-1", "1", {86400}, true, 0, 2},
        {"back sides switched off", "0", "1", {1}, false, 1, 1},
        {"two documents: the back, then an unreadable cheque", "60", "1", {10, 20}, true, 1, 2},
        {"no limit takes only one back", "-1", "1", {10, 20}, true, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BackSideRun run(c.timeout, c.letUserFill);
        run.run(c.delays);
        EXPECT_EQ(run.rig.folder.exists(kBackName), c.backSaved);
        if (c.backSaved) {
            EXPECT_EQ(run.rig.folder.read(kBackName), "BACK");
        }
        // The first document ends the wait, in time or not.
        EXPECT_EQ(run.rig.runState().PendingBackImageFile, "");
        EXPECT_EQ(run.rig.ui.chequeDataShown.size(), c.manualDialogs);
        EXPECT_EQ(run.rig.imageRequests(), c.imageRequests);
        // The front stays as it was.
        EXPECT_EQ(run.rig.folder.read("1226/0012345_000123456.tif"), "FRONT");
        EXPECT_EQ(run.rig.logLines().size(), 1u);
    }
}

TEST(BackSideRoad, AnUnreadableDocumentTypedByTheOperatorIsProcessedAsACheque) {
    BackSideRun run("60", "1");
    run.rig.ui.chequeDataAnswers.push_back(confirmed("A77 C11A150E 123456789C"));
    run.run({61});
    ASSERT_EQ(run.rig.ui.chequeDataShown.size(), 1u);
    // The dialog starts empty: nothing of the document was read.
    EXPECT_EQ(run.rig.ui.chequeDataShown[0].ChequeNum, "");
    EXPECT_EQ(run.rig.ui.chequeDataShown[0].AccountNum, "");
    ASSERT_EQ(run.rig.logLines().size(), 2u);
    EXPECT_EQ(run.rig.logLines()[1].substr(0, 21), "77,11,150,123456789,1");
    EXPECT_EQ(run.rig.typed(),
              "0012345{TAB}12{TAB}345{TAB}000123456{ENTER}77{TAB}11{TAB}150{TAB}123456789{ENTER}");
}

TEST(BackSideRoad, CombinedImagesMergeTheBackIntoTheFront) {
    ScenarioRig rig(ProfileKeys{{"CombineChequeImages", "1"}});
    rig.scan(kValidCheque);
    EXPECT_EQ(rig.runState().PendingBackImageFile, "netpbm\\tmp-back.jpg");
    rig.readerHoldsImage("BACK");
    rig.clock.advance(std::chrono::seconds(5));
    rig.readerSends("NO MICR\r");

    EXPECT_EQ(rig.folder.read("netpbm/tmp-back.jpg"), "BACK");
    EXPECT_EQ(rig.folder.read("netpbm/tmp-front.jpg"), "FRONT");
    ASSERT_EQ(rig.processes.runs.size(), 1u);
    EXPECT_EQ(rig.processes.runs[0].script, "netpbm\\CombinePics");
    EXPECT_EQ(rig.processes.runs[0].arguments,
              std::vector<std::string>{"1226\\0012345_000123456.tif"});
    EXPECT_FALSE(rig.processes.runs[0].timeLimit.has_value());
    EXPECT_FALSE(rig.folder.exists(kBackName));
}

TEST(BackSideRoad, ANewChequeEndsTheWaitForTheLastOnesBack) {
    struct Case {
        const char* name;
        const char* bank11;  // the second cheque's profile
    };
    const std::vector<Case> cases = {
        {"the second cheque's profile has no back template", "BackImageFileNameTemplate="},
        {"the second cheque fails after its front name was built", "CSVFile=no such folder\\b.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScenarioRig rig({}, test::profileSection("Bank11", c.bank11));
        rig.scan(kValidCheque);
        rig.scan(test::kBank11Cheque);
        EXPECT_EQ(rig.runState().PendingBackImageFile, "");
        rig.readerHoldsImage("BACK");
        rig.readerSends("NO MICR\r");
        EXPECT_FALSE(rig.folder.exists(kBackName));
        EXPECT_EQ(rig.ui.chequeDataShown.size(), 1u);  // taken for an unreadable cheque instead
    }
}

TEST(BackSideRoad, ABackIsNeverMergedIntoAnEarlierChequesFront) {
    ScenarioRig rig(
        ProfileKeys{{"CombineChequeImages", "1"}, {"ImageFileNameTemplate", "{User}.tif"}});
    rig.ui.inputBoxAnswers.push_back("first");
    rig.scan(kValidCheque);
    ASSERT_EQ(rig.folder.read("first.tif"), "FRONT");
    rig.scan(test::kBank11Cheque);  // its name is left empty: its front is not saved
    EXPECT_EQ(rig.runState().FrontImageFile, "");

    rig.readerHoldsImage("BACK");
    rig.readerSends("NO MICR\r");
    EXPECT_TRUE(rig.processes.runs.empty());
    EXPECT_FALSE(rig.folder.exists("netpbm/tmp-front.jpg"));
    EXPECT_EQ(rig.runState().PendingBackImageFile, "");
    EXPECT_EQ(rig.folder.read("first.tif"), "FRONT");
}

TEST(BackSideRoad, ScanOverrideSavesEveryDocumentByItsMomentAndNothingElse) {
    ScenarioRig rig(
        ProfileKeys{{"ScanOverrideFileNameTemplate", "{YYYY}{MM}{DD}_{HH}{NN}{SS}.tif"}});
    rig.readerSends(std::string(kValidCheque) + "\r;4580123456789012=0905101?\r");
    EXPECT_EQ(rig.folder.read("20261206_103000.tif"), "FRONT");
    EXPECT_TRUE(rig.debug.contains("Magstripe (In override mode): ;4580123456789012=0905101?"));

    rig.clock.set({2026, 12, 6, 11, 0, 0});
    rig.readerSends("NO MICR\r");
    EXPECT_EQ(rig.folder.read("20261206_110000.tif"), "FRONT");

    EXPECT_EQ(rig.imageRequests(), 2);
    EXPECT_EQ(rig.typed(), "");
    EXPECT_FALSE(rig.folder.exists("Log.CSV"));
    EXPECT_TRUE(rig.ui.chequeDataShown.empty());
}

}  // namespace
}  // namespace korvex

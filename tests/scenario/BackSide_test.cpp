// A cheque's back side, merged images and scan-override mode, from the reader's bytes on.
#include <gtest/gtest.h>

#include "scenario/ScenarioRig.h"

namespace korvex {
namespace {

using test::confirmed;
using test::kValidCheque;
using test::ScenarioRig;

const std::string kBackName = "1226/0012345_000123456-back.tif";

// A document without ink is the back side only within the profile's limit; later it is a cheque.
TEST(BackSideRoad, TheTimeLimitDecidesWhatADocumentWithoutInkIs) {
    for (const int64_t delay : {60, 61}) {
        SCOPED_TRACE(delay);
        const bool inTime = delay == 60;
        ScenarioRig rig;
        rig.ui.chequeDataAnswers.push_back(confirmed("A77 C11A150E 123456789C"));
        std::string pendingInDialog = "no dialog";
        rig.ui.onChequeDialog = [&] { pendingInDialog = rig.runState().PendingBackImageFile; };
        rig.scan(kValidCheque);
        rig.readerHoldsImage("BACK");
        rig.clock.set(
            LocalDateTime::fromSerialSeconds(rig.runState().FrontScanTime.serialSeconds() + delay));
        rig.readerSends("NO MICR\r");
        EXPECT_EQ(rig.folder.read(kBackName), inTime ? "BACK" : "");
        EXPECT_EQ(pendingInDialog, inTime ? "no dialog" : "");
        EXPECT_EQ(rig.runState().PendingBackImageFile, inTime ? "" : "1226\\77_123456789-back.tif");
        EXPECT_EQ(rig.imageRequests(), 2);
        ASSERT_EQ(rig.ui.chequeDataShown.size(), inTime ? 0u : 1u);
        if (inTime) continue;
        EXPECT_EQ(test::fields(rig.ui.chequeDataShown[0]), "|||");
        ASSERT_EQ(rig.logLines().size(), 2u);
        EXPECT_EQ(rig.logLines()[1].substr(0, 21), "77,11,150,123456789,1");
        EXPECT_EQ(rig.typed(),
                  "0012345{TAB}12{TAB}345{TAB}000123456{ENTER}77{TAB}11{TAB}150{TAB}"
                  "123456789{ENTER}");
    }
}

TEST(BackSideRoad, CombinedImagesMergeTheBackIntoTheFront) {
    ScenarioRig rig("CombineChequeImages=1");
    rig.scan(kValidCheque);
    rig.readerHoldsImage("BACK");
    rig.clock.advance(std::chrono::seconds(5));
    rig.readerSends("NO MICR\r");
    EXPECT_EQ(rig.folder.read("netpbm/tmp-back.jpg"), "BACK");
    EXPECT_EQ(rig.folder.read("netpbm/tmp-front.jpg"), "FRONT");
    ASSERT_EQ(rig.processes.runs.size(), 1u);
    EXPECT_EQ(rig.processes.runs[0].script, "netpbm\\CombinePics");
    EXPECT_EQ(rig.processes.runs[0].arguments,
              std::vector<std::string>{"1226\\0012345_000123456.tif"});
    EXPECT_FALSE(rig.folder.exists(kBackName));
}

TEST(BackSideRoad, ANewChequeEndsTheWaitForTheLastOnesBack) {
    // The second cheque's profile has no back template, or fails after naming its front.
    for (const char* bank11 : {"BackImageFileNameTemplate=", "CSVFile=no such folder\\b.csv"}) {
        SCOPED_TRACE(bank11);
        ScenarioRig rig({}, test::profileSection("Bank11", bank11));
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
    ScenarioRig rig("CombineChequeImages=1|ImageFileNameTemplate={User}.tif");
    rig.ui.inputBoxAnswers.push_back("first");
    rig.scan(kValidCheque);
    rig.scan(test::kBank11Cheque);  // its name is left empty: its front is not saved
    EXPECT_EQ(rig.runState().FrontImageFile, "");
    rig.readerHoldsImage("BACK");
    rig.readerSends("NO MICR\r");
    EXPECT_TRUE(rig.processes.runs.empty());
    EXPECT_FALSE(rig.folder.exists("netpbm/tmp-front.jpg"));
    EXPECT_EQ(rig.folder.read("first.tif"), "FRONT");
}

TEST(BackSideRoad, ScanOverrideSavesEveryDocumentByItsMomentAndNothingElse) {
    ScenarioRig rig("ScanOverrideFileNameTemplate={YYYY}{MM}{DD}_{HH}{NN}{SS}.tif");
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

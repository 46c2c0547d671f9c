// Magnetic cards and unparsed (US) cheques, from the reader's bytes to the keys and images.
#include <gtest/gtest.h>

#include "output/Template.h"
#include "scenario/ScenarioRig.h"

namespace korvex {
namespace {

using test::cp;
using test::ScenarioRig;

TEST(CardRoad, TracksBecomeKeysThroughTheirTemplates) {
    struct Case {
        std::string swipe, keys;  // the profile's changes
        std::string typed;
    };
    const std::string card = "4580123456789012", swipe2 = ";" + card + "=0905101?";
    const std::string expiry = "MagStripe2Template={Account}{TAB}{DateMM}/{DateYY}{ENTER}";
    const std::vector<Case> cases = {
        {swipe2, "", card + "=0905101{ENTER}"},
        {swipe2, expiry, card + "{TAB}05/09{ENTER}"},
        {";5912345678=1230905?", expiry, "5912345678{TAB}05/09{ENTER}"},  // numbers of 59..
        {"%B" + card + "^HOLDER/CARD^0905101?", "",
         "HOLDER CARD{ENTER}" + card + "{TAB}05.09{ENTER}"},
        // Track 1 with one separator: the expiry taken from the start.
        {"%B" + card + "^0905?", "MagStripe1Template={Account}{TAB}{Name}{TAB}{DateMM}{ENTER}",
         card + "{TAB}{TAB}45{ENTER}"},
        {";ABC?", "", "ABC{ENTER}"},          // neither form
        {swipe2, "MagStripe2Template=", ""},  // an empty template types nothing
        {swipe2,
         "MagStripe2Part1Start=-4|MagStripe2Part1Length=4|MagStripe2Part2Length=4|"
         "MagStripe2Part2Flip=TRUE|MagStripe2Template={MagPart1}-{MagPart2}{ENTER}",
         "9012-5090{ENTER}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.swipe + " " + c.keys);
        ScenarioRig rig(c.keys);
        rig.scan(c.swipe);
        EXPECT_EQ(rig.typed(), c.typed);
        EXPECT_FALSE(rig.folder.exists("Log.CSV"));  // cards leave no log and no image
        EXPECT_EQ(rig.imageRequests(), 0);
        EXPECT_TRUE(rig.errorLines().empty());
        EXPECT_NE(rig.form->lastSentText(), "");  // fed even as an empty text
    }
}

TEST(CardRoad, ABrokenTrackRuleEndsOnTheErrorPath) {
    ScenarioRig rig("MagStripe2Part1Start=0");
    rig.scan(";4580123456789012=0905101?");
    ASSERT_EQ(rig.errorLines().size(), 1u);
    EXPECT_EQ(rig.errorLines()[0].rfind("Error #5 - ", 0), 0u);
    EXPECT_EQ(rig.typed(), "");
}

TEST(UsChequeRoad, TheLineIsTypedAndSavedAsOneValue) {
    ScenarioRig rig;
    rig.clock.set({2006, 3, 5, 9, 7, 5});
    rig.scan("123456789 0001234");
    EXPECT_EQ(rig.typed(), "{TAB}123456789 0001234{ENTER}");
    EXPECT_EQ(rig.folder.read("0306/US/123456789 0001234.tif"), "FRONT");
    EXPECT_EQ(rig.ui.fileXferShown.size(), 1u);  // the transfer is shown
    EXPECT_EQ(rig.runState().FrontImageFile, "0306\\US\\123456789 0001234.tif");
    EXPECT_FALSE(rig.folder.exists("Log.CSV"));
    EXPECT_TRUE(rig.ui.inputBoxes.empty());
    rig.readerHoldsImage("BACK");
    rig.readerSends("NO MICR\r");
    EXPECT_EQ(rig.folder.read("0306/US/123456789 0001234-back.tif"), "BACK");
}

TEST(UsChequeRoad, UnreadCharactersAreRepairedByTheOperator) {
    struct Case {
        const char* keys;
        std::vector<std::string> answers;
        std::size_t prompts;
        std::string typed, back;  // the prepared back side's name: after the repaired line
    };
    const std::string received = "12345?789 0001234", repaired = "123456789 0001234";
    const std::vector<Case> cases = {
        {"", {"12345?789 000123", repaired}, 2, "{TAB}" + repaired + "{ENTER}", repaired},
        {"LetUserFillDetails=0", {}, 0, "", received},  // held back
        {"LetUserFillDetails=0|DontPassPartialRead=0",
         {},
         0,
         "{TAB}" + received + "{ENTER}",
         received},
        {"", {}, 1, "", received},  // the repair cancelled
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys + std::to_string(c.prompts));
        ScenarioRig rig(c.keys);
        rig.ui.inputBoxAnswers.assign(c.answers.begin(), c.answers.end());
        rig.scan(received);
        ASSERT_EQ(rig.ui.inputBoxes.size(), c.prompts);
        for (const auto& box : rig.ui.inputBoxes)
            EXPECT_EQ(box.prompt, cp("חלק מהתווים לא נקראו, נא לתקן"));
        EXPECT_EQ(rig.typed(), c.typed);
        // The front is named after the line as read; the file name cannot hold "?".
        EXPECT_EQ(rig.folder.read("1226/US/12345#789 0001234.tif"), "FRONT");
        EXPECT_EQ(rig.runState().PendingBackImageFile, "1226\\US\\" + c.back + "-back.tif");
    }
}

}  // namespace
}  // namespace korvex

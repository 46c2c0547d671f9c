// Magnetic cards and unparsed (US) cheques, from the reader's bytes to the keys and images.
#include <gtest/gtest.h>

#include "output/Template.h"
#include "scenario/ScenarioRig.h"

namespace korvex {
namespace {

using test::cp;
using test::ProfileKeys;
using test::ScenarioRig;

TEST(CardRoad, TracksBecomeKeysThroughTheirTemplates) {
    struct Case {
        const char* name;
        std::string swipe;
        std::string track1Template, track2Template;
        std::string keys;
    };
    const std::string t1 = "{Name}{ENTER}{Account}{TAB}{DateMM}.{DateYY}{ENTER}";
    const std::string t2 = "{MagPart1}={MagPart2}{ENTER}";
    const std::string expiry = "{Account}{TAB}{DateMM}/{DateYY}{ENTER}";
    const std::vector<Case> cases = {
        {"track 2", ";4580123456789012=0905101?", t1, t2, "4580123456789012=0905101{ENTER}"},
        {"track 2 expiry", ";4580123456789012=0905101?", t1, expiry,
         "4580123456789012{TAB}05/09{ENTER}"},
        {"track 2 of a card number beginning with 59", ";5912345678=1230905?", t1, expiry,
         "5912345678{TAB}05/09{ENTER}"},
        {"track 1", "%B4580123456789012^HOLDER/CARD^0905101?", t1, t2,
         "HOLDER CARD{ENTER}4580123456789012{TAB}05.09{ENTER}"},
        {"track 1 of a card number beginning with 59", "%B5912345678^A/B^1230905?", t1, t2,
         "A B{ENTER}5912345678{TAB}05.09{ENTER}"},
        {"track 1 with one separator: the expiry from the start", "%B4580123456789012^0905?",
         "{Account}{TAB}{Name}{TAB}{DateMM}{ENTER}", t2, "4580123456789012{TAB}{TAB}45{ENTER}"},
        {"both separators: track 2", "%B4580^X^=0905?", t1, "{MagPart2}{ENTER}", "0905{ENTER}"},
        {"track 2 without text after the separator", ";4580=?", t1,
         "{MagPart1}{TAB}{DateMM}{DateYY}{ENTER}", "4580{TAB}{ENTER}"},
        {"neither form", ";ABC?", t1, t2, "ABC{ENTER}"},
        {"an empty template types nothing", ";4580123456789012=0905101?", t1, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScenarioRig rig;
        rig.profile().MagStripe1Template = c.track1Template;
        rig.profile().MagStripe2Template = c.track2Template;
        rig.scan(c.swipe);
        EXPECT_EQ(rig.typed(), c.keys);
        // Cards leave no log and no image.
        EXPECT_FALSE(rig.folder.exists("Log.CSV"));
        EXPECT_EQ(rig.imageRequests(), 0);
        EXPECT_TRUE(rig.errorLines().empty());
        // Every swipe is fed, even as an empty text: the details window shows it was handled.
        EXPECT_NE(rig.form->LastSentText, "");
    }
}

TEST(CardRoad, TheTrackTwoRulesCutAndTurnTheParts) {
    ScenarioRig rig(ProfileKeys{{"MagStripe2Part1Start", "-4"},
                                {"MagStripe2Part1Length", "4"},
                                {"MagStripe2Part2Start", "1"},
                                {"MagStripe2Part2Length", "4"},
                                {"MagStripe2Part2Flip", "TRUE"},
                                {"MagStripe2Template", "{MagPart1}-{MagPart2}{ENTER}"}});
    rig.scan(";4580123456789012=0905101?");
    EXPECT_EQ(rig.typed(), "9012-5090{ENTER}");
}

TEST(CardRoad, ABrokenTrackRuleEndsOnTheErrorPath) {
    ScenarioRig rig(ProfileKeys{{"MagStripe2Part1Start", "0"}});
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
    EXPECT_EQ(rig.global().FrontImageFile, "0306\\US\\123456789 0001234.tif");
    EXPECT_EQ(rig.global().PendingBackImageFile, "0306\\US\\123456789 0001234-back.tif");
    EXPECT_FALSE(rig.folder.exists("Log.CSV"));
    EXPECT_TRUE(rig.ui.inputBoxes.empty());

    // Its back side is saved under the prepared name.
    rig.readerHoldsImage("BACK");
    rig.readerSends("NO MICR\r");
    EXPECT_EQ(rig.folder.read("0306/US/123456789 0001234-back.tif"), "BACK");
}

TEST(UsChequeRoad, UnreadCharactersAreRepairedByTheOperator) {
    struct Case {
        const char* name;
        std::string letUserFill, dontPassPartial;
        std::vector<std::string> answers;
        std::size_t prompts;
        std::string keys;
        std::string pendingBack;
    };
    const std::string received = "12345?789 0001234";
    const std::vector<Case> cases = {
        {"repaired on the second prompt",
         "1",
         "1",
         {"12345?789 000123", "123456789 0001234"},
         2,
         "{TAB}123456789 0001234{ENTER}",
         "1226\\US\\123456789 0001234-back.tif"},
        {"not asked, held back", "0", "1", {}, 0, "", "1226\\US\\12345?789 0001234-back.tif"},
        {"not asked, passed with the question mark",
         "0",
         "0",
         {},
         0,
         "{TAB}12345?789 0001234{ENTER}",
         "1226\\US\\12345?789 0001234-back.tif"},
        {"the repair cancelled: nothing typed",
         "1",
         "1",
         {},
         1,
         "",
         "1226\\US\\12345?789 0001234-back.tif"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScenarioRig rig(ProfileKeys{{"LetUserFillDetails", c.letUserFill},
                                    {"DontPassPartialRead", c.dontPassPartial}});
        rig.ui.inputBoxAnswers.assign(c.answers.begin(), c.answers.end());
        rig.scan(received);

        ASSERT_EQ(rig.ui.inputBoxes.size(), c.prompts);
        for (std::size_t i = 0; i < c.prompts; ++i) {
            EXPECT_EQ(rig.ui.inputBoxes[i].prompt, cp("חלק מהתווים לא נקראו, נא לתקן"));
            EXPECT_EQ(rig.ui.inputBoxes[i].title, cp("קורא צ'קים"));
            EXPECT_EQ(rig.ui.inputBoxes[i].defaultText, i == 0 ? received : c.answers[i - 1]);
        }
        EXPECT_EQ(rig.typed(), c.keys);
        // The front is named after the line as read; the file name cannot hold "?".
        EXPECT_EQ(rig.folder.read("1226/US/12345#789 0001234.tif"), "FRONT");
        EXPECT_EQ(rig.global().PendingBackImageFile, c.pendingBack);
    }
}

TEST(UsChequeRoad, TheFileNameInTheKeysIsTheFrontNameAsBuilt) {
    ScenarioRig rig(ProfileKeys{{"GenUSTemplate", "{FileName}{ENTER}"},
                                {"LetUserFillDetails", "0"},
                                {"DontPassPartialRead", "0"}});
    rig.scan("12345?789 0001234");
    EXPECT_EQ(rig.typed(), "1226\\US\\12345?789 0001234.tif{ENTER}");
}

TEST(UsChequeRoad, AUserNameIsAskedOnceForFrontAndBack) {
    ScenarioRig rig(ProfileKeys{{"GenUSFileNameTemplate", "{User}.tif"},
                                {"GenUSBackFileNameTemplate", "{User}-{MICR}.tif"}});
    rig.ui.inputBoxAnswers.push_back("a:b");
    rig.scan("123456789 0001234");
    ASSERT_EQ(rig.ui.inputBoxes.size(), 1u);
    EXPECT_EQ(rig.ui.inputBoxes[0].prompt, UserFileName::frontPrompt());
    EXPECT_EQ(rig.folder.read("a_b.tif"), "FRONT");
    EXPECT_EQ(rig.global().PendingBackImageFile, "a_b-123456789 0001234.tif");
}

}  // namespace
}  // namespace korvex

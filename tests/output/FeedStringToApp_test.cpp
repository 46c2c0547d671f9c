// FeedStringToApp: the route choice, activation before and after, the timer, LastSentText.
#include <gtest/gtest.h>

#include "support/CoreHarness.h"

namespace korvex::test {
namespace {

struct FeedFixture : CoreHarness {
    FeedFixture() { windows.titles = {"Bank Teller - Deposit", "Terminal"}; }
    // The journal of keys, waits, yields and timer switches, "|" between the entries.
    std::string journal() const {
        std::string out;
        for (const auto& e : keys.journal) out += (out.empty() ? "" : "|") + e;
        return out;
    }
};

const std::string k1 = "down 49 2|up 49 2";
const std::string kSent = "timer off|batch 2|" + k1 + "|timer on";

TEST(FeedStringToApp, ChoosesTheRoute) {
    struct Case {
        bool clipboard, waitMode;
        int32_t delay;
        bool useOld, doEvents;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {true, true, 5, true, true, "paste 1"},  // the clipboard wins over everything
        {false, true, 5, true, false, "batch 2|" + k1 + "|wait"},  // wait mode over a delay
        {false, false, 5, false, false, "timer off|sleep 5|" + k1 + "|timer on"},  // keybd_event
        {false, false, 0, true, true, "timer off|" + k1 + "|timer on"},  // old engine, no waits
        {false, false, 3, false, true, "timer off|yield|sleep 3|yield|" + k1 + "|timer on"},
        {false, false, -1, false, true, kSent},  // SendInput by default
    };
    for (const auto& c : cases) {
        FeedFixture f;
        f.setProfile([&](ProfileSettings& p) {
            p.ClipboardWin98DOS = c.clipboard;
            p.WaitMode = c.waitMode;
            p.KeyPressDelay = c.delay;
            p.UseOldSendKeys = c.useOld;
            p.DoEventsOnDelay = c.doEvents;
        });
        EXPECT_EQ(f.form->FeedStringToApp("1"), FeedOutcome::Sent) << c.expected;
        EXPECT_EQ(f.journal(), c.expected);
        EXPECT_NE(f.form->lastSentText(), "") << c.expected;
    }
}

TEST(FeedStringToApp, ActivatesTheTargetBeforeAndAfter) {
    const FeedOutcome sent = FeedOutcome::Sent, dropped = FeedOutcome::Discarded;
    struct Case {
        bool activate, whenFails, after;
        std::string title;
        FeedOutcome outcome;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {true, false, false, "bank teller", sent, "activate bank teller ok|" + kSent},
        {true, false, true, "Ledger", dropped, "activate Ledger fail"},
        {true, true, false, "Ledger", sent, "activate Ledger fail|" + kSent},
        {true, false, true, "Terminal", sent,
         "activate Terminal ok|" + kSent + "|yield|activate Terminal ok"},
        {false, false, true, "Ledger", sent, kSent + "|yield|activate Ledger fail"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        FeedFixture f;
        f.setProfile([&](ProfileSettings& p) {
            p.ActivateWindow = c.activate;
            p.WhenActivateWindowFails = c.whenFails;
            p.ActivateWindowAfter = c.after;
            p.ActivateWindowTitle = c.title;
        });
        EXPECT_EQ(f.form->FeedStringToApp("1"), c.outcome);
        EXPECT_EQ(f.journal(), c.expected);
        EXPECT_EQ(f.form->lastSentText().empty(), c.outcome == dropped);
        EXPECT_EQ(f.debug.contains("Text dropped: window \"" + c.title +
                                   "\" not activated: not found: no window has this title"),
                  c.outcome == dropped);
    }
}

TEST(FeedStringToApp, KeepsAReadableCopyOfWhatWasSentAndShowsIt) {
    FeedFixture f;
    f.clock.set({2026, 3, 9, 14, 5, 7});
    f.form->FeedStringToApp("123{TAB}456{ENTER}{enter}{TAB 2}");
    EXPECT_EQ(f.form->lastSentText(), "09/03/2026 14:05:07:\r\n\r\n123\t456\r\n{enter}{TAB 2}");
    EXPECT_TRUE(f.debug.contains("VbSendInput => 123{TAB}456{ENTER}{enter}{TAB 2}"));
    EXPECT_EQ(f.ui.lastDataSent, "");  // the details window is closed
    // With the details window open it shows the text, and SendInput's result.
    FeedFixture open;
    open.ui.detailsExists = true;
    open.form->FeedStringToApp("7");
    EXPECT_EQ(open.ui.lastDataSent, open.form->lastSentText() + "\r\n***SendInput returned: True");
}

TEST(FeedStringToApp, ABackEndThatFailsIsLoggedAndTheTextCountsAsNotSent) {
    const std::string xError = "Text not sent: system error: X error BadValue";
    struct Case {
        bool clipboard, oldEngine;
        int acceptLimit;
        uint64_t foreground;
        std::string line;
        bool clipboardRefuses = false;  // then nothing stale may be pasted
    };
    const std::vector<Case> cases = {
        {false, false, -1, 1, xError},  // SendInput
        {false, true, -1, 1, xError},   // keybd_event
        {false, false, 1, 1, "Text not sent: refused: inserted 1 of 2 events"},
        {true, false, -1, 0,
         "Text not sent: not found: no window in front to paste into (error 1400)"},
        {true, false, -1, 1,
         "Error #521 - Can't open Clipboard: refused: another program holds the clipboard", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        FeedFixture f;
        f.ui.detailsExists = true;
        f.setProfile([&](ProfileSettings& p) {
            p.ClipboardWin98DOS = c.clipboard;
            p.UseOldSendKeys = c.oldEngine;
        });
        f.keys.batchAcceptLimit = c.acceptLimit;
        if (!c.clipboard && c.acceptLimit < 0)
            f.keys.failure =
                PlatformResult::failure(PlatformResult::Kind::SystemError, "X error BadValue");
        f.windows.foreground = c.foreground;
        f.clipboard.refuse = c.clipboardRefuses;
        EXPECT_EQ(f.form->FeedStringToApp("1"), FeedOutcome::Failed);
        EXPECT_TRUE(f.clipboard.pastes.empty());
        EXPECT_TRUE(f.debug.contains(c.line));
        EXPECT_EQ(f.form->lastSentText(), "");
        EXPECT_EQ(f.ui.timerEnabled, !c.clipboard);  // back on
    }
}

TEST(FeedStringToApp, ExitChosenDuringAYieldStopsTheTypingAndLeavesTheTimerOff) {
    FeedFixture f;
    f.setProfile([&](ProfileSettings& p) {
        p.KeyPressDelay = 3;
        p.DoEventsOnDelay = true;
    });
    f.ui.onDoEvents = [&f] {
        if (f.ui.doEventsCalls == 3) f.form->mnuExit_Click();
    };
    f.form->FeedStringToApp("123");
    EXPECT_EQ(f.ui.endedWith, std::vector<int>{0});
    EXPECT_EQ(f.journal(), "timer off|yield|sleep 3|yield|" + k1 + "|yield");  // the first key only
    EXPECT_FALSE(f.ui.timerEnabled);
}

}  // namespace
}  // namespace korvex::test

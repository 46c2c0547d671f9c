// FeedStringToApp: the route choice, activation before and after, the timer, LastSentText.
#include <gtest/gtest.h>

#include "app/frmKorvex.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

namespace korvex::test {
namespace {

struct FeedFixture : FakeServices {
    TempFolder folder;  // where an Exit leaves its shutdown note
    frmKorvex form{services(), program()};

    FeedFixture() {
        windows.titles = {"Bank Teller - Deposit", "Terminal"};
        form.LastSentText = "before";
    }
    ProgramInfo program() const {
        ProgramInfo info;
        info.folder = folder.path();
        return info;
    }
    ProfileSettings& profile() { return form.profile(); }
};

const Journal k1{"down 49 2", "up 49 2"};

struct RouteCase {
    const char* name;
    bool clipboard, waitMode;
    int32_t delay;
    bool useOld, doEvents;
    Journal expected;
};

TEST(FeedStringToApp, ChoosesTheRoute) {
    const Journal batch = Journal{"batch 2"} + k1;
    const std::vector<RouteCase> cases = {
        {"clipboard wins over everything", true, true, 5, true, true, {"paste 1"}},
        {"wait mode wins over delay", false, true, 5, true, false, batch + Journal{"wait"}},
        {"a delay forces the keybd engine", false, false, 5, false, false,
         Journal{"timer off", "sleep 5"} + k1 + Journal{"timer on"}},
        {"the old engine without waits", false, false, 0, true, true,
         Journal{"timer off"} + k1 + Journal{"timer on"}},
        {"yields around each wait", false, false, 3, false, true,
         Journal{"timer off", "yield", "sleep 3", "yield"} + k1 + Journal{"timer on"}},
        {"SendInput by default", false, false, -1, false, true,
         Journal{"timer off"} + batch + Journal{"timer on"}},
    };
    for (const auto& c : cases) {
        FeedFixture f;
        f.profile().ClipboardWin98DOS = c.clipboard;
        f.profile().WaitMode = c.waitMode;
        f.profile().KeyPressDelay = c.delay;
        f.profile().UseOldSendKeys = c.useOld;
        f.profile().DoEventsOnDelay = c.doEvents;
        EXPECT_EQ(f.form.FeedStringToApp("1"), FeedOutcome::Sent) << c.name;
        EXPECT_EQ(f.keys.journal, c.expected) << c.name;
        EXPECT_NE(f.form.LastSentText, "before") << c.name;
    }
}

struct ActivationCase {
    const char* name;
    bool activate, whenFails, after;
    std::string title;
    FeedOutcome outcome;
    Journal expected;
};

TEST(FeedStringToApp, ActivatesTheTargetBeforeAndAfter) {
    const Journal sent = Journal{"timer off", "batch 2"} + k1 + Journal{"timer on"};
    const std::vector<ActivationCase> cases = {
        {"found by the start of its title", true, false, false, "bank teller", FeedOutcome::Sent,
         Journal{"activate bank teller ok"} + sent},
        {"found by a part of its title", true, false, false, "Deposit", FeedOutcome::Sent,
         Journal{"activate Deposit ok"} + sent},
        {"not found: discarded",
         true,
         false,
         true,
         "Ledger",
         FeedOutcome::Discarded,
         {"activate Ledger fail"}},
        {"not found: sent to the active window", true, true, false, "Ledger", FeedOutcome::Sent,
         Journal{"activate Ledger fail"} + sent},
        {"activated again after", true, false, true, "Terminal", FeedOutcome::Sent,
         Journal{"activate Terminal ok"} + sent + Journal{"yield", "activate Terminal ok"}},
        {"only after, failing silently", false, false, true, "Ledger", FeedOutcome::Sent,
         sent + Journal{"yield", "activate Ledger fail"}},
        {"an empty title matches nothing",
         true,
         false,
         false,
         "",
         FeedOutcome::Discarded,
         {"activate  fail"}},
    };
    for (const auto& c : cases) {
        FeedFixture f;
        f.profile().ActivateWindow = c.activate;
        f.profile().WhenActivateWindowFails = c.whenFails;
        f.profile().ActivateWindowAfter = c.after;
        f.profile().ActivateWindowTitle = c.title;
        EXPECT_EQ(f.form.FeedStringToApp("1"), c.outcome) << c.name;
        EXPECT_EQ(f.keys.journal, c.expected) << c.name;
        EXPECT_EQ(f.form.LastSentText == "before", c.outcome == FeedOutcome::Discarded) << c.name;
    }
}

TEST(FeedStringToApp, LogsWhyATextWasDropped) {
    FeedFixture f;
    f.profile().ActivateWindow = true;
    f.profile().ActivateWindowTitle = "Ledger";
    EXPECT_EQ(f.form.FeedStringToApp("1"), FeedOutcome::Discarded);
    EXPECT_EQ(f.debug.messages(),
              std::vector<std::string>{"Text dropped: window \"Ledger\" not activated: not found: "
                                       "no window has this title"});
}

TEST(FeedStringToApp, KeepsAReadableCopyOfWhatWasSent) {
    FeedFixture f;
    f.clock.set({2026, 3, 9, 14, 5, 7});
    f.form.FeedStringToApp("123{TAB}456{ENTER}{enter}{TAB 2}");
    EXPECT_EQ(f.form.LastSentText, "09/03/2026 14:05:07:\r\n\r\n123\t456\r\n{enter}{TAB 2}");
    // The details window is closed: nothing is written to it.
    EXPECT_EQ(f.ui.lastDataSent, "");
}

TEST(FeedStringToApp, ShowsTheSendInputResultInTheDetailsWindow) {
    struct Case {
        bool useOld;
        int acceptLimit;
        std::string suffix;
    };
    const std::vector<Case> cases = {
        {false, -1, "\r\n***SendInput returned: True"},
        {true, -1, ""},
    };
    for (const auto& c : cases) {
        FeedFixture f;
        f.ui.detailsExists = true;
        f.profile().UseOldSendKeys = c.useOld;
        f.keys.batchAcceptLimit = c.acceptLimit;
        f.form.FeedStringToApp("7");
        EXPECT_EQ(f.ui.lastDataSent, f.form.LastSentText + c.suffix);
        EXPECT_NE(f.form.LastSentText.find("7"), std::string::npos);
    }
}

TEST(FeedStringToApp, NeverPastesStaleClipboardContent) {
    for (const bool activate : {false, true}) {
        FeedFixture f;
        f.profile().ClipboardWin98DOS = true;
        f.profile().ActivateWindow = activate;
        f.profile().ActivateWindowTitle = "Terminal";
        f.clipboard.refuse = true;
        EXPECT_EQ(f.form.FeedStringToApp("abc"), FeedOutcome::Failed);
        EXPECT_TRUE(f.clipboard.pastes.empty());
        EXPECT_EQ(f.form.LastSentText, "before");
        EXPECT_TRUE(f.debug.contains(
            "Error #521 - Can't open Clipboard: refused: another program holds the clipboard"));
    }
}

TEST(FeedStringToApp, ABackEndThatFailsIsLoggedAndTheTextCountsAsNotSent) {
    const PlatformResult xError =
        PlatformResult::failure(PlatformResult::Kind::SystemError, "X error BadValue");
    struct Case {
        const char* name;
        bool useOld, waitMode, clipboard;
        int acceptLimit;
        uint64_t foreground;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"SendInput", false, false, false, -1, 1, "Text not sent: system error: X error BadValue"},
        {"SendInput part way", false, false, false, 1, 1,
         "Text not sent: refused: inserted 1 of 2 events"},
        {"keybd_event", true, false, false, -1, 1, "Text not sent: system error: X error BadValue"},
        {"wait mode", false, true, false, -1, 1, "Text not sent: system error: X error BadValue"},
        {"paste with no window in front", false, false, true, -1, 0,
         "Text not sent: not found: no window in front to paste into (error 1400)"},
    };
    for (const auto& c : cases) {
        FeedFixture f;
        f.ui.detailsExists = true;
        f.profile().UseOldSendKeys = c.useOld;
        f.profile().WaitMode = c.waitMode;
        f.profile().ClipboardWin98DOS = c.clipboard;
        f.keys.batchAcceptLimit = c.acceptLimit;
        if (!c.clipboard) f.keys.failure = c.acceptLimit < 0 ? xError : PlatformResult::ok();
        f.windows.foreground = c.foreground;
        EXPECT_EQ(f.form.FeedStringToApp("1"), FeedOutcome::Failed) << c.name;
        EXPECT_TRUE(f.debug.contains(c.line)) << c.name;
        EXPECT_EQ(f.form.LastSentText, "before") << c.name;
        EXPECT_EQ(f.ui.lastDataSent, "") << c.name;
        EXPECT_EQ(f.ui.timerEnabled, !c.clipboard && !c.waitMode) << c.name;  // back on
    }
}

TEST(FeedStringToApp, ThePasteRouteLeavesTheTimerAlone) {
    FeedFixture f;
    f.profile().ClipboardWin98DOS = true;
    f.windows.foreground = 9;
    EXPECT_EQ(f.form.FeedStringToApp("1~2"), FeedOutcome::Sent);
    EXPECT_EQ(f.clipboard.text, "1\r\n2");
    EXPECT_EQ(f.clipboard.pastes, std::vector<uint64_t>{9});
    EXPECT_TRUE(f.ui.timerChanges.empty());
}

TEST(FeedStringToApp, ExitChosenDuringAYieldStopsTheTypingAndLeavesTheTimerOff) {
    FeedFixture f;
    f.profile().KeyPressDelay = 3;
    f.profile().DoEventsOnDelay = true;
    f.ui.onDoEvents = [&f] {
        if (f.ui.doEventsCalls == 3) f.form.mnuExit_Click();
    };
    f.form.FeedStringToApp("123");
    EXPECT_EQ(f.ui.endedWith, std::vector<int>{0});
    const Journal firstKeyOnly = Journal{"timer off", "yield", "sleep 3", "yield"} + k1;
    EXPECT_EQ(f.keys.journal, firstKeyOnly + Journal{"yield"});
    EXPECT_FALSE(f.ui.timerEnabled);
}

TEST(FeedStringToApp, LogsTheSendInputLine) {
    FeedFixture f;
    f.form.FeedStringToApp("12.50");
    EXPECT_TRUE(f.debug.contains("VbSendInput => 12.50"));
}

}  // namespace
}  // namespace korvex::test

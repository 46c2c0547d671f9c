// The start-up sequence, launcher mode and the exit command, on fakes.
#include <gtest/gtest.h>

#include "app/Startup.h"
#include "resources/Resources.h"
#include "support/CoreHarness.h"
#include "text/Cp1255.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

// A main window with every service start-up touches.
struct StartupRig : test::CoreHarness {
    explicit StartupRig(const std::string& commandLine = {}) : CoreHarness(commandLine) {
        port.responder = [this](const std::string& sent) -> std::string {
            const auto it = test::kReaderAnswers.find(sent);
            const bool answered = port.settings().baud == 9600 && it != test::kReaderAnswers.end();
            return answered ? it->second : std::string();
        };
    }
    bool load(const std::string& utf8Ini) {
        writeIni(utf8Ini);
        return form->Form_Load();
    }
};

const char* const kPlainIni = "[Config]\r\nPort=1\r\n[A]\r\nRed=1\r\n";

TEST(FormLoad, RunsTheWholeSequenceAndStartsPolling) {
    StartupRig rig;
    rig.folder.write("banks_branches.txt", "");
    ASSERT_TRUE(rig.load(std::string(kPlainIni) + "ImageFileNameTemplate=x.tif\r\n"));
    EXPECT_EQ(rig.debug.messages().front(),
              "Starting Korvex ver. 1.0.0 in " + fromFsPath(rig.folder.path()));
    EXPECT_TRUE(rig.port.isOpen() && rig.ui.trayIconsAdded == 1);
    // Identification, then the track command and the image switch.
    ASSERT_GE(rig.port.written.size(), 3u);
    EXPECT_EQ(rig.port.written[0], "bla\r");
    EXPECT_EQ(rig.port.written[rig.port.written.size() - 2].substr(0, 2), "HW");
    EXPECT_EQ(rig.port.written.back(), "SWE 00000100\r");
    EXPECT_EQ(rig.processes.priorities, (std::vector<int32_t>{128}));
    EXPECT_TRUE(rig.ui.timerEnabled && !rig.form->debugFeedMode());
}

TEST(FormLoad, AnEndChosenWhileStartingStopsStartUp) {
    StartupRig rig;
    rig.ui.onDoEvents = [&rig] { rig.form->DoEnd(true); };
    EXPECT_FALSE(rig.load(kPlainIni));
    EXPECT_TRUE(rig.port.written.empty());  // the reader was never set up
    EXPECT_FALSE(rig.ui.timerEnabled);
}

TEST(FormLoad, SwitchesAreFoundAsSubstringsInAnyCase) {
    StartupRig rig("/nochkx /nosplash");
    ASSERT_TRUE(rig.load(kPlainIni));
    EXPECT_TRUE(rig.form->debugFeedMode());
    EXPECT_TRUE(rig.ui.splashes.empty());
    // No identification: only the track command went out.
    ASSERT_EQ(rig.port.written.size(), 1u);
    EXPECT_EQ(rig.port.written[0].substr(0, 2), "HW");
}

TEST(FormLoad, NonusReadersGetNeitherIdentificationNorTrackCommand) {
    StartupRig rig;
    ASSERT_TRUE(rig.load("[Config]\r\nNonus=2\r\n[A]\r\n"));
    EXPECT_TRUE(rig.port.written.empty());
    EXPECT_TRUE(rig.ui.timerEnabled);
    // Without banks_branches.txt there is only a warning.
    ASSERT_EQ(rig.ui.messageBoxes.size(), 1u);
    EXPECT_EQ(rig.ui.messageBoxes[0].text, branchFileMissingText());
}

TEST(FormLoad, WaitingReaderInputIsDiscarded) {
    StartupRig rig("/NOCHK");
    rig.port.feed("stale\r");
    ASSERT_TRUE(rig.load(kPlainIni));
    EXPECT_TRUE(rig.port.pending.empty());
}

TEST(FormLoad, AnUnreachableRestrictedPageEndsTheProgram) {
    for (const bool reachable : {false, true}) {
        StartupRig rig("/NOCHK");
        if (reachable) rig.http.answers.push_back(test::FakeHttpClient::page("<html>ok</html>"));
        rig.folder.write("banks_branches.txt", "");
        EXPECT_EQ(rig.load(std::string(kPlainIni) + "LimitedAccountURL=http://127.0.0.1:9/q\r\n"
                                                    "URLConnectionTimeout=5\r\n"),
                  reachable);
        EXPECT_EQ(rig.ui.timerEnabled, reachable);
        ASSERT_EQ(rig.http.requests.size(), 1u);
        EXPECT_EQ(std::tuple(rig.http.requests[0].url, rig.http.requests[0].timeoutSeconds),
                  std::tuple("http://127.0.0.1:9/q", 5));  // no query added
        if (reachable) continue;
        ASSERT_EQ(rig.ui.messageBoxes.size(), 1u);
        EXPECT_EQ(rig.ui.messageBoxes[0].icon, MsgIcon::Stop);
        EXPECT_EQ(cp1255::toUtf8(rig.ui.messageBoxes[0].text),
                  "אין תקשורת נתונים לאתר בנק ישראל. \r\n\r\nלא ניתן להריץ את התוכנה.\r\n\r\n"
                  "לסיוע, נא לפנות ל-Ovra בטלפון: 03-5550123");
        EXPECT_TRUE(rig.folder.exists("Korvex.shutdown") && rig.ui.trayIconRemoved);
    }
}

// The age rule is Startup's table; here the window warns and goes on.
TEST(FormLoad, ARestrictedListEightDaysOldWarnsAndStartUpGoesOn) {
    StartupRig rig("/NOCHK");
    rig.folder.write("Lists/ACC04005.TXT", "x");
    rig.folder.write("banks_branches.txt", "");
    const auto modified = fileModifiedLocal(rig.folder.path() / "Lists" / "ACC04005.TXT");
    ASSERT_TRUE(modified);
    rig.clock.set(LocalDateTime::fromSerialSeconds(
        LocalDateTime{modified->year, modified->month, modified->day, 0, 0, 1}.serialSeconds() +
        8 * 86400));
    ASSERT_TRUE(rig.load(std::string(kPlainIni) + "AccountListPath=Lists\r\n"));
    ASSERT_EQ(rig.ui.messageBoxes.size(), 1u);
    EXPECT_EQ(rig.ui.messageBoxes[0].text, listAgeWarningText());
    EXPECT_TRUE(rig.ui.timerEnabled);
}

TEST(LauncherMode, WritesTheWatchdogShowsTheSplashAndStartsIt) {
    for (const auto host : {ProcessLauncher::WatchdogHost::PosixShell,
                            ProcessLauncher::WatchdogHost::WindowsScriptHost}) {
        StartupRig rig("/AntiCrash /NOSPLASH");
        rig.processes.host = host;
        rig.writeIni("[Config]\r\nSplashScreenTime=100\r\n");
        EXPECT_FALSE(rig.form->Form_Load());
        const bool windows = host == ProcessLauncher::WatchdogHost::WindowsScriptHost;
        EXPECT_EQ(rig.folder.read("Korvex.watchtemp"),
                  windows ? resources::watchdogVbScript() : resources::watchdogShellScript());
        // The splash is modal and shown even with /NOSPLASH; its time is at least 750 ms.
        EXPECT_EQ(rig.ui.splashes, (std::vector<std::pair<int, bool>>{{750, true}}));
        ASSERT_EQ(rig.processes.watchdogs.size(), 1u);
        EXPECT_EQ(rig.processes.watchdogs[0].script.filename().string() +
                      rig.processes.watchdogs[0].semaphore.filename().string(),
                  "Korvex.watchtempKorvex.shutdown");
        EXPECT_FALSE(rig.port.isOpen() || rig.ui.trayIconsAdded ||
                     rig.folder.exists("Korvex.shutdown"));  // nothing else of start-up ran
        EXPECT_EQ(rig.ui.endedWith, (std::vector<int>{0}));
    }
}

TEST(ExitCommand, AsksAndEndsOnlyOnYes) {
    StartupRig rig;
    rig.port.open();
    rig.ui.messageBoxAnswers = {MsgResult::No};
    rig.form->mnuExit_Click();
    EXPECT_TRUE(rig.ui.endedWith.empty());
    EXPECT_TRUE(rig.port.isOpen());
    ASSERT_EQ(rig.ui.messageBoxes.size(), 1u);
    EXPECT_EQ(rig.ui.messageBoxes[0].buttons, MsgButtons::YesNo);
    rig.ui.messageBoxAnswers = {MsgResult::Yes};
    rig.form->mnuExit_Click();
    EXPECT_TRUE(!rig.port.isOpen() && rig.ui.trayIconRemoved &&
                rig.folder.exists("Korvex.shutdown"));
    EXPECT_EQ(rig.ui.endedWith, (std::vector<int>{0}));
}

}  // namespace
}  // namespace korvex

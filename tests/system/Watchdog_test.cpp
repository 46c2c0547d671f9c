// Launcher mode: the launcher hands over to the watchdog, which restarts a killed program without
// splash and stops and cleans up after an orderly shutdown.
#include <gtest/gtest.h>

#include "ProgramFolder.h"

namespace korvex::test {
namespace {

class Watchdog : public ::testing::Test {
protected:
    OrphanGuard orphans;  // declared first: ends the watchdog and its program, last
    ProgramFolder folder;
    VirtualDisplay display;
    SimulatedReader reader;  // runs across the program's restarts
    ChildProcess launcher;

    void SetUp() override {
        ASSERT_FALSE(display.display().empty()) << "Xvfb did not start";
        ASSERT_TRUE(reader.start({"--rate", "9600"}, folder / "reader-line"));
        folder.writeConfig("[Config]|SplashScreenTime=750|PortName=" + reader.link().string() +
                           "|CommSettings=9600,n,8,1|DataTerminationChars=13|"
                           "DefaultProfileName=System|[System]|CSVFile=Log.CSV");
    }
    void TearDown() override { OrphanGuard::endAll(); }

    // The running watchdogs (the shell with its script and this program), or programs, of here.
    std::vector<ProcessEntry> running(bool watchdog) const {
        const std::vector<std::string> tail = {(folder / "Korvex.watchtemp").string(),
                                               folder.program().string(),
                                               (folder / "Korvex.shutdown").string()};
        std::vector<ProcessEntry> found;
        for (auto& p : listProcesses()) {
            if (watchdog
                    ? p.args.size() == 4 && std::equal(tail.begin(), tail.end(), p.args.begin() + 1)
                    : !p.args.empty() && p.args[0] == tail[1]) {
                found.push_back(p);
            }
        }
        return found;
    }
    // The one program the watchdog runs, once there is exactly one and it is not `notThis`.
    std::optional<ProcessEntry> restartedProgram(std::chrono::milliseconds limit,
                                                 pid_t notThis) const {
        std::optional<ProcessEntry> found;
        waitUntil(
            [&] {
                const auto programs = running(false);
                if (programs.size() == 1 && programs[0].pid != notThis) found = programs[0];
                return found.has_value();
            },
            limit);
        return found;
    }
};

TEST_F(Watchdog, RestartsAKilledProgramAndStopsAfterAnOrderlyExit) {
    ASSERT_TRUE(launcher.start({folder.program().string(), "/AntiCrash"},
                               {display.environment(), folder / "launcher.log", -1, -1}));
    const auto launcherStatus = launcher.waitForExit(20s);
    ASSERT_TRUE(launcherStatus.has_value()) << "the launcher did not end";
    EXPECT_TRUE(WIFEXITED(*launcherStatus) && WEXITSTATUS(*launcherStatus) == 0);
    ASSERT_TRUE(waitUntil([&] { return running(true).size() == 1; }, 10s)) << "no watchdog";
    const pid_t watchdog = running(true)[0].pid;
    auto first = restartedProgram(10s, -1);
    ASSERT_TRUE(first.has_value()) << "the watchdog started no program";
    EXPECT_EQ(first->args, (std::vector<std::string>{folder.program().string(), "/NOSPLASH"}));
    ASSERT_EQ(kill(first->pid, SIGKILL), 0);
    auto second = restartedProgram(5s, first->pid);
    ASSERT_TRUE(second.has_value()) << "not restarted within 5 s";
    EXPECT_EQ(second->parent, watchdog);
    std::this_thread::sleep_for(2500ms);  // until it has set up its ending (and found the reader)
    // Asked to quit, the program ends in order; the watchdog sees its file, stops and removes it.
    ASSERT_EQ(kill(second->pid, SIGTERM), 0);
    EXPECT_TRUE(waitUntil([&] { return running(false).empty(); }, 15s))
        << "the program did not end";
    EXPECT_TRUE(waitUntil([&] { return running(true).empty(); }, 10s))
        << "the watchdog did not stop";
    EXPECT_TRUE(running(false).empty()) << "the watchdog started the program again";
    EXPECT_FALSE(folder.exists("Korvex.shutdown"));
    EXPECT_FALSE(folder.exists("Korvex.watchtemp"));
}

}  // namespace
}  // namespace korvex::test

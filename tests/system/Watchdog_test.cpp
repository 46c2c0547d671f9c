// Launcher mode on a private X server: the launcher shows its splash and hands over to the
// watchdog; the watchdog starts the program again without splash when it is killed, and stops and
// cleans up after an orderly shutdown.
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

    // Starts the launcher; its wait status once it has ended by itself.
    std::optional<int> launch() {
        EXPECT_TRUE(launcher.start({folder.program().string(), "/AntiCrash"},
                                   {display.environment(), folder / "launcher.log", -1, -1}));
        return launcher.waitForExit(20s);
    }
    // The watchdogs of this folder (the shell running its script with this program), or the
    // programs of this folder that run.
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
    // The launcher ends by itself once its splash has closed (750 ms).
    const auto started = std::chrono::steady_clock::now();
    const auto launcherStatus = launch();
    ASSERT_TRUE(launcherStatus.has_value()) << "the launcher did not end";
    EXPECT_TRUE(WIFEXITED(*launcherStatus) && WEXITSTATUS(*launcherStatus) == 0);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 750ms)
        << "the splash was not shown for its time";

    // The watchdog, detached from the launcher, starts the program without splash.
    ASSERT_TRUE(waitUntil([&] { return running(true).size() == 1; }, 10s)) << "no watchdog";
    const pid_t watchdog = running(true)[0].pid;
    auto first = restartedProgram(10s, -1);
    ASSERT_TRUE(first.has_value()) << "the watchdog started no program";
    EXPECT_EQ(first->parent, watchdog);
    EXPECT_EQ(first->args, (std::vector<std::string>{folder.program().string(), "/NOSPLASH"}));
    // The watchdog removed its script file and a shutdown file of an earlier run when it began.
    EXPECT_TRUE(waitUntil([&] { return !folder.exists("Korvex.watchtemp"); }, 5s));

    // Killed, the program is back with "/NOSPLASH" about a second later.
    ASSERT_EQ(kill(first->pid, SIGKILL), 0);
    auto second = restartedProgram(5s, first->pid);
    ASSERT_TRUE(second.has_value()) << "not restarted within 5 s";
    EXPECT_EQ(second->parent, watchdog);
    EXPECT_EQ(second->args, (std::vector<std::string>{folder.program().string(), "/NOSPLASH"}));
    EXPECT_FALSE(folder.exists("Korvex.shutdown"));

    // Let the restarted program open its line and identify the reader: a program that ended on
    // its own by then would show up as yet another restart.
    std::this_thread::sleep_for(2500ms);
    const auto settled = running(false);
    ASSERT_EQ(settled.size(), 1u);
    EXPECT_EQ(settled[0].pid, second->pid) << "the restarted program did not keep running";

    // Asked to quit, the program shuts down in order; the watchdog sees the shutdown file, stops,
    // and removes the file.
    ASSERT_EQ(kill(second->pid, SIGTERM), 0);
    EXPECT_TRUE(waitUntil([&] { return running(false).empty(); }, 15s))
        << "the program did not end";
    EXPECT_TRUE(waitUntil([&] { return running(true).empty(); }, 10s))
        << "the watchdog did not stop";
    EXPECT_TRUE(running(false).empty()) << "the watchdog started the program again";
    EXPECT_FALSE(folder.exists("Korvex.shutdown"));
    EXPECT_FALSE(folder.exists("Korvex.watchtemp"));
}

TEST_F(Watchdog, StopsWhenTheDisplayOfItsSessionIsGone) {
    ASSERT_TRUE(launch().has_value()) << "the launcher did not end";
    ASSERT_TRUE(waitUntil([&] { return running(true).size() == 1; }, 10s)) << "no watchdog";
    ASSERT_TRUE(restartedProgram(10s, -1).has_value()) << "the watchdog started no program";

    // The session ends: the program loses its display, and a restart cannot open it.
    display.end();
    EXPECT_TRUE(waitUntil([&] { return running(true).empty(); }, 15s)) << "the watchdog went on";
    EXPECT_TRUE(running(false).empty());
    EXPECT_FALSE(folder.exists("Korvex.watchtemp"));
}

}  // namespace
}  // namespace korvex::test

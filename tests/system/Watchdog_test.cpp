// Launcher mode: the launcher hands over to the watchdog, which restarts a killed program without
// splash and stops and cleans up after an orderly shutdown.
#include <gtest/gtest.h>

#include <fstream>

#include "ProgramFolder.h"

namespace korvex::test {
namespace {

// Whether the process has installed its handler for SIGTERM (the SigCgt mask of /proc).
bool catchesTermination(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
    }
    return false;
}

class Watchdog : public ::testing::Test {
protected:
    ProgramFolder folder;
    VirtualDisplay display;
    SimulatedReader reader;  // runs across the program's restarts
    ChildProcess launcher;
    OrphanGuard orphans;  // declared last: ends the watchdog and its program first

    // This folder's watchdogs (a shell with its script, this program and its files), or programs.
    std::vector<ProcessEntry> running(bool watchdog) const {
        const std::string program = folder.program().string();
        std::vector<ProcessEntry> found;
        for (auto& p : listProcesses()) {
            const bool isWatchdog = p.args.size() == 4 && p.args[2] == program;
            if (watchdog ? isWatchdog : !p.args.empty() && p.args[0] == program) found.push_back(p);
        }
        return found;
    }
    void configure() {
        ASSERT_TRUE(reader.start({"--rate", "9600"}, folder / "reader-line"));
        folder.writeConfig("[Config]|SplashScreenTime=750|PortName=" + reader.device() +
                           "|CommSettings=9600,n,8,1|DataTerminationChars=13|"
                           "DefaultProfileName=System|[System]|CSVFile=Log.CSV");
    }
};

TEST_F(Watchdog, RestartsAKilledProgramAndStopsAfterAnOrderlyExit) {
    ASSERT_FALSE(display.display().empty()) << "Xvfb did not start";
    ASSERT_NO_FATAL_FAILURE(configure());
    ASSERT_TRUE(launcher.start({folder.program().string(), "/AntiCrash"},
                               {display.environment(), folder / "launcher.log", -1, -1}));
    ASSERT_TRUE(launcher.waitForExit(20s).has_value()) << "the launcher did not end";
    ASSERT_TRUE(waitUntil([&] { return running(true).size() == 1; }, 10s)) << "no watchdog";
    const pid_t watchdog = running(true)[0].pid;
    // Waits for exactly one program, not `earlier`.
    std::vector<ProcessEntry> programs;
    const auto oneProgramBut = [&](pid_t earlier, std::chrono::milliseconds limit) {
        return waitUntil(
            [&] {
                programs = running(false);
                return programs.size() == 1 && programs[0].pid != earlier;
            },
            limit);
    };
    ASSERT_TRUE(oneProgramBut(-1, 10s)) << "the watchdog started no program";
    EXPECT_EQ(programs[0].args, (std::vector<std::string>{folder.program().string(), "/NOSPLASH"}));
    ASSERT_EQ(kill(programs[0].pid, SIGKILL), 0);
    ASSERT_TRUE(oneProgramBut(programs[0].pid, 5s)) << "not restarted within 5 s";
    EXPECT_EQ(programs[0].parent, watchdog);
    // Asked to quit as soon as it takes requests, still starting, the program ends in order; the
    // watchdog sees its file, stops and removes it.
    ASSERT_TRUE(waitUntil([&] { return catchesTermination(programs[0].pid); }, 5s));
    ASSERT_EQ(kill(programs[0].pid, SIGTERM), 0);
    EXPECT_TRUE(waitUntil([&] { return running(false).empty() && running(true).empty(); }, 15s))
        << "the program did not end or the watchdog did not stop";
    EXPECT_FALSE(folder.exists("Korvex.shutdown"));
}

// A request to quit that reaches the program before it is up, as right after a restart, waits for
// start-up and ends it in order: a kill would look like a crash to the watchdog. Started with the
// request blocked, the program has it pending from its first instruction.
TEST_F(Watchdog, AQuitRequestedWhileTheProgramStartsEndsItInOrder) {
    ASSERT_FALSE(display.display().empty()) << "Xvfb did not start";
    ASSERT_NO_FATAL_FAILURE(configure());
    sigset_t term, before;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &term, &before);
    const bool started = launcher.start({folder.program().string()},
                                        {display.environment(), folder / "korvex.log", -1, -1});
    if (started) kill(launcher.pid(), SIGTERM);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    ASSERT_TRUE(started);
    EXPECT_EQ(launcher.waitForExit(20s), std::optional<int>(0)) << folder.read("korvex.log");
    EXPECT_TRUE(folder.exists("Korvex.shutdown"));
}

}  // namespace
}  // namespace korvex::test

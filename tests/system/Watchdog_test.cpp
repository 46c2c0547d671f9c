// Launcher mode on a private X server: the launcher shows its splash and hands over to the
// watchdog; the watchdog starts the program again without splash when it is killed, and stops and
// cleans up after an orderly shutdown.
#include <gtest/gtest.h>

#include "ProgramFolder.h"
#include "SystemHarness.h"

namespace korvex::test {
namespace {

std::string watchdogConfig(const std::string& port) {
    return iniText({
        "[Config]",
        "SplashScreenTime=750",
        "PortName=" + port,
        "CommSettings=9600,n,8,1",
        "DataTerminationChars=13",
        "DefaultProfileName=System",
        "[System]",
        "CSVFile=Log.CSV",
    });
}

class Watchdog : public ::testing::Test {
protected:
    OrphanGuard orphans;  // declared first: ends the watchdog and its program, last
    ProgramFolder folder;
    VirtualDisplay display;
    int scriptPipe[2] = {-1, -1};
    ChildProcess reader;

    void SetUp() override {
        ASSERT_FALSE(display.display().empty()) << "Xvfb did not start";
        // The reader runs for as long as its script is open, across the program's restarts.
        ASSERT_EQ(pipe(scriptPipe), 0);
        fcntl(scriptPipe[1], F_SETFD, FD_CLOEXEC);
        ChildProcess::Options options;
        options.stdinFd = scriptPipe[0];
        options.output = folder / "reader.out";
        ASSERT_TRUE(reader.start(
            {KORVEX_READER_SIM, "--rate", "9600", "--link", (folder / "reader-line").string()},
            options));
        ASSERT_TRUE(
            waitUntil([&] { return std::filesystem::exists(folder / "reader-line"); }, 10s));
        folder.writeConfig(watchdogConfig((folder / "reader-line").string()));
    }
    void TearDown() override {
        OrphanGuard::endAll();
        close(scriptPipe[1]);
        close(scriptPipe[0]);
        reader.stop();
    }

    // The watchdog of this folder: the shell running its script with this program.
    std::vector<ProcessEntry> watchdogs() const {
        std::vector<ProcessEntry> found;
        for (auto& p : processesWithArgument((folder / "Korvex.watchtemp").string())) {
            if (p.args.size() == 4 && p.args[2] == folder.program().string() &&
                p.args[3] == (folder / "Korvex.shutdown").string()) {
                found.push_back(p);
            }
        }
        return found;
    }
    // The programs of this folder that run, with their arguments.
    std::vector<ProcessEntry> programs() const {
        std::vector<ProcessEntry> found;
        for (auto& p : listProcesses()) {
            if (!p.args.empty() && p.args[0] == folder.program().string()) found.push_back(p);
        }
        return found;
    }
    // The one program the watchdog runs, once there is exactly one.
    std::optional<ProcessEntry> restartedProgram(std::chrono::milliseconds limit,
                                                 pid_t notThis) const {
        std::optional<ProcessEntry> found;
        waitUntil(
            [&] {
                const auto running = programs();
                if (running.size() != 1 || running[0].pid == notThis) return false;
                found = running[0];
                return true;
            },
            limit);
        return found;
    }
};

TEST_F(Watchdog, RestartsAKilledProgramAndStopsAfterAnOrderlyExit) {
    ChildProcess launcher;
    ChildProcess::Options options;
    options.environment = display.environment();
    options.output = folder / "launcher.log";
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(launcher.start({folder.program().string(), "/AntiCrash"}, options));

    // The launcher ends by itself once its splash has closed (750 ms).
    const auto launcherStatus = launcher.waitForExit(20s);
    ASSERT_TRUE(launcherStatus.has_value()) << "the launcher did not end";
    EXPECT_TRUE(WIFEXITED(*launcherStatus) && WEXITSTATUS(*launcherStatus) == 0);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 750ms)
        << "the splash was not shown for its time";

    // The watchdog, detached from the launcher, starts the program without splash.
    ASSERT_TRUE(waitUntil([&] { return watchdogs().size() == 1; }, 10s)) << "no watchdog";
    const pid_t watchdog = watchdogs()[0].pid;
    auto first = restartedProgram(10s, -1);
    ASSERT_TRUE(first.has_value()) << "the watchdog started no program";
    EXPECT_EQ(first->parent, watchdog);
    EXPECT_EQ(first->args, (std::vector<std::string>{folder.program().string(), "/NOSPLASH"}));
    // The watchdog removed its script file and a shutdown file of an earlier run when it began.
    EXPECT_TRUE(waitUntil([&] { return !folder.exists("Korvex.watchtemp"); }, 5s));

    // Killed, the program is back with "/NOSPLASH" about a second later.
    ASSERT_EQ(kill(first->pid, SIGKILL), 0);
    const auto killedAt = std::chrono::steady_clock::now();
    auto second = restartedProgram(5s, first->pid);
    ASSERT_TRUE(second.has_value()) << "not restarted within 5 s";
    const auto gap = std::chrono::steady_clock::now() - killedAt;
    std::printf(
        "restarted after %lld ms\n",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(gap).count()));
    EXPECT_EQ(second->parent, watchdog);
    EXPECT_EQ(second->args, (std::vector<std::string>{folder.program().string(), "/NOSPLASH"}));
    EXPECT_FALSE(folder.exists("Korvex.shutdown"));

    // Let the restarted program open its line and identify the reader: a program that ended on
    // its own by then would show up as yet another restart.
    std::this_thread::sleep_for(2500ms);
    const auto settled = programs();
    ASSERT_EQ(settled.size(), 1u);
    EXPECT_EQ(settled[0].pid, second->pid) << "the restarted program did not keep running";

    // Asked to quit, the program shuts down in order; the watchdog sees the shutdown file, stops,
    // and removes the file.
    ASSERT_EQ(kill(second->pid, SIGTERM), 0);
    EXPECT_TRUE(waitUntil([&] { return programs().empty(); }, 15s)) << "the program did not end";
    EXPECT_TRUE(waitUntil([&] { return watchdogs().empty(); }, 10s)) << "the watchdog did not stop";
    EXPECT_TRUE(programs().empty()) << "the watchdog started the program again";
    EXPECT_FALSE(folder.exists("Korvex.shutdown"));
    EXPECT_FALSE(folder.exists("Korvex.watchtemp"));
}

TEST_F(Watchdog, StopsWhenTheDisplayOfItsSessionIsGone) {
    ChildProcess launcher;
    ChildProcess::Options options;
    options.environment = display.environment();
    options.output = folder / "launcher.log";
    ASSERT_TRUE(launcher.start({folder.program().string(), "/AntiCrash"}, options));
    ASSERT_TRUE(launcher.waitForExit(20s).has_value()) << "the launcher did not end";
    ASSERT_TRUE(waitUntil([&] { return watchdogs().size() == 1; }, 10s)) << "no watchdog";
    ASSERT_TRUE(restartedProgram(10s, -1).has_value()) << "the watchdog started no program";

    // The session ends: the program loses its display, and a restart cannot open it.
    display.end();
    EXPECT_TRUE(waitUntil([&] { return watchdogs().empty(); }, 15s)) << "the watchdog went on";
    EXPECT_TRUE(programs().empty());
    EXPECT_FALSE(folder.exists("Korvex.watchtemp"));
}

}  // namespace
}  // namespace korvex::test

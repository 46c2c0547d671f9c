#include "platform/posix/ProcessLauncherPosix.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "support/TempFolder.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using test::TempFolder;

// A program folder with a netpbm folder holding the given script.
struct ScriptFolder {
    TempFolder folder;
    ProcessLauncherPosix launcher{folder.path()};
    explicit ScriptFolder(const std::string& name, const std::string& body) {
        std::filesystem::create_directory(folder / "netpbm");
        folder.write("netpbm/" + name + ".sh", body);
    }
};

bool waitForFile(const std::filesystem::path& path, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (std::filesystem::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST(ProcessLauncherPosix, AWaitedScriptGivesItsExitCodeAndRunsInTheProgramFolder) {
    ScriptFolder s("probe",
                   "pwd > where.txt\nprintf '%s|' \"$@\" > args.txt\necho noise\nexit 3\n");
    const std::string hebrewName = "images\\" + cp1255::fromUtf8("צק") + " 1.jpg";
    const LaunchResult r =
        s.launcher.runScript("netpbm\\probe", {hebrewName, "two"}, std::chrono::seconds(30));
    EXPECT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(s.folder.read("where.txt"),
              std::filesystem::canonical(s.folder.path()).string() + "\n");
    EXPECT_EQ(s.folder.read("args.txt"), "images/צק 1.jpg|two|");
}

TEST(ProcessLauncherPosix, AScriptNotWaitedForReturnsAtOnceAndLeavesNoChild) {
    ScriptFolder s("slow", "sleep 1\necho done > done.txt\n");
    const auto before = std::chrono::steady_clock::now();
    const LaunchResult r = s.launcher.runScript("netpbm\\slow", {}, std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(800));
    EXPECT_TRUE(r.started);
    EXPECT_FALSE(s.folder.exists("done.txt"));
    EXPECT_TRUE(waitForFile(s.folder / "done.txt", std::chrono::seconds(10)));
    // The script was not our child: nothing is left to reap.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(ProcessLauncherPosix, AWaitedScriptPastItsTimeLimitIsKilledWithWhatItStarted) {
    // The script starts a program of its own that would outlive it, then hangs.
    ScriptFolder s("hang", "(sleep 3; echo late > late.txt) &\nsleep 30\nexit 0\n");
    const auto before = std::chrono::steady_clock::now();
    const LaunchResult r = s.launcher.runScript("netpbm\\hang", {}, std::chrono::milliseconds(300));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_TRUE(r.started);
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.exitCode, -1);
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);  // reaped
    EXPECT_EQ(errno, ECHILD);
    EXPECT_FALSE(waitForFile(s.folder / "late.txt", std::chrono::seconds(4)));
}

TEST(ProcessLauncherPosix, AMissingScriptFailsWithTheShellsError) {
    ScriptFolder s("present", "exit 0\n");
    const LaunchResult r = s.launcher.runScript("netpbm\\absent", {}, std::chrono::seconds(30));
    EXPECT_TRUE(r.started);
    EXPECT_NE(r.exitCode, 0);
}

TEST(ProcessLauncherPosix, PriorityClassesMapToNiceValues) {
    const std::vector<std::pair<int32_t, int>> table = {
        {32, 0}, {64, 19}, {16384, 5}, {32768, -5}, {128, -10}, {256, -20}, {7, 0}};
    for (const auto& [priorityClass, nice] : table) {
        EXPECT_EQ(niceValueForPriorityClass(priorityClass), nice) << priorityClass;
    }
    // Lowering the own priority is always allowed; do it in a child so this program keeps its own.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ProcessLauncherPosix launcher{"/"};
        const bool ok = launcher.SetProcessPriority(64);
        errno = 0;
        const int nice = ::getpriority(PRIO_PROCESS, 0);
        ::_exit(ok && nice == 19 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace korvex

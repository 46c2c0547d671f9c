// The POSIX launcher: scripts run in the program folder, the shipped netpbm ones on real images.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "platform/posix/ProcessLauncherPosix.h"
#include "support/ProcessHarness.h"
#include "support/TempFolder.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using namespace std::chrono_literals;

struct ProcessLauncherPosixTest : ::testing::Test {
    test::TempFolder folder;
    ProcessLauncherPosix launcher{folder.path()};
    // The first line a shell command run in the folder prints.
    std::string shell(const std::string& command) {
        const std::string line = "cd '" + folder.path().string() + "' && mkdir -p netpbm && (" +
                                 command + ") 2>/dev/null";
        std::FILE* pipe = ::popen(line.c_str(), "r");
        char out[256] = "";
        if (std::fgets(out, sizeof out, pipe) == nullptr) out[0] = '\0';
        ::pclose(pipe);
        return out;
    }
};

TEST_F(ProcessLauncherPosixTest, AWaitedScriptGivesItsExitCodeAndRunsInTheProgramFolder) {
    folder.write("netpbm/probe.sh", "printf '%s|' \"$@\" > args\nexit 3\n");
    const std::string hebrewName = "images\\" + cp1255::fromUtf8("צק") + " 1.jpg";
    const LaunchResult r = launcher.runScript("netpbm\\probe", {hebrewName, "two"}, 30s);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(folder.read("args"), "images/צק 1.jpg|two|");
}

// Not waited for, a script runs on alone; waited for past its time limit, it is killed with the
// program it started that would outlive it.
TEST_F(ProcessLauncherPosixTest, ScriptsNotWaitedForRunOnAndThosePastTheirLimitAreKilled) {
    folder.write("netpbm/slow.sh", "sleep 1\necho done > done.txt\n");
    folder.write("netpbm/hang.sh", "(sleep 3; echo late > late.txt) &\nsleep 30\nexit 0\n");
    auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(launcher.runScript("netpbm\\slow", {}, std::nullopt).started);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 800ms);
    before = std::chrono::steady_clock::now();
    EXPECT_TRUE(launcher.runScript("netpbm\\hang", {}, 300ms).timedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
    EXPECT_TRUE(test::waitUntil([&] { return folder.exists("done.txt"); }, 10s));
    EXPECT_FALSE(test::waitUntil([&] { return folder.exists("late.txt"); }, 4s));
    EXPECT_TRUE(::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD) << "a child is left";
}

// A scanner's G4 TIFF and a colour one become GIFs, and a back goes under its front; a broken
// image leaves no GIF (nor a part) and the front as it was.
TEST_F(ProcessLauncherPosixTest, TheShippedScriptsConvertAndCombineImages) {
    ASSERT_EQ(shell("cp '" KORVEX_SOURCE_DIR "/src/resources/netpbm/'*.sh netpbm && echo ok"),
              "ok\n");
    const std::vector<std::string> args = {"netpbm\\tmpimage.tif", "netpbm\\tmpimage.gif"};
    for (const std::string make : {"pbmmake -g 320 120 | pnmtotiff -g4",
                                   "ppmpat -g2 320 120 | pnmtotiff", "printf 'II*\\0garbage'"}) {
        SCOPED_TRACE(make);
        const bool broken = make.starts_with("printf");
        ASSERT_EQ(shell(make + " > netpbm/tmpimage.tif && rm -f netpbm/tmpimage.gif && echo ok"),
                  "ok\n");
        EXPECT_EQ(launcher.runScript("netpbm\\tif2gif", args, 30s).exitCode == 0, !broken);
        EXPECT_EQ(shell("giftopnm netpbm/tmpimage.gif | head -2 | tail -1"),
                  broken ? "" : "320 120\n");
        EXPECT_FALSE(folder.exists("netpbm/tmpimage.gif.part"));
    }
    for (const std::string back : {"ppmpat -g2 280 100 | pnmtojpeg", "echo not an image"}) {
        SCOPED_TRACE(back);
        ASSERT_EQ(shell("mkdir -p images && ppmpat -g2 300 120 | pnmtojpeg > images/front.jpg && "
                        "cp images/front.jpg netpbm/tmp-front.jpg && " +
                        back + " > netpbm/tmp-back.jpg && echo ok"),
                  "ok\n");
        const bool broken = back.starts_with("echo");
        const LaunchResult r =
            launcher.runScript("netpbm\\CombinePics", {"images\\front.jpg"}, 30s);
        EXPECT_EQ(r.exitCode == 0, !broken);
        EXPECT_EQ(shell("jpegtopnm images/front.jpg | head -2 | tail -1"),
                  broken ? "300 120\n" : "300 220\n");
    }
}

}  // namespace
}  // namespace korvex

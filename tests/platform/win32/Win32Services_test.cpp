// Text to and from the wide Windows functions, batch files run through the command interpreter
// and the watchdog's script host.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>

#include "app/Startup.h"
#include "platform/win32/ProcessLauncherWin32.h"
#include "platform/win32/Win32Text.h"
#include "support/TempFolder.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using std::chrono::milliseconds;
using test::TempFolder;

TEST(Win32Text, RoundTripsAndReplacements) {
    const std::string hebrew = cp1255::fromUtf8("שלום ₪"), nul("a\0b", 3);
    EXPECT_EQ(win32::widen(hebrew), L"\u05E9\u05DC\u05D5\u05DD \u20AA");
    EXPECT_EQ(win32::narrow(win32::widen(hebrew + nul)), hebrew + nul);
    EXPECT_EQ(win32::narrow(L"\u4E2D\U0001F600x"), "??x");  // outside the code page
    EXPECT_EQ(win32::toUtf8(L"\u05D0\U0001F600"), "\u05D0\U0001F600");
}

bool waitForFile(const TempFolder& folder, const std::string& name) {
    for (int i = 0; i < 400 && folder.read(name).empty(); ++i) ::Sleep(25);
    return !folder.read(name).empty();
}

TEST(ProcessLauncherWin32, RunsABatchFileWaitedForOrNot) {
    TempFolder folder;
    // Writes its first argument into the file named by its second and ends with status 7.
    folder.write("netpbm\\echo.bat", "@echo off\r\necho %~1>\"%~2\"\r\nexit /b 7\r\n");
    std::filesystem::create_directories(folder / "out dir");
    ProcessLauncherWin32 launcher(folder.path());
    LaunchResult r = launcher.runScript("netpbm\\echo", {"hello world", "out dir\\result.txt"},
                                        milliseconds(30000));
    ASSERT_TRUE(r.started) << r.error;
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_EQ(folder.read("out dir\\result.txt"), "hello world\r\n");
    launcher.runScript("netpbm\\echo", {"x", cp1255::fromUtf8("שיק 1.txt")}, milliseconds(30000));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / std::filesystem::path(u8"שיק 1.txt")));
    r = launcher.runScript("netpbm\\echo", {"later", "later.txt"}, std::nullopt);
    ASSERT_TRUE(r.started) << r.error;
    EXPECT_EQ(r.exitCode, -1);
    ASSERT_TRUE(waitForFile(folder, "later.txt"));
    EXPECT_EQ(folder.read("later.txt"), "later\r\n");
}

TEST(ProcessLauncherWin32, AWaitedScriptPastItsTimeLimitIsEndedWithWhatItStarted) {
    TempFolder folder;
    // The batch file hangs in a second interpreter that it started, which writes while it runs.
    folder.write("netpbm\\hang.bat", "@cmd /c netpbm\\spin.bat\r\n");
    folder.write("netpbm\\spin.bat", "@echo off\r\n:again\r\necho x>>ticks.txt\r\ngoto again\r\n");
    ProcessLauncherWin32 launcher(folder.path());
    const auto before = std::chrono::steady_clock::now();
    const LaunchResult r = launcher.runScript("netpbm\\hang", {}, milliseconds(1500));
    EXPECT_LT(std::chrono::steady_clock::now() - before, milliseconds(10000));
    ASSERT_TRUE(r.started) << r.error;
    EXPECT_TRUE(r.timedOut);
    ASSERT_TRUE(waitForFile(folder, "ticks.txt"));
    ::Sleep(300);
    const auto size = std::filesystem::file_size(folder / "ticks.txt");
    ::Sleep(1000);
    EXPECT_EQ(std::filesystem::file_size(folder / "ticks.txt"), size) << "still running";
}

TEST(ProcessLauncherWin32, WatchdogRunsUnderTheScriptHost) {
    TempFolder folder;
    // The last two arguments: Wine's wscript.exe passes its "//" options on to the script.
    folder.write("watch.vbs",
                 "n = WScript.Arguments.Count\r\n"
                 "Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
                 "Set f = fso.CreateTextFile(WScript.Arguments(n - 1), True)\r\n"
                 "f.Write WScript.Arguments(n - 2) & \"|\" & WScript.Arguments(n - 1)\r\n"
                 "f.Close\r\n");
    ProcessLauncherWin32 launcher(folder.path(), &windowsWatchdogCommand);
    EXPECT_EQ(launcher.watchdogHost(), ProcessLauncher::WatchdogHost::WindowsScriptHost);
    const LaunchResult r =
        launcher.startWatchdog(folder / "watch.vbs", folder / "Korvex.exe", folder / "Korvex.sem");
    ASSERT_TRUE(r.started) << r.error;
    ASSERT_TRUE(waitForFile(folder, "Korvex.sem"));
    EXPECT_EQ(folder.read("Korvex.sem"),
              (folder / "Korvex.exe").string() + "|" + (folder / "Korvex.sem").string());
}

}  // namespace
}  // namespace korvex

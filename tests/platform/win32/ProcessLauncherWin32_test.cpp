// Batch files run through the command interpreter, the watchdog's script host, and the priority.
#include "platform/win32/ProcessLauncherWin32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <thread>

#include "app/Startup.h"
#include "support/TempFolder.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using test::TempFolder;

// Writes its first argument into the file named by its second and ends with status 7.
constexpr const char* kEchoScript =
    "@echo off\r\n"
    "echo %~1>\"%~2\"\r\n"
    "exit /b 7\r\n";

bool waitForFile(const TempFolder& folder, const std::string& name) {
    for (int i = 0; i < 400; ++i) {
        if (folder.exists(name) && !folder.read(name).empty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

TEST(ProcessLauncherWin32, CommandLineQuotesEveryPartInsideOneOuterPair) {
    EXPECT_EQ(scriptCommandLine("C:\\Windows\\system32\\cmd.exe", "netpbm\\tif2gif",
                                {"a b.tif", "out\\c.gif"}),
              "\"C:\\Windows\\system32\\cmd.exe\" /s /c \"\"netpbm\\tif2gif.bat\" \"a b.tif\" "
              "\"out\\c.gif\"\"");
    EXPECT_EQ(scriptCommandLine("cmd.exe", "netpbm\\CombinePics", {}),
              "\"cmd.exe\" /s /c \"\"netpbm\\CombinePics.bat\"\"");
}

TEST(ProcessLauncherWin32, RunsABatchFileAndWaitsForItsStatus) {
    TempFolder folder;
    folder.write("netpbm\\echo.bat", kEchoScript);
    std::filesystem::create_directories(folder / "out dir");
    ProcessLauncherWin32 launcher(folder.path());

    const LaunchResult result = launcher.runScript(
        "netpbm\\echo", {"hello world", "out dir\\result.txt"}, std::chrono::seconds(30));
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 7);
    EXPECT_EQ(folder.read("out dir\\result.txt"), "hello world\r\n");
}

TEST(ProcessLauncherWin32, HebrewFileNamesArriveIntact) {
    TempFolder folder;
    folder.write("netpbm\\echo.bat", kEchoScript);
    ProcessLauncherWin32 launcher(folder.path());
    const std::string name = cp1255::fromUtf8("שיק 1.txt");
    const LaunchResult result =
        launcher.runScript("netpbm\\echo", {"x", name}, std::chrono::seconds(30));
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_TRUE(std::filesystem::exists(folder.path() / std::filesystem::path(u8"שיק 1.txt")));
}

TEST(ProcessLauncherWin32, RunsWithoutWaiting) {
    TempFolder folder;
    folder.write("netpbm\\echo.bat", kEchoScript);
    ProcessLauncherWin32 launcher(folder.path());
    const LaunchResult result =
        launcher.runScript("netpbm\\echo", {"later", "later.txt"}, std::nullopt);
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_EQ(result.exitCode, -1);
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
    const LaunchResult result =
        launcher.runScript("netpbm\\hang", {}, std::chrono::milliseconds(1500));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_TRUE(result.timedOut);
    ASSERT_TRUE(waitForFile(folder, "ticks.txt"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto size = std::filesystem::file_size(folder / "ticks.txt");
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_EQ(std::filesystem::file_size(folder / "ticks.txt"), size) << "still running";
}

TEST(ProcessLauncherWin32, AMissingScriptFailsWithItsStatusAndABadInterpreterCannotStart) {
    TempFolder folder;
    ProcessLauncherWin32 launcher(folder.path());
    const LaunchResult missing = launcher.runScript("netpbm\\nosuch", {}, std::chrono::seconds(30));
    EXPECT_TRUE(missing.started);
    EXPECT_NE(missing.exitCode, 0);

    wchar_t saved[MAX_PATH + 1] = {};
    const DWORD savedLength = ::GetEnvironmentVariableW(L"COMSPEC", saved, MAX_PATH + 1);
    ::SetEnvironmentVariableW(L"COMSPEC", L"C:\\no\\such\\interpreter.exe");
    const LaunchResult bad = launcher.runScript("netpbm\\nosuch", {}, std::chrono::seconds(30));
    ::SetEnvironmentVariableW(L"COMSPEC", savedLength > 0 ? saved : nullptr);
    EXPECT_FALSE(bad.started);
    EXPECT_NE(bad.error, "");
}

TEST(ProcessLauncherWin32, WatchdogRunsUnderTheScriptHost) {
    TempFolder folder;
    // Writes "<program>|<semaphore>" into the file named by its last argument. The last two
    // arguments are taken because Wine's wscript.exe passes the "//" host options on to the
    // script, where Windows keeps them.
    folder.write("watch.vbs",
                 "n = WScript.Arguments.Count\r\n"
                 "Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
                 "Set f = fso.CreateTextFile(WScript.Arguments(n - 1), True)\r\n"
                 "f.Write WScript.Arguments(n - 2) & \"|\" & WScript.Arguments(n - 1)\r\n"
                 "f.Close\r\n");
    ProcessLauncherWin32 launcher(folder.path(), &windowsWatchdogCommand);
    EXPECT_EQ(launcher.watchdogHost(), ProcessLauncher::WatchdogHost::WindowsScriptHost);
    const LaunchResult result =
        launcher.startWatchdog(folder / "watch.vbs", folder / "Korvex.exe", folder / "Korvex.sem");
    ASSERT_TRUE(result.started) << result.error;
    ASSERT_TRUE(waitForFile(folder, "Korvex.sem"));
    EXPECT_EQ(folder.read("Korvex.sem"),
              (folder / "Korvex.exe").string() + "|" + (folder / "Korvex.sem").string());
}

TEST(ProcessLauncherWin32, SetsThePriorityClassOfItsOwnProcess) {
    ProcessLauncherWin32 launcher({});
    struct Case {
        int32_t value;
        DWORD priorityClass;
    };
    const Case cases[] = {{16384, BELOW_NORMAL_PRIORITY_CLASS},
                          {64, IDLE_PRIORITY_CLASS},
                          {32768, ABOVE_NORMAL_PRIORITY_CLASS},
                          {32, NORMAL_PRIORITY_CLASS}};
    for (const Case& c : cases) {
        EXPECT_TRUE(launcher.SetProcessPriority(c.value)) << c.value;
        EXPECT_EQ(::GetPriorityClass(::GetCurrentProcess()), c.priorityClass) << c.value;
    }
    EXPECT_FALSE(launcher.SetProcessPriority(12345));
    EXPECT_EQ(::GetPriorityClass(::GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

}  // namespace
}  // namespace korvex

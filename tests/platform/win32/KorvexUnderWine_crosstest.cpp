// Windows programs under Wine against the simulated reader on a COM port: korvex.exe end to end
// (KORVEX_WINDOWS_PROGRAM and KORVEX_WINDOWS_TARGET) and the Win32 serial port's test in
// korvex_win32_tests.exe (KORVEX_WINDOWS_TESTS). Each is skipped without its .exe files.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "support/ProcessHarness.h"
#include "support/TempFolder.h"

namespace korvex::test {
namespace {

constexpr const char* kTitle = "Korvex Wine target";

std::string windowsPath(const std::filesystem::path& path) {
    std::string text = "Z:" + path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

// The .exe that `variable` names, or "" (the test is skipped) without it or without wine.
std::string windowsProgram(const char* variable) {
    const char* path = std::getenv(variable);
    if (path == nullptr || *path == '\0' || !run("command -v wine > /dev/null 2>&1")) return "";
    ::unsetenv("DISPLAY");
    ::setenv("WINEDEBUG", "-all", 0);
    return path;
}

// COM7 to `device`: Wine's registry keeps the mapping for later sessions, and the link in the
// prefix's devices folder makes it at once, without restarting the running Wine server.
bool mapComPort(const std::string& device) {
    const char* prefix = std::getenv("WINEPREFIX");
    const std::filesystem::path link =
        std::filesystem::path(prefix != nullptr ? prefix
                                                : std::getenv("HOME") + std::string("/.wine")) /
        "dosdevices/com7";
    std::error_code error;
    std::filesystem::remove(link, error);
    std::filesystem::create_symlink(device, link, error);
    return !error && run("wine reg add 'HKLM\\Software\\Wine\\Ports' /v COM7 /d '" + device +
                         "' /f < /dev/null > /dev/null 2>&1");
}

// Bytes of every value, CR and NUL among them: the image must pass the line unchanged.
std::string imageBytes(std::size_t n, int seed) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256 + seed));
    return bytes;
}

TEST(KorvexUnderWine, AChequeAndItsBackSideReachTheTargetTheLogAndTheImages) {
    const std::string program = windowsProgram("KORVEX_WINDOWS_PROGRAM");
    const std::string helper = windowsProgram("KORVEX_WINDOWS_TARGET");
    if (program.empty() || helper.empty()) GTEST_SKIP() << "no wine, or no korvex.exe or target";
    TempFolder folder;
    std::filesystem::copy_file(program, folder / "korvex.exe");
    std::filesystem::copy_file(
        std::filesystem::path(KORVEX_SOURCE_DIR) / "src/resources/banks_branches.txt",
        folder / "banks_branches.txt");
    SimulatedReader reader;
    ASSERT_TRUE(reader.start({"--rate", "9600"}, folder / "reader-line", folder / "reader.out"));
    ASSERT_TRUE(mapComPort(reader.deviceNow()));
    const auto script = [&](const std::string& line) { ASSERT_TRUE(reader.script(line)); };

    folder.write("Korvex.ini",
                 "[Config]\r\nPort=7\r\nDefaultProfileName=System\r\n[System]\r\n"
                 "ActivateWindow=1\r\nActivateWindowTitle=" +
                     std::string(kTitle) +
                     "\r\nCSVFile=Log.CSV\r\nChequeBackTimeout=60\r\n"
                     "ImageFileNameTemplate=images\\{ChequeNum}_{AccountNum}.tif\r\n"
                     "BackImageFileNameTemplate=images\\{ChequeNum}-back.tif\r\n"
                     "ChequeTemplate=<{ChequeNum}{TAB}{BankNum}{TAB}{BranchNum}{TAB}"
                     "{AccountNum}>{ENTER}\r\n");
    const std::string front = imageBytes(6000, 0), back = imageBytes(2500, 1);
    folder.write("front.tif", front);
    folder.write("back.tif", back);

    ChildProcess target(
        {"wine", helper, "--title", kTitle, "--out", windowsPath(folder / "received.txt")}, {});
    ASSERT_TRUE(waitUntil([&] { return folder.exists("received.txt"); }, 30s));
    // The program's diagnostics go to OutputDebugString, which Wine prints with +debugstr.
    ChildProcess::Options programOptions;
    programOptions.environment = {"WINEDEBUG=-all,+debugstr"};
    programOptions.output = folder / "korvex.log";
    ChildProcess korvex({"wine", (folder / "korvex.exe").string()}, programOptions);
    const auto log = [&] { return readWholeFile(folder / "korvex.log"); };
    const auto received = [&] { return readWholeFile(folder / "received.txt"); };

    // Polling has begun once a document is reported as unidentified.
    int probes = 0;
    ASSERT_TRUE(waitUntil(
        [&] {
            const std::string name = "PROBE" + std::to_string(++probes);
            script("scan " + name);
            return waitUntil(
                [&] { return log().find("Unidentified: " + name) != std::string::npos; }, 2000ms);
        },
        60s))
        << log();

    // Each document waits for the one before it: the reader holds one image at a time.
    const auto image = [&](const std::string& name) { return folder.read("images/" + name); };
    script("image " + (folder / "front.tif").string());
    script("scan A0012345 C12A345E 000123456C");
    EXPECT_TRUE(waitUntil([&] { return image("012345_0123456.tif").size() >= front.size(); }, 30s))
        << log();
    script("image " + (folder / "back.tif").string());
    script("nomicr");
    EXPECT_TRUE(waitUntil([&] { return image("012345-back.tif").size() >= back.size(); }, 30s))
        << log();
    const std::string expected = "<012345\t12\t345\t0123456>\r";
    EXPECT_TRUE(waitUntil([&] { return received().size() >= expected.size(); }, 30s)) << log();
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(received(), expected) << log();
    // Byte for byte (compared whole: a difference would print kilobytes of binary).
    EXPECT_TRUE(image("012345_0123456.tif") == front);
    EXPECT_TRUE(image("012345-back.tif") == back);
    const std::regex csv(R"(0012345,12,345,000123456,\d\d:\d\d:\d\d,\d\d/\d\d/\d{4},,,)"
                         R"("images\\012345_0123456\.tif"\r\n)");
    EXPECT_TRUE(std::regex_match(folder.read("Log.CSV"), csv)) << folder.read("Log.CSV");

    // Exit from the tray menu, answered Yes: the program ends in order and leaves nothing.
    ASSERT_TRUE(run("wine '" + helper + "' --exit-korvex > /dev/null 2>&1")) << log();
    const auto status = korvex.waitForExit(30s);
    ASSERT_TRUE(status.has_value()) << "still running after Exit\n" << log();
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;
    EXPECT_TRUE(folder.exists("Korvex.shutdown"));
    // Under either path's spelling; the bracket keeps pgrep from finding the shell that runs it.
    const std::string copy = folder.path().filename().string() + ".[k]orvex.exe";
    EXPECT_TRUE(waitUntil([&] { return !run("pgrep -f '" + copy + "' > /dev/null"); }, 10s))
        << "a korvex.exe process is left";
}

// The Win32 serial port's test, which leaves a file "kill" when the reader must go away; it comes
// back at 9600 behind the same link.
TEST(SerialUnderWine, TheWin32PortFindsTheReaderLosesItOnceAndReachesItAgain) {
    const std::string exe = windowsProgram("KORVEX_WINDOWS_TESTS");
    if (exe.empty()) GTEST_SKIP() << "no wine, or KORVEX_WINDOWS_TESTS is not set";
    TempFolder folder;
    SimulatedReader reader;
    ASSERT_TRUE(reader.start({"--rate", "115200"}, folder / "reader"));
    ASSERT_TRUE(mapComPort(reader.device()));
    ChildProcess::Options options;
    options.output = folder / "out.txt";
    options.environment = {"KORVEX_SIM_PORT=COM7",
                           "KORVEX_SIM_SIGNALS=" + windowsPath(folder.path())};
    ChildProcess windows({"wine", exe, "--gtest_filter=SerialPortWin32UnderSim.*"}, options);
    bool restarted = false;
    waitUntil(
        [&] {
            if (!restarted && folder.exists("kill")) {
                reader.process.stop();
                restarted = reader.start({"--rate", "9600"}, folder / "reader");
            }
            return !windows.running();
        },
        180s);
    const std::optional<int> status = windows.waitForExit(0ms);
    const std::string report = folder.read("out.txt");
    EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << report;
    EXPECT_NE(report.find("[  PASSED  ] 1 test."), std::string::npos) << report;
}

}  // namespace
}  // namespace korvex::test

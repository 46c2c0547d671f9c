// The simulated reader behind COM7 for SerialPortWin32UnderSim in KORVEX_WINDOWS_TESTS under
// Wine, which leaves a file "scan" or "kill" when the reader must act. Skipped without it.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/ProcessHarness.h"
#include "support/TempFolder.h"

namespace korvex::test {
namespace {

// The path as a Windows program under Wine names it (Wine's Z: drive is the root).
std::string windowsPath(const std::filesystem::path& path) {
    std::string text = "Z:" + path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

TEST(SerialUnderWine, TheWin32PortIdentifiesFetchesAndReachesTheReaderAgain) {
    const char* exe = std::getenv("KORVEX_WINDOWS_TESTS");
    if (exe == nullptr || *exe == '\0') GTEST_SKIP() << "KORVEX_WINDOWS_TESTS is not set";
    if (std::system("command -v wine > /dev/null 2>&1") != 0) GTEST_SKIP() << "no wine";
    ::setenv("WINEDEBUG", "-all", 0);
    ::unsetenv("DISPLAY");

    TempFolder folder;
    std::string image;
    for (int i = 0; i < 30000; ++i) image += static_cast<char>((i * 7 + i / 256) & 0xff);
    folder.write("image.bin", image);
    SimulatedReader reader;
    ASSERT_TRUE(reader.start({"--rate", "115200"}, folder / "reader"));
    // The mapping is made when the next Wine session starts.
    ASSERT_EQ(std::system(("wine reg add 'HKLM\\Software\\Wine\\Ports' /v COM7 /d '" +
                           reader.device() + "' /f < /dev/null > /dev/null 2>&1")
                              .c_str()),
              0);
    std::system("wineserver -k > /dev/null 2>&1");

    ChildProcess::Options options;
    options.output = folder / "out.txt";
    options.environment = {"KORVEX_SIM_PORT=COM7",
                           "KORVEX_SIM_IMAGE=" + windowsPath(folder / "image.bin"),
                           "KORVEX_SIM_SIGNALS=" + windowsPath(folder.path())};
    ChildProcess windows({"wine", exe, "--gtest_filter=SerialPortWin32UnderSim.*"}, options);
    bool scanned = false, killed = false;
    waitUntil(
        [&] {
            if (!scanned && folder.exists("scan")) {
                scanned = reader.script("image " + (folder / "image.bin").string()) &&
                          reader.script("scan 12345");
            }
            if (!killed && folder.exists("kill")) {
                reader.process.stop();
                killed = reader.start({"--rate", "9600"}, folder / "reader");
            }
            return !windows.running();
        },
        180s);
    const std::optional<int> status = windows.waitForExit(0ms);
    const std::string report = folder.read("out.txt");
    EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << report;
    EXPECT_TRUE(scanned && killed) << report;
    EXPECT_NE(report.find("[  PASSED  ] 1 test."), std::string::npos) << report;
    EXPECT_EQ(report.find("SKIPPED"), std::string::npos) << report;
}

}  // namespace
}  // namespace korvex::test

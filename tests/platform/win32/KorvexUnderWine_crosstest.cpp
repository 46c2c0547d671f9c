// korvex.exe end to end under Wine, in a fresh folder with its Korvex.ini: the simulated reader
// on a COM port, a Win32 target window, the log and the images, and Exit from the tray menu.
// KORVEX_WINDOWS_PROGRAM and KORVEX_WINDOWS_TARGET name the .exe files; skipped without them.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "support/ProcessHarness.h"
#include "support/TempFolder.h"

namespace korvex::test {
namespace {

constexpr const char* kTitle = "Korvex Wine target";
constexpr const char* kComPort = "COM7";

std::string windowsPath(const std::filesystem::path& path) {
    std::string text = "Z:" + path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

// Bytes of every value, CR and NUL among them: the image must pass the line unchanged.
std::string imageBytes(std::size_t n, int seed) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256 + seed));
    return bytes;
}

TEST(KorvexUnderWine, ChequesABackSideAndACardReachTheTargetTheLogAndTheImages) {
    const char* program = std::getenv("KORVEX_WINDOWS_PROGRAM");
    const char* helper = std::getenv("KORVEX_WINDOWS_TARGET");
    if (program == nullptr || helper == nullptr || *program == '\0' || *helper == '\0')
        GTEST_SKIP() << "KORVEX_WINDOWS_PROGRAM and KORVEX_WINDOWS_TARGET are not set";
    if (!run("command -v wine > /dev/null 2>&1")) GTEST_SKIP() << "wine is not installed";
    ::unsetenv("DISPLAY");
    ::setenv("WINEDEBUG", "-all", 0);

    TempFolder folder;
    std::filesystem::copy_file(program, folder / "korvex.exe");
    std::filesystem::copy_file(
        std::filesystem::path(KORVEX_SOURCE_DIR) / "src/resources/banks_branches.txt",
        folder / "banks_branches.txt");
    SimulatedReader reader;
    ASSERT_TRUE(reader.start({"--rate", "9600"}, folder / "reader-line", folder / "reader.out"));
    // The port: Wine's registry keeps the mapping for later sessions, and the link in the
    // prefix's devices folder makes it at once, without restarting the running Wine server.
    const std::string device = reader.deviceNow();
    ASSERT_TRUE(run("wine reg add 'HKLM\\Software\\Wine\\Ports' /v " + std::string(kComPort) +
                    " /d " + device + " /f > /dev/null 2>&1"));
    const char* prefix = std::getenv("WINEPREFIX");
    const std::filesystem::path devices =
        std::filesystem::path(prefix != nullptr ? prefix
                                                : std::string(std::getenv("HOME")) + "/.wine") /
        "dosdevices";
    std::error_code error;
    std::filesystem::remove(devices / "com7", error);
    std::filesystem::create_symlink(device, devices / "com7", error);
    ASSERT_FALSE(error) << error.message();
    const auto script = [&](const std::string& line) { ASSERT_TRUE(reader.script(line)); };

    folder.write("Korvex.ini",
                 "[Config]\r\nSplashScreenTime=750\r\nPort=7\r\nCommSettings=9600,n,8,1\r\n"
                 "DataTerminationChars=13\r\nMSRTracks=2\r\nDefaultProfileName=System\r\n"
                 "[System]\r\nActivateWindow=1\r\nActivateWindowTitle=" +
                     std::string(kTitle) +
                     "\r\nLetUserFillDetails=0\r\nDontPassPartialRead=1\r\nCSVFile=Log.CSV\r\n"
                     "ChequeNumStart=-13\r\nChequeNumLength=13\r\nChequeNumLeadingZeros=0\r\n"
                     "ChequeBankNumLeadingZeros=-1\r\nChequeBranchNumLength=3\r\n"
                     "ChequeBranchNumLeadingZeros=-1\r\nChequeAccountNumStart=-13\r\n"
                     "ChequeAccountNumLength=13\r\nChequeAccountNumLeadingZeros=0\r\n"
                     "ImageFileNameTemplate=images\\{ChequeNum}_{AccountNum}.tif\r\n"
                     "BackImageFileNameTemplate=images\\{ChequeNum}_{AccountNum}-back.tif\r\n"
                     "ChequeBackTimeout=60\r\n"
                     "ChequeTemplate=<{ChequeNum}{TAB}{BankNum}{TAB}{BranchNum}{TAB}"
                     "{AccountNum}>{ENTER}\r\nMagStripe2Template={MagPart1}={MagPart2}{ENTER}\r\n");
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
    EXPECT_TRUE(waitUntil([&] { return image("12345_123456.tif").size() >= front.size(); }, 30s))
        << log();
    script("image " + (folder / "back.tif").string());
    script("nomicr");
    EXPECT_TRUE(
        waitUntil([&] { return image("12345_123456-back.tif").size() >= back.size(); }, 30s))
        << log();
    script("scan ;4580123456789012=0905101?");
    const std::string expected = "<12345\t12\t345\t123456>\r4580123456789012=0905\r";
    EXPECT_TRUE(waitUntil([&] { return received().size() >= expected.size(); }, 30s)) << log();
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(received(), expected) << log();
    // Byte for byte (compared whole: a difference would print kilobytes of binary).
    EXPECT_TRUE(image("12345_123456.tif") == front);
    EXPECT_TRUE(image("12345_123456-back.tif") == back);
    const std::regex csv(R"(0012345,12,345,000123456,\d\d:\d\d:\d\d,\d\d/\d\d/\d{4},,,)"
                         R"("images\\12345_123456\.tif"\r\n)");
    EXPECT_TRUE(std::regex_match(folder.read("Log.CSV"), csv)) << folder.read("Log.CSV");

    // Exit from the tray menu, answered Yes: the program ends in order and leaves nothing.
    ASSERT_TRUE(run("wine '" + std::string(helper) + "' --exit-korvex > /dev/null 2>&1")) << log();
    const auto status = korvex.waitForExit(30s);
    ASSERT_TRUE(status.has_value()) << "still running after Exit\n" << log();
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;
    EXPECT_TRUE(folder.exists("Korvex.shutdown"));
    // Under either path's spelling; the bracket keeps pgrep from finding the shell that runs it.
    const std::string copy = folder.path().filename().string() + ".[k]orvex.exe";
    EXPECT_TRUE(waitUntil([&] { return !run("pgrep -f '" + copy + "' > /dev/null"); }, 10s))
        << "a korvex.exe process is left";
}

}  // namespace
}  // namespace korvex::test

// The Win32 serial port against the simulated reader: korvex-reader-sim runs here on a
// pseudo-terminal that Wine's registry maps to COM7, and the Windows test program's reader test
// (SerialPortWin32UnderSim) talks to it under Wine. That test leaves a file in a shared folder
// when the reader must act: "scan" for a document with an image, "kill" for the reader's death,
// after which a new reader starts behind the same link. KORVEX_WINDOWS_TESTS names
// korvex_win32_tests.exe (run in the WINEPREFIX of the caller); without it, or without wine, the
// test is skipped.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "support/TempFolder.h"

namespace korvex {
namespace {

using namespace std::chrono_literals;

std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (const char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The path as a Windows program under Wine names it (Wine's Z: drive is the root).
std::string windowsPath(const std::filesystem::path& path) {
    std::string text = "Z:" + path.string();
    for (char& c : text) c = c == '/' ? '\\' : c;
    return text;
}

// A child process in a process group of its own; `script` (when asked for) is its standard
// input, kept open so that a reader keeps running.
struct Child {
    pid_t pid = -1;
    int script = -1;

    Child(const std::vector<std::string>& argv, bool withScript) {
        int pipeEnds[2] = {-1, -1};
        if (withScript && ::pipe(pipeEnds) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::setpgid(0, 0);
            if (withScript) {
                // A reader prints its device's name; the test follows its link instead.
                ::dup2(pipeEnds[0], 0);
                ::close(pipeEnds[1]);
                ::dup2(::open("/dev/null", O_WRONLY), 1);
            }
            std::vector<char*> args;
            for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
        if (withScript) {
            ::close(pipeEnds[0]);
            script = pipeEnds[1];
        }
    }
    Child(Child&& other) noexcept
        : pid(std::exchange(other.pid, -1)), script(std::exchange(other.script, -1)) {}
    Child& operator=(Child&&) = delete;
    ~Child() { stop(); }
    void send(const std::string& lines) const {
        EXPECT_EQ(::write(script, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    }
    // The exit status once the child has ended by itself; -1 while it runs.
    int ended() {
        int status = 0;
        if (pid <= 0 || ::waitpid(pid, &status, WNOHANG) != pid) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }
    void stop() {
        if (script >= 0) ::close(script);
        script = -1;
        if (pid <= 0) return;
        ::kill(-pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
};

Child startReader(const std::filesystem::path& link, int rate) {
    std::filesystem::remove(link);
    Child reader({KORVEX_READER_SIM, "--rate", std::to_string(rate), "--link", link.string()},
                 true);
    for (int i = 0; i < 100 && !std::filesystem::is_symlink(link); ++i)
        std::this_thread::sleep_for(50ms);
    return reader;
}

TEST(SerialUnderWine, TheWin32PortIdentifiesFetchesAndReachesTheReaderAgain) {
    const char* exe = std::getenv("KORVEX_WINDOWS_TESTS");
    if (exe == nullptr || *exe == '\0') GTEST_SKIP() << "KORVEX_WINDOWS_TESTS is not set";
    if (std::system("command -v wine > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "wine is not installed";
    ::setenv("WINEDEBUG", "-all", 0);
    ::unsetenv("DISPLAY");

    test::TempFolder folder;
    const auto link = folder / "reader";
    std::string image;
    for (int i = 0; i < 30000; ++i) image += static_cast<char>((i * 7 + i / 256) & 0xff);
    folder.write("image.bin", image);

    Child first = startReader(link, 115200);
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    // The mapping is made when the next Wine session starts.
    ASSERT_EQ(std::system(("wine reg add 'HKLM\\Software\\Wine\\Ports' /v COM7 /d " +
                           quoted(link.string()) + " /f < /dev/null > /dev/null 2>&1")
                              .c_str()),
              0);
    std::system("wineserver -k > /dev/null 2>&1");

    ::setenv("KORVEX_SIM_PORT", "COM7", 1);
    ::setenv("KORVEX_SIM_IMAGE", windowsPath(folder / "image.bin").c_str(), 1);
    ::setenv("KORVEX_SIM_SIGNALS", windowsPath(folder.path()).c_str(), 1);
    const std::string output = (folder / "out.txt").string();
    Child windows(
        {"/bin/sh", "-c",
         "exec wine " + quoted(exe) + " --gtest_filter='SerialPortWin32UnderSim.*' < /dev/null > " +
             quoted(output) + " 2>&1"},
        false);
    std::optional<Child> second;
    int status = -1;
    bool scanned = false, killed = false;
    for (auto until = std::chrono::steady_clock::now() + 180s;
         status < 0 && std::chrono::steady_clock::now() < until;
         std::this_thread::sleep_for(50ms)) {
        if (!scanned && std::filesystem::exists(folder / "scan")) {
            first.send("image " + (folder / "image.bin").string() + "\nscan 12345\n");
            scanned = true;
        }
        if (!killed && std::filesystem::exists(folder / "kill")) {
            first.stop();
            second.emplace(startReader(link, 9600));
            killed = true;
        }
        status = windows.ended();
    }
    const std::string report = folder.read("out.txt");
    EXPECT_EQ(status, 0) << report;
    EXPECT_TRUE(scanned && killed) << report;
    EXPECT_NE(report.find("[  PASSED  ] 1 test."), std::string::npos) << report;
    EXPECT_EQ(report.find("SKIPPED"), std::string::npos) << report;
}

}  // namespace
}  // namespace korvex

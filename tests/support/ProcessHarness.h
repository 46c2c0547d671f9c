#pragma once
// Real processes for the back-end and system tests: child programs in process groups of their
// own, a private X server (with openbox when asked), the simulated reader on a pseudo-terminal.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowActivator.h"
#include "support/TempFolder.h"

extern char** environ;

namespace korvex::test {

using namespace std::chrono_literals;

// Polls `condition` every 20 ms until it holds or `limit` has passed; true when it held.
inline bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// A child program with its output in a file (or /dev/null), in a process group of its own that
// stop() and the destructor end: SIGTERM, then SIGKILL after two seconds.
class ChildProcess {
public:
    struct Options {
        std::vector<std::string> environment;  // "NAME=value" added to this process's own
        std::filesystem::path output;          // standard output and error; empty: /dev/null
        int stdinFd = -1;                      // -1: /dev/null
        int extraFd = -1;                      // passed on under the same number
    };

    ChildProcess() = default;
    ChildProcess(const std::vector<std::string>& args, const Options& options) {
        start(args, options);
    }
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool start(const std::vector<std::string>& args) { return start(args, Options()); }
    bool start(const std::vector<std::string>& args, const Options& options) {
        stop();
        status_.reset();
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
        for (const auto& extra : options.environment) {
            const std::string name = extra.substr(0, extra.find('=') + 1);
            std::erase_if(env, [&](const std::string& e) { return e.rfind(name, 0) == 0; });
            env.push_back(extra);
        }
        std::vector<char*> argv, envp;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (options.stdinFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, options.stdinFd, 0);
        } else {
            posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        }
        const std::string out = options.output.empty() ? "/dev/null" : options.output.string();
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        // dup2 onto itself clears close-on-exec in posix_spawn.
        if (options.extraFd > 2) {
            posix_spawn_file_actions_adddup2(&actions, options.extraFd, options.extraFd);
        }
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        if (posix_spawnp(&pid_, argv[0], &actions, &attributes, argv.data(), envp.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        return pid_ > 0;
    }

    pid_t pid() const { return pid_; }
    bool running() {
        if (pid_ <= 0 || status_) return false;
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) status_ = status;
        if (r < 0 && errno == ECHILD) status_ = -1;  // reaped elsewhere: ended, status unknown
        return !status_;
    }
    // The wait status once the program has ended within `limit`.
    std::optional<int> waitForExit(std::chrono::milliseconds limit) {
        waitUntil([this] { return !running(); }, limit);
        return status_;
    }
    void stop() {
        if (pid_ <= 0) return;
        if (running()) {
            kill(-pid_, SIGTERM);
            if (!waitUntil([this] { return !running(); }, 2000ms)) {
                kill(-pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
            }
        }
        kill(-pid_, SIGKILL);  // what the group left behind
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

struct ProcessEntry {
    pid_t pid = 0, parent = 0;
    std::vector<std::string> args;
};

// The live processes under /proc (zombies only await reaping and are left out).
inline std::vector<ProcessEntry> listProcesses() {
    std::vector<ProcessEntry> all;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        ProcessEntry p{std::atoi(entry.path().filename().c_str()), 0, {}};
        std::string stat, cmdline;
        try {  // a process that ends meanwhile makes libstdc++'s stream throw
            stat = readWholeFile(entry.path() / "stat");
            cmdline = readWholeFile(entry.path() / "cmdline");
        } catch (const std::exception&) {
            continue;
        }
        const auto close = stat.rfind(')');  // the state and the parent follow the name
        char state = 'Z';
        if (p.pid <= 0 || close == std::string::npos) continue;
        std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &p.parent);
        if (state == 'Z') continue;
        std::istringstream args(cmdline);
        for (std::string arg; std::getline(args, arg, '\0');) p.args.push_back(arg);
        all.push_back(std::move(p));
    }
    return all;
}

// Makes this process the reaper of its orphaned descendants, and on destruction ends and reaps
// every descendant still there, so that no test leaves a process behind even when it fails.
class OrphanGuard {
public:
    OrphanGuard() { prctl(PR_SET_CHILD_SUBREAPER, 1); }
    ~OrphanGuard() { endAll(); }

    // Killing a child hands its own children to this process: rounds reach every descendant.
    static void endAll() {
        for (int round = 0; round < 100; ++round) {
            bool any = false;
            for (const auto& p : listProcesses()) {
                if (p.parent == getpid()) any = kill(p.pid, SIGKILL) == 0 || any;
            }
            while (waitpid(-1, nullptr, WNOHANG) > 0) {
            }
            if (!any) return;
            std::this_thread::sleep_for(20ms);
        }
    }
};

inline bool openboxWanted() {
    const char* wm = std::getenv("KORVEX_TEST_WM");
    return wm != nullptr && std::string(wm) == "openbox";
}

// Xvfb on a display it chooses itself (-displayfd); display() is empty when it did not start.
// KORVEX_TEST_WM=openbox asks tests for a window manager (openboxWanted).
// Servers started at once side by side can claim one number: the one nobody reaches is replaced.
class VirtualDisplay {
public:
    VirtualDisplay() {
        const int lock =
            open("/tmp/korvex-system-tests-xvfb.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (lock >= 0) flock(lock, LOCK_EX);
        for (int attempt = 1; attempt <= 5 && display_.empty(); ++attempt) {
            const std::string number = startServer();
            if (!number.empty() && x11::X11Connection(":" + number).ok() && server_.running()) {
                display_ = ":" + number;
            } else {
                server_.stop();
                std::this_thread::sleep_for(100ms * attempt);
            }
        }
        if (lock >= 0) close(lock);
    }
    const std::string& display() const { return display_; }
    // Starts openbox; true once `ready` says it has announced itself.
    bool startWindowManager(const std::function<bool()>& ready) {
        return windowManager_.start({"openbox", "--sm-disable"}, {environment(), {}, -1, -1}) &&
               waitUntil(ready, 10s);
    }
    // For a program on this display; the toolkit's leaks at exit are not what tests look at.
    std::vector<std::string> environment() const {
        const char* asan = std::getenv("ASAN_OPTIONS");
        return {"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb",
                std::string("ASAN_OPTIONS=") + (asan != nullptr ? std::string(asan) + ":" : "") +
                    "detect_leaks=0"};
    }
    // Makes this process a client of the display too (Qt wants a private runtime folder).
    void useHere() const {
        setenv("DISPLAY", display_.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        char runtime[] = "/tmp/korvex-x11-runtime-XXXXXX";
        if (std::getenv("XDG_RUNTIME_DIR") == nullptr && mkdtemp(runtime) != nullptr) {
            setenv("XDG_RUNTIME_DIR", runtime, 1);
        }
    }

private:
    // Starts a server; the display number it reported ("" when none). Without -noreset the
    // server resets when its last client leaves and refuses a program connecting meanwhile.
    std::string startServer() {
        int fds[2];
        if (pipe(fds) != 0) return {};
        fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        server_.start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-noreset",
                       "-screen", "0", "1024x768x24"},
                      {{}, {}, -1, fds[1]});
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        return number;
    }
    ChildProcess server_, windowManager_;
    std::string display_;
};

#ifdef KORVEX_READER_SIM
// korvex-reader-sim behind the link `link`, fed its script through a pipe that outlives the
// reader, so that a reader started again reads the same script.
class SimulatedReader {
public:
    SimulatedReader() {
        if (pipe2(script_, O_CLOEXEC) != 0) script_[0] = script_[1] = -1;
    }
    // Started at once behind a link in a folder of its own; device() is empty when it failed.
    explicit SimulatedReader(const std::vector<std::string>& options) : SimulatedReader() {
        own_ = std::make_unique<TempFolder>();
        if (!start(options, *own_ / "line")) link_.clear();
    }
    ~SimulatedReader() {
        process.stop();
        close(script_[0]);  // -1 when the pipe was not made: harmless
        close(script_[1]);
    }

    // Starts the reader with `options`; true once its link is there.
    bool start(const std::vector<std::string>& options, const std::filesystem::path& link,
               const std::filesystem::path& output = {}) {
        link_ = link;
        std::error_code error;
        std::filesystem::remove(link, error);  // a dead reader leaves its link behind
        std::vector<std::string> args = {KORVEX_READER_SIM, "--link", link.string()};
        args.insert(args.end(), options.begin(), options.end());
        return process.start(args, {{}, output, script_[0], -1}) &&
               waitUntil([&] { return !deviceNow().empty(); }, 10s);
    }
    // One command of the reader's script.
    bool script(const std::string& line) {
        const std::string text = line + "\n";
        return write(script_[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }
    // The pseudo-terminal the link names now ("" when none).
    std::string deviceNow() const {
        std::error_code error;
        return std::filesystem::read_symlink(link_, error).string();
    }
    std::string device() const { return link_.string(); }

    ChildProcess process;

private:
    int script_[2] = {-1, -1};
    std::filesystem::path link_;
    std::unique_ptr<TempFolder> own_;
};
#endif

}  // namespace korvex::test

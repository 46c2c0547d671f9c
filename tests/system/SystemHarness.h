#pragma once
// What the system tests need to run the built programs: child processes that are stopped when
// their guard goes (each in its own process group), a private X server, waiting by polling, and a
// look at the processes under /proc. The test process makes itself the reaper of its orphans, so
// that programs started by programs (the watchdog and what it starts) stay within its reach and
// can be found and stopped by their own ids.

#include <X11/Xlib.h>
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
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace korvex::test {

using namespace std::chrono_literals;

// Polls `condition` every 20 ms until it holds or `limit` has passed; true when it held.
inline bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(20ms);
    }
}

inline std::string readWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A running child program. Its output goes to a file (or /dev/null); it runs in a process group
// of its own, which the destructor ends: SIGTERM, then SIGKILL after two seconds.
class ChildProcess {
public:
    struct Options {
        std::vector<std::string> environment;  // "NAME=value" added to this process's own
        std::filesystem::path output;          // standard output and error; empty: /dev/null
        int stdinFd = -1;                      // standard input; -1: /dev/null
        int extraFd = -1;                      // passed on under the same number
    };

    ChildProcess() = default;
    ChildProcess(const std::vector<std::string>& args, const Options& options) {
        start(args, options);
    }
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool start(const std::vector<std::string>& args, const Options& options) {
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
        argv.push_back(nullptr);
        for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string out = options.output.empty() ? "/dev/null" : options.output.string();
        if (options.stdinFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, options.stdinFd, 0);
        } else {
            posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        }
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        if (options.extraFd > 2) {
            // dup2 onto itself clears close-on-exec in posix_spawn.
            posix_spawn_file_actions_adddup2(&actions, options.extraFd, options.extraFd);
        }
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        const int failed =
            posix_spawnp(&pid_, argv[0], &actions, &attributes, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        if (failed != 0) pid_ = -1;
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
                int status = 0;
                waitpid(pid_, &status, 0);
            }
        }
        // What the group left behind.
        kill(-pid_, SIGKILL);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// --- processes under /proc ------------------------------------------------------------------

struct ProcessEntry {
    pid_t pid = 0;
    pid_t parent = 0;
    std::vector<std::string> args;
};

inline std::vector<ProcessEntry> listProcesses() {
    std::vector<ProcessEntry> all;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        ProcessEntry p;
        p.pid = static_cast<pid_t>(std::stol(name));
        // A process can end between the listing and the read; the read then fails (ESRCH), and
        // libstdc++ reports that as an exception from the stream.
        std::string stat, cmdline;
        try {
            stat = readWholeFile(entry.path() / "stat");
            cmdline = readWholeFile(entry.path() / "cmdline");
        } catch (const std::exception&) {
            continue;
        }
        // The parent is the fourth field of stat, after the name in parentheses.
        const auto close = stat.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) != 2) continue;
        if (state == 'Z') continue;  // ended, only waiting to be reaped
        p.parent = static_cast<pid_t>(parent);
        std::size_t from = 0;
        while (from < cmdline.size()) {
            const std::size_t end = cmdline.find('\0', from);
            p.args.push_back(
                cmdline.substr(from, end == std::string::npos ? std::string::npos : end - from));
            if (end == std::string::npos) break;
            from = end + 1;
        }
        all.push_back(std::move(p));
    }
    return all;
}

// Live processes whose arguments include `word` exactly.
inline std::vector<ProcessEntry> processesWithArgument(const std::string& word) {
    std::vector<ProcessEntry> found;
    for (auto& p : listProcesses()) {
        for (const auto& a : p.args) {
            if (a == word) {
                found.push_back(p);
                break;
            }
        }
    }
    return found;
}

inline std::vector<pid_t> descendantsOf(pid_t root) {
    const auto all = listProcesses();
    std::vector<pid_t> found = {root};
    for (std::size_t i = 0; i < found.size(); ++i) {
        for (const auto& p : all) {
            if (p.parent == found[i]) found.push_back(p.pid);
        }
    }
    found.erase(found.begin());
    return found;
}

// Makes this process the reaper of its orphaned descendants, and on destruction ends and reaps
// every descendant still there, so that no test leaves a process behind even when it fails.
class OrphanGuard {
public:
    OrphanGuard() { prctl(PR_SET_CHILD_SUBREAPER, 1); }
    ~OrphanGuard() { endAll(); }
    OrphanGuard(const OrphanGuard&) = delete;
    OrphanGuard& operator=(const OrphanGuard&) = delete;

    static void endAll() {
        for (int round = 0; round < 100; ++round) {
            const auto left = descendantsOf(getpid());
            for (const pid_t pid : left) kill(pid, SIGKILL);
            while (waitpid(-1, nullptr, WNOHANG) > 0) {
            }
            if (left.empty()) return;
            std::this_thread::sleep_for(20ms);
        }
    }
};

// --- a private X server ---------------------------------------------------------------------

// Xvfb on a display it chooses itself (-displayfd). display() is empty when it did not start.
// Servers started at the same moment by tests running side by side can both claim one display
// number; a server that answers no connection on the number it reported is replaced.
class VirtualDisplay {
public:
    VirtualDisplay() {
        // One start at a time among the tests of this machine.
        const int lock =
            open("/tmp/korvex-system-tests-xvfb.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (lock >= 0) flock(lock, LOCK_EX);
        for (int attempt = 0; attempt < 5 && display_.empty(); ++attempt) {
            const std::string number = startServer();
            if (number.empty()) continue;
            if (answers(":" + number) && server_.running()) {
                display_ = ":" + number;
            } else {
                server_.stop();
                std::this_thread::sleep_for(std::chrono::milliseconds(100 * (attempt + 1)));
            }
        }
        if (lock >= 0) close(lock);
    }
    const std::string& display() const { return display_; }
    // Ends the server, as the end of a desktop session does.
    void end() { server_.stop(); }
    // Whether the server still runs and takes connections.
    bool alive() { return !display_.empty() && server_.running() && answers(display_); }
    // The environment a program on this display needs.
    std::vector<std::string> environment() const {
        // Leak reports about the toolkit's libraries at exit are not what these tests look at.
        const char* asan = std::getenv("ASAN_OPTIONS");
        return {"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb",
                std::string("ASAN_OPTIONS=") + (asan != nullptr ? std::string(asan) + ":" : "") +
                    "detect_leaks=0"};
    }

private:
    // Starts a server; returns the display number it reported ("" when none).
    std::string startServer() {
        int fds[2];
        if (pipe(fds) != 0) return {};
        fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        ChildProcess::Options options;
        options.extraFd = fds[1];
        server_.stop();
        // -noreset: by default the server resets when its last client leaves, and a program that
        // connects during that reset is refused.
        server_.start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-noreset",
                       "-screen", "0", "1024x768x24"},
                      options);
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 20000) > 0) {
            char c = 0;
            if (read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        close(fds[0]);
        return number;
    }
    static bool answers(const std::string& display) {
        Display* connection = XOpenDisplay(display.c_str());
        if (connection == nullptr) return false;
        XCloseDisplay(connection);
        return true;
    }

    ChildProcess server_;
    std::string display_;
};

}  // namespace korvex::test

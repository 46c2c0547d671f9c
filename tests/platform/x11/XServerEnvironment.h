#pragma once
// A private X server for one test process: Xvfb on a free display (-displayfd), optionally
// openbox (KORVEX_TEST_WM=openbox), and helpers to start and stop the target-window program.
// Every process started here is stopped by its own id.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace korvex::test {

inline pid_t spawnProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

inline void stopProcess(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

class XServerEnvironment {
public:
    // Starts the server; returns an error text, empty on success.
    std::string start() {
        int fds[2];
        if (pipe(fds) != 0) return "pipe failed";
        fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        // -noreset: the server must not restart when its last client leaves, or a client that
        // connects during the reset is refused.
        xvfb_ = spawnProcess({"Xvfb", "-displayfd", std::to_string(fds[1]), "-noreset", "-nolisten",
                              "tcp", "-screen", "0", "1024x768x24"});
        close(fds[1]);
        if (xvfb_ <= 0) {
            close(fds[0]);
            return "cannot start Xvfb";
        }
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 15000) > 0) {
            char c = 0;
            if (read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        close(fds[0]);
        if (number.empty()) return "Xvfb reported no display";
        display_ = ":" + number;
        setenv("DISPLAY", display_.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
            // Qt wants a private runtime folder; without one it warns on every start.
            char runtime[] = "/tmp/korvex-x11-runtime-XXXXXX";
            if (mkdtemp(runtime) != nullptr) setenv("XDG_RUNTIME_DIR", runtime, 1);
        }
        const char* wm = std::getenv("KORVEX_TEST_WM");
        if (wm != nullptr && std::string(wm) == "openbox") {
            openbox_ = spawnProcess({"openbox", "--sm-disable"});
            if (openbox_ <= 0 || !waitForWindowManager()) return "openbox did not start";
        }
        return {};
    }
    void stop() {
        stopProcess(openbox_);
        stopProcess(xvfb_);
    }
    bool withWindowManager() const { return openbox_ > 0; }
    const std::string& display() const { return display_; }

private:
    bool waitForWindowManager() {
        Display* d = XOpenDisplay(display_.c_str());
        if (d == nullptr) return false;
        const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
        bool found = false;
        for (int i = 0; i < 500 && !found; ++i) {
            Atom type = None;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, AnyPropertyType,
                                   &type, &format, &items, &after, &data) == Success) {
                found = items > 0;
            }
            if (data != nullptr) XFree(data);
            if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        XCloseDisplay(d);
        return found;
    }

    pid_t xvfb_ = -1;
    pid_t openbox_ = -1;
    std::string display_;
};

}  // namespace korvex::test

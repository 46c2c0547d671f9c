#pragma once
// The key benchmark's X server, on the shared process harness: a private Xvfb that becomes this
// process's display, and child programs kept by their ids.

#include <memory>

#include "support/ProcessHarness.h"

namespace korvex::test {

inline pid_t spawnProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

inline void stopProcess(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

class XServerEnvironment {
public:
    // An error text, empty once the server runs.
    std::string start() {
        display_ = std::make_unique<VirtualDisplay>();
        if (display_->display().empty()) return "Xvfb did not start";
        display_->useHere();
        return {};
    }
    void stop() { display_.reset(); }

private:
    std::unique_ptr<VirtualDisplay> display_;
};

}  // namespace korvex::test

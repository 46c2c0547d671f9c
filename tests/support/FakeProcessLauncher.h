#pragma once
// A ProcessLauncher that records what would run and answers as the test says.

#include <functional>
#include <string>
#include <vector>

#include "platform/ProcessLauncher.h"

namespace korvex::test {

class FakeProcessLauncher : public ProcessLauncher {
public:
    struct Run {
        std::string script;
        std::vector<std::string> arguments;
        std::optional<std::chrono::milliseconds> timeLimit;  // none: not waited for
    };

    LaunchResult result{true, 0, false, {}};  // what every run answers
    std::function<void(const Run&)> onRun;    // what the script would do, when it matters

    std::vector<Run> runs;
    std::vector<int32_t> priorities;
    WatchdogHost host = WatchdogHost::PosixShell;
    struct Watchdog {
        std::filesystem::path script, program, semaphore;
    };
    std::vector<Watchdog> watchdogs;

    LaunchResult runScript(const std::string& scriptName, const std::vector<std::string>& arguments,
                           std::optional<std::chrono::milliseconds> timeLimit) override {
        runs.push_back({scriptName, arguments, timeLimit});
        if (onRun) onRun(runs.back());
        return result;
    }
    WatchdogHost watchdogHost() const override { return host; }
    LaunchResult startWatchdog(const std::filesystem::path& script,
                               const std::filesystem::path& program,
                               const std::filesystem::path& semaphore) override {
        watchdogs.push_back({script, program, semaphore});
        return result;
    }
    bool SetProcessPriority(int32_t priorityClass) override {
        priorities.push_back(priorityClass);
        return true;
    }
};

}  // namespace korvex::test

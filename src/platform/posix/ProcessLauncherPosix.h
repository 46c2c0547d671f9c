#pragma once
// Scripts of the netpbm folder run by /bin/sh, hidden: no terminal, standard input, output and
// error on /dev/null, the program folder as working folder. Priority through setpriority().

#include <filesystem>

#include "platform/ProcessLauncher.h"

namespace korvex {

class ProcessLauncherPosix : public ProcessLauncher {
public:
    explicit ProcessLauncherPosix(std::filesystem::path programFolder)
        : folder_(std::move(programFolder)) {}

    LaunchResult runScript(const std::string& scriptName, const std::vector<std::string>& arguments,
                           std::optional<std::chrono::milliseconds> timeLimit) override;
    bool SetProcessPriority(int32_t priorityClass) override;
    WatchdogHost watchdogHost() const override { return WatchdogHost::PosixShell; }
    LaunchResult startWatchdog(const std::filesystem::path& script,
                               const std::filesystem::path& program,
                               const std::filesystem::path& semaphore) override;

private:
    // Runs /bin/sh with the words (the first is argv[0]) in the program folder, hidden; waits for
    // it up to the time limit when there is one.
    LaunchResult spawnShell(std::vector<std::string> words,
                            std::optional<std::chrono::milliseconds> timeLimit);

    std::filesystem::path folder_;
};

// The nice value that stands for a Windows priority class (unknown classes: normal, 0).
int niceValueForPriorityClass(int32_t priorityClass);

}  // namespace korvex

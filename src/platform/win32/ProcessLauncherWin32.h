#pragma once
// Scripts of the netpbm folder run by the command interpreter named by COMSPEC (cmd.exe when it
// is not set): `<COMSPEC> /s /c ""netpbm\<name>.bat" "argument" ..."`, hidden (no console window),
// with the program folder as the working folder. Command lines go to CreateProcessW as UTF-16, so
// Hebrew file names arrive intact whatever the system's ANSI code page is.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/ProcessLauncher.h"

namespace korvex {

// The command line that runs the script: the interpreter in quotes, "/s /c", and the batch file
// and each argument in quotes, all inside one more pair of quotes (with /s, cmd.exe removes
// exactly that outer pair and keeps the rest as written). "\" separates folders; Windows-1255.
std::string scriptCommandLine(const std::string& interpreter, const std::string& scriptName,
                              const std::vector<std::string>& arguments);

class ProcessLauncherWin32 : public ProcessLauncher {
public:
    // The watchdog's command line from the script, program and semaphore files (UTF-8 text);
    // the program's start-up decides it. Without one the watchdog cannot be started.
    using WatchdogCommand = std::function<std::string(
        const std::string& script, const std::string& program, const std::string& semaphore)>;

    explicit ProcessLauncherWin32(std::filesystem::path programFolder,
                                  WatchdogCommand watchdogCommand = {})
        : folder_(std::move(programFolder)), watchdogCommand_(std::move(watchdogCommand)) {}

    // A waited script runs in a job object of its own, so that at the time limit the job ends
    // the interpreter together with every program the batch file started.
    LaunchResult runScript(const std::string& scriptName, const std::vector<std::string>& arguments,
                           std::optional<std::chrono::milliseconds> timeLimit) override;
    WatchdogHost watchdogHost() const override { return WatchdogHost::WindowsScriptHost; }
    // wscript.exe with the script, started hidden and not waited for.
    LaunchResult startWatchdog(const std::filesystem::path& script,
                               const std::filesystem::path& program,
                               const std::filesystem::path& semaphore) override;
    // OpenProcess on the own process id, SetPriorityClass, CloseHandle.
    bool SetProcessPriority(int32_t priorityClass) override;

private:
    // Starts the command line hidden in the program folder; waits for its end up to the time
    // limit when there is one.
    LaunchResult start(std::wstring commandLine,
                       std::optional<std::chrono::milliseconds> timeLimit);

    std::filesystem::path folder_;
    WatchdogCommand watchdogCommand_;
};

}  // namespace korvex

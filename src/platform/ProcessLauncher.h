#pragma once
// Starting the helper scripts of the "netpbm" folder, and the priority of the own process.
//
// The core names a script by its base name as the configuration writes it, e.g. "netpbm\tif2gif"
// or "netpbm\CombinePics", relative to the program folder. The back end picks what runs: on
// POSIX systems `/bin/sh netpbm/<name>.sh`, on Windows the command interpreter named by COMSPEC
// with `/c netpbm\<name>.bat`. Scripts run hidden (no window, no console output), with the
// program folder as their working folder.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvex {

struct LaunchResult {
    bool started = false;   // false: the command could not be started at all
    int exitCode = -1;      // waited runs only: the script's exit status (-1 when it did not exit)
    bool timedOut = false;  // waited runs only: still running at the time limit, so it was ended
                            // together with everything it had started
    std::string error;      // why it could not be started, Windows-1255 text
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;

    // Runs the script with the arguments. Arguments that are file names are given as the core
    // writes them (Windows-1255, "\" between folders); the back end turns them into the system's
    // form and quotes each one. With a time limit the call waits for the script to end, but no
    // longer than that: a script still running then is killed with every process it started, so
    // that a hung script cannot freeze the program. Without one (std::nullopt) the call returns as
    // soon as the script has been started and nothing is left behind when it ends (no zombie).
    virtual LaunchResult runScript(const std::string& scriptName,
                                   const std::vector<std::string>& arguments,
                                   std::optional<std::chrono::milliseconds> timeLimit) = 0;

    // Which script host runs the watchdog of launcher mode, and so which of the embedded
    // watchdog scripts start-up writes out.
    enum class WatchdogHost { WindowsScriptHost, PosixShell };
    virtual WatchdogHost watchdogHost() const = 0;

    // Starts the watchdog script with the program file and the semaphore file as its two
    // arguments, hidden and detached: it outlives this process. On Windows this is the
    // wscript.exe command line of launcher mode, elsewhere /bin/sh.
    virtual LaunchResult startWatchdog(const std::filesystem::path& script,
                                       const std::filesystem::path& program,
                                       const std::filesystem::path& semaphore) = 0;

    // Sets the own process's priority, given as a Windows priority class value (32 normal,
    // 64 idle, 128 high, 256 real time, 16384 below normal, 32768 above normal). Returns false
    // when the system refused; callers may ignore the result.
    virtual bool SetProcessPriority(int32_t priorityClass) = 0;
};

}  // namespace korvex

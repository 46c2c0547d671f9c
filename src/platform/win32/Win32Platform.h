#pragma once
// The services of the Windows build that need no user interface library: the clock, the debug
// output and the script launcher. The program's PlatformServices owns one of these on Windows.

#include <filesystem>

#include "platform/posix/SystemClock.h"
#include "platform/win32/DebugSinkWin32.h"
#include "platform/win32/ProcessLauncherWin32.h"

namespace korvex {

class Win32Platform {
public:
    // Scripts run in `programFolder`.
    explicit Win32Platform(const std::filesystem::path& programFolder)
        : processes_(programFolder) {}

    Clock& clock() { return clock_; }
    DebugSink& debugSink() { return debug_; }
    ProcessLauncher& processes() { return processes_; }

private:
    SystemClock clock_;
    DebugSinkWin32 debug_;
    ProcessLauncherWin32 processes_;
};

}  // namespace korvex

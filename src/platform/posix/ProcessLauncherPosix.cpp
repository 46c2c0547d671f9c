#include "platform/posix/ProcessLauncherPosix.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "text/FilePath.h"

namespace korvex {
namespace {

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void execHidden(const char* folder, char* const* argv) {
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        if (null > 2) ::close(null);
    }
    ::setsid();  // no controlling terminal: nothing the script does reaches the operator
    if (::chdir(folder) != 0) ::_exit(126);
    ::execv("/bin/sh", argv);
    ::_exit(127);
}

int exitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return exitCodeOf(status);
}

// Waits for the child up to the limit; past it kills the child's process group (the child made
// itself a session leader, so the group holds the script and whatever it started) and reaps it.
// Returns the exit code, or nothing when the limit was reached.
std::optional<int> waitFor(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return exitCodeOf(status);
        if (done < 0 && errno != EINTR) return -1;
        if (std::chrono::steady_clock::now() >= until) break;
        const timespec pause{0, 10 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);  // in case it had not reached setsid() yet
    waitFor(pid);
    return std::nullopt;
}

}  // namespace

int niceValueForPriorityClass(int32_t priorityClass) {
    switch (priorityClass) {
        case 64: return 19;     // idle
        case 16384: return 5;   // below normal
        case 32768: return -5;  // above normal
        case 128: return -10;   // high
        case 256: return -20;   // real time
        default: return 0;      // normal and anything unknown
    }
}

bool ProcessLauncherPosix::SetProcessPriority(int32_t priorityClass) {
    return ::setpriority(PRIO_PROCESS, 0, niceValueForPriorityClass(priorityClass)) == 0;
}

LaunchResult ProcessLauncherPosix::runScript(const std::string& scriptName,
                                             const std::vector<std::string>& arguments,
                                             std::optional<std::chrono::milliseconds> timeLimit) {
    std::vector<std::string> words = {"sh", toFsPath(scriptName + ".sh").string()};
    for (const auto& argument : arguments) words.push_back(toFsPath(argument).string());
    return spawnShell(std::move(words), timeLimit);
}

LaunchResult ProcessLauncherPosix::startWatchdog(const std::filesystem::path& script,
                                                 const std::filesystem::path& program,
                                                 const std::filesystem::path& semaphore) {
    return spawnShell({"sh", script.string(), program.string(), semaphore.string()}, std::nullopt);
}

LaunchResult ProcessLauncherPosix::spawnShell(std::vector<std::string> words,
                                              std::optional<std::chrono::milliseconds> timeLimit) {
    const bool wait = timeLimit.has_value();
    LaunchResult result;
    // Everything the child needs is prepared before fork().
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string folder = folder_.string();

    const pid_t child = ::fork();
    if (child < 0) {
        result.error = std::string("fork: ") + std::strerror(errno);
        return result;
    }
    if (child == 0) {
        if (!wait) {
            // Not waited for: a grandchild runs the script and is adopted by init, so nothing
            // is left to reap when it ends.
            const pid_t grandchild = ::fork();
            if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
        }
        execHidden(folder.c_str(), argv.data());
    }
    if (!wait) {
        result.started = waitFor(child) == 0;
        if (!result.started) result.error = "the script could not be started";
        return result;
    }
    result.started = true;
    const std::optional<int> status = waitFor(child, *timeLimit);
    result.timedOut = !status.has_value();
    result.exitCode = status.value_or(-1);
    return result;
}

}  // namespace korvex

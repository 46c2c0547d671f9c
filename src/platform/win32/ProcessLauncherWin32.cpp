#include "platform/win32/ProcessLauncherWin32.h"

#include <algorithm>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Text.h"

namespace korvex {
namespace {

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }

// The value of COMSPEC, or cmd.exe (found on the search path) when it is not set.
std::string commandInterpreter() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = ::GetEnvironmentVariableW(L"COMSPEC", buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return "cmd.exe";
    return win32::narrow(std::wstring_view(buffer, length));
}

std::string systemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message =
        length > 0 ? win32::narrow(std::wstring_view(text, length)) : std::string();
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    return "error " + std::to_string(error) + (message.empty() ? "" : ": " + message);
}

}  // namespace

std::string scriptCommandLine(const std::string& interpreter, const std::string& scriptName,
                              const std::vector<std::string>& arguments) {
    std::string inner = inQuotes(scriptName + ".bat");
    for (const auto& argument : arguments) inner += " " + inQuotes(argument);
    return inQuotes(interpreter) + " /s /c " + inQuotes(inner);
}

LaunchResult ProcessLauncherWin32::runScript(const std::string& scriptName,
                                             const std::vector<std::string>& arguments,
                                             std::optional<std::chrono::milliseconds> timeLimit) {
    return start(win32::widen(scriptCommandLine(commandInterpreter(), scriptName, arguments)),
                 timeLimit);
}

LaunchResult ProcessLauncherWin32::startWatchdog(const std::filesystem::path& script,
                                                 const std::filesystem::path& program,
                                                 const std::filesystem::path& semaphore) {
    // The paths come from the system and may hold characters that Windows-1255 lacks: the line is
    // put together in UTF-8 and widened whole.
    const auto utf8 = [](const std::filesystem::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    };
    if (!watchdogCommand_) {
        LaunchResult none;
        none.error = "no command line for the watchdog";
        return none;
    }
    const std::string command = watchdogCommand_(utf8(script), utf8(program), utf8(semaphore));
    return start(win32::widenUtf8(command), std::nullopt);
}

bool ProcessLauncherWin32::SetProcessPriority(int32_t priorityClass) {
    HANDLE self = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, ::GetCurrentProcessId());
    if (self == nullptr) return false;
    const bool ok = ::SetPriorityClass(self, static_cast<DWORD>(priorityClass)) != FALSE;
    ::CloseHandle(self);
    return ok;
}

LaunchResult ProcessLauncherWin32::start(std::wstring command,
                                         std::optional<std::chrono::milliseconds> timeLimit) {
    LaunchResult result;  // `command` is a copy: CreateProcessW may write into it
    const std::wstring folder = folder_.wstring();

    // A waited script starts suspended and joins its job before it can start anything itself.
    HANDLE job = timeLimit ? ::CreateJobObjectW(nullptr, nullptr) : nullptr;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    const DWORD flags = CREATE_NO_WINDOW | (job != nullptr ? CREATE_SUSPENDED : 0);
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, flags, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        result.error = systemMessage(::GetLastError());
        if (job != nullptr) ::CloseHandle(job);
        return result;
    }
    result.started = true;
    // Without a job (the system refused one) only the interpreter itself can be ended in time.
    if (job != nullptr && !::AssignProcessToJobObject(job, process.hProcess)) {
        ::CloseHandle(job);
        job = nullptr;
    }
    if (flags & CREATE_SUSPENDED) ::ResumeThread(process.hThread);
    ::CloseHandle(process.hThread);
    if (timeLimit) {
        const auto limit = std::clamp<long long>(timeLimit->count(), 0, INFINITE - 1);
        DWORD code = 0;
        if (::WaitForSingleObject(process.hProcess, static_cast<DWORD>(limit)) == WAIT_TIMEOUT) {
            result.timedOut = true;
            if (job == nullptr || !::TerminateJobObject(job, 1)) {
                ::TerminateProcess(process.hProcess, 1);
            }
            ::WaitForSingleObject(process.hProcess, 5000);
        } else if (::GetExitCodeProcess(process.hProcess, &code)) {
            result.exitCode = static_cast<int>(code);
        }
    }
    // Closing the handles leaves nothing behind: Windows frees the process when it ends, and the
    // job (which does not kill on close) when its last process has ended.
    if (job != nullptr) ::CloseHandle(job);
    ::CloseHandle(process.hProcess);
    return result;
}

}  // namespace korvex

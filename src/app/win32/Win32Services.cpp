#include "app/win32/Win32Services.h"

#include "app/Startup.h"
#include "platform/posix/SystemClock.h"
#include "platform/win32/DebugSinkWin32.h"
#include "platform/win32/HttpClientWin32.h"
#include "platform/win32/ProcessLauncherWin32.h"
#include "platform/win32/SerialPortWin32.h"
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32KeyInjector.h"
#include "platform/win32/Win32KeyboardLayout.h"
#include "platform/win32/Win32WindowActivator.h"

namespace korvex {

struct Win32Services::Impl {
    explicit Impl(const std::filesystem::path& folder)
        : processes(folder, &windowsWatchdogCommand) {}
    SystemClock clock;
    DebugSinkWin32 debug;
    ProcessLauncherWin32 processes;
    SerialPortWin32 serial;
    HttpClientWin32 http;
    Win32KeyboardLayout layout;
    Win32KeyInjector keys;
    Win32WindowActivator windows;
    Win32Clipboard clipboard;
};

Win32Services::Win32Services(const std::filesystem::path& programFolder)
    : impl_(std::make_unique<Impl>(programFolder)) {}

Win32Services::~Win32Services() = default;

Services Win32Services::services(OperatorUi& ui) const {
    return {impl_->clock,     impl_->debug,  ui,          impl_->serial,  impl_->http,
            impl_->processes, impl_->layout, impl_->keys, impl_->windows, impl_->clipboard};
}

}  // namespace korvex

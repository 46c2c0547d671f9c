#include "app/qt/PlatformServices.h"

#include "output/UsKeyboardLayout.h"
#include "platform/Clipboard.h"
#include "platform/KeyInjector.h"
#include "platform/WindowActivator.h"
#include "platform/qt/ClipboardQt.h"
#include "platform/qt/HttpClientQt.h"
#include "platform/qt/SerialPortQt.h"

#if defined(KORVEX_HAVE_X11)
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11KeyboardLayout.h"
#include "platform/x11/X11WindowActivator.h"
#include "platform/x11/XTestKeyInjector.h"
#endif

#if defined(_WIN32)
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32KeyInjector.h"
#include "platform/win32/Win32KeyboardLayout.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32WindowActivator.h"
#else
#include "platform/posix/DebugSinkStderr.h"
#include "platform/posix/ProcessLauncherPosix.h"
#include "platform/posix/SystemClock.h"
#endif

namespace korvex {
namespace {

// Where no desktop takes key events (no X display), typing fails openly: nothing is sent and
// every call says so, so the feeding routine reports the failure instead of pretending.
class NoKeyInjector : public KeyInjector {
public:
    PlatformResult sendKey(const KeyEvent&) override { return none(); }
    PlatformResult sendBatch(const std::vector<KeyEvent>&) override { return none(); }
    void waitUntilProcessed() override {}
    PlatformResult endOfText() override { return PlatformResult::ok(); }

private:
    static PlatformResult none() {
        return PlatformResult::failure(PlatformResult::Kind::Unavailable, "no X display");
    }
};

class NoWindowActivator : public WindowActivator {
public:
    PlatformResult appActivate(const std::string&) override {
        return PlatformResult::failure(PlatformResult::Kind::Unavailable, "no X display");
    }
    uint64_t foregroundWindow() override { return 0; }
    uint32_t lastError() override { return 1400; }  // "invalid window handle"
};

}  // namespace

struct PlatformServices::Impl {
#if defined(_WIN32)
    std::unique_ptr<Win32Platform> native;
#else
    SystemClock clock;
    DebugSinkStderr debug;
    std::unique_ptr<ProcessLauncherPosix> processes;
#endif
    SerialPortQt serial;
    HttpClientQt http;
    std::unique_ptr<KeyboardLayout> layout;
    std::unique_ptr<KeyInjector> keys;
    std::unique_ptr<WindowActivator> windows;
    std::unique_ptr<Clipboard> clipboard;
#if defined(KORVEX_HAVE_X11)
    std::unique_ptr<x11::X11Connection> display;
#endif
};

PlatformServices::PlatformServices(const std::filesystem::path& programFolder)
    : impl_(std::make_unique<Impl>()) {
#if defined(_WIN32)
    impl_->native = std::make_unique<Win32Platform>(programFolder);
    impl_->layout = std::make_unique<Win32KeyboardLayout>();
    impl_->keys = std::make_unique<Win32KeyInjector>();
    impl_->windows = std::make_unique<Win32WindowActivator>();
#else
    impl_->processes = std::make_unique<ProcessLauncherPosix>(programFolder);
#endif
#if defined(KORVEX_HAVE_X11)
    impl_->display = std::make_unique<x11::X11Connection>();
    if (impl_->display->ok()) {
        impl_->layout = std::make_unique<x11::X11KeyboardLayout>(*impl_->display);
        impl_->keys = std::make_unique<x11::XTestKeyInjector>(*impl_->display);
        impl_->windows = std::make_unique<x11::X11WindowActivator>(*impl_->display);
    }
#endif
    if (!impl_->keys) {
        shortcomings_ = "No display to type into: keys cannot be sent on this desktop";
        impl_->layout = std::make_unique<UsKeyboardLayout>();
        impl_->keys = std::make_unique<NoKeyInjector>();
        impl_->windows = std::make_unique<NoWindowActivator>();
    }
#if defined(_WIN32)
    // Windows pastes with the system command the target windows answer, not a shortcut.
    impl_->clipboard = std::make_unique<Win32Clipboard>();
#else
    impl_->clipboard = std::make_unique<ClipboardQt>(*impl_->keys, *impl_->layout);
#endif
}

PlatformServices::~PlatformServices() = default;

Services PlatformServices::services() const {
    Services s;
#if defined(_WIN32)
    s.clock = &impl_->native->clock();
    s.debug = &impl_->native->debugSink();
    s.processes = &impl_->native->processes();
#else
    s.clock = &impl_->clock;
    s.debug = &impl_->debug;
    s.processes = impl_->processes.get();
#endif
    s.serial = &impl_->serial;
    s.http = &impl_->http;
    s.keyboardLayout = impl_->layout.get();
    s.keys = impl_->keys.get();
    s.windows = impl_->windows.get();
    s.clipboard = impl_->clipboard.get();
    return s;
}

}  // namespace korvex

#include "app/qt/PlatformServices.h"

#include "output/UsKeyboardLayout.h"
#include "platform/Clipboard.h"
#include "platform/KeyInjector.h"
#include "platform/WindowActivator.h"
#include "platform/posix/DebugSinkStderr.h"
#include "platform/posix/ProcessLauncherPosix.h"
#include "platform/posix/SystemClock.h"
#include "platform/qt/ClipboardQt.h"
#include "platform/qt/HttpClientQt.h"
#include "platform/qt/SerialPortQt.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11KeyboardLayout.h"
#include "platform/x11/X11WindowActivator.h"
#include "platform/x11/XTestKeyInjector.h"

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
    SystemClock clock;
    DebugSinkStderr debug;
    std::unique_ptr<ProcessLauncherPosix> processes;
    SerialPortQt serial;
    HttpClientQt http;
    std::unique_ptr<KeyboardLayout> layout;
    std::unique_ptr<KeyInjector> keys;
    std::unique_ptr<WindowActivator> windows;
    std::unique_ptr<Clipboard> clipboard;
    std::unique_ptr<x11::X11Connection> display;
};

PlatformServices::PlatformServices(const std::filesystem::path& programFolder)
    : impl_(std::make_unique<Impl>()) {
    impl_->processes = std::make_unique<ProcessLauncherPosix>(programFolder);
    impl_->display = std::make_unique<x11::X11Connection>();
    if (impl_->display->ok()) {
        impl_->layout = std::make_unique<x11::X11KeyboardLayout>(*impl_->display);
        impl_->keys = std::make_unique<x11::XTestKeyInjector>(*impl_->display);
        impl_->windows = std::make_unique<x11::X11WindowActivator>(*impl_->display);
    } else {
        shortcomings_ = "No display to type into: keys cannot be sent on this desktop";
        impl_->layout = std::make_unique<UsKeyboardLayout>();
        impl_->keys = std::make_unique<NoKeyInjector>();
        impl_->windows = std::make_unique<NoWindowActivator>();
    }
    impl_->clipboard = std::make_unique<ClipboardQt>(*impl_->keys, *impl_->layout);
}

PlatformServices::~PlatformServices() = default;

Services PlatformServices::services(OperatorUi& ui) const {
    return {impl_->clock,      impl_->debug,   ui,           impl_->serial,   impl_->http,
            *impl_->processes, *impl_->layout, *impl_->keys, *impl_->windows, *impl_->clipboard};
}

}  // namespace korvex

// Key events per second that each route delivers into the real target window under Xvfb, and the
// time from FeedStringToApp's call until the target has the last character of a 60-character
// cheque template. Starts its own Xvfb; run it as it is.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "app/frmKorvex.h"
#include "output/UsKeyboardLayout.h"
#include "platform/posix/SystemClock.h"
#include "platform/qt/ClipboardQt.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11KeyboardLayout.h"
#include "platform/x11/X11WindowActivator.h"
#include "platform/x11/XTestKeyInjector.h"
#include "support/FakeClipboard.h"
#include "support/FakeClock.h"
#include "support/FakeHttpClient.h"
#include "support/FakeProcessLauncher.h"
#include "support/FakeSerialPort.h"
#include "support/FakeWindowActivator.h"
#include "support/RecordingDebugSink.h"
#include "support/ScriptedOperatorUi.h"
#include "support/TempFolder.h"
// Last: Xlib's macros clash with names in the headers above.
#include "XServerEnvironment.h"

namespace {

using namespace std::chrono_literals;
using korvex::FeedOutcome;

// 60 characters as typed: 8 + 2 + 3 + 9 digits, tabs, a date, an amount and Enter.
const std::string kTemplate =
    "12345678{TAB}10{TAB}800{TAB}123456789{TAB}06/12/2026{TAB}1234.50{TAB}Korvex cheque{ENTER}";
constexpr std::size_t kTypedCharacters = 8 + 1 + 2 + 1 + 3 + 1 + 9 + 1 + 10 + 1 + 7 + 1 + 13 + 1;

// The key events one text takes (on a US keymap, as Xvfb has).
class CountingKeys : public korvex::KeyInjector {
public:
    korvex::PlatformResult sendKey(const korvex::KeyEvent&) override {
        ++events;
        return {};
    }
    korvex::PlatformResult sendBatch(const std::vector<korvex::KeyEvent>& batch) override {
        events += batch.size();
        return {};
    }
    void waitUntilProcessed() override {}
    korvex::PlatformResult endOfText() override { return {}; }
    std::size_t events = 0;
};

std::size_t keyEventsPerText() {
    korvex::UsKeyboardLayout us;
    CountingKeys counting;
    korvex::test::FakeClock clock;
    korvex::test::FakeWindowActivator windows;
    korvex::test::FakeClipboard clipboard;
    korvex::modSendKeys engines(
        {clock, us, counting, windows, clipboard}, [] {}, nullptr);
    engines.VbSendKeys(kTemplate, 0, false);
    return counting.events;
}

struct Rig {
    korvex::test::XServerEnvironment server;
    std::unique_ptr<QGuiApplication> app;
    korvex::test::TempFolder folder;
    pid_t target = -1;
    std::unique_ptr<korvex::x11::X11Connection> connection;
    std::unique_ptr<korvex::x11::X11KeyboardLayout> layout;
    std::unique_ptr<korvex::x11::XTestKeyInjector> keys;
    std::unique_ptr<korvex::x11::X11WindowActivator> windows;
    std::unique_ptr<korvex::ClipboardQt> clipboard;
    korvex::SystemClock clock;
    korvex::test::ScriptedOperatorUi ui;
    // Feeding never reads the reader, asks the web or runs a script.
    korvex::test::RecordingDebugSink debug;
    korvex::test::FakeSerialPort port;
    korvex::test::FakeHttpClient http;
    korvex::test::FakeProcessLauncher processes;
    std::unique_ptr<korvex::frmKorvex> form;
    std::string error;

    Rig() {
        error = server.start();
        if (!error.empty()) return;
        static int argc = 1;
        static char name[] = "keys_bench";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
        target = korvex::test::spawnProcess({KORVEX_TARGET_WINDOW_PATH, "--title", "Bench Target",
                                             "--out", (folder / "out.txt").string()});
        connection = std::make_unique<korvex::x11::X11Connection>();
        layout = std::make_unique<korvex::x11::X11KeyboardLayout>(*connection);
        keys = std::make_unique<korvex::x11::XTestKeyInjector>(*connection);
        windows = std::make_unique<korvex::x11::X11WindowActivator>(*connection);
        clipboard = std::make_unique<korvex::ClipboardQt>(*keys, *layout);
        const korvex::Services s{clock,     debug,   ui,    port,     http,
                                 processes, *layout, *keys, *windows, *clipboard};
        form = std::make_unique<korvex::frmKorvex>(s, korvex::ProgramInfo{});
        for (int i = 0; i < 300 && !windows->appActivate("Bench Target"); ++i) {
            std::this_thread::sleep_for(50ms);
        }
        std::this_thread::sleep_for(300ms);
        korvex::ProfileSettings p = form->profile();
        p.ActivateWindow = true;
        p.ActivateWindowTitle = "Bench Target";
        form->setProfileForTesting(p);
    }
    ~Rig() {
        form.reset();
        clipboard.reset();
        windows.reset();
        keys.reset();
        layout.reset();
        connection.reset();
        korvex::test::stopProcess(target);
        app.reset();
        server.stop();
    }
    std::size_t received() {
        std::error_code ec;
        const auto size = std::filesystem::file_size(folder / "out.txt", ec);
        return ec ? 0 : static_cast<std::size_t>(size);
    }
    // Waits until the target holds `bytes` bytes; false after 10 s.
    bool waitFor(std::size_t bytes) {
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (received() < bytes) {
            if (std::chrono::steady_clock::now() > until) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            std::this_thread::yield();
        }
        return true;
    }
};

Rig& rig() {
    static Rig instance;
    return instance;
}

void runRoute(benchmark::State& state, bool clipboard, int32_t delay, bool useOld) {
    Rig& r = rig();
    if (!r.error.empty()) {
        state.SkipWithError(r.error.c_str());
        return;
    }
    korvex::ProfileSettings p = r.form->profile();
    p.ClipboardWin98DOS = clipboard;
    p.KeyPressDelay = delay;
    p.UseOldSendKeys = useOld;
    r.form->setProfileForTesting(p);
    // The pasted text carries CR LF for Enter; the typed text a CR.
    const std::size_t perText = kTypedCharacters + (clipboard ? 1 : 0);
    for (auto _ : state) {
        const std::size_t before = r.received();
        const auto start = std::chrono::steady_clock::now();
        if (r.form->FeedStringToApp(kTemplate) != FeedOutcome::Sent ||
            !r.waitFor(before + perText)) {
            state.SkipWithError("the target did not receive the text");
            return;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["characters/s"] = benchmark::Counter(
        static_cast<double>(kTypedCharacters), benchmark::Counter::kIsIterationInvariantRate);
    if (!clipboard) {
        state.counters["key events/s"] = benchmark::Counter(
            static_cast<double>(keyEventsPerText()), benchmark::Counter::kIsIterationInvariantRate);
    }
}

void BM_SendInputRoute(benchmark::State& state) { runRoute(state, false, 0, false); }
void BM_KeybdRouteNoDelay(benchmark::State& state) { runRoute(state, false, 0, true); }
void BM_ClipboardRoute(benchmark::State& state) { runRoute(state, true, 0, false); }

}  // namespace

BENCHMARK(BM_SendInputRoute)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_KeybdRouteNoDelay)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ClipboardRoute)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

BENCHMARK_MAIN();

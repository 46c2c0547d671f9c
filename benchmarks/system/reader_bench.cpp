// The reader link over a real pseudo-terminal, through QSerialPort, against korvex-reader-sim:
//  - image throughput of ReceiveImage in bytes per second, beside what a 115200-baud line
//    carries (about 11,520 bytes per second with a start and a stop bit per byte);
//  - the time from a cheque's arrival at the port to its first key event, with the real 100 ms
//    polling timer driving the main window's tick: bounded by one tick plus the core's work.
// Figures only: the machine's load decides them, so nothing here passes or fails on time.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "SimulatedReader.h"
#include "app/frmKorvex.h"
#include "platform/posix/SystemClock.h"
#include "platform/qt/SerialPortQt.h"
#include "reader/ImageTransfer.h"
#include "support/FakeClipboard.h"
#include "support/FakeHttpClient.h"
#include "output/UsKeyboardLayout.h"
#include "support/FakeProcessLauncher.h"
#include "support/FakeWindowActivator.h"
#include "support/RecordingDebugSink.h"
#include "support/RecordingKeyInjector.h"
#include "support/ScriptedOperatorUi.h"
#include "support/TempFolder.h"

namespace korvex {
namespace {

using Steady = std::chrono::steady_clock;
constexpr double kLineBytesPerSecond = 115200.0 / 10.0;

std::string imageOf(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 13 + i / 4096) & 0xff);
    return bytes;
}

void BM_ImageThroughput(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    test::SimulatedReader reader({"--rate", "115200"});
    SerialPortQt port;
    SystemClock clock;
    test::ScriptedOperatorUi ui;
    test::TempFolder folder;
    ReaderIo io{port, clock, ui, [](const std::string&) {}, "\r", folder.path(), [] {}};
    port.setPortName(reader.device());
    port.setSettings({.baud = 115200});
    if (reader.device().empty() || !port.open()) {
        state.SkipWithError("no simulated reader on a pseudo-terminal");
        return;
    }
    folder.write("held.tif", imageOf(size));
    reader.script("image " + (folder / "held.tif").string());
    reader.script("scan A0012345 C12A345E 000123456C");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    port.input();  // the document's line, which the image follows

    std::size_t received = 0;
    double seconds = 0;
    for (auto _ : state) {
        std::string name = "front.tif";
        const auto start = Steady::now();
        const ImageTransferResult result = ReceiveImage(io, name, true);
        seconds += std::chrono::duration<double>(Steady::now() - start).count();
        if (result.received != static_cast<int32_t>(size)) {
            state.SkipWithError("the image did not arrive whole");
            return;
        }
        received += size;
    }
    state.SetBytesProcessed(static_cast<int64_t>(received));
    // How many times what the line carries: above 1 the link, not the program, is the limit.
    if (seconds > 0)
        state.counters["times the line"] =
            static_cast<double>(received) / seconds / kLineBytesPerSecond;
    state.counters["line bytes/s"] = kLineBytesPerSecond;
}
BENCHMARK(BM_ImageThroughput)
    ->Arg(50000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A main window on the real port and clock, with recording key output, driven by a real 100 ms
// timer as the program drives it.
struct TickRig {
    test::SimulatedReader reader{{"--rate", "9600"}};
    test::TempFolder folder;
    SerialPortQt port;
    SystemClock clock;
    test::ScriptedOperatorUi ui;
    test::RecordingDebugSink debug;
    test::FakeHttpClient http;
    test::FakeProcessLauncher processes;
    UsKeyboardLayout layout;
    test::RecordingKeyInjector keys;
    test::FakeWindowActivator windows;
    test::FakeClipboard clipboard;
    std::unique_ptr<frmKorvex> form;

    bool start() {
        if (reader.device().empty()) return false;
        folder.write("Korvex.ini", "[Config]\r\nPortName=" + reader.device() +
                                       "\r\nCommSettings=9600,n,8,1\r\nDataTerminationChars="
                                       "13\r\nDefaultProfileName=Main\r\n"
                                       "[Main]\r\nLetUserFillDetails=0\r\nCSVFile=Log.CSV\r\n"
                                       "ChequeTemplate={ChequeNum}{TAB}{BankNum}{TAB}{BranchNum}{"
                                       "TAB}{AccountNum}{ENTER}\r\n");
        std::filesystem::copy_file(
            std::filesystem::path(KORVEX_SOURCE_DIR) / "src/resources/banks_branches.txt",
            folder / "banks_branches.txt");
        const Services services{clock,     debug,  ui,   port,    http,
                                processes, layout, keys, windows, clipboard};
        ProgramInfo program;
        program.folder = folder.path();
        form = std::make_unique<frmKorvex>(services, program);
        return form->Form_Load() && !form->ended() && port.isOpen();
    }
};

void BM_ArrivalToFirstKey(benchmark::State& state) {
    TickRig rig;
    if (!rig.start()) {
        state.SkipWithError("the main window did not start on the simulated reader");
        return;
    }
    QTimer timer;
    timer.setInterval(100);
    QObject::connect(&timer, &QTimer::timeout, [&rig] { rig.form->Timer1_Timer(); });
    timer.start();

    Steady::time_point firstKey{};
    rig.keys.onSend = [&firstKey] {
        if (firstKey == Steady::time_point{}) firstKey = Steady::now();
    };
    double worstMs = 0;
    for (auto _ : state) {
        firstKey = {};
        const auto sent = Steady::now();
        rig.reader.script("scan A0012345 C12A345E 000123456C");
        while (firstKey == Steady::time_point{} && Steady::now() - sent < std::chrono::seconds(5)) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        if (firstKey == Steady::time_point{}) {
            state.SkipWithError("the cheque was not typed");
            return;
        }
        const double seconds = std::chrono::duration<double>(firstKey - sent).count();
        worstMs = std::max(worstMs, seconds * 1000);
        state.SetIterationTime(seconds);
        // Let the rest of the cheque's keys go before the next one arrives.
        const auto settle = Steady::now();
        while (Steady::now() - settle < std::chrono::milliseconds(150)) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        rig.keys.events.clear();
        rig.keys.journal.clear();
        rig.debug.lines.clear();
    }
    state.counters["worst ms"] = worstMs;
    state.counters["tick ms"] = 100;
}
BENCHMARK(BM_ArrivalToFirstKey)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvex

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The core's share of a cheque's road: from the polling tick that finds the cheque's terminator
// to the first key event the target gets, on fakes (classification, groups, verification, the
// profile's field rules, the cheque log append, the template and the key engine). The aim is
// well under a millisecond, so that a cheque is typed within the tick of its arrival.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "support/CoreHarness.h"

namespace korvex {
namespace {

using Clock = std::chrono::steady_clock;

const char* const kIni =
    "[Config]\r\nPort=1\r\nDataTerminationChars=13\r\nDefaultProfileName=Main\r\n"
    "[Main]\r\nLetUserFillDetails=1\r\nDontPassPartialRead=1\r\nCSVFile=Log.CSV\r\n"
    "ChequeNumStart=-13\r\nChequeNumLength=13\r\nChequeNumLeadingZeros=0\r\n"
    "ChequeAccountNumStart=-13\r\nChequeAccountNumLength=13\r\nChequeAccountNumLeadingZeros=0\r\n"
    "TrimAccountByBank=1\r\nChequeBackTimeout=60\r\n"
    "ImageFileNameTemplate={MM}{YY}\\{ChequeNum}_{AccountNum}.tif\r\n"
    "BackImageFileNameTemplate={MM}{YY}\\{ChequeNum}_{AccountNum}-back.tif\r\n"
    "ChequeTemplate={ChequeNum}{TAB}{BankNum}{TAB}{BranchNum}{TAB}{AccountNum}{ENTER}\r\n";

struct BenchRig : test::CoreHarness {
    BenchRig() {
        writeBranches("12,300,399,7,0,0,0\r\n");
        start(kIni);
        // The reader holds no image: the fetch after the keys is one short exchange.
        readerHoldsImage("");
    }
};

// Time from the start of the tick to the first key event of the cheque.
void BM_TickToFirstKey(benchmark::State& state) {
    BenchRig rig;
    Clock::time_point firstKey{};
    rig.keys.onSend = [&firstKey] {
        if (firstKey == Clock::time_point{}) firstKey = Clock::now();
    };
    for (auto _ : state) {
        rig.port.feed("A0012345 C12A345E 000123456C\r");
        firstKey = {};
        const auto tickStart = Clock::now();
        rig.form->Timer1_Timer();
        if (firstKey == Clock::time_point{}) {
            state.SkipWithError("the cheque was not typed");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(firstKey - tickStart).count());
        rig.keys.events.clear();
        rig.keys.journal.clear();
        rig.port.written.clear();
        rig.clock.sleeps.clear();
        rig.debug.lines.clear();
    }
}
BENCHMARK(BM_TickToFirstKey)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The whole tick of one cheque, including the image request after the keys and the back name.
void BM_WholeChequeTick(benchmark::State& state) {
    BenchRig rig;
    for (auto _ : state) {
        rig.port.feed("A0012345 C12A345E 000123456C\r");
        rig.form->Timer1_Timer();
        rig.keys.events.clear();
        rig.keys.journal.clear();
        rig.port.written.clear();
        rig.clock.sleeps.clear();
        rig.debug.lines.clear();
    }
    state.counters["log bytes"] = static_cast<double>(rig.folder.read("Log.CSV").size());
}
BENCHMARK(BM_WholeChequeTick)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvex

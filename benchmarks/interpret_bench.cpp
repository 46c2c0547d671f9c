// The cost of reading one cheque (classification, groups, verification) and of classifying the
// worst the reader may send: a megabyte of noise, or of question marks, on one line.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "interpret/BranchTable.h"
#include "interpret/ChequeVerification.h"
#include "interpret/MicrRecognition.h"

namespace korvex {
namespace {

constexpr size_t kMiB = 1024 * 1024;

void BM_TypicalCheque(benchmark::State& state) {
    BranchTable table;
    table.parse("12,300,399,7,0,0,0\n");
    const std::string line = "A0000123 C12A345E 000123456A";
    for (auto _ : state) {
        const InputClass c = ClassifyInput(line, false, 5);
        const MicrGroups g = ExtractMicrGroups(line, false, DebugWindowQuery{});
        const int32_t code = VerifyCheque(table, g.group2, g.group3, g.group4, false);
        benchmark::DoNotOptimize(c);
        benchmark::DoNotOptimize(code);
    }
}
BENCHMARK(BM_TypicalCheque);

std::string noiseLine() {
    std::mt19937 rng(1);
    std::string noise(kMiB, '\0');
    for (char& c : noise) c = static_cast<char>(rng() & 0xFF);
    noise[0] = 'x';
    return noise;
}

void BM_ClassifyMegabyteNoise(benchmark::State& state) {
    const std::string noise = noiseLine();
    const bool nonus = state.range(0) != 0;
    for (auto _ : state) benchmark::DoNotOptimize(ClassifyInput(noise, nonus, 0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kMiB));
}
BENCHMARK(BM_ClassifyMegabyteNoise)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Every class of the cheque pattern accepts "?", so every thread stays alive: the worst case.
void BM_ClassifyMegabyteOfQuestionMarks(benchmark::State& state) {
    const std::string line(kMiB, '?');
    for (auto _ : state) benchmark::DoNotOptimize(ClassifyInput(line, false, 0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kMiB));
}
BENCHMARK(BM_ClassifyMegabyteOfQuestionMarks)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvex

// Loading and scanning a large TXA file, each way against the other in the
// same run: the load in one stretch and in two halves on two threads, and
// the scan of the extension instances through the header index the load
// keeps and after indexing every line (what a scan costs without the index).
//
// The file is $VARNOK_BENCH_TXA, or 100 MB made by varnok_txagen beside this
// program. Run with repetitions and interleaving, the machine being shared:
//   varnok_bench --benchmark_filter=Txa --benchmark_repetitions=12
//                --benchmark_min_time=1 --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/txa/txa_lines.h"
#include "app/txa/txa_records.h"
#include "app/txa/txa_scanner.h"
#include "runtime/queue/queue.h"

namespace {

using namespace varnok;

const std::string& benchTxa() {
    static const std::string name = [] {
        if (const char* given = std::getenv("VARNOK_BENCH_TXA")) return std::string(given);
        const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe");
        const std::string made = (std::filesystem::temp_directory_path() / "varnok-bench-100.txa").string();
        if (!std::filesystem::exists(made)) {
            const std::string command = (self.parent_path() / "varnok_txagen").string() + " --mb 100 -o " + made;
            if (std::system(command.c_str()) != 0) std::abort();
        }
        return made;
    }();
    return name;
}

constexpr size_t kChunk = 1048575;

// 0: in one stretch; 1: in two halves (as the program loads a large file).
void BM_TxaLoad(benchmark::State& state) {
    Queue lineQ{app::lineLayout()};
    app::TxaLines lines(lineQ);
    if (state.range(0) == 0) lines.readInHalvesFrom(UINT64_MAX);
    for (auto _ : state) {
        if (lines.load(benchTxa(), kChunk).status != app::LoadStatus::Loaded) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(RECORDS(lineQ));
    }
    state.counters["lines"] = RECORDS(lineQ);
}
BENCHMARK(BM_TxaLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// 0: the index built by reading every line first; 1: the index the load kept.
void BM_TxaScan(benchmark::State& state) {
    static Queue lineQ{app::lineLayout()};
    static app::TxaLines lines(lineQ);
    if (RECORDS(lineQ) == 0 && lines.load(benchTxa(), kChunk).status != app::LoadStatus::Loaded)
        state.SkipWithError("load failed");
    Queue extensions{app::extensionLayout()};
    app::TxaScanner scanner;
    const bool kept = state.range(0) == 1;
    for (auto _ : state) {
        if (kept)
            scanner.ScanTxa(lineQ, extensions, lines.headerIndex());
        else
            scanner.ScanTxa(lineQ, extensions);
        benchmark::DoNotOptimize(RECORDS(extensions));
    }
    state.counters["instances"] = RECORDS(extensions);
}
BENCHMARK(BM_TxaScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// Loading and scanning a large TXA file, each way against the other in the
// same run: the read in one stretch and in two halves on two threads, and
// the scan of the extension instances through the header index and through
// every line.
//
// The file is $VARNOK_BENCH_TXA, or 100 MB made by varnok_txagen beside this
// program. Run with repetitions and interleaving, the machine being shared:
//   varnok_bench --benchmark_filter=Txa --benchmark_repetitions=7 \
//                --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/txa/queue_tool.h"
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

void loadWith(benchmark::State& state, uint64_t parallelFrom) {
    Queue lines{app::lineLayout()};
    app::QueueTool tool;
    tool.ParallelFromBytes = parallelFrom;
    for (auto _ : state) {
        if (tool.LoadText(lines, benchTxa()) != 1) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(RECORDS(lines));
    }
    state.counters["lines"] = RECORDS(lines);
}

void BM_TxaLoadOneStretch(benchmark::State& state) { loadWith(state, UINT64_MAX); }
void BM_TxaLoadTwoHalves(benchmark::State& state) { loadWith(state, uint64_t(8) << 20); }
BENCHMARK(BM_TxaLoadOneStretch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TxaLoadTwoHalves)->Unit(benchmark::kMillisecond)->UseRealTime();

// The three ways of the scan: 0 every line, 1 the header lines, 2 the
// header lines with their kinds (only the NAME lines are read).
void BM_TxaScan(benchmark::State& state) {
    static Queue lines{app::lineLayout()};
    static app::QueueTool tool;
    if (RECORDS(lines) == 0 && tool.LoadText(lines, benchTxa()) != 1) state.SkipWithError("load failed");
    Queue extensions{app::extensionLayout()};
    app::TxaScanner scanner;
    const int way = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const std::vector<uint32_t>* headers = way >= 1 ? tool.headerLines(lines) : nullptr;
        scanner.ScanTxa(lines, extensions, headers, way == 2 ? tool.headerKinds(lines) : nullptr);
        benchmark::DoNotOptimize(RECORDS(extensions));
    }
    state.counters["instances"] = RECORDS(extensions);
}
BENCHMARK(BM_TxaScan)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

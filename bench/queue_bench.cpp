// Queue benchmarks, each against a plain standard-library baseline in the
// same run: packed ADD of text lines, runs of deletions from large queues,
// lookups by a LONG key through the hash index, and sorting by a LONG key.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/queue/queue.h"
#include "runtime/records/record_pack.h"

namespace {

using namespace varnok;

constexpr int kLines = 1000000;

// Distinct text lines of 50 to 70 characters, as in a TXA file.
const std::vector<std::string>& sampleLines() {
    static const std::vector<std::string> lines = [] {
        std::mt19937 rng(5);
        std::vector<std::string> v(4096);
        for (auto& s : v) {
            const size_t n = 50 + rng() % 21;
            for (size_t i = 0; i < n; ++i) s.push_back(static_cast<char>('!' + rng() % 90));
        }
        return v;
    }();
    return lines;
}

double averageLineLength() {
    const auto& lines = sampleLines();
    double total = 0;
    for (int i = 0; i < kLines; ++i) total += static_cast<double>(lines[static_cast<size_t>(i) % lines.size()].size());
    return total / kLines;
}

size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

RecordLayout lineLayout() { return RecordLayoutBuilder().string("Lyn", 1024).build(); }

void fillLine(Queue& q, const std::string& line) {
    std::memcpy(q.buffer(), line.data(), line.size());
    std::memset(q.buffer() + line.size(), ' ', 1024 - line.size());
}

void addLines(Queue& q, int count) {
    const auto& lines = sampleLines();
    for (int i = 0; i < count; ++i) {
        fillLine(q, lines[static_cast<size_t>(i) % lines.size()]);
        ADD(q);
    }
}

void BM_QueueAddPacked(benchmark::State& state) {
    double bytesPerEntry = 0;
    for (auto _ : state) {
        Queue q(lineLayout());
        const size_t before = heapInUse();
        addLines(q, kLines);
        state.PauseTiming();
        bytesPerEntry = static_cast<double>(heapInUse() - before) / kLines;
        state.ResumeTiming();
    }
    const double lineLength = averageLineLength();
    state.counters["bytes_per_entry"] = bytesPerEntry;
    state.counters["line_length"] = lineLength;
    state.counters["overhead_per_entry"] = bytesPerEntry - lineLength;
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_QueueAddPacked)->Unit(benchmark::kMillisecond);

void BM_VectorAddStrings(benchmark::State& state) {
    const auto& lines = sampleLines();
    for (auto _ : state) {
        std::vector<std::string> v;
        for (int i = 0; i < kLines; ++i) {
            const std::string& line = lines[static_cast<size_t>(i) % lines.size()];
            v.push_back(std::string(line.data(), line.size()));
        }
        benchmark::DoNotOptimize(v.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_VectorAddStrings)->Unit(benchmark::kMillisecond);

// One 1024-byte record of a 60-character line and 964 spaces, packed.
void BM_PackLine(benchmark::State& state) {
    std::vector<uint8_t> record(1024, ' ');
    const std::string& line = sampleLines()[0];
    std::memcpy(record.data(), line.data(), std::min<size_t>(line.size(), 60));
    std::vector<uint8_t> out(1024);
    for (auto _ : state) {
        benchmark::DoNotOptimize(packRecord(record.data(), record.size(), out.data(), 1010));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PackLine);

// Deletes N/10 entries in runs of 20 consecutive positions, from the end of
// the queue toward its start.
void BM_QueueRemovalRuns(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int runs = n / 200;
    for (auto _ : state) {
        state.PauseTiming();
        Queue q(lineLayout());
        addLines(q, n);
        state.ResumeTiming();
        for (int k = 0; k < runs; ++k) {
            const int start = n - (k + 1) * 200 + 1;
            GET(q, start);
            for (int d = 0; d < 20; ++d) DELETE(q);
        }
        state.PauseTiming();
        if (RECORDS(q) != static_cast<uint32_t>(n - runs * 20)) state.SkipWithError("wrong count");
        releaseQueue(q);
        state.ResumeTiming();
    }
    const double deleted = static_cast<double>(runs) * 20;
    state.counters["time_per_delete"] =
        benchmark::Counter(deleted, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_QueueRemovalRuns)->Arg(250000)->Arg(500000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Id LONG, Value LONG.
RecordLayout pairLayout() { return RecordLayoutBuilder().longField("Id").longField("Value").build(); }

std::vector<int32_t> shuffledKeys(int n, unsigned seed) {
    std::vector<int32_t> keys(static_cast<size_t>(n));
    std::iota(keys.begin(), keys.end(), 0);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(seed));
    return keys;
}

void BM_QueueHashedGet(benchmark::State& state) {
    const std::vector<int32_t> keys = shuffledKeys(kLines, 1);
    const std::vector<int32_t> probes = shuffledKeys(kLines, 2);
    Queue q(pairLayout());
    for (int32_t k : keys) {
        const int32_t value = k * 3;
        std::memcpy(q.buffer(), &k, 4);
        std::memcpy(q.buffer() + 4, &value, 4);
        ADD(q);
    }
    const Key byId{1};
    // The first searches build the order for the key and switch on its index.
    for (int i = 0; i < 100; ++i) {
        std::memcpy(q.buffer(), &probes[static_cast<size_t>(i)], 4);
        GET(q, byId);
    }
    int64_t sum = 0;
    for (auto _ : state) {
        for (int32_t k : probes) {
            std::memcpy(q.buffer(), &k, 4);
            GET(q, byId);
            int32_t value;
            std::memcpy(&value, q.buffer() + 4, 4);
            sum += value;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_QueueHashedGet)->Unit(benchmark::kMillisecond);

void BM_UnorderedMapGet(benchmark::State& state) {
    const std::vector<int32_t> keys = shuffledKeys(kLines, 1);
    const std::vector<int32_t> probes = shuffledKeys(kLines, 2);
    std::unordered_map<int32_t, int32_t> map;
    for (int32_t k : keys) map.emplace(k, k * 3);
    int64_t sum = 0;
    for (auto _ : state) {
        for (int32_t k : probes) {
            auto it = map.find(k);
            if (it != map.end()) sum += it->second;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_UnorderedMapGet)->Unit(benchmark::kMillisecond);

void BM_QueueSortLong(benchmark::State& state) {
    const std::vector<int32_t> keys = shuffledKeys(kLines, 3);
    Queue q(pairLayout());
    for (auto _ : state) {
        state.PauseTiming();
        FREE(q);
        for (int32_t k : keys) {
            std::memcpy(q.buffer(), &k, 4);
            ADD(q);
        }
        state.ResumeTiming();
        SORT(q, Key{1});
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_QueueSortLong)->Unit(benchmark::kMillisecond);

void BM_StableSortPointers(benchmark::State& state) {
    const std::vector<int32_t> keys = shuffledKeys(kLines, 3);
    std::vector<uint8_t*> records;
    for (int32_t k : keys) {
        auto* r = static_cast<uint8_t*>(std::malloc(8));
        std::memcpy(r, &k, 4);
        records.push_back(r);
    }
    std::vector<uint8_t*> work;
    for (auto _ : state) {
        state.PauseTiming();
        work = records;
        state.ResumeTiming();
        std::stable_sort(work.begin(), work.end(), [](const uint8_t* a, const uint8_t* b) {
            int32_t x, y;
            std::memcpy(&x, a, 4);
            std::memcpy(&y, b, 4);
            return x < y;
        });
    }
    for (uint8_t* r : records) std::free(r);
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_StableSortPointers)->Unit(benchmark::kMillisecond);

}  // namespace

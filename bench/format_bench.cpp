// FORMAT of numbers against snprintf: "@n-15.2" compiled on every call, as
// the runtime's FORMAT does, versus "%15.2f" of the same values.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "runtime/pictures/format.h"

namespace {

// Values of every size a 15-wide picture can show: cents, thousands,
// millions, negatives, and values with many binary digits.
const std::vector<double>& values() {
    static const std::vector<double> v = [] {
        std::mt19937_64 random(2026);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::vector<double> out;
        for (int i = 0; i < 4096; ++i) {
            const double magnitude = std::pow(10.0, static_cast<double>(random() % 10)) * unit(random);
            out.push_back(random() % 4 == 0 ? -magnitude : magnitude);
        }
        return out;
    }();
    return v;
}

void BM_FormatNumber(benchmark::State& state) {
    const std::vector<double>& v = values();
    size_t i = 0;
    for (auto _ : state) {
        std::string text = varnok::FORMAT(v[i++ & 4095], "@n-15.2");
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_FormatNumber);

void BM_SnprintfNumber(benchmark::State& state) {
    const std::vector<double>& v = values();
    size_t i = 0;
    for (auto _ : state) {
        char buffer[64];
        const int n = std::snprintf(buffer, sizeof buffer, "%15.2f", v[i++ & 4095]);
        std::string text(buffer, static_cast<size_t>(n));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_SnprintfNumber);

}  // namespace

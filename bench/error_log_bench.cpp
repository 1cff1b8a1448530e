// Logging one error message: what the error manager does for each message
// while LogErrors is on (the line with date and time, then open, append and
// close of "KTLError.Log" through the text line driver) against the plain
// stdio road (fopen for appending, fputs, fclose) with a line of the same
// length. Both append to a file of their own in a fresh folder; the log is
// opened deny-none, so the driver also takes the file lock around the line.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "framework/errors/error_log_file.h"
#include "framework/errors/log_line.h"

namespace {

using namespace varnok::framework;

const char* const kMessage = "Error: (File Not Found (2)) creating customers.dat.  Press OK to end this application";

class BenchFolder {
public:
    BenchFolder() : previous_(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "varnok-bench-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
        std::filesystem::current_path(dir_);
    }
    ~BenchFolder() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        std::filesystem::remove_all(dir_, ec);
    }

private:
    std::filesystem::path previous_;
    std::filesystem::path dir_;
};

void BM_ErrorLogAppend(benchmark::State& state) {
    BenchFolder folder;
    ErrorLogFile log;
    for (auto _ : state) {
        log.Open(false);
        if (log.WriteLine(errorLogLine(kMessage)) != 0) state.SkipWithError("the line was not written");
        log.Close(false);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ErrorLogAppend);

// The parts of one logged message on their own: the line with its date and
// time, and the append while the log stays open (open and close are the rest).
void BM_ErrorLogLineOnly(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(errorLogLine(kMessage));
}
BENCHMARK(BM_ErrorLogLineOnly);

void BM_ErrorLogAppendWhileOpen(benchmark::State& state) {
    BenchFolder folder;
    ErrorLogFile log;
    log.Open(false);
    const std::string line = errorLogLine(kMessage);
    for (auto _ : state)
        if (log.WriteLine(line) != 0) state.SkipWithError("the line was not written");
    log.Close(false);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ErrorLogAppendWhileOpen);

void BM_StdioAppend(benchmark::State& state) {
    BenchFolder folder;
    const std::string line = errorLogLine(kMessage) + "\r\n";
    for (auto _ : state) {
        std::FILE* f = std::fopen("stdio.log", "ab");
        if (!f || std::fputs(line.c_str(), f) < 0) state.SkipWithError("the line was not written");
        if (f) std::fclose(f);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StdioAppend);

}  // namespace

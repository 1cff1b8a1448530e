// Reading a 100 MB text file of about 60-character lines: the text line
// driver's SET and NEXT into a STRING(1024) record against std::getline over
// std::ifstream on the same file. The file is made once per run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "runtime/records/record_layout.h"
#include "textfile/dispatcher.h"
#include "textfile/operations.h"

namespace {

using namespace varnok;
using namespace varnok::textfile;

constexpr size_t kFileBytes = 100u << 20;

class BenchFile {
public:
    BenchFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "varnok-bench-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
        path_ = (dir_ / "lines.txt").string();
        std::ofstream out(path_, std::ios::binary);
        std::mt19937 rng(42);
        std::string line;
        size_t total = 0;
        while (total < kFileBytes) {
            line.assign(50 + rng() % 21, ' ');
            for (char& c : line) c = static_cast<char>('!' + rng() % 94);
            line += "\r\n";
            out << line;
            total += line.size();
            ++lines_;
        }
        bytes_ = total;
    }
    ~BenchFile() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::string& path() const { return path_; }
    size_t bytes() const { return bytes_; }
    size_t lines() const { return lines_; }

private:
    std::filesystem::path dir_;
    std::string path_;
    size_t bytes_ = 0;
    size_t lines_ = 0;
};

const BenchFile& benchFile() {
    static BenchFile file;
    return file;
}

void readWithDriver(benchmark::State& state, const char* driverString) {
    const BenchFile& source = benchFile();
    RecordLayout layout = RecordLayoutBuilder().string("Lyn", 1024).build();
    std::vector<uint8_t> buffer(layout.size(), ' ');
    FileDecl file;
    file.label = "Lines";
    file.driverName = "ASCII";
    file.name = source.path();
    file.driverString = driverString;
    file.record = &layout;
    file.buffer = buffer.data();
    FileArgs open;
    open.access = 0x20;  // read only, deny write
    if (dispatch(op::OPEN, file, open) != 0) {
        state.SkipWithError("OPEN failed");
        return;
    }
    size_t lines = 0;
    for (auto _ : state) {
        dispatch(op::SETfile, file);
        lines = 0;
        while (dispatch(op::NEXT, file) == 0) ++lines;
        benchmark::DoNotOptimize(buffer.data());
    }
    dispatch(op::CLOSE, file);
    if (lines != source.lines()) state.SkipWithError("wrong number of lines");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.bytes()));
    state.counters["lines"] = static_cast<double>(lines);
}

// The driver's defaults: a read-only, deny-write open, so QUICKSCAN is on and
// the read buffer is twice the record.
void BM_TextDriverNext(benchmark::State& state) { readWithDriver(state, ""); }
BENCHMARK(BM_TextDriverNext)->Unit(benchmark::kMillisecond);

// The same with a read buffer as large as the stream's (16 x 512 bytes).
void BM_TextDriverNextBuffers16(benchmark::State& state) { readWithDriver(state, "/FILEBUFFERS=16"); }
BENCHMARK(BM_TextDriverNextBuffers16)->Unit(benchmark::kMillisecond);

void BM_StdGetline(benchmark::State& state) {
    const BenchFile& source = benchFile();
    size_t lines = 0;
    for (auto _ : state) {
        std::ifstream in(source.path(), std::ios::binary);
        std::string line;
        lines = 0;
        while (std::getline(in, line)) ++lines;
        benchmark::DoNotOptimize(line.data());
    }
    if (lines != source.lines()) state.SkipWithError("wrong number of lines");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.bytes()));
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_StdGetline)->Unit(benchmark::kMillisecond);

}  // namespace

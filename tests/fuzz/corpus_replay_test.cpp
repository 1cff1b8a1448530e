// Replays every file of every fuzz corpus through its target's body, one
// test case per file, so inputs the fuzzers found keep being checked by the
// ordinary test run. A body aborts on a broken invariant.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_targets.h"

namespace varnok::testing {
namespace {

namespace fs = std::filesystem;

struct CorpusFile {
    const FuzzTarget* target;
    fs::path path;
};

std::vector<CorpusFile> corpusFiles() {
    std::vector<CorpusFile> files;
    for (const FuzzTarget& target : fuzzTargets()) {
        const fs::path folder = fs::path(VARNOK_FUZZ_CORPUS_DIR) / target.name;
        if (!fs::is_directory(folder)) continue;
        std::vector<fs::path> paths;
        for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
            if (e.is_regular_file()) paths.push_back(e.path());
        }
        std::sort(paths.begin(), paths.end());
        for (const fs::path& p : paths) files.push_back(CorpusFile{&target, p});
    }
    return files;
}

std::string testName(const ::testing::TestParamInfo<CorpusFile>& info) {
    std::string name = std::string(info.param.target->name) + "_" + info.param.path.filename().string();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name + "_" + std::to_string(info.index);
}

class CorpusReplay : public ::testing::TestWithParam<CorpusFile> {};

TEST_P(CorpusReplay, BodyKeepsItsInvariants) {
    std::ifstream in(GetParam().path, std::ios::binary);
    ASSERT_TRUE(in) << GetParam().path;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    GetParam().target->body(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusReplay, ::testing::ValuesIn(corpusFiles()), testName);

TEST(CorpusReplayFiles, EveryTargetHasACorpus) {
    for (const FuzzTarget& target : fuzzTargets()) {
        const fs::path folder = fs::path(VARNOK_FUZZ_CORPUS_DIR) / target.name;
        ASSERT_TRUE(fs::is_directory(folder)) << folder;
        EXPECT_FALSE(fs::is_empty(folder)) << folder;
    }
}

}  // namespace
}  // namespace varnok::testing

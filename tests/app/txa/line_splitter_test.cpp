#include "app/txa/line_splitter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace varnok::app {
namespace {

// The simple model: split the whole text at once.
std::vector<std::string> referenceSplit(const std::string& text, LineEnd mode) {
    std::vector<std::string> lines;
    std::string end = mode == LineEnd::CrLf ? "\r\n" : "\n";
    size_t start = 0;
    for (;;) {
        size_t e = text.find(end, start);
        if (e == std::string::npos) break;
        lines.push_back(text.substr(start, e - start));
        start = e + end.size();
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

bool collect(void* context, const char* line, size_t length) {
    static_cast<std::vector<std::string>*>(context)->emplace_back(line, length);
    return true;
}

std::vector<std::string> splitInChunks(const std::string& text, LineEnd mode, const std::vector<size_t>& cuts) {
    std::vector<std::string> lines;
    LineSplitter splitter(mode, collect, &lines);
    size_t at = 0;
    for (size_t cut : cuts) {
        splitter.feed(text.data() + at, cut - at);
        at = cut;
    }
    splitter.feed(text.data() + at, text.size() - at);
    splitter.finish();
    return lines;
}

TEST(LineSplitter, ChunkingNeverChangesTheLines) {
    std::mt19937 rng(7);
    const char alphabet[] = {'a', 'b', ' ', '\r', '\n', '\r', '\n'};
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int i = 0, n = static_cast<int>(rng() % 40); i < n; ++i) text += alphabet[rng() % sizeof alphabet];
        std::vector<size_t> cuts;
        for (size_t at = 0; at < text.size(); at += 1 + rng() % 5) cuts.push_back(at);
        for (LineEnd mode : {LineEnd::CrLf, LineEnd::Lf}) {
            ASSERT_EQ(splitInChunks(text, mode, cuts), referenceSplit(text, mode)) << round;
        }
    }
}

TEST(LineSplitter, CrLfSplitBetweenChunksIsOneLineEnd) {
    // "A\r" | "\r\nB": the chunk ends in a lone CR whose next byte is the CR
    // of the following pair.
    EXPECT_EQ(splitInChunks("A\r\r\nB", LineEnd::CrLf, {2}), (std::vector<std::string>{"A\r", "B"}));
    EXPECT_EQ(splitInChunks("A\r\nB", LineEnd::CrLf, {2}), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(splitInChunks("A\r\nB", LineEnd::CrLf, {1, 2, 3, 4}), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(splitInChunks("\r\n", LineEnd::CrLf, {}), (std::vector<std::string>{""}));
    EXPECT_EQ(splitInChunks("", LineEnd::CrLf, {}), (std::vector<std::string>{}));
    EXPECT_EQ(splitInChunks("A\nB\r", LineEnd::CrLf, {}), (std::vector<std::string>{"A\nB\r"}));
}

TEST(LineSplitter, SinkCanStopTheSplit) {
    int calls = 0;
    auto stopAfterOne = [](void* c, const char*, size_t) { return ++*static_cast<int*>(c) < 1; };
    LineSplitter splitter(LineEnd::Lf, stopAfterOne, &calls);
    EXPECT_FALSE(splitter.feed("a\nb\nc\n", 6));
    EXPECT_EQ(calls, 1);
}

TEST(LineEndDetector, AgreesWithTheWholeTextWhateverTheChunks) {
    std::mt19937 rng(11);
    const char alphabet[] = {'x', '\r', '\n'};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int i = 0, n = static_cast<int>(rng() % 12); i < n; ++i) text += alphabet[rng() % 3];
        LineEndDetector d;
        for (size_t at = 0; at < text.size();) {
            size_t n = std::min<size_t>(1 + rng() % 4, text.size() - at);
            d.feed(text.data() + at, n);
            at += n;
        }
        bool crlf = text.find("\r\n") != std::string::npos;
        bool lf = text.find('\n') != std::string::npos;
        ASSERT_EQ(d.hasCrLf(), crlf) << round;
        ASSERT_EQ(d.hasLf(), lf) << round;
        ASSERT_EQ(d.lineEnd(), lf && !crlf ? LineEnd::Lf : LineEnd::CrLf);
    }
}

}  // namespace
}  // namespace varnok::app

// OutputBuffers: pieces put or made in place, in any sizes (larger than a
// buffer too), end up in the file in order; a write that fails at any
// point is reported once finished, with its errno.
#include "platform/output_buffers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>

#include "tests/app/temp_folder.h"

namespace varnok::platform {
namespace {

using testing::readFile;
using testing::TempFolder;

// Fills a file through small buffers with random pieces; returns the bytes
// that should be in it.
std::string fill(OutputBuffers& out, std::mt19937& rng, size_t bufferBytes, bool& ok) {
    std::string expected;
    ok = true;
    for (int i = 0; i < 400 && ok; ++i) {
        std::string piece(rng() % (bufferBytes * 3 / 2 + 1), 'a');
        for (char& c : piece) c = static_cast<char>('a' + rng() % 26);
        if (piece.size() <= bufferBytes && rng() % 2) {
            char* room = out.reserve(piece.size());
            ok = room != nullptr;
            if (ok) {
                std::memcpy(room, piece.data(), piece.size());
                out.used(piece.size());
            }
        } else {
            ok = out.put(piece.data(), piece.size());
        }
        if (ok) expected += piece;
    }
    return expected;
}

TEST(OutputBuffers, PiecesOfAnySizeArriveInOrder) {
    std::mt19937 rng(43);
    for (size_t bufferBytes : {1u, 7u, 64u, 1000u}) {
        TempFolder dir;
        const std::string target = dir.path() + "/out.txt";
        SafeOutputFile file;
        ASSERT_TRUE(file.create(target));
        OutputBuffers out(file, bufferBytes);
        bool ok;
        const std::string expected = fill(out, rng, bufferBytes, ok);
        ASSERT_TRUE(ok);
        ASSERT_TRUE(out.finish());
        ASSERT_TRUE(file.commit());
        EXPECT_TRUE(readFile(target) == expected) << bufferBytes;
    }
}

TEST(OutputBuffers, AFailedWriteIsReportedAndStopsTheRest) {
    std::mt19937 rng(47);
    for (int nth : {1, 2, 5, 20}) {
        TempFolder dir;
        SafeOutputFile file;
        ASSERT_TRUE(file.create(dir.path() + "/out.txt"));
        failFileOperation(FileOp::Write, nth);
        {
            OutputBuffers out(file, 64);
            bool ok;
            fill(out, rng, 64, ok);
            EXPECT_FALSE(out.finish()) << nth;
            EXPECT_EQ(out.error(), EIO) << nth;
            EXPECT_EQ(out.reserve(1), nullptr);
        }
        clearFileFaults();
        file.abandon();
        EXPECT_EQ(dir.listing(), "");
    }
}

}  // namespace
}  // namespace varnok::platform

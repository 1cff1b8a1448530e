#include "app/txa/txa_lines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "app/txa/txa_records.h"
#include "tests/app/temp_folder.h"
#include "tests/app/txa_reference.h"

namespace varnok::app {
namespace {

using testing::readFile;
using Lines = std::vector<std::string>;

struct TxaLinesFixture : ::testing::Test {
    testing::TempFolder dir;
    Queue lineQ{lineLayout()};
    TxaLines lines{lineQ};

    void load(const std::string& bytes, size_t chunk = 1048575) {
        ASSERT_EQ(lines.load(dir.write("in.txa", bytes), chunk).status, LoadStatus::Loaded);
    }
};

// Deletions as removal makes them, count lines at a position of the lines
// left by the deletions before, against a plain list that makes them.
TEST(LineRanges, RecordDeletionsLikeAPlainList) {
    std::mt19937 rng(21);
    for (int round = 0; round < 400; ++round) {
        const uint32_t total = rng() % 40;
        std::vector<uint32_t> model(total);
        for (uint32_t i = 0; i < total; ++i) model[i] = i + 1;
        LineRanges gone(total);
        // Mostly from the end towards the start, as removal goes; any order now and then.
        int64_t limit = total + 1;
        for (int step = 0, steps = static_cast<int>(rng() % 6); step < steps; ++step) {
            const bool anywhere = rng() % 4 == 0 || limit <= 1;
            const int64_t first = anywhere ? static_cast<int64_t>(rng() % (total + 3)) : 1 + rng() % (limit - 1);
            const int64_t count = static_cast<int64_t>(rng() % 8);
            size_t expected = 0;
            if (first >= 1 && count >= 1 && static_cast<size_t>(first) <= model.size()) {
                expected = std::min<size_t>(static_cast<size_t>(count), model.size() - static_cast<size_t>(first) + 1);
                model.erase(model.begin() + (first - 1), model.begin() + (first - 1) + static_cast<std::ptrdiff_t>(expected));
            }
            ASSERT_EQ(gone.deleteAt(first, count), expected) << round << " " << step;
            if (!anywhere) limit = first;
        }
        // The ranges are exactly the lines the list lost, ascending and apart.
        std::vector<bool> kept(total + 1, false);
        for (uint32_t line : model) kept[line] = true;
        uint32_t deleted = 0, previousEnd = 0;
        for (const LineRange& r : gone.ranges()) {
            ASSERT_GE(r.count, 1u);
            ASSERT_GT(r.first, previousEnd + (previousEnd ? 1 : 0)) << round;  // apart, not touching
            for (uint32_t line = r.first; line < r.first + r.count; ++line) ASSERT_FALSE(kept[line]) << round;
            deleted += r.count;
            previousEnd = r.first + r.count - 1;
        }
        ASSERT_EQ(deleted, total - model.size()) << round;
        ASSERT_EQ(gone.deleted(), deleted);
    }
}

TEST_F(TxaLinesFixture, ErasingLinesKeepsLongTailsInStep) {
    std::string bytes;
    for (int i = 0; i < 10; ++i) bytes += std::string(1024, 'a' + i) + std::to_string(i) + "\r\n";
    load(bytes, 300);
    LineRanges gone(RECORDS(lineQ));
    EXPECT_EQ(gone.deleteAt(3, 2), 2u);  // lines 3 and 4 go
    EXPECT_EQ(gone.deleteAt(8, 5), 1u);  // only one line left there
    EXPECT_EQ(lines.erase(gone), 3u);
    EXPECT_TRUE(lines.check());
    ASSERT_TRUE(lines.save(dir.file("out.txa")).saved());
    std::string expected;
    for (int i : {0, 1, 4, 5, 6, 7, 8}) expected += std::string(1024, 'a' + i) + std::to_string(i) + "\r\n";
    EXPECT_EQ(readFile(dir.file("out.txa")), expected);
}

// Writing the lines without some ranges gives, byte for byte, the file that
// erasing them and writing all gives, and the model's copy; the lines stay
// as loaded until they are erased.
TEST_F(TxaLinesFixture, SavingWithoutRangesIsErasingThenSaving) {
    std::mt19937 rng(33);
    const char* pieces[] = {"x", "[ADDITION]", "NAME T A", "  ", "\r", "[PROCEDURE]"};
    for (int round = 0; round < 120; ++round) {
        Lines whole;
        for (int i = 0, n = 1 + static_cast<int>(rng() % 40); i < n; ++i) {
            std::string line = pieces[rng() % 6];
            if (rng() % 8 == 0) line += std::string(1000 + rng() % 300, 'L') + (rng() % 2 ? "  " : "");
            whole.push_back(line);
        }
        const bool lf = round % 4 == 0;
        std::string bytes;
        for (const std::string& l : whole) bytes += l + (lf ? "\n" : "\r\n");
        if (lf && bytes.find("\r\n") != std::string::npos) continue;  // not an LF file after all
        load(bytes, 1 + rng() % 200);
        LineRanges gone(RECORDS(lineQ));
        std::vector<bool> ticked(whole.size(), false);
        for (int64_t at = static_cast<int64_t>(whole.size()); at >= 1; at -= 1 + rng() % 6)
            if (rng() % 2) gone.deleteAt(at, 1 + rng() % 3);
        Lines kept;
        {
            std::vector<bool> out(whole.size() + 1, false);
            for (const LineRange& r : gone.ranges())
                for (uint32_t l = r.first; l < r.first + r.count; ++l) out[l] = true;
            for (size_t i = 0; i < whole.size(); ++i)
                if (!out[i + 1]) kept.push_back(whole[i]);
        }
        const Lines before = testing::linesOf(lineQ);
        ASSERT_TRUE(lines.save(dir.file("without.txa"), gone.ranges()).saved());
        ASSERT_EQ(testing::linesOf(lineQ), before) << round;
        ASSERT_TRUE(lines.check());
        lines.erase(gone);
        ASSERT_TRUE(lines.check());
        ASSERT_TRUE(lines.save(dir.file("erased.txa")).saved());
        const std::string copy = readFile(dir.file("without.txa"));
        ASSERT_EQ(copy, readFile(dir.file("erased.txa"))) << round;
        ASSERT_EQ(copy, testing::refWrite(kept, lf ? "\n" : "\r\n")) << round;
    }
}

// What a progress hears, against the files themselves: a load reports each
// chunk, done rising to the file's size; a save reports about every
// mebibyte against the loaded size and ends with the bytes it wrote, long
// lines, trailing spaces and removed ranges included.
TEST_F(TxaLinesFixture, ProgressFollowsTheBytesReadAndWritten) {
    struct Recorder : Progress {
        std::vector<std::pair<uint64_t, uint64_t>> reports;
        void advanced(uint64_t done, uint64_t total) override { reports.emplace_back(done, total); }
    };
    auto rising = [](const Recorder& r) {
        for (size_t i = 1; i < r.reports.size(); ++i)
            if (r.reports[i].first <= r.reports[i - 1].first) return false;
        return true;
    };
    std::string bytes;
    for (int i = 0; bytes.size() < 3'300'000; ++i)
        bytes += i % 50 == 0 ? "[ADDITION]  \r\n" : "line " + std::to_string(i) + std::string(i % 1500, 'x') + "\r\n";
    const std::string name = dir.write("big.txa", bytes);
    for (size_t chunk : {size_t(65536), size_t(1048575)}) {
        Recorder loaded;
        ASSERT_EQ(lines.load(name, chunk, &loaded).status, LoadStatus::Loaded);
        EXPECT_EQ(loaded.reports.size(), (bytes.size() + chunk - 1) / chunk) << chunk;
        EXPECT_TRUE(rising(loaded));
        for (const auto& [done, total] : loaded.reports) EXPECT_EQ(total, bytes.size());
        EXPECT_EQ(loaded.reports.back().first, bytes.size());
    }
    // In two halves at once the reports count the bytes both threads read:
    // done never goes back and ends at the file's size.
    lines.readInHalvesFrom(1);
    Recorder halves;
    ASSERT_EQ(lines.load(name, 65536, &halves).status, LoadStatus::Loaded);
    ASSERT_GE(halves.reports.size(), 2u);
    for (size_t i = 1; i < halves.reports.size(); ++i) EXPECT_GE(halves.reports[i].first, halves.reports[i - 1].first);
    for (const auto& [done, total] : halves.reports) EXPECT_EQ(total, bytes.size());
    EXPECT_EQ(halves.reports.back().first, bytes.size());
    EXPECT_TRUE(lines.check());
    for (const bool removing : {false, true}) {
        LineRanges gone(RECORDS(lineQ));
        if (removing) gone.deleteAt(20, 5000);
        Recorder saved;
        ASSERT_TRUE(lines.save(dir.file("copy.txa"), gone.ranges(), &saved).saved());
        const uint64_t written = readFile(dir.file("copy.txa")).size();
        ASSERT_GE(saved.reports.size(), written >> 20) << removing;
        EXPECT_TRUE(rising(saved));
        EXPECT_EQ(saved.reports.back(), std::make_pair(written, written));
        for (size_t i = 0; i + 1 < saved.reports.size(); ++i) EXPECT_EQ(saved.reports[i].second, bytes.size());
    }
}

// Lines cut by a change made behind TxaLines are never saved cut: the save
// refuses, and keeps refusing after later erasures, until the next load.
TEST_F(TxaLinesFixture, LinesThatLostTheirTailsAreNotSaved) {
    load("[PROCEDURE]\r\n" + std::string(1100, 'x') + "\r\nlast\r\n");
    GET(lineQ, 3);
    PUT(lineQ);  // any change behind the lines
    EXPECT_EQ(lines.save(dir.file("out.txa")).status, SaveStatus::LinesOutOfStep);
    LineRanges gone(RECORDS(lineQ));
    gone.deleteAt(3, 1);
    lines.erase(gone);
    EXPECT_EQ(lines.save(dir.file("out.txa")).status, SaveStatus::LinesOutOfStep);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txa")));
    // The header index follows the queue all the same.
    EXPECT_EQ(lines.headerIndex().lines, std::vector<uint32_t>{1});
    EXPECT_TRUE(lines.check());
    load("a\r\n" + std::string(1100, 'y') + "\r\n");
    EXPECT_TRUE(lines.save(dir.file("out.txa")).saved());
    EXPECT_EQ(readFile(dir.file("out.txa")), "a\r\n" + std::string(1100, 'y') + "\r\n");
}

// The header index after changes behind the lines is rebuilt from the queue.
TEST_F(TxaLinesFixture, TheHeaderIndexFollowsTheQueue) {
    load("[PROCEDURE]\r\nNAME P\r\n[ADDITION]\r\nx\r\n");
    EXPECT_EQ(lines.headerIndex().lines, (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(lines.headerIndex().kinds, (std::vector<HeaderKind>{HeaderKind::Procedure, HeaderKind::Addition}));
    GET(lineQ, 4);
    lineQ.buffer()[0] = '[';
    PUT(lineQ);
    EXPECT_EQ(lines.headerIndex().lines, (std::vector<uint32_t>{1, 3, 4}));
    EXPECT_EQ(lines.headerIndex().kinds.back(), HeaderKind::Closes);
    EXPECT_TRUE(lines.check());
    // A queue taken as it is has its index built from its entries.
    Queue other{lineLayout()};
    testing::fillLines(other, {"a", "[INSTANCE]"});
    TxaLines taken(other);
    EXPECT_EQ(taken.headerIndex().lines, std::vector<uint32_t>{2});
    EXPECT_EQ(taken.lineEnd(), LineEnd::CrLf);
    EXPECT_FALSE(taken.file().valid);
}

// What a load finds under a name, and what it leaves in the lines.
TEST_F(TxaLinesFixture, LoadResults) {
    load("keep\r\n");
    std::filesystem::create_directory(dir.file("folder.txa"));
    dir.write(".hidden.txa", "x\r\n");
    struct Case {
        std::string name;
        LoadStatus status;
        FileKind kind;
    };
    const Case cases[] = {
        {dir.file("missing.txa"), LoadStatus::NotAFile, FileKind::Missing},
        {dir.file("folder.txa"), LoadStatus::NotAFile, FileKind::Folder},
        {dir.file(".hidden.txa"), LoadStatus::NotAFile, FileKind::Hidden},
#ifndef _WIN32  // a device is a POSIX name
        {"/dev/null", LoadStatus::NotAFile, FileKind::NotOrdinary},
#endif
        {dir.file("in.txa") + "   ", LoadStatus::Loaded, FileKind::Ordinary},  // trailing spaces are ignored
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadResult result = lines.load(c.name, 64);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.kind, c.kind);
        EXPECT_EQ(result.replacedLines(), c.status == LoadStatus::Loaded);
        EXPECT_EQ(testing::linesOf(lineQ), Lines{"keep"});
    }
    const std::string other = dir.write("other.txa", "a\r\nb\r\n");
    platform::failFileOperation(platform::FileOp::Open, 1);
    const LoadResult refused = lines.load(other, 64);
    platform::clearFileFaults();
    EXPECT_EQ(refused.status, LoadStatus::OpenFailed);
    EXPECT_NE(refused.error, 0);
    EXPECT_FALSE(refused.replacedLines());
    EXPECT_EQ(testing::linesOf(lineQ), Lines{"keep"});
    EXPECT_EQ(lines.file(), platform::fileIdentity(dir.file("in.txa")));
    platform::failFileOperation(platform::FileOp::Read, 1);
    const LoadResult unread = lines.load(other, 64);
    platform::clearFileFaults();
    EXPECT_EQ(unread.status, LoadStatus::ReadFailed);
    EXPECT_TRUE(unread.replacedLines());
    EXPECT_EQ(testing::linesOf(lineQ), Lines{});
    EXPECT_EQ(lines.file(), platform::fileIdentity(other));
}

// What a save reports: the file that cannot be made, the write that fails.
TEST_F(TxaLinesFixture, SaveResults) {
    load("one\r\n");
    for (auto [op, status] : {std::pair{platform::FileOp::Open, SaveStatus::CreateFailed},
                              {platform::FileOp::Write, SaveStatus::WriteFailed},
                              {platform::FileOp::Rename, SaveStatus::WriteFailed}}) {
        platform::failFileOperation(op, 1);
        const SaveResult result = lines.save(dir.file("out.txa"));
        platform::clearFileFaults();
        EXPECT_EQ(result.status, status);
        EXPECT_NE(result.error, 0);
        EXPECT_EQ(dir.listing(), "in.txa\n");
    }
}

}  // namespace
}  // namespace varnok::app

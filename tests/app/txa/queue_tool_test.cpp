#include "app/txa/queue_tool.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include <system_error>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <tuple>
#include <fstream>
#include <iterator>
#include <random>

#include "app/txa/txa_records.h"
#include "platform/plain_file.h"
#include "runtime/errors/error_codes.h"
#include "tests/app/temp_folder.h"
#include "tests/app/txa_reference.h"
#include "tests/support/scripted_presenter.h"

namespace varnok::app {
namespace {

using testing::readFile;
using testing::TempFolder;

struct QueueToolFixture : ::testing::Test {
    TempFolder dir;
    Queue lineQ{lineLayout()};
    QueueTool tool;

    std::vector<std::string> load(const std::string& bytes, int32_t maxBuf = 1048575) {
        tool.MaxBufSize = maxBuf;
        std::string name = dir.write("in.txa", bytes);
        EXPECT_EQ(tool.LoadText(lineQ, name), 1);
        return testing::linesOf(lineQ);
    }
};

using Lines = std::vector<std::string>;

TEST_F(QueueToolFixture, LineEnds) {
    EXPECT_EQ(load("A\r\nB\r\n"), (Lines{"A", "B"}));
    EXPECT_EQ(load("A\r\nB"), (Lines{"A", "B"}));
    EXPECT_EQ(load("\r\n"), (Lines{""}));
    EXPECT_EQ(load(""), (Lines{}));
    EXPECT_EQ(load("A\nB\r\nC"), (Lines{"A\nB", "C"}));  // a lone LF is text when the file has CR LF
    EXPECT_EQ(load("A\rB\r\n"), (Lines{"A\rB"}));
    EXPECT_EQ(load("A\nB\n"), (Lines{"A", "B"}));        // no CR LF at all: LF ends lines
    EXPECT_EQ(load("A\rB\nC"), (Lines{"A\rB", "C"}));
}

// A queue whose cleared buffer is not all spaces (a number field after the
// text) is loaded with plain ADDs: every record is its line, spaces to the end
// of the text field, and the number field as cleared.
TEST_F(QueueToolFixture, ALayoutNotClearedToSpacesKeepsItsClearedBytes) {
    Queue mixed{RecordLayoutBuilder().string("Text", 300).longField("Tag").build()};
    std::mt19937 rng(9);
    std::string bytes;
    Lines lines;
    for (int i = 0; i < 200; ++i) {
        std::string line(rng() % 120, 'a');
        for (char& c : line) c = static_cast<char>('a' + rng() % 3);
        if (!line.empty() && rng() % 4 == 0) line.back() = ' ';  // trailing blank
        lines.push_back(line);
        bytes += line + "\r\n";
    }
    ASSERT_EQ(tool.LoadText(mixed, dir.write("mixed.txa", bytes)), 1);
    ASSERT_EQ(RECORDS(mixed), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        GET(mixed, static_cast<int32_t>(i + 1));
        std::string expected = lines[i] + std::string(300 - lines[i].size(), ' ') + std::string(4, '\0');
        ASSERT_EQ(std::string(reinterpret_cast<const char*>(mixed.buffer()), mixed.recordSize()), expected) << i;
    }
}

TEST_F(QueueToolFixture, EveryChunkSizeGivesTheSameLines) {
    std::mt19937 rng(5);
    const char* pieces[] = {"a", "bc", " ", "\r", "\n", "\r\n", "[X]"};
    std::string longLine(1100, 'L');
    for (int round = 0; round < 60; ++round) {
        std::string bytes;
        for (int i = 0, n = 1 + static_cast<int>(rng() % 30); i < n; ++i) {
            int k = static_cast<int>(rng() % 8);
            bytes += k == 7 ? longLine : std::string(pieces[k]);
        }
        Lines expected;
        for (const auto& l : testing::refSplit(bytes)) expected.push_back(testing::rstrip(l.substr(0, 1024)));
        for (int32_t chunk : {1, 2, 3, 7, 64, 1048575}) ASSERT_EQ(load(bytes, chunk), expected) << round << " " << chunk;
    }
}

// Every chunk size, in one stretch or in two halves at once, gives the same
// lines, header index, long-line tails and written bytes as reading the file
// in one piece, wherever the chunks and the halves fall.
TEST_F(QueueToolFixture, EveryChunkSizeGivesTheSameHeadersAndCopy) {
    std::mt19937 rng(15);
    const char* pieces[] = {"a", "bc", " ", "\r", "\n", "\r\n", "[X]", "\r\n[PROCEDURE]\r\n"};
    std::string longLine(1100, 'L');
    for (int round = 0; round < 80; ++round) {
        std::string bytes;
        const bool lfOnly = round % 3 == 0;
        for (int i = 0, n = 1 + static_cast<int>(rng() % 60); i < n; ++i) {
            int k = static_cast<int>(rng() % 9);
            std::string piece = k == 8 ? longLine : std::string(pieces[k]);
            if (lfOnly) piece.erase(std::remove(piece.begin(), piece.end(), '\r'), piece.end());
            bytes += piece;
        }
        const std::string name = dir.write("halves.txa", bytes);
        auto loadOnce = [&](uint64_t halvesFrom, int32_t chunk) {
            tool.lines().readInHalvesFrom(halvesFrom);
            tool.MaxBufSize = chunk;
            EXPECT_EQ(tool.LoadText(lineQ, name), 1);
            const std::vector<uint32_t> headers = tool.lines().headerIndex().lines;
            EXPECT_TRUE(tool.lines().check());
            EXPECT_EQ(tool.SaveText(lineQ, (dir.path() + "/out.txa")), 1);
            return std::make_tuple(testing::linesOf(lineQ), headers, readFile((dir.path() + "/out.txa")));
        };
        const auto whole = loadOnce(UINT64_MAX, 1048575);
        for (uint64_t halvesFrom : {uint64_t(UINT64_MAX), uint64_t(1)})
            for (int32_t chunk : {1, 3, 64, 1048575})
                ASSERT_EQ(loadOnce(halvesFrom, chunk), whole) << round << " " << chunk << " " << halvesFrom;
    }
}

// A read that fails at any point, in one stretch or in either of two
// halves, is reported, and what was loaded is the file's first lines (the
// last one possibly cut short where reading stopped).
TEST_F(QueueToolFixture, AReadFailureAtAnyReadIsReported) {
    std::string bytes;
    Lines lines;
    for (int i = 0; i < 300; ++i) {
        lines.push_back("line " + std::to_string(i));
        bytes += lines.back() + "\r\n";
    }
    const std::string name = dir.write("fail.txa", bytes);
    tool.MaxBufSize = 64;
    // In halves, the second read looks for the line start that splits the
    // file; when it fails, the file is simply read in one stretch.
    tool.lines().readInHalvesFrom(1);
    platform::failFileOperation(platform::FileOp::Read, 2);
    EXPECT_EQ(tool.LoadText(lineQ, name), 1);
    platform::clearFileFaults();
    EXPECT_EQ(testing::linesOf(lineQ), lines);
    for (uint64_t halvesFrom : {uint64_t(UINT64_MAX), uint64_t(1)})
    for (int nth : {1, 2, 3, 4, 10, 30}) {
        if (halvesFrom == 1 && nth == 2) continue;  // the look for the split, above
        tool.lines().readInHalvesFrom(halvesFrom);
        testing::ScriptedPresenter boxes;
        boxes.expect("Error Reading", window::ButtonOk);
        platform::failFileOperation(platform::FileOp::Read, nth);
        EXPECT_EQ(tool.LoadText(lineQ, name), 0) << nth << " " << halvesFrom;
        platform::clearFileFaults();
        boxes.verifyDone();
        const Lines got = testing::linesOf(lineQ);
        ASSERT_LT(got.size(), lines.size() + 1) << nth;
        for (size_t i = 0; i + 1 < got.size(); ++i) ASSERT_EQ(got[i], lines[i]) << nth << " " << i;
        if (!got.empty()) {
            std::string last = got.back();  // may end in the CR of a line end cut in two
            if (!last.empty() && last.back() == '\r') last.pop_back();
            EXPECT_EQ(lines[got.size() - 1].rfind(last, 0), 0u) << nth;
        }
    }
    EXPECT_EQ(tool.LoadText(lineQ, name), 1);
    EXPECT_EQ(testing::linesOf(lineQ), lines);
}

TEST_F(QueueToolFixture, ACrLfSplitByTheChunkEndIsOneLineEnd) {
    // Chunks of 3: "ab\r" | "\r\nc" ... the lone CR at the end of the first
    // chunk is followed by the CR of a pair.
    EXPECT_EQ(load("ab\r\r\ncd\r\n", 3), (Lines{"ab\r", "cd"}));
    EXPECT_EQ(load("ab\r\ncd", 3), (Lines{"ab", "cd"}));
}

TEST_F(QueueToolFixture, LongLinesAreCutInTheQueueButWrittenWhole) {
    std::string longLine = std::string(1500, 'x') + "END  ";
    std::string bytes = "first\r\n" + longLine + "\r\n" + std::string(1030, 'y') + std::string(10, ' ') + "\r\nlast";
    for (int32_t chunk : {5, 100, 1048575}) {
        Lines lines = load(bytes, chunk);
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_EQ(lines[1], std::string(1024, 'x'));
        ASSERT_EQ(tool.SaveText(lineQ, dir.file("out.txa")), 1);
        EXPECT_EQ(readFile(dir.file("out.txa")), "first\r\n" + std::string(1500, 'x') + "END\r\n" +
                                                     std::string(1030, 'y') + "\r\nlast\r\n");
    }
}

// The tails of long lines follow deletions made through the lines; a
// change made to the queue behind them leaves lines cut at the record, and
// the save refuses to write them so ("Error WriteFile") instead of cutting.
TEST_F(QueueToolFixture, AQueueChangedBehindItsLinesIsNotSavedCut) {
    load(std::string(1030, 'z') + "\r\nb\r\n");
    GET(lineQ, 2);
    DELETE(lineQ);  // not through the lines: the kept tails no longer apply
    testing::ScriptedPresenter boxes;
    boxes.expect("Error WriteFile", window::ButtonOk);
    EXPECT_EQ(tool.SaveText(lineQ, dir.file("out.txa")), 0);
    boxes.verifyDone();
    EXPECT_EQ(boxes.shown()[0].caption, "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txa")));
    // Without long lines nothing can be cut: the queue is written as it is.
    load("a\r\nb\r\nc\r\n");
    GET(lineQ, 2);
    DELETE(lineQ);
    ASSERT_EQ(tool.SaveText(lineQ, dir.file("out.txa")), 1);
    EXPECT_EQ(readFile(dir.file("out.txa")), "a\r\nc\r\n");
}

TEST_F(QueueToolFixture, LfFilesAreWrittenBackWithLf) {
    load("a  \nb\n\nc");
    ASSERT_EQ(tool.SaveText(lineQ, dir.file("out.txa")), 1);
    EXPECT_EQ(readFile(dir.file("out.txa")), "a\nb\n\nc\n");
    load("a\r\nb");
    ASSERT_EQ(tool.SaveText(lineQ, dir.file("out.txa")), 1);
    EXPECT_EQ(readFile(dir.file("out.txa")), "a\r\nb\r\n");
}

// An LF file whose line ends in CR and spaces: dropping all the spaces
// would write CR LF, and the copy would read back as a CR LF file with other
// lines. One space stays after the CR; the copy loads as the same lines.
TEST_F(QueueToolFixture, AnLfLineEndingInCrStaysAnLfLine) {
    struct Case {
        std::string file, copy;
    };
    const std::string longCr = std::string(1023, 'x') + "\r";
    const Case cases[] = {
        {"a\r  \nb\n", "a\r \nb\n"},
        {"a\r \n", "a\r \n"},
        {"\r   \nx", "\r \nx\n"},
        {longCr + "  \nz\n", longCr + " \nz\n"},                                    // the CR ends the record
        {std::string(1100, 'y') + "\r   \nz\n", std::string(1100, 'y') + "\r \nz\n"},  // the CR ends a long line
        {"a\r  \r\nb", "a\r\r\nb\r\n"},                                             // CR LF files are as they were
    };
    for (const Case& c : cases) {
        const Lines lines = load(c.file);
        ASSERT_EQ(tool.SaveText(lineQ, dir.file("out.txa")), 1);
        EXPECT_EQ(readFile(dir.file("out.txa")), c.copy);
        Queue again{lineLayout()};
        QueueTool other;
        ASSERT_EQ(other.LoadText(again, dir.file("out.txa")), 1);
        EXPECT_EQ(testing::linesOf(again), lines);
    }
}

TEST_F(QueueToolFixture, AMissingOrHiddenFileChangesNothingAndSaysNothing) {
    load("keep\r\n");
    testing::ScriptedPresenter boxes;  // any message fails the test
    EXPECT_EQ(tool.LoadText(lineQ, dir.file("missing.txa")), 1);
    EXPECT_EQ(tool.LoadText(lineQ, dir.write(".hidden.txa", "x\r\n")), 1);
    std::filesystem::create_directory(dir.file("folder.txa"));
    EXPECT_EQ(tool.LoadText(lineQ, dir.file("folder.txa")), 1);
    EXPECT_EQ(testing::linesOf(lineQ), (Lines{"keep"}));
}

TEST_F(QueueToolFixture, OpenAndReadFailuresAreReported) {
    load("keep\r\n");
    std::string name = dir.write("other.txa", "a\r\nb\r\nc\r\n");
    {
        testing::ScriptedPresenter boxes;
        boxes.expect("Error Open", window::ButtonOk);
        platform::failFileOperation(platform::FileOp::Open, 1);
        EXPECT_EQ(tool.LoadText(lineQ, name), 0);
        platform::clearFileFaults();
        boxes.verifyDone();
        EXPECT_EQ(boxes.shown()[0].text, "Cannot open " + name + ": Permission denied");
        EXPECT_EQ(boxes.shown()[0].icon, window::IconHand);
        EXPECT_EQ(testing::linesOf(lineQ), (Lines{"keep"}));
    }
    {
        testing::ScriptedPresenter boxes;
        boxes.expect("Error Reading", window::ButtonOk);
        tool.MaxBufSize = 4;
        platform::failFileOperation(platform::FileOp::Read, 3);  // after "a\r\nb" and "\r\nc\r"
        EXPECT_EQ(tool.LoadText(lineQ, name), 0);
        platform::clearFileFaults();
        boxes.verifyDone();
        EXPECT_EQ(testing::linesOf(lineQ), (Lines{"a", "b", "c\r"}));  // lines so far, with the pending part
    }
}

TEST_F(QueueToolFixture, SaveFailuresLeaveTheOldFileAndNoPartialFile) {
    load("one\r\ntwo\r\n");
    std::string target = dir.write("out.txa", "previous\r\n");
#ifndef _WIN32
    ::chmod(target.c_str(), 0604);
#endif
    // Opening says which file and why under "Error Open"; writing says
    // "Error WriteFile" alone.
    const std::string cannotOpen = "Cannot open " + target + ": Permission denied";
    const struct {
        platform::FileOp op;
        std::string text, caption;
    } cases[] = {{platform::FileOp::Open, cannotOpen, "Error Open"},
                 {platform::FileOp::Write, "Error WriteFile", ""},
                 {platform::FileOp::Sync, "Error WriteFile", ""},
                 {platform::FileOp::Rename, "Error WriteFile", ""}};
    for (const auto& [op, text, caption] : cases) {
        testing::ScriptedPresenter boxes;
        boxes.expect(text, window::ButtonOk);
        platform::failFileOperation(op, 1);
        EXPECT_EQ(tool.SaveText(lineQ, target), 0);
        platform::clearFileFaults();
        boxes.verifyDone();
        EXPECT_EQ(boxes.shown()[0].text, text);
        EXPECT_EQ(boxes.shown()[0].caption, caption);
        EXPECT_EQ(readFile(target), "previous\r\n");
        EXPECT_EQ(dir.listing(), "in.txa\nout.txa\n");
    }
    ASSERT_EQ(tool.SaveText(lineQ, target), 1);
    EXPECT_EQ(readFile(target), "one\r\ntwo\r\n");
#ifndef _WIN32  // permission bits are POSIX's; Windows files carry access lists
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
#endif
}

// A text of several output buffers is written while the next buffer fills;
// the file comes out whole, and a write that fails at any buffer leaves the
// old file and no partial one.
TEST_F(QueueToolFixture, LargeSavesAreWholeOrNotAtAll) {
    std::mt19937 rng(3);
    std::string bytes;
    while (bytes.size() < (size_t(3) << 20) + 1000)  // three full buffers and a part
        bytes += "line " + std::to_string(rng() % 100000) + std::string(rng() % 60, 'x') + "\r\n";
    load(bytes);
    std::string target = dir.write("out.txa", "previous\r\n");
    for (int nth : {1, 2, 3, 4}) {  // each of the four writes
        testing::ScriptedPresenter boxes;
        boxes.expect("Error WriteFile", window::ButtonOk);
        platform::failFileOperation(platform::FileOp::Write, nth);
        EXPECT_EQ(tool.SaveText(lineQ, target), 0) << nth;
        platform::clearFileFaults();
        boxes.verifyDone();
        EXPECT_TRUE(readFile(target) == "previous\r\n") << nth;
        EXPECT_EQ(dir.listing(), "in.txa\nout.txa\n");
    }
    ASSERT_EQ(tool.SaveText(lineQ, target), 1);
    EXPECT_TRUE(readFile(target) == bytes);  // not EXPECT_EQ: a mismatch would print megabytes
}

#ifndef _WIN32  // folder permission bits are POSIX's; Windows folders carry access lists
TEST_F(QueueToolFixture, AnUnwritableFolderFailsToOpen) {
    if (testing::runningAsRoot()) GTEST_SKIP() << "folder permissions do not stop root";
    load("x\r\n");
    std::filesystem::create_directory(dir.file("locked"));
    ::chmod(dir.file("locked").c_str(), 0500);
    testing::ScriptedPresenter boxes;
    boxes.expect("Error Open", window::ButtonOk);
    EXPECT_EQ(tool.SaveText(lineQ, dir.file("locked/out.txa")), 0);
    boxes.verifyDone();
    EXPECT_FALSE(std::filesystem::exists(dir.file("locked/out.txa")));
}
#endif

// A folder that cannot hold the file stops root as well as anyone: here the
// "folder" is an ordinary file.
TEST_F(QueueToolFixture, AFolderThatIsAFileFailsToOpen) {
    load("x\r\n");
    { std::ofstream(dir.file("plain")) << "keep"; }
    testing::ScriptedPresenter boxes;
    boxes.expect("Error Open", window::ButtonOk);
    EXPECT_EQ(tool.SaveText(lineQ, dir.file("plain/out.txa")), 0);
    boxes.verifyDone();
    std::ifstream in(dir.file("plain"));
    std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, "keep");
}

// A file written while it is read (cut short, grown, or rewritten in place)
// is a failed read, never a load that passes for the file: what was read
// may mix two versions of it. The tool says "Error Reading"; the lines say
// Changed.
TEST_F(QueueToolFixture, AFileChangedWhileItIsReadIsAFailedRead) {
    std::string bytes;
    for (int i = 0; i < 200; ++i) bytes += "line " + std::to_string(i) + "\r\n";
    struct Change {
        const char* what;
        void (*apply)(const std::string& name, const std::string& bytes);
    };
    const Change changes[] = {
        {"nothing", [](const std::string&, const std::string&) {}},
        {"cut short", [](const std::string& name, const std::string& b) { std::filesystem::resize_file(name, b.size() / 3); }},
        {"grown", [](const std::string& name, const std::string&) { std::ofstream(name, std::ios::app) << "more\r\n"; }},
        {"rewritten", [](const std::string& name, const std::string& b) {
             // Same size; a write within one tick of a coarse clock may leave
             // the time of change where it was, so it is set a second later
             // than the time the read began with.
             const std::filesystem::file_time_type before = std::filesystem::last_write_time(name);
             std::string other = b;
             std::replace(other.begin(), other.end(), 'l', 'L');
             std::fstream(name, std::ios::in | std::ios::out | std::ios::binary) << other;
             std::filesystem::last_write_time(name, before + std::chrono::seconds(1));
         }},
    };
    for (bool throughTheTool : {true, false}) {
        for (const Change& change : changes) {
            const std::string name = dir.write("changing.txa", bytes);
            tool.MaxBufSize = 64;
            const bool changes = std::string(change.what) != "nothing";
            testing::ScriptedPresenter boxes;
            if (changes && throughTheTool) boxes.expect("Error Reading", window::ButtonOk);
            platform::beforeFileOperation(platform::FileOp::Read, 2, [&] { change.apply(name, bytes); });
            if (throughTheTool) {
                EXPECT_EQ(tool.LoadText(lineQ, name), changes ? 0 : 1) << change.what;
            } else {
                const LoadResult result = tool.lines().load(name, 64);
                EXPECT_EQ(result.status, changes ? LoadStatus::Changed : LoadStatus::Loaded) << change.what;
                EXPECT_TRUE(result.replacedLines());
            }
            platform::clearFileFaults();
            boxes.verifyDone();
            if (!changes) {
                EXPECT_EQ(testing::linesOf(lineQ).size(), 200u);
            }
        }
    }
}

// The messages LoadText and SaveText give for each result, and the ones
// they give none for: the OK button; "Error Open" names the file and the
// reason, with the stop icon; the others are text only.
TEST(QueueToolMessages, EachResultItsMessage) {
    const std::string cannotOpen = "Cannot open dir/main.txa: " + std::generic_category().message(5);
    struct Case {
        const char* text;  // nullptr: no message
        const char* caption;
        bool stopIcon;
    };
    const std::pair<LoadStatus, Case> loads[] = {
        {LoadStatus::Loaded, {nullptr, "", false}},
        {LoadStatus::NotAFile, {nullptr, "", false}},
        {LoadStatus::OpenFailed, {cannotOpen.c_str(), "Error Open", true}},
        {LoadStatus::ReadFailed, {"Error Reading", "", false}},
        {LoadStatus::Changed, {"Error Reading", "", false}},
        {LoadStatus::NoMemory, {nullptr, "", false}},  // the runtime's own text, below
    };
    for (const auto& [status, c] : loads) {
        testing::ScriptedPresenter boxes;
        const bool noMemory = status == LoadStatus::NoMemory;
        if (c.text || noMemory) boxes.expect(c.text ? c.text : "", window::ButtonOk);
        reportLoad({status, 5}, "dir/main.txa");
        boxes.verifyDone();
        if (!c.text && !noMemory) continue;
        const window::MessageRequest& shown = boxes.shown().at(0);
        EXPECT_EQ(shown.text, noMemory ? errorText(InsufficientMemoryErr) : c.text);
        EXPECT_EQ(shown.caption, c.caption);
        EXPECT_EQ(shown.icon, c.stopIcon ? window::IconHand : "");
        EXPECT_EQ(shown.buttons, window::ButtonOk);
    }
    const std::pair<SaveStatus, Case> saves[] = {{SaveStatus::Saved, {nullptr, "", false}},
                                                 {SaveStatus::CreateFailed, {cannotOpen.c_str(), "Error Open", true}},
                                                 {SaveStatus::ReadOnly, {"dir/main.txa is read-only", "Error Open", true}},
                                                 {SaveStatus::WriteFailed, {"Error WriteFile", "", false}},
                                                 {SaveStatus::LinesOutOfStep, {"Error WriteFile", "", false}}};
    for (const auto& [status, c] : saves) {
        testing::ScriptedPresenter boxes;
        if (c.text) boxes.expect(c.text, window::ButtonOk);
        reportSave({status, 5}, "dir/main.txa");
        boxes.verifyDone();
        if (!c.text) continue;
        EXPECT_EQ(boxes.shown().at(0).text, c.text);
        EXPECT_EQ(boxes.shown().at(0).caption, c.caption);
        EXPECT_EQ(boxes.shown().at(0).icon, c.stopIcon ? window::IconHand : "");
    }
}

}  // namespace
}  // namespace varnok::app

// Several processes on one file: deny-none appends from four processes at
// once keep every line whole and present exactly once; appends of processes
// taking turns land at the real end also with QUICKSCAN on; sharing modes and
// the file lock hold between processes. The children are this test
// executable started again (tests/platform/child_process.h).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>

#include "tests/platform/child_process.h"
#include "tests/textfile/text_file_fixture.h"

namespace varnok::testing {
namespace {

using namespace textfile;

std::string appendedLine(int process, int index) {
    char text[80];
    std::snprintf(text, sizeof text, "process %d line %05d ..........................................", process,
                  index);
    return text;
}

constexpr int kAppendingProcesses = 4;
constexpr int kLinesEach = 10000;

TEST(TextDriverProcesses, ConcurrentAppendsKeepEveryLineOnce) {
    if (childRole() == "append") {
        const int p = std::stoi(childArguments()[1]);
        TextFile log(childArguments()[0], 80);
        if (log.open(ReadWriteDenyNone) != 0) exitChild(1);
        for (int i = 0; i < kLinesEach; ++i) {
            if (log.add(appendedLine(p, i)) != 0) exitChild(2);
        }
        exitChild(log.close() == 0 ? 0 : 3);
    }
    ScratchDir dir;
    const std::string path = dir.file("shared.log");
    writeBytes(path, "");
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int p = 0; p < kAppendingProcesses; ++p) {
        children.push_back(std::make_unique<ChildProcess>("append", std::vector<std::string>{path, std::to_string(p)}));
    }
    for (auto& child : children) EXPECT_EQ(child->wait(), 0);

    TextFile log(path, 80);
    ASSERT_EQ(log.open(ReadOnlyDenyWrite), 0);
    std::map<std::string, int> seen;
    for (const std::string& line : log.readAll()) ++seen[line];
    EXPECT_EQ(seen.size(), size_t{kAppendingProcesses * kLinesEach});
    int missing = 0, repeated = 0;
    for (int p = 0; p < kAppendingProcesses; ++p) {
        for (int i = 0; i < kLinesEach; ++i) {
            auto it = seen.find(appendedLine(p, i));
            if (it == seen.end()) {
                ++missing;
            } else if (it->second != 1) {
                ++repeated;
            }
        }
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(repeated, 0);
    EXPECT_EQ(readBytes(path).size(), size_t{kAppendingProcesses * kLinesEach} * (appendedLine(0, 0).size() + 2));
}

// Two processes append in turn, each through its own deny-none open with
// QUICKSCAN on: every line lands after the other process's lines.
TEST(TextDriverProcesses, AppendsTakingTurnsLandAtTheRealEnd) {
    if (childRole() == "turns") {
        TextFile log(childArguments()[0], 40, "/QUICKSCAN=ON");
        if (log.open(ReadWriteDenyNone) != 0) exitChild(1);
        if (!tellParent('o')) exitChild(2);
        char byte = 0;
        for (int k = 0; hearFromParent(byte) && byte == 'g'; ++k) {
            if (log.add("b" + std::to_string(k)) != 0) exitChild(3);
            if (!tellParent('d')) exitChild(4);
        }
        exitChild(log.close() == 0 ? 0 : 5);
    }
    ScratchDir dir;
    const std::string path = dir.file("turns.log");
    writeBytes(path, "");
    TextFile mine(path, 40, "/QUICKSCAN=ON");
    ASSERT_EQ(mine.open(ReadWriteDenyNone), 0);
    ASSERT_EQ(mine.send("QUICKSCAN"), "ON");
    ChildProcess other("turns", {path});
    char byte = 0;
    ASSERT_TRUE(other.hear(byte));
    std::vector<std::string> expected;
    for (int k = 0; k < 5; ++k) {
        ASSERT_EQ(mine.add("a" + std::to_string(k)), 0);
        expected.push_back("a" + std::to_string(k));
        ASSERT_TRUE(other.tell('g'));
        ASSERT_TRUE(other.hear(byte));
        expected.push_back("b" + std::to_string(k));
    }
    ASSERT_EQ(mine.add("a5"), 0);
    expected.push_back("a5");
    other.tell('q');
    EXPECT_EQ(other.wait(), 0);
    mine.close();
    TextFile log(path, 40);
    ASSERT_EQ(log.open(ReadOnlyDenyWrite), 0);
    EXPECT_EQ(log.readAll(), expected);
}

// The child opens the file, reports that it holds it, and waits to be told
// to close it; meanwhile the parent tries its own opens and locks.
TEST(TextDriverProcesses, SharingAndTheFileLockHoldBetweenProcesses) {
    if (childRole() == "hold") {
        TextFile held(childArguments()[0]);
        if (held.open(static_cast<uint8_t>(std::stoi(childArguments()[1]))) != 0) exitChild(1);
        if (childArguments()[2] == "1" && held.run(op::LOCKfile) != 0) exitChild(2);
        char byte = 0;
        if (!tellParent('h')) exitChild(3);
        if (!hearFromParent(byte)) exitChild(4);
        exitChild(0);
    }
    ScratchDir dir;
    const std::string path = dir.file("held.txt");
    writeBytes(path, "x\r\n");
    struct Case {
        uint8_t childMode;
        bool childLocks;
        uint8_t parentMode;
        int32_t parentOpen;
    };
    const Case cases[] = {
        {0x20, false, 0x22, 32},  // the child denies writing
        {0x20, false, 0x20, 0},
        {0x12, false, 0x40, 32},  // the child denies everything
        {0x42, true, 0x42, 0},    // opens share; the lock does not
    };
    for (const Case& c : cases) {
        ChildProcess child("hold", {path, std::to_string(c.childMode), c.childLocks ? "1" : "0"});
        char byte = 0;
        ASSERT_TRUE(child.hear(byte));
        TextFile mine(path);
        EXPECT_EQ(mine.open(c.parentMode), c.parentOpen);
        if (c.childLocks) {
            FileArgs none;
            none.seconds = 0;
            EXPECT_EQ(mine.run(op::LOCKfilesec, none), 32);
        }
        mine.close();
        ASSERT_TRUE(child.tell('x'));
        EXPECT_EQ(child.wait(), 0);
        EXPECT_EQ(mine.open(c.parentMode), 0);  // free again once the child is gone
        if (c.childLocks) {
            EXPECT_EQ(mine.run(op::LOCKfile), 0);
        }
    }
}

}  // namespace
}  // namespace varnok::testing

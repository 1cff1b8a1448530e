// Several processes on one file: deny-none appends from four processes at
// once keep every line whole and present exactly once; sharing modes and the
// file lock hold between processes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

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

// Runs body in a child process; the child's exit status is body's answer.
pid_t spawn(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    return pid;
}

int exitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(TextDriverProcesses, ConcurrentAppendsKeepEveryLineOnce) {
    constexpr int kProcesses = 4;
    constexpr int kLines = 10000;
    ScratchDir dir;
    const std::string path = dir.file("shared.log");
    writeBytes(path, "");
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(spawn([&, p] {
            TextFile log(path, 80);
            if (log.open(ReadWriteDenyNone) != 0) return 1;
            for (int i = 0; i < kLines; ++i) {
                if (log.add(appendedLine(p, i)) != 0) return 2;
            }
            return log.close() == 0 ? 0 : 3;
        }));
    }
    for (pid_t child : children) EXPECT_EQ(exitStatus(child), 0);

    TextFile log(path, 80);
    ASSERT_EQ(log.open(ReadOnlyDenyWrite), 0);
    std::map<std::string, int> seen;
    for (const std::string& line : log.readAll()) ++seen[line];
    EXPECT_EQ(seen.size(), size_t{kProcesses * kLines});
    int missing = 0, repeated = 0;
    for (int p = 0; p < kProcesses; ++p) {
        for (int i = 0; i < kLines; ++i) {
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
    EXPECT_EQ(readBytes(path).size(), size_t{kProcesses * kLines} * (appendedLine(0, 0).size() + 2));
}

// The child opens the file, reports that it holds it, and waits to be told
// to close it; meanwhile the parent tries its own opens and locks.
TEST(TextDriverProcesses, SharingAndTheFileLockHoldBetweenProcesses) {
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
        int ready[2], done[2];
        ASSERT_EQ(::pipe(ready), 0);
        ASSERT_EQ(::pipe(done), 0);
        const pid_t child = spawn([&] {
            TextFile held(path);
            if (held.open(c.childMode) != 0) return 1;
            if (c.childLocks && held.run(op::LOCKfile) != 0) return 2;
            char byte = 1;
            if (::write(ready[1], &byte, 1) != 1) return 3;
            if (::read(done[0], &byte, 1) != 1) return 4;
            return 0;
        });
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        TextFile mine(path);
        EXPECT_EQ(mine.open(c.parentMode), c.parentOpen);
        if (c.childLocks) {
            FileArgs none;
            none.seconds = 0;
            EXPECT_EQ(mine.run(op::LOCKfilesec, none), 32);
        }
        mine.close();
        ASSERT_EQ(::write(done[1], &byte, 1), 1);
        EXPECT_EQ(exitStatus(child), 0);
        EXPECT_EQ(mine.open(c.parentMode), 0);  // free again once the child is gone
        if (c.childLocks) {
            EXPECT_EQ(mine.run(op::LOCKfile), 0);
        }
        for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
    }
}

}  // namespace
}  // namespace varnok::testing

// varnok remove when things go wrong around it: the process killed at any
// moment of a large save, the disk filling up part way, and temporary files
// left behind by a run that died. Each runs the program itself.
//
// Linux only: the tests start and kill the program with fork, signals and
// file size limits. On Windows the same guarantees of a save are tested
// where the save lives (tests/platform: a save ended by TerminateProcess).
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "platform/temporary_files.h"
#include "tests/app/temp_folder.h"

namespace varnok::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A TXA file of at least minBytes: an application-wide instance, then
// procedures with a "Logger" instance, embedded lines and a "Resizer".
// Removing the "Logger" instances keeps nine tenths of the bytes.
std::string generatedTxa(size_t minBytes) {
    std::string t = "[APPLICATION]\r\nVERSION 34\r\n[ADDITION]\r\nNAME Tools Logger\r\n[INSTANCE]\r\nINSTANCE 1\r\n"
                    "[PROMPTS]\r\n%Level LONG (3)\r\n";
    t.reserve(minBytes + 4096);
    for (long i = 0; t.size() < minBytes; ++i) {
        const std::string n = std::to_string(i);
        t += "[PROCEDURE]\r\nNAME Proc" + n + "\r\n[COMMON]\r\nDESCRIPTION 'Procedure " + n +
             " of the ledger'\r\nFROM Standard\r\n[ADDITION]\r\nNAME Tools Logger\r\n[INSTANCE]\r\nINSTANCE 2\r\n"
             "[PROMPTS]\r\n%LogFile DEFAULT ('p" + n + ".log')   \r\n[EMBED]\r\n";
        for (int j = 0; j < 16; ++j)
            t += "  Embedded source line " + std::to_string(j) + " of procedure " + n + ": Total += Amount * " +
                 std::to_string(j) + "\r\n";
        t += "[ADDITION]\r\nNAME Other Resizer\r\n[INSTANCE]\r\n[PROMPTS]\r\n%Strategy DEFAULT ('Spread')\r\n"
             "[WINDOW]\r\nWindow WINDOW('Proc" + n + "'),AT(0,0,200,100)\r\nEND\r\n";
    }
    return t;
}

// The whole file, read in large pieces (tens of megabytes, many times over).
std::string contents(const std::string& path) {
    std::string bytes;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return bytes;
    struct stat st;
    if (::fstat(fd, &st) == 0) bytes.reserve(static_cast<size_t>(st.st_size));
    std::vector<char> chunk(size_t(4) << 20);
    for (ssize_t n; (n = ::read(fd, chunk.data(), chunk.size())) > 0;) bytes.append(chunk.data(), static_cast<size_t>(n));
    ::close(fd);
    return bytes;
}

struct Finished {
    int status = -1;  // exit status, -1 when it did not exit normally
    std::string err;
};

// Starts varnok with args; standard output is thrown away, standard error
// goes to errFd (or is thrown away too). fileSizeLimit >= 0 lowers the
// largest file the process may write, with SIGXFSZ ignored so that the
// write fails instead of killing it.
pid_t start(const std::vector<std::string>& args, long fileSizeLimit = -1, int errFd = -1) {
    std::vector<std::string> all{VARNOK_BINARY};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(errFd >= 0 ? errFd : null, 2);
        if (fileSizeLimit >= 0) {
            struct rlimit limit;
            limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(fileSizeLimit);
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::signal(SIGXFSZ, SIG_IGN);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

Finished run(const std::vector<std::string>& args, long fileSizeLimit = -1) {
    int pipeFds[2];
    Finished f;
    if (::pipe(pipeFds) != 0) return f;
    pid_t pid = start(args, fileSizeLimit, pipeFds[1]);
    ::close(pipeFds[1]);
    char chunk[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], chunk, sizeof chunk)) > 0;) f.err.append(chunk, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    f.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return f;
}

ino_t inodeOf(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// The temporary file a process is writing in folder, if any, and its size.
std::optional<uint64_t> temporarySizeOf(const std::string& folder, pid_t pid) {
    for (const auto& e : fs::directory_iterator(folder)) {
        if (platform::temporaryFileProcess(e.path().filename().string()) != pid) continue;
        std::error_code ec;
        const uint64_t size = fs::file_size(e.path(), ec);
        if (!ec) return size;
    }
    return std::nullopt;
}

size_t temporaryFilesIn(const std::string& folder) {
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(folder))
        if (platform::temporaryFileProcess(e.path().filename().string()) != 0) ++n;
    return n;
}

// Killed at twenty moments from the first write to after the rename, a save
// over an existing file leaves under its name the whole old file or the
// whole new one, byte for byte, and never touches the input. A later run
// clears the temporary files the killed ones left.
TEST(RemoveCommand, ASaveKilledAtAnyMomentLeavesTheOldFileOrTheNewOne) {
    TempFolder dir;
    const std::string txa = generatedTxa(size_t(50) << 20);
    const std::string input = dir.write("big.txa", txa);
    const std::string output = dir.file("big_.txa");
    const std::string reference = dir.file("reference.txa");
    std::string old;
    for (int i = 0; old.size() < (size_t(4) << 20); ++i) old += "an older copy, line " + std::to_string(i) + "\r\n";

    // One whole run gives the new file and the time a run takes.
    const auto begun = Clock::now();
    Finished whole = run({"remove", input, "--ext", "Logger", "-o", reference});
    const double seconds = std::chrono::duration<double>(Clock::now() - begun).count();
    ASSERT_EQ(whole.status, 0) << whole.err;
    const std::string fresh = contents(reference);
    ASSERT_GT(fresh.size(), size_t(40) << 20);
    ASSERT_NE(fresh, old);

    int keptOld = 0, gotNew = 0, endedFirst = 0;
    for (int k = 0; k < 20; ++k) {
        dir.write("big_.txa", old);
        const ino_t oldInode = inodeOf(output);
        pid_t pid = start({"remove", input, "--ext", "Logger", "-o", output, "--force"});
        const long runPid = pid;  // names the run's temporary file after pid is cleared
        // Moments 0-16: once the temporary file holds k/16 of the new file
        // (0: as soon as it exists; 16: all written, before or during the
        // rename). Moments 17-19: once the rename is seen, after 0, 2 or 4 ms.
        const uint64_t threshold = fresh.size() * static_cast<uint64_t>(std::min(k, 16)) / 16;
        bool killed = false;
        const auto deadline = Clock::now() + std::chrono::duration<double>(10 * seconds + 30);
        while (!killed && Clock::now() < deadline) {
            int raw = 0;
            if (::waitpid(pid, &raw, WNOHANG) == pid) {
                pid = -1;
                break;
            }
            bool now = false;
            if (k <= 16) {
                std::optional<uint64_t> size = temporarySizeOf(dir.path(), pid);
                now = (size && *size >= threshold) || inodeOf(output) != oldInode;
            } else if (inodeOf(output) != oldInode) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2 * (k - 17)));
                now = true;
            }
            if (now) {
                ::kill(pid, SIGKILL);
                killed = true;
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        if (pid > 0) {
            if (!killed) ::kill(pid, SIGKILL);  // the deadline passed
            int raw = 0;
            ::waitpid(pid, &raw, 0);
            ASSERT_TRUE(killed) << "moment " << k << " never came";
        } else {
            ++endedFirst;
        }
        // Whenever the run was killed: the output is the old file or the new
        // one, byte for byte, and the input is untouched.
        const std::string now = contents(output);
        const bool keptOldFile = inodeOf(output) == oldInode;
        if (keptOldFile) {
            ASSERT_EQ(now.size(), old.size()) << "moment " << k;
            ASSERT_TRUE(now == old) << "moment " << k << ": the old file changed";
            ++keptOld;
        } else {
            ASSERT_EQ(now.size(), fresh.size()) << "moment " << k;
            ASSERT_TRUE(now == fresh) << "moment " << k << ": the new file is not whole";
            ++gotNew;
        }
        ASSERT_TRUE(contents(input) == txa) << "moment " << k << ": the input changed";
        // No temporary file is left but the killed run's own, and that only
        // while the old file is in place: the rename takes it, and every run
        // was killed after creating its own, which removed the leftovers of
        // the runs killed before it.
        for (const auto& e : fs::directory_iterator(dir.path())) {
            const std::string name = e.path().filename().string();
            if (name == "big.txa" || name == "big_.txa" || name == "reference.txa") continue;
            EXPECT_TRUE(keptOldFile && platform::temporaryFileProcess(name) == runPid)
                << "moment " << k << ": " << name << " left beside the output";
        }
    }
    // How the twenty moments fell depends on the machine's scheduling: told,
    // not asserted.
    std::printf("[ kill test ] one run %.2f s; 20 runs killed: %d left the old file, %d the new one, %d ended "
                "before their moment\n",
                seconds, keptOld, gotNew, endedFirst);
    RecordProperty("kept_old", keptOld);
    RecordProperty("got_new", gotNew);

    // A run to the end removes what the killed runs left behind.
    Finished last = run({"remove", input, "--ext", "Logger", "-o", output, "--force"});
    ASSERT_EQ(last.status, 0) << last.err;
    EXPECT_TRUE(contents(output) == fresh);
    EXPECT_EQ(temporaryFilesIn(dir.path()), 0u);
    EXPECT_EQ(dir.listing(), "big.txa\nbig_.txa\nreference.txa\n");
}

// With the largest file the process may write set below the copy's size, the
// write fails part way: exit status 3, one message naming the output, the
// old output as it was, no temporary file, the input untouched.
TEST(RemoveCommand, AFullDiskLeavesTheOldOutputAndNoTemporaryFile) {
    TempFolder dir;
    const std::string txa = generatedTxa(size_t(3) << 20);
    const std::string input = dir.write("main.txa", txa);
    const std::string output = dir.file("main_.txa");
    const std::string old = "an older copy\r\n";
    for (bool outputExists : {true, false}) {
        for (long limit : {0L, 1L, 4096L, 1L << 20, 2L << 20}) {
            if (outputExists)
                dir.write("main_.txa", old);
            else
                fs::remove(output);
            Finished f = run({"remove", input, "--ext", "Logger", "--force"}, limit);
            EXPECT_EQ(f.status, 3) << limit << " " << f.err;
            EXPECT_EQ(std::count(f.err.begin(), f.err.end(), '\n'), 1) << f.err;
            EXPECT_NE(f.err.find("'" + output + "'"), std::string::npos) << f.err;
            EXPECT_NE(f.err.find(std::strerror(EFBIG)), std::string::npos) << f.err;
            if (outputExists) {
                EXPECT_TRUE(readFile(output) == old) << limit;
                EXPECT_EQ(dir.listing(), "main.txa\nmain_.txa\n") << limit;
            } else {
                EXPECT_EQ(dir.listing(), "main.txa\n") << limit;
            }
            EXPECT_TRUE(contents(input) == txa);
        }
    }
    // Without the limit the same command succeeds.
    Finished f = run({"remove", input, "--ext", "Logger", "--force"});
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_EQ(dir.listing(), "main.txa\nmain_.txa\n");
}

// Temporary files of runs that died are cleared from the output's folder;
// those of a live process and files that only look similar stay.
TEST(RemoveCommand, StaleTemporaryFilesOfDeadRunsAreRemoved) {
    TempFolder dir;
    const std::string input = dir.write("main.txa", generatedTxa(4096));
    pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = std::to_string(gone), alive = std::to_string(::getpid());
    dir.write(".main_.txa.varnok-" + dead + "-1.tmp", "half a copy");
    dir.write(".other.txa.varnok-" + dead + "-4.tmp", "half another");
    dir.write(".main_.txa.varnok-" + alive + "-1.tmp", "being written");
    dir.write("main_.txa.varnok-" + dead + "-1.tmp", "a user's own file");
    Finished f = run({"remove", input, "--ext", "Logger"});
    ASSERT_EQ(f.status, 0) << f.err;
    EXPECT_EQ(dir.listing(), ".main_.txa.varnok-" + alive + "-1.tmp\nmain.txa\nmain_.txa\nmain_.txa.varnok-" + dead +
                                 "-1.tmp\n");
}

}  // namespace
}  // namespace varnok::testing

#endif  // _WIN32

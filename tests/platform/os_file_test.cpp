// The file layer of the text line driver, on every system: sharing modes
// against a model of which opens may coexist (in one process and between
// processes), the file lock, short transfers, error codes of missing names,
// the fault hook, names with letters outside ASCII and names past 260
// characters, and copies that never leave a half-written target.
#include "platform/os_file.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "platform/win32/win32_calls.h"
#else
#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/posix_calls.h"
#endif

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "tests/app/temp_folder.h"
#include "tests/platform/child_process.h"

namespace varnok::testing {
namespace {

using platform::FileAccess;
using platform::FileSharing;
using platform::OsCall;
using platform::OsFile;

// Puts the system's call table back.
void restoreCalls() {
#ifdef _WIN32
    platform::win32Calls() = platform::realWin32Calls();
#else
    platform::posixCalls() = platform::realPosixCalls();
#endif
}

class OsFileTest : public ::testing::Test {
protected:
    // A child process started by a test works in its parent's folder.
    void SetUp() override {
        if (childRole().empty()) dir_ = std::make_unique<TempFolder>();
    }
    void TearDown() override {
        restoreCalls();
        platform::setOsFaultHook(nullptr);
    }
    std::string file(const std::string& name) const { return dir_->file(name); }
    static void put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    static std::string get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    // The whole file, read through an OsFile (for names the streams cannot take).
    static std::string getThroughOsFile(const std::string& path) {
        OsFile f;
        if (f.open(path, FileAccess::ReadOnly, FileSharing::DenyNone) != 0) return "(cannot open)";
        std::string bytes(static_cast<size_t>(f.sizeAtOpen()), '\0');
        size_t got = 0;
        if (f.readAt(0, bytes.data(), bytes.size(), got) != 0) return "(cannot read)";
        bytes.resize(got);
        return bytes;
    }

    std::unique_ptr<TempFolder> dir_;
};

struct Mode {
    FileAccess access;
    FileSharing sharing;
};

// Two opens coexist unless one denies what the other does.
bool compatible(const Mode& a, const Mode& b) {
    auto reads = [](const Mode& m) { return m.access != FileAccess::WriteOnly; };
    auto writes = [](const Mode& m) { return m.access != FileAccess::ReadOnly; };
    auto deniesRead = [](const Mode& m) {
        return m.sharing == FileSharing::DenyAll || m.sharing == FileSharing::DenyRead;
    };
    auto deniesWrite = [](const Mode& m) {
        return m.sharing == FileSharing::DenyAll || m.sharing == FileSharing::DenyWrite;
    };
    return !(deniesRead(a) && reads(b)) && !(deniesWrite(a) && writes(b)) &&
           !(deniesRead(b) && reads(a)) && !(deniesWrite(b) && writes(a));
}

std::vector<Mode> everyMode() {
    std::vector<Mode> modes;
    for (FileAccess access : {FileAccess::ReadOnly, FileAccess::WriteOnly, FileAccess::ReadWrite}) {
        for (FileSharing sharing : {FileSharing::Compatible, FileSharing::DenyAll, FileSharing::DenyWrite,
                                    FileSharing::DenyRead, FileSharing::DenyNone}) {
            modes.push_back({access, sharing});
        }
    }
    return modes;
}

TEST_F(OsFileTest, EveryPairOfModesFollowsTheSharingModel) {
    const std::string path = file("shared");
    put(path, "data");
    for (const Mode& first : everyMode()) {
        for (const Mode& second : everyMode()) {
            OsFile a, b;
            ASSERT_EQ(a.open(path, first.access, first.sharing), 0);
            const int32_t expected = compatible(first, second) ? 0 : 32;
            EXPECT_EQ(b.open(path, second.access, second.sharing), expected)
                << int(first.access) << "/" << int(first.sharing) << " then " << int(second.access) << "/"
                << int(second.sharing);
            // A third open after both are gone is always possible.
            a.close();
            b.close();
            OsFile c;
            EXPECT_EQ(c.open(path, second.access, second.sharing), 0);
        }
    }
}

// Random runs of opens and closes over one file: each open succeeds exactly
// when it coexists with every open still in place.
TEST_F(OsFileTest, OpensAndClosesInAnyOrderFollowTheSharingModel) {
    const std::string path = file("crowd");
    put(path, "data");
    const FileAccess accesses[] = {FileAccess::ReadOnly, FileAccess::WriteOnly, FileAccess::ReadWrite};
    const FileSharing sharings[] = {FileSharing::DenyAll, FileSharing::DenyWrite, FileSharing::DenyRead,
                                    FileSharing::DenyNone};
    std::mt19937 random(11);
    struct Held {
        Mode mode;
        std::unique_ptr<OsFile> file;
    };
    std::vector<Held> held;
    for (int step = 0; step < 4000; ++step) {
        if (!held.empty() && (held.size() >= 5 || random() % 3 == 0)) {
            held.erase(held.begin() + static_cast<long>(random() % held.size()));
            continue;
        }
        const Mode mode{accesses[random() % 3], sharings[random() % 4]};
        bool fits = true;
        for (const Held& other : held) fits = fits && compatible(other.mode, mode);
        auto opened = std::make_unique<OsFile>();
        ASSERT_EQ(opened->open(path, mode.access, mode.sharing), fits ? 0 : 32)
            << "step " << step << " with " << held.size() << " open";
        if (fits) held.push_back({mode, std::move(opened)});
    }
}

#ifndef _WIN32  // POSIX only: descriptors that cannot hold a lock marker; Windows checks sharing itself
// Opens of a file this user may only read (or only write): refused where a
// conflicting open is already there, as far as the descriptor allows marking.
int openReadOnlyFiles(const char* path, int flags, mode_t mode) {
    if ((flags & O_ACCMODE) != O_RDONLY) {
        errno = EACCES;
        return -1;
    }
    return platform::realPosixCalls().open(path, flags, mode);
}
int openWriteOnlyFiles(const char* path, int flags, mode_t mode) {
    if ((flags & O_ACCMODE) != O_WRONLY) {
        errno = EACCES;
        return -1;
    }
    return platform::realPosixCalls().open(path, flags, mode);
}

TEST_F(OsFileTest, DescriptorsThatCannotLockStillSeeConflicts) {
    const std::string path = file("limited");
    put(path, "data");
    OsFile writer, reader, limited;
    ASSERT_EQ(writer.open(path, FileAccess::ReadWrite, FileSharing::DenyNone), 0);
    platform::posixCalls().open = openReadOnlyFiles;
    EXPECT_EQ(limited.open(path, FileAccess::ReadOnly, FileSharing::DenyWrite), 32);
    EXPECT_EQ(limited.open(path, FileAccess::ReadOnly, FileSharing::DenyNone), 0);
    EXPECT_FALSE(limited.writable());
    limited.close();
    writer.close();
    // With no writer there, the read-only denier opens; other readers share.
    EXPECT_EQ(limited.open(path, FileAccess::ReadOnly, FileSharing::DenyWrite), 0);
    platform::posixCalls() = platform::realPosixCalls();
    EXPECT_EQ(reader.open(path, FileAccess::ReadOnly, FileSharing::DenyWrite), 0);
    limited.close();
    reader.close();

    // A write-only descriptor cannot hold the shared marker of its writing,
    // but sees a denier already there.
    ASSERT_EQ(reader.open(path, FileAccess::ReadOnly, FileSharing::DenyWrite), 0);
    platform::posixCalls().open = openWriteOnlyFiles;
    EXPECT_EQ(limited.open(path, FileAccess::WriteOnly, FileSharing::DenyNone), 32);
    reader.close();
    EXPECT_EQ(limited.open(path, FileAccess::WriteOnly, FileSharing::DenyNone), 0);
    platform::posixCalls() = platform::realPosixCalls();
    // Its own denial still holds, being an exclusive marker.
    limited.close();
    platform::posixCalls().open = openWriteOnlyFiles;
    ASSERT_EQ(limited.open(path, FileAccess::WriteOnly, FileSharing::DenyRead), 0);
    platform::posixCalls() = platform::realPosixCalls();
    EXPECT_EQ(reader.open(path, FileAccess::ReadOnly, FileSharing::DenyNone), 32);
    EXPECT_EQ(reader.open(path, FileAccess::WriteOnly, FileSharing::DenyNone), 0);
}
#endif

Mode modeFrom(const std::string& access, const std::string& sharing) {
    return {static_cast<FileAccess>(std::stoi(access)), static_cast<FileSharing>(std::stoi(sharing))};
}

// The model holds between processes too, whichever process opens first:
// the child holds its open while the parent tries, then the parent holds
// while a child tries.
TEST_F(OsFileTest, SharingHoldsAcrossProcesses) {
    if (childRole() == "hold" || childRole() == "try") {
        const std::vector<std::string> args = childArguments();
        const Mode mode = modeFrom(args[1], args[2]);
        OsFile f;
        const int32_t code = f.open(args[0], mode.access, mode.sharing);
        if (childRole() == "try") exitChild(code);
        char byte = 0;
        if (code != 0 || !tellParent('h') || !hearFromParent(byte)) exitChild(1);
        exitChild(0);
    }
    const std::string path = file("across");
    put(path, "data");
    const Mode pairs[][2] = {
        {{FileAccess::ReadOnly, FileSharing::DenyWrite}, {FileAccess::ReadWrite, FileSharing::DenyNone}},
        {{FileAccess::ReadOnly, FileSharing::DenyWrite}, {FileAccess::ReadOnly, FileSharing::DenyWrite}},
        {{FileAccess::ReadWrite, FileSharing::DenyAll}, {FileAccess::ReadOnly, FileSharing::DenyNone}},
        {{FileAccess::ReadWrite, FileSharing::DenyNone}, {FileAccess::ReadWrite, FileSharing::DenyNone}},
        {{FileAccess::WriteOnly, FileSharing::DenyRead}, {FileAccess::WriteOnly, FileSharing::DenyNone}},
        {{FileAccess::WriteOnly, FileSharing::DenyRead}, {FileAccess::ReadOnly, FileSharing::Compatible}},
    };
    auto args = [&](const Mode& m) {
        return std::vector<std::string>{path, std::to_string(int(m.access)), std::to_string(int(m.sharing))};
    };
    for (const auto& pair : pairs) {
        const int32_t expected = compatible(pair[0], pair[1]) ? 0 : 32;
        {
            ChildProcess holder("hold", args(pair[0]));
            char byte = 0;
            ASSERT_TRUE(holder.hear(byte));
            OsFile mine;
            EXPECT_EQ(mine.open(path, pair[1].access, pair[1].sharing), expected)
                << "child holds " << int(pair[0].access) << "/" << int(pair[0].sharing);
            holder.tell('x');
            EXPECT_EQ(holder.wait(), 0);
        }
        OsFile mine;
        ASSERT_EQ(mine.open(path, pair[0].access, pair[0].sharing), 0);
        ChildProcess trier("try", args(pair[1]));
        EXPECT_EQ(trier.wait(), expected) << "parent holds " << int(pair[0].access) << "/" << int(pair[0].sharing);
    }
}

TEST_F(OsFileTest, FileLockIsExclusiveAndGoesWithTheOpen) {
    const std::string path = file("locked");
    put(path, "");
    OsFile a, b;
    ASSERT_EQ(a.open(path, FileAccess::ReadWrite, FileSharing::DenyNone), 0);
    ASSERT_EQ(b.open(path, FileAccess::ReadWrite, FileSharing::DenyNone), 0);
    EXPECT_EQ(a.tryLock(), 0);
    EXPECT_EQ(a.tryLock(), 0);  // the holder may ask again
    EXPECT_EQ(b.tryLock(), 32);
    EXPECT_EQ(a.unlock(), 0);
    EXPECT_EQ(b.tryLock(), 0);
    EXPECT_EQ(a.tryLock(), 32);
    b.close();
    EXPECT_EQ(a.tryLock(), 0);
    // Data reads and writes are not blocked by the lock byte, however far they go.
    size_t written = 0, got = 0;
    char byte = 0;
    EXPECT_EQ(b.open(path, FileAccess::ReadWrite, FileSharing::DenyNone), 0);
    EXPECT_EQ(b.writeAt(1 << 20, "z", 1, written), 0);
    EXPECT_EQ(b.readAt(1 << 20, &byte, 1, got), 0);
    EXPECT_EQ(got, 1u);
    // Read-only and write-only opens take the lock as well.
    for (FileAccess access : {FileAccess::ReadOnly, FileAccess::WriteOnly}) {
        OsFile limited;
        ASSERT_EQ(limited.open(path, access, FileSharing::DenyNone), 0);
        EXPECT_EQ(limited.tryLock(), 32);
        a.unlock();
        EXPECT_EQ(limited.tryLock(), 0);
        EXPECT_EQ(a.tryLock(), 32);
        limited.close();
        EXPECT_EQ(a.tryLock(), 0);
    }
}

// The lock holds against another process, and goes when that process ends
// without unlocking.
TEST_F(OsFileTest, FileLockHoldsAcrossProcesses) {
    if (childRole() == "lock") {
        OsFile f;
        char byte = 0;
        if (f.open(childArguments()[0], FileAccess::ReadWrite, FileSharing::DenyNone) != 0 || f.tryLock() != 0)
            exitChild(1);
        if (!tellParent('l') || !hearFromParent(byte)) exitChild(2);
        exitChild(0);  // leaves without unlocking or closing
    }
    const std::string path = file("locked");
    put(path, "x");
    OsFile mine;
    ASSERT_EQ(mine.open(path, FileAccess::ReadWrite, FileSharing::DenyNone), 0);
    ChildProcess child("lock", {path});
    char byte = 0;
    ASSERT_TRUE(child.hear(byte));
    EXPECT_EQ(mine.tryLock(), 32);
    child.tell('x');
    EXPECT_EQ(child.wait(), 0);
    EXPECT_EQ(mine.tryLock(), 0);
}

TEST_F(OsFileTest, MissingNamesAndWrongKinds) {
    OsFile f;
    EXPECT_EQ(f.open(file("none"), FileAccess::ReadOnly, FileSharing::DenyNone), 2);
    EXPECT_EQ(f.open(file("no/dir/x"), FileAccess::ReadOnly, FileSharing::DenyNone), 3);
    EXPECT_EQ(f.open("", FileAccess::ReadOnly, FileSharing::DenyNone), 45);
    EXPECT_EQ(f.open(dir_->path(), FileAccess::ReadOnly, FileSharing::DenyNone), 5);
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(OsFile::remove(file("none")), 2);
    EXPECT_EQ(OsFile::remove(file("no/dir/x")), 3);
    EXPECT_EQ(OsFile::rename(file("none"), file("other")), 2);
    size_t got = 0;
    char byte;
    EXPECT_EQ(f.readAt(0, &byte, 1, got), 37);

    const std::string path = file("readonly");
    put(path, "abc");
    ASSERT_EQ(f.open(path, FileAccess::ReadOnly, FileSharing::DenyNone), 0);
    size_t written = 0;
    EXPECT_EQ(f.writeAt(0, "x", 1, written), 5);
    EXPECT_EQ(f.truncate(0), 5);
    EXPECT_EQ(get(path), "abc");
    EXPECT_TRUE(f.isRegular());
    EXPECT_EQ(f.sizeAtOpen(), 3u);

    // Created when asked, and then found as it is.
    OsFile made;
    ASSERT_EQ(made.open(file("made"), FileAccess::ReadWrite, FileSharing::DenyAll, true), 0);
    EXPECT_EQ(made.sizeAtOpen(), 0u);
    EXPECT_EQ(made.writeAt(0, "kept", 4, written), 0);
    made.close();
    ASSERT_EQ(made.open(file("made"), FileAccess::ReadWrite, FileSharing::DenyAll, true), 0);
    EXPECT_EQ(made.sizeAtOpen(), 4u);
}

TEST_F(OsFileTest, WritesReadsAndTruncationsAgreeWithAModel) {
    const std::string path = file("model");
    put(path, "");
    OsFile f;
    ASSERT_EQ(f.open(path, FileAccess::ReadWrite, FileSharing::DenyAll), 0);
    std::string model;
    std::mt19937 random(5);
    for (int step = 0; step < 300; ++step) {
        const uint64_t at = random() % (model.size() + 20);
        switch (random() % 3) {
        case 0: {
            std::string bytes(random() % 50, static_cast<char>('a' + step % 26));
            size_t written = 0;
            ASSERT_EQ(f.writeAt(at, bytes.data(), bytes.size(), written), 0);
            EXPECT_EQ(written, bytes.size());
            if (!bytes.empty()) {
                if (model.size() < at + bytes.size()) model.resize(at + bytes.size(), '\0');
                model.replace(at, bytes.size(), bytes);
            }
            break;
        }
        case 1: {
            std::string bytes(random() % 60, '?');
            size_t got = 0;
            ASSERT_EQ(f.readAt(at, bytes.data(), bytes.size(), got), 0);
            const std::string expected = at < model.size() ? model.substr(at, bytes.size()) : "";
            EXPECT_EQ(bytes.substr(0, got), expected) << "step " << step;
            break;
        }
        default:
            ASSERT_EQ(f.truncate(at), 0);
            model.resize(at, '\0');
            break;
        }
        uint64_t size = 0;
        ASSERT_EQ(f.size(size), 0);
        ASSERT_EQ(size, model.size()) << "step " << step;
    }
    f.close();
    EXPECT_EQ(get(path), model);
}

#ifdef _WIN32  // each system's own seam makes transfers short and the disk full
// ReadFile and WriteFile that move one byte at a time: readAt and writeAt
// must still move everything.
BOOL WINAPI dribbleRead(HANDLE file, LPVOID buffer, DWORD count, LPDWORD got, LPOVERLAPPED at) {
    return platform::realWin32Calls().readFile(file, buffer, count ? 1 : 0, got, at);
}
BOOL WINAPI dribbleWrite(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD put, LPOVERLAPPED at) {
    return platform::realWin32Calls().writeFile(file, buffer, count ? 1 : 0, put, at);
}
void dribbleTransfers() {
    platform::win32Calls().readFile = dribbleRead;
    platform::win32Calls().writeFile = dribbleWrite;
}
BOOL WINAPI fullDiskWrite(HANDLE, LPCVOID, DWORD, LPDWORD put, LPOVERLAPPED) {
    *put = 0;
    ::SetLastError(ERROR_DISK_FULL);
    return FALSE;
}
void fillTheDisk() { platform::win32Calls().writeFile = fullDiskWrite; }
#else
// pread and pwrite that move one byte at a time and are interrupted every
// other call: readAt and writeAt must still move everything.
int gCall = 0;
ssize_t dribbleRead(int fd, void* buffer, size_t count, off_t offset) {
    if (++gCall % 2 == 0) {
        errno = EINTR;
        return -1;
    }
    return platform::realPosixCalls().pread(fd, buffer, count ? 1 : 0, offset);
}
ssize_t dribbleWrite(int fd, const void* buffer, size_t count, off_t offset) {
    if (++gCall % 2 == 0) {
        errno = EINTR;
        return -1;
    }
    return platform::realPosixCalls().pwrite(fd, buffer, count ? 1 : 0, offset);
}
void dribbleTransfers() {
    platform::posixCalls().pread = dribbleRead;
    platform::posixCalls().pwrite = dribbleWrite;
}
ssize_t fullDiskWrite(int, const void*, size_t, off_t) {
    errno = ENOSPC;
    return -1;
}
void fillTheDisk() { platform::posixCalls().pwrite = fullDiskWrite; }
#endif

TEST_F(OsFileTest, ShortAndInterruptedTransfersComplete) {
    const std::string path = file("dribble");
    put(path, "0123456789");
    OsFile f;
    ASSERT_EQ(f.open(path, FileAccess::ReadWrite, FileSharing::DenyAll), 0);
    dribbleTransfers();
    char buffer[16] = {};
    size_t got = 0;
    EXPECT_EQ(f.readAt(3, buffer, 5, got), 0);
    EXPECT_EQ(std::string(buffer, got), "34567");
    EXPECT_EQ(f.readAt(8, buffer, 16, got), 0);  // the end stops it
    EXPECT_EQ(std::string(buffer, got), "89");
    EXPECT_EQ(f.readSomeAt(0, buffer, 16, got), 0);  // one call: may fall short
    EXPECT_EQ(std::string(buffer, got), "0");
    size_t written = 0;
    EXPECT_EQ(f.writeAt(10, "abcdef", 6, written), 0);
    EXPECT_EQ(written, 6u);
    restoreCalls();
    uint64_t size = 0;
    EXPECT_EQ(f.size(size), 0);
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(f.readSomeAt(16, buffer, 16, got), 0);
    EXPECT_EQ(got, 0u);
    f.close();
    EXPECT_EQ(get(path), "0123456789abcdef");
}

TEST_F(OsFileTest, CopyAndRenameNeverLoseTheTarget) {
    const std::string from = file("from"), to = file("to");
    put(from, std::string(200000, 'x'));
    put(to, "old target");
    fillTheDisk();
    EXPECT_EQ(OsFile::copy(from, to), 339);
    restoreCalls();
    EXPECT_EQ(get(to), "old target");
    EXPECT_EQ(dir_->listing(), "from\nto\n");  // no temporary left
    EXPECT_EQ(OsFile::copy(from, to), 0);
    EXPECT_EQ(get(to), get(from));
    EXPECT_EQ(OsFile::copy(file("none"), to), 2);
    EXPECT_EQ(OsFile::copy(from, file("no/dir/x")), 3);

    EXPECT_EQ(OsFile::rename(from, to), 380);
    EXPECT_EQ(get(to), get(from));
    EXPECT_EQ(OsFile::rename(from, file("moved")), 0);
    EXPECT_EQ(get(file("moved")).size(), 200000u);
    EXPECT_EQ(OsFile::rename(from, file("again")), 2);
    EXPECT_EQ(OsFile::remove(file("moved")), 0);
    EXPECT_EQ(dir_->listing(), "to\n");
}

// The hook makes each kind of call fail as a device error: 329 where the
// call writes, 330 elsewhere; a failing write leaves its first half.
OsCall gFailing = OsCall::Open;
bool failTheChosenCall(OsCall call) { return call == gFailing; }

TEST_F(OsFileTest, TheFaultHookFailsEachKindOfCall) {
    const std::string path = file("faults");
    struct Case {
        OsCall call;
        int32_t code;
        int32_t (*run)(OsFile& f, const std::string& path);
    };
    const Case cases[] = {
        {OsCall::Open, 330,
         [](OsFile& f, const std::string& path) { return f.open(path, FileAccess::ReadOnly, FileSharing::DenyNone); }},
        {OsCall::Read, 330,
         [](OsFile& f, const std::string&) {
             char bytes[4];
             size_t got = 0;
             return f.readAt(0, bytes, 4, got);
         }},
        {OsCall::Write, 329,
         [](OsFile& f, const std::string&) {
             size_t written = 0;
             return f.writeAt(0, "ABCDEFGH", 8, written);
         }},
        {OsCall::Truncate, 329, [](OsFile& f, const std::string&) { return f.truncate(2); }},
        {OsCall::Size,
         330,
         [](OsFile& f, const std::string&) {
             uint64_t size = 0;
             return f.size(size);
         }},
        {OsCall::Lock, 330, [](OsFile& f, const std::string&) { return f.tryLock(); }},
        {OsCall::Close, 330, [](OsFile& f, const std::string&) { return f.close(); }},
        // Name operations work on closed files.
        {OsCall::Name, 330,
         [](OsFile& f, const std::string& path) {
             f.close();
             return OsFile::remove(path);
         }},
        {OsCall::Name, 330,
         [](OsFile& f, const std::string& path) {
             f.close();
             return OsFile::rename(path, path + ".new");
         }},
        {OsCall::Name, 330,
         [](OsFile& f, const std::string& path) {
             f.close();
             return OsFile::copy(path, path + ".new");
         }},
    };
    for (const Case& c : cases) {
        put(path, "0123456789");
        OsFile f;
        ASSERT_EQ(f.open(path, FileAccess::ReadWrite, FileSharing::DenyNone), 0);
        gFailing = c.call;
        platform::setOsFaultHook(failTheChosenCall);
        EXPECT_EQ(c.run(f, path), c.code) << int(c.call);
        platform::setOsFaultHook(nullptr);
        f.close();
        const std::string after = get(path);
        EXPECT_EQ(after, c.call == OsCall::Write ? "ABCD456789" : "0123456789") << int(c.call);
        EXPECT_EQ(dir_->listing(), "faults\n") << int(c.call);
        // Whatever failed, the file can be had exclusively again.
        OsFile again;
        EXPECT_EQ(again.open(path, FileAccess::ReadWrite, FileSharing::DenyAll), 0) << int(c.call);
    }
}

// Names with blanks and letters outside ASCII, and names past 260
// characters, work for every operation.
TEST_F(OsFileTest, NamesOutsideAsciiAndPast260Characters) {
    const std::string folderName = "Ünïcödé folder 名前 ✓";
    std::filesystem::create_directory(std::filesystem::path(dir_->path()) /
                                      std::filesystem::path(std::u8string(folderName.begin(), folderName.end())));
    const std::string folder = file(folderName);
    const std::string longName = std::string(120, 'l') + " ñ " + std::string(120, 'm') + ".txt";
    for (const std::string& path : {folder + "/ƒile ω.txt", file(longName), folder + "/" + longName}) {
        ASSERT_GT(path.size(), 20u);
        OsFile f;
        ASSERT_EQ(f.open(path, FileAccess::ReadWrite, FileSharing::DenyWrite, true), 0) << path;
        size_t written = 0;
        EXPECT_EQ(f.writeAt(0, "line\r\n", 6, written), 0);
        EXPECT_EQ(f.tryLock(), 0);
        OsFile other;
        EXPECT_EQ(other.open(path, FileAccess::ReadWrite, FileSharing::DenyNone), 32);
        f.close();
        EXPECT_EQ(getThroughOsFile(path), "line\r\n");
        EXPECT_EQ(platform::resolveFileName(path), platform::resolveFileName(platform::resolveFileName(path)));
        EXPECT_EQ(OsFile::copy(path, path + ".copy"), 0);
        EXPECT_EQ(getThroughOsFile(path + ".copy"), "line\r\n");
        EXPECT_EQ(OsFile::rename(path + ".copy", path), 380);
        EXPECT_EQ(OsFile::remove(path), 0);
        EXPECT_EQ(OsFile::rename(path + ".copy", path), 0);
        EXPECT_EQ(getThroughOsFile(path), "line\r\n");
        EXPECT_EQ(OsFile::remove(path), 0);
        EXPECT_EQ(f.open(path, FileAccess::ReadOnly, FileSharing::DenyNone), 2);
    }
    EXPECT_GT(file(longName).size(), 260u);
}

// On every system a resolved name is absolute, resolves to itself, and
// names the same file as the name it came from.
TEST_F(OsFileTest, ResolvedNamesAreFixedPointsAndNameTheSameFile) {
    const char* const parts[] = {"a", "b.txt", ".", "..", "", "ä ö", ".y"};
    std::filesystem::create_directories(std::filesystem::path(dir_->path()) / "a" / "a");
    const std::string base = dir_->path() + "/";
    put(base + "a/b.txt", "here");
    std::mt19937 random(9);
    for (int round = 0; round < 2000; ++round) {
        std::string name;
        const int count = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < count; ++i) {
            if (i > 0) name += '/';
            name += parts[random() % std::size(parts)];
        }
        if (name.empty()) continue;  // no name resolves to nothing
        const std::string resolved = platform::resolveFileName(name);
        ASSERT_FALSE(resolved.empty()) << name;
#ifdef _WIN32  // a drive and its root, or a share ("//x/y" names one)
        const bool absolute = (resolved.size() >= 3 && resolved[1] == ':' && resolved[2] == '\\') ||
                              resolved.rfind("\\\\", 0) == 0;
#else
        const bool absolute = resolved.front() == '/';
#endif
        EXPECT_TRUE(absolute) << resolved;
        EXPECT_EQ(platform::resolveFileName(resolved), resolved) << name;
    }
    const std::string inside = platform::resolveFileName(base + "a/./a/../b.txt");
    EXPECT_EQ(getThroughOsFile(inside), "here");
}

#ifdef _WIN32  // Windows only: the sharing is the system's own, names follow its rules, its error numbers
// The sharing modes are the system's own: other programs' opens meet them,
// and theirs refuse ours.
TEST_F(OsFileTest, SharingModesAreTheSystemsOwn) {
    const std::string path = file("native");
    put(path, "data");
    const std::wstring wide = std::filesystem::path(path).wstring();
    OsFile mine;
    ASSERT_EQ(mine.open(path, FileAccess::ReadOnly, FileSharing::DenyWrite), 0);
    HANDLE theirs = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(theirs, INVALID_HANDLE_VALUE);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    theirs = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(theirs, INVALID_HANDLE_VALUE);
    ::CloseHandle(theirs);
    mine.close();

    theirs = ::CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(theirs, INVALID_HANDLE_VALUE);
    EXPECT_EQ(mine.open(path, FileAccess::ReadOnly, FileSharing::DenyNone), 32);
    ::CloseHandle(theirs);
    EXPECT_EQ(mine.open(path, FileAccess::ReadOnly, FileSharing::DenyNone), 0);
}

TEST_F(OsFileTest, ResolvedNamesAreAbsoluteAndNormal) {
    EXPECT_EQ(platform::resolveFileName(""), "");
    const std::string cwd = std::filesystem::current_path().string();
    const std::string drive = cwd.substr(0, 2);
    EXPECT_EQ(platform::resolveFileName("a/../b.txt"), cwd + "\\b.txt");
    EXPECT_EQ(platform::resolveFileName("a\\.\\b.txt"), cwd + "\\a\\b.txt");
    EXPECT_EQ(platform::resolveFileName("C:/x/./y//z"), "C:\\x\\y\\z");
    EXPECT_EQ(platform::resolveFileName("C:\\x\\..\\..\\y"), "C:\\y");
    EXPECT_EQ(platform::resolveFileName("/x/y"), drive + "\\x\\y");
    EXPECT_EQ(platform::resolveFileName("\\\\server\\share\\a\\..\\b"), "\\\\server\\share\\b");
    EXPECT_EQ(platform::resolveFileName("C:\\x\\name. "), "C:\\x\\name");  // the system's own rule
}

// Error numbers of the system and the runtime's codes they become.
TEST_F(OsFileTest, SystemErrorsBecomeRuntimeCodes) {
    const std::pair<int, int32_t> table[] = {
        {ERROR_SUCCESS, 0},           {ERROR_FILE_NOT_FOUND, 2},     {ERROR_PATH_NOT_FOUND, 3},
        {ERROR_TOO_MANY_OPEN_FILES, 4}, {ERROR_ACCESS_DENIED, 5},    {ERROR_NOT_ENOUGH_MEMORY, 8},
        {ERROR_SHARING_VIOLATION, 32}, {ERROR_LOCK_VIOLATION, 32},  {ERROR_INVALID_NAME, 45},
        {ERROR_FILENAME_EXCED_RANGE, 45}, {ERROR_WRITE_PROTECT, 319}, {ERROR_WRITE_FAULT, 329},
        {ERROR_READ_FAULT, 330},      {ERROR_DISK_FULL, 339},        {ERROR_HANDLE_DISK_FULL, 339},
        {ERROR_NOT_SUPPORTED, 350},   {ERROR_BAD_NETPATH, 353},      {ERROR_FILE_EXISTS, 380},
        {ERROR_ALREADY_EXISTS, 380},  {ERROR_INVALID_PARAMETER, 387}, {ERROR_INVALID_HANDLE, 306},
        {14, 8},                      {73, 90},                      {89, 90},
        {ERROR_DIR_NOT_EMPTY, 90},    {ERROR_DIRECTORY, 3},
    };
    for (const auto& [error, code] : table) {
        EXPECT_EQ(platform::osErrorCode(error, platform::OsActivity::Other), code) << error;
    }
}
#else  // POSIX only: names in the library's lexical normal form, errno values
TEST_F(OsFileTest, ResolvedNamesAreAbsoluteAndNormal) {
    EXPECT_EQ(platform::resolveFileName(""), "");
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(platform::resolveFileName("a/../b.txt"), cwd + "/b.txt");
    EXPECT_EQ(platform::resolveFileName("/x/./y//z"), "/x/y/z");
}

// The hand-joined names agree with the library's absolute, normal form for
// every mix of plain, ".", ".." and empty components.
TEST_F(OsFileTest, ResolvedNamesMatchTheLibrarysNormalForm) {
    const char* const parts[] = {"a", "b.txt", ".", "..", "", "..x", ".y"};
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string name = random() % 3 == 0 ? "/" : "";
        const int count = 1 + static_cast<int>(random() % 5);
        for (int i = 0; i < count; ++i) {
            if (i > 0) name += '/';
            name += parts[random() % std::size(parts)];
        }
        if (name.empty()) continue;
        const std::string expected = std::filesystem::absolute(name).lexically_normal().string();
        EXPECT_EQ(platform::resolveFileName(name), expected) << name;
    }
}

TEST_F(OsFileTest, SystemErrorsBecomeRuntimeCodes) {
    using platform::OsActivity;
    const std::tuple<int, OsActivity, int32_t> table[] = {
        {0, OsActivity::Other, 0},           {ENOENT, OsActivity::Open, 2},     {ENOTDIR, OsActivity::Open, 3},
        {ELOOP, OsActivity::Open, 3},        {EMFILE, OsActivity::Open, 4},     {ENFILE, OsActivity::Open, 4},
        {EACCES, OsActivity::Open, 5},       {EPERM, OsActivity::Other, 5},     {EISDIR, OsActivity::Open, 5},
        {ENOMEM, OsActivity::Read, 8},       {EAGAIN, OsActivity::Other, 32},   {EBUSY, OsActivity::Other, 32},
        {ENAMETOOLONG, OsActivity::Open, 45}, {EROFS, OsActivity::Write, 319},  {EIO, OsActivity::Write, 329},
        {EIO, OsActivity::Read, 330},        {EIO, OsActivity::Open, 330},      {ENOSPC, OsActivity::Write, 339},
        {EDQUOT, OsActivity::Write, 339},    {EEXIST, OsActivity::Other, 380},  {EINVAL, OsActivity::Other, 387},
        {EXDEV, OsActivity::Other, 90},
    };
    for (const auto& [error, activity, code] : table) {
        EXPECT_EQ(platform::osErrorCode(error, activity), code) << error;
    }
}
#endif

}  // namespace
}  // namespace varnok::testing

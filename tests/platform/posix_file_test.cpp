// The POSIX file layer: sharing modes against a model of which opens may
// coexist, the file lock, short and interrupted transfers, error codes of
// missing names, and copies that never leave a half-written target.
#include "platform/posix_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

namespace varnok::testing {
namespace {

using platform::FileAccess;
using platform::FileSharing;
using platform::PosixFile;

class PosixFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "varnok-posix-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override {
        platform::posixCalls() = platform::realPosixCalls();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }
    static void put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    static std::string get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    std::filesystem::path dir_;
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

TEST_F(PosixFileTest, EveryPairOfModesFollowsTheSharingModel) {
    const std::string path = file("shared");
    put(path, "data");
    std::vector<Mode> modes;
    for (FileAccess access : {FileAccess::ReadOnly, FileAccess::WriteOnly, FileAccess::ReadWrite}) {
        for (FileSharing sharing : {FileSharing::Compatible, FileSharing::DenyAll, FileSharing::DenyWrite,
                                    FileSharing::DenyRead, FileSharing::DenyNone}) {
            modes.push_back({access, sharing});
        }
    }
    for (const Mode& first : modes) {
        for (const Mode& second : modes) {
            PosixFile a, b;
            ASSERT_EQ(a.open(path, first.access, first.sharing), 0);
            const int32_t expected = compatible(first, second) ? 0 : 32;
            EXPECT_EQ(b.open(path, second.access, second.sharing), expected)
                << int(first.access) << "/" << int(first.sharing) << " then " << int(second.access) << "/"
                << int(second.sharing);
            // A third open after both are gone is always possible.
            a.close();
            b.close();
            PosixFile c;
            EXPECT_EQ(c.open(path, second.access, second.sharing), 0);
        }
    }
}

// Random runs of opens and closes over one file: each open succeeds exactly
// when it coexists with every open still in place.
TEST_F(PosixFileTest, OpensAndClosesInAnyOrderFollowTheSharingModel) {
    const std::string path = file("crowd");
    put(path, "data");
    const FileAccess accesses[] = {FileAccess::ReadOnly, FileAccess::WriteOnly, FileAccess::ReadWrite};
    const FileSharing sharings[] = {FileSharing::DenyAll, FileSharing::DenyWrite, FileSharing::DenyRead,
                                    FileSharing::DenyNone};
    std::mt19937 random(11);
    struct Held {
        Mode mode;
        std::unique_ptr<PosixFile> file;
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
        auto opened = std::make_unique<PosixFile>();
        ASSERT_EQ(opened->open(path, mode.access, mode.sharing), fits ? 0 : 32)
            << "step " << step << " with " << held.size() << " open";
        if (fits) held.push_back({mode, std::move(opened)});
    }
}

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

TEST_F(PosixFileTest, DescriptorsThatCannotLockStillSeeConflicts) {
    const std::string path = file("limited");
    put(path, "data");
    PosixFile writer, reader, limited;
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

// The markers hold between processes too.
TEST_F(PosixFileTest, SharingHoldsAcrossProcesses) {
    const std::string path = file("across");
    put(path, "data");
    PosixFile reader;
    ASSERT_EQ(reader.open(path, FileAccess::ReadOnly, FileSharing::DenyWrite), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        PosixFile other;
        const bool refusedWriter = other.open(path, FileAccess::ReadWrite, FileSharing::DenyNone) == 32;
        const bool sharedReader = other.open(path, FileAccess::ReadOnly, FileSharing::DenyWrite) == 0;
        ::_exit(refusedWriter && sharedReader ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(PosixFileTest, FileLockIsExclusiveAndGoesWithTheOpen) {
    const std::string path = file("locked");
    put(path, "");
    PosixFile a, b;
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
    // Data writes are not blocked by the lock bytes, however far they go.
    size_t written = 0;
    EXPECT_EQ(b.open(path, FileAccess::ReadWrite, FileSharing::DenyNone), 0);
    EXPECT_EQ(b.writeAt(1 << 20, "z", 1, written), 0);
}

TEST_F(PosixFileTest, MissingNamesAndWrongKinds) {
    PosixFile f;
    EXPECT_EQ(f.open(file("none"), FileAccess::ReadOnly, FileSharing::DenyNone), 2);
    EXPECT_EQ(f.open(file("no/dir/x"), FileAccess::ReadOnly, FileSharing::DenyNone), 3);
    EXPECT_EQ(f.open("", FileAccess::ReadOnly, FileSharing::DenyNone), 45);
    EXPECT_EQ(f.open(dir_.string(), FileAccess::ReadOnly, FileSharing::DenyNone), 5);
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(PosixFile::remove(file("none")), 2);
    EXPECT_EQ(PosixFile::remove(file("no/dir/x")), 3);
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
}

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

TEST_F(PosixFileTest, ShortAndInterruptedTransfersComplete) {
    const std::string path = file("dribble");
    put(path, "0123456789");
    PosixFile f;
    ASSERT_EQ(f.open(path, FileAccess::ReadWrite, FileSharing::DenyAll), 0);
    platform::posixCalls().pread = dribbleRead;
    platform::posixCalls().pwrite = dribbleWrite;
    char buffer[16] = {};
    size_t got = 0;
    EXPECT_EQ(f.readAt(3, buffer, 5, got), 0);
    EXPECT_EQ(std::string(buffer, got), "34567");
    EXPECT_EQ(f.readAt(8, buffer, 16, got), 0);  // the end stops it
    EXPECT_EQ(std::string(buffer, got), "89");
    size_t written = 0;
    EXPECT_EQ(f.writeAt(10, "abcdef", 6, written), 0);
    EXPECT_EQ(written, 6u);
    platform::posixCalls() = platform::realPosixCalls();
    uint64_t size = 0;
    EXPECT_EQ(f.size(size), 0);
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(get(path), "0123456789abcdef");
}

ssize_t failingWrite(int, const void*, size_t, off_t) {
    errno = ENOSPC;
    return -1;
}

TEST_F(PosixFileTest, CopyAndRenameNeverLoseTheTarget) {
    const std::string from = file("from"), to = file("to");
    put(from, std::string(200000, 'x'));
    put(to, "old target");
    platform::posixCalls().pwrite = failingWrite;
    EXPECT_EQ(PosixFile::copy(from, to), 339);
    platform::posixCalls() = platform::realPosixCalls();
    EXPECT_EQ(get(to), "old target");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2);  // no temporary left
    EXPECT_EQ(PosixFile::copy(from, to), 0);
    EXPECT_EQ(get(to), get(from));
    EXPECT_EQ(PosixFile::copy(file("none"), to), 2);

    EXPECT_EQ(PosixFile::rename(from, to), 380);
    EXPECT_EQ(PosixFile::rename(from, file("moved")), 0);
    EXPECT_EQ(get(file("moved")).size(), 200000u);
    EXPECT_EQ(PosixFile::rename(from, file("again")), 2);
}

TEST_F(PosixFileTest, ResolvedNamesAreAbsoluteAndNormal) {
    EXPECT_EQ(platform::resolveFileName(""), "");
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(platform::resolveFileName("a/../b.txt"), cwd + "/b.txt");
    EXPECT_EQ(platform::resolveFileName("/x/./y//z"), "/x/y/z");
}

// The hand-joined names agree with the library's absolute, normal form for
// every mix of plain, ".", ".." and empty components.
TEST_F(PosixFileTest, ResolvedNamesMatchTheLibrarysNormalForm) {
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

}  // namespace
}  // namespace varnok::testing

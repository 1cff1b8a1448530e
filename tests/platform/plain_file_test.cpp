// Plain files: safe saves that leave the old file or the new one and never
// a mix (through injected faults, readers holding the target, and processes
// killed part way), reads at offsets, identities and stamps, and names with
// letters outside ASCII or past 260 characters.
#include "platform/plain_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#include "platform/directory.h"
#include "platform/temporary_files.h"
#include "tests/app/temp_folder.h"
#include "tests/platform/child_process.h"

namespace varnok::platform {
namespace {

using testing::ChildProcess;
using testing::readFile;
using testing::TempFolder;

// The whole file through an InputFile (the streams of the C++ library cannot
// take every name on Windows).
std::string readThroughInputFile(const std::string& path) {
    InputFile in;
    if (!in.open(path)) return "(cannot open)";
    std::string bytes;
    char chunk[4096];
    for (int64_t got; (got = in.readAt(bytes.size(), chunk, sizeof chunk)) > 0;) bytes.append(chunk, size_t(got));
    return bytes;
}

bool save(const std::string& target, const std::string& bytes) {
    SafeOutputFile out;
    return out.create(target) && out.write(bytes.data(), bytes.size()) && out.commit();
}

TEST(SafeOutputFile, CommitReplacesTheTargetOnlyThen) {
    TempFolder dir;
    std::string target = dir.write("out.txa", "old");
    SafeOutputFile out;
    ASSERT_TRUE(out.create(target));
    ASSERT_TRUE(out.write("new ", 4));
    ASSERT_TRUE(out.write("content", 7));
    EXPECT_EQ(readFile(target), "old");  // untouched until commit
    EXPECT_EQ(folderOfPath(out.temporaryName()), folderOfPath(target));
    ASSERT_TRUE(out.commit());
    EXPECT_EQ(readFile(target), "new content");
    EXPECT_EQ(dir.listing(), "out.txa\n");
    // A target that did not exist yet is made.
    ASSERT_TRUE(save(dir.file("fresh.txa"), "made"));
    EXPECT_EQ(readFile(dir.file("fresh.txa")), "made");
    EXPECT_EQ(dir.listing(), "fresh.txa\nout.txa\n");
}

#ifndef _WIN32  // POSIX only: permission bits, owners, and links (which need a privilege on Windows)
TEST(SafeOutputFile, AReplacedFileKeepsItsPermissionBits) {
    TempFolder dir;
    std::string target = dir.write("out.txa", "old");
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(save(target, "new content"));
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(SafeOutputFile, AReplacedFileKeepsItsOwnerWhereAllowed) {
    if (!testing::runningAsRoot()) GTEST_SKIP() << "only a privileged user can give files away";
    TempFolder dir;
    std::string target = dir.write("out.txa", "old");
    ASSERT_EQ(::chown(target.c_str(), 1234, 5678), 0);
    ASSERT_TRUE(save(target, "new"));
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
}

TEST(SafeOutputFile, ALinkIsFollowedToTheFileItNames) {
    TempFolder dir;
    std::string real = dir.write("real.txa", "old");
    std::filesystem::create_symlink(real, dir.file("link.txa"));
    ASSERT_TRUE(save(dir.file("link.txa"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txa")));
    EXPECT_EQ(readFile(real), "new");
}
#endif

#ifdef _WIN32  // Windows only: file attributes
// A replaced file keeps its attributes. (Its creation time is kept too where
// the file system can set one; Wine's cannot.)
TEST(SafeOutputFile, AReplacedFileKeepsItsAttributes) {
    TempFolder dir;
    const std::string target = dir.write("kept.txa", "old");
    const std::wstring wide = std::filesystem::path(target).wstring();
    ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(save(target, "new content"));
    EXPECT_EQ(readFile(target), "new content");
    EXPECT_NE(::GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    // A file that was not hidden does not become so.
    ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(save(target, "newer"));
    EXPECT_EQ(::GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(dir.listing(), "kept.txa\n");
}
#endif

TEST(SafeOutputFile, EveryInjectedFaultLeavesTheOldFileAndNoTemporaryFile) {
    for (FileOp op : {FileOp::Open, FileOp::Write, FileOp::Sync, FileOp::Rename}) {
        for (bool existing : {true, false}) {
            TempFolder dir;
            std::string target = existing ? dir.write("out.txa", "old bytes") : dir.file("out.txa");
            failFileOperation(op, 1);
            SafeOutputFile out;
            bool ok = out.create(target) && out.write("abc", 3) && out.write("def", 3) && out.commit();
            clearFileFaults();
            EXPECT_FALSE(ok) << static_cast<int>(op);
            EXPECT_NE(out.error(), 0);
            EXPECT_FALSE(systemErrorText(out.error()).empty());
            out.abandon();
            EXPECT_EQ(dir.listing(), existing ? "out.txa\n" : "") << static_cast<int>(op);
            if (existing) {
                EXPECT_EQ(readFile(target), "old bytes");
            }
        }
    }
}

TEST(SafeOutputFile, AnAbandonedFileLeavesNothingBehind) {
    TempFolder dir;
    {
        SafeOutputFile out;
        ASSERT_TRUE(out.create(dir.file("x.txa")));
        ASSERT_TRUE(out.write("partial", 7));
    }  // destroyed without commit
    EXPECT_EQ(dir.listing(), "");
}

TEST(SafeOutputFile, AFolderIsNeverReplaced) {
    TempFolder dir;
    std::filesystem::create_directory(dir.file("sub"));
    SafeOutputFile out;
    EXPECT_FALSE(out.create(dir.file("sub")));
    EXPECT_EQ(out.error(), EISDIR);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("sub")));
}

// A reader of the old file goes on reading the old bytes. On POSIX systems
// it never stops the save; on Windows the system may refuse to replace a
// file that is open (Wine does, and Windows before its POSIX rename
// semantics), and then the save fails as a whole and the old file stays.
// Once the reader is gone, the save goes through.
TEST(SafeOutputFile, ATargetOpenForReadingIsReplacedWholeOrNotAtAll) {
    TempFolder dir;
    const std::string target = dir.write("read.txa", "old bytes");
    InputFile reader;
    ASSERT_TRUE(reader.open(target));
    SafeOutputFile out;
    ASSERT_TRUE(out.create(target));
    ASSERT_TRUE(out.write("new bytes!", 10));
    const bool replaced = out.commit();
#ifndef _WIN32  // POSIX systems always replace a file that is open
    EXPECT_TRUE(replaced);
#endif
    if (!replaced) {
        EXPECT_EQ(out.error(), EACCES);
    }
    EXPECT_EQ(readThroughInputFile(target), replaced ? "new bytes!" : "old bytes");
    char bytes[16];
    EXPECT_EQ(reader.readAt(0, bytes, sizeof bytes), 9);
    EXPECT_EQ(std::string(bytes, 9), "old bytes");
    EXPECT_EQ(dir.listing(), "read.txa\n");
    reader.close();
    ASSERT_TRUE(save(target, "newest"));
    EXPECT_EQ(readThroughInputFile(target), "newest");
}

// Names with blanks and letters outside ASCII, and names past 260
// characters, load and save (the temporary file beside them included).
TEST(SafeOutputFile, NamesOutsideAsciiAndPast260Characters) {
    TempFolder dir;
    const std::string folderName = "Ärger mit Ümlauten — 日本語";
    std::filesystem::create_directory(std::filesystem::path(dir.path()) /
                                      std::filesystem::path(std::u8string(folderName.begin(), folderName.end())));
    const std::string longName = std::string(130, 'x') + " é " + std::string(110, 'y') + ".txa";
    for (const std::string& target :
         {dir.file(folderName) + "/Straße.txa", dir.file(longName), dir.file(folderName) + "/" + longName}) {
        ASSERT_TRUE(save(target, "first")) << target;
        ASSERT_TRUE(save(target, "second, longer")) << target;
        EXPECT_EQ(readThroughInputFile(target), "second, longer");
        EXPECT_TRUE(pathExists(target));
        EXPECT_FALSE(isDirectory(target));
        EXPECT_TRUE(fileIdentity(target).valid);
        InputFile in;
        ASSERT_TRUE(in.open(target));
        EXPECT_TRUE(in.identity() == fileIdentity(target));
    }
    EXPECT_TRUE(isDirectory(dir.file(folderName)));
    EXPECT_GT(dir.file(longName).size(), 260u);
}

// Each save runs in a child process that is killed at a random moment, in
// the middle of writing or renaming or between saves: whatever the moment,
// the target holds the old content or one complete new one, and the next
// save clears the dead process's temporary file away.
TEST(SafeOutputFile, ASaveKilledAtAnyMomentLeavesOldOrNewNeverAMix) {
    auto content = [](char letter) { return std::string(3 << 20, letter); };
    if (testing::childRole() == "saver") {
        const std::string target = testing::childArguments()[0];
        testing::tellParent('s');
        for (char letter = 'b';; letter = letter == 'z' ? 'b' : char(letter + 1)) {
            const std::string bytes = content(letter);
            SafeOutputFile out;
            if (!out.create(target)) testing::exitChild(1);
            // Written in pieces, so that a kill can fall between them.
            for (size_t at = 0; at < bytes.size(); at += 256 << 10) {
                if (!out.write(bytes.data() + at, std::min<size_t>(256 << 10, bytes.size() - at))) {
                    testing::exitChild(2);
                }
            }
            if (!out.commit()) testing::exitChild(3);
        }
    }
    TempFolder dir;
    const std::string target = dir.file("killed.txa");
    ASSERT_TRUE(save(target, content('a')));
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 12; ++round) {
        ChildProcess saver("saver", {target});
        char byte = 0;
        ASSERT_TRUE(saver.hear(byte));
        // The moment of the kill is drawn at random; what is checked holds
        // for every moment.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 150000));
        saver.kill();
        saver.wait();
        const std::string now = readFile(target);
        ASSERT_EQ(now.size(), content('a').size()) << "round " << round;
        EXPECT_EQ(now.find_first_not_of(now[0]), std::string::npos) << "a mix in round " << round;
    }
    ASSERT_TRUE(save(target, "last"));
    EXPECT_EQ(dir.listing(), "killed.txa\n");
}

TEST(InputFile, ReadsAtOffsetsAndReportsFailures) {
    TempFolder dir;
    std::string name = dir.write("in.txt", "0123456789");
    InputFile in;
    ASSERT_TRUE(in.open(name));
    char buf[4];
    EXPECT_EQ(in.readAt(6, buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_EQ(in.readAt(10, buf, 4), 0);
    EXPECT_EQ(in.readAt(1000, buf, 4), 0);
    EXPECT_TRUE(in.identity() == fileIdentity(name));
    failFileOperation(FileOp::Read, 2);
    EXPECT_EQ(in.readAt(0, buf, 1), 1);
    EXPECT_EQ(in.readAt(0, buf, 1), -1);
    EXPECT_EQ(in.error(), EIO);
    clearFileFaults();

    InputFile missing;
    EXPECT_FALSE(missing.open(dir.file("none")));
    EXPECT_EQ(missing.error(), ENOENT);
    EXPECT_FALSE(missing.open(dir.file("no/dir/x")));
    EXPECT_EQ(missing.error(), ENOENT);
    InputFile folder;
    EXPECT_FALSE(folder.open(dir.path()));
    EXPECT_EQ(folder.error(), EISDIR);
    EXPECT_EQ(folder.readAt(0, buf, 1), -1);
    EXPECT_EQ(folder.error(), EBADF);
}

// A duplicate reads the same file on its own, also on another thread and
// after the original is closed.
TEST(InputFile, ADuplicateReadsOnItsOwn) {
    TempFolder dir;
    std::string bytes(100000, '\0');
    for (size_t k = 0; k < bytes.size(); ++k) bytes[k] = char('a' + k % 26);
    const std::string name = dir.write("dup.txt", bytes);
    InputFile original, copy;
    ASSERT_TRUE(original.open(name));
    ASSERT_TRUE(copy.duplicate(original));
    EXPECT_TRUE(copy.identity() == original.identity());
    std::string second(bytes.size() / 2, '\0');
    std::thread reader([&] { copy.readAt(bytes.size() / 2, second.data(), second.size()); });
    std::string first(bytes.size() / 2, '\0');
    EXPECT_EQ(original.readAt(0, first.data(), first.size()), int64_t(first.size()));
    reader.join();
    EXPECT_EQ(first + second, bytes);
    original.close();
    char byte = 0;
    EXPECT_EQ(copy.readAt(25, &byte, 1), 1);
    EXPECT_EQ(byte, 'z');
    InputFile none, orphan;
    EXPECT_FALSE(orphan.duplicate(none));
    EXPECT_EQ(orphan.error(), EBADF);
}

// Identities tell files apart and follow a file, not its name; stamps change
// when the file is written.
TEST(InputFile, IdentitiesAndStamps) {
    TempFolder dir;
    const std::string a = dir.write("a.txt", "aaa"), b = dir.write("b.txt", "aaa");
    EXPECT_TRUE(fileIdentity(a) == fileIdentity(a));
    EXPECT_FALSE(fileIdentity(a) == fileIdentity(b));
    EXPECT_FALSE(fileIdentity(dir.file("none")).valid);
    EXPECT_FALSE(fileIdentity(dir.file("none")) == fileIdentity(dir.file("none")));
    InputFile in;
    ASSERT_TRUE(in.open(a));
    const FileIdentity before = in.identity();
    const FileStamp stamp = in.stamp();
    EXPECT_TRUE(stamp.valid);
    EXPECT_EQ(stamp.size, 3u);
    EXPECT_TRUE(in.stamp() == stamp);
    std::ofstream(a, std::ios::binary | std::ios::app) << "more";
    EXPECT_FALSE(in.stamp() == stamp);
    EXPECT_EQ(in.stamp().size, 7u);
    in.close();
    EXPECT_FALSE(in.stamp().valid);
    // A save puts another file under the name.
    ASSERT_TRUE(save(a, "new"));
    EXPECT_FALSE(fileIdentity(a) == before);
    EXPECT_TRUE(pathExists(a));
    EXPECT_FALSE(pathExists(dir.file("none")));
    EXPECT_TRUE(isDirectory(dir.path()));
    EXPECT_FALSE(isDirectory(a));
}

// A read-only file (no write permission; on Windows the attribute) is never replaced.
TEST(SafeOutputFile, AReadOnlyTargetIsRefused) {
    TempFolder dir;
    const std::string target = dir.write("main_.txa", "old");
    EXPECT_FALSE(isReadOnlyFile(target) || isReadOnlyFile(dir.file("missing.txa")) || isReadOnlyFile(dir.path()));
    std::filesystem::permissions(target, std::filesystem::perms::owner_read);
    SafeOutputFile out;
    EXPECT_TRUE(isReadOnlyFile(target));
    EXPECT_FALSE(out.create(target));
    EXPECT_TRUE(out.targetReadOnly() && out.error() == EACCES);
    EXPECT_EQ(readThroughInputFile(target) + dir.listing(), "oldmain_.txa\n");
    std::filesystem::permissions(target, std::filesystem::perms::owner_all);
    EXPECT_TRUE(save(target, "new"));
}

TEST(SafeOutputFile, ErrorsHaveTheSystemsText) {
    TempFolder dir;
    SafeOutputFile out;
    EXPECT_FALSE(out.create(dir.file("no/such/folder/x.txa")));
    EXPECT_EQ(out.error(), ENOENT);
    EXPECT_EQ(systemErrorText(ENOENT), std::strerror(ENOENT));
    EXPECT_FALSE(out.write("x", 1));
    EXPECT_EQ(out.error(), EBADF);
    EXPECT_FALSE(out.commit());
    EXPECT_EQ(out.writeAt(0, "x", 1), EBADF);
}

TEST(Directory, ListsOrdinaryVisibleFilesOnly) {
    TempFolder dir;
    dir.write("a.txa", "12345");
    dir.write("b.txa", "");
    dir.write(".hidden.txa", "x");
    std::filesystem::create_directory(dir.file("folder.txa"));
    std::vector<DirectoryEntry> list;
    ASSERT_EQ(listDirectory(dir.file("a.txa"), list), 1u);
    EXPECT_EQ(list[0].name, "a.txa");
    EXPECT_EQ(list[0].size, 5u);
    EXPECT_EQ(listDirectory(dir.file(".hidden.txa"), list), 0u);
    EXPECT_EQ(listDirectory(dir.file("folder.txa"), list), 0u);
    EXPECT_EQ(listDirectory(dir.file("missing.txa"), list), 0u);
    ASSERT_EQ(listDirectory(dir.file("*.txa"), list), 2u);
    EXPECT_EQ(list[0].name, "a.txa");
    EXPECT_EQ(list[1].name, "b.txa");
    EXPECT_TRUE(isHiddenName("x/.y"));
    EXPECT_FALSE(isHiddenName("./y"));
    EXPECT_FALSE(isHiddenName(".."));
}

}  // namespace
}  // namespace varnok::platform

// Temporary files: their names, their exclusive creation, and the clearing
// away of the leftovers of processes that died, on every system.
#include "platform/temporary_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/os_file.h"
#include "platform/plain_file.h"
#include "platform/profile.h"
#include "tests/app/temp_folder.h"
#include "tests/platform/child_process.h"

namespace varnok::platform {
namespace {

using testing::ChildProcess;
using testing::readFile;
using testing::TempFolder;

// The id of a process that has ended (and been waited for).
long deadProcess() {
    ChildProcess child("end");
    child.wait();
    return child.id();
}

// Writes through a handle createTemporaryBeside answered, and closes it.
bool writeAndClose(intptr_t handle, const std::string& bytes) {
#ifdef _WIN32
    DWORD put = 0;
    const bool ok = ::WriteFile(reinterpret_cast<HANDLE>(handle), bytes.data(), DWORD(bytes.size()), &put, nullptr) &&
                    put == bytes.size();
    return ::CloseHandle(reinterpret_cast<HANDLE>(handle)) && ok;
#else
    const bool ok = ::write(int(handle), bytes.data(), bytes.size()) == ssize_t(bytes.size());
    return ::close(int(handle)) == 0 && ok;
#endif
}

std::string nameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

TEST(TemporaryFiles, NamesAreRecognisedAndNothingElseIs) {
    // Letters of two bytes each after one of one byte: a cut at 200 bytes
    // would fall inside a letter.
    std::string letters = "/a/n";
    for (int k = 0; k < 150; ++k) letters += "\xC3\xA9";
    for (const std::string& name : {std::string("main_.txa"), std::string("/a/b/out.txa"), std::string("x"),
                                    std::string(".hidden"), std::string("a.varnok-1-2.tmp"), std::string(300, 'n'),
                                    letters}) {
        const std::string made = temporaryNameFor(name, 4242, 17);
        const std::string file = made.substr(made.find_last_of('/') + 1);
        EXPECT_EQ(temporaryFileProcess(file), 4242) << made;
        EXPECT_EQ(folderOfPath(made), folderOfPath(name)) << made;
        EXPECT_LE(file.size(), 255u) << "fits the file system's limit";
        EXPECT_NE(file.find("varnok"), std::string::npos) << "says whose it is";
        // Never a letter cut in two: no lone lead byte before the mark.
        const size_t mark = file.rfind(".varnok-");
        ASSERT_GT(mark, 0u);
        EXPECT_LT(static_cast<unsigned char>(file[mark - 1]), 0xC0) << made;
    }
    EXPECT_EQ(temporaryNameFor("/a/out.txa", 7, 1), "/a/.out.txa.varnok-7-1.tmp");
    EXPECT_EQ(temporaryNameFor("/out.txa", 7, 1), "/.out.txa.varnok-7-1.tmp");
    EXPECT_EQ(temporaryNameFor("out.txa", 7, 1), ".out.txa.varnok-7-1.tmp");
    for (const char* other : {"out.txa", ".out.txa.varnok-7-1.tmp~", "out.txa.varnok-7-1.tmp", ".varnok-7-1.tmp",
                              ".out.txa.varnok--1.tmp", ".out.txa.varnok-7-.tmp", ".out.txa.varnok-7.tmp",
                              ".out.txa.varnok-x-1.tmp", ".out.txa.varnok-0-1.tmp", ".out.txa.varnok-7-1x.tmp",
                              ".out.txa.varnok-99999999999-1.tmp", ".out.txa.7-1.tmp", ".out.txa.varnok-7-1.TMP"}) {
        EXPECT_EQ(temporaryFileProcess(other), 0) << other;
    }
}

TEST(TemporaryFiles, FoldersOfPaths) {
    const std::pair<const char*, const char*> table[] = {
        {"/a/b/c.txt", "/a/b"}, {"/c.txt", "/"}, {"c.txt", "."}, {"a/b/", "a/b"}, {"a/c.txt", "a"},
#ifdef _WIN32  // drive letters, shares and both separators
        {"C:\\a\\c.txt", "C:\\a"}, {"C:\\c.txt", "C:\\"}, {"C:c.txt", "C:"}, {"a\\b/c.txt", "a\\b"},
        {"\\\\server\\share\\c.txt", "\\\\server\\share"},
#else
        {"a\\b", "."},  // a backslash is part of a POSIX name
#endif
    };
    for (const auto& [path, folder] : table) EXPECT_EQ(folderOfPath(path), folder) << path;
#ifdef _WIN32  // drive letters
    EXPECT_EQ(temporaryNameFor("C:\\a\\out.txa", 7, 1), "C:\\a\\.out.txa.varnok-7-1.tmp");
    EXPECT_EQ(temporaryNameFor("C:out.txa", 7, 1), "C:.out.txa.varnok-7-1.tmp");
#endif
}

TEST(TemporaryFiles, ProcessesAreTold) {
    if (testing::childRole() == "wait") {
        char byte = 0;
        testing::hearFromParent(byte);
        testing::exitChild(0);
    }
    if (testing::childRole() == "end") testing::exitChild(0);
    EXPECT_FALSE(processEnded(currentProcessId()));
    ChildProcess running("wait");
    ASSERT_TRUE(running.started());
    EXPECT_FALSE(processEnded(running.id()));
    running.tell('x');
    running.wait();
    EXPECT_TRUE(processEnded(running.id()));
    EXPECT_TRUE(processEnded(deadProcess()));
}

TEST(TemporaryFiles, CreationIsExclusiveAndNeverFollowsALink) {
    TempFolder dir;
    const std::string target = dir.file("out.txa");
    std::string first, second;
    const intptr_t a = createTemporaryBeside(target, first);
    const intptr_t b = createTemporaryBeside(target, second);
    ASSERT_NE(a, -1);
    ASSERT_NE(b, -1);
    EXPECT_NE(first, second);
    EXPECT_EQ(folderOfPath(first), folderOfPath(target));
    EXPECT_EQ(temporaryFileProcess(nameOf(first)), currentProcessId());
    EXPECT_TRUE(writeAndClose(a, "a"));
    EXPECT_TRUE(writeAndClose(b, "b"));

    // Every name the next attempts would take is already there, as another
    // program's file or (on POSIX systems) as a link to a file outside:
    // each is skipped, none is opened or written through.
    const std::string victim = dir.write("victim", "keep me");
    std::string probe;
    const intptr_t c = createTemporaryBeside(target, probe);
    ASSERT_NE(c, -1);
    EXPECT_TRUE(writeAndClose(c, "c"));
    const long self = currentProcessId();
    const std::string probeFile = nameOf(probe);
    const unsigned next = static_cast<unsigned>(std::stoul(probeFile.substr(probeFile.rfind('-') + 1))) + 1;
    for (unsigned k = 0; k < 5; ++k) {
        const std::string taken = temporaryNameFor(target, self, next + k);
#ifndef _WIN32  // links need a privilege on Windows
        if (k % 2 == 0) {
            std::filesystem::create_symlink(victim, taken);
            continue;
        }
#endif
        dir.write(nameOf(taken), "someone's");
    }
    std::string made;
    const intptr_t d = createTemporaryBeside(target, made);
    ASSERT_NE(d, -1);
    EXPECT_TRUE(writeAndClose(d, "x"));
    EXPECT_EQ(made, temporaryNameFor(target, self, next + 5));
    EXPECT_EQ(readFile(victim), "keep me");
    EXPECT_EQ(readFile(temporaryNameFor(target, self, next + 1)), "someone's");
    EXPECT_FALSE(std::filesystem::is_symlink(made));
    EXPECT_EQ(readFile(made), "x");

    std::string none;
    EXPECT_EQ(createTemporaryBeside(dir.file("missing/out.txa"), none), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST(TemporaryFiles, OnlyStaleOnesOfThisProgramAreRemoved) {
    if (testing::childRole() == "wait") {
        char byte = 0;
        testing::hearFromParent(byte);
        testing::exitChild(0);
    }
    if (testing::childRole() == "end") testing::exitChild(0);
    TempFolder dir;
    const std::string target = dir.file("out.txa");
    const long dead = deadProcess();
    const long self = currentProcessId();
    ChildProcess running("wait");
    ASSERT_TRUE(running.started());
    const std::string live = std::to_string(running.id());
    const std::string staleA = dir.write(".out.txa.varnok-" + std::to_string(dead) + "-1.tmp", "half");
    const std::string staleB = dir.write(".other.txa.varnok-" + std::to_string(dead) + "-9.tmp", "half");
    const std::string mine = dir.write(".out.txa.varnok-" + std::to_string(self) + "-1.tmp", "in progress");
    const std::string others = dir.write(".out.txa.varnok-" + live + "-1.tmp", "in progress");
    const std::string users = dir.write("out.txa.varnok-" + std::to_string(dead) + "-1.tmp", "a user's file");
    const std::string plain = dir.write("notes.tmp", "x");
    std::filesystem::create_directory(dir.file(".dir.varnok-" + std::to_string(dead) + "-1.tmp"));
#ifndef _WIN32  // links need a privilege on Windows
    std::filesystem::create_symlink(plain, dir.file(".link.varnok-" + std::to_string(dead) + "-1.tmp"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file(".link.varnok-" + std::to_string(dead) + "-1.tmp")));
#endif

    EXPECT_EQ(removeStaleTemporaryFiles(dir.path()), 2u);
    EXPECT_FALSE(std::filesystem::exists(staleA));
    EXPECT_FALSE(std::filesystem::exists(staleB));
    for (const std::string& kept : {mine, others, users, plain}) EXPECT_TRUE(std::filesystem::exists(kept)) << kept;
    EXPECT_TRUE(std::filesystem::is_directory(dir.file(".dir.varnok-" + std::to_string(dead) + "-1.tmp")));
    EXPECT_EQ(removeStaleTemporaryFiles(dir.file("no such folder")), 0u);

    // Once the other process ends, its file is stale too.
    running.tell('x');
    running.wait();
    EXPECT_EQ(removeStaleTemporaryFiles(dir.path()), 1u);
    EXPECT_FALSE(std::filesystem::exists(others));
}

// Every writer that replaces a file clears stale leftovers from its folder
// and leaves no temporary file of its own.
TEST(TemporaryFiles, EveryReplacingWriterClearsLeftovers) {
    if (testing::childRole() == "end") testing::exitChild(0);
    struct Writer {
        const char* name;
        bool (*write)(const std::string& target, const std::string& source);
    };
    const Writer writers[] = {
        {"SafeOutputFile",
         [](const std::string& target, const std::string&) {
             SafeOutputFile out;
             return out.create(target) && out.write("new", 3) && out.commit();
         }},
        {"OsFile::copy", [](const std::string& target, const std::string& source) {
             return OsFile::copy(source, target) == 0;
         }},
        {"profile", [](const std::string& target, const std::string&) {
             return writePrivateProfileString("S", "k", "v", target);
         }},
    };
    const long dead = deadProcess();
    for (const Writer& w : writers) {
        TempFolder dir;
        const std::string source = dir.write("source", "new");
        const std::string target = dir.write("target.ini", "[S]\nk=old\n");
        dir.write(".target.ini.varnok-" + std::to_string(dead) + "-3.tmp", "x");
        ASSERT_TRUE(w.write(target, source)) << w.name;
        EXPECT_EQ(dir.listing(), "source\ntarget.ini\n") << w.name;
    }
}

}  // namespace
}  // namespace varnok::platform

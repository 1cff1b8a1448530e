#include "platform/temporary_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/plain_file.h"
#include "platform/posix_file.h"
#include "platform/profile.h"
#include "tests/app/temp_folder.h"

namespace varnok::platform {
namespace {

using testing::readFile;
using testing::TempFolder;

// The id of a process that has ended (and been waited for).
long deadProcess() {
    pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return static_cast<long>(child);
}

TEST(TemporaryFiles, NamesAreRecognisedAndNothingElseIs) {
    for (const std::string& target : {std::string("main_.txa"), std::string("/a/b/out.txa"), std::string("x"),
                                      std::string(".hidden"), std::string("a.varnok-1-2.tmp"), std::string(300, 'n')}) {
        const std::string name = temporaryNameFor(target, 4242, 17);
        const std::string file = name.substr(name.find_last_of('/') + 1);
        EXPECT_EQ(temporaryFileProcess(file), 4242) << name;
        EXPECT_EQ(folderOfPath(name), folderOfPath(target)) << name;
        EXPECT_LE(file.size(), 255u) << "fits the file system's limit";
        EXPECT_NE(file.find("varnok"), std::string::npos) << "says whose it is";
    }
    EXPECT_EQ(temporaryNameFor("/a/out.txa", 7, 1), "/a/.out.txa.varnok-7-1.tmp");
    EXPECT_EQ(temporaryNameFor("/out.txa", 7, 1), "/.out.txa.varnok-7-1.tmp");
    for (const char* other : {"out.txa", ".out.txa.varnok-7-1.tmp~", "out.txa.varnok-7-1.tmp", ".varnok-7-1.tmp",
                              ".out.txa.varnok--1.tmp", ".out.txa.varnok-7-.tmp", ".out.txa.varnok-7.tmp",
                              ".out.txa.varnok-x-1.tmp", ".out.txa.varnok-0-1.tmp", ".out.txa.varnok-7-1x.tmp",
                              ".out.txa.varnok-99999999999-1.tmp", ".out.txa.7-1.tmp", ".out.txa.varnok-7-1.TMP"}) {
        EXPECT_EQ(temporaryFileProcess(other), 0) << other;
    }
}

TEST(TemporaryFiles, CreationIsExclusiveAndNeverFollowsALink) {
    TempFolder dir;
    const std::string target = dir.file("out.txa");
    std::string first, second;
    const int a = createTemporaryBeside(target, first);
    const int b = createTemporaryBeside(target, second);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_NE(first, second);
    ::close(a);
    ::close(b);

    // Every name the next attempts would take is already a link to a file
    // outside: each is skipped, none is opened through.
    const std::string victim = dir.write("victim", "keep me");
    std::string probe;
    const int c = createTemporaryBeside(target, probe);
    ASSERT_GE(c, 0);
    ::close(c);
    const long self = static_cast<long>(::getpid());
    const std::string probeFile = probe.substr(probe.find_last_of('/') + 1);
    const unsigned next = static_cast<unsigned>(std::stoul(probeFile.substr(probeFile.rfind('-') + 1))) + 1;
    for (unsigned k = 0; k < 5; ++k)
        std::filesystem::create_symlink(victim, temporaryNameFor(target, self, next + k));
    std::string made;
    const int d = createTemporaryBeside(target, made);
    ASSERT_GE(d, 0);
    ASSERT_EQ(::write(d, "x", 1), 1);
    ::close(d);
    EXPECT_EQ(made, temporaryNameFor(target, self, next + 5));
    EXPECT_EQ(readFile(victim), "keep me");
    EXPECT_FALSE(std::filesystem::is_symlink(made));
}

TEST(TemporaryFiles, OnlyStaleOnesOfThisProgramAreRemoved) {
    TempFolder dir;
    const std::string target = dir.file("out.txa");
    const long dead = deadProcess();
    const long self = static_cast<long>(::getpid());
    const long parent = static_cast<long>(::getppid());
    const std::string staleA = dir.write(".out.txa.varnok-" + std::to_string(dead) + "-1.tmp", "half");
    const std::string staleB = dir.write(".other.txa.varnok-" + std::to_string(dead) + "-9.tmp", "half");
    const std::string mine = dir.write(".out.txa.varnok-" + std::to_string(self) + "-1.tmp", "in progress");
    const std::string running = dir.write(".out.txa.varnok-" + std::to_string(parent) + "-1.tmp", "in progress");
    const std::string users = dir.write("out.txa.varnok-" + std::to_string(dead) + "-1.tmp", "a user's file");
    const std::string plain = dir.write("notes.tmp", "x");
    std::filesystem::create_directory(dir.file(".dir.varnok-" + std::to_string(dead) + "-1.tmp"));
    std::filesystem::create_symlink(plain, dir.file(".link.varnok-" + std::to_string(dead) + "-1.tmp"));

    EXPECT_EQ(removeStaleTemporaryFiles(dir.path()), 2u);
    EXPECT_FALSE(std::filesystem::exists(staleA));
    EXPECT_FALSE(std::filesystem::exists(staleB));
    for (const std::string& kept : {mine, running, users, plain}) EXPECT_TRUE(std::filesystem::exists(kept)) << kept;
    EXPECT_TRUE(std::filesystem::is_directory(dir.file(".dir.varnok-" + std::to_string(dead) + "-1.tmp")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file(".link.varnok-" + std::to_string(dead) + "-1.tmp")));
    EXPECT_EQ(removeStaleTemporaryFiles(dir.file("no such folder")), 0u);
}

// Every writer that replaces a file clears stale leftovers from its folder
// and leaves no temporary file of its own.
TEST(TemporaryFiles, EveryReplacingWriterClearsLeftovers) {
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
        {"PosixFile::copy", [](const std::string& target, const std::string& source) {
             return PosixFile::copy(source, target) == 0;
         }},
        {"profile", [](const std::string& target, const std::string&) {
             return writePrivateProfileString("S", "k", "v", target);
         }},
    };
    for (const Writer& w : writers) {
        TempFolder dir;
        const std::string source = dir.write("source", "new");
        const std::string target = dir.write("target.ini", "[S]\nk=old\n");
        const std::string stale = dir.write(".target.ini.varnok-" + std::to_string(deadProcess()) + "-3.tmp", "x");
        ASSERT_TRUE(w.write(target, source)) << w.name;
        EXPECT_EQ(dir.listing(), "source\ntarget.ini\n") << w.name;
    }
}

}  // namespace
}  // namespace varnok::platform

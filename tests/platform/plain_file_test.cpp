#include "platform/plain_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/directory.h"
#include "tests/app/temp_folder.h"

namespace varnok::platform {
namespace {

using testing::readFile;
using testing::TempFolder;

TEST(SafeOutputFile, CommitReplacesTheTargetAndKeepsItsPermissionBits) {
    TempFolder dir;
    std::string target = dir.write("out.txa", "old");
    ::chmod(target.c_str(), 0640);
    SafeOutputFile out;
    ASSERT_TRUE(out.create(target));
    ASSERT_TRUE(out.write("new content", 11));
    EXPECT_EQ(readFile(target), "old");  // untouched until commit
    ASSERT_TRUE(out.commit());
    EXPECT_EQ(readFile(target), "new content");
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.listing(), "out.txa\n");
}

TEST(SafeOutputFile, AReplacedFileKeepsItsOwnerWhereAllowed) {
    if (!testing::runningAsRoot()) GTEST_SKIP() << "only a privileged user can give files away";
    TempFolder dir;
    std::string target = dir.write("out.txa", "old");
    ASSERT_EQ(::chown(target.c_str(), 1234, 5678), 0);
    SafeOutputFile out;
    ASSERT_TRUE(out.create(target));
    ASSERT_TRUE(out.write("new", 3));
    ASSERT_TRUE(out.commit());
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
}

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

TEST(SafeOutputFile, ALongNameStillGetsItsTemporaryFile) {
    TempFolder dir;
    std::string target = dir.file(std::string(250, 'n') + ".txa");
    SafeOutputFile out;
    ASSERT_TRUE(out.create(target));
    ASSERT_TRUE(out.write("x", 1));
    ASSERT_TRUE(out.commit());
    EXPECT_EQ(readFile(target), "x");
}

TEST(SafeOutputFile, AFolderIsNeverReplaced) {
    TempFolder dir;
    std::filesystem::create_directory(dir.file("sub"));
    SafeOutputFile out;
    EXPECT_FALSE(out.create(dir.file("sub")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("sub")));
}

TEST(SafeOutputFile, ALinkIsFollowedToTheFileItNames) {
    TempFolder dir;
    std::string real = dir.write("real.txa", "old");
    std::filesystem::create_symlink(real, dir.file("link.txa"));
    SafeOutputFile out;
    ASSERT_TRUE(out.create(dir.file("link.txa")));
    ASSERT_TRUE(out.write("new", 3));
    ASSERT_TRUE(out.commit());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txa")));
    EXPECT_EQ(readFile(real), "new");
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
    EXPECT_TRUE(in.identity() == fileIdentity(name));
    failFileOperation(FileOp::Read, 2);
    EXPECT_EQ(in.readAt(0, buf, 1), 1);
    EXPECT_EQ(in.readAt(0, buf, 1), -1);
    EXPECT_EQ(in.error(), EIO);
    clearFileFaults();

    InputFile missing;
    EXPECT_FALSE(missing.open(dir.file("none")));
    EXPECT_EQ(missing.error(), ENOENT);
    InputFile folder;
    EXPECT_FALSE(folder.open(dir.path()));
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

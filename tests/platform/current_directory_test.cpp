#include "platform/current_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/directory.h"
#include "tests/app/temp_folder.h"

namespace varnok::platform {
namespace {

namespace fs = std::filesystem;

class CurrentDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override { start_ = fs::current_path().string(); }
    void TearDown() override { fs::current_path(start_); }
    std::string start_;
    testing::TempFolder folder_;
};

TEST_F(CurrentDirectoryTest, ChangesAreSeenAndBackslashesSeparate) {
    EXPECT_EQ(currentDirectory(), start_);
    fs::create_directories(folder_.file("a/b"));
    ASSERT_TRUE(setCurrentDirectory(folder_.path()));
    EXPECT_EQ(fs::path(currentDirectory()), fs::canonical(folder_.path()));
    ASSERT_TRUE(setCurrentDirectory("a\\b"));
    EXPECT_EQ(fs::path(currentDirectory()), fs::canonical(folder_.file("a/b")));
    ASSERT_TRUE(setCurrentDirectory("..\\..\\"));
    EXPECT_EQ(fs::path(currentDirectory()), fs::canonical(folder_.path()));
}

TEST_F(CurrentDirectoryTest, WhatCannotBeEnteredChangesNothing) {
    testing::TempFolder other;
    std::ofstream(other.file("plain")) << "x";
    ASSERT_TRUE(setCurrentDirectory(other.path()));
    const std::string here = currentDirectory();
    fs::create_directories(other.file("ok"));
    const std::string withZero = std::string("ok") + '\0' + "/missing";
    for (const std::string& bad : {std::string(), other.file("missing"), other.file("plain"), withZero}) {
        EXPECT_FALSE(setCurrentDirectory(bad)) << bad;
        EXPECT_EQ(currentDirectory(), here) << bad;
    }
}

#ifndef _WIN32
// Windows does not remove a folder that is a process's current directory.
TEST_F(CurrentDirectoryTest, ARemovedCurrentDirectoryIsEmpty) {
    testing::TempFolder gone;
    ASSERT_TRUE(setCurrentDirectory(gone.path()));
    fs::remove(gone.path());
    EXPECT_EQ(currentDirectory(), "");
}
#endif

// Names are UTF-8 both ways, also with letters outside any ANSI code page.
TEST_F(CurrentDirectoryTest, NonAsciiFolderNames) {
    const std::string name = "\xC3\x84rger-\xE6\x97\xA5\xE6\x9C\xAC-\xE2\x82\xAC";  // Ärger-日本-€
    ASSERT_TRUE(setCurrentDirectory(folder_.path()));
    const std::string base = currentDirectory();
    ASSERT_TRUE(createDirectories(base + PathSeparator + name + PathSeparator + "inner"));
    ASSERT_TRUE(setCurrentDirectory(name));
    EXPECT_EQ(currentDirectory(), base + PathSeparator + name);
    ASSERT_TRUE(setCurrentDirectory("inner"));
    EXPECT_EQ(currentDirectory(), base + PathSeparator + name + PathSeparator + "inner");
    ASSERT_TRUE(setCurrentDirectory(".."));
    EXPECT_EQ(currentDirectory(), base + PathSeparator + name);
}

// A folder deeper than the classic 260 characters: current on Linux (and
// under Wine); Windows itself refuses it without the program's long-path
// opt-in, and then nothing changes.
TEST_F(CurrentDirectoryTest, FoldersPastTheClassicLimit) {
    ASSERT_TRUE(setCurrentDirectory(folder_.path()));
    const std::string here = currentDirectory();
    std::string deep = here;
    while (deep.size() < 300) deep += PathSeparator + std::string(50, 'q');
    ASSERT_TRUE(createDirectories(deep));
#ifdef _WIN32
    if (!setCurrentDirectory(deep)) {
        EXPECT_EQ(currentDirectory(), here);
        return;
    }
#else
    ASSERT_TRUE(setCurrentDirectory(deep));
#endif
    EXPECT_EQ(currentDirectory(), deep);
    ASSERT_TRUE(setCurrentDirectory(".."));
    EXPECT_EQ(currentDirectory(), deep.substr(0, deep.find_last_of(PathSeparator)));
}

}  // namespace
}  // namespace varnok::platform

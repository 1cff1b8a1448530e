#include "platform/current_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

TEST_F(CurrentDirectoryTest, ARemovedCurrentDirectoryIsEmpty) {
    testing::TempFolder gone;
    ASSERT_TRUE(setCurrentDirectory(gone.path()));
    fs::remove(gone.path());
    EXPECT_EQ(currentDirectory(), "");
}

}  // namespace
}  // namespace varnok::platform

#include "platform/module_path.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/directory.h"

namespace varnok::platform {
namespace {

// The path names this very test program, wherever the test was started.
TEST(ModulePath, NamesTheRunningProgram) {
    const std::string path = modulePath();
    ASSERT_FALSE(path.empty());
#ifdef _WIN32
    const std::string program = "platform_tests.exe";
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path.substr(1, 2), ":\\") << path << " is absolute, with a drive";
    EXPECT_EQ(path.find("\\\\?\\"), std::string::npos) << "no long-path prefix";
#else
    const std::string program = "platform_tests";
    EXPECT_EQ(path.front(), '/') << path;
#endif
    ASSERT_GE(path.size(), program.size() + 1);
    EXPECT_EQ(path.substr(path.size() - program.size() - 1), PathSeparator + program);
    std::vector<DirectoryEntry> listing;
    ASSERT_EQ(listDirectory(path, listing), 1u) << path;
    EXPECT_GT(listing[0].size, 0u);
}

}  // namespace
}  // namespace varnok::platform

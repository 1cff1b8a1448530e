#include "platform/environment.h"

#include <gtest/gtest.h>

namespace varnok::platform {
namespace {

constexpr const char* Name = "VARNOK_ENVIRONMENT_TEST";

TEST(Environment, SetReadAndRemove) {
    ASSERT_TRUE(setEnvironmentVariable(Name, std::nullopt));
    EXPECT_EQ(environmentVariable(Name), std::nullopt);
    ASSERT_TRUE(setEnvironmentVariable(Name, "one"));
    EXPECT_EQ(environmentVariable(Name), "one");
    // Longer than any first guess at the size, and with letters outside any
    // ANSI code page.
    const std::string value = std::string(3000, 'v') + " M\xC3\xBCller \xE6\x97\xA5\xE6\x9C\xAC \xE2\x82\xAC";
    ASSERT_TRUE(setEnvironmentVariable(Name, value));
    EXPECT_EQ(environmentVariable(Name), value);
    ASSERT_TRUE(setEnvironmentVariable(Name, std::nullopt));
    EXPECT_EQ(environmentVariable(Name), std::nullopt);
}

TEST(Environment, RefusedNamesAndValuesChangeNothing) {
    ASSERT_TRUE(setEnvironmentVariable(Name, "kept"));
    EXPECT_FALSE(setEnvironmentVariable("", "x"));
    EXPECT_FALSE(setEnvironmentVariable("A=B", "x"));
    EXPECT_FALSE(setEnvironmentVariable(std::string_view("VARNOK\0X", 8), "x"));
    EXPECT_FALSE(setEnvironmentVariable(Name, std::string_view("a\0b", 3)));
#ifdef _WIN32
    EXPECT_FALSE(setEnvironmentVariable(Name, "caf\xE9")) << "not UTF-8";
#endif
    EXPECT_EQ(environmentVariable(Name), "kept");
    EXPECT_EQ(environmentVariable(""), std::nullopt);
    ASSERT_TRUE(setEnvironmentVariable(Name, std::nullopt));
}

TEST(Environment, AnEmptyValue) {
    ASSERT_TRUE(setEnvironmentVariable(Name, "x"));
    ASSERT_TRUE(setEnvironmentVariable(Name, ""));
#ifdef _WIN32
    // Windows's C runtime cannot hold an empty value: setting one removes it.
    EXPECT_EQ(environmentVariable(Name), std::nullopt);
#else
    EXPECT_EQ(environmentVariable(Name), "");
#endif
    ASSERT_TRUE(setEnvironmentVariable(Name, std::nullopt));
}

}  // namespace
}  // namespace varnok::platform

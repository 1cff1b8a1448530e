#include "window/halt.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace varnok::window {
namespace {

class Recorder : public HaltHandler {
public:
    void halt(int exitCode, const std::string& text) override { calls.emplace_back(exitCode, text); }
    std::vector<std::pair<int, std::string>> calls;
};

TEST(Halt, AnInstalledHandlerReceivesTheCallAndCanReturn) {
    Recorder first, second;
    HaltHandler* original = setHaltHandler(&first);
    halt(3, "stop");
    EXPECT_EQ(setHaltHandler(&second), &first);
    halt(0, "");
    EXPECT_EQ(&haltHandler(), &second);
    EXPECT_EQ(setHaltHandler(original), &second);
    EXPECT_EQ(first.calls, (std::vector<std::pair<int, std::string>>{{3, "stop"}}));
    EXPECT_EQ(second.calls, (std::vector<std::pair<int, std::string>>{{0, ""}}));
}

TEST(HaltDeath, TheDefaultWritesTheTextAndExitsWithTheCode) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setHaltHandler(nullptr);
    EXPECT_EXIT(halt(1, "File Creation Error"), ::testing::ExitedWithCode(1), "^File Creation Error\n$");
    EXPECT_EXIT(halt(7, ""), ::testing::ExitedWithCode(7), "^$");
    EXPECT_EXIT(halt(0, "done"), ::testing::ExitedWithCode(0), "^done\n$");
}

}  // namespace
}  // namespace varnok::window

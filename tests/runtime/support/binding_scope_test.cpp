#include "runtime/support/binding_scope.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

namespace varnok {
namespace {

TEST(BindingScope, PushesAndPopsPairLikeAStack) {
    const uint32_t start = bindingDepth();
    // A random walk of opens and closes against a counter as the model.
    std::mt19937 random(7);
    uint32_t model = start;
    for (int step = 0; step < 1000; ++step) {
        if (model > start && random() % 2 == 0) {
            EXPECT_TRUE(POPBIND());
            --model;
        } else {
            EXPECT_EQ(PUSHBIND(), model + 1);
            ++model;
        }
        ASSERT_EQ(bindingDepth(), model);
    }
    while (model > start) {
        EXPECT_TRUE(POPBIND());
        --model;
    }
    EXPECT_EQ(bindingDepth(), start);
}

TEST(BindingScope, ClosingWithNoScopeOpenChangesNothingAndIsCounted) {
    std::thread([] {
        EXPECT_EQ(bindingDepth(), 0u);
        EXPECT_EQ(unpairedPopBinds(), 0u);
        EXPECT_FALSE(POPBIND());
        EXPECT_EQ(bindingDepth(), 0u);
        EXPECT_EQ(unpairedPopBinds(), 1u);
        EXPECT_EQ(PUSHBIND(), 1u) << "an unpaired close does not go below zero";
        EXPECT_TRUE(POPBIND());
        EXPECT_EQ(unpairedPopBinds(), 1u);
    }).join();
}

TEST(BindingScope, EachThreadHasItsOwnStack) {
    const uint32_t here = bindingDepth();
    PUSHBIND();
    PUSHBIND();
    uint32_t there = 99;
    std::thread([&] {
        there = bindingDepth();
        PUSHBIND();
    }).join();
    EXPECT_EQ(there, 0u);
    EXPECT_EQ(bindingDepth(), here + 2);
    POPBIND();
    POPBIND();
    EXPECT_EQ(bindingDepth(), here);
}

}  // namespace
}  // namespace varnok

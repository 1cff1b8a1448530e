#include "app/txa/header_lines.h"

#include <gtest/gtest.h>

#include <random>

namespace varnok::app {
namespace {

// Against a model that marks every line and deletes ranges one at a time.
TEST(HeaderLines, FollowsDeletionsFromTheEndLikeAPlainList) {
    std::mt19937 rng(9);
    for (int round = 0; round < 300; ++round) {
        std::vector<int> model(1 + rng() % 80);  // -1: no header, else its kind
        HeaderLines headers;
        for (size_t i = 0; i < model.size(); ++i) {
            model[i] = rng() % 3 == 0 ? static_cast<int>(rng() % 4) : -1;
            if (model[i] >= 0) headers.append(static_cast<uint32_t>(i + 1), static_cast<HeaderKind>(model[i]));
        }
        auto expectModel = [&] {
            std::vector<uint32_t> expected;
            std::vector<HeaderKind> kinds;
            for (size_t i = 0; i < model.size(); ++i) {
                if (model[i] < 0) continue;
                expected.push_back(static_cast<uint32_t>(i + 1));
                kinds.push_back(static_cast<HeaderKind>(model[i]));
            }
            ASSERT_NE(headers.lines(), nullptr);
            ASSERT_EQ(*headers.lines(), expected) << round;
            ASSERT_EQ(headers.kinds(), kinds) << round;
        };
        // Ranges from the end towards the start, each ending before the last.
        uint32_t limit = static_cast<uint32_t>(model.size()) + 1;
        while (limit > 1 && rng() % 4 != 0) {
            uint32_t first = 1 + rng() % (limit - 1);
            uint32_t count = 1 + rng() % (limit - first);
            model.erase(model.begin() + (first - 1), model.begin() + (first - 1 + count));
            headers.erase(first, count);
            limit = first;
            if (rng() % 5 == 0) expectModel();
        }
        expectModel();
    }
}

TEST(HeaderLines, AnOutOfOrderDeletionMakesTheListUnknown) {
    HeaderLines headers;
    for (uint32_t l : {1u, 4u, 9u}) headers.append(l, HeaderKind::Closes);
    headers.erase(5, 2);
    headers.erase(6, 1);  // above the previous range
    EXPECT_EQ(headers.lines(), nullptr);
    headers.clear();
    headers.append(2, HeaderKind::Addition);
    ASSERT_NE(headers.lines(), nullptr);
    EXPECT_EQ(*headers.lines(), std::vector<uint32_t>{2});
}

}  // namespace
}  // namespace varnok::app

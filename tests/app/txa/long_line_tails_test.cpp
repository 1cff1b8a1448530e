#include "app/txa/long_line_tails.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace varnok::app {
namespace {

// Against a model that keeps one (possibly empty) tail per line and erases
// ranges as the queue does.
TEST(LongLineTails, FollowsRangeDeletionsLikeAPlainList) {
    std::mt19937 rng(3);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> model(1 + rng() % 60);
        LongLineTails tails;
        for (size_t i = 0; i < model.size(); ++i) {
            if (rng() % 3 == 0) {
                model[i] = "tail" + std::to_string(i);
                tails.append(static_cast<uint32_t>(i + 1), model[i]);
            }
        }
        for (int step = 0; step < 10 && !model.empty(); ++step) {
            uint32_t first = 1 + rng() % model.size();
            uint32_t count = rng() % (model.size() - first + 2);
            count = std::min<uint32_t>(count, static_cast<uint32_t>(model.size() - first + 1));
            model.erase(model.begin() + (first - 1), model.begin() + (first - 1 + count));
            tails.eraseLines(first, count);
            LongLineTails::Cursor cursor(tails);
            size_t nonEmpty = 0;
            for (size_t i = 0; i < model.size(); ++i) {
                ASSERT_EQ(tails.tailOf(static_cast<uint32_t>(i + 1)), model[i]);
                ASSERT_EQ(cursor.tailOf(static_cast<uint32_t>(i + 1)), model[i]);
                nonEmpty += !model[i].empty();
            }
            ASSERT_EQ(tails.size(), nonEmpty);
        }
    }
}

TEST(LongLineTails, KeepsOnlyAscendingNonEmptyTails) {
    LongLineTails tails;
    tails.append(3, "x");
    tails.append(2, "y");  // out of order: ignored
    tails.append(5, "");   // empty: nothing to keep
    EXPECT_EQ(tails.size(), 1u);
    EXPECT_EQ(tails.tailOf(3), "x");
    EXPECT_EQ(tails.tailOf(2), "");
}

}  // namespace
}  // namespace varnok::app

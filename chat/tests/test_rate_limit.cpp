#include "RateLimit.h"

#include <gtest/gtest.h>

#include <string>

using namespace lanyx;

TEST(RateLimit, ABucketGivesItsBurstThenOneAPaceAcrossTheTicksWrapping) {
    for (const std::uint32_t start : {0u, 0xFFFFFF00u}) {
        TokenBucket b(3, 100);
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(b.take(start)) << start;
        EXPECT_FALSE(b.take(start));
        EXPECT_FALSE(b.take(start + 99));
        EXPECT_TRUE(b.take(start + 100));
        EXPECT_FALSE(b.take(start + 150));
        EXPECT_TRUE(b.full(start + 10'000));
        EXPECT_EQ(b.left(start + 10'000), 3u);
    }
}

TEST(RateLimit, EachKeyHasItsBudgetUnderOneForAllAndFewKeysAreKept) {
    KeyedLimiter<std::string> limit({2, 1000}, {3, 1000}, 4);
    EXPECT_TRUE(limit.take("a", 0));
    EXPECT_TRUE(limit.take("a", 0));
    EXPECT_FALSE(limit.take("a", 0));  // its own budget is out
    EXPECT_TRUE(limit.take("b", 0));
    EXPECT_FALSE(limit.take("c", 0));  // the one for all is out
    EXPECT_TRUE(limit.exhausted(0));
    EXPECT_TRUE(limit.take("c", 1000));
    for (int i = 0; i < 100; ++i) limit.take("made-up" + std::to_string(i), 100'000u + static_cast<std::uint32_t>(i));
    EXPECT_LE(limit.keys(), 4u);
}

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

// A pace of thousands a second is no whole number of milliseconds per
// token: the bucket keeps thousandths, so that none is lost between takes.
TEST(RateLimit, APaceBucketGivesItsBurstThenItsPaceInThousandthsAcrossTheTicksWrapping) {
    struct Case {
        std::uint32_t burst, perSecond, later;
        std::uint32_t tokensLater;  // what `later` ms after an emptied burst bring
    };
    for (const auto& c :
         {Case{4, 4000, 1, 4}, Case{4, 200, 4, 0}, Case{4, 200, 5, 1}, Case{4, 300, 10, 3}, Case{4, 300, 100'000, 4}}) {
        for (const std::uint32_t start : {0u, 0xFFFFFFFEu}) {
            PaceBucket b(c.burst, c.perSecond);
            for (std::uint32_t i = 0; i < c.burst; ++i) EXPECT_TRUE(b.take(start)) << c.perSecond;
            EXPECT_FALSE(b.take(start));
            std::uint32_t taken = 0;
            while (b.take(start + c.later)) ++taken;
            EXPECT_EQ(taken, c.tokensLater) << c.perSecond << " " << c.later << " from " << start;
        }
    }
}

TEST(RateLimit, ATakeWithAReserveLeavesThatManyTokensForTakesWithout) {
    PaceBucket b(10, 1000);
    int withReserve = 0;
    while (b.take(0, 4)) ++withReserve;
    EXPECT_EQ(withReserve, 6);
    int without = 0;
    while (b.take(0)) ++without;
    EXPECT_EQ(without, 4);
    // The reserve refilled: what is not over it still cannot be taken with one.
    EXPECT_FALSE(b.take(4, 4));
    EXPECT_TRUE(b.take(5, 4));
}

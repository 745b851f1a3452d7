// What the history keeps of senders without a verified key: ten lines a
// second each, a bounded number in all however many names a flood uses, and
// every line not kept counted into one row once its flood is over.
#include "SenderLimit.h"

#include <gtest/gtest.h>

#include <map>

using lanyx::history::SenderLimit;

namespace {
// Lines kept and counted, and the rows the counts became, over a run.
struct Tally {
    std::uint64_t kept = 0, counted = 0, rows = 0;
    void take(const std::vector<SenderLimit::Count>& due) {
        for (const auto& c : due) {
            counted += c.lines;
            ++rows;
        }
    }
};
}  // namespace

TEST(SenderLimit, EachSenderKeepsTenASecondAndIsToldOnceWhenItsFloodEnds) {
    SenderLimit limit({10, 100, 1024});
    int kept = 0;
    for (int i = 0; i < 25; ++i) kept += limit.admit(i % 2 ? "Mallory" : "mallory", 100, 0);
    EXPECT_EQ(kept, 10);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(limit.admit("bob", 10, 10));  // another sender is not held back
    EXPECT_TRUE(limit.counting());
    EXPECT_TRUE(limit.due(500).empty());  // refused a moment ago: the flood may go on
    // A new second keeps ten again; what they cost counts nothing.
    for (int i = 0; i < 12; ++i) kept += limit.admit("mallory", 100, 1000);
    EXPECT_EQ(kept, 20);
    EXPECT_TRUE(limit.due(1999).empty());
    const auto due = limit.due(2300);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].name, "mallory");
    EXPECT_EQ(due[0].lines, 17u);
    EXPECT_EQ(due[0].bytes, 1700u);
    EXPECT_EQ(due[0].lastMs, 1000);
    EXPECT_FALSE(limit.counting());
    EXPECT_TRUE(limit.due(5000, true).empty());  // told once

    // A flood that goes on is told once a minute, not once a second.
    std::vector<SenderLimit::Count> told;
    for (std::int64_t t = 10'000; t < 131'000; t += 100) {
        limit.admit("mallory", 1, t);
        limit.admit("mallory", 1, t);
        for (auto& c : limit.due(t)) told.push_back(c);
    }
    ASSERT_EQ(told.size(), 2u);
    EXPECT_NEAR(static_cast<double>(told[0].lines), 60 * 10, 10);  // 20 a second sent, 10 kept
    // And what is left is told at the end.
    const auto rest = limit.due(131'000, true);
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(told[0].lines + told[1].lines + rest[0].lines, 121u * 10);
}

TEST(SenderLimit, ManyNamesAddABoundedNumberOfRowsAndEveryLineIsKeptOrCounted) {
    // Cases: names per datagram in a storm of 10 s, 2,000 datagrams a second.
    for (const int names : {1, 30, 500, 100000}) {
        SCOPED_TRACE(names);
        SenderLimit limit({10, 100, 64});
        Tally tally;
        std::map<std::int64_t, std::uint64_t> rowsPerSecond;
        std::uint64_t sent = 0;
        for (std::int64_t t = 0; t < 10'000; ++t) {
            for (int k = 0; k < 2; ++k, ++sent) {
                const bool kept = limit.admit("n" + std::to_string(sent % static_cast<std::uint64_t>(names)), 1, t);
                tally.kept += kept;
                rowsPerSecond[t / 1000] += kept;
            }
            const auto due = limit.due(t);
            tally.take(due);
            rowsPerSecond[t / 1000] += due.size();
        }
        tally.take(limit.due(20'000, true));
        EXPECT_EQ(tally.kept + tally.counted, sent);
        for (const auto& [second, rows] : rowsPerSecond) EXPECT_LE(rows, 100u + 1) << "second " << second;
        EXPECT_LE(tally.kept, 10u * 100);
        if (names == 1) {
            EXPECT_EQ(tally.kept, 10u * 10);
        }
    }
}

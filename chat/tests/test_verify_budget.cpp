// What checks of signatures may cost per sender address, per key verified
// from where it signs, and all together.
#include "VerifyBudget.h"

#include <gtest/gtest.h>

#include <string>

using namespace lanyx;

namespace {

constexpr auto kHome = IpAddress::v4(0x0A000001), kElsewhere = IpAddress::v4(0x0A000002);
using Verdict = VerifyBudget::Verdict;

// Takes until refused (at most `most`): how many were allowed, and the verdict then.
std::pair<int, Verdict> drain(VerifyBudget& b, std::uint32_t now, IpAddress from, const std::string& key,
                              int most = 10'000) {
    int allowed = 0;
    for (; allowed < most; ++allowed)
        if (const auto v = b.take(now, from, key); v != Verdict::Allowed) return {allowed, v};
    return {allowed, Verdict::Allowed};
}

}  // namespace

TEST(VerifyBudget, EachAddressHasItsBurstThenItsPace) {
    VerifyBudget b({3, 1000}, {100, 1000}, 10);
    EXPECT_EQ(drain(b, 0, kHome, "k"), std::make_pair(3, Verdict::AddressOut));
    EXPECT_EQ(drain(b, 0, kElsewhere, "k"), std::make_pair(3, Verdict::AddressOut));
    EXPECT_EQ(drain(b, 2, kHome, ""), std::make_pair(2, Verdict::AddressOut));
}

TEST(VerifyBudget, AKeyVerifiedFromAnAddressSpendsItsOwnBudgetThereAndNowhereElse) {
    VerifyBudget b({3, 1000}, {100, 1000}, 10);
    b.proven("k", kHome, 16);
    EXPECT_TRUE(b.provenFrom("k", kHome));
    EXPECT_FALSE(b.provenFrom("k", kElsewhere));
    EXPECT_FALSE(b.provenFrom("", kHome));
    // Junk under the key from elsewhere spends that address's budget.
    EXPECT_EQ(drain(b, 0, kElsewhere, "k"), std::make_pair(3, Verdict::AddressOut));
    EXPECT_EQ(drain(b, 0, kHome, "k"), std::make_pair(3, Verdict::KeyOut));
    // Another key from the key's own address has the address's budget still.
    EXPECT_EQ(drain(b, 0, kHome, "other"), std::make_pair(3, Verdict::AddressOut));
}

TEST(VerifyBudget, ChecksForKeysNotVerifiedThereLeaveTheReserveOfAllTogether) {
    VerifyBudget b({1000, 1000}, {20, 1000}, 5);
    b.proven("k", kHome, 16);
    EXPECT_EQ(drain(b, 0, kElsewhere, "junk"), std::make_pair(15, Verdict::AllOut));
    EXPECT_EQ(drain(b, 0, kHome, "k"), std::make_pair(5, Verdict::AllOut));
    EXPECT_EQ(drain(b, 1, kHome, "k"), std::make_pair(1, Verdict::AllOut));
}

TEST(VerifyBudget, PastItsRoomTheBudgetsStartAfreshAndProvenKeysAreForgotten) {
    VerifyBudget b({1, 1000}, {1000, 1000}, 0, 4);
    for (std::uint32_t i = 0; i < 4; ++i) EXPECT_EQ(b.take(0, IpAddress::v4(0x0B000000 + i), ""), Verdict::Allowed);
    EXPECT_EQ(b.take(0, IpAddress::v4(0x0B000000), ""), Verdict::AddressOut);
    // A fifth address: the four start afresh.
    EXPECT_EQ(b.take(0, IpAddress::v4(0x0C000000), ""), Verdict::Allowed);
    EXPECT_EQ(b.take(0, IpAddress::v4(0x0B000000), ""), Verdict::Allowed);
    b.proven("a", kHome, 2);
    b.proven("b", kHome, 2);
    b.proven("c", kHome, 2);
    EXPECT_FALSE(b.provenFrom("a", kHome));
    EXPECT_TRUE(b.provenFrom("c", kHome));
}

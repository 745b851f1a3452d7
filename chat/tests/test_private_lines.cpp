// Private messages of a copy without keys: in the clear, reported as
// without receipts. (Sealed ones: test_secure.cpp, test_waiting_node.cpp.)
#include "Crypto.h"
#include "PrivateLines.h"
#include "Wire.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lanyx;

namespace {

struct LinesPump : EventPump {
    std::uint32_t ticks() override { return 0; }
    void pumpOnce() override {}
    void runFor(std::uint32_t) override {}
};

}  // namespace

TEST(PrivateLines, WithoutKeysALineGoesInTheClearAndIsReportedWithoutReceipts) {
    struct Case {
        const char* argument;
        std::string sent;
        std::size_t reports;  // to the sink: none without a recipient
    };
    const std::string p(wire::PrivateMessage);
    const Case cases[] = {
        {"bob hello", p + "hello|bob", 1},
        {"bob   hi there  ", p + "hi there|bob", 1},
        {"bob", p + "|", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        LinesPump pump;
        std::string me = "ann";
        std::vector<std::string> sent;
        std::vector<DeliveryReport> reported;
        std::size_t left = 0;
        PrivateLines lines(pump,
                           {[&]() -> const std::string& { return me; },
                            [] { return static_cast<SecureLink*>(nullptr); },
                            [] { return static_cast<WaitingPort*>(nullptr); }, [](const std::string&) { return true; },
                            [] { return true; }, [&](std::string_view text) { sent.emplace_back(text); },
                            [](const std::string&) { FAIL() << "nothing stays here without keys"; },
                            [&](const DeliveryReport& r) { reported.push_back(r); },
                            [&](std::string_view, std::string_view, const DeliveryReport&, std::uint64_t,
                                std::string_view, std::uint64_t) { ++left; },
                            [](const std::string&) {}});
        const auto report = lines.send(c.argument, {}, 0);
        EXPECT_EQ(sent, std::vector<std::string>{c.sent});
        EXPECT_EQ(report.state, Delivery::NoReceipts);
        EXPECT_FALSE(report.encrypted);
        ASSERT_EQ(reported.size(), c.reports);
        EXPECT_EQ(left, 1u);
    }
}

TEST(PrivateLines, ALineIdIsNeverZero) {
    if (!crypto::available()) GTEST_SKIP() << "this build has no cryptographic library: no random line ids";
    for (int i = 0; i < 100; ++i) EXPECT_NE(PrivateLines::newLineId(), 0u);
}

// What the tests' build of lanyx-cli does for its test aids to the transport
// it gives the node.
#include "CliTestAids.h"
#include "MemorySegment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lanyx;
using namespace lanyx::cli;
using namespace lanyx::test;

TEST(CliTestAids, OnceArmedTheFirstSealedPrivateMessageSentIsLostAndNothingElse) {
    MemorySegment seg;
    MemoryTransport udp(seg), other(seg);
    seg.attach(&udp);
    seg.attach(&other);
    DropFirstPrivate link(udp);
    link.open();
    other.open();
    EXPECT_TRUE(udp.isOpen());
    EXPECT_TRUE(link.isOpen());
    std::vector<std::string> heard;
    other.setReceiver([&](std::string_view b) { heard.emplace_back(b); });
    link.send("ann|E/bob|before");
    link.arm();
    for (const auto* d : {"ann|M/hi", "ann|R/bob|receipt", "ann|E/bob|first", "ann|E/bob|second"}) link.send(d);
    constexpr auto kBob = IpAddress::v4(0x0A000002);
    link.sendTo(kBob, "ann|Q/bob|nonce");
    seg.deliverAll();
    EXPECT_EQ(heard,
              (std::vector<std::string>{"ann|E/bob|before", "ann|M/hi", "ann|R/bob|receipt", "ann|E/bob|second"}));
    EXPECT_TRUE(link.dropped());
    ASSERT_EQ(udp.sentTo.size(), 1u);
    EXPECT_EQ(udp.sentTo[0].first, kBob);
    link.close();
    EXPECT_FALSE(udp.isOpen());
}

TEST(CliTestAids, WhatTheTransportUnderneathHandsOverComesWithItsSourceInItsBatches) {
    MemorySegment seg;
    MemoryTransport udp(seg);
    DropFirstPrivate link(udp);
    struct Got {
        std::string bytes;
        IpAddress source;
        bool inBatch;
    };
    std::vector<Got> got;
    int batchEnds = 0, joined = 0, failures = 0;
    std::uint32_t drops = 0;
    link.setReceiver([&](std::string_view b) {
        got.push_back({std::string(b), link.currentSource(), link.inBatch()});
    });
    link.setBatchEnd([&] { ++batchEnds; });
    link.setDropReporter([&](std::uint32_t total) { drops = total; });
    link.setNetworksJoined([&] { ++joined; });
    link.setReceiveFailure([&](int number, const std::string&, bool reopened) { failures += reopened ? number : 0; });
    constexpr auto kFrom = IpAddress::v4(0x0A000009);
    udp.receive("zed|M/one", kFrom);
    udp.receiveBatch({"zed|M/two", "zed|M/three"});
    udp.reportDropTotal(7);
    udp.joinNetwork();
    udp.failReceiving(5, "broken", true);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].bytes, "zed|M/one");
    EXPECT_EQ(got[0].source, kFrom);
    EXPECT_FALSE(got[0].inBatch);
    EXPECT_EQ(got[2].bytes, "zed|M/three");
    EXPECT_TRUE(got[1].inBatch && got[2].inBatch);
    EXPECT_FALSE(link.inBatch());
    EXPECT_EQ(batchEnds, 1);
    EXPECT_EQ(drops, 7u);
    EXPECT_EQ(joined, 1);
    EXPECT_EQ(failures, 5);
}

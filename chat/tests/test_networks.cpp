// The arithmetic and bookkeeping behind sending to every network: subnets,
// the destination list, repeats along several paths, remembered senders.
#include "MemorySegment.h"
#include "Networks.h"
#include "Error.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace lanyx;
using namespace lanyx::net;

namespace {

// As the network list reads an address a user typed.
std::optional<IpAddress> typedIpv4(std::string_view text) {
    return IpAddress::parseV4(text, IpAddress::Spelling::LeadingZeros);
}

LocalNetwork network(std::string name, unsigned index, const char* address, const char* mask) {
    LocalNetwork n;
    n.name = std::move(name);
    n.index = index;
    n.address = *typedIpv4(address);
    n.netmask = *typedIpv4(mask);
    n.broadcast = IpAddress::v4(n.address.toV4() | ~n.netmask.toV4());
    return n;
}

constexpr std::uint64_t kEth0 = 2;
constexpr std::uint64_t kEth1 = 3;

}  // namespace

TEST(Addresses, Ipv4IsReadOnlyAsFourDecimalParts) {
    EXPECT_EQ(typedIpv4("10.2.255.255")->toV4(), 0x0A02FFFFu);
    EXPECT_EQ(typedIpv4("0.0.0.0")->toV4(), 0u);
    for (const char* bad :
         {"", "10.2.255", "10.2.255.256", "10.2.3.4.5", "10..3.4", "1.2.3.4 ", "0010.1.1.1", "a.b.c.d"})
        EXPECT_FALSE(typedIpv4(bad)) << bad;
    EXPECT_EQ(IpAddress::v4(0xC0A80001u).toString(), "192.168.0.1");
}

TEST(Subnets, TwoInterfacesOnOneSubnetSendOnceAndNewSubnetsAreFound) {
    const auto wired = network("eth0", 2, "192.168.1.10", "255.255.255.0");
    const auto wifi = network("wlan0", 3, "192.168.1.11", "255.255.255.0");
    const auto vpn = network("tun0", 4, "10.8.0.2", "255.255.0.0");
    const auto chosen = oneForEachSubnet({wired, wifi, vpn});
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0].name, "eth0");
    EXPECT_EQ(chosen[1].name, "tun0");
    // The same address range under another mask is another network.
    EXPECT_EQ(oneForEachSubnet({wired, network("eth1", 5, "192.168.1.12", "255.255.0.0")}).size(), 2u);

    // Wi-Fi roaming to another access point of the same subnet is no new network.
    EXPECT_TRUE(subnetsAdded({wired}, {wifi}).empty());
    const auto added = subnetsAdded({wired}, {wired, vpn});
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].name, "tun0");
    EXPECT_EQ(subnetsAdded({wired, vpn}, {wired}).size(), 0u);

    EXPECT_TRUE(onLocalSubnet(*typedIpv4("10.8.200.1"), {wired, vpn}));
    EXPECT_FALSE(onLocalSubnet(*typedIpv4("10.9.0.1"), {wired, vpn}));
    EXPECT_EQ(vpn.describe(), "tun0 10.8.0.2/16 (broadcast 10.8.255.255)");
}

TEST(Destinations, EntriesAreAddressesOrHostNames) {
    for (const char* good : {"10.2.255.255", "server", "chat-1.office.example", "A1", "1host"})
        EXPECT_FALSE(destinationProblem(good)) << good;
    for (const char* bad : {"", "10.2.3", "10.2.3.300", "host name", "-host", "host-", "a..b", "host.", "fe80::1",
                            "h\xC3\xA9te", "a|b", "a,b", "\"q\""})
        EXPECT_TRUE(destinationProblem(bad)) << bad;
    EXPECT_TRUE(destinationProblem(std::string(64, 'a')));
    EXPECT_FALSE(destinationProblem(std::string(63, 'a')));
    EXPECT_TRUE(destinationProblem(std::string(126, 'a') + "." + std::string(126, 'b')));
}

TEST(Destinations, FileKeepsItsOrderDropsRepeatsAndNamesWhatItLeftOut) {
    const auto list = parseDestinations("# other offices\r\n10.2.255.255\r\n\r\n  Branch \r\nbranch\nbad host\n\tlast");
    EXPECT_EQ(list.entries, (std::vector<std::string>{"10.2.255.255", "Branch", "last"}));
    ASSERT_EQ(list.problems.size(), 1u);
    EXPECT_NE(list.problems[0].find("bad host"), std::string::npos);

    std::string many;
    for (int i = 0; i < 70; ++i) many += "host" + std::to_string(i) + "\n";
    const auto capped = parseDestinations(many);
    EXPECT_EQ(capped.entries.size(), kMaxDestinations);
    EXPECT_EQ(capped.problems.size(), 70 - kMaxDestinations);
}

TEST(Destinations, WhatIsWrittenReadsBackAndNothingUnreadableIsWritten) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("lanyx-dest-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const auto file = dir / kDestinationsFile;
    EXPECT_TRUE(readDestinations(file).entries.empty());  // no file: an empty list
    const std::vector<std::string> entries{"10.2.255.255", "branch.example", "10.3.0.7"};
    writeDestinations(file, entries);
    EXPECT_EQ(readDestinations(file).entries, entries);
    EXPECT_TRUE(readDestinations(file).problems.empty());

    // A bad entry or a repeat leaves the file as it was.
    EXPECT_THROW(writeDestinations(file, {"good", "not good"}), LanyxError);
    EXPECT_THROW(writeDestinations(file, {"same", "SAME"}), LanyxError);
    EXPECT_EQ(readDestinations(file).entries, entries);
    std::filesystem::remove_all(dir);
}

TEST(Repeats, EchoesThroughEachInterfaceAreTakenOnce) {
    DuplicateFilter f;
    EXPECT_TRUE(f.admit("ann|M/\xDFhello", kEth0, 1000));
    EXPECT_FALSE(f.admit("ann|M/\xDFhello", kEth1, 1001));
    // A third path (a unicast copy beside the broadcasts) too.
    EXPECT_FALSE(f.admit("ann|M/\xDFhello", kEth0 << 32 | 0x0A000001u, 1002));
    // Other bytes are other datagrams.
    EXPECT_TRUE(f.admit("ann|M/\xDFhello!", kEth1, 1003));
    EXPECT_TRUE(f.admit("bob|M/\xDFhello", kEth1, 1003));
}

TEST(Repeats, AUsersDoubleMessageIsKeptInEveryOrderOfArrival) {
    const std::string ok = "ann|P/\xDFok|bob";
    {
        // Each sending through both interfaces before the next one.
        DuplicateFilter f;
        EXPECT_TRUE(f.admit(ok, kEth0, 10));
        EXPECT_FALSE(f.admit(ok, kEth1, 11));
        EXPECT_TRUE(f.admit(ok, kEth0, 12));
        EXPECT_FALSE(f.admit(ok, kEth1, 13));
    }
    {
        // Both through one interface first, then both through the other.
        DuplicateFilter f;
        EXPECT_TRUE(f.admit(ok, kEth0, 10));
        EXPECT_TRUE(f.admit(ok, kEth0, 11));
        EXPECT_FALSE(f.admit(ok, kEth1, 12));
        EXPECT_FALSE(f.admit(ok, kEth1, 13));
        // A third "ok" along either path is new again.
        EXPECT_TRUE(f.admit(ok, kEth1, 14));
    }
    {
        // Only one path: every copy is a sending.
        DuplicateFilter f;
        for (std::uint32_t t = 0; t < 5; ++t) EXPECT_TRUE(f.admit(ok, kEth0, t));
    }
    {
        // One copy of the first lost on eth0: still two shown in all.
        DuplicateFilter f;
        int shown = 0;
        shown += f.admit(ok, kEth0, 10);
        shown += f.admit(ok, kEth1, 11);
        shown += f.admit(ok, kEth1, 12);
        EXPECT_EQ(shown, 2);
    }
}

TEST(Repeats, TheWindowIsShortAndAFloodForgetsItsOldestFirst) {
    DuplicateFilter f;
    EXPECT_TRUE(f.admit("x", kEth0, 1000));
    // Long after, the same bytes along another path are a new sending.
    EXPECT_TRUE(f.admit("x", kEth1, 1000 + DuplicateFilter::kWindowMs + 1));
    // The clock wraps without harm.
    EXPECT_TRUE(f.admit("y", kEth0, 0xFFFFFFF0u));
    EXPECT_FALSE(f.admit("y", kEth1, 5));

    DuplicateFilter g;
    EXPECT_TRUE(g.admit("first", kEth0, 0));
    for (std::size_t i = 0; i < DuplicateFilter::kCapacity; ++i) g.admit("flood " + std::to_string(i), kEth0, 1);
    EXPECT_TRUE(g.admit("first", kEth1, 2));  // forgotten: taken again rather than lost
    EXPECT_FALSE(g.admit("flood " + std::to_string(DuplicateFilter::kCapacity - 1), kEth1, 2));
    g.clear();
    EXPECT_TRUE(g.admit("flood 5", kEth1, 3));
}

TEST(Remembered, SendersFromOtherSubnetsAreForgottenWithTheirLeaveAndBounded) {
    RememberedSenders r;
    const IpAddress branch = *typedIpv4("10.2.0.7");
    EXPECT_TRUE(r.heard(branch, "Ann"));
    EXPECT_FALSE(r.heard(branch, "bob"));  // a second copy on that computer
    r.left(branch, "ANN");
    EXPECT_EQ(r.addresses(), std::vector<IpAddress>{branch});  // bob is still there
    r.left(branch, "bob");
    EXPECT_TRUE(r.addresses().empty());
    r.left(branch, "bob");  // a repeated leave is harmless

    for (std::uint32_t i = 0; i < RememberedSenders::kMaxAddresses; ++i) r.heard(IpAddress::v4(0x0A030000u + i), "c");
    r.heard(IpAddress::v4(0x0A030000u), "c");  // heard again: the newest now
    EXPECT_TRUE(r.heard(branch, "ann"));
    EXPECT_EQ(r.size(), RememberedSenders::kMaxAddresses);
    const auto kept = r.addresses();
    EXPECT_NE(std::find(kept.begin(), kept.end(), IpAddress::v4(0x0A030000u)), kept.end());
    EXPECT_EQ(std::find(kept.begin(), kept.end(), IpAddress::v4(0x0A030001u)), kept.end());  // the oldest went

    // The names per address are bounded too.
    RememberedSenders s;
    for (std::size_t i = 0; i < 100; ++i) s.heard(branch, "n" + std::to_string(i));
    s.left(branch, "n0");
    EXPECT_EQ(s.size(), 1u);
}

TEST(Remembered, OnlyPrivateOrListedRangesOffOurSubnetsAreLearnt) {
    const auto ip = [](const char* t) { return *typedIpv4(t); };
    LocalNetwork eth0;
    eth0.address = ip("192.168.1.5");
    eth0.netmask = ip("255.255.255.0");
    const std::vector<LocalNetwork> local{eth0};
    for (const char* good :
         {"10.2.0.7", "172.16.0.1", "172.31.255.1", "192.168.2.9", "169.254.3.4", "100.64.0.1", "100.127.255.254"})
        EXPECT_TRUE(mayLearnSource(ip(good), local, {})) << good;
    for (const char* bad : {"192.168.1.9",  // our own subnet: broadcast reaches it
                            "8.8.8.8", "172.32.0.1", "172.15.255.1", "100.128.0.1", "192.169.0.1", "10.2.0.255",
                            "10.2.0.0",  // often some subnet's broadcast address
                            "127.0.0.1", "224.0.0.1", "255.255.255.255", "0.0.0.0"})
        EXPECT_FALSE(mayLearnSource(ip(bad), local, {})) << bad;
    // A range the user listed lets its addresses in, and only those.
    const auto r = parseRange("203.0.113.0/24");
    ASSERT_TRUE(r.range);
    EXPECT_TRUE(mayLearnSource(ip("203.0.113.7"), local, {*r.range}));
    EXPECT_TRUE(mayLearnSource(ip("203.0.113.255"), local, {*r.range}));
    EXPECT_FALSE(mayLearnSource(ip("203.0.114.7"), local, {*r.range}));
    EXPECT_FALSE(mayLearnSource(ip("127.0.0.1"), local, {*parseRange("127.0.0.0/8").range}));
}

TEST(Destinations, RangesStandInTheListAndBadOnesSayWhy) {
    EXPECT_FALSE(destinationProblem("10.20.0.0/16"));
    EXPECT_FALSE(destinationProblem("203.0.113.9/32"));
    EXPECT_EQ(*destinationProblem("10.20.0.1/16"), "host bits set (did you mean 10.20.0.0/16?)");
    EXPECT_TRUE(destinationProblem("0.0.0.0/0"));  // the whole Internet
    EXPECT_TRUE(destinationProblem("10.0.0.0/7"));
    for (const char* bad : {"10.0.0.0/33", "10.0.0.0/", "10.0.0/8", "10.0.0.0/8x", "host/8"})
        EXPECT_TRUE(destinationProblem(bad)) << bad;
    const auto list = parseDestinations("10.20.0.0/16\r\nbranch.example\r\n10.20.0.1/16\r\n");
    EXPECT_EQ(list.entries, (std::vector<std::string>{"10.20.0.0/16", "branch.example"}));
    EXPECT_EQ(list.problems.size(), 1u);
    EXPECT_EQ(parseRange("10.20.0.0/16").range->toString(), "10.20.0.0/16");
    EXPECT_FALSE(parseRange("10.20.0.1").range);
}

// On a network that came while running the copy announces itself as at its
// join, and sends no leave; while probing it says nothing under the probe name.
TEST(NewNetwork, TheCopyAnnouncesColourStatusAndJoinWithoutALeave) {
    lanyx::test::MemorySegment seg;
    lanyx::test::Peer ann(seg, "ann");
    ann.joinAs("ann");
    ann.node.settings().Colour = 255;
    ann.node.SetStatus(1);
    seg.deliverAll();
    ann.transport.sent.clear();
    ann.transport.joinNetwork();
    EXPECT_EQ(ann.transport.sent,
              (std::vector<std::string>{"ann|C/255", "ann|S/1", "ann|M/ann has joined the network"}));

    lanyx::test::Peer bob(seg, "bob");
    bob.node.readSettings();
    bob.node.state().ProbeMode = true;
    bob.node.state().MyName = "_bob";
    bob.node.OpenNetwork();
    bob.transport.sent.clear();
    bob.transport.joinNetwork();
    EXPECT_TRUE(bob.transport.sent.empty());
    bob.node.CloseNetwork();
    bob.transport.sent.clear();
    bob.transport.joinNetwork();  // closed: nothing either
    EXPECT_TRUE(bob.transport.sent.empty());
}

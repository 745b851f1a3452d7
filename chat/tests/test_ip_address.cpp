#include "IpAddress.h"

#include <gtest/gtest.h>

#include <unordered_set>

using namespace lanyx;
using Spelling = IpAddress::Spelling;

TEST(IpAddress, ReadsEitherFamilyAndWritesOneFormEach) {
    // The text, as written back after the strict and after the lenient reader (nullptr: refused).
    const struct {
        const char *text, *exact, *typed;
    } cases[] = {
        {"10.0.0.7", "10.0.0.7", "10.0.0.7"},
        {"0.0.0.0", "0.0.0.0", "0.0.0.0"},
        {"255.255.255.255", "255.255.255.255", "255.255.255.255"},
        // Leading zeros: never from a peer, as ever from a user.
        {"010.0.0.1", nullptr, "10.0.0.1"},
        {"001.002.003.004", nullptr, "1.2.3.4"},
        {"0001.2.3.4", nullptr, nullptr},
        {"256.0.0.1", nullptr, nullptr},
        {"1.2.3", nullptr, nullptr},
        {"1.2.3.4.", nullptr, nullptr},
        {" 1.2.3.4", nullptr, nullptr},
        {"1.2.3.4 ", nullptr, nullptr},
        {"0x1.2.3.4", nullptr, nullptr},
        {"", nullptr, nullptr},
        // IPv6: the longest zero run shortened, the first of equals; lower case.
        {"::", "::", "::"},
        {"::1", "::1", "::1"},
        {"1::", "1::", "1::"},
        {"FE80:0:0:0:0:0:0:1", "fe80::1", "fe80::1"},
        {"2001:db8:0:0:1:0:0:1", "2001:db8::1:0:0:1", "2001:db8::1:0:0:1"},
        {"2001:0db8:0000:0001:0000:0000:0000:0001", "2001:db8:0:1::1", "2001:db8:0:1::1"},
        {"::ffff:192.168.1.2", "::ffff:192.168.1.2", "::ffff:192.168.1.2"},
        {"::ffff:c0a8:102", "::ffff:192.168.1.2", "::ffff:192.168.1.2"},
        {"::ffff:010.0.0.1", nullptr, nullptr},
        {"1::2::3", nullptr, nullptr},
        {":1::2", nullptr, nullptr},
        {"1::2:", nullptr, nullptr},
        {"1:2:3:4:5:6:7::8", nullptr, nullptr},
        {"12345::1", nullptr, nullptr},
        {"fe80::1%eth0", nullptr, nullptr},
        {"[::1]", nullptr, nullptr},
        {"1.2.3.4::", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto exact = IpAddress::parse(c.text);
        const auto typed = IpAddress::parse(c.text, Spelling::LeadingZeros);
        EXPECT_EQ(exact ? exact->toString() : "-", c.exact ? c.exact : "-");
        EXPECT_EQ(typed ? typed->toString() : "-", c.typed ? c.typed : "-");
        if (typed) {
            EXPECT_EQ(IpAddress::parse(typed->toString()), typed);
        }
    }
}

TEST(IpAddress, HostOrderNumbersAndFamilies) {
    EXPECT_EQ(IpAddress::parseV4("10.1.2.3")->toV4(), 0x0A010203u);
    EXPECT_EQ(IpAddress::v4(0x0A010203u), IpAddress::parse("10.1.2.3"));
    EXPECT_FALSE(IpAddress::parseV4("::1"));  // the wire carries IPv4 alone
    EXPECT_EQ(IpAddress::parse("::1")->toV4(), 0u);
    EXPECT_FALSE(IpAddress{});
    EXPECT_NE(IpAddress{}, IpAddress::v4(0));  // not known is not 0.0.0.0
    // The IPv4 address and the IPv6 one mapped from it are two addresses.
    EXPECT_NE(IpAddress::parse("1.2.3.4"), IpAddress::parse("::ffff:1.2.3.4"));
    EXPECT_NE(IpAddress::parse("0.0.0.0"), IpAddress::parse("::"));
    std::unordered_set<IpAddress> set{IpAddress::v4(1), IpAddress::v4(1), *IpAddress::parse("::1")};
    EXPECT_EQ(set.size(), 2u);
    EXPECT_TRUE(IpAddress::v4(0x7F000105u).isLoopback());
    EXPECT_TRUE(IpAddress::parse("::1")->isLoopback());
}

TEST(IpSubnet, HoldsTheAddressesOfItsFamilyWithItsLeadingBits) {
    struct Case {
        const char* address;
        int prefix;
        const char* other;
        bool holds;
    };
    const Case cases[] = {
        {"10.20.30.40", 16, "10.20.0.0", true},
        {"10.20.30.40", 16, "10.21.0.1", false},
        {"10.20.30.40", 32, "10.20.30.40", true},
        {"10.20.30.40", 32, "10.20.30.41", false},
        {"10.20.30.40", 0, "200.1.1.1", true},
        {"10.20.30.40", 0, "::1", false},
        {"192.168.1.130", 25, "192.168.1.129", true},
        {"192.168.1.130", 25, "192.168.1.127", false},
        {"fe80::1:2", 64, "fe80::9", true},
        {"fe80::1:2", 64, "fe80:0:0:1::9", false},
        {"2001:db8::", 33, "2001:db8:7fff::", true},
        {"2001:db8::", 33, "2001:db8:8000::", false},
        {"::1", 128, "::1", true},
        {"1.2.3.4", 8, "::ffff:1.2.3.4", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address) + "/" + std::to_string(c.prefix) + " " + c.other);
        const auto subnet = IpSubnet::of(*IpAddress::parse(c.address), c.prefix);
        EXPECT_EQ(subnet.contains(*IpAddress::parse(c.other)), c.holds);
        EXPECT_TRUE(subnet.contains(*IpAddress::parse(c.address)));
    }
    EXPECT_EQ(IpSubnet::of(*IpAddress::parse("10.20.30.40"), 12).toString(), "10.16.0.0/12");
    EXPECT_EQ(IpSubnet::of(*IpAddress::parse("2001:db8:1:2::5"), 48).toString(), "2001:db8:1::/48");
    EXPECT_FALSE(IpSubnet{}.contains(IpAddress::v4(1)));
    // A netmask's prefix is its leading ones alone.
    EXPECT_EQ(prefixLength(*IpAddress::parse("255.255.240.0")), 20);
    EXPECT_EQ(prefixLength(*IpAddress::parse("0.0.0.0")), 0);
    EXPECT_EQ(prefixLength(*IpAddress::parse("255.255.255.255")), 32);
    EXPECT_EQ(prefixLength(*IpAddress::parse("ffff:ffff:ffff:ffff::")), 64);
    EXPECT_EQ(prefixLength(*IpAddress::parse("255.0.255.0")), 8);
}

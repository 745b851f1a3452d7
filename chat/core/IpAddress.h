#pragma once
// One address of either family, for every layer that names a host: where a
// datagram came from, where a file offer may be answered, the networks a
// copy sends to. One reader, one writer and one subnet test, so that a
// second family is work in the transport and the offers alone.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lanyx {

class IpAddress {
public:
    enum class Family : std::uint8_t { None, V4, V6 };
    // How a dotted IPv4 text may be spelt. A peer's copy writes each part
    // without leading zeros, so a text that has them is not one of ours
    // and stays refused (Exact). The list of extra destinations has always
    // taken what people type, "010.000.000.001" among it (LeadingZeros:
    // still up to three digits a part, each part read in decimal). IPv6
    // texts read the same either way.
    enum class Spelling : std::uint8_t { Exact, LeadingZeros };

    // No address: the transport does not know where a datagram came from.
    constexpr IpAddress() = default;
    // From the 32-bit number in host order (10.0.0.7 is 0x0A000007).
    static constexpr IpAddress v4(std::uint32_t hostOrder) {
        IpAddress a;
        a.family_ = Family::V4;
        for (int i = 0; i < 4; ++i) a.bytes_[i] = static_cast<std::uint8_t>(hostOrder >> (24 - 8 * i));
        return a;
    }
    // From its 16 bytes in network order.
    static IpAddress v6(const std::array<std::uint8_t, 16>& bytes);

    // Dotted IPv4 or IPv6 text (no zone, no brackets, no blanks); nothing
    // when the text is not exactly one address.
    static std::optional<IpAddress> parse(std::string_view text, Spelling spelling = Spelling::Exact);
    // The same for IPv4 alone: what the wire and the network list carry
    // while the transport speaks IPv4 only.
    static std::optional<IpAddress> parseV4(std::string_view text, Spelling spelling = Spelling::Exact);

    Family family() const { return family_; }
    bool isV4() const { return family_ == Family::V4; }
    bool isV6() const { return family_ == Family::V6; }
    explicit operator bool() const { return family_ != Family::None; }
    // 32 or 128; 0 for no address.
    int bitCount() const;
    // Host order; 0 for an address of another family or none.
    std::uint32_t toV4() const;
    // Network order; an IPv4 address fills the first four.
    const std::array<std::uint8_t, 16>& bytes() const { return bytes_; }
    // The first `prefix` bits kept, the rest cleared (prefix within 0..bitCount()).
    IpAddress masked(int prefix) const;
    // 127.0.0.0/8 or ::1.
    bool isLoopback() const;

    // "10.0.0.7"; IPv6 in its shortest form ("fe80::1", "::ffff:10.0.0.7");
    // "" for no address.
    std::string toString() const;

    friend bool operator==(const IpAddress&, const IpAddress&) = default;

private:
    Family family_ = Family::None;
    std::array<std::uint8_t, 16> bytes_{};
};

// A range of addresses of one family by its leading bits: a subnet
// (10.1.0.0/16), a range the user listed, an interface's network.
struct IpSubnet {
    IpAddress base;  // the bits past `prefix` cleared
    int prefix = 0;
    // The subnet `prefix` bits long that holds `address`.
    static IpSubnet of(IpAddress address, int prefix);
    // Same family, same leading `prefix` bits; never an address of another family.
    bool contains(IpAddress address) const;
    // "10.20.0.0/16"
    std::string toString() const;
    friend bool operator==(const IpSubnet&, const IpSubnet&) = default;
};

// The leading one bits of a netmask (255.255.240.0 is 20).
int prefixLength(IpAddress netmask);

}  // namespace lanyx

template <> struct std::hash<lanyx::IpAddress> {
    std::size_t operator()(const lanyx::IpAddress& a) const noexcept {
        std::uint64_t h = 0xcbf29ce484222325ull ^ static_cast<std::uint64_t>(a.family());
        for (const auto b : a.bytes()) h = (h ^ b) * 0x100000001b3ull;
        return static_cast<std::size_t>(h ^ (h >> 32));
    }
};

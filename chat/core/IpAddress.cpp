#include "IpAddress.h"

#include <vector>

namespace lanyx {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Four decimal parts of up to three digits, each at most 255.
std::optional<std::array<std::uint8_t, 4>> readDotted(std::string_view text, IpAddress::Spelling spelling) {
    std::array<std::uint8_t, 4> out{};
    std::size_t i = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (i >= text.size() || text[i] != '.') return std::nullopt;
            ++i;
        }
        const std::size_t start = i;
        unsigned v = 0;
        while (i < text.size() && isDigit(text[i])) {
            v = v * 10 + static_cast<unsigned>(text[i] - '0');
            if (i - start >= 3 || v > 255) return std::nullopt;
            ++i;
        }
        if (i == start) return std::nullopt;
        if (spelling == IpAddress::Spelling::Exact && i - start > 1 && text[start] == '0') return std::nullopt;
        out[static_cast<std::size_t>(part)] = static_cast<std::uint8_t>(v);
    }
    if (i != text.size()) return std::nullopt;
    return out;
}

// Groups of one to four hex digits, one "::" at most for a run of zero
// groups, and optionally a dotted IPv4 tail for the last 32 bits.
std::optional<std::array<std::uint8_t, 16>> readV6(std::string_view text) {
    if (text.size() < 2 || text.size() > 45) return std::nullopt;
    std::vector<std::uint16_t> head, tail;
    bool gap = false;
    std::size_t i = 0;
    if (text.substr(0, 2) == "::") {
        gap = true;
        i = 2;
    } else if (text[0] == ':') {
        return std::nullopt;
    }
    std::optional<std::array<std::uint8_t, 4>> v4;
    while (i < text.size()) {
        auto& groups = gap ? tail : head;
        std::size_t end = i;
        while (end < text.size() && hexValue(text[end]) >= 0) ++end;
        if (end < text.size() && text[end] == '.') {
            // The dotted tail ends the text.
            v4 = readDotted(text.substr(i), IpAddress::Spelling::Exact);
            if (!v4) return std::nullopt;
            i = text.size();
            break;
        }
        if (end == i || end - i > 4) return std::nullopt;
        unsigned v = 0;
        for (std::size_t k = i; k < end; ++k) v = v * 16 + static_cast<unsigned>(hexValue(text[k]));
        groups.push_back(static_cast<std::uint16_t>(v));
        i = end;
        if (i == text.size()) break;
        if (text[i] != ':') return std::nullopt;
        ++i;
        if (i < text.size() && text[i] == ':') {
            if (gap) return std::nullopt;
            gap = true;
            ++i;
        } else if (i == text.size()) {
            return std::nullopt;  // a single trailing colon
        }
    }
    const std::size_t groups = head.size() + tail.size() + (v4 ? 2 : 0);
    if (gap ? groups > 7 : groups != 8) return std::nullopt;
    std::array<std::uint8_t, 16> out{};
    std::size_t at = 0;
    for (const auto g : head) {
        out[at++] = static_cast<std::uint8_t>(g >> 8);
        out[at++] = static_cast<std::uint8_t>(g);
    }
    at = 16 - 2 * tail.size() - (v4 ? 4 : 0);
    for (const auto g : tail) {
        out[at++] = static_cast<std::uint8_t>(g >> 8);
        out[at++] = static_cast<std::uint8_t>(g);
    }
    if (v4)
        for (const auto b : *v4) out[at++] = b;
    return out;
}

std::string formatV4(const std::array<std::uint8_t, 16>& b, std::size_t from) {
    return std::to_string(b[from]) + "." + std::to_string(b[from + 1]) + "." + std::to_string(b[from + 2]) + "." +
           std::to_string(b[from + 3]);
}

}  // namespace

IpAddress IpAddress::v6(const std::array<std::uint8_t, 16>& bytes) {
    IpAddress a;
    a.family_ = Family::V6;
    a.bytes_ = bytes;
    return a;
}

std::optional<IpAddress> IpAddress::parseV4(std::string_view text, Spelling spelling) {
    const auto b = readDotted(text, spelling);
    if (!b) return std::nullopt;
    IpAddress a;
    a.family_ = Family::V4;
    for (std::size_t i = 0; i < 4; ++i) a.bytes_[i] = (*b)[i];
    return a;
}

std::optional<IpAddress> IpAddress::parse(std::string_view text, Spelling spelling) {
    if (text.find(':') == std::string_view::npos) return parseV4(text, spelling);
    const auto b = readV6(text);
    if (!b) return std::nullopt;
    return v6(*b);
}

int IpAddress::bitCount() const {
    switch (family_) {
    case Family::V4: return 32;
    case Family::V6: return 128;
    case Family::None: break;
    }
    return 0;
}

std::uint32_t IpAddress::toV4() const {
    if (!isV4()) return 0;
    return std::uint32_t{bytes_[0]} << 24 | std::uint32_t{bytes_[1]} << 16 | std::uint32_t{bytes_[2]} << 8 | bytes_[3];
}

IpAddress IpAddress::masked(int prefix) const {
    IpAddress out = *this;
    for (int i = 0; i < 16; ++i) {
        const int keep = prefix - 8 * i;
        auto& byte = out.bytes_[static_cast<std::size_t>(i)];
        if (keep <= 0) byte = 0;
        else if (keep < 8) byte = static_cast<std::uint8_t>(byte & (0xFF << (8 - keep)));
    }
    return out;
}

bool IpAddress::isLoopback() const {
    if (isV4()) return bytes_[0] == 127;
    return *this == v6({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
}

std::string IpAddress::toString() const {
    if (isV4()) return formatV4(bytes_, 0);
    if (!isV6()) return {};
    std::uint16_t g[8];
    for (std::size_t i = 0; i < 8; ++i) g[i] = static_cast<std::uint16_t>(bytes_[2 * i] << 8 | bytes_[2 * i + 1]);
    // An IPv4 address mapped into IPv6 reads as the IPv4 address it is.
    if (g[0] == 0 && g[1] == 0 && g[2] == 0 && g[3] == 0 && g[4] == 0 && g[5] == 0xFFFF)
        return "::ffff:" + formatV4(bytes_, 12);
    // The longest run of two or more zero groups, the first of equals, is left out.
    int bestAt = -1, bestLength = 1;
    for (int i = 0; i < 8;) {
        if (g[i] != 0) {
            ++i;
            continue;
        }
        int j = i;
        while (j < 8 && g[j] == 0) ++j;
        if (j - i > bestLength) {
            bestAt = i;
            bestLength = j - i;
        }
        i = j;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < 8; ++i) {
        if (i == bestAt) {
            out += "::";
            i += bestLength - 1;
            continue;
        }
        if (!out.empty() && out.back() != ':') out += ':';
        bool digits = false;
        for (int shift = 12; shift >= 0; shift -= 4) {
            const int d = (g[i] >> shift) & 0xF;
            if (d || digits || shift == 0) {
                out += kHex[d];
                digits = true;
            }
        }
    }
    return out;
}

IpSubnet IpSubnet::of(IpAddress address, int prefix) {
    return {address.masked(prefix), prefix};
}

bool IpSubnet::contains(IpAddress address) const {
    return address.family() == base.family() && address.masked(prefix) == base;
}

std::string IpSubnet::toString() const {
    return base.toString() + "/" + std::to_string(prefix);
}

int prefixLength(IpAddress netmask) {
    int n = 0;
    for (const auto b : netmask.bytes()) {
        for (int bit = 7; bit >= 0; --bit) {
            if (!(b >> bit & 1)) return n;
            ++n;
        }
    }
    return n;
}

}  // namespace lanyx

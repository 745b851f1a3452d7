#pragma once
// What the transfer tests share: a cheap digest, file contents, listings.
#include "FileOffer.h"
#include "ReceiveWriter.h"
#include "TransferCrypto.h"
#include "TransferSession.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace lanyx::test {

// A signing key pair made fresh for one test.
struct Keys {
    transfer::SigningKey secret;
    transfer::VerifyKey pub;
    Keys() { transfer::MakeSigningKey(secret, pub); }
};

// FNV-1a spread over 32 bytes: enough to tell a damaged file from a sound
// one, without the real digest's cost.
class TestDigest : public transfer::Digest {
public:
    void update(const unsigned char* data, std::size_t size) override {
        for (std::size_t i = 0; i < size; ++i) h_ = (h_ ^ data[i]) * 1099511628211ull;
    }
    Value final() override {
        Value v{};
        for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<unsigned char>(h_ >> ((i % 8) * 8));
        return v;
    }

private:
    std::uint64_t h_ = 1469598103934665603ull;
};

inline transfer::DigestFactory testDigests() {
    return [] { return std::make_unique<TestDigest>(); };
}

inline transfer::Digest::Value digestOf(const std::string& bytes) {
    TestDigest d;
    d.update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return d.final();
}

// Bytes that differ from one offset and one seed to the next.
inline std::string pattern(std::size_t size, unsigned seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7919 + seed) >> 5);
    return s;
}

// Everything below `dir`, relative, sorted.
inline std::vector<std::string> listing(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
        names.push_back(e.path().lexically_relative(dir).generic_string());
    std::sort(names.begin(), names.end());
    return names;
}

inline transfer::Offer offerOf(const transfer::LocalSelection& sel, std::uint16_t port = 40000) {
    return transfer::OfferFor(sel, port);
}

}  // namespace lanyx::test

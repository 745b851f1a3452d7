#include "TransferCrypto.h"

#include "Crypto.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace lanyx::transfer {

namespace {

constexpr std::size_t kHello = crypto_kx_PUBLICKEYBYTES + crypto_sign_BYTES;

void ensureSodium() {
    if (!crypto::available()) throw std::runtime_error("libsodium cannot start");
}

std::string_view bytes(const unsigned char* p, std::size_t n) {
    return {reinterpret_cast<const char*>(p), n};
}

std::string transcript(const char* label, const std::string& id, const unsigned char* a, const unsigned char* b) {
    std::string t(label);
    t += '\0';
    t += id;
    t.append(reinterpret_cast<const char*>(a), 32);
    if (b) t.append(reinterpret_cast<const char*>(b), 32);
    return t;
}

class Blake2b : public Digest {
public:
    Blake2b() { crypto_generichash_init(&state_, nullptr, 0, 32); }
    void update(const unsigned char* data, std::size_t size) override {
        crypto_generichash_update(&state_, data, size);
    }
    Value final() override {
        Value v{};
        crypto_generichash_final(&state_, v.data(), v.size());
        return v;
    }

private:
    crypto_generichash_state state_;
};

// Frames sealed in order with XChaCha20-Poly1305 (libsodium's secret
// stream); the stream's header rides in front of the first frame.
class StreamCipher : public FrameCipher {
public:
    StreamCipher(const std::array<unsigned char, 32>& tx, const std::array<unsigned char, 32>& rx) : rx_(rx) {
        std::string header(crypto_secretstream_xchacha20poly1305_HEADERBYTES, '\0');
        crypto_secretstream_xchacha20poly1305_init_push(&push_, reinterpret_cast<unsigned char*>(header.data()), tx.data());
        header_ = std::move(header);
    }
    ~StreamCipher() override {
        sodium_memzero(&push_, sizeof push_);
        sodium_memzero(&pull_, sizeof pull_);
        sodium_memzero(rx_.data(), rx_.size());
    }
    std::string seal(std::string_view plain) override {
        std::string out = std::exchange(header_, {});
        const auto at = out.size();
        out.resize(at + plain.size() + crypto_secretstream_xchacha20poly1305_ABYTES);
        crypto_secretstream_xchacha20poly1305_push(&push_, reinterpret_cast<unsigned char*>(out.data() + at), nullptr,
                                                   reinterpret_cast<const unsigned char*>(plain.data()), plain.size(),
                                                   nullptr, 0, crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
        return out;
    }
    std::optional<std::string> open(std::string_view sealed) override {
        if (!pulling_) {
            if (sealed.size() < crypto_secretstream_xchacha20poly1305_HEADERBYTES) return std::nullopt;
            if (crypto_secretstream_xchacha20poly1305_init_pull(
                    &pull_, reinterpret_cast<const unsigned char*>(sealed.data()), rx_.data()) != 0)
                return std::nullopt;
            sealed.remove_prefix(crypto_secretstream_xchacha20poly1305_HEADERBYTES);
            pulling_ = true;
        }
        if (sealed.size() < crypto_secretstream_xchacha20poly1305_ABYTES) return std::nullopt;
        std::string out(sealed.size() - crypto_secretstream_xchacha20poly1305_ABYTES, '\0');
        unsigned char tag = 0;
        if (crypto_secretstream_xchacha20poly1305_pull(&pull_, reinterpret_cast<unsigned char*>(out.data()), nullptr,
                                                       &tag, reinterpret_cast<const unsigned char*>(sealed.data()),
                                                       sealed.size(), nullptr, 0) != 0 ||
            tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE)
            return std::nullopt;
        return out;
    }
    std::size_t overhead() const override {
        return crypto_secretstream_xchacha20poly1305_ABYTES + crypto_secretstream_xchacha20poly1305_HEADERBYTES;
    }

private:
    crypto_secretstream_xchacha20poly1305_state push_{}, pull_{};
    std::array<unsigned char, 32> rx_;
    std::string header_;
    bool pulling_ = false;
};

} // namespace

void MakeSigningKey(SigningKey& secret, VerifyKey& pub) {
    ensureSodium();
    auto keys = crypto::SigningKeysFromSeed(crypto::RandomBytes(crypto::kSignSeedBytes));
    if (!keys) throw std::runtime_error("cannot make a signing key");
    std::copy(keys->secretKey.begin(), keys->secretKey.end(), secret.begin());
    std::copy(keys->publicKey.begin(), keys->publicKey.end(), pub.begin());
    crypto::Wipe(keys->secretKey);
}

DigestFactory Blake2bDigests() {
    ensureSodium();
    return [] { return std::make_unique<Blake2b>(); };
}

ConnectionHandshake::ConnectionHandshake(Role role, std::string transferId, SigningKey own, VerifyKey peer)
    : role_(role), id_(std::move(transferId)), own_(own), peer_(peer) {
    ensureSodium();
    crypto_kx_keypair(ephPub_.data(), ephSecret_.data());
}

ConnectionHandshake::~ConnectionHandshake() {
    sodium_memzero(own_.data(), own_.size());
    sodium_memzero(ephSecret_.data(), ephSecret_.size());
    sodium_memzero(rx_.data(), rx_.size());
    sodium_memzero(tx_.data(), tx_.size());
}

std::string ConnectionHandshake::start() {
    if (role_ != Role::Receiver) return {};
    auto t = transcript("lanyx-xfer-1 R", id_, ephPub_.data(), nullptr);
    return std::string(bytes(ephPub_.data(), ephPub_.size())) + crypto::Sign(t, bytes(own_.data(), own_.size()));
}

ConnectionHandshake::Step ConnectionHandshake::consume(std::string& buffer, std::string& reply) {
    if (done_) return Step::Done;
    if (!error_.empty()) return Step::Failed;
    if (buffer.size() < kHello) return Step::NeedMore;
    std::memcpy(peerEph_.data(), buffer.data(), peerEph_.size());
    const std::string sig = buffer.substr(peerEph_.size(), crypto_sign_BYTES);
    const auto t = role_ == Role::Sender ? transcript("lanyx-xfer-1 R", id_, peerEph_.data(), nullptr)
                                         : transcript("lanyx-xfer-1 S", id_, peerEph_.data(), ephPub_.data());
    buffer.erase(0, kHello);
    if (!crypto::Verify(t, sig, bytes(peer_.data(), peer_.size()))) {
        error_ = "the other side's key is not the one known for it";
        return Step::Failed;
    }
    int kx = role_ == Role::Receiver
                 ? crypto_kx_client_session_keys(rx_.data(), tx_.data(), ephPub_.data(), ephSecret_.data(), peerEph_.data())
                 : crypto_kx_server_session_keys(rx_.data(), tx_.data(), ephPub_.data(), ephSecret_.data(), peerEph_.data());
    if (kx != 0) {
        error_ = "the other side sent an unusable key";
        return Step::Failed;
    }
    if (role_ == Role::Sender) {
        auto mine = transcript("lanyx-xfer-1 S", id_, ephPub_.data(), peerEph_.data());
        reply = std::string(bytes(ephPub_.data(), ephPub_.size())) + crypto::Sign(mine, bytes(own_.data(), own_.size()));
    }
    done_ = true;
    return Step::Done;
}

std::unique_ptr<FrameCipher> ConnectionHandshake::cipher() {
    if (!done_) return nullptr;
    return std::make_unique<StreamCipher>(tx_, rx_);
}

} // namespace lanyx::transfer

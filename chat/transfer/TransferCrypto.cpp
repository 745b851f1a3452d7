#include "TransferCrypto.h"

#include "Crypto.h"

#include <sodium.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace lanyx::transfer {

namespace {

void ensureSodium() {
    if (!crypto::available()) throw std::runtime_error("libsodium cannot start");
}

std::string_view bytes(const unsigned char* p, std::size_t n) {
    return {reinterpret_cast<const char*>(p), n};
}

// Hashes for digests on a thread of its own, so that reading, sealing and
// writing go on meanwhile. What waits is bounded: update() holds the caller
// back while more than kQueued bytes are queued.
class DigestWorker {
public:
    static constexpr std::size_t kQueued = 8u << 20;

    struct Pending {
        crypto_generichash_state* state;
        std::size_t jobs = 0;
    };

    ~DigestWorker() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    void push(Pending& owner, const unsigned char* data, std::size_t size) {
        std::string copy(reinterpret_cast<const char*>(data), size);
        std::unique_lock lock(mutex_);
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
        done_.wait(lock, [&] { return queued_ < kQueued; });
        queued_ += size;
        ++owner.jobs;
        jobs_.push_back({&owner, std::move(copy)});
        wake_.notify_one();
    }
    // Waits until everything queued for `owner` is hashed.
    void drain(Pending& owner) {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return owner.jobs == 0; });
    }
    bool idle(const Pending& owner) {
        std::lock_guard lock(mutex_);
        return owner.jobs == 0;
    }

private:
    struct Job {
        Pending* owner;
        std::string data;
    };
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            Job job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            crypto_generichash_update(job.owner->state, reinterpret_cast<const unsigned char*>(job.data.data()),
                                      job.data.size());
            lock.lock();
            queued_ -= job.data.size();
            --job.owner->jobs;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::deque<Job> jobs_;
    std::size_t queued_ = 0;
    bool stop_ = false;
    std::thread thread_;
};

class Blake2b : public Digest {
public:
    explicit Blake2b(std::shared_ptr<DigestWorker> worker) : worker_(std::move(worker)) {
        crypto_generichash_init(&state_, nullptr, 0, 32);
        pending_.state = &state_;
    }
    ~Blake2b() override {
        if (worker_) worker_->drain(pending_);
    }
    void update(const unsigned char* data, std::size_t size) override {
        if (worker_ && (size >= kDigestHandOver || !worker_->idle(pending_))) worker_->push(pending_, data, size);
        else crypto_generichash_update(&state_, data, size);
    }
    Value final() override {
        if (worker_) worker_->drain(pending_);
        Value v{};
        crypto_generichash_final(&state_, v.data(), v.size());
        return v;
    }

private:
    crypto_generichash_state state_;
    std::shared_ptr<DigestWorker> worker_;
    DigestWorker::Pending pending_{};
};

// Frames sealed in order with XChaCha20-Poly1305 (libsodium's secret
// stream); the stream's header rides in front of the first frame.
class StreamCipher : public FrameCipher {
public:
    StreamCipher(const std::array<unsigned char, 32>& tx, const std::array<unsigned char, 32>& rx) : rx_(rx) {
        std::string header(crypto_secretstream_xchacha20poly1305_HEADERBYTES, '\0');
        crypto_secretstream_xchacha20poly1305_init_push(&push_, reinterpret_cast<unsigned char*>(header.data()),
                                                        tx.data());
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
            if (crypto_secretstream_xchacha20poly1305_init_pull(&pull_,
                                                                reinterpret_cast<const unsigned char*>(sealed.data()),
                                                                rx_.data()) != 0)
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

// Frames sealed with AES-256-GCM. Each direction has a key of its own for
// this connection only, and the nonce is the frame's number in that
// direction (never sent): a frame opens only at its place in the order, and
// no key and nonce are ever used twice.
class GcmCipher : public FrameCipher {
public:
    static constexpr std::size_t kTag = crypto_aead_aes256gcm_ABYTES;

    GcmCipher(const std::array<unsigned char, 32>& tx, const std::array<unsigned char, 32>& rx)
        : push_(std::make_unique<crypto_aead_aes256gcm_state>()),
          pull_(std::make_unique<crypto_aead_aes256gcm_state>()) {
        static_assert(crypto_aead_aes256gcm_KEYBYTES == 32);
        crypto_aead_aes256gcm_beforenm(push_.get(), tx.data());
        crypto_aead_aes256gcm_beforenm(pull_.get(), rx.data());
    }
    ~GcmCipher() override {
        sodium_memzero(push_.get(), sizeof *push_);
        sodium_memzero(pull_.get(), sizeof *pull_);
    }
    std::string seal(std::string_view plain) override {
        std::string out(plain);
        sealTail(out, 0);
        return out;
    }
    void sealTail(std::string& buffer, std::size_t from) override {
        const auto n = buffer.size() - from;
        buffer.resize(buffer.size() + kTag);
        auto* p = reinterpret_cast<unsigned char*>(buffer.data() + from);
        const auto nonce = nextNonce(sent_);
        crypto_aead_aes256gcm_encrypt_detached_afternm(p, p + n, nullptr, p, n, nullptr, 0, nullptr, nonce.data(),
                                                       push_.get());
    }
    std::optional<std::string> open(std::string_view sealed) override {
        std::string out(sealed);
        auto n = openInPlace(out.data(), out.size());
        if (!n) return std::nullopt;
        out.resize(*n);
        return out;
    }
    std::optional<std::size_t> openInPlace(char* data, std::size_t size) override {
        if (size < kTag || opened_ == kLast) return std::nullopt;
        auto* p = reinterpret_cast<unsigned char*>(data);
        auto nonce = nonceOf(opened_);
        if (crypto_aead_aes256gcm_decrypt_detached_afternm(p, nullptr, p, size - kTag, p + size - kTag, nullptr, 0,
                                                           nonce.data(), pull_.get()) != 0)
            return std::nullopt;
        ++opened_;
        return size - kTag;
    }
    std::size_t overhead() const override { return kTag; }

private:
    using Nonce = std::array<unsigned char, crypto_aead_aes256gcm_NPUBBYTES>;
    static constexpr std::uint64_t kLast = ~std::uint64_t{0};

    static Nonce nonceOf(std::uint64_t n) {
        Nonce nonce{};
        for (int i = 0; i < 8; ++i) nonce[static_cast<std::size_t>(i)] = static_cast<unsigned char>(n >> (8 * i));
        return nonce;
    }
    static Nonce nextNonce(std::uint64_t& counter) {
        // 2^64 frames will not come; were they to, stop rather than repeat.
        if (counter == kLast) throw std::runtime_error("too many frames on one connection");
        return nonceOf(counter++);
    }

    // libsodium wants these aligned; new gives them their alignment.
    std::unique_ptr<crypto_aead_aes256gcm_state> push_, pull_;
    std::uint64_t sent_ = 0, opened_ = 0;
};

// A file's check on one connection: Poly1305 under a key of that file and
// connection (a key is used for one file once). The tag travels sealed, so
// only the two ends ever see it.
class KeyedCheck : public Digest {
public:
    explicit KeyedCheck(const std::array<unsigned char, 32>& key) {
        static_assert(crypto_onetimeauth_KEYBYTES == 32 && crypto_onetimeauth_BYTES <= sizeof(Value));
        crypto_onetimeauth_init(&state_, key.data());
    }
    ~KeyedCheck() override { sodium_memzero(&state_, sizeof state_); }
    void update(const unsigned char* data, std::size_t size) override {
        crypto_onetimeauth_update(&state_, data, size);
    }
    Value final() override {
        Value v{};
        crypto_onetimeauth_final(&state_, v.data());
        return v;
    }

private:
    crypto_onetimeauth_state state_;
};

// A cipher whose connection also keys the files' checks.
class CheckedCipher : public FrameCipher {
public:
    CheckedCipher(std::unique_ptr<FrameCipher> inner, const std::array<unsigned char, 32>& key)
        : inner_(std::move(inner)), key_(key) {}
    ~CheckedCipher() override { sodium_memzero(key_.data(), key_.size()); }
    std::string seal(std::string_view plain) override { return inner_->seal(plain); }
    std::optional<std::string> open(std::string_view sealed) override { return inner_->open(sealed); }
    std::size_t overhead() const override { return inner_->overhead(); }
    void sealTail(std::string& buffer, std::size_t from) override { inner_->sealTail(buffer, from); }
    std::optional<std::size_t> openInPlace(char* data, std::size_t size) override {
        return inner_->openInPlace(data, size);
    }
    std::unique_ptr<Digest> fileCheck(std::size_t index) override {
        unsigned char number[8];
        for (int i = 0; i < 8; ++i)
            number[i] = static_cast<unsigned char>(static_cast<std::uint64_t>(index) >> (8 * i));
        std::array<unsigned char, 32> fileKey{};
        crypto_generichash(fileKey.data(), fileKey.size(), number, sizeof number, key_.data(), key_.size());
        auto check = std::make_unique<KeyedCheck>(fileKey);
        sodium_memzero(fileKey.data(), fileKey.size());
        return check;
    }

private:
    std::unique_ptr<FrameCipher> inner_;
    std::array<unsigned char, 32> key_;
};

}  // namespace

std::uint8_t LocalCiphers() {
    ensureSodium();
    return kCipherXChaCha20Stream | (crypto_aead_aes256gcm_is_available() ? kCipherAes256Gcm : 0);
}

std::uint8_t ChooseCipher(std::uint8_t offered, std::uint8_t own) {
    const std::uint8_t both = offered & own;
    if (both & kCipherAes256Gcm) return kCipherAes256Gcm;
    if (both & kCipherXChaCha20Stream) return kCipherXChaCha20Stream;
    return 0;
}

const char* CipherName(std::uint8_t cipher) {
    switch (cipher) {
    case kCipherAes256Gcm: return "AES-256-GCM";
    case kCipherXChaCha20Stream: return "XChaCha20-Poly1305";
    default: return "none";
    }
}

std::unique_ptr<FrameCipher> MakeFrameCipher(std::uint8_t cipher, const std::array<unsigned char, 32>& sealKey,
                                             const std::array<unsigned char, 32>& openKey,
                                             const std::array<unsigned char, 32>* checkKey) {
    ensureSodium();
    std::unique_ptr<FrameCipher> made;
    if (cipher == kCipherAes256Gcm && crypto_aead_aes256gcm_is_available())
        made = std::make_unique<GcmCipher>(sealKey, openKey);
    else if (cipher == kCipherXChaCha20Stream) made = std::make_unique<StreamCipher>(sealKey, openKey);
    if (made && checkKey) made = std::make_unique<CheckedCipher>(std::move(made), *checkKey);
    return made;
}

void MakeSigningKey(SigningKey& secret, VerifyKey& pub) {
    ensureSodium();
    auto keys = crypto::SigningKeysFromSeed(crypto::RandomBytes(crypto::kSignSeedBytes));
    if (!keys) throw std::runtime_error("cannot make a signing key");
    std::copy(keys->secretKey.begin(), keys->secretKey.end(), secret.begin());
    std::copy(keys->publicKey.begin(), keys->publicKey.end(), pub.begin());
    crypto::Wipe(keys->secretKey);
}

std::string SelectionFingerprint(const LocalSelection& selection) {
    ensureSodium();
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, 16);
    const auto add = [&](std::string_view part) {
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(part.data()), part.size());
    };
    add("lanyx-offer-same 1\n");
    add(FormatManifest(selection.entries));
    for (const auto& source : selection.sources) {
        std::error_code ec;
        const auto when = source.empty() ? std::filesystem::file_time_type{}
                                         : std::filesystem::last_write_time(source, ec);
        add(std::to_string(ec ? 0 : when.time_since_epoch().count()) + "\n");
    }
    unsigned char out[16];
    crypto_generichash_final(&state, out, sizeof out);
    static const char* hex = "0123456789abcdef";
    std::string text;
    for (auto b : out) {
        text += hex[b >> 4];
        text += hex[b & 15];
    }
    return text;
}

DigestFactory Blake2bDigests(bool ownThread) {
    ensureSodium();
    std::shared_ptr<DigestWorker> worker;
    if (ownThread) worker = std::make_shared<DigestWorker>();
    return [worker] { return std::make_unique<Blake2b>(worker); };
}

ConnectionHandshake::ConnectionHandshake(Role role, std::string transferId, SigningKey own, VerifyKey peer)
    : role_(role), id_(std::move(transferId)), own_(own), peer_(peer), ciphers_(LocalCiphers()) {
    crypto_kx_keypair(ephPub_.data(), ephSecret_.data());
}

ConnectionHandshake::~ConnectionHandshake() {
    sodium_memzero(own_.data(), own_.size());
    sodium_memzero(ephSecret_.data(), ephSecret_.size());
    sodium_memzero(rx_.data(), rx_.size());
    sodium_memzero(tx_.data(), tx_.size());
    sodium_memzero(check_.data(), check_.size());
    sodium_memzero(confirm_.data(), confirm_.size());
}

std::string ConnectionHandshake::start() {
    if (role_ != Role::Receiver) return {};
    offered_ = static_cast<std::uint8_t>(ciphers_ | (keyed_ ? kKeyedFileChecks : 0));
    return std::string(bytes(ephPub_.data(), ephPub_.size())) + static_cast<char>(offered_);
}

ConnectionHandshake::Step ConnectionHandshake::fail(std::string text) {
    error_ = std::move(text);
    return Step::Failed;
}

bool ConnectionHandshake::deriveKeys() {
    const auto& receiverEph = role_ == Role::Receiver ? ephPub_ : peerEph_;
    const auto& senderEph = role_ == Role::Receiver ? peerEph_ : ephPub_;
    int kx = role_ == Role::Receiver ? crypto_kx_client_session_keys(rx_.data(), tx_.data(), ephPub_.data(),
                                                                     ephSecret_.data(), peerEph_.data())
                                     : crypto_kx_server_session_keys(rx_.data(), tx_.data(), ephPub_.data(),
                                                                     ephSecret_.data(), peerEph_.data());
    sodium_memzero(ephSecret_.data(), ephSecret_.size());
    if (kx != 0) return false;
    // Both directions' keys, the receiver's first: the same on both sides.
    const auto& first = role_ == Role::Receiver ? tx_ : rx_;
    const auto& second = role_ == Role::Receiver ? rx_ : tx_;
    std::array<unsigned char, 64> both{};
    std::memcpy(both.data(), first.data(), 32);
    std::memcpy(both.data() + 32, second.data(), 32);
    const auto keyed = [&](std::string_view label, std::array<unsigned char, 32>& out) {
        crypto_generichash(out.data(), out.size(), reinterpret_cast<const unsigned char*>(label.data()), label.size(),
                           both.data(), both.size());
    };
    keyed("lanyx-file-check", check_);
    keyed("lanyx-xfer-4 confirm", confirm_);
    sodium_memzero(both.data(), both.size());
    // What both signatures and both proofs cover.
    VerifyKey ownPublic{};
    std::memcpy(ownPublic.data(), own_.data() + 32, ownPublic.size());  // an Ed25519 secret key ends with it
    const auto& receiverKey = role_ == Role::Receiver ? ownPublic : peer_;
    const auto& senderKey = role_ == Role::Receiver ? peer_ : ownPublic;
    transcript_ = transcriptOf(id_, receiverKey, senderKey, receiverEph, senderEph, offered_, chosen_);
    return true;
}

ConnectionHandshake::Hash ConnectionHandshake::transcriptOf(std::string_view transferId, const VerifyKey& receiver,
                                                            const VerifyKey& sender, const Hash& receiverFresh,
                                                            const Hash& senderFresh, std::uint8_t offered,
                                                            std::uint8_t chosen) {
    // Fixed-length parts after the id, which is the only one of its length.
    const std::string t = std::string("lanyx-xfer-4") + '\0' + std::string(transferId) + '\0' +
                          std::string(bytes(receiver.data(), receiver.size())) +
                          std::string(bytes(sender.data(), sender.size())) +
                          std::string(bytes(receiverFresh.data(), receiverFresh.size())) +
                          std::string(bytes(senderFresh.data(), senderFresh.size())) + static_cast<char>(offered) +
                          static_cast<char>(chosen);
    Hash out{};
    crypto_generichash(out.data(), out.size(), reinterpret_cast<const unsigned char*>(t.data()), t.size(), nullptr, 0);
    return out;
}

std::string ConnectionHandshake::signature(char side) const {
    std::string m = std::string("lanyx-xfer-4 ") + side + std::string(bytes(transcript_.data(), transcript_.size()));
    return crypto::Sign(m, bytes(own_.data(), own_.size()));
}

bool ConnectionHandshake::signedBy(char side, const std::string& sig) const {
    std::string m = std::string("lanyx-xfer-4 ") + side + std::string(bytes(transcript_.data(), transcript_.size()));
    return crypto::Verify(m, sig, bytes(peer_.data(), peer_.size()));
}

std::string ConnectionHandshake::proof(char side) const {
    std::string m(1, side);
    m += bytes(transcript_.data(), transcript_.size());
    std::string mac(crypto_auth_BYTES, '\0');
    static_assert(crypto_auth_KEYBYTES == 32);
    crypto_auth(reinterpret_cast<unsigned char*>(mac.data()), reinterpret_cast<const unsigned char*>(m.data()),
                m.size(), confirm_.data());
    return mac;
}

bool ConnectionHandshake::provenBy(char side, const std::string& mac) const {
    std::string m(1, side);
    m += bytes(transcript_.data(), transcript_.size());
    return mac.size() == crypto_auth_BYTES &&
           crypto_auth_verify(reinterpret_cast<const unsigned char*>(mac.data()),
                              reinterpret_cast<const unsigned char*>(m.data()), m.size(), confirm_.data()) == 0;
}

ConnectionHandshake::Step ConnectionHandshake::consume(std::string& buffer, std::string& reply) {
    if (done_) return Step::Done;
    if (!error_.empty()) return Step::Failed;
    constexpr std::size_t kFirst = crypto_kx_PUBLICKEYBYTES + 1;
    constexpr std::size_t kAnswer = crypto_kx_PUBLICKEYBYTES + 1 + crypto_sign_BYTES + crypto_auth_BYTES;
    constexpr std::size_t kLast = crypto_sign_BYTES + crypto_auth_BYTES;
    if (role_ == Role::Sender && !answered_) {
        // The receiver's fresh key and ciphers; it proves itself once it
        // has seen ours.
        if (buffer.size() < kFirst) return Step::NeedMore;
        std::memcpy(peerEph_.data(), buffer.data(), peerEph_.size());
        offered_ = static_cast<std::uint8_t>(buffer[peerEph_.size()]);
        buffer.erase(0, kFirst);
        chosen_ = ChooseCipher(offered_, ciphers_);
        if (chosen_ != 0 && keyed_ && (offered_ & kKeyedFileChecks)) chosen_ |= kKeyedFileChecks;
        if (!deriveKeys()) return fail("the other side sent an unusable key");
        // Signed also when nothing is in common, so the receiver can say so.
        reply = std::string(bytes(ephPub_.data(), ephPub_.size())) + static_cast<char>(chosen_) + signature('S') +
                proof('S');
        answered_ = true;
        if (chosen_ == 0) return fail("the other side has no cipher in common with this one");
        return Step::NeedMore;
    }
    if (role_ == Role::Sender) {
        if (buffer.size() < kLast) return Step::NeedMore;
        const std::string sig = buffer.substr(0, crypto_sign_BYTES);
        const std::string mac = buffer.substr(crypto_sign_BYTES, crypto_auth_BYTES);
        buffer.erase(0, kLast);
        if (!signedBy('R', sig)) return fail("the other side's key is not the one known for it");
        if (!provenBy('R', mac)) return fail("the other side does not hold this connection's keys");
        done_ = true;
        return Step::Done;
    }
    if (offered_ == 0) return fail("the handshake was not started");
    if (buffer.size() < kAnswer) return Step::NeedMore;
    std::memcpy(peerEph_.data(), buffer.data(), peerEph_.size());
    chosen_ = static_cast<std::uint8_t>(buffer[peerEph_.size()]);
    const std::string sig = buffer.substr(peerEph_.size() + 1, crypto_sign_BYTES);
    const std::string mac = buffer.substr(peerEph_.size() + 1 + crypto_sign_BYTES, crypto_auth_BYTES);
    buffer.erase(0, kAnswer);
    if (!deriveKeys()) return fail("the other side sent an unusable key");
    if (!signedBy('S', sig)) return fail("the other side's key is not the one known for it");
    if (!provenBy('S', mac)) return fail("the other side does not hold this connection's keys");
    if (const auto cipher = chosen();
        cipher == 0 || (chosen_ & offered_) != chosen_ || ChooseCipher(cipher, cipher) != cipher)
        return fail(cipher == 0 ? "the other side has no cipher in common with this one"
                                : "the other side chose a cipher that was not offered");
    reply = signature('R') + proof('R');
    done_ = true;
    return Step::Done;
}

std::unique_ptr<FrameCipher> ConnectionHandshake::cipher() {
    if (!done_) return nullptr;
    return MakeFrameCipher(chosen(), tx_, rx_, keyedChecks() ? &check_ : nullptr);
}

}  // namespace lanyx::transfer

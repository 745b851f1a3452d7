#include "Crypto.h"

#if LANYX_HAVE_SODIUM
#include <sodium.h>
#endif

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace lanyx::crypto {

#if LANYX_HAVE_SODIUM

namespace {

const unsigned char* u(std::string_view s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}
unsigned char* u(std::string& s) {
    return reinterpret_cast<unsigned char*>(s.data());
}

}  // namespace

bool available() {
    static const bool ok = sodium_init() >= 0;
    return ok;
}

std::string RandomBytes(std::size_t n) {
    std::string out(n, '\0');
    randombytes_buf(out.data(), n);
    return out;
}

std::optional<SigningKeys> SigningKeysFromSeed(std::string_view seed) {
    if (seed.size() != crypto_sign_SEEDBYTES) return std::nullopt;
    SigningKeys k{std::string(crypto_sign_PUBLICKEYBYTES, '\0'), std::string(crypto_sign_SECRETKEYBYTES, '\0')};
    if (crypto_sign_seed_keypair(u(k.publicKey), u(k.secretKey), u(seed)) != 0) return std::nullopt;
    return k;
}

std::string Sign(std::string_view message, std::string_view secretKey) {
    if (secretKey.size() != crypto_sign_SECRETKEYBYTES) throw std::invalid_argument("signing key size");
    std::string sig(crypto_sign_BYTES, '\0');
    crypto_sign_detached(u(sig), nullptr, u(message), message.size(), u(secretKey));
    return sig;
}

bool Verify(std::string_view message, std::string_view signature, std::string_view publicKey) {
    if (signature.size() != crypto_sign_BYTES || publicKey.size() != crypto_sign_PUBLICKEYBYTES) return false;
    return crypto_sign_verify_detached(u(signature), u(message), message.size(), u(publicKey)) == 0;
}

std::optional<std::string> BoxPublicFromSecret(std::string_view secret) {
    if (secret.size() != crypto_scalarmult_SCALARBYTES) return std::nullopt;
    std::string pub(crypto_scalarmult_BYTES, '\0');
    if (crypto_scalarmult_base(u(pub), u(secret)) != 0) return std::nullopt;
    return pub;
}

std::optional<std::string> SharedKey(std::string_view mySecret, std::string_view myPublic,
                                     std::string_view theirPublic) {
    if (mySecret.size() != kBoxSecretBytes || myPublic.size() != kBoxPublicBytes ||
        theirPublic.size() != kBoxPublicBytes)
        return std::nullopt;
    std::string point(crypto_scalarmult_BYTES, '\0');
    if (crypto_scalarmult(u(point), u(mySecret), u(theirPublic)) != 0) {
        Wipe(point);
        return std::nullopt;  // a low-order point: no shared secret
    }
    const auto [lo, hi] = std::minmax(myPublic, theirPublic);
    crypto_generichash_state st;
    std::string key(kKeyBytes, '\0');
    crypto_generichash_init(&st, nullptr, 0, key.size());
    crypto_generichash_update(&st, u(point), point.size());
    crypto_generichash_update(&st, u(lo), lo.size());
    crypto_generichash_update(&st, u(hi), hi.size());
    crypto_generichash_final(&st, u(key), key.size());
    Wipe(point);
    return key;
}

AgreementKeys NewAgreementKeys() {
    AgreementKeys k{std::string(crypto_box_PUBLICKEYBYTES, '\0'), std::string(crypto_box_SECRETKEYBYTES, '\0')};
    crypto_box_keypair(u(k.publicKey), u(k.secretKey));
    return k;
}

std::optional<PrivateKeys> DerivePrivateKeys(bool asSender, std::string_view myStaticSecret,
                                             std::string_view myStaticPublic, std::string_view myEphemeralSecret,
                                             std::string_view myEphemeralPublic, std::string_view theirStaticPublic,
                                             std::string_view theirEphemeralPublic) {
    for (const auto k : {myStaticSecret, myStaticPublic, myEphemeralSecret, myEphemeralPublic, theirStaticPublic,
                         theirEphemeralPublic})
        if (k.size() != kBoxPublicBytes) return std::nullopt;
    // Each point from this side's secret; es and se swap with the role.
    const std::string_view es[2] = {asSender ? myEphemeralSecret : myStaticSecret,
                                    asSender ? theirStaticPublic : theirEphemeralPublic};
    const std::string_view se[2] = {asSender ? myStaticSecret : myEphemeralSecret,
                                    asSender ? theirEphemeralPublic : theirStaticPublic};
    const std::string_view ee[2] = {myEphemeralSecret, theirEphemeralPublic};
    const std::string_view ss[2] = {myStaticSecret, theirStaticPublic};
    static constexpr std::string_view kLabel = "lanyx private v2";
    crypto_generichash_state st;
    std::string root(crypto_kdf_KEYBYTES, '\0');
    crypto_generichash_init(&st, nullptr, 0, root.size());
    crypto_generichash_update(&st, u(kLabel), kLabel.size());
    std::string point(crypto_scalarmult_BYTES, '\0');
    bool weak = false;
    for (const auto* pair : {es, se, ee, ss}) {
        if (crypto_scalarmult(u(point), u(pair[0]), u(pair[1])) != 0) weak = true;
        crypto_generichash_update(&st, u(point), point.size());
    }
    Wipe(point);
    const std::string_view senderStatic = asSender ? myStaticPublic : theirStaticPublic;
    const std::string_view senderEphemeral = asSender ? myEphemeralPublic : theirEphemeralPublic;
    const std::string_view recipientStatic = asSender ? theirStaticPublic : myStaticPublic;
    const std::string_view recipientEphemeral = asSender ? theirEphemeralPublic : myEphemeralPublic;
    for (const auto k : {senderStatic, senderEphemeral, recipientStatic, recipientEphemeral})
        crypto_generichash_update(&st, u(k), k.size());
    crypto_generichash_final(&st, u(root), root.size());
    sodium_memzero(&st, sizeof st);
    if (weak) {
        Wipe(root);
        return std::nullopt;  // a low-order point: no shared secret
    }
    static constexpr char kContext[crypto_kdf_CONTEXTBYTES] = {'L', 'a', 'n', 'y', 'x', 'P', 'M', '2'};
    PrivateKeys out{std::string(kKeyBytes, '\0'), std::string(kKeyBytes, '\0')};
    crypto_kdf_derive_from_key(u(out.message), out.message.size(), 1, kContext, u(root));
    crypto_kdf_derive_from_key(u(out.receipt), out.receipt.size(), 2, kContext, u(root));
    Wipe(root);
    return out;
}

std::string Seal(std::string_view key, std::string_view plaintext, std::string_view associated) {
    if (key.size() != kKeyBytes) throw std::invalid_argument("key size");
    std::string out(kNonceBytes + plaintext.size() + kTagBytes, '\0');
    randombytes_buf(out.data(), kNonceBytes);
    unsigned long long written = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(u(out) + kNonceBytes, &written, u(plaintext), plaintext.size(),
                                               u(associated), associated.size(), nullptr, u(out), u(key));
    out.resize(kNonceBytes + written);
    return out;
}

std::optional<std::string> Open(std::string_view key, std::string_view sealed, std::string_view associated) {
    if (key.size() != kKeyBytes || sealed.size() < kNonceBytes + kTagBytes) return std::nullopt;
    std::string out(sealed.size() - kNonceBytes - kTagBytes, '\0');
    unsigned long long written = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(u(out), &written, nullptr, u(sealed) + kNonceBytes,
                                                   sealed.size() - kNonceBytes, u(associated), associated.size(),
                                                   u(sealed), u(key)) != 0)
        return std::nullopt;
    out.resize(written);
    return out;
}

std::string Hash(std::string_view data) {
    std::string h(kHashBytes, '\0');
    crypto_generichash(u(h), h.size(), u(data), data.size(), nullptr, 0);
    return h;
}

std::string HashWide(std::string_view data) {
    std::string h(crypto_generichash_BYTES_MAX, '\0');
    crypto_generichash(u(h), h.size(), u(data), data.size(), nullptr, 0);
    return h;
}

std::string ToBase64(std::string_view bytes) {
    const auto variant = sodium_base64_VARIANT_ORIGINAL;
    std::string out(sodium_base64_ENCODED_LEN(bytes.size(), variant), '\0');
    sodium_bin2base64(out.data(), out.size(), u(bytes), bytes.size(), variant);
    out.resize(out.size() - 1);  // the terminating zero
    return out;
}

std::optional<std::string> FromBase64(std::string_view text) {
    std::string out(text.size() / 4 * 3 + 3, '\0');
    std::size_t len = 0;
    const char* end = nullptr;
    if (sodium_base642bin(u(out), out.size(), text.data(), text.size(), nullptr, &len, &end,
                          sodium_base64_VARIANT_ORIGINAL) != 0 ||
        end != text.data() + text.size())
        return std::nullopt;
    out.resize(len);
    return out;
}

void Wipe(std::string& secret) {
    if (!secret.empty()) sodium_memzero(secret.data(), secret.size());
    secret.clear();
}

#else  // without the library: a copy without keys

bool available() {
    return false;
}
std::string RandomBytes(std::size_t) {
    throw std::logic_error("no cryptography in this build");
}
std::optional<SigningKeys> SigningKeysFromSeed(std::string_view) {
    return std::nullopt;
}
std::string Sign(std::string_view, std::string_view) {
    throw std::logic_error("no cryptography in this build");
}
bool Verify(std::string_view, std::string_view, std::string_view) {
    return false;
}
std::optional<std::string> BoxPublicFromSecret(std::string_view) {
    return std::nullopt;
}
std::optional<std::string> SharedKey(std::string_view, std::string_view, std::string_view) {
    return std::nullopt;
}
AgreementKeys NewAgreementKeys() {
    throw std::logic_error("no cryptography in this build");
}
std::optional<PrivateKeys> DerivePrivateKeys(bool, std::string_view, std::string_view, std::string_view,
                                             std::string_view, std::string_view, std::string_view) {
    return std::nullopt;
}
std::string Seal(std::string_view, std::string_view, std::string_view) {
    throw std::logic_error("no cryptography in this build");
}
std::optional<std::string> Open(std::string_view, std::string_view, std::string_view) {
    return std::nullopt;
}
std::string Hash(std::string_view) {
    throw std::logic_error("no cryptography in this build");
}
std::string HashWide(std::string_view) {
    throw std::logic_error("no cryptography in this build");
}
std::string ToBase64(std::string_view) {
    return {};
}
std::optional<std::string> FromBase64(std::string_view) {
    return std::nullopt;
}
void Wipe(std::string& secret) {
    std::fill(secret.begin(), secret.end(), '\0');
    secret.clear();
}

#endif

std::string Fingerprint(std::string_view publicKey) {
    if (!available()) return {};
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto h = Hash(publicKey);
    std::string out;
    for (std::size_t i = 0; i < 10; ++i) {
        if (i > 0 && i % 2 == 0) out += ' ';
        const auto b = static_cast<unsigned char>(h[i]);
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

std::string SafetyNumber(std::string_view nameA, std::string_view signKeyA, std::string_view nameB,
                         std::string_view signKeyB) {
    if (!available()) return {};
    const auto lower = [](std::string_view n) {
        std::string s(n.substr(0, 255));
        for (auto& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    // Each side as length, name, key; the two in one order for both.
    std::string a = lower(nameA), b = lower(nameB);
    a = std::string(1, static_cast<char>(a.size())) + a + std::string(signKeyA);
    b = std::string(1, static_cast<char>(b.size())) + b + std::string(signKeyB);
    if (b < a) std::swap(a, b);
    const std::string input = std::string("Lanyx safety number 1", 22) + a + b;
    const auto digest = HashWide(input);
    std::string out;
    for (std::size_t g = 0; g < 12; ++g) {
        // 40 bits a group: the remainder by 100000 is as good as even.
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < 5; ++i) v = (v << 8) | static_cast<unsigned char>(digest[g * 5 + i]);
        const auto digits = std::to_string(100000 + v % 100000).substr(1);
        if (g > 0) out += ' ';
        out += digits;
    }
    return out;
}

}  // namespace lanyx::crypto

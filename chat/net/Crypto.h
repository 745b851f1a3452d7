#pragma once
// The one place the cryptographic library is called for datagrams; file
// transfers add only their stream cipher and key exchange (TransferCrypto)
// and sign through here. Everything here works on raw byte strings. Without
// the library (a build that could not have it) available() is false and
// nothing else may be called.
#include <optional>
#include <string>
#include <string_view>

namespace lanyx::crypto {

inline constexpr std::size_t kSignPublicBytes = 32;  // Ed25519
inline constexpr std::size_t kSignSeedBytes = 32;
inline constexpr std::size_t kSignatureBytes = 64;
inline constexpr std::size_t kBoxPublicBytes = 32;  // X25519
inline constexpr std::size_t kBoxSecretBytes = 32;
inline constexpr std::size_t kHashBytes = 32;  // BLAKE2b-256
inline constexpr std::size_t kKeyBytes = 32;   // XChaCha20-Poly1305
inline constexpr std::size_t kNonceBytes = 24;
inline constexpr std::size_t kTagBytes = 16;

// True when the library is built in and initialised.
bool available();

std::string RandomBytes(std::size_t n);

struct SigningKeys {
    std::string publicKey;  // 32 bytes
    std::string secretKey;  // 64 bytes (seed and public key)
};
// The key pair that belongs to a 32-byte seed; nothing for a seed of another size.
std::optional<SigningKeys> SigningKeysFromSeed(std::string_view seed);
std::string Sign(std::string_view message, std::string_view secretKey);
bool Verify(std::string_view message, std::string_view signature, std::string_view publicKey);

// The X25519 public key of a 32-byte secret.
std::optional<std::string> BoxPublicFromSecret(std::string_view secret);
// The key both sides of a pair derive: BLAKE2b over the X25519 shared point
// and both public keys in a fixed order. Nothing for a weak public key.
std::optional<std::string> SharedKey(std::string_view mySecret, std::string_view myPublic,
                                     std::string_view theirPublic);

// A fresh X25519 key pair (32-byte public and secret keys).
struct AgreementKeys {
    std::string publicKey;
    std::string secretKey;
};
AgreementKeys NewAgreementKeys();

// The keys of private messages between a sender I and a recipient R that
// each hold a static key pair (s) and an ephemeral one (e): BLAKE2b-256
// over the label "lanyx private v2", then X25519 of es = (e_I, s_R),
// se = (s_I, e_R), ee = (e_I, e_R), ss = (s_I, s_R) in that order, then
// the public keys s_I, e_I, s_R, e_R; from that root crypto_kdf derives the
// message key (subkey 1) and the receipt key (subkey 2) under the context
// "LanyxPM2". Either side computes them from its two secrets and the
// other's two public keys (`asSender` says which side it is). Whoever later
// holds both static secrets still lacks ee. Nothing for a weak public key.
struct PrivateKeys {
    std::string message;
    std::string receipt;
};
std::optional<PrivateKeys> DerivePrivateKeys(bool asSender, std::string_view myStaticSecret,
                                             std::string_view myStaticPublic, std::string_view myEphemeralSecret,
                                             std::string_view myEphemeralPublic, std::string_view theirStaticPublic,
                                             std::string_view theirEphemeralPublic);

// XChaCha20-Poly1305 with a random nonce: nonce || ciphertext || tag.
std::string Seal(std::string_view key, std::string_view plaintext, std::string_view associated);
std::optional<std::string> Open(std::string_view key, std::string_view sealed, std::string_view associated);

std::string Hash(std::string_view data);
// BLAKE2b with its longest output, 64 bytes.
std::string HashWide(std::string_view data);

// Standard base64 with padding (no "|" and no blank in it).
std::string ToBase64(std::string_view bytes);
std::optional<std::string> FromBase64(std::string_view text);

// A short form of a public key people can read to each other:
// "3F2A 91C0 7B44 E2D1 0A9C" (80 bits of its BLAKE2b hash).
std::string Fingerprint(std::string_view publicKey);

// What two users compare, read aloud or as a QR code, to know that each
// holds the other's key: twelve groups of five digits ("12345 67890 ..."),
// made with BLAKE2b from both user names (without regard to case) and both
// signing keys, the same whichever side computes it. Empty without the library.
std::string SafetyNumber(std::string_view nameA, std::string_view signKeyA, std::string_view nameB,
                         std::string_view signKeyB);

// Overwrites a secret before its memory is given back.
void Wipe(std::string& secret);

}  // namespace lanyx::crypto

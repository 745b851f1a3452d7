#pragma once
// The security of one transfer connection: both sides prove their identity
// keys (the keys the other side has pinned for them), agree on fresh keys
// for this connection only, and then every frame is sealed with
// authenticated encryption in order, so a changed, dropped, repeated or
// reordered frame does not open.
//
// Handshake, right after the line that names the transfer:
//   receiver -> sender  its fresh key-exchange key and the ciphers it can
//                       use (1 byte, a set of Cipher bits)
//   sender -> receiver  its fresh key, the cipher it chose (1 byte, 0: none
//                       in common), its signature over T and a MAC over T
//   receiver -> sender  its signature over T and a MAC over T
// T is a hash of the transfer id, both sides' identity keys (the
// receiver's first), both fresh keys and both bytes; the signatures are
// told apart by a label per side, and so are the MACs (HMAC-SHA-512-256
// under a key from this connection's keys). So each side proves its
// identity key for this connection and these keys only, and that it holds
// the connection's keys, before any frame, and both confirm the same pair
// of identities: a handshake recorded and played back cannot complete, and
// neither side can be made to take the connection for one with somebody
// else. Copies of earlier builds hashed no identity key (their greeting is
// refused, see TransferLinks.h).
// Each checks the signature against the identity key it holds for the other
// side, so neither the keys nor the choice of cipher can be changed on the
// way. Beside the ciphers the byte may carry kKeyedFileChecks: where both
// sides set it, each file is checked with Poly1305 under a key of its own
// from this connection's keys (files resumed on a later connection are
// read back under that connection's key); else with BLAKE2b. Connection keys come from the two fresh keys (X25519), so
// a later theft of an identity key does not open recorded transfers; each direction has a key of its own.
//
// Ciphers: AES-256-GCM where the processor has it built in (fast), with a
// nonce that counts the frames of the direction, and otherwise
// XChaCha20-Poly1305 as libsodium's secret stream. Either way a frame only
// opens at its place in the order, so a dropped, repeated or reordered frame
// ends the connection, and the protocol's final frames show a cut one.
#include "ReceiveWriter.h"
#include "TransferSession.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lanyx::transfer {

using SigningKey = std::array<unsigned char, 64>;  // Ed25519 secret key (with its public half)
using VerifyKey = std::array<unsigned char, 32>;   // Ed25519 public key

// A new signing key pair, for tests and tools that need one.
void MakeSigningKey(SigningKey& secret, VerifyKey& pub);

// The digest every transfer uses for its integrity check (BLAKE2b-256).
// Large pieces are hashed on a thread the digests of one factory share (not
// with `ownThread` false), so the caller goes on reading or writing; a
// digest's final() waits for its pieces.
DigestFactory Blake2bDigests(bool ownThread = true);
// Pieces smaller than this are hashed at once: handing them over would cost
// more than it saves (many small files).
inline constexpr std::size_t kDigestHandOver = 64 * 1024;

// What an offer of `selection` calls it (Offer::same): a hash of its list
// and of the times its files were last changed, so that the same files
// offered again after the sender started again are known for the same,
// and a file changed meanwhile is not.
std::string SelectionFingerprint(const LocalSelection& selection);

// The frame ciphers, as bits of the receiver's offer.
enum Cipher : std::uint8_t {
    kCipherXChaCha20Stream = 1,
    kCipherAes256Gcm = 2,
};
// Not a cipher: offered beside them, this bit says the side checks files
// with Poly1305 under a key of the connection (one key per file), much
// cheaper than the digests; when the sender echoes it, both do.
inline constexpr std::uint8_t kKeyedFileChecks = 0x40;
// The ciphers this computer can use (AES-256-GCM only where the processor
// has it).
std::uint8_t LocalCiphers();
// The cipher a sender picks from what both sides can; 0 when none.
std::uint8_t ChooseCipher(std::uint8_t offered, std::uint8_t own);
const char* CipherName(std::uint8_t cipher);

// A frame cipher on its own, from one key for sealing and one for opening
// (32 bytes each); nothing for a cipher this computer cannot use. With
// `checkKey` its fileCheck() gives Poly1305 checks keyed from it.
std::unique_ptr<FrameCipher> MakeFrameCipher(std::uint8_t cipher, const std::array<unsigned char, 32>& sealKey,
                                             const std::array<unsigned char, 32>& openKey,
                                             const std::array<unsigned char, 32>* checkKey = nullptr);

class ConnectionHandshake {
public:
    enum class Role { Receiver, Sender };
    enum class Step { NeedMore, Done, Failed };

    ConnectionHandshake(Role role, std::string transferId, SigningKey own, VerifyKey peer);
    ~ConnectionHandshake();
    // Limits the ciphers this side offers (receiver) or accepts (sender);
    // LocalCiphers() unless set. Before start()/consume().
    void setCiphers(std::uint8_t ciphers) { ciphers_ = ciphers; }
    // Whether this side offers (accepts) keyed file checks; it does unless
    // told otherwise.
    void setKeyedChecks(bool on) { keyed_ = on; }
    // After Done: the cipher both use, and whether files are checked with
    // keys of the connection.
    std::uint8_t chosen() const { return static_cast<std::uint8_t>(chosen_ & ~kKeyedFileChecks); }
    bool keyedChecks() const { return (chosen_ & kKeyedFileChecks) != 0; }
    // What the receiver sends first ("" for the sender, which answers).
    std::string start();
    // Takes handshake bytes from the front of `buffer` (leaving what follows
    // it); `reply` gets what to send back, also with NeedMore and Failed.
    Step consume(std::string& buffer, std::string& reply);
    // After Done: the connection's frame cipher.
    std::unique_ptr<FrameCipher> cipher();
    const std::string& error() const { return error_; }

    using Hash = std::array<unsigned char, 32>;
    // After Done: T, and this side's fresh key.
    const Hash& transcript() const { return transcript_; }
    const Hash& freshKey() const { return ephPub_; }
    // T from its parts.
    static Hash transcriptOf(std::string_view transferId, const VerifyKey& receiver, const VerifyKey& sender,
                             const Hash& receiverFresh, const Hash& senderFresh, std::uint8_t offered,
                             std::uint8_t chosen);

private:
    Step fail(std::string text);
    bool deriveKeys();
    std::string signature(char side) const;
    bool signedBy(char side, const std::string& sig) const;
    std::string proof(char side) const;
    bool provenBy(char side, const std::string& mac) const;

    Role role_;
    std::string id_;
    SigningKey own_;
    VerifyKey peer_;
    std::array<unsigned char, 32> ephPub_{}, ephSecret_{}, peerEph_{};
    std::array<unsigned char, 32> rx_{}, tx_{}, check_{}, confirm_{}, transcript_{};
    std::uint8_t ciphers_;
    bool keyed_ = true;
    std::uint8_t offered_ = 0, chosen_ = 0;
    bool answered_ = false;  // sender: its answer went out
    bool done_ = false;
    std::string error_;
};

}  // namespace lanyx::transfer

#pragma once
// The security of one transfer connection: both sides prove their identity
// keys (the keys the other side has pinned for them), agree on fresh keys
// for this connection only, and then every frame is sealed with
// authenticated encryption in order, so a changed, dropped, repeated or
// reordered frame does not open.
//
// Handshake, right after the line that names the transfer:
//   receiver -> sender  its fresh key-exchange key, and a signature over
//                       ("lanyx-xfer-1 R", transfer id, that key)
//   sender -> receiver  its fresh key, and a signature over
//                       ("lanyx-xfer-1 S", transfer id, its key, the receiver's)
// Each checks the signature against the identity key it holds for the other
// side. Connection keys come from the two fresh keys (X25519), so a later
// theft of an identity key does not open recorded transfers.
#include "ReceiveWriter.h"
#include "TransferSession.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace lanyx::transfer {

using SigningKey = std::array<unsigned char, 64>;   // Ed25519 secret key (with its public half)
using VerifyKey = std::array<unsigned char, 32>;    // Ed25519 public key

// A new signing key pair, for tests and tools that need one.
void MakeSigningKey(SigningKey& secret, VerifyKey& pub);

// The digest every transfer uses for its integrity check (BLAKE2b-256).
DigestFactory Blake2bDigests();

class ConnectionHandshake {
public:
    enum class Role { Receiver, Sender };
    enum class Step { NeedMore, Done, Failed };

    ConnectionHandshake(Role role, std::string transferId, SigningKey own, VerifyKey peer);
    ~ConnectionHandshake();
    // What the receiver sends first ("" for the sender, which answers).
    std::string start();
    // Takes handshake bytes from the front of `buffer` (leaving what follows
    // it); `reply` gets what to send back.
    Step consume(std::string& buffer, std::string& reply);
    // After Done: the connection's frame cipher.
    std::unique_ptr<FrameCipher> cipher();
    const std::string& error() const { return error_; }

private:
    Role role_;
    std::string id_;
    SigningKey own_;
    VerifyKey peer_;
    std::array<unsigned char, 32> ephPub_{}, ephSecret_{}, peerEph_{};
    std::array<unsigned char, 32> rx_{}, tx_{};
    bool done_ = false;
    std::string error_;
};

} // namespace lanyx::transfer

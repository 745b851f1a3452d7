#pragma once
// What our copies share over sealed private messages (files, shared chats,
// the next one) plugs into the node here: each brings its tag, the word it
// announces with our keys and what it does with what arrives. The node
// hands it only what the pinned key sent, verified, and keeps nothing of it.
#include "SecureLink.h"

#include "IpAddress.h"
#include "Message.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lanyx {

class Capability {
public:
    virtual ~Capability() = default;
    // What its messages begin with ("lanyx-files "): one tag, one capability.
    virtual std::string_view tag() const = 0;
    // The word announced with our keys ("files"); a peer takes its messages
    // once it announced the same word under its pinned key.
    virtual std::string_view word() const = 0;
    // `body` after the tag (UTF-8) from a sender whose pinned key sealed it;
    // `sourceV4` the address it came from (none when not known).
    // True when taken (the sender gets a receipt).
    virtual bool message(const std::string& sender, const std::string& body, IpAddress sourceV4) = 0;
    // What became of a message it sent (SendSealed).
    virtual void delivery(const DeliveryReport& /*report*/) {}
    // The key pinned for `from` announced itself as `to`, or our own user
    // took another name.
    virtual void renamed(const std::string& /*from*/, const std::string& /*to*/) {}
    // The user left the roster.
    virtual void left(const std::string& /*name*/) {}
    // A message that came, before it is shown and kept: what it claims of
    // itself that is the capability's to judge (a shared chat's lines are
    // its members') it may take back.
    virtual void vet(Message& /*message*/) const {}
    // Whether it keeps something under the name: a name kept is never
    // forgotten as one of a copy without keys.
    virtual bool holds(const std::string& /*name*/) const { return false; }
    // Whether the addresses its peers sign from are to be proven by a
    // challenge (it connects there).
    virtual bool provesSources() const { return false; }
    // The copy holding the key pinned for `name` answered a challenge at
    // `address` (told to capabilities that prove sources).
    virtual void sourceProven(const std::string& /*name*/, IpAddress /*address*/) {}
};

// Whether a user takes a capability's messages, and if not why: a code,
// which the programs put into words.
enum class Reach : std::uint8_t {
    Yes,
    NoKeysHere,   // this copy runs without keys
    NotHere,      // this copy has not plugged the capability in
    NotThere,     // the user's copy has no keys, or did not announce the word
    KeyChanged,   // another key was announced in place of the pinned one
    NameShared,   // a copy without keys uses the name too
    KeyNotHeard,  // the pinned key was not heard since the user was listed
};

}  // namespace lanyx

#pragma once
// The capabilities plugged into the node, in one table by tag and word, and
// the reports they await in one table by id: what the node dispatches a
// sealed message or a delivery report by.
#include "Capability.h"
#include "SecureLink.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lanyx {

class CapabilityHost {
public:
    // False when it was plugged in already.
    bool add(Capability& capability);
    // Out, with the reports it awaited; `link` (when there are keys) learns
    // which capability proves sources now.
    void remove(Capability& capability, SecureLink* link);
    // Announced with our keys: all, in the order of their words (the
    // announcement does not depend on the order they plugged in), or one.
    void announceAll(SecureLink& link) const;
    static void announce(SecureLink& link, const Capability& capability);

    Capability* byWord(std::string_view word) const;
    // Whether `name` takes the messages of the capability announced as `word`.
    Reach reach(const SecureLink* link, const std::string& name, std::string_view word) const;
    // Sealed to `recipient`: nothing when the capability is not here.
    std::optional<DeliveryReport> sendSealed(SecureLink& link, std::string_view word, const std::string& recipient,
                                             const std::string& body);
    // A sealed message that carries a capability's tag, from `sender`:
    // nothing when it carries none, else whether it was taken. Only what
    // the pinned key sent (`fromPinnedKey`) reaches the capability.
    std::optional<bool> message(const std::string& text, const std::string& sender, bool fromPinnedKey,
                                IpAddress source) const;
    // A report of what a capability sent: true when it went to it.
    bool delivery(const DeliveryReport& report);

    void left(const std::string& name) const;
    void vet(Message& message) const;
    void renamed(const std::string& from, const std::string& to) const;
    bool holds(const std::string& lowerName) const;
    void sourceProven(const std::string& name, IpAddress address) const;

private:
    std::vector<Capability*> list_;  // in the order they plugged in
    std::unordered_map<std::uint64_t, Capability*> reports_;
};

}  // namespace lanyx

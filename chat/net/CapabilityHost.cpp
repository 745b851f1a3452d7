#include "CapabilityHost.h"

#include "Text.h"

#include <algorithm>

namespace lanyx {

bool CapabilityHost::add(Capability& capability) {
    if (std::find(list_.begin(), list_.end(), &capability) != list_.end()) return false;
    list_.push_back(&capability);
    return true;
}

void CapabilityHost::remove(Capability& capability, SecureLink* link) {
    std::erase(list_, &capability);
    std::erase_if(reports_, [&](const auto& r) { return r.second == &capability; });
    if (link && capability.provesSources()) {
        const auto proving = std::find_if(list_.begin(), list_.end(), [](const auto* c) { return c->provesSources(); });
        link->setChallengeSources(proving == list_.end() ? std::string() : std::string((*proving)->word()));
    }
}

void CapabilityHost::announceAll(SecureLink& link) const {
    auto plugged = list_;
    std::sort(plugged.begin(), plugged.end(), [](const auto* a, const auto* b) { return a->word() < b->word(); });
    for (const auto* capability : plugged) announce(link, *capability);
}

void CapabilityHost::announce(SecureLink& link, const Capability& capability) {
    link.addCapability(capability.word());
    if (capability.provesSources()) link.setChallengeSources(std::string(capability.word()));
}

Capability* CapabilityHost::byWord(std::string_view word) const {
    for (auto* capability : list_)
        if (capability->word() == word) return capability;
    return nullptr;
}

Reach CapabilityHost::reach(const SecureLink* link, const std::string& name, std::string_view word) const {
    if (!link || !link->active()) return Reach::NoKeysHere;
    switch (link->stateOf(name)) {
    case KeyState::NoKeys: return Reach::NotThere;
    case KeyState::Changed: return Reach::KeyChanged;
    case KeyState::Conflict: return Reach::NameShared;
    case KeyState::Unconfirmed: return Reach::KeyNotHeard;
    default: break;
    }
    if (!byWord(word)) return Reach::NotHere;
    return link->peerHas(name, word) ? Reach::Yes : Reach::NotThere;
}

std::optional<DeliveryReport> CapabilityHost::sendSealed(SecureLink& link, std::string_view word,
                                                         const std::string& recipient, const std::string& body) {
    auto* capability = byWord(word);
    if (!capability) return std::nullopt;
    auto report = link.sendPrivate(recipient, std::string(capability->tag()) + body);
    if (report) reports_[report->id] = capability;
    return report;
}

std::optional<bool> CapabilityHost::message(const std::string& text, const std::string& sender, bool fromPinnedKey,
                                            IpAddress source) const {
    for (auto* capability : list_) {
        if (!startsWith(text, capability->tag())) continue;
        if (!fromPinnedKey) return false;
        return capability->message(sender, text.substr(capability->tag().size()), source);
    }
    return std::nullopt;
}

bool CapabilityHost::delivery(const DeliveryReport& report) {
    const auto it = reports_.find(report.id);
    if (it == reports_.end()) return false;
    auto* capability = it->second;
    if (report.state != Delivery::Waiting) reports_.erase(it);
    capability->delivery(report);
    return true;
}

void CapabilityHost::left(const std::string& name) const {
    for (auto* capability : list_) capability->left(name);
}

void CapabilityHost::vet(Message& message) const {
    for (auto* capability : list_) capability->vet(message);
}

void CapabilityHost::renamed(const std::string& from, const std::string& to) const {
    for (auto* capability : list_) capability->renamed(from, to);
}

bool CapabilityHost::holds(const std::string& lowerName) const {
    return std::any_of(list_.begin(), list_.end(), [&](const auto* c) { return c->holds(lowerName); });
}

void CapabilityHost::sourceProven(const std::string& name, IpAddress address) const {
    // A copy: a capability told may plug another in or out.
    for (auto* capability : std::vector<Capability*>(list_))
        if (capability->provesSources()) capability->sourceProven(name, address);
}

}  // namespace lanyx

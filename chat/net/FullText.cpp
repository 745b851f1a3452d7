#include "FullText.h"

#include "Cp1252.h"
#include "Crypto.h"
#include "SecureLink.h"
#include "Text.h"

namespace lanyx {

namespace {

bool heldByCp1252(std::string_view utf8) {
    return cp1252::toUtf8(cp1252::fromUtf8(utf8)) == utf8;
}

}  // namespace

std::optional<std::string> fulltext::payloadFor(std::string_view datagram) {
    if (heldByCp1252(datagram)) return std::nullopt;
    auto payload = crypto::ToBase64(datagram);
    if (payload.empty() || payload.size() > kMaxPayload) return std::nullopt;
    return payload;
}

void FullTexts::heard(std::string_view sender, std::string_view payload, Trust trust) {
    const std::string name(sender);
    auto bytes = payload.size() <= fulltext::kMaxPayload ? crypto::FromBase64(payload) : std::nullopt;
    // A text that Windows-1252 holds needs no second copy: nothing sends it.
    if (!bytes || heldByCp1252(*bytes)) {
        held_.erase(name);
        return;
    }
    if (held_.size() >= kMaxHeld && !held_.count(name)) held_.clear();
    held_[name] = Held{validUtf8(*bytes), trust};
}

std::optional<std::string> FullTexts::take(std::string_view sender, std::string_view datagram, Trust trust) {
    if (held_.empty()) return std::nullopt;
    const auto it = held_.find(std::string(sender));
    if (it == held_.end()) return std::nullopt;
    const Held held = std::move(it->second);
    held_.erase(it);
    // The same datagram, read in Windows-1252, and as sure of its sender.
    if (held.trust != trust || cp1252::toUtf8(cp1252::fromUtf8(held.datagram)) != datagram) return std::nullopt;
    const auto slash = held.datagram.find('/');
    return held.datagram.substr(slash + 1);
}

}  // namespace lanyx

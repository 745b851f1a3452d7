#include "OpenBoxes.h"

#include "Text.h"

namespace lanyx {

OpenBoxes::Refusal OpenBoxes::open(std::string_view sender) {
    auto key = toLower(sender);
    if (senders_.count(key)) return Refusal::SenderHasOne;
    if (senders_.size() >= kMax) return Refusal::TooMany;
    senders_.insert(std::move(key));
    return Refusal::None;
}

void OpenBoxes::closed(std::string_view sender) {
    senders_.erase(toLower(sender));
}

bool OpenBoxes::isOpen(std::string_view sender) const {
    return senders_.count(toLower(sender)) > 0;
}

}  // namespace lanyx

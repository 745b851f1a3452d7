#include "VerifyBudget.h"

namespace lanyx {

VerifyBudget::Verdict VerifyBudget::take(std::uint32_t now, IpAddress address, const std::string& signKey) {
    // A key verified from this very address spends a budget of its own:
    // junk under its name from elsewhere never delays it.
    const bool provenHere = provenFrom(signKey, address);
    PaceBucket* own = nullptr;
    if (provenHere) {
        if (byKey_.size() >= maxKeys_ && !byKey_.count(signKey)) byKey_.clear();
        own = &byKey_.try_emplace(signKey, each_.burst, each_.perSecond).first->second;
    } else {
        if (byAddress_.size() >= maxKeys_ && !byAddress_.count(address)) byAddress_.clear();
        own = &byAddress_.try_emplace(address, each_.burst, each_.perSecond).first->second;
    }
    if (!own->take(now)) return provenHere ? Verdict::KeyOut : Verdict::AddressOut;
    if (!all_.take(now, provenHere ? 0 : reserve_)) return Verdict::AllOut;
    return Verdict::Allowed;
}

void VerifyBudget::proven(const std::string& signKey, IpAddress address, std::size_t most) {
    if (provenFrom_.size() >= most && !provenFrom_.count(signKey)) provenFrom_.clear();
    provenFrom_[signKey] = address;
}

bool VerifyBudget::provenFrom(const std::string& signKey, IpAddress address) const {
    if (signKey.empty()) return false;
    const auto from = provenFrom_.find(signKey);
    return from != provenFrom_.end() && from->second == address;
}

}  // namespace lanyx

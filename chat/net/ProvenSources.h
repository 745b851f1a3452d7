#pragma once
// The source addresses (newest first) where the copy holding the key
// pinned for a name answered a challenge since this copy started: a few
// per name, for a bounded number of names.
#include "IpAddress.h"
#include "Text.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lanyx {

class ProvenSources {
public:
    static constexpr std::size_t kPerName = 4;
    static constexpr std::size_t kNames = 4096;

    // False when the name is new and the table full: names are pinned at a
    // limited pace, and past this many new ones wait for the next start.
    bool note(std::string_view name, IpAddress source) {
        const auto key = toLower(std::string(name));
        auto it = byName_.find(key);
        if (it == byName_.end()) {
            if (byName_.size() >= kNames) return false;
            it = byName_.emplace(key, std::vector<IpAddress>{}).first;
        }
        auto& list = it->second;
        std::erase(list, source);
        list.insert(list.begin(), source);
        if (list.size() > kPerName) list.pop_back();
        return true;
    }
    std::vector<IpAddress> of(std::string_view name) const {
        const auto it = byName_.find(toLower(std::string(name)));
        return it == byName_.end() ? std::vector<IpAddress>{} : it->second;
    }
    // The key pinned for `from` announced itself as `to`.
    void renamed(const std::string& from, const std::string& to) {
        if (auto it = byName_.find(toLower(from)); it != byName_.end()) {
            auto sources = std::move(it->second);
            byName_.erase(it);
            byName_.insert_or_assign(toLower(to), std::move(sources));
        }
    }

private:
    std::unordered_map<std::string, std::vector<IpAddress>> byName_;  // lower-case name
};

}  // namespace lanyx

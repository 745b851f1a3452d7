#pragma once
// The message boxes on the desktop: one at a time per sender, and a few at
// most in all, so that a flood under ever new names cannot bury the
// desktop in them.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

namespace lanyx {

class OpenBoxes {
public:
    static constexpr std::size_t kMax = 16;
    enum class Refusal { None, SenderHasOne, TooMany };
    // Whether a box from `sender` may be shown; when it may, it counts as
    // open until closed().
    Refusal open(std::string_view sender);
    void closed(std::string_view sender);
    bool isOpen(std::string_view sender) const;

private:
    std::unordered_set<std::string> senders_;  // lower case
};

}  // namespace lanyx

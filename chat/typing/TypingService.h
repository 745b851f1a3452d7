#pragma once
// "bob is typing…" between copies of ours: while the user types in a
// conversation, its members' copies hear of it at most once every
// kEveryMs, sealed like a private message, and show it for kShownMs after
// the last word or until the sender's line comes. Copies without keys and
// copies that do not announce kWord hear nothing.
//
// What is sent reads, one field a line (UTF-8):
//   1           the format
//   <chat>      "#" and a shared chat's id, or empty for the conversation
//               with the sender alone
#include "ChatNode.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lanyx::typing {

inline constexpr std::string_view kTag = "lanyx-typing ";
inline constexpr std::string_view kWord = "typing";

class TypingObserver {
public:
    virtual ~TypingObserver() = default;
    // Who types in the conversation now (`chat` as the history keys it:
    // a shared chat's "#id", or the sender's name in lower case).
    virtual void typingChanged(const std::string& chat, const std::vector<std::string>& who) = 0;
};

class TypingService final : public Capability {
public:
    explicit TypingService(ChatNode& node);
    ~TypingService() override;
    TypingService(const TypingService&) = delete;
    TypingService& operator=(const TypingService&) = delete;

    static constexpr std::uint32_t kEveryMs = 4000;
    static constexpr std::uint32_t kShownMs = 6000;

    void setObserver(TypingObserver* observer) { observer_ = observer; }
    // Whether `name` is a member of the shared chat `roomId` here: the
    // only senders who type in it. Without it nobody does.
    void setMembership(std::function<bool(const std::string& roomId, const std::string& name)> inChat) {
        inChat_ = std::move(inChat);
    }
    // The user typed in a conversation with `members` (a shared chat's
    // `roomId`, or empty): told to them unless told within kEveryMs.
    void typing(const std::vector<std::string>& members, const std::string& roomId = {});
    // The sender's line came: the sender types no more there (in every
    // conversation when `chat` is not known).
    void lineFrom(const std::string& sender, const std::string& chat);
    std::vector<std::string> typingIn(const std::string& chat) const;

    // Capability
    std::string_view tag() const override { return kTag; }
    std::string_view word() const override { return kWord; }
    bool message(const std::string& sender, const std::string& body, IpAddress sourceV4) override;
    void left(const std::string& name) override;

private:
    void expireSoon();
    void expire();
    void changed(const std::string& chat);

    ChatNode& node_;
    TypingObserver* observer_ = nullptr;
    std::function<bool(const std::string&, const std::string&)> inChat_;
    std::map<std::string, std::uint32_t> told_;  // conversation -> when we last told it
    // (conversation, sender in lower case) -> until when shown, and the sender as named
    std::map<std::pair<std::string, std::string>, std::pair<std::uint32_t, std::string>> typing_;
    bool expiring_ = false;
    std::uint32_t lastLook_ = 0;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace lanyx::typing

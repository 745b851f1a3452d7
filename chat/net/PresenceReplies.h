#pragma once
// When a copy answers newcomers with its presence. A presence is a
// broadcast, so one answers every newcomer heard before it goes out: with
// more than a few users listed the answer waits a random time within
// windowMs, and newcomers heard meanwhile share it. Our keys go only with
// an answer to newcomers that announced theirs; one answered without keys
// that announces them soon after gets ours after all.
#include "Ports.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lanyx {

class PresenceReplies {
public:
    // Rosters up to this size answer at once.
    static constexpr std::size_t kAnswerAtOnceUpTo = 4;
    // The wait grows by this much per user listed, up to kMaxReplyDelayMs.
    static constexpr std::uint32_t kReplyDelayPerUserMs = 4;
    static constexpr std::uint32_t kMaxReplyDelayMs = 2000;
    // A newcomer answered without our keys that announces its own within
    // this time gets ours after all.
    static constexpr std::uint32_t kKeysLateMs = 3000;
    // The longest wait before answering, with `listed` users in the roster.
    static std::uint32_t windowMs(std::size_t listed);

    struct Hooks {
        std::function<std::size_t()> listed;                // users in the roster
        std::function<bool()> canSend;                      // the network is open
        std::function<bool()> hasKeys;                      // this copy has keys
        std::function<bool(const std::string&)> keysHeard;  // the newcomer announced keys
        // The presence, with our keys or as a copy without keys sends it.
        std::function<void(bool withKeys)> sendPresence;
        // Colour and status signed, with our keys.
        std::function<void()> sendKeys;
        // What failed in a timer: there is nobody to throw to.
        std::function<void(int number, const std::string& text)> failed;
    };
    PresenceReplies(EventPump& pump, Hooks hooks);

    // A newcomer (empty: a roster request) is to be answered.
    void answer(std::string_view newcomer);
    // A newcomer announced keys for the first time.
    void keysAnnounced(const std::string& name);
    // The network closed: what waits is void.
    void reset();

    std::size_t sent() const { return sent_; }
    bool pending() const { return pending_; }
    // Where the random wait comes from: a number in [0, bound].
    void setRandom(std::function<std::uint32_t(std::uint32_t bound)> random) { random_ = std::move(random); }

private:
    void sendKeysSoon();
    // Runs `fn` after a random wait within the roster's window, unless the
    // network closed meanwhile.
    void later(std::function<void()> fn);

    EventPump& pump_;
    Hooks hooks_;
    std::function<std::uint32_t(std::uint32_t)> random_;
    bool pending_ = false;
    bool keysPending_ = false;
    std::size_t sent_ = 0;
    std::uint32_t session_ = 0;  // grows at every reset: a waiting reply is void
    std::vector<std::string> answering_;
    std::vector<std::pair<std::string, std::uint32_t>> answeredWithoutKeys_;  // name, when
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace lanyx

#include "PresenceReplies.h"

#include "Error.h"
#include "Text.h"

#include <random>

namespace lanyx {

std::uint32_t PresenceReplies::windowMs(std::size_t listed) {
    if (listed <= kAnswerAtOnceUpTo) return 0;
    if (listed >= kMaxReplyDelayMs / kReplyDelayPerUserMs) return kMaxReplyDelayMs;
    return static_cast<std::uint32_t>(listed) * kReplyDelayPerUserMs;
}

PresenceReplies::PresenceReplies(EventPump& pump, Hooks hooks) : pump_(pump), hooks_(std::move(hooks)) {
    random_ = [engine = std::minstd_rand(std::random_device{}())](std::uint32_t bound) mutable {
        return std::uniform_int_distribution<std::uint32_t>(0, bound)(engine);
    };
}

void PresenceReplies::later(std::function<void()> fn) {
    const std::weak_ptr<int> alive = alive_;
    const auto session = session_;
    pump_.callAfter(random_(windowMs(hooks_.listed())), [this, alive, session, fn = std::move(fn)] {
        if (alive.expired() || session != session_) return;
        try {
            fn();
        } catch (const LanyxError& e) {
            hooks_.failed(e.number(), e.what());
        }
    });
}

void PresenceReplies::answer(std::string_view newcomer) {
    if (!newcomer.empty() && answering_.size() < 64) answering_.emplace_back(newcomer);
    if (pending_) return;  // the presence on its way answers this one too
    if (windowMs(hooks_.listed()) == 0) {
        // A small segment: our keys go with every answer.
        answering_.clear();
        ++sent_;
        hooks_.sendPresence(true);
        return;
    }
    pending_ = true;
    later([this] {
        pending_ = false;
        const auto answered = std::exchange(answering_, {});
        if (!hooks_.canSend()) return;
        // Our keys and signatures only for newcomers that announced keys:
        // copies without keys have no use for them, and a newcomer that
        // reads slowly is buried in replies of more than the three
        // datagrams of a presence.
        bool withKeys = false;
        if (hooks_.hasKeys()) {
            const auto now = pump_.ticks();
            std::erase_if(answeredWithoutKeys_, [&](const auto& a) { return now - a.second > kKeysLateMs; });
            for (const auto& name : answered) {
                if (hooks_.keysHeard(name)) withKeys = true;
                else if (answeredWithoutKeys_.size() < 256) answeredWithoutKeys_.emplace_back(name, now);
            }
            if (withKeys) answeredWithoutKeys_.clear();
        }
        ++sent_;
        hooks_.sendPresence(withKeys);
    });
}

void PresenceReplies::keysAnnounced(const std::string& name) {
    const auto now = pump_.ticks();
    for (const auto& a : answeredWithoutKeys_) {
        if (now - a.second <= kKeysLateMs && equalsNoCase(a.first, name)) {
            answeredWithoutKeys_.clear();
            sendKeysSoon();
            return;
        }
    }
}

void PresenceReplies::sendKeysSoon() {
    if (keysPending_ || pending_) return;  // the next presence may carry them; else one announcement
    keysPending_ = true;
    later([this] {
        keysPending_ = false;
        // Colour and status signed too: a copy that pinned us before
        // ignored the unsigned ones of the presence it got.
        if (hooks_.canSend() && hooks_.hasKeys()) hooks_.sendKeys();
    });
}

void PresenceReplies::reset() {
    ++session_;
    pending_ = false;
    keysPending_ = false;
    answering_.clear();
    answeredWithoutKeys_.clear();
}

}  // namespace lanyx

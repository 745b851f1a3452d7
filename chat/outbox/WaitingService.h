#pragma once
// Messages that wait: a private alert or chat line to a user whose key is
// pinned and who is not listed is kept sealed to that key in the data
// folder (Waiting.txt), and sent when the user is next heard with that key.
// On the receiving side each sender's numbered message is taken once
// (Delivered.txt). Nothing waits in a copy without keys.
#include "ChatNode.h"
#include "Outbox.h"
#include "WaitingPort.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace lanyx {

class WaitingService : public WaitingPort {
public:
    // Plugs into `node` until it goes; made before the node reads its
    // settings, or at any time after.
    explicit WaitingService(ChatNode& node);
    // What changed within the last second is written now; nobody is told
    // any more, but a failure is logged.
    ~WaitingService() override;
    WaitingService(const WaitingService&) = delete;
    WaitingService& operator=(const WaitingService&) = delete;

    std::vector<WaitingMessage> messages() const;
    // The user takes a waiting message back. False when it is not waiting
    // here (sent meanwhile, or gone).
    bool cancel(std::uint64_t id);
    // How long a new message waits, in days (the setting kept with them).
    int waitDays() const;
    bool setWaitDays(int days);
    // Those whose time ran out go, each with a report (and a log line).
    void expire();
    // Writes what waits now, when it changed since it was last written.
    // False (with `problem`) when it could not be: the copy tries again.
    bool flush(std::string* problem = nullptr);

    // How often the copy looks for messages that waited too long.
    static constexpr std::uint32_t kExpiryCheckMs = 60'000;
    // A user's backlog goes a few at a time: kWaitingPerTurn messages every
    // kWaitingTurnMs, at most kWaitingInFlight to one user unconfirmed, so
    // that the receiver checks each as it comes rather than refusing most
    // of a burst (its checks per sender are budgeted). A user who confirms
    // none of a whole window is taken as gone: the rest waits until he is
    // seen again.
    static constexpr std::uint32_t kWaitingTurnMs = 100;
    static constexpr std::size_t kWaitingPerTurn = 10;
    static constexpr std::size_t kWaitingInFlight = 32;
    // Waiting.txt after a message went: once for all that went within this
    // time. A write that failed is tried again after 1 s, then twice as
    // long each time, up to kOutboxRetryMaxMs.
    static constexpr std::uint32_t kOutboxSaveDelayMs = 1000;
    static constexpr std::uint32_t kOutboxRetryMaxMs = 60'000;

    // WaitingPort
    void keysReady() override;
    std::optional<DeliveryReport> hold(const std::string& to, std::string_view message,
                                       std::string_view chatTag) override;
    bool delivery(const DeliveryReport& report) override;
    void keyState(const std::string& name, KeyState state) override;
    bool firstDelivery(const std::string& text, const std::string& sender, Trust trust, std::string_view& body,
                       std::string& entry) override;
    void shown(const std::string& entry) override;
    void renamed(const std::string& from, const std::string& to) override;
    bool holds(const std::string& lowerName) const override;

private:
    void deliverWaiting(const std::string& name);
    void waitingTurn();
    // Sends what `key` (a lower-case name) has waiting, within `budget`;
    // false when nothing is left to send it now.
    bool sendWaitingTo(const std::string& key, std::size_t& budget);
    // Waiting.txt changed: written within `withinMs`.
    void saveOutbox(std::uint32_t withinMs = 0);
    // `tell`: the user hears of the first failure of the run.
    bool writeOutbox(bool retry, bool tell, std::string* problem = nullptr);
    // Delivered.txt changed: written within kOutboxSaveDelayMs, or `now`.
    void saveDelivered(bool now);
    void scheduleExpiry(std::uint32_t ms = kExpiryCheckMs);
    void log(const std::string& line) { node_.WriteLog(line); }

    ChatNode& node_;
    std::unique_ptr<Outbox> outbox_;
    // Sent from the outbox, not confirmed yet: the link's id -> the waiting id.
    std::unordered_map<std::uint64_t, std::uint64_t> fromOutbox_;
    std::unordered_map<std::uint64_t, std::string> outboxInFlight_;  // the waiting id -> lower-case recipient
    bool expiryQueued_ = false;
    // Users whose backlog is going (lower case), with how many in a row
    // they did not confirm.
    std::unordered_map<std::string, std::size_t> waitingDue_;
    bool waitingTurnQueued_ = false;
    bool outboxDirty_ = false;
    std::optional<std::uint32_t> outboxSaveAt_;
    std::uint32_t outboxRetryMs_ = 0;  // 0: the last write went well
    bool outboxRetryQueued_ = false;
    bool outboxFailTold_ = false;
    DeliveredStore delivered_;
    bool deliveredDirty_ = false;
    bool deliveredSaveQueued_ = false;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // timers outliving the service do nothing
};

}  // namespace lanyx

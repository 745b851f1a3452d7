#include "WaitingService.h"

#include "Crypto.h"
#include "EventLog.h"
#include "Text.h"
#include "Wire.h"

#include <algorithm>

namespace lanyx {

WaitingService::WaitingService(ChatNode& node) : node_(node) {
    node_.setWaiting(this);
}

WaitingService::~WaitingService() {
    writeOutbox(false, false);
    saveDelivered(true);
    node_.setWaiting(nullptr);
}

void WaitingService::keysReady() {
    auto* secure = node_.secure();
    if (!secure) return;
    secure->addCapability(kWaitedCapability);
    outbox_ = std::make_unique<Outbox>(node_.config().dataDir, secure->identity());
    std::string problem;
    const bool read = outbox_->load(problem);
    if (!problem.empty()) {
        log(problem);
        if (!read) node_.AddSettingsNotice(problem);
    }
    problem.clear();
    delivered_.load(node_.config().dataDir / DeliveredStore::kFileName, problem);
    if (!problem.empty()) log(problem);
    // What ran out while no copy ran goes soon after the start, with its notice.
    scheduleExpiry(1000);
}

void WaitingService::shown(const std::string& entry) {
    delivered_.add(entry);
    deliveredDirty_ = true;
    saveDelivered(false);
}

bool WaitingService::holds(const std::string& lowerName) const {
    return outbox_ && !outbox_->waitingFor(lowerName).empty();
}

void WaitingService::renamed(const std::string& from, const std::string& to) {
    if (outbox_ && outbox_->rename(from, to) > 0) saveOutbox();
    waitingDue_.erase(toLower(from));
    for (auto& [id, key] : outboxInFlight_)
        if (key == toLower(from)) key = toLower(to);
    // What waited for the old name goes once the user is heard.
    deliverWaiting(to);
}

void WaitingService::saveOutbox(std::uint32_t withinMs) {
    if (!outbox_) return;
    outboxDirty_ = true;
    // While writes fail, the next try writes this too.
    if (outboxRetryQueued_) return;
    const std::uint32_t at = node_.pump().ticks() + withinMs;
    if (outboxSaveAt_ && *outboxSaveAt_ <= at) return;
    outboxSaveAt_ = at;
    const std::weak_ptr<int> alive = alive_;
    node_.pump().callAfter(withinMs, [this, alive, at] {
        if (alive.expired()) return;
        if (outboxSaveAt_ == at) outboxSaveAt_.reset();
        writeOutbox(true, true);
    });
}

bool WaitingService::writeOutbox(bool retry, bool tell, std::string* problemOut) {
    if (!outbox_ || !outboxDirty_) return true;
    std::string problem;
    if (outbox_->save(problem)) {
        outboxDirty_ = false;
        if (std::exchange(outboxRetryMs_, 0) > 0) log("Messages waiting for their recipients written again");
        return true;
    }
    if (problemOut) *problemOut = problem;
    // Kept dirty: what went meanwhile must not go a second time from the
    // file at the next start.
    node_.WriteLimited("Waiting not written", "Messages waiting for their recipients not written: " + problem);
    if (tell && !std::exchange(outboxFailTold_, true))
        node_.Warn("The messages waiting for their recipients could not be written to " +
                   std::string(Outbox::kFileName) + " (" + problem +
                   "). Lanyx keeps them and tries again; until it succeeds, messages delivered meanwhile "
                   "could be sent once more after a restart.");
    if (!retry || outboxRetryQueued_) return false;
    outboxRetryMs_ = outboxRetryMs_ == 0 ? 1000 : std::min(outboxRetryMs_ * 2, kOutboxRetryMaxMs);
    outboxRetryQueued_ = true;
    const std::weak_ptr<int> alive = alive_;
    node_.pump().callAfter(outboxRetryMs_, [this, alive] {
        if (alive.expired()) return;
        outboxRetryQueued_ = false;
        writeOutbox(true, true);
    });
    return false;
}

bool WaitingService::flush(std::string* problem) {
    saveDelivered(true);
    return writeOutbox(true, false, problem);
}

bool WaitingService::firstDelivery(const std::string& text, const std::string& sender, Trust trust,
                                   std::string_view& body, std::string& entry) {
    if (!startsWith(text, kWaitedTag)) return true;
    auto rest = std::string_view(text).substr(kWaitedTag.size());
    const auto blank = rest.find(' ');
    std::uint64_t id = 0;
    const auto number = rest.substr(0, std::min(blank, rest.size()));
    if (blank == std::string_view::npos || number.empty() || number.size() > 19 ||
        number.find_first_not_of("0123456789") != std::string_view::npos) {
        body = {};  // neither alert nor chat line: not taken
        return true;
    }
    for (const char c : number) id = id * 10 + static_cast<std::uint64_t>(c - '0');
    body = rest.substr(blank + 1);
    // Only what the pinned key sealed is known to be from the sender.
    const auto* pin = trust == Trust::Verified && node_.secure() ? node_.secure()->pins().find(sender) : nullptr;
    if (!pin) return true;
    entry = DeliveredStore::entryOf(pin->signPublic, id);
    if (!delivered_.has(entry)) return true;
    node_.WriteLimited("Delivered before", "Private message from " + forLog(sender) +
                                               " that waited was delivered before: confirmed, not shown again");
    return false;
}

void WaitingService::saveDelivered(bool now) {
    if (!deliveredDirty_) return;
    if (!now) {
        if (std::exchange(deliveredSaveQueued_, true)) return;
        const std::weak_ptr<int> alive = alive_;
        node_.pump().callAfter(kOutboxSaveDelayMs, [this, alive] {
            if (alive.expired()) return;
            deliveredSaveQueued_ = false;
            saveDelivered(true);
        });
        return;
    }
    std::string problem;
    if (delivered_.save(node_.config().dataDir / DeliveredStore::kFileName, problem)) deliveredDirty_ = false;
    else node_.WriteLimited("Delivered not written", "Messages that waited and were delivered not written: " + problem);
}

std::optional<DeliveryReport> WaitingService::hold(const std::string& to, std::string_view message,
                                                   std::string_view chatTag) {
    if (!outbox_) return std::nullopt;
    const auto* pin = node_.secure()->pins().find(to);
    // A changed key waits for the user's decision: withheld, as any message to it.
    // A copy that takes no sealed messages would never get it: withheld now.
    if (!pin || pin->changed() || !pin->opensSealed || node_.secure()->stateOf(to) == KeyState::Changed)
        return std::nullopt;
    HistoryKind kind;
    std::string_view text;
    if (startsWith(message, wire::AlertMark)) {
        kind = HistoryKind::PrivateAlert;
        text = message.substr(wire::AlertMark.size());
    } else if (startsWith(message, wire::ChatMark)) {
        kind = HistoryKind::PrivateChat;
        text = message.substr(wire::ChatMark.size());
    } else {
        return std::nullopt;  // neither alert nor chat line: nothing a window would show
    }
    std::string why;
    Outbox::Refused refused = Outbox::Refused::None;
    const auto id = outbox_->add(to, kind, std::string(text), *pin, node_.WallMs(), &why, std::string(chatTag),
                                 &refused);
    if (!id && (refused == Outbox::Refused::FullFor || refused == Outbox::Refused::Full)) {
        // Withheld: sent now it would go sealed to nobody.
        log("Private message to " + forLog(to) + " not sent: " + why);
        DeliveryReport report{0, to, false, Delivery::Withheld,
                              refused == Outbox::Refused::FullFor ? Withheld::WaitingFull : Withheld::OutboxFull};
        node_.ShowDelivery(report);
        return report;
    }
    if (!id) {
        log("Private message to " + forLog(to) + " cannot wait for the user: " + why);
        return std::nullopt;
    }
    saveOutbox();
    log("Private message to " + forLog(to) + " waits until the user is seen");
    DeliveryReport report{*id, to, true, Delivery::Queued};
    node_.ShowDelivery(report);
    Message m;
    m.outgoing = true;
    m.peer = to;
    m.kind = kind;
    m.text = std::string(text);
    m.chat = std::string(chatTag);
    m.trust = MessageTrust::Encrypted;
    m.delivery = MessageDelivery::Queued;
    m.messageId = *id;
    node_.reportMessage(m);
    scheduleExpiry();
    return report;
}

void WaitingService::keyState(const std::string& name, KeyState state) {
    // Only to the pinned key, heard since the user was listed: never to a
    // changed one, never to a name that merely appeared.
    if (!outbox_ || !keyHeard(state) || outbox_->waitingFor(name).empty()) return;
    const std::weak_ptr<int> alive = alive_;
    node_.pump().callAfter(0, [this, alive, name] {
        if (!alive.expired()) deliverWaiting(name);
    });
}

void WaitingService::deliverWaiting(const std::string& name) {
    if (!outbox_ || !node_.secure() || !node_.transport().isOpen() || node_.state().ProbeMode ||
        !keyHeard(node_.secure()->stateOf(name)))
        return;
    const auto* pin = node_.secure()->pins().find(name);
    if (!node_.users().findNoCase(name) || !pin || pin->changed()) return;
    // Seen again: a user taken as gone gets another window.
    waitingDue_[toLower(name)] = 0;
    if (std::exchange(waitingTurnQueued_, true)) return;
    const std::weak_ptr<int> alive = alive_;
    node_.pump().callAfter(0, [this, alive] {
        if (!alive.expired()) waitingTurn();
    });
}

void WaitingService::waitingTurn() {
    waitingTurnQueued_ = false;
    std::size_t budget = kWaitingPerTurn;
    for (auto it = waitingDue_.begin(); it != waitingDue_.end();) {
        const std::string key = it->first;
        if (sendWaitingTo(key, budget)) ++it;
        else it = waitingDue_.erase(it);
    }
    if (waitingDue_.empty()) return;
    waitingTurnQueued_ = true;
    const std::weak_ptr<int> alive = alive_;
    node_.pump().callAfter(kWaitingTurnMs, [this, alive] {
        if (!alive.expired()) waitingTurn();
    });
}

bool WaitingService::sendWaitingTo(const std::string& key, std::size_t& budget) {
    if (!outbox_ || !node_.secure() || !node_.transport().isOpen() || node_.state().ProbeMode ||
        !keyHeard(node_.secure()->stateOf(key)))
        return false;
    const auto row = node_.users().findNoCase(key);
    const auto* pin = node_.secure()->pins().find(key);
    if (!row || !pin || pin->changed() || waitingDue_[key] >= kWaitingInFlight) return false;
    const std::string listed = node_.users().user(*row).text;
    const auto inFlight = static_cast<std::size_t>(
        std::count_if(outboxInFlight_.begin(), outboxInFlight_.end(), [&](const auto& f) { return f.second == key; }));
    if (inFlight >= kWaitingInFlight || budget == 0) return true;
    const auto due = outbox_->dueFor(listed, *pin, nullptr, std::min(kWaitingInFlight - inFlight, budget),
                                     [this](std::uint64_t id) { return outboxInFlight_.count(id) > 0; });
    if (due.empty()) return inFlight > 0;
    // Numbered for copies that take each number once.
    const std::string numbered = node_.secure()->peerHas(listed, kWaitedCapability) ? std::string(kWaitedTag)
                                                                                    : std::string();
    for (const auto& d : due) {
        std::string message = numbered.empty() ? std::string() : numbered + std::to_string(d.message.id) + " ";
        message += d.message.kind == HistoryKind::PrivateAlert ? wire::AlertMark : wire::ChatMark;
        message += d.text;
        Withheld why = Withheld::None;
        auto report = node_.secure()->sendPrivate(listed, message, &why);
        crypto::Wipe(message);
        if (!report) return false;  // kept: the next time the user is seen
        --budget;
        fromOutbox_[report->id] = d.message.id;
        outboxInFlight_.emplace(d.message.id, key);
        log("Private message to " + forLog(listed) + " that waited sent");
        DeliveryReport r = *report;
        r.id = d.message.id;
        node_.ShowDelivery(r);
        node_.reportDelivery(r.id, d.message.recipient, MessageDelivery::Waiting);
    }
    return true;
}

bool WaitingService::delivery(const DeliveryReport& report) {
    const auto it = fromOutbox_.find(report.id);
    if (it == fromOutbox_.end()) return false;
    DeliveryReport r = report;
    r.id = it->second;
    std::string recipient = r.recipient;
    bool stillHere = false;
    if (outbox_)
        for (const auto& m : outbox_->all())
            if (m.id == r.id) {
                recipient = m.recipient;
                stillHere = true;
            }
    if (report.state != Delivery::Waiting) {
        fromOutbox_.erase(it);
        outboxInFlight_.erase(r.id);
        if (const auto due = waitingDue_.find(toLower(recipient)); due != waitingDue_.end())
            due->second = report.state == Delivery::Delivered ? 0 : due->second + 1;
        if (report.state == Delivery::Delivered) {
            // Gone from the folder only once the recipient confirmed it;
            // written once for all confirmed within a second (a copy of
            // ours takes a message it was given before only once).
            if (outbox_ && outbox_->remove(r.id)) saveOutbox(kOutboxSaveDelayMs);
        } else if (stillHere) {
            // Not confirmed: it waits again for the next time the user is seen.
            r.state = Delivery::Queued;
            log("Private message to " + forLog(recipient) + " that waited not confirmed; it waits again");
        }
    }
    node_.ShowDelivery(r);
    node_.reportDelivery(r.id, recipient, HistoryDeliveryOf(r));
    return true;
}

std::vector<WaitingMessage> WaitingService::messages() const {
    if (!outbox_) return {};
    std::vector<WaitingMessage> out;
    for (const auto& m : outbox_->all())
        if (!outboxInFlight_.count(m.id)) out.push_back(m);
    return out;
}

bool WaitingService::cancel(std::uint64_t id) {
    if (!outbox_ || outboxInFlight_.count(id)) return false;
    std::string recipient;
    for (const auto& m : outbox_->all())
        if (m.id == id) recipient = m.recipient;
    if (!outbox_->cancel(id)) return false;
    saveOutbox();
    log("Private message to " + forLog(recipient) + " that waited taken back");
    node_.ShowDelivery({id, recipient, true, Delivery::Withheld, Withheld::Cancelled});
    node_.reportDelivery(id, recipient, MessageDelivery::Cancelled);
    return true;
}

int WaitingService::waitDays() const {
    const auto ms = outbox_ ? outbox_->expiryMs() : Outbox::kDefaultExpiryMs;
    return static_cast<int>((ms + Outbox::kDayMs - 1) / Outbox::kDayMs);
}

bool WaitingService::setWaitDays(int days) {
    if (!outbox_) return false;
    outbox_->setExpiryMs(static_cast<std::int64_t>(std::clamp(days, 1, 365)) * Outbox::kDayMs);
    outboxDirty_ = true;
    return writeOutbox(true, false);
}

void WaitingService::expire() {
    if (!outbox_) return;
    auto gone = outbox_->expire(node_.WallMs());
    if (gone.empty()) return;
    saveOutbox();
    for (const auto& m : gone) {
        // One sent meanwhile may still be confirmed; it no longer waits here.
        outboxInFlight_.erase(m.id);
        const auto days = (m.expiresMs - m.queuedMs + Outbox::kDayMs / 2) / Outbox::kDayMs;
        log("Private message to " + forLog(m.recipient) + " not sent: it waited " +
            (days > 0 ? std::to_string(days) + (days == 1 ? " day" : " days") : std::string("its time")) +
            " and the user was not seen with the known key");
        node_.ShowDelivery({m.id, m.recipient, true, Delivery::Withheld, Withheld::Expired});
        node_.reportDelivery(m.id, m.recipient, MessageDelivery::Expired);
    }
}

void WaitingService::scheduleExpiry(std::uint32_t ms) {
    if (expiryQueued_ || !outbox_ || outbox_->empty()) return;
    expiryQueued_ = true;
    const std::weak_ptr<int> alive = alive_;
    node_.pump().callAfter(ms, [this, alive] {
        if (alive.expired()) return;
        expiryQueued_ = false;
        expire();
        scheduleExpiry();
    });
}

}  // namespace lanyx

#include "ChatNode.h"

#include "Cp1252.h"
#include "LinkOverTransport.h"
#include "Platform.h"
#include "Text.h"
#include "Wire.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace lanyx {

ChatNode::ChatNode(NodeConfig config, DatagramTransport& transport, UserInterface& ui, MessageSink& sink,
                   EventPump& pump)
    : config_(std::move(config)),
      transport_(transport),
      ui_(ui),
      sink_(sink),
      pump_(pump),
      views_(users_, sink_,
             {[this] { return receiving_ != 0 || transport_.inBatch(); },
              [this] {
                  if (secure_) secure_->forgetSessions();
              },
              [this](std::string_view kind, const std::string& line) { reports_.limited(kind, line); }}),
      replies_(pump, {[this] { return users_.userCount(); }, [this] { return transport_.isOpen(); },
                      [this] { return secure_ != nullptr; },
                      [this](const std::string& name) { return secure_->stateOf(name) != KeyState::NoKeys; },
                      [this](bool withKeys) { SendPresence(withKeys ? Presence::WithKeys : Presence::Plain); },
                      [this] { sendColourAndStatus(Presence::WithKeys); },
                      [this](int number, const std::string& text) { reports_.error(number, text); }}),
      records_(observers_, {[this]() -> const std::string& { return state_.MyName; },
                            [this] { return transport_.isOpen(); }, [this] { return secure_ && secure_->active(); }}),
      privateLines_(pump,
                    {[this]() -> const std::string& { return state_.MyName; }, [this] { return secure_.get(); },
                     [this] { return waiting_; },
                     [this](const std::string& name) { return users_.findNoCase(name).has_value(); },
                     [this] { return transport_.isOpen(); }, [this](std::string_view text) { SendDatagram(text); },
                     [this](const std::string& text) { deliverOwnPrivate(text); },
                     [this](const DeliveryReport& report) { sink_.PrivateDelivery(report); },
                     [this](std::string_view recipient, std::string_view message, const DeliveryReport& report,
                            std::uint64_t lineId, std::string_view chatTag, std::uint64_t replyTo) {
                         records_.sentPrivate(recipient, message, report, lineId, chatTag, replyTo);
                     },
                     [this](const std::string& line) { log_.WriteLog(line); }}) {
    log_.setFile(config_.dataDir / "Log.txt");
    log_.setErrorReporter([this](const std::string& msg) { ui_.messageBox(msg, "", IconNone); });
    lang_.setReporters([this](const std::string& text, const std::string& title,
                              int icon) { ui_.messageBox(text, title, icon); },
                       [this](const std::string& text) { log_.WriteLog(text); });
    transport_.setReceiver([this](std::string_view bytes) { onDatagram(bytes); });
    transport_.setBatchEnd([this] { flushRefresh(); });
    transport_.setDropReporter([this](std::uint32_t total) { DatagramsDropped(total); });
    transport_.setNetworksJoined([this] { AnnounceOnNewNetworks(); });
    transport_.setReceiveFailure(
        [this](int number, const std::string& text, bool reopened) { ReceivingFailed(number, text, reopened); });
    loadStatusNames();
    views_.setWords(LangText(1201));
}

ChatNode::~ChatNode() {
    // What changed within the last second is written now; nobody is told
    // any more, but a failure is logged.
    secure_.reset();  // writes the known keys, logging through the node
    transport_.setReceiver({});
    transport_.setBatchEnd({});
    transport_.setDropReporter({});
    transport_.setNetworksJoined({});
    transport_.setReceiveFailure({});
    // A flood that ended within the last minute is still accounted for.
    reports_.flush();
}

std::string ChatNode::LangText(int code) {
    if (lang_.size() == 0) return LanguageTable::builtIn(code);
    return lang_.text(code);
}

// ---- sending ---------------------------------------------------------------

void ChatNode::SendDatagram(std::string_view text) {
    if (text.empty() || !transport_.isOpen()) return;
    std::string line;
    line.reserve(state_.MyName.size() + 1 + text.size());
    line += state_.MyName;
    line += '|';
    line += text;
    sendWire(cp1252::fromUtf8(line));
}

void ChatNode::sendWire(std::string_view bytes) {
    if (secure_) secure_->send(bytes);
    else transport_.send(bytes);
}

bool ChatNode::EnableKeys() {
    if (secure_) return true;
    auto loaded = LoadOrCreateIdentity(config_.dataDir);
    if (!loaded.note.empty()) log_.WriteLog(loaded.note);
    if (!loaded.identity) return false;
    const auto pinsFile = config_.dataDir / PinStore::kFileName;
    // Whatever the file holds, the copy keeps its own keys: a damaged file
    // gives the keys it could read, and is kept aside for the user.
    auto pins = LoadPins(pinsFile);
    if (!pins.logLine.empty()) log_.WriteLog(pins.logLine);
    if (!pins.notice.empty()) settingsNotice_ += (settingsNotice_.empty() ? "" : "\n\n") + pins.notice;
    SecureLink::Hooks h;
    ConnectToTransport(h, transport_, pump_, config_.wallMicros);
    h.process = [this](std::string_view bytes, Trust trust) { handleDatagram(bytes, trust); };
    h.deliverPrivate = [this](const std::string& text, const std::string& sender, Trust trust) {
        return deliverSealed(text, sender, trust);
    };
    h.delivery = [this](const DeliveryReport& r) { sealedDelivery(r); };
    h.keyState = [this](const std::string& name, KeyState state) {
        if (const auto row = users_.findNoCase(name)) users_.setKeyState(*row, state);
        if (waiting_) waiting_->keyState(name, state);
    };
    h.keyChanged = [this](const std::string& name, const std::string& text) { sink_.KeyWarning(name, text); };
    h.log = [this](std::string_view kind, const std::string& line) { reports_.limited(kind, line); };
    h.isListed = [this](const std::string& name) { return users_.findNoCase(name).has_value(); };
    h.renamed = [this](const std::string& from, const std::string& to) { userRenamed(from, to); };
    h.keepName = [this](const std::string& lowerName) { return keepsName(lowerName); };
    h.sourceProven = [this](IpAddress address, const std::string& name) { noteVerifiedSource(name, address); };
    secure_ = std::make_unique<SecureLink>(std::move(*loaded.identity), std::move(pins.pins), pinsFile, std::move(h),
                                           config_.linkBuild);
    if (!pins.writable) secure_->keepPinsFileAsItIs();
    secure_->setFirstAnnouncementHook([this](const std::string& name) { replies_.keysAnnounced(name); });
    capabilities_.announceAll(*secure_);
    if (waiting_) waiting_->keysReady();
    secure_->setUserName(profile_.data().user.UserName);
    secure_->setMyName(state_.MyName);
    loadPreviousNames();
    return true;
}

bool ChatNode::deliverSealed(const std::string& text, const std::string& sender, Trust trust) {
    if (users_.IsBlocked(sender)) return false;
    // Only from the pinned key, never while another was announced in its
    // place: a transfer, for one, proves the same key.
    if (const auto taken = capabilities_.message(text, sender,
                                                 trust == Trust::Verified && keyHeard(secure_->stateOf(sender)),
                                                 transport_.currentSource()))
        return *taken;
    std::string_view body = text;
    std::string entry;
    if (waiting_ && !waiting_->firstDelivery(text, sender, trust, body, entry)) return true;
    const auto header = lineheader::Take(body);
    const bool chat = startsWith(body, wire::ChatMark);
    const bool alert = startsWith(body, wire::AlertMark);
    if (!(chat && state_.Status == 0) && !(alert && state_.Status <= 1)) return false;
    ++receiving_;
    try {
        deliver(body, sender, true, users_.findNoCase(sender), trust == Trust::NotVerified, true,
                header ? &*header : nullptr);
    } catch (...) {
        --receiving_;
        throw;
    }
    --receiving_;
    if (!entry.empty() && waiting_) waiting_->shown(entry);
    return true;
}

void ChatNode::sealedDelivery(const DeliveryReport& r) {
    if (capabilities_.delivery(r)) return;
    if (waiting_ && waiting_->delivery(r)) return;
    sink_.PrivateDelivery(r);
    reportDelivery(r.id, r.recipient, HistoryDeliveryOf(r));
}

void ChatNode::SendToAll(std::string_view payload) {
    std::string text(wire::PublicMessage);
    text += payload;
    // Beyond Windows-1252: the text in full first, for our copies, signed
    // together with the datagram every copy reads.
    const auto full = secure_ && secure_->active() ? fulltext::payloadFor(text) : std::nullopt;
    if (full && transport_.isOpen()) {
        const std::string from = cp1252::fromUtf8(state_.MyName) + "|";
        secure_->sendTogether({from + std::string(fulltext::Command) + *full, from + cp1252::fromUtf8(text)});
    } else {
        SendDatagram(text);
    }
    records_.sentToAll(payload);
}

void ChatNode::setWaiting(WaitingPort* waiting) {
    waiting_ = waiting;
    if (waiting_ && secure_) waiting_->keysReady();
}

void ChatNode::AddSettingsNotice(const std::string& problem) {
    settingsNotice_ += (settingsNotice_.empty() ? "" : "\n\n") + problem;
}

void ChatNode::Warn(const std::string& text) {
    ui_.messageBox(text, "Lanyx", IconExclamation);
}

void ChatNode::deliverOwnPrivate(const std::string& text) {
    if (state_.MyName.empty() || users_.IsBlocked(state_.MyName)) return;
    ++receiving_;
    try {
        deliver(text, state_.MyName, true, users_.findNoCase(state_.MyName));
    } catch (const LanyxError& e) {
        reports_.error(e.number(), e.what());
    }
    --receiving_;
    if (receiving_ == 0) flushRefresh();
}

void ChatNode::SendPresence(Presence how) {
    SendToAll("");
    sendColourAndStatus(how);
}

void ChatNode::sendColourAndStatus(Presence how) {
    const std::string colour = std::string(wire::ColourAnnounce) +
                               std::to_string(static_cast<std::int32_t>(profile_.data().user.Colour));
    const std::string status = std::string(wire::StatusAnnounce) + std::to_string(state_.Status);
    if (!secure_ || !transport_.isOpen() || !secure_->active()) {
        SendDatagram(colour);
        SendDatagram(status);
        return;
    }
    const auto wire = [&](const std::string& text) { return cp1252::fromUtf8(state_.MyName + "|" + text); };
    if (how == Presence::Plain) {
        // Exactly what a copy without keys sends. Our copies take it as
        // changing nothing, which it does.
        transport_.send(wire(colour));
        transport_.send(wire(status));
        return;
    }
    // Our keys after the colour (copies without keys list us by then and
    // take them as a command they do not know), and one companion after
    // the status for both.
    std::vector<std::string> out{wire(colour)};
    if (how == Presence::WithKeys) out.push_back(secure_->announcement());
    out.push_back(wire(status));
    secure_->sendTogether(out);
}

void ChatNode::registerCapability(Capability& capability) {
    if (capabilities_.add(capability) && secure_) CapabilityHost::announce(*secure_, capability);
}

void ChatNode::unregisterCapability(Capability& capability) {
    capabilities_.remove(capability, secure_.get());
}

std::optional<DeliveryReport> ChatNode::SendSealed(std::string_view word, const std::string& recipient,
                                                   const std::string& body) {
    if (!transport_.isOpen() || CanTake(recipient, word) != Reach::Yes) return std::nullopt;
    return capabilities_.sendSealed(*secure_, word, recipient, body);
}

void ChatNode::OpenNetwork() {
    transport_.open();
    if (secure_) secure_->setMyName(state_.MyName);
    if (secure_ && secure_->active()) profile_.keepRunName(state_.MyName, log_);
    pump_.pumpOnce();
    sendColourAndStatus(Presence::WithKeys);
    if (!state_.ProbeMode) SendToAll(state_.MyName + " " + LangText(10201));
}

void ChatNode::AnnounceOnNewNetworks() {
    // While probing, the name is not ours yet: the join comes with the real one.
    if (!transport_.isOpen() || state_.ProbeMode || state_.MyName.empty()) return;
    try {
        sendColourAndStatus(Presence::WithKeys);  // our keys with them, as at the join
        SendToAll(state_.MyName + " " + LangText(10201));
    } catch (const LanyxError& e) {
        // Called from the socket adapter: there is nobody to throw to.
        reports_.error(e.number(), e.what());
    }
}

void ChatNode::CloseNetwork() {
    ++networkSession_;
    replies_.reset();
    SendDatagram(wire::LeaveNotice);
    transport_.close();
}

void ChatNode::SetStatus(std::int16_t status) {
    state_.Status = status;
    SendDatagram(std::string(wire::StatusAnnounce) + std::to_string(status));
}

// ---- receiving -------------------------------------------------------------

namespace {

bool isAscii(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

void ChatNode::onDatagram(std::string_view bytes) {
    handleDatagram(bytes, std::nullopt);
}

void ChatNode::handleDatagram(std::string_view bytes, std::optional<Trust> judged) {
    if (transport_.inBatch()) users_.beginBatch();
    ++receiving_;
    const auto outer = trust_;
    try {
        Trust trust = judged.value_or(Trust::Plain);
        // Under a pinned name, a datagram waits for its signature.
        if (judged || !secure_ || !secure_->incoming(bytes, trust)) {
            trust_ = trust;
            // Plain ASCII reads the same in both code pages: no conversion needed.
            const auto done = isAscii(bytes) ? ProcessDatagram(bytes) : ProcessDatagram(cp1252::toUtf8(bytes));
            if (!done) reports_.refused(done.error());
        }
    } catch (const LanyxError& e) {
        // What the windows, the files or the socket throw while a datagram is
        // handled ends here: there is nobody to throw to.
        reports_.refused(e.error());
    } catch (const std::exception& e) {
        reports_.error(err::InvalidArgument, e.what());
    }
    trust_ = outer;
    --receiving_;
    if (!transport_.inBatch() && receiving_ == 0) flushRefresh();
}

bool ChatNode::ignoredAsNotVerified(std::string_view sender, std::string_view command) {
    if (trust_ != Trust::NotVerified) return false;
    reports_.limited("Not verified", "Ignored, not signed by the key pinned for the name: " + forLog(sender) + "|" +
                                         std::string(command));
    return true;
}

bool ChatNode::RequestRoster(bool dropSilent) {
    if (!transport_.isOpen() || state_.ProbeMode || state_.MyName.empty()) return false;
    const auto now = pump_.ticks();
    if (lastRosterRequest_ && now - *lastRosterRequest_ < kRosterRequestIntervalMs) return false;
    lastRosterRequest_ = now;
    if (dropSilent) {
        const auto mark = users_.heardCount();
        const auto session = networkSession_;
        const std::weak_ptr<int> alive = alive_;
        pump_.callAfter(kRosterAnswerMs, [this, alive, mark, session] {
            if (!alive.expired() && session == networkSession_ && transport_.isOpen()) dropSilentSince(mark);
        });
    }
    rosterRequestName_ = ProbeName(state_.MyName);
    const std::string line = rosterRequestName_ + "|" + std::string(wire::StatusAnnounce) +
                             std::to_string(state_.Status);
    try {
        transport_.send(cp1252::fromUtf8(line));
    } catch (const LanyxError& e) {
        // Asked for from a menu or after drops: a failure is logged, not thrown.
        reports_.error(e.number(), e.what());
        return false;
    }
    return true;
}

void ChatNode::makeRoomFor(std::string_view sender) {
    auto silent = users_.longestSilentUnverified();
    // Our own row is never given away: it counts as just heard.
    if (silent && equalsNoCase(users_.user(*silent).text, state_.MyName)) {
        users_.heardFrom(*silent);
        silent = users_.longestSilentUnverified();
    }
    if (!silent || equalsNoCase(users_.user(*silent).text, state_.MyName)) return;
    reports_.limited("Roster full", "Roster full: " + forLog(users_.user(*silent).text) +
                                        " (never verified, silent the longest) taken off for " + forLog(sender));
    dropUser(*silent);
}

void ChatNode::dropUser(std::size_t row) {
    const std::string name = users_.user(row).text;
    if (secure_) secure_->forget(name);
    fullTexts_.forget(name);
    users_.removeUser(row);
    sink_.RemoveUserFromChats(name);
    capabilities_.left(name);
}

void ChatNode::dropSilentSince(std::uint64_t heardMark) {
    ++receiving_;  // the windows refresh once, at the end
    std::size_t dropped = 0;
    try {
        // From the end: the last row takes a removed row's place.
        for (std::size_t i = users_.userCount(); i-- > 0;) {
            if (users_.lastHeard(i) > heardMark || equalsNoCase(users_.user(i).text, state_.MyName)) continue;
            dropUser(i);
            ++dropped;
        }
    } catch (...) {
        --receiving_;
        throw;
    }
    --receiving_;
    flushRefresh();
    if (dropped > 0)
        log_.WriteLog("Refresh: " + std::to_string(dropped) +
                      " listed users did not answer and were taken off the list");
}

void ChatNode::ToggleBlocked(const std::vector<std::string>& names) {
    ++receiving_;  // refreshes wait for the end, as in a batch of datagrams
    try {
        users_.ToggleBlocked(names);
    } catch (...) {
        --receiving_;
        throw;
    }
    --receiving_;
    flushRefresh();
}

void ChatNode::DatagramsDropped(std::uint32_t total) {
    // Who was lost among them is unknown: ask everybody once.
    if (reports_.dropped(total)) RequestRoster();
}

void ChatNode::ReceivingFailed(int number, const std::string& text, bool reopened) {
    reports_.failed(number, text, reopened);
    // Who came or went meanwhile is unknown: ask everybody once.
    if (reopened) RequestRoster();
}

void ChatNode::noteVerifiedSource(std::string_view sender, IpAddress source) {
    if (sources_.note(sender, source)) capabilities_.sourceProven(std::string(sender), source);
}

bool ChatNode::keepsName(const std::string& lowerName) const {
    return users_.IsBlocked(lowerName) || users_.inGroups(lowerName) || (waiting_ && waiting_->holds(lowerName)) ||
           observers_.knows(lowerName) || capabilities_.holds(lowerName);
}

void ChatNode::userRenamed(const std::string& from, const std::string& to) {
    log_.WriteLog(forLog(from) + " is now " + forLog(to) + " (announced by the same key)");
    // A name the user knew another person by: what comes under it now is
    // from the renamed user's key, and the user is told so.
    if (users_.inGroups(to) || observers_.knows(to)) {
        log_.WriteLog(forLog(from) + " took the name " + forLog(to) + ", which is in the groups or the history");
        sink_.RenamedOntoKnownName(from, to);
    }
    sources_.renamed(from, to);
    if (users_.renameInLists(from, to)) saveSettings();
    observers_.renamed(from, to);
    sink_.UserRenamed(from, to);
    capabilities_.renamed(from, to);
    // What waits for the old name goes to the new one once the user is heard.
    if (waiting_) waiting_->renamed(from, to);
}

void ChatNode::loadPreviousNames() {
    previousNames_ = PreviousNames::load(config_.dataDir);
    if (secure_) secure_->setPreviousNames(previousNames_.names(wallMs()));
}

Result<void> ChatNode::ProcessDatagram(std::string_view text) {
    const auto d = wire::parse(text);
    if (!d) return d.error();
    const std::string_view sender = d->sender;

    auto row = users_.findExact(sender);
    if (row) users_.heardFrom(*row);
    if (row && secure_) secure_->heard(sender);
    // What only accompanies or answers (a signature, a challenge and its
    // answer, a receipt) lists nobody: one that comes after its sender's
    // leave notice would bring him back as a ghost.
    if (!row && secure_ &&
        (wire::isCommand(d->command, secure::Companion) || wire::isCommand(d->command, secure::Challenge) ||
         wire::isCommand(d->command, secure::Answer) || wire::isCommand(d->command, secure::Receipt)))
        return {};
    if (!row) {
        if (!sender.empty() && sender.front() == '_' && !equalsNoCase(sender, state_.MyName)) {
            // A copy that is probing: answer, never list it. Our own roster
            // request comes back too and needs no answer. A copy of ours
            // asking for the roster gets our keys with it: the names it
            // lists without them it takes for copies without keys.
            if (sender != rosterRequestName_) AnswerNewcomer(sender.substr(1));
            return {};
        }
        if (users_.userCount() >= kMaxRosterRows && !users_.findNoCase(sender)) makeRoomFor(sender);
        if (users_.userCount() < kMaxRosterRows) {
            const auto added = users_.tryAddUser(std::string(sender));
            if (!added) return added.error();
            row = *added;
            if (secure_) {
                secure_->noteListed(std::string(sender));
                users_.setKeyState(*row, secure_->stateOf(sender));
                if (waiting_) waiting_->keyState(std::string(sender), secure_->stateOf(sender));
            }
            AnswerNewcomer(sender);
        } else if (wire::isCommand(d->command, wire::ColourAnnounce)) {
            // Unlisted senders are not remembered: answer only what a copy
            // sends first when it joins, not every datagram of theirs.
            reports_.limited("Not listed", "Not listed, the list holds " + std::to_string(kMaxRosterRows) +
                                               " names: " + forLog(sender));
            AnswerNewcomer(sender);
        }
    }

    const auto cmd = d->command;
    const auto payload = d->payload;
    if (wire::isCommand(cmd, fulltext::Command)) {
        if (row && !users_.IsBlocked(sender)) fullTexts_.heard(sender, payload, trust_);
    } else if (wire::isCommand(cmd, wire::ColourAnnounce)) {
        if (!row) return {};
        const auto v = leadingNumber(payload);
        // Unsigned and changing nothing (our copies answer copies without
        // keys in their own terms): nothing to ignore, nothing to log.
        if (trust_ == Trust::NotVerified && v >= std::numeric_limits<std::int32_t>::min() &&
            v <= std::numeric_limits<std::int32_t>::max() &&
            users_.users()[*row].colour == static_cast<std::uint32_t>(static_cast<std::int32_t>(v)))
            return {};
        if (ignoredAsNotVerified(sender, cmd)) return {};
        if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
            return failure(Reason::NumberOutOfRange);
        users_.setColour(*row, static_cast<std::uint32_t>(static_cast<std::int32_t>(v)));
    } else if (wire::isCommand(cmd, wire::StatusAnnounce)) {
        if (!row) return {};
        const auto v = leadingNumber(payload);
        if (trust_ == Trust::NotVerified && v >= 0 && v <= 2 && users_.users()[*row].status == v) return {};
        if (ignoredAsNotVerified(sender, cmd)) return {};
        if (v >= 0 && v <= 2) {
            users_.setStatus(*row, static_cast<std::int16_t>(v), statusNames_[v]);
        } else {
            reports_.unknownData(payload, sender);
            users_.setStatus(*row, -1, "");
        }
    } else if (wire::isCommand(cmd, wire::PublicMessage)) {
        if (payload.empty() || users_.IsBlocked(sender)) return {};
        if (sender == state_.MyName && !startsWith(payload, wire::ChatMark)) return {};
        // Most lines come with no full text waiting: nothing to build for them.
        const auto full = fullTexts_.size() == 0
                              ? std::nullopt
                              : fullTexts_.take(sender, std::string(wire::PublicMessage) + std::string(payload),
                                                trust_);
        deliver(full ? std::string_view(*full) : payload, std::string(sender), false, row,
                trust_ == Trust::NotVerified);
    } else if (wire::isCommand(cmd, wire::LeaveNotice)) {
        // Only a signed leave takes back an address a signature taught.
        if (trust_ == Trust::Verified && transport_.currentSource())
            transport_.sourceLeft(transport_.currentSource(), sender);
        if (trust_ == Trust::Verified && secure_) secure_->dropHeldBeforeLeave(std::string(sender));
        if (!row || ignoredAsNotVerified(sender, cmd)) return {};
        dropUser(*row);
    } else if (wire::isCommand(cmd, wire::PrivateMessage)) {
        const auto p = wire::splitPrivate(payload);
        if (!equalsNoCase(p.recipient, state_.MyName) || users_.IsBlocked(sender)) return {};
        if (!p.text.empty()) deliver(p.text, std::string(sender), true, row, trust_ == Trust::NotVerified);
    } else if (wire::isCommand(cmd, wire::BoxMessage)) {
        if (sender != state_.MyName && !users_.IsBlocked(sender))
            OpenBox(payload, std::string(sender), trust_ == Trust::NotVerified);
    }
    return {};
}

void ChatNode::DeliverMessage(std::string_view text, const std::string& sender, bool isPrivate) {
    deliver(text, sender, isPrivate, users_.findNoCase(sender));
}

void ChatNode::deliver(std::string_view text, const std::string& sender, bool isPrivate, std::optional<std::size_t> row,
                       bool notVerified, bool encrypted, const lineheader::Header* header) {
    // What the line says of itself, once the capability that keeps its
    // chat confirmed the sender is in it.
    const auto describe = [&](Message& m) {
        if (!header) return;
        m.lineId = header->id;
        m.replyTo = header->replyTo;
        if (!header->room.empty()) m.chat = RoomChatKey(header->room);
        capabilities_.vet(m);
    };
    if (startsWith(text, wire::ChatMark)) {
        if (state_.Status == 0) {
            Message m = received(isPrivate ? MessageKind::PrivateChat : MessageKind::Chat, sender,
                                 std::string(text.substr(wire::ChatMark.size())), notVerified, encrypted);
            describe(m);
            // The sender's row is the one its name matches without regard to
            // case (keys are unique); "(All)" is nobody's and has no colour.
            m.colour = (row && !equalsNoCase(sender, UserList::kAllRow)) ? users_.rowColour(*row + 1) : 0;
            sink_.show(m);
            // After the windows took it: a window opened for it shows the
            // earlier lines from the history, not this one twice.
            records_.received(m);
        }
    } else if (startsWith(text, wire::AlertMark)) {
        if (state_.Status == 0 || state_.Status == 1) {
            Message m = received(isPrivate ? MessageKind::PrivateAlert : MessageKind::Alert, sender,
                                 std::string(text.substr(wire::AlertMark.size())), notVerified, encrypted);
            describe(m);
            sink_.show(m);
            records_.received(m);
        }
    } else {
        reports_.unknownData(text, sender);
    }
}

void ChatNode::OpenBox(std::string_view text, const std::string& sender, bool notVerified) {
    const Message m = received(MessageKind::Box, sender, std::string(text), notVerified, false);
    // Kept also when too many boxes are open to show it.
    records_.received(m);
    // Many senders at once (a flood under ever new names) must not bury the
    // desktop in boxes either.
    switch (boxes_.open(sender)) {
    case OpenBoxes::Refusal::SenderHasOne:
        reports_.limited("Box message not shown", "Box message from " + forLog(sender) +
                                                      " not shown: the last one from this sender is still open");
        return;
    case OpenBoxes::Refusal::TooMany:
        reports_.limited("Box message not shown", "Box message from " + forLog(sender) + " not shown: " +
                                                      std::to_string(OpenBoxes::kMax) + " boxes are open");
        return;
    case OpenBoxes::Refusal::None: break;
    }
    try {
        sink_.show(m);
    } catch (...) {
        boxes_.closed(sender);
        throw;
    }
    if (!sink_.BoxStaysOpen()) boxes_.closed(sender);
}

std::int64_t ChatNode::wallMs() const {
    if (config_.wallMicros) return static_cast<std::int64_t>(config_.wallMicros() / 1000);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace lanyx

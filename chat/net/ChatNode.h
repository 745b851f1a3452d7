#pragma once
// One copy of the chat program on the network: settings, language, log,
// roster and the socket commands, driven by start-up and by received
// datagrams. Windows and the headless peer only plug in their ports.
#include <utility>
#include "CapabilityHost.h"
#include "Error.h"
#include "EventLog.h"
#include "FullText.h"
#include "HistoryPort.h"
#include "IpAddress.h"
#include "LineHeader.h"
#include "Message.h"
#include "MessageRecords.h"
#include "MessageSink.h"
#include "OpenBoxes.h"
#include "PresenceReplies.h"
#include "PreviousNames.h"
#include "PrivateLines.h"
#include "Profile.h"
#include "Ports.h"
#include "ReceiveReports.h"
#include "RosterViews.h"
#include "RunState.h"
#include "SecureLink.h"
#include "Settings.h"
#include "Transport.h"
#include "UserList.h"
#include "ProvenSources.h"
#include "WaitingPort.h"
#include "modLANG.h"
#include "modStartUp.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace lanyx {

class ChatNode final : public StartUpHost {
public:
    ChatNode(NodeConfig config, DatagramTransport& transport, UserInterface& ui, MessageSink& sink, EventPump& pump);
    ~ChatNode() override;

    // Sending.
    void SendDatagram(std::string_view commandAndPayload);
    void SendToAll(std::string_view payload);
    // Encrypted (and confirmed) to a recipient whose key is known, and
    // never in the clear to one: withheld when that key changed. To a
    // recipient without a key as "P/" in the clear. To ourselves it stays
    // here. What became of it also goes to the sink. A chat line to several
    // members carries their chat tag into the history. To a copy of ours
    // the line carries `lineId` (one is made when 0) and the shared chat a
    // chat tag names, and the line it answers (`replyTo`, 0: none).
    DeliveryReport SendPrivate(std::string_view recipientBlankMessage, std::string_view chatTag = {},
                               std::uint64_t lineId = 0, std::uint64_t replyTo = 0) {
        return privateLines_.send(recipientBlankMessage, chatTag, lineId, replyTo);
    }
    // A new line id: one line to several members has one.
    std::uint64_t NewLineId() const { return PrivateLines::newLineId(); }
    void OpenNetwork() override;
    void CloseNetwork() override;
    // Colour, status and join notice, as at the join: sent when the
    // computer came onto another network while the copy runs.
    void AnnounceOnNewNetworks();
    // Presence: the empty message, colour and status. Plain: as a copy
    // without keys sends it; Signed: colour and status under one
    // companion; WithKeys: our announcement with them.
    enum class Presence { Plain, Signed, WithKeys };
    void SendPresence(Presence how = Presence::WithKeys);
    // A newcomer is to be answered with our presence: see PresenceReplies.
    void AnswerNewcomer(std::string_view newcomer = {}) { replies_.answer(newcomer); }
    static constexpr std::size_t kAnswerAtOnceUpTo = PresenceReplies::kAnswerAtOnceUpTo;
    static constexpr std::uint32_t kMaxReplyDelayMs = PresenceReplies::kMaxReplyDelayMs;
    static std::uint32_t ReplyWindowMs(std::size_t listed) { return PresenceReplies::windowMs(listed); }
    // Presence replies sent so far (after the join), and whether one waits.
    std::size_t presenceRepliesSent() const { return replies_.sent(); }
    bool replyPending() const { return replies_.pending(); }
    // Where the random wait comes from: a number in [0, bound]. Tests
    // plug in their own.
    void setReplyRandom(std::function<std::uint32_t(std::uint32_t bound)> random) {
        replies_.setRandom(std::move(random));
    }

    // Names listed at most, so that a flood of names cannot grow the node
    // without end. In a full roster a newcomer takes the row of the name
    // never verified that was not heard from for the longest time; when
    // every row is verified, newcomers are answered and logged, not listed.
    static constexpr std::size_t kMaxRosterRows = 20000;
    // The roster request (Refresh, or datagrams the system dropped) at most
    // this often.
    static constexpr std::uint32_t kRosterRequestIntervalMs = 5000;
    // How long the answers to a roster request take at most: the longest
    // wait of a copy before it answers, and the way.
    static constexpr std::uint32_t kRosterAnswerMs = kMaxReplyDelayMs + 1000;
    // Asks every copy on the segment to announce itself: one datagram under
    // a name beginning with "_", which everybody answers and nobody lists.
    // With `dropSilent` (the user's Refresh), rows not heard from within
    // kRosterAnswerMs after it are taken off the list. False when not sent
    // (network closed, or asked again too soon).
    bool RequestRoster(bool dropSilent = false);
    // The system dropped received datagrams (its running count): logged,
    // and the roster is asked for once per such event.
    void DatagramsDropped(std::uint32_t total);
    // The transport stopped receiving (a broken socket) and opened it again
    // or keeps trying: the user is told, and after a reopening the segment
    // is asked for its roster.
    void ReceivingFailed(int number, const std::string& text, bool reopened);

    // Blocks or unblocks each of these users; the windows refresh once.
    void ToggleBlocked(const std::vector<std::string>& names);

    // Receiving: the data-arrival handler (bytes as they came off the wire);
    // a refused datagram is logged here, never shown.
    void onDatagram(std::string_view bytes);
    // One datagram as text; refused (InvalidArgument, Overflow, KeyNotUnique)
    // when it does not parse, carries a number out of range or a name listed
    // in another case.
    Result<void> ProcessDatagram(std::string_view text);
    void DeliverMessage(std::string_view text, const std::string& sender, bool isPrivate);

    // Every message shown to the user and every one of ours that left goes
    // to these as well (the history); an observer stays until removed.
    void addMessageObserver(MessageObserver* observer) { observers_.add(observer); }
    void removeMessageObserver(MessageObserver* observer) { observers_.remove(observer); }
    // A message of a room of its own (a transfer's end), for the observers.
    void reportMessage(const Message& message) { observers_.message(message); }

    // Messages that wait for users who are away plug in here (one at most),
    // and out again before they go.
    void setWaiting(WaitingPort* waiting);
    // What the room of messages that wait uses of the node.
    void WriteLimited(std::string_view kind, const std::string& line) { reports_.limited(kind, line); }
    void ShowDelivery(const DeliveryReport& report) { sink_.PrivateDelivery(report); }
    void reportDelivery(std::uint64_t id, const std::string& recipient, MessageDelivery state) {
        observers_.delivery(id, recipient, state);
    }
    // A problem with the user's files, for the notice after the start.
    void AddSettingsNotice(const std::string& problem);
    // A message box for a failure the user must hear of.
    void Warn(const std::string& text);
    // The computer's clock, ms since 1970.
    std::int64_t WallMs() const { return wallMs(); }

    // Keys: made at the first start, in the data folder (readSettings calls
    // this). False when this build or this folder cannot have them; the
    // copy then behaves as one without keys.
    bool EnableKeys();
    SecureLink* secure() { return secure_.get(); }
    const SecureLink* secure() const { return secure_.get(); }
    // What is known of a user's key (NoKeys for a copy without keys).
    KeyState KeyStateOf(std::string_view name) const { return secure_ ? secure_->stateOf(name) : KeyState::NoKeys; }

    // The source addresses (newest first) where the copy
    // holding the key pinned for `name` answered a challenge since this copy
    // started (after its signed datagrams came from there); a few per name.
    // File offers name addresses that must be among them.
    std::vector<IpAddress> VerifiedSources(std::string_view name) const { return sources_.of(name); }
    // A challenge to the name's copy waits for its answer: another source
    // may soon be among them.
    bool SourceBeingProven(std::string_view name) const { return secure_ && secure_->challengePending(name); }

    // A capability plugs in (announced with our keys from now on) and out
    // again before it goes. Messages are dispatched by its tag, reports of
    // what it sent to it alone.
    void registerCapability(Capability& capability);
    void unregisterCapability(Capability& capability);
    // Whether `name` takes the messages of the capability announced as
    // `word`: heard with its pinned key from a copy that announced it.
    Reach CanTake(const std::string& name, std::string_view word) const {
        return capabilities_.reach(secure_.get(), name, word);
    }
    // A sealed, confirmed message of the capability (its tag and `body`);
    // nothing when the recipient cannot take it or the network is closed.
    std::optional<DeliveryReport> SendSealed(std::string_view word, const std::string& recipient,
                                             const std::string& body);
    // The box of this sender was closed: the next box message may open one.
    void BoxClosed(const std::string& sender) { boxes_.closed(sender); }
    bool IsBoxOpen(std::string_view sender) const { return boxes_.isOpen(sender); }

    // The status menu: remember, announce.
    void SetStatus(std::int16_t status);
    // Whether the name may be used: NameTaken or NameNotAllowed when not.
    Result<void> NameProblem(const std::string& name) const;
    // Reloads the language and re-applies the status names.
    void ReloadLanguage();

    std::string LangText(int code) override;
    std::string StatusName(int status) const { return (status >= 0 && status <= 2) ? statusNames_[status] : ""; }
    std::string StatusCaption() const { return views_.caption(); }
    void WriteLog(const std::string& text) override { log_.WriteLog(text); }

    RunState& state() { return state_; }
    EventPump& pump() { return pump_; }
    UserSettings& settings() { return profile_.data().user; }
    const Geometry& mainGeometry() const { return profile_.data().main; }
    // Where the main window is, kept with the user's settings.
    void keepMainGeometry(const Geometry& g) { profile_.data().main = g; }
    UserList& users() { return users_; }
    LanguageTable& language() { return lang_; }
    EventLog& log() { return log_; }
    const NodeConfig& config() const { return config_; }
    DatagramTransport& transport() { return transport_; }
    std::filesystem::path settingsFile() const { return profile_.settingsFile(); }
    // The settings read had no User.ini to read: this copy's first start on
    // its data folder.
    bool FirstStart() const { return firstStart_; }

    // StartUpHost
    bool anotherInstanceRunning() override { return !profile_.hold(); }
    FolderHolder folderHolder() override { return profile_.holder(); }
    void readSettings() override;
    void trimLog() override {
        if (!log_.TrimLog(300)) log_.WriteLog("Log not trimmed: it could not be read or rewritten");
    }
    std::string settingsNotice() override { return std::exchange(settingsNotice_, {}); }
    void clearUsers() override { users_.ClearlvUsers(); }
    bool isNameTaken(const std::string& name) override { return users_.IsNameTaken(name, state_.MyName); }
    void rejoinUnder(const std::string& name) override;
    void saveSettings() override;
    void applyAutostart() override { profile_.applyAutostart(); }
    RunState& runState() override { return state_; }
    UserSettings& userSettings() override { return profile_.data().user; }
    std::string logonName() override { return config_.logonName; }

private:
    std::int64_t wallMs() const;
    // Takes a user off the roster as a leave notice would.
    void dropUser(std::size_t row);
    void dropSilentSince(std::uint64_t heardMark);
    // A message received, with what is known of it now.
    Message received(MessageKind kind, const std::string& sender, std::string text, bool notVerified,
                     bool encrypted) const {
        return ReceivedMessage(kind, sender, std::move(text), notVerified, encrypted, trust_);
    }
    // A sealed private message (not a capability's): shown, or false.
    bool deliverSealed(const std::string& text, const std::string& sender, Trust trust);
    void sealedDelivery(const DeliveryReport& report);
    // The roster is full: the row of the name never verified and silent
    // the longest makes room for `sender`.
    void makeRoomFor(std::string_view sender);
    // `notVerified`, `encrypted`: what is known of it beside its text.
    void deliver(std::string_view text, const std::string& sender, bool isPrivate, std::optional<std::size_t> row,
                 bool notVerified = false, bool encrypted = false, const lineheader::Header* header = nullptr);
    // One datagram off the wire, or one the secure link held and judged.
    void handleDatagram(std::string_view bytes, std::optional<Trust> judged);
    bool ignoredAsNotVerified(std::string_view sender, std::string_view command);
    void sendWire(std::string_view bytes);
    void OpenBox(std::string_view text, const std::string& sender, bool notVerified);
    // A private message to ourselves, shown as its echo would be.
    void deliverOwnPrivate(const std::string& text);
    void flushRefresh() { views_.flush(); }
    void loadStatusNames();

    NodeConfig config_;
    DatagramTransport& transport_;
    UserInterface& ui_;
    MessageSink& sink_;
    EventPump& pump_;
    RunState state_;
    Profile profile_{config_};
    UserList users_;
    RosterViews views_;
    LanguageTable lang_;
    EventLog log_;
    std::string statusNames_[3];
    std::string settingsNotice_;
    bool firstStart_ = false;
    OpenBoxes boxes_;
    ReceiveReports reports_{log_, pump_, ui_};
    int receiving_ = 0;
    std::string rosterRequestName_;
    std::optional<std::uint32_t> lastRosterRequest_;
    std::uint32_t networkSession_ = 0;  // grows at every close: a waiting roster request is void
    PresenceReplies replies_;
    void sendColourAndStatus(Presence how);
    // The key pinned for `from` announced itself as `to`: what this copy
    // keeps under the old name follows.
    void userRenamed(const std::string& from, const std::string& to);
    // The user has the name in a list: never forgotten as a copy without keys.
    bool keepsName(const std::string& lowerName) const;
    // Our own names before a rename, announced with our keys.
    PreviousNames previousNames_;
    void loadPreviousNames();
    // Told by the secure link for each address a pinned key answered from.
    void noteVerifiedSource(std::string_view sender, IpAddress source);
    ProvenSources sources_;
    MessageObservers observers_;
    MessageRecords records_;
    CapabilityHost capabilities_;
    // What our copies sent to everybody beyond Windows-1252, until its datagram comes.
    FullTexts fullTexts_;
    std::unique_ptr<SecureLink> secure_;
    WaitingPort* waiting_ = nullptr;
    PrivateLines privateLines_;
    Trust trust_ = Trust::Plain;                             // of the datagram being processed
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // timers outliving the node do nothing
};

}  // namespace lanyx

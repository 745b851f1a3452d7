#pragma once
// One copy of the chat program on the network: settings, language, log,
// roster and the socket commands, driven by start-up and by received
// datagrams. Windows and the headless peer only plug in their ports.
#include <utility>
#include "Capability.h"
#include "Error.h"
#include "EventLog.h"
#include "FullText.h"
#include "HistoryPort.h"
#include "IpAddress.h"
#include "Message.h"
#include "PreviousNames.h"
#include "Ports.h"
#include "RunState.h"
#include "SecureLink.h"
#include "Settings.h"
#include "Transport.h"
#include "UserList.h"
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

namespace platform {
class InstanceLock;
}

// A delivery report as the history keeps it.
constexpr HistoryDelivery HistoryDeliveryOf(const DeliveryReport& report) {
    switch (report.state) {
    case Delivery::Waiting: return HistoryDelivery::Waiting;
    case Delivery::Delivered: return HistoryDelivery::Delivered;
    case Delivery::NotConfirmed: return HistoryDelivery::NotConfirmed;
    case Delivery::Queued: return HistoryDelivery::Queued;
    // Nothing withheld is recorded: it never left.
    case Delivery::NoReceipts:
    case Delivery::Withheld:
    case Delivery::Local: break;
    }
    return HistoryDelivery::Sent;
}

// Where received messages go: alert popups and chat windows on the desktop,
// lines on standard output in the headless peer.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // An alert, a chat line (for the chat windows that hold the sender, or
    // a new one) or a plain message box titled with the sender's name,
    // with what is known of it: its text comes without the "not verified"
    // mark, which the sink puts where showsNotVerified(). The node asks for
    // at most one box per sender at a time, and for a few at most in all.
    virtual void show(const Message& message) = 0;
    // False (headless, or a modal box): the box is closed when show returns.
    // True: it stays open after show returns, and the sink calls
    // ChatNode::BoxClosed(sender) when the user closes it.
    virtual bool BoxStaysOpen() const { return false; }
    // What became of a private message sent: every message gets one report
    // when sent, an encrypted one another when confirmed or given up.
    virtual void PrivateDelivery(const DeliveryReport& /*report*/) {}
    // A user announced a key other than the one pinned for the name.
    virtual void KeyWarning(const std::string& /*name*/, const std::string& /*text*/) {}
    virtual void RemoveUserFromChats(const std::string& /*name*/) {}
    // A user renamed (announced by the same key): the user's chats, pin,
    // history, groups and waiting messages are under the new name now.
    virtual void UserRenamed(const std::string& /*from*/, const std::string& /*to*/) {}
    // ... onto a name the user has in a group or the history: another
    // person's, perhaps. Told before UserRenamed.
    virtual void RenamedOntoKnownName(const std::string& /*from*/, const std::string& /*to*/) {}
    virtual void RefreshChatUserLists() {}
    virtual void StatusCaptionChanged(const std::string& /*caption*/) {}
    // The list of blocked names (else the groups) holds all it keeps
    // (`cap`): `leftOut` more were not taken. Told once per list and run.
    virtual void ListFull(bool /*blockedList*/, std::size_t /*leftOut*/, std::size_t /*cap*/) {}
};

struct NodeConfig {
    std::filesystem::path dataDir;           // User.ini, Log.txt and the instance lock
    std::filesystem::path langFile;          // Lang.con
    std::filesystem::path autostartProgram;  // empty: leave the autostart registration alone
    std::string logonName;
    // For this run only; the settings file keeps its own values.
    std::optional<std::string> nameForRun;
    std::optional<std::uint32_t> colourForRun;
    // This computer's clock in microseconds since 1970 (the system clock
    // when empty): dates what is signed, and judges what others signed.
    std::function<std::uint64_t()> wallMicros;
    // Called once this copy holds its data folder (no other copy runs on
    // it): where the programs open what only one copy may write.
    std::function<void()> folderHeld;
};

class ChatNode final : public StartUpHost, private UserListObserver {
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
    // members carries their chat tag into the history.
    DeliveryReport SendPrivate(std::string_view recipientBlankMessage, std::string_view chatTag = {});
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
    // A newcomer is to be answered with our presence. A presence is a
    // broadcast, so one answers every newcomer heard before it goes out:
    // with more than a few users listed the answer waits a random time
    // within ReplyWindowMs, and newcomers heard meanwhile share it.
    void AnswerNewcomer(std::string_view newcomer = {});
    // Rosters up to this size answer at once.
    static constexpr std::size_t kAnswerAtOnceUpTo = 4;
    // The wait grows by this much per user listed, up to kMaxReplyDelayMs.
    static constexpr std::uint32_t kReplyDelayPerUserMs = 4;
    static constexpr std::uint32_t kMaxReplyDelayMs = 2000;
    // A newcomer answered without our keys that announces its own within
    // this time gets ours after all.
    static constexpr std::uint32_t kKeysLateMs = 3000;
    // The longest wait before answering, with `listed` users in the roster.
    static std::uint32_t ReplyWindowMs(std::size_t listed);
    // Presence replies sent so far (after the join), and whether one waits.
    std::size_t presenceRepliesSent() const { return repliesSent_; }
    bool replyPending() const { return replyPending_; }
    // Where the random wait comes from: a number in [0, bound]. Tests
    // plug in their own.
    void setReplyRandom(std::function<std::uint32_t(std::uint32_t bound)> random) { replyRandom_ = std::move(random); }

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
    void addMessageObserver(MessageObserver* observer);
    void removeMessageObserver(MessageObserver* observer);
    // A message of a room of its own (a transfer's end), for the observers.
    void reportMessage(const Message& message);

    // Messages that wait for users who are away plug in here (one at most),
    // and out again before they go.
    void setWaiting(WaitingPort* waiting);
    // What the room of messages that wait uses of the node.
    void WriteLimited(std::string_view kind, const std::string& line) { writeLimited(kind, line); }
    void ShowDelivery(const DeliveryReport& report) { sink_.PrivateDelivery(report); }
    void reportDelivery(std::uint64_t id, const std::string& recipient, MessageDelivery state);
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
    std::vector<IpAddress> VerifiedSources(std::string_view name) const;
    // A challenge to the name's copy waits for its answer: another source
    // may soon be among them.
    bool SourceBeingProven(std::string_view name) const { return secure_ && secure_->challengePending(name); }
    static constexpr std::size_t kSourcesPerName = 4;
    static constexpr std::size_t kSourceNames = 4096;

    // A capability plugs in (announced with our keys from now on) and out
    // again before it goes. Messages are dispatched by its tag, reports of
    // what it sent to it alone.
    void registerCapability(Capability& capability);
    void unregisterCapability(Capability& capability);
    // Whether `name` takes the messages of the capability announced as
    // `word`: heard with its pinned key from a copy that announced it.
    Reach CanTake(const std::string& name, std::string_view word) const;
    // A sealed, confirmed message of the capability (its tag and `body`);
    // nothing when the recipient cannot take it or the network is closed.
    std::optional<DeliveryReport> SendSealed(std::string_view word, const std::string& recipient,
                                             const std::string& body);
    // The box of this sender was closed: the next box message may open one.
    void BoxClosed(const std::string& sender);
    bool IsBoxOpen(std::string_view sender) const;

    // The status menu: remember, announce.
    void SetStatus(std::int16_t status);
    // Whether the name may be used: NameTaken or NameNotAllowed when not.
    Result<void> NameProblem(const std::string& name) const;
    // Whether a name holds only what a name may (a-z, A-Z, 0-9), taken or not.
    static bool NameAllowed(std::string_view name);
    // The language file's text that says why a name was refused.
    static int NameRefusalText(Reason reason);
    // Reloads the language and re-applies the status names.
    void ReloadLanguage();

    std::string LangText(int code) override;
    std::string StatusName(int status) const { return (status >= 0 && status <= 2) ? statusNames_[status] : ""; }
    std::string StatusCaption();
    void WriteLog(const std::string& text) override { log_.WriteLog(text); }

    RunState& state() { return state_; }
    EventPump& pump() { return pump_; }
    UserSettings& settings() { return data_.user; }
    Geometry& mainGeometry() { return data_.main; }
    UserList& users() { return users_; }
    LanguageTable& language() { return lang_; }
    EventLog& log() { return log_; }
    const NodeConfig& config() const { return config_; }
    DatagramTransport& transport() { return transport_; }
    std::filesystem::path settingsFile() const { return config_.dataDir / "User.ini"; }

    // StartUpHost
    bool anotherInstanceRunning() override;
    FolderHolder folderHolder() override;
    void readSettings() override;
    void trimLog() override {
        if (!log_.TrimLog(300)) log_.WriteLog("Log not trimmed: it could not be read or rewritten");
    }
    std::string settingsNotice() override { return std::exchange(settingsNotice_, {}); }
    void clearUsers() override { users_.ClearlvUsers(); }
    bool isNameTaken(const std::string& name) override { return users_.IsNameTaken(name, state_.MyName); }
    void rejoinUnder(const std::string& name) override;
    void saveSettings() override;
    void applyAutostart() override;
    RunState& runState() override { return state_; }
    UserSettings& userSettings() override { return data_.user; }
    std::string logonName() override { return config_.logonName; }

private:
    void LogUnknownData(std::string_view text, std::string_view sender);
    std::int64_t wallMs() const;
    // Takes a user off the roster as a leave notice would.
    void dropUser(std::size_t row);
    void dropSilentSince(std::uint64_t heardMark);
    // A message received, with what is known of it now.
    Message received(MessageKind kind, const std::string& sender, std::string text, bool notVerified,
                     bool encrypted) const;
    // A message shown to the user, for the observers (not our own echoes).
    void reportReceived(const Message& message);
    bool observerKnows(const std::string& name) const;
    void recordPrivateSent(std::string_view recipient, std::string_view message, const DeliveryReport& report,
                           std::string_view chatTag);
    void recordSent(HistoryKind kind, std::string_view recipient, std::string_view text, const DeliveryReport* report,
                    std::string_view chatTag);
    void LogReceiveError(int number, const std::string& description);
    // A line about something a peer sent: limited per kind, see LogLimiter.
    void writeLimited(std::string_view kind, const std::string& line);
    // `notVerified`, `encrypted`: what is known of it beside its text.
    void deliver(std::string_view text, const std::string& sender, bool isPrivate, std::optional<std::size_t> row,
                 bool notVerified = false, bool encrypted = false);
    // One datagram off the wire, or one the secure link held and judged.
    void handleDatagram(std::string_view bytes, std::optional<Trust> judged);
    void refuseDatagram(const Error& e);
    bool ignoredAsNotVerified(std::string_view sender, std::string_view command);
    void sendWire(std::string_view bytes);
    void OpenBox(std::string_view text, const std::string& sender, bool notVerified);
    // A private message to ourselves, shown as its echo would be.
    void deliverOwnPrivate(std::string text);
    void updateCaption();
    // Refreshes the status line and the chat windows' lists as far as the
    // roster changed since the last time; inside a batch of datagrams only
    // once, at its end.
    void flushRefresh();
    void requestRefresh(bool caption, bool chats);
    void loadStatusNames();
    // UserListObserver: refresh what chat windows and the status line show
    // only when it changed.
    void rowsReset() override;
    void userAdded(std::size_t) override;
    void userRemoved(const std::string&) override;
    void userChanged(std::size_t) override;
    void blockedChanged() override;
    void groupRowsChanged() override;
    void listFull(bool blockedList, std::size_t leftOut) override;

    NodeConfig config_;
    DatagramTransport& transport_;
    UserInterface& ui_;
    MessageSink& sink_;
    EventPump& pump_;
    RunState state_;
    SettingsData data_;
    UserList users_;
    LanguageTable lang_;
    EventLog log_;
    std::string statusNames_[3];
    std::string caption_;
    std::string captionWords_;
    std::string persistedName_;
    std::string runNameSaved_;  // what RunName.txt holds, as this run wrote it
    std::string settingsNotice_;
    bool settingsLeftAlone_ = false;  // User.ini could not be read: never written over
    bool blockedFullTold_ = false;
    bool groupsFullTold_ = false;
    std::uint32_t persistedColour_ = 0;
    std::unique_ptr<platform::InstanceLock> lock_;
    std::unordered_set<std::string> openBoxes_;  // lower-case senders
    LogLimiter receiveLog_;
    int receiving_ = 0;
    bool captionDirty_ = false;
    bool chatsDirty_ = false;
    std::string rosterRequestName_;
    std::optional<std::uint32_t> lastRosterRequest_;
    std::uint32_t dropsLogged_ = 0;
    bool replyPending_ = false;
    std::size_t repliesSent_ = 0;
    std::uint32_t networkSession_ = 0;  // grows at every close: a waiting reply is void
    std::function<std::uint32_t(std::uint32_t)> replyRandom_;
    // Newcomers the waiting presence answers, and those answered without
    // our keys lately (name, when): one of them announcing keys after all
    // gets ours.
    std::vector<std::string> answering_;
    std::vector<std::pair<std::string, std::uint32_t>> answeredWithoutKeys_;
    bool keysPending_ = false;
    void firstAnnouncement(const std::string& name);
    void sendColourAndStatus(Presence how);
    void sendKeysSoon();
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
    std::unordered_map<std::string, std::vector<IpAddress>> verifiedSources_;  // lower-case name
    std::vector<MessageObserver*> observers_;
    Capability* capabilityOf(std::string_view word) const;
    void announceCapability(const Capability& capability);
    // In the order they plugged in, and who sent each report awaited.
    std::vector<Capability*> capabilities_;
    // What our copies sent to everybody beyond Windows-1252, until its datagram comes.
    FullTexts fullTexts_;
    std::unordered_map<std::uint64_t, Capability*> reports_;
    std::unique_ptr<SecureLink> secure_;
    WaitingPort* waiting_ = nullptr;
    Trust trust_ = Trust::Plain;                             // of the datagram being processed
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // timers outliving the node do nothing
};

}  // namespace lanyx

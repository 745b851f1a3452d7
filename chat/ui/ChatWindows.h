#pragma once
// The program's collection of compose, popup and chat windows, and the
// routines that act on all of them: opening, routing a received chat line,
// following peers that leave, refreshing member images.
#include "ChatNode.h"
#include "UserChoices.h"
#include "HistoryHost.h"
#include "RoomService.h"
#include "ReadMarks.h"
#include "TypingService.h"
#include "LineVerbs.h"
#include "PictureTransfers.h"
#include "WindowHub.h"
#include "frmPop.h"

#include <deque>

#include <QList>
#include <memory>
#include <utility>
#include <QObject>
#include <QPointer>
#include <functional>
#include <map>

class QTimer;

namespace lanyx::history {
class History;
class HistoryStore;
struct HistoryRow;
struct Filter;
}

namespace lanyx::ui {

class DesktopNotifier;
class PopupSummary;
class frmChat;
class frmPop;

class ChatWindows : public QObject,
                    public WindowHub,
                    public HistoryHost,
                    public rooms::RoomObserver,
                    public typing::TypingObserver,
                    public readmarks::ReadMarkObserver,
                    public verbs::VerbObserver {
    Q_OBJECT
public:
    using SoundFn = std::function<void(const QString&)>;
    using ChooseFileFn = std::function<QString(const std::string& fileTypes)>;
    ChatWindows(ChatNode& node, SoundFn sound, ChooseFileFn chooseFile, QObject* parent = nullptr);
    ~ChatWindows() override;

    frmCom* OpenComposeWindow(const std::string& list) override;
    frmChat* OpenChatWindow(const std::string& list) override { return OpenChatWindow(list, {}); }
    // ... as the window of that shared chat (its lines so far from the history).
    frmChat* OpenChatWindow(const std::string& list, const std::string& roomId);
    void RefreshChatUserLists() override;
    void PlaySoundSetting(const QString& setting) override;
    QString ChooseExportFile(const std::string& fileTypes) override;
    // What the History window asks of the program.
    std::string ownName() const override { return node_.state().MyName; }
    std::uint32_t colourOf(const std::string& name) const override { return node_.users().GetColorForUName(name); }
    QString chooseTranscriptFile() override;
    FileTransfers* files() override { return files_; }
    WaitingService* waiting() override { return waiting_; }
    void ShowUserInfo(const std::string& name) override {
        if (userInfo_) userInfo_(name);
    }
    // Where the user's information opens (the main window's).
    void setUserInfo(std::function<void(const std::string&)> open) { userInfo_ = std::move(open); }
    void OpenHistory(const std::string& list) override {
        if (openHistory_) openHistory_(list);
    }
    // Where new chat windows find the last lines with their members, and
    // what opens the History window.
    void setHistory(history::History* history, std::function<void(const std::string&)> open);
    history::History* history() const { return history_; }
    // Lines shown from the history when a chat window opens.
    static constexpr std::size_t kEarlierLines = 20;
    // The chat of the first window with several members that showed the
    // last line routed, for the history; empty when none did.
    std::string takeChatTag() { return std::exchange(lastChatTag_, {}); }
    // Lines not read yet, by the history's key of their conversation.
    const std::map<std::string, int>& unreadLines() const { return unreadLines_; }
    // The history's key of the window's conversation.
    std::string conversationKey(const frmChat* w) const;
    // The window of that conversation (the history's key), brought to the
    // front or opened on `list` or the shared chat `roomId`; none when the
    // shared chat is no longer kept here.
    frmChat* OpenConversation(const std::string& key, const std::string& list, const std::string& roomId);
    // Compose and chat windows opened from now on offer Send File... and
    // take dropped files.
    void setFileTransfers(FileTransfers* files) { files_ = files; }
    void setWaiting(WaitingService* waiting) { waiting_ = waiting; }
    FolderMemory* folders() override { return folders_; }
    void setFolderMemory(FolderMemory* folders) { folders_ = folders; }

    // Every chat window that holds the sender (or "(All)") shows the line;
    // when none does, a new window opens for the sender.
    // A line said in a shared chat (`roomId`, as the node vetted it) goes
    // to that chat's window alone.
    void RouteChatLine(const std::string& line, const std::string& sender, std::uint32_t colour,
                       const std::string& roomId = {}, std::uint64_t lineId = 0, std::uint64_t replyTo = 0);
    // A member whose copy has keys stays in the chats: one back within
    // kRejoinGraceMs (what the Options dialog does) is not even marked;
    // later, the windows mark the member away until the return. A copy
    // without keys is taken off, as any copy does.
    void RemoveUserFromChats(const std::string& name);
    static constexpr int kRejoinGraceMs = 5000;
    void setRejoinGraceMs(int ms) { rejoinGraceMs_ = ms; }

    // Chat windows with several members become shared chats, kept the same
    // on every member's copy that shares them (none: each window keeps a
    // list of its own).
    void setRooms(rooms::RoomService* rooms);
    // Who types in which conversation, told to and by the members' copies.
    void setTyping(typing::TypingService* typing);
    void UserTyping(frmChat* window) override;
    void typingChanged(const std::string& chat, const std::vector<std::string>& who) override;
    // Which lines the user saw, told to their senders' copies; who saw ours.
    void setReadMarks(readmarks::ReadMarks* marks);
    void seenBy(const std::string& chat, const std::string& who) override;
    // Reactions, edits and deletions: shown where their lines are.
    void setVerbs(verbs::LineVerbs* verbs);
    verbs::LineVerbs* verbs() override { return verbs_; }
    // Pictures: pasted, dropped or picked in the windows, and those that
    // arrive shown in the chat they were said in (a window opens for a
    // private one when none holds the sender).
    void setPictures(pictures::PictureTransfers* pictures);
    pictures::PictureTransfers* pictures() override { return pictures_; }
    void ShowPicture(const pictures::PictureNote& note);
    void reacted(const verbs::LineRef& line, const std::string& who, const std::string& emoji, bool added) override;
    void edited(const verbs::LineRef& line) override;
    void deleted(const verbs::LineRef& line) override;
    rooms::RoomService* rooms() const { return rooms_; }
    void ChatMemberChanged(frmChat* window, const std::string& name, bool added) override;
    void RoomLineSent(const std::string& roomId) override {
        if (rooms_) rooms_->touch(roomId);
    }
    void roomChanged(const rooms::Room& room, const rooms::RoomEvent& event) override;
    void roomBacklog(const rooms::Room& room, const std::string& by, const std::vector<Message>& lines) override;
    // The open window of a shared chat; nullptr when none is.
    frmChat* windowOfRoom(const std::string& id) const;
    // A note (not a chat line) in every chat window that holds the user.
    void NoteToChatsWith(const QString& user, std::function<QString()> note);
    // A report about a private message a compose or chat window sent.
    void PrivateDelivery(const DeliveryReport& report);
    // Every open chat window takes the user's new own name.
    void RenameOwnInChats(const std::string& from, const std::string& to);
    // A member renamed (the same key announced the new name): the windows
    // holding the member take the new name, with a line saying so.
    void RenameInChats(const std::string& from, const std::string& to);
    // One popup per sender (later alerts join it) and at most kMaxPopups in
    // all. A new sender takes the place of the popup that heard nothing for
    // the longest time; its alerts go to the summary, which lists what is
    // not shown. Senders that matter (listed with a verified key, in a
    // group, in an open chat) always get a popup and are never pushed out
    // by others. Names heard before the strangers now waiting (the receive
    // path tells) take a stranger's place at any time; among themselves,
    // as strangers among strangers, a place goes at most once per
    // kMakeRoomGapMs, and otherwise the alerts wait in the summary.
    // nullptr when not shown.
    frmPop* ShowAlert(const std::string& text, const std::string& sender, bool isPrivate);
    static constexpr int kMaxPopups = 8;
    static constexpr int kMakeRoomGapMs = 500;
    // Whether alerts of this sender must always be shown.
    bool Matters(const QString& sender) const;
    // Alerts go to desktop notifications where `chosen` says so, or where a
    // popup cannot place itself (a native Wayland window); never without a
    // notification service.
    void setNotifier(DesktopNotifier* notifier, std::function<bool()> chosen);
    DesktopNotifier* notifier() const { return notifier_; }
    // The sound setting played for a chat line arriving in a window in the
    // background ("(S)" plays nothing).
    void setChatSound(std::function<QString()> setting) { chatSound_ = std::move(setting); }
    // Chat windows holding a line not seen yet (arrived while not active).
    QList<frmChat*> unreadWindows() const;
    bool hasUnread() const { return !unreadWindows().isEmpty(); }
    // At most one chat sound in this time, however many lines arrive.
    static constexpr int kChatSoundGapMs = 2000;
    // Chat windows the network may open (a line from a sender no window holds).
    static constexpr int kMaxNetworkChats = 16;
    int alertsNotShown() const { return alertsNotShown_; }
    // Alerts the receive path counted without keeping them (a storm of
    // names first heard during it): told in the summary and the tray.
    void countNotKept(int alerts);
    // Milliseconds of a steady clock: the gaps between popups and log lines.
    // Tests plug in the segment's simulated one.
    using ClockFn = std::function<qint64()>;
    void setClock(ClockFn clock) { clock_ = std::move(clock); }
    int chatLinesNotShown() const { return chatLinesNotShown_; }
    QList<frmPop*> popups() const;
    std::vector<PopupBand> PopupBandsTaken(const frmPop* beside) const override;
    // The popup listing alerts not shown; none before there was one.
    PopupSummary* summary() const;

Q_SIGNALS:
    // Alerts or chat lines were not shown (too many windows): for the tray.
    void notShownChanged(int alerts, int chatLines);
    // A chat window got a line while in the background, or the last such
    // window was activated or closed: for the tray's unread state.
    void unreadChanged(bool unread);
    // A line was shown or read: the list of conversations may show it.
    void conversationsChanged();

public:
    // Refreshes now instead of once the current events are through.
    void refreshNow();
    // Open chat windows, in the order they were opened.
    QList<frmChat*> chatWindows() const;

private:
    void placeNew(frmChat* w);
    void markUnread(frmChat* w);
    void markRead(frmChat* w);
    void notificationAction(const QString& sender, const QString& action, const QString& text);
    // A popup for the sender with these alerts, making room where all are
    // taken (`asked`: the user opened it from the summary).
    // `rank`: 2 matters (or the user asked), 1 heard before, 0 a stranger.
    frmPop* showPopup(const QString& sender, std::deque<PopAlert> alerts, int rank);
    int rankOf(const frmPop* pop) const;
    PopupSummary* ensureSummary();

    ChatNode& node_;
    UserChoices choices_{node_};
    SoundFn sound_;
    ChooseFileFn chooseFile_;
    QList<QPointer<frmChat>> chats_;
    QList<QPointer<frmPop>> pops_;
    QPointer<PopupSummary> summary_;
    qint64 lastMadeRoom_ = -1;
    QList<QPointer<frmChat>> fromNetwork_;
    QStringList unknownOpened_;  // senders not listed, a window once opened for each
    int alertsNotShown_ = 0;
    int chatLinesNotShown_ = 0;
    qint64 lastNotShownLog_ = -1;
    void countNotShown(bool alert, int count = 1);
    // The tray hears of what was not shown once per pass of the event loop.
    void tellNotShown();
    bool notShownPending_ = false;
    ClockFn clock_;
    qint64 now() const;
    bool refreshPending_ = false;
    DesktopNotifier* notifier_ = nullptr;
    std::function<bool()> chosen_;
    std::function<QString()> chatSound_;
    // As widgets: a window being destroyed is a QWidget no longer a frmChat,
    // and its pointer is read in that state.
    QList<QPointer<QWidget>> unread_;
    qint64 lastChatSound_ = -1;
    bool forcePopup_ = false;
    FileTransfers* files_ = nullptr;
    WaitingService* waiting_ = nullptr;
    std::function<void(const std::string&)> userInfo_;
    FolderMemory* folders_ = nullptr;
    history::History* history_ = nullptr;
    std::unique_ptr<history::HistoryStore> reader_;
    std::uint64_t readerGeneration_ = 0;
    std::function<void(const std::string&)> openHistory_;
    std::string lastChatTag_;
    std::map<std::string, int> unreadLines_;
    void showEarlier(frmChat* w, const std::string& list);
    // What the history holds (empty when it cannot be read).
    std::vector<history::HistoryRow> readHistory(const history::Filter& filter);
    frmChat* openRoomWindow(const rooms::Room& room);
    void leftForGood(const std::string& name);
    rooms::RoomService* rooms_ = nullptr;
    typing::TypingService* typing_ = nullptr;
    readmarks::ReadMarks* readMarks_ = nullptr;
    verbs::LineVerbs* verbs_ = nullptr;
    pictures::PictureTransfers* pictures_ = nullptr;
    // Lines of copies of ours that came while their window was behind: by
    // window, the newest of each sender's, told seen once it is in front.
    std::map<const QObject*, std::map<std::string, std::uint64_t>> unseen_;
    int rejoinGraceMs_ = kRejoinGraceMs;
};

}  // namespace lanyx::ui

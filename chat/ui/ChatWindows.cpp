#include "ChatWindows.h"

#include "Announce.h"

#include "History.h"
#include "HistoryView.h"

#include "Text.h"
#include "frmChat.h"
#include "frmCom.h"
#include "frmPop.h"
#include "FileSending.h"
#include "LangText.h"
#include "Notifier.h"
#include "PopupSummary.h"
#include "logic/Cascade.h"
#include "logic/Mentions.h"
#include "logic/DesktopPrefs.h"

#include <QApplication>

#include <QGuiApplication>
#include <QScreen>

#include <QDateTime>
#include <QTimer>

#include <chrono>

namespace lanyx::ui {

ChatWindows::ChatWindows(ChatNode& node, SoundFn sound, ChooseFileFn chooseFile, QObject* parent)
    : QObject(parent), node_(node), sound_(std::move(sound)), chooseFile_(std::move(chooseFile)) {
}

qint64 ChatWindows::now() const {
    if (clock_) return clock_();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

frmCom* ChatWindows::OpenComposeWindow(const std::string& list) {
    frmCom* w = ui::OpenComposeWindow(node_, list);
    if (w) {
        w->sendFiles()->setMemory(folders_);
        w->setFiles(files_);
        w->setWaiting(waiting_);
        w->setOpenCheck([this](const std::string& name) { ShowUserInfo(name); });
    }
    return w;
}

void ChatWindows::PrivateDelivery(const DeliveryReport& report) {
    // Rare enough to ask every window; each knows its own messages.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* com = qobject_cast<frmCom*>(w)) com->ShowDelivery(report);
        else if (auto* chat = qobject_cast<frmChat*>(w)) chat->ShowDelivery(report);
    }
}

frmChat* ChatWindows::OpenChatWindow(const std::string& list, const std::string& roomId) {
    auto* w = new frmChat(node_, *this);
    chats_.append(w);
    connect(w, &frmChat::activated, this, [this, w] { markRead(w); });
    connect(w, &QObject::destroyed, this, [this](QObject* gone) {
        // The pointer may not be cleared yet while the window is destroyed.
        const bool had = !unread_.isEmpty();
        unread_.removeIf([gone](const QPointer<QWidget>& p) { return !p || p.data() == gone; });
        if (had && unread_.isEmpty()) Q_EMIT unreadChanged(false);
        unseen_.erase(gone);  // closed unseen: nobody is told
    });
    w->AddUser(node_.state().MyName);
    const auto n = CountItems(list);
    std::vector<std::string> others;
    for (std::int32_t i = 1; i <= n; ++i) {
        w->AddUser(GetItem(list, i));
        others.push_back(GetItem(list, i));
    }
    // Several members make a shared chat: everybody in it sees the others.
    if (!roomId.empty()) w->setRoom(roomId);
    else if (rooms_ && !w->members().hasAll() && w->members().names().size() > 2)
        if (const auto* room = rooms_->open(others)) w->setRoom(room->id);
    showEarlier(w, list);
    placeNew(w);
    w->show();
    RefreshChatUserLists();
    node_.WriteLog("New chat window opened");
    return w;
}

ChatWindows::~ChatWindows() = default;

void ChatWindows::setHistory(history::History* history, std::function<void(const std::string&)> open) {
    history_ = history;
    openHistory_ = std::move(open);
    reader_.reset();
}

void ChatWindows::showEarlier(frmChat* w, const std::string& list) {
    if (!history_) return;
    const auto scope = w->roomId().empty() ? ScopeOfList(list, node_.state().MyName)
                                           : history::Scope::group(history::RoomKey(w->roomId()));
    if (scope.type == history::Scope::Type::All) return;
    history::Filter f;
    f.scope = scope;
    f.limit = kEarlierLines;
    f.chatOnly = true;
    w->ShowEarlier(CollapseGroupSends(readHistory(f)));
}

std::vector<history::HistoryRow> ChatWindows::readHistory(const history::Filter& filter) {
    if (!history_) return {};
    // A file made anew (the old one was damaged) needs a connection of its own.
    if (!reader_ || readerGeneration_ != history_->generation()) {
        readerGeneration_ = history_->generation();
        reader_ = history_->openReader();
    }
    if (!reader_) return {};
    try {
        return history_->rows(*reader_, filter);
    } catch (const history::sql::Error& e) {
        reader_.reset();
        node_.WriteLog(std::string("The history could not be read: ") + e.what());
    }
    return {};
}

void ChatWindows::placeNew(frmChat* w) {
    // Every chat window starts at the one shared place: a new one must not
    // hide an older one exactly.
    QList<QPoint> taken;
    for (frmChat* other : chatWindows())
        if (other != w && other->isVisible()) taken.append(other->pos());
    const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    w->move(CascadePlace(w->pos(), w->size(), s->availableGeometry(), taken, 24));
}

QList<frmChat*> ChatWindows::chatWindows() const {
    QList<frmChat*> open;
    for (const auto& w : chats_)
        if (w) open.append(w);
    return open;
}

void ChatWindows::NoteToChatsWith(const QString& user, std::function<QString()> note) {
    const std::string name = user.toStdString();
    for (frmChat* chat : chatWindows())
        if (chat->IsUserPresent(name)) chat->AddNote(note);
}

void ChatWindows::RouteChatLine(const std::string& line, const std::string& sender, std::uint32_t colour,
                                const std::string& roomId, std::uint64_t lineId, std::uint64_t replyTo) {
    bool shown = false;
    lastChatTag_.clear();
    // The line came: its sender types no more there.
    if (typing_) typing_->lineFrom(sender, roomId.empty() ? std::string() : history::RoomKey(roomId));
    // The own lines come back from the segment too: they need no attention.
    const bool own = QString::fromStdString(sender).compare(QString::fromStdString(node_.state().MyName),
                                                            Qt::CaseInsensitive) == 0;
    // A line that names the user ("@ann") in a window not in front is a
    // notification of its own, where the desktop shows them.
    const bool mentioned = !own && Mentions(QString::fromStdString(line), QString::fromStdString(node_.state().MyName));
    const auto unread = [&](frmChat* w) {
        if (own) return;
        const bool behind = !w->isActiveWindow();
        if (readMarks_ && lineId != 0) {
            if (behind) unseen_[w][sender] = lineId;
            else readMarks_->seen(sender, lineId);
        }
        markUnread(w);
        if (mentioned && behind && notifier_ && notifier_->available())
            notifier_->notify(QString::fromStdString(sender), QString::fromStdString(line));
    };
    if (const rooms::Room* room = rooms_ && !roomId.empty() ? rooms_->book().find(roomId) : nullptr) {
        frmChat* w = windowOfRoom(room->id);
        if (!w) w = openRoomWindow(*room);
        if (w->AddMsg(line, sender, colour, lineId, replyTo)) unread(w);
        lastChatTag_ = history::RoomKey(room->id);
        Q_EMIT conversationsChanged();
        return;
    }
    for (frmChat* w : chatWindows())
        if (w->AddMsg(line, sender, colour, lineId, replyTo)) {
            shown = true;
            unread(w);
            if (lastChatTag_.empty()) lastChatTag_ = w->chatKey();
        }
    if (shown) {
        Q_EMIT conversationsChanged();
        return;
    }
    // A flood of lines from many names must not open a window for each.
    fromNetwork_.removeAll(nullptr);
    const bool listed = node_.users().findNoCase(sender).has_value();
    const QString key = QString::fromStdString(sender).toLower();
    if (fromNetwork_.size() >= kMaxNetworkChats || (!listed && unknownOpened_.contains(key))) {
        countNotShown(false);
        return;
    }
    if (!listed) unknownOpened_.append(key);
    // A member of a shared chat whose window was closed: it opens again
    // with everybody in it.
    const rooms::Room* room = rooms_ ? rooms_->book().latestWith(sender) : nullptr;
    frmChat* w = room && !windowOfRoom(room->id) ? openRoomWindow(*room) : OpenChatWindow(sender + "|");
    fromNetwork_.append(w);
    if (w->AddMsg(line, sender, colour, lineId, replyTo)) unread(w);
}

QList<frmChat*> ChatWindows::unreadWindows() const {
    QList<frmChat*> list;
    for (const auto& w : unread_)
        if (w) list.append(static_cast<frmChat*>(w.data()));
    return list;
}

void ChatWindows::markUnread(frmChat* w) {
    if (w->isActiveWindow()) return;
    // The desktop's own way: an urgency hint, a flashing task bar entry;
    // and for a screen reader an alert on the window.
    QApplication::alert(w);
    AnnounceAlert(w);
    const qint64 at = now();
    if (chatSound_ && (lastChatSound_ < 0 || at - lastChatSound_ >= kChatSoundGapMs)) {
        const QString setting = chatSound_();
        if (setting != QLatin1String("(S)")) {
            lastChatSound_ = at;
            PlaySoundSetting(setting);
        }
    }
    ++unreadLines_[conversationKey(w)];
    Q_EMIT conversationsChanged();
    unread_.removeAll(nullptr);
    if (unread_.contains(w)) return;
    unread_.append(w);
    if (unread_.size() == 1) Q_EMIT unreadChanged(true);
}

std::string ChatWindows::conversationKey(const frmChat* w) const {
    if (w->members().hasAll()) return std::string(history::kEverybodyKey);
    if (auto key = w->chatKey(); !key.empty()) return key;
    for (const auto& m : w->members().names())
        if (!equalsNoCase(m, node_.state().MyName)) return toLower(m);
    return {};
}

void ChatWindows::setReadMarks(readmarks::ReadMarks* marks) {
    if (readMarks_) readMarks_->setObserver(nullptr);
    readMarks_ = marks;
    if (readMarks_) readMarks_->setObserver(this);
}

void ChatWindows::setVerbs(verbs::LineVerbs* verbs) {
    if (verbs_) verbs_->removeObserver(this);
    verbs_ = verbs;
    if (verbs_) verbs_->addObserver(this);
}

void ChatWindows::setPictures(pictures::PictureTransfers* pictures) {
    if (pictures_) pictures_->disconnect(this);
    pictures_ = pictures;
    if (pictures_) connect(pictures_, &pictures::PictureTransfers::pictureArrived, this, &ChatWindows::ShowPicture);
}

void ChatWindows::ShowPicture(const pictures::PictureNote& note) {
    const std::string sender = note.sender.toStdString();
    frmChat* w = nullptr;
    if (const rooms::Room* room = rooms_ && IsRoomChatKey(note.chat) ? rooms_->book().find(note.chat.substr(1))
                                                                     : nullptr) {
        w = windowOfRoom(room->id);
        if (!w) w = openRoomWindow(*room);
    } else {
        for (frmChat* c : chatWindows())
            if (c->roomId().empty() && c->IsUserPresent(sender)) w = w ? w : c;
        if (!w) w = OpenChatWindow(sender + "|");
    }
    w->AddPicture(sender, note.path);
    markUnread(w);
}

void ChatWindows::reacted(const verbs::LineRef& line, const std::string&, const std::string&, bool) {
    for (frmChat* w : chatWindows()) w->LineChanged(line);
}

void ChatWindows::edited(const verbs::LineRef& line) {
    for (frmChat* w : chatWindows()) w->LineChanged(line);
}

void ChatWindows::deleted(const verbs::LineRef& line) {
    for (frmChat* w : chatWindows()) w->LineChanged(line);
}

void ChatWindows::seenBy(const std::string& chat, const std::string& who) {
    for (frmChat* w : chatWindows())
        if (conversationKey(w) == chat) w->ShowSeen(who);
}

void ChatWindows::markRead(frmChat* w) {
    // In front now: its senders learn that their lines were seen.
    if (const auto it = unseen_.find(w); it != unseen_.end()) {
        const auto lines = std::move(it->second);
        unseen_.erase(it);
        if (readMarks_)
            for (const auto& [sender, id] : lines) readMarks_->seen(sender, id);
    }
    if (unreadLines_.erase(conversationKey(w))) Q_EMIT conversationsChanged();
    unread_.removeAll(nullptr);
    if (!unread_.removeAll(w)) return;
    if (unread_.isEmpty()) Q_EMIT unreadChanged(false);
}

void ChatWindows::countNotShown(bool alert, int count) {
    (alert ? alertsNotShown_ : chatLinesNotShown_) += count;
    tellNotShown();
    // One line in the log every few seconds, not one per alert.
    const qint64 at = now();
    if (lastNotShownLog_ >= 0 && at - lastNotShownLog_ < 5000) return;
    lastNotShownLog_ = at;
    node_.WriteLog(std::to_string(alertsNotShown_) + " alerts and " + std::to_string(chatLinesNotShown_) +
                   " chat lines not shown: too many windows open");
}

void ChatWindows::tellNotShown() {
    if (notShownPending_) return;
    notShownPending_ = true;
    QTimer::singleShot(0, this, [this] {
        notShownPending_ = false;
        Q_EMIT notShownChanged(alertsNotShown_, chatLinesNotShown_);
    });
}

void ChatWindows::countNotKept(int alerts) {
    if (alerts <= 0) return;
    ensureSummary()->countNotKept(alerts);
    countNotShown(true, alerts);
}

QList<frmPop*> ChatWindows::popups() const {
    QList<frmPop*> open;
    // A closed popup is only waiting to be deleted.
    for (const auto& p : pops_)
        if (p && p->isVisible()) open.append(p);
    return open;
}

void ChatWindows::RemoveUserFromChats(const std::string& name) {
    const KeyState key = node_.KeyStateOf(name);
    if (key == KeyState::NoKeys || key == KeyState::Conflict) {
        for (frmChat* w : chatWindows()) w->RemoveUser(name);
        RefreshChatUserLists();
        return;
    }
    // Options leaves and joins again at once: wait before saying anything.
    QTimer::singleShot(rejoinGraceMs_, this, [this, name] {
        if (!node_.users().findNoCase(name)) leftForGood(name);
    });
}

void ChatWindows::leftForGood(const std::string& name) {
    const QString who = QString::fromStdString(name);
    for (frmChat* w : chatWindows()) {
        if (!w->IsUserPresent(name) || w->IsAway(name)) continue;
        w->SetAway(name, true);
        w->AddNote([who] { return tr("%1 left the network; lines to %1 wait until %1 is back.").arg(who); });
    }
}

void ChatWindows::setRooms(rooms::RoomService* rooms) {
    if (rooms_) rooms_->setObserver(nullptr);
    rooms_ = rooms;
    if (!rooms_) return;
    rooms_->setObserver(this);
    // A member the user adds gets the lines so far, as this copy kept them.
    rooms_->setBacklogSource([this](const std::string& id) {
        if (history_) history_->flush(std::chrono::milliseconds(500));  // the lines just said too
        history::Filter f;
        f.scope = history::Scope::group(history::RoomKey(id));
        f.limit = rooms::kMaxBacklogLines;
        f.chatOnly = true;
        std::vector<Message> lines;
        for (auto& row : readHistory(f)) lines.push_back(std::move(row.entry));
        return lines;
    });
}

void ChatWindows::setTyping(typing::TypingService* typing) {
    if (typing_) typing_->setObserver(nullptr);
    typing_ = typing;
    if (!typing_) return;
    typing_->setObserver(this);
    typing_->setMembership([this](const std::string& roomId, const std::string& name) {
        const rooms::Room* room = rooms_ ? rooms_->book().find(roomId) : nullptr;
        return room && room->has(name) && room->has(node_.state().MyName);
    });
}

void ChatWindows::UserTyping(frmChat* window) {
    // Not to everybody: a chat with all has no members to tell.
    if (!typing_ || window->members().hasAll()) return;
    typing_->typing(window->members().names(), window->roomId());
}

void ChatWindows::typingChanged(const std::string& chat, const std::vector<std::string>& who) {
    for (frmChat* w : chatWindows())
        if (conversationKey(w) == chat) w->ShowTyping(who);
}

frmChat* ChatWindows::windowOfRoom(const std::string& id) const {
    for (frmChat* w : chatWindows())
        if (w->roomId() == id) return w;
    return nullptr;
}

void ChatWindows::ChatMemberChanged(frmChat* window, const std::string& name, bool added) {
    if (!rooms_) return;
    if (!window->roomId().empty()) {
        if (added && rooms_->add(window->roomId(), name)) {
            const QString me = QString::fromStdString(node_.state().MyName), who = QString::fromStdString(name);
            window->AddNote([me, who] { return tr("%1 added %2").arg(me, who); });
        } else if (!added) {
            rooms_->remove(window->roomId(), name);
        }
        return;
    }
    // A window that grew to several members becomes a shared chat.
    if (!added || window->members().hasAll() || window->members().names().size() <= 2) return;
    std::vector<std::string> others;
    for (const auto& m : window->members().names())
        if (!equalsNoCase(m, node_.state().MyName)) others.push_back(m);
    if (const auto* room = rooms_->open(others)) window->setRoom(room->id);
}

frmChat* ChatWindows::OpenConversation(const std::string& key, const std::string& list, const std::string& roomId) {
    for (frmChat* w : chatWindows()) {
        if (conversationKey(w) != key) continue;
        w->show();
        w->raise();
        w->activateWindow();
        return w;
    }
    if (roomId.empty()) return list.empty() ? nullptr : OpenChatWindow(list);
    const auto* room = rooms_ ? rooms_->book().find(roomId) : nullptr;
    return room ? openRoomWindow(*room) : nullptr;
}

frmChat* ChatWindows::openRoomWindow(const rooms::Room& room) {
    // A window of our own with some of the members (a line came before the
    // chat was shared with us) becomes the shared chat's.
    for (frmChat* w : chatWindows()) {
        if (!w->roomId().empty() || w->members().hasAll()) continue;
        const auto& names = w->members().names();
        if (std::all_of(names.begin(), names.end(), [&](const std::string& n) { return room.has(n); })) {
            w->setRoom(room.id);
            for (const auto& m : room.members) w->AddUser(m);
            return w;
        }
    }
    std::string list;
    for (const auto& m : room.members)
        if (!equalsNoCase(m, node_.state().MyName)) list += m + "|";
    return OpenChatWindow(list, room.id);
}

void ChatWindows::roomChanged(const rooms::Room& room, const rooms::RoomEvent& event) {
    using Kind = rooms::RoomEvent::Kind;
    const QString by = QString::fromStdString(event.by);
    QStringList names;
    for (const auto& n : event.names) names << QString::fromStdString(n);
    const QString list = names.join(QStringLiteral(", "));
    frmChat* w = windowOfRoom(room.id);
    switch (event.kind) {
    case Kind::Joined: {
        if (!w) w = openRoomWindow(room);
        names.removeIf([&](const QString& n) { return n.compare(by, Qt::CaseInsensitive) == 0; });
        const QString others = names.join(QStringLiteral(", "));
        w->AddNote([by, others] { return tr("%1 shares this chat with you and %2.").arg(by, others); });
        break;
    } break;
    case Kind::Added:
        if (!w) return;  // closed here: the next line opens it with everybody
        for (const auto& n : event.names) w->AddUser(n);
        w->AddNote([by, list] { return tr("%1 added %2").arg(by, list); });
        break;
    case Kind::Removed:
        if (!w) return;
        for (const auto& n : event.names) w->DropMember(n);
        w->AddNote([by, list] { return tr("%1 removed %2").arg(by, list); });
        break;
    case Kind::Renamed: break;  // the windows follow every rename (RenameInChats)
    case Kind::Dropped:
        if (!w) return;
        w->setRoom({});
        w->AddNote([by] { return tr("%1 removed you from this chat: it is a list of your own now.").arg(by); });
        break;
    }
    RefreshChatUserLists();
}

void ChatWindows::roomBacklog(const rooms::Room& room, const std::string& by, const std::vector<Message>& lines) {
    frmChat* w = windowOfRoom(room.id);
    if (!w || lines.empty()) return;
    const QString who = QString::fromStdString(by);
    w->AddNote([who] { return tr("Earlier lines of this chat, as %1 has them:").arg(who); });
    std::vector<history::HistoryRow> rows;
    for (const auto& l : lines) rows.push_back({0, l});
    w->ShowEarlier(rows);
}

void ChatWindows::RenameOwnInChats(const std::string& from, const std::string& to) {
    for (frmChat* w : chatWindows()) w->RenameMember(from, to);
}

void ChatWindows::RenameInChats(const std::string& from, const std::string& to) {
    const QString before = QString::fromStdString(from), now = QString::fromStdString(to);
    for (frmChat* w : chatWindows())
        if (w->RenameMember(from, to)) w->AddNote([before, now] { return tr("%1 is now %2.").arg(before, now); });
    RefreshChatUserLists();
}

void ChatWindows::RefreshChatUserLists() {
    // A join storm reports many changes at once: the windows refresh once,
    // when the storm has been taken in.
    if (refreshPending_) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, &ChatWindows::refreshNow);
}

void ChatWindows::refreshNow() {
    refreshPending_ = false;
    chats_.removeAll(nullptr);
    QStringList back;
    for (frmChat* w : chatWindows()) {
        // Members marked away who are listed again are back.
        for (const QString& name : w->awayMembers()) {
            if (!node_.users().findNoCase(name.toStdString())) continue;
            const QString who = QString::fromStdString(
                node_.users().user(*node_.users().findNoCase(name.toStdString())).text);
            w->SetAway(name.toStdString(), false);
            w->AddNote([who] { return tr("%1 is back.").arg(who); });
            if (!back.contains(name)) back << name;
        }
        w->RefUserList();
    }
    // Who was away may have missed changes to the shared chats.
    if (rooms_)
        for (const QString& name : back) rooms_->resendTo(name.toStdString());
    // Compose windows show their recipients' keys too.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* com = qobject_cast<frmCom*>(w)) com->RefUserList();
}

void ChatWindows::PlaySoundSetting(const QString& setting) {
    if (sound_) sound_(setting);
}

QString ChatWindows::ChooseExportFile(const std::string& fileTypes) {
    return chooseFile_ ? chooseFile_(fileTypes) : QString();
}

QString ChatWindows::chooseTranscriptFile() {
    const auto types = node_.LangText(3202);
    return ChooseExportFile(types.empty() ? std::string("Text Files (*.txt)|Rich Text Files (*.rtf)|") : types);
}

void ChatWindows::setNotifier(DesktopNotifier* notifier, std::function<bool()> chosen) {
    if (notifier_) disconnect(notifier_, nullptr, this, nullptr);
    notifier_ = notifier;
    chosen_ = std::move(chosen);
    if (!notifier_) return;
    connect(notifier_, &DesktopNotifier::actionInvoked, this, &ChatWindows::notificationAction);
    // Where the service fails the popup still shows the alert.
    connect(notifier_, &DesktopNotifier::failed, this, [this](const QString& sender, const QString& text) {
        forcePopup_ = true;
        ShowAlert(text.toStdString(), sender.toStdString(), false);
        forcePopup_ = false;
    });
}

void ChatWindows::notificationAction(const QString& sender, const QString& action, const QString& text) {
    const std::string from = sender.toStdString();
    if (action == QLatin1String(DesktopNotifier::kReply)) {
        OpenComposeWindow(from + "|");
    } else if (action == QLatin1String(DesktopNotifier::kLive)) {
        if (frmChat* chat = OpenChatWindow(from + "|"))
            chat->AddMsg(text.toStdString(), from, node_.users().GetColorForUName(from));
    } else if (action == QLatin1String(DesktopNotifier::kBlock)) {
        choices_.block(from);
        RefreshChatUserLists();
    }
}

frmPop* ChatWindows::ShowAlert(const std::string& text, const std::string& sender, bool isPrivate) {
    if (notifier_ && !forcePopup_ &&
        RouteAlert(chosen_ && chosen_(), QGuiApplication::platformName(), notifier_->available()) ==
            AlertRoute::Notification) {
        auto label = [this](int code, const char* builtIn) {
            return LangTextOr(node_, code, QString::fromLatin1(builtIn)).remove(QLatin1Char('&'));
        };
        notifier_->setActionLabels(label(5104, "Reply"), label(5108, "Start Live Chat"), label(5109, "Block Sender"));
        // The sound as for a popup: once per notification, not for each alert of a flood.
        if (notifier_->notify(QString::fromStdString(sender), QString::fromStdString(text)))
            PlaySoundSetting(QString::fromStdString(node_.settings().AlertSound));
        return nullptr;
    }
    const QString from = QString::fromStdString(sender);
    const bool heardBefore = node_.transport().currentHeardBefore();
    for (frmPop* open : popups())
        if (open->sender().compare(from, Qt::CaseInsensitive) == 0) {
            open->JoinAlert(text, isPrivate);
            open->setHeardBefore(heardBefore);
            return open;
        }
    PopAlert alert{QDateTime::currentDateTime(), isPrivate, QString::fromStdString(text)};
    const int rank = Matters(from) ? 2 : heardBefore ? 1 : 0;
    std::deque<PopAlert> alerts;
    // Alerts of this sender already waiting in the summary come along.
    if (summary_ && summary_->Holds(from)) {
        // Waiting already: a stranger waits on unless there is room.
        if (rank == 0 && popups().size() >= kMaxPopups) {
            summary_->Keep(from, {alert});
            countNotShown(true);
            return nullptr;
        }
        alerts = summary_->Take(from);
    }
    alerts.push_back(std::move(alert));
    return showPopup(from, std::move(alerts), rank);
}

PopupSummary* ChatWindows::summary() const {
    return summary_;
}

bool ChatWindows::Matters(const QString& sender) const {
    const std::string name = sender.toStdString();
    const auto& users = node_.users();
    if (const auto row = users.findNoCase(name); row && users.user(*row).keyState == KeyState::Checked) return true;
    for (const auto& g : users.groups()) {
        // Most groups do not hold the name at all: a plain search first.
        if (!QString::fromStdString(g).contains(sender, Qt::CaseInsensitive)) continue;
        const auto n = CountItems(g);
        for (std::int32_t i = 2; i <= n; ++i)
            if (equalsNoCase(GetItem(g, i), name)) return true;
    }
    for (frmChat* w : chatWindows())
        if (w->IsUserPresent(name)) return true;
    return false;
}

PopupSummary* ChatWindows::ensureSummary() {
    if (!summary_) {
        summary_ = new PopupSummary([this](const QString& sender, std::deque<PopAlert> alerts) {
            return showPopup(sender, std::move(alerts), 2);
        });
        summary_->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    // Placed again only where it moves: not once per alert of a flood.
    const int corner = node_.settings().PopupPosition, height = node_.settings().AlertHeight;
    if (!summary_->isVisible() || summary_->corner() != corner || summary_->alertHeight() != height)
        summary_->placeAt(corner, height);
    return summary_;
}

int ChatWindows::rankOf(const frmPop* pop) const {
    return Matters(pop->sender()) ? 2 : pop->heardBefore() ? 1 : 0;
}

frmPop* ChatWindows::showPopup(const QString& sender, std::deque<PopAlert> alerts, int rank) {
    pops_.removeIf([](const QPointer<frmPop>& p) { return !p || !p->isVisible(); });
    const QList<frmPop*> open = popups();
    if (open.size() >= kMaxPopups) {
        const qint64 at = now();
        // Among its peers a sender that does not matter takes a place now
        // and then, not at the pace of a flood; below them at any time.
        const bool gapPassed = lastMadeRoom_ < 0 || at - lastMadeRoom_ >= kMakeRoomGapMs;
        // The popup that heard nothing for the longest time, of the lowest
        // rank there is, never of a rank above the newcomer's.
        frmPop* victim = nullptr;
        int tier = 0;
        for (; tier <= rank && !victim; ++tier) {
            if (tier == rank && rank < 2 && !gapPassed) break;
            for (frmPop* p : open)
                if (rankOf(p) == tier && (!victim || p->lastAlertAt() < victim->lastAlertAt())) victim = p;
        }
        if (!victim) {
            const int count = static_cast<int>(alerts.size());
            ensureSummary()->Keep(sender, alerts);
            countNotShown(true, count);
            return nullptr;
        }
        if (tier - 1 == rank && rank < 2) lastMadeRoom_ = at;
        ensureSummary()->Keep(victim->sender(), victim->alerts());
        pops_.removeAll(victim);
        victim->close();
    }
    auto* pop = new frmPop(node_, *this);
    pops_.append(pop);
    pop->setHeardBefore(rank == 1);
    pop->ShowAlerts(alerts, sender);
    return pop;
}

std::vector<PopupBand> ChatWindows::PopupBandsTaken(const frmPop* beside) const {
    std::vector<PopupBand> taken;
    for (frmPop* p : popups())
        if (const auto band = p->restBand(); band && p != beside && p->corner() == beside->corner())
            taken.push_back(*band);
    return taken;
}

}  // namespace lanyx::ui

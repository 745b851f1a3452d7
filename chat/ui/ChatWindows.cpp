#include "ChatWindows.h"

#include "Text.h"
#include "frmChat.h"
#include "frmCom.h"
#include "frmPop.h"
#include "logic/Cascade.h"

#include <QGuiApplication>
#include <QScreen>

#include <QDateTime>
#include <QTimer>

namespace lanyx::ui {

ChatWindows::ChatWindows(ChatNode& node, SoundFn sound, ChooseFileFn chooseFile, QObject* parent)
    : QObject(parent), node_(node), sound_(std::move(sound)), chooseFile_(std::move(chooseFile)) {}

frmCom* ChatWindows::OpenComposeWindow(const std::string& list) {
    return ui::OpenComposeWindow(node_, list);
}

frmChat* ChatWindows::OpenChatWindow(const std::string& list) {
    auto* w = new frmChat(node_, *this);
    chats_.append(w);
    w->AddUser(node_.state().MyName);
    const auto n = CountItems(list);
    for (std::int32_t i = 1; i <= n; ++i) w->AddUser(GetItem(list, i));
    placeNew(w);
    w->show();
    RefreshChatUserLists();
    node_.WriteLog("New chat window opened");
    return w;
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

void ChatWindows::RouteChatLine(const std::string& line, const std::string& sender, std::uint32_t colour) {
    bool shown = false;
    for (frmChat* w : chatWindows()) shown = w->AddMsg(line, sender, colour) || shown;
    if (shown) return;
    // A flood of lines from many names must not open a window for each.
    fromNetwork_.removeAll(nullptr);
    const bool listed = node_.users().findNoCase(sender).has_value();
    const QString key = QString::fromStdString(sender).toLower();
    if (fromNetwork_.size() >= kMaxNetworkChats || (!listed && unknownOpened_.contains(key))) {
        countNotShown(false);
        return;
    }
    if (!listed) unknownOpened_.append(key);
    frmChat* w = OpenChatWindow(sender + "|");
    fromNetwork_.append(w);
    w->AddMsg(line, sender, colour);
}

void ChatWindows::countNotShown(bool alert) {
    ++(alert ? alertsNotShown_ : chatLinesNotShown_);
    emit notShownChanged(alertsNotShown_, chatLinesNotShown_);
    // One line in the log every few seconds, not one per alert.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastNotShownLog_ < 5000) return;
    lastNotShownLog_ = now;
    node_.WriteLog(std::to_string(alertsNotShown_) + " alerts and " + std::to_string(chatLinesNotShown_) +
                   " chat lines not shown: too many windows open");
}

QList<frmPop*> ChatWindows::popups() const {
    QList<frmPop*> open;
    // A closed popup is only waiting to be deleted.
    for (const auto& p : pops_)
        if (p && p->isVisible()) open.append(p);
    return open;
}

void ChatWindows::RemoveUserFromChats(const std::string& name) {
    for (frmChat* w : chatWindows()) w->RemoveUser(name);
    RefreshChatUserLists();
}

void ChatWindows::RenameOwnInChats(const std::string& from, const std::string& to) {
    for (frmChat* w : chatWindows()) w->RenameOwn(from, to);
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
    for (frmChat* w : chatWindows()) {
        w->RefUserList();
    }
}

void ChatWindows::PlaySoundSetting(const QString& setting) {
    if (sound_) sound_(setting);
}

QString ChatWindows::ChooseExportFile(const std::string& fileTypes) {
    return chooseFile_ ? chooseFile_(fileTypes) : QString();
}

frmPop* ChatWindows::ShowAlert(const std::string& text, const std::string& sender, bool isPrivate) {
    pops_.removeIf([](const QPointer<frmPop>& p) { return !p || !p->isVisible(); });
    const QString from = QString::fromStdString(sender);
    for (frmPop* open : popups())
        if (open->sender().compare(from, Qt::CaseInsensitive) == 0) {
            open->JoinAlert(text);
            return open;
        }
    if (pops_.size() >= kMaxPopups) {
        countNotShown(true);
        return nullptr;
    }
    auto* pop = new frmPop(node_, *this);
    pops_.append(pop);
    pop->ShowAlert(text, sender, isPrivate);
    return pop;
}

} // namespace lanyx::ui

#include "ChatWindows.h"

#include "Text.h"
#include "frmChat.h"
#include "frmCom.h"
#include "frmPop.h"
#include "logic/Cascade.h"

#include <QGuiApplication>
#include <QScreen>

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
    if (!shown) OpenChatWindow(sender + "|")->AddMsg(line, sender, colour);
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
        w->RefListOfUsers();
    }
}

void ChatWindows::PlaySoundSetting(const QString& setting) {
    if (sound_) sound_(setting);
}

QString ChatWindows::ChooseExportFile(const std::string& fileTypes) {
    return chooseFile_ ? chooseFile_(fileTypes) : QString();
}

frmPop* ChatWindows::ShowAlert(const std::string& text, const std::string& sender, bool isPrivate) {
    auto* pop = new frmPop(node_, *this);
    pop->ShowAlert(text, sender, isPrivate);
    return pop;
}

} // namespace lanyx::ui

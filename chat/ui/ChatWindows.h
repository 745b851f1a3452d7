#pragma once
// The program's collection of compose, popup and chat windows, and the
// routines that act on all of them: opening, routing a received chat line,
// following peers that leave, refreshing member images.
#include "ChatNode.h"
#include "WindowHub.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

namespace lanyx::ui {

class frmChat;
class frmPop;

class ChatWindows : public QObject, public WindowHub {
    Q_OBJECT
public:
    using SoundFn = std::function<void(const QString&)>;
    using ChooseFileFn = std::function<QString(const std::string& fileTypes)>;
    ChatWindows(ChatNode& node, SoundFn sound, ChooseFileFn chooseFile, QObject* parent = nullptr);

    frmCom* OpenComposeWindow(const std::string& list) override;
    frmChat* OpenChatWindow(const std::string& list) override;
    void RefreshChatUserLists() override;
    void PlaySoundSetting(const QString& setting) override;
    QString ChooseExportFile(const std::string& fileTypes) override;

    // Every chat window that holds the sender (or "(All)") shows the line;
    // when none does, a new window opens for the sender.
    void RouteChatLine(const std::string& line, const std::string& sender, std::uint32_t colour);
    void RemoveUserFromChats(const std::string& name);
    // Every open chat window takes the user's new own name.
    void RenameOwnInChats(const std::string& from, const std::string& to);
    frmPop* ShowAlert(const std::string& text, const std::string& sender, bool isPrivate);
    // Refreshes now instead of once the current events are through.
    void refreshNow();
    // Open chat windows, in the order they were opened.
    QList<frmChat*> chatWindows() const;

private:
    void placeNew(frmChat* w);

    ChatNode& node_;
    SoundFn sound_;
    ChooseFileFn chooseFile_;
    QList<QPointer<frmChat>> chats_;
    bool refreshPending_ = false;
};

} // namespace lanyx::ui

#pragma once
// How the chat program's windows reach each other: the program's collection
// of open windows and the few shared services they call by name.
#include "logic/PopupRules.h"

#include <QString>
#include <string>
#include <vector>

class QMenu;

namespace lanyx {
class FileTransfers;
class WaitingService;
namespace verbs {
class LineVerbs;
}
namespace pictures {
class PictureTransfers;
}
}

namespace lanyx::ui {

struct FolderMemory;
class frmChat;
class frmCom;
class frmPop;

class WindowHub {
public:
    virtual ~WindowHub() = default;
    virtual frmCom* OpenComposeWindow(const std::string& list) = 0;
    virtual frmChat* OpenChatWindow(const std::string& list) = 0;
    // Every open chat window refreshes its member images and candidates.
    virtual void RefreshChatUserLists() = 0;
    virtual void PlaySoundSetting(const QString& setting) = 0;
    // The export file dialog; "" when the user closed it.
    virtual QString ChooseExportFile(const std::string& fileTypes) = 0;
    // The program's file transfers; none where it runs without them.
    virtual FileTransfers* files() { return nullptr; }
    // The messages that wait for users who are away; none where none wait.
    virtual WaitingService* waiting() { return nullptr; }
    // Reactions, edits and deletions of lines; none where lines take none.
    virtual verbs::LineVerbs* verbs() { return nullptr; }
    // Pictures in the chats; none where chats take none.
    virtual pictures::PictureTransfers* pictures() { return nullptr; }
    // The user's information with the check of the key.
    virtual void ShowUserInfo(const std::string& /*name*/) {}
    // Where the file dialogs were last; none where nothing is kept.
    virtual FolderMemory* folders() { return nullptr; }
    // The History window on the conversation of a "|"-terminated list of
    // names ("" for all of it); nothing where no history is kept.
    virtual void OpenHistory(const std::string& /*list*/) {}
    // The user added or removed a member in a chat window: a shared chat
    // tells every member.
    virtual void ChatMemberChanged(frmChat* /*window*/, const std::string& /*name*/, bool /*added*/) {}
    // The user wrote a line in a shared chat's window: a chat the user
    // takes part in, never pushed out by chats others bring the user into.
    virtual void RoomLineSent(const std::string& /*roomId*/) {}
    // The user types in the window's input line.
    virtual void UserTyping(frmChat* /*window*/) {}
    // Where the other popups at the same corner as this one rest, so that
    // it rests clear of them; nothing where no others are kept.
    virtual std::vector<PopupBand> PopupBandsTaken(const frmPop* /*beside*/) const { return {}; }
};

}  // namespace lanyx::ui

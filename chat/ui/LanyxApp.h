#pragma once
// The desktop program put together: the node over the real socket, the
// windows over the node, start-up in the event loop, shutdown from the menu,
// the desktop session or a signal.
#include "ChatNode.h"
#include "Paths.h"
#include "Sound.h"
#include "ChatWindows.h"
#include "frmMain.h"
#include "frmOpt.h"
#include "frmSplash.h"
#include "modStartUp.h"
#include "FolderMemory.h"
#include "UiLanguage.h"
#include "WaitingService.h"
#include "logic/DesktopPrefs.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>

namespace lanyx {
namespace history {
class History;
}
class FileTransfers;
class QtEventPump;
class UdpTransport;
}

namespace lanyx::ui {

class DesktopNotifier;
class TransferUi;
class ConversationsPane;
class frmHistory;
class frmMain;
class frmSplash;

struct DesktopOptions {
    std::optional<std::string> dir;
    std::optional<std::string> name;
    std::string commandLine;
    std::uint32_t probeMs = 10000;
    std::string broadcast = "255.255.255.255";
};

// Message boxes, splash and tray for the core, as windows.
class DesktopUi : public UserInterface {
public:
    explicit DesktopUi(class LanyxApp& app) : app_(app) {}
    void messageBox(const std::string& text, const std::string& title, int icon) override;
    // Brings the running copy's window to the front, then says where it runs.
    void previousInstance(const FolderHolder& holder) override;
    void showSplash(const std::string& versionText) override;
    void hideSplash() override;
    void showTray() override;
    void removeTray() override;
    std::optional<std::string> askNewName(const std::string& takenName) override;
    std::pair<std::int32_t, std::int32_t> screenTwips() override;

private:
    LanyxApp& app_;
};

// Where received messages go on the desktop.
class DesktopSink : public MessageSink {
public:
    explicit DesktopSink(LanyxApp& app) : app_(app) {}
    void show(const Message& message) override;
    bool BoxStaysOpen() const override { return true; }
    void RemoveUserFromChats(const std::string& name) override;
    void UserRenamed(const std::string& from, const std::string& to) override;
    void RenamedOntoKnownName(const std::string& from, const std::string& to) override;
    void RefreshChatUserLists() override;
    void StatusCaptionChanged(const std::string& caption) override;
    void KeyWarning(const std::string& name, const std::string& text) override;
    void ListFull(bool blockedList, std::size_t leftOut, std::size_t cap) override;
    void PrivateDelivery(const DeliveryReport& report) override;

private:
    LanyxApp& app_;
};

// What the node records, with the chat of the window that showed a line.
class DesktopHistory : public HistoryRecorder {
public:
    explicit DesktopHistory(LanyxApp& app) : app_(app) {}
    void record(HistoryEntry entry) override;
    void delivery(std::uint64_t messageId, const std::string& recipient, HistoryDelivery state) override;
    void renamed(const std::string& from, const std::string& to) override;
    bool hasConversationWith(const std::string& name) const override;
    void changeLine(std::uint64_t lineId, const std::string& authorKey, LineChange change,
                    const std::string& text) override;

private:
    LanyxApp& app_;
};

class LanyxApp : public QObject {
    Q_OBJECT
public:
    explicit LanyxApp(const DesktopOptions& options);
    ~LanyxApp() override;

    // Runs start-up; false when the program should end (its exit code in exitCode()).
    bool start();
    // Saves, leaves the network and ends the program.
    void Shutdown();
    int exitCode() const { return exitCode_; }

    // Every open window takes the texts of the current language (the
    // language file's and the toolkit's).
    void SetLanAll();
    UiLanguage& uiLanguage() { return uiLanguage_; }
    FolderMemory& folders() { return folders_; }
    // The Options window (modeless, one at a time), from the main window's menu.
    void OpenOptions();
    // What the Options window needs from the program: sound folders, the
    // sound player and the language switch.
    OptionsEnv optionsEnv();
    frmOpt* optionsWindow() const { return opt_; }

    // The compose, popup and chat windows.
    ChatWindows& windows() { return *windows_; }
    // The History window on a conversation ("|"-terminated names, "" for all).
    frmHistory* OpenHistory(const std::string& list);
    // A window opened from the main window, placed near it before it first
    // shows (near the active window, or centred, while the main one is hidden).
    void placeNearMain(QWidget* window) const;
    // None until this copy holds its folder, or when it cannot be used.
    history::History* history() const { return history_.get(); }

    ChatNode& node() { return *node_; }
    FileTransfers& files() { return *files_; }
    TransferUi& transferUi() { return *transferUi_; }
    SoundPlayer& sound() { return sound_; }
    const LanyxPaths& paths() const { return paths_; }
    frmMain* mainWindow() const { return main_; }
    frmSplash* splash() const { return splash_; }
    // The desktop program's own settings (Desktop.ini beside User.ini).
    DesktopPrefs& prefs() { return prefs_; }
    QString prefsFile() const;

private:
    friend class DesktopUi;
    friend class DesktopSink;
    friend class DesktopHistory;
    void openHistoryStore();
    void historyNotice(const QString& text);
    // A message that waited for its recipient ran out of time.
    void waitingExpired(const DeliveryReport& report);

    DesktopOptions options_;
    LanyxPaths paths_;
    std::unique_ptr<UdpTransport> transport_;
    std::unique_ptr<QtEventPump> pump_;
    DesktopUi ui_;
    DesktopSink sink_;
    // Before the node: the node records into it to its end.
    std::unique_ptr<history::History> history_;
    DesktopHistory recorder_{*this};
    std::unique_ptr<ChatNode> node_;
    std::unique_ptr<verbs::LineVerbs> verbs_;
    std::unique_ptr<verbs::KeptChanges> keptChanges_;
    std::unique_ptr<pictures::PictureService> pictureService_;
    std::unique_ptr<pictures::PictureTransfers> pictures_;
    // After the node, so that they go before it.
    std::unique_ptr<WaitingService> waiting_;
    std::unique_ptr<FileTransfers> files_;
    std::unique_ptr<rooms::RoomService> rooms_;
    std::unique_ptr<typing::TypingService> typing_;
    std::unique_ptr<readmarks::ReadMarks> readMarks_;
    std::unique_ptr<TransferUi> transferUi_;
    std::unique_ptr<StartUp> startUp_;
    QPointer<frmMain> main_;
    QPointer<frmSplash> splash_;
    QPointer<frmOpt> opt_;
    QPointer<frmHistory> historyWindow_;
    QPointer<ConversationsPane> conversations_;
    void addConversations();
    SoundPlayer sound_;
    ChatWindows* windows_ = nullptr;
    DesktopPrefs prefs_;
    FolderMemory folders_;
    UiLanguage uiLanguage_;
    void savePrefs();
    DesktopNotifier* notifier_ = nullptr;
    bool shutDown_ = false;
    int exitCode_ = 0;
};

}  // namespace lanyx::ui

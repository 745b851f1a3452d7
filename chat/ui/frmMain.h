#pragma once
// The main window: the users present, the toolbar that starts alerts, chats
// and blocks, the status line and the program's menus. It normally lives
// hidden behind the notification-area icon.
#include "ChatNode.h"
#include "UserChoices.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>

class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QTabWidget;
class QTreeView;
class QTimer;

namespace lanyx {
class FileTransfers;
}

namespace lanyx::ui {

class CoolMenu;
class FileDropFilter;
class SendFileActions;
class TrayIcon;
class UserListModel;
class frmAbout;

class frmUserInfo;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    frmMain(ChatNode& node, QWidget* parent = nullptr);
    ~frmMain() override;

    // Hooks to the other windows and to the program.
    std::function<void(const std::string& list)> OpenComposeWindow;
    std::function<void(const std::string& list)> OpenChatWindow;
    std::function<void()> OpenOptions;
    std::function<void()> Close;  // the program's shutdown
    std::function<void()> OpenTransfers;
    // The History window on a conversation ("|"-terminated names, "" for all).
    std::function<void(const std::string& list)> OpenHistory;

    Q_INVOKABLE void SetLan();
    void ShowTray();
    void RemoveTray();
    std::string GetActiveGroupList(const std::string& label) const;
    void ShowMe();
    // The first start: the window shows, with a note at its top of the name
    // in use, where it is changed and where the program stays. The note
    // closes with its button and does not come back.
    void ShowWelcome();
    QWidget* welcome() const { return welcome_; }
    QString welcomeText() const;
    void UpdateStat();
    void setStatusCaption(const QString& caption);
    void AddBlocked(const std::string& name);
    void RemoveBlock(const std::string& name);
    void ClearlvUsers();
    std::uint32_t GetColorForUName(const std::string& name) const;
    void HelpObj_MenuHelp(const QString& menuText, const QString& menuHelp);

    // The key window of a listed user (closes itself).
    frmUserInfo* ShowUserInfo(const std::string& name);
    // The recipient list ("|"-terminated) of the selected rows.
    std::string SelectedRecipients() const;
    void BlockSelected();
    void SetStatus(int status);  // the status menu
    void MoveToCorner(int corner);
    void tmrMnu_Timer();
    // Places the window from the stored geometry (twips), and back. Until the
    // user moved or sized it, it takes a size that fits its content.
    void ApplyGeometry();
    QSize FittingSize() const;
    void StoreGeometry();
    // Whether minimising hides the window (only with a notification area).
    bool hidesToTray() const;

    QTreeView* lvUsers() const { return lvUsers_; }
    QLabel* lblStat() const { return lblStat_; }
    QToolBar* TB() const { return tb_; }
    QAction* tbAlert() const { return tbAlert_; }
    QAction* tbChat() const { return tbChat_; }
    QAction* tbBlock() const { return tbBlock_; }
    QMenu* mnuPop() const { return mnuPop_; }
    QMenu* mnuWeb() const { return mnuWeb_; }
    QMenu* mnuWindow() const { return mnuWindow_; }
    QAction* mnuStat(int i) const { return mnuStat_[i]; }
    QAction* mnuStatBar() const { return mnuStatBar_; }
    QAction* mnuShowMe() const { return mnuShowMe_; }
    QAction* mnuHide() const { return mnuHide_; }
    QAction* action(const char* name) const;
    TrayIcon* TI() const { return ti_; }
    UserListModel* model() const { return model_; }
    ChatNode& node() { return node_; }
    // Send File... and Send Folder... in a user's menu and files dropped
    // onto a user row go through these transfers.
    void setFiles(FileTransfers* files);
    // The list of conversations, as a page beside the user list's.
    void setConversations(QWidget* pane);
    QTabWidget* tabs() const { return tabs_; }
    SendFileActions* sendFiles() const { return sendFiles_; }
    FileDropFilter* drops() const { return drops_; }
    // The user a file menu or a drop at this row is for ("" for a group or "(All)").
    QString userAtRow(int row) const;
    // The file entries of the menu for a row (none for a group or "(All)").
    void PrepareUserMenu(QMenu& menu, int row);
    // The menu of the user (or group) at a row, as the right button and
    // the keyboard open it.
    QMenu* UserMenu(int row);
    QString statusTag() const { return statTag_; }

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QAction* item(QMenu* menu, const char* name, const QString& caption);
    void SetUpInt();
    void applyCaptions();
    void showAbout();
    void showTrayMenu();
    void applyMinimumSize();
    void fitStatusColumn();
    int statusColumnWidth() const;
    int nameColumnMinimum() const;
    void openUserMenuFromKeyboard();

    ChatNode& node_;
    UserChoices choices_{node_};
    bool safe_;
    UserListModel* model_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QTreeView* lvUsers_ = nullptr;
    QLabel* lblStat_ = nullptr;
    QString statTag_;
    QToolBar* tb_ = nullptr;
    QAction *tbAlert_ = nullptr, *tbChat_ = nullptr, *tbBlock_ = nullptr;
    QMenu *mnuPop_ = nullptr, *mnuWindow_ = nullptr, *mnuHelp_ = nullptr, *mnuWeb_ = nullptr;
    QMenu *mnuSetStatus_ = nullptr, *mnuMove_ = nullptr;
    QAction* mnuStat_[3] = {};
    QAction* mnuStatBar_ = nullptr;
    QAction* mnuRefresh_ = nullptr;
    QAction *mnuShowMe_ = nullptr, *mnuHide_ = nullptr;
    QList<QAction*> mnuWp_;
    QStringList links_;
    QTimer* tmrMnu_ = nullptr;
    TrayIcon* ti_ = nullptr;
    CoolMenu* cool_ = nullptr;
    QPointer<frmAbout> about_;
    QPointer<QWidget> welcome_;
    QLabel* lblWelcome_ = nullptr;
    QAbstractButton* btnWelcomeOptions_ = nullptr;
    QAbstractButton* btnWelcomeClose_ = nullptr;
    void wordWelcome();
    bool placed_ = false;
    SendFileActions* sendFiles_ = nullptr;
    FileDropFilter* drops_ = nullptr;
    QString fileTarget_;
    QAction* mnuUserInfo_ = nullptr;
    QPointer<QMenu> userMenu_;
    int menuRow_ = -1;
};

}  // namespace lanyx::ui

#pragma once
// The compose window: recipients and one message; Send delivers it as an
// alert and closes the window.
#include "ChatNode.h"
#include "logic/DeliveryStatus.h"
#include "logic/Recipients.h"

#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QPlainTextEdit;
class QToolBar;
class QTreeWidget;

namespace lanyx {
class FileTransfers;
class WaitingService;
}

namespace lanyx::ui {

class SendFileActions;

class frmCom : public QWidget {
    Q_OBJECT
public:
    explicit frmCom(ChatNode& node, QWidget* parent = nullptr);

    Q_INVOKABLE void SetLan();
    Q_INVOKABLE void RefUserList();
    void AddUser(const std::string& name);
    bool IsUserPresent(const std::string& name) const { return recipients_.IsUserPresent(name); }
    // Sends; a blank message does nothing. An alert to everybody closes the
    // window at once. After a private one it stays, read-only, showing per
    // recipient whether it went encrypted and whether it was delivered, and
    // closes itself lingerMs() after every recipient confirmed or was sent
    // to in the clear. One that did not confirm keeps it open, in sight,
    // until the user closes it.
    void Send();
    // A later report about the message this window sent.
    void ShowDelivery(const DeliveryReport& report);
    // Takes back the message waiting under this number (a row's context
    // menu). False when it no longer waits.
    bool TakeBack(std::uint64_t id);
    void setLingerMs(int ms) { lingerMs_ = ms; }
    int lingerMs() const { return lingerMs_; }
    static constexpr int kLingerMs = 4000;
    QLabel* lblDelivery() const { return lblDelivery_; }
    // Per recipient: icon and words.
    QTreeWidget* lstDelivery() const { return lstDelivery_; }
    // Recipients who will not see the alert (their status says so).
    QLabel* lblRecipientNote() const { return lblNote_; }

    const ComposeRecipients& recipients() const { return recipients_; }
    QTreeWidget* lvUsers() const { return lvUsers_; }
    QPlainTextEdit* txtMsg() const { return txtMsg_; }
    QAction* sendButton() const { return send_; }
    QAction* closeButton() const { return close_; }
    // Send File... and Send Folder... in the recipients' menu: to the
    // recipient under the pointer, or to all of them.
    void setFiles(FileTransfers* files);
    SendFileActions* sendFiles() const { return sendFiles_; }
    QStringList FileTargets() const;
    // Opens the check of a user's key: nothing went to a changed one.
    void setOpenCheck(std::function<void(const std::string&)> open) { openCheck_ = std::move(open); }
    // Where a message that waits is taken back.
    void setWaiting(WaitingService* waiting) { waiting_ = waiting; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void rebuild();
    void refreshDeliveryLine();
    void showNote();
    void fitToContent();

    ChatNode& node_;
    ComposeRecipients recipients_;
    QLabel* lblTo_;
    QLabel* lblMsg_;
    QTreeWidget* lvUsers_;
    QPlainTextEdit* txtMsg_;
    QToolBar* toolbar_ = nullptr;
    QAction* send_;
    QAction* close_;
    QLabel* lblDelivery_;
    QTreeWidget* lstDelivery_;
    QLabel* lblNote_;
    DeliveryStatus delivery_;
    int lingerMs_ = kLingerMs;
    bool closing_ = false;
    SendFileActions* sendFiles_ = nullptr;
    QString menuUser_;
    std::function<void(const std::string&)> openCheck_;
    WaitingService* waiting_ = nullptr;
};

// A new compose window for a "|"-terminated list; none for an empty list.
frmCom* OpenComposeWindow(ChatNode& node, const std::string& list);

}  // namespace lanyx::ui

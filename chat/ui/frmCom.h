#pragma once
// The compose window: recipients and one message; Send delivers it as an
// alert and closes the window.
#include "ChatNode.h"
#include "logic/Recipients.h"

#include <QWidget>

class QAction;
class QLabel;
class QPlainTextEdit;
class QTreeWidget;

namespace lanyx::ui {

class frmCom : public QWidget {
    Q_OBJECT
public:
    explicit frmCom(ChatNode& node, QWidget* parent = nullptr);

    Q_INVOKABLE void SetLan();
    Q_INVOKABLE void RefUserList();
    void AddUser(const std::string& name);
    bool IsUserPresent(const std::string& name) const { return recipients_.IsUserPresent(name); }
    // Sends and closes; a blank message does nothing.
    void Send();

    const ComposeRecipients& recipients() const { return recipients_; }
    QTreeWidget* lvUsers() const { return lvUsers_; }
    QPlainTextEdit* txtMsg() const { return txtMsg_; }
    QAction* sendButton() const { return send_; }
    QAction* closeButton() const { return close_; }

private:
    void rebuild();

    ChatNode& node_;
    ComposeRecipients recipients_;
    QLabel* lblTo_;
    QLabel* lblMsg_;
    QTreeWidget* lvUsers_;
    QPlainTextEdit* txtMsg_;
    QAction* send_;
    QAction* close_;
};

// A new compose window for a "|"-terminated list; none for an empty list.
frmCom* OpenComposeWindow(ChatNode& node, const std::string& list);

} // namespace lanyx::ui

#pragma once
// What is known of a user's key: the state, both sides' fingerprints to
// read to each other, and the button that accepts a changed key.
#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace lanyx {
class ChatNode;
}

namespace lanyx::ui {

class frmUserInfo : public QDialog {
    Q_OBJECT
public:
    frmUserInfo(ChatNode& node, const std::string& name, QWidget* parent = nullptr);
    // Shows what the node knows now.
    void refresh();
    Q_INVOKABLE void SetLan();
    QPushButton* acceptButton() const { return accept_; }
    QString stateText() const;
    QString ownFingerprint() const;
    QString theirFingerprint() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    QLabel* captions_[4] = {};
    ChatNode& node_;
    std::string name_;
    QLabel* state_ = nullptr;
    QLabel* own_ = nullptr;
    QLabel* pinned_ = nullptr;
    QLabel* announced_ = nullptr;
    QLabel* warning_ = nullptr;
    QPushButton* accept_ = nullptr;
};

} // namespace lanyx::ui

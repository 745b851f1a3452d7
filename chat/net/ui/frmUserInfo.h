#pragma once
// What is known of a user's key, and the check people can do: the safety
// number both sides see (as digits and as a QR code) to compare in person
// or by phone, "Mark as checked" once it matches, and for a changed key the
// choice between the new key (through the same check) and the known one.
#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace lanyx {
class SecureLink;
}

namespace lanyx::ui {

class frmUserInfo : public QDialog {
    Q_OBJECT
public:
    // No keys (a copy without them): the window says so.
    frmUserInfo(SecureLink* secure, const std::string& name, QWidget* parent = nullptr);
    // Shows what the node knows now.
    void refresh();
    Q_INVOKABLE void SetLan();
    const std::string& userName() const { return name_; }
    QPushButton* markCheckedButton() const { return markChecked_; }
    QPushButton* keepKnownButton() const { return keepKnown_; }
    QString stateText() const;
    QString safetyNumber() const;
    // The QR code as drawn; null when there is none.
    QImage qrImage() const;
    QString ownFingerprint() const;
    QString theirFingerprint() const;
    QString announcedFingerprint() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    QLabel* captions_[5] = {};
    SecureLink* keys_;
    std::string name_;
    QLabel* state_ = nullptr;
    QLabel* number_ = nullptr;
    QLabel* qr_ = nullptr;
    QLabel* howTo_ = nullptr;
    QLabel* own_ = nullptr;
    QLabel* pinned_ = nullptr;
    QLabel* announced_ = nullptr;
    QLabel* warning_ = nullptr;
    QPushButton* markChecked_ = nullptr;
    QPushButton* keepKnown_ = nullptr;
};

}  // namespace lanyx::ui

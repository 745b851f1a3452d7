#pragma once
// An offer of files from another user: who, what, how much, and where it
// would go. Accept starts the transfer into the folder shown, Decline tells
// the sender no; closing the window answers neither (the offer waits in
// the Transfers window).
#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lanyx {
class FileTransfers;
}

namespace lanyx::ui {

struct FolderMemory;

class frmOffer : public QDialog {
    Q_OBJECT
public:
    // `memory` (where given): the folder the last offer went to is offered
    // first, and the folder of this one is kept.
    frmOffer(FileTransfers& files, const QString& id, FolderMemory* memory = nullptr, QWidget* parent = nullptr);
    Q_INVOKABLE void SetLan();

    QString id() const { return id_; }
    QLabel* lblFrom() const { return lblFrom_; }
    QLabel* lblNames() const { return lblNames_; }
    QLabel* lblSize() const { return lblSize_; }
    QLabel* lblProblem() const { return lblProblem_; }
    QLineEdit* txtFolder() const { return txtFolder_; }
    QPushButton* btnAccept() const { return accept_; }
    QPushButton* btnDecline() const { return decline_; }
    QPushButton* btnBrowse() const { return browse_; }
    // The folder dialog; tests replace it.
    std::function<QString(QWidget* parent, const QString& start)> chooseFolder;

    void acceptOffer();
    void declineOffer();

protected:
    // Escape and the window's close button: no answer.
    void reject() override;
    void changeEvent(QEvent* event) override;

private:
    void itemChanged(const QString& id);

    FileTransfers& files_;
    QString id_;
    FolderMemory* memory_;
    QLabel* intro_;
    QLabel* captions_[4] = {};
    QLabel* lblFrom_;
    QLabel* lblNames_;
    QLabel* lblSize_;
    QLabel* lblProblem_;
    QLineEdit* txtFolder_;
    QPushButton* browse_;
    QPushButton* accept_;
    QPushButton* decline_;
};

}  // namespace lanyx::ui

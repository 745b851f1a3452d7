#pragma once
// The Transfers window: every offer and transfer of this run, newest last,
// each with its names, the other user, a progress bar, speed and time left,
// its state and the buttons that apply to it now.
#include <QHash>
#include <QString>
#include <QFrame>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace lanyx {
class FileTransfers;
}

namespace lanyx::ui {

// One transfer's row; its children are named for tests (lblNames, bar, ...).
class TransferRowWidget : public QFrame {
    Q_OBJECT
public:
    TransferRowWidget(const QString& id, QWidget* parent);
    QString id() const { return id_; }
    void SetLan();
    QLabel* lblNames;
    QLabel* lblPeer;
    QLabel* lblState;
    QLabel* lblAmounts;
    QLabel* lblSpeed;
    QProgressBar* bar;
    QPushButton* btnAccept;
    QPushButton* btnDecline;
    QPushButton* btnCancel;
    QPushButton* btnRetry;
    QPushButton* btnOpen;

private:
    QString id_;
};

class frmTransfers : public QWidget {
    Q_OBJECT
public:
    explicit frmTransfers(FileTransfers& files, QWidget* parent = nullptr);

    TransferRowWidget* row(const QString& id) const { return rows_.value(id); }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    QPushButton* btnClear() const { return clear_; }
    QLabel* lblEmpty() const { return empty_; }
    // Opens a folder in the desktop's file manager (false: nothing could);
    // tests replace it.
    std::function<bool(const QString& folder)> openFolder;
    Q_INVOKABLE void SetLan();

protected:
    void changeEvent(QEvent* event) override;

Q_SIGNALS:
    // Accept on an offered row: the offer window asks where to.
    void acceptRequested(const QString& id);

private:
    void showFolder(const QString& folder);
    void add(const QString& id);
    void update(const QString& id);
    void rebuild();

    FileTransfers& files_;
    QScrollArea* area_;
    QWidget* list_;
    QVBoxLayout* listLayout_;
    QLabel* empty_;
    QPushButton* clear_;
    QPushButton* close_;
    QHash<QString, TransferRowWidget*> rows_;
};

}  // namespace lanyx::ui

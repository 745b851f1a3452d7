#pragma once
// The user list as a Qt model over the roster: "(All)", the users in their
// colours with their status, the groups. Rows change as the roster reports
// them; users added by one batch of datagrams are inserted as one range at
// the batch's end, so a list of thousands stays smooth.
#include "UserList.h"

#include <QAbstractTableModel>
#include <QIcon>

class QTreeWidget;
class QTreeWidgetItem;

namespace lanyx::ui {

class UserListModel : public QAbstractTableModel, private UserListObserver {
    Q_OBJECT
public:
    explicit UserListModel(UserList& users, QObject* parent = nullptr);
    ~UserListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaders(const QString& name, const QString& status);
    // Icons by index 1 to 4: "(All)", user, blocked user, group.
    static QIcon userIcon(int index);
    // The status column's mark of a user's key, and its words.
    static QVariant keyIcon(KeyState state);
    static QString keyText(KeyState state);
    static QColor toColor(std::uint32_t bgr);
    UserList& users() { return users_; }

private:
    void rowsReset() override;
    void userAdded(std::size_t index) override;
    void userAboutToBeRemoved(std::size_t index) override;
    void userRemoved(const std::string& name) override;
    void userChanged(std::size_t index) override;
    void groupRowsChanged() override;
    void batchEnded() override;
    // Shows the users held back during a batch.
    void insertPending();

    // The roster's row (0 "(All)", then users, then groups) for a row of
    // this model.
    std::size_t rosterRow(int row) const;

    UserList& users_;
    int rows_;
    int moving_ = 0;  // during a removal: where the last row now shows
    int pendingFrom_ = 0;  // users added in this batch, not shown yet: model rows
    int pending_ = 0;      // from pendingFrom_ on
    QString headers_[2] = {QStringLiteral("UName"), QStringLiteral("Stat")};
};

// The compose and chat windows' member lists: a narrow second column with
// the mark of each member's key, its words as the tooltip.
void KeyColumn(QTreeWidget* list);
void ShowKeyState(QTreeWidgetItem* item, KeyState state);

} // namespace lanyx::ui

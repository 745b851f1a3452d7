#pragma once
// The user list as a Qt model over the roster: "(All)" first, the users in
// the order of the alphabet in their colours with their status, then the
// groups. Rows change as the roster reports them; a batch of datagrams (or
// of blocks) reaches views as one change: the users it brought as one
// insertion sorted into place, the rows it changed as one refresh, so a
// list of thousands stays smooth.
#include "UserList.h"

#include <QAbstractTableModel>

#include <functional>
#include <string>
#include <QIcon>

class QTreeWidget;
class QTreeWidgetItem;
#include <vector>

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
    // The user of this copy, whose row a screen reader calls yours (set by
    // the window that shows the list).
    std::function<std::string()> ownName;
    // A row's name as the windows show it: "(All)" in the user's language,
    // every other name as it is. The name itself stays "(All)" on the wire,
    // in the files and wherever the windows decide by it.
    static QString shownName(const std::string& name);
    // Icons by index 1 to 4: "(All)", user, blocked user, group.
    static QIcon userIcon(int index);
    // The status column's mark of a user's key, and its words.
    static QVariant keyIcon(KeyState state);
    static QString keyText(KeyState state);
    static QColor toColor(std::uint32_t bgr);
    UserList& users() { return users_; }
    // The roster's row shown at a row of this model, and back (-1: not shown).
    std::size_t rosterRow(int row) const;
    int modelRow(std::size_t rosterRow) const;

private:
    void rowsReset() override;
    void userAdded(std::size_t index) override;
    void userAboutToBeRemoved(std::size_t index) override;
    void userRemoved(const std::string& name) override;
    void userChanged(std::size_t index) override;
    void groupRowsChanged() override;
    void batchEnded() override;
    // Shows the users held back during a batch, sorted into place.
    void insertPending();
    bool before(std::uint32_t a, std::uint32_t b) const;
    // Where user `u` is (or belongs) in order_.
    std::size_t placeOf(std::uint32_t u) const;
    int groupCount() const;

    UserList& users_;
    std::vector<std::uint32_t> order_;           // user indexes, in the order shown
    std::vector<std::uint32_t> pending_;         // added in this batch, not shown yet
    bool changed_ = false;                       // rows changed in this batch
    std::uint32_t movedFrom_ = 0, movedTo_ = 0;  // during a removal
    std::size_t movedPlace_ = 0;
    bool removing_ = false;
    QString headers_[2] = {QStringLiteral("UName"), QStringLiteral("Stat")};
};

// The compose and chat windows' member lists: a narrow second column with
// the mark of each member's key, its words as the tooltip.
void KeyColumn(QTreeWidget* list);
void ShowKeyState(QTreeWidgetItem* item, KeyState state);
// A row of a window's list of members or recipients: the name as shown,
// and the name itself, which the window decides by.
QTreeWidgetItem* AddNameRow(QTreeWidget* list, const std::string& name);
void SetNameRow(QTreeWidgetItem* item, const std::string& name);
QString NameOfRow(const QTreeWidgetItem* item);

}  // namespace lanyx::ui

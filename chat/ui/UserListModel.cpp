#include "UserListModel.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace lanyx::ui {

UserListModel::UserListModel(UserList& users, QObject* parent)
    : QAbstractTableModel(parent), users_(users), rows_(static_cast<int>(users.rowCount())) {
    users_.addObserver(this);
}

UserListModel::~UserListModel() {
    users_.removeObserver(this);
}

int UserListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int UserListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QColor UserListModel::toColor(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

QIcon UserListModel::userIcon(int index) {
    static const QIcon icons[] = {QIcon(), QIcon(QStringLiteral(":/lanyx/all.svg")),
                                  QIcon(QStringLiteral(":/lanyx/user.svg")),
                                  QIcon(QStringLiteral(":/lanyx/blocked.svg")),
                                  QIcon(QStringLiteral(":/lanyx/group.svg"))};
    return (index >= 1 && index <= 4) ? icons[index] : QIcon();
}

QVariant UserListModel::keyIcon(KeyState state) {
    static const QIcon checked(QStringLiteral(":/lanyx/verified.svg"));
    static const QIcon fresh(QStringLiteral(":/lanyx/keynew.svg"));
    static const QIcon unconfirmed(QStringLiteral(":/lanyx/keyunconfirmed.svg"));
    static const QIcon changed(QStringLiteral(":/lanyx/keychanged.svg"));
    static const QIcon conflict(QStringLiteral(":/lanyx/keyconflict.svg"));
    switch (state) {
    case KeyState::Checked: return checked;
    case KeyState::New: return fresh;
    case KeyState::Unconfirmed: return unconfirmed;
    case KeyState::Changed: return changed;
    case KeyState::Conflict: return conflict;
    default: return {};
    }
}

QString UserListModel::keyText(KeyState state) {
    switch (state) {
    case KeyState::Checked: return tr("checked by you");
    case KeyState::New: return tr("new key, not checked");
    case KeyState::Unconfirmed: return tr("key known, not heard with it since listed");
    case KeyState::Changed: return tr("key changed: nothing private is sent until you check it");
    case KeyState::Conflict: return tr("a copy without keys uses this name too: check the key");
    default: return tr("no keys: what this user sends and gets is not protected");
    }
}

QVariant UserListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(users_.rowCount())) return {};
    const auto row = rosterRow(index.row());
    const bool isUser = row >= 1 && row <= users_.userCount();
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == 0) return QString::fromStdString(users_.rowText(row));
        return isUser ? QString::fromStdString(users_.user(row - 1).statusText) : QString();
    case Qt::DecorationRole:
        if (index.column() == 0) return userIcon(users_.rowIcon(row));
        return isUser ? keyIcon(users_.user(row - 1).keyState) : QVariant();
    case Qt::ToolTipRole:
        return isUser ? QVariant(keyText(users_.user(row - 1).keyState)) : QVariant();
    case Qt::ForegroundRole:
        return isUser ? QVariant(toColor(users_.user(row - 1).colour)) : QVariant();
    case Qt::UserRole:
        return users_.rowIcon(row);
    default:
        return {};
    }
}

QVariant UserListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 2)
        return headers_[section];
    return {};
}

void UserListModel::setHeaders(const QString& name, const QString& status) {
    headers_[0] = name;
    headers_[1] = status;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, 1);
}

void UserListModel::rowsReset() {
    pending_ = 0;
    beginResetModel();
    rows_ = static_cast<int>(users_.rowCount());
    endResetModel();
}

void UserListModel::groupRowsChanged() {
    rowsReset();
}

void UserListModel::userAdded(std::size_t index) {
    // The roster has the row already; this model shows it only once it
    // inserted it (at once, or at the end of a batch of datagrams), so views
    // see a consistent list throughout.
    const int row = static_cast<int>(index) + 1;
    if (pending_ > 0 && row != pendingFrom_ + pending_) insertPending();
    if (pending_ == 0) pendingFrom_ = row;
    ++pending_;
    if (!users_.inBatch()) insertPending();
}

void UserListModel::insertPending() {
    if (pending_ == 0) return;
    beginInsertRows({}, pendingFrom_, pendingFrom_ + pending_ - 1);
    pending_ = 0;
    rows_ = static_cast<int>(users_.rowCount());
    endInsertRows();
}

void UserListModel::batchEnded() {
    insertPending();
}

void UserListModel::userAboutToBeRemoved(std::size_t index) {
    insertPending();
    // The roster moves its last row into the removed one's place. Views see
    // that as two steps, so that selections stay on the users they were on:
    // the last row moves up before the removed one, then that one goes.
    const int row = static_cast<int>(index) + 1;
    const int last = static_cast<int>(users_.userCount());
    if (row == last) {
        beginRemoveRows({}, row, row);
        return;
    }
    beginMoveRows({}, last, last, {}, row);
    moving_ = row;
    endMoveRows();
    beginRemoveRows({}, row + 1, row + 1);
}

void UserListModel::userRemoved(const std::string&) {
    moving_ = 0;
    rows_ = static_cast<int>(users_.rowCount());
    endRemoveRows();
}

std::size_t UserListModel::rosterRow(int row) const {
    // Users held back in a batch sit in the roster before the group rows.
    if (pending_ > 0) return static_cast<std::size_t>(row < pendingFrom_ ? row : row + pending_);
    // Between the two steps of a removal the roster is still unchanged.
    if (moving_ == 0 || row < moving_) return static_cast<std::size_t>(row);
    if (row == moving_) return users_.userCount();
    return static_cast<std::size_t>(row <= static_cast<int>(users_.userCount()) ? row - 1 : row);
}

void UserListModel::userChanged(std::size_t index) {
    const int row = static_cast<int>(index) + 1;
    if (pending_ > 0 && row >= pendingFrom_) {
        if (row < pendingFrom_ + pending_) return;  // shown as it is once inserted
        insertPending();
    }
    Q_EMIT dataChanged(this->index(row, 0), this->index(row, 1));
}

void KeyColumn(QTreeWidget* list) {
    list->setColumnCount(2);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
}

void ShowKeyState(QTreeWidgetItem* item, KeyState state) {
    const auto text = UserListModel::keyText(state);
    if (item->toolTip(1) == text) return;
    item->setIcon(1, UserListModel::keyIcon(state).value<QIcon>());
    item->setToolTip(1, text);
    item->setData(1, Qt::AccessibleTextRole, text);
}

} // namespace lanyx::ui

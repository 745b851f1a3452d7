#include "UserListModel.h"

#include "KeyTexts.h"
#include "StateIcons.h"
#include "Text.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>
#include <limits>

namespace lanyx::ui {

namespace {
constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);
}

UserListModel::UserListModel(UserList& users, QObject* parent) : QAbstractTableModel(parent), users_(users) {
    users_.addObserver(this);
    order_.reserve(users_.userCount());
    for (std::size_t i = 0; i < users_.userCount(); ++i) order_.push_back(static_cast<std::uint32_t>(i));
    std::sort(order_.begin(), order_.end(), [this](std::uint32_t a, std::uint32_t b) { return before(a, b); });
}

UserListModel::~UserListModel() {
    users_.removeObserver(this);
}

bool UserListModel::before(std::uint32_t a, std::uint32_t b) const {
    // By the name without regard to case; the key is unique.
    return users_.user(a).key < users_.user(b).key;
}

std::size_t UserListModel::placeOf(std::uint32_t u) const {
    return static_cast<std::size_t>(
        std::lower_bound(order_.begin(), order_.end(), u,
                         [this](std::uint32_t a, std::uint32_t b) { return before(a, b); }) -
        order_.begin());
}

int UserListModel::groupCount() const {
    return static_cast<int>(users_.rowCount() - 1 - users_.userCount());
}

int UserListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1 + static_cast<int>(order_.size()) + groupCount();
}

int UserListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

std::size_t UserListModel::rosterRow(int row) const {
    if (row <= 0) return 0;
    const auto shown = static_cast<int>(order_.size());
    if (row <= shown) return 1 + order_[static_cast<std::size_t>(row - 1)];
    // Users held back in a batch sit in the roster before the group rows.
    return 1 + users_.userCount() + static_cast<std::size_t>(row - 1 - shown);
}

int UserListModel::modelRow(std::size_t roster) const {
    if (roster == 0) return 0;
    if (roster <= users_.userCount()) {
        const auto u = static_cast<std::uint32_t>(roster - 1);
        const std::size_t p = placeOf(u);
        return p < order_.size() && order_[p] == u ? static_cast<int>(p) + 1 : -1;
    }
    return 1 + static_cast<int>(order_.size()) + static_cast<int>(roster - 1 - users_.userCount());
}

QColor UserListModel::toColor(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

QIcon UserListModel::userIcon(int index) {
    static const QIcon icons[] = {QIcon(), QIcon(QStringLiteral(":/lanyx/all.svg")),
                                  QIcon(QStringLiteral(":/lanyx/user.svg")),
                                  QIcon(QStringLiteral(":/lanyx/blocked.svg")),
                                  QIcon(QStringLiteral(":/lanyx/group.svg"))};
    return (index >= 1 && index <= 4) ? icons[index] : QIcon();
}

QVariant UserListModel::keyIcon(KeyState state) {
    static const QIcon fresh(QStringLiteral(":/lanyx/keynew.svg"));
    static const QIcon unconfirmed(QStringLiteral(":/lanyx/keyunconfirmed.svg"));
    static const QIcon conflict(QStringLiteral(":/lanyx/keyconflict.svg"));
    switch (state) {
    case KeyState::Checked: return StateIcon(State::Encrypted);
    case KeyState::New: return fresh;
    case KeyState::Unconfirmed: return unconfirmed;
    case KeyState::Changed: return StateIcon(State::Warning);
    case KeyState::Conflict: return conflict;
    default: return {};  // no keys: no mark
    }
}

QString UserListModel::shownName(const std::string& name) {
    // One word for every window, the History's too.
    return equalsNoCase(name, UserList::kAllRow) ? QCoreApplication::translate("UserList", "(All)")
                                                 : QString::fromStdString(name);
}

QString UserListModel::keyText(KeyState state) {
    return KeyStateText(state);
}

QVariant UserListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto row = rosterRow(index.row());
    const bool isUser = row >= 1 && row <= users_.userCount();
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == 0) return shownName(users_.rowText(row));
        return isUser ? QString::fromStdString(users_.user(row - 1).statusText) : QString();
    case Qt::DecorationRole:
        if (index.column() == 0) return userIcon(users_.rowIcon(row));
        return isUser ? keyIcon(users_.user(row - 1).keyState) : QVariant();
    case Qt::ToolTipRole:
        if (!isUser) return {};
        if (index.column() == 1) return keyText(users_.user(row - 1).keyState);
        return users_.rowIcon(row) == IconBlocked ? QVariant(StateText(State::Blocked)) : QVariant();
    case Qt::AccessibleTextRole: {
        // A screen reader reads a row as "name, status, key state".
        if (index.column() != 0 || !isUser) return data(index, Qt::DisplayRole);
        const auto& u = users_.user(row - 1);
        QStringList parts{QString::fromStdString(u.text)};
        // Yours: what it is, not the keys of somebody else.
        if (ownName && equalsNoCase(u.text, ownName())) {
            parts << tr("you");
            if (!u.statusText.empty()) parts << QString::fromStdString(u.statusText);
            return parts.join(QStringLiteral(", "));
        }
        if (users_.rowIcon(row) == IconBlocked) parts << StateText(State::Blocked);
        if (!u.statusText.empty()) parts << QString::fromStdString(u.statusText);
        parts << keyText(u.keyState);
        return parts.join(QStringLiteral(", "));
    }
    case Qt::ForegroundRole: return isUser ? QVariant(toColor(users_.user(row - 1).colour)) : QVariant();
    case Qt::UserRole: return users_.rowIcon(row);
    default: return {};
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
    beginResetModel();
    pending_.clear();
    changed_ = false;
    order_.clear();
    for (std::size_t i = 0; i < users_.userCount(); ++i) order_.push_back(static_cast<std::uint32_t>(i));
    std::sort(order_.begin(), order_.end(), [this](std::uint32_t a, std::uint32_t b) { return before(a, b); });
    endResetModel();
}

void UserListModel::groupRowsChanged() {
    rowsReset();
}

void UserListModel::userAdded(std::size_t index) {
    // The roster has the row already; this model shows it only once it
    // inserted it (at once, or at the end of a batch of datagrams), so views
    // see a consistent list throughout.
    pending_.push_back(static_cast<std::uint32_t>(index));
    if (!users_.inBatch()) insertPending();
}

void UserListModel::insertPending() {
    if (pending_.empty()) return;
    if (pending_.size() == 1) {
        const std::uint32_t u = pending_.front();
        const std::size_t p = placeOf(u);
        beginInsertRows({}, static_cast<int>(p) + 1, static_cast<int>(p) + 1);
        pending_.clear();
        order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(p), u);
        endInsertRows();
        return;
    }
    // Many at once: inserted as one range behind the users shown, then
    // sorted into place in one layout change that keeps selections on the
    // users they were on.
    const int first = 1 + static_cast<int>(order_.size());
    beginInsertRows({}, first, first + static_cast<int>(pending_.size()) - 1);
    order_.insert(order_.end(), pending_.begin(), pending_.end());
    pending_.clear();
    endInsertRows();

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList from = persistentIndexList();
    std::vector<std::uint32_t> userAt;  // what each persistent index showed
    for (const QModelIndex& i : from)
        userAt.push_back(i.row() >= 1 && i.row() <= static_cast<int>(order_.size())
                             ? order_[static_cast<std::size_t>(i.row() - 1)]
                             : std::numeric_limits<std::uint32_t>::max());
    std::sort(order_.begin(), order_.end(), [this](std::uint32_t a, std::uint32_t b) { return before(a, b); });
    QModelIndexList to;
    for (int k = 0; k < from.size(); ++k) {
        const QModelIndex& i = from[k];
        if (userAt[static_cast<std::size_t>(k)] == std::numeric_limits<std::uint32_t>::max()) {
            to << i;
            continue;
        }
        to << index(static_cast<int>(placeOf(userAt[static_cast<std::size_t>(k)])) + 1, i.column());
    }
    changePersistentIndexList(from, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void UserListModel::batchEnded() {
    insertPending();
    // Everything a batch changed (a thousand blocks, a storm of colours)
    // reaches the views as one refresh.
    if (std::exchange(changed_, false) && rowCount() > 0) Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 1));
}

void UserListModel::userAboutToBeRemoved(std::size_t index) {
    // The roster moves its last user into the removed one's place: the
    // model keeps its order and only renumbers that user when the roster
    // has moved it.
    const auto u = static_cast<std::uint32_t>(index);
    const auto last = static_cast<std::uint32_t>(users_.userCount() - 1);
    movedFrom_ = last;
    movedTo_ = u;
    removing_ = false;
    if (const auto it = std::find(pending_.begin(), pending_.end(), u); it != pending_.end()) {
        pending_.erase(it);
    } else {
        const std::size_t p = placeOf(u);
        if (p < order_.size() && order_[p] == u) {
            beginRemoveRows({}, static_cast<int>(p) + 1, static_cast<int>(p) + 1);
            order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(p));
            removing_ = true;
        }
    }
    // Where the last user is, while its record is still there to compare.
    movedPlace_ = kNowhere;
    if (last != u) {
        const std::size_t p = placeOf(last);
        if (p < order_.size() && order_[p] == last) movedPlace_ = p;
    }
}

void UserListModel::userRemoved(const std::string&) {
    if (movedFrom_ != movedTo_) {
        if (movedPlace_ != kNowhere) order_[movedPlace_] = movedTo_;
        else std::replace(pending_.begin(), pending_.end(), movedFrom_, movedTo_);
    }
    if (std::exchange(removing_, false)) endRemoveRows();
}

void UserListModel::userChanged(std::size_t index) {
    if (users_.inBatch()) {
        changed_ = true;
        return;
    }
    const int row = modelRow(index + 1);
    if (row < 0) return;  // shown as it is once inserted
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

namespace {
constexpr int kNameRole = Qt::UserRole + 1;
}

QTreeWidgetItem* AddNameRow(QTreeWidget* list, const std::string& name) {
    auto* item = new QTreeWidgetItem(list);
    SetNameRow(item, name);
    return item;
}

void SetNameRow(QTreeWidgetItem* item, const std::string& name) {
    item->setText(0, UserListModel::shownName(name));
    item->setData(0, kNameRole, QString::fromStdString(name));
}

QString NameOfRow(const QTreeWidgetItem* item) {
    return item->data(0, kNameRole).toString();
}

}  // namespace lanyx::ui

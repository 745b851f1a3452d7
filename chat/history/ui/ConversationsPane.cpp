#include "ConversationsPane.h"

#include "BackgroundReader.h"
#include "HistoryView.h"

#include <QApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

namespace lanyx::ui {

namespace {
constexpr int kSoonMs = 300;
// While shown, the list is read again this often: an away user may come back.
constexpr int kRefreshMs = 10000;
}  // namespace

ConversationsPane::ConversationsPane(Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
    setObjectName("paneConversations");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QTreeWidget(this);
    list_->setObjectName("lvConversations");
    list_->setAccessibleName(tr("Conversations"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setColumnCount(3);
    list_->setHeaderLabels({tr("Conversation"), tr("Last line"), tr("When")});
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    layout->addWidget(list_);
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const auto at = item ? item->data(0, Qt::UserRole).toInt() : -1;
        if (at >= 0 && at < static_cast<int>(items_.size()) && services_.open) services_.open(items_[at]);
    });
    soon_ = new QTimer(this);
    soon_->setSingleShot(true);
    connect(soon_, &QTimer::timeout, this, &ConversationsPane::refresh);
    auto* every = new QTimer(this);
    connect(every, &QTimer::timeout, this, [this] {
        if (isVisible()) refresh();
    });
    every->start(kRefreshMs);
}

ConversationsPane::~ConversationsPane() = default;

void ConversationsPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void ConversationsPane::refreshSoon() {
    if (!soon_->isActive()) soon_->start(kSoonMs);
}

void ConversationsPane::refresh() {
    auto* history = services_.history ? services_.history() : nullptr;
    if (!history) {
        reader_.reset();
        readerOf_ = nullptr;
        show({});
        return;
    }
    if (!reader_ || readerOf_ != history) {
        reader_ = std::make_unique<history::BackgroundReader>(*history);
        readerOf_ = history;
    }
    const QPointer<ConversationsPane> self(this);
    reader_->post(0, [self](history::HistoryStore* store) {
        auto kept = store ? store->conversations() : std::vector<history::Conversation>{};
        QMetaObject::invokeMethod(
            qApp,
            [self, kept = std::move(kept)] {
                if (self) self->show(kept);
            },
            Qt::QueuedConnection);
    });
}

void ConversationsPane::show(const std::vector<history::Conversation>& kept) {
    items_ = ListConversations(kept, services_.knownAway ? services_.knownAway() : std::vector<std::string>{},
                               services_.unread ? services_.unread() : std::map<std::string, int>{});
    // The one chosen stays chosen, wherever a newer line moved it.
    const auto* current = list_->currentItem();
    const QString was = current ? current->data(0, Qt::UserRole + 1).toString() : QString();
    const auto now = QDateTime::currentMSecsSinceEpoch();
    list_->clear();
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const auto& c = items_[i];
        QString title = c.kind == ConversationItem::Kind::Everybody ? tr("Everybody") : QString::fromStdString(c.title);
        if (c.unread > 0) title += QStringLiteral(" (%1)").arg(c.unread);
        QString last;
        if (!c.lastText.empty()) {
            const QString speaker = c.lastSpeaker.empty() ? tr("you") : QString::fromStdString(c.lastSpeaker);
            last = speaker + QStringLiteral(": ") + QString::fromStdString(c.lastText).simplified();
        } else if (c.away) {
            last = tr("away: what you write waits for %1").arg(QString::fromStdString(c.title));
        }
        QString when = c.lastTimeMs ? QString::fromStdString(WhenText(c.lastTimeMs, now)) : QString();
        // A user away: since when, where it is known.
        const std::int64_t seen = c.away && services_.lastSeen ? services_.lastSeen(c.title) : 0;
        if (seen > 0) when = tr("seen %1").arg(QString::fromStdString(WhenText(seen, now)));
        auto* item = new QTreeWidgetItem(list_, {title, last, when});
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        item->setData(0, Qt::UserRole + 1, QString::fromStdString(c.key));
        if (!was.isEmpty() && was == QString::fromStdString(c.key)) list_->setCurrentItem(item);
        if (c.unread > 0) {
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
        }
        if (c.away) {
            for (int col = 0; col < 3; ++col) item->setForeground(col, grey);
            item->setToolTip(0, tr("%1 is away: what you write waits for %1").arg(QString::fromStdString(c.title)));
        }
    }
    Q_EMIT refreshed();
}

}  // namespace lanyx::ui

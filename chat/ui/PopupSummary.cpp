#include "PopupSummary.h"

#include "Resources.h"
#include "StateIcons.h"
#include "Twips.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace lanyx::ui {

PopupSummary::PopupSummary(OpenFn open, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint |
                  (frmPop::FramelessOn(QGuiApplication::platformName()) ? Qt::FramelessWindowHint : Qt::Widget)),
      open_(std::move(open)) {
    EnsureResources();
    setObjectName("frmPopSummary");
    setWindowIcon(SharedIcon(QStringLiteral(":/lanyx/alert.svg")));
    setAutoFillBackground(true);
    title_ = new QLabel(this);
    title_->setObjectName("lblTitle");
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    close_ = new QToolButton(this);
    close_->setObjectName("cmdClose");
    close_->setIcon(SharedIcon(QStringLiteral(":/lanyx/close.svg")));
    close_->setAutoRaise(true);
    connect(close_, &QToolButton::clicked, this, &QWidget::hide);
    list_ = new QListWidget(this);
    list_->setObjectName("lstNotShown");
    list_->setWordWrap(true);
    list_->setTextElideMode(Qt::ElideRight);
    show_ = new QPushButton(this);
    show_->setObjectName("cmdShow");
    show_->setIcon(SharedIcon(QStringLiteral(":/lanyx/show.svg")));
    // The rows name their senders: a row opens its own sender even when the
    // entries moved since the list was drawn.
    connect(show_, &QPushButton::clicked, this, [this] {
        if (const QListWidgetItem* item = list_->currentItem()) OpenSender(item->data(Qt::UserRole).toString());
    });
    connect(list_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { OpenSender(item->data(Qt::UserRole).toString()); });
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setSingleShot(true);
    connect(refreshTimer_, &QTimer::timeout, this, &PopupSummary::refresh);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 4, 6);
    grid->addWidget(title_, 0, 0);
    grid->addWidget(close_, 0, 1);
    grid->addWidget(list_, 1, 0, 1, 2);
    grid->addWidget(show_, 2, 0, 1, 2, Qt::AlignRight);
    grid->setColumnStretch(0, 1);
    SetLan();
}

void PopupSummary::SetLan() {
    title_->setText(tr("Alerts not shown"));
    close_->setToolTip(tr("Close"));
    close_->setAccessibleName(tr("Close"));
    show_->setText(tr("&Show"));
    list_->setAccessibleName(tr("Alerts not shown"));
    list_->setAccessibleDescription(tr("Senders whose alerts found no place on the screen; Enter shows them"));
    refresh();
}

void PopupSummary::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
}

bool PopupSummary::Holds(const QString& sender) const {
    return index_.contains(keyOf(sender));
}

void PopupSummary::Keep(const QString& sender, const std::deque<PopAlert>& alerts) {
    const QString key = keyOf(sender);
    auto found = index_.find(key);
    if (found == index_.end()) {
        entries_.push_back({sender, {}, 0});
        found = index_.insert(key, std::prev(entries_.end()));
    } else if (*found != std::prev(entries_.end())) {
        // The sender heard from last is listed first.
        entries_.splice(entries_.end(), entries_, *found);
    }
    Entry& e = *found.value();
    for (const auto& a : alerts) {
        e.alerts.push_back(a);
        e.bytes += a.text.size();
        bytes_ += a.text.size();
    }
    trim(e);
    scheduleRefresh();
    showOnce();
}

void PopupSummary::showOnce() {
    if (isVisible()) return;
    show();
    placeAt(corner_, alertHeight_);
}

void PopupSummary::countNotKept(int alerts) {
    if (alerts <= 0) return;
    forgotten_ += alerts;
    scheduleRefresh();
    showOnce();
}

void PopupSummary::drop(Entries::iterator it) {
    bytes_ -= it->bytes;
    index_.remove(keyOf(it->sender));
    entries_.erase(it);
}

void PopupSummary::trim(Entry& touched) {
    // Only the entry that grew can be past its own bound.
    while (touched.bytes > kMaxBytesPerSender && touched.alerts.size() > 1) {
        touched.bytes -= touched.alerts.front().text.size();
        bytes_ -= touched.alerts.front().text.size();
        touched.alerts.pop_front();
        ++forgotten_;
    }
    // The newest entry is at the back: the oldest go first, never it.
    while (entries_.size() > 1 && (static_cast<int>(entries_.size()) > kMaxSenders || bytes_ > kMaxBytes)) {
        forgotten_ += static_cast<int>(entries_.front().alerts.size());
        drop(entries_.begin());
    }
}

std::deque<PopAlert> PopupSummary::Take(const QString& sender) {
    const auto found = index_.find(keyOf(sender));
    if (found == index_.end()) return {};
    std::deque<PopAlert> alerts = std::move(found.value()->alerts);
    drop(found.value());
    scheduleRefresh();
    if (entries_.empty()) hide();
    return alerts;
}

QStringList PopupSummary::senders() const {
    QStringList s;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) s << it->sender;
    return s;
}

frmPop* PopupSummary::Open(int row) {
    if (row < 0 || row >= static_cast<int>(entries_.size())) return nullptr;
    return OpenSender(std::next(entries_.rbegin(), row)->sender);
}

frmPop* PopupSummary::OpenSender(const QString& sender) {
    if (!open_ || !Holds(sender)) return nullptr;
    const QString name = index_.value(keyOf(sender))->sender;
    std::deque<PopAlert> alerts = Take(name);
    return open_(name, std::move(alerts));
}

void PopupSummary::scheduleRefresh() {
    if (refreshTimer_->isActive()) return;
    // The first change after a quiet time shows at once; a flood waits its turn.
    const qint64 since = sinceRefresh_.isValid() ? sinceRefresh_.elapsed() : kRefreshGapMs;
    refreshTimer_->start(static_cast<int>(std::max<qint64>(0, kRefreshGapMs - since)));
}

void PopupSummary::refreshNow() {
    if (!refreshTimer_->isActive()) return;
    refreshTimer_->stop();
    refresh();
}

void PopupSummary::refresh() {
    sinceRefresh_.start();
    // The row the user is on stays selected, wherever it moved.
    const QListWidgetItem* current = list_->currentItem();
    const QString selected = current ? current->data(Qt::UserRole).toString() : QString();
    list_->clear();
    int selectRow = -1;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->alerts.empty()) continue;
        const PopAlert& last = it->alerts.back();
        QString start = last.text.left(80).simplified();
        if (last.text.size() > 80) start += QChar(0x2026);
        const QString count = it->alerts.size() == 1 ? tr("1 alert") : tr("%1 alerts").arg(it->alerts.size());
        auto* item = new QListWidgetItem(tr("%1: %2, the last at %3: %4")
                                             .arg(it->sender, count, last.at.time().toString(QStringLiteral("HH:mm")),
                                                  start),
                                         list_);
        item->setIcon(SharedIcon(QStringLiteral(":/lanyx/user.svg")));
        item->setData(Qt::UserRole, it->sender);
        if (!selected.isEmpty() && it->sender.compare(selected, Qt::CaseInsensitive) == 0)
            selectRow = list_->count() - 1;
    }
    if (list_->count() > 0) list_->setCurrentRow(selectRow >= 0 ? selectRow : 0);
    show_->setEnabled(list_->count() > 0);
    QString more;
    if (forgotten_ > 0) more = QStringLiteral(" ") + tr("(%1 more not kept)").arg(forgotten_);
    title_->setText(tr("Alerts not shown") + more);
}

void PopupSummary::placeAt(int corner, int alertHeight) {
    corner_ = corner;
    alertHeight_ = alertHeight;
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    const QFontMetrics fm(font());
    resize(std::min(fm.averageCharWidth() * 60, area.width() - 16), std::min(fm.height() * 14, area.height() / 2));
    if (corner < 1 || corner > 4) return;
    const QRect frame = frameGeometry();
    const int rest = ToPixels(alertHeight * 450, s);
    // Beside the popups' corner, not over them: the other end of that edge.
    const int left = (corner == 2 || corner == 4) ? area.left() : area.right() + 1 - frame.width();
    const int top = (corner == 1 || corner == 2) ? area.top() + rest : area.bottom() + 1 - frame.height() - rest;
    move(left + (x() - frame.x()), top + (y() - frame.y()));
}

void PopupSummary::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!(windowFlags() & Qt::FramelessWindowHint)) return;
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace lanyx::ui

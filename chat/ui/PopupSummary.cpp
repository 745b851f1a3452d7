#include "PopupSummary.h"

#include "Resources.h"
#include "Twips.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
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
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/alert.svg")));
    setAutoFillBackground(true);
    title_ = new QLabel(this);
    title_->setObjectName("lblTitle");
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    close_ = new QToolButton(this);
    close_->setObjectName("cmdClose");
    close_->setIcon(QIcon(QStringLiteral(":/lanyx/close.svg")));
    close_->setAutoRaise(true);
    connect(close_, &QToolButton::clicked, this, &QWidget::hide);
    list_ = new QListWidget(this);
    list_->setObjectName("lstNotShown");
    list_->setWordWrap(true);
    list_->setTextElideMode(Qt::ElideRight);
    show_ = new QPushButton(this);
    show_->setObjectName("cmdShow");
    show_->setIcon(QIcon(QStringLiteral(":/lanyx/show.svg")));
    connect(show_, &QPushButton::clicked, this, [this] { Open(list_->currentRow()); });
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { Open(list_->row(item)); });
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

PopupSummary::Entry* PopupSummary::find(const QString& sender) {
    for (auto& e : entries_)
        if (e.sender.compare(sender, Qt::CaseInsensitive) == 0) return &e;
    return nullptr;
}

bool PopupSummary::Holds(const QString& sender) const {
    return const_cast<PopupSummary*>(this)->find(sender) != nullptr;
}

void PopupSummary::Keep(const QString& sender, const std::deque<PopAlert>& alerts) {
    Entry* e = find(sender);
    if (!e) {
        entries_.push_back({sender, {}, 0});
        e = &entries_.back();
    } else if (e != &entries_.back()) {
        // The sender heard from last is listed first.
        Entry moved = std::move(*e);
        entries_.erase(entries_.begin() + (e - &entries_.front()));
        entries_.push_back(std::move(moved));
        e = &entries_.back();
    }
    for (const auto& a : alerts) {
        e->alerts.push_back(a);
        e->bytes += a.text.size();
        bytes_ += a.text.size();
    }
    trim();
    refresh();
    if (!isVisible()) {
        show();
        placeAt(corner_, alertHeight_);
    }
}

void PopupSummary::trim() {
    for (auto& e : entries_)
        while (e.bytes > kMaxBytesPerSender && e.alerts.size() > 1) {
            e.bytes -= e.alerts.front().text.size();
            bytes_ -= e.alerts.front().text.size();
            e.alerts.pop_front();
            ++forgotten_;
        }
    while (!entries_.empty() && (static_cast<int>(entries_.size()) > kMaxSenders || bytes_ > kMaxBytes)) {
        bytes_ -= entries_.front().bytes;
        forgotten_ += static_cast<int>(entries_.front().alerts.size());
        entries_.pop_front();
    }
}

std::deque<PopAlert> PopupSummary::Take(const QString& sender) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->sender.compare(sender, Qt::CaseInsensitive) == 0) {
            std::deque<PopAlert> alerts = std::move(it->alerts);
            bytes_ -= it->bytes;
            entries_.erase(it);
            refresh();
            if (entries_.empty()) hide();
            return alerts;
        }
    return {};
}

QStringList PopupSummary::senders() const {
    QStringList s;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) s << it->sender;
    return s;
}

frmPop* PopupSummary::Open(int row) {
    const QStringList names = senders();
    if (row < 0 || row >= names.size() || !open_) return nullptr;
    const QString sender = names[row];
    std::deque<PopAlert> alerts = Take(sender);
    return open_(sender, std::move(alerts));
}

void PopupSummary::refresh() {
    list_->clear();
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
        item->setIcon(QIcon(QStringLiteral(":/lanyx/user.svg")));
    }
    if (list_->count() > 0 && list_->currentRow() < 0) list_->setCurrentRow(0);
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

#include "frmHistory.h"

#include "BackgroundReader.h"
#include "ChatNode.h"
#include "History.h"
#include "Error.h"
#include "Resources.h"
#include "Text.h"
#include "UserList.h"
#include "Export.h"
#include "HistoryView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

namespace lanyx::ui {

using history::HistoryRow;
using history::Scope;

namespace {

// Runs `fn` on the user interface thread, unless the window went meanwhile.
template <typename Fn> void onUi(const QPointer<frmHistory>& window, Fn fn) {
    QMetaObject::invokeMethod(
        qApp,
        [window, fn = std::move(fn)]() mutable {
            if (window) fn(window.data());
        },
        Qt::QueuedConnection);
}

// "(All)" as the user list shows it, in the user's language; in the
// history's files it stays "(All)".
QString everybody() {
    return QCoreApplication::translate("UserList", "(All)");
}

QString who(const HistoryRow& row, const std::string& ownName) {
    const auto& e = row.entry;
    const QString arrow = QStringLiteral(" \u2192 ");
    const QString peer = e.peer == UserList::kAllRow ? everybody() : QString::fromStdString(e.peer);
    if (e.outgoing) return QString::fromStdString(ownName) + arrow + peer;
    if (IsPublicKind(e.kind)) return peer + arrow + everybody();
    return peer;
}

QString what(const HistoryRow& row) {
    const auto& e = row.entry;
    if (e.kind == HistoryKind::NotKept)
        return frmHistory::tr("%n more line(s) from %1 not kept", "", static_cast<int>(e.files))
            .arg(e.peer == UserList::kAllRow ? frmHistory::tr("other senders") : QString::fromStdString(e.peer));
    QString text = IsTransferKind(e.kind) ? frmHistory::TransferText(e) : QString::fromStdString(e.text);
    if (const QString kind = frmHistory::KindText(e.kind); !kind.isEmpty()) text = kind + QLatin1Char(' ') + text;
    if (!e.outgoing && e.trust == HistoryTrust::NotVerified) text = QString::fromUtf8(kNotVerifiedMark) + text;
    if (const QString d = frmHistory::DeliveryText(e.delivery); !d.isEmpty())
        text += QStringLiteral("  [") + d + QLatin1Char(']');
    return text;
}

// The text with the searched words marked, as HTML.
QString marked(const QString& text, const std::vector<std::string>& highlights) {
    std::vector<std::pair<int, int>> ranges;
    for (const auto& h : highlights) {
        const QString term = QString::fromStdString(h);
        if (term.isEmpty()) continue;
        for (int at = text.indexOf(term, 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(term, at + static_cast<int>(term.size()), Qt::CaseInsensitive))
            ranges.emplace_back(at, at + static_cast<int>(term.size()));
    }
    std::sort(ranges.begin(), ranges.end());
    QString out;
    int pos = 0;
    for (const auto& [from, to] : ranges) {
        if (from < pos) continue;
        out += text.mid(pos, from - pos).toHtmlEscaped();
        out += QStringLiteral("<span style=\"background-color:#fff176;color:#000\">") +
               text.mid(from, to - from).toHtmlEscaped() + QStringLiteral("</span>");
        pos = to;
    }
    return out + text.mid(pos).toHtmlEscaped();
}

}  // namespace

frmHistory::frmHistory(history::History& history, HistoryHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window), history_(history), host_(host) {
    EnsureResources();
    setObjectName("frmHistory");
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/lanyx.svg")));
    setAttribute(Qt::WA_DeleteOnClose);

    lblSearch_ = new QLabel(this);
    txtSearch_ = new QLineEdit(this);
    txtSearch_->setObjectName("txtSearch");
    txtSearch_->setClearButtonEnabled(true);
    lblSearch_->setBuddy(txtSearch_);
    lblStat_ = new QLabel(this);
    lblStat_->setObjectName("lblStat");
    lblStat_->setTextFormat(Qt::PlainText);

    lvConversations_ = new QTreeWidget(this);
    lvConversations_->setObjectName("lvConversations");
    lvConversations_->setRootIsDecorated(false);
    lvConversations_->setColumnCount(2);
    lvConversations_->header()->setStretchLastSection(false);
    lvConversations_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lvConversations_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    lvLines_ = new QTreeWidget(this);
    lvLines_->setObjectName("lvLines");
    lvLines_->setRootIsDecorated(false);
    lvLines_->setUniformRowHeights(true);
    lvLines_->setColumnCount(3);
    lvLines_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvLines_->header()->setStretchLastSection(true);
    lvLines_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    lvLines_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    txtAround_ = new QTextBrowser(this);
    txtAround_->setObjectName("txtAround");
    txtAround_->setOpenLinks(false);

    btnJump_ = new QPushButton(this);
    btnJump_->setObjectName("btnJump");
    btnExport_ = new QPushButton(this);
    btnExport_->setObjectName("btnExport");
    btnDelete_ = new QPushButton(this);
    btnDelete_->setObjectName("btnDelete");
    btnDeleteAll_ = new QPushButton(this);
    btnDeleteAll_->setObjectName("btnDeleteAll");
    for (auto* b : {btnJump_, btnExport_, btnDelete_, btnDeleteAll_}) b->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(lblSearch_);
    top->addWidget(txtSearch_, 1);
    auto* right = new QSplitter(Qt::Vertical, this);
    right->addWidget(lvLines_);
    right->addWidget(txtAround_);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 1);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(lvConversations_);
    split->addWidget(right);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 3);
    auto* buttons = new QHBoxLayout;
    for (auto* b : {btnJump_, btnExport_, btnDelete_, btnDeleteAll_}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(lblStat_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(kTypingPauseMs);
    connect(typing_, &QTimer::timeout, this, [this] { Search(txtSearch_->text()); });
    connect(txtSearch_, &QLineEdit::textEdited, this, [this] { typing_->start(); });
    connect(txtSearch_, &QLineEdit::returnPressed, this, [this] { Search(txtSearch_->text()); });
    // The clear button changes the text without an edit.
    connect(txtSearch_, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (t.isEmpty() && searching_) Search(t);
    });
    connect(lvConversations_, &QTreeWidget::itemClicked, this, &frmHistory::conversationClicked);
    connect(lvConversations_, &QTreeWidget::itemActivated, this, &frmHistory::conversationClicked);
    connect(lvLines_, &QTreeWidget::itemSelectionChanged, this, &frmHistory::selectionChanged);
    connect(lvLines_, &QTreeWidget::itemActivated, this, [this] {
        if (searching_) JumpToSelected();
    });
    connect(btnJump_, &QPushButton::clicked, this, &frmHistory::JumpToSelected);
    connect(btnExport_, &QPushButton::clicked, this, &frmHistory::ExportSelection);
    connect(btnDelete_, &QPushButton::clicked, this, &frmHistory::DeleteConversation);
    connect(btnDeleteAll_, &QPushButton::clicked, this, &frmHistory::DeleteAll);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        txtSearch_->setFocus();
        txtSearch_->selectAll();
    });
    auto* refresh = new QShortcut(QKeySequence::Refresh, this);
    connect(refresh, &QShortcut::activated, this, [this] {
        Refresh();
        ShowScope(scope_);
    });
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, [this] {
        if (!txtSearch_->text().isEmpty()) txtSearch_->clear();
        else this->close();
    });

    Confirm = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    reader_ = std::make_unique<history::BackgroundReader>(history_);
    SetLan();
    resize(860, 560);
    btnJump_->setEnabled(false);
    Refresh();
    ShowScope(Scope::all());
}

frmHistory::~frmHistory() {
    // Nothing reads for this window any more; answers on their way find it gone.
    reader_.reset();
}

void frmHistory::SetLan() {
    setWindowTitle(tr("History - Lanyx"));
    lblSearch_->setText(tr("&Search:"));
    txtSearch_->setPlaceholderText(tr("words, \"a phrase\", this OR that, -without"));
    txtSearch_->setAccessibleName(tr("Search the history"));
    txtSearch_->setToolTip(
        tr("All words must match; \"a phrase\" matches these words together; "
           "a OR b matches either; -word leaves out what has it."));
    lvConversations_->setHeaderLabels({tr("Conversation"), tr("Last")});
    lvConversations_->setAccessibleName(tr("Conversations"));
    lvLines_->setHeaderLabels({tr("When"), tr("Who"), tr("Message")});
    lvLines_->setAccessibleName(tr("Messages"));
    txtAround_->setAccessibleName(tr("The lines around the selected message"));
    btnJump_->setText(tr("&Go to Conversation"));
    btnJump_->setAccessibleName(tr("Go to the conversation of the selected message"));
    btnExport_->setText(tr("&Export..."));
    btnExport_->setAccessibleName(tr("Export the selected messages"));
    btnDelete_->setText(tr("&Delete Conversation"));
    btnDelete_->setAccessibleName(tr("Delete this conversation"));
    btnDeleteAll_->setText(tr("Delete &All"));
    btnDeleteAll_->setAccessibleName(tr("Delete the whole history"));
    lblStat_->setAccessibleName(tr("Status"));
    if (auto* all = lvConversations_->topLevelItem(0)) all->setText(0, tr("All messages"));
    relabel();
}

QString frmHistory::DeliveryText(HistoryDelivery delivery) {
    switch (delivery) {
    case HistoryDelivery::None: return {};
    case HistoryDelivery::Sent: return tr("sent");
    case HistoryDelivery::Waiting: return tr("waiting");
    case HistoryDelivery::Delivered: return tr("delivered");
    case HistoryDelivery::NotConfirmed: return tr("not confirmed");
    case HistoryDelivery::Queued: return tr("queued");
    case HistoryDelivery::Expired: return tr("expired");
    case HistoryDelivery::Cancelled: return tr("cancelled");
    }
    return {};
}

QString frmHistory::KindText(HistoryKind kind) {
    switch (kind) {
    case HistoryKind::Alert:
    case HistoryKind::PrivateAlert: return tr("(alert)");
    case HistoryKind::Box: return tr("(message box)");
    case HistoryKind::FileSent: return tr("(file sent)");
    case HistoryKind::FileReceived: return tr("(file received)");
    case HistoryKind::Picture: return tr("(picture)");
    case HistoryKind::TransferDeclined: return tr("(transfer declined)");
    case HistoryKind::TransferCancelled: return tr("(transfer cancelled)");
    case HistoryKind::TransferFailed: return tr("(transfer failed)");
    default: return {};
    }
}

QString frmHistory::TransferText(const HistoryEntry& entry) {
    const QString files = entry.files == 1 ? tr("1 file") : tr("%1 files").arg(entry.files);
    const QString bytes = entry.bytes == 1 ? tr("1 byte") : tr("%1 bytes").arg(entry.bytes);
    QString out = QString::fromStdString(entry.text);
    if (!out.isEmpty()) out += QStringLiteral(": ");
    return out + files + QStringLiteral(", ") + bytes;
}

void frmHistory::relabel() {
    // The rows shown, in the language now chosen.
    for (int i = 0; i < lvLines_->topLevelItemCount(); ++i) {
        auto* item = lvLines_->topLevelItem(i);
        const int index = item->data(0, Qt::UserRole).toInt();
        if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) continue;
        item->setText(1, who(rows_[static_cast<std::size_t>(index)], ownName()));
        item->setText(2, what(rows_[static_cast<std::size_t>(index)]));
        item->setToolTip(2, item->text(2));
    }
    for (int i = 0; i < lvConversations_->topLevelItemCount(); ++i) {
        auto* item = lvConversations_->topLevelItem(i);
        const int index = item->data(0, Qt::UserRole).toInt();
        if (index >= 0 && static_cast<std::size_t>(index) < convs_.size() &&
            convs_[static_cast<std::size_t>(index)].scope.type == Scope::Type::Everybody)
            item->setText(0, everybodyTitle());
    }
}

QString frmHistory::everybodyTitle() {
    return tr("%1: everybody").arg(everybody());
}

void frmHistory::waitForReads() {
    reader_->wait();
}

void frmHistory::ShowConversation(const std::string& list) {
    ShowScope(ScopeOfList(list, ownName()));
}

void frmHistory::Refresh() {
    QPointer<frmHistory> self(this);
    reader_->post(Conversations, [self](history::HistoryStore* store) {
        auto convs = store ? store->conversations() : std::vector<history::Conversation>{};
        onUi(self, [convs = std::move(convs)](frmHistory* w) mutable { w->showConversations(std::move(convs)); });
    });
}

void frmHistory::showConversations(std::vector<history::Conversation> convs) {
    convs_ = std::move(convs);
    lvConversations_->clear();
    const auto now = QDateTime::currentMSecsSinceEpoch();
    auto* all = new QTreeWidgetItem(lvConversations_, {tr("All messages"), QString()});
    all->setData(0, Qt::UserRole, -1);
    for (std::size_t i = 0; i < convs_.size(); ++i) {
        const auto& c = convs_[i];
        QString title = QString::fromStdString(c.title);
        if (c.scope.type == Scope::Type::Everybody) title = everybodyTitle();
        auto* item = new QTreeWidgetItem(lvConversations_,
                                         {title, QString::fromStdString(WhenText(c.lastTimeMs, now))});
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        item->setToolTip(0, tr("%n message(s)", nullptr, static_cast<int>(c.messages)));
    }
    selectConversationItem();
    Q_EMIT conversationsShown();
}

void frmHistory::selectConversationItem() {
    const QSignalBlocker block(lvConversations_);
    for (int i = 0; i < lvConversations_->topLevelItemCount(); ++i) {
        auto* item = lvConversations_->topLevelItem(i);
        const int index = item->data(0, Qt::UserRole).toInt();
        const bool match = index < 0 ? scope_.type == Scope::Type::All
                                     : static_cast<std::size_t>(index) < convs_.size() && convs_[index].scope == scope_;
        if (match) {
            lvConversations_->setCurrentItem(item);
            return;
        }
    }
    lvConversations_->clearSelection();
}

void frmHistory::conversationClicked() {
    auto* item = lvConversations_->currentItem();
    if (!item) return;
    const int index = item->data(0, Qt::UserRole).toInt();
    if (index < 0) ShowScope(Scope::all());
    else if (static_cast<std::size_t>(index) < convs_.size()) ShowScope(convs_[index].scope);
}

void frmHistory::ShowScope(const Scope& scope, std::int64_t selectId) {
    scope_ = scope;
    selectConversationItem();
    btnDelete_->setEnabled(scope_.type != Scope::Type::All);
    // A search goes on within the conversation chosen.
    if (selectId == 0 && !txtSearch_->text().trimmed().isEmpty()) {
        Search(txtSearch_->text());
        return;
    }
    searching_ = false;
    const auto serial = ++linesSerial_;
    QPointer<frmHistory> self(this);
    reader_->post(Lines, [self, serial, scope, selectId](history::HistoryStore* store) {
        std::vector<HistoryRow> rows;
        if (store) {
            if (selectId) {
                rows = store->around(selectId, kPage / 2);
            } else {
                history::Filter f;
                f.scope = scope;
                f.limit = kPage;
                rows = store->rows(f);
            }
        }
        rows = CollapseGroupSends(std::move(rows));
        onUi(self, [serial, selectId, rows = std::move(rows), readable = store != nullptr](frmHistory* w) mutable {
            if (serial != w->linesSerial_) return;
            const auto n = static_cast<int>(rows.size());
            w->showLines(std::move(rows), selectId,
                         readable ? tr("%n message(s)", nullptr, n) : tr("The history cannot be read."), {});
        });
    });
}

void frmHistory::Search(const QString& text) {
    typing_->stop();
    const auto query = text.toStdString();
    // The last word, while still being typed, finds what begins with it.
    const auto parsed = history::ParseSearch(query, {!text.isEmpty() && !text.back().isSpace()});
    if (parsed.empty()) {
        searching_ = false;
        const QSignalBlocker block(txtSearch_);
        if (text.trimmed().isEmpty()) ShowScope(scope_);
        else showLines({}, 0, tr("Type a word to search for."), {});
        return;
    }
    searching_ = true;
    const auto serial = ++linesSerial_;
    history::Filter f;
    f.scope = scope_;
    f.limit = kResults;
    QPointer<frmHistory> self(this);
    reader_->post(Lines, [self, serial, parsed, f](history::HistoryStore* store) {
        const auto start = std::chrono::steady_clock::now();
        auto rows = store ? store->search(parsed, f) : std::vector<HistoryRow>{};
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                            .count();
        // The newest result first.
        rows = CollapseGroupSends(std::move(rows));
        std::reverse(rows.begin(), rows.end());
        onUi(self, [serial, ms, rows = std::move(rows), highlights = parsed.highlights()](frmHistory* w) mutable {
            if (serial != w->linesSerial_) return;
            const auto n = static_cast<int>(rows.size());
            const QString status = n == 0 ? tr("Nothing found.")
                                          : tr("%n found", nullptr, n) + tr(" in %1 ms").arg(ms) +
                                                (static_cast<std::size_t>(n) >= kResults ? tr(" (the newest)")
                                                                                         : QString());
            w->showLines(std::move(rows), 0, status, highlights);
        });
    });
}

void frmHistory::showLines(std::vector<HistoryRow> rows, std::int64_t selectId, const QString& status,
                           const std::vector<std::string>& highlights) {
    rows_ = std::move(rows);
    highlights_ = highlights;
    const QSignalBlocker block(lvLines_);
    lvLines_->clear();
    txtAround_->clear();
    const auto now = QDateTime::currentMSecsSinceEpoch();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<int>(rows_.size()));
    QTreeWidgetItem* selected = nullptr;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const auto& r = rows_[i];
        auto* item = new QTreeWidgetItem(
            {QString::fromStdString(WhenText(r.entry.timeMs, now)), who(r, ownName()), what(r)});
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        item->setToolTip(2, item->text(2));
        if (r.id == selectId) selected = item;
        items.append(item);
    }
    lvLines_->addTopLevelItems(items);
    if (selected) {
        lvLines_->setCurrentItem(selected);
        lvLines_->scrollToItem(selected, QAbstractItemView::PositionAtCenter);
    } else if (!searching_) {
        lvLines_->scrollToBottom();
    }
    lblStat_->setText(status);
    btnExport_->setEnabled(!rows_.empty());
    btnJump_->setEnabled(false);
    Q_EMIT linesShown();
    if (selected) selectionChanged();
}

void frmHistory::selectionChanged() {
    auto* item = lvLines_->currentItem();
    const int index = item ? item->data(0, Qt::UserRole).toInt() : -1;
    btnJump_->setEnabled(index >= 0 && searching_);
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return;
    const auto id = rows_[static_cast<std::size_t>(index)].id;
    const auto serial = ++aroundSerial_;
    QPointer<frmHistory> self(this);
    reader_->post(Around, [self, serial, id](history::HistoryStore* store) {
        auto rows = store ? store->around(id, kAround) : std::vector<HistoryRow>{};
        onUi(self, [serial, id, rows = std::move(rows)](frmHistory* w) mutable {
            if (serial == w->aroundSerial_) w->showAround(std::move(rows), id);
        });
    });
}

QString frmHistory::rowHtml(const HistoryRow& row, bool current) const {
    const auto now = QDateTime::currentMSecsSinceEpoch();
    QString html = QStringLiteral("<span style=\"color:gray\">%1</span> <b>%2</b>: %3")
                       .arg(QString::fromStdString(WhenText(row.entry.timeMs, now)).toHtmlEscaped(),
                            QString::fromStdString(SpeakerOf(row, ownName())).toHtmlEscaped(),
                            marked(what(row), highlights_));
    return current ? QStringLiteral("<div style=\"font-weight:bold\">%1</div>").arg(html)
                   : QStringLiteral("<div>%1</div>").arg(html);
}

void frmHistory::showAround(std::vector<HistoryRow> rows, std::int64_t id) {
    QString html;
    for (const auto& r : rows) html += rowHtml(r, r.id == id);
    txtAround_->setHtml(html);
    Q_EMIT aroundShown();
}

void frmHistory::JumpToSelected() {
    auto* item = lvLines_->currentItem();
    const int index = item ? item->data(0, Qt::UserRole).toInt() : -1;
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return;
    const auto& row = rows_[static_cast<std::size_t>(index)];
    const auto scope = IsPublicKind(row.entry.kind) ? Scope::everybody() : Scope::person(row.entry.peer);
    const auto id = row.id;
    {
        const QSignalBlocker block(txtSearch_);
        txtSearch_->clear();
    }
    ShowScope(scope, id);
}

void frmHistory::ExportSelection() {
    std::vector<HistoryRow> chosen;
    for (auto* item : lvLines_->selectedItems()) {
        const int index = item->data(0, Qt::UserRole).toInt();
        if (index >= 0 && static_cast<std::size_t>(index) < rows_.size()) chosen.push_back(rows_[index]);
    }
    if (chosen.empty()) chosen = rows_;
    if (chosen.empty()) return;
    // In the order they were said, whatever the list's order.
    std::sort(chosen.begin(), chosen.end(), [](const HistoryRow& a, const HistoryRow& b) { return a.id < b.id; });
    const QString file = host_.chooseTranscriptFile();
    if (file.isEmpty()) return;
    const auto transcript = TranscriptOf(chosen, ownName(),
                                         [this](const std::string& name) { return host_.colourOf(name); });
    try {
        WriteExport(file.toStdString(), ExportKindFor(file.toStdString()), transcript.PlainText(), transcript.Rtf());
        lblStat_->setText(tr("%n message(s) exported", nullptr, static_cast<int>(chosen.size())));
    } catch (const LanyxError& e) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("%1\n\n%2").arg(file, QString::fromUtf8(e.what())));
    }
}

void frmHistory::DeleteConversation() {
    if (scope_.type == Scope::Type::All) return;
    QString title;
    for (const auto& c : convs_)
        if (c.scope == scope_) title = QString::fromStdString(c.title);
    if (title.isEmpty()) title = QString::fromStdString(scope_.key);
    if (!Confirm ||
        !Confirm(tr("Delete every message kept of the conversation \"%1\"? This cannot be undone.").arg(title)))
        return;
    QPointer<frmHistory> self(this);
    lblStat_->setText(tr("Deleting..."));
    history_.erase(scope_, [self] {
        onUi(self, [](frmHistory* w) {
            w->lblStat_->setText(tr("Deleted."));
            w->Refresh();
            w->ShowScope(Scope::all());
        });
    });
}

void frmHistory::DeleteAll() {
    if (!Confirm ||
        !Confirm(tr("Delete the whole history, every message of every conversation? This cannot be undone.")))
        return;
    QPointer<frmHistory> self(this);
    lblStat_->setText(tr("Deleting..."));
    history_.eraseAll([self] {
        onUi(self, [](frmHistory* w) {
            w->Refresh();
            w->ShowScope(Scope::all());
        });
    });
}

}  // namespace lanyx::ui

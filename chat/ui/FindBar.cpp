#include "FindBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace lanyx::ui {

namespace {

// What a conversation holds at most: past this many matches the rest are
// not marked (a long day's chat with a one-letter search).
constexpr int kMaxMarked = 2000;

}  // namespace

FindBar::FindBar(QTextEdit* text, QWidget* parent) : QWidget(parent), text_(text) {
    setObjectName("barFind");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    field_ = new QLineEdit(this);
    field_->setObjectName("txtFind");
    field_->setClearButtonEnabled(true);
    field_->installEventFilter(this);
    up_ = new QToolButton(this);
    up_->setObjectName("tbFindOlder");
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(this);
    down_->setObjectName("tbFindNewer");
    down_->setArrowType(Qt::DownArrow);
    count_ = new QLabel(this);
    count_->setObjectName("lblFindCount");
    close_ = new QToolButton(this);
    close_->setObjectName("tbFindClose");
    close_->setText(QStringLiteral("\u2715"));
    close_->setAutoRaise(true);
    row->addWidget(field_, 1);
    row->addWidget(up_);
    row->addWidget(down_);
    row->addWidget(count_);
    row->addWidget(close_);
    connect(field_, &QLineEdit::textChanged, this, &FindBar::search);
    connect(up_, &QToolButton::clicked, this, &FindBar::older);
    connect(down_, &QToolButton::clicked, this, &FindBar::newer);
    connect(close_, &QToolButton::clicked, this, &FindBar::close);
    // New lines may hold what is looked for.
    connect(text_->document(), &QTextDocument::contentsChanged, this, [this] {
        if (isVisible() && !field_->text().isEmpty()) search();
    });
    SetLan();
    setVisible(false);
}

void FindBar::SetLan() {
    field_->setPlaceholderText(tr("Find in this chat"));
    field_->setAccessibleName(tr("Find in this chat"));
    up_->setToolTip(tr("The match before (Enter)"));
    up_->setAccessibleName(tr("Earlier match"));
    down_->setToolTip(tr("The match after (Shift+Enter)"));
    down_->setAccessibleName(tr("Later match"));
    close_->setToolTip(tr("Close (Esc)"));
    close_->setAccessibleName(tr("Close the search"));
    tell();
}

void FindBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) SetLan();
    QWidget::changeEvent(event);
}

void FindBar::open() {
    setVisible(true);
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
    search();
}

void FindBar::close() {
    setVisible(false);
    found_.clear();
    current_ = -1;
    text_->setExtraSelections({});
    Q_EMIT closed();
}

void FindBar::search() {
    found_.clear();
    const QString what = field_->text();
    if (!what.isEmpty()) {
        QTextCursor c(text_->document());
        while (found_.size() < kMaxMarked) {
            c = text_->document()->find(what, c);
            if (c.isNull()) break;
            found_.append(c);
        }
    }
    current_ = -1;
    // The newest first: a chat is read from its end.
    show(static_cast<int>(found_.size()) - 1);
}

void FindBar::older() {
    if (found_.isEmpty()) return;
    show(current_ <= 0 ? static_cast<int>(found_.size()) - 1 : current_ - 1);
}

void FindBar::newer() {
    if (found_.isEmpty()) return;
    show(current_ + 1 >= found_.size() ? 0 : current_ + 1);
}

void FindBar::show(int index) {
    current_ = index;
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat all;
    all.setBackground(palette().color(QPalette::Highlight).lighter(170));
    all.setForeground(palette().color(QPalette::Text));
    for (const auto& c : found_) marks.append({c, all});
    text_->setExtraSelections(marks);
    if (current_ >= 0 && current_ < found_.size()) {
        text_->setTextCursor(found_[current_]);
        text_->ensureCursorVisible();
    }
    tell();
}

void FindBar::tell() {
    const bool none = !field_->text().isEmpty() && found_.isEmpty();
    count_->setText(field_->text().isEmpty() ? QString()
                    : none                   ? tr("No match")
                                             : tr("%1 of %2").arg(current()).arg(found_.size()));
    // Red where nothing matches, as browsers do, and said for a reader.
    QPalette p = field_->palette();
    p.setColor(QPalette::Base, none ? QColor(0xff, 0xdd, 0xdd) : palette().color(QPalette::Base));
    p.setColor(QPalette::Text, none ? QColor(0x20, 0x20, 0x20) : palette().color(QPalette::Text));
    field_->setPalette(p);
    field_->setAccessibleDescription(count_->text());
    up_->setEnabled(found_.size() > 1);
    down_->setEnabled(found_.size() > 1);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier) newer();
            else older();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lanyx::ui

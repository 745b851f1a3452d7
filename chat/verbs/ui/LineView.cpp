#include "LineView.h"

#include "LineHeader.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace lanyx::verbs::ui {

namespace {

enum class Role { Line, Quote, Reactions };

// Which line a block belongs to, and what it shows of it.
class LineData : public QTextBlockUserData {
public:
    LineData(std::uint64_t line, Role shows) : id(line), role(shows) {}
    std::uint64_t id;
    Role role;
};

const LineData* dataOf(const QTextBlock& b) {
    return b.isValid() ? dynamic_cast<const LineData*>(b.userData()) : nullptr;
}

// "(edited)" after new words: view state, not the line's words.
constexpr int kEditedMark = QTextFormat::UserProperty + 31;
// On the words in place of a line taken back.
constexpr int kDeletedMark = QTextFormat::UserProperty + 32;
constexpr char kLinkScheme[] = "lanyx-line:";

QColor quiet(const QTextEdit* view) {
    return view->palette().color(QPalette::PlaceholderText);
}

}  // namespace

const std::vector<std::string>& OfferedReactions() {
    static const std::vector<std::string> offered{"\xF0\x9F\x91\x8D", "\xE2\x9D\xA4\xEF\xB8\x8F", "\xF0\x9F\x98\x82",
                                                  "\xF0\x9F\x98\xAE", "\xF0\x9F\x98\xA2",         "\xF0\x9F\x8E\x89"};
    return offered;
}

LineView::LineView(QTextEdit* view, LineVerbs* verbs) : QObject(view), view_(view), verbs_(verbs) {
    view_->viewport()->installEventFilter(this);
    view_->viewport()->setMouseTracking(true);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // From the keyboard (the Menu key) the point is where the cursor is.
        QMenu* menu = view_->createStandardContextMenu(at);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        if (const auto id = lineAt(at)) addActions(menu, id);
        menu->popup(view_->viewport()->mapToGlobal(at));
    });
}

QTextBlock LineView::firstBlockOf(std::uint64_t id) const {
    for (QTextBlock b = view_->document()->lastBlock(); b.isValid(); b = b.previous())
        if (const auto* d = dataOf(b); d && d->id == id && d->role == Role::Line) {
            QTextBlock first = b;
            for (QTextBlock p = b.previous(); p.isValid(); p = p.previous()) {
                const auto* pd = dataOf(p);
                if (!pd || pd->id != id || pd->role != Role::Line) break;
                first = p;
            }
            return first;
        }
    return {};
}

bool LineView::holds(std::uint64_t id) const {
    return id != 0 && lines_.count(id) > 0;
}

void LineView::insertQuote(std::uint64_t replyTo, const QString& author, const QString& quoted) {
    QTextCursor cursor(view_->document());
    cursor.movePosition(QTextCursor::End);
    QTextBlockFormat block;
    const QTextBlock answered = firstBlockOf(replyTo);
    if (answered.isValid()) block.setLeftMargin(answered.blockFormat().leftMargin());
    QTextCharFormat chars;
    chars.setForeground(quiet(view_));
    chars.setFontItalic(true);
    // A click goes to the line answered, when it is shown here.
    chars.setAnchor(true);
    chars.setAnchorHref(QString::fromLatin1(kLinkScheme) + QString::fromStdString(lineheader::IdText(replyTo)));
    if (view_->document()->isEmpty()) cursor.setBlockFormat(block);
    else cursor.insertBlock(block, chars);
    cursor.block().setUserData(new LineData(replyTo, Role::Quote));
    const QString who = author.isEmpty() ? QString() : author + QStringLiteral(": ");
    cursor.insertText(QStringLiteral("\u21B3 ") + who + QStringLiteral("\u00AB") + quoted + QStringLiteral("\u00BB"),
                      chars);
}

void LineView::shown(std::uint64_t id, const std::string& author, bool own, int firstBlock, int lastBlock) {
    if (id == 0) return;
    for (int n = firstBlock; n <= lastBlock; ++n) {
        QTextBlock b = view_->document()->findBlockByNumber(n);
        if (b.isValid()) b.setUserData(new LineData(id, Role::Line));
    }
    lines_[id] = {author, own};
    // Already taken back where the verbs know it (an earlier view). Every
    // line shown passes here: no look into the history for it.
    if (!verbs_) return;
    if (const auto* l = verbs_->known(id); l && l->deleted) deleted(id);
    if (!verbs_->reactions(id).empty()) reactionsChanged(id);
}

QString LineView::textOf(std::uint64_t id) const {
    QString text;
    for (QTextBlock b = firstBlockOf(id); b.isValid(); b = b.next()) {
        const auto* d = dataOf(b);
        if (!d || d->id != id || d->role != Role::Line) break;
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().isValid() && it.fragment().charFormat().boolProperty(kLineText))
                text += it.fragment().text();
    }
    return text;
}

void LineView::replaceText(std::uint64_t id, const QString& text, bool gone) {
    QTextBlock first = firstBlockOf(id);
    if (!first.isValid()) return;
    // The line's words and any mark of an edit before, last first.
    std::vector<std::pair<int, int>> ranges;
    QTextCharFormat format;
    bool formatFound = false;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        const auto* d = dataOf(b);
        if (!d || d->id != id || d->role != Role::Line) break;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid()) continue;
            const bool words = f.charFormat().boolProperty(kLineText);
            if (!words && !f.charFormat().boolProperty(kEditedMark)) continue;
            if (words && !formatFound) {
                format = f.charFormat();
                formatFound = true;
            }
            ranges.emplace_back(f.position(), f.position() + f.length());
        }
    }
    if (ranges.empty()) return;
    QTextCursor cursor(view_->document());
    cursor.beginEditBlock();
    const int at = ranges.front().first;
    for (auto r = ranges.rbegin(); r != ranges.rend(); ++r) {
        cursor.setPosition(r->first);
        cursor.setPosition(r->second, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.setPosition(at);
    QTextCharFormat mark = format;
    mark.setProperty(kLineText, false);
    mark.setProperty(kEditedMark, true);
    mark.setForeground(quiet(view_));
    if (gone) {
        format.setFontItalic(true);
        format.setForeground(quiet(view_));
        format.setProperty(kDeletedMark, true);
        cursor.insertText(tr("message deleted"), format);
    } else {
        cursor.insertText(text, format);
        cursor.insertText(QStringLiteral(" ") + tr("(edited)"), mark);
    }
    cursor.endEditBlock();
}

bool LineView::showsDeleted(std::uint64_t id) const {
    const QTextBlock first = firstBlockOf(id);
    for (auto it = first.begin(); first.isValid() && !it.atEnd(); ++it)
        if (it.fragment().isValid() && it.fragment().charFormat().boolProperty(kDeletedMark)) return true;
    return false;
}

QString LineView::reactionsShown(std::uint64_t id) const {
    for (QTextBlock b = firstBlockOf(id); b.isValid(); b = b.next()) {
        const auto* d = dataOf(b);
        if (!d || d->id != id) break;
        if (d->role == Role::Reactions) return b.text();
    }
    return {};
}

void LineView::edited(std::uint64_t id, const QString& text) {
    replaceText(id, text, false);
}

void LineView::deleted(std::uint64_t id) {
    replaceText(id, {}, true);
    reactionsChanged(id);  // gone with it
}

void LineView::reactionsChanged(std::uint64_t id) {
    QTextBlock first = firstBlockOf(id);
    if (!first.isValid()) return;
    QTextBlock last = first;
    while (last.next().isValid() && dataOf(last.next()) && dataOf(last.next())->id == id &&
           dataOf(last.next())->role == Role::Line)
        last = last.next();
    QTextCursor cursor(view_->document());
    cursor.beginEditBlock();
    // The block under the line, made anew.
    if (const QTextBlock under = last.next();
        dataOf(under) && dataOf(under)->id == id && dataOf(under)->role == Role::Reactions) {
        cursor.setPosition(last.position() + last.length() - 1);
        cursor.setPosition(under.position() + under.length() - 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    const auto reactions = verbs_ ? verbs_->reactions(id) : std::map<std::string, std::vector<std::string>>{};
    const auto* line = verbs_ ? verbs_->line(id) : nullptr;
    if (!reactions.empty() && !(line && line->deleted)) {
        QStringList parts;
        for (const auto& [emoji, who] : reactions) {
            QStringList names;
            for (const auto& n : who) names << QString::fromStdString(n);
            parts << QString::fromStdString(emoji) + QLatin1Char(' ') + names.join(QStringLiteral(", "));
        }
        cursor.setPosition(last.position() + last.length() - 1);
        QTextBlockFormat block;
        block.setLeftMargin(first.blockFormat().leftMargin());
        QTextCharFormat chars;
        chars.setForeground(quiet(view_));
        cursor.insertBlock(block, chars);
        cursor.block().setUserData(new LineData(id, Role::Reactions));
        cursor.insertText(parts.join(QStringLiteral("   ")), chars);
    }
    cursor.endEditBlock();
}

std::uint64_t LineView::lineAt(const QPoint& viewportPos) const {
    const QTextCursor c = view_->cursorForPosition(viewportPos);
    const auto* d = dataOf(c.block());
    return d && d->role != Role::Quote ? d->id : 0;
}

bool LineView::jumpTo(std::uint64_t id) {
    const QTextBlock first = firstBlockOf(id);
    if (!first.isValid()) return false;
    QTextCursor c(first);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    view_->setTextCursor(c);
    view_->ensureCursorVisible();
    return true;
}

void LineView::addActions(QMenu* menu, std::uint64_t id) {
    if (!verbs_ || !holds(id)) return;
    const auto* line = verbs_->line(id);
    if (!line || line->deleted) return;
    menu->insertSeparator(menu->actions().value(0));
    QAction* first = menu->actions().value(0);
    auto* reply = new QAction(tr("&Reply"), menu);
    reply->setObjectName("actReply");
    connect(reply, &QAction::triggered, this, [this, id] {
        const auto* l = verbs_->line(id);
        if (l) Q_EMIT replyRequested(id, QString::fromStdString(l->author), textOf(id));
    });
    menu->insertAction(first, reply);
    auto* react = new QMenu(tr("Re&act"), menu);
    react->setObjectName("mnuReact");
    for (const auto& emoji : OfferedReactions()) {
        auto* a = react->addAction(QString::fromStdString(emoji));
        a->setCheckable(true);
        a->setChecked(verbs_->reactedWith(id, emoji));
        connect(a, &QAction::triggered, this, [this, id, emoji] {
            // The same again takes it back.
            if (auto r = verbs_->react(id, emoji, !verbs_->reactedWith(id, emoji)); !r) Q_EMIT refused(r.error());
        });
    }
    menu->insertMenu(first, react);
    if (line->own) {
        const bool changeable = verbs_->changeable(id).ok();
        auto* edit = new QAction(tr("&Edit..."), menu);
        edit->setObjectName("actEdit");
        edit->setEnabled(changeable);
        connect(edit, &QAction::triggered, this, [this, id] { Q_EMIT editRequested(id, textOf(id)); });
        menu->insertAction(first, edit);
        auto* remove = new QAction(tr("&Delete"), menu);
        remove->setObjectName("actDelete");
        remove->setEnabled(changeable);
        connect(remove, &QAction::triggered, this, [this, id] { askToDelete(id); });
        menu->insertAction(first, remove);
    }
}

void LineView::askToDelete(std::uint64_t id) {
    auto* box = new QMessageBox(QMessageBox::Question, tr("Delete message"),
                                tr("Delete this message for everybody in the conversation?"),
                                QMessageBox::Yes | QMessageBox::No, view_->window());
    box->setObjectName("boxDeleteLine");
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    question_ = box;
    connect(box, &QObject::destroyed, this, [this] { question_ = nullptr; });
    connect(box, &QMessageBox::finished, this, [this, id](int answer) {
        if (answer != QMessageBox::Yes || !verbs_) return;
        if (auto r = verbs_->remove(id); !r) Q_EMIT refused(r.error());
    });
    box->open();
}

bool LineView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* m = static_cast<QMouseEvent*>(event);
        const QString href = view_->anchorAt(m->position().toPoint());
        if (m->button() == Qt::LeftButton && href.startsWith(QLatin1String(kLinkScheme))) {
            if (const auto id = lineheader::ParseId(href.mid(int(sizeof kLinkScheme) - 1).toStdString())) jumpTo(*id);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

ComposeBar::ComposeBar(QWidget* parent) : QWidget(parent), label_(new QLabel(this)) {
    setObjectName("barCompose");
    label_->setObjectName("lblCompose");
    label_->setTextFormat(Qt::PlainText);
    label_->setWordWrap(true);
    auto* close = new QToolButton(this);
    close->setObjectName("tbStopCompose");
    close->setText(QStringLiteral("\u2715"));
    close->setAutoRaise(true);
    close->setAccessibleName(tr("Stop answering or editing"));
    close->setToolTip(close->accessibleName());
    connect(close, &QToolButton::clicked, this, &ComposeBar::stop);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 2, 2);
    layout->addWidget(label_, 1);
    layout->addWidget(close);
    setVisible(false);
}

void ComposeBar::replyTo(std::uint64_t id, const QString& author, const QString& text) {
    reply_ = id;
    edit_ = 0;
    quoted_ = text;
    label_->setText(tr("Answering %1: %2").arg(author, text.left(80)));
    setVisible(true);
}

void ComposeBar::edit(std::uint64_t id) {
    edit_ = id;
    reply_ = 0;
    quoted_.clear();
    label_->setText(tr("Editing your line: Enter puts the new words in its place"));
    setVisible(true);
}

void ComposeBar::stop() {
    const bool was = reply_ || edit_;
    reply_ = edit_ = 0;
    quoted_.clear();
    setVisible(false);
    if (was) Q_EMIT stopped();
}

}  // namespace lanyx::verbs::ui

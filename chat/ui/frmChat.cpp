#include "frmChat.h"
#include "ChatPictures.h"

#include "FindBar.h"
#include "LineView.h"
#include "ReasonWords.h"
#include "logic/Mentions.h"

#include "WaitingService.h"

#include "CoolMenu.h"
#include "EmojiPicker.h"
#include "FileSending.h"
#include "logic/Contrast.h"
#include "LangText.h"
#include "StateIcons.h"
#include "Error.h"
#include "Resources.h"
#include "Twips.h"
#include "UserListModel.h"
#include "WindowHub.h"
#include "RunState.h"
#include "HistoryView.h"
#include "RoomMessage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QListWidget>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QTextEdit>
#include <QTime>
#include <QToolButton>
#include <QTextImageFormat>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace lanyx::ui {

namespace {
struct ChatItem {
    const char* name;
    const char* caption;
    int code;
    const char* icon;
};
// In menu order; 3101 to 3116.
constexpr ChatItem kChatItems[] = {
    {"mnuView", "&View", 3101, nullptr},
    {"mnuViewSep0", "-Export", 3102, nullptr},
    {"mnuExportT", "|Save chat dialog to text file|Export to Text File", 3103, ":/lanyx/save.svg"},
    {"mnuExportC", "|Copy chat dialog to clipboard|Export To Clipboard", 3104, ":/lanyx/copy.svg"},
    {"mnuViewSep1", "-View Options", 3105, nullptr},
    {"mnuOnTop", "#|Make this window stay visible|Keep On Top", 3106, nullptr},
    {"mnuCLS", "|Clear the chat dialog|&Clear", 3107, ":/lanyx/hide.svg"},
    {"mnuViewStat", "#|Show/hide this bar|&Status Bar", 3108, nullptr},
    {"mnuTime", "#|Add the time to each msg|&Add Time", 3109, nullptr},
    {"mnuViewSep2", "-Exit", 3110, nullptr},
    {"mnuClose", "|Close this window|&Close", 3111, ":/lanyx/close.svg"},
    {"mnuUsers", "&Users", 3112, nullptr},
    {"mnuUsersSep1", "-User List Options", 3113, nullptr},
    {"mnuAdd", "|Add user to 'recieve' list|&Add User", 3114, ":/lanyx/user.svg"},
    {"mnuUserSep1", "-Users Online", 3115, nullptr},
    {"mnuRemove", "|Remove selected user from list|&Remove User", 3116, ":/lanyx/block.svg"},
};

// Set on the delivery mark at the end of an own line: view state, which
// copies and drags of the conversation leave out.
constexpr int kDeliveryMark = QTextFormat::UserProperty + 14;
// A note's block carries the note's number, so that a language switch can
// word it again.
constexpr int kNoteId = QTextFormat::UserProperty + 15;

// The mark's characters in a block, as [first, last); {-1, -1} without one.
std::pair<int, int> markRange(const QTextBlock& block) {
    std::pair<int, int> range{-1, -1};
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (!f.isValid() || !f.charFormat().boolProperty(kDeliveryMark)) continue;
        if (range.first < 0) range.first = f.position();
        range.second = f.position() + f.length();
    }
    return range;
}

// The conversation view: what is copied or dragged out of it is the text
// the senders wrote, without the delivery marks.
class TranscriptEdit : public QTextEdit {
public:
    using QTextEdit::QTextEdit;

protected:
    QMimeData* createMimeDataFromSelection() const override {
        QTextDocument copy;
        QTextCursor(&copy).insertFragment(textCursor().selection());
        QTextCursor cut(&copy);
        for (QTextBlock b = copy.lastBlock(); b.isValid(); b = b.previous()) {
            std::vector<std::pair<int, int>> marks;
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().isValid() && it.fragment().charFormat().boolProperty(kDeliveryMark))
                    marks.emplace_back(it.fragment().position(), it.fragment().position() + it.fragment().length());
            for (auto m = marks.rbegin(); m != marks.rend(); ++m) {
                cut.setPosition(m->first);
                cut.setPosition(m->second, QTextCursor::KeepAnchor);
                cut.removeSelectedText();
            }
        }
        auto* mime = new QMimeData;
        mime->setText(copy.toPlainText());
        mime->setHtml(copy.toHtml());
        return mime;
    }
};
}  // namespace

frmChat::frmChat(ChatNode& node, WindowHub& hub) : QWidget(nullptr, Qt::Window), node_(node), hub_(hub) {
    EnsureResources();
    setObjectName("frmChat");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/chat.svg")));
    setWindowTitle(QStringLiteral("Chating - Lanyx"));

    menuBar_ = new QMenuBar(this);
    mnuView_ = menuBar_->addMenu(QString());
    mnuView_->menuAction()->setObjectName("mnuView");
    for (const char* n : {"mnuViewSep0", "mnuExportT", "mnuExportC", "mnuViewSep1", "mnuOnTop", "mnuCLS", "mnuViewStat",
                          "mnuTime", "mnuViewSep2", "mnuClose"})
        mnuView_->addAction(QString())->setObjectName(n);
    mnuUsers_ = menuBar_->addMenu(QString());
    mnuUsers_->menuAction()->setObjectName("mnuUsers");
    mnuUsers_->addAction(QString())->setObjectName("mnuUsersSep1");
    mnuAdd_ = mnuUsers_->addMenu(QString());
    mnuAdd_->menuAction()->setObjectName("mnuAdd");
    // Built when it opens: a copy of the roster per window would cost memory
    // and a rebuild of every window for each newcomer.
    connect(mnuAdd_, &QMenu::aboutToShow, this, &frmChat::RefListOfUsers);
    mnuAdd_->addAction(QString())->setObjectName("mnuUserSep1");
    mnuAdd_->addAction(QStringLiteral("<User>"))->setObjectName("mnuUser0");
    mnuUsers_->addAction(QString())->setObjectName("mnuRemove");

    lvUsers_ = new QTreeWidget(this);
    lvUsers_->setObjectName("lvUsers");
    lvUsers_->setHeaderHidden(true);
    lvUsers_->setRootIsDecorated(false);
    KeyColumn(lvUsers_);
    lvUsers_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvUsers_, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { mnuUsers_->popup(lvUsers_->viewport()->mapToGlobal(p)); });
    lvUsers_->installEventFilter(this);
    txtMsg_ = new TranscriptEdit(this);
    txtMsg_->setObjectName("txtMsg");
    txtMsg_->setReadOnly(true);
    // Only ever appended to (and marks updated): an undo history would
    // hold a second copy of the whole conversation.
    txtMsg_->setUndoRedoEnabled(false);
    txtSnd_ = new QLineEdit(this);
    txtSnd_->setObjectName("txtSnd");
    tbSnd_ = new QToolButton(this);
    tbSnd_->setText(QStringLiteral("&Send"));
    tbSnd_->setIcon(QIcon(QStringLiteral(":/lanyx/chat.svg")));
    tbSnd_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(tbSnd_, &QToolButton::clicked, this, &frmChat::Send);
    connect(txtSnd_, &QLineEdit::returnPressed, this, &frmChat::Send);  // Enter sends
    connect(txtSnd_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!text.trimmed().isEmpty()) hub_.UserTyping(this);
        offerMentions();
    });
    // "@" and the start of a member's name offers the members it may be.
    // In the window under the input line, not a window of its own: Up and
    // Down choose, Enter or Tab takes the name, Escape closes it.
    mentions_ = new QListWidget(this);
    mentions_->setObjectName("lstMentions");
    mentions_->setAccessibleName(tr("Members to mention"));
    mentions_->setFocusPolicy(Qt::NoFocus);
    mentions_->setVisible(false);
    txtSnd_->installEventFilter(this);
    connect(mentions_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        completeMention(item->text());
        txtSnd_->setFocus();
    });
    lblDelivery_ = new QLabel(this);
    lblDelivery_->setWordWrap(true);
    lblDelivery_->setObjectName("lblDelivery");
    lblDelivery_->setWordWrap(true);
    lblDelivery_->setTextFormat(Qt::PlainText);
    lblDelivery_->setVisible(false);
    // The last line, while it waits for members not on the network, can be
    // taken back from here.
    lblDelivery_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lblDelivery_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        std::vector<std::uint64_t> ids;
        for (const auto& r : delivery_.rows())
            if (r.state == Delivery::Queued) ids.push_back(r.id);
        if (ids.empty()) return;
        QMenu menu(this);
        QAction* takeBack = menu.addAction(tr("&Take back the waiting line"));
        takeBack->setObjectName("actTakeBack");
        connect(takeBack, &QAction::triggered, this, [this, ids] {
            if (auto* waiting = hub_.waiting())
                for (const auto id : ids) waiting->cancel(id);
        });
        menu.exec(lblDelivery_->mapToGlobal(pos));
    });
    lblSeen_ = new QLabel(this);
    lblSeen_->setObjectName("lblSeen");
    lblSeen_->setTextFormat(Qt::PlainText);
    lblSeen_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblSeen_->setVisible(false);
    lblTyping_ = new QLabel(this);
    lblTyping_->setObjectName("lblTyping");
    lblTyping_->setTextFormat(Qt::PlainText);
    lblTyping_->setVisible(false);
    {
        QFont f = lblTyping_->font();
        f.setItalic(true);
        lblTyping_->setFont(f);
    }
    lblNote_ = new QLabel(this);
    lblNote_->setObjectName("lblRecipientNote");
    lblNote_->setWordWrap(true);
    lblNote_->setTextFormat(Qt::PlainText);
    lblNote_->setVisible(false);
    lblStat_ = new QLabel(QStringLiteral("<STAT>"), this);
    lblStat_->setObjectName("lblStat");
    lblStat_->setFrameShape(QFrame::StyledPanel);
    lblStat_->setFrameShadow(QFrame::Sunken);

    // The splitter: the member list keeps at least 400 twips, everything
    // under it at least 1700.
    auto* lower = new QWidget(this);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    lowerLayout->addWidget(txtMsg_, 1);
    // Replies, reactions, edits and deletions of the lines shown.
    lineView_ = new verbs::ui::LineView(txtMsg_, hub_.verbs());
    composeBar_ = new verbs::ui::ComposeBar(lower);
    connect(lineView_, &verbs::ui::LineView::replyRequested, this,
            [this](std::uint64_t id, const QString& author, const QString& text) {
                composeBar_->replyTo(id, author, text);
                txtSnd_->setFocus();
            });
    connect(lineView_, &verbs::ui::LineView::editRequested, this, [this](std::uint64_t id, const QString& text) {
        composeBar_->edit(id);
        txtSnd_->setText(text);
        txtSnd_->setFocus();
    });
    connect(lineView_, &verbs::ui::LineView::refused, this,
            [this](const Error& e) { QMessageBox::information(this, windowTitle(), reasonWords(e)); });
    // Ctrl+F finds in what the window holds, its earlier lines too.
    findBar_ = new FindBar(txtMsg_, lower);
    lowerLayout->addWidget(findBar_);
    lowerLayout->addWidget(lblSeen_);
    lowerLayout->addWidget(lblTyping_);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, findBar_, &FindBar::open);
    connect(findBar_, &FindBar::closed, txtSnd_, [this] { txtSnd_->setFocus(); });
    lowerLayout->addWidget(composeBar_);
    auto* input = new QHBoxLayout;
    input->addWidget(txtSnd_, 1);
    auto* emoji = new EmojiButton(this);
    connect(emoji, &EmojiButton::picked, txtSnd_, [this](const QString& picked) {
        txtSnd_->insert(picked);
        txtSnd_->setFocus();
    });
    input->addWidget(emoji);
    input->addWidget(tbSnd_);
    lowerLayout->addLayout(input);
    lowerLayout->addWidget(mentions_);
    lowerLayout->addWidget(lblNote_);
    lowerLayout->addWidget(lblDelivery_);
    lowerLayout->addWidget(lblStat_);
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->addWidget(lvUsers_);
    splitter_->addWidget(lower);
    splitter_->setChildrenCollapsible(false);
    splitter_->setHandleWidth(ToPixels(40, screen()) + 2);
    lvUsers_->setMinimumHeight(ToPixels(400, screen()));
    lower->setMinimumHeight(ToPixels(1700, screen()));
    splitter_->setStretchFactor(1, 1);
    // The height the user gives the member list stays.
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { memberListSized_ = true; });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(splitter_);
    setMinimumSize(ToPixels(2000, screen()), ToPixels(3000, screen()));

    connect(action("mnuExportT"), &QAction::triggered, this, &frmChat::ExportToTextFile);
    connect(action("mnuExportC"), &QAction::triggered, this, &frmChat::ExportToClipboard);
    connect(action("mnuOnTop"), &QAction::toggled, this, [this](bool on) { SetTopMost(this, on ? -1 : 0); });
    connect(action("mnuCLS"), &QAction::triggered, this, [this] {
        txtMsg_->clear();
        transcript_.clear();
        marks_.clear();
        notes_.clear();
        everMembers_ = members_.names();
    });
    connect(action("mnuViewStat"), &QAction::toggled, lblStat_, &QWidget::setVisible);
    connect(action("mnuClose"), &QAction::triggered, this, &QWidget::close);
    connect(action("mnuRemove"), &QAction::triggered, this, &frmChat::RemoveSelectedUser);

    SetLan();
    action("mnuOnTop")->setChecked(false);
    action("mnuViewStat")->setChecked(true);
    action("mnuTime")->setChecked(false);

    // The shared rectangle of chat windows, once a window was moved or
    // sized; until then (nothing, or the small centred place start-up sets)
    // a size that fits a conversation on this screen.
    const auto& g = node_.settings().Chat;
    const QScreen* primary = QGuiApplication::primaryScreen();
    const bool fresh = g.width <= 0 || g.height <= 0 ||
                       (primary && g == CenteredChatGeometry(ToTwips(primary->geometry().width(), primary),
                                                             ToTwips(primary->geometry().height(), primary)));
    if (!fresh) {
        const QRect r = ToPixels(g, screen());
        resize(r.size());
        move(r.topLeft());
    } else {
        const QSize size = FittingSize();
        const QRect area = screen() ? screen()->availableGeometry() : QRect(QPoint(0, 0), size);
        resize(size);
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    placed_ = true;
    fittedRows_ = -1;
    fitMemberList();

    if (!node_.state().SafeMode) {
        cool_ = new CoolMenu(this, {mnuView_, mnuUsers_}, {},
                             [this](const QString& t, const QString& h) { HelpObj_MenuHelp(t, h); });
        applyMenuImages();
    }
    setUpFiles();
    // The history of this chat, or of the member selected.
    auto* history = new QAction(this);
    history->setObjectName("mnuHistory");
    connect(mnuUsers_, &QMenu::aboutToShow, this, [this, history] {
        const auto list = HistoryList();
        history->setText(CountItems(list) == 1 && list != std::string(UserList::kAllRow) + "|"
                             ? tr("History with %1").arg(QString::fromStdString(GetItem(list, 1)))
                             : tr("History of this chat"));
    });
    history->setText(tr("History of this chat"));
    connect(history, &QAction::triggered, this, [this] { hub_.OpenHistory(HistoryList()); });
    mnuUsers_->addSeparator();
    mnuUsers_->addAction(history);
    UpdateStat();
    txtSnd_->setFocus();
}

std::string frmChat::HistoryList() const {
    auto* current = lvUsers_->currentItem();
    if (current && current->isSelected() && !equalsNoCase(NameOfRow(current).toStdString(), node_.state().MyName))
        return NameOfRow(current).toStdString() + "|";
    std::string list;
    for (const auto& name : members_.names()) list += name + "|";
    return list;
}

void frmChat::offerMentions() {
    const QString text = txtSnd_->text();
    const int cursor = txtSnd_->cursorPosition();
    const int start = MentionStart(text, cursor);
    if (start < 0) {
        mentions_->hide();
        return;
    }
    QStringList names;
    for (const auto& n : members_.names())
        if (!equalsNoCase(n, node_.state().MyName) && !equalsNoCase(n, UserList::kAllRow))
            names << QString::fromStdString(n);
    const QStringList choices = MentionChoices(names, text.mid(start + 1, cursor - start - 1));
    if (choices.isEmpty()) {
        mentions_->hide();
        return;
    }
    mentions_->clear();
    mentions_->addItems(choices);
    mentions_->setCurrentRow(0);
    const int rows = static_cast<int>(std::min<qsizetype>(choices.size(), 4));
    mentions_->setFixedHeight(rows * mentions_->sizeHintForRow(0) + 2 * mentions_->frameWidth());
    mentions_->show();
}

void frmChat::completeMention(const QString& name) {
    const QString text = txtSnd_->text();
    const int cursor = txtSnd_->cursorPosition();
    const int start = MentionStart(text, cursor);
    if (start < 0) return;
    const QString with = QLatin1Char('@') + name + QLatin1Char(' ');
    txtSnd_->setText(text.left(start) + with + text.mid(cursor));
    txtSnd_->setCursorPosition(start + static_cast<int>(with.size()));
    mentions_->hide();
}

void frmChat::ShowSeen(const std::string& who) {
    const QString name = QString::fromStdString(who);
    if (!seen_.contains(name, Qt::CaseInsensitive)) seen_ << name;
    updateSeen();
}

void frmChat::updateSeen() {
    const QString text = seen_.isEmpty() ? QString() : tr("Seen by %1").arg(seen_.join(QStringLiteral(", ")));
    lblSeen_->setText(text);
    lblSeen_->setAccessibleName(text);
    lblSeen_->setVisible(!text.isEmpty());
}

void frmChat::ShowTyping(const std::vector<std::string>& who) {
    typing_.clear();
    for (const auto& w : who) typing_ << QString::fromStdString(w);
    updateTyping();
}

void frmChat::updateTyping() {
    QString text;
    if (typing_.size() == 1) text = tr("%1 is typing\u2026").arg(typing_.front());
    else if (typing_.size() > 1) text = tr("%1 are typing\u2026").arg(typing_.join(QStringLiteral(", ")));
    lblTyping_->setText(text);
    lblTyping_->setAccessibleName(text);
    lblTyping_->setVisible(!text.isEmpty());
}

void frmChat::ShowEarlier(const std::vector<history::HistoryRow>& rows) {
    if (rows.empty()) return;
    const QColor grey = txtMsg_->palette().color(QPalette::PlaceholderText);
    const auto now = QDateTime::currentMSecsSinceEpoch();
    QTextCursor cursor(txtMsg_->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat chars;
    chars.setForeground(grey);
    const std::string mark = QCoreApplication::translate("lanyx::ui::LanyxApp", "(not verified) ").toStdString();
    for (const auto& row : rows) {
        if (txtMsg_->document()->isEmpty()) cursor.setBlockFormat(QTextBlockFormat());
        else cursor.insertBlock(QTextBlockFormat());
        const auto line = WhenText(row.entry.timeMs, now) + " " + SpeakerOf(row, node_.state().MyName) + ": " +
                          MarkedText(row.entry, mark);
        cursor.insertText(QString::fromStdString(line), chars);
    }
    txtMsg_->verticalScrollBar()->setValue(txtMsg_->verticalScrollBar()->maximum());
}

frmChat::~frmChat() {
    if (cool_) cool_->uninstall();
}

QAction* frmChat::action(const char* name) const {
    for (auto* a : findChildren<QAction*>())
        if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
}

void frmChat::SetLan() {
    updateTyping();
    updateSeen();
    const bool safe = node_.state().SafeMode;
    auto text = [&](int code, const char* builtIn) { return LangTextOr(node_, code, QString::fromUtf8(builtIn)); };
    caption_ = text(3001, "Chating - Lanyx");
    updateTitle();
    tbSnd_->setText(text(3002, "&Send"));
    for (const auto& it : kChatItems) {
        QAction* a = action(it.name);
        if (!a) continue;
        const QString name = QString::fromLatin1(it.name);
        ApplyMenuCaption(a, text(it.code, it.caption), safe);
        if (a->menu()) a->menu()->setTitle(a->text());
        if (safe && a->isSeparator())
            a->setVisible(name == QLatin1String("mnuViewSep1") || name == QLatin1String("mnuViewSep2"));
    }
    applyMenuImages();
    lvUsers_->setAccessibleName(tr("Members"));
    lvUsers_->setAccessibleDescription(tr("The members of this chat; the Users menu adds and removes them"));
    txtMsg_->setAccessibleName(tr("Conversation"));
    txtMsg_->setAccessibleDescription(
        tr("Each line begins with its sender; your lines to named members end with what became of them"));
    txtSnd_->setAccessibleName(tr("Your line"));
    txtSnd_->setAccessibleDescription(tr("Enter sends it to the members"));
    tbSnd_->setAccessibleName(QString(tbSnd_->text()).remove(QLatin1Char('&')));
    lblDelivery_->setAccessibleDescription(tr("Delivery"));
    lblStat_->setAccessibleDescription(tr("Status line"));
    lvUsers_->setHeaderLabels({tr("Member"), tr("Key")});
    // What the program wrote itself, again in the language now chosen.
    for (QTextBlock b = txtMsg_->document()->begin(); b.isValid(); b = b.next()) {
        const QVariant id = b.blockFormat().property(kNoteId);
        if (!id.isValid()) continue;
        const auto note = notes_.find(id.toInt());
        if (note == notes_.end()) continue;
        QTextCursor c(b);
        c.movePosition(QTextCursor::StartOfBlock);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        const QTextCharFormat f = c.charFormat();
        QString prefix;
        const QString shown = b.text();
        // The time in front stays as it was.
        if (shown.size() > 9 && shown.at(2) == QLatin1Char(':') && shown.at(8) == QLatin1Char(' '))
            prefix = shown.left(9);
        const QString worded = note->second();
        c.insertText(prefix + worded, f);
        transcript_.setNoteText(id.toInt(), worded.toStdString());
    }
    for (std::size_t line = 0; line < transcript_.lines().size(); ++line)
        if (marks_.mark(line)) renderMark(line);
    refreshDeliveryLine();
    // The members' key states and notes, in the new language.
    RefUserList();
}

void frmChat::applyMenuImages() {
    if (!cool_) return;
    CoolMenu::Images images;
    for (const auto& it : kChatItems)
        if (it.icon) images.append({action(it.name)->text(), QIcon(QString::fromLatin1(it.icon))});
    cool_->setImages(images);
}

QSize frmChat::FittingSize() const {
    const QFontMetrics fm(txtMsg_->font());
    const QFontMetrics title(QApplication::font());
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    // Lines of some 64 characters, the title with the frame's buttons, the menus.
    const int w = std::max({fm.averageCharWidth() * 64 + 40, title.horizontalAdvance(windowTitle()) + 160,
                            menuBar_->sizeHint().width(), minimumWidth()});
    const int h = std::max({fm.height() * 26 + 80, minimumHeight()});
    return {std::min(w, area.width() - 24), std::min(h, area.height() - 60)};
}

void frmChat::SavePos() {
    if (!placed_ || isMinimized()) return;
    choices_.keepChatPlace(ToTwips(QRect(pos(), size()), screen()));
}

void frmChat::RefListOfUsers() {
    // "(All)" and the users present who are not members yet, in the order
    // of the alphabet; groups are not offered, nor the own name.
    QStringList candidates;
    const auto& users = node_.users();
    for (std::size_t r = 0; r < users.rowCount(); ++r) {
        const auto text = users.rowText(r);
        if (!text.empty() && text.front() == '(' && text != UserList::kAllRow) continue;
        if (members_.IsUserPresent(text) || equalsNoCase(text, node_.state().MyName)) continue;
        candidates << QString::fromStdString(text);
    }
    std::sort(candidates.begin() + (candidates.value(0) == QLatin1String(UserList::kAllRow) ? 1 : 0), candidates.end(),
              [](const QString& a, const QString& b) {
                  const int c = a.compare(b, Qt::CaseInsensitive);
                  return c != 0 ? c < 0 : a < b;
              });
    const auto actions = mnuAdd_->actions();
    for (int i = 2; i < actions.size(); ++i) {
        mnuAdd_->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    QAction* first = actions.value(1);
    // Nobody left to add: the first item says so and does nothing.
    if (first) {
        first->setVisible(true);
        first->setEnabled(!candidates.isEmpty());
        if (candidates.isEmpty()) {
            first->setText(tr("Everybody present is in this chat"));
            first->disconnect(this);
        }
    }
    for (int i = 0; i < candidates.size(); ++i) {
        QAction* a = i == 0 ? first : mnuAdd_->addAction(QString());
        if (i > 0) a->setObjectName(QStringLiteral("mnuUser%1").arg(i));
        a->setText(UserListModel::shownName(candidates[i].toStdString()));
        a->setData(candidates[i]);
        a->disconnect(this);
        connect(a, &QAction::triggered, this, [this, a] { UserAddsMember(a->data().toString().toStdString()); });
    }
}

void frmChat::updateTitle() {
    // Who the chat is with first: the task bar and Alt+Tab tell the windows apart.
    QStringList others;
    int more = 0;
    for (const auto& m : members_.names()) {
        if (equalsNoCase(m, node_.state().MyName)) continue;
        if (others.size() < 3) others << UserListModel::shownName(m);
        else ++more;
    }
    QString title = others.join(QStringLiteral(", "));
    if (more > 0) title += QStringLiteral(" +%1").arg(more);
    setWindowTitle(title.isEmpty() ? caption_ : title + QStringLiteral(" - ") + caption_);
}

void frmChat::RefUserList() {
    updateTitle();
    const auto& users = node_.users();
    for (int i = 0; i < lvUsers_->topLevelItemCount(); ++i) {
        auto* item = lvUsers_->topLevelItem(i);
        const std::string name = NameOfRow(item).toStdString();
        if (equalsNoCase(name, UserList::kAllRow)) {
            item->setText(0, UserListModel::shownName(name));  // in the language now chosen
            item->setIcon(0, UserListModel::userIcon(IconAll));
            continue;
        }
        const bool blocked = users.IsBlocked(name);
        const bool away = IsAway(name);
        QIcon icon = UserListModel::userIcon(blocked ? IconBlocked : IconUser);
        if (away) icon = QIcon(icon.pixmap(lvUsers_->iconSize(), QIcon::Disabled));
        item->setIcon(0, icon);
        ShowKeyState(item, node_.KeyStateOf(name));
        // In a shared chat: who is away, and whose program keeps a list of
        // its own (it gets every line, and sends its own to whom it lists).
        QStringList marks;
        if (blocked) marks << StateText(State::Blocked);
        if (away) marks << tr("away: left the network, lines wait for the return");
        const bool ownList = !roomId_.empty() && !equalsNoCase(name, node_.state().MyName) &&
                             node_.CanTake(name, rooms::kRoomsWord) != Reach::Yes;
        if (ownList) marks << tr("does not share this chat: sees the lines sent to it, not who is in it");
        QFont font = item->font(0);
        if (font.italic() != (away || ownList)) {
            font.setItalic(away || ownList);
            item->setFont(0, font);
        }
        item->setToolTip(0, marks.join(QStringLiteral("\n")));
        item->setData(0, Qt::AccessibleTextRole,
                      marks.isEmpty() ? item->text(0)
                                      : tr("%1, %2").arg(item->text(0), marks.join(QStringLiteral(", "))));
        const QColor c = ReadableOn(UserListModel::toColor(users.GetColorForUName(name)),
                                    lvUsers_->palette().color(QPalette::Base));
        if (item->foreground(0).color() != c) item->setForeground(0, c);
    }
    showNote();
    UpdateStat();
    fitMemberList();
}

void frmChat::fitMemberList() {
    const int rows = lvUsers_->topLevelItemCount();
    if (memberListSized_ || rows == fittedRows_) return;
    fittedRows_ = rows;
    // A row as the list draws it: its font and icons, at this screen's scale.
    const int drawn = rows > 0 ? lvUsers_->sizeHintForRow(0) : -1;
    const int row = drawn > 0 ? drawn : std::max(lvUsers_->fontMetrics().height(), lvUsers_->iconSize().height());
    const int want = MemberRowsShown(rows) * row + 2 * lvUsers_->frameWidth();
    const QList<int> sizes = splitter_->sizes();
    int total = 0;
    for (const int s : sizes) total += s;
    if (total <= 0) total = height();
    // The list keeps its height as the window is sized: the rest goes below.
    splitter_->setSizes({want, std::max(0, total - want)});
}

void frmChat::showNote() {
    // Where the program knows it: a status that turns chat lines away.
    QStringList who;
    const auto& users = node_.users();
    for (const auto& name : Refusing(members_.names(), users, true)) {
        const auto row = users.findNoCase(name);
        who << tr("%1 (%2)").arg(QString::fromStdString(name),
                                 row ? QString::fromStdString(users.user(*row).statusText) : QString());
    }
    lblNote_->setVisible(!who.isEmpty());
    if (!who.isEmpty()) lblNote_->setText(tr("Chat lines do not reach %1 now.").arg(who.join(QStringLiteral(", "))));
}

namespace {
// A line's date and time as the export writes them.
std::string DateOf(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
}
std::string TimeOf(const QDateTime& t) {
    return t.toString(QStringLiteral("HH:mm:ss")).toStdString();
}
}  // namespace

bool frmChat::AddMsg(const std::string& line, const std::string& sender, std::uint32_t colour, std::uint64_t lineId,
                     std::uint64_t replyTo) {
    if (!members_.Accepts(sender)) return false;
    const bool own = equalsNoCase(sender, node_.state().MyName);
    // The own line comes back without its id: it is the one just sent.
    if (own && lineId == 0 && ownLineSent_ != 0) {
        lineId = std::exchange(ownLineSent_, 0);
        replyTo = std::exchange(ownReplySent_, 0);
    }
    // A reply shows the start of the line it answers above it.
    std::string_view words = line;
    if (replyTo != 0 && !verbs::QuotedStart(line).empty()) {
        const auto* answered = hub_.verbs() ? hub_.verbs()->line(replyTo) : nullptr;
        lineView_->insertQuote(replyTo, answered ? QString::fromStdString(answered->author) : QString(),
                               QString::fromStdString(std::string(verbs::QuotedStart(line))));
        words = verbs::WithoutQuote(line);
    }
    const QDateTime now = QDateTime::currentDateTime();
    QString prefix;
    if (action("mnuTime")->isChecked()) prefix = QString::fromStdString(TimeOf(now)) + QLatin1Char(' ');
    prefix += QString::fromStdString(sender);

    // The hanging indent: wrapped lines start where the tab puts the text.
    QTextCursor cursor(txtMsg_->document());
    cursor.movePosition(QTextCursor::End);
    const QFontMetrics fm(txtMsg_->currentFont());
    const int indent = fm.horizontalAdvance(prefix + QStringLiteral(": "));
    QTextBlockFormat block;
    block.setLeftMargin(indent);
    block.setTextIndent(-indent);
    block.setTabPositions({QTextOption::Tab(indent, QTextOption::LeftTab)});
    QTextCharFormat chars;
    chars.setForeground(ReadableOn(UserListModel::toColor(colour), txtMsg_->palette().color(QPalette::Base)));
    // A line that names the user ("@ann") stands out.
    const bool mentioned = !equalsNoCase(sender, node_.state().MyName) &&
                           Mentions(QString::fromStdString(line), QString::fromStdString(node_.state().MyName));
    if (mentioned) {
        chars.setFontWeight(QFont::Bold);
        block.setBackground(txtMsg_->palette().color(QPalette::Highlight).lighter(185));
    }
    // The new block takes the line's format, not that of a mark before it.
    if (txtMsg_->document()->isEmpty()) cursor.setBlockFormat(block);
    else cursor.insertBlock(block, chars);
    const int first = cursor.blockNumber();
    cursor.insertText(prefix + QStringLiteral(":\t"), chars);
    QTextCharFormat wordsFormat = chars;
    wordsFormat.setProperty(verbs::ui::LineView::kLineText, true);
    cursor.insertText(QString::fromUtf8(words.data(), static_cast<qsizetype>(words.size())), wordsFormat);
    // A line's last block carries its number when it has a delivery mark.
    const std::size_t index = transcript_.lines().size();
    const bool marked = equalsNoCase(sender, node_.state().MyName) && marks_.shown(index, line);
    for (QTextBlock b = txtMsg_->document()->findBlockByNumber(first); b.isValid(); b = b.next())
        b.setUserState(marked && b == txtMsg_->document()->lastBlock() ? static_cast<int>(index) : -1);
    transcript_.add({prefix.toStdString(), line, colour, ToTwips(indent, screen()), sender, DateOf(now), TimeOf(now)});
    if (lineId != 0) {
        transcriptLine_[lineId] = index;
        lineView_->shown(lineId, sender, own, first, txtMsg_->document()->lastBlock().blockNumber());
    }
    if (marked) renderMark(index);
    txtMsg_->verticalScrollBar()->setValue(txtMsg_->verticalScrollBar()->maximum());
    return true;
}

void frmChat::UpdateStat() {
    const QString text = QString::fromStdString(members_.StatusText(node_.LangText(3201)));
    if (lblStat_->text() != text) lblStat_->setText(text);
    statTag_ = text;
}

void frmChat::HelpObj_MenuHelp(const QString&, const QString& menuHelp) {
    if (!menuHelp.isEmpty()) {
        if (lblStat_->text() != menuHelp) lblStat_->setText(menuHelp);
    } else if (lblStat_->text() != statTag_) {
        lblStat_->setText(statTag_);
    }
}

void frmChat::AddUser(const std::string& name) {
    if (!members_.AddUser(name)) return;
    everMembers_.push_back(name);
    AddNameRow(lvUsers_, name);
    RefUserList();
    node_.WriteLog(name + " Added to chat window");
}

void frmChat::UserAddsMember(const std::string& name) {
    const bool had = IsUserPresent(name);
    AddUser(name);
    if (!had) hub_.ChatMemberChanged(this, name, true);
}

std::string frmChat::chatKey() const {
    if (!roomId_.empty()) return history::RoomKey(roomId_);
    return members_.hasAll() ? std::string() : history::ChatTag(members_.names(), node_.state().MyName);
}

void frmChat::setRoom(const std::string& id) {
    roomId_ = id;
    RefUserList();
}

bool frmChat::IsAway(const std::string& name) const {
    return away_.contains(QString::fromStdString(name).toLower());
}

void frmChat::SetAway(const std::string& name, bool away) {
    const QString key = QString::fromStdString(name).toLower();
    if (away == away_.contains(key) || (away && !IsUserPresent(name))) return;
    if (away) away_ << key;
    else away_.removeAll(key);
    RefUserList();
}

bool frmChat::DropMember(const std::string& name) {
    if (!members_.RemoveUser(name)) return false;
    away_.removeAll(QString::fromStdString(name).toLower());
    for (int i = 0; i < lvUsers_->topLevelItemCount(); ++i)
        if (equalsNoCase(NameOfRow(lvUsers_->topLevelItem(i)).toStdString(), name)) {
            delete lvUsers_->takeTopLevelItem(i);
            break;
        }
    RefUserList();
    node_.WriteLog(name + " Removed from chat window");
    return true;
}

void frmChat::RemoveUser(const std::string& name) {
    if (!DropMember(name)) return;
    const QString who = QString::fromStdString(name);
    AddNote([who] { return tr("%1 left the network.").arg(who); });
}

bool frmChat::RenameMember(const std::string& from, const std::string& to) {
    if (!members_.RenameUser(from, to)) return false;
    everMembers_.push_back(to);
    const QString key = QString::fromStdString(from).toLower();
    if (away_.removeAll(key) > 0) away_ << QString::fromStdString(to).toLower();
    for (int i = lvUsers_->topLevelItemCount() - 1; i >= 0; --i) {
        const std::string name = NameOfRow(lvUsers_->topLevelItem(i)).toStdString();
        if (equalsNoCase(name, from)) SetNameRow(lvUsers_->topLevelItem(i), to);
        else if (equalsNoCase(name, to)) delete lvUsers_->takeTopLevelItem(i);
    }
    RefUserList();
    return true;
}

void frmChat::RemoveSelectedUser() {
    auto* item = lvUsers_->currentItem();
    if (item && item->isSelected() && NameOfRow(item).toStdString() != node_.state().MyName) {
        const QString who = NameOfRow(item);
        members_.RemoveUser(who.toStdString());
        away_.removeAll(who.toLower());
        delete lvUsers_->takeTopLevelItem(lvUsers_->indexOfTopLevelItem(item));
        // "(All)" as the note is worded, in the language of the moment.
        AddNote(
            [who] { return tr("%1 was removed from this chat.").arg(UserListModel::shownName(who.toStdString())); });
        hub_.ChatMemberChanged(this, who.toStdString(), false);
    }
    RefUserList();
}

void frmChat::LineChanged(const verbs::LineRef& line) {
    if (!lineView_->holds(line.id)) return;
    const auto index = transcriptLine_.find(line.id);
    if (line.deleted) {
        lineView_->deleted(line.id);
        if (index != transcriptLine_.end()) transcript_.setLineText(index->second, {});
        return;
    }
    if (index != transcriptLine_.end() && transcript_.lines()[index->second].text != line.text) {
        lineView_->edited(line.id, QString::fromStdString(line.text));
        transcript_.setLineText(index->second, line.text);
    }
    lineView_->reactionsChanged(line.id);
}

void frmChat::Send() {
    // New words for a line of the user's, in its place.
    if (const auto editing = composeBar_->editing(); editing != 0 && hub_.verbs()) {
        if (auto done = hub_.verbs()->edit(editing, txtSnd_->text().toStdString()); !done) {
            QMessageBox::information(this, windowTitle(), reasonWords(done.error()));
            return;
        }
        composeBar_->stop();
        txtSnd_->clear();
        return;
    }
    const std::uint64_t replyTo = composeBar_->replying();
    const std::string typed = txtSnd_->text().toStdString();
    const std::string line = replyTo != 0 && !trimBlanks(typed).empty()
                                 ? verbs::ReplyText(composeBar_->quoted().toStdString(), typed)
                                 : typed;
    try {
        std::vector<DeliveryReport> reports;
        std::uint64_t sentId = 0;
        if (!members_.SendLine(node_, line, &reports, chatKey(), replyTo, &sentId)) return;
        ownLineSent_ = sentId;
        ownReplySent_ = replyTo;
        composeBar_->stop();
        // A new line of ours: nobody has seen it yet.
        seen_.clear();
        updateSeen();
        if (!roomId_.empty()) hub_.RoomLineSent(roomId_);
        delivery_.start(reports, node_.state().MyName);
        marks_.sent(line, reports, node_.state().MyName);
        refreshDeliveryLine();
        // Nothing went to a member whose key changed: the check opens.
        if (const auto changed = delivery_.keyChanged(); !changed.empty()) hub_.ShowUserInfo(changed.front());
    } catch (const LanyxError& e) {
        // The line stays in the input box: nothing typed is lost.
        QMessageBox::warning(
            this, windowTitle(),
            tr("The line could not be sent.\n\n%1: %2").arg(e.number()).arg(QString::fromUtf8(e.what())));
        return;
    }
    txtSnd_->clear();
    txtSnd_->setFocus();
}

void frmChat::ShowDelivery(const DeliveryReport& report) {
    if (delivery_.update(report)) refreshDeliveryLine();
    if (const auto line = marks_.update(report)) renderMark(*line);
}

void frmChat::refreshDeliveryLine() {
    QStringList lines;
    for (const auto& r : delivery_.rows()) lines << DeliveryRowText(r);
    lblDelivery_->setText(lines.join(QLatin1Char('\n')));
    lblDelivery_->setVisible(!delivery_.empty());
    // A line that did not arrive is told in the warning colour.
    QPalette p = palette();
    if (delivery_.warns())
        p.setColor(QPalette::WindowText, ReadableOn(QColor(0xC0, 0x20, 0x00), palette().color(QPalette::Window)));
    lblDelivery_->setPalette(p);
}

namespace {
// The block that ends transcript line `line`, when it has a mark; the
// lines a report is about are mostly the last ones.
QTextBlock markedBlock(const QTextDocument* doc, std::size_t line) {
    for (QTextBlock b = doc->lastBlock(); b.isValid(); b = b.previous())
        if (b.userState() == static_cast<int>(line)) return b;
    return {};
}
}  // namespace

QString frmChat::markWord(MarkGroup group, std::size_t count) {
    const QString n = QString::number(count);
    switch (group) {
    case MarkGroup::Delivered: return count ? tr("%1 delivered").arg(n) : tr("delivered");
    case MarkGroup::NotConfirmed: return count ? tr("%1 not confirmed").arg(n) : tr("not confirmed");
    case MarkGroup::Clear: return count ? tr("%1 sent").arg(n) : tr("sent");
    case MarkGroup::Withheld: return count ? tr("%1 not sent").arg(n) : tr("not sent");
    case MarkGroup::Queued: return count ? tr("%1 queued").arg(n) : tr("queued");
    default: return count ? tr("%1 waiting").arg(n) : tr("waiting");
    }
}

void frmChat::renderMark(std::size_t line) {
    const LineMark* mark = marks_.mark(line);
    const QTextBlock block = markedBlock(txtMsg_->document(), line);
    if (!mark || !block.isValid()) return;
    QTextCursor cursor(block);
    const auto [from, to] = markRange(block);
    if (from >= 0) {
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    } else {
        cursor.movePosition(QTextCursor::EndOfBlock);
    }
    // The document's own font and size; grey, or red when not confirmed,
    // either made to read on the window's background.
    QTextCharFormat format;
    format.setProperty(kDeliveryMark, true);
    format.setForeground(ReadableOn(LineMarks::warns(*mark) ? QColor(0xC0, 0x20, 0x00) : QColor(0x70, 0x70, 0x70),
                                    txtMsg_->palette().color(QPalette::Base)));
    QStringList tip;
    for (const auto& r : mark->rows) tip << DeliveryRowText(r);
    format.setToolTip(tip.join(QLatin1Char('\n')));
    // A view that followed the conversation to its end stays there when
    // a longer mark wraps the last line.
    QScrollBar* bar = txtMsg_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    // The icons as sharp as the screen: drawn at its pixel ratio, at the
    // height of the text.
    const int px = QFontMetrics(txtMsg_->font()).ascent();
    const qreal dpr = txtMsg_->devicePixelRatioF();
    auto image = [&](State state) {
        const QUrl name(QStringLiteral("lanyx-state:%1-%2-%3").arg(static_cast<int>(state)).arg(px).arg(dpr));
        if (!txtMsg_->document()->resource(QTextDocument::ImageResource, name).isValid())
            txtMsg_->document()->addResource(QTextDocument::ImageResource, name,
                                             StateIcon(state).pixmap(QSize(px, px), dpr).toImage());
        QTextImageFormat f;
        f.merge(format);
        f.setName(name.toString());
        f.setWidth(px);
        f.setHeight(px);
        f.setVerticalAlignment(QTextCharFormat::AlignMiddle);
        f.setToolTip(StateText(state));
        return f;
    };
    cursor.insertText(QStringLiteral("  "), format);
    bool first = true;
    for (const MarkPart& part : LineMarks::parts(*mark)) {
        if (!first) cursor.insertText(QStringLiteral(", "), format);
        first = false;
        if (!part.name.empty()) cursor.insertText(QString::fromStdString(part.name) + QLatin1Char(' '), format);
        const State state = part.group == MarkGroup::Clear          ? State::InTheClear
                            : part.group == MarkGroup::NotConfirmed ? State::Warning
                            : part.group == MarkGroup::Withheld     ? State::Warning
                                                                    : State::Encrypted;
        cursor.insertImage(image(state));
        cursor.insertText(QLatin1Char(' ') + markWord(part.group, part.count), format);
    }
    if (atEnd) bar->setValue(bar->maximum());
}

QString frmChat::markShown(std::size_t line) const {
    // The icons as the words they stand for, in brackets.
    const QTextBlock block = markedBlock(txtMsg_->document(), line);
    QString shown;
    for (auto it = block.begin(); block.isValid() && !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (!f.isValid() || !f.charFormat().boolProperty(kDeliveryMark)) continue;
        if (f.charFormat().isImageFormat()) shown += QLatin1Char('[') + f.charFormat().toolTip() + QLatin1Char(']');
        else shown += f.text();
    }
    return shown.trimmed();
}

QString frmChat::markToolTip(std::size_t line) const {
    const QTextBlock block = markedBlock(txtMsg_->document(), line);
    for (auto it = block.begin(); block.isValid() && !it.atEnd(); ++it)
        if (it.fragment().charFormat().boolProperty(kDeliveryMark) && !it.fragment().charFormat().isImageFormat())
            return it.fragment().charFormat().toolTip();
    return {};
}

ExportHeading frmChat::exportHeading() const {
    ExportHeading h;
    h.participantsLabel = tr("Participants").toStdString();
    h.dateLabel = tr("Date").toStdString();
    h.today = DateOf(QDateTime::currentDateTime());
    for (const auto& name : Participants(everMembers_, transcript_))
        h.participants.push_back(UserListModel::shownName(name).toStdString());
    // One hanging indent for every line: a time and the longest name.
    const QFontMetrics fm(txtMsg_->currentFont());
    int widest = 0;
    for (const auto& name : h.participants)
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(name)));
    h.indentTwips = ToTwips(fm.horizontalAdvance(QStringLiteral("00:00:00 : ")) + widest, screen());
    return h;
}

void frmChat::ExportToTextFile() {
    const QString file = hub_.ChooseExportFile(node_.LangText(3202).empty()
                                                   ? std::string("Text Files (*.txt)|Rich Text Files (*.rtf)|")
                                                   : node_.LangText(3202));
    if (file.isEmpty()) return;
    const auto kind = ExportKindFor(file.toStdString());
    try {
        const ExportHeading heading = exportHeading();
        WriteExport(file.toStdString(), kind, ExportText(transcript_, heading),
                    ExportRtf(transcript_, heading, txtMsg_->currentFont().family().toStdString(),
                              std::max(2, static_cast<int>(txtMsg_->currentFont().pointSizeF() * 2))));
    } catch (const LanyxError& e) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("%1\n\n%2").arg(file, QString::fromUtf8(e.what())));
    }
}

void frmChat::ExportToClipboard() {
    auto* mime = new QMimeData;
    const ExportHeading heading = exportHeading();
    const QByteArray rtf = QByteArray::fromStdString(ExportRtf(transcript_, heading));
    mime->setData(QStringLiteral("text/rtf"), rtf);
    mime->setData(QStringLiteral("application/rtf"), rtf);
    mime->setData(QStringLiteral("Rich Text Format"), rtf);
    mime->setText(QString::fromStdString(ExportText(transcript_, heading)));
    QApplication::clipboard()->setMimeData(mime);
}

void frmChat::setUpFiles() {
    sendFiles_ = new SendFileActions(this, [this] { return FileTargets(); });
    sendFiles_->setFiles(hub_.files());
    sendFiles_->setMemory(hub_.folders());
    mnuUsers_->addSeparator();
    sendFiles_->addTo(mnuUsers_);
    sendFiles_->report = [this](const QString& text) { HelpObj_MenuHelp({}, text); };
    drops_ = new FileDropFilter(this, [this](QObject* watched, const QPoint& pos, QString*) {
        // Onto a member: to that one; anywhere else: to the chat.
        if (watched == lvUsers_->viewport())
            if (auto* item = lvUsers_->itemAt(pos)) {
                const QString name = NameOfRow(item);
                if (name.toStdString() != node_.state().MyName && UserList::isUserText(name.toStdString()))
                    return QStringList{name};
            }
        QStringList all;
        for (int i = 0; i < lvUsers_->topLevelItemCount(); ++i) {
            const QString name = NameOfRow(lvUsers_->topLevelItem(i));
            if (!equalsNoCase(name.toStdString(), node_.state().MyName) && UserList::isUserText(name.toStdString()))
                all << name;
        }
        return all;
    });
    drops_->setFiles(hub_.files());
    drops_->explain = [this](const QString& text) { HelpObj_MenuHelp({}, text); };
    for (QWidget* w :
         {static_cast<QWidget*>(this), txtMsg_->viewport(), static_cast<QWidget*>(txtSnd_), lvUsers_->viewport()})
        drops_->watch(w);
    if (auto* pictures = hub_.pictures()) {
        pictures_ = new pictures::ui::ChatPictures(this, txtMsg_, *pictures, [this] {
            return pictures::ui::ChatPictures::Targets{FileTargets(), roomId_.empty() ? "" : RoomChatKey(roomId_)};
        });
        pictures_->explain = [this](const QString& text) { HelpObj_MenuHelp({}, text); };
        pictures_->shownHere = [this](const QString& path) { AddPicture(node_.state().MyName, path); };
        pictures_->watchPaste(txtSnd_);
        pictures_->addTo(mnuUsers_);
        for (QWidget* w : {static_cast<QWidget*>(this), txtMsg_->viewport(), static_cast<QWidget*>(txtSnd_)})
            pictures_->watchDrops(w);
    }
}

void frmChat::AddPicture(const std::string& sender, const QString& path) {
    AddNote([name = QString::fromStdString(sender)] { return pictures::ui::ChatPictures::caption(name); });
    if (pictures_) pictures_->inlined().append(path);
}

QStringList frmChat::FileTargets() const {
    auto* current = lvUsers_->currentItem();
    auto usable = [this](const QString& name) {
        return !equalsNoCase(name.toStdString(), node_.state().MyName) && UserList::isUserText(name.toStdString());
    };
    if (current && current->isSelected() && usable(NameOfRow(current))) return {NameOfRow(current)};
    QStringList all;
    for (int i = 0; i < lvUsers_->topLevelItemCount(); ++i)
        if (usable(NameOfRow(lvUsers_->topLevelItem(i)))) all << NameOfRow(lvUsers_->topLevelItem(i));
    return all;
}

void frmChat::AddNote(const QString& text) {
    insertNote(text, -1);
}

void frmChat::AddNote(std::function<QString()> text) {
    const int id = nextNote_++;
    insertNote(text(), id);
    notes_[id] = std::move(text);
    // The oldest keep the words they had.
    static constexpr std::size_t kNotesKept = 500;
    while (notes_.size() > kNotesKept) notes_.erase(notes_.begin());
}

void frmChat::insertNote(const QString& text, int id) {
    QTextCursor cursor(txtMsg_->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat chars;
    chars.setFontItalic(true);
    chars.setForeground(
        ReadableOn(txtMsg_->palette().color(QPalette::PlaceholderText), txtMsg_->palette().color(QPalette::Base)));
    QTextBlockFormat block;
    if (id >= 0) block.setProperty(kNoteId, id);
    if (txtMsg_->document()->isEmpty()) cursor.setBlockFormat(block);
    else cursor.insertBlock(block);
    const QDateTime now = QDateTime::currentDateTime();
    QString line;
    if (action("mnuTime")->isChecked()) line = QString::fromStdString(TimeOf(now)) + QLatin1Char(' ');
    cursor.insertText(line + text, chars);
    // The export keeps it too, between the lines it came between.
    transcript_.addNote({transcript_.lines().size(), DateOf(now), TimeOf(now), text.toStdString(), id});
    txtMsg_->verticalScrollBar()->setValue(txtMsg_->verticalScrollBar()->maximum());
}

void frmChat::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    SavePos();
}

void frmChat::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    SavePos();
}

void frmChat::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Q_EMIT activated();
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
}

bool frmChat::eventFilter(QObject* watched, QEvent* event) {
    // While members to mention are offered, the input line's keys choose.
    if (watched == txtSnd_ && event->type() == QEvent::KeyPress && mentions_->isVisible()) {
        const auto* k = static_cast<QKeyEvent*>(event);
        const int row = mentions_->currentRow();
        switch (k->key()) {
        case Qt::Key_Down: mentions_->setCurrentRow(std::min(row + 1, mentions_->count() - 1)); return true;
        case Qt::Key_Up: mentions_->setCurrentRow(std::max(row - 1, 0)); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
            if (auto* item = mentions_->currentItem()) completeMention(item->text());
            return true;
        case Qt::Key_Escape: mentions_->hide(); return true;
        default: break;
        }
    }
    // Escape stops answering a line or editing one.
    if (watched == txtSnd_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        (composeBar_->replying() || composeBar_->editing())) {
        if (composeBar_->editing()) txtSnd_->clear();
        composeBar_->stop();
        return true;
    }
    // The member list's menu from the keyboard: the Menu key or Shift+F10.
    if (watched == lvUsers_ && event->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Menu || (k->key() == Qt::Key_F10 && k->modifiers() & Qt::ShiftModifier)) {
            const QRect at = lvUsers_->visualItemRect(lvUsers_->currentItem());
            mnuUsers_->popup(lvUsers_->viewport()->mapToGlobal(at.isValid() ? at.bottomLeft() : QPoint(0, 0)));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmChat::closeEvent(QCloseEvent* event) {
    SavePos();
    QWidget::closeEvent(event);
}

}  // namespace lanyx::ui

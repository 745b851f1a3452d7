#include "frmPop.h"

#include "Announce.h"

#include "CoolMenu.h"
#include "LangText.h"
#include "Error.h"
#include "Resources.h"
#include "StateIcons.h"
#include "Twips.h"
#include "UserListModel.h"
#include "WindowHub.h"
#include "frmChat.h"
#include "logic/Contrast.h"
#include "logic/Export.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace lanyx::ui {

namespace {
struct PopItem {
    const char* name;
    const char* caption;
    int code;
    const char* icon;
};
constexpr PopItem kPopItems[] = {
    {"mnuPopSep1", "-Options", 5101, nullptr},
    {"mnuExportT", "&Export To Text File", 5102, ":/lanyx/save.svg"},
    {"mnuExportC", "&Export To Clipboard", 5103, ":/lanyx/copy.svg"},
    {"mnuReply", "&Reply", 5104, ":/lanyx/alert.svg"},
    {"mnuRepSep1", "-To Who?", 5105, nullptr},
    {"mnuReplySender", "To &Sender", 5106, ":/lanyx/user.svg"},
    {"mnuReplyAll", "To &All", 5107, ":/lanyx/all.svg"},
    {"mnuLive", "&Start Live Chat", 5108, ":/lanyx/chat.svg"},
    {"mnuBlock", "&Block Sender", 5109, ":/lanyx/block.svg"},
};

QString shown(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
}  // namespace

bool frmPop::FramelessOn(const QString& platformName) {
    // Where a window places itself, a popup draws its own frame; elsewhere
    // (a native Wayland window, say) the desktop's frame lets the user move it.
    static const QStringList placing = {QStringLiteral("xcb"), QStringLiteral("windows"), QStringLiteral("cocoa"),
                                        QStringLiteral("offscreen"), QStringLiteral("minimal")};
    return placing.contains(platformName);
}

QString frmPop::HeaderFor(const PopAlert& alert) {
    return tr("%1 \u00B7 %2")
        .arg(alert.at.time().toString(QStringLiteral("HH:mm")), alert.isPrivate ? tr("Private") : tr("To everyone"));
}

frmPop::frmPop(ChatNode& node, WindowHub& hub)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint |
                           (FramelessOn(QGuiApplication::platformName()) ? Qt::FramelessWindowHint : Qt::Widget)),
      node_(node),
      hub_(hub) {
    UsePopupRole();
    EnsureResources();
    setObjectName("frmPop");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Lanyx"));
    setWindowIcon(SharedIcon(QStringLiteral(":/lanyx/alert.svg")));
    setAutoFillBackground(true);

    picImg_ = new QLabel(this);
    picImg_->setObjectName("picImg");
    picImg_->setAutoFillBackground(true);
    picImg_->setFixedSize(28, 28);
    picImg_->setAlignment(Qt::AlignCenter);
    lblFrom_ = new QLabel(this);
    lblFrom_->setObjectName("lblFrom");
    lblFrom_->setTextFormat(Qt::PlainText);
    QFont bold = lblFrom_->font();
    bold.setBold(true);
    lblFrom_->setFont(bold);
    // The popup's own title bar: grab it to move the popup.
    lblFrom_->installEventFilter(this);
    picImg_->installEventFilter(this);
    cmdClose_ = new QToolButton(this);
    cmdClose_->setObjectName("cmdClose");
    cmdClose_->setIcon(SharedIcon(QStringLiteral(":/lanyx/close.svg")));
    cmdClose_->setAutoRaise(true);
    cmdClose_->setFocusPolicy(Qt::StrongFocus);
    connect(cmdClose_, &QToolButton::clicked, this, &QWidget::close);

    // Every alert of the sender, newest first. It scrolls inside the popup:
    // anyone on the segment can send more than a screen holds.
    txtAlerts_ = new QTextEdit(this);
    txtAlerts_->setObjectName("txtAlerts");
    txtAlerts_->setReadOnly(true);
    txtAlerts_->setUndoRedoEnabled(false);
    txtAlerts_->setFrameShape(QFrame::NoFrame);
    txtAlerts_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtAlerts_->setAutoFillBackground(true);
    txtAlerts_->viewport()->setAutoFillBackground(false);
    txtAlerts_->document()->setDocumentMargin(4);
    txtAlerts_->viewport()->installEventFilter(this);
    txtAlerts_->installEventFilter(this);
    lblDropped_ = new QLabel(this);
    lblDropped_->setObjectName("lblDropped");
    lblDropped_->setWordWrap(true);
    lblDropped_->setVisible(false);
    lblDrop_ = new QLabel(QStringLiteral("\u25BE"), this);
    lblDrop_->setObjectName("lblDrop");
    lblDrop_->setAlignment(Qt::AlignCenter);
    // A target a pointer can hit, not a glyph's width.
    lblDrop_->setMinimumSize(24, 24);
    lblDrop_->setCursor(Qt::PointingHandCursor);
    lblDrop_->setFocusPolicy(Qt::StrongFocus);
    lblDrop_->installEventFilter(this);
    lblClose_ = new QLabel(QStringLiteral("Close"), this);
    lblClose_->setObjectName("lblClose");
    lblClose_->setCursor(Qt::PointingHandCursor);
    lblClose_->setFocusPolicy(Qt::StrongFocus);
    lblClose_->installEventFilter(this);
    QFont link = lblClose_->font();
    link.setUnderline(true);
    lblClose_->setFont(link);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    grid->addWidget(picImg_, 0, 0);
    grid->addWidget(lblFrom_, 0, 1);
    grid->addWidget(cmdClose_, 0, 2);
    grid->addWidget(txtAlerts_, 1, 0, 1, 3);
    grid->addWidget(lblDropped_, 2, 0, 1, 3);
    grid->addWidget(lblDrop_, 3, 0, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(lblClose_, 3, 1, 1, 2, Qt::AlignRight | Qt::AlignBottom);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    mnuPop_ = new QMenu(this);
    mnuPop_->setObjectName("mnuPop");
    mnuReply_ = nullptr;
    for (const auto& it : kPopItems) {
        QString name = QString::fromLatin1(it.name);
        if (name == QLatin1String("mnuReply")) {
            mnuReply_ = mnuPop_->addMenu(QString());
            mnuReply_->menuAction()->setObjectName(name);
            continue;
        }
        QMenu* into = (name == QLatin1String("mnuRepSep1") || name == QLatin1String("mnuReplySender") ||
                       name == QLatin1String("mnuReplyAll"))
                          ? mnuReply_
                          : mnuPop_;
        auto* a = into->addAction(QString());
        a->setObjectName(name);
    }
    connect(action("mnuReplySender"), &QAction::triggered, this, [this] {
        hub_.OpenComposeWindow(sender().toStdString() + "|");
        close();
    });
    connect(action("mnuReplyAll"), &QAction::triggered, this, [this] {
        hub_.OpenComposeWindow(std::string(UserList::kAllRow) + "|");
        close();
    });
    connect(action("mnuLive"), &QAction::triggered, this, [this] {
        const std::string from = sender().toStdString();
        if (frmChat* chat = hub_.OpenChatWindow(from + "|"))
            for (const QString& text : textsInOrder())
                chat->AddMsg(text.toStdString(), from, node_.users().GetColorForUName(from));
        close();
    });
    connect(action("mnuBlock"), &QAction::triggered, this, [this] {
        choices_.block(sender().toStdString());
        hub_.RefreshChatUserLists();
    });
    connect(action("mnuExportC"), &QAction::triggered, this,
            [this] { QApplication::clipboard()->setText(textsInOrder().join(QStringLiteral("\n\n"))); });
    connect(action("mnuExportT"), &QAction::triggered, this, &frmPop::ExportToTextFile);

    if (!node_.state().SafeMode) cool_ = new CoolMenu(this, {mnuPop_}, {}, {});
    SetLan();

    aniTimer_ = new QTimer(this);
    aniTimer_->setInterval(10);
    connect(aniTimer_, &QTimer::timeout, this, &frmPop::aniTimer_Timer);
    timer_ = new QTimer(this);
    timer_->setInterval(500);
    connect(timer_, &QTimer::timeout, this, &frmPop::Timer_Timer);
    timer_->start();
}

frmPop::~frmPop() {
    if (cool_) cool_->uninstall();
}

QAction* frmPop::action(const char* name) const {
    for (auto* a : findChildren<QAction*>())
        if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
}

void frmPop::applyMenuImages() {
    if (!cool_) return;
    CoolMenu::Images images;
    for (const auto& it : kPopItems)
        if (it.icon) images.append({action(it.name)->text(), SharedIcon(QString::fromLatin1(it.icon))});
    cool_->setImages(images);
}

void frmPop::SetLan() {
    const bool safe = node_.state().SafeMode;
    auto text = [&](int code, const char* builtIn) { return LangTextOr(node_, code, QString::fromUtf8(builtIn)); };
    lblClose_->setText(text(5001, "Close"));
    for (const auto& it : kPopItems) {
        QAction* a = action(it.name);
        if (!a) continue;
        ApplyMenuCaption(a, text(it.code, it.caption), safe);
        if (a->menu()) a->menu()->setTitle(a->text());
        if (a->isSeparator()) a->setVisible(!safe);
    }
    applyMenuImages();
    cmdClose_->setToolTip(lblClose_->text());
    cmdClose_->setAccessibleName(lblClose_->text());
    lblClose_->setAccessibleName(lblClose_->text());
    lblDrop_->setToolTip(tr("Menu: reply, chat, block, export"));
    lblDrop_->setAccessibleName(tr("Menu"));
    lblDrop_->setAccessibleDescription(lblDrop_->toolTip());
    picImg_->setToolTip(tr("Alert"));
    txtAlerts_->setAccessibleName(sender_.isEmpty() ? tr("Alerts") : tr("Alerts from %1").arg(sender_));
    txtAlerts_->setAccessibleDescription(tr("Newest first, each with its time and whether it was private"));
    if (dropped_ > 0) lblDropped_->setText(tr("%1 older alerts were not kept: too many to keep.").arg(dropped_));
    if (!alerts_.empty() && shown_) render();
}

void frmPop::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
}

QStringList frmPop::textsInOrder() const {
    QStringList texts;
    for (const auto& a : alerts_) texts << a.text;
    return texts;
}

// ---- the alerts ------------------------------------------------------------------

int frmPop::prepend(const PopAlert& alert) {
    QTextDocument* doc = txtAlerts_->document();
    const bool first = doc->isEmpty();
    QTextCursor c(doc);
    c.movePosition(QTextCursor::Start);
    QTextCharFormat head;
    QFont small = txtAlerts_->font();
    small.setBold(true);
    small.setPointSizeF(small.pointSizeF() * 0.9);
    head.setFont(small);
    head.setForeground(ReadableOn(palette().color(QPalette::Dark), palette().color(QPalette::Base)));
    QTextCharFormat body;
    body.setFont(txtAlerts_->font());
    body.setForeground(colour_.isValid() ? colour_ : palette().color(QPalette::Text));
    c.insertText(HeaderFor(alert), head);
    c.insertBlock(QTextBlockFormat(), body);
    QString text = shown(alert.text);
    if (text.size() > kMaxShownChars) {
        const qsizetype more = text.size() - kMaxShownChars;
        text = text.left(kMaxShownChars) + QChar(0x2026) + QLatin1Char('\n') +
               tr("(%1 more characters: export or copy the alert to read all of it)").arg(more);
    }
    c.insertText(text, body);
    if (!first) {
        QTextBlockFormat next;
        next.setTopMargin(6);
        c.insertBlock(next, head);
    }
    // Its header, its lines.
    return 2 + static_cast<int>(text.count(QLatin1Char('\n')));
}

void frmPop::render() {
    txtAlerts_->clear();
    blocks_.clear();
    unshownBlocks_ = 0;
    renderPending_ = false;
    for (const auto& a : alerts_) blocks_.push_back(prepend(a));
    txtAlerts_->verticalScrollBar()->setValue(0);
}

void frmPop::flushRender() {
    if (!renderPending_) return;
    renderPending_ = false;
    QTextDocument* doc = txtAlerts_->document();
    QTextCursor c(doc);
    c.beginEditBlock();
    // The oldest went past the bound: their blocks leave the bottom.
    if (unshownBlocks_ > 0) {
        const QTextBlock firstOfOld = doc->findBlockByNumber(doc->blockCount() - static_cast<int>(unshownBlocks_));
        if (firstOfOld.isValid() && firstOfOld.position() > 0) {
            c.setPosition(firstOfOld.position() - 1);
            c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            c.removeSelectedText();
        }
        unshownBlocks_ = 0;
    }
    for (std::size_t i = blocks_.size(); i < alerts_.size(); ++i) blocks_.push_back(prepend(alerts_[i]));
    c.endEditBlock();
    txtAlerts_->verticalScrollBar()->setValue(0);
    fitToContent();
}

void frmPop::dropOldest() {
    keptBytes_ -= alerts_.front().text.size();
    alerts_.pop_front();
    // Shown already: its blocks go with the next change of the list.
    if (!blocks_.empty()) {
        unshownBlocks_ += static_cast<std::size_t>(blocks_.front());
        blocks_.pop_front();
    }
    ++dropped_;
}

void frmPop::add(PopAlert alert) {
    ++count_;
    keptBytes_ += alert.text.size();
    // The widest line decides the width: lines longer than the popup may
    // grow wrap, so measuring their start is enough.
    const QFontMetrics fm(txtAlerts_->font());
    for (const QString& line : shown(alert.text).split(QLatin1Char('\n')))
        widest_ = std::max(widest_, fm.horizontalAdvance(line.left(400)));
    widest_ = std::max(widest_, fm.horizontalAdvance(HeaderFor(alert)) + 8);
    alerts_.push_back(std::move(alert));
    const int before = dropped_;
    while (keptBytes_ > kMaxKeptBytes && alerts_.size() > 1) dropOldest();
    if (dropped_ != before) {
        lblDropped_->setText(tr("%1 older alerts were not kept: too many to keep.").arg(dropped_));
        lblDropped_->setVisible(true);
        // Once for a burst, not for every alert.
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        static constexpr qint64 kLogGapMs = 5000;
        if (lastDropLog_ < 0 || now - lastDropLog_ >= kLogGapMs) {
            lastDropLog_ = now;
            node_.WriteLog(std::to_string(dropped_) + " alerts from " + sender_.toStdString() +
                           " not kept: more than the popup keeps");
        }
    }
    if (!renderPending_) {
        renderPending_ = true;
        QTimer::singleShot(0, this, &frmPop::flushRender);
    }
}

void frmPop::ShowAlert(const std::string& text, const std::string& sender, bool isPrivate) {
    ShowAlerts({PopAlert{QDateTime::currentDateTime(), isPrivate, QString::fromStdString(text)}},
               QString::fromStdString(sender));
}

void frmPop::ShowAlerts(const std::deque<PopAlert>& alerts, const QString& sender) {
    sender_ = sender;
    colour_ = ReadableOn(UserListModel::toColor(node_.users().GetColorForUName(sender_.toStdString())),
                         palette().color(QPalette::Base));
    lblFrom_->setText(sender_);
    QPalette pal = lblFrom_->palette();
    pal.setColor(QPalette::WindowText, ReadableOn(colour_, palette().color(QPalette::Window)));
    lblFrom_->setPalette(pal);
    picImg_->setPixmap(UserListModel::userIcon(IconUser).pixmap(24, 24));
    for (const auto& a : alerts) add(a);
    setWindowTitle(count_ > 1 ? QStringLiteral("%1 (%2)").arg(sender_).arg(count_) : sender_);
    SetLan();
    render();
    fitToContent();

    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    // The work area, so that a panel or task bar does not hide the popup.
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    corner_ = node_.settings().PopupPosition;
    screenH_ = ToTwips(area.height(), s);
    heightTwips_ = ToTwips(height(), s);
    const PopupStart start = PopupStartFor(corner_, ToTwips(area.width(), s), screenH_,
                                           {ToTwips(width(), s), heightTwips_}, ToTwips(x(), s), ToTwips(y(), s));
    leftTwips_ = start.left;
    topTwips_ = start.top;
    if (start.slides) move(area.left() + ToPixels(leftTwips_, s), area.top() + ToPixels(topTwips_, s));
    show();
    shown_ = true;
    // Popups of other senders already there: this one rests beyond them.
    // Measured as shown: the layout may have made it taller than asked.
    heightTwips_ = ToTwips(std::max(frameGeometry().height(), height()), s);
    restTwips_ = PopupRestFor(node_.settings().AlertHeight, screenH_, heightTwips_, hub_.PopupBandsTaken(this));
    raise();
    SetTopMost(this, -1);
    AnnounceAlert(this);
    hub_.PlaySoundSetting(QString::fromStdString(node_.settings().AlertSound));
    if (start.slides) aniTimer_->start();
}

void frmPop::JoinAlert(const std::string& text, bool isPrivate) {
    add({QDateTime::currentDateTime(), isPrivate, QString::fromStdString(text)});
    setWindowTitle(QStringLiteral("%1 (%2)").arg(sender_).arg(count_));
    AnnounceAlert(this);
    // The new alert asks for attention again.
    flash_ = PopupFlash();
    if (!timer_->isActive()) timer_->start();
}

void frmPop::fitToContent() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    // Long lines wrap at half the work area's width; the popup is never
    // narrower than the classic 2000 twips, nor larger than the work area
    // (with room for a frame): the rest scrolls.
    const int margins = 2 * static_cast<int>(txtAlerts_->document()->documentMargin()) + 12 +
                        txtAlerts_->verticalScrollBar()->sizeHint().width();
    const int textW = std::min(widest_ + 4, area.width() / 2);
    const QSize most = area.size() - QSize(16, 40);
    const int w = std::clamp(std::max(textW + margins, ToPixels(2000, s)), 0, most.width());
    const int tallest = std::min(most.height(), std::max(area.height() / 2, 200));
    // Already as large as it gets at this width: a flood does not lay the
    // whole list out again for each alert.
    if (shown_ && w == width() && height() >= tallest) return;
    QTextDocument* doc = txtAlerts_->document();
    doc->setTextWidth(w - margins + txtAlerts_->verticalScrollBar()->sizeHint().width() - 4);
    const int docH = static_cast<int>(doc->size().height()) + 4;
    const int chrome = std::max(picImg_->sizeHint().height(), cmdClose_->sizeHint().height()) +
                       std::max(lblDrop_->minimumHeight(), lblClose_->sizeHint().height()) +
                       (lblDropped_->isVisible() ? lblDropped_->sizeHint().height() : 0) + 20;
    const int h = std::min(docH + chrome, tallest);
    setMaximumSize(most);
    const QSize before = size();
    resize(w, std::max(h, chrome + fontMetrics().height() * 2));
    // A popup at rest keeps its place when it grows, clear of the others;
    // one the user moved stays put.
    if (!shown_ || sliding() || moved_ || size() == before || corner_ < 1 || corner_ > 4) return;
    keepClear();
    moveToRest();
}

bool frmPop::keepClear() {
    heightTwips_ = ToTwips(std::max(frameGeometry().height(), height()), screen());
    const std::int32_t kept = PopupRestKept(restTwips_, node_.settings().AlertHeight, screenH_, heightTwips_,
                                            hub_.PopupBandsTaken(this));
    return std::exchange(restTwips_, kept) != kept;
}

void frmPop::moveToRest() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect frame = frameGeometry();
    const int rest = ToPixels(restTwips_, s);
    const int left = (corner_ == 2 || corner_ == 4) ? area.right() + 1 - frame.width() : area.left();
    const int top = (corner_ == 1 || corner_ == 2) ? area.top() + rest : area.bottom() + 1 - frame.height() - rest;
    move(left + (x() - frame.x()), top + (y() - frame.y()));
    topTwips_ = ToTwips(top - area.top(), s);
}

// ---- slide, flash, menu ---------------------------------------------------------------

void frmPop::aniTimer_Timer() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect screenRect = s ? s->availableGeometry() : QRect();
    // A window manager's frame (title bar, borders) comes on top of the
    // popup's own size: the whole frame must end up inside the work area.
    const QRect frame = frameGeometry();
    // The layout may have kept the window taller than asked: its real height counts.
    heightTwips_ = ToTwips(std::max(frame.height(), height()), s);
    int left = x();
    if (corner_ == 2 || corner_ == 4) left = screenRect.left() + screenRect.width() - frame.width();
    const bool more = PopupSlideTo(corner_, restTwips_, screenH_, heightTwips_, topTwips_);
    move(left, screenRect.top() + ToPixels(topTwips_, s));
    if (more) return;
    aniTimer_->stop();
    const std::int32_t was = restTwips_;
    if (!keepClear()) return;
    // Further out: the slide goes on; nearer the edge: straight there.
    if (restTwips_ > was) aniTimer_->start();
    else moveToRest();
}

void frmPop::Timer_Timer() {
    const bool more = flash_.tick();
    ++toggles_;
    const QColor c = flash_.lit() ? palette().color(QPalette::Highlight).lighter(170) : palette().color(QPalette::Base);
    for (QWidget* w : {static_cast<QWidget*>(txtAlerts_), static_cast<QWidget*>(picImg_)}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, c);
        p.setColor(QPalette::Window, c);
        w->setPalette(p);
    }
    if (!more) timer_->stop();
}

bool frmPop::sliding() const {
    return aniTimer_->isActive();
}

std::optional<PopupBand> frmPop::restBand() const {
    if (corner_ < 1 || corner_ > 4 || moved_) return std::nullopt;
    return PopupBandAt(restTwips_, heightTwips_);
}

bool frmPop::flashing() const {
    return timer_->isActive();
}

void frmPop::showMenu() {
    mnuPop_->popup(lblDrop_->mapToGlobal(QPoint(0, lblDrop_->height())));
}

void frmPop::ExportToTextFile() {
    const QString file = hub_.ChooseExportFile(node_.LangText(5201));
    if (file.isEmpty()) return;
    if (ExportKindFor(file.toStdString()) != ExportKind::Text) return;
    std::vector<std::string> records;
    // Each alert as the popup of old wrote its one: a line break, then the message.
    for (const QString& text : textsInOrder()) records.push_back("\r\n" + text.toStdString());
    try {
        WriteTextRecords(file.toStdString(), records);
    } catch (const LanyxError& e) {
        QMessageBox::warning(this, windowTitle(),
                             tr("%1 could not be written.\n\n%2").arg(file, QString::fromUtf8(e.what())));
    }
}

void frmPop::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!(windowFlags() & Qt::FramelessWindowHint)) return;
    // Without the desktop's frame the popup draws its own edge.
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void frmPop::contextMenuEvent(QContextMenuEvent* event) {
    mnuPop_->popup(event->globalPos());
    event->accept();
}

bool frmPop::eventFilter(QObject* watched, QEvent* event) {
    // A right-click anywhere on the popup opens its menu, the alerts included.
    if (event->type() == QEvent::ContextMenu &&
        (watched == txtAlerts_ || watched == txtAlerts_->viewport() || watched == picImg_ || watched == lblFrom_)) {
        mnuPop_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    // Dragged by its title.
    // Only a mouse event is cast to one: the filter sees every kind.
    const bool mouse = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove ||
                       event->type() == QEvent::MouseButtonRelease;
    if (mouse && (watched == lblFrom_ || watched == picImg_) && windowFlags() & Qt::FramelessWindowHint) {
        auto* m = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonPress && m->button() == Qt::LeftButton) {
            dragFrom_ = m->globalPosition().toPoint() - frameGeometry().topLeft();
            aniTimer_->stop();
            return true;
        }
        if (event->type() == QEvent::MouseMove && (m->buttons() & Qt::LeftButton) && !dragFrom_.isNull()) {
            move(m->globalPosition().toPoint() - dragFrom_);
            // Its place along the edge is free for the next popup.
            moved_ = true;
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) dragFrom_ = QPoint();
    }
    const bool click = event->type() == QEvent::MouseButtonRelease &&
                       static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    const bool key = event->type() == QEvent::KeyPress && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                                                           static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter ||
                                                           static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space);
    const bool menuKey = event->type() == QEvent::KeyPress &&
                         (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Menu ||
                          (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F10 &&
                           static_cast<QKeyEvent*>(event)->modifiers() & Qt::ShiftModifier));
    if (menuKey) {
        showMenu();
        return true;
    }
    if (click || key) {
        if (watched == lblClose_) {
            close();
            return true;
        }
        if (watched == lblDrop_) {
            showMenu();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lanyx::ui

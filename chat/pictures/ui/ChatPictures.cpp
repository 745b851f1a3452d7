#include "ChatPictures.h"

#include "PictureTransfers.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTextEdit>
#include <QUrl>

namespace lanyx::pictures::ui {

ChatPictures::ChatPictures(QWidget* window, QTextEdit* transcript, PictureTransfers& pictures,
                           std::function<Targets()> targets)
    : QObject(window), window_(window), pictures_(pictures), targets_(std::move(targets)), inline_(transcript) {
    connect(&pictures_, &PictureTransfers::pictureSent, this, [this](const PictureNote& note) {
        lastSent_ = note.line;
        lastSentPath_ = note.path;
    });
}

QString ChatPictures::caption(const QString& sender) {
    return tr("%1 sent a picture:").arg(sender);
}

void ChatPictures::watchPaste(QLineEdit* input) {
    input_ = input;
    input->installEventFilter(this);
}

void ChatPictures::watchDrops(QWidget* widget) {
    // Installed after the file drop's filter: asked first.
    widget->installEventFilter(this);
}

QAction* ChatPictures::addTo(QMenu* menu) {
    auto* action = menu->addAction(tr("Send &Picture..."));
    action->setObjectName(QStringLiteral("mnuSendPicture"));
    connect(action, &QAction::triggered, this, &ChatPictures::pick);
    connect(menu, &QMenu::aboutToShow, action, [this, action] { action->setEnabled(anyTakes()); });
    return action;
}

bool ChatPictures::anyTakes() const {
    const auto t = targets_();
    return std::any_of(t.to.begin(), t.to.end(), [&](const QString& n) { return pictures_.reach(n) == Reach::Yes; });
}

bool ChatPictures::isPictureFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() <= 0 || info.size() > static_cast<qint64>(kMaxBytes)) return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(16);
    return TypeOfBytes(std::string_view(head.constData(), static_cast<std::size_t>(head.size()))).has_value();
}

std::uint64_t ChatPictures::sent(std::uint64_t line, Refusal why) {
    if (line && line == lastSent_ && shownHere) shownHere(lastSentPath_);
    if (!explain) return line;
    if (line) explain(tr("Picture sent."));
    else if (why == Refusal::TooLarge) explain(tr("The picture is larger than 10 MiB."));
    else if (why == Refusal::NotAPicture) explain(tr("This picture cannot be sent (PNG, JPEG, GIF or WebP)."));
    else explain(tr("Nobody in this chat takes pictures."));
    return line;
}

std::uint64_t ChatPictures::sendClipboard() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime || !mime->hasImage()) return 0;
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) return sent(0, Refusal::NotAPicture);
    Refusal why = Refusal::None;
    const auto t = targets_();
    return sent(pictures_.send(t.to, t.chat, png, &why), why);
}

std::uint64_t ChatPictures::sendFile(const QString& path) {
    Refusal why = Refusal::None;
    const auto t = targets_();
    return sent(pictures_.sendFile(t.to, t.chat, path, &why), why);
}

void ChatPictures::pick() {
    const QString path = QFileDialog::getOpenFileName(window_, tr("Send Picture"), QString(),
                                                      tr("Pictures (*.png *.jpg *.jpeg *.gif *.webp)"));
    if (!path.isEmpty()) sendFile(path);
}

QStringList ChatPictures::droppedPictures(const QMimeData* mime) const {
    if (!mime || !mime->hasUrls() || !anyTakes()) return {};
    QStringList paths;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile() || !isPictureFile(url.toLocalFile())) return {};  // a mixed drop stays files
        paths << url.toLocalFile();
    }
    return paths;
}

bool ChatPictures::eventFilter(QObject* watched, QEvent* event) {
    if (watched == input_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            const QMimeData* mime = QApplication::clipboard()->mimeData();
            if (mime && mime->hasImage() && !mime->hasText()) {
                sendClipboard();
                return true;
            }
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (droppedPictures(drag->mimeData()).isEmpty()) return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const auto paths = droppedPictures(drop->mimeData());
        if (paths.isEmpty()) return false;
        drop->acceptProposedAction();
        for (const auto& p : paths) sendFile(p);
        return true;
    }
    default: return false;
    }
}

}  // namespace lanyx::pictures::ui

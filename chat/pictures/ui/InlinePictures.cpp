#include "InlinePictures.h"

#include "PictureDecoder.h"

#include <QDesktopServices>
#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextImageFormat>
#include <QUrl>

#include <functional>

namespace lanyx::pictures::ui {

namespace {
// The natural size, kept with each picture's format.
constexpr int kNaturalWidth = QTextFormat::UserProperty + 71;
constexpr int kNaturalHeight = QTextFormat::UserProperty + 72;
// Drawn no taller than this, whatever the width.
constexpr int kMaxHeight = 480;
}  // namespace

InlinePictures::InlinePictures(QTextEdit* view) : view_(view) {
    view_->viewport()->installEventFilter(this);
    open = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
}

QSizeF InlinePictures::fitted(QSize natural, int width, qreal ratio) {
    if (natural.isEmpty()) return {};
    // A picture of as many device pixels as the screen has is drawn at
    // its own size in them.
    QSizeF size = QSizeF(natural) / std::max<qreal>(ratio, 1.0);
    if (width > 0 && size.width() > width) size *= width / size.width();
    if (size.height() > kMaxHeight) size *= kMaxHeight / size.height();
    return size;
}

bool InlinePictures::append(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const auto decoded = DecodePicture(f.read(static_cast<qint64>(kMaxBytes) + 1));
    if (decoded.error != DecodeError::None) return false;
    auto* doc = view_->document();
    const QUrl name(QStringLiteral("picture:%1").arg(++shown_));
    doc->addResource(QTextDocument::ImageResource, name, decoded.image);
    QTextImageFormat image;
    image.setName(name.toString());
    image.setProperty(kNaturalWidth, decoded.image.width());
    image.setProperty(kNaturalHeight, decoded.image.height());
    image.setToolTip(path);
    image.setAnchorHref(QUrl::fromLocalFile(path).toString());
    const QSizeF size = fitted(decoded.image.size(), view_->viewport()->width() - 2 * int(doc->documentMargin()) - 4,
                               view_->devicePixelRatioF());
    image.setWidth(size.width());
    image.setHeight(size.height());
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    if (!doc->isEmpty()) cursor.insertBlock();
    cursor.insertImage(image);
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
    return true;
}

QSizeF InlinePictures::lastShownSize() const {
    QSizeF last;
    for (auto block = view_->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const auto f = it.fragment().charFormat(); f.isImageFormat())
                last = {f.toImageFormat().width(), f.toImageFormat().height()};
    return last;
}

QString InlinePictures::pathAt(const QPoint& pos) const {
    const QString href = view_->anchorAt(pos);
    const QUrl url(href);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

void InlinePictures::refit() {
    const int width = view_->viewport()->width() - 2 * int(view_->document()->documentMargin()) - 4;
    if (width == width_ || shown_ == 0) return;
    width_ = width;
    const qreal ratio = view_->devicePixelRatioF();
    for (auto block = view_->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const auto fragment = it.fragment();
            auto f = fragment.charFormat();
            if (!f.isImageFormat() || !f.hasProperty(kNaturalWidth)) continue;
            auto image = f.toImageFormat();
            const QSizeF size = fitted({f.intProperty(kNaturalWidth), f.intProperty(kNaturalHeight)}, width, ratio);
            if (qFuzzyCompare(image.width(), size.width()) && qFuzzyCompare(image.height(), size.height())) continue;
            image.setWidth(size.width());
            image.setHeight(size.height());
            QTextCursor c(view_->document());
            c.setPosition(fragment.position());
            c.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(image);
        }
}

bool InlinePictures::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport()) {
        if (event->type() == QEvent::Resize) refit();
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton)
                if (const QString path = pathAt(mouse->position().toPoint()); !path.isEmpty() && open) {
                    open(path);
                    return true;
                }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace lanyx::pictures::ui

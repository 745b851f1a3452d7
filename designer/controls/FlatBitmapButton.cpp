#include "controls/FlatBitmapButton.h"

#include "controls/ControlColors.h"

#include <QBitmap>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

CFlatBitmapButton::CFlatBitmapButton(QWidget* parent, int controlId) : QAbstractButton(parent), m_controlId(controlId) {
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::clicked, this, [this]() { Q_EMIT Command(m_controlId); });
}

void CFlatBitmapButton::SetBitmap(const QPixmap& twoImages) {
    QPixmap masked = twoImages;
    masked.setMask(twoImages.createMaskFromColor(QColor(255, 0, 255), Qt::MaskInColor));
    const int half = masked.width() / 2;
    m_normal = masked.copy(0, 0, half, masked.height());
    m_hotImage = masked.copy(half, 0, masked.width() - half, masked.height());
    updateGeometry();
    update();
}

QSize CFlatBitmapButton::sizeHint() const {
    return m_normal.isNull() ? QSize(24, 24) : m_normal.size() + QSize(8, 8);
}

void CFlatBitmapButton::enterEvent(QEnterEvent* event) {
    m_hot = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CFlatBitmapButton::leaveEvent(QEvent* event) {
    m_hot = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CFlatBitmapButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor face = palette().color(QPalette::Button);
    const bool enabled = isEnabled();
    const bool hot = enabled && m_hot;
    const bool sunken = enabled && (isDown() || isChecked());
    p.fillRect(rect(), isChecked() && !hot ? FlatCheckedFace(face) : face);

    if (sunken || hot) {
        const QColor light = FlatLightEdge(face);
        const QColor dark = FlatDarkEdge(face);
        const QColor topLeft = sunken ? dark : light;
        const QColor bottomRight = sunken ? light : dark;
        const QRect r = rect().adjusted(0, 0, -1, -1);
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }

    QPixmap image = (hot || isDown()) && enabled ? m_hotImage : m_normal;
    if (image.isNull()) return;
    if (!enabled) {
        QStyleOption option;
        option.initFrom(this);
        image = style()->generatedIconPixmap(QIcon::Disabled, m_normal, &option);
    }
    QPoint at((width() - image.width()) / 2, (height() - image.height()) / 2);
    if (sunken) at += QPoint(1, 1);
    p.drawPixmap(at, image);
}

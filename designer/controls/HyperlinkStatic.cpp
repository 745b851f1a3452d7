#include "controls/HyperlinkStatic.h"

#include <QMouseEvent>

CHyperlinkStatic::CHyperlinkStatic(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAutoFillBackground(true);
    ApplyLook();
}

void CHyperlinkStatic::SetLinkStyle(int flags) {
    m_flags = flags;
    ApplyLook();
}

void CHyperlinkStatic::SetLinkCursor(const QCursor& cursor) {
    m_cursor = cursor;
}

void CHyperlinkStatic::SetLinkText(const QString& text) {
    setText(text);
    ApplyLook();
}

void CHyperlinkStatic::ApplyLook() {
    m_applying = true;
    QFont f = parentWidget() ? parentWidget()->font() : QFont();
    f.setBold(m_flags & kBold);
    f.setItalic(m_flags & kItalic);
    f.setUnderline(m_hover || (m_flags & kUnderline));
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, m_hover ? HoverColor() : NormalColor());
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    if (m_flags & kAutoSize) adjustSize();
    m_applying = false;
}

void CHyperlinkStatic::enterEvent(QEnterEvent* event) {
    m_hover = true;
    if (m_cursor) setCursor(*m_cursor);
    ApplyLook();
    QLabel::enterEvent(event);
}

void CHyperlinkStatic::leaveEvent(QEvent* event) {
    m_hover = false;
    ApplyLook();
    QLabel::leaveEvent(event);
}

void CHyperlinkStatic::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Q_EMIT Clicked();
}

void CHyperlinkStatic::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::ParentChange && !m_applying) ApplyLook();
}

#include "controls/WidgetPreview.h"

#include <QPainter>
#include <QSvgRenderer>

CWidgetPreview::CWidgetPreview(QWidget* parent) : QFrame(parent), m_renderer(new QSvgRenderer(this)) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setObjectName(QStringLiteral("Preview"));
}

CWidgetPreview::~CWidgetPreview() = default;

void CWidgetPreview::SetMovie(const QString& path) {
    m_movie = path;
    // A file that is gone or is not an SVG leaves an empty renderer.
    if (path.isEmpty() || !m_renderer->load(path)) m_renderer->load(QByteArray());
    update();
}

void CWidgetPreview::Play() {
    m_playing = true;
    update();
}

void CWidgetPreview::Stop() {
    m_playing = false;
    update();
}

void CWidgetPreview::StopPlay() {
    Stop();
}

void CWidgetPreview::SetBackgroundColor(const QString& colour) {
    m_background = colour.isEmpty() ? QColor() : QColor(colour);
    update();
}

QColor CWidgetPreview::BackgroundColor() const {
    return m_background.isValid() ? m_background : palette().color(QPalette::Base);
}

bool CWidgetPreview::HasPicture() const {
    return m_playing && m_renderer->isValid();
}

void CWidgetPreview::paintEvent(QPaintEvent* event) {
    {
        QPainter p(this);
        const QRect area = contentsRect();
        p.fillRect(area, BackgroundColor());
        if (HasPicture() && isEnabled()) {
            QSizeF size = m_renderer->defaultSize();
            if (size.isEmpty()) size = area.size();
            // Never larger than drawn, shrunk to fit with a small margin.
            const QSizeF room = QSizeF(area.size()) - QSizeF(8, 8);
            if (size.width() > room.width() || size.height() > room.height()) size.scale(room, Qt::KeepAspectRatio);
            const QRectF target(area.left() + (area.width() - size.width()) / 2,
                                area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
            p.setRenderHint(QPainter::Antialiasing);
            m_renderer->render(&p, target);
        }
    }
    QFrame::paintEvent(event);
}

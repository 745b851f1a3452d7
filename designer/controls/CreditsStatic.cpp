#include "controls/CreditsStatic.h"

#include "controls/ControlColors.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTimerEvent>
#include <cmath>
#include <cstring>

namespace {

int DevicePixels(int layoutPixels, qreal ratio) {
    return std::max(1, static_cast<int>(std::ceil(layoutPixels * ratio - 1e-9)));
}

}  // namespace

CreditsLine CreditsLine::Parse(const QString& line) {
    CreditsLine out;
    if (line.isEmpty()) return out;
    const QChar last = line.back();
    out.text = line.left(line.size() - 1);
    switch (last.unicode()) {
    case 9: out.style = Style::Title; break;
    case 10: out.style = Style::SecondTitle; break;
    case 13: out.style = Style::Heading; break;
    case u'^': out.style = Style::Picture; break;
    default: out.style = Style::Body; out.text = line;  // a body line's last character is text
    }
    return out;
}

int CreditsLine::FontPixels(Style style) {
    switch (style) {
    case Style::Title: return 21;
    case Style::SecondTitle: return 19;
    case Style::Heading: return 17;
    case Style::Picture: return 0;
    case Style::Body: return 15;
    }
    return 15;
}

int CreditsLine::ColorSlot(Style style) {
    switch (style) {
    case Style::Title: return 1;
    case Style::SecondTitle: return 2;
    case Style::Heading: return 3;
    case Style::Picture: return -1;
    case Style::Body: return 4;
    }
    return 4;
}

CCreditsStatic::CCreditsStatic(QWidget* parent) : QFrame(parent) {
    m_colors = {palette().color(QPalette::Window), QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 255, 255),
                QColor(255, 255, 255)};
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CCreditsStatic::~CCreditsStatic() {
    m_timer.stop();
    m_lines.clear();
}

void CCreditsStatic::SetCredits(const QString& text, QChar separator) {
    m_lines = text.split(separator);
    m_image = QImage();
    update();
}

void CCreditsStatic::SetColor(int slot, const QColor& color) {
    if (slot >= 0 && slot < static_cast<int>(m_colors.size())) m_colors[slot] = color;
}

void CCreditsStatic::SetSpeed(int slot, int milliseconds) {
    if (slot >= 0 && slot < static_cast<int>(m_speeds.size()) && milliseconds > 0) m_speeds[slot] = milliseconds;
}

void CCreditsStatic::SetCurrentSpeed(int slot) {
    if (slot >= 0 && slot < static_cast<int>(m_speeds.size())) m_speedSlot = slot;
    if (m_timer.isActive()) m_timer.start(CurrentInterval(), this);
}

void CCreditsStatic::SetGradient(int mode) {
    m_gradient = mode;
}

void CCreditsStatic::SetPictureProvider(std::function<QPixmap(const QString&)> provider) {
    m_pictures = std::move(provider);
}

QFont CCreditsStatic::FontFor(CreditsLine::Style style) const {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(std::max(1, CreditsLine::FontPixels(style)));
    f.setWeight(style == CreditsLine::Style::Body ? QFont::Thin : QFont::Bold);
    return f;
}

int CCreditsStatic::LineHeight(const CreditsLine& line) const {
    if (line.style == CreditsLine::Style::Picture) {
        const QPixmap pic = m_pictures ? m_pictures(line.text) : QPixmap();
        return pic.isNull() ? 1 : std::max(1, qRound(pic.deviceIndependentSize().height()));
    }
    // The font's pixel height is the height of its text, blank lines included.
    return CreditsLine::FontPixels(line.style);
}

QColor CCreditsStatic::BackgroundAt(int x) const {
    if (m_gradient < 1 || m_gradient > 4 || width() <= 0) return m_colors[0];
    const int band = std::clamp(x * 256 / width(), 0, 255);
    return CreditsBandColor(m_gradient, m_colors[0], band);
}

void CCreditsStatic::SetDevicePixelRatio(qreal ratio) {
    m_ratio = ratio > 0 ? ratio : 0;
    m_image = QImage();
    if (m_current >= 0) m_lineImage = RenderLine(CreditsLine::Parse(m_lines[m_current]));
    update();
}

qreal CCreditsStatic::DrawingRatio() const {
    return m_ratio > 0 ? m_ratio : devicePixelRatioF();
}

// An image of width x height layout pixels, drawn at the screen's density.
QImage CCreditsStatic::NewImage(int width, int height) const {
    const qreal ratio = DrawingRatio();
    QImage image(DevicePixels(width, ratio), DevicePixels(height, ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

bool CCreditsStatic::ImageFits() const {
    const qreal ratio = DrawingRatio();
    return !m_image.isNull() && qFuzzyCompare(m_image.devicePixelRatio(), ratio) &&
           m_image.size() == QSize(DevicePixels(width(), ratio), DevicePixels(height(), ratio));
}

void CCreditsStatic::FillBackground(QImage& image, const QRect& area) const {
    QPainter p(&image);
    if (m_gradient < 1 || m_gradient > 4) {
        p.fillRect(area, m_colors[0]);
        return;
    }
    const int w = qRound(image.deviceIndependentSize().width());
    for (int k = 0; k < 256; ++k) {
        const int x0 = k * w / 256;
        const int x1 = (k + 1) * w / 256;
        if (x1 > x0)
            p.fillRect(QRect(x0, area.top(), x1 - x0, area.height()), CreditsBandColor(m_gradient, m_colors[0], k));
    }
}

QImage CCreditsStatic::RenderLine(const CreditsLine& line) const {
    const int h = std::max(1, LineHeight(line));
    const QRect area(0, 0, std::max(1, width()), h);
    QImage image = NewImage(area.width(), area.height());
    FillBackground(image, area);
    QPainter p(&image);
    if (line.style == CreditsLine::Style::Picture) {
        const QPixmap pic = m_pictures ? m_pictures(line.text) : QPixmap();
        if (!pic.isNull()) p.drawPixmap(QPointF((area.width() - pic.deviceIndependentSize().width()) / 2, 0), pic);
    } else if (!line.text.isEmpty()) {
        p.setFont(FontFor(line.style));
        p.setPen(m_colors[CreditsLine::ColorSlot(line.style)]);
        p.drawText(area, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, line.text);
    }
    return image;
}

void CCreditsStatic::StartScrolling() {
    if (m_lines.isEmpty()) return;
    m_image = QImage();
    m_next = 0;
    m_current = -1;
    m_count = 1;
    m_timer.start(CurrentInterval(), this);
}

void CCreditsStatic::StopScrolling() {
    m_timer.stop();
}

void CCreditsStatic::NextLine() {
    if (m_lines.isEmpty()) return;
    if (m_next >= m_lines.size()) m_next = 0;  // after the last line the first follows at once
    m_current = m_next++;
    const CreditsLine line = CreditsLine::Parse(m_lines[m_current]);
    m_lineHeight = std::max(1, LineHeight(line));
    m_lineImage = RenderLine(line);
    if (line.style != CreditsLine::Style::Picture && !line.text.isEmpty()) {
        const int textWidth = QFontMetrics(FontFor(line.style)).horizontalAdvance(line.text);
        m_bandWidth = std::max(m_bandWidth, std::min(textWidth, width()));
    } else if (line.style == CreditsLine::Style::Picture && m_pictures) {
        m_bandWidth = std::max(m_bandWidth, std::min(m_pictures(line.text).width(), width()));
    }
    m_count = 1;
}

void CCreditsStatic::Tick() {
    if (m_lines.isEmpty() || width() <= 0 || height() <= 0) return;
    const qreal ratio = DrawingRatio();
    if (!ImageFits()) {
        m_image = NewImage(width(), height());
        FillBackground(m_image, rect());
    }
    // After a move to a screen of another density the line in hand is drawn
    // afresh, so that its rows match the picture they are added to.
    if (m_current >= 0 && !qFuzzyCompare(m_lineImage.devicePixelRatio(), ratio))
        m_lineImage = RenderLine(CreditsLine::Parse(m_lines[m_current]));
    ++m_count;
    if (m_current < 0 || m_count > m_lineHeight) NextLine();

    // A step is one layout pixel: as many rows of the image as the screen
    // has for it (on a 1.5 screen one and two in turn).
    const int first = static_cast<int>(std::floor((m_count - 1) * ratio + 1e-9));
    const int end = static_cast<int>(std::floor(m_count * ratio + 1e-9));
    const int h = m_image.height();
    const int rows = std::clamp(end - first, 0, h);
    if (rows == 0) {
        update();
        return;
    }
    // Only the band that has ever held text moves: the background is the same
    // all the way down each column, so the rest would not change anyway.
    const int band = std::min(DevicePixels(m_bandWidth, ratio), m_image.width());
    const int x0 = (m_image.width() - band) / 2;
    if (m_bandWidth > 0) {
        for (int y = 0; y + rows < h; ++y)
            std::memcpy(m_image.scanLine(y) + 4 * x0, m_image.scanLine(y + rows) + 4 * x0, 4 * band);
    }
    if (!m_lineImage.isNull() && m_lineImage.width() == m_image.width()) {
        for (int i = 0; i < rows; ++i) {
            const int row = std::clamp(first + i, 0, m_lineImage.height() - 1);
            std::memcpy(m_image.scanLine(h - rows + i), m_lineImage.constScanLine(row), 4 * m_image.width());
        }
    }
    update();
}

void CCreditsStatic::BuildStill() {
    m_image = NewImage(width(), height());
    FillBackground(m_image, rect());
    QPainter p(&m_image);
    int y = 0;
    for (const QString& text : m_lines) {
        if (y >= height()) break;
        const CreditsLine line = CreditsLine::Parse(text);
        p.drawImage(QPoint(0, y), RenderLine(line));
        y += std::max(1, LineHeight(line));
    }
}

void CCreditsStatic::paintEvent(QPaintEvent*) {
    if (!m_timer.isActive() && !ImageFits()) BuildStill();
    QPainter p(this);
    if (m_image.isNull()) p.fillRect(rect(), m_colors[0]);
    else p.drawImage(0, 0, m_image);
}

void CCreditsStatic::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_timer.timerId()) Tick();
    else QFrame::timerEvent(event);
}

void CCreditsStatic::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    m_image = QImage();
    if (m_current >= 0) m_lineImage = RenderLine(CreditsLine::Parse(m_lines[m_current]));
}

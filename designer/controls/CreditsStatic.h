#pragma once
// Scrolling credits. The text is one string of lines; the last character of
// a line chooses its style and is not shown: tab title, line feed second
// title, carriage return heading, '^' picture (the text before it names the
// picture), anything else body.

#include <QBasicTimer>
#include <QColor>
#include <QFrame>
#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <array>
#include <functional>

struct CreditsLine {
    enum class Style { Title, SecondTitle, Heading, Picture, Body };
    Style style = Style::Body;
    QString text;  // without the style character

    static CreditsLine Parse(const QString& line);
    static int FontPixels(Style style);  // 0 for pictures
    static int ColorSlot(Style style);   // -1 for pictures
};

class CCreditsStatic : public QFrame {
    Q_OBJECT
public:
    explicit CCreditsStatic(QWidget* parent = nullptr);
    ~CCreditsStatic() override;

    void SetCredits(const QString& text, QChar separator = u'|');
    void SetColor(int slot, const QColor& color);
    QColor Color(int slot) const { return m_colors.at(slot); }
    void SetSpeed(int slot, int milliseconds);
    void SetCurrentSpeed(int slot);
    int CurrentInterval() const { return m_speeds.at(m_speedSlot); }
    void SetGradient(int mode);
    void SetPictureProvider(std::function<QPixmap(const QString&)> provider);
    void StartScrolling();
    void StopScrolling();

    bool IsScrolling() const { return m_timer.isActive(); }
    // One step of the scroll, as the timer does it.
    void Tick();
    int CurrentLineIndex() const { return m_current; }
    int CurrentLineHeight() const { return m_lineHeight; }
    int BandWidth() const { return m_bandWidth; }
    const QStringList& Lines() const { return m_lines; }
    // Height of a line as drawn in its style (an empty line as high as "W").
    int LineHeight(const CreditsLine& line) const;
    QColor BackgroundAt(int x) const;

    // Pixels of the screen per pixel of the layout the credits are drawn at;
    // 0 (the default) follows the screen the widget is on.
    void SetDevicePixelRatio(qreal ratio);
    qreal DrawingRatio() const;
    // What is on show: the size of the widget times DrawingRatio() in pixels.
    const QImage& Image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent*) override;
    void timerEvent(QTimerEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    QFont FontFor(CreditsLine::Style style) const;
    QImage RenderLine(const CreditsLine& line) const;
    void FillBackground(QImage& image, const QRect& area) const;
    void BuildStill();
    QImage NewImage(int width, int height) const;
    bool ImageFits() const;
    void NextLine();

    QStringList m_lines;
    std::array<QColor, 5> m_colors;
    std::array<int, 3> m_speeds = {70, 40, 5};
    int m_speedSlot = 1;
    int m_gradient = 0;
    qreal m_ratio = 0;
    std::function<QPixmap(const QString&)> m_pictures;

    QBasicTimer m_timer;
    int m_next = 0;      // index of the line to come
    int m_current = -1;  // index of the line scrolling in
    int m_count = 0;     // pixels of it scrolled in
    int m_lineHeight = 15;
    int m_bandWidth = 0;  // in layout pixels
    QImage m_lineImage;
    QImage m_image;
};

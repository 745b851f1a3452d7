#pragma once
// Shows a widget's preview file beside the template lists: the SVG the
// widget server writes for previews, scaled to fit. With no movie, or a file
// that does not render, it is a plain area in its background colour.

#include <QColor>
#include <QFrame>
#include <QString>

class QSvgRenderer;

class CWidgetPreview : public QFrame {
    Q_OBJECT
public:
    explicit CWidgetPreview(QWidget* parent = nullptr);
    ~CWidgetPreview() override;

    void SetMovie(const QString& path);
    QString Movie() const { return m_movie; }
    void Play();
    void Stop();
    void StopPlay();
    // "#rrggbb", or empty for the window colour.
    void SetBackgroundColor(const QString& colour);
    QColor BackgroundColor() const;
    bool IsPlaying() const { return m_playing; }
    bool HasPicture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_movie;
    QColor m_background;
    bool m_playing = false;
    QSvgRenderer* m_renderer;
};

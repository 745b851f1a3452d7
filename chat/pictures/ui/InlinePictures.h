#pragma once
// Pictures in a chat window's transcript (a QTextEdit): each one an image
// resource of the document, drawn as wide as the view allows (never wider
// than it is), sharp on screens of high density; a click on one opens the
// kept file in full size.
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

#include <functional>

class QTextEdit;

namespace lanyx::pictures::ui {

class InlinePictures : public QObject {
    Q_OBJECT
public:
    // Watches `view`: its width, and clicks on its pictures. Held by its
    // owner (no parent of its own).
    explicit InlinePictures(QTextEdit* view);
    // Puts the picture kept at `path` at the end of the transcript, in a
    // block of its own. False when it does not decode within the limits.
    bool append(const QString& path);
    // The pictures shown, and the size the last one is drawn at.
    int shown() const { return shown_; }
    QSizeF lastShownSize() const;
    // The file of the picture at `pos` of the view's viewport, if any.
    QString pathAt(const QPoint& pos) const;
    // How the full-size picture is opened (the desktop's viewer unless set).
    std::function<void(const QString& path)> open;

    // The size a picture of `natural` pixels is drawn at in a view `width`
    // wide (its margins off), at `ratio` device pixels a pixel.
    static QSizeF fitted(QSize natural, int width, qreal ratio);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refit();
    QTextEdit* view_;
    int shown_ = 0;
    int width_ = 0;
};

}  // namespace lanyx::pictures::ui

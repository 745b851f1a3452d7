#pragma once
// A chat window's pictures: Ctrl+V in the input line with a picture on the
// clipboard sends it (as PNG), a picture file dropped onto the window is
// sent as a picture where the members take pictures (other files go on to
// the file transfers' drop), the Users menu picks one, and those said show
// in the transcript (InlinePictures). The window says whom and which chat.
#include "InlinePictures.h"
#include "PictureService.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <string>

class QAction;
class QLineEdit;
class QMenu;
class QMimeData;
class QTextEdit;
class QWidget;

namespace lanyx::pictures {
class PictureTransfers;
}

namespace lanyx::pictures::ui {

class ChatPictures : public QObject {
    Q_OBJECT
public:
    struct Targets {
        QStringList to;    // the members a picture goes to
        std::string chat;  // "#id" for a shared chat, else empty
    };
    ChatPictures(QWidget* window, QTextEdit* transcript, PictureTransfers& pictures, std::function<Targets()> targets);

    // Ctrl+V in `input`; drops onto `widget`; the menu entry.
    void watchPaste(QLineEdit* input);
    void watchDrops(QWidget* widget);
    QAction* addTo(QMenu* menu);
    // The status line: what became of a picture the user sent.
    std::function<void(const QString&)> explain;
    // A picture the user sent from here, to show in the window.
    std::function<void(const QString& path)> shownHere;
    // The line over a picture in the transcript.
    static QString caption(const QString& sender);

    // The clipboard's picture, or the file's, to the window's members.
    // The line's id, 0 when nothing went (explained).
    std::uint64_t sendClipboard();
    std::uint64_t sendFile(const QString& path);
    // The picture file chooser.
    void pick();
    // A file that goes as a picture when dropped: one of the four types by
    // its first bytes, within the size.
    static bool isPictureFile(const QString& path);
    InlinePictures& inlined() { return inline_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringList droppedPictures(const QMimeData* mime) const;
    bool anyTakes() const;
    std::uint64_t sent(std::uint64_t line, Refusal why);

    QWidget* window_;
    PictureTransfers& pictures_;
    std::function<Targets()> targets_;
    InlinePictures inline_;
    QLineEdit* input_ = nullptr;
    std::uint64_t lastSent_ = 0;
    QString lastSentPath_;
};

}  // namespace lanyx::pictures::ui

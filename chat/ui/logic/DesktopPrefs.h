#pragma once
// The desktop program's own settings, in Desktop.ini beside User.ini (which
// keeps its fixed records): how alerts are shown and the sound for a chat
// line arriving in a window in the background, the folders the file
// dialogs were last in. Plain "Key=Value" lines in
// UTF-8; unknown keys are kept as they are, a damaged line is skipped.
#include <QString>
#include <QStringList>

namespace lanyx::ui {

struct DesktopPrefs {
    // Alerts through the desktop's notification service instead of popups.
    bool notifications = false;
    // Other copies of ours are told which of their lines the user saw.
    bool readMarks = true;
    // "(S)" silence (the default), "(B)" the beep, else a .wav file.
    QString chatSound = QStringLiteral("(S)");
    // Where the file dialogs were last: offers saved, files sent, exports.
    QString offerFolder, sendFolder, exportFolder;
    // Lines this program does not know, written back unchanged.
    QStringList other;

    static QString FileName() { return QStringLiteral("Desktop.ini"); }
    // A missing or unreadable file gives the defaults.
    static DesktopPrefs Read(const QString& file);
    // Written whole to a temporary file, then put in place; false on failure.
    bool Write(const QString& file) const;
    QByteArray toText() const;
    static DesktopPrefs fromText(const QByteArray& text);
};

// The Qt platform to ask for before the application starts, or "" for Qt's
// own choice. On a Wayland session a window cannot place itself (corner
// popups, sliding, staying on top), so where XWayland is there the program
// runs through it; the user's own QT_QPA_PLATFORM always wins.
struct SessionEnv {
    QString qpaPlatform;     // QT_QPA_PLATFORM
    QString sessionType;     // XDG_SESSION_TYPE
    QString waylandDisplay;  // WAYLAND_DISPLAY
    QString display;         // DISPLAY (set by the session when XWayland is available)
};
QString ChoosePlatform(const SessionEnv& env);
SessionEnv CurrentSessionEnv();

// Where an alert goes: the popup, or a desktop notification (chosen in the
// Options, or because the popup cannot be placed: a native Wayland window).
enum class AlertRoute { Popup, Notification };
AlertRoute RouteAlert(bool notificationsChosen, const QString& platformName, bool notificationServiceThere);

}  // namespace lanyx::ui

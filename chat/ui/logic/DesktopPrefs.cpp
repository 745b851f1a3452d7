#include "logic/DesktopPrefs.h"

#include "DurableFile.h"
#include "OutputFile.h"

#include <QFile>

namespace lanyx::ui {

namespace {
constexpr auto kNotifications = "Notifications";
constexpr auto kChatSound = "ChatSound";
constexpr auto kReadMarks = "ReadMarks";
constexpr const char* kFolders[] = {"OfferFolder", "SendFolder", "ExportFolder"};
QString DesktopPrefs::*const kFolderFields[] = {&DesktopPrefs::offerFolder, &DesktopPrefs::sendFolder,
                                                &DesktopPrefs::exportFolder};
int folderKey(const QString& key) {
    for (int i = 0; i < 3; ++i)
        if (key == QLatin1String(kFolders[i])) return i;
    return -1;
}
}  // namespace

DesktopPrefs DesktopPrefs::fromText(const QByteArray& text) {
    DesktopPrefs p;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        const int eq = line.indexOf('=');
        const QString key = QString::fromUtf8(line.left(eq)).trimmed();
        const QString value = QString::fromUtf8(line.mid(eq + 1)).trimmed();
        if (eq > 0 && key == QLatin1String(kNotifications) && (value == QLatin1Char('0') || value == QLatin1Char('1')))
            p.notifications = value == QLatin1Char('1');
        else if (eq > 0 && key == QLatin1String(kReadMarks) && (value == QLatin1Char('0') || value == QLatin1Char('1')))
            p.readMarks = value == QLatin1Char('1');
        else if (eq > 0 && key == QLatin1String(kChatSound) && !value.isEmpty() && !value.contains(QLatin1Char('/')) &&
                 !value.contains(QLatin1Char('\\')))
            p.chatSound = value;  // a file name in the program's folder, never a path
        else if (const int f = eq > 0 ? folderKey(key) : -1; f >= 0) p.*kFolderFields[f] = value;
        else if (eq > 0 && key != QLatin1String(kNotifications) && key != QLatin1String(kChatSound) &&
                 key != QLatin1String(kReadMarks))
            p.other.append(QString::fromUtf8(line));
    }
    return p;
}

QByteArray DesktopPrefs::toText() const {
    QByteArray out;
    out += QByteArray(kNotifications) + '=' + (notifications ? "1" : "0") + '\n';
    out += QByteArray(kChatSound) + '=' + chatSound.toUtf8() + '\n';
    out += QByteArray(kReadMarks) + '=' + (readMarks ? "1" : "0") + '\n';
    for (int i = 0; i < 3; ++i) {
        const QString& folder = this->*kFolderFields[i];
        // A folder name that would break the line is not remembered.
        if (!folder.isEmpty() && !folder.contains(QLatin1Char('\n')) && !folder.contains(QLatin1Char('\r')) &&
            folder.trimmed() == folder)
            out += QByteArray(kFolders[i]) + '=' + folder.toUtf8() + '\n';
    }
    for (const auto& line : other) out += line.toUtf8() + '\n';
    return out;
}

DesktopPrefs DesktopPrefs::Read(const QString& file) {
    QFile f(file);
    // Far larger than this file ever is: not read.
    if (!f.open(QIODevice::ReadOnly) || f.size() > (1 << 20)) return {};
    return fromText(f.readAll());
}

bool DesktopPrefs::Write(const QString& file) const {
    const QByteArray text = toText();
    std::string problem;
    return platform::replaceFile(platform::pathFromUtf8(file.toStdString()),
                                 std::string_view(text.constData(), static_cast<std::size_t>(text.size())), problem);
}

QString ChoosePlatform(const SessionEnv& env) {
    if (!env.qpaPlatform.isEmpty()) return {};
    const bool wayland = env.sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0 ||
                         !env.waylandDisplay.isEmpty();
    if (!wayland || env.display.isEmpty()) return {};
    // Through XWayland; should it fail to open after all, Wayland itself.
    return QStringLiteral("xcb;wayland");
}

SessionEnv CurrentSessionEnv() {
    return {qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("XDG_SESSION_TYPE"),
            qEnvironmentVariable("WAYLAND_DISPLAY"), qEnvironmentVariable("DISPLAY")};
}

AlertRoute RouteAlert(bool notificationsChosen, const QString& platformName, bool notificationServiceThere) {
    if (!notificationServiceThere) return AlertRoute::Popup;  // the popup is better than nothing
    if (notificationsChosen) return AlertRoute::Notification;
    return platformName.startsWith(QLatin1String("wayland"), Qt::CaseInsensitive) ? AlertRoute::Notification
                                                                                  : AlertRoute::Popup;
}

}  // namespace lanyx::ui

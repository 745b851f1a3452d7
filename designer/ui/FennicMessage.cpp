#include "ui/FennicMessage.h"

#include "core/StringTable.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <cstdio>

namespace {
std::function<bool(const QUrl&)>& Opener() {
    static std::function<bool(const QUrl&)> opener;
    return opener;
}

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

QMessageBox::StandardButton FennicMessageBox(QWidget* parent, const QString& text, MessageIcon icon,
                                             QMessageBox::StandardButtons buttons) {
    // Errors and warnings also go to whoever started the program from a terminal.
    if (icon == MessageIcon::Error || icon == MessageIcon::Exclamation)
        std::fprintf(stderr, "tavishfennic: %s\n", qUtf8Printable(QString(text).replace(u'\r', QString())));
    QMessageBox box(ToQt(icon), LoadStringResource(Ids::AppTitle), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton FennicMessage(QWidget* parent, int id, const QStringList& args, MessageIcon icon,
                                          QMessageBox::StandardButtons buttons) {
    return FennicMessageBox(parent, FormatMessage(id, args), icon, buttons);
}

bool ShellOpen(const QUrl& url) {
    if (!url.isValid() || url.isEmpty()) return false;
    if (Opener()) return Opener()(url);
    return QDesktopServices::openUrl(url);
}

void SetShellOpener(std::function<bool(const QUrl&)> opener) {
    Opener() = std::move(opener);
}

QUrl ShellTargetUrl(const QString& target) {
    if (target.isEmpty()) return {};
    if (QFileInfo(target).isAbsolute()) return QUrl::fromLocalFile(target);
    return QUrl(target, QUrl::StrictMode);
}

#pragma once
// The addresses behind the web-links menu: home page, help pages, update
// check for this version, bug report, feedback form, mail. A packager sets
// the base address with the LANYX_WEB_BASE build option.
#include <QString>
#include <QStringList>

#ifndef LANYX_WEB_BASE
#define LANYX_WEB_BASE "https://lanyx.example.org"
#endif
#ifndef LANYX_MAIL
#define LANYX_MAIL "mailto:lanyx@example.org"
#endif

namespace lanyx::ui {

inline QStringList WebLinks(const QString& version) {
    const QString base = QStringLiteral(LANYX_WEB_BASE);
    return {base + QLatin1Char('/'),
            base + QLatin1String("/help/"),
            base + QLatin1String("/update?version=") + version,
            base + QLatin1String("/bugs/new"),
            base + QLatin1String("/feedback"),
            QStringLiteral(LANYX_MAIL)};
}

}  // namespace lanyx::ui

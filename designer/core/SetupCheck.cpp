#include "core/SetupCheck.h"

#include "core/HelpTopics.h"
#include "core/TemplateLibrary.h"
#include "server/Pagelet.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString BindFailure(CPagelet::BindError error) {
    switch (error) {
    case CPagelet::BindError::NotRegistered: return QStringLiteral("not registered");
    case CPagelet::BindError::NoServerKey: return QStringLiteral("registered without a server file");
    case CPagelet::BindError::NotLoadable: return QStringLiteral("the server file cannot be loaded");
    case CPagelet::BindError::NotAWidgetServer: return QStringLiteral("the server file is not a widget server");
    case CPagelet::BindError::None: break;
    }
    return QStringLiteral("cannot be bound");
}

}  // namespace

SetupReport CheckSetup(const QString& programFolder, const QString& documentsFolder) {
    SetupReport r;
    r.lines << QStringLiteral("Program folder: %1").arg(Native(programFolder));
    for (const QString& file : CClassRegistry::DefaultFiles(programFolder))
        r.lines << QStringLiteral("Class registry: %1%2")
                       .arg(Native(file), QFileInfo::exists(file) ? QString() : QStringLiteral(" (none)"));

    CPagelet binding;
    if (binding.Bind(kWidgetServerProgID, CClassRegistry::LoadDefault(programFolder))) {
        r.ok = true;
        r.lines << QStringLiteral("Widget server %1: %2 (%3)")
                       .arg(kWidgetServerProgID, Native(binding.ServerFile()), binding.Strings()[0]);
        const TemplateFolders folders = MakeTemplateFolders(binding.ServerFolder());
        CTemplateList templates;
        EnumerateTemplates(folders, binding.ProgID(), templates);
        const auto shipped = templates.readOnly.count(true);
        if (folders.shippedWritable) {
            r.lines << QStringLiteral("Templates: %1 in %2").arg(templates.Count()).arg(Native(folders.shipped));
        } else {
            r.lines << QStringLiteral("Templates: %1 in %2 (read-only), %3 of your own in %4")
                           .arg(shipped)
                           .arg(Native(folders.shipped))
                           .arg(templates.Count() - shipped)
                           .arg(Native(folders.user));
        }
        r.lines << QStringLiteral("Sample page: %1")
                       .arg(binding.SamplePage().isEmpty() ? QStringLiteral("none") : Native(binding.SamplePage()));
    } else {
        r.lines << QStringLiteral("Widget server %1: %2").arg(kWidgetServerProgID, BindFailure(binding.LastError()));
    }

    const QString help = QDir(HelpLocationPrefix(programFolder)).filePath(QStringLiteral("index.htm"));
    r.lines << QStringLiteral("Help: %1%2")
                   .arg(Native(help), QFileInfo::exists(help) ? QString() : QStringLiteral(" (missing)"));
    // Where "My Widget" goes: beside the program in a portable copy.
    const QFileInfo home(programFolder);
    const QString work = home.isDir() && home.isWritable()
                             ? QDir(programFolder).filePath(QStringLiteral("My Widget"))
                             : QDir(documentsFolder).filePath(QStringLiteral("My Widget"));
    r.lines << QStringLiteral("Work folder: %1").arg(Native(work));
    return r;
}

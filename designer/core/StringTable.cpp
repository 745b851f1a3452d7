#include "core/StringTable.h"

#include <QHash>

QString LoadStringResource(int id) {
    static const QHash<int, QString> table = {
        {Ids::OleInitFailed,
         QStringLiteral("OLE initialization failed.  Make sure that the OLE libraries are the correct version.")},
        {Ids::AppTitle, QStringLiteral("Fennic")},
        {Ids::FailedToCreateObject, QStringLiteral("Failed to create object %s. Please reinstall the program.")},
        {Ids::AutomationError, QStringLiteral("Automation error: %s")},
        {Ids::InvalidName,
         QStringLiteral("You haven't input a name, or the name contains invalid characters. Only alphanumeric "
                        "character is acceptable in the name field.")},
        {Ids::SaveChanges, QStringLiteral("Save changes to current work?")},
        {Ids::NotAValidConfigFile, QStringLiteral("This file is not a valid configuration file of %s.")},
        {Ids::SaveFailed, QStringLiteral("An error occurred while saving to %s.")},
        {Ids::TemplateExists, QStringLiteral("Template \"%s\" already exists. Do you want to replace it?")},
        {Ids::TemplateSaved, QStringLiteral("Template has been saved successfully.")},
        {Ids::TemplateSaveFailed,
         QStringLiteral(
             "Failed to save template. Either the file is read-only, or you don't have right to change it.")},
        {Ids::CopySupportFailed, QStringLiteral("An error occurred while copying support files:\n")},
        {Ids::SupportCopied, QStringLiteral("Support files have been copied to \"%s\" successfully.")},
        {Ids::TemplateRenameFailed,
         QStringLiteral("Failed to rename this template. Either the template file \"%s\" is read-only, or you don't "
                        "have right to change it.")},
        {Ids::ConfirmDeleteTemplate, QStringLiteral("Are you sure to delete template \"%s\"?")},
        {Ids::TemplateDeleteFailed,
         QStringLiteral("Failed to delete this template. Either the template file \"%s\" is read-only, or you don't "
                        "have right to change it.")},
        {Ids::SelectTemplate, QStringLiteral("Please select a template or select \"Create blank Widget\"")},
        {Ids::ShippedTemplate,
         QStringLiteral("Template \"%s\" comes with the program and cannot be renamed or deleted. Save a widget as "
                        "a template of the same name to replace it with your own.")},
        {Ids::TemplateColumns, QStringLiteral("Name\nDescription")},
        {Ids::SupportColumns, QStringLiteral("Name\nPath\nWeb Path")},
        {Ids::OrderingAddress, QStringLiteral("https://www.meridex.example/tavishfennic/order.htm")},
        {Ids::WebSiteAddress, QStringLiteral("https://www.meridex.example/tavishfennic/")},
        {Ids::SupportMailAddress, QStringLiteral("mailto:fennic-support@meridex.example")},
        // The generated widget file is an SVG now, no longer a Flash movie.
        {Ids::PublishModified,
         QStringLiteral("Current work has been modified. You should save it to ensure the output widget file "
                        "(*.svg) is up to date. Save current work now?")},
        {Ids::PublishUnsaved,
         QStringLiteral("You must save current work before you can publish it. Save current work now?")},
    };
    return table.value(id);
}

QString FormatMessageText(const QString& format, const QStringList& args) {
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'%' && i + 1 < format.size()) {
            const QChar conversion = format[i + 1];
            if (conversion == u'%') {
                out += u'%';
                ++i;
                continue;
            }
            if (conversion == u's' || conversion == u'd') {
                out += next < args.size() ? args[next] : QString();
                ++next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    if (out.size() > kMessageBufferChars) out.truncate(kMessageBufferChars);
    return out;
}

QString FormatMessage(int id, const QStringList& args) {
    return FormatMessageText(LoadStringResource(id), args);
}

QString HelpLaunchFailedText() {
    return QStringLiteral("Failed to launch help file. Please check if it is installed correctly.");
}

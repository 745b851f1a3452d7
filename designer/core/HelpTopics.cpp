#include "core/HelpTopics.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

QString HelpTopicFor(int key) {
    static const QHash<int, QString> topics = {
        {HelpKey::Index, QStringLiteral("index.htm")},
        {HelpKey::NewDialog, QStringLiteral("interface/menu/file.htm#new")},
        {HelpKey::SaveAsTemplateDialog, QStringLiteral("interface/menu/file.htm#saveastemplate")},
        {HelpKey::ViewCodeDialog, QStringLiteral("interface/menu/file.htm#publish")},
        {HelpKey::InsertCodeDialog, QStringLiteral("interface/menu/file.htm#publish")},
        {HelpKey::SupportFilesDialog, QStringLiteral("interface/menu/file.htm#publish")},
        {HelpKey::TemplatesDialog, QStringLiteral("interface/menu/templates.htm")},
        {HelpKey::RenameDialog, QStringLiteral("interface/menu/templates.htm#rename")},
        {HelpKey::ExternalBrowsersDialog, QStringLiteral("interface/menu/preview.htm")},
        {HelpKey::HelpTopics, QStringLiteral("index.htm")},
        {HelpKey::Tutorial, QStringLiteral("tutorial/000Tutorial.htm")},
        {HelpKey::TavishEditor, QStringLiteral("tavish/index.htm")},
        {HelpKey::Faq, QStringLiteral("support/faq.htm")},
    };
    return topics.value(key, QStringLiteral("index.htm"));
}

QString HelpLocationPrefix(const QString& programFolder) {
    if (programFolder.isEmpty()) return {};
    return QDir(programFolder).filePath(QStringLiteral("FennicHelp"));
}

QUrl HelpTopicUrl(const QString& prefix, const QString& topic) {
    if (prefix.isEmpty() || topic.isEmpty()) return {};
    const qsizetype hash = topic.indexOf(u'#');
    const QString page = hash >= 0 ? topic.left(hash) : topic;
    const QString anchor = hash >= 0 ? topic.mid(hash + 1) : QString();
    // Topics are fixed strings of ours, but stay inside the help folder anyway.
    const QString file = QDir::cleanPath(QDir(prefix).filePath(page));
    if (!file.startsWith(QDir::cleanPath(prefix) + u'/') || !QFileInfo(file).isFile()) return {};
    QUrl url = QUrl::fromLocalFile(file);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    return url;
}

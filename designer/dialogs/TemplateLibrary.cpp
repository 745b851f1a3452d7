#include "TemplateLibrary.h"

#include <QDir>
#include <QFile>

namespace {
const QByteArray kBegin = "========== Description Part Begin ==========";
const QByteArray kEnd = "========== Description Part End ==========";

// Markers are whole lines compared without regard to case but not trimmed:
// a marker with trailing blanks is ordinary text.
bool IsMarker(const QByteArray& line, const QByteArray& marker) {
    return line.size() == marker.size() && line.compare(marker, Qt::CaseInsensitive) == 0;
}
}  // namespace

TemplateDescription ParseTemplateDescription(const QByteArray& content) {
    TemplateDescription block;
    QList<QByteArray> lines = content.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    qsizetype i = 0;
    while (i < lines.size() && !IsMarker(lines[i], kBegin))
        ++i;
    if (i == lines.size())
        return block;
    block.found = true;
    for (++i; i < lines.size() && !IsMarker(lines[i], kEnd); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QString key = QString::fromUtf8(line.left(eq)).trimmed();
        const QString value = QString::fromUtf8(line.mid(eq + 1)).trimmed();
        if (key == QLatin1String("Title"))
            block.title = value;
        else if (key == QLatin1String("Description"))
            block.description = value;
        else if (key == QLatin1String("ProgID"))
            block.progId = value;
    }
    return block;
}

TemplateDescription ReadTemplateDescription(const QString& path) {
    QFile file(path);
    // The block sits at the top; a template is small, but a stray huge file
    // in the folder must not be read whole.
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ParseTemplateDescription(file.read(1 << 20));
}

bool IsValidTemplate(const TemplateDescription& block, const QString& progId) {
    return block.found && block.progId.compare(progId, Qt::CaseInsensitive) == 0 && !block.title.isEmpty();
}

void CTemplateList::RemoveAt(int index) {
    if (index < 0 || index >= Count())
        return;
    titles.removeAt(index);
    descriptions.removeAt(index);
    paths.removeAt(index);
}

void EnumerateTemplates(const QString& serverFolder, const QString& progId, CTemplateList& list) {
    list = CTemplateList();
    if (serverFolder.isEmpty())
        return;
    const QDir dir(serverFolder);
    const QStringList names =
        dir.entryList({QStringLiteral("*.pgt")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        const TemplateDescription block = ReadTemplateDescription(path);
        if (!IsValidTemplate(block, progId))
            continue;
        list.titles << block.title;
        list.descriptions << block.description;
        list.paths << path;
    }
}

QString TemplateFilePath(const QString& serverFolder, const QString& name, const QString& progId) {
    return QDir(serverFolder).filePath(name + u'_' + progId + QStringLiteral(".pgt"));
}

TemplateDialogSettings ReadTemplateDialogSettings(QSettings& settings, const QString& section) {
    TemplateDialogSettings values;
    settings.beginGroup(section);
    const int style = settings.value(QStringLiteral("List Style"), kReportStyle).toInt();
    values.listStyle = style == kListStyle ? kListStyle : kReportStyle;
    values.preview = settings.value(QStringLiteral("Preview"), 1).toInt() != 0;
    settings.endGroup();
    return values;
}

void WriteTemplateDialogSettings(QSettings& settings, const QString& section, const TemplateDialogSettings& values,
                                 bool withPreview) {
    settings.beginGroup(section);
    settings.setValue(QStringLiteral("List Style"), values.listStyle);
    if (withPreview)
        settings.setValue(QStringLiteral("Preview"), values.preview ? 1 : 0);
    settings.endGroup();
}

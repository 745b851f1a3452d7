#include "TemplateLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

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

void CTemplateList::Append(const TemplateDescription& block, const QString& path, bool isReadOnly) {
    titles << block.title;
    descriptions << block.description;
    paths << path;
    readOnly << isReadOnly;
}

void CTemplateList::RemoveAt(int index) {
    if (index < 0 || index >= Count())
        return;
    titles.removeAt(index);
    descriptions.removeAt(index);
    paths.removeAt(index);
    if (index < readOnly.size())
        readOnly.removeAt(index);
}

bool IsFolderWritable(const QString& folder) {
    // Asks the system (access(2)), so a read-only mount counts as well.
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString UserTemplateFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Meridex/Tavish Fennic/Templates");
}

TemplateFolders MakeTemplateFolders(const QString& serverFolder, const FolderWritableCheck& writable) {
    TemplateFolders folders;
    folders.shipped = serverFolder;
    if (serverFolder.isEmpty())
        return folders;
    folders.shippedWritable = writable ? writable(serverFolder) : IsFolderWritable(serverFolder);
    if (!folders.shippedWritable)
        folders.user = UserTemplateFolder();
    return folders;
}

namespace {
QStringList TemplateFileNames(const QDir& dir) {
    return dir.entryList({QStringLiteral("*.pgt")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}

bool SameFolder(const QString& a, const QString& b) {
    return QDir::cleanPath(QDir(a).absolutePath()) == QDir::cleanPath(QDir(b).absolutePath());
}
}  // namespace

void EnumerateTemplates(const QString& serverFolder, const QString& progId, CTemplateList& list) {
    list = CTemplateList();
    if (serverFolder.isEmpty())
        return;
    const QDir dir(serverFolder);
    for (const QString& name : TemplateFileNames(dir)) {
        const QString path = dir.filePath(name);
        const TemplateDescription block = ReadTemplateDescription(path);
        if (IsValidTemplate(block, progId))
            list.Append(block, path, false);
    }
}

void EnumerateTemplates(const TemplateFolders& folders, const QString& progId, CTemplateList& list) {
    if (folders.shippedWritable) {
        EnumerateTemplates(folders.shipped, progId, list);
        return;
    }
    struct Entry {
        QString fileName;
        QString path;
        TemplateDescription block;
        bool readOnly;
    };
    QList<Entry> entries;
    QStringList userNames;
    if (!folders.user.isEmpty()) {
        const QDir dir(folders.user);
        for (const QString& name : TemplateFileNames(dir)) {
            const QString path = dir.filePath(name);
            const TemplateDescription block = ReadTemplateDescription(path);
            if (!IsValidTemplate(block, progId))
                continue;  // a broken copy hides nothing
            entries.append({name, path, block, false});
            userNames << name;
        }
    }
    if (!folders.shipped.isEmpty()) {
        const QDir dir(folders.shipped);
        for (const QString& name : TemplateFileNames(dir)) {
            if (userNames.contains(name))
                continue;
            const QString path = dir.filePath(name);
            const TemplateDescription block = ReadTemplateDescription(path);
            if (IsValidTemplate(block, progId))
                entries.append({name, path, block, true});
        }
    }
    // One list in the order of a single folder's.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int folded = a.fileName.toLower().compare(b.fileName.toLower());
        return folded != 0 ? folded < 0 : a.fileName < b.fileName;
    });
    list = CTemplateList();
    for (const Entry& entry : entries)
        list.Append(entry.block, entry.path, entry.readOnly);
}

QString TemplateFilePath(const QString& serverFolder, const QString& name, const QString& progId) {
    return QDir(serverFolder).filePath(name + u'_' + progId + QStringLiteral(".pgt"));
}

QString TemplateSavePath(const TemplateFolders& folders, const QString& name, const QString& progId) {
    return TemplateFilePath(folders.SaveFolder(), name, progId);
}

bool TemplateNameTaken(const TemplateFolders& folders, const QString& name, const QString& progId) {
    if (QFile::exists(TemplateSavePath(folders, name, progId)))
        return true;
    return !folders.shippedWritable && QFile::exists(TemplateFilePath(folders.shipped, name, progId));
}

QString ShadowedTemplatePath(const TemplateFolders& folders, const QString& userPath, const QString& progId) {
    if (folders.shippedWritable || folders.shipped.isEmpty())
        return {};
    const QFileInfo user(userPath);
    if (!SameFolder(user.absolutePath(), folders.user))
        return {};
    const QString shipped = QDir(folders.shipped).filePath(user.fileName());
    return IsValidTemplate(ReadTemplateDescription(shipped), progId) ? shipped : QString();
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

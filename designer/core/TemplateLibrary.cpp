#include "core/TemplateLibrary.h"

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
        if (line.endsWith('\r')) line.chop(1);
    }
    qsizetype i = 0;
    while (i < lines.size() && !IsMarker(lines[i], kBegin)) ++i;
    if (i == lines.size()) return block;
    block.found = true;
    for (++i; i < lines.size() && !IsMarker(lines[i], kEnd); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) continue;
        const QString key = QString::fromUtf8(line.left(eq)).trimmed();
        const QString value = QString::fromUtf8(line.mid(eq + 1)).trimmed();
        if (key == QLatin1String("Title")) block.title = value;
        else if (key == QLatin1String("Description")) block.description = value;
        else if (key == QLatin1String("ProgID")) block.progId = value;
    }
    return block;
}

TemplateDescription ReadTemplateDescription(const QString& path) {
    QFile file(path);
    // The block sits at the top; a template is small, but a stray huge file
    // in the folder must not be read whole.
    if (!file.open(QIODevice::ReadOnly)) return {};
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
    if (index < 0 || index >= Count()) return;
    titles.removeAt(index);
    descriptions.removeAt(index);
    paths.removeAt(index);
    if (index < readOnly.size()) readOnly.removeAt(index);
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
    if (serverFolder.isEmpty()) return folders;
    folders.shippedWritable = writable ? writable(serverFolder) : IsFolderWritable(serverFolder);
    if (!folders.shippedWritable) folders.user = UserTemplateFolder();
    return folders;
}

namespace {
// A folder's valid templates, in the order of a file listing by name.
struct FoundTemplate {
    QString fileName;
    QString path;
    TemplateDescription block;
};

QList<FoundTemplate> ValidTemplates(const QString& folder, const QString& progId) {
    QList<FoundTemplate> found;
    if (folder.isEmpty()) return found;
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*.pgt")}, QDir::Files | QDir::Hidden,
                                            QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        TemplateDescription block = ReadTemplateDescription(path);
        if (IsValidTemplate(block, progId)) found.append({name, path, std::move(block)});
    }
    return found;
}

bool SameFolder(const QString& a, const QString& b) {
    return QDir::cleanPath(QDir(a).absolutePath()) == QDir::cleanPath(QDir(b).absolutePath());
}
}  // namespace

void EnumerateTemplates(const QString& serverFolder, const QString& progId, CTemplateList& list) {
    list = CTemplateList();
    for (const FoundTemplate& t : ValidTemplates(serverFolder, progId)) list.Append(t.block, t.path, false);
}

void EnumerateTemplates(const TemplateFolders& folders, const QString& progId, CTemplateList& list) {
    if (folders.shippedWritable) {
        EnumerateTemplates(folders.shipped, progId, list);
        return;
    }
    // The user's valid copy of a file name hides the shipped one; a broken
    // copy hides nothing.
    struct Entry {
        FoundTemplate found;
        bool readOnly;
    };
    QList<Entry> entries;
    QStringList userNames;
    for (FoundTemplate& t : ValidTemplates(folders.user, progId)) {
        userNames << t.fileName;
        entries.append({std::move(t), false});
    }
    for (FoundTemplate& t : ValidTemplates(folders.shipped, progId))
        if (!userNames.contains(t.fileName)) entries.append({std::move(t), true});
    // One list in the order of a single folder's.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int folded = a.found.fileName.toLower().compare(b.found.fileName.toLower());
        return folded != 0 ? folded < 0 : a.found.fileName < b.found.fileName;
    });
    list = CTemplateList();
    for (const Entry& entry : entries) list.Append(entry.found.block, entry.found.path, entry.readOnly);
}

QString TemplateFilePath(const QString& serverFolder, const QString& name, const QString& progId) {
    return QDir(serverFolder).filePath(name + u'_' + progId + QStringLiteral(".pgt"));
}

QString TemplateSavePath(const TemplateFolders& folders, const QString& name, const QString& progId) {
    return TemplateFilePath(folders.SaveFolder(), name, progId);
}

bool TemplateNameTaken(const TemplateFolders& folders, const QString& name, const QString& progId) {
    if (QFile::exists(TemplateSavePath(folders, name, progId))) return true;
    return !folders.shippedWritable && QFile::exists(TemplateFilePath(folders.shipped, name, progId));
}

QString ShadowedTemplatePath(const TemplateFolders& folders, const QString& userPath, const QString& progId) {
    if (folders.shippedWritable || folders.shipped.isEmpty()) return {};
    const QFileInfo user(userPath);
    if (!SameFolder(user.absolutePath(), folders.user)) return {};
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
    if (withPreview) settings.setValue(QStringLiteral("Preview"), values.preview ? 1 : 0);
    settings.endGroup();
}

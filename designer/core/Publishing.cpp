#include "core/Publishing.h"

#include "server/WidgetServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

PageCode PageCodeParts(const IWidgetServer& server) {
    PageCode code;
    QString scripts;
    const short count = server.GetCodePartCount();
    for (short i = 0; i < count; ++i) {
        const QString kind = server.GetCodePartKind(i);
        if (kind == QLatin1String("cursor")) code.element = server.GetCodePartText(i, 1);
        else if (kind == QLatin1String("style")) code.head += server.GetCodePartText(i, 1);
        else if (kind == QLatin1String("script")) scripts += server.GetCodePartText(i, 1);
    }
    if (code.element.isEmpty()) return {};  // nothing to place: the other parts alone make no button
    if (!scripts.isEmpty())
        code.element = (code.element.endsWith(u'\n') ? code.element : code.element + u'\n') + scripts;
    return code;
}

QString RequiredHtmlCode(const IWidgetServer& server) {
    // The page needs the server's style parts before its element and its
    // scripts after it; the element alone sits wrongly on the text line.
    const PageCode code = PageCodeParts(server);
    if (code.element.isEmpty()) return {};
    return code.head.isEmpty() || code.head.endsWith(u'\n') ? code.head + code.element
                                                            : code.head + u'\n' + code.element;
}

QString PageOpenErrorText(const QString& path, QFileDevice::FileError error, int systemError) {
    const QString where = QDir::toNativeSeparators(path);
    if (systemError == EACCES || systemError == EPERM || systemError == EROFS || error == QFileDevice::PermissionsError)
        return QStringLiteral(
                   "%1 cannot be changed: it is read-only for you (or lies on a read-only disk). "
                   "Change its permissions, or save a copy of the page where you may write, "
                   "and insert the code there.")
            .arg(where);
    if (systemError == ENOENT)
        return QStringLiteral("%1 is no longer there: it was moved, renamed or deleted. Choose the page again.")
            .arg(where);
    if (systemError == EBUSY || systemError == ETXTBSY)
        return QStringLiteral("%1 is in use by another program. Close it there and try again.").arg(where);
    return QStringLiteral("%1 cannot be opened for writing (%2).")
        .arg(where, QString::fromLocal8Bit(strerror(systemError)));
}

bool HasSupportFile(const QList<SupportFile>& rows, const SupportFile& file) {
    for (const SupportFile& row : rows) {
        if (row.name.compare(file.name, Qt::CaseInsensitive) == 0 &&
            row.path.compare(file.path, Qt::CaseInsensitive) == 0 &&
            row.webPath.compare(file.webPath, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QList<SupportFile> SupportFileRows(const IWidgetServer& server) {
    QList<SupportFile> rows;
    const short count = server.GetSupportFileCount();
    for (short i = 0; i < count; ++i) {
        const SupportFile file{server.GetSupportFileName(i), server.GetSupportFilePath(i),
                               server.GetSupportFileWebPath(i)};
        if (!HasSupportFile(rows, file)) rows << file;
    }
    return rows;
}

QString SystemErrorText(const QString& systemText, int code) {
    if (!systemText.isEmpty()) return systemText.left(255);
    return QStringLiteral("error code is %1").arg(code);
}

bool CopyReplacing(const QString& source, const QString& target, QString* error) {
    // Copying a file onto itself would first remove it.
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath() && QFileInfo::exists(target))
        return true;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        const int code = errno;
        if (error) *error = SystemErrorText(in.errorString(), code);
        return false;
    }
    // Written aside and renamed over the old file: a failed copy leaves the
    // old file whole.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        const int code = errno;
        if (error) *error = SystemErrorText(out.errorString(), code);
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFile::NoError) break;
        if (out.write(chunk) != chunk.size()) break;
    }
    if (in.error() != QFile::NoError || !out.commit()) {
        const int code = errno;
        if (error) *error = SystemErrorText(in.error() != QFile::NoError ? in.errorString() : out.errorString(), code);
        return false;
    }
    return true;
}

QString FolderStatusText(const QString& path) {
    if (path.size() > 35) return path.left(35) + QStringLiteral("...");
    return path;
}

namespace {
QString& PageFolderMemory() {
    static QString folder;
    return folder;
}
}  // namespace

void RememberPageFolder(const QString& folder) {
    if (!folder.isEmpty()) PageFolderMemory() = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

QString LastPageFolder() {
    return PageFolderMemory();
}

QString FolderDialogStart(const QString& pageFolder, const QString& workFile) {
    if (!pageFolder.isEmpty() && QFileInfo(pageFolder).isDir())
        return QDir::cleanPath(QFileInfo(pageFolder).absoluteFilePath());
    if (!workFile.isEmpty()) {
        const QString folder = QFileInfo(workFile).absolutePath();
        if (QFileInfo(folder).isDir()) return QDir::cleanPath(folder);
    }
    return QDir::homePath();
}

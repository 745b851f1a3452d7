#include "core/Publishing.h"

#include "core/NameRule.h"
#include "core/PageText.h"
#include "server/WidgetServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>
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
    return JoinedCode(PageCodeParts(server));
}

QString JoinedCode(const PageCode& code) {
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

// ---------------------------------------------------------------- what is ours

namespace {

constexpr qint64 kMarkWindow = 4096;

QByteArray ReadAll(const QString& path, bool* ok) {
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? file.readAll() : QByteArray();
}

}  // namespace

QString OwnerMark(const QString& workFile) {
    QString name = QFileInfo(workFile).fileName();
    // Neither comment may end inside the name.
    name.replace(QStringLiteral("--"), QStringLiteral("-\u2010"))
        .replace(QStringLiteral("*/"), QStringLiteral("*\u2215"));
    return QStringLiteral("TavishFennic work: %1").arg(name);
}

QString OwnerMarkIn(const QByteArray& head) {
    static const QRegularExpression mark(QStringLiteral(R"(TavishFennic work: ([^\r\n]*?) ?(?:-->|\*/))"));
    const QRegularExpressionMatch m = mark.match(QString::fromUtf8(head.left(kMarkWindow)));
    return m.hasMatch() ? QStringLiteral("TavishFennic work: ") + m.captured(1) : QString();
}

QString OwnerMarkOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return OwnerMarkIn(file.read(kMarkWindow));
}

bool MayReplace(const QString& target, const QString& owner, const QByteArray& content) {
    const QFileInfo info(target);
    if (!info.exists() && !info.isSymLink()) return true;
    if (!info.isFile()) return false;
    if (info.size() == content.size()) {
        bool ok = false;
        if (ReadAll(target, &ok) == content && ok) return true;
    }
    return !owner.isEmpty() && OwnerMarkOf(target) == owner;
}

QString ChooseTarget(const QString& folder, const QString& name, const QString& owner, const QByteArray& content) {
    const QDir dir(folder);
    for (int n = 1; n < 1000; ++n) {
        const QString candidate = dir.filePath(NumberedFileName(name, n));
        if (MayReplace(candidate, owner, content)) return candidate;
    }
    return {};
}

bool WriteOurs(const QString& target, const QByteArray& bytes, const QString& owner, QString* error) {
    if (!MayReplace(target, owner, bytes)) {
        if (error)
            *error = QStringLiteral("%1 is not an earlier output of this work: it is left as it is")
                         .arg(QDir::toNativeSeparators(target));
        return false;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("%1 cannot be written: %2")
                         .arg(QDir::toNativeSeparators(target), file.errorString());
        return false;
    }
    return true;
}

QString StyleSheetText(const QString& head, QString* rest) {
    static const QRegularExpression style(QStringLiteral(R"(<style\b[^>]*>(.*?)</style\s*>\n?)"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    QString css;
    QString others = head;
    QRegularExpressionMatchIterator it = style.globalMatch(head);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QString block = m.captured(1);
        if (block.startsWith(u'\n')) block.remove(0, 1);
        if (!block.isEmpty() && !block.endsWith(u'\n')) block += u'\n';
        css += block;
    }
    others.remove(style);
    if (rest) *rest = others;
    return css;
}

bool PreparePublishFiles(const IWidgetServer& server, StyleForm style, const QString& workFile, PublishFiles* out,
                         QString* error) {
    out->code = PageCodeParts(server);
    out->files = SupportFileRows(server);
    if (style == StyleForm::Inline || out->code.element.isEmpty()) return true;
    QString rest;
    const QString css = StyleSheetText(out->code.head, &rest);
    if (css.isEmpty()) return true;
    // Named for the work and what it holds: each look keeps its own sheet, so
    // a page published earlier never loses the look it was given.
    QString base = QFileInfo(workFile).completeBaseName();
    const QString suffix = QStringLiteral("_") + server.ProgID();
    if (base.endsWith(suffix, Qt::CaseInsensitive) && base.size() > suffix.size()) base.chop(suffix.size());
    const QByteArray body = css.toUtf8();
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(body, QCryptographicHash::Sha1).toHex().left(6));
    const QString name = QStringLiteral("%1-%2.css").arg(WebFileStem(base), hash);
    const QString owner = OwnerMark(workFile);
    const QByteArray content = "/* " + owner.toUtf8() + " */\n" + body;
    const QString folder = QFileInfo(workFile).absolutePath();
    const QString target = ChooseTarget(folder, name, owner, content);
    if (target.isEmpty()) {
        if (error) *error = QStringLiteral("no free name for %1 in %2").arg(name, QDir::toNativeSeparators(folder));
        return false;
    }
    if (!WriteOurs(target, content, owner, error)) return false;
    const QString written = QFileInfo(target).fileName();
    out->code.head = rest + QStringLiteral("<link rel=\"stylesheet\" href=\"%1\">\n")
                                .arg(QString::fromLatin1(QUrl::toPercentEncoding(written, "/._-~")));
    out->files << SupportFile{written, folder + u'/', QString()};
    return true;
}

QString NameInCode(const QString& code, const QString& name, const QString& ref) {
    if (name == ref) return code;
    const QString to = u'"' + QString::fromLatin1(QUrl::toPercentEncoding(ref, "/._-~")) + u'"';
    QString out = code;
    out.replace(u'"' + name + u'"', to);
    out.replace(u'"' + QString::fromLatin1(QUrl::toPercentEncoding(name, "/._-~")) + u'"', to);
    return out;
}

QString ReferenceBeside(const QString& pageFolder, const QString& base, const QString& fileName) {
    QString b = base;
    const qsizetype cut = b.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (cut >= 0) b.truncate(cut);
    if (b.isEmpty()) return fileName;
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (b.startsWith(u'/') || b.startsWith(u'\\') || scheme.match(b).hasMatch()) return {};
    // Addresses resolve against the base's folder: what follows its last
    // slash is a file name and does not count.
    const QString folderPart = QUrl::fromPercentEncoding(b.left(b.lastIndexOf(u'/') + 1).toUtf8());
    const QString baseFolder = QDir::cleanPath(pageFolder + u'/' + folderPart);
    return QDir(baseFolder).relativeFilePath(QDir(pageFolder).filePath(fileName));
}

bool PlaceBesidePage(const PublishFiles& files, const QString& pagePath, const QString& pageText, PagePlacement* out,
                     QString* error) {
    const QFileInfo pageInfo(pagePath);
    const QString folder = pageInfo.absolutePath();
    const QString page = QDir::toNativeSeparators(pagePath);
    const QString base = BaseHref(pageText);
    out->code = files.code;
    out->copies.clear();
    out->notes.clear();
    for (const SupportFile& file : files.files) {
        // A source that cannot be read still gets its place: copying it
        // fails then, and says so, as any failed copy does.
        bool ok = false;
        const QByteArray content = ReadAll(file.Source(), &ok);
        const QString owner = OwnerMarkIn(content);
        const QString target = ChooseTarget(folder, file.name, owner, content);
        if (target.isEmpty()) {
            if (error) *error = QStringLiteral("no free name for %1 beside %2").arg(file.name, page);
            return false;
        }
        const QString landed = QFileInfo(target).fileName();
        if (landed != file.name)
            out->notes
                << QStringLiteral(
                       "%1 beside %2 is not this work's, so it is left alone: the copy is %3, and the code names it")
                       .arg(file.name, page, landed);
        QString ref = ReferenceBeside(folder, base, landed);
        if (ref.isEmpty()) {
            out->notes << QStringLiteral(
                              "%1 has <base href=\"%2\">: the browser looks for %3 there, not beside the page; put a "
                              "copy of %3 there as well")
                              .arg(page, base, landed);
            ref = landed;
        }
        const QString named = file.webPath + file.name;
        out->code.head = NameInCode(out->code.head, named, ref);
        out->code.element = NameInCode(out->code.element, named, ref);
        out->copies << PlacedFile{file.Source(), target, owner};
    }
    if (!out->code.head.trimmed().isEmpty() && IsPageFragment(pageText))
        out->notes << QStringLiteral(
                          "%1 has no head (a template partial or include?): the style goes just before the button; "
                          "for a valid page move it into the head of the layout the page is part of")
                          .arg(page);
    return true;
}

bool CopyPlaced(const PlacedFile& file, QString* error) {
    bool ok = false;
    const QByteArray content = ReadAll(file.source, &ok);
    if (!ok) {
        if (error) *error = QStringLiteral("%1 cannot be read").arg(QDir::toNativeSeparators(file.source));
        return false;
    }
    if (!MayReplace(file.target, file.owner, content)) {
        if (error)
            *error = QStringLiteral("%1 is not an earlier output of this work: it is left as it is")
                         .arg(QDir::toNativeSeparators(file.target));
        return false;
    }
    return CopyReplacing(file.source, file.target, error);
}

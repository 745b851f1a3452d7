#pragma once
// Publishing without widgets: which code part is the page's code, the
// support file rows, copying them, the folder chooser's status text and the
// system's error text.

#include <QFileDevice>
#include <QList>
#include <QString>

class IWidgetServer;

// What a page needs for the button, in the order it needs it: the "style"
// parts, the last "cursor" part, the "script" parts. Empty when there is
// no cursor part.
QString RequiredHtmlCode(const IWidgetServer& server);

// The same parts as a page takes them: the style parts once in its head, the
// element (with any scripts after it) where the button goes.
struct PageCode {
    QString head;
    QString element;
};
PageCode PageCodeParts(const IWidgetServer& server);
// The parts as one text, as View Code shows them.
QString JoinedCode(const PageCode& code);

// What to tell the author when a page cannot be opened for writing: the path,
// what happened in words, and what to do about it.
QString PageOpenErrorText(const QString& path, QFileDevice::FileError error, int systemError);

struct SupportFile {
    QString name;
    QString path;  // folder, ends in a separator
    QString webPath;
    QString Source() const { return path + name; }
};

// The server's support files in its order, each name/path/web path once
// (names, paths and web paths compared ignoring case).
QList<SupportFile> SupportFileRows(const IWidgetServer& server);
// Whether rows already hold a file like this one.
bool HasSupportFile(const QList<SupportFile>& rows, const SupportFile& file);

// Copies source to target, replacing target. False: error holds the system's
// text for what went wrong. Folders of the author's are written through
// CopyPlaced, which never replaces a file that is not ours.
bool CopyReplacing(const QString& source, const QString& target, QString* error);

// ---- What publishing writes never replaces a file that is not ours: a
// file is ours when it is an earlier output of the same work (it carries
// the work's mark) or already holds what would be written.

// The mark in a comment at the top of every file written for a work:
// "TavishFennic work: NAME.pgt".
QString OwnerMark(const QString& workFile);
// The mark in the first 4 KiB of a file; empty: none.
QString OwnerMarkOf(const QString& path);
QString OwnerMarkIn(const QByteArray& head);
// Whether target may take content written for owner.
bool MayReplace(const QString& target, const QString& owner, const QByteArray& content);
// Where a file called name goes in folder: name, or the first numbered name
// ("logo-2.svg") that is free or ours; empty when none of a thousand is.
QString ChooseTarget(const QString& folder, const QString& name, const QString& owner, const QByteArray& content);
// Writes bytes to target, unless a file there is not ours.
bool WriteOurs(const QString& target, const QByteArray& bytes, const QString& owner, QString* error);

// The style as the page takes it: inline in a <style> element, or in a
// style sheet the head links, for pages whose Content-Security-Policy
// refuses inline style.
enum class StyleForm { Inline, File };
// A page's code and the files it needs beside it.
struct PublishFiles {
    PageCode code;
    QList<SupportFile> files;
};
// The server's code and support files; with StyleForm::File the style parts
// become a style sheet written beside workFile (named for the work and its
// content, never over a file not ours) that the head links instead.
bool PreparePublishFiles(const IWidgetServer& server, StyleForm style, const QString& workFile, PublishFiles* out,
                         QString* error);
// The style elements' CSS, and what else the head part holds.
QString StyleSheetText(const QString& head, QString* rest = nullptr);

// One file going beside a page.
struct PlacedFile {
    QString source;
    QString target;
    QString owner;  // the source's mark
};
struct PagePlacement {
    PageCode code;  // naming each file where it lands, as the page finds it
    QList<PlacedFile> copies;
    QStringList notes;  // what the author should know: renamed files, a base the files cannot follow
};
// Where the files go beside the page at pagePath (whose text is pageText)
// and the code that names them there, under the page's <base href>.
bool PlaceBesidePage(const PublishFiles& files, const QString& pagePath, const QString& pageText, PagePlacement* out,
                     QString* error);
// Copies one placed file; a file not ours that came to the target since it
// was chosen is left as it is, and that is an error.
bool CopyPlaced(const PlacedFile& file, QString* error);
// code with every quoted reference to name ("name" or its percent-encoded
// form) pointing at ref instead.
QString NameInCode(const QString& code, const QString& name, const QString& ref);
// How a page in pageFolder whose <base href> is base names fileName lying
// beside it; empty when the base leads away from the file system (an
// address with a scheme, or from the site's root).
QString ReferenceBeside(const QString& pageFolder, const QString& base, const QString& fileName);

// "error code is %d" when the system has no text for an error.
QString SystemErrorText(const QString& systemText, int code);

// The folder chooser's status line: a path of more than 35 characters is cut
// to its first 35 followed by "...".
QString FolderStatusText(const QString& path);

// The folder of the page the code last went into (an HTML file it was
// inserted into, or a folder support files were copied to) in this run.
void RememberPageFolder(const QString& folder);
QString LastPageFolder();
// Where the folder chooser starts: the page's folder, else that of the work's
// file, else the user's home; a folder that is no longer there is passed over.
QString FolderDialogStart(const QString& pageFolder, const QString& workFile);

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
// text for what went wrong.
bool CopyReplacing(const QString& source, const QString& target, QString* error);

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

#pragma once
// The template library as files: templates are ordinary widget files in the
// widget server's folder whose description block names this shell's server.
// Kept free of widgets so the rules can be exercised on their own.

#include <QList>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <functional>

struct TemplateDescription {
    bool found = false;  // the Begin marker was seen
    QString title;
    QString description;
    QString progId;
};

// Reads the description block of a widget file; found stays false when the
// file cannot be read or has no Begin marker.
TemplateDescription ReadTemplateDescription(const QString& path);
TemplateDescription ParseTemplateDescription(const QByteArray& content);

// A listed template: block found, same server (ignoring case), a title.
bool IsValidTemplate(const TemplateDescription& block, const QString& progId);

// The parallel arrays of a template dialog. readOnly marks the templates
// that come with an installed program and may not be changed.
struct CTemplateList {
    QStringList titles;
    QStringList descriptions;
    QStringList paths;
    QList<bool> readOnly;
    int Count() const { return static_cast<int>(paths.size()); }
    bool IsReadOnly(int index) const { return index >= 0 && index < readOnly.size() && readOnly[index]; }
    void Append(const TemplateDescription& block, const QString& path, bool isReadOnly);
    void RemoveAt(int index);
};

// Where templates are read from and saved to. A copy run from its own folder
// keeps them all in the server's folder; an installed copy cannot write
// there, so the templates it ships stay put and the user's own go to a
// folder of the user's (which shadows a shipped file of the same name).
struct TemplateFolders {
    QString shipped;  // the server's folder
    QString user;     // empty while the server's folder is writable
    bool shippedWritable = true;
    QString SaveFolder() const { return shippedWritable ? shipped : user; }
};

// Whether templates may be written into a folder. The default asks the file
// system; tests pass their own, as root may write into any folder.
using FolderWritableCheck = std::function<bool(const QString& folder)>;
bool IsFolderWritable(const QString& folder);

// "<generic data location>/Meridex/Tavish Fennic/Templates".
QString UserTemplateFolder();

// The folders of a server folder. A server bound without a folder (an
// embedded server) keeps the single-folder rules.
TemplateFolders MakeTemplateFolders(const QString& serverFolder, const FolderWritableCheck& writable = {});

// Lists one folder, sorted by file name ignoring case.
void EnumerateTemplates(const QString& serverFolder, const QString& progId, CTemplateList& list);
// Lists the shipped and the user's templates as one list sorted by file name;
// a user's template hides the shipped one of the same file name.
void EnumerateTemplates(const TemplateFolders& folders, const QString& progId, CTemplateList& list);

// Where a template of that name lies: "<folder>/<name>_<progId>.pgt".
QString TemplateFilePath(const QString& serverFolder, const QString& name, const QString& progId);
// Where Save As Template writes a template of that name.
QString TemplateSavePath(const TemplateFolders& folders, const QString& name, const QString& progId);
// Whether saving under that name replaces a template the user sees: a file of
// that name in either folder.
bool TemplateNameTaken(const TemplateFolders& folders, const QString& name, const QString& progId);
// The shipped template that shows again once the user's copy at userPath is
// gone; empty when there is none.
QString ShadowedTemplatePath(const TemplateFolders& folders, const QString& userPath, const QString& progId);

// List styles of the template dialogs' list views.
constexpr int kReportStyle = 1;
constexpr int kListStyle = 3;

namespace TemplateSection {
inline const QString NewWidget = QStringLiteral("New Widget");
inline const QString SaveAsTemplates = QStringLiteral("Save As Templates");
inline const QString Templates = QStringLiteral("Templates");
}  // namespace TemplateSection

struct TemplateDialogSettings {
    int listStyle = kReportStyle;
    bool preview = true;
};

// Any stored list style other than 1 or 3 reads as report view.
TemplateDialogSettings ReadTemplateDialogSettings(QSettings& settings, const QString& section);
void WriteTemplateDialogSettings(QSettings& settings, const QString& section, const TemplateDialogSettings& values,
                                 bool withPreview);

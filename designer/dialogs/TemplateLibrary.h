#pragma once
// The template library as files: templates are ordinary widget files in the
// widget server's folder whose description block names this shell's server.
// Kept free of widgets so the rules can be exercised on their own.

#include <QSettings>
#include <QString>
#include <QStringList>

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

// The three parallel arrays of a template dialog.
struct CTemplateList {
    QStringList titles;
    QStringList descriptions;
    QStringList paths;
    int Count() const { return static_cast<int>(paths.size()); }
    void RemoveAt(int index);
};

void EnumerateTemplates(const QString& serverFolder, const QString& progId, CTemplateList& list);

// Where a template of that name lies: "<folder>/<name>_<progId>.pgt".
QString TemplateFilePath(const QString& serverFolder, const QString& name, const QString& progId);

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

#pragma once
// The shell's string table and the formatting of its messages.

#include <QString>
#include <QStringList>

namespace Ids {
constexpr int OleInitFailed = 129;
constexpr int AppTitle = 57344;
constexpr int FailedToCreateObject = 62000;
constexpr int AutomationError = 62001;
constexpr int InvalidName = 62002;
constexpr int SaveChanges = 62003;
constexpr int NotAValidConfigFile = 62006;
constexpr int SaveFailed = 62007;
constexpr int TemplateExists = 62009;
constexpr int TemplateSaved = 62010;
constexpr int TemplateSaveFailed = 62011;
constexpr int CopySupportFailed = 62012;
constexpr int SupportCopied = 62013;
constexpr int TemplateRenameFailed = 62014;
constexpr int ConfirmDeleteTemplate = 62015;
constexpr int TemplateDeleteFailed = 62016;
constexpr int SelectTemplate = 62018;
constexpr int ShippedTemplate = 62019;
constexpr int TemplateColumns = 63000;
constexpr int SupportColumns = 63001;
constexpr int OrderingAddress = 63002;
constexpr int WebSiteAddress = 63003;
constexpr int SupportMailAddress = 63004;
constexpr int PublishModified = 63005;
constexpr int PublishUnsaved = 63006;
}  // namespace Ids

// Message texts are cut to this many characters after formatting.
constexpr int kMessageBufferChars = 510;

// The text of a string-table entry; empty for an unknown id.
QString LoadStringResource(int id);

// printf-like formatting of %s and %d with already converted arguments
// ("%%" is a percent sign); the result is cut to kMessageBufferChars. Missing
// arguments format as empty text.
QString FormatMessageText(const QString& format, const QStringList& args);
QString FormatMessage(int id, const QStringList& args = {});

// Shown when the help pages cannot be opened; not in the numbered table.
QString HelpLaunchFailedText();

#pragma once
// Help topics of the shell. The help is a folder of HTML pages next to the
// program ("FennicHelp"); a topic is a page path inside it with an optional
// "#anchor", written with "/".

#include <QString>
#include <QUrl>

namespace HelpKey {
constexpr int Index = 0;
constexpr int NewDialog = 130;
constexpr int SaveAsTemplateDialog = 143;
constexpr int ViewCodeDialog = 148;
constexpr int InsertCodeDialog = 132;
constexpr int SupportFilesDialog = 141;
constexpr int TemplatesDialog = 144;
constexpr int RenameDialog = 131;
constexpr int ExternalBrowsersDialog = 134;
constexpr int HelpTopics = 32801;
constexpr int Tutorial = 32802;
constexpr int TavishEditor = 32803;
constexpr int Faq = 32790;
}  // namespace HelpKey

// The topic of a dialog template or command id; "index.htm" for any other key.
QString HelpTopicFor(int key);

// The folder of help pages for a program in programFolder; empty when there
// is no program folder to build it from.
QString HelpLocationPrefix(const QString& programFolder);

// The page to open for a topic: a file URL with the anchor as fragment, or an
// invalid URL when the topic is empty or its page does not exist.
QUrl HelpTopicUrl(const QString& prefix, const QString& topic);

#pragma once
// Publishing without the window: a work file's code and support files
// written into a folder (and, if asked, its code put into pages), so that
// authors can publish in a build.

#include "core/PageText.h"
#include "core/Publishing.h"
#include "core/WidgetDocument.h"

#include <QString>
#include <QStringList>

struct PublishRequest {
    QString work;  // the .pgt
    QString form;  // empty: as the work has it
    QString outDir;
    // Pages to put the button into, each in place of the first marker (a
    // page with two markers takes the button twice from two runs).
    QStringList pages;
    QString marker = QStringLiteral("<!-- button -->");
    // Run the editor's checks first: a failing one is an error, and nothing
    // is written.
    bool check = false;
    StyleForm style = StyleForm::Inline;
    // Replace files in outDir that are not earlier outputs of this work
    // (else such a file stops the publish before anything is written).
    bool force = false;
};

struct PublishResult {
    bool ok = false;
    QStringList written;  // every file written, in order (also when a later write failed)
    QString error;        // what went wrong, for the author (lines)
    QString checked;      // with check: how the checks went
    QStringList notes;    // what the author should know: renamed files, a base, a page without a head
};

// The files --out gets for a work: NAME.head.html (the style), NAME.body.html
// (the element) and NAME.fennic.html (both), so that none can pass for a
// page of the site.
inline const QString kHeadSuffix = QStringLiteral(".head.html");
inline const QString kBodySuffix = QStringLiteral(".body.html");
inline const QString kBothSuffix = QStringLiteral(".fennic.html");

// One check as a build log shows it: "hover, any page, text on fill:
// 2.84:1 (needs 4.50:1)".
QString CheckLine(const WidgetCheck& check);

PublishResult PublishFromCommandLine(const PublishRequest& request, const BindingFactory& factory);

// A page with the button put in at caret as Insert to File does: the style
// into the head once per look (just before the element in a file without a
// head), the element at the nearest place that can hold it. caret is moved
// past the element.
QString InsertIntoPage(const QString& page, qsizetype* caret, const PageCode& code);

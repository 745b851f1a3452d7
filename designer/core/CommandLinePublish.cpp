#include "core/CommandLinePublish.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>

namespace {

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(bytes);
    return file.commit();
}

QString BaseName(const QString& work) {
    QString base = QFileInfo(work).completeBaseName();
    const QString suffix = QStringLiteral("_") + kWidgetServerProgID;
    if (base.endsWith(suffix, Qt::CaseInsensitive) && base.size() > suffix.size()) base.chop(suffix.size());
    return base;
}

}  // namespace

QString CheckLine(const WidgetCheck& check) {
    QString line = QStringLiteral("%1, %2, %3: %4")
                       .arg(check.state.isEmpty() ? QStringLiteral("every state") : check.state,
                            check.page.isEmpty() ? QStringLiteral("any page") : check.page + QStringLiteral(" page"),
                            check.what, check.measured);
    if (!check.required.isEmpty()) line += QStringLiteral(" (needs %1)").arg(check.required);
    return line;
}

QString InsertIntoPage(const QString& page, qsizetype* caret, const PageCode& code) {
    QString text = page;
    const qsizetype at = ElementInsertPosition(text, caret ? *caret : 0);
    QString element = code.element;
    if (at > 0 && text[at - 1] != u'\n')
        while (element.endsWith(u'\n')) element.chop(1);
    const QString style = code.head.trimmed();
    // A partial has no head of its own: above everything the style would
    // come before the template's first statement ({% extends %}), where
    // template engines drop or refuse it.
    if (!style.isEmpty() && !text.contains(style) && IsPageFragment(text)) element.prepend(style + u'\n');
    text.insert(at, element);
    qsizetype after = at + element.size();
    if (!style.isEmpty() && !text.contains(style)) {
        const qsizetype head = HeadInsertPosition(text);
        QString block = style + u'\n';
        if (head > 0 && text[head - 1] != u'\n') block.prepend(u'\n');
        text.insert(head, block);
        if (head <= at) after += block.size();
    }
    if (caret) *caret = after;
    return text;
}

namespace {

// One page as the run edits it: each --into of it takes the next marker.
struct PageEdit {
    QString path;
    CPageText original;
    QString text;
};

}  // namespace

PublishResult PublishFromCommandLine(const PublishRequest& request, const BindingFactory& factory) {
    PublishResult result;
    const auto fail = [&result](const QString& why) {
        result.error = why;
        result.ok = false;
        return result;
    };
    if (!QFileInfo(request.work).isFile()) return fail(QStringLiteral("%1: no such work file").arg(request.work));
    std::unique_ptr<CPagelet> binding = factory ? factory() : nullptr;
    if (!binding || !binding->IsBound())
        return fail(QStringLiteral("the widget server %1 cannot be bound (tavishfennic --check says why)")
                        .arg(kWidgetServerProgID));
    IWidgetServer& server = *binding->Server();
    if (!server.Load(request.work) || server.ProgID() != kWidgetServerProgID)
        return fail(QStringLiteral("%1 is not a valid configuration file of Tavish Fennic").arg(request.work));
    if (!request.form.isEmpty() && !server.SetOutputForm(request.form))
        return fail(QStringLiteral("unknown form \"%1\" (link, button or svg)").arg(request.form));
    if (request.check) {
        QList<WidgetCheck> checks;
        if (!server.GetChecks(&checks) || checks.isEmpty())
            return fail(QStringLiteral("the widget server %1 has no checks to run").arg(kWidgetServerProgID));
        QStringList failing;
        qsizetype advice = 0;
        for (const WidgetCheck& check : checks) {
            if (check.result == WidgetCheck::Result::Fail) failing << QStringLiteral("  ") + CheckLine(check);
            else if (check.result == WidgetCheck::Result::Advice) ++advice;
        }
        if (!failing.isEmpty()) {
            return fail(QStringLiteral("%1 fails %2 of the editor's %3 checks; nothing was written:\n%4")
                            .arg(request.work)
                            .arg(failing.size())
                            .arg(checks.size())
                            .arg(failing.join(u'\n')));
        }
        result.checked = QStringLiteral("all %1 checks pass").arg(checks.size());
        if (advice > 0) result.checked += QStringLiteral(" (%1 with advice: see the editor)").arg(advice);
    }
    // Saved as Publish saves, but into a scratch folder: the author's work
    // file and the files beside it stay as they are.
    QTemporaryDir scratch;
    if (!scratch.isValid()) return fail(QStringLiteral("no scratch folder: %1").arg(scratch.errorString()));
    const QString copy = scratch.filePath(QFileInfo(request.work).fileName());
    if (!server.Save(copy)) return fail(QStringLiteral("the work could not be written to %1").arg(copy));
    PublishFiles files;
    QString error;
    if (!PreparePublishFiles(server, request.style, copy, &files, &error)) return fail(error);
    if (files.code.element.isEmpty()) return fail(QStringLiteral("the widget server gave no code for the page"));

    // Everything is read, placed and checked before the first byte is
    // written: a page without its marker or a file of the author's in the
    // way leaves every file as it was.
    const QString owner = OwnerMark(request.work);
    const QString ownerLine = QStringLiteral("<!-- %1 -->\n").arg(owner);
    const QDir out(QFileInfo(request.outDir).absoluteFilePath());
    const QString base = BaseName(request.work);
    struct Output {
        QString path;
        QByteArray bytes;
        QString source;  // a copy of this file instead of bytes
        QString owner;
    };
    QList<Output> outputs;
    const struct {
        QString suffix;
        QString text;
    } parts[] = {{kHeadSuffix, files.code.head},
                 {kBodySuffix, files.code.element},
                 {kBothSuffix, JoinedCode(files.code)}};
    for (const auto& part : parts)
        outputs << Output{out.filePath(base + part.suffix), (ownerLine + part.text).toUtf8(), QString(), owner};
    for (const SupportFile& file : files.files)
        outputs << Output{out.filePath(file.name), QByteArray(), file.Source(), OwnerMarkOf(file.Source())};
    QStringList refused;
    for (const Output& o : outputs) {
        QByteArray content = o.bytes;
        if (!o.source.isEmpty()) {
            QFile source(o.source);
            if (!source.open(QIODevice::ReadOnly)) return fail(QStringLiteral("%1 cannot be read").arg(o.source));
            content = source.readAll();
        }
        if (!request.force && !MayReplace(o.path, o.owner, content)) refused << QStringLiteral("  ") + o.path;
    }
    if (!refused.isEmpty())
        return fail(QStringLiteral("%1 holds files of the same names that are not earlier outputs of this work; "
                                   "nothing was written (--force replaces them, or choose another folder):\n%2")
                        .arg(request.outDir, refused.join(u'\n')));

    QList<PageEdit> pages;
    QList<PlacedFile> copies;
    for (const QString& pagePath : request.pages) {
        const QString key = QFileInfo(pagePath).absoluteFilePath();
        auto edit = std::find_if(pages.begin(), pages.end(), [&key](const PageEdit& p) { return p.path == key; });
        if (edit == pages.end()) {
            QFile page(pagePath);
            if (!page.open(QIODevice::ReadOnly)) return fail(PageOpenErrorText(pagePath, page.error(), errno));
            const CPageText original = CPageText::FromBytes(page.readAll());
            pages.append({key, original, original.Text()});
            edit = pages.end() - 1;
        }
        const qsizetype marker = edit->text.indexOf(request.marker);
        if (marker < 0) return fail(QStringLiteral("%1 has no %2 to put the button at").arg(pagePath, request.marker));
        PagePlacement placed;
        if (!PlaceBesidePage(files, key, edit->text, &placed, &error)) return fail(error);
        for (const QString& note : std::as_const(placed.notes))
            if (!result.notes.contains(note)) result.notes << note;
        for (const PlacedFile& file : std::as_const(placed.copies)) {
            const bool known = std::any_of(copies.cbegin(), copies.cend(),
                                           [&file](const PlacedFile& c) { return c.target == file.target; });
            if (!known) copies << file;
        }
        // The marker gives way to the button; a second marker takes the next.
        qsizetype caret = marker;
        edit->text = InsertIntoPage(QString(edit->text).remove(marker, request.marker.size()), &caret, placed.code);
    }

    if (!QDir().mkpath(request.outDir)) return fail(QStringLiteral("%1 cannot be made").arg(request.outDir));
    for (const Output& o : outputs) {
        if (o.source.isEmpty() ? !WriteBytes(o.path, o.bytes) : !CopyReplacing(o.source, o.path, &error))
            return fail(QStringLiteral("%1 cannot be written%2")
                            .arg(o.path, o.source.isEmpty() ? QString() : QStringLiteral(": ") + error));
        result.written << o.path;
    }
    // The files the button needs go beside each page first: a page must not
    // name a picture that is not there.
    for (const PlacedFile& file : std::as_const(copies)) {
        if (result.written.contains(file.target)) continue;
        if (!CopyPlaced(file, &error))
            return fail(QStringLiteral("%1 cannot be copied to %2: %3").arg(file.source, file.target, error));
        result.written << file.target;
    }
    for (const PageEdit& page : std::as_const(pages)) {
        if (!WriteBytes(page.path, page.original.Bytes(page.text)))
            return fail(QStringLiteral("%1 cannot be written").arg(page.path));
        result.written << page.path;
    }
    result.ok = true;
    return result;
}

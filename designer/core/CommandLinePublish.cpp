#include "core/CommandLinePublish.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
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
    text.insert(at, element);
    qsizetype after = at + element.size();
    const QString style = code.head.trimmed();
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

PublishResult PublishFromCommandLine(const PublishRequest& request, const BindingFactory& factory) {
    PublishResult result;
    const auto fail = [&result](const QString& why) {
        result.error = why;
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
    if (!QDir().mkpath(request.outDir)) return fail(QStringLiteral("%1 cannot be made").arg(request.outDir));
    const QDir out(request.outDir);

    const PageCode code = PageCodeParts(server);
    if (code.element.isEmpty()) return fail(QStringLiteral("the widget server gave no code for the page"));
    const QString base = BaseName(request.work);
    const struct {
        QString suffix;
        QString text;
    } parts[] = {{QStringLiteral(".head.html"), code.head},
                 {QStringLiteral(".body.html"), code.element},
                 {QStringLiteral(".html"), RequiredHtmlCode(server)}};
    for (const auto& part : parts) {
        const QString path = out.filePath(base + part.suffix);
        if (!WriteBytes(path, part.text.toUtf8())) return fail(QStringLiteral("%1 cannot be written").arg(path));
        result.written << path;
    }
    for (const SupportFile& file : SupportFileRows(server)) {
        QString error;
        const QString target = out.filePath(file.name);
        if (!CopyReplacing(file.Source(), target, &error))
            return fail(QStringLiteral("%1 cannot be copied to %2: %3").arg(file.Source(), target, error));
        result.written << target;
    }
    for (const QString& pagePath : request.pages) {
        QFile page(pagePath);
        if (!page.open(QIODevice::ReadOnly)) return fail(PageOpenErrorText(pagePath, page.error(), errno));
        const CPageText original = CPageText::FromBytes(page.readAll());
        page.close();
        const qsizetype marker = original.Text().indexOf(request.marker);
        if (marker < 0) return fail(QStringLiteral("%1 has no %2 to put the button at").arg(pagePath, request.marker));
        // The files the button needs go beside the page first: a page must
        // not name a picture that is not there.
        for (const SupportFile& file : SupportFileRows(server)) {
            QString error;
            const QString target = QFileInfo(pagePath).dir().filePath(file.name);
            if (!CopyReplacing(file.Source(), target, &error))
                return fail(QStringLiteral("%1 cannot be copied to %2: %3").arg(file.Source(), target, error));
        }
        // The marker gives way to the button; a second marker takes the next.
        qsizetype caret = marker;
        const QString edited = InsertIntoPage(QString(original.Text()).remove(marker, request.marker.size()), &caret,
                                              code);
        if (!WriteBytes(pagePath, original.Bytes(edited)))
            return fail(QStringLiteral("%1 cannot be written").arg(pagePath));
        result.written << pagePath;
    }
    result.ok = true;
    return result;
}

#include "button/editor/FennicButtonServer.h"

#include "button/editor/ButtonEditor.h"
#include "button/model/Checks.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool WriteText(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text.toUtf8());
    return file.commit();
}

// Preview files outlive the server that wrote them: a browser may still be
// loading one after the work was closed. They go when the program ends.
QTemporaryDir* PreviewFolder() {
    static std::unique_ptr<QTemporaryDir> folder;
    if (!folder) {
        // In the user's cache rather than /tmp: browsers in a sandbox (snap,
        // flatpak) may read the home folder but not the system's /tmp.
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                              QStringLiteral("/TavishFennic");
        QDir().mkpath(cache);
        folder = std::make_unique<QTemporaryDir>(QDir(cache).filePath(QStringLiteral("preview-XXXXXX")));
        if (!folder->isValid()) {
            folder.reset();
            return nullptr;
        }
    }
    return folder.get();
}

int NextPreviewNumber() {
    static int next = 0;
    return ++next;
}

}  // namespace

QString CButtonResources::LoadString(long id) const {
    switch (id) {
    case ButtonStrings::KindName: return QStringLiteral("Fennic Button");
    case ButtonStrings::KindDescription:
        return QStringLiteral("A push button for web pages with normal, hover and pressed states.");
    case ButtonStrings::SupportFileType: return QStringLiteral("widget file (*.svg)");
    case ButtonStrings::Maker: return QStringLiteral("Meridex");
    default: return {};
    }
}

CFennicButtonServer::CFennicButtonServer() {
    m_style.progId = kFennicButtonProgID;
}

CFennicButtonServer::~CFennicButtonServer() {
    CloseEditor();
}

QString CFennicButtonServer::ProgID() const {
    // After a Load this is the maker named by the file, so the shell can
    // refuse another component's file.
    return m_style.progId;
}

void CFennicButtonServer::SetName(const QString& name) {
    m_style.title = name;
    RefreshEditor();
}

void CFennicButtonServer::SetDescription(const QString& description) {
    m_style.description = description;
    RefreshEditor();
}

void CFennicButtonServer::SetLinkAddress(const QString& address) {
    m_style.link = address;
    RefreshEditor();
}

bool CFennicButtonServer::Load(const QString& path) {
    auto loaded = Pgt::ReadFile(path);
    if (!loaded) return false;
    m_style = *loaded;
    m_saved = m_style;
    m_path = path;
    m_modified = 0;
    if (m_editor) m_editor->ResetStyle(m_style);
    return true;
}

namespace {

QString WorkTitle(const QString& pgtPath) {
    QString base = QFileInfo(pgtPath).completeBaseName();
    // Work files are named "<title>_<ProgID>.pgt"; the page needs only the title.
    const QString suffix = QStringLiteral("_") + kFennicButtonProgID;
    if (base.endsWith(suffix, Qt::CaseInsensitive) && base.size() > suffix.size()) base.chop(suffix.size());
    return base;
}

// The mark a written picture carries: which work it belongs to. Dashes
// cannot run together inside an XML comment.
QString OwnerMark(const QString& pgtPath) {
    QString name = QFileInfo(pgtPath).fileName();
    name.replace(QStringLiteral("--"), QStringLiteral("-\u2010"));
    return QStringLiteral("<!-- TavishFennic work: %1 -->").arg(name);
}

}  // namespace

QString CFennicButtonServer::SupportFileFor(const QString& pgtPath) {
    const QString title = WorkTitle(pgtPath);
    QString name = ButtonOutput::WebSafeName(title);
    if (name != title) {
        const QByteArray digest = QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha1);
        name += u'-' + QString::fromLatin1(digest.toHex().left(6));
    }
    return QFileInfo(pgtPath).dir().filePath(name + QStringLiteral(".svg"));
}

QString CFennicButtonServer::ShortSupportFileFor(const QString& pgtPath) {
    return QFileInfo(pgtPath).dir().filePath(ButtonOutput::WebSafeName(WorkTitle(pgtPath)) + QStringLiteral(".svg"));
}

QString CFennicButtonServer::LegacySupportFileFor(const QString& pgtPath) {
    const QFileInfo info(pgtPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".svg"));
}

bool CFennicButtonServer::WrittenFor(const QString& svgPath, const QString& pgtPath) {
    QFile file(svgPath);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return QString::fromUtf8(file.read(4096)).contains(OwnerMark(pgtPath));
}

QString CFennicButtonServer::ChooseSupportFile(const QString& pgtPath) const {
    const QDir folder = QFileInfo(pgtPath).dir();
    // The name this work has used, as long as it is still the work's.
    if (!m_saved.supportFile.isEmpty() && QFileInfo(m_path) == QFileInfo(pgtPath)) {
        const QString own = folder.filePath(m_saved.supportFile);
        if (!QFileInfo::exists(own) || WrittenFor(own, pgtPath)) return own;
    }
    // Else the work's short name, or the first free one after it: a file of
    // that name that another work or the author wrote is never replaced.
    const QString first = SupportFileFor(pgtPath);
    const QString stem = QFileInfo(first).completeBaseName();
    for (int n = 1; n < 1000; ++n) {
        const QString candidate = n == 1 ? first : folder.filePath(QStringLiteral("%1-%2.svg").arg(stem).arg(n));
        if (!QFileInfo::exists(candidate) || WrittenFor(candidate, pgtPath)) return candidate;
    }
    return {};
}

bool CFennicButtonServer::Save(const QString& path) {
    ButtonStyle style = m_style;
    style.progId = kFennicButtonProgID;
    const bool svg = style.form == OutputForm::Svg;
    // The picture the work had, which goes when it is no longer needed or
    // has a new name: only if it is still the work's own.
    QString previous;
    if (!m_saved.supportFile.isEmpty() && QFileInfo(m_path) == QFileInfo(path))
        previous = QFileInfo(path).dir().filePath(m_saved.supportFile);
    QString picture;
    QString text;
    style.supportFile.clear();
    if (svg) {
        picture = ChooseSupportFile(path);
        if (picture.isEmpty()) return false;
        style.supportFile = QFileInfo(picture).fileName();
        text = ButtonOutput::InteractiveSvg(style);
        // The mark after the XML declaration, which must come first.
        const qsizetype cut = text.indexOf(u'\n') + 1;
        text.insert(cut, OwnerMark(path) + u'\n');
    }
    if (!Pgt::WriteFile(style, path) || (svg && !WriteText(picture, text))) return false;
    if (!previous.isEmpty() && previous != picture && WrittenFor(previous, path)) QFile::remove(previous);
    m_style = style;
    m_saved = style;
    m_path = path;
    return true;
}

bool CFennicButtonServer::SaveCopy(const QString& path) {
    // A copy is a template: previews are drawn from the .pgt, so no support
    // file is left beside it.
    ButtonStyle style = m_style;
    style.progId = kFennicButtonProgID;
    style.supportFile.clear();
    return Pgt::WriteFile(style, path);
}

QString CFennicButtonServer::SupportFilePath() const {
    if (m_path.isEmpty() || m_saved.form != OutputForm::Svg) return {};
    const QDir folder = QFileInfo(m_path).dir();
    if (!m_saved.supportFile.isEmpty()) {
        const QString own = folder.filePath(m_saved.supportFile);
        return QFileInfo::exists(own) ? own : QString();
    }
    // Works saved by the versions before keep publishing the file they have.
    for (const QString& older : {ShortSupportFileFor(m_path), LegacySupportFileFor(m_path)}) {
        if (QFileInfo::exists(older)) return older;
    }
    return {};
}

QString CFennicButtonServer::SupportFileName() const {
    const QString path = SupportFilePath();
    if (!path.isEmpty()) return QFileInfo(path).fileName();
    if (!m_path.isEmpty()) return QFileInfo(SupportFileFor(m_path)).fileName();
    return ButtonOutput::WebSafeName(m_style.title) + QStringLiteral(".svg");
}

QString CFennicButtonServer::GetCodePartKind(short index) const {
    switch (index) {
    case 0: return QStringLiteral("style");
    case 1: return QStringLiteral("cursor");
    default: return {};
    }
}

QString CFennicButtonServer::GetCodePartText(short index, short) const {
    // The code sits next to the support file on the site, so it describes the
    // button that file holds: the saved one, even while edits are unsaved.
    const ButtonStyle& style = GetSupportFileCount() > 0 ? m_saved : m_style;
    if (style.form != OutputForm::Svg) {
        switch (index) {
        case 0: return ButtonOutput::HtmlStyleCode(style);
        case 1: return ButtonOutput::HtmlElementCode(style);
        default: return {};
        }
    }
    switch (index) {
    case 0: return ButtonOutput::StyleCode(style);
    case 1: return ButtonOutput::CursorCode(style, SupportFileName());
    default: return {};
    }
}

short CFennicButtonServer::GetSupportFileCount() const {
    return SupportFilePath().isEmpty() ? 0 : 1;
}

QString CFennicButtonServer::GetSupportFileName(short index) const {
    return index == 0 && GetSupportFileCount() > 0 ? SupportFileName() : QString();
}

QString CFennicButtonServer::GetSupportFilePath(short index) const {
    if (index != 0 || GetSupportFileCount() == 0) return {};
    return QDir::toNativeSeparators(QFileInfo(m_path).absolutePath() + u'/');
}

QString CFennicButtonServer::GetSupportFileWebPath(short) const {
    // The code refers to the file by its bare name: it sits beside the page.
    return {};
}

QWidget* CFennicButtonServer::CreateEditor(QWidget* parent) {
    if (m_editor) throw WidgetServerError(QStringLiteral("The button editor is already open."));
    if (!parent) throw WidgetServerError(QStringLiteral("No window to place the button editor in."));
    m_editor = new CButtonEditor(parent, m_style, m_dark != 0);
    QObject::connect(m_editor, &CButtonEditor::StyleEdited, m_editor,
                     [this](const ButtonStyle& style) { SetStyle(style); });
    return m_editor;
}

long CFennicButtonServer::CloseEditor() {
    delete m_editor.data();
    m_editor = nullptr;
    return 1;
}

QString CFennicButtonServer::GetPreviewFile() {
    QTemporaryDir* folder = PreviewFolder();
    if (!folder) return {};
    if (m_previewName.isEmpty()) m_previewName = QStringLiteral("preview-%1").arg(NextPreviewNumber());
    const QString path = folder->filePath(m_previewName + QStringLiteral(".svg"));
    return WriteText(path, ButtonOutput::InteractiveSvg(m_style)) ? path : QString();
}

QString CFennicButtonServer::GetPreviewPage() {
    // The button in a small page of text, on light and dark, as a visitor
    // meets it; the SVG form's picture lies beside the page.
    const QString svg = GetPreviewFile();
    if (svg.isEmpty()) return {};
    const QString page = QFileInfo(svg).dir().filePath(m_previewName + QStringLiteral(".htm"));
    return WriteText(page, ButtonOutput::PreviewPage(m_style, QFileInfo(svg).fileName())) ? page : QString();
}

void CFennicButtonServer::Activate(long active) {
    if (m_editor && active) m_editor->FocusFirstField();
}

bool CFennicButtonServer::EditCommand(int command, bool queryOnly) {
    if (!m_editor) return false;
    switch (command) {
    case EditCmd::Undo:
        if (!m_editor->CanUndo()) return false;
        if (!queryOnly) m_editor->Undo();
        return true;
    case EditCmd::Redo:
        if (!m_editor->CanRedo()) return false;
        if (!queryOnly) m_editor->Redo();
        return true;
    default: return false;
    }
}

bool CFennicButtonServer::SetOutputForm(const QString& form) {
    ButtonStyle s = m_style;
    if (form == QLatin1String("link")) s.form = OutputForm::Link;
    else if (form == QLatin1String("button")) s.form = OutputForm::Button;
    else if (form == QLatin1String("svg")) s.form = OutputForm::Svg;
    else return false;
    SetStyle(s);
    RefreshEditor();
    return true;
}

bool CFennicButtonServer::GetChecks(QList<WidgetCheck>* checks) const {
    checks->clear();
    for (const ButtonCheck& c : ButtonChecks::Run(m_style)) {
        const WidgetCheck::Result result = c.level == ButtonCheck::Level::Fail     ? WidgetCheck::Result::Fail
                                           : c.level == ButtonCheck::Level::Advice ? WidgetCheck::Result::Advice
                                                                                   : WidgetCheck::Result::Pass;
        checks->append({c.state, c.page, c.what, c.value, c.required, result});
    }
    return true;
}

void CFennicButtonServer::SetDarkPreview(long dark) {
    m_dark = dark;
    if (m_editor) m_editor->SetDarkPreview(dark != 0);
}

void CFennicButtonServer::SetStyle(const ButtonStyle& style) {
    if (style == m_style) return;
    m_style = style;
    m_modified = 1;
}

void CFennicButtonServer::RefreshEditor() {
    if (m_editor) m_editor->SetStyle(m_style);
}

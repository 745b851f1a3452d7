#include "button/editor/FennicButtonServer.h"

#include "button/editor/ButtonEditor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool WriteText(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

// Preview files outlive the server that wrote them: a browser may still be
// loading one after the work was closed. They go when the program ends.
QTemporaryDir* PreviewFolder() {
    static std::unique_ptr<QTemporaryDir> folder;
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("TavishFennic-XXXXXX")));
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
    if (!loaded)
        return false;
    m_style = *loaded;
    m_saved = m_style;
    m_path = path;
    m_modified = 0;
    if (m_editor)
        m_editor->ResetStyle(m_style);
    return true;
}

QString CFennicButtonServer::SupportFileFor(const QString& pgtPath) {
    const QFileInfo info(pgtPath);
    QString base = info.completeBaseName();
    // Work files are named "<title>_<ProgID>.pgt"; the page needs only the title.
    const QString suffix = QStringLiteral("_") + kFennicButtonProgID;
    if (base.endsWith(suffix, Qt::CaseInsensitive) && base.size() > suffix.size())
        base.chop(suffix.size());
    return info.dir().filePath(ButtonOutput::WebSafeName(base) + QStringLiteral(".svg"));
}

QString CFennicButtonServer::LegacySupportFileFor(const QString& pgtPath) {
    const QFileInfo info(pgtPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".svg"));
}

bool CFennicButtonServer::Save(const QString& path) {
    ButtonStyle style = m_style;
    style.progId = kFennicButtonProgID;
    const bool svg = style.form == OutputForm::Svg;
    if (!Pgt::WriteFile(style, path) || (svg && !WriteText(SupportFileFor(path), ButtonOutput::InteractiveSvg(style))))
        return false;
    // The file of the old naming (or of the SVG form) would describe an older
    // button next to the work; it is the work's own, so it goes.
    const QString legacy = LegacySupportFileFor(path);
    if (legacy != SupportFileFor(path) || !svg)
        QFile::remove(legacy);
    if (!svg)
        QFile::remove(SupportFileFor(path));
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
    return Pgt::WriteFile(style, path);
}

QString CFennicButtonServer::SupportFilePath() const {
    if (m_path.isEmpty() || m_saved.form != OutputForm::Svg)
        return {};
    const QString current = SupportFileFor(m_path);
    if (QFileInfo::exists(current))
        return current;
    // Works saved before the short names keep publishing the file they have.
    const QString legacy = LegacySupportFileFor(m_path);
    return QFileInfo::exists(legacy) ? legacy : QString();
}

QString CFennicButtonServer::SupportFileName() const {
    const QString path = SupportFilePath();
    if (!path.isEmpty())
        return QFileInfo(path).fileName();
    if (!m_path.isEmpty())
        return QFileInfo(SupportFileFor(m_path)).fileName();
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
    if (index != 0 || GetSupportFileCount() == 0)
        return {};
    return QDir::toNativeSeparators(QFileInfo(m_path).absolutePath() + u'/');
}

QString CFennicButtonServer::GetSupportFileWebPath(short) const {
    // The code refers to the file by its bare name: it sits beside the page.
    return {};
}

QWidget* CFennicButtonServer::CreateEditor(QWidget* parent) {
    if (m_editor)
        throw WidgetServerError(QStringLiteral("The button editor is already open."));
    if (!parent)
        throw WidgetServerError(QStringLiteral("No window to place the button editor in."));
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
    if (!folder)
        return {};
    if (m_previewName.isEmpty())
        m_previewName = QStringLiteral("preview-%1").arg(NextPreviewNumber());
    const QString path = folder->filePath(m_previewName + QStringLiteral(".svg"));
    return WriteText(path, ButtonOutput::InteractiveSvg(m_style)) ? path : QString();
}

QString CFennicButtonServer::GetPreviewPage() {
    // The button in a small page of text, on light and dark, as a visitor
    // meets it; the SVG form's picture lies beside the page.
    const QString svg = GetPreviewFile();
    if (svg.isEmpty())
        return {};
    const QString page = QFileInfo(svg).dir().filePath(m_previewName + QStringLiteral(".htm"));
    return WriteText(page, ButtonOutput::PreviewPage(m_style, QFileInfo(svg).fileName())) ? page : QString();
}

void CFennicButtonServer::Activate(long active) {
    if (m_editor && active)
        m_editor->FocusFirstField();
}

bool CFennicButtonServer::EditCommand(int command, bool queryOnly) {
    if (!m_editor)
        return false;
    switch (command) {
    case EditCmd::Undo:
        if (!m_editor->CanUndo())
            return false;
        if (!queryOnly)
            m_editor->Undo();
        return true;
    case EditCmd::Redo:
        if (!m_editor->CanRedo())
            return false;
        if (!queryOnly)
            m_editor->Redo();
        return true;
    default: return false;
    }
}

void CFennicButtonServer::SetDarkPreview(long dark) {
    m_dark = dark;
    if (m_editor)
        m_editor->SetDarkPreview(dark != 0);
}

void CFennicButtonServer::SetStyle(const ButtonStyle& style) {
    if (style == m_style)
        return;
    m_style = style;
    m_modified = 1;
}

void CFennicButtonServer::RefreshEditor() {
    if (m_editor)
        m_editor->SetStyle(m_style);
}

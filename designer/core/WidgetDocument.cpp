#include "core/WidgetDocument.h"

#include "core/StringTable.h"

#include <QDateTime>

namespace {

const QString kProductName = QStringLiteral("Tavish Fennic");

// A widget name is only a proposal for a file name, but one read from a file
// may hold separators or characters no file system accepts; those would make
// the file dialog wander into other folders.
QString FileNameSafe(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c)) c = u'_';
    }
    return out;
}

struct WaitGuard {
    explicit WaitGuard(IDocumentHost& h) : host(h) { host.BeginWait(); }
    ~WaitGuard() { host.EndWait(); }
    IDocumentHost& host;
};

}  // namespace

CWidgetDocument::CWidgetDocument(IDocumentHost& host, BindingFactory factory)
    : m_host(host), m_factory(std::move(factory)) {
}

CWidgetDocument::~CWidgetDocument() {
    if (m_current && m_current->Server()) m_current->Server()->CloseEditor();
}

std::unique_ptr<CPagelet> CWidgetDocument::CreateBinding() {
    std::unique_ptr<CPagelet> binding = m_factory ? m_factory() : nullptr;
    if (!binding || !binding->IsBound()) {
        m_host.ShowMessage(Ids::FailedToCreateObject, {kWidgetServerProgID}, MessageIcon::Error);
        return nullptr;
    }
    return binding;
}

bool CWidgetDocument::LoadChecked(CPagelet& binding, const QString& path) {
    // Byte-wise: a file of a server whose ProgID differs only in case is
    // another component's file.
    if (!binding->Load(path) || binding->ProgID() != kWidgetServerProgID) {
        m_host.ShowMessage(Ids::NotAValidConfigFile, {kProductName}, MessageIcon::Exclamation);
        return false;
    }
    return true;
}

bool CWidgetDocument::Start() {
    auto binding = CreateBinding();
    if (!binding) return false;
    m_current = std::move(binding);
    m_path.clear();
    m_givenName.clear();
    ++m_untitled;
    return m_host.ShowEditor();
}

bool CWidgetDocument::NewBlank() {
    auto binding = CreateBinding();
    if (!binding || !CloseCurrentWork()) return false;
    m_current = std::move(binding);
    m_path.clear();
    m_givenName.clear();
    ++m_untitled;
    return m_host.ShowEditor();
}

bool CWidgetDocument::NewFromTemplate(const QString& name, const QString& description, const QString& templatePath) {
    auto binding = CreateBinding();
    if (!binding) return false;
    if (!templatePath.isEmpty() && !LoadChecked(*binding, templatePath)) return false;
    if (!CloseCurrentWork()) return false;
    m_current = std::move(binding);
    (*m_current)->SetName(name);
    (*m_current)->SetDescription(description);
    (*m_current)->SetLinkAddress(QString());
    m_path.clear();
    m_givenName = name;
    ++m_untitled;
    return m_host.ShowEditor();
}

bool CWidgetDocument::Open(const QString& path) {
    auto binding = CreateBinding();
    if (!binding || !LoadChecked(*binding, path) || !CloseCurrentWork()) return false;
    m_current = std::move(binding);
    m_path = path;
    m_givenName.clear();
    return m_host.ShowEditor();
}

bool CWidgetDocument::OpenWithDialog() {
    const QString path = m_host.AskFileName(false, QString());
    return !path.isEmpty() && Open(path);
}

bool CWidgetDocument::CloseCurrentWork() {
    if (!m_current) return true;
    if ((*m_current)->Modified() != 0) {
        switch (m_host.AskSaveChanges()) {
        case IDocumentHost::Answer::Cancel: return false;
        case IDocumentHost::Answer::Yes:
            if (!SaveCurrentWork(false)) return false;
            break;
        case IDocumentHost::Answer::No: break;
        }
    }
    (*m_current)->CloseEditor();
    m_current.reset();
    return true;
}

bool CWidgetDocument::SaveCurrentWork(bool askForName) {
    if (!m_current) return false;
    (*m_current)->SetSavedTime(QDateTime::currentDateTime());
    QString path = m_path;
    if (path.isEmpty() || askForName) {
        path = m_host.AskFileName(true, ProposedFileName());
        if (path.isEmpty()) return false;
    }
    bool saved;
    {
        WaitGuard wait(m_host);
        saved = (*m_current)->Save(path);
    }
    if (!saved) {
        m_host.ShowMessage(Ids::SaveFailed, {path}, MessageIcon::None);
        return false;
    }
    m_path = path;
    (*m_current)->SetModified(0);
    return true;
}

void CWidgetDocument::Rename(const QString& name, const QString& description) {
    if (!m_current) return;
    (*m_current)->SetName(name);
    (*m_current)->SetDescription(description);
    (*m_current)->SetModified(1);
    if (m_path.isEmpty()) m_givenName = name;
}

bool CWidgetDocument::SaveAsTemplate(const QString& name, const QString& description, const QString& templatePath) {
    if (!m_current) return false;
    IWidgetServer* server = m_current->Server();
    const QString oldName = server->Name();
    const QString oldDescription = server->Description();
    const long modified = server->Modified();
    server->SetName(name);
    server->SetDescription(description);
    bool saved;
    {
        WaitGuard wait(m_host);
        saved = server->SaveCopy(templatePath);
    }
    if (saved) m_host.ShowMessage(Ids::TemplateSaved, {}, MessageIcon::Information);
    else m_host.ShowMessage(Ids::TemplateSaveFailed, {}, MessageIcon::None);
    server->SetName(oldName);
    server->SetDescription(oldDescription);
    // Putting the names back is no edit of the user's.
    server->SetModified(modified);
    return saved;
}

bool CWidgetDocument::PreparePublish() {
    if (!m_current) return false;
    IWidgetServer* server = m_current->Server();
    // What is on disk is what is published: nothing to save, nothing to ask.
    if (!m_path.isEmpty() && server->Modified() == 0 &&
        (server->GetSupportFileCount() > 0 || !server->NeedsSupportFiles()))
        return true;
    if (!m_path.isEmpty() && server->GetSupportFileCount() > 0) {
        // No goes on with the files as last saved.
        switch (m_host.AskQuestion(Ids::PublishModified, true)) {
        case IDocumentHost::Answer::Cancel: return false;
        case IDocumentHost::Answer::Yes: return SaveCurrentWork(false);
        case IDocumentHost::Answer::No: return true;
        }
        return false;
    }
    if (m_host.AskQuestion(Ids::PublishUnsaved, false) != IDocumentHost::Answer::Yes) return false;
    return SaveCurrentWork(false);
}

void CWidgetDocument::ToggleOption() {
    if (m_current) (*m_current)->SetDarkPreview((*m_current)->DarkPreview() == 0 ? 1 : 0);
}

QString CWidgetDocument::ProposedFileName() const {
    const QString name = m_current ? (*m_current)->Name() : QString();
    if (!name.isEmpty())
        return FormatMessageText(QStringLiteral("%s_%s.pgt"), {FileNameSafe(name), kWidgetServerProgID});
    return FormatMessageText(QStringLiteral("%s%d_%s.pgt"),
                             {QStringLiteral("Fennic"), QString::number(m_untitled), kWidgetServerProgID});
}

QString CWidgetDocument::DocumentName() const {
    if (!m_path.isEmpty()) return m_path;
    const QString untitled = QStringLiteral("Untitled %1").arg(m_untitled);
    return m_givenName.isEmpty() ? untitled : QStringLiteral("%1 (%2)").arg(m_givenName, untitled);
}

bool CWidgetDocument::IsModified() const {
    return m_current && (*m_current)->Modified() != 0;
}

QString CWidgetDocument::Title() const {
    return FormatMessageText(QStringLiteral("%s - [%s%s]"),
                             {kProductName, DocumentName(), IsModified() ? QStringLiteral(" *") : QString()});
}

BindingFactory RegistryBindingFactory(const QString& programFolder) {
    return [programFolder]() {
        auto binding = std::make_unique<CPagelet>();
        binding->Bind(kWidgetServerProgID, CClassRegistry::LoadDefault(programFolder));
        return binding;
    };
}

#include "server/Pagelet.h"

#include <QFileInfo>
#include <QPluginLoader>

namespace {

// Registered paths may use either separator, whatever wrote them.
qsizetype LastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

QString Existing(const QString& path) {
    return QFileInfo(path).isFile() ? path : QString();
}

}  // namespace

CPagelet::CPagelet() = default;
CPagelet::~CPagelet() = default;

bool CPagelet::Bind(const QString& progId, const CClassRegistry& registry) {
    m_server.reset();
    m_error = BindError::None;

    m_clsid = registry.CLSIDFromProgID(progId);
    if (m_clsid.isEmpty()) {
        m_error = BindError::NotRegistered;
        return false;
    }
    const QString mapped = registry.ProgIDFromCLSID(m_clsid);
    m_progId = mapped.isEmpty() ? progId : mapped;

    const auto file = registry.InprocServer(m_clsid);
    if (!file) {
        m_error = BindError::NoServerKey;
        return false;
    }
    m_serverFile = *file;
    const qsizetype cut = LastSeparator(m_serverFile);
    m_folder = cut >= 0 ? m_serverFile.left(cut) : QString();
    const QChar sep = cut >= 0 ? m_serverFile[cut] : QChar(u'/');
    if (QFileInfo(m_serverFile).isFile()) {
        const QString title = QFileInfo(m_serverFile).completeBaseName();
        m_helpFile = Existing(m_folder + sep + title + QStringLiteral(".hlp"));
        m_samplePage = Existing(m_folder + sep + QStringLiteral("Sample") + sep + QStringLiteral("sample.htm"));
    } else {
        m_helpFile.clear();
        m_samplePage.clear();
        m_error = BindError::NotLoadable;
        return false;
    }

    // The loader is not kept: Qt keeps the library loaded while its root
    // object lives, and servers made by it must outlive this call.
    QPluginLoader loader(m_serverFile);
    QObject* root = loader.instance();
    if (!root) {
        m_error = BindError::NotLoadable;
        return false;
    }
    auto* factory = qobject_cast<IWidgetServerFactory*>(root);
    if (!factory || factory->CLSID().compare(m_clsid, Qt::CaseInsensitive) != 0) {
        m_error = BindError::NotAWidgetServer;
        return false;
    }
    m_server.reset(factory->CreateInstance());
    if (!m_server) {
        m_error = BindError::NotAWidgetServer;
        return false;
    }
    Prepare();
    return true;
}

void CPagelet::Attach(std::unique_ptr<IWidgetServer> server, const QString& progId, const QString& folder) {
    m_server = std::move(server);
    m_progId = progId;
    m_folder = folder;
    m_error = m_server ? BindError::None : BindError::NotAWidgetServer;
    if (m_server) Prepare();
}

void CPagelet::Prepare() {
    const IResourceModule* module = m_server->GetResourceHandle();
    const long ids[4] = {m_server->StringId10(), m_server->StringId11(), m_server->StringId13(),
                         m_server->StringId12()};
    for (int i = 0; i < 4; ++i) m_strings[i] = module ? module->LoadString(ids[i]) : QString();
    m_server->SetName(QStringLiteral("Normal"));
    m_server->SetDescription(QString());
}

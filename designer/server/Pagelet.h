#pragma once
// One binding to a widget server: the server object of the current work or of
// a dialog's preview, plus what the shell derives from the server's
// registration (folder, help file, sample page) and its four strings.

#include "server/ClassRegistry.h"
#include "server/WidgetServer.h"

#include <QString>
#include <array>
#include <memory>

inline const QString kWidgetServerProgID = QStringLiteral("PageletServer.FennicButton");

class CPagelet {
public:
    CPagelet();
    ~CPagelet();
    CPagelet(const CPagelet&) = delete;
    CPagelet& operator=(const CPagelet&) = delete;

    enum class BindError { None, NotRegistered, NoServerKey, NotLoadable, NotAWidgetServer };

    // Binds to the class registered under progId. On failure the object stays
    // unbound and LastError() says why; callers show one message for all.
    bool Bind(const QString& progId, const CClassRegistry& registry);
    // Binds to an already created server (embedding, tests), with the folder
    // its templates live in; the other paths stay empty.
    void Attach(std::unique_ptr<IWidgetServer> server, const QString& progId, const QString& folder = QString());

    bool IsBound() const { return m_server != nullptr; }
    BindError LastError() const { return m_error; }
    IWidgetServer* Server() const { return m_server.get(); }
    IWidgetServer* operator->() const { return m_server.get(); }

    QString ProgID() const { return m_progId; }
    QString CLSID() const { return m_clsid; }
    QString ServerFile() const { return m_serverFile; }
    QString ServerFolder() const { return m_folder; }
    QString HelpFile() const { return m_helpFile; }
    QString SamplePage() const { return m_samplePage; }
    // The server's strings in the order of members 10, 11, 13, 12.
    const std::array<QString, 4>& Strings() const { return m_strings; }

private:
    void Prepare();

    std::unique_ptr<IWidgetServer> m_server;
    BindError m_error = BindError::None;
    QString m_progId;
    QString m_clsid;
    QString m_serverFile;
    QString m_folder;
    QString m_helpFile;
    QString m_samplePage;
    std::array<QString, 4> m_strings;
};

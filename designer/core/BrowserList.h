#pragma once
// The browsers the widget can be previewed in: the well-known ones found in
// the registry (and, on Linux, the installed web browsers of the desktop),
// then the ones the user added, kept in the profile section
// "Specify Browser".

#include <QHash>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <functional>

enum class RegistryRoot { LocalMachine, CurrentUser };

// Where browsers register themselves. The system registry on Windows; on
// other systems a store of our own that starts empty.
class CRegistryStore {
public:
    virtual ~CRegistryStore() = default;
    // The text of a value (the default value when name is empty); empty
    // when the key or value is missing or unreadable. At most 512 bytes.
    virtual QString Read(RegistryRoot root, const QString& key, const QString& name) const;
    void Set(RegistryRoot root, const QString& key, const QString& name, const QString& value);

    static CRegistryStore& System();

private:
    QHash<QString, QString> m_values;
};

struct InstalledBrowser {
    QString name;
    QString program;
};
// Web browsers of the desktop (application entries in the WebBrowser
// category) under the given application folders, each name once.
QList<InstalledBrowser> DesktopWebBrowsers(const QStringList& applicationFolders);
// The standard application folders of this system.
QStringList DesktopApplicationFolders();

class CBrowserList {
public:
    // Detects the well-known browsers and reads the customized ones.
    CBrowserList(const CRegistryStore& registry = CRegistryStore::System(),
                 const QStringList& applicationFolders = DesktopApplicationFolders());

    QStringList WellKnownNames() const { return m_knownNames; }
    QStringList WellKnownPaths() const { return m_knownPaths; }
    QStringList CustomizedNames() const { return m_customNames; }
    QStringList CustomizedPaths() const { return m_customPaths; }
    QString CurrentNetscapeVersion() const { return m_netscapeVersion; }
    int Count() const { return static_cast<int>(m_knownNames.size() + m_customNames.size()); }
    // The program of entry index (well-known first); empty past the end.
    QString ProgramAt(int index) const;
    QString NameAt(int index) const;

    // Adds a customized browser into the first free slot (or a new one);
    // refuses an empty name or one already customized (case-sensitive).
    // showMessage receives the refusal's text.
    bool Add(const QString& name, const QString& path, const std::function<void(const QString&)>& showMessage);
    // Frees the first slot of that name; BrowserNum stays.
    bool Delete(const QString& name);
    void ReadCustomized();

private:
    void Detect(const CRegistryStore& registry, const QStringList& applicationFolders);
    void Append(const QString& name, const QString& path);

    QStringList m_knownNames, m_knownPaths;
    QStringList m_customNames, m_customPaths;
    QString m_netscapeVersion;
};

// The short form of a Netscape version: "4.7 (en)" gives "4.7"; without a
// "(" it is empty.
QString ShortNetscapeVersion(const QString& currentVersion);

// How a browser is started with the preview: the program, with the preview
// file as its one and whole argument.
struct LaunchCommand {
    QString program;
    QStringList arguments;
};
LaunchCommand BrowserLaunchCommand(const QString& program, const QString& previewFile);

#pragma once
// Our own small stand-in for the system's class registry: it maps a ProgID to
// a CLSID and a CLSID to the plug-in file that serves it (the InprocServer32
// value). It is kept in text files in the layout of a registry export:
//
//   [PageletServer.FennicButton\CLSID]
//   @="{2F6C1E0A-7B4D-4C59-9A0E-5D3B8F1C6A42}"
//   [CLSID\{2F6C1E0A-7B4D-4C59-9A0E-5D3B8F1C6A42}\InprocServer32]
//   @="/opt/tavishfennic/PageletServer/FennicButton.so"
//
// A relative server file is taken from the folder of the registry file that
// names it ("PageletServer/FennicButton.so" beside classes.reg).
// Key paths are compared without regard to letter case, like the registry.

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

class CClassRegistry {
public:
    // Reads a registry file and merges it over what is already held. False
    // when the file cannot be read; malformed lines are skipped.
    bool LoadFile(const QString& path);
    // baseFolder: where relative server files are looked for (none: kept as written).
    void LoadText(const QString& text, const QString& baseFolder = QString());

    void SetValue(const QString& key, const QString& name, const QString& value);
    bool KeyExists(const QString& key) const;
    std::optional<QString> QueryValue(const QString& key, const QString& name = QString()) const;

    // Empty when the ProgID is not registered.
    QString CLSIDFromProgID(const QString& progId) const;
    // The ProgID the CLSID maps back to; empty when it names none.
    QString ProgIDFromCLSID(const QString& clsid) const;
    // The file serving the class; nullopt when the key is missing.
    std::optional<QString> InprocServer(const QString& clsid) const;

    // Text of a registry file registering one class.
    static QString RegistrationText(const QString& progId, const QString& clsid, const QString& serverFile,
                                    const QString& title);

    // The registration files the shell reads: with FENNIC_CLASS_REGISTRY set,
    // only that file; otherwise classes.reg in the program folder and then the
    // per-user one, which overrides it.
    static QStringList DefaultFiles(const QString& programFolder);
    static CClassRegistry LoadDefault(const QString& programFolder);

private:
    static QString Normalize(const QString& key);
    QHash<QString, QHash<QString, QString>> m_keys;  // key -> value name (lower case) -> data
};

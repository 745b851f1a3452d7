#include "server/ClassRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Reads a quoted registry string starting at pos (on the opening quote).
std::optional<QString> ReadQuoted(const QString& line, qsizetype& pos) {
    if (pos >= line.size() || line[pos] != u'"') return std::nullopt;
    QString out;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == u'\\' && pos + 1 < line.size()) {
            out += line[++pos];
        } else if (c == u'"') {
            ++pos;
            return out;
        } else {
            out += c;
        }
    }
    return std::nullopt;  // unterminated
}

bool IsServerKey(const QString& key) {
    return key.trimmed().endsWith(QStringLiteral("\\InprocServer32"), Qt::CaseInsensitive);
}

QString Quote(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'\\' || c == u'"') out += u'\\';
        out += c;
    }
    return out + u'"';
}

}  // namespace

QString CClassRegistry::Normalize(const QString& key) {
    QString k = key.trimmed().toLower();
    while (k.endsWith(u'\\')) k.chop(1);
    return k;
}

bool CClassRegistry::LoadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    LoadText(QString::fromUtf8(file.readAll()), QFileInfo(path).absolutePath());
    return true;
}

void CClassRegistry::LoadText(const QString& text, const QString& baseFolder) {
    QString key;
    bool haveKey = false;
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            key = line.mid(1, line.size() - 2);
            haveKey = !Normalize(key).isEmpty();
            if (haveKey) m_keys[Normalize(key)];
            continue;
        }
        if (!haveKey) continue;
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else {
            auto quoted = ReadQuoted(line, pos);
            if (!quoted) continue;
            name = *quoted;
        }
        while (pos < line.size() && line[pos].isSpace()) ++pos;
        if (pos >= line.size() || line[pos] != u'=') continue;
        ++pos;
        while (pos < line.size() && line[pos].isSpace()) ++pos;
        auto value = ReadQuoted(line, pos);
        if (!value) continue;
        // A server file named relative to the registry file lies beside it,
        // so an installed tree can be moved or unpacked anywhere.
        if (!baseFolder.isEmpty() && name.isEmpty() && IsServerKey(key) && !value->isEmpty() &&
            QDir::isRelativePath(*value))
            *value = QDir::cleanPath(QDir(baseFolder).filePath(*value));
        SetValue(key, name, *value);
    }
}

void CClassRegistry::SetValue(const QString& key, const QString& name, const QString& value) {
    m_keys[Normalize(key)][name.toLower()] = value;
}

bool CClassRegistry::KeyExists(const QString& key) const {
    return m_keys.contains(Normalize(key));
}

std::optional<QString> CClassRegistry::QueryValue(const QString& key, const QString& name) const {
    const auto k = m_keys.constFind(Normalize(key));
    if (k == m_keys.constEnd()) return std::nullopt;
    const auto v = k->constFind(name.toLower());
    if (v == k->constEnd()) return std::nullopt;
    return *v;
}

QString CClassRegistry::CLSIDFromProgID(const QString& progId) const {
    if (progId.trimmed().isEmpty()) return {};
    return QueryValue(progId + QStringLiteral("\\CLSID")).value_or(QString()).trimmed();
}

QString CClassRegistry::ProgIDFromCLSID(const QString& clsid) const {
    if (clsid.isEmpty()) return {};
    return QueryValue(QStringLiteral("CLSID\\") + clsid + QStringLiteral("\\ProgID")).value_or(QString()).trimmed();
}

std::optional<QString> CClassRegistry::InprocServer(const QString& clsid) const {
    if (clsid.isEmpty()) return std::nullopt;
    return QueryValue(QStringLiteral("CLSID\\") + clsid + QStringLiteral("\\InprocServer32"));
}

QString CClassRegistry::RegistrationText(const QString& progId, const QString& clsid, const QString& serverFile,
                                         const QString& title) {
    QString t;
    t += QStringLiteral("; TavishFennic class registry\n");
    t += QStringLiteral("[%1]\n@=%2\n").arg(progId, Quote(title));
    t += QStringLiteral("[%1\\CLSID]\n@=%2\n").arg(progId, Quote(clsid));
    t += QStringLiteral("[CLSID\\%1]\n@=%2\n").arg(clsid, Quote(title));
    t += QStringLiteral("[CLSID\\%1\\ProgID]\n@=%2\n").arg(clsid, Quote(progId));
    t += QStringLiteral("[CLSID\\%1\\InprocServer32]\n@=%2\n").arg(clsid, Quote(serverFile));
    return t;
}

QStringList CClassRegistry::DefaultFiles(const QString& programFolder) {
    const QString forced = qEnvironmentVariable("FENNIC_CLASS_REGISTRY");
    if (!forced.isEmpty()) return {forced};
    QStringList files{QDir(programFolder).filePath(QStringLiteral("classes.reg"))};
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty()) files << QDir(config).filePath(QStringLiteral("Meridex/classes.reg"));
    return files;
}

CClassRegistry CClassRegistry::LoadDefault(const QString& programFolder) {
    CClassRegistry registry;
    for (const QString& file : DefaultFiles(programFolder)) registry.LoadFile(file);
    return registry;
}

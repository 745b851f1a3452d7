#include "core/BrowserList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

namespace {

const QString kSection = QStringLiteral("Specify Browser");
const QString kAppPaths = QStringLiteral("SOFTWARE\\Microsoft\\windows\\CurrentVersion\\App Paths\\");
const QString kNavigator = QStringLiteral("SOFTWARE\\Netscape\\Netscape Navigator");
const QString kNetscapeExe = QStringLiteral("\\Program\\Netscape.exe");

QString KeyOf(RegistryRoot root, const QString& key, const QString& name) {
    return (root == RegistryRoot::LocalMachine ? QStringLiteral("HKLM\\") : QStringLiteral("HKCU\\")) + key.toLower() +
           u'|' + name.toLower();
}

QString Cut512(const QString& text) {
    // 512 bytes including the terminator of the system's call.
    QByteArray bytes = text.toLocal8Bit();
    if (bytes.size() > 511) bytes.truncate(511);
    return QString::fromLocal8Bit(bytes);
}

QString TrimRight(QString text) {
    while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
    return text;
}

// The program of a desktop entry's Exec line: its first word, unquoted.
QString ExecProgram(const QString& exec) {
    const QString line = exec.trimmed();
    if (line.startsWith(u'"')) {
        const qsizetype end = line.indexOf(u'"', 1);
        return end > 0 ? line.mid(1, end - 1) : QString();
    }
    return line.section(u' ', 0, 0);
}

}  // namespace

QString CRegistryStore::Read(RegistryRoot root, const QString& key, const QString& name) const {
    const auto it = m_values.constFind(KeyOf(root, key, name));
    if (it != m_values.constEnd()) return Cut512(*it);
#ifdef Q_OS_WIN
    if (this == &System()) {
        const QString rootName = root == RegistryRoot::LocalMachine ? QStringLiteral("HKEY_LOCAL_MACHINE\\")
                                                                    : QStringLiteral("HKEY_CURRENT_USER\\");
        QSettings settings(rootName + key, QSettings::NativeFormat);
        return Cut512(settings.value(name.isEmpty() ? QStringLiteral(".") : name).toString());
    }
#endif
    return {};
}

void CRegistryStore::Set(RegistryRoot root, const QString& key, const QString& name, const QString& value) {
    m_values.insert(KeyOf(root, key, name), value);
}

CRegistryStore& CRegistryStore::System() {
    static CRegistryStore store;
    return store;
}

QStringList DesktopApplicationFolders() {
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

QList<InstalledBrowser> DesktopWebBrowsers(const QStringList& applicationFolders) {
    QList<InstalledBrowser> browsers;
    QStringList seenFiles;
    for (const QString& folder : applicationFolders) {
        const QStringList files = QDir(folder).entryList({QStringLiteral("*.desktop")}, QDir::Files, QDir::Name);
        for (const QString& file : files) {
            // The first folder holding an entry wins, as for the desktop.
            if (seenFiles.contains(file)) continue;
            seenFiles << file;
            QFile entry(QDir(folder).filePath(file));
            if (!entry.open(QIODevice::ReadOnly | QIODevice::Text)) continue;
            QTextStream in(&entry);
            bool inEntry = false;
            QString name, exec, type;
            QStringList categories;
            bool hidden = false;
            while (!in.atEnd()) {
                const QString line = in.readLine().trimmed();
                if (line.startsWith(u'[')) {
                    inEntry = line == QLatin1String("[Desktop Entry]");
                    continue;
                }
                if (!inEntry) continue;
                const qsizetype eq = line.indexOf(u'=');
                if (eq < 0) continue;
                const QString key = line.left(eq).trimmed();
                const QString value = line.mid(eq + 1).trimmed();
                if (key == QLatin1String("Name")) name = value;
                else if (key == QLatin1String("Exec")) exec = value;
                else if (key == QLatin1String("Type")) type = value;
                else if (key == QLatin1String("Categories")) categories = value.split(u';', Qt::SkipEmptyParts);
                else if ((key == QLatin1String("Hidden") || key == QLatin1String("NoDisplay")) &&
                         value == QLatin1String("true"))
                    hidden = true;
            }
            if (hidden || type != QLatin1String("Application") || !categories.contains(QStringLiteral("WebBrowser")))
                continue;
            const QString program = ExecProgram(exec);
            if (name.isEmpty() || program.isEmpty()) continue;
            bool known = false;
            for (const InstalledBrowser& b : std::as_const(browsers)) known = known || b.name == name;
            if (!known) browsers << InstalledBrowser{name, program};
        }
    }
    return browsers;
}

QString ShortNetscapeVersion(const QString& currentVersion) {
    const qsizetype paren = currentVersion.indexOf(u'(');
    // Cut before the character that precedes the "(" (the blank).
    if (paren < 1) return {};
    return currentVersion.left(paren - 1);
}

CBrowserList::CBrowserList(const CRegistryStore& registry, const QStringList& applicationFolders) {
    Detect(registry, applicationFolders);
    ReadCustomized();
}

void CBrowserList::Append(const QString& name, const QString& path) {
    m_knownNames << name;
    m_knownPaths << path;
}

void CBrowserList::Detect(const CRegistryStore& registry, const QStringList& applicationFolders) {
    const auto lm = RegistryRoot::LocalMachine;
    const QString ie = registry.Read(lm, kAppPaths + QStringLiteral("IEXPLORE.EXE"), QString());
    if (!ie.isEmpty()) Append(QStringLiteral("Internet Explorer"), ie);

    const QString current = registry.Read(lm, kNavigator, QStringLiteral("CurrentVersion"));
    if (!current.isEmpty()) {
        const QString folder = registry.Read(lm, kNavigator + u'\\' + current + QStringLiteral("\\Main"),
                                             QStringLiteral("Install Directory"));
        m_netscapeVersion = ShortNetscapeVersion(current);
        Append(QStringLiteral("Netscape Communicator ") + TrimRight(m_netscapeVersion), folder + kNetscapeExe);
    }

    const auto netscape4 = [&](const QString& version) {
        const QString folder = registry.Read(lm, kNavigator + u'\\' + version + QStringLiteral(" (en)\\Main"),
                                             QStringLiteral("Install Directory"));
        if (!folder.isEmpty() && version != m_netscapeVersion)
            Append(QStringLiteral("Netscape Communicator ") + version, folder + kNetscapeExe);
    };
    for (int i = 0; i <= 9; ++i) netscape4(QStringLiteral("4.%1").arg(i));
    for (int j = 1; j <= 9; ++j) netscape4(QStringLiteral("4.0%1").arg(j));

    const QString n3folder = registry.Read(RegistryRoot::CurrentUser, kNavigator + QStringLiteral("\\Main"),
                                           QStringLiteral("Install Directory"));
    const QString mozilla = registry.Read(RegistryRoot::CurrentUser, kNavigator + QStringLiteral("\\Main"),
                                          QStringLiteral("Mozilla"));
    if (!n3folder.isEmpty() && mozilla.contains(QStringLiteral("3.0"))) {
        const QString path = n3folder + kNetscapeExe;
        if (QFileInfo::exists(path)) Append(QStringLiteral("Netscape Navigator 3"), path);
    }

    const QString opera = registry.Read(lm, kAppPaths + QStringLiteral("Opera.EXE"), QString());
    if (!opera.isEmpty()) Append(QStringLiteral("Opera"), opera);
    const QString hotJava = registry.Read(lm, kAppPaths + QStringLiteral("HotJava.EXE"), QString());
    if (!hotJava.isEmpty()) Append(QStringLiteral("HotJava"), hotJava);

    for (const InstalledBrowser& browser : DesktopWebBrowsers(applicationFolders))
        Append(browser.name, browser.program);
}

QString CBrowserList::ProgramAt(int index) const {
    if (index >= 0 && index < m_knownPaths.size()) return m_knownPaths[index];
    index -= static_cast<int>(m_knownPaths.size());
    return index >= 0 && index < m_customPaths.size() ? m_customPaths[index] : QString();
}

QString CBrowserList::NameAt(int index) const {
    if (index >= 0 && index < m_knownNames.size()) return m_knownNames[index];
    index -= static_cast<int>(m_knownNames.size());
    return index >= 0 && index < m_customNames.size() ? m_customNames[index] : QString();
}

namespace {
int BrowserNum(QSettings& settings) {
    bool ok = false;
    const int n = settings.value(kSection + QStringLiteral("/BrowserNum")).toString().toInt(&ok);
    return ok ? n : 0;
}
QString Slot(QSettings& settings, const char* key, int i) {
    return settings.value(kSection + u'/' + QLatin1String(key) + QString::number(i)).toString();
}
bool WriteSlot(QSettings& settings, const QString& key, const QString& value) {
    settings.setValue(kSection + u'/' + key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
}  // namespace

void CBrowserList::ReadCustomized() {
    m_customNames.clear();
    m_customPaths.clear();
    QSettings settings;
    const int n = BrowserNum(settings);
    for (int i = 1; i <= n; ++i) {
        const QString path = Slot(settings, "Path", i);
        const QString name = Slot(settings, "Name", i);
        if (!path.isEmpty() && !name.isEmpty()) {
            m_customNames << name;
            m_customPaths << path;
        }
    }
}

bool CBrowserList::Add(const QString& name, const QString& path,
                       const std::function<void(const QString&)>& showMessage) {
    if (name.isEmpty()) {
        if (showMessage) showMessage(QStringLiteral("You must input a name for this browser!"));
        return false;
    }
    QSettings settings;
    const int n = BrowserNum(settings);
    int freeSlot = 0;
    for (int i = 1; i <= n; ++i) {
        const QString existing = Slot(settings, "Name", i);
        if (existing == name) {
            if (showMessage) showMessage(QStringLiteral("Please give a new name to this browser!"));
            return false;
        }
        if (existing.isEmpty()) freeSlot = i;
    }
    const int slot = freeSlot > 0 ? freeSlot : (n > 0 ? n + 1 : 1);
    if (!WriteSlot(settings, QStringLiteral("BrowserNum"), QString::number(std::max(n, slot))) ||
        !WriteSlot(settings, QStringLiteral("Path%1").arg(slot), path) ||
        !WriteSlot(settings, QStringLiteral("Name%1").arg(slot), name))
        return false;
    ReadCustomized();
    return true;
}

bool CBrowserList::Delete(const QString& name) {
    QSettings settings;
    const int n = BrowserNum(settings);
    for (int i = 1; i <= n; ++i) {
        if (Slot(settings, "Name", i) != name) continue;
        if (!WriteSlot(settings, QStringLiteral("Path%1").arg(i), QString()) ||
            !WriteSlot(settings, QStringLiteral("Name%1").arg(i), QString()))
            return false;
        ReadCustomized();
        return true;
    }
    return false;
}

LaunchCommand BrowserLaunchCommand(const QString& program, const QString& previewFile) {
    return {program, {previewFile}};
}

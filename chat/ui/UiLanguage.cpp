#include "UiLanguage.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>

namespace lanyx::ui {

namespace {
// Texts of the toolkit's file dialogs that its own French and Spanish
// translations lack: the program carries them.
[[maybe_unused]] const char* const kToolkitTexts[] = {
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Drive"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "File Folder"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Folder"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "File"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Shortcut"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Unknown"),
    QT_TRANSLATE_NOOP("QAbstractFileIconProvider", "Alias"),
};

// The places the toolkit's own translations may be: where the toolkit was
// installed, and beside the program (a portable or deployed copy).
QStringList toolkitFolders() {
    QStringList dirs{QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    if (QCoreApplication::instance()) {
        const QString here = QCoreApplication::applicationDirPath();
        dirs << QDir(here).filePath(QStringLiteral("translations")) << here;
    }
    return dirs;
}
}  // namespace

UiLanguage::UiLanguage() = default;

UiLanguage::~UiLanguage() {
    for (auto& t : installed_)
        if (t) QCoreApplication::removeTranslator(t.get());
}

QString UiLanguage::LocaleFor(const std::string& language) {
    const QString name = QString::fromStdString(language).trimmed().toLower();
    if (name.startsWith(QLatin1String("deutsch")) || name == QLatin1String("german")) return QStringLiteral("de");
    if (name.startsWith(QStringLiteral("fran")) || name == QLatin1String("french")) return QStringLiteral("fr");
    if (name.startsWith(QStringLiteral("espa")) || name == QLatin1String("spanish")) return QStringLiteral("es");
    return QStringLiteral("en");
}

bool UiLanguage::Apply(const std::string& language) {
    const QString locale = LocaleFor(language);
    if (locale == current_) return true;
    for (auto& t : installed_)
        if (t) QCoreApplication::removeTranslator(t.get());
    installed_.clear();
    current_ = locale;
    // Dates and numbers the toolkit writes (file dialogs, times) follow too.
    QLocale::setDefault(locale == QLatin1String("en") ? QLocale::system() : QLocale(locale));
    if (locale == QLatin1String("en")) return true;
    bool ok = true;
    // The toolkit's first: what the program says itself is looked up before it.
    auto toolkit = std::make_unique<QTranslator>();
    bool found = false;
    for (const QString& dir : toolkitFolders())
        if (toolkit->load(QStringLiteral("qtbase_") + locale, dir)) {
            found = true;
            break;
        }
    if (found) {
        QCoreApplication::installTranslator(toolkit.get());
        installed_.push_back(std::move(toolkit));
    } else {
        ok = false;
    }
    auto own = std::make_unique<QTranslator>();
    if (own->load(QStringLiteral(":/i18n/lanyx_") + locale + QStringLiteral(".qm"))) {
        QCoreApplication::installTranslator(own.get());
        installed_.push_back(std::move(own));
    } else {
        ok = false;
    }
    return ok;
}

void SetLanEverywhere() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->metaObject()->indexOfMethod("SetLan()") >= 0) QMetaObject::invokeMethod(w, "SetLan");
}

}  // namespace lanyx::ui

#include "ui/ShellApp.h"

#include "ui/WidgetUIDlg.h"
#include "controls/DesignerBitmaps.h"
#include "ui/AboutDlg.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

namespace {
CShellApp* g_app = nullptr;

bool MakeCurrent(const QString& folder) {
    if (folder.isEmpty()) return false;
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder)) return false;
    return QDir::setCurrent(folder);
}
}  // namespace

CShellApp::CShellApp() {
    g_app = this;
    m_homeFolder = QCoreApplication::applicationDirPath();
}

CShellApp* CShellApp::Instance() {
    return g_app;
}

QString CShellApp::EnterWorkingFolder(const QString& home, const QString& documents) {
    const QString name = QStringLiteral("My Widget");
    const QString nextToProgram = home.isEmpty() ? QString() : QDir(home).filePath(name);
    if (MakeCurrent(nextToProgram)) return nextToProgram;
    // An installed program's folder is not writable for its users.
    const QString inDocuments = documents.isEmpty() ? QString() : QDir(documents).filePath(name);
    if (MakeCurrent(inDocuments)) return inDocuments;
    return {};
}

int CShellApp::Run(const QString& work) {
    // The profile: "Meridex" / "Tavish Fennic" under the current user.
    QCoreApplication::setOrganizationName(QStringLiteral("Meridex"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavish Fennic"));
    QApplication::setWindowIcon(QIcon(FennicIconPixmap(32)));
    EnterWorkingFolder(m_homeFolder, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));

    CWidgetUIDlg dialog(RegistryBindingFactory(m_homeFolder));
    if (!dialog.Initialize()) return 1;
    // A file that cannot be opened says why and leaves the untitled work.
    if (!work.isEmpty()) dialog.OpenWork(work);
    dialog.exec();
    return 0;
}

void CShellApp::OnAppAbout(QWidget* parent) {
    CAboutDlg about(parent);
    about.exec();
}

void CShellApp::OnLameAbout(QWidget* parent) {
    CLameAboutDlg about(m_homeFolder, parent);
    about.exec();
}

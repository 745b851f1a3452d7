#include "ui/ShellApp.h"
#include "core/CommandLinePublish.h"
#include "core/SetupCheck.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>

namespace {

void Print(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
    // With --publish, --check asks for the button's checks; alone it checks
    // the setup.
    bool publishing = false;
    for (int i = 1; i < argc; ++i) publishing = publishing || std::strcmp(argv[i], "--publish") == 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            Print(QStringLiteral("TavishFennic %1\n").arg(QStringLiteral(TAVISHFENNIC_VERSION)));
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Print(
                QStringLiteral("Usage: tavishfennic\n"
                               "       tavishfennic WORK.pgt\n"
                               "       tavishfennic --publish WORK.pgt [--form link|button|svg] [--style inline|file]\n"
                               "                    --out DIR [--into PAGE]... [--marker TEXT] [--check] [--force]\n"
                               "       tavishfennic --check | --version | --help\n\n"
                               "  --publish    write WORK's code (NAME.head.html, NAME.body.html, NAME.fennic.html)\n"
                               "               and support files into DIR, as Publish would, without a window;\n"
                               "               --into puts the button into PAGE in place of its first marker\n"
                               "               (default <!-- button -->), the style into its head once, and\n"
                               "               the files it needs beside it; --style file puts the style into\n"
                               "               a style sheet the head links (for a strict Content-Security-\n"
                               "               Policy); --check runs the editor's checks first and, when one\n"
                               "               fails, names each and writes nothing (exit status 1). A file in\n"
                               "               DIR that is not an earlier output of the work stops it before\n"
                               "               anything is written, unless --force; beside a page such a file\n"
                               "               is never replaced: the copy takes the next free name.\n"
                               "  --check      show where the program looks for its files, then end\n"));
            return 0;
        }
        if (std::strcmp(argv[i], "--check") == 0 && !publishing) {
            // No window: works without a display. Exit status 1 when the
            // widget server cannot be bound.
            QCoreApplication app(argc, argv);
            QCoreApplication::setOrganizationName(QStringLiteral("Meridex"));
            QCoreApplication::setApplicationName(QStringLiteral("Tavish Fennic"));
            const SetupReport report = CheckSetup(QCoreApplication::applicationDirPath(),
                                                  QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
            Print(report.lines.join(u'\n') + u'\n');
            return report.ok ? 0 : 1;
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--publish") != 0) continue;
        PublishRequest request;
        bool bad = false;
        for (int j = 1; j < argc; ++j) {
            const char* arg = argv[j];
            const bool hasValue = j + 1 < argc;
            if (std::strcmp(arg, "--publish") == 0 && hasValue) request.work = QString::fromLocal8Bit(argv[++j]);
            else if (std::strcmp(arg, "--form") == 0 && hasValue) request.form = QString::fromLocal8Bit(argv[++j]);
            else if (std::strcmp(arg, "--out") == 0 && hasValue) request.outDir = QString::fromLocal8Bit(argv[++j]);
            else if (std::strcmp(arg, "--into") == 0 && hasValue) request.pages << QString::fromLocal8Bit(argv[++j]);
            else if (std::strcmp(arg, "--marker") == 0 && hasValue) request.marker = QString::fromLocal8Bit(argv[++j]);
            else if (std::strcmp(arg, "--check") == 0) request.check = true;
            else if (std::strcmp(arg, "--force") == 0) request.force = true;
            else if (std::strcmp(arg, "--style") == 0 && hasValue) {
                const char* style = argv[++j];
                if (std::strcmp(style, "file") == 0) request.style = StyleForm::File;
                else if (std::strcmp(style, "inline") != 0) bad = true;
            } else bad = true;
        }
        if (bad || request.work.isEmpty() || request.outDir.isEmpty()) {
            std::fputs(
                "tavishfennic: --publish WORK.pgt [--form link|button|svg] [--style inline|file] --out DIR "
                "[--into PAGE]... [--marker TEXT] [--check] [--force]\n",
                stderr);
            return 2;
        }
        // Labels are measured with the fonts a window would use, without one.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        QCoreApplication::setOrganizationName(QStringLiteral("Meridex"));
        QCoreApplication::setApplicationName(QStringLiteral("Tavish Fennic"));
        const PublishResult result = PublishFromCommandLine(request, RegistryBindingFactory(
                                                                         QCoreApplication::applicationDirPath()));
        if (!result.checked.isEmpty()) Print(QStringLiteral("checks: %1\n").arg(result.checked));
        // Every file written is named, also when a later one failed.
        for (const QString& file : result.written) Print(QStringLiteral("wrote %1\n").arg(file));
        for (const QString& note : result.notes) std::fprintf(stderr, "tavishfennic: note: %s\n", qUtf8Printable(note));
        if (!result.ok) {
            std::fprintf(stderr, "tavishfennic: %s\n", qUtf8Printable(result.error));
            return 1;
        }
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("tavishfennic"));
    // A work named on the command line (a file manager's Open, the desktop
    // entry's %f) opens at once. Taken whole before the program moves into
    // its work folder, which would change what a relative path means.
    QString work;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size() && work.isEmpty(); ++i) {
        if (!args[i].startsWith(u'-')) work = QFileInfo(args[i]).absoluteFilePath();
    }
    CShellApp shell;
    return shell.Run(work);
}

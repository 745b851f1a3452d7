#include "ui/ShellApp.h"
#include "core/SetupCheck.h"

#include <QApplication>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>

namespace {

void Print(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            Print(QStringLiteral("TavishFennic %1\n").arg(QStringLiteral(TAVISHFENNIC_VERSION)));
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Print(QStringLiteral("Usage: tavishfennic\n"
                                 "       tavishfennic --check | --version | --help\n\n"
                                 "  --check      show where the program looks for its files, then end\n"));
            return 0;
        }
        if (std::strcmp(argv[i], "--check") == 0) {
            // No window: works without a display. Exit status 1 when the
            // widget server cannot be bound.
            QCoreApplication app(argc, argv);
            QCoreApplication::setOrganizationName(QStringLiteral("Meridex"));
            QCoreApplication::setApplicationName(QStringLiteral("Tavish Fennic"));
            const SetupReport report =
                CheckSetup(QCoreApplication::applicationDirPath(),
                           QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
            Print(report.lines.join(u'\n') + u'\n');
            return report.ok ? 0 : 1;
        }
    }
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("tavishfennic"));
    CShellApp shell;
    return shell.Run();
}

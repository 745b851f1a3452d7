// lanyx: chat and alerts for the local network, in the notification area.
#include "InstallCheck.h"
#include "LanyxApp.h"
#include "Networks.h"
#include "UdpTransport.h"
#include "Platform.h"
#include "logic/DesktopPrefs.h"

#include <QApplication>
#include <QTimer>
#include <iostream>
#include <vector>

int main(int argc, char** argv) {
    lanyx::ui::DesktopOptions options;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        options.commandLine += a + " ";
        if ((a == "--dir" || a == "--name" || a == "--probe-ms" || a == "--broadcast") && i + 1 >= argc) {
            std::cerr << "lanyx: " << a << " needs a value\n";
            return 2;
        }
        if (a == "--dir") options.dir = argv[++i];
        else if (a == "--name") options.name = argv[++i];
        else if (a == "--probe-ms") options.probeMs = static_cast<std::uint32_t>(std::stoul(argv[++i]));
        else if (a == "--broadcast") options.broadcast = argv[++i];
        else if (a == "--check") check = true;
        else if (a == "--version") {
            std::cout << "Lanyx " << LANYX_VERSION_MAJOR << '.' << LANYX_VERSION_MINOR << '.' << LANYX_VERSION_PATCH
                      << '\n';
            return 0;
        } else if (a == "-h" || a == "--help") {
            std::cout << "Usage: lanyx [--dir DIR] [--name NAME] [safe]\n"
                         "       lanyx --check | --version | --help\n\n"
                         "  --dir DIR    data folder (User.ini, Log.txt)\n"
                         "  --name NAME  user name for this run\n"
                         "  safe         plain menus instead of the drawn ones\n"
                         "  --check      show where the program looks for its files and which\n"
                         "               interfaces and destinations it sends to, then end\n";
            return 0;
        }
    }
    if (check) {
        // Exit status 1 when the language file, without which nothing starts, cannot be used.
        const auto paths = lanyx::ResolvePaths(options.dir ? std::optional<std::filesystem::path>(*options.dir)
                                                           : std::nullopt);
        const auto report = lanyx::CheckInstall(paths, lanyx::platform::isDirWritable(paths.dataDir));
        std::cout << lanyx::FormatReport(report);
        // Where the datagrams go: the interfaces and the extra destinations
        // (name look-ups want an application object, no windows).
        QCoreApplication core(argc, argv);
        const auto list = lanyx::net::readDestinations(paths.dataDir / lanyx::net::kDestinationsFile);
        std::cout << "Network (sends to):\n";
        for (const auto& line :
             lanyx::UdpTransport::describeRoutesFor(list.entries,
                                                    QHostAddress(QString::fromStdString(options.broadcast))))
            std::cout << "  " << line << "\n";
        for (const auto& p : list.problems)
            std::cout << "  " << lanyx::net::kDestinationsFile << ": left out: " << p << "\n";
        return report.ok ? 0 : 1;
    }
    // On a Wayland session the popup cannot place itself: run through
    // XWayland where there is one. Given on the command line, not in the
    // environment, so that programs started from here choose for themselves.
    std::vector<char*> args(argv, argv + argc);
    QByteArray platform = lanyx::ui::ChoosePlatform(lanyx::ui::CurrentSessionEnv()).toUtf8();
    static char platformOption[] = "-platform";
    if (!platform.isEmpty()) {
        args.insert(args.begin() + 1, {platformOption, platform.data()});
        std::cerr << "lanyx: Wayland session: running through XWayland (set QT_QPA_PLATFORM to choose)\n";
    }
    args.push_back(nullptr);
    int qtArgc = static_cast<int>(args.size()) - 1;
    QApplication app(qtArgc, args.data());
    QApplication::setApplicationName(QStringLiteral("Lanyx"));
    QApplication::setDesktopFileName(QStringLiteral("lanyx"));
    // The program lives in the notification area: no window open is no reason to end.
    QApplication::setQuitOnLastWindowClosed(false);

    lanyx::ui::LanyxApp lanyx(options);
    bool keepRunning = false;
    QTimer::singleShot(0, [&] {
        keepRunning = lanyx.start();
        if (!keepRunning) QCoreApplication::exit(lanyx.exitCode());
    });
    const int code = app.exec();
    return code;
}

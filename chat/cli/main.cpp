// lanyx-cli: the chat node without windows, for terminals and scripts.
#include "CliPeer.h"
#include "Networks.h"
#include "Paths.h"
#include "Platform.h"
#include "RecordFile.h"
#include "QtEventPump.h"
#include "SignalBridge.h"
#include "Text.h"
#include "UdpTransport.h"
#include "Wire.h"

#include <QCoreApplication>

#include <algorithm>
#include <iostream>


using namespace lanyx;

namespace {

// Message boxes become lines on standard error.
class TerminalUi : public UserInterface {
public:
    void messageBox(const std::string& text, const std::string& title, int) override {
        std::string t = text;
        for (char& c : t)
            if (c == '\n' || c == '\r') c = ' ';
        std::cerr << "lanyx-cli: " << (title.empty() ? "" : title + ": ") << t << std::endl;
    }
};

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    cli::CliOptions opt;
    if (const auto problem = cli::ParseArgs(args, opt)) {
        std::cerr << "lanyx-cli: " << *problem << "\nTry 'lanyx-cli --help'." << std::endl;
        return 2;
    }
    if (opt.help) {
        std::cout << cli::HelpText();
        return 0;
    }
    if (opt.version) {
        std::cout << "lanyx-cli " << LANYX_VERSION_MAJOR << '.' << LANYX_VERSION_MINOR << '.' << LANYX_VERSION_PATCH
                  << std::endl;
        return 0;
    }
    QHostAddress broadcast;
    if (!broadcast.setAddress(QString::fromStdString(opt.broadcast)) ||
        broadcast.protocol() != QAbstractSocket::IPv4Protocol) {
        std::cerr << "lanyx-cli: not an IPv4 address: " << opt.broadcast << std::endl;
        return 2;
    }

    QCoreApplication app(argc, argv);
    const auto paths = ResolvePaths(opt.dir ? std::optional<std::filesystem::path>(*opt.dir) : std::nullopt);

    NodeConfig config;
    config.dataDir = paths.dataDir;
    config.langFile = paths.langFile;
    config.logonName = platform::GetLogonName();
    config.nameForRun = opt.name;
    config.colourForRun = opt.colour;

    // Extra destinations: the data folder's list, and --also for this run.
    auto destinations = net::readDestinations(paths.dataDir / net::kDestinationsFile);
    for (const auto& p : destinations.problems)
        std::cerr << "lanyx-cli: " << net::kDestinationsFile << ": left out: " << p << std::endl;
    for (const auto& a : opt.also)
        if (std::find(destinations.entries.begin(), destinations.entries.end(), a) == destinations.entries.end())
            destinations.entries.push_back(a);
    if (opt.command == "networks") {
        for (const auto& line : UdpTransport::describeRoutesFor(destinations.entries, broadcast))
            std::cout << line << std::endl;
        return 0;
    }

    UdpTransport transport(broadcast, wire::kPort);
    transport.setExtraDestinations(destinations.entries);
    QtEventPump pump;
    TerminalUi ui;
    UserList* usersForPrinter = nullptr;
    // The printer needs the node's roster and the node needs the printer: the
    // printer is created first and pointed at the roster right after.
    struct Sink : MessageSink {
        cli::EventPrinter* printer = nullptr;
        void ShowAlert(const std::string& t, const std::string& s, bool p) override { printer->ShowAlert(t, s, p); }
        void RouteChatLine(const std::string& t, const std::string& s, bool p, std::uint32_t c) override {
            printer->RouteChatLine(t, s, p, c);
        }
        void ShowBox(const std::string& t, const std::string& s) override { printer->ShowBox(t, s); }
        void PrivateDelivery(const DeliveryReport& r) override { printer->PrivateDelivery(r); }
        void KeyWarning(const std::string& n, const std::string& t) override { printer->KeyWarning(n, t); }
    } sink;
    ChatNode node(config, transport, ui, sink, pump);
    usersForPrinter = &node.users();
    cli::EventPrinter printer(std::cout, *usersForPrinter);
    sink.printer = &printer;
    // Networks as they come and go, in the event lines while listening.
    transport.setNetworkReporter([&](const std::string& kind, const std::string& what) { printer.note(kind, what); });
    node.users().addObserver(&printer);

    StartUp startUp(node, ui, pump);

    // SIGINT and SIGTERM end the program through the normal shutdown.
    bool running = false;
    SignalBridge terminator;
    QObject::connect(&terminator, &SignalBridge::terminateRequested, [&] {
        pump.requestStop();
        if (running) app.quit();
    });

    StartUpOptions so;
    so.commandLine = [&] {
        std::string s;
        for (const auto& a : args) s += a + " ";
        return s;
    }();
    so.versionMajor = LANYX_VERSION_MAJOR;
    so.versionMinor = LANYX_VERSION_MINOR;
    so.versionRevision = LANYX_VERSION_PATCH;
    so.probeMs = opt.probeMs;
    so.initialStatus = static_cast<std::int16_t>(opt.status.value_or(0));

    const auto result = startUp.run(so);
    switch (result) {
    case StartUpResult::Running: break;
    case StartUpResult::AnotherInstance: return 4;
    case StartUpResult::Stopped: return 0;
    case StartUpResult::NameRefused:
        std::cerr << "lanyx-cli: the name " << node.settings().UserName
                  << " is already in use on the network; choose another with --name" << std::endl;
        return 3;
    case StartUpResult::Failed:
        startUp.Shutdown();
        return 1;
    }

    int status = 0;
    if (opt.command == "listen") {
        printer.setPrinting(true);
        // What the start found, for the event lines too.
        for (const auto& line : transport.describeRoutes())
            if (line.rfind("interface ", 0) == 0 && line.find(", not sent twice") == std::string::npos)
                printer.note("network", line.substr(10));
        running = true;
        if (!pump.stopRequested()) app.exec();
    } else if (opt.command == "who") {
        // Halfway through, everybody is asked once more: who was lost among
        // the replies to our join answers this time.
        pump.runFor(opt.waitMs / 2);
        if (!pump.stopRequested()) node.RequestRoster();
        pump.runFor(opt.waitMs - opt.waitMs / 2);
        for (const auto& u : node.users().users())
            std::cout << cli::EventLine(u.text, std::to_string(u.status), std::to_string(u.colour)) << std::endl;
    } else {
        const bool alert = opt.command == "alert";
        const std::string mark(alert ? wire::AlertMark : wire::ChatMark);
        try {
            if (opt.to.empty()) {
                node.SendToAll(mark + opt.text);
                if (alert) node.WriteLog("alert sent to all");
            } else {
                if (opt.dropFirstPrivate && node.secure()) node.secure()->dropNextPrivateForTest();
                for (const auto& name : opt.to) {
                    if (!printer.everSeen(name))
                        std::cerr << "lanyx-cli: " << name << " was not seen on the network; sending anyway"
                                  << std::endl;
                    node.SendPrivate(name + " " + mark + opt.text);
                    if (alert) node.WriteLog("Private alert sent to " + name);
                }
            }
        } catch (const LanyxError& e) {
            std::cerr << "lanyx-cli: sending failed: " << e.number() << ": " << e.what() << std::endl;
            status = 1;
        }
        pump.pumpOnce();
        // Encrypted messages are repeated until confirmed: stay for that.
        for (int i = 0; i < 100 && printer.awaitingReceipts() > 0 && !pump.stopRequested(); ++i) pump.runFor(100);
    }
    startUp.Shutdown();
    return status;
}

// lanyx-cli: the chat node without windows, for terminals and scripts.
#include "CliKeys.h"
#include "CliHistory.h"
#include "CliWaiting.h"
#include "CliPeer.h"
#include "CliTransfers.h"
#include "CliPictures.h"
#include "CliVerbs.h"
#ifdef LANYX_CLI_TEST_AIDS
#include "CliTestAids.h"
#include "CliTransferAids.h"
#endif
#include "FileTransfers.h"
#include "History.h"
#include "Networks.h"
#include "Paths.h"
#include "Platform.h"
#include "Error.h"
#include "QtEventPump.h"
#include "SignalBridge.h"
#include "Text.h"
#include "UdpTransport.h"
#include "WaitingService.h"
#include "Wire.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

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
    bool opensWindows() const override { return false; }
};

// Runs the event loop for a while, also after a stop was requested (the
// pump's own waits end at once then): cancels still have to go out.
void spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool listedAs(const UserList& users, const std::string& name) {
    const auto key = toLower(name);
    for (const auto& u : users.users())
        if (u.key == key) return true;
    return false;
}

// Sends an alert or a chat line as `opt` says, at once (the waits for the
// recipients come before). The exit status: 0, kWithheld, 5 (no such
// shared chat, or nobody to share it with) or 1.
int sendNow(ChatNode& node, rooms::RoomService& rooms, const cli::CliOptions& opt, cli::EventPrinter& printer) {
    const bool alert = opt.command == "alert";
    const std::string mark(alert ? wire::AlertMark : wire::ChatMark);
    int status = 0;
    std::vector<std::string> to = opt.to;
    std::string chatKey;  // a shared chat's line is one message of that chat in the history
    if (opt.room) {
        const rooms::Room* room = nullptr;
        if (*opt.room == "new") {
            room = rooms.open(opt.to);
            if (!room) {
                std::cerr << "lanyx-cli: none of them shares chats (their programs keep their own lists, or "
                             "they were not heard with their keys)"
                          << std::endl;
                return 5;
            }
            // Its id, for the commands that follow.
            std::cout << cli::EventLine("room", node.state().MyName,
                                        cli::RoomEventText(*room, {rooms::RoomEvent::Kind::Joined, {}, {}}))
                      << std::endl;
        } else {
            room = rooms.book().find(*opt.room);
            if (!room) {
                std::cerr << "lanyx-cli: no shared chat " << *opt.room << " in this data folder" << std::endl;
                return 5;
            }
        }
        rooms.touch(room->id);
        chatKey = history::RoomKey(room->id);
        to.clear();
        for (const auto& m : room->members)
            if (!equalsNoCase(m, node.state().MyName)) to.push_back(m);
    }
    try {
        if (to.empty()) {
            node.SendToAll(mark + opt.text);
            if (alert) node.WriteLog("alert sent to all");
            return 0;
        }
        const auto id = node.NewLineId();  // one line: one id at every member
        printer.sending(id);
        struct Done {
            cli::EventPrinter& p;
            ~Done() { p.sending(0); }
        } done{printer};
        for (const auto& name : to) {
            const auto report = node.SendPrivate(name + " " + mark + opt.text, chatKey, id);
            if (report.state == Delivery::Withheld) {
                if (report.withheld == Withheld::KeyChanged)
                    std::cerr << "lanyx-cli: " << name << ": not sent: " << name
                              << "'s key changed. Compare the safety number (lanyx-cli keys) with " << name
                              << " in person or by phone, then accept the new key with lanyx-cli verify " << name
                              << ", or keep the known one with lanyx-cli verify --keep-known " << name << std::endl;
                status = cli::kWithheld;
                continue;
            }
            if (alert && report.state != Delivery::Queued) node.WriteLog("Private alert sent to " + name);
        }
    } catch (const LanyxError& e) {
        std::cerr << "lanyx-cli: sending failed: " << e.number() << ": " << e.what() << std::endl;
        return 1;
    }
    return status;
}

// Adds members to a shared chat or takes them out, as `opt` says; every
// member's copy that shares chats is told. 0, or 5 when the chat is not
// known here or a name changed nothing.
int roomNow(ChatNode& node, rooms::RoomService& rooms, const cli::CliOptions& opt) {
    if (!rooms.book().find(opt.roomId)) {
        std::cerr << "lanyx-cli: no shared chat " << opt.roomId << " in this data folder" << std::endl;
        return 5;
    }
    const bool add = opt.roomAction == "add";
    int status = 0;
    for (const auto& name : opt.roomNames) {
        if (add ? !rooms.add(opt.roomId, name) : !rooms.remove(opt.roomId, name)) {
            std::cerr << "lanyx-cli: " << name << (add ? " is in that chat already" : " is not in that chat")
                      << std::endl;
            status = 5;
            continue;
        }
        const rooms::RoomEvent event{add ? rooms::RoomEvent::Kind::Added : rooms::RoomEvent::Kind::Removed,
                                     node.state().MyName,
                                     {name}};
        std::cout << cli::EventLine("room", node.state().MyName,
                                    cli::RoomEventText(*rooms.book().find(opt.roomId), event))
                  << std::endl;
    }
    return status;
}

// Goes on under another user name (leaving and joining as the Options
// dialog does); other copies of ours carry what they keep of us over.
void renameNow(ChatNode& node, const cli::CliOptions& opt) {
    if (const auto problem = node.NameProblem(opt.newName); !problem) {
        std::cerr << "lanyx-cli: cannot go on as " << opt.newName << ": "
                  << node.LangText(NameRefusalText(problem.error().reason)) << std::endl;
        return;
    }
    if (opt.newName == node.state().MyName) return;
    node.rejoinUnder(opt.newName);
}

// Changes to shared chats as `room` event lines.
struct RoomPrinter : rooms::RoomObserver {
    explicit RoomPrinter(cli::EventPrinter& out) : printer(out) {}
    void roomChanged(const rooms::Room& room, const rooms::RoomEvent& event) override {
        printer.event("room", event.by, cli::RoomEventText(room, event));
    }
    void roomBacklog(const rooms::Room& room, const std::string&, const std::vector<Message>& lines) override {
        for (const auto& l : lines) printer.event("earlier", l.peer, room.id + " " + MarkedText(l));
    }
    cli::EventPrinter& printer;
};

// Commands on standard input while listening, one a line.
class CommandReader {
public:
    using Run = std::function<void(const cli::CliOptions&)>;
    explicit CommandReader(Run run) : run_(std::move(run)), notifier_(STDIN_FILENO, QSocketNotifier::Read) {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { readSome(); });
    }

private:
    void readSome() {
        char buf[4096];
        const auto n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            // Standard input ended (or is no input at all): listening goes on.
            notifier_.setEnabled(false);
            return;
        }
        pending_.append(buf, static_cast<std::size_t>(n));
        // A line without its end in sight is not kept for ever.
        if (pending_.size() > 65536 && pending_.find('\n') == std::string::npos) {
            std::cerr << "lanyx-cli: a command line longer than 64 KiB was dropped" << std::endl;
            pending_.clear();
        }
        std::size_t nl;
        while ((nl = pending_.find('\n')) != std::string::npos) {
            const std::string line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            command(line);
        }
    }
    void command(const std::string& line) {
        const auto words = cli::SplitWords(line);
        if (!words) {
            std::cerr << "lanyx-cli: a quote is not closed: " << line << std::endl;
            return;
        }
        if (words->empty()) return;
        cli::CliOptions o;
        if (const auto problem = cli::ParseArgs(*words, o)) {
            std::cerr << "lanyx-cli: " << *problem << std::endl;
            return;
        }
        if (o.command != "alert" && o.command != "chat" && o.command != "room" && o.command != "rename" &&
            o.command != "image" && !cli::IsVerbCommand(o)) {
            std::cerr << "lanyx-cli: while listening, the commands are alert, chat, image, room, rename, reply, "
                         "react, edit and delete"
                      << std::endl;
            return;
        }
        run_(o);
    }
    Run run_;
    QSocketNotifier notifier_;
    std::string pending_;
};

}  // namespace

int main(int argc, char** argv) {
    // Started without standard input: /dev/null takes its place, so that no
    // file or socket opened later becomes the input commands are read from.
    if (fcntl(STDIN_FILENO, F_GETFD) == -1) {
        const int null = open("/dev/null", O_RDONLY);
        if (null > STDIN_FILENO) close(null);
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    cli::CliOptions opt;
#ifdef LANYX_CLI_TEST_AIDS
    cli::TestAids aids;
    auto refused = cli::TakeTestAids(args, aids);
    if (!refused) refused = cli::ParseArgs(args, opt);
    if (!refused) refused = cli::CheckTestAids(aids, opt);
#else
    const auto refused = cli::ParseArgs(args, opt);
#endif
    if (refused) {
        std::cerr << "lanyx-cli: " << *refused << "\nTry 'lanyx-cli --help'." << std::endl;
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
    if (opt.command == "rename") {
        std::cerr << "lanyx-cli: rename is a command on standard input while listening (one run under another "
                     "name: --name NAME)"
                  << std::endl;
        return 2;
    }
    if (opt.command == "history") {
        // Read only, beside a copy that may run on the folder: no lock, no network.
        const auto paths = ResolvePaths(opt.dir ? std::optional<std::filesystem::path>(*opt.dir) : std::nullopt);
        return cli::RunHistory(opt.history, paths.dataDir, std::cout, std::cerr);
    }
    if (opt.command == "waiting") {
        const auto paths = ResolvePaths(opt.dir ? std::optional<std::filesystem::path>(*opt.dir) : std::nullopt);
        if (opt.cancelWaiting) return cli::CancelWaiting(paths.dataDir, opt.cancelWaiting, std::cout, std::cerr);
        return cli::ListWaiting(paths.dataDir, std::cout, std::cerr);
    }
    QHostAddress broadcast;
    if (!broadcast.setAddress(QString::fromStdString(opt.broadcast)) ||
        broadcast.protocol() != QAbstractSocket::IPv4Protocol) {
        std::cerr << "lanyx-cli: not an IPv4 address: " << opt.broadcast << std::endl;
        return 2;
    }

    QCoreApplication app(argc, argv);
    // Checked before the probe's wait: a mistake shows at once.
    if (opt.acceptInto) {
        const QFileInfo dir(QString::fromStdString(*opt.acceptInto));
        if (!dir.isDir() || !dir.isWritable()) {
            std::cerr << "lanyx-cli: --accept-into " << *opt.acceptInto
                      << (dir.isDir() ? ": this user cannot write to the folder" : ": no such folder") << std::endl;
            return 2;
        }
    }
    for (const auto& p : opt.paths) {
        const QFileInfo info(QString::fromStdString(p));
        if (!info.exists() && !info.isSymLink()) {
            std::cerr << "lanyx-cli: " << p << ": no such file or folder" << std::endl;
            return 2;
        }
    }
    const auto paths = ResolvePaths(opt.dir ? std::optional<std::filesystem::path>(*opt.dir) : std::nullopt);

    NodeConfig config;
    config.dataDir = paths.dataDir;
    config.langFile = paths.langFile;
    config.logonName = platform::GetLogonName();
    config.nameForRun = opt.name;
    config.colourForRun = opt.colour;
    // The history is written by the one copy that holds the folder.
    std::unique_ptr<history::History> kept;
    ChatNode* nodeForHistory = nullptr;
    config.folderHeld = [&] {
        kept = std::make_unique<history::History>(paths.dataDir);
        auto tell = [&app, &nodeForHistory](const std::string& text) {
            std::cerr << "lanyx-cli: " << text << std::endl;
            if (nodeForHistory) nodeForHistory->WriteLog(text);
        };
        if (!kept->openNotice().empty()) tell(kept->openNotice());
        // From the writer's thread to this one, where the log is written.
        kept->setNotices([&app, tell](const history::Notice& notice) {
            QMetaObject::invokeMethod(
                &app, [tell, text = notice.text] { tell(text); }, Qt::QueuedConnection);
        });
        if (nodeForHistory) nodeForHistory->addMessageObserver(kept.get());
    };

    // Extra destinations: the data folder's list, and --also for this run.
    auto destinations = net::readDestinations(paths.dataDir / net::kDestinationsFile);
    for (const auto& p : destinations.problems)
        std::cerr << "lanyx-cli: " << net::kDestinationsFile << ": left out: " << p << std::endl;
    for (const auto& a : opt.also)
        if (std::find(destinations.entries.begin(), destinations.entries.end(), a) == destinations.entries.end())
            destinations.entries.push_back(a);
    // The known keys need no network.
    if (opt.command == "keys" || opt.command == "verify") {
        const auto own = cli::OwnNameOf(paths.dataDir, opt.name, config.logonName);
        if (opt.command == "keys") return cli::ListKeys(paths.dataDir, own, std::cout, std::cerr);
        cli::VerifyRequest request{opt.verifyName, opt.safetyNumber, opt.keepKnown, isatty(STDIN_FILENO) == 1};
        return cli::VerifyKey(paths.dataDir, own, request, std::cin, std::cout, std::cerr);
    }
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
        void show(const Message& m) override { printer->show(m); }
        void PrivateDelivery(const DeliveryReport& r) override { printer->PrivateDelivery(r); }
        void KeyWarning(const std::string& n, const std::string& t) override { printer->KeyWarning(n, t); }
        void UserRenamed(const std::string& from, const std::string& to) override {
            printer->event("renamed", from, to);
        }
        void RenamedOntoKnownName(const std::string& from, const std::string& to) override {
            printer->event("renamed-onto-known-name", from, to);
        }
    } sink;
    // The tests' build loses a sealed private message on its way for
    // --drop-first-private: the node sends through a transport that drops it.
#ifdef LANYX_CLI_TEST_AIDS
    std::optional<cli::DropFirstPrivate> dropping;
    if (aids.dropFirstPrivate) dropping.emplace(transport);
    DatagramTransport& nodeTransport = dropping ? static_cast<DatagramTransport&>(*dropping) : transport;
#else
    DatagramTransport& nodeTransport = transport;
#endif
    ChatNode node(config, nodeTransport, ui, sink, pump);
    WaitingService waiting(node);
    nodeForHistory = &node;
    usersForPrinter = &node.users();
    cli::EventPrinter printer(std::cout, *usersForPrinter);
    sink.printer = &printer;
    // Networks as they come and go, in the event lines while listening.
    transport.setNetworkReporter([&](const std::string& kind, const std::string& what) { printer.note(kind, what); });
    node.users().addObserver(&printer);

    // Chats shared with other copies: their changes as event lines.
    rooms::RoomService rooms(node);
    RoomPrinter roomPrinter(printer);
    rooms.setObserver(&roomPrinter);
    // Reactions, edits and deletions of lines: as event lines, and the
    // history keeps what authors did to theirs.
    verbs::LineVerbs verbs(node);
    cli::VerbEvents verbEvents(node, printer);
    verbs.addObserver(&verbEvents);
    verbs.setMembers([&rooms](const std::string& id) {
        const auto* room = rooms.book().find(id);
        return room ? room->members : std::vector<std::string>{};
    });
    verbs.setLookup([&kept, &paths](std::uint64_t id) {
        std::vector<Message> rows;
        try {
            std::unique_ptr<history::HistoryStore> reader;
            if (kept) {
                reader = kept->openReader();
            } else if (std::filesystem::exists(paths.dataDir / history::kFileName)) {
                reader = std::make_unique<history::HistoryStore>(paths.dataDir / history::kFileName,
                                                                 history::HistoryStore::Mode::ReadOnly);
            }
            if (reader)
                for (auto& row : reader->lineRows(id)) rows.push_back(std::move(row.entry));
        } catch (const history::sql::Error&) {
            // Not readable: the line is not known here.
        }
        return rows;
    });
    std::optional<verbs::KeptChanges> keptChanges;
    // A member added here gets the chat's lines so far, from the history.
    rooms.setBacklogSource([&kept](const std::string& id) {
        std::vector<Message> lines;
        if (!kept) return lines;
        kept->flush(std::chrono::milliseconds(500));
        const auto reader = kept->openReader();
        if (!reader) return lines;
        history::Filter f;
        f.scope = history::Scope::group(history::RoomKey(id));
        f.limit = rooms::kMaxBacklogLines;
        f.chatOnly = true;
        try {
            for (auto& row : kept->rows(*reader, f)) lines.push_back(std::move(row.entry));
        } catch (const history::sql::Error&) {
            // Unreadable: the member gets no earlier lines.
        }
        return lines;
    });

#ifdef LANYX_CLI_TEST_AIDS
    FileTransfers files(node, cli::TransferSetupFor(aids));
#else
    FileTransfers files(node);
#endif
    // Pictures: announced sealed, the file over the transfers, kept in the
    // data folder's Pictures and in the history.
    pictures::PictureService pictureService(node);
    pictureService.setMembers([&rooms](const std::string& id) {
        const auto* room = rooms.book().find(id);
        return room ? room->members : std::vector<std::string>{};
    });
    pictures::PictureTransfers pictures(node, pictureService, files);
    pictures.keep = [&kept](const Message& m) {
        if (kept) kept->record(m);
    };
    cli::PictureEvents pictureEvents(pictures, printer, std::cout);
    const auto imageTargets = [&](const cli::CliOptions& o) {
        return cli::ImageTargets(o, node.state().MyName, [&rooms](const std::string& id) {
            const auto* room = rooms.book().find(id);
            return room ? room->members : std::vector<std::string>{};
        });
    };
    cli::TransferReporter reporter(files, std::cout, isatty(STDOUT_FILENO) == 1);
    printer.setBeforeLine([&reporter] { reporter.endStatusLine(); });
    if (opt.acceptInto) {
        reporter.answerOffers(cli::TransferReporter::Answer::Accept, QString::fromStdString(*opt.acceptInto));
        cli::TransferReporter::AcceptRules rules;
        rules.from = opt.acceptFrom;
        if (opt.acceptQuota) rules.quota = *opt.acceptQuota;
        rules.checked = [&node](const QString& name) {
            return node.KeyStateOf(name.toStdString()) == KeyState::Checked;
        };
        reporter.acceptRules(std::move(rules));
    } else if (opt.declineOffers) {
        reporter.answerOffers(cli::TransferReporter::Answer::Decline);
    }

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
    case StartUpResult::Stopped: return opt.command == "send" ? 5 : 0;  // nothing was sent
    case StartUpResult::NameRefused:
        std::cerr << "lanyx-cli: the name " << node.settings().UserName
                  << " is already in use on the network; choose another with --name" << std::endl;
        return 3;
    case StartUpResult::Failed: startUp.Shutdown(); return 1;
    }

    rooms.keepIn(paths.dataDir / "Rooms.txt");
    if (kept) {
        keptChanges.emplace(*kept);
        verbs.addObserver(&*keptChanges);
    }
    const auto waitFor = [&pump](const std::function<bool()>& done) {
        for (int i = 0; i < 30 && !done() && !pump.stopRequested(); ++i) pump.runFor(100);
    };
    int status = 0;
    if (opt.command == "listen") {
        printer.setPrinting(true);
        CommandReader commands([&](const cli::CliOptions& o) {
            if (o.command == "rename") renameNow(node, o);
            else if (o.command == "room") roomNow(node, rooms, o);
            else if (o.command == "image") cli::SendImage(pictures, pictureEvents, o, imageTargets(o), std::cerr);
            else if (cli::IsVerbCommand(o))
                cli::RunVerb(
                    node, verbs, printer, o, [](const auto&) {}, std::cerr);
            else sendNow(node, rooms, o, printer);
        });
        // What the start found, for the event lines too.
        for (const auto& line : transport.describeRoutes())
            if (line.rfind("interface ", 0) == 0 && line.find(", not sent twice") == std::string::npos)
                printer.note("network", line.substr(10));
        running = true;
        if (!pump.stopRequested()) app.exec();
        // Transfers still running are cancelled: partial files go, and the
        // senders are told.
        bool told = false;
        for (const auto& item : std::vector<TransferItem>(files.items()))
            if (!item.ended() && item.state != TransferItem::State::Offered) {
                reporter.cancel(item.id);
                told = true;
            }
        if (told) spin(1000);
        reporter.endStatusLine();
    } else if (opt.command == "send") {
        status = 0;
        // The recipients are listed with their keys a moment after the
        // join; halfway through, everybody is asked once more.
        std::vector<QString> ready;
        auto allReady = [&] {
            for (const auto& name : opt.to)
                if (!files.canSendTo(QString::fromStdString(name))) return false;
            return true;
        };
        for (std::uint32_t waited = 0; waited < opt.waitMs && !allReady() && !pump.stopRequested(); waited += 100) {
            if (waited == opt.waitMs / 2 / 100 * 100) node.RequestRoster();
            pump.runFor(100);
        }
        std::vector<QString> ids;
        for (const auto& name : opt.to) {
            const auto qname = QString::fromStdString(name);
            QString why;
            if (pump.stopRequested()) break;
            if (!files.canSendTo(qname, &why)) {
                std::cerr << "lanyx-cli: " << name << ": "
                          << (listedAs(node.users(), name) ? "cannot receive files: " + why.toStdString()
                                                           : std::string("was not seen on the network"))
                          << std::endl;
                status = 5;
                continue;
            }
            QStringList chosen;
            for (const auto& p : opt.paths) chosen << QString::fromStdString(p);
            QString error;
            const auto id = files.send(qname, chosen, &error);
            if (id.isEmpty()) {
                std::cerr << "lanyx-cli: " << name << ": " << error.toStdString() << std::endl;
                status = 5;
                continue;
            }
            ids.push_back(id);
        }
        QElapsedTimer clock;
        clock.start();
        auto open = [&] {
            std::vector<QString> left;
            for (const auto& id : ids)
                if (const auto* item = files.item(id); item && !item->ended()) left.push_back(id);
            return left;
        };
        while (!open().empty() && !pump.stopRequested()) {
            pump.runFor(100);
            if (clock.elapsed() < opt.offerWaitMs) continue;
            for (const auto& id : open())
                if (files.item(id)->state == TransferItem::State::Offering)
                    reporter.cancel(id, QStringLiteral("no answer within %1 s").arg(opt.offerWaitMs / 1000.0));
        }
        if (const auto left = open(); !left.empty()) {
            // Interrupted (Ctrl+C): the recipients are told, so that they
            // remove what arrived.
            for (const auto& id : left) reporter.cancel(id);
            spin(1000);
        }
        reporter.endStatusLine();
        if (ids.size() != opt.to.size()) status = 5;  // not seen, refused, or interrupted before the offer
        for (const auto& id : ids)
            if (files.item(id)->state != TransferItem::State::Finished) status = 5;
    } else if (opt.command == "image") {
        // Everybody it goes to heard with the keys first.
        const auto to = imageTargets(opt);
        const auto allHeard = [&] {
            return std::all_of(to.begin(), to.end(), [&](const QString& n) { return pictures.reach(n) == Reach::Yes; });
        };
        for (std::uint32_t waited = 0; waited < opt.waitMs && !allHeard() && !pump.stopRequested(); waited += 100) {
            if (waited == opt.waitMs / 2 / 100 * 100) node.RequestRoster();
            pump.runFor(100);
        }
        status = cli::SendImage(pictures, pictureEvents, opt, to, std::cerr);
        // Announced, offered and carried: stay until every recipient has it.
        QElapsedTimer clock;
        clock.start();
        while (status == 0 && pictureEvents.underWay() > 0 && !pump.stopRequested() &&
               clock.elapsed() < opt.offerWaitMs)
            pump.runFor(100);
        if (status == 0 && (pictureEvents.failed() > 0 || pictureEvents.underWay() > 0)) status = 5;
    } else if (opt.command == "who") {
        // Halfway through, everybody is asked once more: who was lost among
        // the replies to our join answers this time.
        pump.runFor(opt.waitMs / 2);
        if (!pump.stopRequested()) node.RequestRoster();
        pump.runFor(opt.waitMs - opt.waitMs / 2);
        const std::string present = opt.all ? "\tpresent" : "";
        for (const auto& u : node.users().users())
            std::cout << cli::EventLine(u.text, std::to_string(u.status), std::to_string(u.colour)) << present
                      << std::endl;
        // Users whose key is known can be written to while away: what is
        // sent to them waits for them.
        if (opt.all && node.secure())
            for (const auto& [name, pin] : node.secure()->pins().all())
                if (!node.users().findNoCase(name) && !equalsNoCase(name, node.state().MyName))
                    std::cout << cli::EventLine(name, "", "") << "\taway" << std::endl;
    } else if (cli::IsVerbCommand(opt)) {
        status = cli::RunVerb(node, verbs, printer, opt, waitFor, std::cerr);
        pump.pumpOnce();
        if (std::string problem; !waiting.flush(&problem)) {
            std::cerr << "lanyx-cli: " << Outbox::kFileName << " could not be written: " << problem << std::endl;
            status = 1;
        }
        // Sealed, and repeated until confirmed: stay for that.
        for (int i = 0; i < 100 && (printer.awaitingReceipts() > 0 || verbs.awaiting() > 0) && !pump.stopRequested();
             ++i)
            pump.runFor(100);
    } else if (opt.command == "room") {
        // Every member, and whoever is added, heard with the key first.
        std::vector<std::string> names = opt.roomNames;
        if (const auto* room = rooms.book().find(opt.roomId))
            for (const auto& m : room->members)
                if (!equalsNoCase(m, node.state().MyName)) names.push_back(m);
        const auto allHeard = [&] {
            return std::all_of(names.begin(), names.end(), [&](const std::string& n) { return rooms.sharesChats(n); });
        };
        for (int i = 0; i < 30 && !allHeard() && !pump.stopRequested(); ++i) pump.runFor(100);
        status = roomNow(node, rooms, opt);
        // The changes are sealed and repeated until confirmed: stay for that.
        pump.runFor(2000);
    } else {
#ifdef LANYX_CLI_TEST_AIDS
        if (dropping) dropping->arm();
#endif
        for (const auto& name : opt.to) {
            const bool known = node.secure() && node.secure()->hasKey(name);
            // A user with a known key who is not listed gets the message
            // only when seen next: the answers to our join may still be
            // on their way (on a busy segment up to two seconds), the
            // longer for a user heard while we probed. A shared chat needs
            // its members heard with their keys.
            const int rounds = printer.everSeen(name) || opt.room ? 30 : 5;
            for (int i = 0; known && i < rounds && !pump.stopRequested() &&
                            (opt.room ? !rooms.sharesChats(name) : !listedAs(node.users(), name));
                 ++i)
                pump.runFor(100);
            if (!printer.everSeen(name) && !known)
                std::cerr << "lanyx-cli: " << name << " was not seen on the network; sending anyway" << std::endl;
        }
        status = sendNow(node, rooms, opt, printer);
        pump.pumpOnce();
        // Told "queued": it must be on the disk before this copy ends.
        if (std::string problem; !waiting.flush(&problem)) {
            std::cerr << "lanyx-cli: " << Outbox::kFileName << " could not be written: " << problem << std::endl;
            status = 1;
        }
        // Encrypted messages are repeated until confirmed: stay for that.
        for (int i = 0; i < 100 && printer.awaitingReceipts() > 0 && !pump.stopRequested(); ++i) pump.runFor(100);
    }
    startUp.Shutdown();
    return status;
}

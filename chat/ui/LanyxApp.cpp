#include "LanyxApp.h"

#include "logic/Cascade.h"

#include "BoxMessage.h"
#include "ConversationsPane.h"
#include "FileSending.h"
#include "FileTransfers.h"
#include "History.h"
#include "InstanceDoor.h"
#include "TransferUi.h"
#include "MenuCaption.h"
#include "Notifier.h"
#include "Platform.h"
#include "Text.h"
#include "QtEventPump.h"
#include "SignalBridge.h"
#include "Twips.h"
#include "Networks.h"
#include "UdpTransport.h"
#include "Wire.h"
#include "frmChat.h"
#include "frmCom.h"
#include "frmHistory.h"
#include "frmMain.h"
#include "frmOpt.h"
#include "frmPop.h"
#include "frmSave.h"
#include "frmSplash.h"
#include "TrayIcon.h"

#include <iostream>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

namespace lanyx::ui {

namespace {
QMessageBox::Icon toIcon(int icon) {
    switch (icon) {
    case IconCritical: return QMessageBox::Critical;
    case IconQuestion: return QMessageBox::Question;
    case IconExclamation: return QMessageBox::Warning;
    case IconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}
}  // namespace

// ---- ports --------------------------------------------------------------------

void DesktopUi::messageBox(const std::string& text, const std::string& title, int icon) {
    // Also for whoever started the program from a terminal or a script.
    std::cerr << "lanyx: " << text << '\n';
    QMessageBox box(toIcon(icon), title.empty() ? QStringLiteral("Lanyx") : QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

void DesktopUi::previousInstance(const FolderHolder& holder) {
    // The running copy may have no tray icon: it shows its window.
    const bool answered = InstanceDoor::knock(QString::fromStdString(app_.paths_.dataDir.string()));
    const QString folder = QDir::toNativeSeparators(QString::fromStdString(holder.folder));
    QString process;
    if (holder.pid > 0) {
        process = LanyxApp::tr("process %1").arg(holder.pid);
        if (!holder.program.empty()) process += QStringLiteral(", ") + QString::fromStdString(holder.program);
    }
    const QString where = process.isEmpty()
                              ? LanyxApp::tr("Lanyx already runs on the data folder %1.").arg(folder)
                              : LanyxApp::tr("Lanyx already runs on the data folder %1 (%2).").arg(folder, process);
    const QString reach = answered ? LanyxApp::tr("Its window is shown now.")
                                   : LanyxApp::tr("It did not answer (lanyx-cli has no window): use it or end it.");
    const QString other = LanyxApp::tr("To run another copy beside it, start that one with --dir and another folder.");
    const QString more = where + QLatin1Char('\n') + reach + QLatin1Char('\n') + other;
    // Also for whoever started the program from a terminal or a script.
    std::cerr << "lanyx: Previous Instance: " << more.toStdString() << '\n';
    // The specified text, and beside it where and how.
    QMessageBox box(QMessageBox::Information, QStringLiteral("Lanyx"), QStringLiteral("Previous Instance"),
                    QMessageBox::Ok);
    box.setObjectName("boxPreviousInstance");
    box.setInformativeText(more);
    box.exec();
}

void DesktopUi::showSplash(const std::string& versionText) {
    // Settings and language are in by now: the toolkit's texts follow the
    // language chosen, and the main window takes its texts and its place.
    app_.uiLanguage_.Apply(app_.node().settings().Language);
    if (app_.main_) {
        app_.main_->SetLan();
        app_.main_->ApplyGeometry();
    }
    if (!app_.splash_) app_.splash_ = new frmSplash;
    app_.splash_->setVersion(QString::fromStdString(versionText));
    app_.splash_->showInCorner();
}

void DesktopUi::hideSplash() {
    if (app_.splash_) app_.splash_->hide();
}

void DesktopUi::showTray() {
    if (app_.main_) app_.main_->ShowTray();
}

void DesktopUi::removeTray() {
    if (app_.main_) app_.main_->RemoveTray();
}

std::optional<std::string> DesktopUi::askNewName(const std::string& /*takenName*/) {
    // The Options window offers the taken name (start-up put it in MyName);
    // it returns only a name that passed its checks.
    frmOpt dialog(app_.node(), app_.optionsEnv(), true);
    return dialog.RunStartUp();
}

std::pair<std::int32_t, std::int32_t> DesktopUi::screenTwips() {
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return UserInterface::screenTwips();
    return {ToTwips(s->geometry().width(), s), ToTwips(s->geometry().height(), s)};
}

void DesktopSink::show(const Message& message) {
    // Alerts and chat lines carry the mark in the user's language; a box
    // the node's own, as it always had.
    if (message.isAlert()) {
        app_.windows().ShowAlert(MarkedText(message, LanyxApp::tr("(not verified) ").toStdString()), message.peer,
                                 message.isPrivate());
        return;
    }
    if (message.isChatLine()) {
        app_.windows().RouteChatLine(MarkedText(message, LanyxApp::tr("(not verified) ").toStdString()), message.peer,
                                     message.colour,
                                     IsRoomChatKey(message.chat) ? message.chat.substr(1) : std::string(),
                                     message.lineId, message.replyTo);
        return;
    }
    // Not modal, and never larger than the screen, however long the text.
    QWidget* box = ShowBoxMessage(QString::fromStdString(MarkedText(message)), QString::fromStdString(message.peer));
    // One box per sender at a time: the node hears when this one goes.
    QObject::connect(box, &QObject::destroyed, &app_, [this, sender = message.peer] { app_.node().BoxClosed(sender); });
}

void DesktopSink::KeyWarning(const std::string& name, const std::string&) {
    // Not modal: the network goes on while the user reads it. Worded here,
    // in the user's language; the user's information accepts the new key.
    ShowKeyWarning(name, [this, name] {
        if (app_.main_) app_.main_->ShowUserInfo(name);
    });
}

void DesktopSink::ListFull(bool blockedList, std::size_t leftOut, std::size_t cap) {
    // Not modal: a Block pressed in a popup or a menu goes on at once.
    ShowListFull(blockedList, leftOut, cap);
}

void DesktopSink::PrivateDelivery(const DeliveryReport& report) {
    // The first report of each message is the one SendPrivate returns to the window.
    if (report.state != Delivery::Waiting && report.id != 0) app_.windows().PrivateDelivery(report);
    // A message that waited in vain: told even when its window is closed.
    if (report.state == Delivery::Withheld && report.withheld == Withheld::Expired) app_.waitingExpired(report);
}

void DesktopSink::RemoveUserFromChats(const std::string& name) {
    app_.windows().RemoveUserFromChats(name);
}

void DesktopSink::UserRenamed(const std::string& from, const std::string& to) {
    app_.windows().RenameInChats(from, to);
}

void DesktopSink::RenamedOntoKnownName(const std::string& from, const std::string& to) {
    // Not modal, as the key warning.
    ShowRenameNotice(from, to, [this, to] {
        if (app_.main_) app_.main_->ShowUserInfo(to);
    });
}

void DesktopSink::RefreshChatUserLists() {
    app_.windows().RefreshChatUserLists();
}

void DesktopSink::StatusCaptionChanged(const std::string& caption) {
    if (app_.main_) app_.main_->setStatusCaption(QString::fromStdString(caption));
    // For figures and tests on simulated segments: the status line's count
    // is what the roster holds.
    static const bool print = qEnvironmentVariableIsSet("LANYX_PRINT_STATUS");
    if (print) std::cout << "status\t" << caption << std::endl;
}

void DesktopHistory::record(HistoryEntry entry) {
    if (!app_.history_) return;
    // A line shown in a chat window of several members is part of that chat.
    if (!entry.outgoing && entry.kind == HistoryKind::PrivateChat && entry.chat.empty() && app_.windows_)
        entry.chat = app_.windows_->takeChatTag();
    app_.history_->record(std::move(entry));
}

void DesktopHistory::delivery(std::uint64_t messageId, const std::string& recipient, HistoryDelivery state) {
    if (app_.history_) app_.history_->delivery(messageId, recipient, state);
}

void DesktopHistory::renamed(const std::string& from, const std::string& to) {
    // The conversations follow a rename in the history window too.
    if (app_.history_) app_.history_->renamed(from, to);
}

void DesktopHistory::changeLine(std::uint64_t lineId, const std::string& authorKey, LineChange change,
                                const std::string& text) {
    if (app_.history_) app_.history_->changeLine(lineId, authorKey, change, text);
}

bool DesktopHistory::hasConversationWith(const std::string& name) const {
    return app_.history_ && app_.history_->hasConversationWith(name);
}

// ---- the program ------------------------------------------------------------

LanyxApp::LanyxApp(const DesktopOptions& options)
    : options_(options),
      paths_(ResolvePaths(options_.dir ? std::optional<std::filesystem::path>(*options_.dir) : std::nullopt)),
      ui_(*this),
      sink_(*this),
      sound_(
          [this](const QString& name) { return QString::fromStdString(paths_.shared(name.toStdString()).string()); }) {
    QHostAddress broadcast(QString::fromStdString(options_.broadcast));
    transport_ = std::make_unique<UdpTransport>(broadcast, wire::kPort);
    // Other subnets: the list beside User.ini. Lines that cannot be used are
    // left out here and named by the Options window's Network page.
    transport_->setExtraDestinations(net::readDestinations(paths_.dataDir / net::kDestinationsFile).entries);
    pump_ = std::make_unique<QtEventPump>();

    NodeConfig config;
    config.dataDir = paths_.dataDir;
    config.langFile = paths_.langFile;
    config.logonName = platform::GetLogonName();
    config.nameForRun = options_.name;
    config.autostartProgram = platform::programFile();
    config.folderHeld = [this] {
        openHistoryStore();
        // Shared chats last beyond the run, as the history does.
        if (rooms_) rooms_->keepIn(node_->config().dataDir / "Rooms.txt");
    };
    node_ = std::make_unique<ChatNode>(config, *transport_, ui_, sink_, *pump_);
    waiting_ = std::make_unique<WaitingService>(*node_);
    node_->state().SafeMode = SafeModeFromCommandLine(options_.commandLine);
    startUp_ = std::make_unique<StartUp>(*node_, ui_, *pump_);

    windows_ = new ChatWindows(
        *node_, [this](const QString& s) { sound_.PlaySoundSetting(s); },
        [this](const std::string& types) {
            const QString before = folders_.exportFolder;
            const QString file = ui::ChooseExportFile(*node_, types, nullptr, &folders_.exportFolder);
            if (folders_.exportFolder != before) savePrefs();
            return file;
        },
        this);
    windows_->setWaiting(waiting_.get());
    prefs_ = DesktopPrefs::Read(prefsFile());
    // Where the file dialogs were last, kept with the desktop's settings.
    folders_.offerFolder = prefs_.offerFolder;
    folders_.sendFolder = prefs_.sendFolder;
    folders_.exportFolder = prefs_.exportFolder;
    folders_.changed = [this] { savePrefs(); };
    windows_->setFolderMemory(&folders_);
    notifier_ = new DesktopNotifier(this);
    windows_->setNotifier(notifier_, [this] { return prefs_.notifications; });
    windows_->setChatSound([this] { return prefs_.chatSound; });
    main_ = new frmMain(*node_);
    main_->Close = [this] { Shutdown(); };
    main_->OpenComposeWindow = [this](const std::string& list) { windows_->OpenComposeWindow(list); };
    main_->OpenChatWindow = [this](const std::string& list) { windows_->OpenChatWindow(list); };
    main_->OpenOptions = [this] { OpenOptions(); };
    windows_->setUserInfo([this](const std::string& name) {
        if (main_) main_->ShowUserInfo(name);
    });
    main_->OpenHistory = [this](const std::string& list) { OpenHistory(list); };

    // Files: the menus and drops of the windows, the offer and Transfers
    // windows, and a tray message when one finished or failed (not where the
    // user turned popups off).
    files_ = std::make_unique<FileTransfers>(*node_);
    windows_->setFileTransfers(files_.get());
    // Chats with several members are shared with their members' copies.
    rooms_ = std::make_unique<rooms::RoomService>(*node_);
    windows_->setRooms(rooms_.get());
    // Who types, between copies of ours.
    typing_ = std::make_unique<typing::TypingService>(*node_);
    windows_->setTyping(typing_.get());
    // Who saw which line, between copies of ours.
    readMarks_ = std::make_unique<readmarks::ReadMarks>(*node_);
    readMarks_->setTelling(prefs_.readMarks);
    windows_->setReadMarks(readMarks_.get());
    // Reactions, edits and deletions of lines, between copies of ours.
    verbs_ = std::make_unique<verbs::LineVerbs>(*node_);
    verbs_->setMembers([this](const std::string& id) {
        const auto* room = rooms_ ? rooms_->book().find(id) : nullptr;
        return room ? room->members : std::vector<std::string>{};
    });
    // Lines of earlier runs: what this run met is known without it.
    verbs_->setLookup([this, reader = std::shared_ptr<history::HistoryStore>(),
                       generation = std::uint64_t{0}](std::uint64_t id) mutable {
        std::vector<Message> rows;
        if (!history_) return rows;
        try {
            if (!reader || generation != history_->generation()) {
                generation = history_->generation();
                reader = history_->openReader();
            }
            if (reader)
                for (auto& row : reader->lineRows(id)) rows.push_back(std::move(row.entry));
        } catch (const history::sql::Error&) {
            reader.reset();  // not readable now: the line is not known here
        }
        return rows;
    });
    keptChanges_ = std::make_unique<verbs::KeptChanges>(recorder_);
    verbs_->addObserver(keptChanges_.get());
    windows_->setVerbs(verbs_.get());
    // Pictures in the chats, between copies of ours: over the transfers,
    // kept in the data folder's Pictures and in the history.
    pictureService_ = std::make_unique<pictures::PictureService>(*node_);
    pictureService_->setMembers([this](const std::string& id) {
        const auto* room = rooms_ ? rooms_->book().find(id) : nullptr;
        return room ? room->members : std::vector<std::string>{};
    });
    pictures_ = std::make_unique<pictures::PictureTransfers>(*node_, *pictureService_, *files_);
    pictures_->keep = [this](const Message& m) { recorder_.record(m); };
    windows_->setPictures(pictures_.get());
    addConversations();
    main_->setFiles(files_.get());
    main_->sendFiles()->setMemory(&folders_);
    transferUi_ = std::make_unique<TransferUi>(*files_);
    transferUi_->placeNew = [this](QWidget* window) { placeNearMain(window); };
    transferUi_->setMemory(&folders_);
    transferUi_->chatNote = [this](const QString& peer, TransferUi::NoteFn note) {
        windows_->NoteToChatsWith(peer, std::move(note));
    };
    main_->OpenTransfers = [this] { transferUi_->ShowTransfers(); };
    transferUi_->trayMessage = [this](const QString& title, const QString& text, bool ok) {
        if (!main_ || !main_->TI() || !main_->TI()->Active() || node_->settings().PopupPosition == 0) return;
        main_->TI()->systemTrayIcon()->showMessage(title, text,
                                                   ok ? QSystemTrayIcon::Information : QSystemTrayIcon::Warning, 8000);
    };
    connect(windows_, &ChatWindows::notShownChanged, this, [this](int alerts, int lines) {
        if (main_ && main_->TI())
            main_->TI()->setToolTipText(
                tr("%1: %2 alerts, %3 chat lines not shown").arg(main_->windowTitle()).arg(alerts).arg(lines));
    });

    // A storm's alerts the receive path only counted are told as not shown.
    connect(transport_.get(), &UdpTransport::alertsNotKept, windows_, &ChatWindows::countNotKept);

    // The tray shows that a chat line waits unread.
    connect(windows_, &ChatWindows::unreadChanged, this, [this](bool unread) {
        if (main_ && main_->TI()) main_->TI()->setUnread(unread);
    });

    auto* terminator = new SignalBridge(this);
    connect(terminator, &SignalBridge::terminateRequested, this, [this] {
        pump_->requestStop();
        Shutdown();
    });
    // The desktop session ending is a shutdown too.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { Shutdown(); });
}

LanyxApp::~LanyxApp() {
    delete historyWindow_;
    delete opt_;
    delete main_;
    delete splash_;
    // The transfers' windows, then the transfers, while the node is still there.
    windows_->setFileTransfers(nullptr);
    windows_->setWaiting(nullptr);
    windows_->setPictures(nullptr);
    pictures_.reset();
    pictureService_.reset();
    windows_->setVerbs(nullptr);
    verbs_.reset();
    windows_->setReadMarks(nullptr);
    readMarks_.reset();
    windows_->setTyping(nullptr);
    typing_.reset();
    windows_->setRooms(nullptr);
    rooms_.reset();
    transferUi_.reset();
    files_.reset();
}

bool LanyxApp::start() {
    StartUpOptions o;
    o.commandLine = options_.commandLine;
    o.versionMajor = LANYX_VERSION_MAJOR;
    o.versionMinor = LANYX_VERSION_MINOR;
    o.versionRevision = LANYX_VERSION_PATCH;
    o.probeMs = options_.probeMs;
    const auto result = startUp_->run(o);
    switch (result) {
    case StartUpResult::Running: {
        // The first start on this data folder does not end in a bare tray
        // icon: the window shows and says who the user is on the network.
        if (node_->FirstStart() && main_) main_->ShowWelcome();
        auto* door = new InstanceDoor(this);
        connect(door, &InstanceDoor::knocked, this, [this] {
            if (main_) main_->ShowMe();
        });
        if (!door->open(QString::fromStdString(paths_.dataDir.string())))
            std::cerr << "lanyx: a second start will not be able to show this window\n";
        return !shutDown_;
    }
    case StartUpResult::AnotherInstance: exitCode_ = 4; return false;
    case StartUpResult::Stopped: return false;
    case StartUpResult::NameRefused: exitCode_ = 3; return false;
    case StartUpResult::Failed:
        // The error was shown; a program without its tray icon or windows
        // would only linger unseen, so it ends.
        exitCode_ = 1;
        Shutdown();
        return false;
    }
    return false;
}

namespace {
// What the history tells, in the user's language where the words are ours.
QString HistoryNoticeText(const history::Notice& n) {
    using Code = history::Notice::Code;
    switch (n.code) {
    case Code::Salvaged:
        return LanyxApp::tr(
                   "The history was damaged. It is kept as %1; %n message(s) that could be read of it are in a new "
                   "one.",
                   "", static_cast<int>(n.count))
            .arg(QString::fromStdString(n.file));
    case Code::Repaired:
        return LanyxApp::tr("The history's search index was damaged and has been built anew; no message was lost.");
    case Code::DiskLow:
        return LanyxApp::tr(
                   "Less than %1 MB are free on the disk of the history: nothing is recorded until there is more room.")
            .arg(n.count >> 20);
    case Code::DiskRoom:
        return LanyxApp::tr(
            "There is room on the disk of the history again: recording goes on (%n message(s) not recorded).", "",
            static_cast<int>(n.count));
    case Code::WrittenAgain: return LanyxApp::tr("The history is written again.");
    case Code::NotRecorded:
        return LanyxApp::tr("%n message(s) not recorded in the history: it could not keep up.", "",
                            static_cast<int>(n.count));
    default: return QString::fromStdString(n.text);  // with the system's own words for what failed
    }
}

}  // namespace

void LanyxApp::addConversations() {
    ConversationsPane::Services services;
    services.history = [this] { return history_.get(); };
    // Users whose key is known can be written to while away: what is sent
    // to them waits for them.
    services.knownAway = [this] {
        std::vector<std::string> away;
        if (const auto* secure = node_->secure())
            for (const auto& [name, pin] : secure->pins().all())
                if (!node_->users().findNoCase(name) && !equalsNoCase(name, node_->state().MyName))
                    away.push_back(name);
        return away;
    };
    services.unread = [this] { return windows_->unreadLines(); };
    services.lastSeen = [this](const std::string& name) -> std::int64_t {
        const auto* secure = node_->secure();
        const auto* pin = secure ? secure->pins().find(name) : nullptr;
        return pin ? pin->heard * 1000 : 0;
    };
    services.open = [this](const ConversationItem& item) {
        if (windows_->OpenConversation(item.key, item.list, item.roomId)) return;
        QMessageBox::information(main_, tr("Conversations - Lanyx"),
                                 tr("This shared chat is no longer kept here: its lines are in the History window."));
    };
    conversations_ = new ConversationsPane(std::move(services));
    main_->setConversations(conversations_);
    connect(windows_, &ChatWindows::conversationsChanged, conversations_, &ConversationsPane::refreshSoon);
}

void LanyxApp::openHistoryStore() {
    // Only the copy that holds the folder writes its history.
    history_ = std::make_unique<history::History>(paths_.dataDir);
    if (!history_->openNotice().empty()) historyNotice(QString::fromStdString(history_->openNotice()));
    if (!history_->usable()) {
        history_.reset();
        return;
    }
    history_->setNotices([this](const history::Notice& notice) {
        // From the writer's thread to this one.
        QMetaObject::invokeMethod(
            this, [this, notice] { historyNotice(HistoryNoticeText(notice)); }, Qt::QueuedConnection);
    });
    node_->addMessageObserver(&recorder_);
    windows_->setHistory(history_.get(), [this](const std::string& list) { OpenHistory(list); });
}

void LanyxApp::waitingExpired(const DeliveryReport& report) {
    const QString text = tr("A message to %1 was not sent: %1 was not seen on the network in the time it could wait.")
                             .arg(QString::fromStdString(report.recipient));
    std::cerr << "lanyx: " << text.toStdString() << '\n';
    auto* box = new QMessageBox(QMessageBox::Information, tr("Waiting message - Lanyx"), text, QMessageBox::Ok);
    box->setObjectName("boxWaitingExpired");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void LanyxApp::historyNotice(const QString& text) {
    node_->WriteLog(text.toStdString());
    std::cerr << "lanyx: " << text.toStdString() << '\n';
    // Not modal: start-up and the network go on while it is read.
    auto* box = new QMessageBox(QMessageBox::Warning, tr("History - Lanyx"), text, QMessageBox::Ok);
    box->setObjectName("boxHistory");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void LanyxApp::placeNearMain(QWidget* window) const {
    // With the main window in the tray: near the window the user works in
    // (a chat's History), or in the middle of the screen; never its corner.
    const QWidget* owner = main_ && main_->isVisible() ? main_ : QApplication::activeWindow();
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window->move(NearOwner(window->frameGeometry().size(), owner ? owner->frameGeometry() : area, area));
}

frmHistory* LanyxApp::OpenHistory(const std::string& list) {
    if (!history_) {
        QMessageBox::information(main_, tr("History - Lanyx"), tr("No history is kept in this run (see the log)."));
        return nullptr;
    }
    if (!historyWindow_) {
        historyWindow_ = new frmHistory(*history_, *windows_);
        placeNearMain(historyWindow_);
    }
    historyWindow_->ShowConversation(list);
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->activateWindow();
    return historyWindow_;
}

void LanyxApp::SetLanAll() {
    // The toolkit's and the program's own texts first, then the language
    // file's, window by window.
    uiLanguage_.Apply(node_->settings().Language);
    SetLanEverywhere();
}

void LanyxApp::savePrefs() {
    prefs_.offerFolder = folders_.offerFolder;
    prefs_.sendFolder = folders_.sendFolder;
    prefs_.exportFolder = folders_.exportFolder;
    if (!prefs_.Write(prefsFile())) node_->WriteLog("Could not write " + prefsFile().toStdString());
}

void LanyxApp::OpenOptions() {
    if (!opt_) {
        // Built fresh from the current settings each time it opens.
        opt_ = new frmOpt(*node_, optionsEnv(), false);
        opt_->setAttribute(Qt::WA_DeleteOnClose);
    }
    opt_->show();
    opt_->raise();
    opt_->activateWindow();
}

OptionsEnv LanyxApp::optionsEnv() {
    OptionsEnv env;
    for (const auto& dir : {paths_.dataDir, paths_.programDir}) {
        const QString d = QString::fromStdString(dir.string());
        if (!env.soundFolders.contains(d)) env.soundFolders.append(d);
    }
    env.playSound = [this](const QString& setting) { sound_.PlaySoundSetting(setting); };
    env.languageChanged = [this] { SetLanAll(); };
    env.nameChanged = [this](const std::string& from, const std::string& to) { windows_->RenameOwnInChats(from, to); };
    env.destinationsFile = paths_.dataDir / net::kDestinationsFile;
    env.destinationsChanged = [this](const std::vector<std::string>& entries) {
        transport_->setExtraDestinations(entries);
    };
    env.prefs = &prefs_;
    env.history = history_.get();
    env.waiting = waiting_.get();
    env.prefsChanged = [this] {
        if (readMarks_) readMarks_->setTelling(prefs_.readMarks);
        savePrefs();
    };
    return env;
}

QString LanyxApp::prefsFile() const {
    return QDir(QString::fromStdString(paths_.dataDir.string())).filePath(DesktopPrefs::FileName());
}

void LanyxApp::Shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (main_) main_->StoreGeometry();
    startUp_->Shutdown();
    if (opt_) opt_->close();
    if (main_) main_->hide();
    if (splash_) splash_->hide();
    QCoreApplication::exit(exitCode_);
}

}  // namespace lanyx::ui

// Desktop notifications and the StatusNotifier tray against test-side
// services on a private session bus: the program re-runs itself under
// dbus-run-session (and, for the tray, a virtual display of its own).
#include "ChatWindows.h"
#include "Notifier.h"
#include "TestSupport.h"
#include "TrayIcon.h"
#include "VirtualDisplay.h"
#include "frmCom.h"
#include "frmMain.h"
#include "frmOpt.h"
#include "frmPop.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QLabel>
#include <QElapsedTimer>
#include <QMenu>
#include <QMutex>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace lanyx;
using namespace lanyx::ui;

// ---- the test side of the bus ---------------------------------------------------

struct NotifyCall {
    QString app;
    uint replaces = 0;
    QString summary;
    QString body;
    QStringList actions;
    uint id = 0;
};

// A notification service that records what it is asked to show.
class NotifyServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<NotifyCall> calls() {
        QMutexLocker l(&mutex_);
        return calls_;
    }

public Q_SLOTS:
    uint Notify(const QString& app, uint replaces, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int) {
        QMutexLocker l(&mutex_);
        const uint id = replaces ? replaces : next_++;
        calls_.append({app, replaces, summary, body, actions, id});
        return id;
    }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }
    void CloseNotification(uint) {}

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& key);
    void NotificationClosed(uint id, uint reason);

private:
    QMutex mutex_;
    QList<NotifyCall> calls_;
    uint next_ = 1;
};

// A StatusNotifier watcher with a host, as KDE or a GNOME extension has.
class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() {
        QMutexLocker l(&mutex_);
        return items_;
    }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service) {
        QMutexLocker l(&mutex_);
        items_.append(service);
    }
    void RegisterStatusNotifierHost(const QString&) {}

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString&);
    void StatusNotifierHostRegistered();

private:
    QMutex mutex_;
    QStringList items_;
};

namespace {

bool g_privateBus = false;
bool g_display = false;
NotifyServer* g_notify = nullptr;
Watcher* g_watcher = nullptr;

QDBusConnection testSide() {
    return QDBusConnection(QStringLiteral("test-side"));
}

// The services answer on a thread of their own: the program under test may
// wait for them on the main thread.
void startServices() {
    auto* thread = new QThread;
    thread->start();
    auto bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("test-side"));
    g_notify = new NotifyServer;
    g_watcher = new Watcher;
    const auto all = QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                     QDBusConnection::ExportAllProperties;
    bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), g_notify, all);
    bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), g_watcher, all);
    // With what the bus hung on them.
    g_notify->moveToThread(thread);
    g_watcher->moveToThread(thread);
    bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

// A call from the test side, answered while the main thread goes on.
QDBusMessage callAndWait(const QDBusMessage& call) {
    QDBusPendingCall pending = testSide().asyncCall(call, 5000);
    QElapsedTimer t;
    t.start();
    while (!pending.isFinished() && t.elapsed() < 6000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return pending.reply();
}

QDBusMessage property(const QString& service, const QString& path, const QString& iface, const QString& name) {
    auto m = QDBusMessage::createMethodCall(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                            QStringLiteral("Get"));
    m << iface << name;
    return callAndWait(m);
}

void menuLabels(const QDBusArgument& arg, QStringList& out) {
    arg.beginStructure();
    int id = 0;
    QVariantMap props;
    arg >> id >> props;
    if (props.contains(QStringLiteral("label"))) out << props.value(QStringLiteral("label")).toString();
    arg.beginArray();
    while (!arg.atEnd()) {
        QDBusVariant child;
        arg >> child;
        menuLabels(child.variant().value<QDBusArgument>(), out);
    }
    arg.endArray();
    arg.endStructure();
}

// The largest pixmap of an IconPixmap property (a(iiay)).
QByteArray largestPixmap(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    const auto arg = reply.arguments().first().value<QDBusVariant>().variant().value<QDBusArgument>();
    QByteArray best;
    int bestW = -1;
    arg.beginArray();
    while (!arg.atEnd()) {
        int w = 0, h = 0;
        QByteArray data;
        arg.beginStructure();
        arg >> w >> h >> data;
        arg.endStructure();
        if (w > bestW) {
            bestW = w;
            best = data;
        }
    }
    arg.endArray();
    return best;
}

void invokeAction(uint id, const QString& key) {
    auto signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                             QStringLiteral("org.freedesktop.Notifications"),
                                             QStringLiteral("ActionInvoked"));
    signal << id << key;
    testSide().send(signal);
}

QStringList rows(QTreeWidget* list) {
    QStringList r;
    for (int i = 0; i < list->topLevelItemCount(); ++i) r << list->topLevelItem(i)->text(0);
    return r;
}

class Notifications : public ::testing::Test {
protected:
    Notifications() : ann(seg, "ann") {}
    void SetUp() override {
        if (!g_privateBus) GTEST_SKIP() << "dbus-run-session missing: no private session bus for the test services";
        ann.joinAs("ann");
        seg.post("bob|C/255");
        seg.deliverAll();
        ann.node.settings().AlertSound = "(B)";
        windows = std::make_unique<ChatWindows>(
            ann.node, [this](const QString& s) { sounds << s; }, [](const std::string&) { return QString(); });
        notifier = new DesktopNotifier(windows.get());
        windows->setNotifier(notifier, [this] { return chosen; });
        before = g_notify ? g_notify->calls().size() : 0;
    }
    void TearDown() override {
        QList<QPointer<QWidget>> open;
        for (QWidget* w : QApplication::topLevelWidgets()) open << w;
        for (auto& w : open) delete w.data();
        windows.reset();
    }
    QList<NotifyCall> newCalls(int atLeast) {
        QElapsedTimer t;
        t.start();
        while (g_notify->calls().size() - before < atLeast && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return g_notify->calls().mid(before);
    }
    test::MemorySegment seg;
    test::Peer ann;
    std::unique_ptr<ChatWindows> windows;
    DesktopNotifier* notifier = nullptr;
    QStringList sounds;
    int before = 0;
    bool chosen = true;  // "desktop notifications" in the Options
};

}  // namespace

TEST_F(Notifications, AnAlertMakesOneNotificationWithTheThreeActions) {
    ASSERT_TRUE(notifier->available());
    EXPECT_EQ(windows->ShowAlert("disk <full> & more", "bob", true), nullptr);
    const auto calls = newCalls(1);
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].app, "Lanyx");
    EXPECT_EQ(calls[0].replaces, 0u);
    EXPECT_EQ(calls[0].summary, "bob");
    EXPECT_EQ(calls[0].body, "disk &lt;full&gt; &amp; more");
    EXPECT_EQ(calls[0].actions, (QStringList{"reply", "Reply", "live", "Start Live Chat", "block", "Block Sender"}));
    EXPECT_TRUE(windows->popups().isEmpty());
    EXPECT_EQ(sounds, QStringList{"(B)"});
}

TEST_F(Notifications, ReplyOpensTheComposeWindowAddressedToTheSender) {
    windows->ShowAlert("lunch?", "bob", false);
    const auto calls = newCalls(1);
    ASSERT_EQ(calls.size(), 1);
    // The service's answer (the notification's number) reaches the program.
    ASSERT_TRUE(QTest::qWaitFor([&] { return notifier->unanswered() == 0; }));
    invokeAction(calls[0].id, QStringLiteral("reply"));
    frmCom* compose = nullptr;
    QElapsedTimer t;
    t.start();
    while (!compose && t.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* c = qobject_cast<frmCom*>(w); c && c->isVisible()) compose = c;
    }
    ASSERT_NE(compose, nullptr);
    EXPECT_EQ(rows(compose->lvUsers()), QStringList{"bob"});
    // Block Sender from the same notification.
    invokeAction(calls[0].id, QStringLiteral("block"));
    QTRY_VERIFY(ann.node.users().IsBlocked("bob"));
}

TEST_F(Notifications, AFloodFromOneSenderReplacesInsteadOfStacking) {
    for (int i = 0; i < 200; ++i) windows->ShowAlert("alert " + std::to_string(i), "bob", false);
    windows->ShowAlert("other", "carl", false);
    // Wait until the last of bob's alerts is shown.
    QElapsedTimer t;
    t.start();
    auto lastIsShown = [&] {
        for (const auto& c : g_notify->calls().mid(before))
            if (c.body == "alert 199") return true;
        return false;
    };
    while (!lastIsShown() && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const auto calls = g_notify->calls().mid(before);
    QSet<uint> bobIds;
    int bobCalls = 0;
    for (const auto& c : calls) {
        if (!c.summary.startsWith("bob")) continue;
        ++bobCalls;
        bobIds.insert(c.id);
        if (bobCalls > 1) {
            EXPECT_EQ(c.replaces, *bobIds.begin());
        }
    }
    EXPECT_EQ(bobIds.size(), 1) << "one notification for bob";
    EXPECT_LE(bobCalls, 200);
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_TRUE(lastIsShown());
    EXPECT_EQ(calls.back().summary.startsWith("bob") ? calls.back().summary : QString("bob (200)"), "bob (200)");
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const NotifyCall& c) { return c.summary == "carl"; }), 1);
    EXPECT_EQ(sounds, (QStringList{"(B)", "(B)"}));  // one per notification
    EXPECT_TRUE(windows->popups().isEmpty());
}

TEST_F(Notifications, WithoutAServiceThePopupShowsTheAlert) {
    testSide().unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    QPointer<frmPop> pop = windows->ShowAlert("still seen", "bob", false);
    testSide().registerService(QStringLiteral("org.freedesktop.Notifications"));
    ASSERT_TRUE(pop);
    EXPECT_EQ(pop->message(), "still seen");
    EXPECT_EQ(newCalls(0).size(), 0);
}

TEST_F(Notifications, WherePopupsCanBePlacedTheyStayTheDefault) {
    if (QGuiApplication::platformName().startsWith("wayland")) GTEST_SKIP() << "a native Wayland window";
    chosen = false;
    QPointer<frmPop> pop = windows->ShowAlert("popup", "bob", false);
    ASSERT_TRUE(pop);
    EXPECT_EQ(newCalls(0).size(), 0);
}

// Run by WaylandSession below, as a native Wayland client of a compositor of
// its own: without anything chosen, alerts become notifications.
TEST_F(Notifications, OnANativeWaylandWindowAlertsBecomeNotifications) {
    if (!QGuiApplication::platformName().startsWith("wayland"))
        GTEST_SKIP() << "not a native Wayland window: " << QGuiApplication::platformName().toStdString();
    chosen = false;
    EXPECT_EQ(windows->ShowAlert("from wayland", "bob", false), nullptr);
    EXPECT_TRUE(windows->popups().isEmpty());
    EXPECT_EQ(notifier->openCount(), 1);
    // The service lives in the parent test, which looks at what it got: its
    // answer means it has the call.
    EXPECT_TRUE(QTest::qWaitFor([&] { return notifier->unanswered() == 0; }));
}

// A headless Wayland compositor, and this program as its client on the same
// private bus (the services stay in this process and record the calls).
TEST(WaylandSession, AlertsOfANativeWaylandClientGoToTheNotificationService) {
    if (!g_privateBus) GTEST_SKIP() << "dbus-run-session missing";
    if (access("/usr/bin/weston", X_OK) != 0) GTEST_SKIP() << "weston missing: no Wayland compositor to run under";
    if (!std::filesystem::exists("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so"))
        GTEST_SKIP() << "Qt's Wayland platform missing (qt6-wayland)";
    char tmpl[] = "/tmp/lanyx-wl-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string runtime = tmpl;
    chmod(runtime.c_str(), 0700);
    const pid_t weston = fork();
    if (weston == 0) {
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        freopen("/dev/null", "w", stdout);
        freopen((runtime + "/weston.log").c_str(), "w", stderr);
        execl("/usr/bin/weston", "weston", "--backend=headless-backend.so", "--socket=wayland-lanyx", "--idle-time=0",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
        up = std::filesystem::exists(runtime + "/wayland-lanyx");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const int before = g_notify->calls().size();
    int status = -1;
    if (up) {
        const pid_t child = fork();
        if (child == 0) {
            setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            setenv("WAYLAND_DISPLAY", "wayland-lanyx", 1);
            setenv("LANYX_TEST_WAYLAND", "1", 1);
            setenv("XDG_SESSION_TYPE", "wayland", 1);
            unsetenv("DISPLAY");
            unsetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");  // the reader's bus is the display's
            execl("/proc/self/exe", "lanyx_dbus_tests",
                  "--gtest_filter=Notifications.OnANativeWaylandWindowAlertsBecomeNotifications",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        // The services answer on their own thread meanwhile.
        waitpid(child, &status, 0);
    }
    kill(weston, SIGTERM);
    waitpid(weston, nullptr, 0);
    std::error_code ec;
    std::filesystem::remove_all(runtime, ec);
    ASSERT_TRUE(up) << "weston did not start";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto calls = g_notify->calls().mid(before);
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].body, "from wayland");
}

TEST(StatusNotifier, RegistersActivatesExportsItsMenuAndShowsUnread) {
    if (!g_privateBus) GTEST_SKIP() << "dbus-run-session missing: no private session bus for the watcher";
    if (!g_display) GTEST_SKIP() << "Xvfb missing: the tray needs a desktop platform, not offscreen";
    test::MemorySegment seg;
    test::Peer ann(seg, "ann");
    ann.joinAs("ann");
    frmMain w(ann.node);
    w.ShowTray();
    ASSERT_TRUE(w.TI()->Active());
    EXPECT_TRUE(w.TI()->singleClickTray());
    EXPECT_FALSE(w.isVisible());  // with a tray the window waits behind the icon
    QElapsedTimer t;
    t.start();
    while (g_watcher->items().isEmpty() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(g_watcher->items().size(), 1);
    QString service = g_watcher->items().first();
    QString path = QStringLiteral("/StatusNotifierItem");
    if (service.contains('/')) {  // "service/path" form
        path = service.mid(service.indexOf('/'));
        service = service.left(service.indexOf('/'));
    }
    const QString item = QStringLiteral("org.kde.StatusNotifierItem");

    // The menu is exported and holds the main window's tray menu.
    const auto menuPath = property(service, path, item, QStringLiteral("Menu"));
    ASSERT_EQ(menuPath.type(), QDBusMessage::ReplyMessage) << menuPath.errorMessage().toStdString();
    const QString menu = menuPath.arguments().first().value<QDBusVariant>().variant().value<QDBusObjectPath>().path();
    ASSERT_FALSE(menu.isEmpty());
    auto layoutCall = QDBusMessage::createMethodCall(service, menu, QStringLiteral("com.canonical.dbusmenu"),
                                                     QStringLiteral("GetLayout"));
    layoutCall << 0 << -1 << QStringList{};
    const auto layout = callAndWait(layoutCall);
    ASSERT_EQ(layout.type(), QDBusMessage::ReplyMessage) << layout.errorMessage().toStdString();
    QStringList labels;
    menuLabels(layout.arguments().at(1).value<QDBusArgument>(), labels);
    auto plain = [](QString s) { return s.remove('&').remove('_'); };
    for (QString& l : labels) l = plain(l);
    EXPECT_TRUE(labels.contains(plain(w.mnuShowMe()->text()))) << labels.join(", ").toStdString();
    EXPECT_TRUE(labels.contains(plain(w.mnuHide()->text()))) << labels.join(", ").toStdString();

    // The unread state changes the icon the host draws, and back.
    const QByteArray plainIcon = largestPixmap(property(service, path, item, QStringLiteral("IconPixmap")));
    ASSERT_FALSE(plainIcon.isEmpty());
    w.TI()->setUnread(true);
    const QByteArray unreadIcon = largestPixmap(property(service, path, item, QStringLiteral("IconPixmap")));
    EXPECT_FALSE(unreadIcon.isEmpty());
    EXPECT_NE(unreadIcon, plainIcon);
    w.TI()->setUnread(false);
    EXPECT_EQ(largestPixmap(property(service, path, item, QStringLiteral("IconPixmap"))), plainIcon);

    // A click on the icon shows the main window.
    auto activate = QDBusMessage::createMethodCall(service, path, item, QStringLiteral("Activate"));
    activate << 10 << 10;
    callAndWait(activate);
    QTRY_VERIFY_WITH_TIMEOUT(w.isVisible(), 5000);
    w.RemoveTray();
}

// ---- the tree a screen reader reads -------------------------------------------------

constexpr const char* kBusLauncher = "/usr/libexec/at-spi-bus-launcher";

struct SpokenNode {
    QString role;  // as the reader names it: "push button", "page tab", "alert"
    QString name;
    QString path;  // the roles from the application down
};

// Reads the program's accessible objects over the accessibility bus, as
// Orca does; the program answers on this thread meanwhile.
class ScreenReader {
public:
    ScreenReader() {
        auto ask = QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                                  QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
        const auto reply = callOn(testSide(), ask);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            why_ = reply.errorMessage().toStdString();
            return;
        }
        const QString address = reply.arguments().first().toString();
        bus_ = QDBusConnection::connectToBus(address, QStringLiteral("screen-reader"));
        if (!bus_->isConnected()) why_ = address.toStdString() + ": " + bus_->lastError().message().toStdString();
    }
    ~ScreenReader() { QDBusConnection::disconnectFromBus(QStringLiteral("screen-reader")); }
    bool connected() const { return bus_ && bus_->isConnected(); }
    const std::string& why() const { return why_; }
    // Every object of every program on the bus, depth first.
    QList<SpokenNode> read() {
        QList<SpokenNode> all;
        for (const auto& [service, path] : children(QStringLiteral("org.a11y.atspi.Registry"), kRoot))
            walk(service, path, {}, all, 0);
        return all;
    }

private:
    static inline const QString kRoot = QStringLiteral("/org/a11y/atspi/accessible/root");
    static QDBusMessage callOn(QDBusConnection bus, const QDBusMessage& call) {
        QDBusPendingCall pending = bus.asyncCall(call, 5000);
        QElapsedTimer t;
        t.start();
        while (!pending.isFinished() && t.elapsed() < 6000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return pending.reply();
    }
    QDBusMessage accessible(const QString& service, const QString& path, const QString& method) {
        return callOn(*bus_, QDBusMessage::createMethodCall(service, path, QStringLiteral("org.a11y.atspi.Accessible"),
                                                            method));
    }
    QList<std::pair<QString, QString>> children(const QString& service, const QString& path) {
        QList<std::pair<QString, QString>> out;
        const auto reply = accessible(service, path, QStringLiteral("GetChildren"));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return out;
        const auto arg = reply.arguments().first().value<QDBusArgument>();
        arg.beginArray();
        while (!arg.atEnd()) {
            QString s;
            QDBusObjectPath p;
            arg.beginStructure();
            arg >> s >> p;
            arg.endStructure();
            out.append({s, p.path()});
        }
        arg.endArray();
        return out;
    }
    void walk(const QString& service, const QString& path, const QString& above, QList<SpokenNode>& all, int depth) {
        if (depth > 16 || all.size() > 4000) return;
        SpokenNode node;
        const auto role = accessible(service, path, QStringLiteral("GetRoleName"));
        if (!role.arguments().isEmpty()) node.role = role.arguments().first().toString();
        auto get = QDBusMessage::createMethodCall(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                  QStringLiteral("Get"));
        get << QStringLiteral("org.a11y.atspi.Accessible") << QStringLiteral("Name");
        const auto name = callOn(*bus_, get);
        if (!name.arguments().isEmpty())
            node.name = name.arguments().first().value<QDBusVariant>().variant().toString();
        node.path = above.isEmpty() ? node.role : above + " / " + node.role;
        all.append(node);
        for (const auto& [s, p] : children(service, path)) walk(s, p, node.path, all, depth + 1);
    }
    std::optional<QDBusConnection> bus_;
    std::string why_;
};

// What the accessibility bridge adds to the accessible objects the walk
// checks in process: the roles a reader announces, as it reads them.
TEST(ScreenReaderTree, PagesReadAsTabsCornersAsRadioButtonsThePopupAsAnAlertAndTheStatusLineByWhatItSays) {
    if (!g_privateBus) GTEST_SKIP() << "dbus-run-session missing: no private bus for the accessibility bus";
    if (!g_display) GTEST_SKIP() << "Xvfb missing: the accessibility bridge needs a desktop platform";
    if (access(kBusLauncher, X_OK) != 0) GTEST_SKIP() << "at-spi2-core missing: no accessibility bus";
    test::MemorySegment seg;
    test::Peer ann(seg, "ann");
    ann.joinAs("ann");
    frmMain main(ann.node);
    main.show();
    frmOpt options(ann.node, OptionsEnv{});
    options.show();
    ChatWindows windows(ann.node, nullptr, nullptr);
    windows.ShowAlert("lunch?", "bob", true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&options));

    ScreenReader reader;
    ASSERT_TRUE(reader.connected()) << reader.why();
    QList<SpokenNode> tree;
    const auto has = [&](const QString& role, const QString& name = {}) {
        return std::any_of(tree.begin(), tree.end(),
                           [&](const SpokenNode& n) { return n.role == role && (name.isEmpty() || n.name == name); });
    };
    // The bridge registers the program and its windows as they come.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000 && !(has(QStringLiteral("page tab")) && has(QStringLiteral("alert message")))) {
        tree = reader.read();
        QTest::qWait(100);
    }
    QStringList spoken;
    for (const auto& n : tree) spoken << n.path + " \"" + n.name + "\"";
    const std::string dump = spoken.join(QLatin1Char('\n')).toStdString();

    const auto count = [&](const QString& role, const QString& under) {
        return std::count_if(tree.begin(), tree.end(), [&](const SpokenNode& n) {
            return n.role == role && n.path.endsWith(under + QLatin1String(" / ") + role) && !n.name.isEmpty();
        });
    };
    EXPECT_EQ(count(QStringLiteral("page tab"), QStringLiteral("page tab list")), 5) << dump;
    EXPECT_EQ(count(QStringLiteral("radio button"), QStringLiteral("filler")), 4) << dump;  // the popup's corner
    EXPECT_TRUE(has(QStringLiteral("alert message"))) << dump;
    ASSERT_FALSE(main.lblStat()->text().isEmpty());
    EXPECT_TRUE(has(QStringLiteral("label"), main.lblStat()->text())) << dump;
    // No object is read by a name meant for programmers.
    EXPECT_FALSE(has(QStringLiteral("tool bar"), QStringLiteral("TB"))) << dump;
    if (std::getenv("LANYX_PRINT_SCREEN_READER_TREE")) std::cout << dump << std::endl;
}

// A session bus configuration whose only service folder is an empty one of
// the test's: the bus can start none of the machine's services (a
// notification daemon installed on the desktop would answer in place of the
// test's side). Returns the configuration's path, or "" when it cannot be made.
std::string privateBusConfig() {
    char folder[] = "/tmp/lanyx-test-bus-XXXXXX";
    if (!mkdtemp(folder)) return {};
    const std::string services = std::string(folder) + "/services";
    const std::string config = std::string(folder) + "/session.conf";
    if (mkdir(services.c_str(), 0700) != 0) return {};
    // The accessibility bus, started when a program asks for it, with its
    // socket in the test's folder (never beside a desktop's own).
    if (access(kBusLauncher, X_OK) == 0) {
        const std::string runtime = std::string(folder) + "/runtime";
        FILE* service = std::fopen((services + "/org.a11y.Bus.service").c_str(), "w");
        if (mkdir(runtime.c_str(), 0700) == 0 && service)
            std::fprintf(service, "[D-BUS Service]\nName=org.a11y.Bus\nExec=/usr/bin/env XDG_RUNTIME_DIR=%s %s\n",
                         runtime.c_str(), kBusLauncher);
        if (service) std::fclose(service);
    }
    FILE* out = std::fopen(config.c_str(), "w");
    if (!out) return {};
    std::fprintf(out,
                 "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                 " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                 "<busconfig><type>session</type><keep_umask/><listen>unix:tmpdir=/tmp</listen>\n"
                 "<auth>EXTERNAL</auth><servicedir>%s</servicedir>\n"
                 "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                 "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n",
                 services.c_str());
    return std::fclose(out) == 0 ? config : std::string();
}

// Under a private bus (and display) of its own; listing the tests needs neither.
int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i) listing = listing || std::string(argv[i]) == "--gtest_list_tests";
    if (!listing && !std::getenv("LANYX_TEST_PRIVATE_BUS") && access("/usr/bin/dbus-run-session", X_OK) == 0) {
        const std::string config = privateBusConfig();
        if (!config.empty()) {
            setenv("LANYX_TEST_PRIVATE_BUS", config.c_str(), 1);
            std::string option = "--config-file=" + config;
            std::vector<char*> args{const_cast<char*>("dbus-run-session"), option.data(), const_cast<char*>("--")};
            for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
            args.push_back(nullptr);
            execv("/usr/bin/dbus-run-session", args.data());
            unsetenv("LANYX_TEST_PRIVATE_BUS");
        }
    }
    // The bus's folder goes with the run that made it (the child under the
    // bus), not with a Wayland child that shares it.
    struct BusFolder {
        ~BusFolder() {
            const char* config = std::getenv("LANYX_TEST_PRIVATE_BUS");
            std::error_code ignored;
            if (config && !std::getenv("LANYX_TEST_WAYLAND") &&
                std::string(config).rfind("/tmp/lanyx-test-bus-", 0) == 0)
                std::filesystem::remove_all(std::filesystem::path(config).parent_path(), ignored);
        }
    } busFolder;
    g_privateBus = !listing && std::getenv("LANYX_TEST_PRIVATE_BUS") && std::getenv("DBUS_SESSION_BUS_ADDRESS");
    std::unique_ptr<lanyx::test::VirtualDisplay> xvfb;
    const bool wayland = std::getenv("LANYX_TEST_WAYLAND") != nullptr;
    if (wayland) setenv("QT_QPA_PLATFORM", "wayland", 1);
    if (g_privateBus && !wayland) {
        xvfb = std::make_unique<lanyx::test::VirtualDisplay>();
        g_display = xvfb->ok();
        if (g_display) {
            setenv("DISPLAY", xvfb->name().c_str(), 1);
            setenv("QT_QPA_PLATFORM", "xcb", 1);
        }
    }
    if (!g_display && !wayland) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The accessibility bridge talks to the private bus's reader, not a desktop's.
    if (g_display) setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
    QApplication app(argc, argv);
    // The watcher must be there before the first tray icon asks for it. A
    // Wayland child shares the parent's bus and its services.
    if (g_privateBus && !wayland) startServices();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "test_dbus.moc"

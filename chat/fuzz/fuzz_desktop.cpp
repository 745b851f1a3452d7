// One received datagram on a node whose sink is the desktop's windows
// (popups, the summary, chat windows, boxes) on the offscreen platform, as
// the desktop program hands them on: what reaches the windows is fuzzed
// too. The roster and the windows live across inputs, as on a segment where
// anybody can send anything; every few inputs the user closes what opened.
// Inputs are single datagrams, the same as fuzz_dispatch's.
#include "BoxMessage.h"
#include "ChatNode.h"
#include "ChatWindows.h"
#include "PopupSummary.h"
#include "frmChat.h"

#include <QApplication>
#include <QPointer>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace lanyx;
using namespace lanyx::ui;

namespace {

struct Ports : DatagramTransport, UserInterface, EventPump {
    void open() override { open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void send(std::string_view) override {}
    void messageBox(const std::string&, const std::string&, int) override {}
    std::uint32_t ticks() override {
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
    }
    void pumpOnce() override {}
    void runFor(std::uint32_t) override {}
    bool open_ = false;
};

// What the node shows goes to the windows, as the desktop program's sink does.
struct Sink : MessageSink {
    void show(const Message& m) override {
        const std::string text = MarkedText(m);
        if (m.isAlert()) {
            windows->ShowAlert(text, m.peer, m.isPrivate());
        } else if (m.isChatLine()) {
            windows->RouteChatLine(text, m.peer, m.colour);
        } else {
            QWidget* box = ShowBoxMessage(QString::fromStdString(text), QString::fromStdString(m.peer));
            QObject::connect(box, &QObject::destroyed, [this, sender = m.peer] { (*node)->BoxClosed(sender); });
        }
    }
    bool BoxStaysOpen() const override { return true; }
    void RemoveUserFromChats(const std::string& name) override { windows->RemoveUserFromChats(name); }
    void UserRenamed(const std::string& from, const std::string& to) override { windows->RenameInChats(from, to); }
    void RefreshChatUserLists() override { windows->RefreshChatUserLists(); }
    void PrivateDelivery(const DeliveryReport& report) override { windows->PrivateDelivery(report); }
    void KeyWarning(const std::string& name, const std::string&) override { ShowKeyWarning(name); }
    void ListFull(bool blockedList, std::size_t leftOut, std::size_t cap) override {
        ShowListFull(blockedList, leftOut, cap);
    }
    ChatWindows* windows = nullptr;
    ChatNode** node = nullptr;
};

struct Fixture {
    Fixture() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "lanyx-fuzz-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir = tmpl;
        NodeConfig c;
        c.dataDir = dir;
        c.langFile = std::filesystem::path(LANYX_SOURCE_DIR) / "resources" / "chat" / "Lang.con";
        c.logonName = "ann";
        c.nameForRun = "ann";
        node = new ChatNode(c, ports, ports, sink, ports);
        sink.node = &node;
        windows = new ChatWindows(*node, nullptr, [](const std::string&) { return QString(); });
        sink.windows = windows;
        node->readSettings();
        node->users().setBlocked({"Mallory"});
        node->users().setGroups({"team|ann|bob|"});
        node->state().MyName = "ann";
        node->OpenNetwork();
        for (int i = 0; i < 200; ++i) node->onDatagram("peer" + std::to_string(i) + "|C/255");
        // A chat that takes bob's lines; others' open windows of their own.
        bob = windows->OpenChatWindow("bob|");
    }
    // What the user closes now and then: every window (they delete
    // themselves on closing); the chat with bob opens again.
    void closeWindows() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        bob = windows->OpenChatWindow("bob|");
    }
    std::filesystem::path dir;
    Ports ports;
    Sink sink;
    ChatNode* node = nullptr;
    ChatWindows* windows = nullptr;
    QPointer<frmChat> bob;
};

[[noreturn]] void fail(const char* what, long long value) {
    std::fprintf(stderr, "fuzz_desktop: %s (%lld)\n", what, value);
    std::abort();
}

}  // namespace

// What the system's font library keeps for good on its first use is no leak of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture f;
    static unsigned inputs = 0;
    const auto t0 = std::chrono::steady_clock::now();
    f.node->onDatagram(std::string_view(reinterpret_cast<const char*>(data), size));
    // What the windows leave to the event loop (refreshes, the summary's list).
    QCoreApplication::processEvents();
    f.windows->refreshNow();
    if (PopupSummary* s = f.windows->summary()) s->refreshNow();
    const auto spent = std::chrono::steady_clock::now() - t0;
    // Generous for the sanitizers and a busy machine: a window per row of
    // the roster, or a list redrawn per alert, shows as seconds.
    if (spent > std::chrono::seconds(2))
        fail("one datagram took ms",
             static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count()));
    // The windows' bounds hold whatever comes.
    if (f.windows->popups().size() > ChatWindows::kMaxPopups) fail("popups", f.windows->popups().size());
    if (PopupSummary* s = f.windows->summary(); s && s->senders().size() > PopupSummary::kMaxSenders)
        fail("senders in the summary", s->senders().size());
    if (f.windows->chatWindows().size() > ChatWindows::kMaxNetworkChats + 1)
        fail("chat windows", f.windows->chatWindows().size());
    if (QApplication::topLevelWidgets().size() > 400) fail("top-level windows", QApplication::topLevelWidgets().size());
    if (++inputs % 64 == 0) f.closeWindows();
    // A roster without bound would only measure the allocator.
    if (f.node->users().userCount() > 20000) f.node->users().ClearlvUsers();
    return 0;
}

#pragma once
// An in-memory network segment: several chat nodes in one process, every
// datagram delivered to every open endpoint (the sender's own included), in
// order, when the segment is pumped. Time is simulated.
#include "ChatNode.h"
#include "Error.h"
#include "Transport.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace lanyx::test {

class MemorySegment;

class MemoryTransport : public DatagramTransport {
public:
    explicit MemoryTransport(MemorySegment& segment) : segment_(segment) {}
    void open() override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void send(std::string_view bytes) override;
    void sendTo(IpAddress to, std::string_view bytes) override;
    void sendLocal(std::string_view bytes) override;
    void receive(std::string_view bytes, IpAddress from = {}) { deliver(bytes, source ? source : from); }
    // The address every datagram seems to come from (none: where its
    // sender is, see `address`).
    IpAddress source;
    // This endpoint's own address: what it sends comes from there, and what
    // is sent to it alone reaches it (none; several may share one, as
    // copies on one computer).
    IpAddress address;
    // What this endpoint sends seems to come from there instead (a forged
    // source address; none: its own).
    IpAddress spoofFrom;
    IpAddress from() const { return spoofFrom ? spoofFrom : address; }
    // What was sent to one address alone: (address, bytes).
    std::vector<std::pair<IpAddress, std::string>> sentTo;
    // As the socket's receiver hands over what it drained at once.
    void receiveBatch(const std::vector<std::string>& batch) {
        beginBatch();
        for (const auto& b : batch) deliver(b);
        endBatch();
    }
    void reportDropTotal(std::uint32_t total) { reportDrops(total); }
    // As the socket adapter does when its receiver found the socket broken.
    void failReceiving(int number, const std::string& text, bool reopened) { receiveFailed(number, text, reopened); }
    // As the socket does when the computer comes onto another network.
    void joinNetwork() { networksJoined(); }
    // What this endpoint sent of the commands every copy knows: what a copy
    // without keys makes of it. allSent: everything, ours included.
    std::vector<std::string> sent;
    std::vector<std::string> allSent;
    static bool ourOwnCommand(std::string_view bytes) {
        const auto bar = bytes.find('|');
        if (bar == std::string_view::npos || bytes.size() < bar + 3 || bytes[bar + 2] != '/') return false;
        const char c = bytes[bar + 1];
        return std::string_view("KkGgEeRrQqAa").find(c) != std::string_view::npos;
    }
    bool failOpen = false;
    // The next datagram this endpoint sends that this says yes to is lost
    // on its way: on the wire nowhere, in `sent` and `allSent` neither.
    std::function<bool(std::string_view bytes)> loseNext;
    // ... the next sealed private message.
    void loseNextSealedPrivate() { loseNext = secure::IsSealedPrivate; }
    MemorySegment& segment() { return segment_; }
    // What the node said a pinned key signed, from where.
    void sourceVerified(IpAddress origin, std::string_view wireName) override {
        verified.emplace_back(origin, std::string(wireName));
    }
    std::vector<std::pair<IpAddress, std::string>> verified;

private:
    MemorySegment& segment_;
    bool open_ = false;
};

class MemorySegment : public EventPump {
public:
    void attach(MemoryTransport* t) { endpoints_.push_back(t); }
    void detach(MemoryTransport* t) { std::erase(endpoints_, t); }
    void post(std::string bytes, IpAddress from = {}) { queue_.push_back({std::move(bytes), from, {}, false}); }
    // To the endpoints at `to` alone.
    void postTo(IpAddress to, std::string bytes, IpAddress from = {}, bool toOne = true) {
        queue_.push_back({std::move(bytes), from, to, toOne});
    }
    // Delivers until nothing is left (answers to answers included). What
    // is sent to an address alone reaches one endpoint there, the first
    // attached, as a computer's socket hands it to one of its copies; what
    // is sent to the copies of a computer reaches all of them.
    void deliverAll() {
        std::size_t guard = 0;
        while (!queue_.empty() && ++guard < 1000000) {
            const auto d = std::move(queue_.front());
            queue_.pop_front();
            if (holdBack && holdBack(d.bytes)) {
                held_.push_back(d);
                continue;
            }
            ++delivered_;
            for (auto* e : endpoints_) {
                if (!e->isOpen() || (d.to && e->address != d.to)) continue;
                e->receive(d.bytes, d.from);
                if (d.unicast) break;
            }
        }
    }
    std::size_t delivered() const { return delivered_; }
    // What this says yes to stays on the wire until released (a late datagram).
    std::function<bool(std::string_view bytes)> holdBack;
    void releaseHeld() {
        holdBack = nullptr;
        for (auto& d : held_) queue_.push_back(std::move(d));
        held_.clear();
    }
    std::size_t pending() const { return queue_.size(); }

    std::uint32_t ticks() override { return now_; }
    void pumpOnce() override {
        deliverAll();
        fireDue();
    }
    // Simulated time passes: timers fire when due, and what they send is
    // delivered before the clock moves on.
    void runFor(std::uint32_t ms) override {
        const std::uint32_t end = now_ + ms;
        pumpOnce();
        while (!timers_.empty()) {
            auto first = std::min_element(timers_.begin(), timers_.end(), earlier);
            if (first->due > end) break;
            now_ = std::max(now_, first->due);
            pumpOnce();
        }
        now_ = end;
        pumpOnce();
    }
    void callAfter(std::uint32_t ms, std::function<void()> fn) override {
        timers_.push_back({now_ + ms, nextTimer_++, std::move(fn)});
    }
    std::size_t timersWaiting() const { return timers_.size(); }
    bool stopRequested() const override { return stop_; }
    void requestStop() { stop_ = true; }

private:
    struct Timer {
        std::uint32_t due;
        std::uint64_t order;
        std::function<void()> fn;
    };
    static bool earlier(const Timer& a, const Timer& b) { return a.due != b.due ? a.due < b.due : a.order < b.order; }
    void fireDue() {
        for (;;) {
            auto first = std::min_element(timers_.begin(), timers_.end(), earlier);
            if (first == timers_.end() || first->due > now_) return;
            auto fn = std::move(first->fn);
            timers_.erase(first);
            fn();
            deliverAll();
        }
    }
    std::vector<Timer> timers_;
    std::uint64_t nextTimer_ = 0;
    struct Datagram {
        std::string bytes;
        IpAddress from, to;
        bool unicast = false;
    };
    std::vector<MemoryTransport*> endpoints_;
    std::deque<Datagram> queue_;
    std::vector<Datagram> held_;
    std::uint32_t now_ = 1000;
    std::size_t delivered_ = 0;
    bool stop_ = false;
};

inline void MemoryTransport::open() {
    if (failOpen) throw LanyxError(err::AddressInUse, "Address in use");
    open_ = true;
}

inline void MemoryTransport::send(std::string_view bytes) {
    if (loseNext && loseNext(bytes)) {
        loseNext = nullptr;
        return;
    }
    allSent.emplace_back(bytes);
    if (!ourOwnCommand(bytes)) sent.emplace_back(bytes);
    segment_.post(std::string(bytes), from());
}

inline void MemoryTransport::sendTo(IpAddress to, std::string_view bytes) {
    sentTo.emplace_back(to, std::string(bytes));
    segment_.postTo(to, std::string(bytes), from());
}

inline void MemoryTransport::sendLocal(std::string_view bytes) {
    if (address) segment_.postTo(address, std::string(bytes), IpAddress::v4(0x7f000001), false);
}

// Records what reached the user: alerts, chat lines, boxes, message boxes.
struct Recorder : UserInterface, MessageSink {
    struct Item {
        std::string kind, sender, text;
        bool isPrivate = false;
        std::string chat;  // what the line said of itself, vetted
        std::uint64_t lineId = 0;
        std::uint64_t replyTo = 0;
    };
    std::vector<Item> items;
    std::vector<std::string> boxes;
    std::vector<std::string> removedFromChats;
    std::optional<std::string> answerName;  // what the start-up name dialog answers
    int nameDialogs = 0;
    int chatRefreshes = 0;
    std::string caption;
    bool boxesStayOpen = false;           // a desktop with modeless boxes
    std::function<void()> whileBoxShown;  // what happens while a modal box is up

    void messageBox(const std::string& text, const std::string& title, int) override {
        boxes.push_back(title.empty() ? text : title + ": " + text);
    }
    std::optional<std::string> askNewName(const std::string&) override {
        ++nameDialogs;
        return answerName;
    }
    void show(const Message& m) override {
        items.push_back({m.isAlert()      ? "alert"
                         : m.isChatLine() ? "chat"
                                          : "box",
                         m.peer, MarkedText(m), m.isPrivate(), m.chat, m.lineId, m.replyTo});
        if (m.kind == MessageKind::Box && whileBoxShown) whileBoxShown();
    }
    bool BoxStaysOpen() const override { return boxesStayOpen; }
    void RemoveUserFromChats(const std::string& name) override {
        removedFromChats.push_back(name);
        if (whenRemovedFromChats) whenRemovedFromChats(name);
    }
    void UserRenamed(const std::string& from, const std::string& to) override {
        renames.push_back(from + ">" + to);
        if (whenRenamed) whenRenamed(from, to);
    }
    std::vector<std::string> renames;
    void RenamedOntoKnownName(const std::string& from, const std::string& to) override {
        renameNotices.push_back(from + ">" + to);
    }
    std::vector<std::string> renameNotices;
    // Windows on top of the node hear these at once, in order, as on the desktop.
    std::function<void(const std::string&)> whenRemovedFromChats;
    std::function<void(const std::string&, const std::string&)> whenRenamed;
    void RefreshChatUserLists() override { ++chatRefreshes; }
    void StatusCaptionChanged(const std::string& c) override { caption = c; }
    void PrivateDelivery(const DeliveryReport& r) override { deliveries.push_back(r); }
    void KeyWarning(const std::string& name, const std::string& text) override {
        keyWarnings.push_back(name + ": " + text);
    }
    void ListFull(bool blockedList, std::size_t leftOut, std::size_t) override {
        listsFull.push_back(std::string(blockedList ? "blocked" : "groups") + " " + std::to_string(leftOut));
    }
    std::vector<DeliveryReport> deliveries;
    std::vector<std::string> keyWarnings;
    std::vector<std::string> listsFull;
};

}  // namespace lanyx::test

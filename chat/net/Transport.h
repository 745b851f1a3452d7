#pragma once
// The datagram transport: one broadcast endpoint on the segment.
#include "IpAddress.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx {

class DatagramTransport {
public:
    using Receiver = std::function<void(std::string_view bytes)>;
    virtual ~DatagramTransport() = default;
    // Binds the local port with broadcasting on, so that every copy on a host
    // hears every broadcast, its own included. Throws LanyxError.
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // One datagram to the whole segment. Throws LanyxError.
    virtual void send(std::string_view bytes) = 0;
    // Whole datagrams, on the user-interface thread.
    void setReceiver(Receiver r) { receiver_ = std::move(r); }
    // Called after each batch of datagrams handed over at once, so that
    // the windows refresh once per batch rather than once per datagram.
    void setBatchEnd(std::function<void()> f) { batchEnd_ = std::move(f); }
    // The kernel's count of datagrams it dropped on this socket so far,
    // reported on the user-interface thread whenever it grew.
    // True while a batch is being handed over: the receiver may leave
    // refreshes to the batch's end.
    bool inBatch() const { return inBatch_; }
    void setDropReporter(std::function<void(std::uint32_t total)> f) { dropReporter_ = std::move(f); }
    // The computer came onto networks it was not on (a cable plugged in, a
    // VPN up, a destination name resolved): called on the user-interface
    // thread, and what is sent from inside goes to those networks only, so
    // that the copy announces itself there and nowhere else.
    void setNetworksJoined(std::function<void()> f) { networksJoined_ = std::move(f); }
    // Receiving stopped because the socket broke (`number` and `text` say
    // why). `reopened`: the transport opened it again and receives; else it
    // keeps trying and calls again, reopened, once it could. Called on the
    // user-interface thread.
    using ReceiveFailure = std::function<void(int number, const std::string& text, bool reopened)>;
    void setReceiveFailure(ReceiveFailure f) { receiveFailure_ = std::move(f); }

    // The address the datagram being handed over came from; none when not
    // known. File offers are answered at this address.
    IpAddress currentSource() const { return source_; }
    // Whether the datagram being handed over is of a name heard before the
    // strangers now waiting (or of a sender whose pinned key was verified
    // there): false where the transport does not tell.
    bool currentHeardBefore() const { return heardBefore_; }
    // A pinned key's signature came from `address` under `wireName` (as on
    // the wire): a copy there may be sent to directly, should the address
    // be on another subnet the transport may reach.
    virtual void sourceVerified(IpAddress address, std::string_view wireName) {
        (void)address;
        (void)wireName;
    }
    // One datagram to one address alone, on the segment's port: a
    // challenge only a copy there can answer.
    virtual void sendTo(IpAddress address, std::string_view bytes) {
        (void)address;
        (void)bytes;
    }
    // One datagram to the copies on this computer alone.
    virtual void sendLocal(std::string_view bytes) { (void)bytes; }
    // The pinned key's leave notice under `wireName` came from `address`:
    // what sourceVerified taught for the name there is forgotten. An
    // unsigned leave never comes here.
    virtual void sourceLeft(IpAddress address, std::string_view wireName) {
        (void)address;
        (void)wireName;
    }

protected:
    void deliver(std::string_view bytes, IpAddress source = {}, bool heardBefore = false) {
        source_ = source;
        heardBefore_ = heardBefore;
        if (receiver_) receiver_(bytes);
        source_ = {};
        heardBefore_ = false;
    }
    void beginBatch() { inBatch_ = true; }
    void endBatch() {
        inBatch_ = false;
        if (batchEnd_) batchEnd_();
    }
    void reportDrops(std::uint32_t total) {
        if (dropReporter_) dropReporter_(total);
    }
    void networksJoined() {
        if (networksJoined_) networksJoined_();
    }
    void receiveFailed(int number, const std::string& text, bool reopened) {
        if (receiveFailure_) receiveFailure_(number, text, reopened);
    }

private:
    Receiver receiver_;
    bool inBatch_ = false;
    IpAddress source_;
    bool heardBefore_ = false;
    std::function<void()> batchEnd_;
    std::function<void(std::uint32_t)> dropReporter_;
    std::function<void()> networksJoined_;
    ReceiveFailure receiveFailure_;
};

}  // namespace lanyx

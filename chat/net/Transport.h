#pragma once
// The datagram transport: one broadcast endpoint on the segment.
#include <functional>
#include <string_view>

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

protected:
    void deliver(std::string_view bytes) {
        if (receiver_) receiver_(bytes);
    }

private:
    Receiver receiver_;
};

} // namespace lanyx

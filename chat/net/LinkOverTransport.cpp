#include "LinkOverTransport.h"

#include "Cp1252.h"

#include <chrono>

namespace lanyx {

void ConnectToTransport(SecureLink::Hooks& h, DatagramTransport& transport, EventPump& pump,
                        std::function<std::uint64_t()> wallMicros) {
    h.send = [&transport](std::string_view bytes) {
        if (transport.isOpen()) transport.send(bytes);
    };
    h.sendTo = [&transport](IpAddress address, std::string_view bytes) {
        if (transport.isOpen()) transport.sendTo(address, bytes);
    };
    h.sendLocal = [&transport](std::string_view bytes) {
        if (transport.isOpen()) transport.sendLocal(bytes);
    };
    h.source = [&transport] { return transport.currentSource(); };
    h.sourceVerified = [&transport](IpAddress address, const std::string& name) {
        transport.sourceVerified(address, cp1252::fromUtf8(name));
    };
    h.ticks = [&pump] { return pump.ticks(); };
    h.callAfter = [&pump](std::uint32_t ms, std::function<void()> fn) { pump.callAfter(ms, std::move(fn)); };
    h.wallMicros = wallMicros ? std::move(wallMicros) : [] {
        return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
                .count());
    };
}

}  // namespace lanyx

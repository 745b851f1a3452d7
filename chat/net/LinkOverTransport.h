#pragma once
// What the secure link needs of the transport under it and of the event
// loop: sending (nothing while the network is closed), where a datagram
// came from, what a signature taught of an address, the clocks.
#include "Ports.h"
#include "SecureLink.h"
#include "Transport.h"

#include <cstdint>
#include <functional>

namespace lanyx {

// Fills those hooks; `wallMicros` empty: the system clock.
void ConnectToTransport(SecureLink::Hooks& hooks, DatagramTransport& transport, EventPump& pump,
                        std::function<std::uint64_t()> wallMicros);

}  // namespace lanyx

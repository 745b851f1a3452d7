#pragma once
// The test build's transfers that lose data on purpose (CliTestAids.h):
// wrappers around what FileTransfers is made with, so that the shipped
// transfer code holds no branch for them.
#include "CliTestAids.h"
#include "FileTransfers.h"

#include <QtGlobal>

#include <functional>

namespace lanyx::cli {

// Wraps `inner`: the first connection of each incoming transfer is cut
// once `cutAfter()` bytes of it arrived (0: none), as a pulled cable would
// cut it; the transfer connects again at once and goes on from there.
ClientFactory CuttingClients(std::function<quint64()> cutAfter, ClientFactory inner = MakeTransferClient);

// What the aids ask of the transfers: offers that name something else than
// what they hold, connections cut.
TransferSetup TransferSetupFor(const TestAids& aids);

}  // namespace lanyx::cli

#include "CliTransferAids.h"

#include <QTimer>

#include <memory>
#include <set>
#include <string>
#include <utility>

namespace lanyx::cli {

ClientFactory CuttingClients(std::function<quint64()> cutAfter, ClientFactory inner) {
    // The transfers cut so far, by id: a later start of one is left alone.
    auto cut = std::make_shared<std::set<std::string>>();
    return [cutAfter = std::move(cutAfter), inner = std::move(inner),
            cut](transfer::Offer offer, QHostAddress sender, std::filesystem::path folder,
                 transfer::DigestFactory digests, SecurityFactory security, QObject* parent) {
        const std::string id = offer.id;
        auto* client = inner(std::move(offer), std::move(sender), std::move(folder), std::move(digests),
                             std::move(security), parent);
        QObject::connect(client, &TransferClient::progress, client, [client, cutAfter, cut, id](quint64 received) {
            const quint64 after = cutAfter();
            if (after == 0 || received < after || !cut->insert(id).second) return;
            // Not inside the client's own signal: it connects again next pass.
            QTimer::singleShot(0, client, [client] { client->start(); });
        });
        return client;
    };
}

TransferSetup TransferSetupFor(const TestAids& aids) {
    TransferSetup setup;
    if (aids.dropAfter > 0) setup.clients = CuttingClients([bytes = quint64{aids.dropAfter}] { return bytes; });
    if (!aids.offerName.empty())
        setup.offerNames = [name = aids.offerName](const transfer::LocalSelection&) {
            return std::vector<std::string>{name};
        };
    return setup;
}

}  // namespace lanyx::cli

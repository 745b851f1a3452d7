#pragma once
// Options that lose data on purpose, for the end-to-end tests: only the
// test build of lanyx-cli (lanyx-cli-aided) knows them, the shipped program
// refuses them as unknown.
#include "CliPeer.h"
#include "Transport.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lanyx::cli {

struct TestAids {
    bool dropFirstPrivate = false;  // the first encrypted transmission is lost
    std::string offerName;          // offers show this name instead of the files'
    std::uint32_t dropAfter = 0;    // cut each incoming transfer once after this many bytes
};

// Takes the aids out of `args` (before any "--"), leaving the rest for
// ParseArgs. Returns an error text for the user when one makes no sense.
std::optional<std::string> TakeTestAids(std::vector<std::string>& args, TestAids& out);
// After ParseArgs: an aid given with a command it does not go with.
std::optional<std::string> CheckTestAids(const TestAids& aids, const CliOptions& options);

// The transport the node is given for --drop-first-private: everything
// passes on to and from `inner`, but the first sealed private message sent
// once armed is lost.
class DropFirstPrivate final : public DatagramTransport {
public:
    explicit DropFirstPrivate(DatagramTransport& inner);
    ~DropFirstPrivate() override;
    DropFirstPrivate(const DropFirstPrivate&) = delete;
    DropFirstPrivate& operator=(const DropFirstPrivate&) = delete;
    // From now on, until one was lost.
    void arm() { armed_ = true; }
    bool dropped() const { return dropped_; }

    void open() override { inner_.open(); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    void send(std::string_view bytes) override;
    void sourceVerified(IpAddress address, std::string_view wireName) override {
        inner_.sourceVerified(address, wireName);
    }
    void sendTo(IpAddress address, std::string_view bytes) override { inner_.sendTo(address, bytes); }
    void sendLocal(std::string_view bytes) override { inner_.sendLocal(bytes); }
    void sourceLeft(IpAddress address, std::string_view wireName) override { inner_.sourceLeft(address, wireName); }

private:
    DatagramTransport& inner_;
    bool armed_ = false;
    bool dropped_ = false;
};

}  // namespace lanyx::cli

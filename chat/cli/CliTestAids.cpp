#include "CliTestAids.h"

#include "SecureLink.h"
#include "Text.h"

namespace lanyx::cli {

std::optional<std::string> TakeTestAids(std::vector<std::string>& args, TestAids& out) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        } else if (a == "--drop-first-private") {
            out.dropFirstPrivate = true;
        } else if (a == "--test-offer-name") {
            if (!hasValue || args[i + 1].empty()) return "--test-offer-name needs a name";
            out.offerName = args[++i];
        } else if (a == "--test-drop-after") {
            if (!hasValue) return a + " needs a number";
            const std::string& v = args[++i];
            const auto n = parseNumber(v);
            if (!n || *n < 0 || *n > 0xFFFFFFFF) return a + ": not a valid number: " + v;
            if (*n == 0) return "--test-drop-after needs a count above 0";
            out.dropAfter = static_cast<std::uint32_t>(*n);
        } else {
            rest.push_back(a);
        }
    }
    args = std::move(rest);
    return std::nullopt;
}

DropFirstPrivate::DropFirstPrivate(DatagramTransport& inner) : inner_(inner) {
    // What the inner one hands over comes from here, with its source and in
    // its batches, as the node would have it from the inner one itself.
    inner_.setReceiver([this](std::string_view bytes) {
        if (inner_.inBatch() && !inBatch()) beginBatch();
        deliver(bytes, inner_.currentSource(), inner_.currentHeardBefore());
    });
    inner_.setBatchEnd([this] { endBatch(); });
    inner_.setDropReporter([this](std::uint32_t total) { reportDrops(total); });
    inner_.setNetworksJoined([this] { networksJoined(); });
    inner_.setReceiveFailure(
        [this](int number, const std::string& text, bool reopened) { receiveFailed(number, text, reopened); });
}

DropFirstPrivate::~DropFirstPrivate() {
    inner_.setReceiver({});
    inner_.setBatchEnd({});
    inner_.setDropReporter({});
    inner_.setNetworksJoined({});
    inner_.setReceiveFailure({});
}

void DropFirstPrivate::send(std::string_view bytes) {
    if (armed_ && !dropped_ && secure::IsSealedPrivate(bytes)) {
        dropped_ = true;
        return;
    }
    inner_.send(bytes);
}

std::optional<std::string> CheckTestAids(const TestAids& aids, const CliOptions& options) {
    if (aids.dropAfter > 0 && options.command != "listen" && !options.help && !options.version)
        return "--test-drop-after goes with listen";
    return std::nullopt;
}

}  // namespace lanyx::cli

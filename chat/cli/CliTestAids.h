#pragma once
// Options that lose data on purpose, for the end-to-end tests: only the
// test build of lanyx-cli (lanyx-cli-aided) knows them, the shipped program
// refuses them as unknown.
#include "CliPeer.h"

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

}  // namespace lanyx::cli

#pragma once
// How much the history keeps of senders without a verified key: anybody on
// the segment can send under any name, and the disk must not fill at their
// pace. Each such sender has `perSecond` lines a second kept, all of them
// together `totalPerSecond`; the rest are counted per sender, and each count
// becomes one row once its sender has had a second without a line refused
// (in a flood that goes on, once a minute). Senders beyond `maxSenders` are
// counted together, and so are counts that come while the rows of a second
// are used up: the disk grows by a bounded number of rows a second whatever
// the number of names. Not thread-safe: its owner locks.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lanyx::history {

class SenderLimit {
public:
    struct Limits {
        std::size_t perSecond = 10;
        std::size_t totalPerSecond = 100;
        std::size_t maxSenders = 1024;
    };
    struct Count {
        std::string name;  // as last seen; empty: senders counted together
        std::uint64_t lines = 0;
        std::uint64_t bytes = 0;
        std::int64_t lastMs = 0;  // the last line not kept
    };

    explicit SenderLimit(Limits limits) : limits_(limits) {}

    // True: keep this line of `bytes` from `name`; false: it is counted.
    bool admit(std::string_view name, std::size_t bytes, std::int64_t nowMs);
    // The counts due as rows now (all of them with `all`), each once.
    std::vector<Count> due(std::int64_t nowMs, bool all = false);
    // Lines are counted that no row has told yet.
    bool counting() const { return counting_ > 0; }

private:
    struct Sender {
        Count count;
        std::int64_t windowMs = 0;  // the start of its second
        std::size_t inWindow = 0;   // lines kept in it
        std::int64_t firstMs = 0;   // the first line of the count
    };
    void refuse(Sender& s, std::string_view name, std::size_t bytes, std::int64_t nowMs);
    bool isDue(const Sender& s, std::int64_t nowMs, bool all) const;
    bool takeRow(std::int64_t nowMs);

    Limits limits_;
    std::unordered_map<std::string, Sender> senders_;  // by the name in lower case
    Sender others_;
    std::int64_t windowMs_ = 0;
    std::size_t inWindow_ = 0;
    std::size_t counting_ = 0;  // senders (and others_) with lines counted
    std::int64_t nextSweepMs_ = 0;
};

}  // namespace lanyx::history

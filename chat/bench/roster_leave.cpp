// Prints what a leave notice costs the roster at a given size: N names
// listed, then 1,000 of them (scattered) removed and listed again, timed.
// Usage: lanyx-roster-leave [N] [runs]
#include "UserList.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    constexpr std::size_t kLeaves = 1000;
    std::vector<double> perLeave;
    for (int run = 0; run < runs; ++run) {
        lanyx::UserList l;
        for (std::size_t i = 0; i < n; ++i) l.addUser("user" + std::to_string(i));
        std::vector<std::string> names;
        for (std::size_t k = 0; k < kLeaves; ++k) names.push_back("user" + std::to_string((k * 7919 + run) % n));
        std::sort(names.begin(), names.end());
        names.erase(std::unique(names.begin(), names.end()), names.end());
        const auto t0 = std::chrono::steady_clock::now();
        for (const auto& name : names) l.removeUser(*l.findExact(name));
        const auto t1 = std::chrono::steady_clock::now();
        for (const auto& name : names) l.addUser(name);
        perLeave.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count() /
                           static_cast<double>(names.size()));
    }
    std::sort(perLeave.begin(), perLeave.end());
    std::printf("roster %zu rows: %zu leaves, median of %d runs: %.3f us per leave (%.1f ms per 1,000)\n", n, kLeaves,
                runs, perLeave[perLeave.size() / 2], perLeave[perLeave.size() / 2]);
    return 0;
}

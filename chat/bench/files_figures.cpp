// Figures for the files read at start-up, printed, never checked:
//   lanyx-files-figures blocked N   User.ini with N blocked names: read and listed
//   lanyx-files-figures trim MB     Log.txt of MB megabytes trimmed to 300 lines
// Each prints the time taken and the process's peak memory.
#include "EventLog.h"
#include "Settings.h"
#include "UserList.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

using namespace lanyx;
namespace fs = std::filesystem;

namespace {

long peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

double secondsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lanyx-files-figures blocked N | trim MB\n");
        return 2;
    }
    const std::string what = argv[1];
    const long n = std::atol(argv[2]);
    std::string tmpl = (fs::temp_directory_path() / "lanyx-figures-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const fs::path dir = tmpl;
    int status = 0;
    if (what == "blocked") {
        {
            std::ofstream out(dir / "User.ini", std::ios::binary);
            out << "\"English\"\r\n0\r\n0,0,2505,4605\r\n\"ann\",0,4,\"(B)\",0\r\n0,0,0,0\r\n" << n << "\r\n";
            for (long i = 0; i < n; ++i) out << "\"peer" << i << "\"\r\n";
            out << "0\r\n";
        }
        const long before = peakMb();
        const auto t0 = std::chrono::steady_clock::now();
        SettingsData d;
        const auto o = ReadSettings(dir / "User.ini", d, "ann", {});
        UserList users;
        users.setBlocked(d.blocked);
        std::printf(
            "blocked %ld: %zu names read and listed in %.3f s (recovered %d, refused %d); peak %ld MB, %ld MB before "
            "reading\n",
            n, users.blocked().size(), secondsSince(t0), o.recovered, o.refused, peakMb(), before);
    } else if (what == "trim") {
        {
            std::ofstream out(dir / "Log.txt", std::ios::binary);
            const std::string line = "\"08/12/2026 18:00:00 Unknow Data Receved (bob: a datagram of some length)\"\r\n";
            for (long written = 0; written < n * 1024 * 1024; written += static_cast<long>(line.size())) out << line;
        }
        const long before = peakMb();
        const auto t0 = std::chrono::steady_clock::now();
        EventLog log(dir / "Log.txt");
        const bool ok = log.TrimLog(300);
        std::printf("trim %ld MB: %s in %.3f s, %ju bytes kept; peak %ld MB, %ld MB before trimming\n", n,
                    ok ? "trimmed" : "FAILED", secondsSince(t0),
                    static_cast<std::uintmax_t>(fs::file_size(dir / "Log.txt")), peakMb(), before);
        status = ok ? 0 : 1;
    } else {
        status = 2;
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return status;
}

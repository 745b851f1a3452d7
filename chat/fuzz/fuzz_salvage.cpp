// A history file damaged anywhere: salvaging it never crashes or hangs, keeps
// the damaged file as it was found, and makes a sound history that reads
// whole, with no more rows than there were. The input patches a real history of a few hundred rows:
// pairs of a 2-byte offset (in units of 8 bytes) and up to 64 bytes to write
// there, each pair preceded by its length.
#include "History.h"
#include "HistoryStore.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace lanyx;
using namespace lanyx::history;

namespace {

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const std::filesystem::path& scratch() {
    static const std::filesystem::path dir = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "lanyx-fuzz-salvage-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        return std::filesystem::path(tmpl);
    }();
    return dir;
}

// A history as the program writes it, made once.
const std::string& pristine() {
    static const std::string bytes = [] {
        const auto dir = scratch() / "pristine";
        std::filesystem::create_directories(dir);
        {
            History h(dir);
            for (int i = 0; i < 400; ++i) {
                HistoryEntry e;
                e.peer = i % 3 ? "ann" : "bob";
                e.kind = i % 5 ? HistoryKind::PrivateChat : HistoryKind::Chat;
                e.trust = HistoryTrust::Signed;
                e.text = "line " + std::to_string(i) + " with words to index " + std::string(i % 40, 'x');
                h.record(e);
            }
            if (!h.flush()) std::abort();
        }
        return readAll(dir / kFileName);
    }();
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes = pristine();
    for (std::size_t i = 0; i + 3 <= size;) {
        const std::size_t n = data[i] % 65;
        const std::size_t at = (static_cast<std::size_t>(data[i + 1]) << 8 | data[i + 2]) * 8 % bytes.size();
        i += 3;
        for (std::size_t k = 0; k < n && i < size; ++k, ++i)
            bytes[(at + k) % bytes.size()] = static_cast<char>(data[i]);
    }
    const auto dir = scratch() / "case";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    {
        std::ofstream out(dir / kFileName, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const auto saved = HistoryStore::salvage(dir / kFileName);
    if (saved.replaced) {
        if (saved.keptAside.empty() || readAll(saved.keptAside) != bytes) std::abort();  // kept as found
        HistoryStore fresh(dir / kFileName, HistoryStore::Mode::ReadOnly);
        auto check = fresh.connection().prepare("PRAGMA integrity_check");
        if (!check.step() || check.text(0) != "ok") std::abort();
        std::int64_t rows = 0;
        fresh.eachReadable(0, [&](const HistoryRow&) { ++rows; });
        if (rows != saved.rows || rows > 400) std::abort();
    }
    return 0;
}

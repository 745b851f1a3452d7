// The file of known keys as a start finds it, damaged in any way, and the
// memory beside it with the same bytes: the loader must start with what it
// could read (never without keys), keep within its bounds, never hold a name
// no user can have, keep a damaged file aside rather than write over it, and
// what it keeps must write and read back the same.
#include "Identity.h"
#include "Text.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace lanyx;
namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fs::path dir = [] {
        auto d = fs::temp_directory_path() / ("lanyx-fuzz-pins-" + std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    const auto file = dir / PinStore::kFileName;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) fs::remove(e.path(), ec);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::ofstream(file, std::ios::binary) << bytes;
    std::ofstream(dir / PinStore::kMemoryFileName, std::ios::binary) << bytes;

    auto loaded = LoadPins(file);
    const auto& pins = loaded.pins;
    if (pins.automaticCount() > PinStore::kMaxAutomatic || pins.checkedCount() > PinStore::kMaxChecked ||
        pins.plainNames().size() > PinStore::kMaxPlainNames)
        std::abort();
    for (const auto& [name, pin] : pins.all()) {
        if (!IsValidUserName(name) || name != toLower(name) || pin.signPublic.size() != 32 ||
            pin.boxPublic.size() != 32 || (pin.changed() && pin.newBox.size() != 32) || pins.isPlain(name))
            std::abort();
    }
    for (const auto& [name, heard] : pins.plainNames())
        if (!IsValidUserName(name) || heard < 0) std::abort();
    if (pins.formers().size() > PinStore::kMaxFormer) std::abort();
    for (const auto& [name, former] : pins.formers())
        if (!IsValidUserName(name) || former.hash.size() != 16 || pins.find(name) || pins.isPlain(name)) std::abort();
    for (const auto& [name, pin] : pins.all())
        if (!pin.checkedAs.empty() && (!IsValidUserName(pin.checkedAs) || pin.checked)) std::abort();
    // Told once, and the file kept aside, whenever something was left out.
    const bool told = !loaded.notice.empty();
    if (told != !loaded.logLine.empty()) std::abort();
    if (told && loaded.writable && (fs::exists(file) || !fs::exists(fs::path(file).concat(".damaged")))) std::abort();
    if (!told && !fs::exists(file) && size > 0) std::abort();
    // What was kept round-trips, and loads without a word the next time.
    const auto text = pins.toText();
    const auto memory = pins.memoryText();
    std::size_t skipped = 0;
    auto back = PinStore::fromText(text, &skipped);
    if (back.toText() != text || skipped != 0) std::abort();
    back.readMemory(memory, &skipped);
    if (back.memoryText() != memory || skipped != 0) std::abort();
    std::string problem;
    if (!pins.save(file, problem)) std::abort();
    const auto again = LoadPins(file);
    if (!again.notice.empty() || !again.memoryLine.empty() || again.pins.toText() != text ||
        again.pins.memoryText() != memory)
        std::abort();
    return 0;
}

// The Lang.con loader on any text, then lookups in what it loaded.
#include "Cp1252.h"
#include "RecordFile.h"
#include "modLANG.h"

#include <cstdint>
#include <string>

using namespace lanyx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = cp1252::toUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    LanguageTable t;
    int reports = 0;
    t.setReporters([&](const std::string&, const std::string&, int) { ++reports; }, [&](const std::string&) {});
    std::string language = size > 0 && data[0] % 2 ? "Deutsch" : "English";
    try {
        t.loadText(text, language);
    } catch (const LanyxError&) {
        return 0;
    }
    for (int code : {1201, 8203, 10201, -1, 32767}) (void)t.text(code);
    // A missing code is reported once per table, never more.
    if (reports > 1) __builtin_trap();
    return 0;
}

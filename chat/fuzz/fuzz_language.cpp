// The Lang.con loader on any text, then lookups in what it loaded; and the
// same text as the language file of a start-up, which must leave the user's
// settings file as it was whatever the language file holds.
#include "Cp1252.h"
#include "RecordFile.h"
#include "Settings.h"
#include "modLANG.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace lanyx;

namespace {

struct SettingsDir {
    SettingsDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "lanyx-fuzz-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        file = std::filesystem::path(tmpl) / "User.ini";
        SettingsData d;
        d.user.Language = "Deutsch";
        d.blocked = {"mallory"};
        d.groups = {"team|ann|bob|"};
        SaveSettings(file, d, "ann");
        bytes = *readTextFile(file);
    }
    std::filesystem::path file;
    std::string bytes;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SettingsDir dir;
    const auto text = cp1252::toUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    {
        LanguageTable t;
        SettingsData d;
        const auto o = ReadSettings(dir.file, d, "ann", [&](std::string& language) { t.loadText(text, language); });
        // A language file, good or bad, is never a reason to touch the settings.
        if (o.recovered || o.refused || *readTextFile(dir.file) != dir.bytes) std::abort();
        if (d.blocked != std::vector<std::string>{"mallory"} || d.user.UserName != "ann") std::abort();
        if ((o.languageError.number != 0) == o.notice.empty()) std::abort();
    }
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

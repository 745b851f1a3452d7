#include "InstallCheck.h"

#include "Error.h"
#include "modLANG.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace fs = std::filesystem;

namespace lanyx {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// *.wav names of a folder, sorted, without the ones already seen (any case).
void collectSounds(const fs::path& dir, std::set<std::string>& seen, std::vector<std::string>& out) {
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const auto name = it->path().filename().string();
        if (lower(it->path().extension().string()) == ".wav" && it->is_regular_file(ec)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const auto& name : names)
        if (seen.insert(lower(name)).second) out.push_back(name);
}

std::string join(const std::vector<std::string>& items) {
    std::string s;
    for (const auto& item : items) s += (s.empty() ? "" : ", ") + item;
    return s;
}

}  // namespace

InstallReport CheckInstall(const LanyxPaths& paths, bool dataDirWritable) {
    InstallReport r;
    std::error_code ec;
    r.lines.push_back("Program folder: " + paths.programDir.string());
    std::string data = "Data folder: " + paths.dataDir.string();
    if (!fs::exists(paths.dataDir, ec)) data += " (made at the first start)";
    else if (!dataDirWritable) data += " (not writable: settings cannot be saved)";
    r.lines.push_back(data);
    const auto ini = paths.dataDir / "User.ini";
    r.lines.push_back("Settings: " + ini.string() + (fs::exists(ini, ec) ? "" : " (not made yet)"));

    std::string lang = "Language file: " + paths.langFile.string();
    try {
        LanguageTable table;
        std::string language = "English";
        table.load(paths.langFile, language);
        lang += " (" + std::to_string(table.size()) + " texts in " + join(table.languages()) + ")";
        r.ok = true;
    } catch (const LanyxError& e) {
        lang += fs::exists(paths.langFile, ec) ? std::string(" (cannot be used: ") + e.what() + ")" : " (missing)";
    }
    r.lines.push_back(lang);

    std::set<std::string> seen;
    std::vector<std::string> sounds;
    collectSounds(paths.dataDir, seen, sounds);
    if (paths.programDir != paths.dataDir) collectSounds(paths.programDir, seen, sounds);
    r.lines.push_back("Sounds: " + (sounds.empty() ? std::string("none (the beep only)") : join(sounds)));
    return r;
}

std::string FormatReport(const InstallReport& report) {
    std::string s;
    for (const auto& line : report.lines) s += line + '\n';
    return s;
}

}  // namespace lanyx

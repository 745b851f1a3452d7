#pragma once
// User.ini: a fixed sequence of comma-separated records read as one stream
// of values.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx {

// Window geometry in twips.
struct Geometry {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const Geometry&) const = default;
};

struct UserSettings {
    std::string Language = "English";
    std::int16_t AlertHeight = 0;
    std::string UserName;
    std::uint32_t Colour = 0;  // 0x00BBGGRR
    std::int16_t PopupPosition = 4;
    std::string AlertSound = "(B)";
    std::int16_t Autostart = 0;
    Geometry Chat;  // start geometry of new chat windows
};

// Everything User.ini holds: the settings record, the main window's geometry
// and the main window's two lists.
struct SettingsData {
    UserSettings user;
    Geometry main{0, 0, 2505, 4605};
    std::vector<std::string> blocked;
    std::vector<std::string> groups;
};

struct ReadOutcome {
    bool createdDefault = false;  // the file was missing
    bool recovered = false;       // the file could not be read and was replaced
    int errorNumber = 0;
    std::string errorText;
    std::filesystem::path backup;  // where the unreadable file was kept
};

// Reads the file into `data`, value by value: what was read before an error
// stays in effect. `loadLanguage` is called with the language as soon as it is
// read and may change it or throw. A missing file is created with the default
// contents first; an unreadable one is kept as User.ini.bak and replaced by
// the default file.
ReadOutcome ReadSettings(const std::filesystem::path& file, SettingsData& data,
                         const std::string& logonName,
                         const std::function<void(std::string& language)>& loadLanguage);

// The reading itself, on the file's text: throws LanyxError at the first
// value that cannot be used, keeping what was read before it in `data`.
void ReadSettingsText(std::string_view utf8, SettingsData& data,
                      const std::function<void(std::string& language)>& loadLanguage);

// Writes the whole file; `userName` is the name in use on the network. Throws LanyxError.
void SaveSettings(const std::filesystem::path& file, const SettingsData& data, const std::string& userName);

// Throws LanyxError.
void WriteDefaultSettings(const std::filesystem::path& file, const std::string& logonName,
                          const Geometry& chat);

} // namespace lanyx

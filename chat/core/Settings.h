#pragma once
// User.ini: a fixed sequence of comma-separated records read as one stream
// of values.
#include "Error.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
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

// Larger than any settings file ever is (five million blocked names fit):
// such a file is refused, never read, never replaced.
constexpr std::uintmax_t kMaxSettingsBytes = 256u << 20;

// The most blocked names and groups kept: far more than anyone blocks or
// groups by hand, few enough that neither a settings file nor a flood of
// Block presses makes start-up or the lists slow. What is beyond is left out.
constexpr std::size_t kMaxBlockedNames = 10000;
constexpr std::size_t kMaxGroups = 1000;

// What a read met that it could mend without giving up the file.
struct ReadNotes {
    bool badName = false;            // the user name breaks the name rules
    std::size_t droppedNames = 0;    // blocked names or groups that cannot be read
    std::size_t blockedLeftOut = 0;  // beyond kMaxBlockedNames
    std::size_t groupsLeftOut = 0;   // beyond kMaxGroups
};

// A blocked name or group as the file holds it: as it is when the file can
// hold it so (every name earlier versions stored), else a quote followed by
// the name with its quotes, control characters, "%" and every byte above
// 127 written as %XX. No name stored as it is begins with a quote.
std::string StoredListEntry(std::string_view utf8);
// The entry read back; nothing when an escaped entry is damaged.
std::optional<std::string> ListEntryFromStored(std::string_view stored);

// What happened to the user's file, for the log and for one message to the user.
struct ReadOutcome {
    bool createdDefault = false;   // the file was missing
    bool recovered = false;        // its text could not be read: kept as `backup`, defaults written
    bool refused = false;          // not read and left alone (access, size, no backup possible):
                                   // it must not be written while the program runs
    Error error;                   // why it was recovered or refused (number 0: it was read)
    bool readOnly = false;         // read-only: read, left read-only, never written while the program runs
    std::filesystem::path backup;  // where the unreadable file was kept
    std::string replacedName;      // a user name read that broke the rules
    std::size_t droppedNames = 0;
    std::size_t blockedLeftOut = 0;
    std::size_t groupsLeftOut = 0;
    Error languageError;  // the language file failed (number not 0); the settings stand
    std::string notice;   // for the user, in words; empty when all went well
};

// Reads the file into `data`, all or nothing: on any failure `data` holds the
// defaults, never half of the file. A missing file is created with the
// default contents first. Only a file whose text cannot be read is replaced by
// the defaults, after it was kept as User.ini.bak.1 (older copies move up to
// .bak.3); a file that cannot be opened, is too large, or cannot be kept is
// left alone. `loadLanguage` is called with the language read, may change it
// or throw; its failure is reported and leaves the file alone.
ReadOutcome ReadSettings(const std::filesystem::path& file, SettingsData& data, const std::string& logonName,
                         const std::function<void(std::string& language)>& loadLanguage);

// The reading itself, on the file's text: throws LanyxError at the first
// value that cannot be used.
SettingsData ReadSettingsText(std::string_view utf8, ReadNotes* notes = nullptr);

// Writes the whole file; `userName` is the name in use on the network. What is
// written is checked to read back as the same settings, before and after
// writing. A read-only file is never replaced. Throws LanyxError.
void SaveSettings(const std::filesystem::path& file, const SettingsData& data, const std::string& userName);

// The text SaveSettings writes, as UTF-8.
std::string SettingsText(const SettingsData& data, const std::string& userName);

// Throws LanyxError.
void WriteDefaultSettings(const std::filesystem::path& file, const std::string& logonName, const Geometry& chat);

}  // namespace lanyx

#pragma once
// The user's files of one copy: the data folder it holds alone, the
// settings (User.ini) as read and as written back, the name kept for
// lanyx-cli and the autostart registration.
#include "EventLog.h"
#include "LinkBuild.h"
#include "Platform.h"
#include "Ports.h"
#include "RunState.h"
#include "Settings.h"
#include "modLANG.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lanyx {

struct NodeConfig {
    std::filesystem::path dataDir;           // User.ini, Log.txt and the instance lock
    std::filesystem::path langFile;          // Lang.con
    std::filesystem::path autostartProgram;  // empty: leave the autostart registration alone
    std::string logonName;
    // For this run only; the settings file keeps its own values.
    std::optional<std::string> nameForRun;
    std::optional<std::uint32_t> colourForRun;
    // This computer's clock in microseconds since 1970 (the system clock
    // when empty): dates what is signed, and judges what others signed.
    std::function<std::uint64_t()> wallMicros;
    // Called once this copy holds its data folder (no other copy runs on
    // it): where the programs open what only one copy may write.
    std::function<void()> folderHeld;
    // Which build's way the copy's keys announce themselves and seal: the
    // programs run this build's; the tests make copies of the build before.
    LinkBuild linkBuild = LinkBuild::Current;
};

class Profile {
public:
    explicit Profile(const NodeConfig& config);
    ~Profile();

    SettingsData& data() { return data_; }
    const SettingsData& data() const { return data_; }
    std::filesystem::path settingsFile() const { return config_.dataDir / "User.ini"; }

    // Takes the data folder for this copy alone: false when another copy holds it.
    bool hold();
    // The folder and the copy that holds it.
    FolderHolder holder() const;

    // What reading the settings left out, and the notice for the user.
    struct Read {
        std::size_t blockedLeftOut = 0;
        std::size_t groupsLeftOut = 0;
        std::string notice;
        bool firstStart = false;  // there was no User.ini: it was made now
    };
    // Reads User.ini and loads the language it names; what went wrong is
    // logged. Throws LanyxError when the language file is missing.
    Read read(LanguageTable& language, EventLog& log);
    // Writes User.ini unless it could not be read or is read-only, or holds
    // these settings already. The name and colour for this run only are not kept.
    void save(const std::vector<std::string>& blocked, const std::vector<std::string>& groups, const RunState& state);
    // The user chose this name: kept from now on.
    void nameChosen(const std::string& name);
    // The name this copy runs under, for lanyx-cli's keys.
    void keepRunName(const std::string& name, EventLog& log);
    void applyAutostart() const;

private:
    const NodeConfig& config_;
    SettingsData data_;
    std::string persistedName_;
    std::uint32_t persistedColour_ = 0;
    std::string runNameSaved_;  // what RunName.txt holds, as this run wrote it
    bool leftAlone_ = false;    // User.ini could not be read: never written over
    std::unique_ptr<platform::InstanceLock> lock_;
};

}  // namespace lanyx

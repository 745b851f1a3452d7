#include "Profile.h"

#include "Cp1252.h"
#include "Error.h"
#include "Identity.h"
#include "RecordFile.h"

namespace lanyx {

Profile::Profile(const NodeConfig& config) : config_(config) {
    data_.user.UserName = config_.logonName;
}

Profile::~Profile() = default;

bool Profile::hold() {
    std::error_code ec;
    std::filesystem::create_directories(config_.dataDir, ec);
    lock_ = platform::InstanceLock::acquire(config_.dataDir);
    // The copy that holds the folder closes what an earlier build left open.
    if (lock_) platform::closeToOthers(config_.dataDir);
    if (lock_ && config_.folderHeld) config_.folderHeld();
    return lock_ != nullptr;
}

FolderHolder Profile::holder() const {
    std::error_code ec;
    const auto folder = std::filesystem::absolute(config_.dataDir, ec);
    const auto holder = platform::InstanceLock::holderOf(config_.dataDir);
    return {(ec ? config_.dataDir : folder).string(), holder.pid, holder.program};
}

Profile::Read Profile::read(LanguageTable& language, EventLog& log) {
    std::error_code ec;
    if (!std::filesystem::exists(config_.langFile, ec))
        throw LanyxError(failure(Reason::LanguageFileMissing, {config_.langFile.string()}));
    const auto outcome = ReadSettings(settingsFile(), data_, config_.logonName,
                                      [&](std::string& name) { language.load(config_.langFile, name); });
    if (outcome.recovered) {
        std::string text = "Settings could not be read (" + describe(outcome.error) + "); default settings written";
        if (!outcome.backup.empty()) text += ", the old file kept as " + outcome.backup.filename().string();
        log.WriteLog(text);
    }
    if (outcome.refused)
        log.WriteLog("Settings could not be read (" + describe(outcome.error) + "); the file is left alone");
    if (outcome.languageError.number)
        log.WriteLog("Language file could not be read (" + describe(outcome.languageError) +
                     "); the settings are left alone");
    if (outcome.readOnly && !outcome.refused)
        log.WriteLog("Settings file is read-only: left so, settings will not be saved");
    leftAlone_ = outcome.refused || outcome.readOnly;
    if (outcome.blockedLeftOut || outcome.groupsLeftOut)
        log.WriteLog("Settings hold more than Lanyx keeps: " + std::to_string(outcome.blockedLeftOut) +
                     " blocked names and " + std::to_string(outcome.groupsLeftOut) + " groups left out");
    persistedName_ = data_.user.UserName;
    persistedColour_ = data_.user.Colour;
    if (config_.nameForRun) data_.user.UserName = *config_.nameForRun;
    if (config_.colourForRun) data_.user.Colour = *config_.colourForRun;
    return {outcome.blockedLeftOut, outcome.groupsLeftOut, outcome.notice, outcome.createdDefault};
}

void Profile::save(const std::vector<std::string>& blocked, const std::vector<std::string>& groups,
                   const RunState& state) {
    if (leftAlone_) return;
    SettingsData d = data_;
    d.blocked = blocked;
    d.groups = groups;
    // While probing, the name in use is only the probe name: keep the user's.
    std::string name = (state.ProbeMode || state.MyName.empty()) ? data_.user.UserName : state.MyName;
    if (config_.nameForRun && name == *config_.nameForRun) name = persistedName_;
    if (config_.colourForRun) d.user.Colour = persistedColour_;
    // Nothing changed (a lanyx-cli run, mostly): the file stays as it is.
    if (const auto onDisk = readTextFile(settingsFile());
        onDisk && *onDisk == cp1252::toUtf8(cp1252::fromUtf8(SettingsText(d, name))))
        return;
    SaveSettings(settingsFile(), d, name);
}

void Profile::nameChosen(const std::string& name) {
    data_.user.UserName = name;
    persistedName_ = name;
}

void Profile::keepRunName(const std::string& name, EventLog& log) {
    if (name == runNameSaved_) return;
    std::string problem;
    if (RunName::save(config_.dataDir, name, problem)) runNameSaved_ = name;
    else log.WriteLog("The name this copy runs under could not be kept for lanyx-cli keys: " + problem);
}

void Profile::applyAutostart() const {
    if (!config_.autostartProgram.empty()) platform::SetAutostart(data_.user.Autostart, config_.autostartProgram);
}

}  // namespace lanyx

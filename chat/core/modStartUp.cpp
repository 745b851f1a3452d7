#include "modStartUp.h"

#include "Error.h"

namespace lanyx {

std::string PreviousInstanceText(const FolderHolder& holder) {
    std::string text = "Previous Instance";
    if (holder.folder.empty()) return text;
    text += "\nA copy already runs on the data folder " + holder.folder;
    if (holder.pid > 0)
        text += " (process " + std::to_string(holder.pid) + (holder.program.empty() ? "" : ", " + holder.program) + ")";
    text += ". Use that copy or end it, or start this one with --dir and another folder.";
    return text;
}

std::string NameTakenText(const std::string& said, const std::string& name) {
    return said + "\n\n\"" + name + "\"";
}

void StartUp::open() {
    host_.OpenNetwork();
    networkOpen_ = true;
}

void StartUp::close() {
    if (!networkOpen_) return;
    networkOpen_ = false;
    host_.CloseNetwork();
}

StartUpResult StartUp::run(const StartUpOptions& options) {
    if (host_.anotherInstanceRunning()) {
        ui_.previousInstance(host_.folderHolder());
        return StartUpResult::AnotherInstance;
    }
    auto& state = host_.runState();
    auto& settings = host_.userSettings();
    try {
        host_.WriteLog("Lanyx loaded");
        host_.readSettings();
        settingsRead_ = true;
        host_.WriteLog("  > Settings and language loaded");
        if (const auto notice = host_.settingsNotice(); !notice.empty())
            ui_.messageBox(notice, "Lanyx", IconExclamation);
        state.VersionText = MakeVersionText(options.versionMajor, options.versionMinor, options.versionRevision);
        state.Status = options.initialStatus;
        state.SafeMode = SafeModeFromCommandLine(options.commandLine);
        state.ProbeMode = true;
        ui_.showSplash(state.VersionText);
        pump_.pumpOnce();
        if (ui_.opensWindows()) {
            const auto [sw, sh] = ui_.screenTwips();
            settings.Chat = CenteredChatGeometry(sw, sh);
        }
        // A log that cannot be trimmed only grows: never a reason not to start.
        try {
            host_.trimLog();
        } catch (const std::exception& e) {
            host_.WriteLog(std::string("Log not trimmed: ") + e.what());
        }

        const std::string probeName = ProbeName(host_.logonName());
        state.MyName = probeName;
        open();

        // Listen: every copy that hears the probe answers with its presence.
        pump_.pumpOnce();
        const std::uint32_t start = pump_.ticks();
        for (;;) {
            const std::uint32_t elapsed = pump_.ticks() - start;
            if (elapsed >= options.probeMs || pump_.stopRequested()) break;
            pump_.runFor(options.probeMs - elapsed);
        }
        if (pump_.stopRequested()) {
            Shutdown();
            return StartUpResult::Stopped;
        }

        if (host_.isNameTaken(settings.UserName)) {
            ui_.messageBox(NameTakenText(host_.LangText(8202), settings.UserName), "", IconNone);
            state.MyName = settings.UserName;  // the dialog offers it for editing
            const auto name = ui_.askNewName(settings.UserName);
            // Never speak under a name another user holds: a leave notice
            // under it would take him off every roster.
            state.MyName = probeName;
            if (!name) {
                Shutdown();
                return StartUpResult::NameRefused;
            }
            host_.rejoinUnder(*name);
            // Go on under the name the user chose, not the one found taken.
            settings.UserName = *name;
        }

        close();
        host_.clearUsers();
        state.ProbeMode = false;
        ui_.showTray();
        trayShown_ = true;
        state.MyName = settings.UserName;
        open();
        ui_.hideSplash();
        return StartUpResult::Running;
    } catch (const LanyxError& e) {
        const std::string detail = std::to_string(e.number()) + ": " + e.what();
        host_.WriteLog("Unable to load: " + detail);
        ui_.messageBox(host_.LangText(8209) + ": " + detail, "", IconNone);
    } catch (const std::exception& e) {
        const std::string detail = std::to_string(err::InvalidArgument) + ": " + e.what();
        host_.WriteLog("Unable to load: " + detail);
        ui_.messageBox(host_.LangText(8209) + ": " + detail, "", IconNone);
    }
    return StartUpResult::Failed;
}

void StartUp::Shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    // Never write settings that were not read: the file on disk is better.
    if (settingsRead_) {
        try {
            host_.saveSettings();
        } catch (const std::exception& e) {
            ui_.messageBox(std::string("Your settings could not be saved.\n\n") + e.what(), "Lanyx", IconExclamation);
        }
    }
    try {
        close();
    } catch (const std::exception&) {
        // The socket is going away with the program anyway.
    }
    if (trayShown_) ui_.removeTray();
    if (settingsRead_) host_.applyAutostart();
    host_.WriteLog("Lanyx unloaded");
    pump_.pumpOnce();
}

}  // namespace lanyx

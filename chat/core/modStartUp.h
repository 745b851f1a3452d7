#pragma once
// Start-up with the probe phase, and shutdown.
#include "Ports.h"
#include "RunState.h"

#include <cstdint>
#include <string>

namespace lanyx {

// The box for a name found taken: the language's text, which does not say
// which name, then the name in quotes on a line of its own.
std::string NameTakenText(const std::string& said, const std::string& name);

// The steps start-up and shutdown drive; the chat node carries them out.
class StartUpHost {
public:
    virtual ~StartUpHost() = default;
    virtual bool anotherInstanceRunning() = 0;
    // The folder and the copy that holds it, once anotherInstanceRunning said so.
    virtual FolderHolder folderHolder() { return {}; }
    virtual void WriteLog(const std::string& text) = 0;
    virtual void readSettings() = 0;
    // What reading the settings recovered or left alone, in words for the
    // user; empty when all went well. Asked once, after readSettings.
    virtual std::string settingsNotice() { return {}; }
    virtual void trimLog() = 0;
    virtual void OpenNetwork() = 0;
    virtual void CloseNetwork() = 0;
    virtual void clearUsers() = 0;
    virtual bool isNameTaken(const std::string& name) = 0;
    // The name dialog's accept: leave, rejoin under `name`, save the settings.
    virtual void rejoinUnder(const std::string& name) = 0;
    virtual void saveSettings() = 0;
    virtual void applyAutostart() = 0;
    virtual std::string LangText(int code) = 0;
    virtual RunState& runState() = 0;
    virtual UserSettings& userSettings() = 0;
    virtual std::string logonName() = 0;
};

struct StartUpOptions {
    std::string commandLine;
    int versionMajor = 0;
    int versionMinor = 0;
    int versionRevision = 0;
    std::uint32_t probeMs = 10000;
    std::int16_t initialStatus = 0;
};

enum class StartUpResult {
    Running,          // joined under the user name
    AnotherInstance,  // a copy already runs on this data folder
    Failed,           // reported to the user; see the log
    NameRefused,      // the name was taken and the user closed the name dialog
    Stopped,          // asked to end during start-up; shut down cleanly
};

class StartUp {
public:
    StartUp(StartUpHost& host, UserInterface& ui, EventPump& pump) : host_(host), ui_(ui), pump_(pump) {}

    StartUpResult run(const StartUpOptions& options);
    // Saves, leaves the network, removes the tray icon, applies autostart, logs.
    // Safe to call more than once: only the first call does anything.
    void Shutdown();

    bool networkOpen() const { return networkOpen_; }

private:
    void open();
    void close();

    StartUpHost& host_;
    UserInterface& ui_;
    EventPump& pump_;
    bool networkOpen_ = false;
    bool settingsRead_ = false;
    bool trayShown_ = false;
    bool shutDown_ = false;
};

}  // namespace lanyx

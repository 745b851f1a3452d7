#pragma once
// What the core needs from outside: a user interface (windows, or lines on a
// terminal) and an event pump with a millisecond clock. The desktop program,
// the headless peer and the tests each plug in their own.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace lanyx {

enum MsgIcon : int { IconNone = 0, IconCritical = 16, IconQuestion = 32, IconExclamation = 48, IconInformation = 64 };

// The copy that already runs on a data folder: the folder, and the process
// number (0 when not known) and program file name it wrote into its lock.
struct FolderHolder {
    std::string folder;
    long pid = 0;
    std::string program;
};
// "Previous Instance", then the folder, who holds it and how to get on.
std::string PreviousInstanceText(const FolderHolder& holder);

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // A message box with an OK button. `text` uses "\n" for line breaks.
    virtual void messageBox(const std::string& text, const std::string& title, int icon) = 0;
    virtual void showSplash(const std::string& /*versionText*/) {}
    virtual void hideSplash() {}
    virtual void showTray() {}
    virtual void removeTray() {}
    // The modal name dialog shown when the configured name is taken at start-up:
    // a new name that passed the name checks, or nothing when the user closed it.
    virtual std::optional<std::string> askNewName(const std::string& /*takenName*/) { return std::nullopt; }
    // Screen size in twips, for the start geometry of chat windows.
    virtual std::pair<std::int32_t, std::int32_t> screenTwips() { return {1024 * 15, 768 * 15}; }
    // A copy already runs on the data folder: this one ends after telling so.
    virtual void previousInstance(const FolderHolder& holder) {
        messageBox(PreviousInstanceText(holder), "", IconInformation);
    }
    // False where no window ever opens (a terminal): the chat windows' start
    // geometry the desktop saved is left as it is.
    virtual bool opensWindows() const { return true; }
};

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual std::uint32_t ticks() = 0;
    // Let pending events run once.
    virtual void pumpOnce() = 0;
    // Let events run for `ms` milliseconds, or until a stop was requested.
    virtual void runFor(std::uint32_t ms) = 0;
    // True once the user asked the program to end (an interrupt, the session ending).
    virtual bool stopRequested() const { return false; }
    // Calls `fn` once on this thread, `ms` milliseconds from now, from the
    // event loop. A pump without timers calls it at once.
    virtual void callAfter(std::uint32_t /*ms*/, std::function<void()> fn) { fn(); }
};

}  // namespace lanyx
